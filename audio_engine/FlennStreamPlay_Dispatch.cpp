// Identity, dispatch table and late-bound Invoke of FlennStreamPlay.
#include "audio_engine/FlennStreamPlay.h"

using namespace Platform::Com;

namespace {

enum PlayDispid : int32_t {
    idLoadAudioEngine = 0x600301e3,
    idUnloadAudioEngine = 0x600301e4,
    idWaveDeviceNumber = 0x680301ca,
    idSampleRate = 0x680301c9,
    idNumberChannels = 0x680301c8,
    idStartFlennStream = 0x600301cf,
    idStopFlennStream = 0x600301d0,
    idMaxWaveBufferSize = 0x680301c7,
    idWaveBufferLengthms = 0x680301c6,
    idBlocksPlayed = 0x680301c5,
    idMilliSecondsPlayed = 0x680301c4,
    idhWnd = 0x680301c3,
    idNumberWaveBuffers = 0x680301c2,
    idfnWindowProc = 0x600301d4,
    idAudioLevel = 0x680301de,
    idLeftAudioLevel = 0x680301dd,
    idRightAudioLevel = 0x680301dc,
    idStatus = 0x680301c1,
    idPausePlayback = 0x600301d5,
    idStartPlayback = 0x600301d6,
    idPlayStatus = 0x680301c0,
    idNumberFreeBuffers = 0x680301bf,
    idFreeBufferSize = 0x680301e2,
    idFreeBufferSizems = 0x680301e1,
    idClearbuffers = 0x600301d7,
    idAddBuffer = 0x600301d8,
    idAddBufferEx = 0x600301ef,
    idFlushPlayback = 0x600301fa,
    idFlushBufferLengthms = 0x680301f0,
    idReturnBuffers = 0x680301be,
    idSampleAudioLevel = 0x680301db,
    idRaiseAudioLevelEvents = 0x680301da,
    idCanSetPlayVolume = 0x680301bd,
    idPlayVolume = 0x680301bc,
    idReportErrors = 0x680301bb,
    idGetBufferDetails = 0x600301d9,
    idDirectXMode = 0x680301e0,
    idAudioEngineLoaded = 0x680301df,
    idSynchronousAudioLevelEvents = 0x680301e5,
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
    {idMaxWaveBufferSize, "MaxWaveBufferSize", G, 0},
    {idWaveBufferLengthms, "WaveBufferLengthms", GP, 0},
    {idBlocksPlayed, "BlocksPlayed", G, 0},
    {idMilliSecondsPlayed, "MilliSecondsPlayed", G, 0},
    {idhWnd, "hWnd", G, 0},
    {idNumberWaveBuffers, "NumberWaveBuffers", GP, 0},
    {idfnWindowProc, "fnWindowProc", M, 4},
    {idAudioLevel, "AudioLevel", G, 0},
    {idLeftAudioLevel, "LeftAudioLevel", G, 0},
    {idRightAudioLevel, "RightAudioLevel", G, 0},
    {idStatus, "Status", G, 0},
    {idPausePlayback, "PausePlayback", M, 0},
    {idStartPlayback, "StartPlayback", M, 0},
    {idPlayStatus, "PlayStatus", G, 0},
    {idNumberFreeBuffers, "NumberFreeBuffers", G, 0},
    {idFreeBufferSize, "FreeBufferSize", G, 0},
    {idFreeBufferSizems, "FreeBufferSizems", G, 0},
    {idClearbuffers, "Clearbuffers", M, 0},
    {idAddBuffer, "AddBuffer", M, 2},
    {idAddBufferEx, "AddBufferEx", M, 3},
    {idFlushPlayback, "FlushPlayback", M, 0},
    {idFlushBufferLengthms, "FlushBufferLengthms", GP, 0},
    {idReturnBuffers, "ReturnBuffers", GP, 0},
    {idSampleAudioLevel, "SampleAudioLevel", GP, 0},
    {idRaiseAudioLevelEvents, "RaiseAudioLevelEvents", GP, 0},
    {idCanSetPlayVolume, "CanSetPlayVolume", G, 0},
    {idPlayVolume, "PlayVolume", GP, 0},
    {idReportErrors, "ReportErrors", GP, 0},
    {idGetBufferDetails, "GetBufferDetails", M, 4},
    {idDirectXMode, "DirectXMode", GP, 0},
    {idAudioEngineLoaded, "AudioEngineLoaded", G, 0},
    {idSynchronousAudioLevelEvents, "SynchronousAudioLevelEvents", GP, 0},
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

const ClassInfo kInfo = {
    "FlennStreamTwo.FlennStreamPlay",
    "{DB32A521-8798-4674-A47F-0619CBD40D98}",
    "_FlennStreamPlay",
    "{99D2C66E-B100-43DB-A461-F3E5B3B70FFA}",
    "{95700FA9-B9A5-4C56-831A-D11D987F63CB}",
    kMembers,
    kEvents,
};

const bool kRegistered = [] {
    RegisterControl<FlennStreamPlay>(kInfo);
    return true;
}();

} // namespace

const ClassInfo& FlennStreamPlay::Info() {
    (void)kRegistered;
    return kInfo;
}

HResult FlennStreamPlay::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                                Variant& result, ExceptionInfo* exception) {
    HResult check = CheckCall(kInfo, dispid, kind, args.size());
    if (check != S_OK) return check;
    const bool put = kind == DISPATCH_PROPERTYPUT;
    // Reads argument i into a typed value or fails the call with a type mismatch.
    auto longArg = [&args](size_t i, int32_t& value) {
        std::optional<int32_t> v = ToLong(args[i]);
        if (v) value = *v;
        return v.has_value();
    };
    auto addressArg = [&args](size_t i, intptr_t& value) {
        std::optional<intptr_t> v = ToAddress(args[i]);
        if (v) value = *v;
        return v.has_value();
    };
    // A property of type Long or Boolean: get into result, or put from args[0].
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
        return longProperty(&FlennStreamPlay::WaveDeviceNumber,
                            &FlennStreamPlay::SetWaveDeviceNumber);
    case idSampleRate:
        return longProperty(&FlennStreamPlay::SampleRate, &FlennStreamPlay::SetSampleRate);
    case idNumberChannels:
        return longProperty(&FlennStreamPlay::NumberChannels, &FlennStreamPlay::SetNumberChannels);
    case idStartFlennStream:
        result = StartFlennStream();
        return S_OK;
    case idStopFlennStream:
        result = StopFlennStream();
        return S_OK;
    case idMaxWaveBufferSize:
        result = MaxWaveBufferSize();
        return S_OK;
    case idWaveBufferLengthms:
        return longProperty(&FlennStreamPlay::WaveBufferLengthms,
                            &FlennStreamPlay::SetWaveBufferLengthms);
    case idBlocksPlayed:
        result = BlocksPlayed();
        return S_OK;
    case idMilliSecondsPlayed:
        result = MilliSecondsPlayed();
        return S_OK;
    case idhWnd:
        result = hWnd();
        return S_OK;
    case idNumberWaveBuffers:
        return longProperty(&FlennStreamPlay::NumberWaveBuffers,
                            &FlennStreamPlay::SetNumberWaveBuffers);
    case idfnWindowProc: {
        int32_t window = 0, message = 0;
        intptr_t wParam = 0, lParam = 0;
        if (!longArg(0, window) || !longArg(1, message) || !addressArg(2, wParam) ||
            !addressArg(3, lParam))
            return DISP_E_TYPEMISMATCH;
        result = static_cast<int32_t>(
            fnWindowProc(window, static_cast<uint32_t>(message), wParam, lParam));
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
    case idStatus:
        result = static_cast<int32_t>(Status());
        return S_OK;
    case idPausePlayback:
        PausePlayback();
        return S_OK;
    case idStartPlayback:
        StartPlayback();
        return S_OK;
    case idPlayStatus:
        result = static_cast<int32_t>(PlayStatus());
        return S_OK;
    case idNumberFreeBuffers:
        result = NumberFreeBuffers();
        return S_OK;
    case idFreeBufferSize:
        result = FreeBufferSize();
        return S_OK;
    case idFreeBufferSizems:
        result = FreeBufferSizems();
        return S_OK;
    case idClearbuffers:
        Clearbuffers();
        return S_OK;
    case idAddBuffer:
    case idAddBufferEx: {
        intptr_t pointer = 0;
        int32_t length = 0, user = 0;
        if (!addressArg(0, pointer) || !longArg(1, length) ||
            (dispid == idAddBufferEx && !longArg(2, user)))
            return DISP_E_TYPEMISMATCH;
        result = AddBufferEx(pointer, length, user);
        return S_OK;
    }
    case idFlushPlayback:
        result = FlushPlayback();
        return S_OK;
    case idFlushBufferLengthms:
        return longProperty(&FlennStreamPlay::FlushBufferLengthms,
                            &FlennStreamPlay::SetFlushBufferLengthms);
    case idReturnBuffers:
        return boolProperty(&FlennStreamPlay::ReturnBuffers, &FlennStreamPlay::SetReturnBuffers);
    case idSampleAudioLevel:
        return boolProperty(&FlennStreamPlay::SampleAudioLevel,
                            &FlennStreamPlay::SetSampleAudioLevel);
    case idRaiseAudioLevelEvents:
        return longProperty(&FlennStreamPlay::RaiseAudioLevelEvents,
                            &FlennStreamPlay::SetRaiseAudioLevelEvents);
    case idCanSetPlayVolume:
        result = CanSetPlayVolume();
        return S_OK;
    case idPlayVolume: {
        if (!put) {
            result = PlayVolume();
            return S_OK;
        }
        std::optional<float> value = ToSingle(args[0]);
        if (!value) return DISP_E_TYPEMISMATCH;
        SetPlayVolume(*value);
        return S_OK;
    }
    case idReportErrors:
        return boolProperty(&FlennStreamPlay::ReportErrors, &FlennStreamPlay::SetReportErrors);
    case idGetBufferDetails: {
        std::optional<int16_t> number = ToInteger(args[0]);
        if (!number) return DISP_E_TYPEMISMATCH;
        intptr_t pointer = ToAddress(args[1]).value_or(0);
        int32_t length = ToLong(args[2]).value_or(0), flags = ToLong(args[3]).value_or(0);
        bool outOfRange = false;
        int32_t answer = GetBufferDetails(*number, pointer, length, flags, &outOfRange);
        if (outOfRange) {
            if (exception) *exception = {kErrSubscriptOutOfRange, "Subscript out of range"};
            return DISP_E_EXCEPTION;
        }
        args[1] = Address{pointer};
        args[2] = length;
        args[3] = flags;
        result = answer;
        return S_OK;
    }
    case idDirectXMode:
        return boolProperty(&FlennStreamPlay::DirectXMode, &FlennStreamPlay::SetDirectXMode);
    case idAudioEngineLoaded:
        result = AudioEngineLoaded();
        return S_OK;
    case idSynchronousAudioLevelEvents:
        return boolProperty(&FlennStreamPlay::SynchronousAudioLevelEvents,
                            &FlennStreamPlay::SetSynchronousAudioLevelEvents);
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
