// The user-interface controls: geometry rules, the grabber on a real offscreen window, the
// shared menu table, the greyed icon, the LED and its page, the busy panel and the border.
#include "support/TestSupport.h"
#include "ui_controls/HWndGrab.h"
#include "ui_controls/LED.h"
#include "ui_controls/LEDProperties.h"
#include "ui_controls/MenuItems.h"
#include "ui_controls/OwnerDrawnMenus.h"
#include "ui_controls/ax3DBorder.h"
#include "ui_controls/obStatus.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QWindow>
#include <gtest/gtest.h>

using namespace obControls;
namespace Com = Platform::Com;

TEST(ControlGeometry, ClampsEveryEdgeAndRoundsTwips) {
    const TwipsPerPixel tpp{15, 15};
    const SizeLimits limits{1500, 3000, 750, 1500}; // 100..200 x 50..100 pixels
    EXPECT_EQ(ClampExtent({40, 20}, limits, tpp), (Extent{100, 50}));
    EXPECT_EQ(ClampExtent({500, 400}, limits, tpp), (Extent{200, 100}));
    EXPECT_EQ(ClampExtent({150, 70}, limits, tpp), (Extent{150, 70}));
    // Minimum above maximum: below both gives the minimum, between or above the maximum.
    const SizeLimits crossed{3000, 1500, 1500, 750};
    EXPECT_EQ(ClampExtent({50, 20}, crossed, tpp), (Extent{200, 100}));
    EXPECT_EQ(ClampExtent({150, 70}, crossed, tpp), (Extent{100, 50}));
    EXPECT_EQ(ClampExtent({500, 400}, crossed, tpp), (Extent{100, 50}));
    // A result beyond a 16-bit window extent is refused.
    EXPECT_FALSE(ClampExtent({10, 10}, {600000, 900000, 10, 20}, tpp));

    const WinRect r{10, 20, 60, 90};
    const Extent e{100, 200};
    const WinRect expected[9] = {{},
                                 {-40, 20, 60, 90},
                                 {10, 20, 110, 90},
                                 {10, -110, 60, 90},
                                 {-40, -110, 60, 90},
                                 {10, -110, 110, 90},
                                 {10, 20, 60, 220},
                                 {-40, 20, 60, 220},
                                 {10, 20, 110, 220}};
    for (int edge = 1; edge <= 8; ++edge)
        EXPECT_EQ(ApplyDragEdge(r, edge, e), expected[edge]);

    EXPECT_EQ(PixelLimit(1000, 15), 67);
    EXPECT_EQ(PixelLimit(50, 20), 2); // 2.5 to even
    EXPECT_EQ(PixelLimit(70, 20), 4); // 3.5 to even
    EXPECT_EQ(MouseKeysToButtonShift(0x0001 | 0x0008 | 0x0010), (ButtonShift{5, 2}));
    EXPECT_EQ(MouseKeysToButtonShift(0x0020 | 0x0004 | 0x0040), (ButtonShift{0x60, 5}));
}

