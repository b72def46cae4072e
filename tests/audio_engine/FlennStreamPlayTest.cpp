// FlennStreamPlay through the real wave-device layer into the capture device.
#include "audio_engine/FlennStreamPlay.h"
#include "platform/WaveCapture.h"
#include "support/TestSupport.h"
#include "support/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Platform;
using TestSupport::Pump;

namespace {

constexpr int kRate = 44100;
constexpr int kBlockFrames = kRate / 4; // 250 ms, the engine's FreeBufferSizems

class PlayEngine : public ::testing::Test {
protected:
    void SetUp() override {
        TestSupport::UseWaveDevices("capture,null");
        play.InitProperties();
        QObject::connect(&play, &FlennStreamPlay::BufferAvailable,
                         [this](int32_t user, intptr_t pointer, int32_t length) {
                             EXPECT_FALSE(insideDevice) << "returned inside the device's time";
                             returned.push_back({user, pointer, length});
                             if (refill) Refill();
                         });
        QObject::connect(&play, &FlennStreamPlay::PlayerError,
                         [this](int32_t code) { errors.push_back(code); });
    }

    // Queues the tone's next blocks while the engine has free buffers.
    void Refill() {
        while (next < blocks.size() && play.NumberFreeBuffers() > 0) {
            const std::vector<int16_t>& block = blocks[next];
            ASSERT_EQ(play.AddBufferEx(reinterpret_cast<intptr_t>(block.data()),
                                       static_cast<int32_t>(block.size() * 2),
                                       static_cast<int32_t>(next)),
                      0);
            ++next;
        }
    }

    void MakeTone(int seconds, int channels = 2) {
        tone = TestSupport::Tone(seconds * kRate, channels);
        size_t perBlock = static_cast<size_t>(kBlockFrames) * channels;
        for (size_t at = 0; at < tone.size(); at += perBlock)
            blocks.emplace_back(tone.begin() + static_cast<long>(at),
                                tone.begin() +
                                    static_cast<long>(std::min(at + perBlock, tone.size())));
    }

    // Moves the virtual clock on in steps, handling the loop's messages after each.
    void Play(uint32_t milliseconds, uint32_t step = 20) {
        for (uint32_t t = 0; t < milliseconds; t += step) {
            insideDevice = true;
            WaveCapture::AdvanceMilliseconds(step);
            insideDevice = false;
            Pump();
        }
    }

    std::vector<int16_t> Played() {
        std::vector<WaveCapture::StreamRecord> streams = WaveCapture::Streams();
        return streams.empty() ? std::vector<int16_t>{} : streams.back().samples;
    }

