// Initial, stored and refused properties of the file player.
#include "support/ScratchRegistry.h"
#include "support/TestSupport.h"
#include "support/WaveTestSupport.h"

#include "player_controls/FlennPlayer.h"

#include <gtest/gtest.h>

using Platform::Com::PropertyBag;

namespace {

struct PlayerProperties : ::testing::Test {
    void SetUp() override { TestSupport::UseWaveDevices("capture,null"); }
    TestSupport::ScratchRegistry registry;
    TestSupport::ScriptedBoxes boxes;
};

TEST_F(PlayerProperties, NewInstanceAndStoredBagDefaults) {
    FlennPlayer fresh;
    fresh.InitProperties();
    EXPECT_TRUE(fresh.RaiseAudioPositionChanged());
    EXPECT_EQ(fresh.MaxLoopCount(), 1000);
    EXPECT_EQ(fresh.WaveBufferLengthms(), 100);
    EXPECT_EQ(fresh.NumberWavePlayBuffers(), 10);
    EXPECT_EQ(fresh.NumberCacheSeconds(), 4);
    EXPECT_EQ(fresh.NumberChannels(), 2);
    EXPECT_EQ(fresh.SampleRate(), 44100);
    EXPECT_EQ(fresh.RaiseAudioLevelEvents(), 1);
    EXPECT_TRUE(fresh.ReportErrors());
    EXPECT_EQ(fresh.FadeMode(), 2) << "registry default";
    EXPECT_TRUE(fresh.FlushBuffers());
    EXPECT_EQ(fresh.Engine().FlushBufferLengthms(), 1);

    PropertyBag bag;
    fresh.WriteProperties(bag);
    EXPECT_EQ(bag.Size(), 1u) << "only RaiseAudioPositionChanged differs from its stored default";
    FlennPlayer empty;
    empty.ReadProperties(PropertyBag());
    EXPECT_FALSE(empty.RaiseAudioPositionChanged()) << "a bag without the key";
    FlennPlayer stored;
    stored.ReadProperties(bag);
    EXPECT_TRUE(stored.RaiseAudioPositionChanged());

    int32_t rate = 22050, channels = 1;
    int16_t cache = 7;
    fresh.SetSampleRate(rate);
    fresh.SetNumberChannels(channels);
    fresh.SetNumberCacheSeconds(cache);
    fresh.SetMaxLoopCount(5);
    bag.Clear();
    fresh.WriteProperties(bag);
    FlennPlayer again;
    again.ReadProperties(bag);
    EXPECT_EQ(again.SampleRate(), 22050);
    EXPECT_EQ(again.Engine().SampleRate(), 22050);
    EXPECT_EQ(again.NumberChannels(), 1);
    EXPECT_EQ(again.NumberCacheSeconds(), 7);
    EXPECT_EQ(again.MaxLoopCount(), 5);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(PlayerProperties, RejectedSettersKeepTheOldValueAndSayWhy) {
    FlennPlayer player;
    player.InitProperties();
    int32_t bad = 32000;
    player.SetSampleRate(bad);
    int32_t three = 3;
    player.SetNumberChannels(three);
    int32_t zero = 0;
    player.SetWaveBufferLengthms(zero);
    player.SetNumberWavePlayBuffers(zero);
    EXPECT_EQ(player.SampleRate(), 44100);
    EXPECT_EQ(player.NumberChannels(), 2);
    EXPECT_EQ(player.WaveBufferLengthms(), 100);
    EXPECT_EQ(player.NumberWavePlayBuffers(), 10);
    ASSERT_EQ(boxes.Count(), 4u);
    EXPECT_EQ(boxes.Shown()[0].prompt,
              "Invalid SampleRate Specified, must be 11025, 22050, 44100, 48000");
    EXPECT_EQ(boxes.Shown()[1].prompt, "Invalid NumberChannels Specified : \nMax = 2");
    EXPECT_EQ(boxes.Shown()[2].prompt, "Invalid Buffer Length Specified");
    EXPECT_EQ(boxes.Shown()[3].prompt, "Invalid Number of Wave Buffers Specified ");
    int16_t cache = -5;
    player.SetNumberCacheSeconds(cache);
    EXPECT_EQ(cache, 0) << "the caller's variable is mended too";
    EXPECT_EQ(player.NumberCacheSeconds(), 0);
}

} // namespace
