// Breaks played end to end on real cart players on the capture device: what came out and
// where, the words sent, the reconciliation lines and the hardware lines.
#include "support/BreakRig.h"

#include <algorithm>
#include <gtest/gtest.h>

using BreakRig::Advert;
using BreakRig::Rig;
using BreakRig::Sound;

namespace {

constexpr int64_t kStepFrames = Rig::kRate * Rig::kStepMs / 1000;
constexpr int64_t kMsFrames = (Rig::kRate + 999) / 1000;

// 10:00 three adverts, 11:00 one advert. Segue points lie between position steps: the players'
// event timers find them within a millisecond.
class BreakPlayersEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.Open());
        for (const Advert& a : {Advert{801, 6.0f, 5.505f, "Advert One", "REF801", 1000},
                                Advert{802, 5.0f, 4.255f, "Advert Two", "REF802", 2000},
                                Advert{803, 7.0f, 6.305f, "Advert Three", "REF803", 4000},
                                Advert{901, 4.0f, 3.505f, "Later", "REF901", 8000}})
            ASSERT_TRUE(rig.AddAdvert(a));
        rig.WriteLog({{36000, {801, 802, 803}}, {39600, {901}}});
        rig.CueBreak(36000);
        ASSERT_EQ(rig.Engine().Break().AdvertCount, 3);
        rig.SetLineState(Rig::kSourceLine, -1); // the source is on before the break
    }

    static std::vector<int32_t> Carts(const std::vector<Sound>& sounds) {
        std::vector<int32_t> carts;
        for (const Sound& s : sounds)
            carts.push_back(s.cart);
        return carts;
    }
    size_t Count(const std::string& prefix) const {
        const std::vector<std::string>& words = rig.sender.vantor;
        return static_cast<size_t>(
            std::count_if(words.begin(), words.end(),
                          [&](const std::string& w) { return w.rfind(prefix, 0) == 0; }));
    }
    bool AnyPlaying() {
        return rig.Player(1).Status == CartPlayers::Playing ||
               rig.Player(2).Status == CartPlayers::Playing;
    }
    // Virtual milliseconds until the line has the state (at most 5 s).
    uint32_t RunUntilLine(int line, int16_t state) {
        uint32_t ms = 0;
        for (; rig.LineState(line) != state && ms < 5000; ms += Rig::kStepMs)
            rig.Run(Rig::kStepMs);
        return ms;
    }

    TestSupport::ScriptedBoxes boxes;
    Rig rig;
};

} // namespace

