#include "BreaksFixture.h"

#include "breaks/AdvertLog_FN.h"
#include "breaks/ZEL_Common.h"
#include "core/GeneralFunctions.h"

using namespace BreaksTest;

namespace {

// The day's log: four blocks, two chain codes, blank-line separators, CR LF.
//   06:00 NE 101, NE 102, SW 201, NE 999 (not in the store)
//   07:00 SW 202, NE 103                      (ended by a line of blanks)
//   08:00 SW 203, SW 204                      (nothing for this split)
//   09:00 NE 1000..1119                       (120 lines)
std::vector<std::string> DayLines() {
    std::vector<std::string> lines = {Full("06:00:00", "NE", 101,
                                           "Caf\xE9 Royal \xA3"
                                           "2 off",
                                           30, "REF101"),
                                      Full("06:00:00", "ne", 102, "Second", 20, "REF102"),
                                      Full("06:00:00", "SW", 201, "Other chain", 30, "REF201"),
                                      Full("06:00:00", "NE", 999, "Unknown cart", 30, "REF999"),
                                      "",
                                      Full("07:00:00", "SW", 202, "Other chain", 30, ""),
                                      Full("07:00:00", "NE", 103, "Seven", 30, "REF103"),
                                      "      ",
                                      Full("08:00:00", "SW", 203, "Other chain", 30, ""),
                                      Full("08:00:00", "SW", 204, "Other chain", 30, ""),
                                      ""};
    for (int i = 0; i < 120; ++i)
        lines.push_back(Full("09:00:00", "NE", 1000 + i, "Long " + std::to_string(i), 10,
                             "L" + std::to_string(i)));
    return lines;
}

// The next day's log in short form with LF line ends.
std::vector<std::string> NextDayLines() {
    return {Short("06:30", "NE", 301,
                  "Next \xFC"
                  "ber",
                  30, "N301"),
            Short("06:30", "NE", 302, "Next two", 30, "N302"), "",
            Short("07:30", "NE", 303, "Next three", 30, "N303")};
}

// 1-based position of line index i of lines joined with end.
int32_t PositionOf(const std::vector<std::string>& lines, size_t index, const std::string& end) {
    int32_t position = 1;
    for (size_t i = 0; i < index; ++i)
        position += static_cast<int32_t>(lines[i].size() + end.size());
    return position;
}

class BreakNavigation : public SplitTest {
protected:
    void SetUp() override {
        SplitTest::SetUp();
        for (int cart : {101, 102, 103, 201, 202, 203, 204, 301, 302, 303})
            AddCart(cart, 30.0f + static_cast<float>(cart % 10),
                    28.0f + static_cast<float>(cart % 10));
        for (int i = 0; i < 120; ++i)
            AddCart(1000 + i, 10.0f, 9.5f);
        TestSupport::WriteBytes(DestLog(kDec7), Join(DayLines(), "\r\n"));
    }
    void WriteNextDay() { Deliver(kDec7 + 1, Join(NextDayLines(), "\n")); }
    std::vector<int32_t> Carts() const {
        std::vector<int32_t> out;
        const AdBreak& b = engine->Break();
        for (int16_t i = 1; i <= b.AdvertCount; ++i)
            out.push_back(b.Advert(i).CartNumber);
        return out;
    }
    ZEL_Common::SplitRecord& Split() { return *Breaks::Split(1); }
    const std::string crlf = "\r\n";
};

} // namespace

TEST_F(BreakNavigation, CueByTimeLoadsOnlyTheSplitsKnownCarts) {
    engine->SetCurrentAdBreakTime(kDec7, 0, true, false);
    EXPECT_EQ(Split().LoadedLogDate, kDec7);
    EXPECT_EQ(Split().CuedBreakPos, 1);
    EXPECT_EQ(Split().CuedBreakDate, kDec7);
    EXPECT_FLOAT_EQ(Split().CuedBreakTime, 21600);
    EXPECT_EQ(sender.sent, std::vector<std::string>{"AD_CUE 21600"});
    EXPECT_EQ(Carts(), (std::vector<int32_t>{101, 102}));
    const AdvertEntry& first = engine->Break().Advert(1);
    const std::string title = "Caf\xE9 Royal \xA3\x32 off";
    EXPECT_EQ(first.Title, title + std::string(30 - title.size(), ' '));
    EXPECT_EQ(first.Reference, "REF101");
    EXPECT_FLOAT_EQ(first.Length, 31);
    EXPECT_FLOAT_EQ(first.SegueLength, 29);
    EXPECT_EQ(engine->Break().CurrentAdvert, 1);
    EXPECT_EQ(engine->Break().PlayingPlayer, 0); // not asked to cue audio
    EXPECT_TRUE(players.cues.empty());
    EXPECT_TRUE(engine->DumpEnabled());
    EXPECT_FALSE(engine->PreviousEnabled());
    EXPECT_EQ(engine->DisplayedBreakPos(), 1);

    // The same date and time again changes nothing and sends nothing.
    engine->SetCurrentAdBreakTime(kDec7, 21600, true, false);
    engine->SetCurrentBreakPos(1, true, true, false);
    EXPECT_EQ(sender.sent.size(), 1u);
}

