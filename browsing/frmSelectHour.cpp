#include "browsing/frmSelectHour.h"

#include "browsing/KeyCodes.h"
#include "core/GeneralFunctions.h"
#include "platform/VB.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <cmath>

namespace Browsing {

namespace {

constexpr int kClockSize = 1995 / 15;

// The clock face: the PM ring, the AM centre and the wedge of the hour in the hour box.
class ClockFace : public QWidget {
public:
    ClockFace(SelectHourEngine& engine, QWidget* parent) : QWidget(parent), engine_(engine) {
        setFixedSize(kClockSize, kClockSize);
    }

protected:
    void paintEvent(QPaintEvent*) override { DrawClockFace(); }

private:
    void DrawClockFace() {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF centre(std::round(width() / 2.0), std::round(height() / 2.0));
        const double r = std::round(0.49 * width());
        p.setPen(Qt::black);
        p.setBrush(QColor(255, 0, 0));
        p.drawEllipse(centre, r, r);
        p.setBrush(QColor(0, 255, 0));
        p.drawEllipse(centre, std::round(r / 2), std::round(r / 2));
        DrawHourWedge(p, centre, r);
    }

    void DrawHourWedge(QPainter& p, QPointF centre, double r) {
        const double h = VB::Val(engine_.TimeT);
        if (VB::Trim(engine_.TimeT).empty() || h < 0) return;
        const double radius = h < 12 ? std::round(r / 2) : r;
        const int m = static_cast<int>(h) % 12;
        const int slot = m > 2 ? 14 - m : 2 - m;
        p.setBrush(QColor(0, 0, 128));
        p.drawPie(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
                  slot * 30 * 16, 30 * 16);
    }

    SelectHourEngine& engine_;
};

} // namespace

frmSelectHour::frmSelectHour(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), MonthList(new QComboBox),
      YearScroll(new QSpinBox), timeP_(new ClockFace(engine_, this)), TimeT_(new QLineEdit),
      txtMinutes_(new QLineEdit) {
    setWindowTitle("Select Time");
    auto* layout = new QHBoxLayout(this);
    auto* date = new QGroupBox("Date");
    auto* grid = new QGridLayout(date);
    for (int m = 1; m <= 12; ++m)
        MonthList->addItem(
            QString::fromStdString(GeneralFunctions::GetMonthName(static_cast<int16_t>(m))));
    YearScroll->setRange(SelectHourEngine::kFirstYear, SelectHourEngine::kLastYear);
    grid->addWidget(MonthList, 0, 0, 1, 5);
    grid->addWidget(YearScroll, 0, 5, 1, 2);
    const char* const heads[] = {"S", "M", "T", "W", "T", "F", "S"};
    for (int c = 0; c < 7; ++c) {
        auto* head = new QLabel(heads[c]);
        head->setAlignment(Qt::AlignCenter);
        if (c == 0) head->setStyleSheet("color: red");
        grid->addWidget(head, 1, c);
    }
    for (int i = 0; i < 37; ++i) {
        auto* cell = new QLabel;
        cell->setAlignment(Qt::AlignCenter);
        cell->setMinimumSize(24, 20);
        cell->installEventFilter(this);
        lblDay[static_cast<size_t>(i)] = cell;
        grid->addWidget(cell, 2 + i / 7, i % 7);
    }
    DayScroll->setRange(0, 31);
    DayScroll->setPageStep(7);
    DayScroll->setFocusPolicy(Qt::StrongFocus);
    DayScroll->installEventFilter(this);
    grid->addWidget(DayScroll, 8, 0, 1, 7);
    auto* time = new QGroupBox("Time");
    auto* timeLayout = new QGridLayout(time);
    timeLayout->addWidget(timeP_, 0, 0, 1, 4);
    auto* am = new QLabel("AM");
    am->setStyleSheet("background: rgb(0,255,0)");
    auto* pm = new QLabel("PM");
    pm->setStyleSheet("background: rgb(255,0,0)");
    timeLayout->addWidget(am, 1, 0);
    timeLayout->addWidget(pm, 1, 1);
    timeLayout->addWidget(new QLabel("Time:"), 2, 0);
    TimeT_->setMaxLength(2);
    TimeT_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,2}"), TimeT_));
    txtMinutes_->setMaxLength(2);
    timeLayout->addWidget(TimeT_, 2, 1);
    timeLayout->addWidget(new QLabel(":"), 2, 2);
    timeLayout->addWidget(txtMinutes_, 2, 3);
    timeLayout->addWidget(new QLabel("(24 Hour)"), 3, 0, 1, 4);
    auto* buttons = new QVBoxLayout;
    auto* OKB = new QPushButton("OK");
    auto* CancelB = new QPushButton("Cancel");
    OKB->setDefault(true);
    buttons->addWidget(OKB);
    buttons->addWidget(CancelB);
    buttons->addStretch();
    layout->addWidget(date);
    layout->addWidget(time);
    layout->addLayout(buttons);
    timeP_->installEventFilter(this);
    connect(OKB, &QPushButton::clicked, this, [this] { OKB_Click(); });
    connect(CancelB, &QPushButton::clicked, this, [this] { CancelB_Click(); });
    connect(MonthList, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (mirroring_) return;
        engine_.SetMonth(static_cast<int16_t>(index + 1));
        Mirror();
    });
    connect(YearScroll, &QSpinBox::valueChanged, this, [this](int year) {
        if (mirroring_) return;
        engine_.SetYear(static_cast<int16_t>(year));
        Mirror();
    });
    connect(DayScroll, &QScrollBar::valueChanged, this, [this](int day) {
        if (mirroring_) return;
        engine_.SelectedDay = static_cast<int16_t>(day);
        engine_.SelectDay();
        Mirror();
    });
    connect(TimeT_, &QLineEdit::textEdited, this, [this](const QString& text) {
        engine_.TimeT = text.toStdString();
        timeP_->update();
    });
    connect(txtMinutes_, &QLineEdit::textEdited, this,
            [this](const QString& text) { engine_.txtMinutes = text.toStdString(); });
}

