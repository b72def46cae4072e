#pragma once
// Files held open by number between calls, as the classic Open #n / Close #n statements do.
// Numbers are 1..511; every call on a number that is not open fails quietly.
#include <cstdint>
#include <string>

namespace Platform::FileNumbers {

enum class OpenMode { Input, Output, Append, Binary };

// The lowest number not in use, 0 when all are taken.
int16_t FreeFile();
// Opens path under number (ResolveExisting for Input, Binary and Append). Returns 0 or the
// run-time error number (55 when the number is already open, 52 for a bad number).
int Open(int16_t number, const std::string& path, OpenMode mode);
void Close(int16_t number);
void CloseAll();
bool IsOpen(int16_t number);
// True at the end of the file, and for a number that is not open.
bool AtEnd(int16_t number);
// The next byte, -1 at the end of the file or for a number that is not open.
int ReadByte(int16_t number);
// Writes bytes at the current position; 0 or the run-time error number.
int Write(int16_t number, const std::string& bytes);
// Length in bytes (LOF), -1 for a number that is not open.
int64_t Length(int16_t number);
// 1-based position of the next byte (Seek), and moving it; 0 / false when not open.
int64_t Position(int16_t number);
bool SetPosition(int16_t number, int64_t position);

} // namespace Platform::FileNumbers
