#include "ui_controls/MenuItems.h"

#include <QPainter>
#include <map>

namespace obControls::MenuItems {

namespace {

std::vector<MenuItemEntry> table;
int32_t nextItem = 0;

constexpr int32_t kTransparent = 0xC0C0C0;
constexpr int32_t kInvalidColour = -1;
constexpr int kIconSide = 16;

std::map<int32_t, QPointer<QObject>>& Handles() {
    static std::map<int32_t, QPointer<QObject>> handles;
    return handles;
}

int32_t LastNumber() {
    return static_cast<int32_t>(table.size()) - 1;
}

int32_t PixelAt(const QImage& image, int x, int y) {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return kInvalidColour;
    return PackedColour(image.pixel(x, y));
}

void SetPixel(QImage& image, int x, int y, int32_t packed) {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
    image.setPixel(x, y, FromPacked(packed));
}

} // namespace

std::vector<MenuItemEntry>& MenuItemTable() {
    return table;
}
int32_t NextMenuItem() {
    return nextItem;
}

void ResetMenuItems() {
    table.clear();
    nextItem = 0;
}

int32_t PackedColour(QRgb rgb) {
    return (qBlue(rgb) << 16) | (qGreen(rgb) << 8) | qRed(rgb);
}

QRgb FromPacked(int32_t packed) {
    return qRgb(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
}

int32_t AddPopup(QObject* hMenu, QMenu* hSubMenu, QAction* menuItemID, const std::string& Caption,
                 const QImage& Icon) {
    if (table.empty()) table.resize(1);
    if (nextItem >= LastNumber()) table.resize(nextItem + 1);
    MenuItemEntry& entry = table[nextItem];
    entry.Icon = Icon;
    entry.Caption = Caption;
    entry.MenuHandle = hMenu;
    entry.SubMenuHandle = hSubMenu;
    entry.ItemID = menuItemID;
    entry.InUse = true;
    entry.DisabledIcon = Icon.isNull() ? QImage() : MakeDisabledIcon(Icon);
    const int32_t result = nextItem;
    do {
        ++nextItem;
    } while (nextItem <= LastNumber() && table[nextItem].InUse);
    return result;
}

void ClearMenuItem(int32_t& hClear) {
    if (hClear < 0 || hClear > LastNumber()) return;
    MenuItemEntry& entry = table[hClear];
    if (entry.ItemID && entry.OwnerDrawn) entry.ItemID->setData(QVariant());
    entry = MenuItemEntry{};
    if (hClear < nextItem) nextItem = hClear;
    hClear = 0;
}

void MakeItemOwnerDrawn(int32_t n) {
    if (n < 0 || n > LastNumber()) return;
    MenuItemEntry& entry = table[n];
    if (entry.ItemID) entry.ItemID->setData(QVariant::fromValue(n));
    entry.OwnerDrawn = true;
}

bool IsSeparator(int32_t n) {
    if (n < 0 || n > LastNumber()) return false;
    return table[n].ItemID && table[n].ItemID->isSeparator();
}

int32_t EntryOf(const QAction* action) {
    if (!action) return -1;
    bool ok = false;
    const int n = action->data().toInt(&ok);
    if (!ok || n < 0 || n > LastNumber()) return -1;
    const MenuItemEntry& entry = table[n];
    return entry.OwnerDrawn && entry.ItemID == action ? n : -1;
}

QImage MakeDisabledIcon(const QImage& icon) {
    // The workspace: the icon on the transparent colour, as a picture box shows it.
    QImage src(kIconSide, kIconSide, QImage::Format_RGB32);
    src.fill(FromPacked(kTransparent));
    {
        QPainter p(&src);
        p.drawImage(0, 0, icon);
    }
    QImage dest(kIconSide, kIconSide, QImage::Format_RGB32);
    dest.fill(FromPacked(kTransparent));
    for (int x = 0; x <= kIconSide; ++x)
        for (int y = 0; y <= kIconSide; ++y) {
            const int32_t c = PixelAt(src, x, y);
            if (c == 0xFFFFFF || c == 0xC0C0C0)
                SetPixel(dest, x, y, 0xC0C0C0);
            else if (c >= 0 && c <= 0x808080)
                SetPixel(dest, x, y, 0x808080);
            else if (c > 0x808080 && c <= 0xFF0000)
                SetPixel(dest, x, y, 0xC0C0C1);
            else if (c > 0xFF0000 && c <= 0xFFFFFF)
                SetPixel(dest, x, y, 0xE0E0E0);
        }
    for (int x = kIconSide; x >= 0; --x)
        for (int y = kIconSide; y >= 0; --y)
            if (PixelAt(dest, x, y) == kTransparent && PixelAt(dest, x - 1, y - 1) != kTransparent)
                SetPixel(dest, x, y, 0xFFFFFF);
    return dest;
}

int32_t ObjectHandle(QObject* object) {
    static int32_t next = 0x1000;
    if (!object) return 0;
    for (const auto& [handle, known] : Handles())
        if (known == object) return handle;
    Handles()[++next] = object;
    return next;
}

QObject* HandleObject(int32_t handle) {
    auto found = Handles().find(handle);
    return found == Handles().end() ? nullptr : found->second.data();
}

} // namespace obControls::MenuItems
