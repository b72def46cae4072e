// The file player called late-bound: every dispatch identifier reaches its member, the window
// and cue-point cascades, the notified properties and the engine-stop handling.
#include "support/ScratchRegistry.h"
#include "support/TestSupport.h"
#include "support/WavFixtures.h"
#include "support/WaveTestSupport.h"

#include "platform/WaveCapture.h"
#include "player_controls/FlennPlayer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

using namespace Platform::Com;
using namespace WavFixtures;
namespace WaveCapture = Platform::WaveCapture;

namespace {

class PlayerDispatch : public ::testing::Test {
protected:
    void SetUp() override {
        TestSupport::UseWaveDevices("capture,null");
        player.InitProperties();
    }

    // A 10 s mono file at 11025 Hz.
    std::string TenSeconds() {
        std::string path = dir.File("ten.wav");
        Write(path, PcmWav(1, 11025, TestSupport::Tone(110250, 1, 11025)));
        return path;
    }

    Variant Call(int32_t dispid, std::vector<Variant> args = {}, HResult expect = S_OK) {
        Variant result;
        EXPECT_EQ(player.Invoke(dispid, DISPATCH_METHOD, args, result), expect)
            << std::hex << dispid;
        last = args;
        return result;
    }
    Variant Get(int32_t dispid) {
        std::vector<Variant> none;
        Variant result;
        EXPECT_EQ(player.Invoke(dispid, DISPATCH_PROPERTYGET, none, result), S_OK)
            << std::hex << dispid;
        return result;
    }
    void Put(int32_t dispid, Variant value) {
        std::vector<Variant> args{std::move(value)};
        Variant result;
        EXPECT_EQ(player.Invoke(dispid, DISPATCH_PROPERTYPUT, args, result), S_OK)
            << std::hex << dispid;
        last = args;
    }
    double Number(const Variant& v) { return ToDouble(v).value_or(-12345); }
    void Run(uint32_t milliseconds) {
        for (uint32_t t = 0; t < milliseconds; t += 10) {
            WaveCapture::AdvanceMilliseconds(10);
            TestSupport::Pump();
            player.PositionTick();
        }
    }

