#include "support/TestSupport.h"

#include "core/GeneralFunctions.h"
#include "core/TraceBudget.h"
#include "platform/Files.h"
#include "platform/Screen.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>

using namespace GeneralFunctions;

namespace {

constexpr int32_t kDay = 46363; // 7 December 2026

// Trace files in a scratch system drive, the clock at 14:03:07, depth 0.
class Trace : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("VNTZEL_SYSTEMDRIVE", QByteArray::fromStdString(dir.Path()));
        State().traceDepth = 0;
    }
    void TearDown() override {
        qunsetenv("VNTZEL_SYSTEMDRIVE");
        State().DebugMode = 0;
        State().traceDepth = 0;
    }
    std::string Log(int32_t day = kDay) { return TestSupport::ReadBytes(DebugTraceFile(day)); }

    TestSupport::ScratchDir dir;
    TestSupport::FrozenClock clock{kDay, 14 * 3600 + 3 * 60 + 7.75};
};

} // namespace

TEST_F(Trace, FileNameIsProgramAndDate) {
    EXPECT_EQ(DebugTraceFolder(), dir.Path());
    EXPECT_EQ(DebugTraceFile(kDay), dir.File("test_core.20261207.log"));
}

TEST_F(Trace, NestedSequenceIsByteExact) {
    State().DebugMode = -1;
    WriteDebugLineNest("Start Outer", 5, dkEnter);
    WriteDebugLine("plain at depth 1", -1);
    DirectoryExists("");
    WriteDebugLineEx("with context", 5, dkPlain, "frmMain");
    WriteDebugLineNest("End Outer", 5, dkLeave);
    WriteDebugLineNest("leave at 0 stays at 0", 5, dkLeave);
    WriteDebugLineNest("A", 5, dkEnter);
    WriteDebugLineNest("B", 5, dkEnter);
    WriteDebugLineNest("C", 5, dkLeave);
    WriteDebugLineNest("reset", 5, dkReset);
    WriteDebugLineNest("other kinds are plain", 5, 7);
    EXPECT_EQ(Log(), "14:03:07 Start Outer\r\n"
                     "14:03:07     plain at depth 1\r\n"
                     "14:03:07     Start DirectoryExists\r\n"
                     "14:03:07     End DirectoryExists (False)\r\n"
                     "14:03:07 frmMain     with context\r\n"
                     "14:03:07 End Outer\r\n"
                     "14:03:07 leave at 0 stays at 0\r\n"
                     "14:03:07 A\r\n"
                     "14:03:07     B\r\n"
                     "14:03:07     C\r\n"
                     "14:03:07 reset\r\n"
                     "14:03:07 other kinds are plain\r\n");
    EXPECT_EQ(State().traceDepth, 0);
}

TEST_F(Trace, LevelsFilterLines) {
    auto linesAt = [&](int32_t mode) {
        std::filesystem::remove(DebugTraceFile(kDay));
        State().DebugMode = mode;
        for (int32_t level : {1, 5, 6, 99, -1})
            WriteDebugLine("L" + std::to_string(level), level);
        return Log();
    };
    EXPECT_EQ(linesAt(0), "");
    EXPECT_FALSE(std::filesystem::exists(DebugTraceFile(kDay)));
    EXPECT_EQ(linesAt(-1), "14:03:07 L1\r\n14:03:07 L5\r\n14:03:07 L6\r\n14:03:07 L99\r\n"
                           "14:03:07 L-1\r\n");
    EXPECT_EQ(linesAt(5), "14:03:07 L1\r\n14:03:07 L5\r\n14:03:07 L-1\r\n");
    EXPECT_EQ(linesAt(4), "14:03:07 L1\r\n");
    EXPECT_EQ(linesAt(-2), "");
}

