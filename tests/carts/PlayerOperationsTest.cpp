// The cart player operations on real carts and real file players on the capture device: the
// notices each one sends, the status it leaves, its guards, and what comes out of the device.
#include "PlayersFixture.h"

#include "breaks/SplitPlayerAdapter.h"
#include "main_window/CommandLine.h"
#include "platform/Clock.h"

#include <algorithm>
#include <cmath>

using namespace Audio_Player_FN;
using CartPlayers::Cued;
using CartPlayers::Empty;
using CartPlayers::Paused;
using CartPlayers::Playing;
using CartPlayers::Selected;
using CartsTest::Notice;
using CartsTest::PlayersTest;
using CartsTest::RecordingListener;

namespace {

using Notices = std::vector<Notice>;

TEST_F(PlayersTest, StartUpLeavesEveryPlayerEmptyAtTheGeneralVolume) {
    EXPECT_EQ(Settings().Audio.TotalNumberCartPlayers, 2);
    for (int16_t n = 1; n <= 2; ++n) {
        ASSERT_NE(Player(n).Player, nullptr);
        EXPECT_EQ(Player(n).Status, Empty);
        EXPECT_EQ(Player(n).Volume, 100);
        EXPECT_EQ(Player(n).Player->WaveOutDeviceNumber(), n);
        EXPECT_EQ(Player(n).Player->WaveBufferLengthms(), 500);
        EXPECT_EQ(Player(n).Player->NumberWavePlayBuffers(), 8);
    }
    EXPECT_EQ(Player(3).Player, nullptr);
    EXPECT_EQ(boxes_.Count(), 0u);
}

TEST_F(PlayersTest, EachOperationSendsItsNoticeWithTheCart) {
    MakeCart(21, 14.0);
    TestSupport::FrozenClock clock(46000, 3600);
    ASSERT_TRUE(LoadPlayer(1, 21, volume_));
    EXPECT_EQ(Player(1).Status, Selected);
    ASSERT_TRUE(CuePlayer(1, 21, volume_));
    EXPECT_EQ(Player(1).Status, Cued);
    ASSERT_TRUE(PlayPlayer(1, 21, volume_));
    EXPECT_EQ(Player(1).Status, Playing);
    EXPECT_EQ(Player(1).PlayStarted.Day, 46000);
    EXPECT_FLOAT_EQ(Player(1).PlayStarted.Seconds, 3600);
    Run(200);
    ASSERT_TRUE(PausePlayer(1, 21, volume_));
    EXPECT_EQ(Player(1).Status, Paused);
    EXPECT_EQ(listener_.Main(), (Notices{{7, 1, 21}, {16, 1, 21}, {31, 1, 21}, {23, 1, 21}}));

    listener_.notices.clear();
    ASSERT_TRUE(SeekPlayer(1, 21, 12.5f, volume_));
    EXPECT_EQ(Player(1).Status, Paused);
    EXPECT_FLOAT_EQ(Player(1).SecondsPlayed, 12.5f);
    EXPECT_FLOAT_EQ(Player(1).PlayStarted.Seconds, 3600 - 12.5f);
    ASSERT_TRUE(SeekPlayer(1, 21, 0, volume_));
    EXPECT_EQ(Player(1).Status, Cued);
    // A seek tells nothing itself (the control reports the cue points it passed).
    for (const Notice& n : listener_.Main())
        EXPECT_GE(std::get<0>(n), 96) << std::get<0>(n);

    listener_.notices.clear();
    ASSERT_TRUE(EjectPlayer(1));
    EXPECT_EQ(listener_.Main(), (Notices{{4, 1, 21}, {0, 1, 21}}));
    EXPECT_EQ(Player(1).Status, Empty);
    EXPECT_TRUE(Player(1).Ejected);
    EXPECT_EQ(Player(1).LastCartNumber, 21);
    EXPECT_FALSE(EjectPlayer(1)) << "an ejected player is not ejected again";
    EXPECT_FALSE(EjectPlayer(2)) << "nor an empty one";
    EXPECT_EQ(listener_.Main().size(), 2u);
}

TEST_F(PlayersTest, RepeatedRequestsChangeNothingAndTellNothing) {
    MakeCart(5, 2.0);
    ASSERT_TRUE(PausePlayer(1, 5, volume_)); // a Selected... here Empty player is cued
    EXPECT_EQ(Player(1).Status, Cued);
    EXPECT_EQ(listener_.Main(), (Notices{{7, 1, 5}, {16, 1, 5}}));
    listener_.notices.clear();
    EXPECT_TRUE(PausePlayer(1, 5, volume_));
    EXPECT_TRUE(CuePlayer(1, 5, volume_));
    EXPECT_TRUE(LoadPlayer(1, 5, volume_));
    EXPECT_TRUE(listener_.Main().empty());

    ASSERT_TRUE(PlayPlayer(1, 5, volume_));
    listener_.notices.clear();
    // The cart does not loop: a second play leaves it playing, silently.
    EXPECT_TRUE(PlayPlayer(1, 5, volume_));
    EXPECT_TRUE(listener_.Main().empty());
    EXPECT_EQ(Player(1).Status, Playing);
}

TEST_F(PlayersTest, PlayFromSelectedCuesFirstAndResumingKeepsTheStartTime) {
    MakeCart(12, 3.0);
    TestSupport::FrozenClock clock(46000, 100);
    ASSERT_TRUE(LoadPlayer(1, 12, volume_));
    ASSERT_TRUE(PlayPlayer(1, 12, volume_));
    EXPECT_EQ(listener_.Main(), (Notices{{7, 1, 12}, {16, 1, 12}, {31, 1, 12}}));
    Run(100);
    ASSERT_TRUE(PausePlayer(1, 12, volume_));
    Platform::Clock::SetNow(46000, 200);
    listener_.notices.clear();
    ASSERT_TRUE(PlayPlayer(1, 12, volume_));
    EXPECT_EQ(Player(1).Status, Playing);
    EXPECT_FLOAT_EQ(Player(1).PlayStarted.Seconds, 100) << "set only when played from cued";
    EXPECT_EQ(listener_.Main(), (Notices{{31, 1, 12}}));

    // Cueing a playing player puts it back at the start.
    listener_.notices.clear();
    ASSERT_TRUE(CuePlayer(1, 12, volume_));
    EXPECT_EQ(Player(1).Status, Cued);
    EXPECT_FLOAT_EQ(Player(1).SecondsPlayed, 0);
    EXPECT_EQ(listener_.Main(), (Notices{{16, 1, 12}}));

    // A play request for another cart loads it in place of the first.
    MakeCart(13, 1.0);
    listener_.notices.clear();
    ASSERT_TRUE(PlayPlayer(1, 13, volume_));
    EXPECT_EQ(listener_.Main(),
              (Notices{{4, 1, 12}, {0, 1, 12}, {7, 1, 13}, {16, 1, 13}, {31, 1, 13}}));
}

TEST_F(PlayersTest, GuardsRefuseWithoutChangeOrNotice) {
    MakeCart(8, 1.0);
    Settings().Audio.NoCarts = 100;
    EXPECT_FALSE(LoadPlayer(0, 8, volume_));
    EXPECT_FALSE(LoadPlayer(3, 8, volume_)) << "beyond the player count";
    EXPECT_FALSE(CuePlayer(1, 0, volume_));
    EXPECT_FALSE(PlayPlayer(1, 101, volume_));
    EXPECT_FALSE(LoadPlayer(1, 9, volume_)) << "no audio file";
    EXPECT_FALSE(SeekPlayer(1, 9, 1.0f, volume_));
    EXPECT_FALSE(EjectPlayer(0));
    EXPECT_EQ(Player(1).Status, Empty);
    EXPECT_TRUE(listener_.notices.empty());
}

TEST_F(PlayersTest, LoadingTidiesTheDescriptionsAndReplacesTheCart) {
    MakeCart(30, 1.0);
    MakeCart(31, 1.0, "Second");
    Vantor_Cart_Routines::CartRecord rec;
    ASSERT_EQ(Vantor_Cart_Routines::ReadCart(rec, 30), 0);
    rec.Description1 = CartsTest::Padded("");
    rec.Description2 = CartsTest::Padded("  ");
    rec.Description3 = CartsTest::Padded("Third line");
    ASSERT_EQ(Vantor_Cart_Routines::WriteCart(rec, 30, true, false), 0);
    ASSERT_TRUE(LoadPlayer(2, 30, volume_));
    EXPECT_EQ(Player(2).Cart.Description1, CartsTest::Padded("Third line"));
    EXPECT_EQ(Player(2).Cart.Description2, CartsTest::Padded(""));
    EXPECT_EQ(Player(2).Cart.Description3, CartsTest::Padded(""));
    Player(2).PlaySource = "Advert";

    ASSERT_TRUE(CuePlayer(2, 31, volume_));
    EXPECT_EQ(Player(2).CartNumber, 31);
    EXPECT_EQ(Player(2).PlaySource, "");
    EXPECT_FALSE(Player(2).Ejected);
    EXPECT_EQ(listener_.Main(),
              (Notices{{7, 2, 30}, {4, 2, 30}, {0, 2, 30}, {7, 2, 31}, {16, 2, 31}}));
}

TEST_F(PlayersTest, NoticeFourSeesTheCartAndNoticeZeroMayCueTheNext) {
    MakeCart(40, 1.0);
    MakeCart(41, 1.0);
    ASSERT_TRUE(CuePlayer(1, 40, volume_));
    int32_t cartAtFour = -1;
    int16_t volume = 100;
    listener_.action = [&](int32_t code, int16_t player, int32_t) {
        if (code == 4) cartAtFour = Player(player).CartNumber;
        if (code == 0) CuePlayer(player, 41, volume);
    };
    ASSERT_TRUE(EjectPlayer(1));
    listener_.action = nullptr;
    EXPECT_EQ(cartAtFour, 40);
    EXPECT_EQ(Player(1).CartNumber, 41);
    EXPECT_EQ(Player(1).Status, Cued);
}

TEST_F(PlayersTest, PlayingToTheEndReportsTheCuePointsAndPositions) {
    MakeCart(50, 1.0);
    ASSERT_TRUE(PlayPlayer(1, 50, volume_));
    listener_.notices.clear();
    Run(1500);
    EXPECT_EQ(
        listener_.Main(),
        (Notices{{112, 1, 0}, {116, 1, 0}, {117, 1, 0}, {118, 1, 0}, {119, 1, 0}, {122, 1, 0}}));
    size_t positions = 0;
    for (const Notice& n : listener_.notices)
        positions += std::get<0>(n) == 255 ? 1 : 0;
    EXPECT_GT(positions, 5u);
    EXPECT_NEAR(Player(1).SecondsPlayed, 1.0f, 0.06f);
    EXPECT_FLOAT_EQ(Player(1).SecondsToExtro, 0);
}

TEST_F(PlayersTest, FadeNeedsAPlayingPlayer) {
    MakeCart(60, 2.0);
    ASSERT_TRUE(PlayPlayer(1, 60, volume_));
    ASSERT_TRUE(PausePlayer(1, 60, volume_));
    EXPECT_FALSE(FadePlayer(1, 0.5f, 1.0f));
    EXPECT_FALSE(Player(1).Fading);
    EXPECT_FALSE(FadePlayer(3, 0.5f, 1.0f));
}

// The device frame at which a stream began to play `audio` whole and in order; -1 when it
// did not (a little silence may come before it, from the cue).
int64_t StartOf(const Platform::WaveCapture::StreamRecord& stream,
                const std::vector<int16_t>& audio) {
    const std::vector<int16_t>& out = stream.samples;
    const size_t channels = 2;
    for (size_t k = 0; k + audio.size() <= out.size() && k < 8192; k += channels) {
        if (!std::equal(audio.begin(), audio.end(), out.begin() + static_cast<long>(k))) continue;
        uint64_t frame = k / channels, seen = 0;
        for (const auto& run : stream.runs) {
            if (frame < seen + run.frames)
                return static_cast<int64_t>(run.startFrame + frame - seen);
            seen += run.frames;
        }
    }
    return -1;
}

TEST_F(PlayersTest, TwoCartsOnTwoPlayersComeOutWhereTheyWerePlayed) {
    std::vector<int16_t> first = MakeCart(70, 0.5, "First", 440);
    std::vector<int16_t> second = MakeCart(71, 0.5, "Second", 1000);
    ASSERT_TRUE(LoadPlayer(1, 70, volume_));
    ASSERT_TRUE(LoadPlayer(2, 71, volume_));
    ASSERT_TRUE(PlayPlayer(1, 70, volume_));
    Run(300);
    ASSERT_TRUE(PlayPlayer(2, 71, volume_));
    Run(900);
    int64_t startOne = -1, startTwo = -1;
    for (const auto& stream : Platform::WaveCapture::Streams()) {
        startOne = std::max(startOne, StartOf(stream, first));
        startTwo = std::max(startTwo, StartOf(stream, second));
    }
    ASSERT_GE(startOne, 0) << "the first cart came out whole, every sample once";
    ASSERT_GE(startTwo, 0) << "the second cart came out whole";
    EXPECT_NEAR(static_cast<double>(startTwo - startOne) / kRate, 0.3, 0.03);

    // On the mixed timeline the first cart plays alone until the second one starts.
    std::vector<int16_t> timeline = Platform::WaveCapture::Timeline();
    size_t from = static_cast<size_t>(startOne) * 2;
    size_t alone = static_cast<size_t>(startTwo - startOne) * 2;
    ASSERT_LE(from + alone, timeline.size());
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + static_cast<long>(alone),
                           timeline.begin() + static_cast<long>(from)));
    // Then both are heard together.
    size_t both = static_cast<size_t>(startTwo) * 2 + 1000;
    EXPECT_EQ(timeline[both], static_cast<int16_t>(first[both - from] + second[1000]));
    EXPECT_EQ(listener_.Main().back(), (Notice{122, 2, 0}));
}

