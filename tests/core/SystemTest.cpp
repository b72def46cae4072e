#include "support/TestSupport.h"

#include "core/GeneralFunctions.h"

#include <QLineEdit>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

using namespace GeneralFunctions;
namespace fs = std::filesystem;

namespace {
constexpr int32_t kDay = 46363;
}

TEST(SystemHelpers, SyncClockToNearestHour) {
    struct Case {
        double now;
        int16_t offset;
        int32_t day;
        double seconds;
    };
    for (const Case& c :
         {Case{23 * 3600 + 40 * 60, 0, kDay + 1, 0}, Case{10 * 60, -5, kDay - 1, 86395},
          Case{10 * 3600 + 29 * 60 + 59, 0, kDay, 10 * 3600},
          Case{10 * 3600 + 30 * 60, 90, kDay, 11 * 3600 + 90}}) {
        TestSupport::FrozenClock clock(kDay, c.now);
        SyncClockToHour(c.offset);
        EXPECT_EQ(Platform::Clock::Now().day, c.day) << c.now;
        EXPECT_DOUBLE_EQ(Platform::Clock::Now().seconds, c.seconds) << c.now;
    }
}

TEST(SystemHelpers, MinMaxClampAndPointNear) {
    EXPECT_EQ(MinLong(3, -2), -2);
    EXPECT_EQ(MaxLong(3, -2), 3);
    EXPECT_EQ(MinDouble(1.5, 2.5), 1.5);
    EXPECT_EQ(MaxDouble(1.5, 2.5), 2.5);
    EXPECT_EQ(ClampLong(5, 10, 1), 1); // Low above High gives High
    EXPECT_EQ(ClampLong(5, 1, 10), 5);
    EXPECT_EQ(ClampLong(-5, 1, 10), 1);
    EXPECT_EQ(ClampDouble(11.5, 1, 10), 10);
    EXPECT_TRUE(PointNear(10, 10, 12, 8, 2));
    EXPECT_FALSE(PointNear(10, 10, 12.5, 10, 2));
    EXPECT_FALSE(PointNear(10, 13, 10, 10, 2));
    EXPECT_EQ(GetLongValue(-7), -7);
}

TEST(SystemHelpers, DirectoryExistsCompletesPathsAndTraces) {
    TestSupport::ScratchDir dir;
    qputenv("VNTZEL_SYSTEMDRIVE", QByteArray::fromStdString(dir.Path()));
    TestSupport::FrozenClock clock(kDay, 3600);
    State().DebugMode = -1;
    State().traceDepth = 0;
    fs::create_directories(dir.File("Data"));
    TestSupport::WriteBytes(dir.File("Data/file.txt"), "x");
    EXPECT_TRUE(DirectoryExists(dir.File("data")));
    EXPECT_TRUE(DirectoryExists(dir.File("DATA/FILE.TXT"))); // an existing file counts too
    EXPECT_FALSE(DirectoryExists(dir.File("none")));
    EXPECT_FALSE(DirectoryExists("C:"));
    EXPECT_FALSE(DirectoryExists("\\\\srv\\share"));
    EXPECT_FALSE(DirectoryExists(""));
    std::string log = TestSupport::ReadBytes(DebugTraceFile(kDay));
    EXPECT_NE(log.find("01:00:00     Call Dir(C:\\, vbDirectory)\r\n"), std::string::npos);
    EXPECT_NE(log.find("01:00:00     Call Dir(\\\\srv\\share\\, vbDirectory)\r\n"),
              std::string::npos);
    EXPECT_NE(log.find("01:00:00 End DirectoryExists (True)\r\n"), std::string::npos);
    std::string last = "01:00:00 Start DirectoryExists\r\n01:00:00 End DirectoryExists (False)\r\n";
    ASSERT_GE(log.size(), last.size());
    EXPECT_EQ(log.substr(log.size() - last.size()), last);
    EXPECT_EQ(State().traceDepth, 0);
    State().DebugMode = 0;
    qunsetenv("VNTZEL_SYSTEMDRIVE");
}

