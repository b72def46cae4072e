// Identity and dispatch table of FlennStreamPlay.
#include "audio_engine/FlennStreamPlay.h"

#include "platform/ComControl.h"

using namespace Platform::Com;

namespace {

using S = FlennStreamPlay;

// AddBuffer, and AddBufferEx with its user data as a third argument.
template <bool Ex> HResult AddBuffer(S& stream, Call& call) {
    std::optional<intptr_t> pointer = ToAddress(call.args[0]);
    std::optional<int32_t> length = ToLong(call.args[1]);
    std::optional<int32_t> user = Ex ? ToLong(call.args[2]) : 0;
    if (!pointer || !length || !user) return DISP_E_TYPEMISMATCH;
    call.result = stream.AddBufferEx(*pointer, *length, *user);
    return S_OK;
}

// A buffer number out of range raises "Subscript out of range".
HResult GetBufferDetails(S& stream, Call& call) {
    std::vector<Variant>& args = call.args;
    std::optional<int16_t> number = ToInteger(args[0]);
    if (!number) return DISP_E_TYPEMISMATCH;
    intptr_t pointer = ToAddress(args[1]).value_or(0);
    int32_t length = ToLong(args[2]).value_or(0), flags = ToLong(args[3]).value_or(0);
    bool outOfRange = false;
    int32_t answer = stream.GetBufferDetails(*number, pointer, length, flags, &outOfRange);
    if (outOfRange) return call.Raise(kErrSubscriptOutOfRange, "Subscript out of range");
    args[1] = Address{pointer};
    args[2] = length;
    args[3] = flags;
    call.result = answer;
    return S_OK;
}

constexpr Member<S> kMembers[] = {
    {0x600301e3, "LoadAudioEngine", kMethod, 0, Result<&S::LoadAudioEngine>},
    {0x600301e4, "UnloadAudioEngine", kMethod, 0, Result<&S::UnloadAudioEngine>},
    {0x680301ca, "WaveDeviceNumber", kGetPut, 0,
     Property<&S::WaveDeviceNumber, &S::SetWaveDeviceNumber, ToLong>},
    {0x680301c9, "SampleRate", kGetPut, 0, Property<&S::SampleRate, &S::SetSampleRate, ToLong>},
    {0x680301c8, "NumberChannels", kGetPut, 0,
     Property<&S::NumberChannels, &S::SetNumberChannels, ToLong>},
    {0x600301cf, "StartFlennStream", kMethod, 0, Result<&S::StartFlennStream>},
    {0x600301d0, "StopFlennStream", kMethod, 0, Result<&S::StopFlennStream>},
    {0x680301c7, "MaxWaveBufferSize", kGet, 0, Result<&S::MaxWaveBufferSize>},
    {0x680301c6, "WaveBufferLengthms", kGetPut, 0,
     Property<&S::WaveBufferLengthms, &S::SetWaveBufferLengthms, ToLong>},
    {0x680301c5, "BlocksPlayed", kGet, 0, Result<&S::BlocksPlayed>},
    {0x680301c4, "MilliSecondsPlayed", kGet, 0, Result<&S::MilliSecondsPlayed>},
    {0x680301c3, "hWnd", kGet, 0, Result<&S::hWnd>},
    {0x680301c2, "NumberWaveBuffers", kGetPut, 0,
     Property<&S::NumberWaveBuffers, &S::SetNumberWaveBuffers, ToLong>},
    {0x600301d4, "fnWindowProc", kMethod, 4, WindowProcedure<&S::fnWindowProc>},
    {0x680301de, "AudioLevel", kGet, 0, Result<&S::AudioLevel>},
    {0x680301dd, "LeftAudioLevel", kGet, 0, Result<&S::LeftAudioLevel>},
    {0x680301dc, "RightAudioLevel", kGet, 0, Result<&S::RightAudioLevel>},
    {0x680301c1, "Status", kGet, 0, Result<&S::Status>},
    {0x600301d5, "PausePlayback", kMethod, 0, Result<&S::PausePlayback>},
    {0x600301d6, "StartPlayback", kMethod, 0, Result<&S::StartPlayback>},
    {0x680301c0, "PlayStatus", kGet, 0, Result<&S::PlayStatus>},
    {0x680301bf, "NumberFreeBuffers", kGet, 0, Result<&S::NumberFreeBuffers>},
    {0x680301e2, "FreeBufferSize", kGet, 0, Result<&S::FreeBufferSize>},
    {0x680301e1, "FreeBufferSizems", kGet, 0, Result<&S::FreeBufferSizems>},
    {0x600301d7, "Clearbuffers", kMethod, 0, Result<&S::Clearbuffers>},
    {0x600301d8, "AddBuffer", kMethod, 2, AddBuffer<false>},
    {0x600301ef, "AddBufferEx", kMethod, 3, AddBuffer<true>},
    {0x600301fa, "FlushPlayback", kMethod, 0, Result<&S::FlushPlayback>},
    {0x680301f0, "FlushBufferLengthms", kGetPut, 0,
     Property<&S::FlushBufferLengthms, &S::SetFlushBufferLengthms, ToLong>},
    {0x680301be, "ReturnBuffers", kGetPut, 0,
     Property<&S::ReturnBuffers, &S::SetReturnBuffers, ToBoolean>},
    {0x680301db, "SampleAudioLevel", kGetPut, 0,
     Property<&S::SampleAudioLevel, &S::SetSampleAudioLevel, ToBoolean>},
    {0x680301da, "RaiseAudioLevelEvents", kGetPut, 0,
     Property<&S::RaiseAudioLevelEvents, &S::SetRaiseAudioLevelEvents, ToLong>},
    {0x680301bd, "CanSetPlayVolume", kGet, 0, Result<&S::CanSetPlayVolume>},
    {0x680301bc, "PlayVolume", kGetPut, 0, Property<&S::PlayVolume, &S::SetPlayVolume, ToSingle>},
    {0x680301bb, "ReportErrors", kGetPut, 0,
     Property<&S::ReportErrors, &S::SetReportErrors, ToBoolean>},
    {0x600301d9, "GetBufferDetails", kMethod, 4, GetBufferDetails},
    {0x680301e0, "DirectXMode", kGetPut, 0,
     Property<&S::DirectXMode, &S::SetDirectXMode, ToBoolean>},
    {0x680301df, "AudioEngineLoaded", kGet, 0, Result<&S::AudioEngineLoaded>},
    {0x680301e5, "SynchronousAudioLevelEvents", kGetPut, 0,
     Property<&S::SynchronousAudioLevelEvents, &S::SetSynchronousAudioLevelEvents, ToBoolean>},

};

constexpr EventMember kEvents[] = {
    {1, "BufferAvailable", 3},
    {2, "FlennStreamStopped", 0},
    {3, "FlennStreamStarted", 0},
    {4, "Playing", 0},
    {5, "Paused", 0},
    {7, "AudioLevelUpdate", 2},
    {6, "PlayerError", 1},
};

const ControlClass kClass({"FlennStreamTwo.FlennStreamPlay",
                           "{DB32A521-8798-4674-A47F-0619CBD40D98}",
                           "_FlennStreamPlay",
                           "{99D2C66E-B100-43DB-A461-F3E5B3B70FFA}",
                           "{95700FA9-B9A5-4C56-831A-D11D987F63CB}",
                           {},
                           kEvents},
                          kMembers);

} // namespace

const ClassInfo& FlennStreamPlay::Info() {
    return kClass.Info();
}

HResult FlennStreamPlay::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                                Variant& result, ExceptionInfo* exception) {
    return kClass.Invoke(*this, dispid, kind, args, result, exception);
}