TEST_F(BreakNavigation, NextWalksTheDayAndCrossesIntoTheNextDaysLog) {
    WriteNextDay();
    engine->SetCurrentAdBreakTime(kDec7, 0, false, false);
    const auto lines = DayLines();

    engine->CueNextBreak(true, false);
    EXPECT_EQ(Split().CuedBreakPos, PositionOf(lines, 6, crlf)); // the split's first line
    EXPECT_EQ(Carts(), std::vector<int32_t>{103});
    EXPECT_TRUE(engine->PreviousEnabled());

    // The 08:00 block holds nothing for this split, so 09:00 follows: 100 of its 120 lines.
    engine->CueNextBreak(true, false);
    EXPECT_FLOAT_EQ(Split().CuedBreakTime, 32400);
    ASSERT_EQ(engine->Break().AdvertCount, 100);
    EXPECT_EQ(engine->Break().Advert(100).CartNumber, 1099);
    EXPECT_EQ(engine->Break().Advert(100).Reference, "L99");

    engine->CueNextBreak(true, false);
    EXPECT_TRUE(engine->NextDayLogOpened());
    EXPECT_EQ(Split().LoadedLogDate, kDec7 + 1);
    EXPECT_EQ(Split().CuedBreakDate, kDec7 + 1);
    EXPECT_EQ(Split().CuedBreakPos, 1);
    EXPECT_FLOAT_EQ(Split().CuedBreakTime, 6 * 3600 + 30 * 60);
    EXPECT_EQ(Carts(), (std::vector<int32_t>{301, 302}));
    EXPECT_EQ(engine->Break().Advert(1).Title, "Next \xFC"
                                               "ber" +
                                                   std::string(21, ' '));
    EXPECT_EQ(engine->Break().Advert(2).Reference, "N302");

    engine->CueNextBreak(true, false);
    EXPECT_EQ(Carts(), std::vector<int32_t>{303});
    EXPECT_EQ(sender.sent, (std::vector<std::string>{"AD_CUE 25200", "AD_CUE 32400", "AD_CUE 23400",
                                                     "AD_CUE 27000"}));
}

TEST_F(BreakNavigation, PreviousSkipsBlocksOfOtherChainsAndStopsAtTheFirstBreak) {
    engine->SetCurrentAdBreakTime(kDec7, 32400, false, false);
    ASSERT_EQ(engine->Break().AdvertCount, 100);

    engine->CuePreviousBreak(true);
    EXPECT_EQ(Split().CuedBreakPos, PositionOf(DayLines(), 6, crlf));
    EXPECT_EQ(Carts(), std::vector<int32_t>{103});
    engine->CuePreviousBreak(true);
    EXPECT_EQ(Split().CuedBreakPos, 1);
    EXPECT_EQ(Carts(), (std::vector<int32_t>{101, 102}));
    // Only AD_PREVIOUS goes out; the cue itself is not announced again.
    EXPECT_EQ(sender.sent, (std::vector<std::string>{"AD_PREVIOUS", "AD_PREVIOUS"}));

    // At the first break the cued break stays as it was, adverts and all.
    engine->CuePreviousBreak(true);
    EXPECT_EQ(Split().CuedBreakPos, 1);
    EXPECT_EQ(Carts(), (std::vector<int32_t>{101, 102}));
    EXPECT_EQ(engine->Break().CurrentAdvert, 1);
    EXPECT_TRUE(engine->DumpEnabled());
    EXPECT_EQ(sender.sent.size(), 3u);
}

TEST_F(BreakNavigation, PreviousAtTheFirstBreakKeepsTheCuedPlayer) {
    engine->SetCurrentAdBreakTime(kDec7, 0, false, true);
    ASSERT_EQ(engine->Break().PlayingPlayer, 1);
    engine->CuePreviousBreak(false);
    EXPECT_TRUE(players.ejects.empty());
    EXPECT_EQ(players.cart[1], 101);
    EXPECT_EQ(engine->Break().PlayingPlayer, 1);
}

