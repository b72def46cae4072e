#include "player_controls/EngineDebugFile.h"

#include "core/GeneralFunctions.h"
#include "platform/Files.h"

#include <cstdio>

void EngineDebugFile::SetDebugFile(const std::string& debugFileName, int32_t debugMode) {
    SetFileName(debugFileName);
    SetLevel(debugMode);
}

void EngineDebugFile::SetFileName(const std::string& debugFileName) {
    fileName_ = debugFileName;
    level_ = fileName_.empty() ? dmOff : dmBasic;
}

bool EngineDebugFile::Enabled(int32_t threshold) const {
    return !fileName_.empty() && level_ > 0 && level_ >= threshold;
}

void EngineDebugFile::Write(const std::string& text, int32_t threshold) const {
    if (!Enabled(threshold)) return;
    if (GeneralFunctions::SafeFileLen(fileName_) > MaxFileBytes)
        std::remove(Platform::ResolveExisting(fileName_).c_str());
    const bool endOfProcedure = blankLineAfterEnd_ && text.rfind("End Function", 0) == 0;
    GeneralFunctions::AppendTimedLine(fileName_, true, endOfProcedure ? text + "\r\n" : text);
}
