#include "BreaksFixture.h"

#include "breaks/ZEL_Common.h"
#include "platform/FileNumbers.h"
#include "platform/Files.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

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
    TestSupport::WriteBytes(SourceLog(kDec7), first);
    engine->SetCurrentAdBreakTime(kDec7, 36000, false, false);
    ASSERT_EQ(engine->Break().AdvertCount, 1);
    // Nothing new: the source is not later than the working copy.
    EXPECT_TRUE(engine->CheckForNewLogFile(false));
    EXPECT_TRUE(sender.sent.empty());

    // A new delivery with an extra break in front and two adverts at 10:00.
    TestSupport::WriteBytes(SourceLog(kDec7), Join({Full("09:00:00", "NE", 3, "Early", 30, ""), "",
                                                    Full("10:00:00", "NE", 1, "New", 30, ""),
                                                    Full("10:00:00", "NE", 2, "New", 30, "")},
                                                   "\n"));
    fs::last_write_time(SourceLog(kDec7), fs::file_time_type::clock::now() + std::chrono::hours(1));
    // Copied once it is the same at two checks.
    EXPECT_FALSE(engine->CheckForNewLogFile(false));
    EXPECT_TRUE(sender.sent.empty());
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
    TestSupport::WriteBytes(SourceLog(kDec7), Full("10:00:00", "NE", 1, "", 30, "") + "\n");
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
    TestSupport::WriteBytes(SourceLog(kDec7), Full("10:00:00", "NE", 1, "Old", 30, "") + "\n");
    ASSERT_TRUE(ZEL_Common::OpenLogForDate(1, kDec7));
    const std::string working = Breaks::Split(1)->WorkingLogPath;
    const std::string before = TestSupport::ReadBytes(working);
    ASSERT_FALSE(before.empty());
    TestSupport::WriteBytes(SourceLog(kDec7), Full("09:00:00", "NE", 2, "New", 30, "") + "\n" +
                                                  Full("10:00:00", "NE", 1, "New", 30, "") + "\n");
    // No file may grow past 16 bytes (this holds for root too): the new copy cannot be
    // written and the delivery is refused with a box.
    struct rlimit limit {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    struct rlimit small = limit;
    small.rlim_cur = 16;
    auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool copied = engine->CopyNewLogFile(SourceLog(kDec7));
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(copied);
    EXPECT_EQ(TestSupport::ReadBytes(working), before);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_NE(boxes.Shown()[0].prompt.find("local log file to copy into"), std::string::npos);
    EXPECT_FALSE(Breaks::State().LogCopyInProgress);
    for (const auto& entry : fs::directory_iterator(fs::path(working).parent_path()))
        EXPECT_EQ(entry.path().string().find(".LOG."), std::string::npos) << entry.path();
}
