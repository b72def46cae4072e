#include "breaks/LogSupport.h"
#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Common.h"
#include "breaks/ZEL_Specific.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"

#include <cerrno>
#include <cstdio>

using LogSupport::WriteDebugLine;

namespace {

constexpr int16_t kSplit = 1;

bool Later(const LogSupport::TimeStamp& a, const LogSupport::TimeStamp& b) {
    return a.Day > b.Day || (a.Day == b.Day && a.Seconds > b.Seconds);
}

std::string FileNamePart(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A file opened for output, closed when it goes out of scope.
struct OutputFile {
    std::FILE* file = nullptr;
    ~OutputFile() {
        if (file) std::fclose(file);
    }
};

} // namespace

bool SplitEngine::CheckForNewLogFile(bool SkipReCue) {
    Breaks::BreaksState& state = Breaks::State();
    ZEL_Common::SplitRecord& split = Split();
    if (state.BreakRunning || state.LogCopyInProgress || split.WorkingLogPath.empty()) return false;
    std::string source =
        Platform::JoinPath(split.LogSourceDirectory, FileNamePart(split.WorkingLogPath));
    if (LogSupport::SafeFileLen(source) <= 0) return false;
    LogSupport::TimeStamp stamp;
    int err = 0;
    if (!LogSupport::FileModifiedStamp(source, stamp, err)) {
        ZEL_Specific::WriteErrorLog(
            kSplit, "[Code:E" + std::to_string(err) +
                        "]Problem checking File Date/Time Stamp during CheckForNewLogFile");
        return false;
    }
    if (!Later(stamp, split.LogFileStamp)) return true;
    if (!CopyNewLogFile(source)) return false;
    if (SkipReCue) return true;
    if (!ZEL_Common::OpenLogFile(kSplit, split.WorkingLogPath)) return false;
    float time = split.CuedBreakTime;
    if (time < 0)
        time = GetAdBreakTime(GetNextAdBreakFilePos(static_cast<float>(Platform::Clock::Timer())));
    split.CuedBreakPos = 0;
    split.CuedBreakTime = -1.0f;
    // The copy is of the loaded day's log, whatever day the source file was written on.
    SetCurrentAdBreakTime(split.LoadedLogDate != 0 ? split.LoadedLogDate : stamp.Day, time, true,
                          false);
    return true;
}

bool SplitEngine::CopyNewLogFile(const std::string& SourceFileName) {
    double length = LogSupport::SafeFileLen(SourceFileName);
    WriteDebugLine("CopyNewLogFile:SourceFileName:" + SourceFileName);
    WriteDebugLine("Source file length:" + std::to_string(static_cast<int64_t>(length)));
    if (length < 1) return false;
    Breaks::BreaksState& state = Breaks::State();
    ZEL_Common::SplitRecord& split = Split();
    state.LogCopyInProgress = true;
    bool copied = false;
    LogFile source;
    OutputFile dest;
    do {
        if (int err = ZEL_Common::CloseLogFile(kSplit); err != 0) {
            ZEL_Specific::WriteErrorLog(kSplit, "[Code:E" + std::to_string(err) +
                                                    "]Closing the log file during CopyNewLogFile");
            break;
        }
        WriteDebugLine("Open SourceFile");
        if (int err = source.Open(SourceFileName); err != 0) {
            if (err == Platform::errPermissionDenied) {
                WriteDebugLine("Failed:Locked for Writing");
                break;
            }
            std::string description = Platform::RunTimeErrorText(err);
            WriteDebugLine("Failed: Error- " + description);
            Platform::MsgBox("There was a problem opening the log file to store locally\n"
                             "The error was: " +
                                 description,
                             Platform::vbInformation);
            break;
        }
        WriteDebugLine("OK");
        WriteDebugLine("Open DestFile");
        errno = 0;
        dest.file = std::fopen(Platform::ResolveExisting(split.WorkingLogPath).c_str(), "wb");
        if (!dest.file) {
            Platform::MsgBox("There was a problem opening the local log file to copy into\n"
                             "The error was: " +
                                 Platform::RunTimeErrorText(Platform::ErrorNumberOfErrno(errno)),
                             Platform::vbInformation);
            break;
        }
        bool written = true;
        while (written && !source.AtEnd()) {
            std::string line = source.ReadLine() + "\r\n";
            written = std::fwrite(line.data(), 1, line.size(), dest.file) == line.size();
        }
        copied = written && std::fflush(dest.file) == 0;
    } while (false);
    WriteDebugLine("Close SourceFile");
    WriteDebugLine("Close DestFile");
    source.Close();
    if (dest.file && std::fclose(dest.file) != 0) copied = false;
    dest.file = nullptr;
    state.LogCopyInProgress = false;
    return copied;
}
