// Pausing, resuming and closing the recording into a cart.
#include "carts/Audio_Player_FN.h"
#include "carts/Vantor_Cart_Routines.h"
#include "carts/Vantor_Cart_Routines_Internal.h"
#include "core/AppInfo.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"
#include "player_controls/FlennRecorder.h"

namespace Vantor_Cart_Routines {

namespace {

constexpr const char* kRecordingMark = "Currently Recording";

Carts::RecorderState& Recorder() {
    return Carts::State().Recorder;
}

// The recorder when one is set and its recording is open; nullptr otherwise.
FlennRecorder* OpenRecorder() {
    Carts::RecorderState& state = Recorder();
    return state.RecorderStatus != 0 ? state.RecorderControl.data() : nullptr;
}

bool UserWantsToSave(int32_t cartNumber) {
    return Platform::MsgBox("Do you want to save the audio you have recorded into Cart " +
                                std::to_string(cartNumber) + "?",
                            Platform::vbYesNo | Platform::vbQuestion,
                            AppInfo::kAppTitle) == Platform::vbYes;
}

// Moves the recording into the cart's audio file and stores the cart's record for it.
void StoreRecording(int32_t cartNumber) {
    Carts::RecorderState& state = Recorder();
    if (state.RecorderTransferPending)
        GeneralFunctions::ShellFileOperation(state.RecorderTempFile,
                                             GetCartAudioFileName(cartNumber, true, false),
                                             "Transferring to Network", 0, true, false);
    CartRecord stored;
    ReadCart(stored, cartNumber);
    CartRecord& rec = state.RecorderCart;
    if (VB::Trim(stored.Description1) == kRecordingMark) {
        if (VB::Trim(rec.Description1) == kRecordingMark)
            rec.Description1 =
                GeneralFunctions::PadRight("New Audio Recorded", kDescriptionLength, " ");
        rec.BackColor = MainSettings::Settings().Audio.EmptyCartBackColor;
        rec.ForeColor = MainSettings::Settings().Audio.EmptyCartForeColor;
    }
    rec.PlayLength =
        MultimediaAPI::GetWaveLengthSeconds(GetCartAudioFileName(cartNumber, false, false));
    rec.AudioEnd = rec.TotalLength = rec.Extro = rec.PlayLength;
    WriteCart(rec, cartNumber, true, true);
}

// Forgets the closed recording, keeping what LastRecordedCart and LastRecordedSeconds say.
void ForgetRecording() {
    Carts::RecorderState& state = Recorder();
    state.RecorderLeftLevel = state.RecorderRightLevel = 0;
    state.LastRecordedCart = state.RecorderCartNumber;
    state.LastRecordedSeconds = state.RecorderCart.PlayLength;
    state.RecorderTransferPending = false;
    state.RecorderTempFile.clear();
    state.RecorderCartNumber = 0;
    state.RecorderCart = Carts::State().BlankCartRecord;
    state.RecorderSecondsRecorded = state.RecorderSecondsRemain = 0;
    state.RecordStarted = {0, -1};
}

} // namespace

bool RecorderResume() {
    FlennRecorder* recorder = OpenRecorder();
    return recorder && recorder->ResumeRecording() == 0;
}

bool RecorderPause() {
    FlennRecorder* recorder = OpenRecorder();
    if (!recorder || recorder->PauseRecording() != 0) return false;
    Audio_Player_FN::SendPlayerNotice(CartPlayers::pnRecorderPaused, 0, 0);
    return true;
}

bool RecorderSave(int32_t Mode) {
    FlennRecorder* recorder = OpenRecorder();
    if (!recorder) return false;
    Carts::RecorderState& state = Recorder();
    recorder->PauseRecording();
    bool save = Mode == 1 || (Mode == 2 && UserWantsToSave(state.RecorderCartNumber));
    recorder->CloseRecording(save);
    const int32_t cartNumber = state.RecorderCartNumber;
    if (cartNumber > 0 && save) {
        StoreRecording(cartNumber);
    } else if (cartNumber > 0) {
        DeleteCart(cartNumber, true, true, false);
        state.RecorderCart.PlayLength = -1;
    }
    ForgetRecording();
    Audio_Player_FN::SendPlayerNotice(CartPlayers::pnRecorderSaved, 0, state.LastRecordedCart);
    return save;
}

} // namespace Vantor_Cart_Routines
