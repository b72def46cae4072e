#include "BreaksFixture.h"

#include "breaks/ZEL_Common.h"
#include "breaks/ZEL_Specific.h"
#include "core/KeptLines.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace BreaksTest;
using namespace ZEL_Common;
namespace fs = std::filesystem;

using LogFiles = SplitTest;

TEST_F(LogFiles, NamesFromDatePatternWordAndExtension) {
    ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    EXPECT_EQ(BuildLogFileName(1, kDec7, false), "261207.LOG");
    split.PreSuffix = "AD";
    EXPECT_EQ(BuildLogFileName(1, kDec7, false), "AD261207.LOG");
    EXPECT_EQ(BuildLogFileName(1, kDec7, true), "AD261207.REC");
    split.Suffix = 1;
    EXPECT_EQ(BuildLogFileName(1, kDec7, false), "261207AD.LOG");
    split.DateFormat = "DDMMYYYY";
    EXPECT_EQ(BuildLogFileName(1, kDec7, false), "07122026AD.LOG");
    split.DateFormat = "DDDMMM";
    EXPECT_EQ(BuildLogFileName(1, kDec7, false), "MonDecAD.LOG");
    EXPECT_EQ(GetSourceLogPath(1, kDec7, true), SourceDir() + "/MonDecAD.REC");
    EXPECT_EQ(GetDestinationLogPath(1, kDec7, false), DestDir() + "/MonDecAD.LOG");
    // Only split 1 exists.
    EXPECT_EQ(BuildLogFileName(2, kDec7, false), "");
    EXPECT_FALSE(OpenLogForDate(2, kDec7));
}

TEST_F(LogFiles, OpenLogForDatePrefersTheDestinationCopy) {
    TestSupport::WriteBytes(DestLog(kDec7), Full("10:00:00", "NE", 1, "Dest", 30, "") + "\r\n");
    Deliver(kDec7, Full("11:00:00", "NE", 1, "Src", 30, "") + "\r\n");
    ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    ASSERT_TRUE(OpenLogForDate(1, kDec7));
    EXPECT_EQ(split.LoadedLogDate, kDec7);
    EXPECT_EQ(split.WorkingLogPath, DestLog(kDec7));
    EXPECT_NE(split.LogFileNumber, 0);
    EXPECT_GT(split.LogFileStamp.Day, 0);
    EXPECT_FLOAT_EQ(engine->GetAdBreakTime(1), 36000);
}

TEST_F(LogFiles, MissingDestinationIsFetchedFromTheSource) {
    Deliver(kDec7, Full("11:00:00", "NE", 1, "Src", 30, "") + "\n" +
                       Full("11:00:00", "NE", 2, "Src", 30, ""));
    ASSERT_TRUE(OpenLogForDate(1, kDec7));
    // The working copy gets CR LF line ends, the last line too.
    EXPECT_EQ(TestSupport::ReadBytes(DestLog(kDec7)),
              Full("11:00:00", "NE", 1, "Src", 30, "") + "\r\n" +
                  Full("11:00:00", "NE", 2, "Src", 30, "") + "\r\n");
    EXPECT_EQ(Breaks::Split(1)->LoadedLogDate, kDec7);
    EXPECT_FALSE(Breaks::State().LogCopyInProgress);
}

TEST_F(LogFiles, NamesResolveIgnoringCase) {
    TestSupport::WriteBytes(DestDir() + "/261207.log", Full("10:00:00", "NE", 1, "", 30, ""));
    ASSERT_TRUE(OpenLogForDate(1, kDec7));
    EXPECT_FLOAT_EQ(engine->GetAdBreakTime(1), 36000);
}

TEST_F(LogFiles, DayWithNoLogKeepsTheOpenLog) {
    ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    // Nothing open yet: no log anywhere gives False and no loaded date.
    EXPECT_FALSE(OpenLogForDate(1, kDec7));
    EXPECT_EQ(split.LoadedLogDate, 0);
    EXPECT_EQ(split.LogFileNumber, 0);

    TestSupport::WriteBytes(DestLog(kDec7), Full("10:00:00", "NE", 1, "", 30, "") + "\r\n");
    ASSERT_TRUE(OpenLogForDate(1, kDec7));
    const int16_t number = split.LogFileNumber;
    const GeneralFunctions::TimeStamp stamp = split.LogFileStamp;
    EXPECT_FALSE(OpenLogForDate(1, kDec7 + 1));
    EXPECT_EQ(split.LoadedLogDate, kDec7);
    EXPECT_EQ(split.WorkingLogPath, DestLog(kDec7));
    EXPECT_EQ(split.LogFileNumber, number);
    EXPECT_EQ(split.LogFileStamp.Day, stamp.Day);
    EXPECT_FLOAT_EQ(engine->GetAdBreakTime(1), 36000);
}

