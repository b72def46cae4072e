#include "breaks/ZEL_Common.h"

#include "breaks/AdvertLog_FN.h"
#include "breaks/BreaksState.h"
#include "breaks/LogLines.h"
#include "breaks/LogSupport.h"
#include "breaks/ZEL_Specific.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace ZEL_Common {
namespace {

std::string ErrorCode(int number) {
    return "[Code:E" + std::to_string(number) + "]";
}

// The run-time fields of the split's record, kept across an attempt to open another day.
struct RunTimeFields {
    std::string WorkingLogPath;
    int32_t WorkingLogDate;
    int16_t LogFileNumber;
    int32_t LoadedLogDate, CuedBreakPos, CuedBreakDate;
    float CuedBreakTime;
    GeneralFunctions::TimeStamp LogFileStamp;

    explicit RunTimeFields(const SplitRecord& s)
        : WorkingLogPath(s.WorkingLogPath), WorkingLogDate(s.WorkingLogDate),
          LogFileNumber(s.LogFileNumber), LoadedLogDate(s.LoadedLogDate),
          CuedBreakPos(s.CuedBreakPos), CuedBreakDate(s.CuedBreakDate),
          CuedBreakTime(s.CuedBreakTime), LogFileStamp(s.LogFileStamp) {}
    void RestoreInto(SplitRecord& s) const {
        s.WorkingLogPath = WorkingLogPath;
        s.WorkingLogDate = WorkingLogDate;
        s.LogFileNumber = LogFileNumber;
        s.LoadedLogDate = LoadedLogDate;
        s.CuedBreakPos = CuedBreakPos;
        s.CuedBreakDate = CuedBreakDate;
        s.CuedBreakTime = CuedBreakTime;
        s.LogFileStamp = LogFileStamp;
    }
};

// After a failed switch to another day: the run-time state as it was, with the old log open
// again when the attempt closed it.
void RestoreWorkingLog(int16_t Split, const RunTimeFields& before) {
    SplitRecord& split = *Breaks::Split(Split);
    bool closed = before.LogFileNumber != 0 && !Platform::FileNumbers::IsOpen(split.LogFileNumber);
    before.RestoreInto(split);
    if (!closed) return;
    // The attempt closed the old log: open it again, under a new number.
    split.LogFileNumber = 0;
    if (!OpenLogFile(Split, before.WorkingLogPath)) split.LoadedLogDate = 0;
}

} // namespace

std::string BuildLogFileName(int16_t Split, int32_t LogDate, bool Reconcile) {
    const SplitRecord* split = Breaks::Split(Split);
    if (!split) return "";
    const std::string& ext = Reconcile ? split->ReconcileExtension : split->Extension;
    std::string date = VB::FormatDate(LogDate, split->DateFormat);
    if (split->Suffix == 0) return split->PreSuffix + date + "." + ext;
    return date + split->PreSuffix + "." + ext;
}

std::string GetSourceLogPath(int16_t Split, int32_t LogDate, bool Reconcile) {
    const SplitRecord* split = Breaks::Split(Split);
    if (!split) return "";
    return Platform::JoinPath(split->LogSourceDirectory,
                              BuildLogFileName(Split, LogDate, Reconcile));
}

std::string GetDestinationLogPath(int16_t Split, int32_t LogDate, bool Reconcile) {
    const SplitRecord* split = Breaks::Split(Split);
    if (!split) return "";
    return Platform::JoinPath(split->LogDestinationDirectory,
                              BuildLogFileName(Split, LogDate, Reconcile));
}