    struct Returned {
        int32_t user;
        intptr_t pointer;
        int32_t length;
    };
    TestSupport::ScriptedBoxes boxes;
    FlennStreamPlay play;
    std::vector<int16_t> tone;
    std::vector<std::vector<int16_t>> blocks;
    size_t next = 0;
    bool refill = true;
    bool insideDevice = false;
    std::vector<Returned> returned;
    std::vector<int32_t> errors;
};

TEST_F(PlayEngine, PlaysQueuedBlocksInOrderWithoutGaps) {
    MakeTone(3);
    int started = 0;
    QObject::connect(&play, &FlennStreamPlay::FlennStreamStarted, [&] { ++started; });
    ASSERT_EQ(play.StartFlennStream(), 0);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(play.Status(), statusRunning);
    ASSERT_EQ(returned.size(), 1u) << "the start asks for the first blocks";
    EXPECT_EQ(returned[0].user, -1);
    EXPECT_EQ(returned[0].pointer, 0);
    EXPECT_EQ(next, 4u);
    EXPECT_EQ(play.NumberFreeBuffers(), 0);

    Play(200);
    EXPECT_EQ(play.MilliSecondsPlayed(), 0) << "the stream starts paused";
    play.StartPlayback();
    EXPECT_EQ(play.PlayStatus(), ePlaying);
    Play(3200);

    EXPECT_EQ(Played(), tone) << "every sample came out once, in order";
    std::vector<WaveCapture::StreamRecord> streams = WaveCapture::Streams();
    ASSERT_EQ(streams.back().runs.size(), 1u) << "no gap once playing";
    EXPECT_EQ(streams.back().runs[0].startFrame, 200u * kRate / 1000);
    ASSERT_EQ(returned.size(), blocks.size() + 1);
    for (size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(returned[i + 1].user, static_cast<int32_t>(i));
        EXPECT_EQ(returned[i + 1].length, kBlockFrames * 4);
        EXPECT_NE(returned[i + 1].pointer, 0);
    }
    EXPECT_EQ(play.MilliSecondsPlayed(), 3000);
    EXPECT_EQ(play.BlocksPlayed(), 3 * kRate);
    EXPECT_EQ(play.NumberFreeBuffers(), play.NumberWaveBuffers());
    EXPECT_TRUE(errors.empty());
}

TEST_F(PlayEngine, PauseFreezesTheClockAndKeepsTheRest) {
    MakeTone(2);
    ASSERT_EQ(play.StartFlennStream(), 0);
    play.StartPlayback();
    Play(500);
    EXPECT_EQ(play.MilliSecondsPlayed(), 500);
    int paused = 0;
    QObject::connect(&play, &FlennStreamPlay::Paused, [&] { ++paused; });
    play.PausePlayback();
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(play.PlayStatus(), eStopped);
    Play(1000);
    EXPECT_EQ(play.MilliSecondsPlayed(), 500);
    play.StartPlayback();
    Play(1600);
    EXPECT_EQ(Played(), tone);
    EXPECT_EQ(play.MilliSecondsPlayed(), 2000);
}

// 100 ms before 2^31 bytes the byte and the sample positions are both just before their wrap.
TEST_F(PlayEngine, ClocksRunOnAcrossTheDevicePositionWrap) {
    MakeTone(1);
    ASSERT_EQ(play.StartFlennStream(), 0);
    const uint64_t before = (uint64_t{1} << 31) - 4410 * 4;
    ASSERT_EQ(SetWaveOutPlayedBytes(WaveCapture::Streams().back().handle, before),
              MMSYSERR_NOERROR);
    const int32_t blocks = play.BlocksPlayed();
    const int32_t milliseconds = play.MilliSecondsPlayed();
    EXPECT_EQ(blocks, (kWavePositionWrap - 4410 * 4) / 4);
    EXPECT_EQ(milliseconds, std::lround((kWavePositionWrap - 4410) / 44.1));
    play.StartPlayback();
    Play(200);
    EXPECT_EQ(play.BlocksPlayed() - blocks, 8820);
    EXPECT_NEAR(play.MilliSecondsPlayed() - milliseconds, 200, 1);
    EXPECT_EQ(Played(), std::vector<int16_t>(tone.begin(), tone.begin() + 8820 * 2));
}

TEST_F(PlayEngine, ClearbuffersFreesEveryBufferAndDropsTheirNotifications) {
    MakeTone(2);
    ASSERT_EQ(play.StartFlennStream(), 0);
    play.StartPlayback();
    Play(300);
    size_t before = returned.size();
    refill = false;
    play.Clearbuffers();
    EXPECT_EQ(play.NumberFreeBuffers(), 4);
    EXPECT_EQ(play.MilliSecondsPlayed(), 0);
    EXPECT_TRUE(play.ReturnBuffers());
    Pump();
    EXPECT_EQ(returned.size(), before) << "cleared blocks are not handed back later";

    // A block queued after the clear comes back once, with its own user value.
    std::vector<int16_t> block = TestSupport::Tone(441, 2);
    ASSERT_EQ(play.AddBufferEx(reinterpret_cast<intptr_t>(block.data()), 441 * 4, 77), 0);
    play.StartPlayback();
    Play(100);
    ASSERT_EQ(returned.size(), before + 1);
    EXPECT_EQ(returned.back().user, 77);
    EXPECT_EQ(play.MilliSecondsPlayed(), 10);
}

TEST_F(PlayEngine, FlushPlaysSilenceAndLeavesTheStreamPausedAndEmpty) {
    MakeTone(2);
    ASSERT_EQ(play.StartFlennStream(), 0);
    play.StartPlayback();
    Play(400);
    size_t before = returned.size();
    uint64_t flushedAt = WaveCapture::NowFrames();
    EXPECT_TRUE(play.FlushPlayback());
    EXPECT_EQ(play.NumberFreeBuffers(), 4);
    EXPECT_EQ(play.MilliSecondsPlayed(), 100) << "only the silence has played since the clear";
    Play(500);
    EXPECT_EQ(play.MilliSecondsPlayed(), 100) << "left paused";
    EXPECT_EQ(returned.size(), before);
    // The 100 ms of silence is 17640 bytes of the device: 4410 silent frames.
    std::vector<WaveCapture::StreamRecord> streams = WaveCapture::Streams();
    const WaveCapture::StreamRecord& record = streams.back();
    const WaveCapture::StreamRecord::Run& run = record.runs.back();
    EXPECT_EQ(run.startFrame + run.frames, flushedAt + 4410);
    EXPECT_TRUE(std::all_of(record.samples.end() - 4410 * 2, record.samples.end(),
                            [](int16_t s) { return s == 0; }));
}

TEST_F(PlayEngine, VolumeFiftyHalvesTheSamples) {
    MakeTone(1);
    play.SetPlayVolume(50);
    ASSERT_EQ(play.StartFlennStream(), 0);
    EXPECT_TRUE(play.CanSetPlayVolume());
    EXPECT_NEAR(play.PlayVolume(), 50.0f, 0.01f);
    play.StartPlayback();
    Play(1100);
    std::vector<int16_t> out = Played();
    ASSERT_EQ(out.size(), tone.size());
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_NEAR(out[i], tone[i] / 2.0, 1.0) << i;

    play.SetPlayVolume(150);
    EXPECT_NEAR(play.PlayVolume(), 100.0f, 0.001f);
    play.SetPlayVolume(-5);
    EXPECT_EQ(play.PlayVolume(), 0.0f);
    play.StopFlennStream();
    EXPECT_EQ(play.PlayVolume(), 0.0f);
    EXPECT_FALSE(play.CanSetPlayVolume());
}

TEST_F(PlayEngine, BufferSizesFollowLengthRateAndChannels) {
    ASSERT_EQ(play.StartFlennStream(), 0);
    EXPECT_EQ(play.MaxWaveBufferSize(), 88200);
    EXPECT_EQ(play.FreeBufferSizems(), 250);
    EXPECT_EQ(play.FreeBufferSize(), 44100);
    intptr_t pointer = 0;
    int32_t length = 0, flags = 0;
    EXPECT_EQ(play.GetBufferDetails(4, pointer, length, flags), 0);
    EXPECT_NE(pointer, 0);
    EXPECT_EQ(length, 88200);
    EXPECT_TRUE(flags & WHDR_PREPARED);
    bool outOfRange = false;
    EXPECT_EQ(play.GetBufferDetails(5, pointer, length, flags, &outOfRange), -1);
    EXPECT_TRUE(outOfRange);
    EXPECT_EQ(play.GetBufferDetails(0, pointer, length, flags), -1);
    EXPECT_EQ(pointer, 0);
    EXPECT_EQ(length, 0);
}

TEST_F(PlayEngine, AddBufferExRefusesWhatCannotBeQueued) {
    refill = false;
    std::vector<int16_t> block(22050 * 2 + 2);
    intptr_t data = reinterpret_cast<intptr_t>(block.data());
    EXPECT_EQ(play.AddBufferEx(data, 100, 1), -1) << "no stream";
    ASSERT_EQ(play.StartFlennStream(), 0);
    EXPECT_EQ(play.AddBufferEx(data, 0, 1), -1);
    EXPECT_EQ(play.AddBufferEx(data, 88204, 1), -1) << "longer than a device buffer";
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(play.AddBufferEx(data, 88200, i), 0);
    EXPECT_EQ(play.AddBufferEx(data, 4, 9), -1) << "every buffer is queued";

    play.SetReturnBuffers(false);
    play.StartPlayback();
    Play(2200);
    EXPECT_EQ(returned.size(), 1u) << "only the start's request; none while ReturnBuffers is off";
    EXPECT_EQ(play.NumberFreeBuffers(), 4);
}

TEST_F(PlayEngine, StartAndStopAreIdempotentAndStopDropsLateNotifications) {
    int started = 0, stopped = 0;
    QObject::connect(&play, &FlennStreamPlay::FlennStreamStarted, [&] { ++started; });
    QObject::connect(&play, &FlennStreamPlay::FlennStreamStopped, [&] { ++stopped; });
    EXPECT_EQ(play.StopFlennStream(), 0);
    EXPECT_EQ(stopped, 0);
    MakeTone(2);
    ASSERT_EQ(play.StartFlennStream(), 0);
    ASSERT_EQ(play.StartFlennStream(), 0);
    EXPECT_EQ(started, 1);
    play.StartPlayback();
    WaveCapture::AdvanceMilliseconds(600); // blocks done, their notifications still queued
    refill = false;
    size_t before = returned.size();
    EXPECT_EQ(play.StopFlennStream(), 0);
    EXPECT_EQ(stopped, 1);
    EXPECT_EQ(play.Status(), statusTerminated);
    Pump();
    EXPECT_EQ(returned.size(), before) << "nothing comes back from a stopped stream";
    EXPECT_EQ(play.MilliSecondsPlayed(), 0);
}

TEST_F(PlayEngine, LevelsOfStereoAndMonoBlocks) {
    refill = false;
    play.SetRaiseAudioLevelEvents(rleOnChange);
    play.SetSynchronousAudioLevelEvents(true);
    std::vector<std::pair<int16_t, int16_t>> levels;
    QObject::connect(&play, &FlennStreamPlay::AudioLevelUpdate, [&](int16_t left, int16_t right) {
        levels.push_back({left, right});
    });
    ASSERT_EQ(play.StartFlennStream(), 0);
    // Left at half scale, right at a quarter; -32768 counts for nothing.
    std::vector<int16_t> block(4410 * 2);
    for (size_t i = 0; i < block.size(); i += 2) {
        block[i] = 16384;
        block[i + 1] = -8192;
    }
    block[24] = -32768;
    intptr_t data = reinterpret_cast<intptr_t>(block.data());
    int32_t bytes = static_cast<int32_t>(block.size() * 2);
    ASSERT_EQ(play.AddBufferEx(data, bytes, 1), 0);
    ASSERT_EQ(play.AddBufferEx(data, bytes, 2), 0);
    play.StartPlayback();
    Play(300);
    ASSERT_EQ(levels.size(), 1u) << "the same peaks again raise no event";
    EXPECT_EQ(levels[0], std::make_pair(int16_t{50}, int16_t{25}));
    EXPECT_EQ(play.AudioLevel(), 50);
    EXPECT_EQ(play.RightAudioLevel(), 25);
    play.StopFlennStream();

    // Mono, levels posted through the window rather than raised at once.
    play.SetNumberChannels(1);
    play.SetSynchronousAudioLevelEvents(false);
    play.SetRaiseAudioLevelEvents(rleAlways);
    levels.clear();
    ASSERT_EQ(play.StartFlennStream(), 0);
    std::vector<int16_t> mono(4410, 9830);
    ASSERT_EQ(play.AddBufferEx(reinterpret_cast<intptr_t>(mono.data()), 4410 * 2, 1), 0);
    play.StartPlayback();
    Play(200);
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0], std::make_pair(int16_t{30}, int16_t{30}));
    EXPECT_EQ(play.LeftAudioLevel(), play.RightAudioLevel());
}