TEST_F(BreakNavigation, MissingNextDayLeavesNothingCuedAndTriesThatDayAgain) {
    engine->SetCurrentAdBreakTime(kDec7, 32400, false, false);
    const int16_t number = Split().LogFileNumber;
    engine->CueNextBreak(true, false);
    EXPECT_EQ(Split().CuedBreakPos, 0);
    EXPECT_FLOAT_EQ(Split().CuedBreakTime, -1);
    EXPECT_EQ(engine->Break().AdvertCount, 0);
    EXPECT_FALSE(engine->DumpEnabled());
    EXPECT_EQ(Split().LoadedLogDate, kDec7);
    EXPECT_EQ(Split().LogFileNumber, number);
    EXPECT_TRUE(engine->NextDayLogPending());
    EXPECT_TRUE(sender.sent.empty());

    // Still missing: the day's first break is not cued again.
    engine->CueNextBreak(true, false);
    EXPECT_EQ(Split().CuedBreakPos, 0);
    EXPECT_EQ(Split().LoadedLogDate, kDec7);

    // Delivered later: the next cue opens it and cues its first break.
    WriteNextDay();
    engine->CueNextBreak(true, false);
    EXPECT_EQ(Split().LoadedLogDate, kDec7 + 1);
    EXPECT_EQ(Carts(), (std::vector<int32_t>{301, 302}));
    EXPECT_FALSE(engine->NextDayLogPending());
    EXPECT_EQ(sender.sent, std::vector<std::string>{"AD_CUE 23400"});
}

