#include "support/TestSupport.h"

#include "core/GeneralFunctions.h"
#include "platform/VB.h"

#include <gtest/gtest.h>
#include <limits>

using namespace GeneralFunctions;

namespace {
constexpr int32_t kDay = 46363; // 7 December 2026
}

TEST(TimeStamps, AddAndSubtractNormalise) {
    TimeStamp late{kDay, 86390.f};
    TimeStamp t = TimeStampAdd(30.f, late);
    EXPECT_EQ(t.Day, kDay + 1);
    EXPECT_FLOAT_EQ(t.Seconds, 20.f);
    t = TimeStampSubtract(30.f, TimeStamp{kDay, 10.f});
    EXPECT_EQ(t.Day, kDay - 1);
    EXPECT_FLOAT_EQ(t.Seconds, 86380.f);
    // Below a hundredth nothing changes.
    t = TimeStampAdd(0.004f, TimeStamp{kDay, 100.f});
    EXPECT_TRUE(TimeStampEqual(t, TimeStamp{kDay, 100.f}));
    t = TimeStampAdd(172800.5f, TimeStamp{kDay, 100.f});
    EXPECT_EQ(t.Day, kDay + 2);
    EXPECT_FLOAT_EQ(t.Seconds, 100.5f);
    // A negative amount moves back, through the same split.
    t = TimeStampAdd(-86400.5f, TimeStamp{kDay, 0.f});
    EXPECT_EQ(t.Day, kDay - 2);
    EXPECT_FLOAT_EQ(t.Seconds, 86399.5f);
    t = TimeStampSubtract(-30.f, late);
    EXPECT_EQ(t.Day, kDay + 1);
    EXPECT_FLOAT_EQ(t.Seconds, 20.f);
}

TEST(TimeStamps, DayOverflowIsADefinedError) {
    int error = -1;
    TimeStamp last{std::numeric_limits<int32_t>::max(), 86000.f};
    TimeStamp t = TimeStampAdd(600.f, last, &error);
    EXPECT_EQ(error, VB::errOverflow);
    EXPECT_TRUE(TimeStampEqual(t, last));
    TimeStamp first{std::numeric_limits<int32_t>::min(), 10.f};
    t = TimeStampSubtract(20.f, first, &error);
    EXPECT_EQ(error, VB::errOverflow);
    EXPECT_TRUE(TimeStampEqual(t, first));
    // The hundredths of more than about 248 days leave 32 bits.
    TimeStampAdd(3.0e7f, TimeStamp{kDay, 0.f}, &error);
    EXPECT_EQ(error, VB::errOverflow);
    TimeStampAdd(std::numeric_limits<float>::quiet_NaN(), TimeStamp{kDay, 0.f}, &error);
    EXPECT_EQ(error, VB::errOverflow);
    // A corrupt stamp far outside one day is still brought back in one step.
    t = TimeStampAdd(1.f, TimeStamp{kDay, 1.0e9f}, &error);
    EXPECT_EQ(error, 0);
    EXPECT_GE(t.Seconds, 0.f);
    EXPECT_LT(t.Seconds, 86400.f);
    EXPECT_EQ(t.Day, kDay + 11574);
    t = TimeStampAdd(1.f, TimeStamp{kDay, 5.f}, &error);
    EXPECT_EQ(error, 0);
}

