#include "breaks/ZEL_Specific.h"

#include "breaks/AdvertLog_FN.h"
#include "breaks/BreaksState.h"
#include "breaks/ZEL_Common.h"
#include "core/GeneralFunctions.h"
#include "core/KeptLines.h"
#include "core/MainSettings.h"
#include "platform/Clock.h"
#include "platform/VB.h"

namespace ZEL_Specific {

std::string ReconcileFile(int16_t Split) {
    int32_t today = Platform::Clock::Today();
    if (MainSettings::Settings().General.LogRecFileInDestDirectory != 0)
        return ZEL_Common::GetDestinationLogPath(Split, today, true);
    return ZEL_Common::GetSourceLogPath(Split, today, true);
}

std::string ErrorLogFile(int16_t Split) {
    std::string path = ReconcileFile(Split);
    if (path.empty()) return "";
    size_t slash = path.find_last_of("\\/");
    size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.erase(dot);
    return path + ".ERR";
}

// Stamped when made: a kept line keeps its own time.
void WriteErrorLog(int16_t Split, const std::string& Text) {
    const std::string path = ErrorLogFile(Split);
    if (!path.empty()) KeptLines::Append(path, GeneralFunctions::TimedText(Text));
}

} // namespace ZEL_Specific

namespace ZEL_Specific {

void WriteReconcileEntry(int16_t Split, const GeneralFunctions::TimeStamp& PlayStarted,
                         int32_t CartNumber, const std::string& Title, float Length,
                         const std::string& Reference) {
    const ZEL_Common::SplitRecord* split = Breaks::Split(Split);
    std::string path = ReconcileFile(Split);
    if (!split || path.empty()) return;
    float seconds = static_cast<float>(VB::RoundHalfEven(Length));
    std::string line = AdvertLog_FN::BuildLogLine(PlayStarted.Seconds, split->LogTXChainCode,
                                                  CartNumber, Title, Reference, seconds, false);
    KeptLines::Append(path, line);
}

} // namespace ZEL_Specific
