// What the clock may cue: never a break that is done (played or dumped), after a restart, a
// reload, a new or re-sent log or a clock set back; only a cue that names a done break plays it
// again. A late or re-sent log is cued by its own times, on the clock's day; breaks past the
// late-dump limit all go at once.
#include "BreaksFixture.h"

#include "breaks/BreaksDone.h"
#include "breaks/ZEL_Common.h"
#include "breaks/frmSplit.h"
#include "platform/Clock.h"

#include <QDateTime>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <utility>

using namespace BreaksTest;
namespace fs = std::filesystem;

namespace {

class ClockCue : public SplitTest {
protected:
    void SetUp() override {
        SplitTest::SetUp();
        for (int cart = 1; cart <= 9; ++cart)
            AddCart(cart, 30.0f, 28.0f);
        General().AutoPlayAdBreaks = 1;
        General().DropLateAdBreaks = 5;
        General().LogWarningDays = std::string(168, '0');
    }
    void TearDown() override {
        window.reset();
        SplitTest::TearDown();
    }
    static MainSettings::GeneralSettings& General() { return MainSettings::Settings().General; }
    // A break of one advert; its reference, unless given, its time and cart.
    struct Entry {
        Entry(std::string at, int number, std::string ref = "")
            : time(std::move(at)), cart(number), reference(std::move(ref)) {}
        std::string time;
        int cart = 0;
        std::string reference;
    };
    static std::string Log(const std::vector<Entry>& breaks) {
        std::vector<std::string> lines;
        for (const Entry& e : breaks) {
            const std::string reference =
                e.reference.empty() ? e.time + "-" + std::to_string(e.cart) : e.reference;
            lines.push_back(Full(e.time, "NE", e.cart, "Cart", 30, reference));
            lines.push_back("");
        }
        return Join(lines, "\r\n");
    }
    // The program starts (again) at the moment: the split's records as a new process has them,
    // the same folders and files, then the split window's start-up.
    void StartAt(int32_t day, double seconds) {
        window.reset();
        engine.reset();
        Platform::FileNumbers::CloseAll();
        const BreakCarts::CartReader reader = Breaks::State().cartReader;
        Breaks::State() = Breaks::BreaksState{};
        Breaks::State().cartReader = reader;
        TestSupport::UseTestSplit(Split(), SourceDir(), DestDir());
        // What played stops with the program, unreconciled.
        const auto listener = std::exchange(players.listener, nullptr);
        for (int16_t p = 1; p <= players.count; ++p)
            players.EjectPlayer(p);
        players.listener = listener;
        engine = std::make_unique<SplitEngine>(&sender, &players);
        Platform::Clock::SetNow(day, seconds);
        SplitWindowDoors doors;
        doors.LogReloadTick = [this] { engine->tmrLogReload_Timer(); };
        doors.ResetLogReloadTimes = [this] { engine->ResetLogReloadTimes(); };
        window = std::make_unique<frmSplit>(*engine, doors);
        window->Form_Load();
    }
    // Scheduler ticks each second, just after it, from..to (seconds of day), the players moving
    // on with the clock.
    void TicksFrom(int32_t day, double from, double to) {
        for (double t = from; t <= to; t += 1.0) {
            Platform::Clock::SetNow(day, t + 0.002);
            engine->tmrLogReload_Timer();
            players.Run(1.0f, 0.25f);
        }
    }
    std::pair<int32_t, float> Cued() const {
        return {Split().CuedBreakDate, Split().CuedBreakTime};
    }
    std::vector<int32_t> Played() const {
        std::vector<int32_t> carts;
        for (const auto& play : players.plays)
            carts.push_back(play.second);
        return carts;
    }
    size_t Sent(const std::string& word) const {
        return static_cast<size_t>(std::count(sender.sent.begin(), sender.sent.end(), word));
    }
    std::unique_ptr<frmSplit> window;
};

using Cue = std::pair<int32_t, float>;

} // namespace

