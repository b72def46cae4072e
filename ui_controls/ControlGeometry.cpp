#include "ui_controls/ControlGeometry.h"

#include "platform/VB.h"

#include <QWidget>
#include <limits>

namespace obControls {

TwipsPerPixel ScreenTwipsPerPixel(const QWidget* widget) {
    TwipsPerPixel tpp;
    if (!widget) return tpp;
    if (widget->logicalDpiX() > 0) tpp.x = 1440.0 / widget->logicalDpiX();
    if (widget->logicalDpiY() > 0) tpp.y = 1440.0 / widget->logicalDpiY();
    return tpp;
}

int32_t PixelLimit(int32_t twips, double twipsPerPixel) {
    if (twipsPerPixel <= 0) return 0;
    return static_cast<int32_t>(VB::RoundHalfEven(twips / twipsPerPixel));
}

namespace {

// One axis of the clamp; the comparisons use the unrounded pixel limits.
std::optional<int16_t> ClampAxis(int32_t extent, int32_t minimum, int32_t maximum, double tpp) {
    if (tpp <= 0) return VB::CInt(extent);
    double result = extent;
    if (minimum / tpp > extent) result = minimum / tpp;
    if (maximum / tpp < extent) result = maximum / tpp;
    return VB::CInt(result);
}

} // namespace

std::optional<Extent> ClampExtent(Extent extent, const SizeLimits& limits, TwipsPerPixel tpp) {
    auto width = ClampAxis(extent.width, limits.minWidth, limits.maxWidth, tpp.x);
    auto height = ClampAxis(extent.height, limits.minHeight, limits.maxHeight, tpp.y);
    if (!width || !height) return std::nullopt;
    return Extent{*width, *height};
}

WinRect ApplyDragEdge(WinRect rect, int edge, Extent extent) {
    if (edge == 6 || edge == 7 || edge == 8) rect.bottom = rect.top + extent.height;
    if (edge == 3 || edge == 4 || edge == 5) rect.top = rect.bottom - extent.height;
    if (edge == 2 || edge == 5 || edge == 8) rect.right = rect.left + extent.width;
    if (edge == 1 || edge == 4 || edge == 7) rect.left = rect.right - extent.width;
    return rect;
}

ButtonShift MouseKeysToButtonShift(int32_t flags) {
    ButtonShift bs;
    if (flags & 0x0001) bs.button |= 1;
    if (flags & 0x0002) bs.button |= 2;
    if (flags & 0x0004) bs.shift |= 1;
    if (flags & 0x0008) bs.shift |= 2;
    if (flags & 0x0010) bs.button |= 4;
    if (flags & 0x0020) {
        bs.button |= 0x20;
        bs.shift |= 4;
    }
    if (flags & 0x0040) bs.button |= 0x40;
    return bs;
}

int16_t DigitMask(int32_t value) {
    static constexpr int16_t kMasks[10] = {125, 80, 55, 87, 90, 79, 111, 81, 127, 95};
    return value >= 0 && value <= 9 ? kMasks[value] : 0;
}

LedLayout LayoutLed(int32_t width, int32_t height) {
    LedLayout l;
    const int32_t base = width > height ? height : width;
    auto whole = [](double v) { return static_cast<int16_t>(VB::RoundHalfEven(v)); };
    l.a = whole(base * 0.075);
    l.b = whole(base * 0.1);
    l.c = whole(base * 0.15);
    l.decimalLeft = width - l.a - l.c;
    l.decimalTop = height - l.a - l.c;
    l.thickness = static_cast<int32_t>(VB::RoundHalfEven(l.c * 0.05));
    const int32_t a = l.a, b = l.b, W = width, H = height, R = W - 3 * a - l.c;
    l.segments = {{{a + b, a, R - b, a},
                   {a + b, H / 2, R - b, H / 2},
                   {a + b, H - a, R - b, H - a},
                   {a, a + b, a, H / 2 - b},
                   {R, a + b, R, H / 2 - b},
                   {a, H / 2 + b, a, H - a - b},
                   {R, H / 2 + b, R, H - a - b}}};
    return l;
}

int32_t StatusBarStep(int32_t value, int32_t minimum, int32_t maximum) {
    int32_t v = value + 20;
    return v > maximum ? minimum : v;
}

StatusLayout LayoutStatus(int32_t width, int32_t height) {
    StatusLayout s;
    s.barLeft = 100;
    s.barWidth = width - 200;
    s.barHeight = height / 3;
    s.barTop = height - s.barHeight - 100;
    s.titleLeft = 100;
    s.titleWidth = width - 200;
    s.titleHeight = s.barTop - 100;
    s.titleTop = 50;
    return s;
}

std::array<Segment, 4> BorderLines(int32_t width, int32_t height) {
    return {{{0, 0, width, 0},
             {0, 0, 0, height},
             {width - 15, 0, width - 15, height},
             {0, height - 15, width, height - 15}}};
}

} // namespace obControls
