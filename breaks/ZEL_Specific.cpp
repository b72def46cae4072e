#include "breaks/ZEL_Specific.h"

#include "breaks/ZEL_Common.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "platform/Clock.h"

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

void WriteErrorLog(int16_t Split, const std::string& Text) {
    GeneralFunctions::AppendTimedLine(ErrorLogFile(Split), true, Text);
}

} // namespace ZEL_Specific
