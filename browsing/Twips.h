#pragma once
// Twips and pixels of the browsing windows (15 twips to a pixel).
#include "platform/Screen.h"

#include <QRect>

namespace Browsing {

constexpr int kTwips = Platform::kTwipsPerPixel;

inline int Px(int twips) { return twips / kTwips; }
inline int Tw(int pixels) { return pixels * kTwips; }
inline QRect Twips(int left, int top, int width, int height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

} // namespace Browsing
