// Trigger scan, number bases, path split, temporary names and free disk space.
#include "player_controls/FlennHelpers.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/statvfs.h>
#include <unistd.h>

namespace Flenney {

namespace fs = std::filesystem;

namespace {

int16_t SampleAt(const uint8_t* p) {
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}

bool Above(int16_t sample, int16_t TriggerLevel) {
    double level = VB::RoundHalfEven(std::abs(static_cast<int>(sample)) / 32768.0 * 100.0);
    return level > TriggerLevel;
}

// Creates a new empty file "PREhhhh.TMP" in the folder, as the platform's unique name call
// does; empty when none can be made.
std::string CreateUniqueFile(const std::string& folder, const std::string& prefix) {
    static std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%04X.TMP", prefix.c_str(),
                      static_cast<unsigned>(random() % 0xFFFF + 1));
        std::string path = Platform::JoinPath(folder, name);
        int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) return "";
    }
    return "";
}

bool MissingOrEmpty(const std::string& path) {
    std::error_code error;
    auto size = fs::file_size(path, error);
    return error || size == 0;
}

// The host folder a disk query can be made on: the path or its nearest existing parent.
std::string QueryRoot(const std::string& Path) {
    if (Path.rfind("\\\\", 0) == 0)
        return Path.back() == '\\' ? Path : Path + "\\"; // a network path is used whole
    if (Path.size() >= 2 && std::isalpha(static_cast<unsigned char>(Path[0])) && Path[1] == ':')
        return Path.substr(0, 2) + "\\";
    fs::path p = Path.empty() ? fs::current_path() : fs::path(Path);
    std::error_code error;
    while (!p.empty() && !fs::exists(p, error) && p.has_parent_path() && p.parent_path() != p)
        p = p.parent_path();
    return p.string();
}

} // namespace

int32_t FindTriggerPoint(const uint8_t* pBuffer, int32_t BufferLength, int16_t Channels,
                         int16_t TriggerLevel) {
    if (!pBuffer) return -1;
    for (int32_t offset = 0; offset <= BufferLength - 5; offset += 48) {
        if (Above(SampleAt(pBuffer + offset), TriggerLevel)) return offset;
        if (Channels >= 2 && Above(SampleAt(pBuffer + offset + 2), TriggerLevel)) return offset;
    }
    return -1;
}

std::string ConvertBase(int64_t Number, int32_t Base, BaseError* error) {
    if (Base < 2 || Base > 36) {
        if (error)
            *error = {static_cast<int32_t>(0x80040400u), "Number Base Conversion",
                      "Bases must be between 2 and 36"};
        return "";
    }
    uint64_t n = Number < 0 ? static_cast<uint32_t>(Number) : static_cast<uint64_t>(Number);
    std::string digits;
    do {
        int digit = static_cast<int>(n % static_cast<uint64_t>(Base));
        digits.insert(digits.begin(), static_cast<char>(digit < 10 ? '0' + digit : digit + 55));
        n /= static_cast<uint64_t>(Base);
    } while (n != 0);
    return digits;
}

std::string SplitPath(const std::string& Path) {
    size_t at = Path.find_last_of("\\/");
    return at == std::string::npos ? "" : Path.substr(0, at);
}

std::string MakeTempFileName(std::string Directory, const std::string& Extension) {
    for (;;) {
        if (Directory.empty()) {
            Directory = Platform::TempFolder();
            if (Directory.empty()) {
                Platform::MsgBox("Error getting a temporary file name :" + std::to_string(errno),
                                 Platform::vbCritical);
                return "";
            }
        }
        // The library's title, upper case without blanks; its first three characters are used.
        std::string name = CreateUniqueFile(Directory, "FLE");
        if (name.empty()) return "";
        std::remove(name.c_str());
        name = name.substr(0, name.size() - 3) + Extension;
        if (MissingOrEmpty(name)) return name;
    }
}

int64_t GetDiskFreeBytes(const std::string& Path, int32_t Which) {
    if (Which < 0 || Which > 2) return 0;
    struct statvfs info;
    if (::statvfs(QueryRoot(Path).c_str(), &info) != 0) return 0;
    uint64_t unit = info.f_frsize ? info.f_frsize : info.f_bsize;
    uint64_t blocks = Which == 0 ? info.f_blocks : Which == 1 ? info.f_bfree : info.f_bavail;
    return static_cast<int64_t>(blocks * unit);
}

} // namespace Flenney
