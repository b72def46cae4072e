// Load, cue, play, pause, seek and eject of one player, and the players' volume.
#include "carts/Audio_Player_FN_Internal.h"
#include "carts/CartsState.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/GeneralFunctions.h"
#include "platform/VB.h"
#include "platform/WaveDevices.h"

#include <algorithm>

namespace Audio_Player_FN {

using namespace CartPlayers;
using namespace Internal;
using Vantor_Cart_Routines::CartRecord;

namespace {

// The common guards of load, cue, play, pause and seek.
CartPlayerRecord* Guarded(int16_t playerNumber, int32_t cartNumber) {
    CartPlayerRecord* rec = UsablePlayer(playerNumber);
    if (!rec || cartNumber < 1 || cartNumber > MainSettings::Settings().Audio.NoCarts)
        return nullptr;
    return rec;
}

bool HoldsOther(const CartPlayerRecord& rec, int32_t cartNumber) {
    return rec.CartNumber != cartNumber;
}

bool IsBlank(const std::string& line) {
    return VB::Trim(line).empty();
}

// Empty leading description lines give way to the lines below them.
void TidyDescriptions(CartRecord& cart) {
    const std::string empty = VB::Space(static_cast<int>(Vantor_Cart_Routines::kDescriptionLength));
    if (IsBlank(cart.Description1)) {
        cart.Description1 = cart.Description2;
        cart.Description2 = cart.Description3;
        cart.Description3 = empty;
    }
    if (IsBlank(cart.Description1)) {
        cart.Description1 = cart.Description2;
        cart.Description2 = empty;
    }
    if (IsBlank(cart.Description2)) {
        cart.Description2 = cart.Description3;
        cart.Description3 = empty;
    }
}

void GiveTimingPoints(FlennPlayer& control, const CartRecord& cart) {
    control.SetAudioEnd(cart.AudioEnd);
    control.SetAudioStart(cart.AudioStart);
    control.SetExtro(cart.Extro);
    control.SetIntroEnd(cart.IntroEnd);
    control.SetIntroStart(cart.IntroStart);
    control.SetHookEnd(cart.HookEnd);
    control.SetHookStart(cart.HookStart);
}

float LoopPoint(float seconds, const CartRecord& cart) {
    return std::min(std::max(seconds, 4.5f), cart.AudioEnd);
}

void SetUpLoop(FlennPlayer& control, const CartRecord& cart) {
    const int32_t mode = static_cast<uint16_t>(cart.LoopMode);
    if ((mode & 0x8000) == 0 || cart.LoopStart < 0 || cart.LoopEnd <= 0) return;
    int16_t maxCount = (mode & 0x2000)
                           ? int16_t{1000}
                           : static_cast<int16_t>(mode & Vantor_Cart_Routines::kLoopCountMask);
    control.SetLoopStart(LoopPoint(cart.LoopStart, cart));
    control.SetLoopEnd(LoopPoint(cart.LoopEnd, cart));
    control.SetUseLoop(true);
    control.SetMaxLoopCount(maxCount);
}

void ClearFade(CartPlayerRecord& rec) {
    int16_t reference = kFadeReference;
    if (rec.Fading) rec.Player->RemoveVolumeChangeEvent(reference);
    rec.Fading = false;
    rec.FadeNotified = false;
}

// A second play of a cart that is playing: leave its loop as the cart says. False when the
// cart does not loop (nothing to do, nothing to tell).
bool ReplayLoopingCart(CartPlayerRecord& rec) {
    FlennPlayer& control = *rec.Player;
    if (!control.UseLoop()) return false;
    bool finishPass = (rec.Cart.LoopMode & Vantor_Cart_Routines::kLoopFinishPass) != 0;
    if (control.InLoop() && !finishPass)
        control.ExitLoop();
    else
        control.SetUseLoop(false);
    return true;
}

} // namespace

void SetPlayerVolume(int16_t PlayerNumber, float Volume) {
    if (!InRange(PlayerNumber)) return;
    CartPlayerRecord& rec = Record(PlayerNumber);
    float volume = std::clamp(Volume, 0.0f, 100.0f);
    if (rec.Player && (PlayerNumber == 1 || Platform::waveOutGetNumDevs() >= 2))
        rec.Player->SetPlayVolume(volume);
    rec.Volume = static_cast<int16_t>(VB::RoundHalfEven(volume));
}

bool LoadPlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) {
    CartPlayerRecord* rec = Guarded(PlayerNumber, CartNumber);
    if (!rec) return false;
    if (rec->CartNumber == CartNumber && rec->Status != Empty) return true;
    CartRecord cart;
    if (Vantor_Cart_Routines::ReadCart(cart, CartNumber) != 0) return false;
    std::string audioFile = Vantor_Cart_Routines::GetCartAudioFileName(CartNumber, false, false);
    if (GeneralFunctions::SafeFileLen(audioFile) <= 0 || cart.PlayLength <= 0) return false;
    if (rec->Status != Empty && !EjectPlayer(PlayerNumber)) return false;
    TidyDescriptions(cart);
    if (rec->Status != Empty) return false;
    if (rec->Player->OpenAudio(audioFile) != 0) return false;

    bool notesExist = false;
    std::string notes = Vantor_Cart_Routines::GetCartNotesFileName(CartNumber, notesExist);
    rec->SecondsPlayed = 0;
    rec->CartNumber = CartNumber;
    rec->Cart = cart;
    rec->AudioFileName = audioFile;
    rec->NotesFileName = notesExist ? notes : "";
    rec->PlaySource.clear();
    rec->Ejected = false;
    rec->Fading = false;
    rec->FadeNotified = false;
    rec->LinkedPlayer = 0;
    rec->PartnerPlaysFirst = false;
    rec->Status = Selected;
    GiveTimingPoints(*rec->Player, cart);
    if (rec->Volume != Volume) SetPlayerVolume(PlayerNumber, Volume);
    SendPlayerNotice(pnLoaded, PlayerNumber, CartNumber);
    return true;
}

