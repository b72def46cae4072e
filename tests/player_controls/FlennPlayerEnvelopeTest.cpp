// Volume envelopes, fade curves and loops of the file player.
#include "support/ScratchRegistry.h"
#include "support/TestSupport.h"
#include "support/WavFixtures.h"
#include "support/WaveTestSupport.h"

#include "platform/WaveCapture.h"
#include "player_controls/FlennPlayer.h"

#include <gtest/gtest.h>

namespace WaveCapture = Platform::WaveCapture;
using namespace WavFixtures;

namespace {

class EnvelopeTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestSupport::UseWaveDevices("capture,null");
        player.InitProperties();
        QObject::connect(&player, &FlennPlayer::LoopRestart, [this] { ++restarts; });
        QObject::connect(&player, &FlennPlayer::LoopCompleted, [this] { ++completions; });
        QObject::connect(&player, &FlennPlayer::AudioVolumeChanged,
                         [this](int16_t v) { volumes.push_back(v); });
    }
    std::string Open(const std::vector<int16_t>& samples, uint16_t channels = 2) {
        std::string path = dir.File("f.wav");
        Write(path, PcmWav(channels, 44100, samples));
        EXPECT_EQ(player.OpenAudio(path), 0);
        return path;
    }
    void Run(uint32_t milliseconds, uint32_t step = 10) {
        for (uint32_t t = 0; t < milliseconds; t += step) {
            WaveCapture::AdvanceMilliseconds(step);
            TestSupport::Pump();
            player.PositionTick();
        }
    }
    std::vector<int16_t> Played() {
        std::vector<WaveCapture::StreamRecord> streams = WaveCapture::Streams();
        return streams.empty() ? std::vector<int16_t>{} : streams.back().samples;
    }
    bool Add(int16_t ref, float start, float duration, float from, float to, float notify = -1,
             bool remove = false, bool permanent = false) {
        return player.AddVolumeChangeEvent(ref, start, duration, from, to, notify, remove,
                                           permanent);
    }

    TestSupport::ScratchRegistry registry;
    TestSupport::ScratchDir dir;
    TestSupport::ScriptedBoxes boxes;
    int restarts = 0, completions = 0;
    std::vector<int16_t> volumes;
    FlennPlayer player;
};

TEST_F(EnvelopeTest, FadeCurvesMapVolumeToTheEngine) {
    struct Case {
        int32_t mode;
        float volume, engine;
    } cases[] = {{efmSlowStart, 50, 84.95f}, {efmFastStart, 50, 14.62f}, {efmSlowStart, 10, 50},
                 {efmFastStart, 10, 2.05f},  {efmNormal, 37, 37},        {efmFastStart, 0.6f, 0}};
    for (const Case& c : cases) {
        player.SetFadeMode(c.mode);
        player.SetPlayVolume(c.volume);
        EXPECT_NEAR(player.Engine().PlayVolume(), c.engine, 0.01f) << c.mode << " " << c.volume;
        if (c.engine > 0) {
            EXPECT_NEAR(player.PlayVolume(), c.volume, 0.01f);
        }
    }
    EXPECT_EQ(volumes.back(), 1) << "the requested volume, rounded";
    player.SetPlayVolume(2.5f);
    EXPECT_EQ(volumes.back(), 2) << "halves to even";
    player.SetPlayVolume(250);
    EXPECT_EQ(volumes.back(), 100);
}

