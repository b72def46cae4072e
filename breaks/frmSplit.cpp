#include "breaks/frmSplit.h"

#include "breaks/BreaksState.h"
#include "breaks/LogEditing.h"
#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Common.h"
#include "carts/HardwareLines.h"
#include "carts/PlayerTable.h"
#include "carts/PlayerWindows.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "platform/Clock.h"
#include "platform/FileNumbers.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"
#include "ui_controls/HWndGrab.h"
#include "ui_controls/OleColour.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kTwips = 15.0; // twips per pixel of the window's layout
constexpr int16_t kSplit = 1;

enum VBKey : int16_t {
    vbKeyBack = 8,
    vbKeyEscape = 27,
    vbKeySpace = 32,
    vbKeyHome = 36,
    vbKeyUp = 38,
    vbKeyDown = 40,
    vbKeyPause = 19,
    vbKey0 = 48,
    vbKey9 = 57,
    vbKeyNumpad0 = 96,
    vbKeyNumpad9 = 105,
    vbKeyF1 = 112,
};

// The digit of a key of the main digit row by its X key code (1..9 then 0 are 10..19), so that
// Shift+3 is 3 whatever symbol the layout puts on it; -1 for other keys.
int DigitRowDigit(const QKeyEvent& key) {
    constexpr quint32 kDigit1 = 10, kDigit0 = 19;
    const quint32 scan = key.nativeScanCode();
    if (scan < kDigit1 || scan > kDigit0) return -1;
    return static_cast<int>((scan - kDigit1 + 1) % 10);
}

// The classic key code of a key press, 0 for keys the window has no use for.
int16_t KeyCodeOf(const QKeyEvent& key) {
    const int k = key.key();
    const bool keypad = key.modifiers() & Qt::KeypadModifier;
    if (!keypad)
        if (const int digit = DigitRowDigit(key); digit >= 0)
            return static_cast<int16_t>(vbKey0 + digit);
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return static_cast<int16_t>((keypad ? vbKeyNumpad0 : vbKey0) + (k - Qt::Key_0));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F16)
        return static_cast<int16_t>(vbKeyF1 + (k - Qt::Key_F1));
    switch (k) {
    case Qt::Key_Backspace:
        return vbKeyBack;
    case Qt::Key_Escape:
        return vbKeyEscape;
    case Qt::Key_Space:
        return vbKeySpace;
    case Qt::Key_Home:
        return vbKeyHome;
    case Qt::Key_Up:
        return vbKeyUp;
    case Qt::Key_Down:
        return vbKeyDown;
    case Qt::Key_Pause:
        return vbKeyPause;
    default:
        return 0;
    }
}

int16_t ShiftOf(Qt::KeyboardModifiers modifiers) {
    int16_t shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= 1;
    if (modifiers & Qt::ControlModifier) shift |= 2;
    if (modifiers & Qt::AltModifier) shift |= 4;
    return shift;
}

int Px(double twips) {
    return static_cast<int>(twips / kTwips);
}

// The break column: wide enough for a whole advert title (the log's 30-character column) in
// the advert list, which takes half the column, scroll bar included; at least 5400 twips and
// at most half the window.
int BreakColumnWidth(const QListWidget& list, int windowWidth) {
    constexpr int kTitleCharacters = 30;
    const int listWidth = list.fontMetrics().horizontalAdvance(QString(kTitleCharacters, 'n')) +
                          2 * list.frameWidth() + list.verticalScrollBar()->sizeHint().width();
    const int needed = 2 * (listWidth + Px(30)) + 4;
    return std::min(std::max(Px(5400), needed), windowWidth / 2);
}

template <class F, class... A> void Call(const F& door, A&&... args) {
    if (door) door(std::forward<A>(args)...);
}

} // namespace

