#pragma once
// Helpers of the control library: the recorder's trigger scan, number-to-text for debug
// lines, and the file-system helpers of the recorder.
#include <cstdint>
#include <string>

namespace Flenney {

// Byte offset of the first tested 16-bit sample whose level (percent of full scale, rounded
// half to even) is above TriggerLevel; -1 when none. Only every 48th byte is tested, and with
// two channels also the right sample of that frame.
int32_t FindTriggerPoint(const uint8_t* pBuffer, int32_t BufferLength, int16_t Channels,
                         int16_t TriggerLevel);

struct BaseError {
    int32_t Number = 0;
    std::string Source;
    std::string Description;
};

// Digits of Number in Base (2..36), most significant first. A bad base gives an empty text
// and, when `error` is given, the error the caller is to raise. A negative Number is taken as
// its unsigned 32-bit value.
std::string ConvertBase(int64_t Number, int32_t Base, BaseError* error = nullptr);

// The folder part of Path without its trailing separator ("\" or "/"), or empty.
std::string SplitPath(const std::string& Path);

// A path in Directory (empty = the system temporary folder) ending in "." + Extension for
// which no non-empty file exists; empty on failure. Leaves no file behind.
std::string MakeTempFileName(std::string Directory, const std::string& Extension);

// Bytes on the volume holding Path: Which 0 = total, 1 = free, 2 = available to the caller;
// 0 for any other Which or a failed query. The result is the raw value of a four-place
// fixed-point number (so its value is bytes / 10000).
int64_t GetDiskFreeBytes(const std::string& Path, int32_t Which);

} // namespace Flenney