TEST_F(BreakNavigation, CueingAMissingDayKeepsTheCuedBreak) {
    engine->SetCurrentAdBreakTime(kDec7, 25000, false, false);
    const int32_t cued = Split().CuedBreakPos;
    engine->SetCurrentAdBreakTime(kDec7 + 5, 0, true, false);
    EXPECT_EQ(Split().CuedBreakPos, cued);
    EXPECT_EQ(Split().LoadedLogDate, kDec7);
    EXPECT_EQ(Carts(), std::vector<int32_t>{103});
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(BreakNavigation, AnotherChainsBreakLoadsEmpty) {
    ASSERT_TRUE(ZEL_Common::OpenLogForDate(1, kDec7));
    const int32_t eight = PositionOf(DayLines(), 8, crlf);
    EXPECT_EQ(ZEL_Common::GetAdBreakStartFilePos(1, eight + 3), eight);
    engine->SetCurrentBreakPos(eight, true, true, true);
    EXPECT_EQ(Split().CuedBreakPos, eight);
    EXPECT_FLOAT_EQ(Split().CuedBreakTime, 28800);
    EXPECT_EQ(engine->Break().AdvertCount, 0);
    EXPECT_FALSE(engine->DumpEnabled());
    EXPECT_TRUE(players.cues.empty());
    EXPECT_EQ(sender.sent, std::vector<std::string>{"AD_CUE 28800"});
    // With no chain code set every line is the split's.
    Split().LogTXChainCode = "";
    engine->ReCueCurrentBreak(false);
    EXPECT_EQ(Carts(), (std::vector<int32_t>{203, 204}));
}

TEST_F(BreakNavigation, CueingAudioUsesTheFirstEmptyPlayer) {
    MainSettings::Settings().Audio.AdvertVolume = 80;
    engine->SetCurrentAdBreakTime(kDec7, 0, false, true);
    ASSERT_EQ(players.cues.size(), 1u);
    EXPECT_EQ(players.cues[0], (std::pair<int16_t, int32_t>{1, 101}));
    EXPECT_EQ(players.lastVolume, 80);
    EXPECT_EQ(players.controls.back(), (std::pair<int16_t, int>{1, 0}));
    EXPECT_EQ(players.descriptions.back().first, 1);
    EXPECT_EQ(players.descriptions.back().second, engine->Break().Advert(1).Title);
    EXPECT_EQ(engine->Break().PlayingPlayer, 1);
    EXPECT_EQ(engine->Break().CurrentAdvert, 1);

    // Re-cueing ejects the cued advert and cues it again.
    engine->ReCueCurrentBreak(true);
    EXPECT_EQ(sender.sent, std::vector<std::string>{"AD_RECUE"});
    EXPECT_EQ(players.ejects, std::vector<int16_t>{1});
    EXPECT_EQ(players.cues.size(), 2u);
    EXPECT_EQ(engine->Break().PlayingPlayer, 1);

    // Moving on stops the cued advert of the old break.
    engine->CueNextBreak(false, false);
    EXPECT_EQ(players.ejects, (std::vector<int16_t>{1, 1}));
    EXPECT_EQ(engine->Break().PlayingPlayer, 0); // no forced cue: advert 1 waits
    EXPECT_EQ(engine->Break().CurrentAdvert, 1);
}

TEST_F(BreakNavigation, NoFreePlayerOrAFailedCueLeavesAdvertOneUncued) {
    players.available = false;
    engine->SetCurrentAdBreakTime(kDec7, 0, false, true);
    EXPECT_EQ(engine->Break().AdvertCount, 2);
    EXPECT_EQ(engine->Break().CurrentAdvert, 0);
    EXPECT_EQ(engine->Break().PlayingPlayer, 0);

    players.available = true;
    players.failCue = true;
    engine->ReCueCurrentBreak(false);
    EXPECT_EQ(players.cues.size(), 1u);
    EXPECT_EQ(engine->Break().CurrentAdvert, 0);
    EXPECT_EQ(engine->Break().PlayingPlayer, 0);

    // The setting cues audio without being forced.
    players.failCue = false;
    MainSettings::Settings().General.CueAdBreaksImmediately = 1;
    engine->CueNextBreak(false, false);
    EXPECT_EQ(engine->Break().PlayingPlayer, 1);
}

TEST_F(BreakNavigation, BreakLengthIsTheSumOfTheSegueTimes) {
    WriteNextDay();
    // The open log, another day's source copy, and a log that is not open at all.
    EXPECT_FLOAT_EQ(engine->GetFileBreakLength(kDec7, 21600), 29 + 30); // from the file
    ASSERT_TRUE(ZEL_Common::OpenLogForDate(1, kDec7));
    EXPECT_FLOAT_EQ(engine->GetFileBreakLength(kDec7, 21600), 29 + 30);
    EXPECT_FLOAT_EQ(engine->GetFileBreakLength(kDec7, 32400), 100 * 9.5f);
    EXPECT_FLOAT_EQ(engine->GetFileBreakLength(kDec7 + 1, 23400), 29 + 30);
    EXPECT_FLOAT_EQ(engine->GetFileBreakLength(kDec7 + 2, 23400), 0);
    // A time that is no break's time finds a later line and gives 0.
    EXPECT_FLOAT_EQ(engine->GetFileBreakLength(kDec7, 21601), 0);
    // Only the open log's file stays open.
    EXPECT_EQ(OpenFileCount(), 1);
}

TEST_F(BreakNavigation, BreakLengthStopsAtALaterLineWithoutABlankBetween) {
    TestSupport::WriteBytes(DestLog(kDec7 + 3), Join({Full("10:00:00", "NE", 101, "", 30, ""),
                                                      Full("10:00:00", "NE", 102, "", 30, ""),
                                                      Full("10:05:00", "NE", 103, "", 30, "")},
                                                     "\n"));
    EXPECT_FLOAT_EQ(engine->GetFileBreakLength(kDec7 + 3, 36000), 29 + 30);
    EXPECT_FLOAT_EQ(engine->GetFileBreakLength(kDec7 + 3, 36300), 31);
}

TEST_F(BreakNavigation, FindingBreaksByTime) {
    ASSERT_TRUE(ZEL_Common::OpenLogForDate(1, kDec7));
    const auto lines = DayLines();
    EXPECT_EQ(engine->GetNextAdBreakFilePos(0), 1);
    EXPECT_EQ(engine->GetNextAdBreakFilePos(21600), 1);
    EXPECT_EQ(engine->GetNextAdBreakFilePos(21600.1f), PositionOf(lines, 6, crlf));
    EXPECT_EQ(engine->GetNextAdBreakFilePos(25200.1f), PositionOf(lines, 11, crlf));
    EXPECT_EQ(engine->GetNextAdBreakFilePos(32400.1f), 0);
    EXPECT_EQ(engine->GetPreviousAdBreakFilePos(21600), 0);
    EXPECT_EQ(engine->GetPreviousAdBreakFilePos(40000), PositionOf(lines, 11, crlf));
    EXPECT_EQ(engine->GetNextAdBreakFilePosFNo(0, 0), 0);
    EXPECT_FLOAT_EQ(engine->GetAdBreakTime(PositionOf(lines, 4, crlf)), -1); // empty line
}

TEST_F(BreakNavigation, NoLogOpenDoesNothing) {
    EXPECT_FLOAT_EQ(engine->GetAdBreakTime(1), 0);
    EXPECT_EQ(engine->GetNextAdBreakFilePos(0), 0);
    EXPECT_EQ(engine->GetPreviousAdBreakFilePos(99999), 0);
    engine->LoadCurrentBreak(true, true);
    engine->CuePreviousBreak(false);
    engine->ReCueCurrentBreak(false);
    EXPECT_EQ(engine->Break().AdvertCount, 0);
    EXPECT_EQ(Split().CuedBreakPos, 0);
    // Next with nothing loaded tries today's log, never a day of 1899, and cues the first
    // break still to come (09:00 at 09:00), not the passed ones.
    engine->CueNextBreak(false, false);
    EXPECT_EQ(Split().LoadedLogDate, kDec7);
    EXPECT_EQ(Split().CuedBreakPos, PositionOf(DayLines(), 11, "\r\n"));
}

TEST_F(BreakNavigation, BadLogsGiveDefinedAnswers) {
    // Lines shorter than their columns, non-numeric times and cart numbers.
    TestSupport::WriteBytes(
        DestLog(kDec7 + 1),
        Join({"06:00", "06:00:00|NE", "06:00:00|NE  |", "xx:yy:zz|NE  |     101|T",
              "06:00:00|NE  |  abc   |Title", "06:00:00|NE  |     102|T", "", "zz"},
             "\r\n"));
    engine->SetCurrentAdBreakTime(kDec7 + 1, 0, false, false);
    EXPECT_EQ(Split().LoadedLogDate, kDec7 + 1);
    // "06:00" carries no chain code; the break starts at the next line, and lines without a
    // cart number are left out of it.
    EXPECT_FLOAT_EQ(Split().CuedBreakTime, 21600);
    EXPECT_EQ(Carts(), (std::vector<int32_t>{101, 102}));
    engine->CueNextBreak(false, false);
    EXPECT_EQ(Split().LoadedLogDate, kDec7 + 1); // day after is missing: nothing cued
    EXPECT_EQ(Split().CuedBreakPos, 0);

    // A log of random bytes.
    std::string bytes;
    uint32_t seed = 99;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes += static_cast<char>((seed >> 16) & 0xFF);
    }
    TestSupport::WriteBytes(DestLog(kDec7 + 10), bytes);
    Split().LogTXChainCode = "";
    engine->SetCurrentAdBreakTime(kDec7 + 10, 0, false, false);
    EXPECT_EQ(Split().LoadedLogDate, kDec7 + 10);
    EXPECT_LE(engine->Break().AdvertCount, 100);
    for (int i = 0; i < 30; ++i)
        engine->CueNextBreak(false, false);
    engine->CuePreviousBreak(false);
    (void)engine->GetFileBreakLength(kDec7 + 10, 0);

    // An empty log counts as missing.
    TestSupport::WriteBytes(DestLog(kDec7 + 20), "");
    EXPECT_FALSE(ZEL_Common::OpenLogForDate(1, kDec7 + 20));
    EXPECT_FLOAT_EQ(engine->GetFileBreakLength(kDec7 + 20, 0), 0);
}

