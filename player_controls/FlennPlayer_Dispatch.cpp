// Identity and dispatch table of FlennPlayer.
#include "player_controls/FlennPlayer.h"

#include "platform/ComControl.h"

#include <cstring>

using namespace Platform::Com;

namespace {

using P = FlennPlayer;

// VCHEV as a block of bytes in a string, the way a record crosses a late-bound call.
Variant PackEvent(const VCHEV& event) {
    std::string bytes(sizeof(VCHEV), '\0');
    std::memcpy(bytes.data(), &event, sizeof(VCHEV));
    return bytes;
}

HResult OpenAudio(P& player, Call& call) {
    std::optional<std::string> name = ToText(call.args[0]);
    if (!name) return DISP_E_TYPEMISMATCH;
    call.result = player.OpenAudio(*name);
    call.args[0] = *name;
    return S_OK;
}

// SeekPercentage and SeekTime: a position and whether it counts in the whole file.
template <bool (P::*SeekTo)(float, bool)> HResult Seek(P& player, Call& call) {
    std::optional<float> where = ToSingle(call.args[0]);
    std::optional<bool> total = ToBoolean(call.args[1]);
    if (!where || !total) return DISP_E_TYPEMISMATCH;
    call.result = (player.*SeekTo)(*where, *total);
    return S_OK;
}

HResult AddVolumeChangeEvent(P& player, Call& call) {
    std::vector<Variant>& args = call.args;
    std::optional<int16_t> reference = ToInteger(args[0]);
    std::optional<float> start = ToSingle(args[1]), duration = ToSingle(args[2]),
                         from = ToSingle(args[3]), to = ToSingle(args[4]),
                         notify = ToSingle(args[5]);
    std::optional<bool> remove = ToBoolean(args[6]), permanent = ToBoolean(args[7]);
    if (!reference || !start || !duration || !from || !to || !notify || !remove || !permanent)
        return DISP_E_TYPEMISMATCH;
    call.result = player.AddVolumeChangeEvent(*reference, *start, *duration, *from, *to, *notify,
                                              *remove, *permanent);
    args[0] = *reference;
    args[7] = *permanent;
    return S_OK;
}

HResult RemoveVolumeChangeEvent(P& player, Call& call) {
    std::optional<int16_t> reference = ToInteger(call.args[0]);
    if (!reference) return DISP_E_TYPEMISMATCH;
    call.result = player.RemoveVolumeChangeEvent(*reference);
    call.args[0] = *reference;
    return S_OK;
}

HResult GetVolumeChangeEvent(P& player, Call& call) {
    std::optional<int16_t> reference = ToInteger(call.args[0]);
    if (!reference) return DISP_E_TYPEMISMATCH;
    VCHEV event;
    const bool found = player.GetVolumeChangeEvent(*reference, event);
    call.result = found;
    call.args[0] = *reference;
    if (found) call.args[1] = PackEvent(event);
    return S_OK;
}

HResult DebugFile(P& player, Call& call) {
    if (!call.Put()) return Result<&P::DebugFile>(player, call);
    std::optional<std::string> name = ToText(call.args[0]);
    if (!name) return DISP_E_TYPEMISMATCH;
    player.SetDebugFile(*name);
    return S_OK;
}

HResult SetDebugFile(P& player, Call& call) {
    std::optional<std::string> name = ToText(call.args[0]);
    std::optional<int32_t> mode = ToLong(call.args[1]);
    if (!name || !mode) return DISP_E_TYPEMISMATCH;
    player.SetDebugFile(*name, *mode);
    return S_OK;
}

constexpr Member<P> kMembers[] = {
    {0x60030029, "CloseAudio", kMethod, 0, Result<&P::CloseAudio>},
    {0x6003002A, "OpenAudio", kMethod, 1, OpenAudio},
    {0x6003002B, "PlayAudio", kMethod, 0, Result<&P::PlayAudio>},
    {0x6003002C, "PauseAudio", kMethod, 0, Result<&P::PauseAudio>},
    {0x6003002D, "CueAudio", kMethod, 0, Result<&P::CueAudio>},
    {0x6003002E, "SeekPercentage", kMethod, 2, Seek<&P::SeekPercentage>},
    {0x6003002F, "SeekTime", kMethod, 2, Seek<&P::SeekTime>},
    {0x60030031, "LoadAudioEngine", kMethod, 0, Result<&P::LoadAudioEngine>},
    {0x68030028, "WaveOutDeviceNumber", kGetPut, 0,
     Property<&P::WaveOutDeviceNumber, &P::SetWaveOutDeviceNumber, ToInteger>},
    {0x68030027, "AudioFileName", kGet, 0, Result<&P::AudioFileName>},
    {0x68030026, "SecondsPlayed", kGet, 0, Result<&P::SecondsPlayed>},
    {0x68030025, "SecondsRemain", kGet, 0, Result<&P::SecondsRemain>},
    {0x68030024, "PercentagePlayed", kGet, 0, Result<&P::PercentagePlayed>},
    {0x68030023, "TotalSecondsPlayed", kGet, 0, Result<&P::TotalSecondsPlayed>},
    {0x68030022, "TotalSecondsRemain", kGet, 0, Result<&P::TotalSecondsRemain>},
    {0x68030021, "TotalPercentagePlayed", kGet, 0, Result<&P::TotalPercentagePlayed>},
    {0x68030020, "Status", kGet, 0, Result<&P::Status>},
    {0x6803001F, "WaveOutDeviceName", kGet, 0, Result<&P::WaveOutDeviceName>},
    {0x6803001E, "WaveBufferLengthms", kGetPut, 0,
     Property<&P::WaveBufferLengthms, &P::SetWaveBufferLengthms, ToLong>},
    {0x6803001D, "NumberWavePlayBuffers", kGetPut, 0,
     Property<&P::NumberWavePlayBuffers, &P::SetNumberWavePlayBuffers, ToLong>},
    {0x6803001C, "SampleRate", kGetPut, 0, Property<&P::SampleRate, &P::SetSampleRate, ToLong>},
    {0x6803001B, "NumberChannels", kGetPut, 0,
     Property<&P::NumberChannels, &P::SetNumberChannels, ToLong>},
    {0x6803001A, "NumberCacheSeconds", kGetPut, 0,
     Property<&P::NumberCacheSeconds, &P::SetNumberCacheSeconds, ToInteger>},
    {0x68030019, "AudioStart", kGetPut, 0, Property<&P::AudioStart, &P::SetAudioStart, ToSingle>},
    {0x68030018, "AudioEnd", kGetPut, 0, Property<&P::AudioEnd, &P::SetAudioEnd, ToSingle>},
    {0x68030017, "AudioLength", kGet, 0, Result<&P::AudioLength>},
    {0x68030016, "TotalAudioLength", kGet, 0, Result<&P::TotalAudioLength>},
    {0x68030015, "RaiseAudioPositionChanged", kGetPut, 0,
     Property<&P::RaiseAudioPositionChanged, &P::SetRaiseAudioPositionChanged, ToBoolean>},
    {0x68030014, "IntroStart", kGetPut, 0, Property<&P::IntroStart, &P::SetIntroStart, ToSingle>},
    {0x68030013, "IntroEnd", kGetPut, 0, Property<&P::IntroEnd, &P::SetIntroEnd, ToSingle>},
    {0x68030085, "HookStart", kGetPut, 0, Property<&P::HookStart, &P::SetHookStart, ToSingle>},
    {0x68030084, "HookEnd", kGetPut, 0, Property<&P::HookEnd, &P::SetHookEnd, ToSingle>},
    {0x68030012, "Extro", kGetPut, 0, Property<&P::Extro, &P::SetExtro, ToSingle>},
    {0x68030011, "AudioPart", kGet, 0, Result<&P::AudioPart>},
    {0x68030010, "SweeperStart", kGetPut, 0,
     Property<&P::SweeperStart, &P::SetSweeperStart, ToSingle>},
    {0x6803000F, "CanSetPlayVolume", kGet, 0, Result<&P::CanSetPlayVolume>},
    {0x6803000E, "PlayVolume", kGetPut, 0, Property<&P::PlayVolume, &P::SetPlayVolume, ToSingle>},
    {0x6803000D, "ReportErrors", kGetPut, 0,
     Property<&P::ReportErrors, &P::SetReportErrors, ToBoolean>},
    {0x6803000C, "LoopStart", kGetPut, 0, Property<&P::LoopStart, &P::SetLoopStart, ToSingle>},
    {0x6803000B, "LoopEnd", kGetPut, 0, Property<&P::LoopEnd, &P::SetLoopEnd, ToSingle>},
    {0x6803000A, "UseLoop", kGetPut, 0, Property<&P::UseLoop, &P::SetUseLoop, ToBoolean>},
    {0x68030009, "InLoop", kGet, 0, Result<&P::InLoop>},
    {0x60030083, "ExitLoop", kMethod, 0, Result<&P::ExitLoop>},
    {0x68030008, "SampleAudioLevel", kGetPut, 0,
     Property<&P::SampleAudioLevel, &P::SetSampleAudioLevel, ToBoolean>},
    {0x68030007, "RaiseAudioLevelEvents", kGetPut, 0,
     Property<&P::RaiseAudioLevelEvents, &P::SetRaiseAudioLevelEvents, ToLong>},
    {0x68030006, "AudioLevel", kGet, 0, Result<&P::AudioLevel>},
    {0x68030005, "LeftAudioLevel", kGet, 0, Result<&P::LeftAudioLevel>},
    {0x68030004, "RightAudioLevel", kGet, 0, Result<&P::RightAudioLevel>},
    {0x60030047, "AddVolumeChangeEvent", kMethod, 8, AddVolumeChangeEvent},
    {0x60030048, "RemoveVolumeChangeEvent", kMethod, 1, RemoveVolumeChangeEvent},
    {0x68030003, "NumberVolumeChangeEvents", kGet, 0, Result<&P::NumberVolumeChangeEvents>},
    {0x68030002, "FirstVolumeChangeEventTime", kGet, 0, Result<&P::FirstVolumeChangeEventTime>},
    {0x68030001, "LastVolumeChangeEventTime", kGet, 0, Result<&P::LastVolumeChangeEventTime>},
    {0x6003004C, "GetVolumeChangeEvent", kMethod, 2, GetVolumeChangeEvent},
    {0x68030000, "DebugFile", kGetPut, 0, DebugFile},
    {0x60030069, "SetDebugFile", kMethod, 2, SetDebugFile},
    {0x6803004D, "DirectXMode", kGetPut, 0,
     Property<&P::DirectXMode, &P::SetDirectXMode, ToBoolean>},
    {0x6803006A, "MaxLoopCount", kGetPut, 0,
     Property<&P::MaxLoopCount, &P::SetMaxLoopCount, ToInteger>},
    {0x68030086, "LoopCount", kGet, 0, Result<&P::LoopCount>},
    {0x68030088, "FlushBuffers", kGetPut, 0,
     Property<&P::FlushBuffers, &P::SetFlushBuffers, ToBoolean>},
    {0x68030087, "InverseLogFades", kGetPut, 0,
     Property<&P::InverseLogFades, &P::SetInverseLogFades, ToBoolean>},
    {0x68030089, "FadeMode", kGetPut, 0, Property<&P::FadeMode, &P::SetFadeMode, ToLong>},

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

const ControlClass kClass({"Flenney.FlennPlayer",
                           "{F1E43307-681E-4A8B-B7D3-0C617389CA43}",
                           "_FlennPlayer",
                           "{7832A28F-72BE-4C44-B8E8-6B94C1D55571}",
                           "{309A1C71-F18F-46BC-AFEF-9C474AF59CFF}", // __FlennPlayer
                           {},
                           kEvents},
                          kMembers);

const bool kEmptyClassRegistered = [] {
    RegisterClass(kEmptyClassInfo, [] { return std::make_unique<clsFlennPlayer>(); });
    return true;
}();

} // namespace

const ClassInfo& FlennPlayer::Info() {
    (void)kEmptyClassRegistered;
    return kClass.Info();
}

HResult FlennPlayer::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                            Variant& result, ExceptionInfo* exception) {
    return kClass.Invoke(*this, dispid, kind, args, result, exception);
}
