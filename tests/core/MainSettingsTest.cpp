#include "support/TestSupport.h"

#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "main_window/CommandLine.h"
#include "main_window/ProgramContext.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace MainSettings;
using TestSupport::WriteBytes;

namespace {

// A fresh context with the Windows and program folders in a scratch directory.
class MainSettingsTest : public ::testing::Test {
protected:
    MainSettingsTest() : scope_(context_) {
        setenv("VNTZEL_WINDIR", dir_.Path().c_str(), 1);
        setenv("VNTZEL_APPDIR", (dir_.Path() + "/app").c_str(), 1);
        CommandLine("");
        GeneralFunctions::State().DebugMode = 0;
    }
    ~MainSettingsTest() override {
        unsetenv("VNTZEL_WINDIR");
        unsetenv("VNTZEL_APPDIR");
        CommandLine("");
        GeneralFunctions::State().DebugMode = 0;
    }
    void CommandLine(const std::string& typed) { MainWindow::SetCommandLine(typed); }
    void WriteIni(const std::string& name, const std::string& text) {
        WriteBytes(dir_.File(name), text);
    }
    const ZEL_Common::SplitRecord& Split() { return context_.Breaks.SplitRecord[0]; }

    TestSupport::ScratchDir dir_;
    ProgramContext context_;
    ContextScope scope_;
};

} // namespace

TEST_F(MainSettingsTest, AbsentFileGivesTheDefaults) {
    LoadMainSettings();
    const SettingsRecords& s = context_.Settings;
    EXPECT_EQ(s.MainIniFile, "VNTZEL.INI");
    EXPECT_EQ(s.DataFolder, "");
    EXPECT_EQ(GeneralFunctions::State().DebugMode, 0);
    const GeneralSettings& g = s.General;
    EXPECT_EQ(g.ShowCartGroups, 1);
    EXPECT_EQ(g.HidePlayerControls, 1);
    EXPECT_EQ(g.AdvertSourceMute, 1);
    EXPECT_EQ(g.ZOZControlPort, 1);
    EXPECT_EQ(g.LogLoadDailyInterval, 300.0f);
    EXPECT_EQ(g.LogLoadHourlyInterval, 300.0f);
    EXPECT_EQ(g.NumberSecondsToSignal, 1.0f);
    EXPECT_EQ(g.NumberSecondsWaitBeforeSignal, 0.5f);
    for (int16_t flag : {g.LogLoadingMode, g.DropLateAdBreaks, g.AutoPlayAdBreaks,
                         g.CueAdBreaksImmediately, g.LogRecFileInDestDirectory, g.LogCartGroups,
                         g.LogWhenController, g.AllowCartsDuringBreaks, g.AllowBreaksDuringCarts,
                         g.SourceLine, s.Network.SendPlayFromHardware})
        EXPECT_EQ(flag, 0);
    EXPECT_EQ(s.Network.RespondPlayCommands, 1);
    EXPECT_EQ(s.Network.RespondOtherCommands, 1);
    EXPECT_EQ(s.Network.SendPlayerCommands, 1);
    EXPECT_EQ(s.Network.MasterName, "");
    EXPECT_EQ(g.ZOZServerName, "");
    EXPECT_TRUE(s.LoggingAllowed);

    // From 15:00 on weekdays one day ahead, on Friday three, all Saturday two, Sunday one.
    ASSERT_EQ(g.LogWarningDays.size(), 168u);
    EXPECT_EQ(g.LogWarningDays.substr(0, 24), "000000000000000111111111");
    EXPECT_EQ(g.LogWarningDays.substr(96, 24), "000000000000000333333333");
    EXPECT_EQ(g.LogWarningDays.substr(120, 24), std::string(24, '2'));
    EXPECT_EQ(g.LogWarningDays.substr(144, 24), std::string(24, '1'));

    EXPECT_EQ(Split().SplitName, "Split 1");
    EXPECT_EQ(Split().Extension, "LOG");
    EXPECT_EQ(Split().ReconcileExtension, "REC");
    EXPECT_EQ(Split().DateFormat, "YYMMDD");
    EXPECT_EQ(Split().PreSuffix, "");
    EXPECT_EQ(Split().LogTXChainCode, "");
    EXPECT_EQ(Split().Suffix, 0);
    EXPECT_EQ(Split().LogSourceDirectory, dir_.Path() + "/app/source");
    EXPECT_EQ(Split().LogDestinationDirectory, dir_.Path() + "/app/dest");
    EXPECT_EQ(Split().LogUpdateInterval, 20);
}

