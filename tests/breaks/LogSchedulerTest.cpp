#include "BreaksFixture.h"

#include "breaks/BreaksDone.h"
#include "breaks/ZEL_Common.h"
#include "breaks/frmSplit.h"
#include "core/GeneralFunctions.h"
#include "platform/Clock.h"

#include <algorithm>
#include <filesystem>

using namespace BreaksTest;
namespace fs = std::filesystem;

namespace {

// A cart-group queue that holds as many items as the test says.
struct HeldQueue : SplitCartQueue {
    int16_t QueueCount() override { return count; }
    bool FirstGroupMuted() override { return false; }
    void ClearQueue() override { count = 0; }
    void RunQueueTick() override {}
    int16_t count = 0;
};

class LogScheduler : public SplitTest {
protected:
    void SetUp() override {
        SplitTest::SetUp();
        for (int cart : {1, 2, 3})
            AddCart(cart, 30.0f, 28.0f);
        // A truncated line inside the first break is no advert.
        Deliver(kDec7, Join({Full("10:00:00", "NE", 1, "One", 30, "R1"), "10:00:00|NE  |   ",
                             Full("10:00:00", "NE", 2, "Two", 30, "R2"), "",
                             Full("10:30:00", "NE", 3, "Three", 30, "R3")},
                            "\r\n"));
        MainSettings::Settings().General.LogWarningDays = std::string(168, '0');
    }
    // What a test hands the engine or changes outside its context is put back even when the
    // test stopped half-way.
    void TearDown() override {
        engine->SetCartQueue(nullptr);
        GeneralFunctions::State().DebugMode = 0;
        qunsetenv("VNTZEL_SYSTEMDRIVE");
        SplitTest::TearDown();
    }
    MainSettings::GeneralSettings& General() { return MainSettings::Settings().General; }
    // One scheduler tick at the given time of day.
    void TickAt(int32_t day, double seconds) {
        Platform::Clock::SetNow(day, seconds);
        engine->tmrLogReload_Timer();
    }
    size_t Sent(const std::string& word) const {
        return static_cast<size_t>(std::count(sender.sent.begin(), sender.sent.end(), word));
    }
    size_t ErrorLines(const std::string& text) const {
        const std::string all = ErrorFileText();
        size_t n = 0;
        for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
            ++n;
        return n;
    }
    HeldQueue queue;
};

} // namespace

