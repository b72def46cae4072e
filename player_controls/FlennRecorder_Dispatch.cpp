// Identity and dispatch table of FlennRecorder.
#include "player_controls/FlennRecorder.h"

#include "platform/ComControl.h"

using namespace Platform::Com;

namespace {

using R = FlennRecorder;

// RecordAudio, and RecordAudioEx with its flags as a seventh argument.
template <bool Ex> HResult Record(R& recorder, Call& call) {
    std::vector<Variant>& args = call.args;
    std::optional<std::string> name = ToText(args[0]);
    std::optional<int32_t> rate = ToLong(args[1]);
    std::optional<int16_t> channels = ToInteger(args[2]), tag = ToInteger(args[3]),
                           trigger = ToInteger(args[4]);
    std::optional<float> length = ToSingle(args[5]);
    std::optional<int32_t> flags = Ex ? ToLong(args[6]) : 0;
    if (!name || !rate || !channels || !tag || !trigger || !length || !flags)
        return DISP_E_TYPEMISMATCH;
    call.result =
        Ex ? recorder.RecordAudioEx(*name, *rate, *channels, *tag, *trigger, *length, *flags)
           : recorder.RecordAudio(*name, *rate, *channels, *tag, *trigger, *length);
    return S_OK;
}

HResult CloseRecording(R& recorder, Call& call) {
    std::optional<bool> save = ToBoolean(call.args[0]);
    if (!save) return DISP_E_TYPEMISMATCH;
    bool s = *save;
    call.result = recorder.CloseRecording(s);
    call.args[0] = s;
    return S_OK;
}

HResult SetDebugFile(R& recorder, Call& call) {
    std::optional<std::string> name = ToText(call.args[0]);
    std::optional<int32_t> mode = ToLong(call.args[1]);
    if (!name || !mode) return DISP_E_TYPEMISMATCH;
    recorder.SetDebugFile(*name, *mode);
    return S_OK;
}

HResult DebugFile(R& recorder, Call& call) {
    if (!call.Put()) return Result<&R::DebugFile>(recorder, call);
    std::optional<std::string> name = ToText(call.args[0]);
    if (!name) return DISP_E_TYPEMISMATCH;
    recorder.SetDebugFile(*name);
    return S_OK;
}

constexpr Member<R> kMembers[] = {
    {0x60030015, "RecordAudio", kMethod, 6, Record<false>},
    {0x6003002c, "RecordAudioEx", kMethod, 7, Record<true>},
    {0x60030016, "CloseRecording", kMethod, 1, CloseRecording},
    {0x60030017, "PauseRecording", kMethod, 0, Result<&R::PauseRecording>},
    {0x60030018, "ResumeRecording", kMethod, 0, Result<&R::ResumeRecording>},
    {0x60030019, "LoadAudioEngine", kMethod, 0, Result<&R::LoadAudioEngine>},
    {0x6003001a, "ClearBuffer", kMethod, 0, Result<&R::ClearBuffer>},
    {0x6003002b, "SetDebugFile", kMethod, 2, SetDebugFile},
    {0x68030014, "AudioFileName", kGet, 0, Result<&R::AudioFileName>},
    {0x68030013, "TotalSecondsRecorded", kGet, 0, Result<&R::TotalSecondsRecorded>},
    {0x68030012, "TotalSecondsRemain", kGet, 0, Result<&R::TotalSecondsRemain>},
    {0x68030011, "TotalPercentageRecorded", kGet, 0, Result<&R::TotalPercentageRecorded>},
    {0x68030010, "Status", kGet, 0, Result<&R::Status>},
    {0x6803000f, "WaveBufferLengthms", kGetPut, 0,
     Property<&R::WaveBufferLengthms, &R::SetWaveBufferLengthms, ToLong>},
    {0x6803000e, "SampleRate", kGetPut, 0, Property<&R::SampleRate, &R::SetSampleRate, ToLong>},
    {0x6803000d, "NumberChannels", kGetPut, 0,
     Property<&R::NumberChannels, &R::SetNumberChannels, ToLong>},
    {0x6803000c, "NumberCacheSeconds", kGetPut, 0,
     Property<&R::NumberCacheSeconds, &R::SetNumberCacheSeconds, ToInteger>},
    {0x6803000b, "AudioLength", kGet, 0, Result<&R::AudioLength>},
    {0x6803000a, "RaiseAudioPositionChanged", kGetPut, 0,
     Property<&R::RaiseAudioPositionChanged, &R::SetRaiseAudioPositionChanged, ToBoolean>},
    {0x68030009, "CanSetRecordVolume", kGet, 0, Result<&R::CanSetRecordVolume>},
    {0x68030008, "RecordVolume", kGetPut, 0,
     Property<&R::RecordVolume, &R::SetRecordVolume, ToSingle>},
    {0x68030007, "RaiseAudioLevelEvents", kGetPut, 0,
     Property<&R::RaiseAudioLevelEvents, &R::SetRaiseAudioLevelEvents, ToLong>},
    {0x68030006, "AudioLevel", kGet, 0, Result<&R::AudioLevel>},
    {0x68030005, "LeftAudioLevel", kGet, 0, Result<&R::LeftAudioLevel>},
    {0x68030004, "RightAudioLevel", kGet, 0, Result<&R::RightAudioLevel>},
    {0x68030003, "ReportErrors", kGetPut, 0,
     Property<&R::ReportErrors, &R::SetReportErrors, ToBoolean>},
    {0x68030002, "NumberWaveRecordBuffers", kGetPut, 0,
     Property<&R::NumberWaveRecordBuffers, &R::SetNumberWaveRecordBuffers, ToLong>},
    {0x68030001, "WaveInDeviceName", kGet, 0, Result<&R::WaveInDeviceName>},
    {0x68030000, "WaveInDeviceNumber", kGetPut, 0,
     Property<&R::WaveInDeviceNumber, &R::SetWaveInDeviceNumber, ToInteger>},
    {0x6803001d, "TriggerLevel", kGetPut, 0,
     Property<&R::TriggerLevel, &R::SetTriggerLevel, ToInteger>},
    {0x6803001c, "TriggerLevelActive", kGet, 0, Result<&R::TriggerLevelActive>},
    {0x6803001b, "DebugFile", kGetPut, 0, DebugFile},

};

constexpr EventMember kEvents[] = {
    {1, "RecordingEndReached", 0}, {2, "Recording", 0},      {3, "Paused", 0},
    {4, "RecordOpen", 0},          {5, "Closed", 0},         {6, "AudioPositionChanged", 0},
    {7, "AudioLevelChanged", 2},   {9, "BufferRecieved", 2}, {8, "PlayerError", 1},
};

const ControlClass kClass({"Flenney.FlennRecorder",
                           "{46B2886F-C2CA-4382-953B-1F1372A87613}",
                           "_FlennRecorder",
                           "{2E383444-09AC-4E04-B280-78BC041A947D}",
                           "{FC118949-E309-4E5E-9A75-3DA14F9E7A45}", // __FlennRecorder
                           {},
                           kEvents},
                          kMembers);

} // namespace

const ClassInfo& FlennRecorder::Info() {
    return kClass.Info();
}

HResult FlennRecorder::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                              Variant& result, ExceptionInfo* exception) {
    return kClass.Invoke(*this, dispid, kind, args, result, exception);
}