    TestSupport::ScratchRegistry registry;
    TestSupport::ScratchDir dir;
    TestSupport::ScriptedBoxes boxes;
    std::vector<Variant> last; // arguments as the last call left them
    FlennPlayer player;
};

TEST_F(PlayerDispatch, IdentityAndTableAreThoseHostsUse) {
    const ClassInfo& info = FlennPlayer::Info();
    EXPECT_STREQ(info.progId, "Flenney.FlennPlayer");
    EXPECT_STREQ(info.classId, "{F1E43307-681E-4A8B-B7D3-0C617389CA43}");
    EXPECT_STREQ(info.interfaceId, "{7832A28F-72BE-4C44-B8E8-6B94C1D55571}");
    EXPECT_STREQ(info.eventInterfaceId, "{309A1C71-F18F-46BC-AFEF-9C474AF59CFF}");
    EXPECT_EQ(info.members.size(), 62u);
    EXPECT_EQ(info.events.size(), 21u);
    std::set<int32_t> ids;
    for (const DispatchMember& m : info.members)
        ids.insert(m.dispid);
    EXPECT_EQ(ids.size(), info.members.size()) << "identifiers are unique";
    EXPECT_EQ(FindMemberByName(info, "InverseLogFades")->dispid, 0x68030087);
    EXPECT_EQ(FindMemberByName(info, "HookStart")->dispid, 0x68030085);
    EXPECT_EQ(FindMemberByName(info, "GetVolumeChangeEvent")->argumentCount, 2);

    std::unique_ptr<Dispatchable> made = CreateObject("Flenney.FlennPlayer");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(&made->Class(), &info);
    Variant rate;
    std::vector<Variant> none;
    ASSERT_EQ(made->Invoke(0x6803001C, DISPATCH_PROPERTYGET, none, rate), S_OK);
    EXPECT_EQ(ToLong(rate), 44100) << "created with its initial properties";
    EXPECT_NE(CreateObject("{F1E43307-681E-4A8B-B7D3-0C617389CA43}"), nullptr);
    std::unique_ptr<Dispatchable> empty = CreateObject("{2BE393CC-09F6-4E76-B013-5037032B6DBC}");
    ASSERT_NE(empty, nullptr);
    EXPECT_STREQ(empty->Class().interfaceName, "_clsFlennPlayer");

    Variant r;
    EXPECT_EQ(player.Invoke(0x6803001F, DISPATCH_PROPERTYPUT, none, r), DISP_E_MEMBERNOTFOUND)
        << "WaveOutDeviceName is read-only";
    std::vector<Variant> one{std::string("x")};
    EXPECT_EQ(player.Invoke(0x6803001C, DISPATCH_PROPERTYPUT, one, r), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(player.Invoke(0x12345678, DISPATCH_METHOD, none, r), DISP_E_MEMBERNOTFOUND);
}

TEST_F(PlayerDispatch, EveryPropertyReachesItsMember) {
    Call(0x6003002A, {TenSeconds()});
    ASSERT_EQ(player.Status(), epsCued);
    struct Case {
        int32_t dispid;
        Variant value;
        double expected; // as read back through its get
        std::function<double()> member;
    };
    const std::vector<Case> cases = {
        {0x6803001E, int32_t(200), 200, [&] { return player.Engine().WaveBufferLengthms(); }},
        {0x6803001D, int32_t(5), 5, [&] { return player.Engine().NumberWaveBuffers(); }},
        {0x6803001A, int16_t(7), 7, [&] { return player.NumberCacheSeconds(); }},
        {0x68030019, 1.0f, 1, [&] { return player.AudioStart(); }},
        {0x68030018, 9.0f, 9, [&] { return player.AudioEnd(); }},
        {0x68030015, false, 0, [&] { return player.RaiseAudioPositionChanged(); }},
        {0x68030014, 2.0f, 2, [&] { return player.IntroStart(); }},
        {0x68030013, 3.0f, 3, [&] { return player.IntroEnd(); }},
        {0x68030085, 4.0f, 4, [&] { return player.HookStart(); }},
        {0x68030084, 5.0f, 5, [&] { return player.HookEnd(); }},
        {0x68030012, 8.0f, 8, [&] { return player.Extro(); }},
        {0x68030010, 6.0f, 6, [&] { return player.SweeperStart(); }},
        {0x6803000E, 50.0f, 50, [&] { return player.PlayVolume(); }},
        {0x6803000D, false, 0, [&] { return player.Engine().ReportErrors(); }},
        {0x6803000B, 4.0f, 4, [&] { return player.LoopEnd(); }},
        {0x6803000C, 2.0f, 2, [&] { return player.LoopStart(); }},
        {0x6803000A, true, -1, [&] { return player.UseLoop() ? -1 : 0; }},
        {0x68030008, false, 0, [&] { return player.Engine().SampleAudioLevel(); }},
        {0x68030007, int32_t(2), 2, [&] { return player.Engine().RaiseAudioLevelEvents(); }},
        {0x6803006A, int16_t(3), 3, [&] { return player.MaxLoopCount(); }},
        {0x68030088, false, 0, [&] { return player.FlushBuffers(); }},
        {0x68030089, int32_t(7), 7, [&] { return player.FadeMode(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FindMember(FlennPlayer::Info(), c.dispid)->name);
        Put(c.dispid, c.value);
        EXPECT_NEAR(Number(Get(c.dispid)), c.expected, 0.01);
        EXPECT_NEAR(c.member(), c.expected == -1 ? -1 : c.expected, 0.01);
    }
    EXPECT_TRUE(std::holds_alternative<bool>(Get(0x6803000A))) << "Booleans read as Booleans";

    Put(0x68030087, true);
    EXPECT_EQ(player.FadeMode(), efmSlowStart);
    EXPECT_EQ(ToBoolean(Get(0x68030087)), true);
    Put(0x68030087, false);
    EXPECT_EQ(player.FadeMode(), efmNormal);

    std::string log = dir.File("player.dbg");
    Put(0x68030000, log);
    EXPECT_EQ(ToText(Get(0x68030000)), log);
    EXPECT_EQ(player.DebugWriter().Level(), dmBasic);
    Call(0x60030069, {log, int32_t(dmFull)});
    EXPECT_EQ(player.DebugWriter().Level(), dmFull);
    Put(0x68030000, std::string());
    EXPECT_EQ(player.DebugWriter().Level(), dmOff);

    Put(0x6803004D, true);
    EXPECT_EQ(ToBoolean(Get(0x6803004D)), player.Engine().DirectXMode())
        << "what the engine reports";
}

TEST_F(PlayerDispatch, EveryMethodAndReadOnlyPropertyReachesItsMember) {
    std::string path = TenSeconds();
    EXPECT_EQ(ToLong(Call(0x6003002A, {path})), 0);
    EXPECT_EQ(ToText(Get(0x68030027)), path);
    EXPECT_NEAR(Number(Get(0x68030016)), 10, 0.001);
    Put(0x68030019, 1.0f);
    Put(0x68030018, 9.0f);
    EXPECT_NEAR(Number(Get(0x68030017)), 8, 0.001);
    EXPECT_EQ(ToBoolean(Call(0x6003002F, {3.0f, true})), true);
    const struct {
        int32_t dispid;
        double expected, tolerance;
    } positions[] = {
        {0x68030023, 3, 0.01}, {0x68030026, 2, 0.01}, {0x68030022, 7, 0.01},
        {0x68030025, 6, 0.01}, {0x68030021, 30, 0.1}, {0x68030024, 25, 0.1},
    };
    for (const auto& p : positions)
        EXPECT_NEAR(Number(Get(p.dispid)), p.expected, p.tolerance)
            << FindMember(FlennPlayer::Info(), p.dispid)->name;
    EXPECT_EQ(ToLong(Get(0x68030020)), epsPaused);
    EXPECT_EQ(ToLong(Get(0x68030011)), eapMAIN) << "intro points at the start, passed";
    EXPECT_EQ(ToBoolean(Call(0x6003002E, {50.0f, true})), true);
    EXPECT_NEAR(player.TotalSecondsPlayed(), 5, 0.01);

    EXPECT_EQ(ToBoolean(Get(0x6803000F)), player.CanSetPlayVolume());
    for (int32_t level : {0x68030006, 0x68030005, 0x68030004})
        EXPECT_EQ(ToInteger(Get(level)), int16_t(0)) << "silence before playing";

    // Envelopes: a reference and the permanent flag travel back to the caller.
    Variant added = Call(0x60030047, {int16_t(7), 4.0f, 2.0f, 100.0f, 0.0f, -1.0f, true, false});
    EXPECT_EQ(ToBoolean(added), true);
    EXPECT_EQ(ToInteger(last[0]), int16_t(7));
    EXPECT_EQ(ToInteger(Get(0x68030003)), int16_t(1));
    EXPECT_NEAR(Number(Get(0x68030002)), 4, 0.001);
    EXPECT_NEAR(Number(Get(0x68030001)), 6, 0.001);
    EXPECT_EQ(ToBoolean(Call(0x6003004C, {int16_t(7), std::monostate{}})), true);
    std::optional<std::string> bytes = ToText(last[1]);
    ASSERT_TRUE(bytes && bytes->size() == sizeof(VCHEV));
    VCHEV event;
    std::memcpy(&event, bytes->data(), sizeof(VCHEV));
    EXPECT_EQ(event.Reference, 7);
    EXPECT_FLOAT_EQ(event.Duration, 2);
    EXPECT_EQ(ToBoolean(Call(0x60030048, {int16_t(7)})), true);
    EXPECT_EQ(ToInteger(Get(0x68030003)), int16_t(0));

    // Loops: inside the loop section InLoop reads True; ExitLoop leaves it.
    Put(0x6803000B, 6.0f);
    Put(0x6803000C, 4.0f);
    Put(0x6803000A, true);
    Call(0x6003002F, {4.5f, true});
    EXPECT_EQ(ToBoolean(Get(0x68030009)), true);
    EXPECT_EQ(ToInteger(Get(0x68030086)), int16_t(0));
    Call(0x60030083);
    EXPECT_FALSE(player.UseLoop());
    EXPECT_EQ(ToBoolean(Get(0x68030009)), false);

    EXPECT_EQ(ToLong(Call(0x6003002B)), 0);
    EXPECT_EQ(player.Status(), epsPlaying);
    EXPECT_EQ(ToLong(Call(0x6003002C)), 0);
    EXPECT_EQ(player.Status(), epsPaused);
    EXPECT_EQ(ToLong(Call(0x6003002D)), 0);
    EXPECT_EQ(player.Status(), epsCued);
    EXPECT_EQ(ToLong(Call(0x60030029)), 0);
    EXPECT_EQ(player.Status(), epsClosed);
    EXPECT_EQ(ToLong(Get(0x68030011)), eapEMPTY);
    Call(0x60030031);
    EXPECT_TRUE(player.Engine().AudioEngineLoaded());
}

TEST_F(PlayerDispatch, RejectedValuesThroughInvokeKeepTheOldOneWithTheirMessage) {
    Put(0x6803001C, int32_t(32000));
    Put(0x6803001B, int32_t(3));
    Put(0x6803001E, int32_t(0));
    Put(0x6803001D, int32_t(-1));
    EXPECT_EQ(ToLong(Get(0x6803001C)), 44100);
    EXPECT_EQ(ToLong(Get(0x6803001B)), 2);
    EXPECT_EQ(ToLong(Get(0x6803001E)), 100);
    EXPECT_EQ(ToLong(Get(0x6803001D)), 10);
    ASSERT_EQ(boxes.Count(), 4u);
    EXPECT_EQ(boxes.Shown()[0].prompt,
              "Invalid SampleRate Specified, must be 11025, 22050, 44100, 48000");
    EXPECT_EQ(boxes.Shown()[1].prompt, "Invalid NumberChannels Specified : \nMax = 2");
    EXPECT_EQ(boxes.Shown()[3].prompt, "Invalid Number of Wave Buffers Specified ");
    EXPECT_EQ(boxes.Shown()[0].buttons, Platform::vbOKOnly);
    Put(0x6803001A, int16_t(-5));
    EXPECT_EQ(ToInteger(last[0]), int16_t(0)) << "the caller's variable is mended";
    EXPECT_EQ(player.NumberCacheSeconds(), 0);
    Put(0x68030089, int32_t(efmNormal)); // the volume reads back through the curve
    Put(0x6803000E, 150.0f);
    EXPECT_NEAR(player.PlayVolume(), 100, 0.01);
    Put(0x6803000E, -3.0f);
    EXPECT_NEAR(player.PlayVolume(), 0, 0.01);
    Put(0x6803006A, int16_t(-2));
    EXPECT_EQ(player.MaxLoopCount(), 0);
    Put(0x6803001C, int32_t(48000));
    Put(0x6803001B, int32_t(1));
    EXPECT_EQ(player.Engine().SampleRate(), 48000);
    EXPECT_EQ(player.Engine().NumberChannels(), 1);
    EXPECT_EQ(boxes.Count(), 4u);
}

TEST_F(PlayerDispatch, WindowAndCuePointsCascade) {
    player.SetAudioStart(12);
    EXPECT_EQ(player.AudioStart(), 0) << "no file: TotalAudioLength is 0";
    EXPECT_EQ(player.Status(), epsClosed);
    EXPECT_EQ(player.AudioPart(), eapEMPTY);

    std::string path = TenSeconds();
    ASSERT_EQ(player.OpenAudio(path), 0);
    player.SetAudioEnd(20);
    EXPECT_EQ(player.AudioEnd(), 10) << "clamped to the file";
    player.SetIntroStart(6);
    player.SetIntroEnd(7);
    player.SetHookStart(6.5f);
    player.SetHookEnd(8);
    player.SetExtro(9);
    player.SetSweeperStart(9.5f);
    player.SetAudioStart(7.5f);
    EXPECT_EQ(player.IntroStart(), 7.5f) << "points below the new start are raised to it";
    EXPECT_EQ(player.IntroEnd(), 7.5f);
    EXPECT_EQ(player.HookStart(), 7.5f);
    EXPECT_EQ(player.HookEnd(), 8) << "points after it stay";
    EXPECT_EQ(player.Extro(), 9);
    EXPECT_EQ(player.SweeperStart(), 9.5f);
    EXPECT_NEAR(player.TotalSecondsPlayed(), 7.5f, 0.01) << "sought to the new start";
    EXPECT_FLOAT_EQ(player.AudioLength(), 2.5f);

    player.SetAudioEnd(5);
    for (float v : {player.AudioStart(), player.IntroStart(), player.IntroEnd(), player.HookStart(),
                    player.HookEnd(), player.Extro(), player.SweeperStart()})
        EXPECT_EQ(v, 5);
    EXPECT_EQ(player.AudioLength(), 0);

    player.SetAudioEnd(10);
    player.SetAudioStart(3);
    player.SetSweeperStart(-1);
    EXPECT_EQ(player.SweeperStart(), -1) << "no sweeper point";
    player.SetSweeperStart(1);
    EXPECT_EQ(player.SweeperStart(), 3);
    player.SetSweeperStart(12);
    EXPECT_EQ(player.SweeperStart(), 10);
    player.SetIntroStart(6);
    player.SetIntroEnd(4);
    EXPECT_EQ(player.IntroStart(), 4) << "pulled down to the intro end";
    player.SetHookEnd(5);
    player.SetHookStart(7);
    EXPECT_EQ(player.HookEnd(), 7) << "pushed up to the hook start";
    player.SetExtro(1);
    EXPECT_EQ(player.Extro(), 3) << "raised to the start";

    player.SeekTime(8, true);
    player.SetAudioStart(2);
    EXPECT_NEAR(player.TotalSecondsPlayed(), 8, 0.01) << "a position after the start stays";
}

TEST_F(PlayerDispatch, NotifiedPropertiesAndCreationValues) {
    EXPECT_EQ(player.SurfaceHeight(), 1800);
    FlennPlayer fresh;
    EXPECT_EQ(fresh.SurfaceHeight(), 0);
    EXPECT_TRUE(fresh.ChangedProperties().empty());
    fresh.SetInverseLogFades(true);
    EXPECT_EQ(fresh.ChangedProperties(), (std::vector<std::string>{"FadeMode", "InverseLogFades"}));
    fresh.SetPlayVolume(40);
    fresh.SetDebugFile(dir.File("x.dbg"));
    fresh.SetAudioStart(0);
    ASSERT_EQ(fresh.ChangedProperties().size(), 2u)
        << "volume, debug file and times notify nothing";
    fresh.SetRaiseAudioLevelEvents(0);
    fresh.SetFlushBuffers(false);
    int16_t cache = 2;
    fresh.SetNumberCacheSeconds(cache);
    EXPECT_EQ(fresh.ChangedProperties().back(), "NumberCacheSeconds");
    EXPECT_EQ(fresh.ChangedProperties()[2], "RaiseAudioLevelEvents");
    int32_t bad = 3;
    fresh.SetNumberChannels(bad);
    EXPECT_EQ(fresh.ChangedProperties().back(), "NumberCacheSeconds")
        << "a refusal notifies nothing";

    fresh.SetFadeMode(7);
    EXPECT_EQ(fresh.FadeMode(), 7);
    EXPECT_FALSE(fresh.InverseLogFades());
    fresh.SetInverseLogFades(false);
    EXPECT_EQ(fresh.FadeMode(), efmNormal);
}

TEST_F(PlayerDispatch, OutputDeviceNameAndCapabilities) {
    Platform::WaveOutCaps mapper, first, second;
    ASSERT_EQ(Platform::waveOutGetDevCaps(Platform::WAVE_MAPPER, &mapper), 0u);
    ASSERT_EQ(Platform::waveOutGetDevCaps(0, &first), 0u);
    ASSERT_EQ(Platform::waveOutGetDevCaps(1, &second), 0u);
    player.SetWaveOutDeviceNumber(0);
    std::string name = player.WaveOutDeviceName();
    ASSERT_EQ(name.size(), 32u) << "the whole name field";
    EXPECT_EQ(name.substr(0, mapper.productName.size()), mapper.productName);
    EXPECT_EQ(player.WaveOutCaps().productName, first.productName)
        << "device 0 fills the first device's capabilities, not the mapper's";
    player.SetWaveOutDeviceNumber(2);
    EXPECT_EQ(player.WaveOutCaps().productName, second.productName);
    EXPECT_EQ(player.WaveOutDeviceName().substr(0, second.productName.size()), second.productName);
}

TEST_F(PlayerDispatch, EngineStopRewindsAndForgetsTheReachedPoints) {
    std::string path = TenSeconds();
    ASSERT_EQ(player.OpenAudio(path), 0);
    player.SetIntroStart(0.1f);
    player.SetIntroEnd(5);
    int closed = 0;
    QObject guard; // the connection ends with the test, before the player closes
    QObject::connect(&player, &FlennPlayer::Closed, &guard, [&] { ++closed; });
    ASSERT_EQ(player.PlayAudio(), 0);
    Run(400);
    ASSERT_EQ(player.Status(), epsPlaying);
    ASSERT_EQ(player.AudioPart(), eapDURINGINTRO);
    player.Engine().StopFlennStream();
    TestSupport::Pump();
    EXPECT_EQ(player.AudioPart(), eapPREINTRO) << "reached flags cleared";
    EXPECT_NE(player.Status(), epsPlaying);
    EXPECT_EQ(closed, 0) << "the file stays open";
    player.PositionTick();
    EXPECT_NEAR(player.TotalSecondsPlayed(), 0, 0.01) << "rewound to the file start";
    player.Engine().StartFlennStream();
    ASSERT_EQ(player.PlayAudio(), 0);
    Run(300);
    std::vector<WaveCapture::StreamRecord> streams = WaveCapture::Streams();
    ASSERT_FALSE(streams.empty());
    ASSERT_GE(streams.back().samples.size(), 100u);
    EXPECT_GT(player.TotalSecondsPlayed(), 0.1f) << "plays again from the start";
}

} // namespace
