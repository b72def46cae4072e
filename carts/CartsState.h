#pragma once
// Records of the audiowall, one instance per program context.
#include "carts/CartRecord.h"
#include "platform/RecordFile.h"

#include <array>
#include <cstdint>
#include <string>

namespace Vantor_Cart_Routines {

constexpr int kCartsPerPart = 1000;
constexpr int kPartCount = 11; // parts 1..10, and 11 for numbers above 10000

// Status of a part.
enum PartStatus : int32_t {
    PartNotExamined = 0,
    PartFound = 1,
    PartMissing = 2,
};

struct AudiowallPart {
    std::string Location; // folder of the part; empty = not configured
    std::string ListFilePath;
    std::string ListFileName;
    bool IsOpen = false;
    int32_t Status = PartNotExamined;
    int32_t FileNumber = 0;        // 0 until the first open, then kept for the run
    Platform::RecordFile ListFile; // the open list file behind FileNumber
};

} // namespace Vantor_Cart_Routines

namespace Carts {

struct CartsState {
    // Indexed by part number 1..11; entry 0 is unused.
    std::array<Vantor_Cart_Routines::AudiowallPart, Vantor_Cart_Routines::kPartCount + 1>
        AudiowallParts;
    std::array<std::string, 21> PlayerStateNames;
    Vantor_Cart_Routines::CartRecord BlankCartRecord;
    Vantor_Cart_Routines::CartListEntry BlankListEntry;
    // The cart-number range; First 0 = no first number yet.
    int32_t CartRangeFirst = 0;
    int32_t CartRangeLast = 0;
    int32_t LastFileNumber = 0; // file numbers handed out to list files
};

// The records of the current program context.
CartsState& State();

} // namespace Carts
