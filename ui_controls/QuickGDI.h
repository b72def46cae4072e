#pragma once
// Small drawing primitives on one library-wide current painter; each does nothing while no
// painter is current, except MakePen.
#include <QColor>
#include <QPainter>
#include <QPen>
#include <string>

namespace obControls::QuickGDI {

void SetDrawDC(QPainter* hDC);
QPainter* DrawDC();
// A rectangle outlined with the current pen and filled with the current brush; right and
// bottom are exclusive.
void DrawRect(int left, int top, int right, int bottom);
QPen MakePen(int width, const QColor& colour);
// Text with its cell's top-left corner at (x, y), the cell not filled.
bool DrawTextAt(int x, int y, const std::string& text, const QColor& colour);
// Light top-left and dark bottom-right edges, or the other way round when sunken.
void Draw3DFrame(int x1, int y1, int x2, int y2, bool Sunken);
void DrawCheckMark(int x, int y, int x2, int y2, bool Selected);

} // namespace obControls::QuickGDI
