#include "core/GeneralFunctions.h"

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QThread>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace GeneralFunctions {
namespace {

bool HasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

// The entries a source names: one existing path, or the matches of a name pattern.
std::vector<fs::path> SourcesOf(const std::string& source) {
    std::string host = Platform::HostPath(source);
    std::string pattern = GetFileName(host);
    if (!HasWildcard(pattern)) {
        std::error_code ec;
        fs::path path(Platform::ResolveExisting(host));
        if (fs::exists(path, ec)) return {path};
        return {};
    }
    std::string folder = Platform::ResolveExisting(GetDirectoryPart(host, false));
    std::vector<fs::path> found;
    std::error_code ec;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(folder.empty() ? fs::path(".") : fs::path(folder), ec)) {
        std::string name = entry.path().filename().string();
        if (::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0)
            found.push_back(entry.path());
    }
    return found;
}

int ErrorOf(const std::error_code& ec) {
    return ec ? Platform::ErrorNumberOfErrno(ec.value()) : 0;
}

int CopyOrMove(const fs::path& from, const fs::path& to, bool move) {
    std::error_code ec;
    if (move) {
        fs::rename(from, to, ec);
        if (!ec) return 0;
        if (ec.value() != EXDEV) return ErrorOf(ec);
        ec.clear();
    }
    // A file copied over another replaces it whole; folders are copied as they are.
    if (fs::is_regular_file(from, ec)) {
        errno = 0;
        if (!Platform::ReplaceWithCopy(to.string(), from.string()))
            return errno ? Platform::ErrorNumberOfErrno(errno) : Platform::errPathFileAccess;
    } else {
        fs::copy(from, to, fs::copy_options::overwrite_existing | fs::copy_options::recursive, ec);
    }
    if (!ec && move) fs::remove_all(from, ec);
    return ErrorOf(ec);
}

// 100-ns units since 1601-01-01 UTC.
int64_t FileTimeOf(int64_t seconds, int64_t nanoseconds) {
    return (seconds + 11644473600LL) * 10000000LL + nanoseconds / 100;
}

} // namespace

