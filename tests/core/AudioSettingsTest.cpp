// Audio, cart and player settings: device choice on a list of wave devices, the keys and
// their defaults, Audwall.ini, the registry branch and the save/load round trip.
#include "support/ScratchRegistry.h"
#include "support/TestSupport.h"
#include "support/WaveTestSupport.h"

#include "carts/AudioSettingsLoader.h"
#include "carts/PlayerTable.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "core/MultimediaAPI.h"
#include "core/Registry.h"
#include "main_window/CommandLine.h"
#include "main_window/ProgramContext.h"
#include "platform/Profile.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace AudioSettings;
using TestSupport::ReadBytes;
using TestSupport::WriteBytes;

namespace {

// The device query of the platform's wave devices.
MultimediaAPI::WaveDeviceQuery PlatformDevices() {
    return {[] { return static_cast<int>(Platform::waveOutGetNumDevs()); },
            [](int id, uint32_t& formats) {
                Platform::WaveOutCaps caps;
                if (Platform::waveOutGetDevCaps(static_cast<uint32_t>(id), &caps) != 0)
                    return false;
                formats = caps.formats;
                return true;
            },
            [] { return static_cast<int>(Platform::waveInGetNumDevs()); },
            [](int id, uint32_t& formats) {
                Platform::WaveInCaps caps;
                if (Platform::waveInGetDevCaps(static_cast<uint32_t>(id), &caps) != 0) return false;
                formats = caps.formats;
                return true;
            }};
}

class AudioSettingsTest : public ::testing::Test {
protected:
    AudioSettingsTest() : scope_(context_) {
        setenv("VNTZEL_WINDIR", dir_.Path().c_str(), 1);
        MainWindow::SetCommandLine("");
        TestSupport::UseWaveDevices("null,null,null");
        wall_ = dir_.File("wall");
        std::filesystem::create_directories(wall_);
    }
    ~AudioSettingsTest() override {
        unsetenv("VNTZEL_WINDIR");
        MainWindow::SetCommandLine("");
        TestSupport::UseWaveDevices("null");
    }
    // VNTZEL.INI with the audiowall in the scratch folder and the lines given.
    void WriteIni(const std::string& lines, const std::string& name = "VNTZEL.INI") {
        WriteBytes(dir_.File(name), "[FileLocations]\r\nCarts1=" + wall_ + "\r\n" + lines);
    }
    void Load(const std::string& file = "VNTZEL.INI") { LoadAudioSettings(file, kProductKey); }
    AudioSettingsRecord& A() { return context_.Settings.Audio; }
    int16_t Card(int player) { return context_.Players.PlayerTable[player].SoundCardNumber; }
    std::string Audwall() { return wall_ + "/Audwall.ini"; }

