// Player windows in a main-window shell: layout, captions, drops, seeks, the position refresh
// with its colour bands, the player control's events, assignment and the player keys.
#include "CartsFixture.h"

#include "breaks/SplitPlayerAdapter.h"
#include "carts/Audio_Player_FN.h"
#include "carts/PlayerServices.h"
#include "carts/PlayerWindows.h"
#include "carts/frmAudioPlayer.h"
#include "hardware/HardwareAPI.h"
#include "main_window/frmMain.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <cmath>
#include <sstream>

using namespace CartPlayers;
using namespace Audio_Player_FN;
using CartsTest::AudiowallTest;
using CartsTest::Padded;

namespace {

// Records every call the windows and keys make of the operations, relay and lines.
class FakeServices : public PlayerServices {
public:
    std::vector<std::string> calls;
    bool relayKeeps = false;
    bool operationsSucceed = true;
    float percentage = 0;

    static std::string Num(double v) {
        std::ostringstream s;
        s << v;
        return s.str();
    }
    bool Op(const std::string& name, int16_t p, int32_t cart, int16_t volume) {
        calls.push_back(name + " " + Num(p) + " " + Num(cart) + " " + Num(volume));
        return operationsSucceed;
    }
    bool CuePlayer(int16_t p, int32_t c, int16_t& v) override { return Op("Cue", p, c, v); }
    bool PlayPlayer(int16_t p, int32_t c, int16_t& v) override { return Op("Play", p, c, v); }
    bool PausePlayer(int16_t p, int32_t c, int16_t& v) override { return Op("Pause", p, c, v); }
    bool SeekPlayer(int16_t p, int32_t c, float s, int16_t& v) override {
        calls.push_back("Seek " + Num(p) + " " + Num(c) + " " + Num(s) + " " + Num(v));
        return true;
    }
    bool EjectPlayer(int16_t p) override {
        calls.push_back("Eject " + Num(p));
        return true;
    }
    bool SendPlayerCommand(int16_t p, int32_t target) override {
        calls.push_back("Relay " + Num(p) + " " + Num(target));
        return relayKeeps;
    }
    bool SetHardwareLine(int16_t& line, int16_t mode) override {
        calls.push_back("Line " + Num(line) + " " + Num(mode));
        return true;
    }
    void SetLinesByAction(int16_t action, int16_t mode, int16_t d1, int16_t d2, int16_t d3,
                          int16_t d4, bool outputsOnly) override {
        calls.push_back("Lines " + Num(action) + " " + Num(mode) + " " + Num(d1) + " " + Num(d2) +
                        " " + Num(d3) + " " + Num(d4) + (outputsOnly ? " out" : ""));
    }
    float PercentagePlayed(int16_t) override { return percentage; }
    bool RecorderPause() override {
        calls.push_back("RecorderPause");
        return true;
    }
    bool RecorderResume() override {
        calls.push_back("RecorderResume");
        return true;
    }
    bool RecorderSave(int32_t mode) override {
        calls.push_back("RecorderSave " + Num(mode));
        return true;
    }
    std::vector<std::string> Take() { return std::exchange(calls, {}); }
};

class PlayerWindowsTest : public AudiowallTest {
protected:
    void SetUp() override {
        SetServices(&services);
        UseFolder("wall", 1, 10);
        ASSERT_EQ(Vantor_Cart_Routines::ConnectAudiowallParts(0, true), 0);
        Settings().Audio.TotalNumberCartPlayers = 2;
        Settings().Audio.GeneralVolume = 80;
        ASSERT_EQ(CreatePlayerWindows(), 2);
        MainWindow::frmMain& main = MainWindow::MainForm();
        main.resize(1242, 51);
        main.picPlayer()->setGeometry(0, 0, 1242, 51);
        EmbedPlayerWindows(main.picPlayer());
        ShowPlayerWindows();
        StoreCart(42, "Summer Sale", "Big Store", "Spot 30", 30);
    }
    void TearDown() override {
        DestroyPlayerWindows();
        MainWindow::UnloadMainForm();
        SetServices(nullptr);
    }
    void StoreCart(int32_t n, const std::string& d1, const std::string& d2, const std::string& d3,
                   float length) {
        Vantor_Cart_Routines::CartRecord rec;
        rec.Description1 = Padded(d1);
        rec.Description2 = Padded(d2);
        rec.Description3 = Padded(d3);
        rec.TotalLength = length;
        rec.AudioEnd = length;
        rec.IntroEnd = 6;
        rec.Extro = 25;
        ASSERT_EQ(Vantor_Cart_Routines::WriteCart(rec, n, false, false), 0);
    }
    // Loads cart n into a player's record as the operations would.
    CartPlayerRecord& Load(int16_t p, int32_t n, int32_t status) {
        CartPlayerRecord& r = Record(p);
        Vantor_Cart_Routines::ReadCart(r.Cart, n);
        r.CartNumber = n;
        r.Status = status;
        r.Volume = 90;
        return r;
    }
    void Notice(int32_t code, int16_t p) { SendPlayerNotice(code, p, 0); }
    AudioPlayerEngine& E(int16_t p) { return PlayerWindow(p)->Engine(); }
    void Position(int16_t p, int32_t part, float played, float toExtro, float remain) {
        CartPlayerRecord& r = Record(p);
        r.AudioPart = part;
        r.SecondsPlayed = played;
        r.SecondsToExtro = toExtro;
        r.SecondsRemain = remain;
        Notice(pnPosition, p);
    }

