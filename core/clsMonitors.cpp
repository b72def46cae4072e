#include "core/clsMonitors.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace Monitors {
namespace {

DeskSource& Source() {
    static DeskSource source;
    return source;
}

Desk QtDesk() {
    Desk desk;
    const auto screens = QGuiApplication::screens();
    for (int i = 0; i < screens.size(); ++i) {
        QRect g = screens[i]->geometry(), a = screens[i]->availableGeometry();
        desk.screens.push_back({i + 1, QRect(g.left(), g.top(), g.width(), g.height()),
                                QRect(a.left(), a.top(), a.width(), a.height())});
    }
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        double dpiX = primary->logicalDotsPerInchX(), dpiY = primary->logicalDotsPerInchY();
        if (dpiX > 0) desk.twipsPerPixelX = 1440.0 / dpiX;
        if (dpiY > 0) desk.twipsPerPixelY = 1440.0 / dpiY;
        desk.screenWidthTwips =
            static_cast<int32_t>(std::lround(primary->geometry().width() * desk.twipsPerPixelX));
        desk.screenHeightTwips =
            static_cast<int32_t>(std::lround(primary->geometry().height() * desk.twipsPerPixelY));
    }
    return desk;
}

} // namespace

void SetDeskSource(DeskSource source) {
    Source() = std::move(source);
}
Desk CurrentDesk() {
    return Source() ? Source()() : QtDesk();
}

} // namespace Monitors

namespace {

int32_t Whole(double value) {
    return static_cast<int32_t>(std::lround(value));
}

QRect VirtualDesktop(const Monitors::Desk& desk) {
    QRect all;
    for (const auto& s : desk.screens)
        all = all.united(s.rect);
    return all;
}

} // namespace

// The virtual desktop's left (76), top (77), width (78) or height (79) when monitors are
// known, else the fallback.
int32_t clsMonitors::GetMetric(int32_t index, int32_t fallback) const {
    if (desk_.screens.empty()) return fallback;
    const QRect all = VirtualDesktop(desk_);
    switch (index) {
    case 76:
        return all.left();
    case 77:
        return all.top();
    case 78:
        return all.width();
    case 79:
        return all.height();
    default:
        return fallback;
    }
}

int32_t clsMonitors::DesktopLeft() const {
    return GetMetric(76, 0);
}

int32_t clsMonitors::DesktopTop() const {
    return GetMetric(77, 0);
}

int32_t clsMonitors::DesktopWidth() const {
    return GetMetric(78, desk_.screenWidthTwips / std::max(1, Whole(desk_.twipsPerPixelX)));
}

int32_t clsMonitors::DesktopHeight() const {
    return GetMetric(79, desk_.screenHeightTwips / std::max(1, Whole(desk_.twipsPerPixelY)));
}

const Monitors::ScreenInfo* clsMonitors::Find(int32_t handle) const {
    for (const auto& s : desk_.screens)
        if (s.handle == handle) return &s;
    return nullptr;
}

int32_t clsMonitors::MonitorFromRect(const QRect& rect, int32_t flags) const {
    if (desk_.screens.empty()) return -1;
    const Monitors::ScreenInfo* best = nullptr;
    int64_t bestArea = 0;
    for (const auto& s : desk_.screens) {
        QRect common = s.rect.intersected(rect);
        int64_t area = int64_t(common.width()) * common.height();
        if (!common.isEmpty() && area > bestArea) best = &s, bestArea = area;
    }
    if (best) return best->handle;
    if (flags == 1) return desk_.screens.front().handle;
    if (flags == 2) {
        int64_t nearest = INT64_MAX;
        for (const auto& s : desk_.screens) {
            int64_t dx = std::max({0, s.rect.left() - rect.right(), rect.left() - s.rect.right()});
            int64_t dy = std::max({0, s.rect.top() - rect.bottom(), rect.top() - s.rect.bottom()});
            if (dx * dx + dy * dy < nearest) nearest = dx * dx + dy * dy, best = &s;
        }
        return best->handle;
    }
    return 0;
}

