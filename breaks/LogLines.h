#pragma once
// Reading an open log by file number: positions are 1-based byte offsets of the next byte.
#include "core/GeneralFunctions.h"
#include "platform/FileNumbers.h"
#include "platform/VB.h"

#include <cstdint>
#include <string>

namespace LogLines {

inline void Seek(int16_t file, int32_t position) {
    Platform::FileNumbers::SetPosition(file, position < 1 ? 1 : position);
}
inline int32_t Position(int16_t file) {
    return static_cast<int32_t>(Platform::FileNumbers::Position(file));
}
inline bool AtEnd(int16_t file) {
    return Platform::FileNumbers::AtEnd(file);
}
// The next line, trimmed of blanks.
inline std::string ReadTrimmed(int16_t file) {
    return VB::Trim(GeneralFunctions::ReadFileLine(file));
}

} // namespace LogLines
