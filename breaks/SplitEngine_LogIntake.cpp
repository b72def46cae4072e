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

#include <algorithm>
#include <cerrno>
#include <chrono>
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
    // A delivery still being written is left until it has stopped changing, whoever asks.
    if (!SourceSettled(source)) return false;
    if (!CopyNewLogFile(source)) return false;
    if (SkipReCue) return true;
    if (!ZEL_Common::OpenLogFile(kSplit, split.WorkingLogPath)) return false;
    // The copy is of the working log's day, whatever day the source file was written on.
    split.LoadedLogDate = split.WorkingLogDate;
    // The new log's times decide what is cued: a break it moved is found where it now is.
    split.CuedBreakPos = 0;
    split.CuedBreakTime = -1.0f;
    CueFirstBreakToPlay(true);
    return true;
}

bool SplitEngine::SourceSettled(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path file(Platform::ResolveExisting(path));
    const int64_t size = static_cast<int64_t>(std::filesystem::file_size(file, ec));
    if (ec) return false;
    const std::filesystem::file_time_type written = std::filesystem::last_write_time(file, ec);
    if (ec) return false;
    const int64_t time = written.time_since_epoch().count();
    const uint32_t tick = Platform::Clock::TickCount();
    const bool writing = Platform::FileOpenForWriting(file.string());
    const bool changed = path != settledPath_ || size != settledSize_ || time != settledTime_;
    if (writing || changed) {
        settledPath_ = path;
        settledSize_ = size;
        settledTime_ = time;
        settledSince_ = tick;
    }
    // Closed by its writer and quiet for a check interval (at least two seconds): by the file
    // system's clock, or, when the file's time is ahead of it (a clock set back), since the
    // first look at this size and time on the steady clock.
    const double quiet = std::max<double>(2.0, Split().LogUpdateInterval) - 0.25;
    const std::chrono::duration<double> age =
        std::filesystem::file_time_type::clock::now() - written;
    const bool settled = !writing && (age.count() >= quiet ||
                                      static_cast<double>(tick - settledSince_) >= quiet * 1000.0);
    // Said once for each new state of the file, not at every look.
    if (!settled && changed) Trace("CheckForNewLogFile:Source still changing:" + path);
    return settled;
}

void SplitEngine::CopyFailed(int hostError, const std::string& problem) {
    const std::string cause = GeneralFunctions::CauseText(hostError);
    Trace("Failed: Error- " + cause);
    if (!copyFailures_.Failed()) return;
    ZEL_Specific::WriteErrorLog(
        kSplit, "[Code:E" + std::to_string(Platform::ErrorNumberOfErrno(hostError)) +
                    "]Copying the new log file during CopyNewLogFile: " + cause);
    GeneralFunctions::TellProblem(problem + ": " + cause);
    Platform::MsgBox(problem + "\nThe error was: " + cause, Platform::vbInformation);
}

void SplitEngine::CopyWorked(const std::string& source) {
    if (copyFailures_.Worked())
        GeneralFunctions::TellProblem("The new log file " + source + " was copied in again");
}

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
        const int hostError = source ? errno : EMFILE;
        if (err != 0) {
            source = 0;
            if (err == Platform::errPermissionDenied) {
                Trace("Failed:Locked for Writing");
                break;
            }
            CopyFailed(hostError, "There was a problem opening the log file to store locally");
            break;
        }
        Trace("OK");
        std::string text;
        while (!Files::AtEnd(source))
            text += GeneralFunctions::ReadFileLine(source) + "\r\n";
        Trace("Open DestFile");
        if (!Platform::ReplaceWholeFile(split.WorkingLogPath, text)) {
            CopyFailed(errno, "There was a problem opening the local log file to copy into");
            break;
        }
        copied = true;
        CopyWorked(SourceFileName);
    } while (false);
    Trace("Close SourceFile");
    Trace("Close DestFile");
    if (source) Files::Close(source);
    state.LogCopyInProgress = false;
    return copied;
}
