#pragma once
// The cart browser window: one shared instance that shows the engine's rows, the jump strip,
// the scroll buttons, the double-view box and Cancel, and forwards keys and mouse input.
#include "browsing/CartBrowserEngine.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QWidget>
#include <functional>
#include <vector>

namespace Browsing {

class frmCartBrowser : public QWidget {
    Q_OBJECT
public:
    explicit frmCartBrowser(QWidget* parent = nullptr);

    CartBrowserEngine& Engine() { return engine_; }
    QLineEdit* txtCartNumber() const { return txtCartNumber_; }
    QPushButton* cmdJumpCart() const { return cmdJumpCart_; }
    QCheckBox* chkDouble() const { return chkDouble_; }
    // Row r's number button and panel (1-based); nullptr before the row exists.
    QPushButton* cmdCartNumber(int row) const;
    QLabel* pnlCart(int row) const;
    // The full layout of the window (also run on every resize).
    void LayoutWindow();
    // Lets the window go (program shut-down) instead of hiding on close.
    void AllowUnload() { unloading_ = true; }

    // Forwarded input, as the widgets deliver it (also used by tests).
    void PanelPress(int row, Qt::MouseButton button, QPoint at);
    void PanelMove(int row, Qt::MouseButtons buttons, QPoint at);
    void PanelRelease(int row, Qt::MouseButton button);
    // Starts the drag of row's cart; the default runs QDrag, tests replace it.
    std::function<void(int row, const std::string& cart)> StartDrag;

signals:
    // The window was hidden (a pick, Cancel or the close box).
    void Hidden();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MirrorRows();
    void MirrorSelection();
    void EnsureRowWidgets();
    void OpenFind(FindKind kind, int32_t start);
    void OpenReport(int32_t cart);
    void OpenNotes(const std::string& fileName);
    void RunDrag(int row, const std::string& cart);

    CartBrowserEngine engine_;
    QWidget* picBrowser;
    QWidget* pnlJumpCart;
    QLabel* lblJumpToCart;
    QLineEdit* txtCartNumber_;
    QPushButton* cmdJumpCart_;
    QPushButton* cmdFindCart;
    QPushButton* cmdBigScroll[2];
    QPushButton* cmdSmallScroll[2];
    QWidget* pnlCartLabels;
    QWidget* pnlDescription;
    QLabel* lblDescription;
    QStatusBar* StatusBar1;
    QCheckBox* chkDouble_;
    QPushButton* cmdCancel;
    std::vector<QPushButton*> numberButtons_;
    std::vector<QLabel*> panels_;
    bool unloading_ = false;
};

// The shared browser, loaded on first use.
frmCartBrowser& CartBrowser();
frmCartBrowser* CartBrowserIfLoaded();
void UnloadCartBrowser();
// The main window's cart-browser command: dragging allowed, shown modeless.
void mnuCartBrowser_Click();
// Lets the user pick a cart for another window: dragging off, no receiver; done gets the
// picked number (0 when none) once the browser hides. Never waits.
void PickCart(std::function<void(int32_t)> done);
// The log editor's cart chooser: PickCart, waiting (events running) until the browser hides;
// the picked cart number, 0 when none. Only for commands the user gives.
int32_t ChooseCart();

} // namespace Browsing