    FakeServices services;
};

} // namespace

TEST_F(PlayerWindowsTest, ShellHoldsTwoWindowsSideBySide) {
    frmAudioPlayer* w1 = PlayerWindow(1);
    frmAudioPlayer* w2 = PlayerWindow(2);
    ASSERT_TRUE(w1 && w2);
    EXPECT_EQ(PlayerWindow(3), nullptr);
    EXPECT_EQ(w1->parentWidget(), MainWindow::MainForm().picPlayer());
    EXPECT_EQ(w1->geometry(), QRect(0, 0, 621, 51));
    EXPECT_EQ(w2->geometry(), QRect(621, 0, 621, 51));
    EXPECT_EQ(Record(1).Player, w1->Player());
    EXPECT_EQ(E(2).pnlPlayerNo.Caption, "2");
    // 621 px = 9315 twips: the design layout.
    EXPECT_EQ(E(1).picControls.Left, 8220);
    EXPECT_EQ(E(1).pnlTimeOut.Left, 8220);
    EXPECT_EQ(E(1).pnlTimeFlood.Width, 6960);
    EXPECT_EQ(E(1).pnlCaption.Width, 6960);
    EXPECT_EQ(E(1).statusPanel.Width, 6960);
    EXPECT_EQ(E(1).pnlOverallTime.Width, 6960);
    EXPECT_EQ(E(1).pnlTimeIn.Left, 60);
    EXPECT_FALSE(MainWindow::MainForm().ListImage("enPlay").isNull());
    EXPECT_FALSE(MainWindow::MainForm().ListImage("enPause").isNull());

    // The shown main window narrowed and widened: the players share its whole width again.
    MainWindow::frmMain& main = MainWindow::MainForm();
    main.show();
    for (int width : {800, 1280}) {
        main.resize(width, 51);
        QCoreApplication::processEvents();
        const int half = width / 2;
        EXPECT_EQ(w2->geometry(), QRect(half, 0, half, 51)) << width;
        EXPECT_EQ(E(2).picControls.Left, half * 15 - 1035 - 60) << width;
        EXPECT_EQ(E(2).pnlCaption.Width, half * 15 - 1035 - 60 - 1200 - 60) << width;
    }
}

TEST_F(PlayerWindowsTest, CaptionWidthsAtTheLimits) {
    Load(1, 42, Selected);
    const std::string d1 = Padded("Summer Sale"), d2 = Padded("Big Store"), d3 = Padded("Spot 30");
    struct {
        int32_t width;
        std::string caption;
    } cases[] = {
        {3999, " " + d1}, {4000, " " + d1 + d2}, {7999, " " + d1 + d2}, {8000, " " + d1 + d2 + d3}};
    for (const auto& c : cases) {
        E(1).pnlCaption.Width = c.width;
        E(1).UpdateCaption();
        EXPECT_EQ(E(1).pnlCaption.Caption, c.caption) << c.width;
    }
}