TEST_F(PlayersTest, VolumeOnOneDeviceReachesOnlyThePlayerOneControl) {
    Audio_Player_FN::ShutdownAudio();
    StartPlayers("capture", 2);
    SetPlayerVolume(1, 40);
    SetPlayerVolume(2, 30.5f);
    EXPECT_EQ(Player(1).Volume, 40);
    EXPECT_EQ(Player(2).Volume, 30); // halves to even
    EXPECT_FLOAT_EQ(Player(1).Player->PlayVolume(), 40);
    EXPECT_FLOAT_EQ(Player(2).Player->PlayVolume(), 100);
    SetPlayerVolume(1, 140);
    EXPECT_EQ(Player(1).Volume, 100);
}

TEST_F(PlayersTest, EngineDebugModeFromTheCommandLine) {
    Audio_Player_FN::ShutdownAudio();
    MainWindow::SetCommandLine("/FLENNDEBUGMEDIUM");
    setenv("VNTZEL_SYSTEMDRIVE", dir_.Path().c_str(), 1);
    StartPlayers("capture,capture", 2);
    unsetenv("VNTZEL_SYSTEMDRIVE");
    MainWindow::SetCommandLine("");
    EXPECT_EQ(Player(2).Player->DebugWriter().FileName(), dir_.File("flplyer2.dbg"));
    EXPECT_EQ(Player(2).Player->DebugWriter().Level(), 16);
    ASSERT_EQ(boxes_.Count(), 1u);
    EXPECT_EQ(boxes_.Shown()[0].prompt.substr(0, 77),
              "Vantor will run the FlennStream(TM) Audio Engine in Debug Mode (&H10)\n\nYou sh");
}

