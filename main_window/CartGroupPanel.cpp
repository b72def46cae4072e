#include "main_window/CartGroupPanel.h"

#include "main_window/CartGroupButtons.h"
#include "main_window/frmMain.h"
#include "platform/Text1252.h"

#include <QEvent>
#include <QFont>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>

namespace MainWindow {

namespace {

// A raised button, or a sunken one while pressed: light edges top and left, dark ones bottom
// and right, swapped when pressed, the caption pushed down a little.
QString ColourStyle(int32_t colour, bool pressed) {
    const QString background =
        colour == CartGroupButtons::kButtonFace
            ? QStringLiteral("palette(button)")
            : QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF).name();
    const QString light = QStringLiteral("#ffffff"), dark = QStringLiteral("#404040");
    return QStringLiteral("QPushButton { background-color: %1; color: black; border: 2px solid; "
                          "border-color: %2 %3 %3 %2; padding-top: %4px; }")
        .arg(background, pressed ? dark : light, pressed ? light : dark,
             QString::number(pressed ? 4 : 0));
}

} // namespace

CartGroupPanel::CartGroupPanel(CartGroupButtons& engine, QWidget* parent)
    : QWidget(parent), engine_(engine), tabs_(new QTabBar(this)) {
    setObjectName("picCartGroups");
    tabs_->setObjectName("tbsCartGroups");
    tabs_->setExpanding(false);
    for (int page = 0; page < CartGroupButtons::kPages; ++page)
        tabs_->addTab(Platform::FromWindows1252(engine_.TabCaption(page)));
    connect(tabs_, &QTabBar::currentChanged, this,
            [this](int page) { engine_.tbsCartGroups_Click(page); });
    for (int i = 1; i <= CartGroupButtons::kButtons; ++i) {
        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("pnlCartGroup%1").arg(i));
        button->setFont(QFont("Arial", 9));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this,
                [this, i] { engine_.pnlCartGroup_Click(static_cast<int16_t>(i)); });
        buttons_[static_cast<size_t>(i - 1)] = button;
    }
    connect(&engine_, &CartGroupButtons::changed, this, &CartGroupPanel::Show);
    if (parent) {
        parent->installEventFilter(this);
        parent->window()->installEventFilter(this);
        setGeometry(0, parent->height() - kHeight, parent->width(), kHeight);
    }
    Show();
    Layout();
}

void CartGroupPanel::Show() {
    {
        // Pages set here are not the user's choice.
        const QSignalBlocker block(tabs_);
        for (int page = 0; page < CartGroupButtons::kPages; ++page)
            tabs_->setTabText(page, Platform::FromWindows1252(engine_.TabCaption(page)));
        tabs_->setCurrentIndex(engine_.Page());
    }
    for (int16_t i = 1; i <= CartGroupButtons::kButtons; ++i) {
        const CartGroupButtons::Button& state = engine_.pnlCartGroup(i);
        QPushButton* button = buttons_[static_cast<size_t>(i - 1)];
        button->setText(Platform::FromWindows1252(state.Caption));
        button->setStyleSheet(
            ColourStyle(state.BackColor, state.Style == CartGroupButtons::StylePressed));
    }
}

// In twips, as the window lays out: the buttons fill the page in ten columns of two, groups
// running down the columns.
void CartGroupPanel::Layout() {
    tabs_->setGeometry(0, 0, width(), tabs_->sizeHint().height());
    const int strip = tabs_->height() * kTwipsPerPixel;
    const int w = (width() * kTwipsPerPixel - 120) / 10;
    const int h = (height() * kTwipsPerPixel - strip - 120) / 2;
    for (int i = 1; i <= CartGroupButtons::kButtons; ++i) {
        const int column = (i - 1) / 2;
        const int top = strip + 60 + (i % 2 == 1 ? 0 : h);
        buttons_[static_cast<size_t>(i - 1)]->setGeometry((60 + column * w) / kTwipsPerPixel,
                                                          top / kTwipsPerPixel, w / kTwipsPerPixel,
                                                          h / kTwipsPerPixel);
        buttons_[static_cast<size_t>(i - 1)]->setVisible(true);
    }
}

void CartGroupPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!window()->isMinimized()) Layout();
}

bool CartGroupPanel::eventFilter(QObject* watched, QEvent* event) {
    QWidget* parent = parentWidget();
    if (watched == parent && event->type() == QEvent::Resize)
        setGeometry(0, parent->height() - kHeight, parent->width(), kHeight);
    if (watched == window() && event->type() == QEvent::WindowActivate) engine_.UpdateCartGroups();
    return QWidget::eventFilter(watched, event);
}

} // namespace MainWindow
