#pragma once
// The split's log files: names, locations, opening the log of a day, break starts, and the
// data directories.
#include <cstdint>
#include <string>

namespace ZEL_Common {

std::string BuildLogFileName(int16_t Split, int32_t LogDate, bool Reconcile);
std::string GetSourceLogPath(int16_t Split, int32_t LogDate, bool Reconcile);
std::string GetDestinationLogPath(int16_t Split, int32_t LogDate, bool Reconcile);

// Makes the log of LogDate the working log, fetching the source copy when the destination
// copy is missing. On failure the split keeps the log it had open.
bool OpenLogForDate(int16_t Split, int32_t LogDate);
// Opens Path as the working log, closing the old one first.
bool OpenLogFile(int16_t Split, const std::string& Path);
// Closes the working log; LogFileNumber becomes 0.
void CloseLogFile(int16_t Split);

// The first line of the block of lines (ended by empty lines) that holds FilePos.
int32_t GetAdBreakStartFilePos(int16_t Split, int32_t FilePos);

// The data folder's subfolders as they are made on disk; paths to them keep this case.
inline constexpr const char* kScheduleFolder = "SCHEDULE";
inline constexpr const char* kLogsFolder = "Logs";
void CreateDataDirectories(const std::string& BaseDir);

// A line of the split's log that the split plays: not empty after trimming, and of the
// split's chain code (any chain when none is set).
bool LineMatchesSplit(int16_t Split, const std::string& TrimmedLine);

} // namespace ZEL_Common