frmSplit::frmSplit(SplitEngine& engine, SplitWindowDoors doors, QWidget* parent)
    : QWidget(parent), engine_(engine), doors_(std::move(doors)), log_(engine) {
    setWindowTitle("Split");
    picLog = new LogPictureBox(*this, log_);
    for (QWidget* w : {static_cast<QWidget*>(picLog), static_cast<QWidget*>(&sftUp),
                       static_cast<QWidget*>(&sftDown)})
        w->setParent(&picLogHolder);
    picLogHolder.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    for (QWidget* w :
         {static_cast<QWidget*>(&listadBreak), static_cast<QWidget*>(&listCarts),
          static_cast<QWidget*>(&lblCurrentBreak), static_cast<QWidget*>(&lblCartList)})
        w->setParent(&picAdBreak);
    for (QWidget* w :
         {static_cast<QWidget*>(&picLogHolder), static_cast<QWidget*>(&lblAdvertLog),
          static_cast<QWidget*>(&picAdBreak), static_cast<QWidget*>(&cmdPreviousBreak),
          static_cast<QWidget*>(&cmdCueBreak), static_cast<QWidget*>(&cmdPlayBreak),
          static_cast<QWidget*>(&cmdDumpBreak), static_cast<QWidget*>(&pnlAdbreakTimeRemain),
          static_cast<QWidget*>(&StatusBar1), static_cast<QWidget*>(&pnlStatus),
          static_cast<QWidget*>(&ProgressBar), static_cast<QWidget*>(&piclogo),
          static_cast<QWidget*>(&lineBottomdark), static_cast<QWidget*>(&LineBottomLight)})
        w->setParent(this);
    pnlAdbreakTimeRemain.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlAdbreakTimeRemain.setAlignment(Qt::AlignCenter);
    pnlAdbreakTimeRemain.setAutoFillBackground(true);
    QFont big = pnlAdbreakTimeRemain.font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    pnlAdbreakTimeRemain.setFont(big);
    pnlStatus.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlStatus.setCursor(Qt::PointingHandCursor);
    pnlStatus.installEventFilter(this);
    ProgressBar.hide();
    StatusBar1.setSizeGripEnabled(false);
    statusCaption.setObjectName("statuscaption");
    ocpControl.setObjectName("ocpcontrol");
    pnlStatus.setObjectName("status");
    StatusBar1.addPermanentWidget(&statusCaption);
    StatusBar1.addPermanentWidget(&ocpControl);
    piclogo.setText("VNTZEL");
    piclogo.setAlignment(Qt::AlignCenter);
    QFont logo = piclogo.font();
    logo.setBold(true);
    logo.setPointSize(logo.pointSize() + 6);
    piclogo.setFont(logo);
    lineBottomdark.setFrameStyle(QFrame::HLine | QFrame::Plain);
    LineBottomLight.setFrameStyle(QFrame::HLine | QFrame::Plain);
    lineBottomdark.setStyleSheet("color: #808080");
    LineBottomLight.setStyleSheet("color: #ffffff");

    // The window's grabber is configured through its stored properties only.
    HWndGrab = std::make_unique<obControls::HWndGrab>(this);
    Platform::Com::PropertyBag bag;
    bag.WriteProperty("LimitSize", true);
    bag.WriteProperty("MinWidth", 9000);
    bag.WriteProperty("MinHeight", 6000);
    bag.WriteProperty("MaxWidth", 80000);
    bag.WriteProperty("MaxHeight", 80000);
    HWndGrab->SetTwipsPerPixel({kTwips, kTwips});
    HWndGrab->ReadProperties(bag);

    connect(&cmdPreviousBreak, &QPushButton::clicked, this,
            [this] { engine_.CuePreviousBreak(true); });
    connect(&cmdCueBreak, &QPushButton::clicked, this, [this] { engine_.ReCueCurrentBreak(true); });
    connect(&cmdPlayBreak, &QPushButton::clicked, this, [this] { engine_.PlayBreak(true); });
    connect(&cmdDumpBreak, &QPushButton::clicked, this, [this] { engine_.DumpBreak(true); });
    connect(&sftUp, &QPushButton::pressed, this, [this] { log_.ScrollPress(false); });
    connect(&sftDown, &QPushButton::pressed, this, [this] { log_.ScrollPress(true); });
    connect(&sftUp, &QPushButton::released, this, [this] { log_.ScrollRelease(false); });
    connect(&sftDown, &QPushButton::released, this, [this] { log_.ScrollRelease(true); });
    connect(&sftUp, &QPushButton::clicked, this, [this] { log_.sftUp_Click(0); });
    connect(&sftDown, &QPushButton::clicked, this, [this] { log_.sftDown_Click(0); });
    connect(&log_, &LogDisplay::changed, this, [this] {
        if (!log_.Caption.empty()) setWindowTitle(QString::fromLatin1(log_.Caption.c_str()));
        picLog->update();
    });
    connect(picLog, &LogPictureBox::rightClicked, this, [this](int row, QPoint global) {
        const int32_t position = log_.LogLinePos[static_cast<size_t>(row)];
        if (doors_.mnuEditLog) {
            doors_.mnuEditLog(position, global);
            return;
        }
        QMenu menu;
        QAction* insert = menu.addAction("Insert Advert...");
        QAction* remove = menu.addAction("Remove Advert");
        QAction* chosen = menu.exec(global);
        if (chosen == insert) InsertAdvert(position, 0);
        if (chosen == remove) RemoveAdvert(position);
    });
    connect(&engine_, &SplitEngine::logDisplayChanged, this, &frmSplit::UpdateLog);
    connect(&engine_, &SplitEngine::buttonsChanged, this, &frmSplit::MirrorEngine);
    connect(&engine_, &SplitEngine::breakListingChanged, this, &frmSplit::MirrorEngine);
    connect(&engine_, &SplitEngine::breakTimesChanged, this, &frmSplit::MirrorEngine);
    connect(&engine_, &SplitEngine::statusChanged, this, &frmSplit::MirrorEngine);

    tmrCartList.setTimerType(Qt::PreciseTimer);
    tmrCartList.setInterval(50);
    tmrLogReload.setTimerType(Qt::PreciseTimer);
    tmrLogReload.setSingleShot(true);
    tmrLogReload.setInterval(1000);
    connect(&tmrCartList, &QTimer::timeout, this, [this] { Call(doors_.CartListTick); });
    connect(&tmrLogReload, &QTimer::timeout, this, &frmSplit::tmrLogReload_Timer);
    connect(&tmrLogUpdateInterval, &QTimer::timeout, this, [this] {
        engine_.tmrLogUpdateInterval_Timer();
        MirrorEngine();
    });
    tmrCartList.start();
    resize(Px(12000), Px(8400));
    // Keys reach the window first, whichever of its controls has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    MirrorEngine();
}