TEST_F(MainSettingsTest, EveryKeyIsReadFromAHandWrittenFile) {
    WriteIni("VNTZEL.INI", "; station settings\r\n"
                           "[general]\r\n"
                           "debugmode=3\r\n"
                           "ShowCartGroups=0\r\n"
                           "LogLoadingMode = 2\r\n"
                           "LogLoadDailyInterval=600\r\n"
                           "LogLoadHourlyInterval=120\r\n"
                           "DropLateAdBreaks=5\r\n"
                           "AutoPlayAdBreaks=1\r\n"
                           "CueAdBreaksImmediately=-1\r\n"
                           "HidePlayerControls=0\r\n"
                           "LogRecFileInDestDirectory=1\r\n"
                           "LogCartGroups=1\r\n"
                           "LogWhenController=0\r\n"
                           "NumberSecondsToSignal=2.75\r\n"
                           "NumberSecondsWaitBeforeSignal= 1.25 \r\n"
                           "AllowCartsDuringBreaks=1\r\n"
                           "AllowBreaksDuringCarts=1\r\n"
                           "SourceLine=101\r\n"
                           "AdvertSourceMute=0\r\n"
                           "LogWarningDays=1\r\n"
                           "ZOZServerName=zoz.example\r\n"
                           "ZOZControlPort=7\r\n"
                           "SplitName1=North Coast\r\n"
                           "LogSourceDirectory1=/srv/logs/in\r\n"
                           "LogDestinationDirectory1=/srv/logs/work\r\n"
                           "LogUpdateInterval1=45\r\n"
                           "[NETWORK]\r\n"
                           "RespondPlayCommands=0\r\n"
                           "RespondOtherCommands=0\r\n"
                           "SendPlayFromHardware=1\r\n"
                           "SendPlayerCommands=0\r\n"
                           "MasterName=\"studio-a\"\r\n"
                           "[FileLocations]\r\n"
                           "Data=/srv/vntzel\r\n"
                           "[LogFileName]\r\n"
                           "Extension1=txt\r\n"
                           "ReconcileExtension1=rc\r\n"
                           "DateFormat1=ddmmyy\r\n"
                           "PreSuffix1=ad\r\n"
                           "LogTXChainCode1=nc1\r\n"
                           "Suffix1=1\r\n");
    LoadMainSettings();
    const SettingsRecords& s = context_.Settings;
    const GeneralSettings& g = s.General;
    EXPECT_EQ(GeneralFunctions::State().DebugMode, 3);
    EXPECT_EQ(s.DataFolder, "/srv/vntzel");
    EXPECT_EQ(g.ShowCartGroups, 0);
    EXPECT_EQ(g.LogLoadingMode, 2);
    EXPECT_EQ(g.LogLoadDailyInterval, 600.0f);
    EXPECT_EQ(g.LogLoadHourlyInterval, 120.0f);
    EXPECT_EQ(g.DropLateAdBreaks, 5);
    EXPECT_EQ(g.AutoPlayAdBreaks, 1);
    EXPECT_EQ(g.CueAdBreaksImmediately, -1);
    EXPECT_EQ(g.HidePlayerControls, 0);
    EXPECT_EQ(g.LogRecFileInDestDirectory, 1);
    EXPECT_EQ(g.LogCartGroups, 1);
    EXPECT_EQ(g.NumberSecondsToSignal, 2.75f);
    EXPECT_EQ(g.NumberSecondsWaitBeforeSignal, 1.25f);
    EXPECT_EQ(g.AllowCartsDuringBreaks, 1);
    EXPECT_EQ(g.AllowBreaksDuringCarts, 1);
    EXPECT_EQ(g.SourceLine, 101);
    EXPECT_EQ(g.AdvertSourceMute, 0);
    EXPECT_EQ(g.LogWarningDays, "1" + std::string(167, ' '));
    EXPECT_EQ(g.ZOZServerName, "zoz.example");
    EXPECT_EQ(g.ZOZControlPort, 7);
    EXPECT_EQ(s.Network.RespondPlayCommands, 0);
    EXPECT_EQ(s.Network.RespondOtherCommands, 0);
    EXPECT_EQ(s.Network.SendPlayFromHardware, 1);
    EXPECT_EQ(s.Network.SendPlayerCommands, 0);
    EXPECT_EQ(s.Network.MasterName, "studio-a");

    EXPECT_EQ(Split().SplitName, "North Coast"); // not upper-cased
    EXPECT_EQ(Split().Extension, "TXT");
    EXPECT_EQ(Split().ReconcileExtension, "RC");
    EXPECT_EQ(Split().DateFormat, "DDMMYY");
    EXPECT_EQ(Split().PreSuffix, "AD");
    EXPECT_EQ(Split().LogTXChainCode, "NC1");
    EXPECT_EQ(Split().Suffix, 1);
    EXPECT_EQ(Split().LogSourceDirectory, "/srv/logs/in");
    EXPECT_EQ(Split().LogDestinationDirectory, "/srv/logs/work");
    EXPECT_EQ(Split().LogUpdateInterval, 45);
}

