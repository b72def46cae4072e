#pragma once
// The split's record: its log settings (filled by the settings loader), then its run time.
#include "breaks/BreakRecord.h"

#include <cstdint>
#include <string>

struct SplitRecord : SplitRunTime {
    std::string SplitName = "SPLIT 1";
    std::string Extension = "LOG";
    std::string DateFormat = "YYMMDD";
    int16_t Suffix = 0;
    std::string PreSuffix;
    std::string LogTXChainCode;
    std::string ReconcileExtension = "REC";
    std::string LogSourceDirectory;
    std::string LogDestinationDirectory;
    int16_t LogUpdateInterval = 20;
};
