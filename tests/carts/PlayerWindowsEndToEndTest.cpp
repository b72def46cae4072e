// Player windows over real cart players on the capture device: drop, play, position display,
// right-click seek, and a picture of the player area with a cart playing.
#include "PlayersFixture.h"

#include "carts/PlayerWindows.h"
#include "carts/frmAudioPlayer.h"
#include "main_window/frmMain.h"

#include <QCoreApplication>

using namespace CartPlayers;
using namespace Audio_Player_FN;

namespace {

class PlayerWindowsEndToEnd : public CartsTest::PlayersTest {
protected:
    void SetUp() override {
        UsePlayerWindows();
        StartPlayers("capture,capture", 2);
        MainWindow::frmMain& main = MainWindow::MainForm();
        main.resize(1242, 51);
        main.picPlayer()->setGeometry(0, 0, 1242, 51);
        EmbedPlayerWindows(main.picPlayer());
        ShowPlayerWindows();
    }
    void TearDown() override {
        CartsTest::PlayersTest::TearDown();
        DestroyPlayerWindows();
        SetPlayerMaker({});
        MainWindow::UnloadMainForm();
    }
    AudioPlayerEngine& E(int16_t p) { return PlayerWindow(p)->Engine(); }
};

} // namespace

TEST_F(PlayerWindowsEndToEnd, DropPlaySeekAndShow) {
    MakeCart(42, 10, "Summer Sale");
    ASSERT_NE(PlayerWindow(2), nullptr);
    EXPECT_EQ(Player(1).Player, PlayerWindow(1)->Player());

    E(1).DropCart("42");
    EXPECT_EQ(Player(1).Status, Cued);
    EXPECT_EQ(E(1).pnlCartNo.Caption, "42");
    EXPECT_EQ(E(1).pnlCaption.Caption.substr(0, 12), " Summer Sale");
    EXPECT_FALSE(E(1).cmdCue.Enabled);
    EXPECT_TRUE(E(1).cmdPlayPause.Enabled);

    E(1).cmdPlayPause_MouseUp();
    EXPECT_EQ(Player(1).Status, Playing);
    EXPECT_EQ(E(1).cmdPlayPause.Picture, "enPause");
    Run(1500); // in the 2 s intro, 6.5 s before the extro at 8 s
    EXPECT_GT(Player(1).SecondsPlayed, 1.2f);
    EXPECT_EQ(E(1).pnlTimeIn.Caption, "00:00:01");
    EXPECT_EQ(E(1).pnlTimeOut.Caption, "7");
    EXPECT_EQ(E(1).pnlTimeFlood.FloodColor, kLightGreen);
    EXPECT_GT(E(1).pnlTimeFlood.FloodPercent, 60);

    // Right-click at the middle of the flood bar: half of the cart's length.
    E(1).BarMouseDown(kRightButton, 0, static_cast<float>(E(1).pnlTimeFlood.Width) / 2);
    Run(200);
    EXPECT_EQ(Player(1).Status, Playing);
    EXPECT_NEAR(Player(1).SecondsPlayed, 5.2, 0.3);
    EXPECT_EQ(E(1).pnlTimeIn.Caption, "00:00:05");
    EXPECT_EQ(E(1).pnlTimeFlood.FloodColor, kRed); // under 5 s to the extro
    EXPECT_EQ(E(1).pnlTimeOut.BackColor, kRed);

    E(2).DropCart("42");
    EXPECT_EQ(Player(2).Status, Cued);
    QImage image = MainWindow::MainForm().picPlayer()->grab().toImage();
    EXPECT_EQ(image.size(), QSize(1242, 51));
    image.save(QCoreApplication::applicationDirPath() + "/player_area_playing.png");

    // A cart played on its own leaves its player at its end; the cued one stays.
    Run(6000);
    EXPECT_EQ(Player(1).Status, Empty);
    EXPECT_EQ(Player(1).CartNumber, 0);
    EXPECT_EQ(E(1).pnlCartNo.Caption, "");
    EXPECT_EQ(Player(2).Status, Cued);

    // Made again, player 2 is the one already made, still cued, and its window still shows it.
    CartPlayer* made = FindCartPlayer(2);
    EXPECT_EQ(&CreateCartPlayer(2), made);
    EXPECT_EQ(PlayerWindow(2)->Player(), &made->Control());
    EXPECT_EQ(Player(2).Player, &made->Control());
    EXPECT_EQ(Player(2).Status, Cued);

    // At shut-down each window goes before the player it shows.
    std::vector<bool> windowGone;
    for (int16_t n : {1, 2})
        QObject::connect(FindCartPlayer(n), &QObject::destroyed,
                         [&windowGone, n] { windowGone.push_back(PlayerWindow(n) == nullptr); });
    ShutdownAudio();
    EXPECT_EQ(windowGone, (std::vector<bool>{true, true}));
    EXPECT_EQ(FindCartPlayer(1), nullptr);
}