TEST_F(PlayerWindowsTest, SelectedAndEmptyRefreshes) {
    Load(1, 42, Selected);
    E(1).pnlTimeIn.Caption = "kept";
    E(1).LastFloodPercent = 55;
    E(1).pnlTimeOut.BackColor = kRed;
    Notice(pnLoaded, 1);
    EXPECT_EQ(E(1).pnlCartNo.Caption, "42");
    EXPECT_EQ(E(1).pnlCaption.Caption.substr(0, 12), " Summer Sale");
    EXPECT_EQ(E(1).pnlTimeIn.Caption, "kept");
    EXPECT_EQ(E(1).LastFloodPercent, -1);
    EXPECT_EQ(E(1).pnlTimeOut.BackColor, kButtonFace);
    EXPECT_TRUE(E(2).pnlCartNo.Caption.empty()); // other window untouched

    Record(1).Status = Empty;
    Notice(pnEjectFinished, 1);
    EXPECT_TRUE(E(1).pnlTimeIn.Caption.empty());
    EXPECT_TRUE(E(1).pnlCaption.Caption.empty());
    EXPECT_TRUE(E(1).pnlCartNo.Caption.empty());
    EXPECT_EQ(E(1).pnlTimeFlood.FloodColor, kBlue);
}

TEST_F(PlayerWindowsTest, CountdownAndColourBands) {
    Load(1, 42, Playing);
    Notice(pnLoaded, 1); // a refresh for another status changes nothing
    Position(1, 15, 10, 15, 20);
    EXPECT_EQ(E(1).pnlTimeOut.Caption, "00:00:15");
    EXPECT_EQ(E(1).pnlTimeIn.Caption, "00:00:10");
    EXPECT_FLOAT_EQ(E(1).pnlTimeFlood.FloodPercent, 40);
    EXPECT_EQ(E(1).pnlTimeFlood.FloodColor, kBlue);

    services.Take();
    Position(1, 15, 17.8f, 7.2f, 12.2f);
    EXPECT_EQ(E(1).pnlTimeOut.Caption, "8");
    EXPECT_EQ(E(1).pnlTimeFlood.FloodColor, kLightGreen);
    EXPECT_EQ(E(1).pnlTimeOut.BackColor, kLightGreen);
    EXPECT_TRUE(services.Take().empty());

    Position(1, 15, 21, 4, 9);
    EXPECT_EQ(E(1).pnlTimeOut.Caption, "4");
    EXPECT_EQ(E(1).pnlTimeFlood.FloodColor, kRed);
    EXPECT_EQ(E(1).pnlTimeOut.BackColor, kRed);
    EXPECT_EQ(E(1).pnlTimeFlood.BackColor, kButtonFace);
    EXPECT_EQ(services.Take(),
              (std::vector<std::string>{"Lines 4 2 1 4 255 255", "Lines 4 2 1 5 255 255"}));
    Position(1, 15, 22, 3, 8); // still in the red band: the lines are not set again
    EXPECT_EQ(E(1).pnlTimeOut.Caption, "3");
    EXPECT_TRUE(services.Take().empty());

    Position(1, 20, 25, 0, 5);
    EXPECT_EQ(E(1).pnlTimeOut.Caption, "00:00:05");
    EXPECT_EQ(E(1).pnlTimeFlood.FloodColor, kYellow);
    EXPECT_EQ(E(1).pnlTimeFlood.BackColor, kRed);
    EXPECT_EQ(E(1).pnlTimeOut.BackColor, kRed);
    EXPECT_FLOAT_EQ(E(1).pnlTimeFlood.FloodPercent, 0); // (25 - 25) / (30 - 25)

    Position(1, 15, 5, 20, 25); // back above 9 s: blue again
    EXPECT_EQ(E(1).pnlTimeFlood.FloodColor, kBlue);
    EXPECT_EQ(E(1).pnlTimeOut.BackColor, kButtonFace);
    EXPECT_EQ(E(1).pnlTimeFlood.BackColor, kButtonFace);
}

