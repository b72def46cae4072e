// Loops set up on cue and left by a second play, and the fade-out that ejects its player.
#include "PlayersFixture.h"

using namespace Audio_Player_FN;
using CartsTest::Notice;
using CartsTest::PlayersTest;

namespace {

using Notices = std::vector<Notice>;

class LoopFadeTest : public PlayersTest {
protected:
    void SetLoop(int32_t cart, float start, float end) {
        Vantor_Cart_Routines::CartRecord rec;
        ASSERT_EQ(Vantor_Cart_Routines::ReadCart(rec, cart), 0);
        rec.LoopStart = start;
        rec.LoopEnd = end;
        ASSERT_EQ(Vantor_Cart_Routines::WriteCart(rec, cart, true, false), 0);
    }
    // Milliseconds until the player reports the end of its audio; -1 when it does not.
    int MillisecondsToEnd(int limit) {
        listener_.notices.clear();
        for (int t = 0; t < limit; t += 10) {
            Run(10);
            for (const Notice& n : listener_.notices)
                if (std::get<0>(n) == 122) return t + 10;
        }
        return -1;
    }
    FlennPlayer& Control(int16_t n) { return *Player(n).Player; }
};

constexpr int16_t kLoop = static_cast<int16_t>(0x8000);

TEST_F(LoopFadeTest, CueSetsTheLoopWithinItsLimits) {
    MakeCart(1, 7.0, "Loop", 440, kLoop | 3);
    SetLoop(1, 2.0f, 9.0f);
    ASSERT_TRUE(CuePlayer(1, 1, volume_));
    EXPECT_TRUE(Control(1).UseLoop());
    EXPECT_NEAR(Control(1).LoopStart(), 4.5f, 0.001f);
    EXPECT_NEAR(Control(1).LoopEnd(), 7.0f, 0.001f) << "at most the audio end";
    EXPECT_EQ(Control(1).MaxLoopCount(), 3);

    MakeCart(2, 7.0, "Endless", 440, kLoop | 0x2000 | 3);
    SetLoop(2, 5.0f, 6.0f);
    ASSERT_TRUE(CuePlayer(2, 2, volume_));
    EXPECT_EQ(Control(2).MaxLoopCount(), 1000);

    for (auto [start, end] : {std::pair{-1.0f, 6.0f}, std::pair{5.0f, 0.0f}}) {
        MakeCart(3, 7.0, "NoLoop", 440, kLoop | 3);
        SetLoop(3, start, end);
        ASSERT_TRUE(CuePlayer(1, 3, volume_));
        EXPECT_FALSE(Control(1).UseLoop()) << start << " " << end;
        EjectPlayer(1);
    }
}

TEST_F(LoopFadeTest, SecondPlayBeforeTheLoopTurnsItOff) {
    MakeCart(4, 7.0, "Loop", 440, kLoop | 0x2000);
    SetLoop(4, 5.0f, 6.0f);
    ASSERT_TRUE(PlayPlayer(1, 4, volume_));
    Run(1000);
    listener_.notices.clear();
    ASSERT_TRUE(PlayPlayer(1, 4, volume_));
    EXPECT_EQ(listener_.Main(), (Notices{{31, 1, 4}}));
    EXPECT_FALSE(Control(1).UseLoop());
}

// The notices the operations send (not those the control raises while it moves).
std::vector<int32_t> OperationCodes(const std::vector<Notice>& notices) {
    std::vector<int32_t> codes;
    for (const Notice& n : notices)
        if (std::get<0>(n) < 96) codes.push_back(std::get<0>(n));
    return codes;
}

TEST_F(LoopFadeTest, SecondPlayInsideTheLoopLeavesItAtOnceWithoutTheFinishBit) {
    MakeCart(5, 7.0, "Loop", 440, kLoop | 0x2000);
    SetLoop(5, 5.0f, 6.0f);
    ASSERT_TRUE(PlayPlayer(1, 5, volume_));
    Run(5500);
    ASSERT_TRUE(Control(1).InLoop());
    listener_.notices.clear();
    ASSERT_TRUE(PlayPlayer(1, 5, volume_));
    EXPECT_EQ(OperationCodes(listener_.notices), (std::vector<int32_t>{31}));
    EXPECT_FALSE(Control(1).UseLoop());
    // From 5.5 s straight past the loop end: only the last second is left.
    EXPECT_NEAR(MillisecondsToEnd(4000), 1000, 150);
}

TEST_F(LoopFadeTest, SecondPlayInsideTheLoopLetsThePassFinishWithTheFinishBit) {
    MakeCart(5, 7.0, "Loop", 440, kLoop | 0x2000 | 0x4000);
    SetLoop(5, 5.0f, 6.0f);
    ASSERT_TRUE(PlayPlayer(1, 5, volume_));
    Run(5500);
    ASSERT_TRUE(Control(1).InLoop());
    float before = Control(1).TotalSecondsPlayed();
    listener_.notices.clear();
    ASSERT_TRUE(PlayPlayer(1, 5, volume_));
    EXPECT_EQ(OperationCodes(listener_.notices), (std::vector<int32_t>{31}));
    // No jump: the loop is switched off and the current pass goes on.
    EXPECT_FALSE(Control(1).UseLoop());
    EXPECT_FLOAT_EQ(Control(1).TotalSecondsPlayed(), before);
    EXPECT_EQ(Player(1).Status, CartPlayers::Playing);
}

TEST_F(LoopFadeTest, FadeStartsNoLaterThanTheCartEndsAndEjectsItsPlayer) {
    MakeCart(6, 3.0);
    ASSERT_TRUE(PlayPlayer(1, 6, volume_));
    ASSERT_TRUE(FadePlayer(1, 40.0f, 1.0f));
    VCHEV entry;
    int16_t reference = 3;
    ASSERT_TRUE(Control(1).GetVolumeChangeEvent(reference, entry));
    EXPECT_FLOAT_EQ(entry.StartTime, 3.0f);
    // Cueing removes the fade; the cart stays.
    ASSERT_TRUE(CuePlayer(1, 6, volume_));
    EXPECT_FALSE(Player(1).Fading);
    EXPECT_FALSE(Control(1).GetVolumeChangeEvent(reference, entry));
    EXPECT_EQ(Player(1).CartNumber, 6);

    ASSERT_TRUE(PlayPlayer(1, 6, volume_));
    ASSERT_TRUE(FadePlayer(1, 0.5f, 1.0f));
    EXPECT_TRUE(Player(1).Fading);
    listener_.notices.clear();
    Run(2000);
    std::vector<int32_t> codes;
    for (const Notice& n : listener_.Main())
        if (std::get<0>(n) >= 234 || std::get<0>(n) <= 4) codes.push_back(std::get<0>(n));
    EXPECT_EQ(codes, (std::vector<int32_t>{234, 236, 239, 4, 0}));
    EXPECT_EQ(Player(1).Status, CartPlayers::Empty);
    EXPECT_FALSE(Player(1).Fading);
}

} // namespace
