#include "support/TestSupport.h"

#include "platform/Files.h"
#include "platform/WholeFile.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <pthread.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace Platform;

namespace {
size_t OpenDescriptors() {
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return static_cast<size_t>(std::distance(begin(fds), end(fds)));
}
} // namespace

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
    std::vector<Failure> failures{Failure{dir.Path(), EISDIR}, Failure{"/proc/self/mem", EIO},
                                  Failure{dir.File("missing"), ENOENT}};
    // A file larger than memory can hold: a sparse one larger than the address space.
#ifndef __SANITIZE_ADDRESS__ // whose allocator ends the process instead of failing
    const std::string huge = "/dev/shm/vntzel-huge-" + std::to_string(::getpid());
    const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const bool sparse = fd >= 0 && ::ftruncate(fd, off_t{1} << 50) == 0;
    if (fd >= 0) ::close(fd);
    if (sparse) failures.push_back({huge, ENOMEM});
#endif
    const size_t descriptors = OpenDescriptors();
    for (const Failure& f : failures) {
        bytes = "kept";
        errno = 0;
        EXPECT_FALSE(ReadWholeFile(f.path, bytes)) << f.path;
        EXPECT_EQ(errno, f.error) << f.path;
        EXPECT_EQ(bytes, "kept") << f.path;
        EXPECT_EQ(OpenDescriptors(), descriptors) << f.path;
    }
#ifndef __SANITIZE_ADDRESS__
    ::unlink(huge.c_str());
    if (!sparse) std::cout << "note: /dev/shm takes no sparse file of a petabyte\n";
#endif
}

TEST(Files, AWholeFileReadCarriesOnThroughSignals) {
    TestSupport::ScratchDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Without SA_RESTART a signal ends a blocked read with EINTR. A reader that gave up would
    // leave the writer writing to no one: SIGPIPE is ignored meanwhile.
    struct sigaction quiet = {};
    struct sigaction oldUsr1 = {};
    struct sigaction oldPipe = {};
    quiet.sa_handler = [](int) {};
    sigemptyset(&quiet.sa_mask);
    ASSERT_EQ(::sigaction(SIGUSR1, &quiet, &oldUsr1), 0);
    quiet.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGPIPE, &quiet, &oldPipe), 0);
    const pthread_t reader = ::pthread_self();
    std::thread writer([&] {
        const int fd = ::open(fifo.c_str(), O_WRONLY); // waits for the reader
        if (fd < 0) return;
        static_cast<void>(::write(fd, "first ", 6));
        for (int i = 0; i < 20; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ::pthread_kill(reader, SIGUSR1);
        }
        static_cast<void>(::write(fd, "second", 6));
        ::close(fd);
    });
    std::string bytes;
    const bool read = ReadWholeFile(fifo, bytes);
    writer.join();
    ::sigaction(SIGUSR1, &oldUsr1, nullptr);
    ::sigaction(SIGPIPE, &oldPipe, nullptr);
    EXPECT_TRUE(read) << std::strerror(errno);
    EXPECT_EQ(bytes, "first second");
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