TEST_F(MainSettingsTest, FileNamedOnTheCommandLine) {
    WriteIni("STATION.INI", "[General]\nShowCartGroups=0\n");
    CommandLine("vntzel /LI:STATION.INI");
    LoadMainSettings();
    EXPECT_EQ(context_.Settings.MainIniFile, "STATION.INI");
    EXPECT_EQ(context_.Settings.General.ShowCartGroups, 0);

    CommandLine("vntzel /LI:C:\\CFG\\A.INI /DEBUG");
    LoadMainSettings();
    EXPECT_EQ(context_.Settings.MainIniFile, "C:\\CFG\\A.INI");

    // Typed in small letters the line holds no ".INI": the usual file.
    CommandLine("vntzel /LI:station.ini");
    LoadMainSettings();
    EXPECT_EQ(context_.Settings.MainIniFile, "VNTZEL.INI");
    EXPECT_EQ(context_.Settings.General.ShowCartGroups, 1);
}

TEST_F(MainSettingsTest, DebugSwitchWinsOverTheFile) {
    WriteIni("VNTZEL.INI", "[General]\r\nDebugMode=4\r\n");
    GeneralFunctions::State().DebugMode = -1;
    LoadMainSettings();
    EXPECT_EQ(GeneralFunctions::State().DebugMode, -1);
}

TEST_F(MainSettingsTest, OddValues) {
    WriteIni("VNTZEL.INI", "[General]\r\n"
                           "NumberSecondsToSignal=2,5\r\n"
                           "NumberSecondsWaitBeforeSignal=soon\r\n"
                           "ShowCartGroups=70000\r\n"
                           "SourceLine=-70000\r\n"
                           "ZOZControlPort=12abc\r\n"
                           "LogWhenController=1\r\n"
                           "LogWarningDays=" +
                               std::string(100, '1') + std::string(100, '2') + "\r\n");
    LoadMainSettings();
    const GeneralSettings& g = context_.Settings.General;
    EXPECT_EQ(g.NumberSecondsToSignal, 2.0f);
    EXPECT_EQ(g.NumberSecondsWaitBeforeSignal, 0.0f);
    EXPECT_EQ(g.ShowCartGroups, 32767);
    EXPECT_EQ(g.SourceLine, -32768);
    EXPECT_EQ(g.ZOZControlPort, 12);
    EXPECT_EQ(g.LogWarningDays, std::string(100, '1') + std::string(68, '2'));
    EXPECT_FALSE(context_.Settings.LoggingAllowed); // only ever set, never cleared
    context_.Settings.LoggingAllowed = true;
    LoadMainSettings();
    EXPECT_TRUE(context_.Settings.LoggingAllowed);
}

TEST_F(MainSettingsTest, OnlySplitOneExists) {
    WriteIni("VNTZEL.INI", "[General]\r\nSplitName1=One\r\nSplitName2=Two\r\n");
    LoadSplitSettings("VNTZEL.INI", 1);
    EXPECT_EQ(Split().SplitName, "One");
    LoadSplitSettings("VNTZEL.INI", 2);
    LoadSplitSettings("VNTZEL.INI", -1);
    EXPECT_EQ(Split().SplitName, "One");
}

TEST_F(MainSettingsTest, EachContextHasItsOwnSettings) {
    WriteIni("VNTZEL.INI", "[Network]\r\nMasterName=master\r\n");
    LoadMainSettings();
    ProgramContext slave;
    {
        ContextScope scope(slave);
        WriteIni("SLAVE.INI", "[Network]\r\nMasterName=other\r\n[General]\r\nSplitName1=S\r\n");
        CommandLine("/LI:SLAVE.INI");
        LoadMainSettings();
        EXPECT_EQ(Settings().Network.MasterName, "other");
    }
    EXPECT_EQ(context_.Settings.Network.MasterName, "master");
    EXPECT_EQ(slave.Breaks.SplitRecord[0].SplitName, "S");
    EXPECT_EQ(Split().SplitName, "Split 1");
}