TEST_F(EnvelopeTest, TableOrderSlotChoiceAndLimits) {
    Open(TestSupport::Tone(44100 * 20, 1), 1);
    player.SetFadeMode(efmNormal);
    ASSERT_TRUE(Add(1, 10, 2, 100, 0));
    ASSERT_TRUE(Add(2, 5, 10, 100, 50, 150));
    EXPECT_EQ(player.FirstVolumeChangeEventTime(), 5);
    EXPECT_EQ(player.LastVolumeChangeEventTime(), 15);
    VCHEV e;
    int16_t two = 2;
    ASSERT_TRUE(player.GetVolumeChangeEvent(two, e));
    EXPECT_EQ(e.NotifyVolume, 100) << "notify volume capped";
    EXPECT_FALSE(Add(3, 25, 1, 0, 100)) << "after AudioEnd";
    player.SetAudioStart(1);
    ASSERT_TRUE(Add(4, 0.2f, 1, 0, 100));
    int16_t four = 4;
    ASSERT_TRUE(player.GetVolumeChangeEvent(four, e));
    EXPECT_EQ(e.StartTime, 1) << "raised to AudioStart";
    player.SetAudioStart(0);
    EXPECT_TRUE(player.RemoveVolumeChangeEvent(four));
    EXPECT_FALSE(player.RemoveVolumeChangeEvent(four));

    // At t = 11 the entry ending last (B) decides: its ramp gives 70.
    ASSERT_TRUE(player.SeekTime(11, true));
    EXPECT_NEAR(player.PlayVolume(), 70, 0.01f);

    // A reference stands in two slots when a free slot comes first; removal frees both.
    int16_t one = 1;
    player.RemoveVolumeChangeEvent(one);
    ASSERT_TRUE(Add(2, 1, 1, 0, 10));
    EXPECT_EQ(player.NumberVolumeChangeEvents(), 1) << "the same reference is replaced";
    EXPECT_TRUE(player.RemoveVolumeChangeEvent(two));
    EXPECT_EQ(player.NumberVolumeChangeEvents(), 0);
    EXPECT_EQ(player.FirstVolumeChangeEventTime(), -1);
    for (int16_t r = 0; r < 10; ++r)
        ASSERT_TRUE(Add(r, 1, 1, 0, 10));
    EXPECT_FALSE(Add(11, 1, 1, 0, 10)) << "all slots taken";
}

TEST_F(EnvelopeTest, FadeHeardOnTheCaptureFollowsTheRamp) {
    std::vector<int16_t> dc(44100, 16000);
    Open(dc, 1);
    player.SetFadeMode(efmNormal);
    std::vector<std::string> order;
    QObject::connect(&player, &FlennPlayer::VolumeChangeStartNotify,
                     [&](int16_t) { order.push_back("start"); });
    QObject::connect(&player, &FlennPlayer::VolumeChangeNotify,
                     [&](int16_t) { order.push_back("notify"); });
    QObject::connect(&player, &FlennPlayer::VolumeChangeEndNotify,
                     [&](int16_t) { order.push_back("end"); });
    ASSERT_TRUE(Add(7, 0.2f, 0.5f, 100, 0, 50));
    player.PlayAudio();
    Run(1300);
    EXPECT_EQ(order, (std::vector<std::string>{"start", "notify", "end"}));
    std::vector<int16_t> played = Played();
    ASSERT_GT(played.size(), 88000u);
    // Stereo capture of a mono file; check the left channel through the fade.
    const auto at = [&](double s) { return played[static_cast<size_t>(s * 44100) * 2]; };
    EXPECT_NEAR(at(0.1), 16000, 200);
    EXPECT_NEAR(at(0.45), 8000, 16000 * 0.12) << "half way down";
    EXPECT_LT(at(0.69), 16000 * 0.05) << "faded out";
    EXPECT_NEAR(at(0.9), 16000, 200) << "past the last change the stored volume is back";
    for (double s = 0.25; s < 0.7; s += 0.05)
        EXPECT_LE(at(s + 0.05), at(s)) << "never rises during the fade";
}

