// Every dispatch identifier, name, kind and argument count of the stream engines, as hosts and
// stored files know them.
#include "support/DispatchMembers.h"
#include "audio_engine/FlennStreamPlay.h"
#include "audio_engine/FlennStreamRecord.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

constexpr KnownMember kFlennStreamPlay[] = {
    {"LoadAudioEngine", 0x600301e3, M, 0},
    {"UnloadAudioEngine", 0x600301e4, M, 0},
    {"WaveDeviceNumber", 0x680301ca, GP, 0},
    {"SampleRate", 0x680301c9, GP, 0},
    {"NumberChannels", 0x680301c8, GP, 0},
    {"StartFlennStream", 0x600301cf, M, 0},
    {"StopFlennStream", 0x600301d0, M, 0},
    {"MaxWaveBufferSize", 0x680301c7, G, 0},
    {"WaveBufferLengthms", 0x680301c6, GP, 0},
    {"BlocksPlayed", 0x680301c5, G, 0},
    {"MilliSecondsPlayed", 0x680301c4, G, 0},
    {"hWnd", 0x680301c3, G, 0},
    {"NumberWaveBuffers", 0x680301c2, GP, 0},
    {"fnWindowProc", 0x600301d4, M, 4},
    {"AudioLevel", 0x680301de, G, 0},
    {"LeftAudioLevel", 0x680301dd, G, 0},
    {"RightAudioLevel", 0x680301dc, G, 0},
    {"Status", 0x680301c1, G, 0},
    {"PausePlayback", 0x600301d5, M, 0},
    {"StartPlayback", 0x600301d6, M, 0},
    {"PlayStatus", 0x680301c0, G, 0},
    {"NumberFreeBuffers", 0x680301bf, G, 0},
    {"FreeBufferSize", 0x680301e2, G, 0},
    {"FreeBufferSizems", 0x680301e1, G, 0},
    {"Clearbuffers", 0x600301d7, M, 0},
    {"AddBuffer", 0x600301d8, M, 2},
    {"AddBufferEx", 0x600301ef, M, 3},
    {"FlushPlayback", 0x600301fa, M, 0},
    {"FlushBufferLengthms", 0x680301f0, GP, 0},
    {"ReturnBuffers", 0x680301be, GP, 0},
    {"SampleAudioLevel", 0x680301db, GP, 0},
    {"RaiseAudioLevelEvents", 0x680301da, GP, 0},
    {"CanSetPlayVolume", 0x680301bd, G, 0},
    {"PlayVolume", 0x680301bc, GP, 0},
    {"ReportErrors", 0x680301bb, GP, 0},
    {"GetBufferDetails", 0x600301d9, M, 4},
    {"DirectXMode", 0x680301e0, GP, 0},
    {"AudioEngineLoaded", 0x680301df, G, 0},
    {"SynchronousAudioLevelEvents", 0x680301e5, GP, 0},
};

constexpr KnownMember kFlennStreamRecord[] = {
    {"LoadAudioEngine", 0x600300ad, M, 0},
    {"UnloadAudioEngine", 0x600300ae, M, 0},
    {"WaveDeviceNumber", 0x6803009f, GP, 0},
    {"SampleRate", 0x6803009e, GP, 0},
    {"NumberChannels", 0x6803009d, GP, 0},
    {"StartFlennStream", 0x600300a4, M, 0},
    {"StopFlennStream", 0x600300a5, M, 0},
    {"WaveBufferLength", 0x6803009c, GP, 0},
    {"MilliSecondsRecorded", 0x6803009b, G, 0},
    {"hWnd", 0x6803009a, G, 0},
    {"NumberWaveBuffers", 0x68030099, GP, 0},
    {"fnWindowProc", 0x600300a9, M, 4},
    {"AudioLevel", 0x68030098, G, 0},
    {"LeftAudioLevel", 0x68030097, G, 0},
    {"RightAudioLevel", 0x68030096, G, 0},
    {"ClearSampleBuffer", 0x600300ab, M, 0},
    {"Status", 0x68030095, G, 0},
    {"ReturnAudio", 0x600300ac, M, 0},
    {"DontSampleLevel", 0x68030094, GP, 0},
    {"RaiseAudioLevelEvents", 0x68030091, GP, 0},
    {"ReportErrors", 0x68030090, GP, 0},
    {"ReturnBuffers", 0x6803008f, GP, 0},
    {"CanSetRecordVolume", 0x68030093, G, 0},
    {"RecordVolume", 0x68030092, GP, 0},
    {"SynchronousAudioLevelEvents", 0x680300af, GP, 0},
};

} // namespace

TEST(DispatchMembers, StreamEnginesKeepTheirIdentifiers) {
    ExpectMembers(FlennStreamPlay::Info(), kFlennStreamPlay);
    ExpectMembers(FlennStreamRecord::Info(), kFlennStreamRecord);
}
