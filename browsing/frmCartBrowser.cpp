#include "browsing/frmCartBrowser.h"

#include "browsing/KeyCodes.h"
#include "browsing/Twips.h"
#include "browsing/frmFindCart.h"
#include "browsing/frmPrintPreview.h"
#include "carts/Audio_Player_FN.h"
#include "platform/Text1252.h"
#include "platform/VB.h"
#include "ui_controls/OleColour.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDrag>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <memory>

namespace Browsing {

namespace {

constexpr int kStatusHeight = 375;

QString Colour(int32_t colour) {
    return obControls::TranslateColour(colour).name();
}

int ScreenWidthTwips() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? Tw(screen->geometry().width()) : 0;
}

std::unique_ptr<frmCartBrowser>& Instance() {
    static std::unique_ptr<frmCartBrowser> instance;
    return instance;
}

} // namespace

frmCartBrowser::frmCartBrowser(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), picBrowser(new QWidget(this)),
      pnlJumpCart(new QWidget(picBrowser)),
      lblJumpToCart(new QLabel("Jump to &Cart:", pnlJumpCart)),
      txtCartNumber_(new QLineEdit(pnlJumpCart)),
      cmdJumpCart_(new QPushButton("&Jump", pnlJumpCart)),
      cmdFindCart(new QPushButton("&Find", pnlJumpCart)), pnlCartLabels(new QWidget(picBrowser)),
      pnlDescription(new QWidget(this)), lblDescription(new QLabel(pnlDescription)),
      StatusBar1(new QStatusBar(this)), chkDouble_(new QCheckBox(this)),
      cmdCancel(new QPushButton("Cancel", this)) {
    setWindowTitle("Cart Browser");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMinimumSize(Px(3630), Px(3630));
    setMaximumSize(Px(15000), Px(15000));
    txtCartNumber_->setObjectName("txtCartNumber");
    lblJumpToCart->setBuddy(txtCartNumber_);
    pnlJumpCart->setFixedHeight(Px(405));
    // The label takes the width its caption needs; the number box follows it.
    const int labelWidth = lblJumpToCart->sizeHint().width();
    lblJumpToCart->setGeometry(Px(60), Px(75), labelWidth, Px(255));
    txtCartNumber_->setGeometry(Px(60) + labelWidth + Px(30), Px(45), Px(700), Px(315));
    const char* const bigNames[] = {"Page up", "Page down"};
    const char* const smallNames[] = {"Up", "Down"};
    for (int i = 0; i < 2; ++i) {
        cmdBigScroll[i] = new QPushButton(i == 0 ? "\u21DE" : "\u21DF", picBrowser);
        cmdSmallScroll[i] = new QPushButton(i == 0 ? "\u25B2" : "\u25BC", picBrowser);
        cmdBigScroll[i]->setToolTip(bigNames[i]);
        cmdSmallScroll[i]->setToolTip(smallNames[i]);
        for (QPushButton* b : {cmdBigScroll[i], cmdSmallScroll[i]}) {
            b->setFixedSize(Px(390), Px(555));
            b->setFocusPolicy(Qt::NoFocus);
        }
    }
    pnlDescription->hide();
    chkDouble_->setToolTip("When checked, this doubles the height of each cart, giving more "
                           "display space for the cart descriptions.");
    StatusBar1->setSizeGripEnabled(true);
    cmdJumpCart_->setDefault(true);
    cmdJumpCart_->setAutoDefault(true);

    connect(cmdBigScroll[0], &QPushButton::clicked, this, [this] { engine_.PageUp(); });
    connect(cmdBigScroll[1], &QPushButton::clicked, this, [this] { engine_.PageDown(); });
    connect(cmdSmallScroll[0], &QPushButton::clicked, this, [this] { engine_.OneCartUp(); });
    connect(cmdSmallScroll[1], &QPushButton::clicked, this, [this] { engine_.OneCartDown(); });
    connect(cmdJumpCart_, &QPushButton::clicked, this, [this] { engine_.JumpCommand(); });
    connect(cmdFindCart, &QPushButton::clicked, this, [this] { engine_.OpenFind(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { engine_.CancelCommand(); });
    connect(txtCartNumber_, &QLineEdit::returnPressed, this, [this] { engine_.JumpCommand(); });
    connect(txtCartNumber_, &QLineEdit::textEdited, this, [this](const QString& text) {
        engine_.SetCartNumberText(Platform::ToWindows1252(text));
        cmdJumpCart_->setEnabled(engine_.cmdJumpCartEnabled);
    });
    connect(chkDouble_, &QCheckBox::toggled, this, [this](bool ticked) {
        engine_.SetDoubleView(ticked);
        LayoutWindow();
    });
    connect(&engine_, &CartBrowserEngine::RowsChanged, this, &frmCartBrowser::MirrorRows);
    connect(&engine_, &CartBrowserEngine::SelectionChanged, this, &frmCartBrowser::MirrorSelection);
    connect(&engine_, &CartBrowserEngine::HideRequested, this, &QWidget::hide);
    connect(&engine_, &CartBrowserEngine::FocusCartNumber, this, [this] {
        txtCartNumber_->setFocus();
        txtCartNumber_->selectAll();
    });
    connect(&engine_, &CartBrowserEngine::FindRequested, this, &frmCartBrowser::OpenFind);
    connect(&engine_, &CartBrowserEngine::ReportRequested, this, &frmCartBrowser::OpenReport);
    connect(&engine_, &CartBrowserEngine::NotesRequested, this, &frmCartBrowser::OpenNotes);
    StartDrag = [this](int row, const std::string& cart) { RunDrag(row, cart); };

    // Keys typed in the number box: digits, Backspace and Esc only.
    txtCartNumber_->setMaxLength(static_cast<int>(std::to_string(engine_.NoCarts()).size()));
    txtCartNumber_->installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    installEventFilter(this); // keys that arrive with no control focused
    picBrowser->setFont(font());
    engine_.TextWidth = [this](const std::string& text) {
        return Tw(
            QFontMetrics(picBrowser->font()).horizontalAdvance(Platform::FromWindows1252(text)));
    };

    resize(Px(3660), Px(7200));
    engine_.ScreenWidth = ScreenWidthTwips();
    engine_.WindowWidth = Tw(width());
    engine_.Load();
    move(Px(engine_.LeftPosition), Px(engine_.TopPosition));
}

QPushButton* frmCartBrowser::cmdCartNumber(int row) const {
    return row >= 1 && row <= static_cast<int>(numberButtons_.size())
               ? numberButtons_[static_cast<size_t>(row - 1)]
               : nullptr;
}

QLabel* frmCartBrowser::pnlCart(int row) const {
    return row >= 1 && row <= static_cast<int>(panels_.size())
               ? panels_[static_cast<size_t>(row - 1)]
               : nullptr;
}

void frmCartBrowser::LayoutWindow() {
    const int scaleWidth = Tw(width()), scaleHeight = Tw(height());
    StatusBar1->setGeometry(0, Px(scaleHeight - kStatusHeight), width(), Px(kStatusHeight));
    pnlDescription->setGeometry(Px(30), Px(30), Px(scaleWidth - 60), Px(495));
    lblDescription->setGeometry(Px(60), Px(60), Px(scaleWidth - 60 - 120), Px(375));
    chkDouble_->move(Px(45), Px(scaleHeight - kStatusHeight + 75));
    chkDouble_->raise();
    const int cancelLeft = 45 + Tw(chkDouble_->sizeHint().width()) + 30;
    const int cancelTop = scaleHeight - kStatusHeight + 60;
    cmdCancel->setGeometry(Px(cancelLeft), Px(cancelTop), Px(scaleWidth - cancelLeft - 230),
                           Px(kStatusHeight - 90));
    cmdCancel->raise();
    int top = 30;
    pnlDescription->setVisible(engine_.ShowDescription);
    if (engine_.ShowDescription) top = 30 + 495 + 30;
    picBrowser->setGeometry(Px(30), Px(top), Px(scaleWidth - 30), Px(cancelTop - 120 - top));

    // The browsing area.
    const int w = Tw(picBrowser->width()), h = Tw(picBrowser->height());
    pnlJumpCart->setGeometry(0, 0, Px(w), pnlJumpCart->height());
    const int jumpLeft = Tw(txtCartNumber_->geometry().right() + 1) + 60;
    const int buttonWidth = (w - jumpLeft) / 2 - 30;
    cmdJumpCart_->setGeometry(Px(jumpLeft), Px(30), Px(buttonWidth), Px(345));
    cmdFindCart->setGeometry(Px(jumpLeft + buttonWidth + 30), Px(30), Px(buttonWidth), Px(345));
    const int strip = Tw(pnlJumpCart->height());
    const int scrollLeft = w - 390 - 15;
    cmdBigScroll[0]->move(Px(scrollLeft), Px(strip + 30));
    cmdSmallScroll[0]->move(Px(scrollLeft), Px(strip + 30 + 555 + 30));
    cmdBigScroll[1]->move(Px(scrollLeft), Px(h - 555));
    cmdSmallScroll[1]->move(Px(scrollLeft), Px(h - 555 - 30 - 555));
    const int labelsTop = strip + 30;
    pnlCartLabels->setGeometry(0, Px(labelsTop), Px(scrollLeft - 30), Px(h - labelsTop));
    engine_.LayoutRows(scrollLeft - 30, h - labelsTop);
    engine_.RedrawRows();
}

void frmCartBrowser::EnsureRowWidgets() {
    while (numberButtons_.size() < engine_.Rows.size()) {
        const int row = static_cast<int>(numberButtons_.size()) + 1;
        auto* number = new QPushButton(pnlCartLabels);
        number->setFocusPolicy(Qt::NoFocus);
        auto* panel = new QLabel(pnlCartLabels);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setAutoFillBackground(true);
        panel->setIndent(Px(60));
        panel->setMouseTracking(false);
        panel->installEventFilter(this);
        number->installEventFilter(this);
        connect(number, &QPushButton::clicked, this,
                [this, row] { engine_.PickRow(static_cast<int16_t>(row)); });
        numberButtons_.push_back(number);
        panels_.push_back(panel);
    }
}

void frmCartBrowser::MirrorRows() {
    EnsureRowWidgets();
    const int height = engine_.PanelHeight;
    const int panelLeft = 15 + kCartNumberWidth + 15;
    const int panelWidth = Tw(pnlCartLabels->width()) - 30 - panelLeft;
    for (size_t i = 0; i < engine_.Rows.size(); ++i) {
        const BrowserRow& row = engine_.Rows[i];
        QPushButton* number = numberButtons_[i];
        QLabel* panel = panels_[i];
        const int top = static_cast<int>(i) * height + 15;
        number->setGeometry(Px(15), Px(top), Px(kCartNumberWidth), Px(height));
        panel->setGeometry(Px(panelLeft), Px(top), Px(panelWidth), Px(height));
        const bool visible = row.Visible && static_cast<int16_t>(i) < engine_.RowCount;
        number->setVisible(visible);
        panel->setVisible(visible);
        number->setText(QString::fromStdString(row.NumberCaption));
        panel->setText(Platform::FromWindows1252(row.Caption));
        panel->setStyleSheet(QString("QLabel { background: %1; color: %2; }")
                                 .arg(Colour(row.BackColor), Colour(row.ForeColor)));
        panel->setProperty("Tag", QString::fromStdString(row.Tag));
    }
    MirrorSelection();
}

void frmCartBrowser::MirrorSelection() {
    for (size_t i = 0; i < numberButtons_.size() && i < engine_.Rows.size(); ++i) {
        // Only the selected number's dark blue needs white text; the rest keep the button text.
        const int32_t back = engine_.Rows[i].NumberBackColor;
        numberButtons_[i]->setStyleSheet(
            QString("QPushButton { background: %1;%2 }")
                .arg(Colour(back), back == kSelectedNumberColour ? " color: white;" : ""));
    }
    const QString text = QString::fromStdString(engine_.txtCartNumber);
    if (txtCartNumber_->text() != text) txtCartNumber_->setText(text);
    cmdJumpCart_->setEnabled(engine_.cmdJumpCartEnabled);
}

void frmCartBrowser::PanelPress(int row, Qt::MouseButton button, QPoint at) {
    engine_.RowPress(static_cast<int16_t>(row), button == Qt::LeftButton ? 1 : 2,
                     static_cast<float>(Tw(at.x())), static_cast<float>(Tw(at.y())));
}

void frmCartBrowser::PanelMove(int row, Qt::MouseButtons buttons, QPoint at) {
    if (!engine_.RowMove(static_cast<int16_t>(row), buttons == Qt::NoButton ? 0 : 1,
                         static_cast<float>(Tw(at.x())), static_cast<float>(Tw(at.y())), kTwips))
        return;
    StartDrag(row, engine_.Rows[static_cast<size_t>(row - 1)].Tag);
    engine_.DragFinished();
}

void frmCartBrowser::PanelRelease(int row, Qt::MouseButton button) {
    engine_.RowRelease(static_cast<int16_t>(row), button == Qt::LeftButton ? 1 : 2);
}

void frmCartBrowser::RunDrag(int row, const std::string& cart) {
    auto* drag = new QDrag(pnlCart(row));
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(cart));
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

void frmCartBrowser::OpenFind(FindKind kind, int32_t start) {
    frmFindCart& find = FindCart();
    FindCartEngine& engine = find.Engine();
    if (kind == FindKind::FindNext) {
        engine.CartStartNumber = start;
        engine.JumpRequestForm = &engine_;
    } else {
        engine.JumpRequestForm = &engine_;
        engine.CartStartNumber = start;
    }
    find.setWindowModality(engine_.ShowChildFormsModally ? Qt::ApplicationModal : Qt::NonModal);
    find.show();
}

void frmCartBrowser::OpenReport(int32_t cart) {
    // The window is made only for a report, so a cart without one leaves nothing behind.
    Audio_Player_FN::BuildCartInfoReport(cart, [](const std::string& report) {
        auto* preview = new frmPrintPreview;
        preview->setAttribute(Qt::WA_DeleteOnClose);
        preview->ShowReport(report);
    });
}

void frmCartBrowser::OpenNotes(const std::string& fileName) {
    auto* preview = new frmPrintPreview;
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->SetFloater();
    preview->DisplayFileName = fileName;
    preview->setWindowModality(engine_.ShowChildFormsModally ? Qt::ApplicationModal : Qt::NonModal);
    preview->show();
}

void frmCartBrowser::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    engine_.Shown = true;
    engine_.ScreenWidth = ScreenWidthTwips();
    engine_.WindowWidth = Tw(frameGeometry().width());
    LayoutWindow();
    if (engine_.Activate()) move(Px(engine_.LeftPosition), Px(engine_.TopPosition));
}

void frmCartBrowser::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    engine_.Shown = false;
    emit Hidden();
}

