#pragma once
// Word helpers, peak levels and the multimedia error report shared by both engines.
#include <cstdint>
#include <optional>
#include <string>

namespace WaveFormatMod {

int16_t HiWord(int32_t x);
int16_t LoWord(int32_t x);
int32_t MakeLong(int16_t hi, int16_t lo);
// Each half must lie in 0..0xFFFF; nullopt (an overflow) otherwise.
std::optional<int32_t> MakeDWord(int32_t lo, int32_t hi);

// Scans every 48th byte of the block, raising left and right (never lowering them);
// returns the larger of the two.
int16_t GetPeakLevels(const char* data, int32_t length, int32_t channels, int16_t& left,
                      int16_t& right);

// Shows the device's error text for a nonzero code when reportErrors is set; returns code.
int32_t ReportMMError(int32_t code, bool reportErrors, const std::string& context);

// Levels of the last measured block and the decision whether an event is due.
struct LevelMeter {
    int16_t left = 0;
    int16_t right = 0;
    // Measures a block (nothing when data is null) and stores its peaks; true when the
    // mode (enRLCE) says an event is due.
    bool Measure(const char* data, int32_t length, int32_t channels, int32_t mode);
    void Clear() { left = right = 0; }
    int16_t Larger() const { return left > right ? left : right; }
};

// The library's title on its boxes.
constexpr const char* kTitle = "FlennStream";

} // namespace WaveFormatMod
