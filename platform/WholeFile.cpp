#include "platform/WholeFile.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes the existing file over in place: its owner and mode stay as they are.
bool WriteInPlace(const fs::path& target, const std::string& bytes) {
    int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes);
    ok = ::fsync(fd) == 0 && ok;
    return ::close(fd) == 0 && ok;
}

} // namespace

bool ReplaceWholeFile(const std::string& path, const std::string& bytes) {
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
    // A folder we may not create files in: the file itself may still be writable.
    if (fd < 0) return fs::exists(target, ec) && WriteInPlace(target, bytes);
    // Keep the old file's permissions; a new file gets the usual ones.
    struct stat old {};
    mode_t mode = 0666;
    if (::stat(target.c_str(), &old) == 0)
        mode = old.st_mode & 07777;
    else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    bool ok = WriteAll(fd, bytes);
    ok = ::fchmod(fd, mode) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

} // namespace Platform
