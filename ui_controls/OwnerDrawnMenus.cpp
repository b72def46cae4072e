#include "ui_controls/OwnerDrawnMenus.h"

#include "ui_controls/ControlGeometry.h"
#include "ui_controls/MenuItems.h"
#include "ui_controls/PaintEffects.h"
#include "ui_controls/QuickGDI.h"

#include "platform/VB.h"

#include <QApplication>
#include <QMenu>
#include <QStyleOptionMenuItem>

namespace obControls {

namespace {

QColor System(QPalette::ColorRole role, QPalette::ColorGroup group = QPalette::Active) {
    return QApplication::palette().color(group, role);
}

// The registered action a menu shows for a style option: by its rectangle while painting,
// by its text (and kind) while measuring.
QAction* ActionFor(const QStyleOptionMenuItem* item, const QWidget* widget, bool byRect) {
    const auto* menu = qobject_cast<const QMenu*>(widget);
    if (!menu || !item) return nullptr;
    if (byRect) return menu->actionAt(item->rect.center());
    const bool separator = item->menuItemType == QStyleOptionMenuItem::Separator;
    for (QAction* action : menu->actions())
        if (MenuItems::EntryOf(action) >= 0 && action->isSeparator() == separator &&
            (separator || action->text() == item->text))
            return action;
    return nullptr;
}

} // namespace

QSize MeasureMenuItem(int32_t n, const QFont& font, double twipsPerPixel) {
    const auto& entry = MenuItems::MenuItemTable()[n];
    const int textPixels = QFontMetrics(font).horizontalAdvance(
        QString::fromLatin1(entry.Caption.data(), static_cast<int>(entry.Caption.size())));
    const int width = static_cast<int>(VB::RoundHalfEven(textPixels * twipsPerPixel / 15 + 23));
    return QSize(width, MenuItems::IsSeparator(n) ? 5 : 20);
}

void PaintMenuItem(QPainter& painter, const QRect& r, int32_t n, MenuItemState state) {
    const auto& entry = MenuItems::MenuItemTable()[n];
    const int left = r.left(), top = r.top(), right = r.right() + 1, bottom = r.bottom() + 1;
    const bool sep = MenuItems::IsSeparator(n);
    const QColor fill = System(state.selected ? QPalette::Highlight : QPalette::Button);
    const QColor text = System(state.selected ? QPalette::HighlightedText : QPalette::ButtonText);
    QuickGDI::SetDrawDC(&painter);
    painter.save();
    painter.setBrush(fill);
    painter.setPen(QuickGDI::MakePen(1, fill));
    if (!state.selected) QuickGDI::DrawRect(left, top, 22, bottom);
    const bool hasIcon = !entry.Icon.isNull();
    const int offset = hasIcon ? 23 : 0;
    if (!sep) {
        QuickGDI::DrawRect(left + offset, top, right, bottom);
        const std::string caption = entry.Caption + " ";
        const QColor grey = System(QPalette::Text, QPalette::Disabled);
        if (state.disabled && state.isDefault)
            QuickGDI::DrawTextAt(left + 25, top + 3, caption, System(QPalette::Base));
        QuickGDI::DrawTextAt(left + 24, top + 2, caption, state.disabled ? grey : text);
    }
    painter.restore();
    if (hasIcon) {
        const QImage& picture = state.disabled ? entry.DisabledIcon : entry.Icon;
        if (!state.disabled && state.selected) QuickGDI::Draw3DFrame(1, top, 21, bottom - 1, false);
        PaintEffects().PaintTransparentStdPic(painter, 4, top + 2, 16, 16, picture, 0, 0, 0xC0C0C0);
    } else if (state.checked) {
        QuickGDI::DrawCheckMark(1, top, 21, bottom - 1, state.selected);
    }
    if (sep) QuickGDI::Draw3DFrame(left, top + 2, right - 1, bottom - 2, true);
}

OwnerDrawStyle* OwnerDrawStyle::Instance() {
    static auto* style = new OwnerDrawStyle;
    return style;
}

QSize OwnerDrawStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                       const QSize& size, const QWidget* widget) const {
    if (type == CT_MenuItem) {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (QAction* action = ActionFor(item, widget, false))
            return MeasureMenuItem(MenuItems::EntryOf(action), widget->font(),
                                   ScreenTwipsPerPixel(widget).x);
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void OwnerDrawStyle::drawControl(ControlElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    if (element == CE_MenuItem) {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        QAction* action = ActionFor(item, widget, true);
        const int32_t n = MenuItems::EntryOf(action);
        if (n >= 0) {
            const auto* menu = qobject_cast<const QMenu*>(widget);
            MenuItemState state;
            state.selected = item->state & State_Selected;
            state.disabled = !(item->state & State_Enabled);
            state.isDefault = menu && menu->defaultAction() == action;
            state.checked = item->checked;
            PaintMenuItem(*painter, item->rect, n, state);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

} // namespace obControls
