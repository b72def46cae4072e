#include "BreaksFixture.h"

#include "breaks/ZEL_Common.h"
#include "hardware/HardwareAPI.h"

#include "support/WaveTestSupport.h"

#include <QCoreApplication>
#include <algorithm>
#include <set>

using namespace BreaksTest;

namespace {

class QueueStub : public SplitCartQueue {
public:
    int16_t QueueCount() override { return count; }
    bool FirstGroupMuted() override { return muted; }
    void ClearQueue() override { ++clears, count = 0; }
    void RunQueueTick() override { ++ticks; }
    int16_t count = 0;
    bool muted = false;
    int clears = 0, ticks = 0;
};

// 10:00 three adverts, 11:00 one advert. Card 1 (8 lines): line 1 the source output, line 2
// an "Audio Run Ended" output, line 3 a heartbeat output.
class BreakPlayout : public SplitTest {
protected:
    // Moves the clock on 10 ms at a time, running the end-of-break signal's timer work, until
    // done() holds (at most 2 s); the milliseconds moved.
    // Moves the players on a second at a time until the break has run out (at most 60 s).
    void RunToTheBreakEnd() {
        for (int s = 0; s < 60 && Breaks::State().BreakRunning; ++s)
            players.Advance(1.0f);
    }
    template <typename Done> int ClockMsUntil(Done done) {
        int ms = 0;
        for (; !done() && ms < 2000; ms += 10) {
            Platform::Clock::Advance(0.01);
            engine->EndPulseTick();
        }
        return ms;
    }
    void SetUp() override {
        SplitTest::SetUp();
        AddCart(501, 20, 18);
        AddCart(502, 15, 14);
        AddCart(503, 12, 11);
        AddCart(601, 30, 29);
        players.descriptionOf[501] = "First advert";
        players.descriptionOf[502] = "A description far longer than thirty characters";
        AddCart(701, 3, 2.5f);
        std::vector<std::string> lines = {Full("10:00:00", "NE", 501, "One", 20, "REF501"),
                                          Full("10:00:00", "NE", 502, "Two", 15, "REF502"),
                                          Full("10:00:00", "NE", 503, "Three", 12, "REF503"),
                                          "",
                                          Full("11:00:00", "NE", 601, "Later", 30, "REF601"),
                                          "",
                                          Full("11:30:00", "NE", 701, "Short", 3, "R701"),
                                          ""};
        for (int i = 0; i < 100; ++i) {
            AddCart(2000 + i, 2, 1.5f);
            lines.push_back(Full("12:00:00", "NE", 2000 + i, "Ad", 2, "R" + std::to_string(i)));
        }
        lines.push_back("");
        TestSupport::WriteBytes(DestLog(kDec7), Join(lines, "\r\n"));
        MainSettings::SettingsRecords& s = MainSettings::Settings();
        s.LoggingAllowed = true;
        s.General.SourceLine = 1;
        s.General.AdvertSourceMute = 1;
        s.General.NumberSecondsWaitBeforeSignal = 0.1f;
        s.General.NumberSecondsToSignal = 0.2f;
        HardwareAPI::HardwareCard& card = HardwareAPI::Card(1);
        card.CardType = HardwareAPI::CardSerialIO;
        card.TotalLines = 8;
        for (int k = 1; k <= 3; ++k)
            card.Line(k).LineType = 1;
        card.Line(2).Action = 151;
        card.Line(2).Data1 = 2;
        card.Line(3).Action = 151;
        card.Line(3).Data1 = 1;
        engine->SetCurrentAdBreakTime(kDec7, 36000, false, false);
        engine->SetCartQueue(&queue);
    }
    int16_t State(int line) const { return HardwareAPI::Card(1).Line(line).State; }
    std::vector<std::string> RecLines() const {
        std::string text = TestSupport::ReadBytes(ZEL_Specific::ReconcileFile(1));
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    std::vector<int32_t> PlayedCarts() const {
        std::vector<int32_t> out;
        for (auto& [player, cart] : players.plays)
            out.push_back(cart);
        return out;
    }
    size_t Count(const std::vector<std::string>& words, const std::string& prefix) const {
        return static_cast<size_t>(std::count_if(words.begin(), words.end(),
                                                 [&](auto& w) { return w.rfind(prefix, 0) == 0; }));
    }
    QueueStub queue;
};

} // namespace

TEST_F(BreakPlayout, ABreakPlaysBackToBackWithItsWordsLinesAndOutputs) {
    ASSERT_EQ(engine->Break().AdvertCount, 3);
    HardwareAPI::Card(1).Line(1).State = -1; // the source is on before the break
    engine->PlayBreak(true);
    EXPECT_TRUE(Breaks::State().BreakRunning);
    EXPECT_TRUE(engine->BreakTickEnabled());
    EXPECT_EQ(sender.sent, std::vector<std::string>{"AD_PLAY"});
    EXPECT_EQ(State(1), 0); // the source is off during the break
    EXPECT_EQ(sender.zoz, std::vector<std::string>{"501/4/One" + std::string(27, ' ')});

    RunToTheBreakEnd();

    EXPECT_EQ(PlayedCarts(), (std::vector<int32_t>{501, 502, 503}));
    EXPECT_FALSE(Breaks::State().BreakRunning);
    EXPECT_FALSE(engine->BreakTickEnabled());
    EXPECT_EQ(sender.vantor,
              (std::vector<std::string>{"AD_BREAK_NEAREND 9", "AD_BREAK_COMPLETED"}));
    EXPECT_EQ(sender.sent, std::vector<std::string>{"AD_PLAY"});
    EXPECT_EQ(State(1), -1);                              // back on after the break
    EXPECT_EQ(Breaks::Split(1)->CuedBreakTime, 39600.0f); // the next break is cued
    EXPECT_EQ(engine->Break().Advert(1).CartNumber, 601);

    // The end-of-break output: on after the wait, off after the signal length. The heartbeat
    // output (same action, other data) is never touched.
    EXPECT_TRUE(engine->EndPulseWaiting());
    EXPECT_EQ(State(2), 0);
    EXPECT_EQ(ClockMsUntil([&] { return State(2) == -1; }), 100) << "the wait before the signal";
    EXPECT_TRUE(engine->EndPulseOn());
    EXPECT_EQ(ClockMsUntil([&] { return State(2) == 0; }), 200) << "the signal's length";
    EXPECT_FALSE(engine->EndPulseOn() || engine->EndPulseWaiting());
    EXPECT_EQ(State(3), 0);

    // The break completes at the last advert's segue point; its line is written when it ends.
    players.Run(20, 1.0f);
    EXPECT_EQ(RecLines(),
              (std::vector<std::string>{
                  "09:00:00|NE  |     501|First advert                  |  20|REF501",
                  "09:00:18|NE  |     502|A description far longer than |  15|REF502",
                  "09:00:32|NE  |     503|Cart 503                      |  12|REF503"}));
    EXPECT_EQ(sender.vantor.size(), 2u); // nothing more was sent
}

TEST_F(BreakPlayout, ZeroSecondSignalSettingsActAtOnce) {
    MainSettings::Settings().General.NumberSecondsWaitBeforeSignal = 0;
    MainSettings::Settings().General.NumberSecondsToSignal = 0.15f;
    engine->PlayBreak(false);
    RunToTheBreakEnd();
    EXPECT_EQ(State(2), -1); // on at the completion itself
    EXPECT_TRUE(engine->EndPulseOn());
    EXPECT_EQ(ClockMsUntil([&] { return State(2) == 0; }), 150);

    // A zero length: on and off within the same call.
    MainSettings::Settings().General.NumberSecondsToSignal = 0;
    engine->SetCurrentAdBreakTime(kDec7, 36000, false, false);
    engine->PlayBreak(false);
    players.Run(60, 1.0f);
    EXPECT_FALSE(engine->EndPulseOn());
    EXPECT_EQ(State(2), 0);
    EXPECT_EQ(Count(sender.vantor, "AD_BREAK_COMPLETED"), 2u);
}

TEST_F(BreakPlayout, DumpMidAdvertStopsBothPlayersAndGivesNoCompletion) {
    engine->PlayBreak(true);
    players.Run(10, 1.0f); // advert 2 is cued after advert 1 passes 8 s
    ASSERT_GT(engine->Break().CuedPlayer, 0);
    engine->DumpBreak(true);
    EXPECT_EQ(players.PlayingCount(), 0);
    for (int p = 1; p <= 4; ++p) // only the next break's first advert is loaded
        EXPECT_TRUE(players.cart[p] == 0 || players.cart[p] == 601);
    EXPECT_EQ(sender.sent, (std::vector<std::string>{"AD_PLAY", "AD_DUMP", "AD_CUE 39600"}));
    EXPECT_TRUE(sender.vantor.empty());
    EXPECT_FALSE(engine->EndPulseWaiting());
    EXPECT_EQ(State(1), -1);
    // Only the advert that played is reconciled, with the seconds it played.
    EXPECT_EQ(RecLines(), std::vector<std::string>{
                              "09:00:00|NE  |     501|First advert                  |  10|REF501"});
    players.Run(5, 1.0f);
    EXPECT_TRUE(players.plays.size() == 1u);
    EXPECT_EQ(engine->Break().Advert(1).CartNumber, 601);
}

TEST_F(BreakPlayout, KillFromTheNetworkDumpsWithoutTellingTheNetwork) {
    engine->PlayBreak(false);
    players.Run(3, 1.0f);
    engine->KillAllOutput(false);
    EXPECT_TRUE(sender.sent.empty()); // no "AD_DUMP" to skip breaks along the chain
    EXPECT_FALSE(Breaks::State().BreakRunning);
    EXPECT_EQ(players.PlayingCount(), 0);
    EXPECT_EQ(queue.clears, 1);
    EXPECT_EQ(RecLines().size(), 1u);
    EXPECT_EQ(engine->Break().Advert(1).CartNumber, 601);

    // A local kill tells the network once; idle, it still empties every player.
    players.cart[3] = 601;
    players.info[3].CartNumber = 601;
    players.info[3].Status = 13;
    engine->KillAllOutput(true);
    EXPECT_EQ(sender.sent, std::vector<std::string>{"KILL"});
    EXPECT_EQ(players.cart[3], 0);
    EXPECT_EQ(RecLines().size(), 1u);
}

TEST_F(BreakPlayout, AdvertsThatCannotBePlayedArePassedOverWithALineEach) {
    // Which adverts of the 10:00 break (501, 502, 503) cannot be played, and what plays.
    struct Case {
        std::set<int32_t> missing;
        std::vector<int32_t> played;
    };
    const std::vector<Case> cases = {
        {{502}, {501, 503}}, {{501}, {502, 503}}, {{503}, {501, 502}}, {{501, 502, 503}, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.missing));
        engine->SetCurrentAdBreakTime(kDec7, 36000, false, false);
        ASSERT_EQ(engine->Break().AdvertCount, 3);
        players.missing = c.missing;
        players.plays.clear();
        players.cues.clear();
        sender.vantor.clear();
        const size_t recBefore = RecLines().size();
        const std::string errorsBefore = ErrorFileText();
        engine->PlayBreak(false);
        RunToTheBreakEnd();
        players.Run(15, 1.0f); // the last advert plays out

        std::vector<int32_t> started;
        for (auto& [player, cart] : players.plays)
            if (!c.missing.count(cart)) started.push_back(cart);
        EXPECT_EQ(started, c.played);
        EXPECT_FALSE(Breaks::State().BreakRunning);
        EXPECT_EQ(Count(sender.vantor, "AD_BREAK_COMPLETED"), 1u);
        EXPECT_FLOAT_EQ(Breaks::Split(1)->CuedBreakTime, 39600.0f);
        EXPECT_EQ(RecLines().size(), recBefore + c.played.size());
        // One line per advert passed over, however often its cue was tried.
        const std::string errors = ErrorFileText().substr(errorsBefore.size());
        EXPECT_EQ(TestSupport::Occurrences(errors, "[Code:ADC1]"), c.missing.size()) << errors;
        for (int32_t cart : c.missing)
            EXPECT_NE(errors.find("[Code:ADC1] Cart " + std::to_string(cart) + " ("),
                      std::string::npos)
                << errors;
        EXPECT_NE(errors.find("passed over in the 10:00:00 advert break"), std::string::npos);
    }
    // On the one player, holding advert 1 cued when its file goes: the second advert waits
    // for a free player, and advert 1 is not tried, nor reported, again.
    players.count = 1;
    players.missing.clear();
    engine->SetCurrentAdBreakTime(kDec7, 36000, false, true);
    ASSERT_EQ(players.PlayerCartNumber(1), 501);
    players.missing = {501};
    const std::string errorsBefore = ErrorFileText();
    const size_t playsBefore = players.plays.size();
    engine->PlayBreak(false);
    engine->PlayBreak(false);
    EXPECT_EQ(players.plays.size(), playsBefore + 1);
    EXPECT_FALSE(Breaks::State().BreakRunning);
    EXPECT_EQ(TestSupport::Occurrences(ErrorFileText().substr(errorsBefore.size()), "[Code:ADC1]"),
              1u);
    players.EjectPlayer(1);
    engine->PlayBreak(false);
    EXPECT_TRUE(Breaks::State().BreakRunning);
    EXPECT_EQ(players.plays.back().second, 502);
    players.count = 4;
    RunToTheBreakEnd();

