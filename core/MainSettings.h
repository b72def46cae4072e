#pragma once
// The main settings file: the station settings of [General], [Network] and [FileLocations],
// the split's log settings, and the cart permission and message hooks.
#include "core/AudioSettings.h"

#include <cstdint>
#include <string>
#include <vector>

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

// The program's command line, kept for every switch test of start-up and the settings loaders.
struct CommandLineState {
    // The command line in capitals; switch tests are substring searches in it.
    std::string CommandLineText;
    // The command line as typed (the settings loader checks a file name's case in it).
    std::string CommandLineTyped;
    // "/DEBUG" was given.
    bool DebugFromCommandLine = false;
};

// The settings fields of a split's record; the split window's run-time fields follow them.
struct SplitSettings {
    std::string SplitName;
    std::string Extension;
    std::string DateFormat;
    int16_t Suffix = 0;
    std::string PreSuffix;
    std::string LogTXChainCode;
    std::string ReconcileExtension;
    std::string LogSourceDirectory;
    std::string LogDestinationDirectory;
    int16_t LogUpdateInterval = 0;
};

// Only split 1 exists.
constexpr int kSplitCount = 1;

struct SettingsRecords {
    CommandLineState CommandLine;
    std::string MainIniFile = "VNTZEL.INI";
    std::string DataFolder;
    GeneralSettings General;
    NetworkSettings Network;
    bool LoggingAllowed = false;
    AudioSettings::AudioSettingsRecord Audio;
};

// The settings of the current program context.
SettingsRecords& Settings();
// The settings fields of split n (1..kSplitCount) of the current program context.
SplitSettings& SplitSettingsOf(int n);

// The command line of the current program context.
inline CommandLineState& CommandLine() {
    return Settings().CommandLine;
}
// The arguments after the program name joined by blanks, each holding a blank in quotes.
std::string JoinArguments(const std::vector<std::string>& arguments);
// Sets CommandLineText (in capitals) and CommandLineTyped from the typed line.
void SetCommandLine(const std::string& typed);
// "/DEBUG" sets DebugMode to -1 (every trace line) and DebugFromCommandLine, before the
// settings are loaded.
void ApplyDebugSwitch();
// The command line holds the switch (in capitals).
bool HasSwitch(const std::string& name);

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