frmSplit::~frmSplit() {
    if (loaded_ && !unloading_) Form_Unload();
}

// The log-update timer's interval: the split's interval in seconds, at least one second.
static int LogUpdateMs(int16_t seconds) {
    return std::max(1000, static_cast<int>(std::min<int64_t>(int64_t(seconds) * 1000,
                                                             std::numeric_limits<int>::max())));
}

void frmSplit::Form_Load() {
    Call(doors_.lblCurrentAction, std::string("Reading Cart Groups..."));
    Call(doors_.LoadCartGroups, MainSettings::Settings().MainIniFile);
    Call(doors_.AddNoticeListener);
    ZEL_Common::SplitRecord& split = engine_.Split();
    const int32_t today = Platform::Clock::Today();
    split.CuedBreakDate = split.LoadedLogDate = today;
    ZEL_Common::OpenLogForDate(kSplit, today);
    split.CuedBreakTime = -1;
    engine_.CheckForNewLogFile(false);
    engine_.CueFirstBreakToPlay(false);
    engine_.UpdateBreakListing(1);
    engine_.UpdateBreakTimeInformation();
    Call(doors_.ResetLogReloadTimes);
    tmrLogUpdateInterval.setInterval(LogUpdateMs(split.LogUpdateInterval));
    tmrLogUpdateInterval.start();
    tmrLogReload.start(LogReloadInterval(Platform::Clock::Timer()));
    Call(doors_.CheckForFutureLogFiles);
    Call(doors_.UnloadSplash);
    Call(doors_.ConnectToZOZ);
    loaded_ = true;
    UpdateLog();
    MirrorEngine();
}

