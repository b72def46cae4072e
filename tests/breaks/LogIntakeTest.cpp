#include "BreaksFixture.h"

#include "breaks/ZEL_Common.h"
#include "platform/FileNumbers.h"
#include "platform/Files.h"

#include <algorithm>
#include <filesystem>

using namespace BreaksTest;
namespace fs = std::filesystem;

using LogIntake = SplitTest;

TEST_F(LogIntake, NoFreeFileNumberOpensNothing) {
    namespace Files = Platform::FileNumbers;
    TestSupport::WriteBytes(DestLog(kDec7), Full("10:00:00", "NE", 1, "", 30, "") + "\r\n");
    for (int16_t n = 1; Files::FreeFile() != 0; ++n)
        ASSERT_EQ(Files::Open(n, DestLog(kDec7), Files::OpenMode::Input), 0);
    EXPECT_FALSE(ZEL_Common::OpenLogFile(1, DestLog(kDec7)));
    EXPECT_EQ(Breaks::Split(1)->LogFileNumber, 0);
    EXPECT_FLOAT_EQ(engine->GetFileBreakLength(kDec7, 36000), 0);
    Files::Close(7);
    EXPECT_TRUE(ZEL_Common::OpenLogFile(1, DestLog(kDec7)));
    EXPECT_EQ(Breaks::Split(1)->LogFileNumber, 7);
    EXPECT_FLOAT_EQ(engine->GetAdBreakTime(1), 36000);
}

TEST_F(LogIntake, ANewerSourceLogIsCopiedAndTheSameBreakCuedAgain) {
    AddCart(1, 30, 28);
    AddCart(2, 30, 28);
    AddCart(3, 30, 28);
    const std::string first = Join({Full("10:00:00", "NE", 1, "Old", 30, "")}, "\r\n");
    Deliver(kDec7, first);
    engine->SetCurrentAdBreakTime(kDec7, 36000, false, false);
    ASSERT_EQ(engine->Break().AdvertCount, 1);
    // Nothing new: the source is not later than the working copy.
    EXPECT_TRUE(engine->CheckForNewLogFile(false));
    EXPECT_TRUE(sender.sent.empty());

    // A new delivery with an extra break in front, passed by now, and two adverts at 10:00.
    Platform::Clock::SetNow(kDec7, 9.5 * 3600);
    Redeliver(kDec7, Join({Full("09:00:00", "NE", 3, "Early", 30, ""), "",
                           Full("10:00:00", "NE", 1, "New", 30, ""),
                           Full("10:00:00", "NE", 2, "New", 30, "")},
                          "\n"));
    // Copied once it has not changed for a check interval.
    EXPECT_FALSE(engine->CheckForNewLogFile(false));
    EXPECT_TRUE(sender.sent.empty());
    LetSourcesSettle();
    EXPECT_TRUE(engine->CheckForNewLogFile(false));
    EXPECT_EQ(sender.sent, std::vector<std::string>{"AD_CUE 36000"});
    EXPECT_EQ(engine->Break().AdvertCount, 2);
    EXPECT_EQ(engine->Break().Advert(1).Title.substr(0, 3), "New");
    EXPECT_EQ(Breaks::Split(1)->LoadedLogDate, kDec7);
    EXPECT_FALSE(Breaks::State().LogCopyInProgress);
    const std::string early = Full("09:00:00", "NE", 3, "Early", 30, "") + "\r\n\r\n";
    EXPECT_EQ(TestSupport::ReadBytes(DestLog(kDec7)).substr(0, early.size()), early);
}

TEST_F(LogIntake, NothingIsCheckedWhileABreakPlaysOrACopyRuns) {
    Deliver(kDec7, Full("10:00:00", "NE", 1, "", 30, "") + "\n");
    ASSERT_TRUE(ZEL_Common::OpenLogForDate(1, kDec7));
    Breaks::State().BreakRunning = true;
    EXPECT_FALSE(engine->CheckForNewLogFile(false));
    Breaks::State().BreakRunning = false;
    Breaks::State().LogCopyInProgress = true;
    EXPECT_FALSE(engine->CheckForNewLogFile(false));
    Breaks::State().LogCopyInProgress = false;
    EXPECT_FALSE(engine->CopyNewLogFile(SourceDir() + "/NONE.LOG"));
    EXPECT_NE(Breaks::Split(1)->LogFileNumber, 0); // a missing source closes nothing
}