TEST(TimeStamps, CompareNowAndDifferences) {
    EXPECT_FALSE(TimeStampLater(TimeStamp{kDay, 5.f}, TimeStamp{kDay, 5.f}));
    EXPECT_TRUE(TimeStampLater(TimeStamp{kDay + 1, 0.f}, TimeStamp{kDay, 86399.f}));
    EXPECT_FALSE(TimeStampLater(TimeStamp{kDay - 1, 86399.f}, TimeStamp{kDay, 0.f}));
    EXPECT_TRUE(TimeStampLater(TimeStamp{kDay, 5.5f}, TimeStamp{kDay, 5.f}));

    TestSupport::FrozenClock clock(kDay, 3600.75);
    TimeStamp now = TimeStampNow(false);
    EXPECT_EQ(now.Day, kDay);
    EXPECT_FLOAT_EQ(now.Seconds, 3600.75f);
    // The true start of the hour, also when the seconds' fraction is .5 or more.
    EXPECT_FLOAT_EQ(TimeStampNow(true).Seconds, 3600.f);
    Platform::Clock::SetNow(kDay, 7199.5);
    EXPECT_FLOAT_EQ(TimeStampNow(true).Seconds, 3600.f);
    Platform::Clock::SetNow(kDay, 3599.6);
    EXPECT_FLOAT_EQ(TimeStampNow(true).Seconds, 0.f);

    Platform::Clock::SetNow(kDay, 10.0);
    TimeStamp yesterday{kDay - 1, 86390.f};
    EXPECT_DOUBLE_EQ(SecondsSinceTimeStamp(yesterday), 20.0);
    EXPECT_DOUBLE_EQ(SecondsUntilTimeStamp(yesterday), -20.0);
    EXPECT_DOUBLE_EQ(SecondsUntilTimeStamp(TimeStamp{kDay, 70.f}), 60.0);

    TimeStamp fromDate = TimeStampFromDate(kDay + 0.5);
    EXPECT_EQ(fromDate.Day, kDay);
    EXPECT_FLOAT_EQ(fromDate.Seconds, 43200.f);
    fromDate = TimeStampFromDate(kDay + 0.9999999);
    EXPECT_EQ(fromDate.Day, kDay + 1);
    EXPECT_FLOAT_EQ(fromDate.Seconds, 0.f);
}

TEST(Durations, LayoutsRoundingAndBlanks) {
    EXPECT_EQ(FormatDuration(75.5, 0), "01:15.50");
    EXPECT_EQ(FormatDuration(75.5, 3), "01:16");
    EXPECT_EQ(FormatDuration(76.5, 3), "01:16"); // halves to even
    EXPECT_EQ(FormatDuration(75.5, 13), "01:15");
    EXPECT_EQ(FormatDuration(75.5, 23), "01:16");
    EXPECT_EQ(FormatDuration(75.0, 23), "01:15");
    EXPECT_EQ(FormatDuration(3725, 2), "01:02:05");
    EXPECT_EQ(FormatDuration(3725.25, 1), "01:02:05.25");
    EXPECT_EQ(FormatDuration(3725, 4), "01:02");
    EXPECT_EQ(FormatDuration(-1, 2), "--:--:--");
    EXPECT_EQ(FormatDuration(90000, 1), "--:--:--.--");
    EXPECT_EQ(FormatDuration(86400, 2), "24:00:00");
    EXPECT_EQ(FormatDuration(5, 103), "  : 5");
    EXPECT_EQ(FormatDuration(0.25, 100), "  :  .  ");
    EXPECT_EQ(FormatDuration(0.25, 101), "  :  :  .25");
    // Style 2xx leaves out a blank hours field and a blank seconds field.
    EXPECT_EQ(FormatDuration(65, 202), " 1:05");
    EXPECT_EQ(FormatDuration(3725, 202), " 1:02:05");
    EXPECT_EQ(FormatDuration(0, 203), "  ");
    EXPECT_EQ(FormatDuration(-5, 202), "--:--:--");
    // All fields come from the same whole hundredths.
    EXPECT_EQ(FormatDuration(59.996, 0), "01:00.00");
    EXPECT_EQ(FormatDuration(59.994, 0), "00:59.99");
}

TEST(Durations, ParseIsTheInverseWithLeadingZeros) {
    EXPECT_DOUBLE_EQ(ParseDuration("01:02:05", 2), 3725);
    EXPECT_DOUBLE_EQ(ParseDuration("  01:02:05.25 ", 1), 3725.25);
    EXPECT_DOUBLE_EQ(ParseDuration("01:15.50", 0), 75.5);
    EXPECT_DOUBLE_EQ(ParseDuration("01:16", 23), 76);
    EXPECT_DOUBLE_EQ(ParseDuration("01:02", 4), 3720);
    EXPECT_DOUBLE_EQ(ParseDuration("01:02", 7), 0);
    EXPECT_DOUBLE_EQ(ParseDuration("xx:02", 3), 2);
    for (double s : {0.0, 59.99, 3599.5, 86399.25})
        EXPECT_NEAR(ParseDuration(FormatDuration(s, 1), 1), s, 0.005);
    EXPECT_EQ(GetMonthName(12), "December");
    EXPECT_EQ(GetMonthName(13), "");
}