void WaitSeconds(double seconds, bool& abort) {
    TimeStamp start = TimeStampNow(false);
    while (SecondsSinceTimeStamp(start) < seconds && !abort) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

int32_t ShellFileOperation(const std::string& source, const std::string& destination,
                           const std::string& progressTitle, int64_t ownerWindow, bool move,
                           bool confirm) {
    (void)progressTitle;
    (void)ownerWindow;
    std::vector<fs::path> sources = SourcesOf(source);
    if (sources.empty()) return Platform::errFileNotFound;
    std::string host = Platform::HostPath(destination);
    std::error_code ec;
    fs::path target(Platform::ResolveExisting(host));
    bool intoFolder = sources.size() > 1 || fs::is_directory(target, ec) ||
                      (!host.empty() && host.back() == '/') || HasWildcard(GetFileName(source));
    fs::path folder = intoFolder ? target : target.parent_path();
    if (!folder.empty() && !fs::exists(folder, ec)) {
        fs::create_directories(folder, ec);
        if (ec) return ErrorOf(ec);
    }
    for (const fs::path& from : sources) {
        fs::path to = intoFolder ? target / from.filename() : target;
        if (confirm && fs::exists(to, ec) &&
            Platform::MsgBox("Replace the existing file " + to.string() + "?",
                             Platform::vbYesNo | Platform::vbQuestion) != Platform::vbYes)
            continue;
        if (int error = CopyOrMove(from, to, move)) return error;
    }
    return 0;
}

void SyncClockToHour(int16_t offsetSeconds) {
    Platform::Clock::Moment now = Platform::Clock::Now();
    int hour = static_cast<int>(now.seconds / 3600.0);
    int minute = static_cast<int>(now.seconds / 60.0) % 60;
    if (minute >= 30) ++hour;
    int32_t total = hour * 3600 + offsetSeconds;
    int32_t day = now.day;
    if (total < 0)
        total += 86400, --day;
    else if (total >= 86400)
        total -= 86400, ++day;
    Platform::Clock::SetSystemTime(day, total);
}

std::string GetShortPath(const std::string& path) {
    std::string host = Platform::ResolveExisting(path);
    std::error_code ec;
    if (path.empty() || !fs::exists(fs::path(host), ec) || host.size() > 1023) return "";
    return host;
}

int32_t GetLongValue(int32_t value) {
    return value;
}

int32_t MinLong(int32_t a, int32_t b) {
    return a < b ? a : b;
}

int32_t MaxLong(int32_t a, int32_t b) {
    return a > b ? a : b;
}

double MinDouble(double a, double b) {
    return a < b ? a : b;
}

double MaxDouble(double a, double b) {
    return a > b ? a : b;
}

int32_t ClampLong(int32_t value, int32_t low, int32_t high) {
    return MinLong(MaxLong(value, low), high);
}

double ClampDouble(double value, double low, double high) {
    return MinDouble(MaxDouble(value, low), high);
}

bool DirectoryExists(std::string path) {
    WriteDebugLineNest("Start DirectoryExists", 5, dkEnter);
    bool found = false;
    if (!path.empty()) {
        if (path.rfind("\\\\", 0) == 0) {
            size_t share = path.find('\\', 2);
            if (share != std::string::npos && path.find('\\', share + 1) == std::string::npos)
                path += "\\";
        } else if (path.size() == 2) {
            path += "\\";
        }
        WriteDebugLineNest("Call Dir(" + path + ", vbDirectory)", -1, dkPlain);
        std::error_code ec;
        found = fs::exists(fs::path(Platform::ResolveExisting(path)), ec);
    }
    WriteDebugLineNest(std::string("End DirectoryExists (") + (found ? "True" : "False") + ")", 5,
                       dkLeave);
    return found;
}

std::string GetDriveList(int32_t driveType) {
    // The host has one fixed file system, shown as drive C; no network or removable drives.
    constexpr int32_t DRIVE_FIXED = 3;
    return driveType == DRIVE_FIXED ? "C" : "";
}

FileVersionRecord GetFileVersionText(const std::string& fileName) {
    // Our libraries carry their version as the marker text followed by "major.minor.revision"
    // (written by the build); a file without it reads as version 0.0.0.
    static const std::string marker = "VNTZEL-FILE-VERSION:";
    FileVersionRecord version;
    std::string bytes;
    if (!Platform::ReadWholeFile(Platform::ResolveExisting(fileName), bytes)) return version;
    for (size_t at = bytes.find(marker); at != std::string::npos; at = bytes.find(marker, at + 1)) {
        // Three numbers of at most four digits, separated by periods.
        int16_t numbers[3] = {};
        size_t p = at + marker.size();
        bool read = true;
        for (int n = 0; n < 3 && read; ++n) {
            if (n > 0) read = p < bytes.size() && bytes[p++] == '.';
            size_t digits = 0;
            while (read && p < bytes.size() && digits < 4 &&
                   std::isdigit(static_cast<unsigned char>(bytes[p]))) {
                numbers[n] = static_cast<int16_t>(numbers[n] * 10 + (bytes[p++] - '0'));
                ++digits;
            }
            read = read && digits > 0;
        }
        if (!read) continue;
        version.FileMajor = version.ProductMajor = numbers[0];
        version.FileMinor = version.ProductMinor = numbers[1];
        version.FileRevision = version.ProductRevision = numbers[2];
        break;
    }
    return version;
}

bool PointNear(float x, float y, float refX, float refY, float tolerance) {
    return refX - tolerance <= x && x <= refX + tolerance && refY - tolerance <= y &&
           y <= refY + tolerance;
}

std::string GetComputerName() {
    char name[129] = {};
    if (::gethostname(name, 128) != 0) return "";
    return name;
}

FileTimesRecord GetFileWriteTime(const std::string& fileName) {
    FileTimesRecord times;
    if (SafeFileLen(fileName) <= 0) return times;
    struct statx info {};
    std::string host = Platform::ResolveExisting(fileName);
    if (::statx(AT_FDCWD, host.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &info) != 0)
        return times;
    const statx_timestamp& created =
        (info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_ctime;
    times.CreationTime = FileTimeOf(created.tv_sec, created.tv_nsec);
    times.LastWriteTime = FileTimeOf(info.stx_mtime.tv_sec, info.stx_mtime.tv_nsec);
    times.LastAccessTime = FileTimeOf(info.stx_atime.tv_sec, info.stx_atime.tv_nsec);
    return times;
}

bool CanOpenFile(const std::string& fileName) {
    if (fileName.empty()) return false;
    int fd = ::open(Platform::ResolveExisting(fileName).c_str(), O_RDONLY);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

} // namespace GeneralFunctions