TEST_F(BreakPlayersEndToEnd, ThreeAdvertsPlayBackToBackWithTheirWordsLinesAndOutputs) {
    rig.PlayBreak();
    EXPECT_EQ(rig.sender.sent, std::vector<std::string>{"AD_PLAY"});
    EXPECT_EQ(rig.LineState(Rig::kSourceLine), 0);
    rig.Run(8000); // into the second advert
    EXPECT_EQ(rig.Engine().Break().CurrentAdvert, 2);
    EXPECT_EQ(rig.LineState(Rig::kSourceLine), 0) << "the source stays off during the break";

    ASSERT_TRUE(rig.RunUntil([&] { return rig.Completed(); }, 20000));
    EXPECT_FALSE(Breaks::State().BreakRunning);
    EXPECT_EQ(rig.LineState(Rig::kSourceLine), -1);
    EXPECT_EQ(rig.Engine().Break().Advert(1).CartNumber, 901); // the next break is cued
    EXPECT_EQ(rig.LineState(Rig::kRunEndedLine), 0);

    // The end-of-break output: on after the wait, off after the signal length; the heartbeat
    // output (same action, other data) is left alone.
    EXPECT_EQ(RunUntilLine(Rig::kRunEndedLine, -1), 100u) << "the wait before the signal";
    EXPECT_EQ(rig.LineState(Rig::kRunEndedLine), -1);
    EXPECT_EQ(RunUntilLine(Rig::kRunEndedLine, 0), 200u) << "the signal's length";
    EXPECT_EQ(rig.LineState(Rig::kRunEndedLine), 0);
    EXPECT_EQ(rig.LineState(Rig::kHeartbeatLine), 0);

    // The last advert is not stopped at completion: it plays to its end.
    ASSERT_TRUE(rig.RunUntil([&] { return !AnyPlaying(); }, 5000));
    rig.Run(500);

    std::vector<Sound> sounds = rig.Sounds();
    ASSERT_EQ(Carts(sounds), (std::vector<int32_t>{801, 802, 803}));
    EXPECT_GE(sounds[0].first, rig.PlayFrame());
    EXPECT_LE(sounds[0].first - rig.PlayFrame(), kStepFrames) << "the first advert starts at once";
    // Every advert whole.
    EXPECT_EQ(sounds[0].end - sounds[0].first, 6 * Rig::kRate);
    EXPECT_EQ(sounds[1].end - sounds[1].first, 5 * Rig::kRate);
    EXPECT_EQ(sounds[2].end - sounds[2].first, 7 * Rig::kRate);

    // Each next advert starts at the previous one's segue point (never before it, within a
    // millisecond after it) while the previous one plays out its end over it.
    const std::vector<int16_t> timeline = Platform::WaveCapture::Timeline();
    const auto left = [&](int64_t frame) { return timeline.at(static_cast<size_t>(frame) * 2); };
    for (const BreakRig::Join& join : rig.Joins()) {
        SCOPED_TRACE(join.next);
        EXPECT_GE(join.actual, join.expected);
        EXPECT_LE(join.actual - join.expected, kMsFrames);
    }
    EXPECT_EQ(left(sounds[1].first - 1), 1000);
    EXPECT_EQ(left(sounds[1].first), 1000 + 2000);
    EXPECT_EQ(left(sounds[0].end), 2000);
    EXPECT_EQ(left(sounds[2].first - 1), 2000);
    EXPECT_EQ(left(sounds[2].first), 2000 + 4000);
    EXPECT_EQ(left(sounds[2].end - 1), 4000);

    // One near-end word when under 10 s remain: in the second advert, 6.305 s of the third
    // advert's segue length plus the second's seconds to its segue point, at the first tick
    // after that fell below 10.
    ASSERT_EQ(rig.sender.vantor.size(), 2u);
    ASSERT_EQ(Count("AD_BREAK_NEAREND "), 1u);
    const float nearEnd = std::stof(rig.sender.vantor[0].substr(17));
    EXPECT_LT(nearEnd, 10.0f);
    EXPECT_GE(nearEnd, 10.0f - Rig::kTickMs / 1000.0f - 0.001f);
    EXPECT_EQ(rig.sender.vantor[1], "AD_BREAK_COMPLETED");
    EXPECT_EQ(rig.sender.sent, std::vector<std::string>{"AD_PLAY"});
    EXPECT_EQ(rig.sender.zoz.size(), 3u);

    // Start times of day on the program clock (09:00:00 at the play), cut to the whole second
    // (each next advert starts at the previous one's segue point, a fraction before the next
    // second), the whole seconds played.
    EXPECT_EQ(rig.RecLines(),
              (std::vector<std::string>{
                  "09:00:00|NE  |     801|Advert One                    |   6|REF801",
                  "09:00:05|NE  |     802|Advert Two                    |   5|REF802",
                  "09:00:09|NE  |     803|Advert Three                  |   7|REF803"}));
    EXPECT_EQ(rig.ErrorFileText(), "");
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST(BreakPlayersOnSteps, SeguePointsOnPositionStepsSegueAtOnce) {
    // Segue points on whole steps and ticks: each is reached exactly, and the break's
    // finished test agrees with the extro event there.
    TestSupport::ScriptedBoxes boxes;
    Rig rig;
    ASSERT_TRUE(rig.Open());
    for (const Advert& a : {Advert{811, 3.0f, 2.5f, "On A Tick", "REF811", 100},
                            Advert{812, 3.0f, 2.02f, "On A Step", "REF812", 200},
                            Advert{813, 2.0f, 1.5f, "Last", "REF813", 400}})
        ASSERT_TRUE(rig.AddAdvert(a));
    rig.WriteLog({{36000, {811, 812, 813}}});
    rig.CueBreak(36000);
    ASSERT_EQ(rig.Engine().Break().AdvertCount, 3);
    rig.PlayBreak();
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Completed(); }, 10000));
    rig.Run(3000);
    std::vector<int32_t> carts;
    for (const Sound& sound : rig.Sounds())
        carts.push_back(sound.cart);
    ASSERT_EQ(carts, (std::vector<int32_t>{811, 812, 813}));
    for (const BreakRig::Join& join : rig.Joins())
        EXPECT_EQ(join.actual, join.expected) << join.next;
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(BreakPlayersEndToEnd, ADumpInTheMiddleOfAnAdvertStopsTheBreaksPlayers) {
    rig.PlayBreak();
    ASSERT_TRUE(rig.RunUntil(
        [&] {
            return rig.Engine().Break().CuedPlayer > 0 && rig.Engine().Break().CurrentAdvert == 2;
        },
        10000));
    rig.Run(2300); // the first advert has ended, the third is cued; 2.8 s of the second
    ASSERT_GT(rig.Engine().Break().CuedPlayer, 0);
    const int64_t dumpFrame = static_cast<int64_t>(Platform::WaveCapture::NowFrames());
    rig.Engine().DumpBreak(true);

    EXPECT_FALSE(Breaks::State().BreakRunning);
    EXPECT_FALSE(AnyPlaying());
    for (int16_t p = 1; p <= 2; ++p) // only the next break's first advert is loaded
        EXPECT_TRUE(rig.Player(p).CartNumber == 0 || rig.Player(p).CartNumber == 901);
    EXPECT_EQ(rig.sender.sent, (std::vector<std::string>{"AD_PLAY", "AD_DUMP", "AD_CUE 39600"}));
    EXPECT_EQ(rig.LineState(Rig::kSourceLine), -1);
    EXPECT_FALSE(rig.Engine().EndPulseWaiting());

    rig.Run(8000);
    std::vector<Sound> sounds = rig.Sounds();
    ASSERT_EQ(Carts(sounds), (std::vector<int32_t>{801, 802}));
    EXPECT_EQ(sounds[0].end - sounds[0].first, 6 * Rig::kRate);
    EXPECT_EQ(sounds[1].end, dumpFrame) << "the advert stops where it was dumped";
    EXPECT_EQ(Count("AD_BREAK_COMPLETED"), 0u);
    // What played is reconciled once each; the cued advert never played and writes nothing.
    std::vector<std::string> rec = rig.RecLines();
    ASSERT_EQ(rec.size(), 2u);
    EXPECT_EQ(rec[0], "09:00:00|NE  |     801|Advert One                    |   6|REF801");
    EXPECT_EQ(rec[1].substr(0, 59), "09:00:05|NE  |     802|Advert Two                    |   3|");
    EXPECT_EQ(rec[1].substr(59), "REF802");
    // No end-of-break output after a dump.
    EXPECT_FALSE(rig.RunUntil([&] { return rig.LineState(Rig::kRunEndedLine) != 0; }, 400));
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(BreakPlayersEndToEnd, AMissingAudioFileIsPassedOverAtTheSeguePoint) {
    ASSERT_TRUE(std::filesystem::remove(rig.AudioFile(802)));
    rig.PlayBreak();
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Completed(); }, 20000));
    ASSERT_TRUE(rig.RunUntil([&] { return !AnyPlaying(); }, 5000));
    // The second advert's cue failed while the first played; at the first's segue point the
    // break went on with the third, as a join.
    std::vector<Sound> sounds = rig.Sounds();
    ASSERT_EQ(Carts(sounds), (std::vector<int32_t>{801, 803}));
    const BreakRig::Join join = rig.Joins().at(0);
    EXPECT_GE(join.actual, join.expected);
    EXPECT_LE(join.actual - join.expected, Rig::kRate * (Rig::kTickMs + Rig::kStepMs) / 1000);
    EXPECT_EQ(rig.RecLines(),
              (std::vector<std::string>{
                  "09:00:00|NE  |     801|Advert One                    |   6|REF801",
                  "09:00:05|NE  |     803|Advert Three                  |   7|REF803"}));
    const std::string errors = rig.ErrorFileText();
    EXPECT_EQ(TestSupport::Occurrences(errors, "\n"), 1u) << errors;
    EXPECT_NE(errors.find("[Code:ADC1] Cart 802 (Advert Two) passed over in the 10:00:00 advert "
                          "break because its audio could not be played"),
              std::string::npos)
        << errors;
    EXPECT_EQ(Count("AD_BREAK_COMPLETED"), 1u);
    EXPECT_EQ(rig.LineState(Rig::kSourceLine), -1);
    EXPECT_EQ(rig.Engine().Break().Advert(1).CartNumber, 901);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(BreakPlayersEndToEnd, AudioThatComesBackIsCuedOnTheNextTickAndTheBreakGoesOn) {
    const std::string audio = TestSupport::ReadBytes(rig.AudioFile(802));
    ASSERT_TRUE(std::filesystem::remove(rig.AudioFile(802)));
    rig.PlayBreak();
    rig.Run(1500);
    ASSERT_EQ(rig.Engine().Break().CurrentAdvert, 1);
    // Back while the first advert still plays: cued at the next tick, joined at its segue point.
    TestSupport::WriteBytes(rig.AudioFile(802), audio);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Completed(); }, 20000));
    ASSERT_TRUE(rig.RunUntil([&] { return !AnyPlaying(); }, 5000));

    std::vector<Sound> sounds = rig.Sounds();
    ASSERT_EQ(Carts(sounds), (std::vector<int32_t>{801, 802, 803}));
    for (const BreakRig::Join& join : rig.Joins()) {
        EXPECT_GE(join.actual, join.expected);
        EXPECT_LE(join.actual - join.expected, kMsFrames);
    }
    EXPECT_EQ(rig.RecLines().size(), 3u);
    EXPECT_EQ(rig.ErrorFileText(), "");
    EXPECT_EQ(Count("AD_BREAK_COMPLETED"), 1u);
}
