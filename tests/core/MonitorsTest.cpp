// Monitor geometry on Qt's offscreen screens and on made-up desks.
#include "core/clsMonitors.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

struct DeskGuard {
    explicit DeskGuard(Monitors::Desk desk) {
        Monitors::SetDeskSource([desk] { return desk; });
    }
    ~DeskGuard() { Monitors::SetDeskSource({}); }
};

Monitors::Desk Desk(std::vector<Monitors::ScreenInfo> screens) {
    Monitors::Desk desk;
    desk.screens = std::move(screens);
    desk.screenWidthTwips = 1024 * 15;
    desk.screenHeightTwips = 768 * 15;
    return desk;
}

TEST(Monitors, OffscreenScreensAreFoundOnce) {
    clsMonitors monitors;
    const auto screens = QGuiApplication::screens();
    ASSERT_FALSE(screens.isEmpty());
    ASSERT_EQ(monitors.Monitors.size(), static_cast<size_t>(screens.size()));
    const auto& first = *monitors.Monitors.at("1");
    QRect g = screens[0]->geometry();
    EXPECT_EQ(first.Left, g.left());
    EXPECT_EQ(first.Width, g.width());
    EXPECT_EQ(first.Height, g.height());
    EXPECT_EQ(first.Right - first.Left, first.Width);
    EXPECT_EQ(monitors.DesktopWidth(), screens[0]->virtualGeometry().width());
    EXPECT_EQ(monitors.GetMonitorFromXYPoint(1, 1, 0), 1);
    EXPECT_EQ(monitors.GetMonitorFromXYPoint(-5000, -5000, 0), 0);
    EXPECT_EQ(monitors.GetMonitorFromXYPoint(-5000, -5000, 1), 1) << "flag 1 gives the primary";
}

TEST(Monitors, SideBySideAndLeftOfPrimary) {
    {
        DeskGuard guard(Desk({{7, QRect(0, 0, 1280, 1024), QRect(0, 0, 1280, 1000)},
                              {9, QRect(1280, 0, 1280, 1024), QRect(1280, 0, 1280, 1024)}}));
        clsMonitors monitors;
        EXPECT_EQ(monitors.DesktopWidth(), 2560);
        ASSERT_EQ(monitors.Monitors.size(), 2u);
        EXPECT_EQ(monitors.Monitors.at("9")->Left, 1280);
        EXPECT_EQ(monitors.Monitors.at("9")->Right, 2560);
        EXPECT_EQ(monitors.Monitors.at("7")->WorkHeight, 1000);
    }
    DeskGuard guard(Desk({{1, QRect(0, 0, 1280, 1024), QRect(0, 0, 1280, 1024)},
                          {2, QRect(-1280, 0, 1280, 1024), QRect(-1280, 0, 1280, 1024)}}));
    clsMonitors monitors;
    EXPECT_EQ(monitors.DesktopLeft(), -1280);
    ASSERT_EQ(monitors.Monitors.size(), 2u);
    EXPECT_EQ(monitors.Monitors.at("2")->Left, -1280);
}

TEST(Monitors, SingleScreenFallback) {
    DeskGuard guard(Desk({}));
    clsMonitors monitors;
    ASSERT_EQ(monitors.Monitors.size(), 1u);
    const auto& only = *monitors.Monitors.at("0");
    EXPECT_EQ(only.Left, 0);
    EXPECT_EQ(only.Right, 1024);
    EXPECT_EQ(only.Bottom, 768);
    EXPECT_EQ(only.WorkWidth, 1024);
    EXPECT_EQ(only.WorkHeight, 768);
    EXPECT_EQ(monitors.DesktopWidth(), 1024);
    EXPECT_EQ(monitors.GetMonitorFromXYPoint(1, 1, 1), -1);
    QWidget form;
    form.resize(400, 200); // 6000 x 3000 twips
    monitors.CenterFormOnMonitor(form);
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(312, 284));
}

TEST(Monitors, CentresOnTheWorkAreaFromTheMonitorCorner) {
    DeskGuard guard(Desk({{1, QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 738)},
                          {2, QRect(1024, 0, 1024, 768), QRect(1024, 0, 1024, 768)}}));
    clsMonitors monitors;
    QWidget form;
    form.resize(400, 267); // 6000 x 4005 twips
    monitors.CenterFormOnMonitor(form);
    // work 15360 x 11070 twips: left (15360 - 6000) div 2 = 4680, top (11070 - 4005) div 2
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(312, 235));

    QWidget owner;
    owner.setGeometry(1100, 100, 200, 200);
    monitors.CenterFormOnMonitor(form, &owner);
    EXPECT_EQ(form.frameGeometry().left(), 1024 + 312);
    owner.setGeometry(-4000, -4000, 10, 10);
    monitors.CenterFormOnMonitor(form, &owner);
    EXPECT_EQ(form.frameGeometry().left(), 312) << "an owner on no monitor gets the primary";
}

} // namespace