TEST_F(PlayerWindowsTest, EachColourBandEnteredStraightFromBlue) {
    Load(1, 42, Playing);
    struct Band {
        float toExtro;
        int32_t flood, floodBack, outBack;
        const char* outText;
    };
    const Band bands[] = {
        {0, kYellow, kRed, kRed, "00:00:07"},  // at the extro
        {-2, kYellow, kRed, kRed, "00:00:07"}, // past it
        {5, kRed, kButtonFace, kRed, "5"},     // the red band's top
        {0.5f, kRed, kButtonFace, kRed, "1"},  // its bottom
        {9, kLightGreen, kButtonFace, kLightGreen, "9"},
        {5.5f, kLightGreen, kButtonFace, kLightGreen, "6"},
        {9.5f, kBlue, kButtonFace, kButtonFace, "00:00:10"},
    };
    for (const Band& b : bands) {
        SCOPED_TRACE(b.toExtro);
        Position(1, 15, 5, 20, 25);
        ASSERT_EQ(E(1).pnlTimeFlood.FloodColor, kBlue);
        Position(1, 15, 10, b.toExtro, 7);
        EXPECT_EQ(E(1).pnlTimeFlood.FloodColor, b.flood);
        EXPECT_EQ(E(1).pnlTimeFlood.BackColor, b.floodBack);
        EXPECT_EQ(E(1).pnlTimeOut.BackColor, b.outBack);
        EXPECT_EQ(E(1).pnlTimeOut.Caption, b.outText);
    }
}

TEST_F(PlayerWindowsTest, FloodFormulaByAudioPart) {
    CartPlayerRecord& r = Load(1, 42, Playing);
    Position(1, 10, 1.5f, 23.5f, 28.5f); // intro of 6 s
    EXPECT_EQ(E(1).pnlTimeIn.Caption, "00:00:05");
    EXPECT_FLOAT_EQ(E(1).pnlTimeFlood.FloodPercent, 25);
    r.Cart.Extro = 0;
    Position(1, 15, 2, 0, 28);
    EXPECT_FLOAT_EQ(E(1).pnlTimeFlood.FloodPercent, 100); // P / 1, held at 100
    r.Cart.Extro = 10;
    r.Cart.PlayLength = 0;
    Position(1, 20, 5, 0, 1);
    EXPECT_FLOAT_EQ(E(1).pnlTimeFlood.FloodPercent, 0);
    r.Cart.PlayLength = 10;
    Position(1, 20, 11, 0, 1);
    EXPECT_FLOAT_EQ(E(1).pnlTimeFlood.FloodPercent, 100);
    Position(1, 99, 11, 0, 1);
    EXPECT_TRUE(E(1).pnlTimeIn.Caption.empty());
    services.percentage = 140;
    Position(1, 15, 3, 12, 27);
    EXPECT_FLOAT_EQ(E(1).pnlOverallTime.FloodPercent, 100);
}

TEST_F(PlayerWindowsTest, DroppedCartsCueOrPlay) {
    StoreCart(43, "Silent", "", "", -1);
    for (const char* ignored : {"42,43", "abc", "0", "10000", "43"})
        E(1).DropCart(ignored);
    EXPECT_TRUE(services.Take().empty());
    E(1).DropCart("42.9");
    EXPECT_EQ(services.Take(), std::vector<std::string>{"Cue 1 42 80"});
    Load(2, 7, Playing);
    E(2).DropCart("42");
    EXPECT_EQ(services.Take(), std::vector<std::string>{"Play 2 42 80"});
}

