#include "browsing/PrinterSurface.h"

#include "browsing/PrintTarget.h"
#include "platform/Text1252.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace Browsing {

QtPrinterSurface::QtPrinterSurface(QPrinter& printer) : printer_(printer) {}

QtPrinterSurface::~QtPrinterSurface() {
    if (painter_ && painter_->isActive()) painter_->end();
}

double QtPrinterSurface::Dpi() const {
    return printer_.resolution() > 0 ? printer_.resolution() : 72;
}

double QtPrinterSurface::ScaleWidth() const {
    return printer_.pageRect(QPrinter::DevicePixel).width() * 1440.0 / Dpi();
}

double QtPrinterSurface::ScaleHeight() const {
    return printer_.pageRect(QPrinter::DevicePixel).height() * 1440.0 / Dpi();
}

double QtPrinterSurface::TwipsPerPixelX() const {
    return 1440.0 / Dpi();
}
double QtPrinterSurface::TwipsPerPixelY() const {
    return 1440.0 / Dpi();
}

std::string QtPrinterSurface::DeviceName() const {
    return PrinterDeviceName(printer_);
}

bool QtPrinterSurface::Begin() {
    if (failed_) return false;
    if (painter_) return true;
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&printer_)) {
        failed_ = true;
        failure_ = "Printer error";
        return false;
    }
    return true;
}

void QtPrinterSurface::ApplyFont() {
    QFont font = painter_->font();
    font.setPointSizeF(FontSize);
    font.setBold(FontBold);
    font.setUnderline(FontUnderline);
    painter_->setFont(font);
}

double QtPrinterSurface::TextWidth(const std::string& text) {
    if (!Begin()) return 0;
    ApplyFont();
    QFontMetricsF metrics(painter_->font(), &printer_);
    return metrics.horizontalAdvance(Platform::FromWindows1252(text)) * TwipsPerPixelX();
}

bool QtPrinterSurface::Print(const std::string& text, bool endLine) {
    if (!Begin()) return false;
    ApplyFont();
    QFontMetricsF metrics(painter_->font(), &printer_);
    const QString shown = Platform::FromWindows1252(text);
    const double px = TwipsPerPixelX();
    painter_->drawText(QPointF(CurrentX / px, CurrentY / px + metrics.ascent()), shown);
    if (endLine) {
        CurrentX = 0;
        CurrentY += metrics.lineSpacing() * px;
    } else {
        CurrentX += metrics.horizontalAdvance(shown) * px;
    }
    return true;
}

bool QtPrinterSurface::Line(double x1, double y1, double x2, double y2, int colour) {
    if (!Begin()) return false;
    const double px = TwipsPerPixelX();
    painter_->setPen(
        QPen(QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF), DrawWidth));
    painter_->drawLine(QPointF(x1 / px, y1 / px), QPointF(x2 / px, y2 / px));
    CurrentX = x2;
    CurrentY = y2;
    return true;
}

bool QtPrinterSurface::NewPage() {
    if (!Begin()) return false;
    if (!printer_.newPage()) {
        failure_ = "Printer error";
        return false;
    }
    CurrentX = CurrentY = 0;
    return true;
}

bool QtPrinterSurface::EndDoc() {
    if (!Begin()) return false;
    if (!painter_->end()) {
        failure_ = "Printer error";
        return false;
    }
    return true;
}

void QtPrinterSurface::KillDoc() {
    if (painter_ && painter_->isActive()) {
        printer_.abort();
        painter_->end();
    }
}

bool RecordingSurface::Step() {
    if (FailAfter == 0) return false;
    if (FailAfter > 0) --FailAfter;
    return true;
}

double RecordingSurface::TextWidth(const std::string& text) {
    return static_cast<double>(text.size()) * FontSize * 10;
}

bool RecordingSurface::Print(const std::string& text, bool endLine) {
    if (!Step()) return false;
    Items.push_back({Pages, text, CurrentX, CurrentY, 0, 0, FontSize, FontBold, FontUnderline});
    if (endLine) {
        CurrentX = 0;
        CurrentY += LineHeight();
    } else {
        CurrentX += TextWidth(text);
    }
    return true;
}

bool RecordingSurface::Line(double x1, double y1, double x2, double y2, int) {
    if (!Step()) return false;
    Items.push_back({Pages, "", x1, y1, x2, y2, 0, false, false});
    CurrentX = x2;
    CurrentY = y2;
    return true;
}

bool RecordingSurface::NewPage() {
    if (!Step()) return false;
    ++Pages;
    CurrentX = CurrentY = 0;
    return true;
}

bool RecordingSurface::EndDoc() {
    if (!Step()) return false;
    Ended = true;
    return true;
}

} // namespace Browsing
