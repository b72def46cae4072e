#include "ui_controls/QuickGDI.h"

#include <QApplication>
#include <QPalette>

namespace obControls::QuickGDI {

namespace {

QPainter* current = nullptr;

QColor SystemColour(QPalette::ColorRole role) {
    return QApplication::palette().color(role);
}

void Stroke(const QColor& colour, std::initializer_list<QPoint> points) {
    current->save();
    current->setPen(MakePen(1, colour));
    const QPoint* previous = nullptr;
    for (const QPoint& point : points) {
        if (previous) current->drawLine(*previous, point);
        previous = &point;
    }
    current->restore();
}

} // namespace

void SetDrawDC(QPainter* hDC) {
    current = hDC;
}
QPainter* DrawDC() {
    return current;
}

void DrawRect(int left, int top, int right, int bottom) {
    if (!current || right <= left || bottom <= top) return;
    current->drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

QPen MakePen(int width, const QColor& colour) {
    return QPen(colour, width, Qt::SolidLine);
}

bool DrawTextAt(int x, int y, const std::string& text, const QColor& colour) {
    if (!current) return false;
    current->save();
    current->setPen(colour);
    current->setBackgroundMode(Qt::TransparentMode);
    current->drawText(QRect(x, y, 4000, 400), Qt::AlignLeft | Qt::AlignTop,
                      QString::fromLatin1(text.data(), static_cast<int>(text.size())));
    current->restore();
    return true;
}

void Draw3DFrame(int x1, int y1, int x2, int y2, bool Sunken) {
    if (!current) return;
    const QColor shadow = SystemColour(QPalette::Dark), light = SystemColour(QPalette::Light);
    Stroke(Sunken ? shadow : light, {{x1, y2}, {x1, y1}, {x2, y1}});
    Stroke(Sunken ? light : shadow, {{x2, y1}, {x2, y2}, {x1, y2}});
}

void DrawCheckMark(int x, int y, int, int, bool Selected) {
    if (!current) return;
    const QColor colour = SystemColour(Selected ? QPalette::HighlightedText : QPalette::WindowText);
    const int X = x + 7, Y = y + 6;
    Stroke(colour, {{X, Y + 4}, {X + 3, Y + 7}});
    Stroke(colour, {{X, Y + 3}, {X + 3, Y + 6}});
    Stroke(colour, {{X, Y + 2}, {X + 3, Y + 5}});
    Stroke(colour, {{X + 6, Y}, {X + 2, Y + 4}});
    Stroke(colour, {{X + 6, Y + 1}, {X + 2, Y + 5}});
    Stroke(colour, {{X + 6, Y + 2}, {X + 2, Y + 6}});
}

} // namespace obControls::QuickGDI
