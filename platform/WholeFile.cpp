#include "platform/WholeFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

// Hands every byte of the open file, chunk by chunk, to take(data, size) until the end. False
// on a failed read or when take refuses a chunk.
template <typename Take> bool ReadChunks(int fd, Take take) {
    std::array<char, 1 << 16> buffer; // on the stack: a copy allocates nothing
    for (;;) {
        ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!take(buffer.data(), static_cast<size_t>(n))) return false;
    }
}

// Opens for reading, again when a signal comes first (a FIFO waits for its writer).
int OpenForReading(const std::string& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Closes on every way out, errno kept.
struct OpenFile {
    int fd;
    ~OpenFile() {
        const int cause = errno;
        if (fd >= 0) ::close(fd);
        errno = cause;
    }
};

// False on any short write (a full disk, a file size limit).
bool WriteAll(int fd, const char* bytes, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// The file's bytes on disk; a file that cannot be flushed counts as flushed.
bool SyncFile(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL;
}

// The folder's entries on disk; a file system that cannot flush a folder counts as flushed.
bool SyncFolder(const fs::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = SyncFile(fd);
    return ::close(fd) == 0 && ok;
}

// The mode the replacement gets: the old file's, else the usual one for a new file.
mode_t ModeFor(const fs::path& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) return old.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Every byte of the open file from on to fd. False on any failed read or short write.
bool CopyAll(int from, int fd) {
    return ReadChunks(from,
                      [&](const char* data, size_t size) { return WriteAll(fd, data, size); });
}

// Puts the old bytes back over the first written ones, and the old length if the file grew:
// within the blocks the file already had, so a full disk takes them.
void PutBack(int fd, const std::string& old, off_t written) {
    const size_t over =
        written < 0 ? old.size() : std::min(old.size(), static_cast<size_t>(written));
    if (::lseek(fd, 0, SEEK_SET) != 0 || !WriteAll(fd, old.data(), over)) return;
    if (written < 0 || static_cast<size_t>(written) > old.size())
        static_cast<void>(::ftruncate(fd, static_cast<off_t>(old.size())));
    static_cast<void>(::fsync(fd));
}

// Writes the existing file over in place: its owner and mode stay as they are. The old bytes
// are overwritten before the length is cut, so the file's own blocks are used first; a write
// cut short puts them back.
template <typename Fill> bool WriteInPlace(const fs::path& target, Fill fill) {
    std::string old;
    if (!ReadWholeFile(target.string(), old)) return false;
    int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = fill(fd);
    const off_t written = ::lseek(fd, 0, SEEK_CUR);
    ok = ok && ::ftruncate(fd, written) == 0;
    if (!ok) {
        const int cause = errno;
        PutBack(fd, old, written);
        ::close(fd);
        errno = cause;
        return false;
    }
    ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

// The replacement itself: fill writes the new contents to an open file.
template <typename Fill>
bool Replace(const std::string& path, WhenFolderIsClosed closed, Fill fill) {
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {
        fs::path real = fs::canonical(target, ec);
        if (!ec) target = real;
    }
    // A read-only file stays as it is, although its folder would let us replace it.
    if (fs::exists(target, ec) && ::access(target.c_str(), W_OK) != 0) return false;
    std::string temp = target.string() + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        // A folder we may not create files in: only a file that may be rewritten in place is.
        const bool folderClosed = errno == EACCES || errno == EPERM;
        if (!folderClosed || closed != WhenFolderIsClosed::WriteInPlace || !fs::exists(target, ec))
            return false;
        return WriteInPlace(target, fill);
    }
    bool ok = fill(fd);
    ok = ok && ::fchmod(fd, ModeFor(target)) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        const int cause = errno;
        std::remove(temp.c_str());
        errno = cause;
        return false;
    }
    // The new file is in place whatever the folder's flush says: callers must not take the old
    // one for still there.
    SyncFolder(target.parent_path());
    return true;
}

// Opens for appending, made when missing, again when a signal comes first.
int OpenForAppending(const std::string& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

} // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    const OpenFile file{OpenForReading(path)};
    if (file.fd < 0) return false;
    std::string contents;
    try {
        // The whole size at once: a file larger than memory fails here, before any read.
        struct stat info {};
        if (::fstat(file.fd, &info) == 0 && info.st_size > 0)
            contents.reserve(static_cast<size_t>(info.st_size));
        if (!ReadChunks(file.fd, [&](const char* data, size_t size) {
                contents.append(data, size);
                return true;
            }))
            return false;
    } catch (const std::exception&) { // bad_alloc, or length_error past the largest string
        errno = ENOMEM;
        return false;
    }
    bytes = std::move(contents);
    return true;
}

bool ReplaceWholeFile(const std::string& path, const std::string& bytes,
                      WhenFolderIsClosed closed) {
    return Replace(path, closed, [&](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

bool FlushFolderOf(const std::string& path) {
    return SyncFolder(fs::path(path).parent_path());
}

bool ReplaceWithCopy(const std::string& path, const std::string& source) {
    const OpenFile from{OpenForReading(source)};
    if (from.fd < 0) return false;
    return Replace(path, WhenFolderIsClosed::Fail, [&](int fd) { return CopyAll(from.fd, fd); });
}

bool AppendWhole(const std::string& path, const std::string& bytes, bool durable) {
    const OpenFile file{OpenForAppending(path)};
    struct stat before {};
    if (file.fd < 0 || ::fstat(file.fd, &before) != 0) return false;
    if (!WriteAll(file.fd, bytes.data(), bytes.size()) || (durable && !SyncFile(file.fd))) {
        const int cause = errno;
        static_cast<void>(::ftruncate(file.fd, before.st_size));
        errno = cause;
        return false;
    }
    // The bytes are in: a folder that cannot be flushed does not make them a failure.
    if (durable && before.st_size == 0) FlushFolderOf(path);
    return true;
}

} // namespace Platform