void frmCartBrowser::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        engine_.Active = isActiveWindow();
        if (engine_.Active) engine_.Activate();
    }
}

void frmCartBrowser::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    engine_.WindowWidth = Tw(frameGeometry().width());
    LayoutWindow();
}

void frmCartBrowser::closeEvent(QCloseEvent* event) {
    if (unloading_) {
        engine_.UpdateRequestForm = nullptr;
        QWidget::closeEvent(event);
        return;
    }
    // The close box hides the shared instance; its state survives.
    event->ignore();
    engine_.PositionApplied = false;
    hide();
}

bool frmCartBrowser::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress) {
        if (!FirstKeyStop(*this, watched)) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (engine_.KeyDown(KeyCodeOf(*key), ShiftBits(key->modifiers()))) {
            MirrorSelection();
            return true;
        }
        const char typed = KeyCharOf(*key);
        if (typed != 0 && engine_.KeyPress(typed)) return true;
        if (watched == txtCartNumber_ && typed != 0 && typed != 8 && typed != 27 && typed != 13 &&
            !(typed >= '0' && typed <= '9'))
            return true;
        return false;
    }
    for (size_t i = 0; i < panels_.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        if (watched == numberButtons_[i] && type == QEvent::MouseButtonPress) {
            engine_.NumberPress(static_cast<int16_t>(row));
            return false;
        }
        if (watched != panels_[i]) continue;
        auto* mouse = dynamic_cast<QMouseEvent*>(event);
        if (!mouse) return false;
        switch (type) {
        case QEvent::MouseButtonPress:
            PanelPress(row, mouse->button(), mouse->position().toPoint());
            return true;
        case QEvent::MouseMove:
            PanelMove(row, mouse->buttons(), mouse->position().toPoint());
            return true;
        case QEvent::MouseButtonRelease:
            PanelRelease(row, mouse->button());
            return true;
        case QEvent::MouseButtonDblClick:
            engine_.RowDoubleClick(static_cast<int16_t>(row));
            return true;
        default:
            return false;
        }
    }
    return QWidget::eventFilter(watched, event);
}

