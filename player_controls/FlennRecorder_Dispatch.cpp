// Identity, dispatch table and late-bound Invoke of FlennRecorder.
#include "player_controls/FlennRecorder.h"

using namespace Platform::Com;

namespace {

enum RecorderDispid : int32_t {
    idRecordAudio = 0x60030015,
    idRecordAudioEx = 0x6003002c,
    idCloseRecording = 0x60030016,
    idPauseRecording = 0x60030017,
    idResumeRecording = 0x60030018,
    idLoadAudioEngine = 0x60030019,
    idClearBuffer = 0x6003001a,
    idSetDebugFile = 0x6003002b,
    idAudioFileName = 0x68030014,
    idTotalSecondsRecorded = 0x68030013,
    idTotalSecondsRemain = 0x68030012,
    idTotalPercentageRecorded = 0x68030011,
    idStatus = 0x68030010,
    idWaveBufferLengthms = 0x6803000f,
    idSampleRate = 0x6803000e,
    idNumberChannels = 0x6803000d,
    idNumberCacheSeconds = 0x6803000c,
    idAudioLength = 0x6803000b,
    idRaiseAudioPositionChanged = 0x6803000a,
    idCanSetRecordVolume = 0x68030009,
    idRecordVolume = 0x68030008,
    idRaiseAudioLevelEvents = 0x68030007,
    idAudioLevel = 0x68030006,
    idLeftAudioLevel = 0x68030005,
    idRightAudioLevel = 0x68030004,
    idReportErrors = 0x68030003,
    idNumberWaveRecordBuffers = 0x68030002,
    idWaveInDeviceName = 0x68030001,
    idWaveInDeviceNumber = 0x68030000,
    idTriggerLevel = 0x6803001d,
    idTriggerLevelActive = 0x6803001c,
    idDebugFile = 0x6803001b,
};

constexpr uint8_t M = DISPATCH_METHOD, G = DISPATCH_PROPERTYGET,
                  GP = DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT;

constexpr DispatchMember kMembers[] = {
    {idRecordAudio, "RecordAudio", M, 6},
    {idRecordAudioEx, "RecordAudioEx", M, 7},
    {idCloseRecording, "CloseRecording", M, 1},
    {idPauseRecording, "PauseRecording", M, 0},
    {idResumeRecording, "ResumeRecording", M, 0},
    {idLoadAudioEngine, "LoadAudioEngine", M, 0},
    {idClearBuffer, "ClearBuffer", M, 0},
    {idSetDebugFile, "SetDebugFile", M, 2},
    {idAudioFileName, "AudioFileName", G, 0},
    {idTotalSecondsRecorded, "TotalSecondsRecorded", G, 0},
    {idTotalSecondsRemain, "TotalSecondsRemain", G, 0},
    {idTotalPercentageRecorded, "TotalPercentageRecorded", G, 0},
    {idStatus, "Status", G, 0},
    {idWaveBufferLengthms, "WaveBufferLengthms", GP, 0},
    {idSampleRate, "SampleRate", GP, 0},
    {idNumberChannels, "NumberChannels", GP, 0},
    {idNumberCacheSeconds, "NumberCacheSeconds", GP, 0},
    {idAudioLength, "AudioLength", G, 0},
    {idRaiseAudioPositionChanged, "RaiseAudioPositionChanged", GP, 0},
    {idCanSetRecordVolume, "CanSetRecordVolume", G, 0},
    {idRecordVolume, "RecordVolume", GP, 0},
    {idRaiseAudioLevelEvents, "RaiseAudioLevelEvents", GP, 0},
    {idAudioLevel, "AudioLevel", G, 0},
    {idLeftAudioLevel, "LeftAudioLevel", G, 0},
    {idRightAudioLevel, "RightAudioLevel", G, 0},
    {idReportErrors, "ReportErrors", GP, 0},
    {idNumberWaveRecordBuffers, "NumberWaveRecordBuffers", GP, 0},
    {idWaveInDeviceName, "WaveInDeviceName", G, 0},
    {idWaveInDeviceNumber, "WaveInDeviceNumber", GP, 0},
    {idTriggerLevel, "TriggerLevel", GP, 0},
    {idTriggerLevelActive, "TriggerLevelActive", G, 0},
    {idDebugFile, "DebugFile", GP, 0},
};

constexpr EventMember kEvents[] = {
    {1, "RecordingEndReached", 0}, {2, "Recording", 0},      {3, "Paused", 0},
    {4, "RecordOpen", 0},          {5, "Closed", 0},         {6, "AudioPositionChanged", 0},
    {7, "AudioLevelChanged", 2},   {9, "BufferRecieved", 2}, {8, "PlayerError", 1},
};

const ClassInfo kInfo = {
    "Flenney.FlennRecorder",
    "{46B2886F-C2CA-4382-953B-1F1372A87613}",
    "_FlennRecorder",
    "{2E383444-09AC-4E04-B280-78BC041A947D}",
    "{FC118949-E309-4E5E-9A75-3DA14F9E7A45}", // __FlennRecorder
    kMembers,
    kEvents,
};

const bool kRegistered = [] {
    RegisterControl<FlennRecorder>(kInfo);
    return true;
}();

} // namespace

const ClassInfo& FlennRecorder::Info() {
    (void)kRegistered;
    return kInfo;
}