TEST_F(LogFiles, FailedCopyOfANewDayReopensTheOldLog) {
    TestSupport::WriteBytes(DestLog(kDec7), Full("10:00:00", "NE", 1, "", 30, "") + "\r\n");
    ASSERT_TRUE(OpenLogForDate(1, kDec7));
    ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    split.CuedBreakPos = 1;
    split.CuedBreakTime = 36000;
    // The source copy exists but a folder stands where the new working copy should go, so
    // the copy fails after the old log was closed.
    Deliver(kDec7 + 1, Full("09:00:00", "NE", 1, "", 30, "") + "\n");
    fs::create_directories(DestLog(kDec7 + 1));
    TestSupport::ScriptedBoxes boxes;
    EXPECT_FALSE(OpenLogForDate(1, kDec7 + 1));
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(split.LoadedLogDate, kDec7);
    EXPECT_EQ(split.WorkingLogPath, DestLog(kDec7));
    EXPECT_NE(split.LogFileNumber, 0);
    EXPECT_EQ(split.CuedBreakPos, 1);
    EXPECT_FLOAT_EQ(engine->GetAdBreakTime(1), 36000);
}

TEST_F(LogFiles, OpeningANewLogClosesTheOldOne) {
    TestSupport::WriteBytes(DestLog(kDec7), Full("10:00:00", "NE", 1, "", 30, "") + "\r\n");
    TestSupport::WriteBytes(DestLog(kDec7 + 1), Full("11:00:00", "NE", 1, "", 30, "") + "\r\n");
    ASSERT_TRUE(OpenLogForDate(1, kDec7));
    ASSERT_TRUE(OpenLogForDate(1, kDec7 + 1));
    ASSERT_TRUE(OpenLogForDate(1, kDec7));
    EXPECT_EQ(OpenFileCount(), 1);
    EXPECT_FLOAT_EQ(engine->GetAdBreakTime(1), 36000);
}

TEST_F(LogFiles, EmptyOrUnreadableLogs) {
    ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    TestSupport::WriteBytes(DestLog(kDec7), "");
    EXPECT_FALSE(OpenLogFile(1, DestLog(kDec7)));
    EXPECT_EQ(split.LogFileNumber, 0);
    EXPECT_FALSE(OpenLogFile(1, DestDir() + "/MISSING.LOG"));

    // An unreadable log: the open failure goes to the day's error file and no log is open.
    // Run in a child without root rights, so the file's permissions hold.
    std::string locked = DestDir() + "/LOCKED.LOG";
    TestSupport::WriteBytes(locked, "x\r\n");
    fs::permissions(locked, fs::perms::none);
    fs::permissions(dir.Path(), fs::perms::all);
    fs::permissions(SourceDir(), fs::perms::all);
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && setuid(65534) != 0) std::_Exit(2);
            bool opened = OpenLogFile(1, locked);
            std::_Exit(!opened && split.LogFileNumber == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_NE(ErrorFileText().find("[Code:E75]Opening the log file during OpenLogFile"),
              std::string::npos)
        << ErrorFileText();
}

TEST_F(LogFiles, ErrorFileLinesAreTimeStampedBesideTheReconcileFile) {
    ZEL_Specific::WriteErrorLog(1, "[Code:E53]Opening the log file during OpenLogFile");
    EXPECT_EQ(ZEL_Specific::ErrorLogFile(1), SourceDir() + "/261207.ERR");
    EXPECT_EQ(ErrorFileText(), "07/12/2026 09:00:00 [Code:E53]Opening the log file during "
                               "OpenLogFile\r\n");
    MainSettings::Settings().General.LogRecFileInDestDirectory = 1;
    EXPECT_EQ(ZEL_Specific::ErrorLogFile(1), DestDir() + "/261207.ERR");
}