int frmSplit::LogReloadInterval(double seconds) {
    constexpr int kAfterSecondMs = 2;
    // The clock counts whole milliseconds; whatever it says, the wait is 3 to 1002 ms.
    const int64_t millisecond = std::llround(seconds * 1000.0) % 1000;
    return static_cast<int>(1000 - (millisecond + 1000) % 1000) + kAfterSecondMs;
}

void frmSplit::tmrLogReload_Timer() {
    // Aimed again every tick, from the clock the scheduler reads, so that neither the timer's
    // drift nor a late wake-up adds up.
    tmrLogReload.start(LogReloadInterval(Platform::Clock::Timer()));
    Call(doors_.LogReloadTick);
}

void frmSplit::Form_Activate() {
    tmrLogUpdateInterval.setInterval(LogUpdateMs(engine_.Split().LogUpdateInterval));
    Call(doors_.mnuSplit, true);
}

void frmSplit::Form_Deactivate() {
    Call(doors_.mnuSplit, false);
}

void frmSplit::Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) {
    Cancel = UnloadMode == 0 ? -1 : 0;
}

void frmSplit::Form_Unload() {
    tmrCartList.stop();
    tmrLogReload.stop();
    tmrLogUpdateInterval.stop();
    int16_t line = MainSettings::Settings().General.SourceLine;
    if (line >= 1) HardwareAPI::SetHardwareLine(line, HardwareAPI::OutputOff);
    Call(doors_.DisconnectFromNetworkController);
    Call(doors_.RemoveNoticeListener);
    loaded_ = false;
}

void frmSplit::Unload() {
    unloading_ = true;
    Form_Unload();
    close();
}

void frmSplit::closeEvent(QCloseEvent* event) {
    if (unloading_) {
        event->accept();
        return;
    }
    int16_t cancel = 0;
    Form_QueryUnload(cancel, 0);
    if (cancel) event->ignore();
}

// Keys go to the window before its focused control; true when the window used the key.
bool frmSplit::KeyPreview(QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    int16_t code = KeyCodeOf(*key);
    if (code == 0) return false;
    Form_KeyDown(code, ShiftOf(key->modifiers()));
    return code == 0;
}

bool frmSplit::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) Form_Activate();
    if (event->type() == QEvent::WindowDeactivate) Form_Deactivate();
    if (KeyPreview(event)) return true;
    return QWidget::event(event);
}

bool frmSplit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &pnlStatus && event->type() == QEvent::MouseButtonRelease) {
        pnlStatus_Click();
        return true;
    }
    if (KeyPreview(event)) return true;
    return QWidget::eventFilter(watched, event);
}

void frmSplit::Form_KeyDown(int16_t& KeyCode, int16_t Shift) {
    int32_t cart = 0;
    if (Audio_Player_FN::HandlePlayerKey(KeyCode, Shift, cart) == 0) {
        KeyCode = 0;
        return;
    }
    const bool shift = Shift & 1, alt = Shift & 4;
    const int16_t code = KeyCode;
    if (code == vbKeyEscape) {
        if (shift) {
            KeyCode = 0;
            Unload();
        }
        return;
    }
    KeyCode = 0;
    if (code == vbKeyDown) {
        log_.sftDown_Click(0);
    } else if (code == vbKeyUp) {
        log_.sftUp_Click(0);
    } else if (code == vbKeyHome) {
        log_.DisplayedBreakPos = engine_.Split().CuedBreakPos;
        UpdateLog();
    } else if (code == vbKeySpace) {
        if (cmdPlayBreak.isEnabled()) engine_.PlayBreak(true);
    } else if (code == vbKeyBack) {
        if (cmdCueBreak.isEnabled()) engine_.ReCueCurrentBreak(true);
    } else if (code == vbKeyPause) {
        if (cmdDumpBreak.isEnabled()) engine_.DumpBreak(true);
    } else if (code > vbKeyNumpad0 && code <= vbKeyNumpad9) {
        Call(doors_.PlayCartGroup, static_cast<int16_t>(code - vbKeyNumpad0), true);
    } else if (code == vbKeyNumpad0 || (code == vbKey0 && !alt)) {
        Call(doors_.PlayCartGroup, int16_t(10), true);
    } else if (code > vbKey0 && code <= vbKey9) {
        const int16_t digit = code - vbKey0;
        if (alt)
            Call(doors_.tbsCartGroups, static_cast<int16_t>(digit / 2));
        else
            Call(doors_.pnlCartGroup_Click, static_cast<int16_t>(digit + (shift ? 10 : 0)));
    } else if (code == vbKey0) { // Alt+0: the first page, the key goes on
        Call(doors_.tbsCartGroups, int16_t(0));
        KeyCode = code;
    } else {
        KeyCode = code;
    }
}