TEST_F(PlayerWindowsTest, RightClickSeeksOnTheBars) {
    Load(1, 42, Cued);
    const float width = static_cast<float>(E(1).pnlTimeFlood.Width);
    E(1).BarMouseDown(kRightButton, 0, width / 2);
    EXPECT_EQ(services.Take(), std::vector<std::string>{"Seek 1 42 15 90"});
    E(1).BarMouseDown(kRightButton, 0, 0);
    EXPECT_EQ(services.Take(), std::vector<std::string>{"Seek 1 42 0 90"});
    E(1).BarMouseDown(kRightButton, 0, width);
    E(1).BarMouseDown(kLeftButton, 0, 1234);
    EXPECT_TRUE(services.Take().empty());
    EXPECT_EQ(E(1).LastSeekX, 1234);
    E(1).BarMouseMove(kRightButton, 0, 1234); // same X: nothing
    EXPECT_TRUE(services.Take().empty());

    // A real right-click at the middle of the flood bar of the window.
    QRect bar = frmAudioPlayer::PixelRect(E(1).pnlTimeFlood);
    QPointF middle(bar.left() + bar.width() / 2.0, bar.center().y());
    QMouseEvent press(QEvent::MouseButtonPress, middle, middle, Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(PlayerWindow(1), &press);
    std::vector<std::string> calls = services.Take();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "Seek 1 42 15 90");

    Record(1).Status = Empty;
    E(1).BarMouseDown(kRightButton, 0, width / 2);
    EXPECT_TRUE(services.Take().empty());
}

TEST_F(PlayerWindowsTest, ButtonsAndLinesFollowThePlayerEvents) {
    CartPlayerRecord& r = Load(1, 42, Playing);
    E(1).FlennPlayer_Playing();
    EXPECT_EQ(E(1).cmdPlayPause.Picture, "enPause");
    EXPECT_TRUE(E(1).cmdEject.Enabled);
    EXPECT_EQ(services.Take(),
              (std::vector<std::string>{"Lines 4 1 1 0 255 255", "Lines 4 1 1 5 255 255",
                                        "Lines 4 0 1 1 255 255", "Lines 4 0 1 4 255 255",
                                        "Lines 4 0 1 2 255 255", "Lines 4 0 1 3 255 255"}));
    r.Status = Cued;
    E(1).FlennPlayer_Cued();
    EXPECT_EQ(E(1).pnlTimeIn.Caption, "00:00:06");
    EXPECT_EQ(E(1).pnlTimeOut.Caption, "00:00:25");
    EXPECT_FALSE(E(1).cmdCue.Enabled);
    EXPECT_EQ(E(1).cmdPlayPause.Picture, "enPlay");
    services.Take();
    r.SeekInProgress = true;
    E(1).FlennPlayer_Playing();
    EXPECT_TRUE(services.Take().empty());
    EXPECT_EQ(E(1).cmdPlayPause.Picture, "enPlay");
    r.SeekInProgress = false;

    r.Cart.ExtroOutput = HardwareAPI::MakeHardwareOutputCode(HardwareAPI::OutputPulse, 17);
    r.Status = Paused;
    E(1).FlennPlayer_ExtroReached();
    EXPECT_EQ(services.Take(), (std::vector<std::string>{
                                   "Lines 4 0 1 5 255 255", "Lines 4 1 1 4 255 255",
                                   "Lines 4 0 1 2 255 255", "Lines 4 1 1 3 255 255", "Line 17 3"}));
    E(1).FlennPlayer_AudioEndReached();
    EXPECT_EQ(services.Take(), std::vector<std::string>{"Eject 1"});
    // The split hides the strip through its own door to the players, so the time to the end
    // shows in its place.
    Settings().General.HidePlayerControls = 1;
    CartPlayers::SplitPlayerAdapter split;
    split.ShowPlayerControls(1, false);
    EXPECT_FALSE(E(1).picControls.Visible);
    QWidget* strip = PlayerWindow(1)->findChild<QWidget*>("picControls");
    ASSERT_NE(strip, nullptr);
    EXPECT_FALSE(strip->isVisibleTo(PlayerWindow(1)));
    E(1).FlennPlayer_Closed();
    EXPECT_TRUE(E(1).picControls.Visible);
    EXPECT_TRUE(strip->isVisibleTo(PlayerWindow(1)));
    EXPECT_FALSE(E(1).cmdPlayPause.Enabled);
}

TEST_F(PlayerWindowsTest, ButtonsAskTheRelayFirst) {
    Load(1, 42, Cued);
    E(1).cmdPlayPause_MouseUp();
    EXPECT_EQ(services.Take(), (std::vector<std::string>{"Relay 1 11", "Play 1 42 90"}));
    Record(1).Status = Playing;
    E(1).cmdPlayPause_MouseUp();
    EXPECT_EQ(services.Take(), (std::vector<std::string>{"Relay 1 12", "Pause 1 42 90"}));
    services.relayKeeps = true;
    E(1).cmdCue_MouseUp();
    E(1).cmdEject_MouseUp();
    EXPECT_EQ(services.Take(), (std::vector<std::string>{"Relay 1 13", "Relay 1 15"}));
}