TEST_F(Trace, LineAfterMidnightGoesToTheNextDaysFile) {
    State().DebugMode = -1;
    Platform::Clock::SetNow(kDay, 86399.9);
    WriteDebugLine("late", -1);
    Platform::Clock::Advance(0.2);
    WriteDebugLine("early", -1);
    EXPECT_EQ(Log(kDay), "23:59:59 late\r\n");
    EXPECT_EQ(Log(kDay + 1), "00:00:00 early\r\n");
}

TEST_F(Trace, UnwritableFileLosesTheLineQuietly) {
    State().DebugMode = -1;
    qputenv("VNTZEL_SYSTEMDRIVE", QByteArray::fromStdString(dir.File("missing/folder")));
    WriteDebugLine("lost", -1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
}

TEST_F(Trace, ARefusedLineIsTakenBackWholeAndToldOnceToTheTellersAlone) {
    State().DebugMode = -1;
    WriteDebugLine("before", -1);
    const std::string before = Log();
    // A teller that traces what it is told adds to the count; it neither recurses nor repeats.
    std::vector<std::string> told;
    const int teller = AddProblemTeller([&](const std::string& text) {
        told.push_back(text);
        WriteDebugLine("teller traced", -1);
    });
    {
        TestSupport::FileSizeLimit full(before.size() + 10); // part of any line
        ASSERT_TRUE(full.Set());
        WriteDebugLine(std::string(100, 'x'), -1);
        WriteDebugLine("short", -1);
        TellProblem("told while refused");
        EXPECT_EQ(Log(), before);
    }
    WriteDebugLine("after", -1);
    RemoveProblemTeller(teller);
    const std::string file = DebugTraceFile(kDay);
    EXPECT_EQ(told, (std::vector<std::string>{
                        "Cannot write to " + file +
                            " (File too large): trace lines are lost until it takes them again",
                        "told while refused", file + " takes lines again: 5 trace lines lost"}));
    EXPECT_EQ(Log(), before + "14:03:07 after\r\n14:03:07 " + file +
                         " takes lines again: 5 trace lines lost\r\n14:03:07 teller traced\r\n");
}

TEST_F(Trace, TimedLines) {
    State().DebugMode = -1;
    EXPECT_TRUE(AppendTimedLine(dir.File("E.ERR"), true, "[Code:ADT1] dumped"));
    EXPECT_TRUE(AppendTimedLine(dir.File("E.ERR"), false, "plain"));
    EXPECT_FALSE(AppendTimedLine("", true, "nowhere"));
    EXPECT_FALSE(AppendTimedLine(dir.File("no/such/dir.log"), true, "lost"));
    EXPECT_FALSE(AppendTimedLine(dir.File("no/such/other.log"), true, "lost"));
    EXPECT_FALSE(AppendTimedLine(dir.File("no/such/dir.log"), true, "lost again"));
    EXPECT_FALSE(AppendTimedLine(dir.File("no/such/other.log"), true, "lost again"));
    EXPECT_EQ(TestSupport::ReadBytes(dir.File("E.ERR")),
              "07/12/2026 14:03:07 [Code:ADT1] dumped\r\nplain\r\n");
    // Each file that cannot be written is reported in the trace, once, though they fail in turn.
    EXPECT_EQ(Log(), "14:03:07 Failed to write to " + dir.File("no/such/dir.log") +
                         ": No such file or directory\r\n14:03:07 Failed to write to " +
                         dir.File("no/such/other.log") + ": No such file or directory\r\n");
}

TEST_F(Trace, ABudgetGivenANewPeerReportsWhatThePreviousOneLeftOutUnderItsName) {
    State().DebugMode = -1;
    TraceBudget budget("old peer");
    {
        TraceBudget::Scope traced(budget);
        for (int i = 0; i < TraceBudget::kLinesPerSecond + 5; ++i)
            WriteDebugLine("line", -1);
        budget.SetPeer("new peer");
        WriteDebugLine("line", -1); // the second's budget is spent: left out, the new peer's
    }
    budget.Report();
    const std::string log = Log();
    EXPECT_NE(log.find(" old peer: 5 more trace lines in one second, left out\r\n"),
              std::string::npos);
    EXPECT_NE(log.find(" new peer: 1 more trace lines in one second, left out\r\n"),
              std::string::npos);
    // Peers given the slot one after another as a listener accepts them, each leaving a line
    // out: their reports are lines of the listener, within its budget.
    TraceBudget listener("listener");
    {
        TraceBudget::Scope accepting(listener);
        for (int i = 0; i < 2 * TraceBudget::kLinesPerSecond; ++i) {
            {
                TraceBudget::Scope traced(budget);
                WriteDebugLine("line", -1);
            }
            budget.SetPeer("peer " + std::to_string(i));
        }
    }
    listener.Report();
    const std::string reports = Log().substr(log.size());
    EXPECT_EQ(TestSupport::Occurrences(reports, "\r\n"), TraceBudget::kLinesPerSecond + 1u);
    EXPECT_NE(reports.find(" listener: 200 more trace lines in one second, left out\r\n"),
              std::string::npos);
    // Peers counted against a shared budget: together they write no more than it admits, and
    // what it had no room for is reported under its name.
    TraceBudget shared("door", TraceBudget::kSharedLinesPerSecond);
    std::array<TraceBudget, 3> peers;
    const size_t sharedFrom = Log().size();
    for (TraceBudget& peer : peers) {
        peer.CountAlsoAgainst(&shared);
        TraceBudget::Scope traced(peer);
        for (int i = 0; i < TraceBudget::kLinesPerSecond; ++i)
            WriteDebugLine("shared", -1);
    }
    shared.Report();
    const std::string sharedLog = Log().substr(sharedFrom);
    EXPECT_EQ(TestSupport::Occurrences(sharedLog, " shared\r\n"),
              static_cast<size_t>(TraceBudget::kSharedLinesPerSecond));
    EXPECT_NE(sharedLog.find(" door: 200 more trace lines in one second, left out\r\n"),
              std::string::npos);
}

TEST(ErrorBox, StandardTextAndBox) {
    TestSupport::ScriptedBoxes boxes;
    std::string expected = "There was a problem opening the Serial control port and the error's "
                           "description was reported as : \n\n\"File not found\" (53)";
    EXPECT_EQ(FormatErrorMessage("  opening the Serial control port  ", 53, true), expected);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(FormatErrorMessage("opening the Serial control port", 0, true),
              "There was a problem opening the Serial control port");

    EXPECT_EQ(FormatErrorMessage("opening the Serial control port", 53, false), expected);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].prompt, expected);
    EXPECT_EQ(boxes.Shown()[0].buttons, Platform::vbExclamation | Platform::vbOKOnly);
    // A number without a standard description takes the failing operation's own one.
    EXPECT_EQ(FormatErrorMessage("x", 31001, true, " Socket closed "),
              "There was a problem x and the error's description was reported as : \n\n"
              "\"Socket closed\" (31001)");
    EXPECT_EQ(FormatErrorMessage("x", 53, true, "ignored"),
              "There was a problem x and the error's description was reported as : \n\n"
              "\"File not found\" (53)");
}

TEST(ErrorBox, PointerIsArrowWhileShownAndRestored) {
    int pointerDuringBox = -1;
    Platform::SetMsgBoxHook([&](const Platform::ShownBox&) {
        pointerDuringBox = Platform::ScreenMousePointer();
        return Platform::vbOK;
    });
    Platform::SetScreenMousePointer(Platform::vbHourglass);
    FormatErrorMessage("copying", 61, false);
    EXPECT_EQ(pointerDuringBox, Platform::vbDefault);
    EXPECT_EQ(Platform::ScreenMousePointer(), Platform::vbHourglass);
    Platform::SetScreenMousePointer(Platform::vbDefault);
    Platform::SetMsgBoxHook({});
    Platform::ClearShownBoxes();
}