void frmSplit::SetPlayerDescription(int16_t PlayerNumber, const std::string& Text) {
    const int32_t players = MainSettings::Settings().Audio.TotalNumberCartPlayers;
    CartPlayers::PlayerTableArray& table = CartPlayers::State().PlayerTable;
    if (PlayerNumber < 1 || PlayerNumber > players ||
        PlayerNumber >= static_cast<int16_t>(table.size()))
        return;
    auto& cart = table[static_cast<size_t>(PlayerNumber)].Cart;
    cart.Description1 = VB::FixedLength(VB::Mid(Text, 1, 50), 50);
    cart.Description2 = VB::FixedLength(VB::Mid(Text, 51, 50), 50);
    cart.Description3 = VB::FixedLength(VB::Mid(Text, 101, 50), 50);
    Call(doors_.UpdatePlayerCaption, PlayerNumber);
}

void frmSplit::InsertAdvert(int32_t AdvertFilePos, int32_t NewCartNumber) {
    GeneralFunctions::WriteDebugLine("InsertAdvert:AdvertFilePos:" + std::to_string(AdvertFilePos) +
                                         ":NewCartNumber:" + std::to_string(NewCartNumber),
                                     -1);
    EditLog(AdvertFilePos, [&] {
        return ZEL_Common::InsertAdvertIntoLogFile(kSplit, AdvertFilePos, NewCartNumber);
    });
}

void frmSplit::RemoveAdvert(int32_t AdvertFilePos) {
    GeneralFunctions::WriteDebugLine("RemoveAdvert:AdvertFilePos:" + std::to_string(AdvertFilePos),
                                     -1);
    EditLog(AdvertFilePos,
            [&] { return ZEL_Common::RemoveAdvertFromLogFile(kSplit, AdvertFilePos); });
}

void frmSplit::EditLog(int32_t AdvertFilePos, const std::function<bool()>& Edit) {
    const Breaks::BreaksState& state = Breaks::State();
    if (state.LogCopyInProgress) {
        Platform::MsgBox("You cannot edit the log while a new log is being copied onto the system",
                         Platform::vbExclamation);
        return;
    }
    if (state.BreakRunning) {
        Platform::MsgBox("You cannot add to the log while a break is playing",
                         Platform::vbExclamation);
        return;
    }
    const int32_t shown = log_.DisplayedBreakPos;
    const int32_t before = LogLength();
    if (!Edit()) return;
    engine_.ReloadEditedBreak();
    log_.KeepPlace(shown, AdvertFilePos, LogLength() - before);
    UpdateLog();
}

int32_t frmSplit::LogLength() const {
    const int16_t file = engine_.Split().LogFileNumber;
    return file == 0 ? 0 : static_cast<int32_t>(Platform::FileNumbers::Length(file));
}

void frmSplit::UpdateLog() {
    log_.FollowEngine();
    const int rowPixels = std::max(1, picLog->fontMetrics().height());
    log_.LogLineHeight = static_cast<int16_t>(rowPixels * kTwips);
    log_.UpdateLog(static_cast<int32_t>(picLog->width() * kTwips),
                   std::max(1, picLog->height() / rowPixels));
}