TEST_F(ClockCue, ABreakPlayedOrDumpedIsNeverCuedAgainByTheClock) {
    Deliver(kDec7, Log({{"10:00:00", 1}, {"10:15:00", 2}, {"10:30:00", 3}}));
    Deliver(kDec7 + 1, Log({{"00:00:00", 4}, {"10:00:00", 5}, {"10:15:00", 6}}));
    StartAt(kDec7, 9 * 3600 + 58 * 60);
    ASSERT_EQ(Cued(), (Cue{kDec7, 36000}));
    // Played two minutes early, as a controller may ask; the program then stops and starts
    // again before the break's time (nothing is saved at shut-down: a crash is the same).
    engine->PlayBreak(true);
    players.Run(31);
    EXPECT_EQ(Cued(), (Cue{kDec7, 36900}));
    EXPECT_NE(TestSupport::ReadBytes(BreaksDone::DoneFile(1, kDec7)).find("10:00:00\tplayed\t"),
              std::string::npos);
    StartAt(kDec7, 9 * 3600 + 59 * 60);
    EXPECT_EQ(Cued(), (Cue{kDec7, 36900}));
    // Started again in the break's late-play window: still not played again.
    StartAt(kDec7, 36000 + 90);
    EXPECT_EQ(Cued(), (Cue{kDec7, 36900}));
    TicksFrom(kDec7, 36091, 36100);
    EXPECT_EQ(Played(), std::vector<int32_t>{1});

    // Dumped by hand: a start within its late-play window passes it too.
    engine->DumpBreak(true);
    EXPECT_EQ(Cued(), (Cue{kDec7, 37800}));
    StartAt(kDec7, 36900 + 60);
    EXPECT_EQ(Cued(), (Cue{kDec7, 37800}));
    // A break not done is cued in its window and plays late, once.
    StartAt(kDec7, 37800 + 60);
    EXPECT_EQ(Cued(), (Cue{kDec7, 37800}));
    TicksFrom(kDec7, 37861, 37900);
    EXPECT_EQ(Played(), (std::vector<int32_t>{1, 3}));

    // A cue that names a done break plays it again.
    engine->SetCurrentAdBreakTime(kDec7, 36000, false, false);
    EXPECT_EQ(Cued(), (Cue{kDec7, 36000}));
    engine->PlayBreak(false);
    EXPECT_EQ(Played(), (std::vector<int32_t>{1, 3, 1}));
    players.Run(31);

    // The next day's breaks at the same times are other breaks.
    StartAt(kDec7 + 1, 9 * 3600);
    EXPECT_EQ(Cued(), (Cue{kDec7 + 1, 36000}));
    EXPECT_EQ(engine->Break().Advert(1).CartNumber, 5);
    EXPECT_EQ(Sent("AD_DUMP"), 1u);
    EXPECT_EQ(ErrorFileText().find("[Code:ADT1]"), std::string::npos) << ErrorFileText();
}

