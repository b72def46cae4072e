#include "carts/frmAudioPlayer.h"

#include "carts/CartPlayer.h"
#include "carts/PlayerImages.h"
#include "platform/Screen.h"
#include "platform/Text1252.h"
#include "player_controls/FlennPlayer.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

namespace CartPlayers {

namespace {

constexpr int kTwips = Platform::kTwipsPerPixel;

int ShiftState(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= kShiftMask;
    if (modifiers & Qt::ControlModifier) shift |= kCtrlMask;
    if (modifiers & Qt::AltModifier) shift |= kAltMask;
    return shift;
}

int MouseButton(Qt::MouseButtons buttons) {
    int button = 0;
    if (buttons & Qt::LeftButton) button |= kLeftButton;
    if (buttons & Qt::RightButton) button |= kRightButton;
    if (buttons & Qt::MiddleButton) button |= 4;
    return button;
}

QToolButton* MakeButton(QWidget* parent, const QIcon& icon, const char* name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(icon);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QIcon CueIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setBrush(QColor(0, 0, 128));
    p.setPen(Qt::NoPen);
    p.drawRect(6, 6, 5, 20);
    p.drawPolygon(QPolygon({QPoint(26, 6), QPoint(12, 16), QPoint(26, 26)}));
    return QIcon(pixmap);
}

QIcon EjectIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setBrush(QColor(128, 0, 0));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygon({QPoint(6, 18), QPoint(16, 6), QPoint(26, 18)}));
    p.drawRect(6, 21, 20, 5);
    return QIcon(pixmap);
}

} // namespace

QColor DisplayColour(int32_t colour) {
    if (colour < 0) return QColor(0xF0, 0xF0, 0xF0); // button face and other system colours
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

QRect frmAudioPlayer::PixelRect(const PanelState& panel) {
    return QRect(panel.Left / kTwips, panel.Top / kTwips, panel.Width / kTwips,
                 std::max(1, panel.Height / kTwips));
}

frmAudioPlayer::frmAudioPlayer(int16_t playerNumber, QWidget* parent)
    : QWidget(parent), player_(&CreateCartPlayer(playerNumber)), picControls_(new QWidget(this)) {
    engine_.SetPlayerNumber(playerNumber);
    setAttribute(Qt::WA_StyledBackground, false);
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    resize(9315 / kTwips, 765 / kTwips);
    picControls_->setObjectName("picControls");
    cmdPlayPause_ = MakeButton(picControls_, PlayerImage("enPlay"), "cmdPlayPause");
    cmdCue_ = MakeButton(picControls_, CueIcon(), "cmdCue");
    cmdEject_ = MakeButton(picControls_, EjectIcon(), "cmdEject");
    // The buttons act on release, whichever mouse button was used.
    connect(cmdPlayPause_, &QToolButton::released, this,
            [this] { engine_.cmdPlayPause_MouseUp(); });
    connect(cmdCue_, &QToolButton::released, this, [this] { engine_.cmdCue_MouseUp(); });
    connect(cmdEject_, &QToolButton::released, this, [this] { engine_.cmdEject_MouseUp(); });

    // The player's own procedures are connected first, so they run before the window's part.
    FlennPlayer* p = &player_->Control();
    AudioPlayerEngine* e = &engine_;
    connect(p, &FlennPlayer::Playing, e, &AudioPlayerEngine::FlennPlayer_Playing);
    connect(p, &FlennPlayer::Paused, e, &AudioPlayerEngine::FlennPlayer_Paused);
    connect(p, &FlennPlayer::Cued, e, &AudioPlayerEngine::FlennPlayer_Cued);
    connect(p, &FlennPlayer::Opened, e, &AudioPlayerEngine::FlennPlayer_Opened);
    connect(p, &FlennPlayer::Closed, e, &AudioPlayerEngine::FlennPlayer_Closed);
    connect(p, &FlennPlayer::IntroStartReached, e,
            &AudioPlayerEngine::FlennPlayer_IntroStartReached);
    connect(p, &FlennPlayer::IntroEndReached, e, &AudioPlayerEngine::FlennPlayer_IntroEndReached);
    connect(p, &FlennPlayer::ExtroReached, e, &AudioPlayerEngine::FlennPlayer_ExtroReached);
    connect(p, &FlennPlayer::AudioEndReached, e, &AudioPlayerEngine::FlennPlayer_AudioEndReached);
    connect(p, &FlennPlayer::HookStartReached, e, &AudioPlayerEngine::FlennPlayer_HookStartReached);
    connect(p, &FlennPlayer::HookEndReached, e, &AudioPlayerEngine::FlennPlayer_HookEndReached);
    connect(e, &AudioPlayerEngine::Changed, this, &frmAudioPlayer::Mirror);
    engine_.Load();
    Mirror();
}

frmAudioPlayer::~frmAudioPlayer() {
    engine_.Unload();
}

FlennPlayer* frmAudioPlayer::Player() const {
    return player_ ? &player_->Control() : nullptr;
}

void frmAudioPlayer::Mirror() {
    picControls_->setGeometry(PixelRect(engine_.picControls));
    picControls_->setVisible(engine_.picControls.Visible);
    auto place = [](QToolButton* b, const ButtonState& s) {
        b->setGeometry(s.Left / kTwips, s.Top / kTwips, s.Width / kTwips, s.Height / kTwips);
        b->setEnabled(s.Enabled);
    };
    place(cmdPlayPause_, engine_.cmdPlayPause);
    place(cmdCue_, engine_.cmdCue);
    place(cmdEject_, engine_.cmdEject);
    cmdPlayPause_->setIcon(PlayerImage(engine_.cmdPlayPause.Picture));
    update();
}

void frmAudioPlayer::PaintPanel(QPainter& painter, const PanelState& panel, int pointSize,
                                bool bold, bool flood, Qt::Alignment align) const {
    if (!panel.Visible) return;
    QRect r = PixelRect(panel);
    painter.fillRect(r, DisplayColour(panel.BackColor));
    if (flood && panel.FloodPercent > 0) {
        QRect bar = r.adjusted(1, 1, -1, -1);
        bar.setWidth(static_cast<int>(bar.width() * panel.FloodPercent / 100.0f));
        painter.fillRect(bar, DisplayColour(panel.FloodColor));
    }
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(Qt::white);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    if (panel.Caption.empty()) return;
    QFont font("MS Sans Serif");
    font.setPixelSize(pointSize * 96 / 72);
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(r.adjusted(2, 0, -2, 0), static_cast<int>(align) | Qt::TextSingleLine,
                     Platform::FromWindows1252(panel.Caption));
}

void frmAudioPlayer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), DisplayColour(kButtonFace));
    const AudioPlayerEngine& e = engine_;
    PaintPanel(painter, e.pnlPlayerNo, 12, true, false, Qt::AlignCenter);
    PaintPanel(painter, e.pnlCartNo, 10, false, false, Qt::AlignCenter);
    PaintPanel(painter, e.pnlCaption, 10, false, false, Qt::AlignLeft | Qt::AlignVCenter);
    PaintPanel(painter, e.pnlTimeIn, 10, false, false, Qt::AlignCenter);
    PaintPanel(painter, e.pnlTimeFlood, 8, false, true, Qt::AlignCenter);
    if (!e.picControls.Visible)
        PaintPanel(painter, e.pnlTimeOut, 10, false, false, Qt::AlignCenter);
    PaintPanel(painter, e.pnlOverallTime, 8, false, true, Qt::AlignCenter);
}

