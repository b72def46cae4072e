// Identity, dispatch table and late-bound Invoke of FlennPlayer.
#include "player_controls/FlennPlayer.h"

#include <cstring>

using namespace Platform::Com;

namespace {

enum PlayerDispid : int32_t {
    idCloseAudio = 0x60030029,
    idOpenAudio = 0x6003002A,
    idPlayAudio = 0x6003002B,
    idPauseAudio = 0x6003002C,
    idCueAudio = 0x6003002D,
    idSeekPercentage = 0x6003002E,
    idSeekTime = 0x6003002F,
    idLoadAudioEngine = 0x60030031,
    idWaveOutDeviceNumber = 0x68030028,
    idAudioFileName = 0x68030027,
    idSecondsPlayed = 0x68030026,
    idSecondsRemain = 0x68030025,
    idPercentagePlayed = 0x68030024,
    idTotalSecondsPlayed = 0x68030023,
    idTotalSecondsRemain = 0x68030022,
    idTotalPercentagePlayed = 0x68030021,
    idStatus = 0x68030020,
    idWaveOutDeviceName = 0x6803001F,
    idWaveBufferLengthms = 0x6803001E,
    idNumberWavePlayBuffers = 0x6803001D,
    idSampleRate = 0x6803001C,
    idNumberChannels = 0x6803001B,
    idNumberCacheSeconds = 0x6803001A,
    idAudioStart = 0x68030019,
    idAudioEnd = 0x68030018,
    idAudioLength = 0x68030017,
    idTotalAudioLength = 0x68030016,
    idRaiseAudioPositionChanged = 0x68030015,
    idIntroStart = 0x68030014,
    idIntroEnd = 0x68030013,
    idHookStart = 0x68030085,
    idHookEnd = 0x68030084,
    idExtro = 0x68030012,
    idAudioPart = 0x68030011,
    idSweeperStart = 0x68030010,
    idCanSetPlayVolume = 0x6803000F,
    idPlayVolume = 0x6803000E,
    idReportErrors = 0x6803000D,
    idLoopStart = 0x6803000C,
    idLoopEnd = 0x6803000B,
    idUseLoop = 0x6803000A,
    idInLoop = 0x68030009,
    idExitLoop = 0x60030083,
    idSampleAudioLevel = 0x68030008,
    idRaiseAudioLevelEvents = 0x68030007,
    idAudioLevel = 0x68030006,
    idLeftAudioLevel = 0x68030005,
    idRightAudioLevel = 0x68030004,
    idAddVolumeChangeEvent = 0x60030047,
    idRemoveVolumeChangeEvent = 0x60030048,
    idNumberVolumeChangeEvents = 0x68030003,
    idFirstVolumeChangeEventTime = 0x68030002,
    idLastVolumeChangeEventTime = 0x68030001,
    idGetVolumeChangeEvent = 0x6003004C,
    idDebugFile = 0x68030000,
    idSetDebugFile = 0x60030069,
    idDirectXMode = 0x6803004D,
    idMaxLoopCount = 0x6803006A,
    idLoopCount = 0x68030086,
    idFlushBuffers = 0x68030088,
    idInverseLogFades = 0x68030087,
    idFadeMode = 0x68030089,
};

constexpr uint8_t M = DISPATCH_METHOD, G = DISPATCH_PROPERTYGET,
                  GP = DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT;

constexpr DispatchMember kMembers[] = {
    {idCloseAudio, "CloseAudio", M, 0},
    {idOpenAudio, "OpenAudio", M, 1},
    {idPlayAudio, "PlayAudio", M, 0},
    {idPauseAudio, "PauseAudio", M, 0},
    {idCueAudio, "CueAudio", M, 0},
    {idSeekPercentage, "SeekPercentage", M, 2},
    {idSeekTime, "SeekTime", M, 2},
    {idLoadAudioEngine, "LoadAudioEngine", M, 0},
    {idWaveOutDeviceNumber, "WaveOutDeviceNumber", GP, 0},
    {idAudioFileName, "AudioFileName", G, 0},
    {idSecondsPlayed, "SecondsPlayed", G, 0},
    {idSecondsRemain, "SecondsRemain", G, 0},
    {idPercentagePlayed, "PercentagePlayed", G, 0},
    {idTotalSecondsPlayed, "TotalSecondsPlayed", G, 0},
    {idTotalSecondsRemain, "TotalSecondsRemain", G, 0},
    {idTotalPercentagePlayed, "TotalPercentagePlayed", G, 0},
    {idStatus, "Status", G, 0},
    {idWaveOutDeviceName, "WaveOutDeviceName", G, 0},
    {idWaveBufferLengthms, "WaveBufferLengthms", GP, 0},
    {idNumberWavePlayBuffers, "NumberWavePlayBuffers", GP, 0},
    {idSampleRate, "SampleRate", GP, 0},
    {idNumberChannels, "NumberChannels", GP, 0},
    {idNumberCacheSeconds, "NumberCacheSeconds", GP, 0},
    {idAudioStart, "AudioStart", GP, 0},
    {idAudioEnd, "AudioEnd", GP, 0},
    {idAudioLength, "AudioLength", G, 0},
    {idTotalAudioLength, "TotalAudioLength", G, 0},
    {idRaiseAudioPositionChanged, "RaiseAudioPositionChanged", GP, 0},
    {idIntroStart, "IntroStart", GP, 0},
    {idIntroEnd, "IntroEnd", GP, 0},
    {idHookStart, "HookStart", GP, 0},
    {idHookEnd, "HookEnd", GP, 0},
    {idExtro, "Extro", GP, 0},
    {idAudioPart, "AudioPart", G, 0},
    {idSweeperStart, "SweeperStart", GP, 0},
    {idCanSetPlayVolume, "CanSetPlayVolume", G, 0},
    {idPlayVolume, "PlayVolume", GP, 0},
    {idReportErrors, "ReportErrors", GP, 0},
    {idLoopStart, "LoopStart", GP, 0},
    {idLoopEnd, "LoopEnd", GP, 0},
    {idUseLoop, "UseLoop", GP, 0},
    {idInLoop, "InLoop", G, 0},
    {idExitLoop, "ExitLoop", M, 0},
    {idSampleAudioLevel, "SampleAudioLevel", GP, 0},
    {idRaiseAudioLevelEvents, "RaiseAudioLevelEvents", GP, 0},
    {idAudioLevel, "AudioLevel", G, 0},
    {idLeftAudioLevel, "LeftAudioLevel", G, 0},
    {idRightAudioLevel, "RightAudioLevel", G, 0},
    {idAddVolumeChangeEvent, "AddVolumeChangeEvent", M, 8},
    {idRemoveVolumeChangeEvent, "RemoveVolumeChangeEvent", M, 1},
    {idNumberVolumeChangeEvents, "NumberVolumeChangeEvents", G, 0},
    {idFirstVolumeChangeEventTime, "FirstVolumeChangeEventTime", G, 0},
    {idLastVolumeChangeEventTime, "LastVolumeChangeEventTime", G, 0},
    {idGetVolumeChangeEvent, "GetVolumeChangeEvent", M, 2},
    {idDebugFile, "DebugFile", GP, 0},
    {idSetDebugFile, "SetDebugFile", M, 2},
    {idDirectXMode, "DirectXMode", GP, 0},
    {idMaxLoopCount, "MaxLoopCount", GP, 0},
    {idLoopCount, "LoopCount", G, 0},
    {idFlushBuffers, "FlushBuffers", GP, 0},
    {idInverseLogFades, "InverseLogFades", GP, 0},
    {idFadeMode, "FadeMode", GP, 0},
};

constexpr EventMember kEvents[] = {
    {1, "Playing", 0},
    {2, "Paused", 0},
    {3, "Cued", 0},
    {4, "Opened", 0},
    {5, "Closed", 0},
    {6, "AudioPositionChanged", 1},
    {7, "AudioLevelChanged", 2},
    {17, "AudioVolumeChanged", 1},
    {8, "VolumeChangeStartNotify", 1},
    {9, "VolumeChangeNotify", 1},
    {10, "VolumeChangeEndNotify", 1},
    {11, "PlayerError", 1},
    {12, "IntroStartReached", 0},
    {13, "IntroEndReached", 0},
    {14, "ExtroReached", 0},
    {15, "AudioEndReached", 0},
    {20, "HookStartReached", 0},
    {21, "HookEndReached", 0},
    {18, "LoopRestart", 0},
    {19, "LoopCompleted", 0},
    {16, "SweeperStartReached", 0},
};

// The library's empty public class (interface _clsFlennPlayer).
const ClassInfo kEmptyClassInfo = {
    "Flenney.clsFlennPlayer",
    "{2BE393CC-09F6-4E76-B013-5037032B6DBC}",
    "_clsFlennPlayer",
    "{B5A2B6D5-20F1-4260-BADB-33DF4F2FDAAA}",
    "",
    {},
    {},
};

class clsFlennPlayer : public Dispatchable {
public:
    const ClassInfo& Class() const override { return kEmptyClassInfo; }
    HResult Invoke(int32_t, uint8_t, std::vector<Variant>&, Variant&, ExceptionInfo*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
};

const ClassInfo kInfo = {
    "Flenney.FlennPlayer",
    "{F1E43307-681E-4A8B-B7D3-0C617389CA43}",
    "_FlennPlayer",
    "{7832A28F-72BE-4C44-B8E8-6B94C1D55571}",
    "{309A1C71-F18F-46BC-AFEF-9C474AF59CFF}", // __FlennPlayer
    kMembers,
    kEvents,
};

const bool kRegistered = [] {
    RegisterControl<FlennPlayer>(kInfo);
    RegisterClass(kEmptyClassInfo, [] { return std::make_unique<clsFlennPlayer>(); });
    return true;
}();

// VCHEV as a block of bytes in a string, the way a record crosses a late-bound call.
Variant PackEvent(const VCHEV& event) {
    std::string bytes(sizeof(VCHEV), '\0');
    std::memcpy(bytes.data(), &event, sizeof(VCHEV));
    return bytes;
}

} // namespace

const ClassInfo& FlennPlayer::Info() {
    (void)kRegistered;
    return kInfo;
}

HResult FlennPlayer::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                            Variant& result, ExceptionInfo*) {
    HResult check = CheckCall(kInfo, dispid, kind, args.size());
    if (check != S_OK) return check;
    const bool put = kind == DISPATCH_PROPERTYPUT;
    // A property: get into result, or convert args[0] and put it.
    auto property = [&](auto get, auto set, auto convert) {
        return AccessProperty(*this, put, args, result, get, set, convert);
    };
    auto single = [&](auto get, void (FlennPlayer::*set)(float)) {
        return property(get, set, ToSingle);
    };
    auto boolean = [&](auto get, void (FlennPlayer::*set)(bool)) {
        return property(get, set, ToBoolean);
    };
    auto getter = [&](auto value) {
        result = value;
        return S_OK;
    };
    result = std::monostate{};
    switch (dispid) {
    case idCloseAudio:
        return getter(CloseAudio());
    case idOpenAudio: {
        std::optional<std::string> name = ToText(args[0]);
        if (!name) return DISP_E_TYPEMISMATCH;
        result = OpenAudio(*name);
        args[0] = *name;
        return S_OK;
    }
    case idPlayAudio:
        return getter(PlayAudio());
    case idPauseAudio:
        return getter(PauseAudio());
    case idCueAudio:
        return getter(CueAudio());
    case idSeekPercentage:
    case idSeekTime: {
        std::optional<float> where = ToSingle(args[0]);
        std::optional<bool> total = ToBoolean(args[1]);
        if (!where || !total) return DISP_E_TYPEMISMATCH;
        result = dispid == idSeekTime ? SeekTime(*where, *total) : SeekPercentage(*where, *total);
        return S_OK;
    }
    case idLoadAudioEngine:
        LoadAudioEngine();
        return S_OK;
    case idWaveOutDeviceNumber:
        return property(&FlennPlayer::WaveOutDeviceNumber, &FlennPlayer::SetWaveOutDeviceNumber,
                        ToInteger);
    case idAudioFileName:
        return getter(AudioFileName());
    case idSecondsPlayed:
        return getter(SecondsPlayed());
    case idSecondsRemain:
        return getter(SecondsRemain());
    case idPercentagePlayed:
        return getter(PercentagePlayed());
    case idTotalSecondsPlayed:
        return getter(TotalSecondsPlayed());
    case idTotalSecondsRemain:
        return getter(TotalSecondsRemain());
    case idTotalPercentagePlayed:
        return getter(TotalPercentagePlayed());
    case idStatus:
        return getter(static_cast<int32_t>(Status()));
    case idWaveOutDeviceName:
        return getter(WaveOutDeviceName());
    case idWaveBufferLengthms:
        return property(&FlennPlayer::WaveBufferLengthms, &FlennPlayer::SetWaveBufferLengthms,
                        ToLong);
    case idNumberWavePlayBuffers:
        return property(&FlennPlayer::NumberWavePlayBuffers, &FlennPlayer::SetNumberWavePlayBuffers,
                        ToLong);
    case idSampleRate:
        return property(&FlennPlayer::SampleRate, &FlennPlayer::SetSampleRate, ToLong);
    case idNumberChannels:
        return property(&FlennPlayer::NumberChannels, &FlennPlayer::SetNumberChannels, ToLong);
    case idNumberCacheSeconds:
        return property(&FlennPlayer::NumberCacheSeconds, &FlennPlayer::SetNumberCacheSeconds,
                        ToInteger);
    case idAudioStart:
        return single(&FlennPlayer::AudioStart, &FlennPlayer::SetAudioStart);
    case idAudioEnd:
        return single(&FlennPlayer::AudioEnd, &FlennPlayer::SetAudioEnd);
    case idAudioLength:
        return getter(AudioLength());
    case idTotalAudioLength:
        return getter(TotalAudioLength());
    case idRaiseAudioPositionChanged:
        return boolean(&FlennPlayer::RaiseAudioPositionChanged,
                       &FlennPlayer::SetRaiseAudioPositionChanged);
    case idIntroStart:
        return single(&FlennPlayer::IntroStart, &FlennPlayer::SetIntroStart);
    case idIntroEnd:
        return single(&FlennPlayer::IntroEnd, &FlennPlayer::SetIntroEnd);
    case idHookStart:
        return single(&FlennPlayer::HookStart, &FlennPlayer::SetHookStart);
    case idHookEnd:
        return single(&FlennPlayer::HookEnd, &FlennPlayer::SetHookEnd);
    case idExtro:
        return single(&FlennPlayer::Extro, &FlennPlayer::SetExtro);
    case idAudioPart:
        return getter(static_cast<int32_t>(AudioPart()));
    case idSweeperStart:
        return single(&FlennPlayer::SweeperStart, &FlennPlayer::SetSweeperStart);
    case idCanSetPlayVolume:
        return getter(CanSetPlayVolume());
    case idPlayVolume:
        return single(&FlennPlayer::PlayVolume, &FlennPlayer::SetPlayVolume);
    case idReportErrors:
        return boolean(&FlennPlayer::ReportErrors, &FlennPlayer::SetReportErrors);
    case idLoopStart:
        return single(&FlennPlayer::LoopStart, &FlennPlayer::SetLoopStart);
    case idLoopEnd:
        return single(&FlennPlayer::LoopEnd, &FlennPlayer::SetLoopEnd);
    case idUseLoop:
        return boolean(&FlennPlayer::UseLoop, &FlennPlayer::SetUseLoop);
    case idInLoop:
        return getter(InLoop());
    case idExitLoop:
        ExitLoop();
        return S_OK;
    case idSampleAudioLevel:
        return boolean(&FlennPlayer::SampleAudioLevel, &FlennPlayer::SetSampleAudioLevel);
    case idRaiseAudioLevelEvents:
        return property(&FlennPlayer::RaiseAudioLevelEvents, &FlennPlayer::SetRaiseAudioLevelEvents,
                        ToLong);
    case idAudioLevel:
        return getter(AudioLevel());
    case idLeftAudioLevel:
        return getter(LeftAudioLevel());
    case idRightAudioLevel:
        return getter(RightAudioLevel());
    case idAddVolumeChangeEvent: {
        std::optional<int16_t> reference = ToInteger(args[0]);
        std::optional<float> start = ToSingle(args[1]), duration = ToSingle(args[2]),
                             from = ToSingle(args[3]), to = ToSingle(args[4]),
                             notify = ToSingle(args[5]);
        std::optional<bool> remove = ToBoolean(args[6]), permanent = ToBoolean(args[7]);
        if (!reference || !start || !duration || !from || !to || !notify || !remove || !permanent)
            return DISP_E_TYPEMISMATCH;
        result = AddVolumeChangeEvent(*reference, *start, *duration, *from, *to, *notify, *remove,
                                      *permanent);
        args[0] = *reference;
        args[7] = *permanent;
        return S_OK;
    }
    case idRemoveVolumeChangeEvent: {
        std::optional<int16_t> reference = ToInteger(args[0]);
        if (!reference) return DISP_E_TYPEMISMATCH;
        result = RemoveVolumeChangeEvent(*reference);
        args[0] = *reference;
        return S_OK;
    }
    case idNumberVolumeChangeEvents:
        return getter(NumberVolumeChangeEvents());
    case idFirstVolumeChangeEventTime:
        return getter(FirstVolumeChangeEventTime());
    case idLastVolumeChangeEventTime:
        return getter(LastVolumeChangeEventTime());
    case idGetVolumeChangeEvent: {
        std::optional<int16_t> reference = ToInteger(args[0]);
        if (!reference) return DISP_E_TYPEMISMATCH;
        VCHEV event;
        const bool found = GetVolumeChangeEvent(*reference, event);
        result = found;
        args[0] = *reference;
        if (found) args[1] = PackEvent(event);
        return S_OK;
    }
    case idDebugFile: {
        if (!put) return getter(DebugFile());
        std::optional<std::string> name = ToText(args[0]);
        if (!name) return DISP_E_TYPEMISMATCH;
        SetDebugFile(*name);
        return S_OK;
    }
    case idSetDebugFile: {
        std::optional<std::string> name = ToText(args[0]);
        std::optional<int32_t> mode = ToLong(args[1]);
        if (!name || !mode) return DISP_E_TYPEMISMATCH;
        SetDebugFile(*name, *mode);
        return S_OK;
    }
    case idDirectXMode:
        return boolean(&FlennPlayer::DirectXMode, &FlennPlayer::SetDirectXMode);
    case idMaxLoopCount:
        return property(&FlennPlayer::MaxLoopCount, &FlennPlayer::SetMaxLoopCount, ToInteger);
    case idLoopCount:
        return getter(LoopCount());
    case idFlushBuffers:
        return boolean(&FlennPlayer::FlushBuffers, &FlennPlayer::SetFlushBuffers);
    case idInverseLogFades:
        return boolean(&FlennPlayer::InverseLogFades, &FlennPlayer::SetInverseLogFades);
    case idFadeMode:
        return property(&FlennPlayer::FadeMode, &FlennPlayer::SetFadeMode, ToLong);
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