TEST_F(ClockCue, AClockSetBackNeverPlaysADoneBreakAgain) {
    General().LogLoadingMode = 1;
    Deliver(kDec7, Log({{"10:00:00", 1}, {"23:59:20", 2}}));
    Deliver(kDec7 + 1, Log({{"00:00:00", 3}, {"06:00:00", 4}}));
    StartAt(kDec7, 86340);
    TicksFrom(kDec7, 86358, 86399);
    TicksFrom(kDec7 + 1, 0, 20);
    ASSERT_EQ(Played(), (std::vector<int32_t>{2, 3}));
    // A time service steps the clock back 30 s: the day's reload runs for the day before, and
    // neither break plays again.
    TicksFrom(kDec7, 86390, 86399);
    TicksFrom(kDec7 + 1, 0, 40);
    EXPECT_EQ(Played(), (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(Cued(), (Cue{kDec7 + 1, 21600}));

    // The clocks go back an hour after the 01:00 break, and the program starts again in the
    // hour that comes twice: the 01:00 break is not played again.
    Deliver(kDec7 + 2, Log({{"01:00:00", 5}, {"01:30:00", 6}, {"02:00:00", 7}}));
    StartAt(kDec7 + 2, 3600 - 10);
    TicksFrom(kDec7 + 2, 3590, 3640);
    ASSERT_EQ(Played(), (std::vector<int32_t>{2, 3, 5}));
    StartAt(kDec7 + 2, 3600 + 30);
    EXPECT_EQ(Cued(), (Cue{kDec7 + 2, 5400}));
    TicksFrom(kDec7 + 2, 3630, 3700);
    EXPECT_EQ(Played(), (std::vector<int32_t>{2, 3, 5}));
}

TEST_F(ClockCue, ALateOrReSentLogIsCuedByItsOwnTimesOnTheClocksDay) {
    // No log at start-up; the day before's log is there.
    General().LogLoadingMode = 0;
    Deliver(kDec7 - 1, Log({{"03:01:13", 9}, {"03:04:45", 9}, {"03:07:47", 9}}));
    StartAt(kDec7, 3 * 3600);
    EXPECT_EQ(Split().LogFileNumber, 0);
    // The day's log comes late, written the day before: its break of 35 s ago is cued and
    // plays at once, within the late-dump limit; nothing of the day before.
    Deliver(kDec7, Log({{"03:01:13", 1}, {"03:04:45", 2}, {"03:07:47", 3}}));
    const QDateTime dayBefore(QDate(2026, 12, 6), QTime(18, 0));
    fs::last_write_time(SourceLog(kDec7),
                        fs::file_time_type::clock::now() -
                            std::chrono::seconds(dayBefore.secsTo(QDateTime::currentDateTime())));
    Platform::Clock::SetNow(kDec7, 3 * 3600 + 108);
    engine->tmrLogUpdateInterval_Timer();
    EXPECT_EQ(Cued(), (Cue{kDec7, 3 * 3600 + 73}));
    TicksFrom(kDec7, 3 * 3600 + 108, 3 * 3600 + 110);
    EXPECT_EQ(Played(), std::vector<int32_t>{1});
    EXPECT_EQ(Split().LoadedLogDate, kDec7);

    // Re-sent after 03:04:45 played, moving the cued 03:07:47 to 03:07:30: delivered at
    // 03:07:15, it is cued at its new time and plays then.
    TicksFrom(kDec7, 3 * 3600 + 111, 3 * 3600 + 434);
    ASSERT_EQ(Played(), (std::vector<int32_t>{1, 2}));
    Redeliver(kDec7, Log({{"03:01:13", 1}, {"03:04:45", 2}, {"03:07:30", 3}}));
    Platform::Clock::SetNow(kDec7, 3 * 3600 + 435);
    engine->tmrLogUpdateInterval_Timer();
    LetSourcesSettle();
    engine->tmrLogUpdateInterval_Timer();
    EXPECT_EQ(Cued(), (Cue{kDec7, 3 * 3600 + 450}));
    TicksFrom(kDec7, 3 * 3600 + 449, 3 * 3600 + 451);
    EXPECT_EQ(Played(), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(ErrorFileText().find("[Code:ADT1]"), std::string::npos) << ErrorFileText();
    EXPECT_EQ(Sent("AD_DUMP"), 0u);
}

TEST_F(ClockCue, AReSentLogThatMovesTheRunningBreakNeverPlaysItAgain) {
    General().DropLateAdBreaks = 0;
    Deliver(kDec7, Log({{"10:00:00", 1, "A1"}, {"10:15:00", 2, "A2"}, {"10:30:00", 3, "A3"}}));
    StartAt(kDec7, 35990);
    TicksFrom(kDec7, 35999, 36002);
    ASSERT_TRUE(Breaks::State().BreakRunning);
    // While it runs, a new log moves it to 10:12 and the cued 10:15 to 10:10; nothing is
    // taken while the break runs.
    Redeliver(kDec7, Log({{"10:10:00", 2, "A2"}, {"10:12:00", 1, "A1"}, {"10:30:00", 3, "A3"}}));
    engine->tmrLogUpdateInterval_Timer();
    EXPECT_EQ(Cued(), (Cue{kDec7, 36000}));
    TicksFrom(kDec7, 36003, 36040);
    ASSERT_FALSE(Breaks::State().BreakRunning);
    Platform::Clock::SetNow(kDec7, 36590.0);
    engine->tmrLogUpdateInterval_Timer();
    LetSourcesSettle();
    // Taken at the second of the moved cued break, before that second's tick: it is cued and
    // plays on time.
    Platform::Clock::SetNow(kDec7, 36600.0);
    engine->tmrLogUpdateInterval_Timer();
    EXPECT_EQ(Cued(), (Cue{kDec7, 36600}));
    TicksFrom(kDec7, 36600, 36640);
    // The running break, moved to 10:12, is the one that played: 10:30 is next.
    EXPECT_EQ(Cued(), (Cue{kDec7, 37800}));
    TicksFrom(kDec7, 36700, 36730);
    EXPECT_EQ(Played(), (std::vector<int32_t>{1, 2}));
}

TEST_F(ClockCue, BreaksPastTheLimitAreDumpedAtOnceAndTheDueOneStartsOnItsSecond) {
    // The clocks go forward an hour over 28 breaks, all more than five minutes before 02:00.
    std::vector<Entry> breaks;
    for (int minute = 0; minute < 56; minute += 2)
        breaks.push_back(
            {"01:" + std::string(minute < 10 ? "0" : "") + std::to_string(minute) + ":00",
             1 + minute % 3});
    breaks.push_back({"02:00:00", 9});
    Deliver(kDec7, Log(breaks));
    StartAt(kDec7, 3600 - 30);
    ASSERT_EQ(Cued(), (Cue{kDec7, 3600}));
    Platform::Clock::SetNow(kDec7, 7200.002);
    engine->tmrLogReload_Timer();
    EXPECT_EQ(Played(), std::vector<int32_t>{9});
    EXPECT_TRUE(Breaks::State().BreakRunning);
    EXPECT_EQ(Sent("AD_DUMP"), 28u);
    EXPECT_EQ(TestSupport::Occurrences(ErrorFileText(), "[Code:ADT1] Automatically dumped "), 28u);
    EXPECT_NE(ErrorFileText().find("dumped 01:54:00 advert break"), std::string::npos);
    // Dumped breaks are done: a start in the hour's late-play window plays none of them.
    players.Run(31);
    StartAt(kDec7, 7200 + 40);
    TicksFrom(kDec7, 7240, 7245);
    EXPECT_EQ(Played(), std::vector<int32_t>{9});
}

TEST_F(ClockCue, ALogStillBeingWrittenIsTakenOnlyWhenWhole) {
    const std::string whole = Log({{"10:00:00", 1}, {"10:15:00", 2}, {"10:30:00", 3}});
    {
        // Its writer holds it open, stalled for a minute after half of it.
        std::ofstream writer(SourceLog(kDec7), std::ios::binary);
        writer << whole.substr(0, whole.size() / 2) << std::flush;
        fs::last_write_time(SourceLog(kDec7),
                            fs::file_time_type::clock::now() - std::chrono::minutes(1));
        StartAt(kDec7, 9 * 3600);
        EXPECT_EQ(Split().LogFileNumber, 0);
        EXPECT_FALSE(fs::exists(DestLog(kDec7)));
        writer << whole.substr(whole.size() / 2);
    }
    // Closed, but written just now: not before it has been quiet for the check interval.
    engine->tmrLogUpdateInterval_Timer();
    EXPECT_FALSE(fs::exists(DestLog(kDec7)));
    LetSourcesSettle();
    engine->tmrLogUpdateInterval_Timer();
    EXPECT_EQ(TestSupport::ReadBytes(DestLog(kDec7)), whole);
    EXPECT_EQ(Cued(), (Cue{kDec7, 36000}));
}
