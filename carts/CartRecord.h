#pragma once
// The stored 300-byte form of a cart (CartListEntry, shared byte for byte with the main playout
// system) and its working form (CartRecord), with the conversions and the small services that
// interpret record fields.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace Vantor_Cart_Routines {

constexpr size_t kListEntryLength = 300;
constexpr size_t kDescriptionLength = 50;
constexpr size_t kDescriptionHeadLength = 20; // Desc1a..Desc3a
constexpr size_t kDescriptionTailLength = 30; // Desc1b..Desc3b

using ListEntryBytes = std::array<uint8_t, kListEntryLength>;

// Fields in stored order; texts are kept at their stored width (20 or 30 bytes).
struct CartListEntry {
    std::string Desc1a, Desc2a, Desc3a;
    int32_t BackColor = 0;
    int32_t ForeColor = 0;
    int16_t EndingType = 0;
    std::string Desc1b, Desc2b, Desc3b;
    std::array<uint8_t, 24> ReservedText{};
    int32_t Reserved1 = 0;
    int16_t MarkCode = 0;
    float HookStart = 0, HookEnd = 0;
    int16_t Reserved2 = 0, Reserved3 = 0;
    int16_t IntroStartOutput = 0, IntroEndOutput = 0, ExtroOutput = 0;
    int16_t HookStartOutput = 0, HookEndOutput = 0;
    std::array<double, 5> LastPlayed{};
    std::array<int16_t, 5> LastPlayedCode{};
    float IntroStart = 0, IntroEnd = 0, Extro = 0, TotalLength = 0;
    float AudioStart = 0, AudioEnd = 0, PlayLength = 0, LoopStart = 0, LoopEnd = 0;
    int16_t LoopMode = 0;
};

// The working record: descriptions are 50 bytes each.
struct CartRecord {
    std::string Description1 = std::string(kDescriptionLength, ' ');
    std::string Description2 = std::string(kDescriptionLength, ' ');
    std::string Description3 = std::string(kDescriptionLength, ' ');
    int32_t BackColor = 0;
    int32_t ForeColor = 0;
    int16_t EndingType = 0;
    float HookStart = 0, HookEnd = 0;
    int16_t IntroStartOutput = 0, IntroEndOutput = 0, ExtroOutput = 0;
    int16_t HookStartOutput = 0, HookEndOutput = 0;
    std::array<double, 5> LastPlayed{};
    std::array<int16_t, 5> LastPlayedCode{};
    float IntroStart = 0, IntroEnd = 0, Extro = 0, TotalLength = 0;
    float AudioStart = 0, AudioEnd = 0, PlayLength = 0, LoopStart = 0, LoopEnd = 0;
    int16_t LoopMode = 0;
    int32_t Reserved1 = 0;
    int16_t MarkCode = 0;

    bool operator==(const CartRecord&) const = default;
};

// LoopMode bits.
constexpr int16_t kLoopOn = static_cast<int16_t>(0x8000);
constexpr int16_t kLoopFinishPass = 0x4000;
constexpr int16_t kLoopEndless = 0x2000;
constexpr int16_t kLoopCountMask = 0x03FF;

// The 300 stored bytes of an entry, little-endian without gaps, and back.
ListEntryBytes EncodeListEntry(const CartListEntry& entry);
CartListEntry DecodeListEntry(const ListEntryBytes& bytes);

CartListEntry CartRecordToListEntry(const CartRecord& rec);
CartRecord ListEntryToCartRecord(const CartListEntry& entry);

// One-line (trimmed, lines joined) or full 150-byte description of a cart.
std::string GetCartDescription(const CartRecord& rec, bool oneLine, std::string& text);

// Splits a HardwareOutputCode into its line number and output mode; False for no line.
bool DecodeHardwareOutput(int16_t code, int16_t& lineNumber, int32_t& mode);

// MarkCode + 1, never yielding 32.
void StepMarkCode(CartRecord& rec);

} // namespace Vantor_Cart_Routines
