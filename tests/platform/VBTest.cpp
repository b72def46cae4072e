#include "platform/VB.h"
#include "platform/Clock.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace VB;

TEST(VB, RoundingHalvesToEvenAndOverflowIsReported) {
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(1.5), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2.0);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3.0);
    EXPECT_EQ(CInt(32766.5), std::optional<int16_t>(32766));
    EXPECT_FALSE(CInt(32767.5).has_value()); // rounds to 32768
    EXPECT_EQ(CInt(-32768.5), std::optional<int16_t>(-32768));
    EXPECT_EQ(CLng(2147483646.5), std::optional<int32_t>(2147483646));
    EXPECT_FALSE(CLng(2147483647.5).has_value());
    EXPECT_FALSE(CLng(std::numeric_limits<double>::quiet_NaN()).has_value());
    EXPECT_FALSE(CLng(std::numeric_limits<double>::infinity()).has_value());
    EXPECT_EQ(Int(-1.5), -2.0);
    EXPECT_EQ(Fix(-1.5), -1.0);
    EXPECT_EQ(Int(1.5), 1.0);
}

TEST(VB, ValReadsTheLeadingNumber) {
    EXPECT_EQ(Val("  12 34abc"), 1234.0); // blanks inside the number are skipped too
    EXPECT_EQ(Val("\t-1.5e2x"), -150.0);
    EXPECT_EQ(Val("1e"), 1.0);
    EXPECT_EQ(Val(".5"), 0.5);
    EXPECT_EQ(Val("1.2.3"), 1.2);
    EXPECT_EQ(Val("abc"), 0.0);
    EXPECT_EQ(Val(""), 0.0);
    EXPECT_EQ(Val(" -"), 0.0);
    EXPECT_EQ(Val("&H1F"), 31.0);
    EXPECT_EQ(Val("&hFFFF"), -1.0);
    EXPECT_EQ(Val("&H10000"), 65536.0);
    EXPECT_EQ(Val("&O17"), 15.0);
    EXPECT_EQ(Val("123\r"), 123.0);
    EXPECT_EQ(Val("1D3"), 1000.0);
}

TEST(VB, NumberPatterns) {
    EXPECT_EQ(FormatNumber(7, "00"), "07");
    EXPECT_EQ(FormatNumber(123, "00000"), "00123");
    EXPECT_EQ(FormatNumber(123456, "00"), "123456");
    EXPECT_EQ(FormatNumber(0, "##"), "");
    EXPECT_EQ(FormatNumber(5, "##"), "5");
    EXPECT_EQ(FormatNumber(2.5, "0"), "3"); // Format rounds halves away from zero
    EXPECT_EQ(FormatNumber(-2.5, "0"), "-3");
    EXPECT_EQ(FormatNumber(1.25, "0.0"), "1.3");
    EXPECT_EQ(FormatNumber(0.04, "0.0"), "0.0");
    EXPECT_EQ(FormatNumber(1.5, "0.##"), "1.5");
    EXPECT_EQ(FormatNumber(7, "[00]"), "[07]");
}

TEST(VB, DatePatternsAreFixedAndEnglish) {
    double d = DateSerial(2026, 12, 7) + TimeSerial(14, 3, 7);
    EXPECT_EQ(FormatDate(d, "dd/mm/yyyy"), "07/12/2026");
    EXPECT_EQ(FormatDate(d, "ddddd hh:nn:ss"), "07/12/2026 14:03:07");
    EXPECT_EQ(FormatDate(d, "hh:mm:ss"), "14:03:07"); // mm after hh means minutes
    EXPECT_EQ(FormatDate(d, "yyyymmdd"), "20261207");
    EXPECT_EQ(FormatDate(d, "yymmdd"), "261207");
    EXPECT_EQ(FormatDate(d, "yyyy-mm-dd"), "2026-12-07");
    EXPECT_EQ(FormatDate(d, "ddd"), "Mon");
    EXPECT_EQ(FormatDate(d, "dddd d mmmm"), "Monday 7 December");
    EXPECT_EQ(FormatDate(d, " hh:mm:ss    dd mmm yyyy"), " 14:03:07    07 Dec 2026");
    EXPECT_EQ(FormatDate(d, "\\A\"d\"d"), "Ad7");
    // Week of 1 January is week 1, weeks from Sunday: 7 Dec 2026 is in week 50.
    EXPECT_EQ(FormatDate(d, "ww"), "50");
    // 23:59:59.6 rounds to the next day's midnight, as the date value says.
    EXPECT_EQ(FormatDate(DateSerial(2026, 12, 7) + 86399.6 / 86400, "dd hh:nn:ss"), "08 00:00:00");
    EXPECT_EQ(ShortDate(DateSerial(2027, 1, 2)), "02/01/2027");
}

TEST(VB, CalendarHelpers) {
    EXPECT_EQ(DateSerial(1899, 12, 30), 0);
    EXPECT_EQ(DateSerial(2026, 13, 1), DateSerial(2027, 1, 1));
    EXPECT_EQ(DateSerial(2026, 0, 1), DateSerial(2025, 12, 1));
    EXPECT_EQ(DateSerial(2026, 3, 0), DateSerial(2026, 2, 28));
    EXPECT_EQ(DateSerial(2026, -11, 1), DateSerial(2025, 1, 1));
    EXPECT_DOUBLE_EQ(TimeSerial(12, 0, 0), 0.5);
    EXPECT_DOUBLE_EQ(TimeSerial(0, 90, 0), 1.5 / 24);
    int32_t monday = DateSerial(2026, 12, 7);
    EXPECT_EQ(Weekday(monday), 2);
    EXPECT_EQ(Weekday(monday, vbMonday), 1);
    EXPECT_EQ(Weekday(monday - 1, vbMonday), 7);
    EXPECT_EQ(Weekday(0), 7); // 1899-12-30 was a Saturday
    EXPECT_EQ(Weekday(-1), 6);
    EXPECT_EQ(WeekdayName(1), "Sunday");
    EXPECT_EQ(WeekdayName(8), "");
    EXPECT_EQ(MonthName(9, true), "Sep");
    EXPECT_EQ(MonthName(0), "");
}

TEST(VB, ByteStrings) {
    EXPECT_EQ(Space(3), "   ");
    EXPECT_EQ(Space(-1), "");
    EXPECT_EQ(String(2, '*'), "**");
    EXPECT_EQ(Left("abc", 5), "abc");
    EXPECT_EQ(Left("abc", -1), "");
    EXPECT_EQ(Right("abc", 2), "bc");
    EXPECT_EQ(Right("abc", 9), "abc");
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abcdef", 5), "ef");
    EXPECT_EQ(Mid("abc", 9, 2), "");
    EXPECT_EQ(Mid("abc", 0, 2), "ab");
    EXPECT_EQ(FixedLength("ab", 4), "ab  ");
    EXPECT_EQ(FixedLength("abcdef", 4), "abcd");
    EXPECT_EQ(InStr(1, "Group=5 group", "group", true), 1);
    EXPECT_EQ(InStr(2, "Group=5 group", "group"), 9);
    EXPECT_EQ(InStr(1, "abc", "x"), 0);
    EXPECT_EQ(InStr(9, "abc", "a"), 0);
    EXPECT_EQ(UCase("caf\xE9 \xFF"), "CAF\xC9 \x9F");
    EXPECT_EQ(LCase("CAF\xC9 \xD7"), "caf\xE9 \xD7");
    EXPECT_EQ(Trim("  a b\t "), "a b\t");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Hex(-1), "FFFFFFFF");
    EXPECT_EQ(Hex(300), "12C");
}
