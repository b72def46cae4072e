#include "ui_controls/HWndGrab.h"

#include "ui_controls/MenuItems.h"
#include "ui_controls/OwnerDrawnMenus.h"

#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>

namespace Com = Platform::Com;

namespace obControls {

namespace {

constexpr int kDefaultHoverMs = 400;

// The key-state flags of a mouse message from Qt's buttons and modifiers.
int32_t KeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    int32_t flags = 0;
    if (buttons & Qt::LeftButton) flags |= 0x0001;
    if (buttons & Qt::RightButton) flags |= 0x0002;
    if (modifiers & Qt::ShiftModifier) flags |= 0x0004;
    if (modifiers & Qt::ControlModifier) flags |= 0x0008;
    if (buttons & Qt::MiddleButton) flags |= 0x0010;
    if (buttons & Qt::XButton1) flags |= 0x0020;
    if (buttons & Qt::XButton2) flags |= 0x0040;
    return flags;
}

int16_t Word(int value) {
    return static_cast<int16_t>(value);
}

} // namespace

HWndGrab::HWndGrab(QWidget* host, bool userMode) : QObject(host), host_(host), userMode_(userMode) {
    hoverTimer_.setSingleShot(true);
    connect(&hoverTimer_, &QTimer::timeout, this, [this] {
        emit WindowsClientMouseHover(lastKeys_.button, lastKeys_.shift, Word(lastMouse_.x()),
                                     Word(lastMouse_.y()));
    });
}

HWndGrab::~HWndGrab() {
    UnhookWindow();
}

void HWndGrab::InitProperties() {
    if (userMode_) HookWindow();
    limits_ = SizeLimits{};
    limitWindowSize_ = false;
    limitCodeSizing_ = true;
    returnAllMessages_ = false;
    ApplySizeHints();
}

void HWndGrab::ReadProperties(const Com::PropertyBag& bag) {
    if (userMode_) HookWindow();
    auto whole = [&](const char* key, int32_t def) {
        return Com::ToLong(bag.ReadProperty(key, def)).value_or(def);
    };
    auto flag = [&](const char* key, bool def) {
        return Com::ToBoolean(bag.ReadProperty(key, def)).value_or(def);
    };
    SetMinHeight(whole("MinHeight", 1000));
    SetMinWidth(whole("MinWidth", 1000));
    SetMaxHeight(whole("MaxHeight", 6000));
    SetMaxWidth(whole("MaxWidth", 6000));
    SetLimitWindowSize(flag("LimitSize", false));
    bool codeSizing = flag("LimitCodeSizing", true);
    SetLimitCodeSizing(codeSizing);
    SetReturnAllMessages(flag("ReturnAllMessages", false));
}

void HWndGrab::WriteProperties(Com::PropertyBag& bag) const {
    bag.WriteProperty("MinHeight", limits_.minHeight, 1000);
    bag.WriteProperty("MinWidth", limits_.minWidth, 1000);
    bag.WriteProperty("MaxHeight", limits_.maxHeight, 6000);
    bag.WriteProperty("MaxWidth", limits_.maxWidth, 6000);
    bag.WriteProperty("LimitSize", limitWindowSize_, false);
    bag.WriteProperty("LimitCodeSizing", limitCodeSizing_, true);
    bag.WriteProperty("ReturnAllMessages", returnAllMessages_, false);
}

int32_t HWndGrab::hwnd() const {
    if (!host_) return 0;
    return static_cast<int32_t>(host_->window()->winId());
}

void HWndGrab::SetLimitWindowSize(bool value) {
    limitWindowSize_ = value;
    MarkChanged("LimitSize");
    ApplySizeHints();
}

void HWndGrab::SetLimitCodeSizing(bool& value) {
    limitCodeSizing_ = value;
    MarkChanged("LimitCodeSizing");
    ApplySizeHints();
}

void HWndGrab::SetMaxWidth(int32_t value) {
    limits_.maxWidth = value;
    MarkChanged("MaxWidth");
    ApplySizeHints();
}

void HWndGrab::SetMaxHeight(int32_t value) {
    limits_.maxHeight = value;
    MarkChanged("MaxHeight");
    ApplySizeHints();
}

void HWndGrab::SetMinWidth(int32_t value) {
    limits_.minWidth = value;
    MarkChanged("MinWidth");
    ApplySizeHints();
}

void HWndGrab::SetMinHeight(int32_t value) {
    limits_.minHeight = value;
    MarkChanged("MinHeight");
    ApplySizeHints();
}

void HWndGrab::SetMouseHoverTime(int32_t value) {
    mouseHoverTime_ = value;
    MarkChanged("MouseHoverTime");
}

void HWndGrab::SetReturnAllMessages(bool value) {
    returnAllMessages_ = value;
    MarkChanged("ReturnAllMessages");
}

TwipsPerPixel HWndGrab::Tpp() const {
    return tpp_ ? *tpp_ : ScreenTwipsPerPixel(hooked_);
}