int32_t clsMonitors::GetMonitorFromWindow(int32_t hWnd, int32_t flags) const {
    if (desk_.screens.empty()) return -1;
    QWidget* window = QWidget::find(static_cast<WId>(hWnd));
    if (!window) return 0;
    return MonitorFromRect(window->frameGeometry(), flags);
}

int32_t clsMonitors::GetMonitorFromXYPoint(int32_t X, int32_t Y, int32_t flags) const {
    return MonitorFromRect(QRect(X, Y, 1, 1), flags);
}

int32_t clsMonitors::FillMonitor(int32_t handle, clsMonitor& m) const {
    const Monitors::ScreenInfo* s = Find(handle);
    if (!s) return 0;
    m.Handle = handle;
    m.Left = s->rect.left();
    m.Right = s->rect.left() + s->rect.width();
    m.Top = s->rect.top();
    m.Bottom = s->rect.top() + s->rect.height();
    m.Height = m.Bottom - m.Top;
    m.Width = m.Right - m.Left;
    m.WorkLeft = s->work.left();
    m.WorkRight = s->work.left() + s->work.width();
    m.WorkTop = s->work.top();
    m.WorkBottom = s->work.top() + s->work.height();
    m.WorkHeight = m.WorkBottom - m.WorkTop;
    m.WorkWidth = m.WorkRight - m.WorkLeft;
    return 1;
}

void clsMonitors::Refresh() {
    desk_ = Monitors::CurrentDesk();
    Monitors.clear();
    if (!desk_.screens.empty()) {
        for (int32_t y = DesktopTop(); y <= DesktopHeight(); y += 480)
            for (int32_t x = DesktopLeft(); x <= DesktopWidth(); x += 640) {
                int32_t handle = GetMonitorFromXYPoint(x + 320, y + 240, 0);
                std::string key = std::to_string(handle);
                if (handle == 0 || Monitors.count(key)) continue;
                auto monitor = std::make_shared<clsMonitor>();
                FillMonitor(handle, *monitor);
                Monitors[key] = monitor;
            }
        return;
    }
    ClearMonitors();
    auto m = std::make_shared<clsMonitor>();
    m->Right = desk_.screenWidthTwips / std::max(1, Whole(desk_.twipsPerPixelX));
    m->Bottom = desk_.screenHeightTwips / std::max(1, Whole(desk_.twipsPerPixelY));
    m->Width = m->WorkRight = m->WorkWidth = m->Right;
    m->Height = m->WorkBottom = m->WorkHeight = m->Bottom;
    Monitors["0"] = m;
}

void clsMonitors::CenterFormOnMonitor(QWidget& Form, const QWidget* Owner) const {
    const double tx = desk_.twipsPerPixelX, ty = desk_.twipsPerPixelY;
    const int32_t formWidth = Whole(Form.frameGeometry().width() * tx);
    const int32_t formHeight = Whole(Form.frameGeometry().height() * ty);
    int32_t handle = Owner ? GetMonitorFromWindow(static_cast<int32_t>(Owner->winId()), 1)
                           : GetMonitorFromXYPoint(1, 1, 1);
    int32_t left = 0, top = 0;
    if (handle <= 0) {
        if (handle == 0 && !desk_.screens.empty()) return; // an error: the form stays
        left = (desk_.screenWidthTwips - formWidth) / 2;
        top = (desk_.screenHeightTwips - formHeight) / 2;
    } else {
        clsMonitor m;
        if (!FillMonitor(handle, m)) return;
        const int32_t workWidth = Whole(tx * (m.WorkRight - m.WorkLeft));
        const int32_t workHeight = Whole(ty * (m.WorkBottom - m.WorkTop));
        left = Whole(m.Left * tx) + (workWidth - formWidth) / 2;
        top = Whole(m.Top * ty) + (workHeight - formHeight) / 2;
    }
    Form.move(Whole(left / tx), Whole(top / ty));
}