TEST_F(PlayEngine, SettersRefuseBadValuesAndKeepTheOld) {
    play.SetNumberWaveBuffers(101);
    EXPECT_EQ(play.NumberWaveBuffers(), 4);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].prompt, "You cannot have more than 100 Wave Buffers");
    EXPECT_EQ(boxes.Shown()[0].buttons, vbInformation);
    play.SetNumberWaveBuffers(0);
    EXPECT_EQ(boxes.Shown()[1].prompt, "You must have at least 1 Wave Buffer");
    play.SetSampleRate(12345);
    EXPECT_EQ(play.SampleRate(), 44100);
    EXPECT_EQ(boxes.Shown()[2].prompt, "Invalid SampleRate Specified, must be 8000, 11025, "
                                       "16000, 22050, 32000, 44100, 48000");
    play.SetNumberChannels(3);
    EXPECT_EQ(boxes.Shown()[3].prompt, "Invalid NumberChannels Specified : \nMax = 2");
    play.SetWaveDeviceNumber(3);
    EXPECT_EQ(boxes.Shown()[4].prompt, "Invalid WaveDeviceNumber Specified : 3\nMax = 2");
    play.SetWaveDeviceNumber(2);
    EXPECT_EQ(play.WaveDeviceNumber(), 2);
    play.SetWaveBufferLengthms(0);
    EXPECT_EQ(boxes.Shown()[5].prompt, "Invalid Buffer Length Specified");
    EXPECT_EQ(play.WaveBufferLengthms(), 250);

    play.SetReportErrors(false);
    play.SetSampleRate(1);
    EXPECT_EQ(boxes.Count(), 6u) << "no box without ReportErrors";
}

