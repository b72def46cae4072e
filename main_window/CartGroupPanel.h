#pragma once
// The main window's cart-group panel: a five-page tab strip over twenty buttons in two rows,
// groups running down the columns. It shows CartGroupButtons and forwards clicks to it.
#include <QWidget>
#include <array>

class QPushButton;
class QTabBar;

namespace MainWindow {

class CartGroupButtons;

class CartGroupPanel : public QWidget {
    Q_OBJECT
public:
    explicit CartGroupPanel(CartGroupButtons& engine, QWidget* parent = nullptr);

    QTabBar* tbsCartGroups() const { return tabs_; }
    QPushButton* pnlCartGroup(int index) const { return buttons_[static_cast<size_t>(index - 1)]; }
    // Panel height: a tab strip and two rows of buttons.
    static constexpr int kHeight = 1800 / 15;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show();
    void Layout();

    CartGroupButtons& engine_;
    QTabBar* tabs_;
    std::array<QPushButton*, 20> buttons_{};
};

} // namespace MainWindow
