#pragma once
// The library-wide table of owner-drawn menu items: each registered item has a caption, an
// icon and its greyed copy; a switched item carries its entry number as its data.
#include <QAction>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <cstdint>
#include <string>
#include <vector>

namespace obControls::MenuItems {

struct MenuItemEntry {
    std::string Caption;
    QImage Icon; // null = no icon
    QImage DisabledIcon;
    QPointer<QObject> MenuHandle;  // the menu bar the item was found in
    QPointer<QMenu> SubMenuHandle; // the menu that holds the item
    QPointer<QAction> ItemID;      // the item itself
    bool OwnerDrawn = false;
    bool InUse = false; // only ClearMenuItem frees an entry, icon or not
};

// The table (entries 0 .. last) and the next entry to fill.
std::vector<MenuItemEntry>& MenuItemTable();
int32_t NextMenuItem();
// Forgets every entry (the library unloading; tests start afresh).
void ResetMenuItems();

int32_t AddPopup(QObject* hMenu, QMenu* hSubMenu, QAction* menuItemID, const std::string& Caption,
                 const QImage& Icon);
void ClearMenuItem(int32_t& hClear);
void MakeItemOwnerDrawn(int32_t n);
bool IsSeparator(int32_t n);
// The entry switched to owner-drawn that an action shows, or -1.
int32_t EntryOf(const QAction* action);

// The greyed 16 x 16 copy of an icon: white and light grey turn transparent (0xC0C0C0),
// dark colours mid grey, the rest light greys, with a white edge below and right of shapes.
QImage MakeDisabledIcon(const QImage& icon);

// Colours as the classic packed 0x00BBGGRR numbers.
int32_t PackedColour(QRgb rgb);
QRgb FromPacked(int32_t packed);

// Stable 32-bit handles of menus and items for late-bound callers.
int32_t ObjectHandle(QObject* object);
QObject* HandleObject(int32_t handle);

} // namespace obControls::MenuItems
