#pragma once
// The date and hour picker dialog: a month grid and a clock face over the engine; the caller
// sets Tag, shows it modally and reads Tag when it hides.
#include "browsing/SelectHourEngine.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <array>

namespace Browsing {

class frmSelectHour : public QDialog {
    Q_OBJECT
public:
    explicit frmSelectHour(QWidget* parent = nullptr);

    SelectHourEngine& Engine() { return engine_; }
    QWidget* TimeP() const { return timeP_; }
    QScrollBar* DayScrollBar() const { return DayScroll; }
    QLabel* DayCell(int cell) const { return lblDay[static_cast<size_t>(cell)]; }
    void OKB_Click();
    void CancelB_Click();
    void Mirror();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override { CancelB_Click(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SelectHourEngine engine_;
    QComboBox* MonthList;
    QSpinBox* YearScroll;
    std::array<QLabel*, 37> lblDay{};
    QScrollBar* DayScroll = new QScrollBar(Qt::Horizontal);
    QWidget* timeP_;
    QLineEdit* TimeT_;
    QLineEdit* txtMinutes_;
    bool mirroring_ = false;
};

} // namespace Browsing
