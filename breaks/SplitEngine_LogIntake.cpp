#include "breaks/LogSupport.h"
#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Common.h"
#include "breaks/ZEL_Specific.h"
#include "core/GeneralFunctions.h"
#include "platform/Clock.h"
#include "platform/FileNumbers.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"

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
    int16_t dest = 0;
    do {
        ZEL_Common::CloseLogFile(kSplit);
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
            std::string description = Platform::RunTimeErrorText(err);
            Trace("Failed: Error- " + description);
            Platform::MsgBox("There was a problem opening the log file to store locally\n"
                             "The error was: " +
                                 description,
                             Platform::vbInformation);
            break;
        }
        Trace("OK");
        Trace("Open DestFile");
        dest = Files::FreeFile();
        err = dest ? Files::Open(dest, split.WorkingLogPath, Files::OpenMode::Output)
                   : static_cast<int>(Platform::errTooManyFiles);
        if (err != 0) {
            dest = 0;
            Platform::MsgBox("There was a problem opening the local log file to copy into\n"
                             "The error was: " +
                                 Platform::RunTimeErrorText(err),
                             Platform::vbInformation);
            break;
        }
        err = 0;
        while (err == 0 && !Files::AtEnd(source))
            err = Files::Write(dest, GeneralFunctions::ReadFileLine(source) + "\r\n");
        copied = err == 0;
    } while (false);
    Trace("Close SourceFile");
    Trace("Close DestFile");
    if (source) Files::Close(source);
    if (dest) Files::Close(dest);
    state.LogCopyInProgress = false;
    return copied;
}