void frmSplit::MirrorEngine() {
    cmdDumpBreak.setEnabled(engine_.DumpEnabled());
    cmdPreviousBreak.setEnabled(engine_.PreviousEnabled());
    listadBreak.clear();
    for (const auto& [title, cart] : engine_.BreakListing()) {
        auto* item = new QListWidgetItem(QString::fromLatin1(VB::Trim(title).c_str()));
        item->setData(Qt::UserRole, cart);
        listadBreak.addItem(item);
    }
    if (!engine_.StatusText().empty()) {
        pnlStatus.setText(QString::fromLatin1(engine_.StatusText().c_str()));
        QPalette status = pnlStatus.palette();
        status.setColor(QPalette::Window, obControls::TranslateColour(engine_.StatusColour()));
        pnlStatus.setAutoFillBackground(true);
        pnlStatus.setPalette(status);
    }
    pnlAdbreakTimeRemain.setText(QString::fromLatin1(engine_.TimeRemainText().c_str()));
    QPalette palette = pnlAdbreakTimeRemain.palette();
    palette.setColor(QPalette::Window, obControls::TranslateColour(engine_.TimeRemainColour()));
    pnlAdbreakTimeRemain.setPalette(palette);
}

void frmSplit::resizeEvent(QResizeEvent*) {
    Form_Resize();
}

void frmSplit::Form_Resize() {
    log_.LogLineHeight = static_cast<int16_t>(picLog->fontMetrics().height() * kTwips);
    if (windowState() & Qt::WindowMinimized) return;
    LayOut();
    UpdateLog();
}

void frmSplit::pnlStatus_Click() {
    Call(doors_.mnuSplitViewLogs_Click);
}

void frmSplit::LayOut() {
    const int W = width(), H = height();
    const int status = StatusBar1.sizeHint().height();
    StatusBar1.setGeometry(0, H - status, W, status);
    lineBottomdark.setGeometry(0, H - status - 2, W, 1);
    LineBottomLight.setGeometry(0, H - status - 1, W, 1);
    const int right = BreakColumnWidth(listadBreak, W);
    const int left = W - right;
    piclogo.setGeometry(left, 4, right - 4, Px(600));
    const int buttonsTop = Px(700), buttonH = Px(450), gap = 4;
    const int bw = (right - 4 - 3 * gap) / 4;
    int x = left;
    for (QPushButton* b : {&cmdPreviousBreak, &cmdCueBreak, &cmdPlayBreak, &cmdDumpBreak}) {
        b->setGeometry(x, buttonsTop, bw, buttonH);
        x += bw + gap;
    }
    pnlAdbreakTimeRemain.setGeometry(left, buttonsTop + buttonH + gap, right - 4, Px(700));
    const int adTop = pnlAdbreakTimeRemain.geometry().bottom() + gap;
    picAdBreak.setGeometry(left, adTop, right - 4, std::max(0, H - status - 4 - adTop));
    // In the break panel the cart list takes half the width right of the advert list's left
    // edge, 60 twips from the right; the advert list the rest less a 30-twip gap.
    const int pw = picAdBreak.width(), ph = picAdBreak.height(), label = Px(300);
    const int cartsWidth = pw / 2 - Px(60);
    listCarts.setGeometry(pw - Px(60) - cartsWidth, label, cartsWidth, std::max(0, ph - label));
    lblCartList.setGeometry(listCarts.x(), 0, cartsWidth, label);
    listadBreak.setGeometry(0, label, std::max(0, listCarts.x() - Px(30)), std::max(0, ph - label));
    lblCurrentBreak.setGeometry(0, 0, listadBreak.width(), label);
    lblAdvertLog.setGeometry(4, 4, left - 8, Px(300));
    picLogHolder.setGeometry(4, Px(300) + 4, left - 12, std::max(0, H - status - Px(300) - 12));
    picLogHolder_Resize();
    // Progress bar and status panel over the status bar's "status" panel, 30 twips inset.
    const int inset = Px(30);
    const int statusWidth = std::max(0, W - statusCaption.width() - ocpControl.width() - Px(90));
    pnlStatus.setGeometry(2, H - status + inset, statusWidth, status - 2 * inset);
    ProgressBar.setGeometry(pnlStatus.geometry());
}

void frmSplit::picLogHolder_Resize() {
    const QRect inside = picLogHolder.contentsRect();
    const int buttonW = Px(360);
    picLog->setGeometry(inside.left(), inside.top(), inside.width() - buttonW, inside.height());
    const int half = inside.height() / 2;
    sftUp.setGeometry(inside.right() - buttonW + 1, inside.top(), buttonW, half);
    sftDown.setGeometry(inside.right() - buttonW + 1, inside.top() + half, buttonW,
                        inside.height() - half);
}

