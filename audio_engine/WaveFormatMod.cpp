#include "audio_engine/WaveFormatMod.h"

#include "platform/MessageBox.h"
#include "platform/VB.h"
#include "platform/WaveDevices.h"

#include <cmath>
#include <cstring>

namespace WaveFormatMod {

int16_t HiWord(int32_t x) {
    return static_cast<int16_t>(static_cast<uint32_t>(x) >> 16);
}

int16_t LoWord(int32_t x) {
    return static_cast<int16_t>(static_cast<uint32_t>(x) & 0xFFFF);
}

int32_t MakeLong(int16_t hi, int16_t lo) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint16_t>(hi)) << 16) |
                                static_cast<uint16_t>(lo));
}

std::optional<int32_t> MakeDWord(int32_t lo, int32_t hi) {
    if (lo < 0 || lo > 0xFFFF || hi < 0 || hi > 0xFFFF) return std::nullopt;
    return static_cast<int32_t>((static_cast<uint32_t>(hi) << 16) | static_cast<uint32_t>(lo));
}

namespace {

void Raise(int16_t sample, int16_t& level) {
    if (sample == -32768) return; // its magnitude does not fit a 16-bit level
    double value = std::abs(static_cast<int>(sample)) / 32768.0 * 100.0;
    if (value > level) level = static_cast<int16_t>(VB::RoundHalfEven(value));
}

} // namespace

int16_t GetPeakLevels(const char* data, int32_t length, int32_t channels, int16_t& left,
                      int16_t& right) {
    if (data) {
        for (int64_t offset = 0; offset <= static_cast<int64_t>(length) - 5; offset += 48) {
            int16_t sample;
            std::memcpy(&sample, data + offset, 2);
            Raise(sample, left);
            if (channels == 2) {
                std::memcpy(&sample, data + offset + 2, 2);
                Raise(sample, right);
            }
        }
    }
    return left > right ? left : right;
}

int32_t ReportMMError(int32_t code, bool reportErrors, const std::string& context) {
    if (code == 0 || !reportErrors) return code;
    std::string text;
    if (Platform::waveInGetErrorText(code, text) != Platform::MMSYSERR_NOERROR || text.empty())
        text = "The Windows(TM) Multimedia Sub-System has returned with an unknown error, the "
               "code was: " +
               std::to_string(code);
    std::string title = context.empty() ? kTitle : std::string(kTitle) + " - " + context;
    Platform::MsgBox(text, Platform::vbInformation, title);
    return code;
}

bool LevelMeter::Measure(const char* data, int32_t length, int32_t channels, int32_t mode) {
    if (!data) return false;
    int16_t newLeft = 0, newRight = 0;
    GetPeakLevels(data, length, channels, newLeft, newRight);
    if (channels != 2) newRight = newLeft;
    bool due = false;
    if (mode == 1)
        due = newLeft != left || newRight != right;
    else if (mode == 2)
        due = true;
    left = newLeft;
    right = newRight;
    return due;
}

} // namespace WaveFormatMod