TEST_F(BreakNavigation, TraceLinesNameTheOperationAndItsFlags) {
    qputenv("VNTZEL_SYSTEMDRIVE", QByteArray::fromStdString(dir.Path()));
    GeneralFunctions::State().DebugMode = -1;
    engine->SetCurrentAdBreakTime(kDec7, 0, true, false);
    engine->ReCueCurrentBreak(false);
    engine->CueNextBreak(false, true);
    GeneralFunctions::State().DebugMode = 0;
    const std::string trace = TestSupport::ReadBytes(GeneralFunctions::DebugTraceFile(kDec7));
    qunsetenv("VNTZEL_SYSTEMDRIVE");
    for (const char* line :
         {"SetCurrentAdBreakTime:07/12/2026 00:00:00:NotifyNetwork:Yes:ForceCueAudio:No",
          "SetCurrentBreakPos:1:NotifyNetwork:Yes:ForceCueAudio:No",
          "LoadCurrentBreak:UpdateLogDisplay:Yes:CueAudio:No", "ReCueCurrentBreak:NotifyNetwork:No",
          "ClearAdvertBreak:UpdateLogDisplay:Yes",
          "CueNextBreak:NotifyNetwork:No:ForceCueAudio:Yes",
          "LoadCurrentBreak:UpdateLogDisplay:Yes:CueAudio:Yes"})
        EXPECT_NE(trace.find(line), std::string::npos) << line;
}
