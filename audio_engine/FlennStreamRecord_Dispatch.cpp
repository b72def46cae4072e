// Identity and dispatch table of FlennStreamRecord.
#include "audio_engine/FlennStreamRecord.h"

#include "platform/ComControl.h"

using namespace Platform::Com;

namespace {

using S = FlennStreamRecord;

// The record volume cannot be set: an assignment is ignored.
HResult RecordVolume(S& stream, Call& call) {
    if (!call.Put()) call.result = stream.RecordVolume();
    return S_OK;
}

constexpr Member<S> kMembers[] = {
    {0x600300ad, "LoadAudioEngine", kMethod, 0, Result<&S::LoadAudioEngine>},
    {0x600300ae, "UnloadAudioEngine", kMethod, 0, Result<&S::UnloadAudioEngine>},
    {0x6803009f, "WaveDeviceNumber", kGetPut, 0,
     Property<&S::WaveDeviceNumber, &S::SetWaveDeviceNumber, ToLong>},
    {0x6803009e, "SampleRate", kGetPut, 0, Property<&S::SampleRate, &S::SetSampleRate, ToLong>},
    {0x6803009d, "NumberChannels", kGetPut, 0,
     Property<&S::NumberChannels, &S::SetNumberChannels, ToLong>},
    {0x600300a4, "StartFlennStream", kMethod, 0, Result<&S::StartFlennStream>},
    {0x600300a5, "StopFlennStream", kMethod, 0, Result<&S::StopFlennStream>},
    {0x6803009c, "WaveBufferLength", kGetPut, 0,
     Property<&S::WaveBufferLength, &S::SetWaveBufferLength, ToLong>},
    {0x6803009b, "MilliSecondsRecorded", kGet, 0, Result<&S::MilliSecondsRecorded>},
    {0x6803009a, "hWnd", kGet, 0, Result<&S::hWnd>},
    {0x68030099, "NumberWaveBuffers", kGetPut, 0,
     Property<&S::NumberWaveBuffers, &S::SetNumberWaveBuffers, ToLong>},
    {0x600300a9, "fnWindowProc", kMethod, 4, WindowProcedure<&S::fnWindowProc>},
    {0x68030098, "AudioLevel", kGet, 0, Result<&S::AudioLevel>},
    {0x68030097, "LeftAudioLevel", kGet, 0, Result<&S::LeftAudioLevel>},
    {0x68030096, "RightAudioLevel", kGet, 0, Result<&S::RightAudioLevel>},
    {0x600300ab, "ClearSampleBuffer", kMethod, 0, Result<&S::ClearSampleBuffer>},
    {0x68030095, "Status", kGet, 0, Result<&S::Status>},
    {0x600300ac, "ReturnAudio", kMethod, 0, Result<&S::ReturnAudio>},
    {0x68030094, "DontSampleLevel", kGetPut, 0,
     Property<&S::DontSampleLevel, &S::SetDontSampleLevel, ToBoolean>},
    {0x68030091, "RaiseAudioLevelEvents", kGetPut, 0,
     Property<&S::RaiseAudioLevelEvents, &S::SetRaiseAudioLevelEvents, ToLong>},
    {0x68030090, "ReportErrors", kGetPut, 0,
     Property<&S::ReportErrors, &S::SetReportErrors, ToBoolean>},
    {0x6803008f, "ReturnBuffers", kGetPut, 0,
     Property<&S::ReturnBuffers, &S::SetReturnBuffers, ToBoolean>},
    {0x68030093, "CanSetRecordVolume", kGet, 0, Result<&S::CanSetRecordVolume>},
    {0x68030092, "RecordVolume", kGetPut, 0, RecordVolume},
    {0x680300af, "SynchronousAudioLevelEvents", kGetPut, 0,
     Property<&S::SynchronousAudioLevelEvents, &S::SetSynchronousAudioLevelEvents, ToBoolean>},

};

constexpr EventMember kEvents[] = {
    {1, "BufferReceived", 2},   {2, "FlennStreamStopped", 0}, {3, "FlennStreamStarted", 0},
    {4, "AudioLevelUpdate", 2}, {5, "PlayerError", 1},
};

const ControlClass kClass({"FlennStreamTwo.FlennStreamRecord",
                           "{8CDCB75A-A1A3-4C20-BFE6-DEBB6B992394}",
                           "_FlennStreamRecord",
                           "{6FDE728F-6D47-4752-B8C6-C089398B909A}",
                           "{D42BFBE3-2321-4A53-B8B1-5862A44BA1C2}",
                           {},
                           kEvents},
                          kMembers);

} // namespace

const ClassInfo& FlennStreamRecord::Info() {
    return kClass.Info();
}

HResult FlennStreamRecord::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                                  Variant& result, ExceptionInfo* exception) {
    return kClass.Invoke(*this, dispid, kind, args, result, exception);
}
