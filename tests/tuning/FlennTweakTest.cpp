#include "support/ScratchRegistry.h"
#include "support/TestSupport.h"

#include "core/GeneralFunctions.h"
#include "core/Registry.h"
#include "platform/MessageBox.h"
#include "player_controls/EngineSettings.h"
#include "settings_dialogs/LibraryRegistration.h"
#include "tuning/frmFlennTweak.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using FlennTweak::FlennTweakEngine;

namespace {

class FlennTweakTest : public ::testing::Test {
protected:
    // A library file stamped with a version as the build stamps ours.
    void Install(const char* key, const std::string& name, const std::string& version) {
        std::string path = dir_.File(name);
        TestSupport::WriteBytes(path, version.empty() ? ""
                                                      : std::string("\x7F"
                                                                    "ELF\0junk",
                                                                    9) +
                                                            "VNTZEL-FILE-VERSION:" + version +
                                                            std::string("\0tail", 5));
        Registry::SaveRegString(Platform::HKEY_LOCAL_MACHINE, key, "", path, "");
    }
    void InstallBoth(const std::string& engine, const std::string& player) {
        Install(LibraryRegistration::kEngineLibraryKey, "engine.so", engine);
        Install(LibraryRegistration::kPlayerLibraryKey, "player.so", player);
    }
    // Fade mode, flush box, flush-duration label and box: "1" for each that is enabled.
    static std::string Enabled(FlennTweak::frmFlennTweak& form) {
        const QWidget* boxes[] = {form.comboFadeMode(), form.findChild<QWidget*>("chkFlushBuffers"),
                                  form.findChild<QWidget*>("lblFlushMSDesc"), form.txtFlushMS()};
        std::string bits;
        for (const QWidget* box : boxes)
            bits += box && box->isEnabled() ? '1' : '0';
        return bits;
    }
    int32_t Stored(const char* name) {
        return Registry::GetRegLong(Platform::HKEY_LOCAL_MACHINE, EngineSettings::EngineRegistryKey,
                                    name, -99);
    }

    TestSupport::ScratchDir dir_;
    TestSupport::ScratchRegistry registry_;
    TestSupport::ScriptedBoxes boxes_;
};

} // namespace

TEST_F(FlennTweakTest, SavesInOrderDeletingDefaultsAndReportsAFailedStore) {
    InstallBoth("2.6.0", "2.0.0");
    FlennTweak::frmFlennTweak form;
    FlennTweakEngine& e = form.Engine();
    e.Open();
    ASSERT_EQ(boxes_.Count(), 1u);
    EXPECT_EQ(boxes_.Shown()[0].buttons, Platform::vbExclamation);
    EXPECT_EQ(boxes_.Shown()[0].prompt.substr(0, 40), "This utility is used to adjust extremely");
    EXPECT_TRUE(e.SettingsEditable());
    EXPECT_EQ(e.EngineLabel().Text, " FlennStream v2.6.0 installed");
    EXPECT_EQ(e.PlayerLabel().Text, " Flenney v2.0.0 installed");
    EXPECT_TRUE(e.FlushBuffers());
    EXPECT_EQ(e.FadeMode(), 2);
    EXPECT_EQ(e.FlushMS(), "1");
    EXPECT_FALSE(form.cmdSave()->isEnabled());
    EXPECT_EQ(Enabled(form), "1111");
    e.SetFlushBuffers(false);
    EXPECT_EQ(Enabled(form), "1100"); // the duration only while flushing
    e.SetFlushBuffers(true);

    // Defaults write nothing.
    e.SetFadeMode(2);
    EXPECT_TRUE(form.cmdSave()->isEnabled());
    ASSERT_TRUE(e.Save());
    EXPECT_FALSE(form.cmdSave()->isEnabled());
    EXPECT_EQ(registry_.HiveText().find("FadeMode"), std::string::npos);
    EXPECT_EQ(boxes_.Shown().back().prompt,
              "Your settings have been saved.\n\nRestart any FlennStream(TM) enabled programs for "
              "the changes to take effect.");

    e.SetFlushMS("0");
    EXPECT_FALSE(e.Save());
    EXPECT_EQ(boxes_.Shown().back().prompt,
              "You must enter a number of milliseconds to flush the audio engine with");
    EXPECT_TRUE(e.SaveEnabled());

    e.SetFlushBuffers(false);
    e.SetFadeMode(0);
    e.SetFlushMS("");
    ASSERT_TRUE(e.Save());
    const std::string hive = registry_.HiveText();
    EXPECT_LT(hive.find("FlushBuffers"), hive.find("FadeMode"));
    EXPECT_LT(hive.find("FadeMode"), hive.find("FlushBufferLengthMS"));
    EXPECT_EQ(Stored("FlushBuffers"), 0);
    EXPECT_EQ(Stored("FadeMode"), 0);
    EXPECT_EQ(Stored("FlushBufferLengthms"), 0); // the players read it whatever its case
    EXPECT_EQ(EngineSettings::ReadEngineRegistrySettings().FlushBufferLengthms, 0);

    for (auto [typed, stored] : {std::pair{"12abc", 12}, {"2.5", 2}, {"3.5", 4}}) {
        e.SetFlushBuffers(true);
        e.SetFlushMS(typed);
        ASSERT_TRUE(e.Save());
        EXPECT_EQ(Stored("FlushBufferLengthMS"), stored) << typed;
        EXPECT_EQ(Stored("FlushBuffers"), -99); // back to its default: deleted
    }

    // A store that cannot be written is reported, not confirmed.
    TestSupport::WriteBytes(dir_.File("notafolder"), "x");
    setenv("VNTZEL_REGISTRY", dir_.File("notafolder/hive.ini").c_str(), 1);
    e.SetFadeMode(1);
    EXPECT_FALSE(e.Save());
    EXPECT_EQ(boxes_.Shown().back().prompt,
              "Your settings could not be saved: the registry could not be written.");
    EXPECT_TRUE(e.SaveEnabled());
}