TEST_F(LogFiles, LinesKeptPastMidnightGoToTheirOwnDaysFilesWithTheirOwnTimes) {
    qputenv("VNTZEL_SYSTEMDRIVE", QByteArray::fromStdString(dir.Path()));
    Platform::Clock::SetNow(kDec7, 86398.0);
    const GeneralFunctions::TimeStamp started{kDec7, 86390.0f};
    ZEL_Specific::WriteReconcileEntry(1, started, 41, "Before", 8, "A");
    ZEL_Specific::WriteErrorLog(1, "[Code:E53]Opening the log file during OpenLogFile");
    const std::string rec = ZEL_Specific::ReconcileFile(1), err = ZEL_Specific::ErrorLogFile(1);
    const std::string recBefore = TestSupport::ReadBytes(rec);
    const std::string errBefore = TestSupport::ReadBytes(err);
    {
        // The day's files are at a size limit: they refuse lines, and the new day's take them.
        TestSupport::FileSizeLimit full(64);
        ASSERT_TRUE(full.Set());
        ZEL_Specific::WriteReconcileEntry(1, started, 42, "Kept", 8, "A");
        ZEL_Specific::WriteErrorLog(1, "[Code:ADT1] kept");
        Platform::Clock::SetNow(kDec7 + 1, 3.0);
        ZEL_Specific::WriteReconcileEntry(1, {kDec7 + 1, 1.0f}, 43, "New day", 2, "B");
        ZEL_Specific::WriteErrorLog(1, "[Code:ADT1] new");
        KeptLines::RetryNow();
        EXPECT_EQ(KeptLines::Count(), 2u);
    }
    KeptLines::RetryNow();
    EXPECT_EQ(KeptLines::Count(), 0u);
    EXPECT_EQ(TestSupport::ReadBytes(rec),
              recBefore + "23:59:50|NE  |      42|Kept                          |   8|A\r\n");
    EXPECT_EQ(TestSupport::ReadBytes(err), errBefore + "07/12/2026 23:59:58 [Code:ADT1] kept\r\n");
    EXPECT_EQ(TestSupport::ReadBytes(ZEL_Specific::ReconcileFile(1)),
              "00:00:01|NE  |      43|New day                       |   2|B\r\n");
    EXPECT_EQ(TestSupport::ReadBytes(ZEL_Specific::ErrorLogFile(1)),
              "08/12/2026 00:00:03 [Code:ADT1] new\r\n");
    qunsetenv("VNTZEL_SYSTEMDRIVE");
}

TEST_F(LogFiles, BreakStartOfAPosition) {
    std::vector<std::string> lines = {Full("10:00:00", "NE", 1, "", 30, ""),
                                      Full("10:00:00", "NE", 2, "", 30, ""),
                                      "",
                                      Full("11:00:00", "NE", 3, "", 30, ""),
                                      "   ",
                                      Full("12:00:00", "NE", 4, "", 30, ""),
                                      Full("12:00:00", "NE", 5, "", 30, "")};
    TestSupport::WriteBytes(DestLog(kDec7), Join(lines, "\r\n"));
    EXPECT_EQ(GetAdBreakStartFilePos(1, 5), 0); // no log open
    ASSERT_TRUE(OpenLogForDate(1, kDec7));
    const int32_t len = static_cast<int32_t>(lines[0].size()) + 2;
    const int32_t third = 2 * len + 2 + len + 5 + 1;
    EXPECT_EQ(GetAdBreakStartFilePos(1, 0), 0);
    EXPECT_EQ(GetAdBreakStartFilePos(1, 1), 1);
    EXPECT_EQ(GetAdBreakStartFilePos(1, len + 10), 1);
    EXPECT_EQ(GetAdBreakStartFilePos(1, third + len + 3), third);
    EXPECT_FLOAT_EQ(engine->GetAdBreakTime(third), 12 * 3600);
}

TEST_F(LogFiles, DataDirectoriesAreCreatedOnce) {
    TestSupport::ScriptedBoxes boxes;
    fs::create_directories(dir.File("data/SCHEDULE"));
    CreateDataDirectories(dir.File("data"));
    EXPECT_TRUE(fs::is_directory(dir.File("data/USERS")));
    EXPECT_TRUE(fs::is_directory(dir.File("data/SCHEDULE")));
    EXPECT_TRUE(fs::is_directory(dir.File("data/Logs")));
    EXPECT_EQ(boxes.Count(), 0u);

    // A base that is a file: each directory fails on its own, with its own warning.
    TestSupport::WriteBytes(dir.File("plain"), "x");
    CreateDataDirectories(dir.File("plain"));
    ASSERT_EQ(boxes.Count(), 3u);
    EXPECT_EQ(boxes.Shown()[0].prompt.rfind("There was an error whilst creating the USERS "
                                            "directory in " +
                                                dir.File("plain") + "\\USERS\nError : ",
                                            0),
              0u);
    EXPECT_NE(boxes.Shown()[1].prompt.find("Schedules directory"), std::string::npos);
    EXPECT_NE(boxes.Shown()[2].prompt.find("\\LOGS\nError : "), std::string::npos);
    EXPECT_EQ(boxes.Shown()[2].buttons, Platform::vbExclamation);
}
