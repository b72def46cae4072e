#pragma once
// Pure geometry of the controls: twips to pixels, window size limits, the LED's segment
// layout, the status panel's bar and the 3-D border's lines. No display needed.
#include <array>
#include <cstdint>
#include <optional>

class QWidget;

namespace obControls {

// A window rectangle as the platform hands it over: right and bottom are exclusive.
struct WinRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const WinRect&) const = default;
};

struct Extent {
    int32_t width = 0, height = 0;
    bool operator==(const Extent&) const = default;
};

// Size limits in twips.
struct SizeLimits {
    int32_t minWidth = 1000, maxWidth = 6000, minHeight = 1000, maxHeight = 6000;
};

struct TwipsPerPixel {
    double x = 15, y = 15;
};
// The screen's twips per pixel for a widget (1440 / its logical dots per inch).
TwipsPerPixel ScreenTwipsPerPixel(const QWidget* widget);

// A limit in twips as whole pixels, halves to even (0 when the factor is not positive).
int32_t PixelLimit(int32_t twips, double twipsPerPixel);

// The width and height a window of the given extent must take (16-bit window extents): a
// minimum above the extent raises it, a maximum below lowers it, the maximum winning when
// both hold. Nothing when a result does not fit the 16-bit range.
std::optional<Extent> ClampExtent(Extent extent, const SizeLimits& limits, TwipsPerPixel tpp);

// Moves the dragged edge(s) of rect so it takes the new extent; the opposite edges stay.
// Edges: 1 left, 2 right, 3 top, 4 top-left, 5 top-right, 6 bottom, 7 bottom-left,
// 8 bottom-right.
WinRect ApplyDragEdge(WinRect rect, int edge, Extent extent);

// Key-state flags of a mouse message to its Button and Shift values.
struct ButtonShift {
    int16_t button = 0, shift = 0;
    bool operator==(const ButtonShift&) const = default;
};
ButtonShift MouseKeysToButtonShift(int32_t flags);

// Seven-segment digit masks: bit i lights segment i; 0 for anything but 0..9.
int16_t DigitMask(int32_t value);

struct Segment {
    int32_t x1, y1, x2, y2;
    bool operator==(const Segment&) const = default;
};
// The LED's layout in twips for an inner width and height.
struct LedLayout {
    int16_t a = 0, b = 0, c = 0;             // margin, gap, decimal size
    int32_t decimalLeft = 0, decimalTop = 0; // the square decimal point, side c
    int32_t thickness = 0;                   // segment line width in pixels
    std::array<Segment, 7> segments{};
};
LedLayout LayoutLed(int32_t width, int32_t height);

// Next value of the busy bar: 20 on, back to the minimum past the maximum.
int32_t StatusBarStep(int32_t value, int32_t minimum, int32_t maximum);

// Title and bar of the busy panel in twips for its inner extent.
struct StatusLayout {
    int32_t titleLeft, titleTop, titleWidth, titleHeight;
    int32_t barLeft, barTop, barWidth, barHeight;
};
StatusLayout LayoutStatus(int32_t width, int32_t height);

// Lines of the 3-D border in twips: top, left, right, bottom.
std::array<Segment, 4> BorderLines(int32_t width, int32_t height);

} // namespace obControls
