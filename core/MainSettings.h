#pragma once
// The main settings file: the station settings of [General], [Network] and [FileLocations],
// the split's log settings, and the cart permission and message hooks.
#include "core/AudioSettings.h"

#include <cstdint>
#include <string>

namespace MainSettings {

constexpr size_t kLogWarningDaysLength = 168; // one digit per hour of the week, Monday first

struct GeneralSettings {
    int16_t ShowCartGroups = 1;
    int16_t LogLoadingMode = 0;
    float LogLoadDailyInterval = 300;
    float LogLoadHourlyInterval = 300;
    int16_t DropLateAdBreaks = 0;
    int16_t AutoPlayAdBreaks = 0;
    int16_t CueAdBreaksImmediately = 0;
    int16_t HidePlayerControls = 1;
    int16_t LogRecFileInDestDirectory = 0;
    int16_t LogCartGroups = 0;
    int16_t LogWhenController = 0;
    float NumberSecondsToSignal = 1.0f;
    float NumberSecondsWaitBeforeSignal = 0.5f;
    int16_t AllowCartsDuringBreaks = 0;
    int16_t AllowBreaksDuringCarts = 0;
    int16_t SourceLine = 0;
    int16_t AdvertSourceMute = 1;
    std::string LogWarningDays; // exactly kLogWarningDaysLength characters once loaded
    std::string ZOZServerName;
    int16_t ZOZControlPort = 1;
};

struct NetworkSettings {
    int16_t RespondPlayCommands = 1;
    int16_t RespondOtherCommands = 1;
    int16_t SendPlayFromHardware = 0;
    int16_t SendPlayerCommands = 1;
    std::string MasterName;
};

struct SettingsRecords {
    std::string MainIniFile = "VNTZEL.INI";
    std::string DataFolder;
    GeneralSettings General;
    NetworkSettings Network;
    bool LoggingAllowed = false;
    AudioSettings::AudioSettingsRecord Audio;
};

// The settings of the current program context.
SettingsRecords& Settings();

// Chooses MainIniFile ("/LI:" on the command line), reads the settings and the split's log
// settings. Missing files and keys give the defaults; nothing is reported.
void LoadMainSettings();
// Fills the settings fields of split splitNumber (0 stands for 1) from iniFile; only split 1
// exists, other numbers change nothing.
void LoadSplitSettings(const std::string& iniFile, int16_t splitNumber);
// The week table used when [General] LogWarningDays is missing.
std::string DefaultLogWarningDays();

// Permission asked before a cart is written or deleted; this system always allows it.
bool CartChangeAllowed(int32_t& cartNumber, bool& writing);
// Hooks for a host that adds its own handling; in this system they do nothing.
void CartMessageHook(const std::string& text, int32_t buttons, int32_t data, std::string& answer);
void CartPlayerHook(int16_t& value);
void CartBrowserHook();

} // namespace MainSettings