TEST(SystemHelpers, WaitSecondsRunsEventsUntilTimeOrAbort) {
    TestSupport::FrozenClock clock(kDay, 100);
    int ticks = 0;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        Platform::Clock::Advance(0.5);
    });
    timer.start();
    bool abort = false;
    WaitSeconds(2.0, abort);
    EXPECT_GE(Platform::Clock::Now().seconds, 102.0);
    EXPECT_GE(ticks, 4);

    QObject::disconnect(&timer, nullptr, nullptr, nullptr);
    QObject::connect(&timer, &QTimer::timeout, [&] { abort = true; });
    double before = Platform::Clock::Now().seconds;
    WaitSeconds(1000.0, abort);
    EXPECT_TRUE(abort);
    EXPECT_EQ(Platform::Clock::Now().seconds, before);
}

TEST(SystemHelpers, ShellFileOperationCopiesAndMoves) {
    TestSupport::ScratchDir dir;
    TestSupport::ScriptedBoxes boxes({Platform::vbNo});
    fs::create_directories(dir.File("Audio"));
    TestSupport::WriteBytes(dir.File("Audio/Carts1.LST"), "one");
    TestSupport::WriteBytes(dir.File("Audio/Carts2.LST"), "two");
    TestSupport::WriteBytes(dir.File("Audio/notes.txt"), "n");

    // Into a folder that does not exist yet, without confirmation.
    EXPECT_EQ(ShellFileOperation(dir.File("audio\\carts1.lst"), dir.File("Backups/2026-12-07/"),
                                 "Backing up", 0, false, false),
              0);
    EXPECT_EQ(TestSupport::ReadBytes(dir.File("Backups/2026-12-07/Carts1.LST")), "one");
    EXPECT_EQ(ShellFileOperation(dir.File("Audio/*.lst"), dir.File("Backups/2026-12-07"),
                                 "Backing up", 0, false, false),
              0);
    EXPECT_EQ(TestSupport::ReadBytes(dir.File("Backups/2026-12-07/Carts2.LST")), "two");
    EXPECT_FALSE(fs::exists(dir.File("Backups/2026-12-07/notes.txt")));
    EXPECT_TRUE(fs::exists(dir.File("Audio/Carts2.LST")));

    // A move to a new name; the source is gone.
    EXPECT_EQ(ShellFileOperation(dir.File("Audio/notes.txt"), dir.File("Moved/n.txt"), "", 0, true,
                                 false),
              0);
    EXPECT_EQ(TestSupport::ReadBytes(dir.File("Moved/n.txt")), "n");
    EXPECT_FALSE(fs::exists(dir.File("Audio/notes.txt")));

    // With confirmation, a No keeps the existing file.
    TestSupport::WriteBytes(dir.File("Audio/Carts1.LST"), "changed");
    EXPECT_EQ(ShellFileOperation(dir.File("Audio/Carts1.LST"), dir.File("Backups/2026-12-07"), "",
                                 0, false, true),
              0);
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(TestSupport::ReadBytes(dir.File("Backups/2026-12-07/Carts1.LST")), "one");
    EXPECT_EQ(ShellFileOperation(dir.File("Audio/none.wav"), dir.File("x"), "", 0, false, false),
              53);

    // A copy over a file that the disk cannot take whole fails and leaves the old file whole.
    TestSupport::WriteBytes(dir.File("Audio/Carts1.LST"), std::string(4096, 'c'));
    {
        TestSupport::FileSizeLimit full(1024);
        ASSERT_TRUE(full.Set());
        EXPECT_NE(ShellFileOperation(dir.File("Audio/Carts1.LST"), dir.File("Backups/2026-12-07"),
                                     "", 0, false, false),
                  0);
    }
    EXPECT_EQ(TestSupport::ReadBytes(dir.File("Backups/2026-12-07/Carts1.LST")), "one");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("Backups/2026-12-07")),
                            fs::directory_iterator()),
              2)
        << "no temporary file left";
}

TEST(SystemHelpers, SelectAllText) {
    QLineEdit edit;
    edit.setText("12:30:00");
    edit.setCursorPosition(3);
    SelectAllText(&edit);
    EXPECT_EQ(edit.selectionStart(), 0);
    EXPECT_EQ(edit.selectedText(), "12:30:00");
    SelectAllText(nullptr);
}
