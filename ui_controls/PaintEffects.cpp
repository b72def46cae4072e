#include "ui_controls/PaintEffects.h"

#include "ui_controls/MenuItems.h"

namespace obControls {

void PaintEffects::PaintTransparentDC(QPainter& hdcDest, int xDest, int yDest, int Width,
                                      int Height, const QImage& hdcSrc, int XSrc, int YSrc,
                                      int32_t clrMask) const {
    if (Width <= 0 || Height <= 0) return;
    QImage image = hdcSrc.copy(XSrc, YSrc, Width, Height).convertToFormat(QImage::Format_ARGB32);
    const QRgb mask = MenuItems::FromPacked(clrMask) & RGB_MASK;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & RGB_MASK) == mask) line[x] = 0;
    }
    hdcDest.drawImage(xDest, yDest, image);
}

void PaintEffects::PaintTransparentStdPic(QPainter& hdcDest, int xDest, int yDest, int Width,
                                          int Height, const QImage& picSource, int XSrc, int YSrc,
                                          int32_t clrMask) const {
    if (picSource.isNull() || Width <= 0 || Height <= 0) return;
    if (!picSource.hasAlphaChannel()) {
        PaintTransparentDC(hdcDest, xDest, yDest, Width, Height, picSource, XSrc, YSrc, clrMask);
        return;
    }
    QImage laid(Width, Height, QImage::Format_RGB32);
    laid.fill(MenuItems::FromPacked(clrMask));
    {
        QPainter p(&laid);
        p.drawImage(0, 0, picSource);
    }
    PaintTransparentDC(hdcDest, xDest, yDest, Width, Height, laid, 0, 0, clrMask);
}

} // namespace obControls