TEST(HWndGrab, KeepsItsWindowWithinTheStoredLimitsAtItsOwnPlace) {
    QMainWindow form;
    form.setGeometry(37, 41, 300, 200);
    HWndGrab grab(&form);
    grab.SetTwipsPerPixel({15, 15});
    grab.InitProperties();
    EXPECT_TRUE(grab.Hooked());
    Com::PropertyBag bag;
    grab.WriteProperties(bag);
    EXPECT_EQ(bag.Size(), 0u); // all defaults

    bag.WriteProperty("LimitSize", true);
    bag.WriteProperty("MinWidth", 3000);
    bag.WriteProperty("MinHeight", 1500);
    bag.WriteProperty("MaxWidth", 6000);
    bag.WriteProperty("MaxHeight", 4500);
    HWndGrab loaded(&form);
    loaded.SetTwipsPerPixel({15, 15});
    loaded.ReadProperties(bag);
    loaded.SetMouseHoverTime(250);
    form.show();
    form.resize(50, 50);
    EXPECT_EQ(form.size(), QSize(200, 100));
    form.resize(1000, 900);
    EXPECT_EQ(form.size(), QSize(400, 300));
    EXPECT_EQ(form.geometry().topLeft(), QPoint(37, 41));

    Com::PropertyBag saved;
    loaded.WriteProperties(saved);
    EXPECT_EQ(Com::ToLong(saved.ReadProperty("MinWidth")), 3000);
    EXPECT_EQ(Com::ToBoolean(saved.ReadProperty("LimitSize")), true);
    EXPECT_FALSE(saved.Contains("MouseHoverTime"));
    EXPECT_FALSE(saved.Contains("LimitCodeSizing"));

    // Without code sizing a size set by code stays; drags stay limited by the window's hints.
    bool codeSizing = false;
    loaded.SetLimitCodeSizing(codeSizing);
    form.resize(1000, 900);
    EXPECT_EQ(form.size(), QSize(1000, 900));
    form.resize(50, 50);
    EXPECT_EQ(form.size(), QSize(50, 50));
    ASSERT_NE(form.windowHandle(), nullptr);
    EXPECT_EQ(form.windowHandle()->minimumSize(), QSize(200, 100));
    EXPECT_EQ(form.windowHandle()->maximumSize(), QSize(400, 300));
    codeSizing = true;
    loaded.SetLimitCodeSizing(codeSizing);
    form.resize(1000, 900);
    EXPECT_EQ(form.size(), QSize(400, 300));

    // Late-bound calls reach the same members.
    std::vector<Com::Variant> args{int32_t(4500)};
    Com::Variant result;
    EXPECT_EQ(loaded.Invoke(0x68030003, Com::DISPATCH_PROPERTYPUT, args, result), Com::S_OK);
    std::vector<Com::Variant> none;
    EXPECT_EQ(loaded.Invoke(0x68030003, Com::DISPATCH_PROPERTYGET, none, result), Com::S_OK);
    EXPECT_EQ(Com::ToLong(result), 4500);
    EXPECT_EQ(Com::FindClass("obControls.HWndGrab"), &HWndGrab::Info());

    // In a form designer nothing is hooked.
    QWidget designed;
    HWndGrab designer(&designed, false);
    designer.InitProperties();
    EXPECT_FALSE(designer.Hooked());
}

TEST(MenuItems, TableReusesClearedEntriesAndKeepsIconlessItems) {
    MenuItems::ResetMenuItems();
    QMainWindow form;
    QMenu* file = form.menuBar()->addMenu("File");
    std::vector<QAction*> items;
    for (int i = 0; i < 7; ++i)
        items.push_back(file->addAction(QString("Item %1").arg(i)));
    QImage icon(16, 16, QImage::Format_RGB32);
    icon.fill(Qt::black);
    HWndGrab grab(&form);
    EXPECT_EQ(grab.Hooked(), false);
    grab.FinaliseMenus(); // nothing registered: no hook
    EXPECT_FALSE(grab.Hooked());

    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(grab.AddPopup(form.menuBar(), file, items[i], "Item", icon), i);
    int32_t entry = 2;
    grab.ClearMenuItem(entry);
    EXPECT_EQ(entry, 0);
    EXPECT_EQ(grab.AddPopup(form.menuBar(), file, items[5], "Again", icon), 2);
    EXPECT_EQ(grab.AddPopup(form.menuBar(), file, items[6], "Next", icon), 5);

    // An item without an icon keeps its entry; the next one takes a new entry.
    const int32_t plain = grab.AddPopup(form.menuBar(), file, items[0], "Plain", QImage());
    const int32_t after = grab.AddPopup(form.menuBar(), file, items[1], "After", icon);
    EXPECT_NE(plain, after);
    EXPECT_EQ(MenuItems::MenuItemTable()[plain].Caption, "Plain");

    QAction* separator = file->addSeparator();
    const int32_t sep = grab.AddPopup(form.menuBar(), file, separator, "", QImage());
    grab.FinaliseMenus();
    EXPECT_TRUE(grab.Hooked());
    EXPECT_EQ(MenuItems::EntryOf(items[1]), after);
    EXPECT_EQ(MeasureMenuItem(sep, form.font(), 15).height(), 5);
    EXPECT_EQ(MeasureMenuItem(plain, form.font(), 15).height(), 20);
    const int captionWidth = QFontMetrics(form.font()).horizontalAdvance("Plain");
    EXPECT_EQ(MeasureMenuItem(plain, form.font(), 15).width(), captionWidth + 23);
    EXPECT_EQ(MeasureMenuItem(plain, form.font(), 30).width(), captionWidth * 2 + 23);

    // A selected item with an icon is highlighted from x 23 only; without one, everywhere.
    QImage canvas(120, 20, QImage::Format_RGB32);
    canvas.fill(Qt::magenta);
    QPainter painter(&canvas);
    PaintMenuItem(painter, QRect(0, 0, 120, 20), after, {true, false, false, false});
    painter.end();
    const QRgb highlight = QApplication::palette().color(QPalette::Highlight).rgb();
    EXPECT_EQ(canvas.pixel(0, 10), qRgb(255, 0, 255));
    EXPECT_EQ(canvas.pixel(23, 1), highlight);
    MenuItems::ResetMenuItems();
}

