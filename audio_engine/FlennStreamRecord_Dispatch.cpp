// Identity, dispatch table and late-bound Invoke of FlennStreamRecord.
#include "audio_engine/FlennStreamRecord.h"

using namespace Platform::Com;

namespace {

enum RecordDispid : int32_t {
    idLoadAudioEngine = 0x600300ad,
    idUnloadAudioEngine = 0x600300ae,
    idWaveDeviceNumber = 0x6803009f,
    idSampleRate = 0x6803009e,
    idNumberChannels = 0x6803009d,
    idStartFlennStream = 0x600300a4,
    idStopFlennStream = 0x600300a5,
    idWaveBufferLength = 0x6803009c,
    idMilliSecondsRecorded = 0x6803009b,
    idhWnd = 0x6803009a,
    idNumberWaveBuffers = 0x68030099,
    idfnWindowProc = 0x600300a9,
    idAudioLevel = 0x68030098,
    idLeftAudioLevel = 0x68030097,
    idRightAudioLevel = 0x68030096,
    idClearSampleBuffer = 0x600300ab,
    idStatus = 0x68030095,
    idReturnAudio = 0x600300ac,
    idDontSampleLevel = 0x68030094,
    idRaiseAudioLevelEvents = 0x68030091,
    idReportErrors = 0x68030090,
    idReturnBuffers = 0x6803008f,
    idCanSetRecordVolume = 0x68030093,
    idRecordVolume = 0x68030092,
    idSynchronousAudioLevelEvents = 0x680300af,
};

constexpr uint8_t M = DISPATCH_METHOD, G = DISPATCH_PROPERTYGET,
                  GP = DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT;

constexpr DispatchMember kMembers[] = {
    {idLoadAudioEngine, "LoadAudioEngine", M, 0},
    {idUnloadAudioEngine, "UnloadAudioEngine", M, 0},
    {idWaveDeviceNumber, "WaveDeviceNumber", GP, 0},
    {idSampleRate, "SampleRate", GP, 0},
    {idNumberChannels, "NumberChannels", GP, 0},
    {idStartFlennStream, "StartFlennStream", M, 0},
    {idStopFlennStream, "StopFlennStream", M, 0},
    {idWaveBufferLength, "WaveBufferLength", GP, 0},
    {idMilliSecondsRecorded, "MilliSecondsRecorded", G, 0},
    {idhWnd, "hWnd", G, 0},
    {idNumberWaveBuffers, "NumberWaveBuffers", GP, 0},
    {idfnWindowProc, "fnWindowProc", M, 4},
    {idAudioLevel, "AudioLevel", G, 0},
    {idLeftAudioLevel, "LeftAudioLevel", G, 0},
    {idRightAudioLevel, "RightAudioLevel", G, 0},
    {idClearSampleBuffer, "ClearSampleBuffer", M, 0},
    {idStatus, "Status", G, 0},
    {idReturnAudio, "ReturnAudio", M, 0},
    {idDontSampleLevel, "DontSampleLevel", GP, 0},
    {idRaiseAudioLevelEvents, "RaiseAudioLevelEvents", GP, 0},
    {idReportErrors, "ReportErrors", GP, 0},
    {idReturnBuffers, "ReturnBuffers", GP, 0},
    {idCanSetRecordVolume, "CanSetRecordVolume", G, 0},
    {idRecordVolume, "RecordVolume", GP, 0},
    {idSynchronousAudioLevelEvents, "SynchronousAudioLevelEvents", GP, 0},
};

constexpr EventMember kEvents[] = {
    {1, "BufferReceived", 2},   {2, "FlennStreamStopped", 0}, {3, "FlennStreamStarted", 0},
    {4, "AudioLevelUpdate", 2}, {5, "PlayerError", 1},
};

const ClassInfo kInfo = {
    "FlennStreamTwo.FlennStreamRecord",
    "{8CDCB75A-A1A3-4C20-BFE6-DEBB6B992394}",
    "_FlennStreamRecord",
    "{6FDE728F-6D47-4752-B8C6-C089398B909A}",
    "{D42BFBE3-2321-4A53-B8B1-5862A44BA1C2}",
    kMembers,
    kEvents,
};

const bool kRegistered = [] {
    RegisterControl<FlennStreamRecord>(kInfo);
    return true;
}();

} // namespace