frmCartBrowser& CartBrowser() {
    if (!Instance()) Instance() = std::make_unique<frmCartBrowser>();
    return *Instance();
}

frmCartBrowser* CartBrowserIfLoaded() {
    return Instance().get();
}

void UnloadCartBrowser() {
    if (!Instance()) return;
    Instance()->AllowUnload();
    Instance()->close();
    Instance().reset();
}

void mnuCartBrowser_Click() {
    frmCartBrowser& browser = CartBrowser();
    browser.Engine().AllowDragging = true;
    browser.show();
}

void PickCart(std::function<void(int32_t)> done) {
    frmCartBrowser& browser = CartBrowser();
    browser.Engine().AllowDragging = false;
    browser.Engine().UpdateRequestForm = nullptr;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection =
        QObject::connect(&browser, &frmCartBrowser::Hidden, &browser, [connection, done, &browser] {
            QObject::disconnect(*connection);
            const double value = VB::Val(browser.Engine().Tag);
            done(value > 0 ? static_cast<int32_t>(value) : 0);
        });
    browser.show();
}

int32_t ChooseCart() {
    QEventLoop waiting;
    int32_t chosen = 0;
    PickCart([&](int32_t cart) {
        chosen = cart;
        waiting.quit();
    });
    waiting.exec();
    return chosen;
}

} // namespace Browsing