TEST_F(PlayersTest, SplitAdapterCuesOnTheFirstEmptyPlayerInOrder) {
    MakeCart(80, 1.0);
    CartPlayers::SplitPlayerAdapter adapter;
    Settings().Audio.FirstPlayerInOrder = 2;
    Settings().Audio.LastPlayerInOrder = 1;
    EXPECT_EQ(adapter.FindPlayer(15, -1, -1, 0), 2);
    int16_t volume = 90;
    ASSERT_TRUE(adapter.CuePlayer(2, 80, volume));
    EXPECT_EQ(adapter.PlayerCartNumber(2), 80);
    EXPECT_EQ(Player(2).Volume, 90);
    EXPECT_EQ(adapter.FindPlayer(15, -1, -1, 0), 1);
    EXPECT_EQ(adapter.FindPlayer(13, 2, 2, 0), 2);
    EXPECT_EQ(adapter.FindPlayerWithCart(80, 0), 2);
    adapter.SetPlaySource(2, "REF 1");
    ASSERT_TRUE(adapter.PlayPlayer(2, 80, volume));
    SplitPlayerInfo info = adapter.PlayerInfo(2);
    EXPECT_EQ(info.Status, Playing);
    EXPECT_EQ(info.CartNumber, 80);
    EXPECT_EQ(info.PlaySource, "REF 1");
    EXPECT_FLOAT_EQ(info.Extro, 0.8f);
    EXPECT_EQ(adapter.FindPlayerWithCart(80, 0), 0) << "playing is not waiting";
    EXPECT_EQ(adapter.TotalNumberCartPlayers(), 2);
    adapter.SetPlayerDescription(2, "Advert title");
    EXPECT_EQ(Player(2).Cart.Description3, CartsTest::Padded("Advert title"));
    EXPECT_TRUE(adapter.EjectPlayer(2));
    EXPECT_EQ(adapter.PlayerCartNumber(2), 0);
}

} // namespace