bool frmAudioPlayer::OnBar(const QPoint& at) const {
    return PixelRect(engine_.pnlTimeFlood).contains(at) ||
           PixelRect(engine_.pnlOverallTime).adjusted(0, -1, 0, 1).contains(at);
}

void frmAudioPlayer::mousePressEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    if (!OnBar(at)) return;
    int x = at.x() * kTwips - (OnBar(at) ? engine_.pnlTimeFlood.Left : 0);
    engine_.BarMouseDown(MouseButton(event->button()),
                         static_cast<int16_t>(ShiftState(event->modifiers())),
                         static_cast<float>(x));
}

void frmAudioPlayer::mouseMoveEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    if (!OnBar(at)) return;
    int x = at.x() * kTwips - engine_.pnlTimeFlood.Left;
    engine_.BarMouseMove(MouseButton(event->buttons()),
                         static_cast<int16_t>(ShiftState(event->modifiers())),
                         static_cast<float>(x));
}

void frmAudioPlayer::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    int16_t code = 0;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F16)
        code = static_cast<int16_t>(112 + key - Qt::Key_F1);
    if (code != 0 &&
        engine_.KeyDown(code, static_cast<int16_t>(ShiftState(event->modifiers()))) == 0) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmAudioPlayer::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasText()) event->acceptProposedAction();
}

void frmAudioPlayer::dropEvent(QDropEvent* event) {
    engine_.DropCart(Platform::ToWindows1252(event->mimeData()->text()));
    event->acceptProposedAction();
}

void frmAudioPlayer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    update();
}

} // namespace CartPlayers
