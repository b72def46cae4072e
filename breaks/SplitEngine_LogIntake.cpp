#include "breaks/LogSupport.h"
#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Common.h"
#include "breaks/ZEL_Specific.h"
#include "core/GeneralFunctions.h"
#include "platform/Clock.h"
#include "platform/FileNumbers.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/WholeFile.h"

#include <filesystem>

bool SplitEngine::CheckForNewLogFile(bool SkipReCue) {
    Breaks::BreaksState& state = Breaks::State();
    ZEL_Common::SplitRecord& split = Split();
    if (state.BreakRunning || state.LogCopyInProgress || split.WorkingLogPath.empty()) return false;
    std::string source = Platform::JoinPath(split.LogSourceDirectory,
                                            GeneralFunctions::GetFileName(split.WorkingLogPath));
    if (GeneralFunctions::SafeFileLen(source) <= 0) return false;
    GeneralFunctions::TimeStamp stamp;
    int err = 0;
    if (!LogSupport::FileModifiedStamp(source, stamp, err)) {
        ZEL_Specific::WriteErrorLog(
            kSplit, "[Code:E" + std::to_string(err) +
                        "]Problem checking File Date/Time Stamp during CheckForNewLogFile");
        return false;
    }
    if (!GeneralFunctions::TimeStampLater(stamp, split.LogFileStamp)) return true;
    // A delivery still being written changes between two checks: wait for it to settle. A
    // log fetched because the day has none is taken at once.
    if (!SkipReCue && !SourceSettled(source)) {
        Trace("CheckForNewLogFile:Source still changing:" + source);
        return false;
    }
    if (!CopyNewLogFile(source)) return false;
    if (SkipReCue) return true;
    if (!ZEL_Common::OpenLogFile(kSplit, split.WorkingLogPath)) return false;
    float time = split.CuedBreakTime;
    if (time < 0) {
        // Nothing cued and no break later today: a delivery cues nothing.
        int32_t next = GetNextAdBreakFilePos(static_cast<float>(Platform::Clock::Timer()));
        if (next == 0) return true;
        time = GetAdBreakTime(next);
    }
    split.CuedBreakPos = 0;
    split.CuedBreakTime = -1.0f;
    // The copy is of the loaded day's log, whatever day the source file was written on.
    SetCurrentAdBreakTime(split.LoadedLogDate != 0 ? split.LoadedLogDate : stamp.Day, time, true,
                          false);
    return true;
}

bool SplitEngine::SourceSettled(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path file(Platform::ResolveExisting(path));
    const int64_t size = static_cast<int64_t>(std::filesystem::file_size(file, ec));
    if (ec) return false;
    const int64_t time = std::filesystem::last_write_time(file, ec).time_since_epoch().count();
    if (ec) return false;
    const bool settled = path == settledPath_ && size == settledSize_ && time == settledTime_;
    settledPath_ = path;
    settledSize_ = size;
    settledTime_ = time;
    return settled;
}

namespace {

// A copy that failed for a reason other than a delivery still being written: one line in the
// day's error file and the box.
void CopyFailed(int err, const std::string& problem) {
    ZEL_Specific::WriteErrorLog(1, "[Code:E" + std::to_string(err) +
                                       "]Copying the new log file during CopyNewLogFile");
    Platform::MsgBox(problem + "\nThe error was: " + Platform::RunTimeErrorText(err),
                     Platform::vbInformation);
}

} // namespace

bool SplitEngine::CopyNewLogFile(const std::string& SourceFileName) {
    namespace Files = Platform::FileNumbers;
    double length = GeneralFunctions::SafeFileLen(SourceFileName);
    Trace("CopyNewLogFile:SourceFileName:" + SourceFileName);
    Trace("Source file length:" + std::to_string(static_cast<int64_t>(length)));
    if (length < 1) return false;
    Breaks::BreaksState& state = Breaks::State();
    ZEL_Common::SplitRecord& split = Split();
    state.LogCopyInProgress = true;
    bool copied = false;
    int16_t source = 0;
    // The working log stays open: the copy is put over it in one step and the caller opens
    // the new copy, so a failed copy leaves the split as it was.
    do {
        Trace("Open SourceFile");
        source = Files::FreeFile();
        int err = source ? Files::Open(source, SourceFileName, Files::OpenMode::Input)
                         : static_cast<int>(Platform::errTooManyFiles);
        if (err != 0) {
            source = 0;
            if (err == Platform::errPermissionDenied) {
                Trace("Failed:Locked for Writing");
                break;
            }
            Trace("Failed: Error- " + Platform::RunTimeErrorText(err));
            CopyFailed(err, "There was a problem opening the log file to store locally");
            break;
        }
        Trace("OK");
        std::string text;
        while (!Files::AtEnd(source))
            text += GeneralFunctions::ReadFileLine(source) + "\r\n";
        Trace("Open DestFile");
        if (!Platform::ReplaceWholeFile(split.WorkingLogPath, text)) {
            CopyFailed(Platform::errPathFileAccess,
                       "There was a problem opening the local log file to copy into");
            break;
        }
        copied = true;
    } while (false);
    Trace("Close SourceFile");
    Trace("Close DestFile");
    if (source) Files::Close(source);
    state.LogCopyInProgress = false;
    return copied;
}