TEST_F(FlennTweakTest, LibraryChecksGateEditing) {
    struct Case {
        std::string engine, player;
        bool editable;
        const char* engineLabel;
        const char* playerLabel;
        size_t criticalBoxes;
    };
    const Case cases[] = {
        {"2.5.3", "2.6.0", false, " FlennStream v2.5.3 installed", " Flenney v2.6.0 installed", 0},
        {"1.9.0", "2.6.0", false, " FlennStream v1.9.0 installed", " Flenney v2.6.0 installed", 1},
        {"3.0.1", "1.0.0", false, " FlennStream v3.0.1 installed", " Flenney v1.0.0 installed", 1},
        {"2.6.0", "", false, " FlennStream v2.6.0 installed", " Flenney(TM) 2 is corrupted!", 0},
    };
    for (const Case& c : cases) {
        InstallBoth(c.engine, c.player);
        Platform::ClearShownBoxes();
        FlennTweak::frmFlennTweak form;
        FlennTweakEngine& e = form.Engine();
        e.Open();
        EXPECT_EQ(e.SettingsEditable(), c.editable) << c.engine;
        EXPECT_TRUE(e.FlushBuffers());
        EXPECT_EQ(Enabled(form), "0000") << c.engine; // flushing on, yet nothing editable
        EXPECT_EQ(e.EngineLabel().Text, c.engineLabel);
        EXPECT_EQ(e.PlayerLabel().Text, c.playerLabel);
        EXPECT_EQ(e.PlayerLabel().Failed, c.player.empty());
        EXPECT_EQ(boxes_.Count() - 1, c.criticalBoxes) << c.engine;
        e.SetFadeMode(0);
        EXPECT_FALSE(e.SaveEnabled());
    }
    Registry::SaveRegString(Platform::HKEY_LOCAL_MACHINE, LibraryRegistration::kPlayerLibraryKey,
                            "", "", "");
    FlennTweakEngine missing;
    missing.Open();
    EXPECT_EQ(missing.PlayerLabel().Text, " Flenney(TM) 2 is not installed!");
    EXPECT_FALSE(missing.SettingsEditable());

    // Stored values out of range are held in range.
    Registry::SaveRegLong(Platform::HKEY_LOCAL_MACHINE, EngineSettings::EngineRegistryKey,
                          "FadeMode", 7, 2);
    Registry::SaveRegLong(Platform::HKEY_LOCAL_MACHINE, EngineSettings::EngineRegistryKey,
                          "FlushBuffers", 5, 1);
    FlennTweakEngine clamped;
    clamped.Open();
    EXPECT_EQ(clamped.FadeMode(), 2);
    EXPECT_TRUE(clamped.FlushBuffers());
}

TEST(LibraryVersions, BuiltLibrariesCarryTheirVersion) {
    // The libraries this test program loaded were stamped by the build.
    TestSupport::ScratchRegistry registry;
    TestSupport::ScratchDir programFiles;
    setenv("VNTZEL_APPDIR", programFiles.Path().c_str(), 1);
    LibraryRegistration::RegisterLibraries();
    unsetenv("VNTZEL_APPDIR");
    for (const char* key :
         {LibraryRegistration::kEngineLibraryKey, LibraryRegistration::kPlayerLibraryKey}) {
        std::string path = Registry::GetRegString(Platform::HKEY_LOCAL_MACHINE, key, "", "");
        ASSERT_GT(GeneralFunctions::SafeFileLen(path), 0) << key;
        GeneralFunctions::FileVersionRecord v = GeneralFunctions::GetFileVersionText(path);
        EXPECT_EQ(v.FileMajor * 100 + v.FileMinor, 206) << path;
    }
}