    // The middle advert's cue was retried while the first one ran.
    players.missing = {502};
    players.cues.clear();
    engine->SetCurrentAdBreakTime(kDec7, 36000, false, false);
    engine->PlayBreak(false);
    RunToTheBreakEnd();
    EXPECT_GT(std::count_if(players.cues.begin(), players.cues.end(),
                            [](const auto& cue) { return cue.second == 502; }),
              2);
}

TEST_F(BreakPlayout, ShortAndSingleAdvertBreaksSendEachWordOnce) {
    engine->SetCurrentAdBreakTime(kDec7, 41400, false, false);
    ASSERT_EQ(engine->Break().AdvertCount, 1);
    engine->PlayBreak(false);
    players.Run(10, 0.25f);
    EXPECT_EQ(Count(sender.vantor, "AD_BREAK_NEAREND "), 1u);
    EXPECT_EQ(Count(sender.vantor, "AD_BREAK_COMPLETED"), 1u);
    EXPECT_EQ(RecLines(), std::vector<std::string>{
                              "09:00:00|NE  |     701|Cart 701                      |   3|R701"});
}

TEST_F(BreakPlayout, AHundredAdvertsEachReconciledOnceInOrder) {
    engine->SetCurrentAdBreakTime(kDec7, 43200, false, false);
    ASSERT_EQ(engine->Break().AdvertCount, 100);
    engine->PlayBreak(false);
    players.Run(400, 0.25f);
    std::vector<std::string> rec = RecLines();
    ASSERT_EQ(rec.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(rec[static_cast<size_t>(i)].substr(14, 8), "    " + std::to_string(2000 + i));
    EXPECT_EQ(Count(sender.vantor, "AD_BREAK_NEAREND "), 1u);
    EXPECT_EQ(Count(sender.vantor, "AD_BREAK_COMPLETED"), 1u);
}

TEST_F(BreakPlayout, PlayIsRefusedWhileACartGroupRunsOrABreakPlays) {
    queue.count = 1;
    engine->PlayBreak(true);
    EXPECT_FALSE(Breaks::State().BreakRunning);
    EXPECT_EQ(sender.sent, std::vector<std::string>{"AD_PLAY"});
    EXPECT_EQ(State(1), 0); // untouched

    MainSettings::Settings().General.AllowBreaksDuringCarts = 1;
    engine->PlayBreak(false);
    EXPECT_TRUE(Breaks::State().BreakRunning);
    engine->PlayBreak(false); // ignored while running
    EXPECT_EQ(players.plays.size(), 1u);

    // With the queue's group muted, the end of the break leaves the source off.
    queue.muted = true;
    players.Run(60, 1.0f);
    EXPECT_EQ(State(1), 0);
    EXPECT_GT(queue.ticks, 0); // notices run the queue's tick too
}

TEST_F(BreakPlayout, AFailedStartLeavesTheSourceOnAndNothingRunning) {
    HardwareAPI::Card(1).Line(1).State = -1;
    players.failPlay = true;
    engine->PlayBreak(false);
    EXPECT_FALSE(Breaks::State().BreakRunning);
    EXPECT_EQ(State(1), -1);
}

TEST_F(BreakPlayout, OnePlayerUsesFullLengthsAndWaitsForTheEmptyPlayer) {
    players.count = 1;
    engine->UpdateBreakTimeInformation();
    EXPECT_FLOAT_EQ(engine->Break().Total, 47);
    EXPECT_EQ(engine->TimeRemainText(), "00:00:47");
    engine->PlayBreak(false);
    players.Run(60, 1.0f);
    EXPECT_EQ(PlayedCarts(), (std::vector<int32_t>{501, 502, 503}));
    ASSERT_EQ(RecLines().size(), 3u);
    EXPECT_EQ(RecLines()[1].substr(0, 8), "09:00:20"); // after advert 1 emptied its player
}

TEST_F(BreakPlayout, TimeDisplayTurnsYellowThenRedNearTheEnd) {
    engine->PlayBreak(false);
    // Each advert segues at its segue point itself: advert 3 from 32 s, 11 - 8 = 3 s to go.
    players.Run(40, 1.0f);
    EXPECT_EQ(engine->TimeRemainColour(), 255);
    EXPECT_EQ(engine->TimeRemainText(), "00:00:03");
}

TEST_F(BreakPlayout, ReconcileLinesRoundHalfToEvenAndGoToTheDayOfTheWriting) {
    GeneralFunctions::TimeStamp started{kDec7, 23 * 3600 + 59 * 60 + 50.0f};
    Platform::Clock::SetNow(kDec7 + 1, 5.0); // ejected after midnight
    ZEL_Specific::WriteReconcileEntry(1, started, 42, std::string(40, 'T'), 29.5f, "A");
    ZEL_Specific::WriteReconcileEntry(1, started, 42, "Short", 30.5f, "B");
    std::string expectedTitle(30, 'T');
    EXPECT_EQ(TestSupport::ReadBytes(SourceDir() + "/" + LogName(kDec7 + 1).substr(0, 7) + "REC"),
              "23:59:50|NE  |      42|" + expectedTitle + "|  30|A\r\n" +
                  "23:59:50|NE  |      42|Short                         |  30|B\r\n");
    EXPECT_FALSE(std::filesystem::exists(ZEL_Common::GetSourceLogPath(1, kDec7, true)));
}

TEST_F(BreakPlayout, EjectNoticesWithoutSourcePlayOrLoggingWriteNothing) {
    auto eject = [&](float played, const std::string& source, bool inhibited) {
        players.cart[2] = 501;
        players.info[2] = SplitPlayerInfo{};
        players.info[2].CartNumber = 501;
        players.info[2].Status = 11;
        players.info[2].SecondsPlayed = played;
        players.info[2].PlaySource = source;
        players.info[2].LogInhibited = inhibited;
        players.EjectPlayer(2);
    };
    eject(0, "R", false);  // never played
    eject(5, "  ", false); // no play source
    eject(5, "R", true);   // the player's logging is inhibited
    MainSettings::Settings().LoggingAllowed = false;
    eject(5, "R", false);
    EXPECT_TRUE(RecLines().empty());
    MainSettings::Settings().LoggingAllowed = true;
    eject(5, "R", false);
    EXPECT_EQ(RecLines().size(), 1u);
}

TEST_F(BreakPlayout, AFadeOrAHandEjectStartsTheNextAdvertAtOnceAPauseHoldsIt) {
    engine->PlayBreak(false);
    players.Run(2, 1.0f);
    const int16_t first = engine->Break().PlayingPlayer;
    players.info[first].Status = 12; // paused before its segue point: the break holds
    players.Advance(0);              // a notice with nothing moving
    engine->PlayerStatusNotice(255, first, 0);
    EXPECT_EQ(engine->Break().CurrentAdvert, 1);
    players.info[first].Status = 11;
    players.info[first].Fading = true;
    engine->PlayerStatusNotice(255, first, 0);
    EXPECT_EQ(engine->Break().CurrentAdvert, 2); // cued and started in the same tick
    const int16_t second = engine->Break().PlayingPlayer;
    EXPECT_NE(second, first);
    players.EjectPlayer(second); // by hand
    EXPECT_EQ(engine->Break().CurrentAdvert, 3);
    // On the last advert a fade alone does not complete the break.
    players.info[engine->Break().PlayingPlayer].Fading = true;
    players.Advance(1);
    EXPECT_TRUE(Breaks::State().BreakRunning);
    players.Run(12, 1.0f);
    EXPECT_FALSE(Breaks::State().BreakRunning);
    EXPECT_EQ(Count(sender.vantor, "AD_BREAK_COMPLETED"), 1u);
}

TEST_F(BreakPlayout, TheFiftyMillisecondTickMovesTheBreakOnWithoutNotices) {
    engine->PlayBreak(false);
    players.Run(9, 1.0f); // advert 2 cued
    const int16_t first = engine->Break().PlayingPlayer;
    players.info[first].Status = 15; // emptied without a notice
    TestSupport::PumpUntil([&] { return engine->Break().CurrentAdvert == 2; }, 1000);
    EXPECT_EQ(engine->Break().CurrentAdvert, 2);
    EXPECT_TRUE(engine->BreakTickEnabled());
}

TEST_F(BreakPlayout, TheBreakAsksForEmptyPlayersAndPassesOverAHeldOne) {
    // Player 1 holds a cart selected by hand: the break must not take it.
    players.cart[1] = 999;
    players.info[1].CartNumber = 999;
    players.info[1].Status = CartPlayers::Selected;
    players.statusesAsked.clear();
    engine->PlayBreak(true);
    players.Run(60, 1.0f);
    EXPECT_EQ(PlayedCarts(), (std::vector<int32_t>{501, 502, 503}));
    ASSERT_FALSE(players.statusesAsked.empty());
    for (int16_t status : players.statusesAsked)
        EXPECT_EQ(status, CartPlayers::Empty);
    for (const auto& play : players.plays)
        EXPECT_NE(play.first, 1) << "cart " << play.second;
    EXPECT_EQ(players.cart[1], 999);
}