TEST_F(LogScheduler, AutomaticPlayCuesTwoSecondsAheadAndALateBreakIsDumpedOnce) {
    General().AutoPlayAdBreaks = 1;
    Platform::Clock::SetNow(kDec7, 9 * 3600.0);
    engine->SetCurrentAdBreakTime(kDec7, 36000, false, false);
    ASSERT_EQ(engine->Break().AdvertCount, 2);
    TickAt(kDec7, 36000 - 3);
    EXPECT_TRUE(players.cues.empty());
    TickAt(kDec7, 36000 - 2);
    ASSERT_EQ(players.cues.size(), 1u);
    EXPECT_EQ(players.cues[0].second, 1);
    TickAt(kDec7, 36000 - 1);
    EXPECT_EQ(players.cues.size(), 1u) << "advert 1 stays cued";
    EXPECT_TRUE(players.plays.empty());

    // A cart group still playing holds the break off: the network hears "AD_PLAY" once and the
    // trace says once why; the break starts late, once the group is done, and plays to its end.
    qputenv("VNTZEL_SYSTEMDRIVE", QByteArray::fromStdString(dir.Path()));
    GeneralFunctions::State().DebugMode = -1;
    queue.count = 1;
    engine->SetCartQueue(&queue);
    for (int s = 0; s < 5; ++s)
        TickAt(kDec7, 36000 + s);
    EXPECT_TRUE(players.plays.empty());
    queue.count = 0;
    TickAt(kDec7, 36005);
    ASSERT_EQ(players.plays.size(), 1u);
    EXPECT_EQ(Sent("AD_PLAY"), 1u);
    players.Run(70);
    ASSERT_FALSE(Breaks::State().BreakRunning);
    ASSERT_EQ(players.plays.size(), 2u);
    EXPECT_EQ(players.plays[1].second, 2) << "the second advert played after the late start";
    EXPECT_EQ(Sent("AD_PLAY"), 1u);
    EXPECT_FLOAT_EQ(Split().CuedBreakTime, 37800);
    const std::string trace = TestSupport::ReadBytes(GeneralFunctions::DebugTraceFile(kDec7));
    EXPECT_EQ(TestSupport::Occurrences(trace, "CartGroup running"), 1u) << trace;
    EXPECT_EQ(trace.find("PlayBreak:NotifyNetwork", trace.find("PlayBreak:NotifyNetwork") + 1),
              std::string::npos)
        << "one play command, then quiet retries: " << trace;

    // The 10:30 break is not played: dumped at 10:35:00 to the second, once, with one line.
    General().AutoPlayAdBreaks = 0;
    General().DropLateAdBreaks = 5;
    TickAt(kDec7, 37800 + 299.99);
    EXPECT_EQ(Sent("AD_DUMP"), 0u);
    TickAt(kDec7, 37800 + 300);
    EXPECT_EQ(Sent("AD_DUMP"), 1u) << "dumped at the break time plus five minutes";
    for (int s = 301; s < 400; s += 20)
        TickAt(kDec7, 37800 + s);
    EXPECT_EQ(Sent("AD_DUMP"), 1u);
    EXPECT_EQ(ErrorLines("[Code:ADT1] Automatically dumped 10:30:00 advert break because not told "
                         "to play within time allowed"),
              1u);
    EXPECT_EQ(Split().CuedBreakPos, 0) << "no next day's log: nothing cued";

    // Nothing is cued until the next day's log arrives; the update timer then cues it.
    engine->tmrLogUpdateInterval_Timer();
    EXPECT_EQ(Split().CuedBreakPos, 0);
    Deliver(kDec7 + 1, Full("06:00:00", "NE", 3, "Next", 30, "N") + "\r\n");
    engine->tmrLogUpdateInterval_Timer();
    EXPECT_EQ(Split().CuedBreakDate, kDec7 + 1);
    EXPECT_EQ(Split().CuedBreakPos, 1);
    EXPECT_EQ(Sent("AD_DUMP"), 1u);
}

TEST_F(LogScheduler, DailyAndHourlyReloadsHappenOnceEach) {
    General().LogLoadingMode = 1;
    TickAt(kDec7, 299);
    EXPECT_EQ(Split().LogFileNumber, 0);
    TickAt(kDec7, 300);
    EXPECT_EQ(Split().LoadedLogDate, kDec7);
    EXPECT_EQ(sender.sent, std::vector<std::string>{"AD_CUE 36000"});
    EXPECT_EQ(engine->LastReloadDate(), kDec7);
    TickAt(kDec7, 301);
    TickAt(kDec7, 7200);
    EXPECT_EQ(sender.sent.size(), 1u);

    General().LogLoadingMode = 2;
    TickAt(kDec7, 2 * 3600 + 300); // not above the interval yet
    EXPECT_EQ(sender.sent.size(), 1u);
    TickAt(kDec7, 2 * 3600 + 301);
    TickAt(kDec7, 2 * 3600 + 302);
    EXPECT_EQ(sender.sent.size(), 2u);
    EXPECT_EQ(engine->LastReloadHour(), 2);
    TickAt(kDec7, 3 * 3600 + 400);
    EXPECT_EQ(Sent("AD_CUE 36000"), 3u);

    // A reload after the day's last break cues the next day's first; that log stays until the
    // next day's first reload.
    Deliver(kDec7 + 1, Join({Full("00:00:00", "NE", 1, "One", 30, "M"), "",
                             Full("06:00:00", "NE", 2, "Two", 30, "S")},
                            "\r\n"));
    TickAt(kDec7, 11 * 3600 + 400);
    EXPECT_EQ(Split().CuedBreakDate, kDec7 + 1);
    EXPECT_EQ(Sent("AD_CUE 0"), 1u);
    TickAt(kDec7, 12 * 3600 + 400);
    TickAt(kDec7 + 1, 300);
    EXPECT_EQ(sender.sent.size(), 4u);
    TickAt(kDec7 + 1, 301);
    EXPECT_EQ(Sent("AD_CUE 21600"), 1u);
    EXPECT_EQ(engine->LastReloadDate(), kDec7 + 1);

    // So does a new delivery that drops the cued break and every later one.
    Deliver(kDec7 + 2, Full("00:00:05", "NE", 3, "Three", 30, "T"));
    Redeliver(kDec7 + 1, Full("00:00:00", "NE", 1, "One", 30, "M"));
    engine->tmrLogUpdateInterval_Timer();
    LetSourcesSettle();
    engine->tmrLogUpdateInterval_Timer();
    EXPECT_EQ(Split().CuedBreakDate, kDec7 + 2);
    EXPECT_EQ(sender.sent.back(), "AD_CUE 5");
}

