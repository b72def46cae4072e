#pragma once
// The hardware table's settings sections of the main settings file.
#include <string>

namespace ZEL_Specific {

// The sections "Hardware1".."Hardware3" of the main settings file into the hardware table,
// and back. Run-time fields are not touched. Saving is false (and traced) when a write failed.
void LoadHardwareSettings(const std::string& IniFile);
bool SaveHardwareSettings(const std::string& IniFile);

} // namespace ZEL_Specific
