#include "support/TestSupport.h"

#include "platform/Files.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

using namespace Platform;

TEST(Files, CaseInsensitiveFallbackAtEveryLevel) {
    TestSupport::ScratchDir dir;
    std::filesystem::create_directories(dir.File("Audio/PART1"));
    TestSupport::WriteBytes(dir.File("Audio/PART1/Carts1.LST"), "x");
    TestSupport::WriteBytes(dir.File("Audwall.ini"), "y");

    EXPECT_EQ(ResolveExisting(dir.File("audio\\part1\\CARTS1.lst")),
              dir.File("Audio/PART1/Carts1.LST"));
    EXPECT_EQ(ResolveExisting(dir.File("AUDWALL.INI")), dir.File("Audwall.ini"));
    EXPECT_TRUE(FileExists(dir.File("AUDWALL.INI")));
    EXPECT_TRUE(DirectoryExists(dir.File("audio/part1/")));
    EXPECT_FALSE(FileExists(dir.File("audio")));
    // No match keeps the exact name asked for, so a new file gets it.
    EXPECT_EQ(ResolveExisting(dir.File("Audio\\New.TXT")), dir.File("Audio/New.TXT"));
    EXPECT_EQ(ResolveExisting(dir.File("Missing/x")), dir.File("Missing/x"));
}

TEST(Files, JoinAndSeparators) {
    EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/a/", "/b"), "/a/b");
    EXPECT_EQ(JoinPath("/a\\", "b"), "/a\\b");
    EXPECT_EQ(JoinPath("", "b"), "b");
    EXPECT_EQ(HostPath("C:\\x\\y.wav"), "C:/x/y.wav");
}

TEST(Files, ErrnoMapsToRunTimeErrors) {
    EXPECT_EQ(ErrorNumberOfErrno(ENOENT), 53);
    EXPECT_EQ(ErrorNumberOfErrno(EACCES), 75);
    EXPECT_EQ(ErrorNumberOfErrno(ENOSPC), 61);
    EXPECT_EQ(ErrorNumberOfErrno(ENOTDIR), 76);
    EXPECT_EQ(ErrorNumberOfErrno(0), 0);
    EXPECT_EQ(RunTimeErrorText(53), "File not found");
    EXPECT_EQ(RunTimeErrorText(61), "Disk full");
}

TEST(Files, WindowsFolderFollowsEnvironment) {
    TestSupport::ScratchDir dir;
    qputenv("VNTZEL_WINDIR", QByteArray::fromStdString(dir.File("win/")));
    EXPECT_EQ(WindowsFolder(), dir.File("win"));
    EXPECT_TRUE(DirectoryExists(dir.File("win")));
    qunsetenv("VNTZEL_WINDIR");
    qputenv("VNTZEL_APPDIR", "/opt/vntzel");
    EXPECT_EQ(AppFolder(), "/opt/vntzel");
    qunsetenv("VNTZEL_APPDIR");
    EXPECT_EQ(TempFolder().back(), '/');
}