TEST_F(LogScheduler, AStartAfterTheDaysLastBreakPlaysTheNextDaysFirstBreakOnTheSecond) {
    General().AutoPlayAdBreaks = 1;
    General().LogLoadingMode = 1;
    Deliver(kDec7 + 1, Join({Full("00:00:00", "NE", 1, "One", 30, "M"), "",
                             Full("06:00:00", "NE", 2, "Two", 30, "S")},
                            "\r\n"));
    SplitWindowDoors doors;
    doors.LogReloadTick = [this] { engine->tmrLogReload_Timer(); };
    doors.ResetLogReloadTimes = [this] { engine->ResetLogReloadTimes(); };
    frmSplit window(*engine, doors);
    const double start = 23 * 3600 + 59 * 60 + 11.3;
    Platform::Clock::SetNow(kDec7, start);
    window.Form_Load();
    EXPECT_EQ(Split().CuedBreakDate, kDec7 + 1);
    EXPECT_FLOAT_EQ(Split().CuedBreakTime, 0.0f);
    EXPECT_EQ(sender.sent, std::vector<std::string>{"AD_CUE 0"});
    EXPECT_TRUE(engine->NextDayLogOpened());
    // The tick is aimed just after each whole second of the clock the scheduler reads.
    EXPECT_EQ(window.tmrLogReload.timerType(), Qt::PreciseTimer);
    EXPECT_TRUE(window.tmrLogReload.isSingleShot());
    EXPECT_EQ(window.tmrLogReload.interval(), 702);
    EXPECT_EQ(frmSplit::LogReloadInterval(59.999), 3);

    for (double t = 23 * 3600 + 59 * 60 + 12.002; t < 86400; t += 1.0) {
        Platform::Clock::SetNow(kDec7, t);
        window.tmrLogReload_Timer();
        EXPECT_EQ(players.cues.size(), t < 86400 - 2 ? 0u : 1u) << t;
    }
    EXPECT_TRUE(players.plays.empty());
    EXPECT_EQ(window.tmrLogReload.interval(), 1000);
    Platform::Clock::SetNow(kDec7 + 1, 0.002);
    window.tmrLogReload_Timer();
    ASSERT_EQ(players.plays.size(), 1u);
    EXPECT_EQ(players.plays[0].second, 1);
    EXPECT_EQ(Sent("AD_PLAY"), 1u);
    players.Run(31);
    EXPECT_FLOAT_EQ(Split().CuedBreakTime, 21600);

    // The day's scheduled reload comes as before.
    Platform::Clock::SetNow(kDec7 + 1, 299.5);
    window.tmrLogReload_Timer();
    // A tick at a fraction of a second is aimed at the next whole second, not a second on.
    EXPECT_EQ(window.tmrLogReload.interval(), 502);
    EXPECT_EQ(engine->LastReloadDate(), kDec7);
    Platform::Clock::SetNow(kDec7 + 1, 300.002);
    window.tmrLogReload_Timer();
    EXPECT_EQ(engine->LastReloadDate(), kDec7 + 1);
    EXPECT_EQ(Sent("AD_CUE 21600"), 1u);
    window.Form_Unload();
}