bool OpenLogForDate(int16_t Split, int32_t LogDate) {
    SplitRecord* split = Breaks::Split(Split);
    if (!split) return false;
    const RunTimeFields before(*split);
    split->WorkingLogPath = GetDestinationLogPath(Split, LogDate, false);
    split->WorkingLogDate = LogDate;
    if (GeneralFunctions::SafeFileLen(split->WorkingLogPath) <= 0) {
        split->LogFileStamp.Day = 0;
        split->LoadedLogDate = 0;
        auto& fetch = Breaks::State().checkForNewLogFile;
        if (!fetch || !fetch(true)) {
            // With no log open before there is nothing to keep: no day is loaded and the
            // path is the one that was looked for.
            if (before.LogFileNumber != 0) RestoreWorkingLog(Split, before);
            return false;
        }
    }
    if (OpenLogFile(Split, split->WorkingLogPath)) {
        split->LoadedLogDate = LogDate;
        return true;
    }
    // OpenLogFile leaves an open old log alone when the new one is missing.
    if (split->LogFileNumber != 0 && split->LogFileNumber == before.LogFileNumber) {
        RestoreWorkingLog(Split, before);
        return false;
    }
    split->LogFileNumber = 0;
    return false;
}

void CloseLogFile(int16_t Split) {
    SplitRecord* split = Breaks::Split(Split);
    if (!split || split->LogFileNumber == 0) return;
    Platform::FileNumbers::Close(split->LogFileNumber);
    split->LogFileNumber = 0;
}

bool OpenLogFile(int16_t Split, const std::string& Path) {
    SplitRecord* split = Breaks::Split(Split);
    if (!split || GeneralFunctions::SafeFileLen(Path) <= 0) return false;
    CloseLogFile(Split); // closing a log by number cannot fail here
    split->LogFileStamp = GeneralFunctions::TimeStamp{};
    int16_t number = Platform::FileNumbers::FreeFile();
    if (number == 0) return false;
    split->WorkingLogPath = Path;
    if (int err = Platform::FileNumbers::Open(number, Path, Platform::FileNumbers::OpenMode::Input);
        err != 0) {
        ZEL_Specific::WriteErrorLog(Split,
                                    ErrorCode(err) + "Opening the log file during OpenLogFile");
        return false;
    }
    split->LogFileNumber = number;
    int err = 0;
    if (!LogSupport::FileModifiedStamp(Path, split->LogFileStamp, err) &&
        err != Platform::errFileNotFound) {
        CloseLogFile(Split);
        return false;
    }
    return true;
}

int32_t GetAdBreakStartFilePos(int16_t Split, int32_t FilePos) {
    SplitRecord* split = Breaks::Split(Split);
    if (!split || FilePos <= 0 || split->LogFileNumber == 0) return 0;
    const int16_t log = split->LogFileNumber;
    int32_t result = 1;
    LogLines::Seek(log, 1);
    while (LogLines::Position(log) < FilePos && !LogLines::AtEnd(log)) {
        if (LogLines::ReadTrimmed(log).empty()) result = LogLines::Position(log);
    }
    return result;
}

void CreateDataDirectories(const std::string& BaseDir) {
    struct Folder {
        const char* name;
        const char* what;
        const char* shown;
    };
    static const Folder folders[] = {{"USERS", "USERS", "USERS"},
                                     {kScheduleFolder, "Schedules", "SCHEDULE"},
                                     {kLogsFolder, "Logs", "LOGS"}};
    for (const Folder& folder : folders) {
        std::string path = Platform::JoinPath(BaseDir, folder.name);
        if (Platform::DirectoryExists(path)) continue;
        std::error_code ec;
        std::filesystem::create_directories(Platform::HostPath(path), ec);
        if (!ec) continue;
        std::string description =
            Platform::RunTimeErrorText(Platform::ErrorNumberOfErrno(ec.value()));
        Platform::MsgBox(std::string("There was an error whilst creating the ") + folder.what +
                             " directory in " + BaseDir + "\\" + folder.shown +
                             "\nError : " + description,
                         Platform::vbExclamation);
    }
}

bool LineMatchesSplit(int16_t Split, const std::string& TrimmedLine) {
    const SplitRecord* split = Breaks::Split(Split);
    if (!split || TrimmedLine.empty()) return false;
    return split->LogTXChainCode.empty() ||
           split->LogTXChainCode == AdvertLog_FN::GetLineChainCode(TrimmedLine);
}

} // namespace ZEL_Common
