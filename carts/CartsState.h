#pragma once
// Records of the audiowall, one instance per program context.
#include "carts/CartRecord.h"
#include "core/GeneralFunctions.h"
#include "platform/RecordFile.h"

#include <QMetaObject>
#include <QPointer>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class FlennRecorder;

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

// The one recording into a cart, and what the recorder last reported.
struct RecorderState {
    QPointer<FlennRecorder> RecorderControl;             // nothing = no recorder
    std::vector<QMetaObject::Connection> RecorderEvents; // its events, to the procedures
    int32_t RecorderStatus = 0;                          // eRecStatus
    int32_t RecorderCartNumber = 0;                      // 0 = none
    Vantor_Cart_Routines::CartRecord RecorderCart;
    bool RecorderTransferPending = false;
    std::string RecorderTempFile;
    GeneralFunctions::TimeStamp RecordStarted; // Day 0 = not started
    float RecorderSecondsRecorded = 0;
    float RecorderSecondsRemain = 0;
    int16_t RecorderLeftLevel = 0;
    int16_t RecorderRightLevel = 0;
    int32_t LastRecordedCart = 0;
    float LastRecordedSeconds = 0;
};

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
    RecorderState Recorder;
};

// The records of the current program context.
CartsState& State();

} // namespace Carts