    TestSupport::ScratchRegistry registry_;
    TestSupport::ScratchDir dir_;
    ProgramContext context_;
    ContextScope scope_;
    std::string wall_;
};

TEST_F(AudioSettingsTest, OnePlayerPerSuitableDeviceWhenTheCountIsMissing) {
    context_.Players.PlayerTable[4].SoundCardNumber = 7;
    WriteIni("");
    Load();
    EXPECT_EQ(A().TotalNumberCartPlayers, 3);
    EXPECT_EQ(Card(1), 1);
    EXPECT_EQ(Card(2), 2);
    EXPECT_EQ(Card(3), 3);
    EXPECT_EQ(Card(4), 7); // not one of the players
    EXPECT_EQ(A().Instant, 3);
    EXPECT_EQ(A().RecordingSoundCard, 1); // last suitable wave-in device + 1
}

TEST_F(AudioSettingsTest, PlayerCountFromFileSwitchAndCap) {
    WriteIni("[CartPlayers]\r\nTotalNumberCartPlayers=6\r\n");
    Load();
    EXPECT_EQ(A().TotalNumberCartPlayers, 4);
    // Four players on three devices: the last device is shared.
    EXPECT_EQ(Card(3), 3);
    EXPECT_EQ(Card(4), 3);

    MainWindow::SetCommandLine("/PLAYERS=2");
    WriteIni("[CartPlayers]\r\nTotalNumberCartPlayers=-1\r\n");
    Load();
    EXPECT_EQ(A().TotalNumberCartPlayers, 2);
    EXPECT_EQ(Card(1), 1);
    EXPECT_EQ(Card(2), 2);

    // A fixed count in the file: the switch wins and the configured cards are taken.
    WriteIni("[CartPlayers]\r\nTotalNumberCartPlayers=3\r\nAutomaticPlayerAssignment=0\r\n"
             "SoundCardNumber1=3\r\n");
    Load();
    EXPECT_EQ(A().TotalNumberCartPlayers, 2);
    EXPECT_EQ(Card(1), 3);
    EXPECT_EQ(Card(2), 2); // default: the player's own number
    EXPECT_EQ(Card(3), 0);
    EXPECT_EQ(Card(4), 0);
}

TEST_F(AudioSettingsTest, TwoPlayersShareTheOnlyDevice) {
    TestSupport::UseWaveDevices("null");
    WriteIni("[CartPlayers]\r\nTotalNumberCartPlayers=2\r\nAutomaticPlayerAssignment=1\r\n");
    Load();
    EXPECT_EQ(Card(1), 1);
    EXPECT_EQ(Card(2), 1);
}

TEST_F(AudioSettingsTest, NoDevicesGiveNoPlayers) {
    MultimediaAPI::SetWaveDeviceQuery({});
    WriteIni("[Audio]\r\nRecordingSoundCard=2\r\n");
    Load();
    EXPECT_EQ(A().TotalNumberCartPlayers, 0);
    EXPECT_EQ(A().RecordingSoundCard, 0);
    MultimediaAPI::SetWaveDeviceQuery(PlatformDevices());
}

TEST_F(AudioSettingsTest, KeysWithTheirDefaultsAndDerivedValues) {
    WriteIni("SampleEditor=/usr/bin/editor\r\n[Audio]\r\nFadeFire=0.8\r\nGeneralVolume=70\r\n"
             "SweptVolume=20\r\nRecordingSoundCard=9\r\n");
    Load();
    EXPECT_EQ(A().AudioEditorPath, "/usr/bin/editor");
    EXPECT_EQ(A().PlayerFadeFirePercent, 80);
    EXPECT_EQ(A().SweptVolume, 70); // ducking on: the general volume
    EXPECT_EQ(A().DuckAudioVolume, 60);
    EXPECT_EQ(A().RecordingSoundCard, 1); // capped at the last wave-in device + 1
    EXPECT_EQ(A().LastPlayerInOrder, 255);
    EXPECT_EQ(A().EmptyCartBackColor, static_cast<int32_t>(0x8000000F));
    EXPECT_EQ(context_.Players.PlayerTable[3].ForeColor, 0xFFA0A0);
    EXPECT_EQ(A().CartFontName, "MS Sans Serif");
    EXPECT_EQ(context_.Carts.AudiowallParts[1].Location, wall_);

    WriteIni("AudioEditor=/opt/other\r\nSampleEditor=/usr/bin/editor\r\n[Audio]\r\n"
             "UsePlayerDucking=0\r\nSweptVolume=20\r\n");
    Load();
    EXPECT_EQ(A().AudioEditorPath, "/opt/other");
    EXPECT_EQ(A().SweptVolume, 20);
    EXPECT_EQ(A().PlayerFadeFirePercent, 65);
    EXPECT_EQ(A().DuckAudioVolume, 90);

    // Values past any integer are held at the ends of the range before converting.
    for (const auto& [text, percent] :
         {std::pair{"1e30", 32767}, {"-1e30", -32768}, {"1e9", 32767}, {"nan", 0}}) {
        WriteIni(std::string("[Audio]\r\nFadeFire=") + text + "\r\n");
        Load();
        EXPECT_EQ(A().PlayerFadeFirePercent, percent) << text;
    }
}

TEST_F(AudioSettingsTest, AudiowallFileAndItsVersionUpgrade) {
    WriteBytes(Audwall(), "[Audiowall]\r\nNoCarts=4999\r\nVersion=2.5\r\n"
                          "AllowAudioFileLinking=1\r\n");
    WriteBytes(wall_ + "/Carts1.lst", std::string(300, ' '));
    WriteIni("");
    Load();
    EXPECT_EQ(A().NoCarts, 4999);
    EXPECT_EQ(A().AllowAudioFileLinking, 1);
    EXPECT_EQ(Platform::GetPrivateProfileString("Audiowall", "Version", "", Audwall()), "2.6");
    auto backups = [&] {
        int files = 0;
        if (std::filesystem::exists(wall_ + "/Backups"))
            for (auto& e : std::filesystem::recursive_directory_iterator(wall_ + "/Backups"))
                files += e.is_regular_file() ? 1 : 0;
        return files;
    };
    int afterFirst = backups();
    EXPECT_GT(afterFirst, 0);
    std::filesystem::remove_all(wall_ + "/Backups");
    Load();
    EXPECT_EQ(backups(), 0); // version 2.6 now: no second backup
}

TEST_F(AudioSettingsTest, SavedSettingsAreReadBackFromTheFileNamedByLI) {
    MainWindow::SetCommandLine("/LI:STUDIO.INI");
    WriteIni("", "STUDIO.INI");
    MainSettings::LoadMainSettings();
    ASSERT_EQ(context_.Settings.MainIniFile, "STUDIO.INI");
    LoadStartupAudioSettings();
    A().GeneralVolume = 55;
    A().AdvertVolume = 80;
    A().KHz = 22050;
    A().AutomaticPlayerAssignment = 0;
    A().TotalNumberCartPlayers = 2;
    context_.Players.PlayerTable[2].SoundCardNumber = 3;
    SaveAudioSettings(context_.Settings.MainIniFile);
    std::string saved = ReadBytes(dir_.File("STUDIO.INI"));
    EXPECT_NE(saved.find("Bits=16"), std::string::npos);

    // The command line belongs to the instance: a second one is given its own.
    ProgramContext next;
    ContextScope scope(next);
    EXPECT_EQ(MainWindow::CommandLine().CommandLineText, "");
    MainWindow::SetCommandLine("/LI:STUDIO.INI");
    MainSettings::LoadMainSettings();
    LoadStartupAudioSettings();
    EXPECT_EQ(next.Settings.Audio.GeneralVolume, 55);
    EXPECT_EQ(next.Settings.Audio.AdvertVolume, 80);
    EXPECT_EQ(next.Settings.Audio.KHz, 22050);
    EXPECT_EQ(next.Settings.Audio.TotalNumberCartPlayers, 2);
    EXPECT_EQ(next.Players.PlayerTable[2].SoundCardNumber, 3);
}

TEST_F(AudioSettingsTest, SavingWithAutomaticAssignmentRemovesTheCards) {
    WriteIni("[CartPlayers]\r\nSoundCardNumber1=2\r\nSoundCardNumber4=1\r\n");
    Load();
    A().AutomaticPlayerAssignment = 1;
    SaveAudioSettings("VNTZEL.INI");
    std::string saved = ReadBytes(dir_.File("VNTZEL.INI"));
    EXPECT_EQ(saved.find("SoundCardNumber"), std::string::npos);
    EXPECT_NE(saved.find("ForeColor1=255"), std::string::npos);
}

TEST_F(AudioSettingsTest, RegistryBranchReadsTheSameSettingsUnderTheirValueNames) {
    using Platform::HKEY_LOCAL_MACHINE;
    std::string key = kProductKey;
    Registry::SaveRegLong(HKEY_LOCAL_MACHINE, key + "\\CartPlayers", "TotalNumberCartPlayers", 2,
                          -1);
    Registry::SaveRegLong(HKEY_LOCAL_MACHINE, key + "\\Cart Players", "MouseEject", 0, 1);
    Registry::SaveRegLong(HKEY_LOCAL_MACHINE, key + "\\Audio Settings", "GeneralVolume", 40, 100);
    Registry::SaveRegString(HKEY_LOCAL_MACHINE, key + "\\File Locations", "CartLocation1", wall_,
                            "");
    LoadAudioSettings("", key);
    EXPECT_EQ(A().TotalNumberCartPlayers, 2);
    EXPECT_EQ(A().MouseClose, 0);
    EXPECT_EQ(A().GeneralVolume, 40);
    EXPECT_EQ(A().PlayerFadeFirePercent, 65);
    EXPECT_EQ(context_.Carts.AudiowallParts[1].Location, wall_);
}

} // namespace