TEST_F(PlayEngine, DirectXModeIsKeptButRefusedWhileRunning) {
    play.SetDirectXMode(true);
    EXPECT_TRUE(play.DirectXMode());
    play.SetDirectXMode(false);
    ASSERT_EQ(play.StartFlennStream(), 0);
    play.SetDirectXMode(true);
    EXPECT_FALSE(play.DirectXMode());
    EXPECT_EQ(play.NumberFreeBuffers(), 4) << "plays on the wave-out path";
}

TEST_F(PlayEngine, OpenFailureReportsAndSetsProblem) {
    TestSupport::UseWaveDevices("file:/nowhere"); // no output devices at all
    FlennStreamPlay other;
    other.InitProperties();
    std::vector<int32_t> codes;
    QObject::connect(&other, &FlennStreamPlay::PlayerError, [&](int32_t c) { codes.push_back(c); });
    EXPECT_EQ(other.StartFlennStream(), -1);
    EXPECT_EQ(other.Status(), StatusProblem);
    EXPECT_EQ(codes, std::vector<int32_t>{0});
    ASSERT_GE(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown().back().title, "FlennStream - FlennPlay Open");
    EXPECT_TRUE(other.LoadAudioEngine());
    EXPECT_TRUE(other.AudioEngineLoaded());
}

