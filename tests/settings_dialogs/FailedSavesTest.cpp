// A settings dialog whose save fails on a full disk says why and stays open; the file stays as
// it was, and the next OK on a disk with room saves.
#include "DialogsFixture.h"
#include "support/RecordingSender.h"
#include "support/RefusingDisk.h"

#include "breaks/BreaksState.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "settings_dialogs/frmAudioSetup.h"
#include "settings_dialogs/frmCartGroups.h"
#include "settings_dialogs/frmFileLocations.h"
#include "settings_dialogs/frmLogSettings.h"
#include "settings_dialogs/frmZELNetworkSettings.h"
#include "settings_dialogs/frmZELSettings.h"

#include <QPushButton>
#include <filesystem>
#include <functional>

using namespace SettingsDialogs;
using DialogsTest::DialogsFixture;

namespace {

struct DialogSave {
    std::string saver;
    std::function<bool()> ok;
};

} // namespace

TEST_F(DialogsFixture, SavesOnAFullDiskSayWhyKeepTheDialogOpenAndLeaveTheFileAsItWas) {
    TestSupport::RefusingDisk disk;
    setenv("VNTZEL_WINDIR", disk.Path().c_str(), 1);
    const std::string ini = disk.File("VNTZEL.INI");
    TestSupport::WriteBytes(ini, "[General]\r\nSplitName1=North\r\n");
    context_.Settings.MainIniFile = ini;
    GeneralFunctions::State().DebugMode = 0; // told whatever the trace level
    ZEL_Common::SplitRecord& split = context_.Breaks.SplitRecord[0];
    split.SplitName = "North";
    split.LogSourceDirectory = dir_.File("In");
    split.LogDestinationDirectory = dir_.File("Out");
    for (const char* folder : {"In", "Out"})
        std::filesystem::create_directories(dir_.File(folder));

    ZELSettingsEngine general;
    LogSettingsEngine logs;
    ZELNetworkSettingsEngine network;
    FileLocationsEngine locations;
    locations.SetIniFile(ini);
    locations.SetDataText(dir_.File("Data"));
    AudioSetupEngine audio;
    AudioSetupControls sound = audio.Controls();
    sound.GeneralVolume = "50";
    sound.FadePercent = "80";
    audio.SetControls(sound);
    TestSupport::RecordingSender sender;
    frmCartGroups groups(&sender);
    groups.show();
    auto* groupsOk = groups.findChild<QPushButton*>("cmdOK");
    ASSERT_NE(groupsOk, nullptr);
    const std::vector<DialogSave> saves = {
        {"frmZELSettings", [&] { return general.Apply(); }},
        {"frmLogSettings", [&] { return logs.Ok(); }},
        {"frmZELNetworkSettings", [&] { return network.Ok(); }},
        {"frmFileLocations", [&] { return locations.Done(); }},
        {"frmAudioSetup", [&] { return audio.Ok(); }},
        {"frmCartGroups",
         [&] {
             groupsOk->click();
             return !groups.isVisible();
         }},
    };

    TestSupport::ToldProblems told;
    for (const DialogSave& save : saves) {
        SCOPED_TRACE(save.saver);
        const std::string before = TestSupport::ReadBytes(ini);
        disk.FillAll();
        Platform::ClearShownBoxes();
        EXPECT_FALSE(save.ok());
        ASSERT_FALSE(boxes_.Shown().empty());
        EXPECT_EQ(boxes_.Shown().back().prompt,
                  "There was a problem saving the settings to " + ini +
                      " and the error's description was reported as : \n\n\"" + disk.Cause() +
                      "\" (61)");
        EXPECT_EQ(told.Count(save.saver + ":Failed to write " + ini + ": " + disk.Cause()), 1u);
        disk.Free();
        EXPECT_EQ(TestSupport::ReadBytes(ini), before);
        EXPECT_TRUE(save.ok());
        EXPECT_NE(TestSupport::ReadBytes(ini), before);
    }
    // One line for each failed save, none for those that worked.
    EXPECT_EQ(told.Count(":Failed to write "), saves.size())
        << ::testing::PrintToString(told.Told());
}