TEST(MenuItems, DisabledIconFollowsTheColourRules) {
    QImage icon(16, 16, QImage::Format_RGB32);
    icon.fill(qRgb(255, 255, 255));              // white: transparent
    icon.setPixel(5, 5, qRgb(0, 0, 0));          // dark -> mid grey
    icon.setPixel(6, 6, qRgb(0x90, 0x90, 0x90)); // packed 0x909090: above mid, below blue
    icon.setPixel(7, 7, qRgb(0x20, 0x20, 0xFF)); // packed 0xFF2020: the light grey
    const QImage d = MenuItems::MakeDisabledIcon(icon);
    auto packed = [&](int x, int y) { return MenuItems::PackedColour(d.pixel(x, y)); };
    EXPECT_EQ(packed(5, 5), 0x808080);
    EXPECT_EQ(packed(6, 6), 0xC0C0C1);
    EXPECT_EQ(packed(7, 7), 0xE0E0E0);
    // Transparent pixels below-right of a shape pixel turn white, as do the top row and left
    // column; other transparent pixels stay.
    EXPECT_EQ(packed(6, 5), 0xC0C0C0); // upper-left (5,4) transparent
    EXPECT_EQ(packed(8, 8), 0xFFFFFF); // upper-left (7,7) a shape pixel
    EXPECT_EQ(packed(0, 9), 0xFFFFFF);
    EXPECT_EQ(packed(9, 0), 0xFFFFFF);
    EXPECT_EQ(packed(12, 3), 0xC0C0C0);
}