TEST_F(PlayEngine, LateBoundCallsReachTheMembers) {
    using namespace Com;
    std::unique_ptr<Dispatchable> object = CreateObject("FlennStreamTwo.FlennStreamPlay");
    ASSERT_TRUE(object);
    EXPECT_STREQ(object->Class().classId, "{DB32A521-8798-4674-A47F-0619CBD40D98}");
    Variant result;
    std::vector<Variant> none, rate{int32_t{22050}};
    EXPECT_EQ(object->Invoke(0x680301c9, DISPATCH_PROPERTYPUT, rate, result), S_OK);
    EXPECT_EQ(object->Invoke(0x680301c9, DISPATCH_PROPERTYGET, none, result), S_OK);
    EXPECT_EQ(ToLong(result), 22050);
    EXPECT_EQ(object->Invoke(0x600301cf, DISPATCH_METHOD, none, result), S_OK);
    EXPECT_EQ(ToLong(result), 0);
    std::vector<int16_t> block(100);
    std::vector<Variant> add{Address{reinterpret_cast<intptr_t>(block.data())}, int32_t{200},
                             int32_t{-2}};
    EXPECT_EQ(object->Invoke(0x600301ef, DISPATCH_METHOD, add, result), S_OK);
    EXPECT_EQ(ToLong(result), 0);
    std::vector<Variant> details{int16_t{1}, Address{}, int32_t{0}, int32_t{0}};
    EXPECT_EQ(object->Invoke(0x600301d9, DISPATCH_METHOD, details, result), S_OK);
    EXPECT_EQ(ToLong(details[2]), 200);
    EXPECT_TRUE(*ToLong(details[3]) & WHDR_INQUEUE);
    details[0] = int16_t{9};
    ExceptionInfo exception;
    EXPECT_EQ(object->Invoke(0x600301d9, DISPATCH_METHOD, details, result, &exception),
              DISP_E_EXCEPTION);
    EXPECT_EQ(exception.number, kErrSubscriptOutOfRange);
    EXPECT_EQ(object->Invoke(0x680301c7, DISPATCH_PROPERTYPUT, rate, result), DISP_E_MEMBERNOTFOUND)
        << "MaxWaveBufferSize is read-only";
    EXPECT_EQ(object->Invoke(0x12345, DISPATCH_METHOD, none, result), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(FlennStreamPlay::Info().members.size(), 39u);
}

TEST_F(PlayEngine, PersistedPropertiesRoundTrip) {
    play.SetSampleRate(48000);
    play.SetNumberWaveBuffers(8);
    play.SetSampleAudioLevel(false);
    play.SetDirectXMode(true);
    Com::PropertyBag bag;
    play.WriteProperties(bag);
    EXPECT_FALSE(bag.Contains("NumberChannels")) << "defaults are not stored";
    FlennStreamPlay copy;
    copy.ReadProperties(bag);
    EXPECT_EQ(copy.SampleRate(), 48000);
    EXPECT_EQ(copy.NumberWaveBuffers(), 8);
    EXPECT_FALSE(copy.SampleAudioLevel());
    EXPECT_TRUE(copy.DirectXMode());
    EXPECT_TRUE(copy.ReportErrors());

    Com::PropertyBag bad;
    bad.WriteProperty("SampleRate", std::string("fast"));
    bad.WriteProperty("NumberWaveBuffers", int32_t{500});
    FlennStreamPlay fresh;
    fresh.ReadProperties(bad);
    EXPECT_EQ(fresh.SampleRate(), 0) << "a failing read is skipped";
    EXPECT_EQ(fresh.NumberWaveBuffers(), 0) << "refused by the setter, silently while loading";
}

} // namespace

