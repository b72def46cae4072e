#pragma once
// Profile (INI) files with the Windows private-profile semantics:
// - section and key names match ignoring letter case and the blanks around them; the first
//   matching section, and the first matching key in it, wins;
// - values lose the blanks around them and one pair of surrounding quotes (' or ");
// - a missing file, section or key gives the default;
// - writes keep every other byte of the file, append a missing section at the end, and give
//   new files CR LF line ends (edited files keep the line ends they have);
// - CR LF and LF line ends are both read; every call reads the file afresh (no caching).
// A name without a folder lives in the Windows folder (WindowsFolder()); existing files are
// found ignoring letter case. Text is 8-bit bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

// No limit on the characters returned.
inline constexpr size_t kNoProfileLimit = static_cast<size_t>(-1);

// The host path a profile file name stands for (before any case-insensitive lookup).
std::string ProfilePath(const std::string& fileName);

// The value of [section] key, or defaultValue (trailing blanks removed) when there is none.
// bufferSize is the size of the caller's buffer in characters, terminating NUL included: at
// most bufferSize - 1 characters come back (a 255-character buffer keeps 254).
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& fileName,
                                    size_t bufferSize = kNoProfileLimit);

// The leading decimal integer of [section] key (after an optional sign; "12abc" is 12, "0x10"
// is 0, text without digits is 0), wrapping at 32 bits. defaultValue when the key is missing
// or its value is empty.
int32_t GetPrivateProfileInt(const std::string& section, const std::string& key,
                             int32_t defaultValue, const std::string& fileName);

// The lines of [section] as written (blanks around each line removed), without empty lines
// and ';' comments. Empty when the section or file is missing. bufferSize is the caller's
// buffer for the NUL-separated list ending in two NULs: when the lines do not fit, the list is
// cut at bufferSize - 2 characters, the last line being truncated.
std::vector<std::string> GetPrivateProfileSection(const std::string& section,
                                                  const std::string& fileName,
                                                  size_t bufferSize = kNoProfileLimit);

// Sets [section] key = value. No key (nullopt) deletes the whole section; no value deletes the
// key. The file is created when missing (its folder must exist). Line breaks in a value end
// it, so a value never adds lines. False when the file cannot be written or a name is unusable
// (empty section, a line break, '=' in a key).
bool WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                               const std::optional<std::string>& value,
                               const std::string& fileName);

// Replaces the lines of [section] with lines ("key=value" each), appending the section when
// missing; blank lines that end the section stay. No lines (nullopt) deletes the section.
bool WritePrivateProfileSection(const std::string& section,
                                const std::optional<std::vector<std::string>>& lines,
                                const std::string& fileName);

} // namespace Platform