const ClassInfo& FlennStreamRecord::Info() {
    (void)kRegistered;
    return kInfo;
}

HResult FlennStreamRecord::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                                  Variant& result, ExceptionInfo*) {
    HResult check = CheckCall(kInfo, dispid, kind, args.size());
    if (check != S_OK) return check;
    const bool put = kind == DISPATCH_PROPERTYPUT;
    auto longProperty = [&](auto get, auto set) {
        return AccessProperty(*this, put, args, result, get, set, ToLong);
    };
    auto boolProperty = [&](auto get, auto set) {
        return AccessProperty(*this, put, args, result, get, set, ToBoolean);
    };
    result = std::monostate{};
    switch (dispid) {
    case idLoadAudioEngine:
        result = LoadAudioEngine();
        return S_OK;
    case idUnloadAudioEngine:
        UnloadAudioEngine();
        return S_OK;
    case idWaveDeviceNumber:
        return longProperty(&FlennStreamRecord::WaveDeviceNumber,
                            &FlennStreamRecord::SetWaveDeviceNumber);
    case idSampleRate:
        return longProperty(&FlennStreamRecord::SampleRate, &FlennStreamRecord::SetSampleRate);
    case idNumberChannels:
        return longProperty(&FlennStreamRecord::NumberChannels,
                            &FlennStreamRecord::SetNumberChannels);
    case idStartFlennStream:
        result = StartFlennStream();
        return S_OK;
    case idStopFlennStream:
        result = StopFlennStream();
        return S_OK;
    case idWaveBufferLength:
        return longProperty(&FlennStreamRecord::WaveBufferLength,
                            &FlennStreamRecord::SetWaveBufferLength);
    case idMilliSecondsRecorded:
        result = MilliSecondsRecorded();
        return S_OK;
    case idhWnd:
        result = hWnd();
        return S_OK;
    case idNumberWaveBuffers:
        return longProperty(&FlennStreamRecord::NumberWaveBuffers,
                            &FlennStreamRecord::SetNumberWaveBuffers);
    case idfnWindowProc: {
        std::optional<int32_t> window = ToLong(args[0]), message = ToLong(args[1]);
        std::optional<intptr_t> wParam = ToAddress(args[2]), lParam = ToAddress(args[3]);
        if (!window || !message || !wParam || !lParam) return DISP_E_TYPEMISMATCH;
        result = static_cast<int32_t>(
            fnWindowProc(*window, static_cast<uint32_t>(*message), *wParam, *lParam));
        return S_OK;
    }
    case idAudioLevel:
        result = AudioLevel();
        return S_OK;
    case idLeftAudioLevel:
        result = LeftAudioLevel();
        return S_OK;
    case idRightAudioLevel:
        result = RightAudioLevel();
        return S_OK;
    case idClearSampleBuffer:
        ClearSampleBuffer();
        return S_OK;
    case idStatus:
        result = static_cast<int32_t>(Status());
        return S_OK;
    case idReturnAudio:
        ReturnAudio();
        return S_OK;
    case idDontSampleLevel:
        return boolProperty(&FlennStreamRecord::DontSampleLevel,
                            &FlennStreamRecord::SetDontSampleLevel);
    case idRaiseAudioLevelEvents:
        return longProperty(&FlennStreamRecord::RaiseAudioLevelEvents,
                            &FlennStreamRecord::SetRaiseAudioLevelEvents);
    case idReportErrors:
        return boolProperty(&FlennStreamRecord::ReportErrors, &FlennStreamRecord::SetReportErrors);
    case idReturnBuffers:
        return boolProperty(&FlennStreamRecord::ReturnBuffers,
                            &FlennStreamRecord::SetReturnBuffers);
    case idCanSetRecordVolume:
        result = CanSetRecordVolume();
        return S_OK;
    case idRecordVolume:
        if (!put) result = RecordVolume();
        return S_OK; // an assignment is ignored
    case idSynchronousAudioLevelEvents:
        return boolProperty(&FlennStreamRecord::SynchronousAudioLevelEvents,
                            &FlennStreamRecord::SetSynchronousAudioLevelEvents);
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