void frmSelectHour::Mirror() {
    mirroring_ = true;
    MonthList->setCurrentIndex(engine_.SelectedMonth - 1);
    YearScroll->setValue(engine_.SelectedYear);
    DayScroll->setValue(engine_.SelectedDay);
    for (size_t i = 0; i < lblDay.size(); ++i) {
        QLabel* cell = lblDay[i];
        cell->setText(QString::fromStdString(engine_.Cells[i]));
        const bool marked = engine_.MarkedDay > 0 &&
                            static_cast<int>(i) == engine_.FirstDayOffset + engine_.MarkedDay;
        const bool highlighted = marked && engine_.DayScrollFocused;
        const char* text = i % 7 == 0 ? "red" : highlighted ? "white" : "black";
        cell->setStyleSheet(QString("background: %1; color: %2; border: %3;")
                                .arg(highlighted ? "rgb(0,0,128)" : "white", text,
                                     marked ? "1px solid black" : "none"));
    }
    TimeT_->setText(QString::fromStdString(engine_.TimeT));
    txtMinutes_->setText(QString::fromStdString(engine_.txtMinutes));
    txtMinutes_->setReadOnly(!engine_.ReturnMinutes);
    TimeT_->setEnabled(!engine_.TimeDisabled);
    timeP_->update();
    mirroring_ = false;
}

void frmSelectHour::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    engine_.Setup();
    Mirror();
}

void frmSelectHour::OKB_Click() {
    if (engine_.OK()) hide();
    Mirror();
}

void frmSelectHour::CancelB_Click() {
    engine_.Cancel();
    Mirror();
    hide();
}

void frmSelectHour::closeEvent(QCloseEvent* event) {
    event->ignore();
    CancelB_Click();
}

bool frmSelectHour::eventFilter(QObject* watched, QEvent* event) {
    if (watched == timeP_ && event->type() == QEvent::MouseButtonPress) {
        const QPointF at = static_cast<QMouseEvent*>(event)->position();
        engine_.ClockPress(at.x(), at.y(), timeP_->width(), timeP_->height());
        Mirror();
        return true;
    }
    if (watched == timeP_ && event->type() == QEvent::MouseButtonDblClick) {
        OKB_Click();
        return true;
    }
    if (watched == DayScroll) {
        const QEvent::Type type = event->type();
        if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
            engine_.DayScrollFocused = type == QEvent::FocusIn;
            Mirror();
        }
        if (type == QEvent::KeyPress &&
            engine_.DayScrollKey(KeyCodeOf(*static_cast<QKeyEvent*>(event)))) {
            Mirror();
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress)
        for (size_t i = 0; i < lblDay.size(); ++i)
            if (watched == lblDay[i]) {
                engine_.ClickCell(static_cast<int>(i));
                Mirror();
                return true;
            }
    return QDialog::eventFilter(watched, event);
}

} // namespace Browsing