TEST_F(PlayerWindowsTest, FunctionKeysWithShiftAndCtrl) {
    CartPlayerRecord& p1 = Load(1, 42, Playing);
    p1.SecondsPlayed = 10;
    p1.Cart.PlayLength = 12;
    int32_t none = 0;
    EXPECT_EQ(HandlePlayerKey(65, 0, none), 65) << "not a function key";
    // Each key is taken (answers 0) and asks exactly these services.
    struct Press {
        const char* what;
        int16_t key, shift;
        std::vector<std::string> services;
        int32_t cart = 0;
    };
    auto press = [&](const std::vector<Press>& presses) {
        for (const Press& p : presses) {
            SCOPED_TRACE(p.what);
            int32_t cart = p.cart;
            EXPECT_EQ(HandlePlayerKey(p.key, p.shift, cart), 0);
            EXPECT_EQ(services.Take(), p.services);
        }
    };
    press({{"F2", 113, 0, {"Relay 1 12", "Pause 1 42 90"}},
           {"Ctrl+F4: +5 s held at the length", 115, kCtrlMask, {"Seek 1 42 12 90"}}});
    p1.SecondsPlayed = 3;
    press({{"Ctrl+F1: -5 s held at 0", 112, kCtrlMask, {"Seek 1 42 0 90"}},
           {"Ctrl+F3: the start", 114, kCtrlMask, {"Seek 1 42 0 90"}},
           {"Ctrl+F2: pause as without Ctrl", 113, kCtrlMask, {"Relay 1 12", "Pause 1 42 90"}}});
    Settings().Audio.OnlyAllowEjectStoppedCarts = 1;
    press({{"F4 on a playing player: left playing", 115, 0, {}}});
    Settings().Audio.OnlyAllowEjectStoppedCarts = 0;
    press({{"F4", 115, 0, {"Relay 1 15", "Eject 1"}},
           // Group 2 is player 2; Shift moves groups up by 3; Shift+F9..F12 are the recorder's.
           {"F5 with a cart from a browser", 116, 0, {"Relay 2 11", "Play 2 42 80"}, 42},
           {"Shift+F2 pauses player 4", 113, kShiftMask, {"Relay 4 12", "Pause 4 0 0"}},
           {"Shift+F9", 120, kShiftMask, {"RecorderResume"}},
           {"Shift+F10", 121, kShiftMask, {"RecorderPause"}},
           {"Shift+F11", 122, kShiftMask, {}},
           {"Shift+F12", 123, kShiftMask, {"RecorderSave 2"}},
           // Shift+F12 keeps the recording with Ctrl, discards it with Alt (Ctrl wins).
           {"Ctrl+Shift+F12", 123, kShiftMask | kCtrlMask, {"RecorderSave 1"}},
           {"Alt+Shift+F12", 123, kShiftMask | kAltMask, {"RecorderSave 0"}},
           {"Ctrl+Alt+Shift+F12", 123, kShiftMask | kCtrlMask | kAltMask, {"RecorderSave 1"}},
           // Players above 4.
           {"Shift+F5", 116, kShiftMask, {}},
           {"Shift+F8", 119, kShiftMask, {}},
           {"Shift+F13", 124, kShiftMask, {}},
           {"Shift+F16", 127, kShiftMask, {}},
           {"F9 with two players: the relay still asked", 120, 0, {"Relay 3 11", "Play 3 0 0"}}});
    services.relayKeeps = true;
    press({{"F3 kept by the relay", 114, 0, {"Relay 1 13"}}});
    p1.Ejected = true;
    press({{"F1 on an ejected player", 112, 0, {}}});

    // Keys reach the handler through the window.
    p1.Ejected = false;
    services.relayKeeps = false;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_F1, Qt::ControlModifier);
    QApplication::sendEvent(PlayerWindow(2), &key);
    EXPECT_TRUE(key.isAccepted());
    EXPECT_EQ(services.Take(), std::vector<std::string>{"Seek 1 42 0 90"});
}