TEST(LED, SegmentsLayoutErrorsAndPage) {
    const int16_t masks[10] = {125, 80, 55, 87, 90, 79, 111, 81, 127, 95};
    for (int d = 0; d < 10; ++d)
        EXPECT_EQ(DigitMask(d), masks[d]);
    EXPECT_EQ(DigitMask(10), 0);

    const LedLayout l = LayoutLed(1200, 1600);
    EXPECT_EQ(l.a, 90);
    EXPECT_EQ(l.b, 120);
    EXPECT_EQ(l.c, 180);
    EXPECT_EQ(l.thickness, 9);
    EXPECT_EQ(l.segments[4].x1, 750);
    EXPECT_EQ(l.segments[1], (Segment{210, 800, 630, 800}));
    EXPECT_EQ(l.decimalLeft, 930);
    EXPECT_EQ(l.decimalTop, 1330);
    const LedLayout wide = LayoutLed(2000, 300); // base = the height; 22.5 rounds to 22
    EXPECT_EQ(wide.a, 22);
    EXPECT_EQ(wide.c, 45);
    EXPECT_EQ(wide.thickness, 2);

    LED led;
    led.InitProperties();
    led.SetValue(1);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(led.SegmentColour(i), (i == 4 || i == 6) ? 255 : 0);
    Com::ExceptionInfo error;
    EXPECT_FALSE(led.SetValue(10, &error));
    EXPECT_EQ(error.number, static_cast<int32_t>(0x80040000) + 100);
    EXPECT_EQ(error.description, "Invalid Value:  Valid values are 0 to 9.");
    EXPECT_EQ(led.Value(), 1);
    led.SetValueIsMask(true);
    EXPECT_TRUE(led.SetValue(100));
    EXPECT_FALSE(led.SetValue(128, &error));
    EXPECT_EQ(error.description, "Invalid Value (Mask):  Valid values are 0 to 127.");
    led.SetValueIsMask(false); // 100 is no digit: all unlit, no error
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(led.SegmentColour(i), 0);
    led.SetShowDecimal(true);
    led.SetLEDColorOn(0x00FF00);
    EXPECT_EQ(led.DecimalColour(), 0x00FF00);

    // Stored mask above 9 reloads without error; saving writes only what differs.
    Com::PropertyBag bag;
    bag.WriteProperty("ValueIsMask", true);
    bag.WriteProperty("Value", int16_t(99));
    LED reloaded;
    reloaded.ReadProperties(bag);
    EXPECT_EQ(reloaded.Value(), 99);
    Com::PropertyBag saved;
    reloaded.WriteProperties(saved);
    EXPECT_EQ(saved.Size(), 2u);

    // At design time a bad value shows the box and stores 0.
    TestSupport::ScriptedBoxes boxes;
    LED designed(nullptr, false);
    designed.SetValue(3);
    EXPECT_TRUE(designed.SetValue(12));
    EXPECT_EQ(designed.Value(), 0);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].title, "LED Error");

    // The page applies border, decimal, mask, then the value; a bad text stops there.
    LEDProperties page;
    page.SelectionChanged({&led});
    EXPECT_EQ(page.txtValue.text(), "100");
    EXPECT_TRUE(page.chkShowDecimal.isChecked());
    page.chkShowBorder.click();
    page.chkValueIsMask.click();
    EXPECT_TRUE(page.Changed());
    page.txtValue.setText("abc");
    EXPECT_FALSE(page.ApplyChanges(&error));
    EXPECT_EQ(error.number, 13);
    EXPECT_TRUE(led.ShowBorder());
    EXPECT_TRUE(led.ValueIsMask());
    page.txtValue.setText("127");
    EXPECT_TRUE(page.ApplyChanges());
    EXPECT_EQ(led.Value(), 127);
}

TEST(StatusAndBorder, BarRunsOnlyWhileShownAndEdgesFollowTheStyle) {
    obStatus status;
    EXPECT_EQ(status.ProgressBar.value(), 20);
    EXPECT_FALSE(status.Timer1.isActive());
    status.show();
    EXPECT_TRUE(status.Timer1.isActive());
    int values[6];
    for (int& v : values) {
        status.Timer1_Timer();
        v = status.ProgressBar.value();
    }
    EXPECT_EQ(std::vector<int>(values, values + 6), (std::vector<int>{40, 60, 80, 100, 0, 20}));
    status.hide();
    EXPECT_FALSE(status.Timer1.isActive());
    status.SetCaption("Copying");
    EXPECT_EQ(status.ChangedProperties(), std::vector<std::string>{"Caption"});
    const StatusLayout s = LayoutStatus(3030, 900);
    EXPECT_EQ(s.barTop, 500);
    EXPECT_EQ(s.titleHeight, 400);

    ax3DBorder border;
    EXPECT_EQ(border.LineColours(),
              (std::array<int32_t, 4>{0xE0E0E0, 0xE0E0E0, 0x808080, 0x808080}));
    std::vector<Com::Variant> args{int32_t(5)};
    Com::Variant result;
    EXPECT_EQ(border.Invoke(0x68030003, Com::DISPATCH_PROPERTYPUT, args, result), Com::S_OK);
    EXPECT_EQ(border.BorderStyle(), 5);
    EXPECT_EQ(border.LineColours(),
              (std::array<int32_t, 4>{0x808080, 0x808080, 0xE0E0E0, 0xE0E0E0}));
    EXPECT_EQ(BorderLines(1500, 600)[2], (Segment{1485, 0, 1485, 600}));
    int resized = 0;
    QObject::connect(&border, &ax3DBorder::Resize, [&] { ++resized; });
    border.show();
    border.resize(100, 40);
    EXPECT_GE(resized, 1);
}
