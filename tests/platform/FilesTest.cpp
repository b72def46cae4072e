#include "support/TestSupport.h"

#include "platform/Files.h"
#include "platform/WholeFile.h"

#include <cerrno>
#include <chrono>
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

    // A folder's listing is remembered between lookups, yet a file added, renamed or removed
    // after a lookup is seen by the next one.
    namespace fs = std::filesystem;
    const fs::path part = dir.File("Audio/PART1");
    const auto settle = [&] {
        fs::last_write_time(part, fs::file_time_type::clock::now() - std::chrono::hours(1));
    };
    settle();
    EXPECT_FALSE(FileExists(dir.File("audio/part1/NOTES.RTF")));
    EXPECT_FALSE(FileExists(dir.File("audio/part1/NOTES.RTF")));
    TestSupport::WriteBytes(dir.File("Audio/PART1/Notes.rtf"), "n");
    EXPECT_TRUE(FileExists(dir.File("audio/part1/NOTES.RTF")));
    settle();
    EXPECT_TRUE(FileExists(dir.File("audio/part1/NOTES.RTF")));
    fs::rename(dir.File("Audio/PART1/Notes.rtf"), dir.File("Audio/PART1/Other.rtf"));
    EXPECT_FALSE(FileExists(dir.File("audio/part1/NOTES.RTF")));
    EXPECT_EQ(ResolveExisting(dir.File("audio/part1/other.RTF")),
              dir.File("Audio/PART1/Other.rtf"));
}

TEST(Files, WholeFileReadsEveryByteAndAFailedReadReturnsFalse) {
    TestSupport::ScratchDir dir;
    std::string big(200000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 + i / 251);
    TestSupport::WriteBytes(dir.File("big.bin"), big);
    TestSupport::WriteBytes(dir.File("empty"), "");
    std::string bytes = "old";
    ASSERT_TRUE(ReadWholeFile(dir.File("big.bin"), bytes));
    EXPECT_EQ(bytes, big);
    EXPECT_TRUE(ReadWholeFile(dir.File("empty"), bytes));
    EXPECT_EQ(bytes, "");
    // A failed read is a false return with errno kept, never an exception, and leaves the
    // bytes as they were: a folder opens but reads EISDIR; /proc/self/mem reads EIO where
    // nothing is mapped, as a failing disk does.
    struct Failure {
        std::string path;
        int error;
    };
    for (const Failure& f : {Failure{dir.Path(), EISDIR}, Failure{"/proc/self/mem", EIO},
                             Failure{dir.File("missing"), ENOENT}}) {
        bytes = "kept";
        errno = 0;
        EXPECT_FALSE(ReadWholeFile(f.path, bytes)) << f.path;
        EXPECT_EQ(errno, f.error) << f.path;
        EXPECT_EQ(bytes, "kept") << f.path;
    }
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