TEST_F(LogIntake, AFailedWriteLeavesTheOldWorkingLogIntact) {
    TestSupport::ScriptedBoxes boxes;
    AddCart(1, 30, 28);
    AddCart(9, 30, 28);
    Deliver(kDec7, Full("10:00:00", "NE", 1, "Old", 30, "") + "\n");
    TestSupport::WriteBytes(DestLog(kDec7 + 1),
                            Full("06:30:00", "NE", 9, "Tomorrow", 30, "") + "\n");
    engine->SetCurrentAdBreakTime(kDec7, 36000, false, false);
    ASSERT_EQ(engine->Break().AdvertCount, 1);
    const std::string working = Breaks::Split(1)->WorkingLogPath;
    const std::string before = TestSupport::ReadBytes(working);
    // A new delivery far longer than any file may grow to below.
    std::vector<std::string> lines;
    for (int k = 0; k < 40; ++k)
        lines.push_back(Full("10:00:00", "NE", 1, "New", 30, "R" + std::to_string(k)));
    Redeliver(kDec7, Join(lines, "\n"));
    ASSERT_FALSE(engine->CheckForNewLogFile(false)); // seen once, not settled yet
    LetSourcesSettle();
    // No file may grow past 1 KB (this holds for root too): the error line fits, the new copy
    // cannot be written and the delivery is refused with a box.
    // The timer meets the failure again and again: it is said once, with its cause.
    TestSupport::ToldProblems told;
    int copies = 0;
    {
        TestSupport::FileSizeLimit full(1024);
        ASSERT_TRUE(full.Set());
        for (int check = 0; check < 4; ++check)
            copies += engine->CheckForNewLogFile(false) ? 1 : 0;
    }
    EXPECT_EQ(copies, 0);
    EXPECT_EQ(TestSupport::ReadBytes(working), before);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_NE(boxes.Shown()[0].prompt.find("local log file to copy into\nThe error was: File too "
                                           "large"),
              std::string::npos)
        << boxes.Shown()[0].prompt;
    EXPECT_EQ(told.Count("local log file to copy into: File too large"), 1u);
    EXPECT_FALSE(Breaks::State().LogCopyInProgress);
    for (const auto& entry : fs::directory_iterator(fs::path(working).parent_path()))
        EXPECT_EQ(entry.path().string().find(".LOG."), std::string::npos) << entry.path();

    // The split is as it was: the working log open, the same break cued, one error line.
    const ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    EXPECT_TRUE(Platform::FileNumbers::IsOpen(split.LogFileNumber));
    EXPECT_EQ(split.WorkingLogPath, working);
    EXPECT_EQ(split.LoadedLogDate, kDec7);
    EXPECT_EQ(split.CuedBreakPos, 1);
    EXPECT_EQ(split.CuedBreakDate, kDec7);
    EXPECT_FLOAT_EQ(split.CuedBreakTime, 36000);
    const std::string errors = ErrorFileText();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find("]Copying the new log file during CopyNewLogFile: File too large"),
              std::string::npos);

    // Once the folder takes it, the delivery goes in and the return is said once.
    EXPECT_TRUE(engine->CheckForNewLogFile(false));
    EXPECT_EQ(TestSupport::ReadBytes(working), Join(lines, "\r\n"));
    EXPECT_EQ(told.Count("was copied in again"), 1u);
    EXPECT_EQ(boxes.Count(), 1u);
    engine->PlayBreak(false);
    ASSERT_EQ(players.plays.size(), 1u);
    EXPECT_EQ(players.plays[0].second, 1);
    EXPECT_EQ(split.LoadedLogDate, kDec7);
}