namespace {

// On the clocked null device a real device thread plays; the engine's events still come
// from the event loop of the engine's own thread.
TEST(PlayEngineOnTheNullDevice, EventsArriveOnTheEnginesThread) {
    TestSupport::UseWaveDevices("null");
    TestSupport::NullDeviceClock clock;
    TestSupport::ScriptedBoxes boxes;
    FlennStreamPlay play;
    play.InitProperties();
    play.SetWaveBufferLengthms(50);
    std::vector<int16_t> block = TestSupport::Tone(2205, 2);
    int returned = 0;
    bool elsewhere = false;
    QObject::connect(
        &play, &FlennStreamPlay::BufferAvailable, [&](int32_t user, intptr_t, int32_t) {
            elsewhere |= QThread::currentThread() != QCoreApplication::instance()->thread();
            if (user == 5) ++returned;
        });
    ASSERT_EQ(play.StartFlennStream(), 0);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(play.AddBufferEx(reinterpret_cast<intptr_t>(block.data()), 2205 * 4, 5), 0);
    play.StartPlayback();
    clock.Advance(200);
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return returned == 4; }, 3000));
    EXPECT_FALSE(elsewhere);
    EXPECT_EQ(play.MilliSecondsPlayed(), 200);
    EXPECT_TRUE(boxes.Shown().empty());
}

} // namespace
