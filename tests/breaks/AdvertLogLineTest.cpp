#include "BreaksFixture.h"

#include "breaks/AdvertLog_FN.h"
#include "breaks/LogSupport.h"

using namespace AdvertLog_FN;
using BreaksTest::Full;
using BreaksTest::Short;

TEST(AdvertLogLine, FullLineGivesEveryField) {
    const std::string title = "Widget Sale \xE9t\xE9 \xA3\x35";
    std::string line = Full("10:15:30", "NE", 1234, title, 30, "REF-77 extra words");
    ASSERT_EQ(line[8], '|');
    ASSERT_EQ(line[58], '|');
    EXPECT_FLOAT_EQ(GetLineTime(line), 10 * 3600 + 15 * 60 + 30);
    EXPECT_EQ(GetLineChainCode(line), "NE");
    EXPECT_EQ(GetLineCartNumber(line), 1234);
    EXPECT_EQ(GetLineTitle(line), title + std::string(30 - title.size(), ' '));
    EXPECT_EQ(GetLineReference(line), "REF-77 extra words");
    EXPECT_EQ(NormaliseLogLine(line), line);
}

TEST(AdvertLogLine, ShortLineWidensToTheFullColumns) {
    std::string line = Short("10:15", "NE", 1234, "Short title", 30, "R1");
    ASSERT_TRUE(IsShortLogLine(line));
    std::string full = NormaliseLogLine(line);
    EXPECT_EQ(full, Full("10:15:00", "NE", 1234, "Short title", 30, "R1"));
    EXPECT_EQ(full.substr(14, 8), "    1234");
    EXPECT_EQ(full.substr(54, 4), "  30");
    EXPECT_FLOAT_EQ(GetLineTime(line), 36900);
    EXPECT_EQ(GetLineCartNumber(line), 1234);
    EXPECT_EQ(GetLineTitle(line), "Short title" + std::string(19, ' '));
    EXPECT_EQ(GetLineReference(line), "R1");
}

TEST(AdvertLogLine, EmptyAndShortLines) {
    EXPECT_FLOAT_EQ(GetLineTime(""), -1);
    EXPECT_EQ(GetLineCartNumber(""), 0);
    EXPECT_EQ(GetLineChainCode(""), "");
    EXPECT_EQ(GetLineTitle(""), "");
    EXPECT_EQ(GetLineReference(""), "");
    // Fewer than 60 characters: no reference; fewer than 15: no cart.
    std::string line = Full("10:00:00", "NE", 77, "Title", 20, "");
    EXPECT_EQ(GetLineReference(line.substr(0, 59)), "");
    EXPECT_EQ(GetLineCartNumber(line.substr(0, 14)), 0);
    EXPECT_EQ(GetLineCartNumber(line.substr(0, 20)), 0); // the digits stand in 21-22
    EXPECT_EQ(GetLineTitle(line.substr(0, 30)), "Title  ");
    EXPECT_FLOAT_EQ(GetLineTime("10"), 36000);
    EXPECT_EQ(GetLineChainCode("10:00:00|n"), "N");
}

TEST(AdvertLogLine, ChainCodeIsTrimmedAndUpperCased) {
    std::string line = "10:00:00| ne |    1234|Title";
    EXPECT_EQ(GetLineChainCode(line), "NE");
    EXPECT_EQ(GetLineChainCode("10:00:00|\xE9x  |"), "\xC9X");
}

TEST(AdvertLogLine, NonNumericColumnsReadAsZero) {
    EXPECT_FLOAT_EQ(GetLineTime("ab:cd:ef|NE"), 0);
    EXPECT_FLOAT_EQ(GetLineTime("1x:3y:4z|NE"), 3600 + 180 + 4);
    EXPECT_EQ(GetLineCartNumber("10:00:00|NE  |  abc123|"), 0);
    EXPECT_EQ(GetLineCartNumber("10:00:00|NE  |   12x34|"), 12);
    EXPECT_EQ(GetLineCartNumber("10:00:00|NE  |  1 2 3 |"), 123); // blanks are skipped
    EXPECT_EQ(GetLineCartNumber("10:00:00|NE  |  12.5  |"), 12);  // half to even
    EXPECT_EQ(GetLineCartNumber("10:00:00|NE  |  13.5  |"), 14);
    // A number too large for a cart number is no cart, never an overflow.
    EXPECT_EQ(GetLineCartNumber("10:00:00|NE  |9E99    |"), 0);
    EXPECT_EQ(GetLineCartNumber("10:00:00|NE  |&H10    |"), 16);
}