TEST_F(EnvelopeTest, ChangesToACuedPlayerAreSeenBeforePlay) {
    // As while its position timer ran on: a fade-in sets the volume where it stands, and an
    // intro moved onto the position is reached there.
    Open(std::vector<int16_t>(4410, 16000), 1);
    player.CueAudio();
    player.PositionTick(); // a stopped player's timer stops after this tick
    int intros = 0;
    QObject::connect(&player, &FlennPlayer::IntroStartReached, [&] { ++intros; });
    ASSERT_TRUE(Add(3, 0, 0.5f, 0, 100));
    player.SetIntroStart(0);
    EXPECT_TRUE(TestSupport::PumpUntil(
        [&] { return intros == 1 && !volumes.empty() && volumes.back() == 0; }, 3000));
    EXPECT_EQ(player.AudioPart(), eapDURINGINTRO);
    EXPECT_EQ(player.Status(), epsCued);
}

TEST_F(EnvelopeTest, LoopWithMaxCountTwoPlaysTheSectionThreeTimes) {
    std::vector<int16_t> ramp(44100);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<int16_t>(i % 30000);
    Open(ramp, 1);
    player.SetLoopEnd(0.6f);
    player.SetLoopStart(0.2f);
    player.SetMaxLoopCount(2);
    player.SetUseLoop(true);
    ASSERT_TRUE(player.UseLoop());
    player.PlayAudio();
    Run(2600);
    EXPECT_EQ(restarts, 2);
    EXPECT_EQ(completions, 1);
    std::vector<int16_t> expected(ramp.begin(), ramp.begin() + 26460);
    for (int pass = 0; pass < 2; ++pass)
        expected.insert(expected.end(), ramp.begin() + 8820, ramp.begin() + 26460);
    expected.insert(expected.end(), ramp.begin() + 26460, ramp.end());
    std::vector<int16_t> played = Played(), left;
    for (size_t i = 0; i < played.size(); i += 2)
        left.push_back(played[i]);
    ASSERT_EQ(left.size(), expected.size());
    auto diff = std::mismatch(left.begin(), left.end(), expected.begin());
    EXPECT_TRUE(diff.first == left.end())
        << "sample-exact joins; first difference at " << (diff.first - left.begin());
}

TEST_F(EnvelopeTest, ExitLoopFromPauseJumpsAndPlays) {
    Open(TestSupport::Tone(44100, 2));
    player.SetLoopEnd(0.8f);
    player.SetLoopStart(0.1f);
    player.SetUseLoop(true);
    player.PlayAudio();
    Run(300);
    player.PauseAudio();
    TestSupport::Pump();
    ASSERT_TRUE(player.InLoop());
    player.ExitLoop();
    EXPECT_EQ(completions, 1);
    EXPECT_FALSE(player.UseLoop());
    Run(100);
    EXPECT_EQ(player.Status(), epsPlaying);
    EXPECT_GT(player.TotalSecondsPlayed(), 0.8f);
}

TEST_F(EnvelopeTest, LoopPointsClampRoundAndAreRefusedWhileClosed) {
    player.SetLoopStart(1);
    player.SetUseLoop(true);
    EXPECT_EQ(player.LoopStart(), 0);
    EXPECT_EQ(player.LoopEnd(), 0);
    EXPECT_FALSE(player.UseLoop());
    Open(TestSupport::Tone(44100 * 10, 1), 1);
    player.SetLoopStart(1.00001f);
    player.SetLoopEnd(2.99999f);
    EXPECT_NEAR(player.LoopStart(), 1.0f, 1e-6f);
    EXPECT_NEAR(player.LoopEnd(), 132299.0f / 44100, 1e-6f);
    player.SetLoopStart(5);
    EXPECT_NEAR(player.LoopEnd(), 5, 1e-6f) << "end follows a later start";
    player.SetLoopEnd(0.5f);
    EXPECT_NEAR(player.LoopStart(), 0.5f, 1e-4f) << "start follows an earlier end";
    player.SetLoopEnd(0);
    player.SetUseLoop(true);
    EXPECT_FALSE(player.UseLoop()) << "a loop end at AudioStart";
    player.SetMaxLoopCount(-4);
    EXPECT_EQ(player.MaxLoopCount(), 0);
}

} // namespace
