#pragma once
// Measuring and painting of registered menu items, and the style that has a menu's
// registered items drawn that way.
#include <QProxyStyle>
#include <QRect>
#include <QSize>

namespace obControls {

struct MenuItemState {
    bool selected = false, disabled = false, isDefault = false, checked = false;
};

// The item size of entry n: its caption's width in twips / 15 + 23 pixels wide, 20 high
// (5 for a separator).
QSize MeasureMenuItem(int32_t n, const QFont& font, double twipsPerPixel);
// Paints entry n into rc.
void PaintMenuItem(QPainter& painter, const QRect& rc, int32_t n, MenuItemState state);

class OwnerDrawStyle : public QProxyStyle {
public:
    // The one style every switched menu uses.
    static OwnerDrawStyle* Instance();

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};

} // namespace obControls