// Drags of the window's border are limited by the window manager through the native
// window's size hints. When sizes set by code are limited too, the limits are also the
// widget's own minimum and maximum sizes, which bind every resize.
void HWndGrab::ApplySizeHints() {
    if (!hooked_) return;
    const QSize none(0, 0), all(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QSize minimum = none, maximum = all;
    if (limitWindowSize_) {
        const TwipsPerPixel tpp = Tpp();
        maximum = QSize(std::clamp(PixelLimit(limits_.maxWidth, tpp.x), 0, QWIDGETSIZE_MAX),
                        std::clamp(PixelLimit(limits_.maxHeight, tpp.y), 0, QWIDGETSIZE_MAX));
        minimum = QSize(std::clamp(PixelLimit(limits_.minWidth, tpp.x), 0, maximum.width()),
                        std::clamp(PixelLimit(limits_.minHeight, tpp.y), 0, maximum.height()));
    }
    const bool bindCode = limitWindowSize_ && limitCodeSizing_;
    if (bindCode || widgetLimits_) {
        hooked_->setMinimumSize(bindCode ? minimum : none);
        hooked_->setMaximumSize(bindCode ? maximum : all);
        widgetLimits_ = bindCode;
    }
    QWindow* window = hooked_->windowHandle();
    if (window && (limitWindowSize_ || windowHints_)) {
        window->setMinimumSize(minimum);
        window->setMaximumSize(maximum);
        windowHints_ = limitWindowSize_;
    }
}

void HWndGrab::HookWindow() {
    if (hooked_ || !host_) return;
    hooked_ = host_->window();
    hooked_->installEventFilter(this);
    hooked_->setMouseTracking(true);
    ApplySizeHints();
}

void HWndGrab::UnhookWindow() {
    if (!hooked_) return;
    hooked_->removeEventFilter(this);
    hooked_ = nullptr;
}

bool HWndGrab::eventFilter(QObject* watched, QEvent* event) {
    if (watched != hooked_) return false;
    // A failure while handling falls back to the window's own handling.
    try {
        return ProcessWindowMessage(event);
    } catch (...) {
        return false;
    }
}

bool HWndGrab::EnforceSize() {
    if (hooked_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return false;
    const Extent current{hooked_->width(), hooked_->height()};
    const std::optional<Extent> wanted = ClampExtent(current, limits_, Tpp());
    if (!wanted || *wanted == current) return false;
    // The window keeps its position; only its right and bottom edges move.
    const QRect g = hooked_->geometry();
    const WinRect moved =
        ApplyDragEdge({g.left(), g.top(), g.left() + g.width(), g.top() + g.height()}, 8, *wanted);
    hooked_->resize(moved.right - moved.left, moved.bottom - moved.top);
    return true;
}

bool HWndGrab::ProcessWindowMessage(QEvent* event) {
    if (returnAllMessages_)
        emit WindowProcMessage(hwnd(), static_cast<int32_t>(event->type()), 0, 0);
    switch (event->type()) {
    case QEvent::Move: {
        const QRect client = hooked_->geometry(), frame = hooked_->frameGeometry();
        emit Move(client.x(), client.y(), frame.x(), frame.y());
        return false;
    }
    case QEvent::Show: // the native window may be new
        ApplySizeHints();
        return false;
    case QEvent::Resize:
        return limitWindowSize_ && limitCodeSizing_ && EnforceSize();
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        lastKeys_ = MouseKeysToButtonShift(KeyFlags(mouse->buttons(), mouse->modifiers()));
        lastMouse_ = mouse->position().toPoint();
        emit WindowsClientMouseMove(lastKeys_.button, lastKeys_.shift, Word(lastMouse_.x()),
                                    Word(lastMouse_.y()));
        hoverTimer_.start(mouseHoverTime_ > 0 ? mouseHoverTime_ : kDefaultHoverMs);
        return false;
    }
    case QEvent::Leave:
        hoverTimer_.stop();
        emit WindowsClientMouseLeave();
        return false;
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const ButtonShift bs =
            MouseKeysToButtonShift(KeyFlags(wheel->buttons(), wheel->modifiers()));
        const QPoint at = wheel->globalPosition().toPoint();
        emit WindowsMouseWheel(bs.button, bs.shift, Word(at.x()), Word(at.y()),
                               Word(wheel->angleDelta().y()));
        return false;
    }
    default:
        return false;
    }
}

void HWndGrab::AddMenuItem(int32_t subMenu, int32_t menuNum, const std::string& Caption,
                           const QImage& Icon, const QImage& disIcon) {
    QMenuBar* bar = host_ ? host_->window()->findChild<QMenuBar*>() : nullptr;
    if (!bar || subMenu < 0 || subMenu >= bar->actions().size()) return;
    QMenu* menu = bar->actions()[subMenu]->menu();
    if (!menu || menuNum < 0 || menuNum >= menu->actions().size()) return;
    AddPopup(bar, menu, menu->actions()[menuNum], Caption, Icon, disIcon);
}

int32_t HWndGrab::AddPopup(QObject* hMenu, QMenu* hSubMenu, QAction* menuItemID,
                           const std::string& Caption, const QImage& Icon, const QImage&) {
    return MenuItems::AddPopup(hMenu, hSubMenu, menuItemID, Caption, Icon);
}

void HWndGrab::ClearMenuItem(int32_t& hClear) {
    MenuItems::ClearMenuItem(hClear);
}

void HWndGrab::FinaliseMenus() {
    auto& table = MenuItems::MenuItemTable();
    if (table.empty()) return;
    for (int32_t n = 0; n < static_cast<int32_t>(table.size()); ++n) {
        if (table[n].OwnerDrawn || !table[n].InUse) continue;
        MenuItems::MakeItemOwnerDrawn(n);
        if (table[n].SubMenuHandle) table[n].SubMenuHandle->setStyle(OwnerDrawStyle::Instance());
    }
    HookWindow();
}

} // namespace obControls