bool CuePlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) {
    CartPlayerRecord* rec = Guarded(PlayerNumber, CartNumber);
    if (!rec) return false;
    if (rec->CartNumber == CartNumber && rec->Status == Cued) return true;
    if (HoldsOther(*rec, CartNumber) && !LoadPlayer(PlayerNumber, CartNumber, Volume)) return false;
    if (rec->Status == Empty) return false;
    if (rec->Player->CueAudio() != 0) return false;
    SetUpLoop(*rec->Player, rec->Cart);
    SetPlayerVolume(PlayerNumber, Volume);
    rec->SecondsPlayed = 0;
    ClearFade(*rec);
    rec->Status = Cued;
    SendPlayerNotice(pnCued, PlayerNumber, CartNumber);
    return true;
}

bool PlayPlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) {
    CartPlayerRecord* rec = Guarded(PlayerNumber, CartNumber);
    if (!rec) return false;
    if (rec->CartNumber == CartNumber && rec->Status == Playing) {
        if (!ReplayLoopingCart(*rec)) return true;
        SendPlayerNotice(pnPlayed, PlayerNumber, CartNumber);
        return true;
    }
    if (HoldsOther(*rec, CartNumber)) {
        if (!LoadPlayer(PlayerNumber, CartNumber, Volume)) return false;
    } else if (rec->Volume != Volume) {
        SetPlayerVolume(PlayerNumber, Volume);
    }
    if (rec->Status == Selected && !CuePlayer(PlayerNumber, CartNumber, Volume)) return false;
    if (rec->Status == Paused || rec->Status == Cued) {
        if (rec->LinkedPlayer > 0 && rec->PartnerPlaysFirst &&
            InRange(static_cast<int16_t>(rec->LinkedPlayer))) {
            CartPlayerRecord& partner = Record(static_cast<int16_t>(rec->LinkedPlayer));
            int16_t partnerVolume = partner.Volume;
            return PlayPlayer(static_cast<int16_t>(rec->LinkedPlayer), partner.CartNumber,
                              partnerVolume);
        }
        int32_t was = rec->Status;
        if (rec->Player->PlayAudio() != 0) return false;
        if (was == Cued) rec->PlayStarted = GeneralFunctions::TimeStampNow(false);
        rec->Status = Playing;
    }
    SendPlayerNotice(pnPlayed, PlayerNumber, CartNumber);
    return true;
}

