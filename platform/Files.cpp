#include "platform/Files.h"

#include "platform/NameCase.h"

#include <QCoreApplication>
#include <QDir>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <unistd.h>
#include <unordered_map>

namespace fs = std::filesystem;

namespace Platform {

int ErrorNumberOfErrno(int err) {
    switch (err) {
    case 0:
        return errNone;
    case ENOENT:
        return errFileNotFound;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
        return errPathNotFound;
    case EACCES:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
        return errPathFileAccess;
    case EPERM:
    case EBUSY:
        return errPermissionDenied;
    case EEXIST:
        return errFileAlreadyExists;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return errDiskFull;
    case EMFILE:
    case ENFILE:
        return errTooManyFiles;
    case ENXIO:
    case ENODEV:
        return errDeviceUnavailable;
    case EBADF:
        return errBadFileNameOrNumber;
    case EINVAL:
        return errBadFileNameOrNumber;
    default:
        return errDeviceIO;
    }
}

namespace {

const std::map<int, std::string>& RunTimeErrorTexts() {
    static const std::map<int, std::string> texts = {
        {5, "Invalid procedure call or argument"},
        {6, "Overflow"},
        {7, "Out of memory"},
        {9, "Subscript out of range"},
        {11, "Division by zero"},
        {13, "Type mismatch"},
        {errBadFileNameOrNumber, "Bad file name or number"},
        {errFileNotFound, "File not found"},
        {errBadFileMode, "Bad file mode"},
        {errFileAlreadyOpen, "File already open"},
        {errDeviceIO, "Device I/O error"},
        {errFileAlreadyExists, "File already exists"},
        {errDiskFull, "Disk full"},
        {errInputPastEnd, "Input past end of file"},
        {errTooManyFiles, "Too many files"},
        {errDeviceUnavailable, "Device unavailable"},
        {errPermissionDenied, "Permission denied"},
        {errDiskNotReady, "Disk not ready"},
        {errPathFileAccess, "Path/File access error"},
        {errPathNotFound, "Path not found"},
    };
    return texts;
}

} // namespace

bool HasRunTimeErrorText(int number) {
    return RunTimeErrorTexts().count(number) > 0;
}

std::string RunTimeErrorText(int number) {
    const std::map<int, std::string>& texts = RunTimeErrorTexts();
    auto it = texts.find(number);
    return it != texts.end() ? it->second : "Application-defined or object-defined error";
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string HostPath(const std::string& path) {
    std::string out = path;
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (name.empty()) return folder;
    bool folderEnds = IsSeparator(folder.back());
    bool nameStarts = IsSeparator(name.front());
    if (folderEnds && nameStarts) return folder + name.substr(1);
    if (folderEnds || nameStarts) return folder + name;
    return folder + "/" + name;
}

namespace {

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::path(path), ec);
}

std::string FoldedName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded)
        c = LowerCase1252(c);
    return folded;
}

// A folder's entries by folded name, as listed at a folder modification time. Lookups of
// names that do not exist (the common case for optional files) would otherwise list a large
// folder every time.
struct FolderListing {
    fs::file_time_type modified;
    std::unordered_map<std::string, std::string> byFoldedName;
};

// A listing is trusted only while the folder keeps the modification time it had, and only when
// that time was already in the past when listing: a change in the same clock tick as the
// listing would otherwise leave the folder's time unchanged and the listing stale.
constexpr auto kSettledAge = std::chrono::seconds(2);
constexpr size_t kMaxListings = 64;

std::mutex& ListingsLock() {
    static std::mutex lock;
    return lock;
}

std::unordered_map<std::string, FolderListing>& Listings() {
    static std::unordered_map<std::string, FolderListing> listings;
    return listings;
}

