#include "core/GeneralFunctions.h"

#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Screen.h"
#include "platform/VB.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace GeneralFunctions {

namespace {

// Never destroyed, so a trace line written while the program exits still has a record.
GeneralState& OwnState() {
    static GeneralState* own = new GeneralState;
    return *own;
}

GeneralState*& InstalledState() {
    static GeneralState* installed = &OwnState();
    return installed;
}

} // namespace

GeneralState& State() {
    return *InstalledState();
}

void UseState(GeneralState* record) {
    InstalledState() = record ? record : &OwnState();
}

namespace {

std::string StandardFolder(QStandardPaths::StandardLocation location) {
    return QStandardPaths::writableLocation(location).toStdString();
}

size_t LastSeparator(const std::string& path) {
    return path.find_last_of("\\/");
}

// Restores the screen's pointer on every way out.
class HourglassPointer {
public:
    HourglassPointer() { Platform::SetScreenMousePointer(Platform::vbHourglass); }
    ~HourglassPointer() { Platform::SetScreenMousePointer(Platform::vbDefault); }
};

bool MakeDirectory(const std::string& path, int& errorNumber) {
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    errorNumber = Platform::ErrorNumberOfErrno(errno);
    return false;
}

bool CreateShare(const std::string& path, bool silent) {
    int errorNumber = 0;
    if (MakeDirectory(Platform::HostPath(path), errorNumber)) return true;
    if (Platform::DirectoryExists(path)) return true;
    if (!silent)
        Platform::MsgBox("You must manually create the path : " + path, Platform::vbInformation);
    return false;
}

// Makes every missing folder of the tree, one level at a time.
bool CreateTree(const std::string& path, int& errorNumber) {
    std::string host = Platform::HostPath(path);
    std::string done = host.front() == '/' ? "/" : "";
    size_t start = done.size();
    while (start < host.size()) {
        size_t slash = host.find('/', start);
        if (slash == std::string::npos) slash = host.size();
        std::string part = host.substr(start, slash - start);
        start = slash + 1;
        if (part.empty()) continue;
        done = Platform::ResolveExisting(Platform::JoinPath(done, part));
        if (!MakeDirectory(done, errorNumber) && errorNumber != Platform::errFileAlreadyExists &&
            errorNumber != Platform::errPathFileAccess)
            return false;
        std::error_code ec;
        if (!fs::is_directory(fs::path(done), ec)) {
            errorNumber = Platform::errPathNotFound;
            return false;
        }
    }
    return true;
}

} // namespace

std::string GetSpecialFolderPath(int32_t folderId) {
    switch (folderId) {
    case CSIDL_DESKTOP:
        return StandardFolder(QStandardPaths::DesktopLocation);
    case CSIDL_PERSONAL:
        return StandardFolder(QStandardPaths::DocumentsLocation);
    case CSIDL_APPDATA:
        return StandardFolder(QStandardPaths::GenericConfigLocation);
    case CSIDL_COMMON_APPDATA:
        return StandardFolder(QStandardPaths::GenericDataLocation);
    case CSIDL_WINDOWS:
    case CSIDL_SYSTEM:
        return Platform::WindowsFolder();
    case CSIDL_PROGRAM_FILES:
    case CSIDL_PROGRAM_FILES_COMMON:
        return Platform::AppFolder();
    default:
        return "";
    }
}

std::string QuoteIfSpaced(std::string& text) {
    text = VB::Trim(text);
    if (text.find(' ') != std::string::npos && text.front() != '"') return "\"" + text + "\"";
    return text;
}

bool CreatePath(const std::string& path, bool silent) {
    if (path.empty()) return false;
    if (path.rfind("\\\\", 0) == 0) return CreateShare(path, silent);
    HourglassPointer pointer;
    int errorNumber = 0;
    if (CreateTree(path, errorNumber)) return true;
    if (!silent)
        FormatErrorMessage("While Attempting to Create Directories on Destination Drive.",
                           errorNumber, false);
    return false;
}

double SafeFileLen(const std::string& fileName) {
    if (fileName.empty()) return -1;
    std::error_code ec;
    fs::path host(Platform::ResolveExisting(fileName));
    if (!fs::is_regular_file(host, ec)) return -1;
    auto size = fs::file_size(host, ec);
    return ec ? -1.0 : static_cast<double>(size);
}

std::string GetFileName(const std::string& path) {
    size_t sep = LastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string SplitFileExtension(const std::string& fileName) {
    for (size_t i = fileName.size(); i-- > 0;) {
        if (Platform::IsSeparator(fileName[i])) break;
        if (fileName[i] == '.') return fileName.substr(0, i);
    }
    return fileName;
}

std::string GetFileTitle(const std::string& path) {
    return SplitFileExtension(GetFileName(path));
}

std::string GetDirectoryPart(const std::string& path, bool addSeparator) {
    if (path.empty()) return "";
    size_t sep = LastSeparator(path);
    std::string dir = sep == std::string::npos ? "" : path.substr(0, sep);
    return addSeparator ? dir + "\\" : dir;
}

std::string GetFileExtension(const std::string& path) {
    std::string name = GetFileName(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(dot + 1);
}

std::string MakeTempFileName(const std::string& directory, const std::string& extension) {
    std::string prefix;
    std::string title = VB::UCase(QCoreApplication::applicationName().toStdString());
    if (title.empty()) title = "VNTZEL";
    for (char c : title)
        if (c != ' ') prefix += c;
    prefix = prefix.substr(0, 3);
    static std::minstd_rand unique(static_cast<unsigned>(::getpid()) ^
                                   static_cast<unsigned>(std::random_device{}()));
    for (int attempt = 0; attempt < 65536; ++attempt) {
        std::string folder = directory.empty() ? Platform::TempFolder() : directory;
        char number[8];
        std::snprintf(number, sizeof number, "%X", static_cast<unsigned>(unique() % 0xFFFF) + 1);
        std::string name = Platform::JoinPath(Platform::HostPath(folder), prefix + number + ".TMP");
        int fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return "";
        }
        ::close(fd);
        ::unlink(name.c_str());
        name = name.substr(0, name.size() - 3) + extension;
        if (SafeFileLen(name) < 0) return name;
    }
    return "";
}

std::string GetWindowsFolder() {
    return Platform::WindowsFolder();
}

void LoadOSVersion() {
    OSVERSIONINFO& v = State().OSVersion;
    v = OSVERSIONINFO{};
    v.dwOSVersionInfoSize = 148;
    v.dwPlatformId = VER_PLATFORM_WIN32_NT;
    utsname name{};
    if (::uname(&name) != 0) return;
    int major = 0, minor = 0, build = 0;
    std::sscanf(name.release, "%d.%d.%d", &major, &minor, &build);
    v.dwMajorVersion = major;
    v.dwMinorVersion = minor;
    v.dwBuildNumber = build;
    v.szCSDVersion = VB::Left(name.version, 128);
}

std::string BrowseForFolder(int64_t ownerWindow, const std::string& title,
                            const std::string& startFolder, bool newStyle) {
    (void)ownerWindow;
    (void)newStyle;
    State().browseStartFolder = startFolder;
    std::string chosen = Platform::ChooseFolder(title, startFolder);
    chosen = chosen.substr(0, chosen.find('\0'));
    if (chosen.size() >= 2 && chosen.compare(chosen.size() - 2, 2, ":\\") == 0) chosen.pop_back();
    return chosen;
}

} // namespace GeneralFunctions