bool PausePlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) {
    CartPlayerRecord* rec = Guarded(PlayerNumber, CartNumber);
    if (!rec) return false;
    if (rec->CartNumber == CartNumber && (rec->Status == Paused || rec->Status == Cued))
        return true;
    if (HoldsOther(*rec, CartNumber) && !LoadPlayer(PlayerNumber, CartNumber, Volume)) return false;
    if (rec->Status != Playing && rec->Status != Seeking)
        return CuePlayer(PlayerNumber, CartNumber, Volume);
    if (rec->Player->PauseAudio() != 0) return false;
    rec->Status = Paused;
    SendPlayerNotice(pnPaused, PlayerNumber, CartNumber);
    return true;
}

bool SeekPlayer(int16_t PlayerNumber, int32_t CartNumber, float Seconds, int16_t& Volume) {
    CartPlayerRecord* rec = Guarded(PlayerNumber, CartNumber);
    if (!rec) return false;
    if (Seconds < 0) Seconds = 0;
    if (HoldsOther(*rec, CartNumber) && !LoadPlayer(PlayerNumber, CartNumber, Volume)) return false;
    rec->SeekInProgress = true;
    int32_t was = rec->Status;
    if (rec->Player->SeekTime(Seconds)) {
        rec->PlayStarted =
            GeneralFunctions::TimeStampSubtract(Seconds, GeneralFunctions::TimeStampNow(false));
        rec->SecondsPlayed = Seconds;
    }
    rec->SeekInProgress = false;
    if (was != Playing) {
        if (Seconds == 0) {
            rec->Player->CueAudio();
            rec->Status = Cued;
        } else {
            rec->Player->PauseAudio();
            rec->Status = Paused;
        }
    }
    return true;
}

bool EjectPlayer(int16_t PlayerNumber) {
    CartPlayerRecord* rec = UsablePlayer(PlayerNumber);
    if (!rec || rec->Status == Empty || rec->Ejected) return false;
    RestoreDuckedPlayers(PlayerNumber);
    rec->LastCartNumber = rec->CartNumber;
    rec->LastSecondsPlayed = rec->SecondsPlayed;
    if (rec->Player->CloseAudio() != 0) return false;
    SetPlayerVolume(PlayerNumber, MainSettings::Settings().Audio.GeneralVolume);
    UnlinkPlayer(PlayerNumber, true);
    SendPlayerNotice(pnEjectStarted, PlayerNumber, rec->CartNumber);

    rec->Status = Empty;
    rec->AudioFileName.clear();
    rec->NotesFileName.clear();
    rec->PlaySource.clear();
    rec->Cart = Carts::State().BlankCartRecord;
    rec->CartNumber = 0;
    rec->SeekInProgress = false;
    rec->SecondsPlayed = 0;
    rec->SecondsRemain = 0;
    rec->SecondsToExtro = 0;
    rec->Fading = false;
    rec->FadeNotified = false;
    rec->LinkedPlayer = 0;
    rec->PartnerPlaysFirst = false;
    rec->DuckedBy = 0;
    rec->Ejected = true;
    SendPlayerNotice(pnEjectFinished, PlayerNumber, rec->LastCartNumber);
    return true;
}

} // namespace Audio_Player_FN
