// Every dispatch identifier, name, kind and argument count of the player controls, as hosts and
// stored files know them.
#include "support/DispatchMembers.h"
#include "player_controls/FlennPlayer.h"
#include "player_controls/FlennRecorder.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

constexpr KnownMember kFlennPlayer[] = {
    {"CloseAudio", 0x60030029, M, 0},
    {"OpenAudio", 0x6003002a, M, 1},
    {"PlayAudio", 0x6003002b, M, 0},
    {"PauseAudio", 0x6003002c, M, 0},
    {"CueAudio", 0x6003002d, M, 0},
    {"SeekPercentage", 0x6003002e, M, 2},
    {"SeekTime", 0x6003002f, M, 2},
    {"LoadAudioEngine", 0x60030031, M, 0},
    {"WaveOutDeviceNumber", 0x68030028, GP, 0},
    {"AudioFileName", 0x68030027, G, 0},
    {"SecondsPlayed", 0x68030026, G, 0},
    {"SecondsRemain", 0x68030025, G, 0},
    {"PercentagePlayed", 0x68030024, G, 0},
    {"TotalSecondsPlayed", 0x68030023, G, 0},
    {"TotalSecondsRemain", 0x68030022, G, 0},
    {"TotalPercentagePlayed", 0x68030021, G, 0},
    {"Status", 0x68030020, G, 0},
    {"WaveOutDeviceName", 0x6803001f, G, 0},
    {"WaveBufferLengthms", 0x6803001e, GP, 0},
    {"NumberWavePlayBuffers", 0x6803001d, GP, 0},
    {"SampleRate", 0x6803001c, GP, 0},
    {"NumberChannels", 0x6803001b, GP, 0},
    {"NumberCacheSeconds", 0x6803001a, GP, 0},
    {"AudioStart", 0x68030019, GP, 0},
    {"AudioEnd", 0x68030018, GP, 0},
    {"AudioLength", 0x68030017, G, 0},
    {"TotalAudioLength", 0x68030016, G, 0},
    {"RaiseAudioPositionChanged", 0x68030015, GP, 0},
    {"IntroStart", 0x68030014, GP, 0},
    {"IntroEnd", 0x68030013, GP, 0},
    {"HookStart", 0x68030085, GP, 0},
    {"HookEnd", 0x68030084, GP, 0},
    {"Extro", 0x68030012, GP, 0},
    {"AudioPart", 0x68030011, G, 0},
    {"SweeperStart", 0x68030010, GP, 0},
    {"CanSetPlayVolume", 0x6803000f, G, 0},
    {"PlayVolume", 0x6803000e, GP, 0},
    {"ReportErrors", 0x6803000d, GP, 0},
    {"LoopStart", 0x6803000c, GP, 0},
    {"LoopEnd", 0x6803000b, GP, 0},
    {"UseLoop", 0x6803000a, GP, 0},
    {"InLoop", 0x68030009, G, 0},
    {"ExitLoop", 0x60030083, M, 0},
    {"SampleAudioLevel", 0x68030008, GP, 0},
    {"RaiseAudioLevelEvents", 0x68030007, GP, 0},
    {"AudioLevel", 0x68030006, G, 0},
    {"LeftAudioLevel", 0x68030005, G, 0},
    {"RightAudioLevel", 0x68030004, G, 0},
    {"AddVolumeChangeEvent", 0x60030047, M, 8},
    {"RemoveVolumeChangeEvent", 0x60030048, M, 1},
    {"NumberVolumeChangeEvents", 0x68030003, G, 0},
    {"FirstVolumeChangeEventTime", 0x68030002, G, 0},
    {"LastVolumeChangeEventTime", 0x68030001, G, 0},
    {"GetVolumeChangeEvent", 0x6003004c, M, 2},
    {"DebugFile", 0x68030000, GP, 0},
    {"SetDebugFile", 0x60030069, M, 2},
    {"DirectXMode", 0x6803004d, GP, 0},
    {"MaxLoopCount", 0x6803006a, GP, 0},
    {"LoopCount", 0x68030086, G, 0},
    {"FlushBuffers", 0x68030088, GP, 0},
    {"InverseLogFades", 0x68030087, GP, 0},
    {"FadeMode", 0x68030089, GP, 0},
};

constexpr KnownMember kFlennRecorder[] = {
    {"RecordAudio", 0x60030015, M, 6},
    {"RecordAudioEx", 0x6003002c, M, 7},
    {"CloseRecording", 0x60030016, M, 1},
    {"PauseRecording", 0x60030017, M, 0},
    {"ResumeRecording", 0x60030018, M, 0},
    {"LoadAudioEngine", 0x60030019, M, 0},
    {"ClearBuffer", 0x6003001a, M, 0},
    {"SetDebugFile", 0x6003002b, M, 2},
    {"AudioFileName", 0x68030014, G, 0},
    {"TotalSecondsRecorded", 0x68030013, G, 0},
    {"TotalSecondsRemain", 0x68030012, G, 0},
    {"TotalPercentageRecorded", 0x68030011, G, 0},
    {"Status", 0x68030010, G, 0},
    {"WaveBufferLengthms", 0x6803000f, GP, 0},
    {"SampleRate", 0x6803000e, GP, 0},
    {"NumberChannels", 0x6803000d, GP, 0},
    {"NumberCacheSeconds", 0x6803000c, GP, 0},
    {"AudioLength", 0x6803000b, G, 0},
    {"RaiseAudioPositionChanged", 0x6803000a, GP, 0},
    {"CanSetRecordVolume", 0x68030009, G, 0},
    {"RecordVolume", 0x68030008, GP, 0},
    {"RaiseAudioLevelEvents", 0x68030007, GP, 0},
    {"AudioLevel", 0x68030006, G, 0},
    {"LeftAudioLevel", 0x68030005, G, 0},
    {"RightAudioLevel", 0x68030004, G, 0},
    {"ReportErrors", 0x68030003, GP, 0},
    {"NumberWaveRecordBuffers", 0x68030002, GP, 0},
    {"WaveInDeviceName", 0x68030001, G, 0},
    {"WaveInDeviceNumber", 0x68030000, GP, 0},
    {"TriggerLevel", 0x6803001d, GP, 0},
    {"TriggerLevelActive", 0x6803001c, G, 0},
    {"DebugFile", 0x6803001b, GP, 0},
};

} // namespace

TEST(DispatchMembers, PlayerAndRecorderKeepTheirIdentifiers) {
    ExpectMembers(FlennPlayer::Info(), kFlennPlayer);
    ExpectMembers(FlennRecorder::Info(), kFlennRecorder);
}
