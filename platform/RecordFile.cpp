#include "platform/RecordFile.h"

#include "platform/Files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace Platform {

RecordFile::~RecordFile() {
    Close();
}

RecordFile::RecordFile(RecordFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), recordLength_(other.recordLength_),
      path_(std::move(other.path_)) {}

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        recordLength_ = other.recordLength_;
        path_ = std::move(other.path_);
    }
    return *this;
}

int RecordFile::Open(const std::string& path, size_t recordLength) {
    Close();
    if (path.empty() || recordLength == 0) return errBadFileNameOrNumber;
    std::string host = ResolveExisting(path);
    int fd = ::open(host.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == EACCES || errno == EROFS))
        fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ErrorNumberOfErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return errPathFileAccess;
    }
    fd_ = fd;
    recordLength_ = recordLength;
    path_ = host;
    return errNone;
}

int RecordFile::Close() {
    if (fd_ < 0) return errNone;
    int rc = ::close(std::exchange(fd_, -1));
    return rc == 0 ? errNone : ErrorNumberOfErrno(errno);
}

int64_t RecordFile::Length() const {
    if (fd_ < 0) return -1;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

int RecordFile::Read(int64_t record, void* buffer) const {
    if (fd_ < 0 || record < 1) return errBadFileNameOrNumber;
    auto* out = static_cast<char*>(buffer);
    off_t at = static_cast<off_t>((record - 1) * static_cast<int64_t>(recordLength_));
    size_t done = 0;
    while (done < recordLength_) {
        ssize_t n = ::pread(fd_, out + done, recordLength_ - done, at + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return ErrorNumberOfErrno(errno);
        }
        if (n == 0) return errInputPastEnd;
        done += static_cast<size_t>(n);
    }
    return errNone;
}

int RecordFile::Write(int64_t record, const void* buffer) {
    if (fd_ < 0 || record < 1) return errBadFileNameOrNumber;
    const auto* in = static_cast<const char*>(buffer);
    off_t at = static_cast<off_t>((record - 1) * static_cast<int64_t>(recordLength_));
    size_t done = 0;
    while (done < recordLength_) {
        ssize_t n = ::pwrite(fd_, in + done, recordLength_ - done, at + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno == EBADF ? errPathFileAccess : ErrorNumberOfErrno(errno);
        }
        done += static_cast<size_t>(n);
    }
    return errNone;
}

} // namespace Platform
