#include "core/MainSettings.h"

#include "core/GeneralFunctions.h"
#include "core/SettingsReader.h"
#include "platform/Files.h"
#include "platform/VB.h"

namespace MainSettings {
namespace {

// The name after "/LI:", when the command line as typed names an ".INI" file after it.
std::string ChooseMainIniFile() {
    const std::string& upper = CommandLine().CommandLineText;
    const std::string& typed = CommandLine().CommandLineTyped;
    size_t p = upper.find("/LI:");
    if (p == std::string::npos || typed.find(".INI", p + 1) == std::string::npos)
        return "VNTZEL.INI";
    size_t start = p + 4;
    size_t end = upper.find(' ', start);
    return VB::Trim(upper.substr(start, end == std::string::npos ? end : end - start));
}

} // namespace

std::string JoinArguments(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) line += ' ';
        bool quote =
            argument.find(' ') != std::string::npos && argument.find('"') == std::string::npos;
        line += quote ? "\"" + argument + "\"" : argument;
    }
    return line;
}

void SetCommandLine(const std::string& typed) {
    CommandLine().CommandLineTyped = typed;
    CommandLine().CommandLineText = VB::UCase(typed);
}

bool HasSwitch(const std::string& name) {
    return CommandLine().CommandLineText.find(name) != std::string::npos;
}

void ApplyDebugSwitch() {
    if (!HasSwitch("/DEBUG")) return;
    GeneralFunctions::State().DebugMode = -1;
    CommandLine().DebugFromCommandLine = true;
}

std::string DefaultLogWarningDays() {
    std::string weekday = std::string(15, '0') + std::string(9, '1');
    std::string table;
    for (int day = 1; day <= 4; ++day)
        table += weekday;
    table += std::string(15, '0') + std::string(9, '3');
    table += std::string(24, '2');
    table += std::string(24, '1');
    return table;
}

void LoadMainSettings() {
    SettingsRecords& s = Settings();
    s.MainIniFile = ChooseMainIniFile();
    IniReader ini(s.MainIniFile);
    if (GeneralFunctions::State().DebugMode == 0)
        GeneralFunctions::State().DebugMode = ini.Long("General", "DebugMode", 0);
    s.DataFolder = ini.Text("FileLocations", "Data", "");
    LoadSplitSettings(s.MainIniFile, 0);

    GeneralSettings& g = s.General;
    NetworkSettings& n = s.Network;
    g.ShowCartGroups = ini.Integer("General", "ShowCartGroups", 1);
    g.LogLoadingMode = ini.Integer("General", "LogLoadingMode ", 0);
    g.LogLoadDailyInterval = ini.Single("General", "LogLoadDailyInterval", 300);
    g.LogLoadHourlyInterval = ini.Single("General", "LogLoadHourlyInterval", 300);
    g.DropLateAdBreaks = ini.Integer("General", "DropLateAdBreaks", 0);
    g.AutoPlayAdBreaks = ini.Integer("General", "AutoPlayAdBreaks", 0);
    g.CueAdBreaksImmediately = ini.Integer("General", "CueAdBreaksImmediately", 0);
    g.HidePlayerControls = ini.Integer("General", "HidePlayerControls", 1);
    g.LogRecFileInDestDirectory = ini.Integer("General", "LogRecFileInDestDirectory", 0);
    g.LogCartGroups = ini.Integer("General", "LogCartGroups", 0);
    g.LogWhenController = ini.Integer("General", "LogWhenController", 0);
    if (g.LogWhenController == 0) s.LoggingAllowed = true;
    n.RespondPlayCommands = ini.Integer("Network", "RespondPlayCommands", 1);
    n.RespondOtherCommands = ini.Integer("Network", "RespondOtherCommands", 1);
    n.SendPlayFromHardware = ini.Integer("Network", "SendPlayFromHardware", 0);
    n.SendPlayerCommands = ini.Integer("Network", "SendPlayerCommands", 1);
    n.MasterName = ini.Text("Network", "MasterName", "");
    g.NumberSecondsToSignal = ini.NumberText("General", "NumberSecondsToSignal", "1");
    g.NumberSecondsWaitBeforeSignal =
        ini.NumberText("General", "NumberSecondsWaitBeforeSignal", "0.5");
    g.AllowCartsDuringBreaks = ini.Integer("General", "AllowCartsDuringBreaks", 0);
    g.AllowBreaksDuringCarts = ini.Integer("General", "AllowBreaksDuringCarts", 0);
    g.SourceLine = ini.Integer("General", "SourceLine", 0);
    g.AdvertSourceMute = ini.Integer("General", "AdvertSourceMute", 1);
    g.LogWarningDays = VB::FixedLength(
        ini.Text("General", "LogWarningDays", DefaultLogWarningDays()), kLogWarningDaysLength);
    g.ZOZServerName = ini.Text("General", "ZOZServerName", "");
    g.ZOZControlPort = ini.Integer("General", "ZOZControlPort", 1);
}

void LoadSplitSettings(const std::string& iniFile, int16_t splitNumber) {
    int n = splitNumber == 0 ? 1 : splitNumber;
    if (n < 1 || n > kSplitCount) return;
    SplitSettings& split = SplitSettingsOf(n);
    IniReader ini(iniFile);
    std::string number = std::to_string(n);
    std::string program = Platform::AppFolder();
    split.SplitName = ini.Text("General", "SplitName" + number, "Split " + number);
    split.Extension = VB::UCase(ini.Text("LogFileName", "Extension" + number, "LOG"));
    split.ReconcileExtension =
        VB::UCase(ini.Text("LogFileName", "ReconcileExtension" + number, "REC"));
    split.DateFormat = VB::UCase(ini.Text("LogFileName", "DateFormat" + number, "yymmdd"));
    split.PreSuffix = VB::UCase(ini.Text("LogFileName", "PreSuffix" + number, ""));
    split.LogTXChainCode = VB::UCase(ini.Text("LogFileName", "LogTXChainCode" + number, ""));
    split.Suffix = ini.Integer("LogFileName", "Suffix" + number, 0);
    split.LogSourceDirectory =
        ini.Text("General", "LogSourceDirectory" + number, Platform::JoinPath(program, "source"));
    split.LogDestinationDirectory = ini.Text("General", "LogDestinationDirectory" + number,
                                             Platform::JoinPath(program, "dest"));
    split.LogUpdateInterval = ini.Integer("General", "LogUpdateInterval" + number, 20);
}

bool CartChangeAllowed(int32_t& cartNumber, bool& writing) {
    (void)cartNumber;
    (void)writing;
    return true;
}

void CartMessageHook(const std::string&, int32_t, int32_t, std::string&) {}

void CartPlayerHook(int16_t&) {}

void CartBrowserHook() {}

} // namespace MainSettings
