#pragma once
// Run-time records of a split: the open log and cued break, and the loaded break itself.
#include "breaks/LogSupport.h"

#include <array>
#include <cstdint>
#include <string>

// The split's log and break state, kept after its settings fields in the split's record.
struct SplitRunTime {
    std::string WorkingLogPath;         // the destination copy of LoadedLogDate
    int16_t LogFileNumber = 0;          // 0 = no log open
    int32_t LoadedLogDate = 0;          // day number of the loaded log, 0 = none
    int32_t CuedBreakPos = 0;           // 1-based byte position of the cued break's first line
    int32_t CuedBreakDate = 0;          // day number of the cued break
    float CuedBreakTime = -1.0f;        // seconds after midnight, -1 = none
    LogSupport::TimeStamp LogFileStamp; // the working log's stamp when opened (Day 0 = none)
};

struct AdvertEntry {
    int32_t CartNumber = 0;
    std::string Title;        // log columns 24-53
    std::string Reference;    // log column 60 on
    float Length = 0.0f;      // the cart's play length, seconds
    float SegueLength = 0.0f; // the cart's Extro time, seconds
};

constexpr int16_t kMaxBreakAdverts = 100;

struct AdBreak {
    std::array<AdvertEntry, kMaxBreakAdverts> Adverts; // Adverts[0] is advert 1
    int16_t AdvertCount = 0;
    int16_t CurrentAdvert = 0; // 1-based
    int16_t PlayingPlayer = 0;
    int16_t CuedPlayer = 0;
    float Elapsed = 0.0f, Remaining = 0.0f, Total = 0.0f;
    int16_t NearEndSent = 0;

    AdvertEntry& Advert(int16_t number) { return Adverts[static_cast<size_t>(number - 1)]; }
    const AdvertEntry& Advert(int16_t number) const {
        return Adverts[static_cast<size_t>(number - 1)];
    }
};