// ---- the log display's picture box ----

LogPictureBox::LogPictureBox(frmSplit& form, LogDisplay& display) : form_(form), display_(display) {
    setAcceptDrops(true);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    setPalette(p);
}

int LogPictureBox::RowAtPixel(int y) const {
    return display_.RowAt(static_cast<int32_t>(y * kTwips));
}

void LogPictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int rowH = std::max(1, static_cast<int>(display_.LogLineHeight / kTwips));
    const QFontMetrics metrics(font());
    for (size_t r = 0; r < display_.Rows.size(); ++r) {
        const int top = static_cast<int>(r) * rowH;
        if (static_cast<int>(r) + 1 == highlightedRow_)
            p.fillRect(QRect(1, top, width() - Px(20) - 1, rowH - 1),
                       palette().color(QPalette::Highlight));
        for (const LogText& t : display_.Rows[r]) {
            const QString text = QString::fromLatin1(t.text.c_str());
            const int x = t.rightAligned ? Px(t.x) - metrics.horizontalAdvance(text) : Px(t.x);
            p.setPen(t.colour);
            p.drawText(x, top + metrics.ascent(), text);
        }
    }
    if (display_.Frame) {
        const LogFrame& f = *display_.Frame;
        p.setPen(QPen(f.colour, 2));
        p.setBrush(Qt::NoBrush);
        const int top = (f.firstRow - 1) * rowH + 1, bottom = f.lastRow * rowH;
        p.drawRect(QRect(QPoint(1, top), QPoint(width() - 2, bottom)));
    }
    if (display_.MarkerShown && display_.DropMarkerRow > 0) {
        const int top = (display_.DropMarkerRow - 1) * rowH;
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.fillRect(QRect(1, top - 2, width() - Px(20) - 1, 5), Qt::white);
    }
}

void LogPictureBox::mousePressEvent(QMouseEvent* event) {
    picLog_MouseDown(event->button(), event->position(), event->globalPosition().toPoint());
}

void LogPictureBox::picLog_MouseDown(Qt::MouseButton Button, QPointF position, QPoint global) {
    if (Button != Qt::RightButton) return;
    const int row = RowAtPixel(static_cast<int>(position.y()));
    if (display_.RowHoldsAdvert(row)) {
        highlightedRow_ = row;
        repaint();
        emit rightClicked(row, global);
        highlightedRow_ = 0;
    }
    form_.UpdateLog();
}

void LogPictureBox::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(kCartMime)) event->acceptProposedAction();
}

void LogPictureBox::dragMoveEvent(QDragMoveEvent* event) {
    picLog_DragOver(event->position(), 0);
    event->acceptProposedAction();
}

void LogPictureBox::dragLeaveEvent(QDragLeaveEvent*) {
    picLog_DragOver({}, 1);
}

void LogPictureBox::picLog_DragOver(QPointF position, int State) {
    if (display_.DragOver(State == 1 ? 0 : RowAtPixel(static_cast<int>(position.y())), State))
        update();
}

void LogPictureBox::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    picLog_DragDrop(*event->mimeData(), event->position());
}

void LogPictureBox::picLog_DragDrop(const QMimeData& Source, QPointF position) {
    const int row = RowAtPixel(static_cast<int>(position.y()));
    const QList<QByteArray> parts = Source.data(kCartMime).split('\n');
    const std::string name = parts.value(0).toStdString(), value = parts.value(1).toStdString();
    const int32_t cart = LogDisplay::DroppedCart(name, static_cast<int32_t>(VB::Val(value)), value);
    const int32_t filePos = display_.DropOnRow(row);
    update();
    if (filePos <= 0 || cart <= 0) return;
    Vantor_Cart_Routines::CartRecord rec;
    if (Vantor_Cart_Routines::ReadCart(rec, cart) != 0 || rec.TotalLength <= 0) return;
    form_.InsertAdvert(filePos, cart);
}
