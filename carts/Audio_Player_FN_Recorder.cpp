// The recorder's events: its state kept for the recorder operations, and its notices.
#include "carts/Audio_Player_FN.h"
#include "carts/CartsState.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/GeneralFunctions.h"
#include "player_controls/FlennRecorder.h"

namespace Audio_Player_FN {

using namespace CartPlayers;

namespace {

Carts::RecorderState& Recorder() {
    return Carts::State().Recorder;
}

void Notify(int32_t code) {
    SendPlayerNotice(code, 0, 0);
}

void DisconnectRecorder() {
    for (const QMetaObject::Connection& connection : Recorder().RecorderEvents)
        QObject::disconnect(connection);
    Recorder().RecorderEvents.clear();
}

// PlayerError and BufferRecieved are left unhandled.
void ConnectRecorder(FlennRecorder* recorder) {
    std::vector<QMetaObject::Connection>& events = Recorder().RecorderEvents;
    events.push_back(QObject::connect(recorder, &FlennRecorder::RecordOpen, &RecorderRecordOpen));
    events.push_back(QObject::connect(recorder, &FlennRecorder::Recording, &RecorderRecording));
    events.push_back(QObject::connect(recorder, &FlennRecorder::Paused, &RecorderPaused));
    events.push_back(QObject::connect(recorder, &FlennRecorder::RecordingEndReached, [] {
        RecorderRecordingEndReached();
        Vantor_Cart_Routines::RecorderSave(2);
    }));
    events.push_back(QObject::connect(recorder, &FlennRecorder::Closed, &RecorderClosed));
    events.push_back(QObject::connect(recorder, &FlennRecorder::AudioPositionChanged,
                                      &RecorderAudioPositionChanged));
    events.push_back(
        QObject::connect(recorder, &FlennRecorder::AudioLevelChanged, &RecorderAudioLevelChanged));
}

} // namespace

void RecorderRecordOpen() {
    Recorder().RecorderStatus = ersWaitingLevel;
}

void RecorderRecording() {
    Carts::RecorderState& state = Recorder();
    state.RecorderStatus = ersRecording;
    if (state.RecordStarted.Day == 0) state.RecordStarted = GeneralFunctions::TimeStampNow(false);
    Notify(pnRecording);
}

void RecorderPaused() {
    Recorder().RecorderStatus = ersPaused;
}

void RecorderRecordingEndReached() {
    Recorder().RecorderStatus = ersPaused;
    Notify(pnRecordingEnd);
}

void RecorderClosed() {
    Recorder().RecorderStatus = ersClosed;
}

void RecorderAudioPositionChanged() {
    Carts::RecorderState& state = Recorder();
    if (FlennRecorder* recorder = state.RecorderControl.data()) {
        state.RecorderSecondsRecorded = recorder->TotalSecondsRecorded();
        state.RecorderSecondsRemain = recorder->TotalSecondsRemain();
    }
    state.RecorderCart.PlayLength = state.RecorderSecondsRecorded + state.RecorderSecondsRemain;
    state.RecorderCart.TotalLength = state.RecorderCart.PlayLength;
    Notify(pnRecorderPosition);
}

void RecorderAudioLevelChanged(int16_t MaxLeftLevel, int16_t MaxRightLevel) {
    Carts::RecorderState& state = Recorder();
    state.RecorderLeftLevel = MaxLeftLevel;
    state.RecorderRightLevel = MaxRightLevel;
    Notify(pnRecorderLevel);
}

void SetRecorderControl(FlennRecorder* recorder) {
    DisconnectRecorder();
    Recorder().RecorderControl = recorder;
    if (recorder) ConnectRecorder(recorder);
}

} // namespace Audio_Player_FN