HResult FlennRecorder::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                              Variant& result, ExceptionInfo*) {
    HResult check = CheckCall(kInfo, dispid, kind, args.size());
    if (check != S_OK) return check;
    const bool put = kind == DISPATCH_PROPERTYPUT;
    // A property: get into result, or convert args[0] and put it.
    auto property = [&](auto get, auto set, auto convert) {
        return AccessProperty(*this, put, args, result, get, set, convert);
    };
    auto getter = [&](auto value) {
        result = value;
        return S_OK;
    };
    result = std::monostate{};
    switch (dispid) {
    case idRecordAudio:
    case idRecordAudioEx: {
        std::optional<std::string> name = ToText(args[0]);
        std::optional<int32_t> rate = ToLong(args[1]);
        std::optional<int16_t> channels = ToInteger(args[2]), tag = ToInteger(args[3]),
                               trigger = ToInteger(args[4]);
        std::optional<float> length = ToSingle(args[5]);
        std::optional<int32_t> flags = dispid == idRecordAudioEx ? ToLong(args[6]) : 0;
        if (!name || !rate || !channels || !tag || !trigger || !length || !flags)
            return DISP_E_TYPEMISMATCH;
        result = dispid == idRecordAudio
                     ? RecordAudio(*name, *rate, *channels, *tag, *trigger, *length)
                     : RecordAudioEx(*name, *rate, *channels, *tag, *trigger, *length, *flags);
        return S_OK;
    }
    case idCloseRecording: {
        std::optional<bool> save = ToBoolean(args[0]);
        if (!save) return DISP_E_TYPEMISMATCH;
        bool s = *save;
        result = CloseRecording(s);
        args[0] = s;
        return S_OK;
    }
    case idPauseRecording:
        return getter(PauseRecording());
    case idResumeRecording:
        return getter(ResumeRecording());
    case idLoadAudioEngine:
        return getter(LoadAudioEngine());
    case idClearBuffer:
        ClearBuffer();
        return S_OK;
    case idSetDebugFile: {
        std::optional<std::string> name = ToText(args[0]);
        std::optional<int32_t> mode = ToLong(args[1]);
        if (!name || !mode) return DISP_E_TYPEMISMATCH;
        SetDebugFile(*name, *mode);
        return S_OK;
    }
    case idAudioFileName:
        return getter(AudioFileName());
    case idTotalSecondsRecorded:
        return getter(TotalSecondsRecorded());
    case idTotalSecondsRemain:
        return getter(TotalSecondsRemain());
    case idTotalPercentageRecorded:
        return getter(TotalPercentageRecorded());
    case idStatus:
        return getter(static_cast<int32_t>(Status()));
    case idWaveBufferLengthms:
        return property(&FlennRecorder::WaveBufferLengthms, &FlennRecorder::SetWaveBufferLengthms,
                        ToLong);
    case idSampleRate:
        return property(&FlennRecorder::SampleRate, &FlennRecorder::SetSampleRate, ToLong);
    case idNumberChannels:
        return property(&FlennRecorder::NumberChannels, &FlennRecorder::SetNumberChannels, ToLong);
    case idNumberCacheSeconds:
        return property(&FlennRecorder::NumberCacheSeconds, &FlennRecorder::SetNumberCacheSeconds,
                        ToInteger);
    case idAudioLength:
        return getter(AudioLength());
    case idRaiseAudioPositionChanged:
        return property(&FlennRecorder::RaiseAudioPositionChanged,
                        &FlennRecorder::SetRaiseAudioPositionChanged, ToBoolean);
    case idCanSetRecordVolume:
        return getter(CanSetRecordVolume());
    case idRecordVolume:
        return property(&FlennRecorder::RecordVolume, &FlennRecorder::SetRecordVolume, ToSingle);
    case idRaiseAudioLevelEvents:
        return property(&FlennRecorder::RaiseAudioLevelEvents,
                        &FlennRecorder::SetRaiseAudioLevelEvents, ToLong);
    case idAudioLevel:
        return getter(AudioLevel());
    case idLeftAudioLevel:
        return getter(LeftAudioLevel());
    case idRightAudioLevel:
        return getter(RightAudioLevel());
    case idReportErrors:
        return property(&FlennRecorder::ReportErrors, &FlennRecorder::SetReportErrors, ToBoolean);
    case idNumberWaveRecordBuffers:
        return property(&FlennRecorder::NumberWaveRecordBuffers,
                        &FlennRecorder::SetNumberWaveRecordBuffers, ToLong);
    case idWaveInDeviceName:
        return getter(WaveInDeviceName());
    case idWaveInDeviceNumber:
        return property(&FlennRecorder::WaveInDeviceNumber, &FlennRecorder::SetWaveInDeviceNumber,
                        ToInteger);
    case idTriggerLevel:
        return property(&FlennRecorder::TriggerLevel, &FlennRecorder::SetTriggerLevel, ToInteger);
    case idTriggerLevelActive:
        return getter(TriggerLevelActive());
    case idDebugFile: {
        if (!put) return getter(DebugFile());
        std::optional<std::string> name = ToText(args[0]);
        if (!name) return DISP_E_TYPEMISMATCH;
        SetDebugFile(*name);
        return S_OK;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
