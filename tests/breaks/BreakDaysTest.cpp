#include "BreaksFixture.h"

#include "breaks/AdvertLog_FN.h"
#include "breaks/ZEL_Common.h"
#include "platform/Clock.h"

#include <chrono>
#include <filesystem>

using namespace BreaksTest;
namespace fs = std::filesystem;

namespace {

// Two days' logs of one layout: a break at 10:00:00 and one at the day's end, so each break
// sits at the same byte position in both files.
std::string DayLog(int firstCart, const std::string& late) {
    return Join({Full("10:00:00", "NE", firstCart, "Morning", 30, "M"), "",
                 Full(late, "NE", firstCart + 1, "Late one", 30, "L1"),
                 Full(late, "NE", firstCart + 2, "Late two", 30, "L2")},
                "\r\n");
}

class BreakDays : public SplitTest {
protected:
    void SetUp() override {
        SplitTest::SetUp();
        for (int cart : {11, 12, 13, 21, 22, 23, 31})
            AddCart(cart, 30.0f, 28.0f);
        Deliver(kDec7, DayLog(11, "23:59:00"));
        Deliver(kDec7 + 1, DayLog(21, "23:59:00"));
        lateBreak =
            static_cast<int32_t>(Full("10:00:00", "NE", 11, "Morning", 30, "M").size()) + 2 + 2 + 1;
    }
    int32_t lateBreak = 0;
};

} // namespace

TEST_F(BreakDays, PlayWithNoLogLoadedNeverPlaysAPassedBreak) {
    Platform::Clock::SetNow(kDec7, 12 * 3600.0);
    engine->PlayBreak(false);
    // The 10:00 break has passed: the late break is cued and played.
    ASSERT_EQ(players.plays.size(), 1u);
    EXPECT_EQ(players.plays[0].second, 12);
    EXPECT_EQ(Split().CuedBreakPos, lateBreak);
}

TEST_F(BreakDays, PlayWithNoLogLoadedPastTheLastBreakOnlyCuesTomorrow) {
    // Past the day's last break: nothing of today plays; tomorrow's first break is cued.
    Platform::Clock::SetNow(kDec7, 23 * 3600.0 + 59 * 60 + 30);
    engine->PlayBreak(false);
    EXPECT_TRUE(players.plays.empty());
    EXPECT_EQ(Split().CuedBreakDate, kDec7 + 1);
    EXPECT_EQ(Split().CuedBreakPos, 1);
    EXPECT_EQ(engine->Break().Advert(1).CartNumber, 21);
}

TEST_F(BreakDays, TheSamePositionOnTheNextDayIsAnotherBreakAcrossMidnight) {
    // The first day holds only its late break, at the position of the next day's first.
    const std::string lateOnly = DayLog(11, "23:59:00").substr(static_cast<size_t>(lateBreak - 1));
    Deliver(kDec7, lateOnly);
    Deliver(kDec7 + 2, DayLog(31, "23:59:00"));
    Platform::Clock::SetNow(kDec7, 23 * 3600.0 + 58 * 60);
    engine->SetCurrentAdBreakTime(kDec7, 23 * 3600 + 59 * 60, false, false);
    ASSERT_EQ(Split().CuedBreakPos, 1);
    // The cued break's listing, total and time panel are the engine's state.
    ASSERT_EQ(engine->BreakListing().size(), 2u);
    EXPECT_EQ(engine->BreakListing()[1].first.substr(0, 8), "Late two");
    EXPECT_EQ(engine->BreakListing()[1].second, 13);
    EXPECT_FLOAT_EQ(engine->Break().Total, 56.0f); // two segue lengths with four players
    EXPECT_EQ(engine->TimeRemainText(), "00:00:56");
    EXPECT_EQ(engine->TimeRemainColour(), SplitEngine::kButtonFace);

    Platform::Clock::SetNow(kDec7, 23 * 3600.0 + 59 * 60);
    engine->PlayBreak(false);
    // Into the second advert: under 5 s to go is red, under 9 s yellow, whole seconds up.
    players.Run(28.0f + 20.5f);
    EXPECT_EQ(engine->TimeRemainColour(), 65535);
    EXPECT_EQ(engine->TimeRemainText(), "00:00:08");
    players.Run(4.0f);
    EXPECT_EQ(engine->TimeRemainColour(), 255);
    // One near-end word with a short number.
    ASSERT_GE(sender.vantor.size(), 1u);
    const std::string nearEnd = sender.vantor[0];
    ASSERT_EQ(nearEnd.rfind("AD_BREAK_NEAREND ", 0), 0u);
    EXPECT_LE(nearEnd.size() - 17, 8u) << nearEnd; // seven digits and the point
    EXPECT_LT(std::stof(nearEnd.substr(17)), 10.0f);

    // The break completes after midnight: the next day's break at the same position is cued,
    // with its own adverts.
    players.Run(10.0f);
    ASSERT_FALSE(Breaks::State().BreakRunning);
    EXPECT_EQ(Split().LoadedLogDate, kDec7 + 1);
    EXPECT_EQ(Split().CuedBreakDate, kDec7 + 1);
    EXPECT_EQ(Split().CuedBreakPos, 1);
    ASSERT_EQ(engine->Break().AdvertCount, 1);
    EXPECT_EQ(engine->Break().Advert(1).CartNumber, 21);

    // Another day's break at the cued position is another break.
    engine->SetCurrentAdBreakTime(kDec7 + 2, 36000, false, false);
    EXPECT_EQ(Split().CuedBreakDate, kDec7 + 2);
    ASSERT_EQ(engine->Break().AdvertCount, 1);
    EXPECT_EQ(engine->Break().Advert(1).CartNumber, 31);
}

TEST_F(BreakDays, ALogDeliveredAgainAfterTheLastBreakCuesTheNextDaysFirst) {
    Platform::Clock::SetNow(kDec7, 23 * 3600.0 + 59 * 60 + 50);
    ASSERT_TRUE(ZEL_Common::OpenLogForDate(1, kDec7));
    ASSERT_EQ(Split().CuedBreakPos, 0);
    Redeliver(kDec7, DayLog(11, "23:59:10"));
    EXPECT_FALSE(engine->CheckForNewLogFile(false)); // not yet settled
    LetSourcesSettle();
    EXPECT_TRUE(engine->CheckForNewLogFile(false));
    // The day has no break left to play: the next day's first is cued.
    EXPECT_EQ(sender.sent, std::vector<std::string>{"AD_CUE 36000"});
    EXPECT_EQ(Split().CuedBreakDate, kDec7 + 1);
    ASSERT_EQ(engine->Break().AdvertCount, 1);
    EXPECT_EQ(engine->Break().Advert(1).CartNumber, 21);
    // The copy was made all the same.
    EXPECT_NE(TestSupport::ReadBytes(DestLog(kDec7)).find("23:59:10"), std::string::npos);
}

TEST(BreakWords, StartTimesAreCutAndSinglesShort) {
    // An advert that started at 23:59:59.6 stays in its day.
    EXPECT_EQ(AdvertLog_FN::BuildLogLine(86399.6f, "NE", 1, "", "", 1, false).substr(0, 9),
              "23:59:59|");
    EXPECT_EQ(LogSupport::SingleText(9.5000105f), "9.50001");
    EXPECT_EQ(LogSupport::SingleText(0.30000001f), "0.3");
    EXPECT_EQ(LogSupport::SingleText(1234567.0f), "1234567");
    EXPECT_EQ(LogSupport::SingleText(86399.6f), "86399.6");
    EXPECT_EQ(LogSupport::SingleText(0.0f), "0");
}