TEST_F(PlayerWindowsTest, UnlinkingPutsBothNumberPanelsBackToTheButtonFace) {
    int changes = 0;
    QObject::connect(&E(1), &AudioPlayerEngine::Changed, [&changes] { ++changes; });
    E(1).pnlPlayerNo.BackColor = kRed;
    E(2).pnlPlayerNo.BackColor = kYellow;
    UnlinkPlayer(1, false);
    EXPECT_EQ(E(1).pnlPlayerNo.BackColor, kRed) << "no link, nothing to undo";
    Record(1).LinkedPlayer = 2;
    Record(2).LinkedPlayer = 1;
    Record(2).PartnerPlaysFirst = true;
    UnlinkPlayer(1, false);
    EXPECT_EQ(E(1).pnlPlayerNo.BackColor, kButtonFace);
    EXPECT_EQ(E(2).pnlPlayerNo.BackColor, kButtonFace);
    EXPECT_EQ(changes, 1) << "the window is told to show it";
    EXPECT_EQ(Record(2).LinkedPlayer, 0);
    EXPECT_FALSE(Record(2).PartnerPlaysFirst);
    PlayerSpecific_API::ResetPlayerNumberColour(3); // no window: nothing happens
}

TEST_F(PlayerWindowsTest, AssignmentOrderAndCartLookup) {
    Settings().Audio.TotalNumberCartPlayers = 4;
    Settings().Audio.FirstPlayerInOrder = 4;
    Settings().Audio.LastPlayerInOrder = 1;
    for (int16_t p = 1; p <= 4; ++p)
        Record(p).Status = Empty;
    EXPECT_EQ(FindPlayer(Empty), 4);
    Settings().Audio.TotalNumberCartPlayers = 2;
    Settings().Audio.FirstPlayerInOrder = 1;
    Settings().Audio.LastPlayerInOrder = 255;
    Load(1, 42, Playing);
    Load(2, 7, Cued);
    EXPECT_EQ(FindPlayer(Empty), 0);
    EXPECT_EQ(FindPlayer(Cued), 2);
    EXPECT_EQ(FindPlayerPlayingCart(42), 1);
    EXPECT_EQ(FindPlayerWithCart(42), 0);

    Settings().Audio.PlayCartsInstantly = 0;
    EXPECT_EQ(PlayCart(7, 0), 2); // already cued in player 2: played
    EXPECT_EQ(services.Take(), std::vector<std::string>{"Play 2 7 80"});
    Record(2).Status = Empty;
    Record(2).CartNumber = 0;
    EXPECT_EQ(PlayCart(42, 50), 2); // in no idle player: only cued in the empty one
    EXPECT_EQ(services.Take(), std::vector<std::string>{"Cue 2 42 50"});
    EXPECT_EQ(CueCart(42, 0), 2);
    EXPECT_EQ(services.Take(), std::vector<std::string>{"Cue 2 42 80"});
    EXPECT_EQ(CueCart(0, 0), 0);
    services.operationsSucceed = false;
    EXPECT_EQ(CueCart(42, 0), 0);
}

TEST_F(PlayerWindowsTest, PlayerAreaScreenshotWithACartPlaying) {
    CartPlayerRecord& r = Load(1, 42, Selected);
    Notice(pnLoaded, 1);
    r.Status = Playing;
    E(1).FlennPlayer_Playing();
    services.percentage = 62;
    Position(1, 15, 18.5f, 6.5f, 11.5f);
    Load(2, 42, Selected);
    Notice(pnLoaded, 2);
    Record(2).Status = Cued;
    E(2).FlennPlayer_Cued();
    QImage image = MainWindow::MainForm().picPlayer()->grab().toImage();
    ASSERT_EQ(image.size(), QSize(1242, 51));
    // The flood bar of player 1 is light green where it is filled.
    QRect bar = frmAudioPlayer::PixelRect(E(1).pnlTimeFlood);
    EXPECT_EQ(image.pixelColor(bar.left() + 5, bar.center().y()), QColor(0x80, 0xFF, 0x80));
    image.save(QCoreApplication::applicationDirPath() + "/player_area.png");
}