TEST(AdvertLogLine, RandomBytesNeverFail) {
    uint32_t seed = 12345;
    for (int n = 0; n < 2000; ++n) {
        std::string line;
        int length = static_cast<int>(seed % 90);
        for (int i = 0; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            line += static_cast<char>((seed >> 16) & 0xFF);
        }
        seed = seed * 1103515245u + 12345u;
        (void)GetLineTime(line);
        (void)GetLineCartNumber(line);
        EXPECT_LE(GetLineChainCode(line).size(), 4u);
        EXPECT_LE(GetLineTitle(line).size(), 30u);
        (void)GetLineReference(line);
    }
}

TEST(AdvertLogLine, BuildFullAndShortLines) {
    EXPECT_EQ(BuildLogLine(36930, "NE", 1234, "Title", "REF", 30, false),
              "10:15:30|NE  |    1234|Title                         |  30|REF");
    EXPECT_EQ(BuildLogLine(36930, "NE", 1234, "Title", "REF", 30, true),
              "10:15|NE  |1234|Title                         | 30|REF");
    // Fields are cut to their widths, the long cart number to its first 8 digits.
    std::string line =
        BuildLogLine(36000, "NORTH", 123456789, std::string(40, 'T'), "", 12345, false);
    EXPECT_EQ(line, "10:00:00|NORT|12345678|" + std::string(30, 'T') + "|1234|");
    // Whatever is built reads back.
    std::string built = BuildLogLine(3723, "ne", 42, "Title \xFC", "R \xE9", 15, false);
    EXPECT_FLOAT_EQ(GetLineTime(built), 3723);
    EXPECT_EQ(GetLineChainCode(built), "NE");
    EXPECT_EQ(GetLineCartNumber(built), 42);
    EXPECT_EQ(GetLineReference(built), "R \xE9");
    std::string shortBuilt = BuildLogLine(3723, "NE", 42, "T", "R", 15, true);
    EXPECT_EQ(GetLineCartNumber(shortBuilt), 42);
    EXPECT_FLOAT_EQ(GetLineTime(shortBuilt), 3720);
}

TEST(AdvertLogLine, BuiltLengthRoundsHalfToEvenAndTakesTheSeguePoint) {
    EXPECT_EQ(BuildLogLine(0, "NE", 1, "", "", 29.5f, false).substr(54, 4), "  30");
    EXPECT_EQ(BuildLogLine(0, "NE", 1, "", "", 30.5f, false).substr(54, 4), "  30");
    EXPECT_EQ(BuildLogLine(0, "NE", 1, "", "", 31.5f, false).substr(54, 4), "  32");

    BreakCarts::SetCartReader([](int32_t cart, BreakCarts::CartTiming& timing) {
        if (cart != 55) return static_cast<int16_t>(-1);
        timing = {40.0f, 37.5f};
        return static_cast<int16_t>(0);
    });
    EXPECT_EQ(BuildLogLine(0, "NE", 55, "", "", -1, false).substr(54, 4), "  38");
    EXPECT_EQ(BuildLogLine(0, "NE", 56, "", "", -1, false).substr(54, 4), "   0");
    BreakCarts::SetCartReader(nullptr);
}

TEST(LogSupportText, SingleIsTheShortestPlainNumber) {
    EXPECT_EQ(LogSupport::SingleText(36000), "36000");
    EXPECT_EQ(LogSupport::SingleText(100000), "100000");
    EXPECT_EQ(LogSupport::SingleText(9.5f), "9.5");
    EXPECT_EQ(LogSupport::SingleText(0.1f), "0.1");
    EXPECT_EQ(LogSupport::SingleText(-1), "-1");
}
