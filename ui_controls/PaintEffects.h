#pragma once
// Transparent painting: a source area onto a destination, leaving the destination wherever
// the source has the mask colour (packed 0x00BBGGRR).
#include <QImage>
#include <QPainter>
#include <cstdint>

namespace obControls {

class PaintEffects {
public:
    void PaintTransparentDC(QPainter& hdcDest, int xDest, int yDest, int Width, int Height,
                            const QImage& hdcSrc, int XSrc, int YSrc, int32_t clrMask) const;
    // A picture: a bitmap (no alpha) is painted from (XSrc, YSrc); an icon (with alpha) is
    // first laid on the mask colour. An empty picture paints nothing.
    void PaintTransparentStdPic(QPainter& hdcDest, int xDest, int yDest, int Width, int Height,
                                const QImage& picSource, int XSrc, int YSrc, int32_t clrMask) const;
};

} // namespace obControls
