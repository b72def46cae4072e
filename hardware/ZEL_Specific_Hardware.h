#pragma once
// The hardware table's settings sections of the main settings file.
#include "core/SaveReport.h"

#include <string>

namespace ZEL_Specific {

// The sections "Hardware1".."Hardware3" of the main settings file into the hardware table,
// and back. Run-time fields are not touched. What the save met: a failure and its cause.
void LoadHardwareSettings(const std::string& IniFile);
GeneralFunctions::SaveReport SaveHardwareSettings(const std::string& IniFile);

} // namespace ZEL_Specific