TEST_F(LogScheduler, ACueHeldThroughABreakNeverSendsTheSplitBackNorSkipsADay) {
    const auto log = [](const std::vector<std::pair<std::string, int>>& breaks) {
        std::vector<std::string> lines;
        for (const auto& [time, cart] : breaks) {
            lines.push_back(Full(time, "NE", cart, "Cart", 30, time));
            lines.push_back("");
        }
        return Join(lines, "\r\n");
    };
    // Days alike: the next day has a break at the same time as the day's last.
    Deliver(kDec7 - 1, log({{"11:00:00", 3}}));
    Deliver(kDec7, log({{"10:00:00", 1},
                        {"10:30:00", 3},
                        {"10:45:00", 1},
                        {"11:00:00", 2},
                        {"11:15:00", 3},
                        {"23:59:20", 1}}));
    Deliver(kDec7 + 1, log({{"00:00:00", 2}, {"06:00:00", 3}, {"23:59:20", 1}}));
    qputenv("VNTZEL_SYSTEMDRIVE", QByteArray::fromStdString(dir.Path()));
    GeneralFunctions::State().DebugMode = -1;
    engine->SetCurrentAdBreakTime(kDec7, 36000, false, false);
    using Cue = std::pair<int32_t, float>;
    using Told = std::pair<Cue, Cue>;
    // Each break played by hand at its time; the cue comes while it runs. What a machine
    // connecting then would be told, and what is cued once the break has ended.
    auto playHolding = [&](float at, std::optional<int32_t> day, float time) {
        Platform::Clock::SetNow(kDec7, at);
        EXPECT_FLOAT_EQ(Split().CuedBreakTime, at);
        engine->PlayBreak(false);
        engine->HoldCueUntilBreakEnds(day, time);
        const Cue next = engine->NextBreakToPlay();
        players.Run(32);
        EXPECT_FALSE(Breaks::State().BreakRunning) << at;
        return Told(next, Cue{Split().CuedBreakDate, Split().CuedBreakTime});
    };
    // The running break's own cue, with its day and without, and a cue of the day before at a
    // later hour: dropped.
    EXPECT_EQ(playHolding(36000, kDec7, 36000), Told(Cue{kDec7, 37800}, Cue{kDec7, 37800}));
    EXPECT_EQ(playHolding(37800, kDec7 - 1, 39600), Told(Cue{kDec7, 38700}, Cue{kDec7, 38700}));
    EXPECT_EQ(playHolding(38700, std::nullopt, 38700), Told(Cue{kDec7, 39600}, Cue{kDec7, 39600}));
    // A later break is cued over the one after the running one.
    EXPECT_EQ(playHolding(39600, kDec7, 40501), Told(Cue{kDec7, 86360}, Cue{kDec7, 86360}));
    // So is the next day's first break, at 00:00:00, over the day's next one.
    engine->SetCurrentAdBreakTime(kDec7, 40500, false, false);
    EXPECT_EQ(playHolding(40500, kDec7 + 1, 0), Told(Cue{kDec7 + 1, 0}, Cue{kDec7 + 1, 0}));
    EXPECT_EQ(players.plays.size(), 5u) << "no break played twice";

    // The day's last break plays by itself, and a cue by time alone comes while it runs: the
    // running break's own, an earlier one, and "AD_CUE 0" from a machine already on the next
    // day. Each keeps the day it was heard on and is dropped: the next day's first break plays
    // on the second, and its second break is cued after it.
    General().AutoPlayAdBreaks = 1;
    General().DropLateAdBreaks = 5;
    auto lastBreakHolding = [&](float time) {
        // Each run is the night's first: nothing of it is done yet.
        fs::remove(BreaksDone::DoneFile(1, kDec7));
        fs::remove(BreaksDone::DoneFile(1, kDec7 + 1));
        Breaks::State().doneBreaks.clear();
        engine->SetCurrentAdBreakTime(kDec7, 86360, false, false);
        const size_t before = players.plays.size();
        Cue told{0, -1};
        double midnightPlay = -1;
        for (double t = 86357.002; t < 86403; t += 1.0) {
            const bool nextDay = t >= 86400;
            TickAt(nextDay ? kDec7 + 1 : kDec7, nextDay ? t - 86400 : t);
            if (nextDay && midnightPlay < 0 && players.plays.size() == before + 2)
                midnightPlay = t - 86400;
            if (Breaks::State().BreakRunning && told.second < 0 && !nextDay) {
                engine->HoldCueUntilBreakEnds(std::nullopt, time);
                told = engine->NextBreakToPlay();
            }
            players.Run(1.0f);
        }
        EXPECT_EQ(told, (Cue{kDec7 + 1, 0})) << time;
        EXPECT_LT(midnightPlay, 0.01) << time;
        EXPECT_GE(midnightPlay, 0) << time;
        EXPECT_EQ(players.plays.size(), before + 2) << time;
        players.Run(32);
        EXPECT_EQ(Split().CuedBreakDate, kDec7 + 1) << time;
        EXPECT_FLOAT_EQ(Split().CuedBreakTime, 21600) << time;
    };
    for (float time : {86360.0f, 36000.0f, 0.0f})
        lastBreakHolding(time);
    ASSERT_EQ(players.plays.size(), 11u);
    for (size_t k : {6u, 8u, 10u})
        EXPECT_EQ(players.plays[k].second, 2) << "the next day's 00:00:00 break";
    EXPECT_EQ(Sent("AD_PLAY"), 6u);
    EXPECT_EQ(Sent("AD_DUMP"), 0u);
    EXPECT_EQ(ErrorLines("[Code:ADT1]"), 0u);
    const std::string trace = TestSupport::ReadBytes(GeneralFunctions::DebugTraceFile(kDec7)) +
                              TestSupport::ReadBytes(GeneralFunctions::DebugTraceFile(kDec7 + 1));
    const std::string dropped = "AD_CUE:Dropped at break end(no break after ";
    for (const char* cue :
         {"07/12/2026 10:00:00):07/12/2026 10:00:00", "07/12/2026 10:30:00):06/12/2026 11:00:00",
          "07/12/2026 10:45:00):07/12/2026 10:45:00", "07/12/2026 23:59:20):07/12/2026 23:59:20",
          "07/12/2026 23:59:20):07/12/2026 10:00:00", "07/12/2026 23:59:20):07/12/2026 00:00:00"})
        EXPECT_EQ(TestSupport::Occurrences(trace, dropped + cue), 1u) << cue << "\n" << trace;
    EXPECT_EQ(TestSupport::Occurrences(trace, "AD_CUE:Applied at break end:"), 2u);
    EXPECT_NE(trace.find("AD_CUE:Applied at break end:07/12/2026 23:59:20"), std::string::npos);
    EXPECT_NE(trace.find("AD_CUE:Applied at break end:08/12/2026 00:00:00"), std::string::npos);
}

