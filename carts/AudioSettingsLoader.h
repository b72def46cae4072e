#pragma once
// The loader of the audio, cart and player settings: it fills the settings record, the cart
// players' devices and colours and the audiowall part folders.
#include "core/AudioSettings.h"
#include "core/SaveReport.h"

#include <cstdint>
#include <string>

namespace AudioSettings {

// Reads every audio, cart and player setting: from IniFile, or with an empty name from the
// registry under HKEY_LOCAL_MACHINE\RegistryKey; then Audwall.ini of audiowall part 1.
// Chooses the players' wave-out devices. Missing files and keys give the defaults.
void LoadAudioSettings(const std::string& IniFile, const std::string& RegistryKey);
// The start-up read: from MainIniFile (the file the settings dialog saves to).
void LoadStartupAudioSettings();
// Writes the keys the audio setup dialog edits to IniFile.
// What the save met: a failure and its cause.
GeneralFunctions::SaveReport SaveAudioSettings(const std::string& IniFile);

// The number after "/PLAYERS=" on the command line, rounded; false without the switch.
bool PlayersSwitch(int32_t& count);

} // namespace AudioSettings
