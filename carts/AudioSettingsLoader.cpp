#include "carts/AudioSettingsLoader.h"

#include "carts/CartsState.h"
#include "carts/PlayerTable.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/DataLocation.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "core/MultimediaAPI.h"
#include "core/SaveReport.h"
#include "core/SettingsReader.h"
#include "platform/WaveDevices.h"

#include <optional>

namespace AudioSettings {
namespace {

using MainSettings::ToInt16;
using MainSettings::ToLong;
using Platform::HKEY_LOCAL_MACHINE;

constexpr int32_t kRate = 44100;
constexpr int16_t kMono = 1;
constexpr uint16_t kWaveInManufacturerTrigger = 39;

// Where one setting lives in the file and in the registry. An empty registry value name
// means the registry branch does not read it (the default stands).
struct Key {
    const char* section;
    std::string key;
    const char* subKey;
    std::string value;
};

// The settings source: the profile file, or with no file the registry under the key.
class Source {
public:
    Source(std::string iniFile, const std::string& registryKey)
        : ini_(std::move(iniFile)), registryKey_(registryKey) {}
    bool FromFile() const { return !ini_.File().empty(); }

    int32_t Long(const Key& k, int32_t fallback) const {
        if (FromFile()) return ini_.Long(k.section, k.key, fallback);
        if (k.value.empty()) return fallback;
        return Registry::GetRegLong(HKEY_LOCAL_MACHINE, registryKey_ + k.subKey, k.value, fallback);
    }
    int16_t Integer(const Key& k, int16_t fallback) const { return ToInt16(Long(k, fallback)); }
    std::string Text(const Key& k, const std::string& fallback) const {
        if (FromFile()) return ini_.Text(k.section, k.key, fallback);
        if (k.value.empty()) return fallback;
        return VB::Left(
            Registry::GetRegString(HKEY_LOCAL_MACHINE, registryKey_ + k.subKey, k.value, fallback),
            static_cast<int>(MainSettings::kTextBuffer - 1));
    }

private:
    MainSettings::IniReader ini_;
    std::string registryKey_;
};

// Keys read under the same name in the file section and the registry sub-key.
Key Players(const std::string& name) {
    return {"CartPlayers", name, "\\CartPlayers", name};
}
Key PlayerOptions(const std::string& name) {
    return {"CartPlayers", name, "\\Cart Players", name};
}
Key Audio(const std::string& name, const char* subKey = "\\Audio Settings") {
    return {"Audio", name, subKey, name};
}
Key Look(const std::string& name) {
    return Audio(name, "\\Audiowall");
}
Key Wall(const std::string& name) {
    return Audio(name, "\\Audiowall\\Settings");
}

CartPlayers::CartPlayerRecord& PlayerRecord(int player) {
    return CartPlayers::State().PlayerTable[static_cast<size_t>(player)];
}

// Wave-in device id + 1 of the last suitable wave-in device; 0 when there is none.
int32_t RecordingDeviceLimit() {
    if (MultimediaAPI::CountWaveInDevices(kRate, kMono) == 0) return 0;
    return MultimediaAPI::LastWaveInDevice(kRate, kMono) + 1;
}

bool WaveInIsTrigger(int16_t device) {
    Platform::WaveInCaps caps;
    return Platform::waveInGetDevCaps(static_cast<uint32_t>(device), &caps) == 0 &&
           caps.manufacturerId == kWaveInManufacturerTrigger;
}

void ChoosePlayerCount(const Source& src, AudioSettingsRecord& a, bool& autoCount) {
    a.AutomaticPlayerAssignment = src.Integer(Players("AutomaticPlayerAssignment"), 1);
    a.TotalNumberCartPlayers = src.Long(Players("TotalNumberCartPlayers"), -1);
    autoCount = a.TotalNumberCartPlayers == -1;
    int32_t fromSwitch = 0;
    if (PlayersSwitch(fromSwitch)) a.TotalNumberCartPlayers = fromSwitch;
    if (a.TotalNumberCartPlayers > CartPlayers::kMaxPlayers)
        a.TotalNumberCartPlayers = CartPlayers::kMaxPlayers;
}

// Devices of a fixed player count: the configured cards, or the suitable devices in turn,
// the last one shared when they run out.
void AssignFixedDevices(const Source& src, const AudioSettingsRecord& a) {
    int16_t device = -1;
    for (int i = 1; i <= CartPlayers::kMaxPlayers; ++i) {
        CartPlayers::CartPlayerRecord& rec = PlayerRecord(i);
        if (i > a.TotalNumberCartPlayers) {
            rec.SoundCardNumber = 0;
        } else if (a.AutomaticPlayerAssignment != 0) {
            device =
                MultimediaAPI::FindWaveOutDevice(static_cast<int16_t>(device + 1), kRate, kMono);
            rec.SoundCardNumber =
                device >= 0
                    ? static_cast<int16_t>(device + 1)
                    : static_cast<int16_t>(MultimediaAPI::LastWaveOutDevice(kRate, kMono) + 1);
        } else {
            std::string key = "SoundCardNumber" + std::to_string(i);
            rec.SoundCardNumber = src.Integer(Players(key), static_cast<int16_t>(i));
        }
    }
}

void CountSuitableDevices(AudioSettingsRecord& a) {
    if (a.TotalNumberCartPlayers != -1) return;
    a.TotalNumberCartPlayers = MultimediaAPI::CountWaveOutDevices(kRate, kMono);
    GeneralFunctions::WriteDebugLine(
        "Number Suitable Wave Out Devices=" + std::to_string(a.TotalNumberCartPlayers), -1);
    if (a.TotalNumberCartPlayers > CartPlayers::kMaxPlayers)
        a.TotalNumberCartPlayers = CartPlayers::kMaxPlayers;
    GeneralFunctions::WriteDebugLine(
        "Checked Number Suitable Wave Out Devices=" + std::to_string(a.TotalNumberCartPlayers), -1);
}

// One suitable device per player; a wave-in device of the trigger maker on a player's index
// becomes the default recording device (the first one met).
void AssignAutomaticDevices(const AudioSettingsRecord& a, int32_t& recordingDefault) {
    int16_t device = -1;
    bool triggerMet = false;
    for (int i = 1; i <= a.TotalNumberCartPlayers; ++i) {
        int16_t start = static_cast<int16_t>(device + 1);
        device = MultimediaAPI::FindWaveOutDevice(start, kRate, kMono);
        CartPlayers::CartPlayerRecord& rec = PlayerRecord(i);
        if (device < 0) {
            rec.SoundCardNumber = 0;
            continue;
        }
        rec.SoundCardNumber = static_cast<int16_t>(device + 1);
        if (!triggerMet && WaveInIsTrigger(device)) {
            recordingDefault = device + 1;
            triggerMet = true;
        }
    }
}

void ReadPlayerColours(const Source& src) {
    constexpr int32_t foreDefaults[] = {0, 0x0000FF, 0x00FF00, 0xFFA0A0, 0xFFFFFF};
    for (int i = 1; i <= CartPlayers::kMaxPlayers; ++i) {
        std::string n = std::to_string(i);
        PlayerRecord(i).BackColor = src.Long(Players("BackColor" + n), 0);
        PlayerRecord(i).ForeColor = src.Long(Players("ForeColor" + n), foreDefaults[i]);
    }
}

void ReadPlayerAndCartKeys(const Source& src, AudioSettingsRecord& a) {
    a.Instant = src.Integer(PlayerOptions("Instant"), ToInt16(a.TotalNumberCartPlayers));
    a.EditPlayer = src.Long(PlayerOptions("EditPlayer"), 0);
    a.FirstPlayerInOrder = src.Integer(PlayerOptions("FirstPlayerInOrder"), 1);
    a.LastPlayerInOrder = src.Integer(PlayerOptions("LastPlayerInOrder"), 255);
    a.RegisterAsToolbars = src.Integer(PlayerOptions("RegisterAsToolbars"), 0);
    a.KeyboardClose = src.Integer({"Carts", "KeyboardClose", "\\Cart Players", "KeyboardEject"}, 0);
    a.MouseClose = src.Integer({"Carts", "MouseClose", "\\Cart Players", "MouseEject"}, 1);
}

void ReadFileLocations(const Source& src, AudioSettingsRecord& a) {
    Carts::CartsState& carts = Carts::State();
    for (int i = 1; i <= Vantor_Cart_Routines::kPartCount; ++i) {
        std::string n = std::to_string(i);
        carts.AudiowallParts[static_cast<size_t>(i)].Location =
            src.Text({"FileLocations", "Carts" + n, "\\File Locations", "CartLocation" + n}, "");
    }
    a.AudioEditorPath = src.Text({"FileLocations", "SampleEditor", "", ""},
                                 GeneralFunctions::GetShortPath(a.AudioEditorPath));
    a.AudioEditorPath = src.Text(
        {"FileLocations", "AudioEditor", "\\File Locations", "AudioEditor"}, a.AudioEditorPath);
}

void ReadAudioKeys(const Source& src, AudioSettingsRecord& a) {
    a.AudioEditorPriority = src.Long(Audio("AudioEditorPriority"), 10);
    a.AudioEditorRunAtIdleSpeed = src.Integer(Audio("AudioEditorRunAtIdleSpeed"), 0);
    a.MaintainLegacyCartList = src.Integer(Wall("MaintainLegacyCartList"), 1);
    a.UseIndividualCartListFiles = src.Integer(Wall("UseIndividualCartListFiles"), 0);
    a.LockPlayerWhenRecording = src.Integer(Audio("LockPlayerWhenRecording"), 0);
    a.UseLargeFSBuffers = src.Integer(Audio("UseLargeFSBuffers"), 0);
    a.FSDebugMode = src.Integer(Audio("FSDebugMode"), 0);
    a.SelectedCartMode = src.Integer(Look("SelectedCartMode"), 1);
    a.SelectedCartColor = src.Long(Look("SelectedCartColor"), 0xC00000);
    a.SelectedCartColorText = src.Long(Look("SelectedCartColorText"), 0xFFFFFF);
    a.CartPlayedRecentColor = src.Long(Look("CartPlayedRecentColor"), 0x0000FF);
    a.ShowTimesBarInColor = src.Integer(Look("ShowTimesBarInColor"), 1);
    a.TimesBarColor = src.Long(Look("TimesBarColor"), 0xC00000);
    a.TimesBarColorText = src.Long(Look("TimesBarColorText"), 0xFFFFFF);
    a.CartNumberColor = src.Long(Look("CartNumberColor"), 0x0000FF);
    a.DisplayCartHasAudioAsSquare = src.Integer(Look("DisplayCartHasAudioAsSquare"), 0);
    a.EmptyCartNumberColor = src.Long(Look("EmptyCartNumberColor"), 0x9A9A9A);
    a.EmptyCartBackColor = src.Long(Look("EmptyCartBackColor"), kButtonFaceColour);
    a.EmptyCartForeColor = src.Long(Look("EmptyCartForeColor"), kButtonTextColour);
    a.CartFontBold = src.Integer(Look("CartFontBold"), 0);
    a.CartFontSize = src.Integer(Look("CartFontSize"), 8);
    a.DisplayCartTimeHours = src.Integer(Look("DisplayCartTimeHours"), 0);
    a.CartShowCompressed = src.Integer(Look("CartShowCompressed"), 0);
    a.CartFontName = src.Text(Look("CartFontName"), "MS Sans Serif");
    // FadeFire only gives the default of the fire percentage; the registry has no such value.
    int16_t fireDefault = 65;
    if (src.FromFile()) {
        double fadeFire = VB::Val(src.Text(Audio("FadeFire"), "0.65"));
        fireDefault = ToInt16(ToLong(fadeFire * 100));
    }
    a.PlayerFadeFirePercent = src.Integer(
        {"Audio", "PlayerFadeFirePercent", "\\Cart Players", "PlayerFadeFirePercent"}, fireDefault);
    a.PlayerFadeSeconds =
        src.Long({"Audio", "PlayerFadeSeconds", "\\Cart Players", "PlayerFadeSeconds"}, 2);
    a.PlayCartsInstantly = src.Integer(Look("PlayCartsInstantly"), 1);
    a.OnlyAllowEjectStoppedCarts = src.Integer(
        {"Audio", "OnlyAllowEjectStoppedCarts", "\\Cart Players", "OnlyAllowEjectStoppedCarts"}, 0);
    a.UseLegacyFileCopyMode = src.Integer(Audio("UseLegacyFileCopyMode"), 0);
    a.HighlightPlayedCarts =
        src.Integer({"Carts", "HighlightPlayedCarts", "\\Audiowall", "HighlightPlayedCarts"}, 0);
    a.HighlightPLayedCartsInterval = src.Long(
        {"Carts", "HighlightPLayedCartsInterval", "\\Audiowall", "HighlightPLayedCartsInterval"},
        0);
}

void ReadVolumesAndRecording(const Source& src, AudioSettingsRecord& a, int32_t recordingDefault) {
    a.UsePlayerDucking = src.Integer(Audio("UsePlayerDucking"), 1);
    a.GeneralVolume = src.Integer(Audio("GeneralVolume"), 100);
    a.SweptVolume =
        a.UsePlayerDucking == 0 ? src.Integer(Audio("SweptVolume"), 100) : a.GeneralVolume;
    a.DuckAudioVolume =
        src.Integer(Audio("DuckAudioVolume"), static_cast<int16_t>(a.GeneralVolume - 10));
    a.CartGroupVolume = src.Integer(Audio("CartGroupVolume"), 100);
    a.AdvertVolume = src.Integer(Audio("AdvertVolume"), 100);
    a.RecordingSoundCard = src.Long(
        {"Audio", "RecordingSoundCard", "\\Cart Players", "RecordingSoundCard"}, recordingDefault);
    int32_t limit = RecordingDeviceLimit();
    if (a.RecordingSoundCard > limit) a.RecordingSoundCard = limit;
    a.KHz = src.Long(Audio("KHz"), 44100);
    a.Channels = src.Integer(Audio("Channels"), 2);
    a.Format = src.Integer(Audio("Format"), 1);
    a.AllowDifferentFormat = src.Integer(Audio("AllowDifferentFormat"), 0);
    a.RecordLocal = src.Integer(Audio("RecordLocal"), 0);
}

// The audiowall's own settings, kept with part 1.
void ReadAudiowallFile(AudioSettingsRecord& a) {
    Carts::CartsState& carts = Carts::State();
    const std::string& location = carts.AudiowallParts[1].Location;
    MainSettings::IniReader wall(location + "/Audwall.ini");
    a.NoCarts = wall.Long("Audiowall", "NoCarts", 9999);
    if (carts.CartRangeFirst == 0) {
        carts.CartRangeFirst = 1;
        carts.CartRangeLast = a.NoCarts;
    }
    a.PictureFileExtension = wall.Text("Audiowall", "PictureFileExtension", "JPG");
    if (VB::Trim(location).empty()) return;
    a.AllowAudioFileLinking = wall.Integer("Audiowall", "AllowAudioFileLinking", 0);
    a.UseCopyrightInCartChunk = wall.Integer("CartChunk", "UseCopyrightInCartChunk", 0);
    double version = VB::Val(wall.Text("Audiowall", "Version", "0.0"));
    if (version < 2.6) {
        Vantor_Cart_Routines::BackupAudiowallLists(false);
        Platform::WritePrivateProfileString("Audiowall", "Version", std::string("2.6"),
                                            wall.File());
    }
    a.AskBeforeProcess = wall.Integer("CDRipping", "AskBeforeProcess", 0);
    a.NormaliseAudioPercent = wall.Integer("CDRipping", "NormaliseAudioPercent", 63);
    a.AutoTopAudio = wall.Integer("CDRipping", "AutoTopAudio", 1);
    a.AllowCDDB = wall.Integer("CDDB", "AllowCDDB", 0);
    a.ServerAddress = wall.Text("CDDB", "ServerAddress", "gnudb.gnudb.org");
    a.EmailAddress = wall.Text("CDDB", "EmailAddress", "");
    a.AllowSubmit = wall.Integer("CDDB", "AllowSubmit", 0);
}

} // namespace

bool PlayersSwitch(int32_t& count) {
    const std::string& line = MainSettings::CommandLine().CommandLineText;
    const std::string key = "/PLAYERS=";
    size_t at = line.find(key);
    if (at == std::string::npos) return false;
    size_t start = at + key.size();
    size_t end = line.find(' ', start);
    std::string token = line.substr(start, end == std::string::npos ? end : end - start);
    std::optional<int32_t> value = VB::CLng(VB::Val(token));
    count = value.value_or(0);
    return true;
}

void LoadAudioSettings(const std::string& IniFile, const std::string& RegistryKey) {
    AudioSettingsRecord& a = MainSettings::Settings().Audio;
    Source src(IniFile, RegistryKey);
    Vantor_Cart_Routines::InitialiseCartData();
    DataLocation::CheckFileCacheSettings(RegistryKey, false);
    int32_t recordingDefault = RecordingDeviceLimit();

    bool autoCount = false;
    ChoosePlayerCount(src, a, autoCount);
    if (!autoCount) AssignFixedDevices(src, a);
    CountSuitableDevices(a);
    if (autoCount) AssignAutomaticDevices(a, recordingDefault);
    ReadPlayerColours(src);

    ReadPlayerAndCartKeys(src, a);
    ReadFileLocations(src, a);
    ReadAudioKeys(src, a);
    ReadVolumesAndRecording(src, a, recordingDefault);
    ReadAudiowallFile(a);
}

void LoadStartupAudioSettings() {
    LoadAudioSettings(MainSettings::Settings().MainIniFile, kProductKey);
}

GeneralFunctions::SaveReport SaveAudioSettings(const std::string& IniFile) {
    const AudioSettingsRecord& a = MainSettings::Settings().Audio;
    GeneralFunctions::SaveReport report;
    auto put = [&](const char* section, const std::string& key, const std::string& value) {
        report.Take(Platform::WritePrivateProfileString(section, key, value, IniFile));
    };
    auto number = [&](const char* section, const std::string& key, int32_t value) {
        put(section, key, std::to_string(value));
    };
    put("FileLocations", "SampleEditor", GeneralFunctions::GetShortPath(a.AudioEditorPath));
    put("FileLocations", "AudioEditor", a.AudioEditorPath);
    number("Audio", "KHz", a.KHz);
    number("Audio", "Channels", a.Channels);
    number("Audio", "Format", a.Format);
    put("Audio", "Bits", "16");
    number("Audio", "AllowDifferentFormat", a.AllowDifferentFormat);
    number("Audio", "RecordLocal", a.RecordLocal);
    number("Audio", "PlayerFadeFirePercent", a.PlayerFadeFirePercent);
    number("Audio", "OnlyAllowEjectStoppedCarts", a.OnlyAllowEjectStoppedCarts);
    number("Carts", "KeyboardClose", a.KeyboardClose);
    number("Carts", "MouseClose", a.MouseClose);
    number("CartPlayers", "TotalNumberCartPlayers", a.TotalNumberCartPlayers);
    number("CartPlayers", "AutomaticPlayerAssignment", a.AutomaticPlayerAssignment);
    for (int i = 1; i <= CartPlayers::kMaxPlayers; ++i) {
        std::string n = std::to_string(i);
        const CartPlayers::CartPlayerRecord& rec = PlayerRecord(i);
        if (a.AutomaticPlayerAssignment != 0)
            report.Take(Platform::WritePrivateProfileString("CartPlayers", "SoundCardNumber" + n,
                                                            std::nullopt, IniFile));
        else
            number("CartPlayers", "SoundCardNumber" + n, rec.SoundCardNumber);
        number("CartPlayers", "BackColor" + n, rec.BackColor);
        number("CartPlayers", "ForeColor" + n, rec.ForeColor);
    }
    number("CartPlayers", "EditPlayer", a.EditPlayer);
    number("CartPlayers", "FirstPlayerInOrder", a.FirstPlayerInOrder);
    number("CartPlayers", "LastPlayerInOrder", a.LastPlayerInOrder);
    number("Audio", "RecordingSoundCard", a.RecordingSoundCard);
    number("Audio", "CartGroupVolume", a.CartGroupVolume);
    number("Audio", "GeneralVolume", a.GeneralVolume);
    number("Audio", "AdvertVolume", a.AdvertVolume);
    number("Audio", "MaintainLegacyCartList", a.MaintainLegacyCartList);
    number("Audio", "UseIndividualCartListFiles", a.UseIndividualCartListFiles);
    number("Audio", "LockPlayerWhenRecording", a.LockPlayerWhenRecording);
    number("Audio", "UseLargeFSBuffers", a.UseLargeFSBuffers);
    number("Audio", "FSDebugMode", a.FSDebugMode);
    return report;
}

} // namespace AudioSettings
