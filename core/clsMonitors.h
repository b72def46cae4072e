#pragma once
// The monitors of the virtual desktop (Qt's screens) and centring a form on one of them.
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// One monitor's rectangle and work area, in pixels of the virtual desktop.
class clsMonitor {
public:
    int32_t Handle = 0;
    int32_t Height = 0;
    int32_t Width = 0;
    int32_t Left = 0;
    int32_t Right = 0;
    int32_t Top = 0;
    int32_t Bottom = 0;
    int32_t WorkLeft = 0;
    int32_t WorkRight = 0;
    int32_t WorkTop = 0;
    int32_t WorkBottom = 0;
    int32_t WorkHeight = 0;
    int32_t WorkWidth = 0;
};

namespace Monitors {

// One screen as the platform reports it: handle (non-zero), rectangle and work area
// (right and bottom exclusive).
struct ScreenInfo {
    int32_t handle = 0;
    QRect rect;
    QRect work;
};

// The screens and the twips-per-pixel factors the monitor code works on. The default reads
// Qt's screens; tests put their own desks in.
struct Desk {
    std::vector<ScreenInfo> screens; // empty = no multi-monitor support
    int32_t screenWidthTwips = 0;    // the single screen, for the fallbacks
    int32_t screenHeightTwips = 0;
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
};
using DeskSource = std::function<Desk()>;
void SetDeskSource(DeskSource source); // empty = Qt's screens
Desk CurrentDesk();

} // namespace Monitors

class clsMonitors {
public:
    clsMonitors() { Refresh(); }

    // Keyed by the decimal text of each monitor's handle.
    std::map<std::string, std::shared_ptr<clsMonitor>> Monitors;

    int32_t DesktopLeft() const;
    int32_t DesktopTop() const;
    int32_t DesktopWidth() const;
    int32_t DesktopHeight() const;
    // The monitor holding most of the window (by its window id); flags 0 = none when the
    // window is on no monitor, 1 = the primary, 2 = the nearest.
    int32_t GetMonitorFromWindow(int32_t hWnd, int32_t flags) const;
    void CenterFormOnMonitor(QWidget& Form, const QWidget* Owner = nullptr) const;
    int32_t GetMonitorFromXYPoint(int32_t X, int32_t Y, int32_t flags) const;
    void Refresh();

private:
    int32_t GetMetric(int32_t index, int32_t fallback) const;
    int32_t MonitorFromRect(const QRect& rect, int32_t flags) const;
    const Monitors::ScreenInfo* Find(int32_t handle) const;
    int32_t FillMonitor(int32_t handle, clsMonitor& monitor) const;
    void ClearMonitors() { Monitors.clear(); }

    Monitors::Desk desk_;
};