// The entry of folder whose name matches name ignoring case, or "" when none does.
std::string MatchInFolder(const std::string& folder, const std::string& name) {
    const fs::path dir = folder.empty() ? fs::path(".") : fs::path(folder);
    std::error_code ec;
    const fs::file_time_type modified = fs::last_write_time(dir, ec);
    if (ec) return "";
    const std::string key = dir.string();
    const std::string folded = FoldedName(name);
    std::lock_guard<std::mutex> guard(ListingsLock());
    auto& listings = Listings();
    auto cached = listings.find(key);
    if (cached == listings.end() || cached->second.modified != modified) {
        FolderListing listing{modified, {}};
        fs::directory_iterator it(dir, ec);
        if (ec) return "";
        for (const fs::directory_entry& entry : it) {
            std::string entryName = entry.path().filename().string();
            listing.byFoldedName.emplace(FoldedName(entryName), std::move(entryName));
        }
        const auto found = listing.byFoldedName.find(folded);
        std::string match = found == listing.byFoldedName.end() ? "" : found->second;
        if (listings.size() >= kMaxListings) listings.clear();
        if (fs::file_time_type::clock::now() - modified > kSettledAge)
            listings[key] = std::move(listing);
        else
            listings.erase(key);
        return match;
    }
    const auto found = cached->second.byFoldedName.find(folded);
    return found == cached->second.byFoldedName.end() ? "" : found->second;
}

} // namespace

std::string ResolveExisting(const std::string& path) {
    std::string host = HostPath(path);
    if (host.empty() || Exists(host)) return host;
    // Walk the components, keeping exact matches and falling back to a case-insensitive one.
    std::string resolved;
    size_t start = 0;
    if (host.front() == '/') {
        resolved = "/";
        start = 1;
    }
    while (start <= host.size()) {
        size_t slash = host.find('/', start);
        std::string part =
            host.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (!part.empty()) {
            std::string candidate = JoinPath(resolved, part);
            if (!Exists(candidate)) {
                std::string match = MatchInFolder(resolved, part);
                if (match.empty()) return host;
                candidate = JoinPath(resolved, match);
            }
            resolved = candidate;
        }
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    if (!host.empty() && host.back() == '/' && !resolved.empty() && resolved.back() != '/')
        resolved += '/';
    return resolved;
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::path(ResolveExisting(path)), ec);
}

bool DirectoryExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(fs::path(ResolveExisting(path)), ec);
}

namespace {

std::string WithoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && IsSeparator(path.back()))
        path.pop_back();
    return path;
}

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

} // namespace

std::string WindowsFolder() {
    std::string config = EnvOr("XDG_CONFIG_HOME", EnvOr("HOME", "/tmp") + "/.config");
    std::string folder = WithoutTrailingSeparator(EnvOr("VNTZEL_WINDIR", config + "/vntzel"));
    std::error_code ec;
    fs::create_directories(fs::path(folder), ec);
    return folder;
}

std::string AppFolder() {
    std::string exeDir;
    if (QCoreApplication::instance())
        exeDir = QCoreApplication::applicationDirPath().toStdString();
    else {
        std::error_code ec;
        fs::path exe = fs::read_symlink("/proc/self/exe", ec);
        exeDir = ec ? std::string(".") : exe.parent_path().string();
    }
    return WithoutTrailingSeparator(EnvOr("VNTZEL_APPDIR", exeDir));
}

std::string TempFolder() {
    std::string folder = WithoutTrailingSeparator(EnvOr("TMPDIR", "/tmp"));
    return folder + "/";
}

std::string SystemDriveFolder() {
    const char* value = std::getenv("VNTZEL_SYSTEMDRIVE");
    if (value && *value) return WithoutTrailingSeparator(value);
    return WindowsFolder();
}

bool FileOpenForWriting(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    const bool leased = ::fcntl(fd, F_SETLEASE, F_RDLCK) == 0;
    const bool writing = !leased && errno == EAGAIN;
    if (leased) ::fcntl(fd, F_SETLEASE, F_UNLCK);
    ::close(fd);
    return writing;
}

} // namespace Platform
