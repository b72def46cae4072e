#include "BreaksFixture.h"

#include "breaks/LogFile.h"
#include "breaks/ZEL_Common.h"
#include "platform/Files.h"

#include <filesystem>

using namespace BreaksTest;
namespace fs = std::filesystem;

TEST(LogFileReader, LineEndsAndPositions) {
    TestSupport::ScratchDir dir;
    TestSupport::WriteBytes(dir.File("a.log"), std::string("a\r\nb\nx\ry\n\nlast"));
    LogFile file;
    ASSERT_EQ(file.Open(dir.File("A.LOG")), 0); // the name resolves ignoring case
    EXPECT_EQ(file.Position(), 1);
    EXPECT_EQ(file.ReadLine(), "a");
    EXPECT_EQ(file.Position(), 4);
    EXPECT_EQ(file.ReadLine(), "b");
    EXPECT_EQ(file.ReadLine(), "xy"); // a CR alone ends nothing and is dropped
    EXPECT_EQ(file.ReadLine(), "");
    EXPECT_FALSE(file.AtEnd());
    EXPECT_EQ(file.ReadLine(), "last");
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(file.ReadLine(), "");
    file.Seek(4);
    EXPECT_EQ(file.ReadLine(), "b");
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.Open(dir.File("missing.log")), Platform::errFileNotFound);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.ReadLine(), "");
}

using LogIntake = SplitTest;

TEST_F(LogIntake, NoFreeFileNumberOpensNothing) {
    TestSupport::WriteBytes(DestLog(kDec7), Full("10:00:00", "NE", 1, "", 30, "") + "\r\n");
    for (int16_t n = 1; n <= Breaks::kMaxFileNumber; ++n)
        ASSERT_EQ(Breaks::File(n)->Open(DestLog(kDec7)), 0);
    EXPECT_EQ(Breaks::FreeFile(), 0);
    EXPECT_FALSE(ZEL_Common::OpenLogFile(1, DestLog(kDec7)));
    EXPECT_EQ(Breaks::Split(1)->LogFileNumber, 0);
    EXPECT_FLOAT_EQ(engine->GetFileBreakLength(kDec7, 36000), 0);
    Breaks::File(7)->Close();
    EXPECT_EQ(Breaks::FreeFile(), 7);
    EXPECT_TRUE(ZEL_Common::OpenLogFile(1, DestLog(kDec7)));
    EXPECT_EQ(Breaks::Split(1)->LogFileNumber, 7);
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