TEST_F(LogScheduler, FutureLogsAndASettlingDelivery) {
    engine->CheckForFutureLogFiles();
    EXPECT_EQ(engine->StatusText(), "Not checking for Future Logs");
    EXPECT_EQ(engine->StatusColour(), 65280);
    // Monday 7 December 2026, 09:00: two days ahead at this hour.
    General().LogWarningDays[9] = '2';
    TestSupport::WriteBytes(DestLog(kDec7 + 2), "x\r\n");
    engine->CheckForFutureLogFiles();
    EXPECT_EQ(engine->StatusText(), "No logs for : 08/12/2026");
    EXPECT_EQ(engine->StatusColour(), 255);
    Deliver(kDec7 + 1, "x\r\n");
    engine->CheckForFutureLogFiles();
    EXPECT_EQ(engine->StatusText(), "All required Future Logs are available");
    EXPECT_EQ(engine->StatusColour(), 65280);

    // A delivery that grows between two checks is copied only once it has settled; one that
    // vanishes leaves the working log as it was.
    ASSERT_TRUE(ZEL_Common::OpenLogForDate(1, kDec7));
    const std::string working = TestSupport::ReadBytes(DestLog(kDec7));
    const auto later = fs::file_time_type::clock::now() + std::chrono::hours(1);
    Deliver(kDec7, "10:00:00|NE  |       1|Gro");
    fs::last_write_time(SourceLog(kDec7), later);
    EXPECT_FALSE(engine->CheckForNewLogFile(false));
    Deliver(kDec7, "10:00:00|NE  |       1|Growing\r\n");
    fs::last_write_time(SourceLog(kDec7), later + std::chrono::seconds(1));
    EXPECT_FALSE(engine->CheckForNewLogFile(false));
    EXPECT_EQ(TestSupport::ReadBytes(DestLog(kDec7)), working);
    fs::remove(SourceLog(kDec7));
    EXPECT_FALSE(engine->CheckForNewLogFile(false));
    EXPECT_FALSE(engine->CopyNewLogFile(SourceLog(kDec7)));
    EXPECT_EQ(TestSupport::ReadBytes(DestLog(kDec7)), working);
}
