#pragma once
// Reading settings with the defaults of the reading code: integers from a profile file (or
// the registry), texts into a 255-character buffer.
#include "core/Registry.h"
#include "platform/Profile.h"
#include "platform/VB.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

namespace MainSettings {

constexpr size_t kTextBuffer = 255; // at most 254 characters come back

// Values outside 16 bits are held at the nearest end of the range.
inline int16_t ToInt16(int32_t value) {
    return static_cast<int16_t>(std::clamp<int32_t>(value, std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

// A number read as text, rounded to a whole number held within 32 bits (NaN gives 0): the
// conversion never sees a value it cannot represent.
inline int32_t ToLong(double value) {
    if (!(value == value)) return 0;
    constexpr double low = std::numeric_limits<int32_t>::min();
    constexpr double high = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(VB::RoundHalfEven(std::clamp(value, low, high)));
}

// Reads [section] key of one file.
class IniReader {
public:
    explicit IniReader(std::string file) : file_(std::move(file)) {}
    int32_t Long(const char* section, const std::string& key, int32_t fallback) const {
        return Platform::GetPrivateProfileInt(section, key, fallback, file_);
    }
    int16_t Integer(const char* section, const std::string& key, int16_t fallback) const {
        return ToInt16(Long(section, key, fallback));
    }
    float Single(const char* section, const std::string& key, int32_t fallback) const {
        return static_cast<float>(Long(section, key, fallback));
    }
    std::string Text(const char* section, const std::string& key,
                     const std::string& fallback) const {
        return Platform::GetPrivateProfileString(section, key, fallback, file_, kTextBuffer);
    }
    // A number kept as text: its leading decimal number, "." the decimal point.
    float NumberText(const char* section, const std::string& key,
                     const std::string& fallback) const {
        return static_cast<float>(VB::Val(Text(section, key, fallback)));
    }
    const std::string& File() const { return file_; }

private:
    std::string file_;
};

} // namespace MainSettings
