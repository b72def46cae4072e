// Start-up and shut-down of the players' audio, the fade-out, links and ducking.
#include "carts/Audio_Player_FN_Internal.h"
#include "carts/CartPlayer.h"
#include "carts/CartsState.h"
#include "carts/PlayerWindows.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"
#include "player_controls/FlennRecorder.h"

#include <algorithm>

namespace Audio_Player_FN {

using namespace CartPlayers;
using namespace Internal;

namespace {

PlayerMaker& Maker() {
    static PlayerMaker maker;
    return maker;
}

void Trace(const std::string& text) {
    GeneralFunctions::WriteDebugLine(text, 1);
}

// The engine debug level from the command line and FSDebugMode.
int32_t EngineDebugLevel() {
    const std::string& line = MainSettings::CommandLine().CommandLineText;
    int16_t mode = MainSettings::Settings().Audio.FSDebugMode;
    const auto has = [&line](const char* key) { return line.find(key) != std::string::npos; };
    if (has("/FLENNDEBUGFULL") || mode == 3) return 255;
    if (has("/FLENNDEBUGMEDIUM") || mode == 2) return 16;
    if (has("/FLENNDEBUG") || mode == 1) return 1;
    return 0;
}

struct BufferPlan {
    int32_t lengthMs;
    int32_t count;
};

BufferPlan EngineBuffers() {
    bool nt =
        GeneralFunctions::State().OSVersion.dwPlatformId == GeneralFunctions::VER_PLATFORM_WIN32_NT;
    bool large = MainSettings::Settings().Audio.UseLargeFSBuffers != 0;
    if (nt) return large ? BufferPlan{1000, 4} : BufferPlan{500, 8};
    return large ? BufferPlan{500, 8} : BufferPlan{100, 40};
}

void ShowDebugModeBox(int32_t level) {
    Platform::MsgBox("Vantor will run the FlennStream(TM) Audio Engine in Debug Mode (&H" +
                         VB::Hex(level) +
                         ")\n\nYou should only use this mode if directed to by "
                         "Orbury Technical Support\nas it can adversely affect performance\n\nTo "
                         "turn this off, go into Advanced in Audio Setup in Vantor Configuration",
                     Platform::vbExclamation, "VNTZEL");
}

void InitialisePlayer(int16_t n, int32_t debugLevel) {
    CartPlayerRecord& rec = Record(n);
    Trace("Initialise player " + std::to_string(n));
    if (!rec.Player) return;
    if (debugLevel != 0)
        rec.Player->SetDebugFile(Platform::JoinPath(Platform::SystemDriveFolder(),
                                                    "flplyer" + std::to_string(n) + ".dbg"),
                                 debugLevel);
    rec.Cart = Carts::State().BlankCartRecord;
    rec.EngineVolume = static_cast<int16_t>(VB::RoundHalfEven(rec.Player->PlayVolume()));
    rec.Status = Empty;
    BufferPlan plan = EngineBuffers();
    int16_t cacheSeconds = 2;
    rec.Player->SetNumberCacheSeconds(cacheSeconds);
    rec.Player->SetWaveBufferLengthms(plan.lengthMs);
    rec.Player->SetNumberWavePlayBuffers(plan.count);
}

// Display-free players for TotalNumberCartPlayers (at most 4).
int16_t MakeCartPlayers() {
    int32_t count =
        std::clamp<int32_t>(MainSettings::Settings().Audio.TotalNumberCartPlayers, 0, kMaxPlayers);
    for (int16_t n = 1; n <= count; ++n)
        CreateCartPlayer(n);
    return static_cast<int16_t>(count);
}

} // namespace

void SetPlayerMaker(PlayerMaker maker) {
    Maker() = std::move(maker);
}

bool InitialiseAudio() {
    ResetNoticeListeners();
    GeneralFunctions::LoadOSVersion();
    Trace("Initialise Audio Start");
    int16_t count = Maker() ? Maker()() : MakeCartPlayers();
    MainSettings::Settings().Audio.TotalNumberCartPlayers = count;
    Trace("Total number players " + std::to_string(count));
    int32_t level = EngineDebugLevel();
    for (int16_t n = 1; n <= count; ++n)
        InitialisePlayer(n, level);
    if (count >= 1 && Record(1).Player) Record(1).Player->LoadAudioEngine();
    Trace("Loaded Audio Engine");
    if (level != 0) ShowDebugModeBox(level);
    int16_t volume = MainSettings::Settings().Audio.GeneralVolume;
    for (int16_t n = 1; n <= count; ++n) {
        Trace("Set player volume " + std::to_string(n) + " to " + std::to_string(volume));
        SetPlayerVolume(n, volume);
    }
    return true;
}

bool ShutdownAudio() {
    for (int16_t n = 1; n <= std::min<int32_t>(PlayerCount(), kMaxPlayers); ++n) {
        CartPlayerRecord& rec = Record(n);
        if (!rec.Player) continue;
        if (rec.Status != Empty) EjectPlayer(n);
        SetPlayerVolume(n, rec.EngineVolume);
        rec.Player = nullptr;
    }
    // The windows go before the players they show.
    DestroyPlayerWindows();
    CartPlayers::ReleaseCartPlayers();
    const Carts::RecorderState& recorder = Carts::State().Recorder;
    if (recorder.RecorderControl && recorder.RecorderStatus != 0)
        Vantor_Cart_Routines::RecorderSave(2);
    SetRecorderControl(nullptr);
    return true;
}

bool FadePlayer(int16_t PlayerNumber, float StartTime, float FadeSeconds) {
    CartPlayerRecord* rec = UsablePlayer(PlayerNumber);
    if (!rec || rec->Status != Playing) return false;
    StartTime = std::min(StartTime, rec->Cart.PlayLength);
    rec->Fading = false;
    rec->FadeNotified = false;
    int16_t reference = kFadeReference;
    bool permanent = true;
    if (!rec->Player->AddVolumeChangeEvent(reference, StartTime, FadeSeconds, rec->Volume, 0,
                                           MainSettings::Settings().Audio.PlayerFadeFirePercent,
                                           true, permanent))
        return false;
    rec->Fading = true;
    return true;
}

void StartLinkedPlayer(int16_t PlayerNumber) {
    if (!InRange(PlayerNumber)) return;
    CartPlayerRecord& rec = Record(PlayerNumber);
    int16_t partner = static_cast<int16_t>(rec.LinkedPlayer);
    if (rec.LinkedPlayer == 0 || partner < 1) return;
    UnlinkPlayer(PlayerNumber, false);
    if (!InRange(partner)) return;
    int16_t volume = MainSettings::Settings().Audio.GeneralVolume;
    PlayPlayer(partner, Record(partner).CartNumber, volume);
}

void UnlinkPlayer(int16_t PlayerNumber, bool RestoreDucking) {
    if (!InRange(PlayerNumber)) return;
    CartPlayerRecord& rec = Record(PlayerNumber);
    if (rec.LinkedPlayer == 0) return;
    int16_t partner = static_cast<int16_t>(rec.LinkedPlayer);
    if (InRange(partner)) {
        CartPlayerRecord& other = Record(partner);
        if (RestoreDucking && other.Status == Cued) RestoreDuckedPlayers(partner);
        other.LinkedPlayer = 0;
        other.PartnerPlaysFirst = false;
    }
    if (RestoreDucking && rec.Status == Cued) RestoreDuckedPlayers(PlayerNumber);
    rec.LinkedPlayer = 0;
    rec.PartnerPlaysFirst = false;
    PlayerSpecific_API::ResetPlayerNumberColour(partner);
    PlayerSpecific_API::ResetPlayerNumberColour(PlayerNumber);
}

void RestoreDuckedPlayers(int16_t PlayerNumber) {
    for (int16_t i = 1; i <= std::min<int32_t>(PlayerCount(), kMaxPlayers); ++i) {
        CartPlayerRecord& rec = Record(i);
        if (i == PlayerNumber || rec.DuckedBy != PlayerNumber) continue;
        for (int16_t reference : {int16_t{1}, int16_t{2}})
            if (rec.Player) rec.Player->RemoveVolumeChangeEvent(reference);
        SetPlayerVolume(i, rec.Volume);
        rec.DuckedBy = 0;
    }
}

} // namespace Audio_Player_FN
