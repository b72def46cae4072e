#pragma once
// Temporary stand-ins for general helpers that are being written elsewhere; each is replaced by
// the shared helper of the same role when that lands.
#include "platform/Files.h"
#include "platform/MessageBox.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace Pending {

inline std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

inline std::string FixedLength(const std::string& text, size_t width) {
    std::string out = text.substr(0, width);
    out.resize(width, ' ');
    return out;
}

inline double RoundHalfEven(double value, int digits) {
    double scale = std::pow(10.0, digits);
    double scaled = value * scale;
    if (!std::isfinite(scaled)) return value;
    return std::nearbyint(scaled) / scale;
}

inline double SafeFileLen(const std::string& path) {
    struct stat st {};
    std::string host = Platform::ResolveExisting(path);
    if (path.empty() || ::stat(host.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<double>(st.st_size);
}

inline std::string QuoteIfSpaced(std::string& text) {
    text = Trim(text);
    if (text.find(' ') != std::string::npos && (text.empty() || text.front() != '"'))
        return "\"" + text + "\"";
    return text;
}

inline bool CanOpenFile(const std::string& path) {
    return Platform::FileExists(path);
}

inline bool DirectoryExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(Platform::ResolveExisting(path), ec);
}

inline std::string FormatErrorMessage(const std::string& action, int32_t number, bool silent) {
    std::string text = "There was a problem " + Trim(action);
    if (number != 0)
        text += " and the error's description was reported as : \n\n\"" +
                Platform::RunTimeErrorText(number) + "\" (" + std::to_string(number) + ")";
    if (!silent) Platform::MsgBox(text, Platform::vbExclamation);
    return text;
}

inline void WriteDebugLine(const std::string&, int32_t) {}

inline int32_t ShellFileOperation(const std::string& source, const std::string& destination) {
    std::error_code ec;
    std::filesystem::path from = Platform::ResolveExisting(source);
    std::filesystem::path to = Platform::HostPath(destination);
    if (std::filesystem::is_directory(to, ec)) to /= from.filename();
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
    return ec ? 1 : 0;
}

} // namespace Pending
