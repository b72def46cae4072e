// The action runner: a simulated card's input plays the cued break on real players, the
// cued advert is protected, and the player, clock, logging and serial actions.
#include "support/BreakRig.h"

#include "carts/PlayerServices.h"
#include "hardware/HardwareManagerEngine.h"
#include "hardware/ZEL_Specific_Actions.h"
#include "platform/Dio.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>

using BreakRig::Advert;
using BreakRig::Rig;

namespace {

using HardwareAPI::Card;
namespace Dio = Platform::Dio;

TEST(HardwareActions, AnInputPlaysTheCuedBreakAndPlayIsRefusedWhileTheBreakHoldsItsPlayer) {
    TestSupport::ScriptedBoxes boxes;
    Rig rig;
    ASSERT_TRUE(rig.Open());
    for (const Advert& a : {Advert{801, 3.0f, 2.505f, "One", "R1", 1000},
                            Advert{802, 3.0f, 2.755f, "Two", "R2", 2000}})
        ASSERT_TRUE(rig.AddAdvert(a));
    rig.WriteLog({{36000, {801, 802}}});
    rig.Engine().SetCurrentAdBreakTime(Rig::kDay, 36000, false, true); // cued on a player
    ASSERT_EQ(rig.Engine().Break().AdvertCount, 2);
    const int16_t held = rig.Engine().Break().PlayingPlayer;
    ASSERT_GE(held, 1);
    ASSERT_EQ(rig.Player(held).Status, CartPlayers::Cued);

    Dio::SimulatedCard& sim = Dio::InstallSimulatedCard(3);
    sim.Features = {1, 8, 8};
    HardwareAPI::HardwareCard& card = Card(2);
    card.CardType = HardwareAPI::CardAdvantech;
    card.BaseAddress = 3;
    card.TotalLines = 16;
    card.Inputs = card.Outputs = 8;
    card.Line(1) = {};
    card.Line(1).Action = ZEL_Specific::actAdverts;
    card.Line(1).Data1 = 1;
    card.Line(2) = {};
    card.Line(2).Action = ZEL_Specific::actPlayerControl;
    card.Line(2).Data1 = held;
    std::vector<bool> notified;
    std::vector<std::string> network;
    auto& doors = HardwareAPI::State().Doors;
    doors.playBreak = [&](bool notify) {
        notified.push_back(notify);
        rig.Engine().PlayBreak(notify);
    };
    doors.sendMessageToNetwork = [&](const std::string& text) { network.push_back(text); };

    HardwareManager::HardwareManagerEngine engine;
    ASSERT_TRUE(engine.Load());
    sim.InputBytes[0] = 0b10; // "Play" on the player holding advert 1
    engine.hwTimer_Timer();
    EXPECT_EQ(rig.Player(held).Status, CartPlayers::Cued);
    EXPECT_TRUE(network.empty());

    sim.InputBytes[0] = 0b01; // the break input
    engine.hwTimer_Timer();
    EXPECT_EQ(notified, std::vector<bool>{false}) << "SendPlayFromHardware is 0";
    EXPECT_TRUE(Breaks::State().BreakRunning);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Completed(); }, 15000));
    std::vector<int32_t> carts;
    for (const BreakRig::Sound& s : rig.Sounds())
        carts.push_back(s.cart);
    EXPECT_EQ(carts, (std::vector<int32_t>{801, 802}));
    engine.Unload();
    Dio::RemoveAllSimulatedCards();
}

// Records the player commands the runner gives.
class RecordingPlayers : public CartPlayers::PlayerServices {
public:
    bool PlayPlayer(int16_t p, int32_t, int16_t&) override { return Log("play", p, 0); }
    bool PausePlayer(int16_t p, int32_t, int16_t&) override { return Log("pause", p, 0); }
    bool CuePlayer(int16_t p, int32_t, int16_t&) override { return Log("cue", p, 0); }
    bool EjectPlayer(int16_t p) override { return Log("eject", p, 0); }
    bool SeekPlayer(int16_t p, int32_t, float s, int16_t&) override { return Log("seek", p, s); }
    bool Log(const std::string& what, int16_t p, float s) {
        calls.push_back(what + " " + std::to_string(p) +
                        (what == "seek" ? " " + std::to_string(s) : ""));
        return true;
    }
    std::vector<std::string> calls;
};

class RunnerActions : public ::testing::Test {
protected:
    void SetUp() override {
        CartPlayers::SetServices(&players);
        context.Settings.Audio.TotalNumberCartPlayers = 4;
        Card(1).CardType = HardwareAPI::CardSerialIO;
        Card(1).TotalLines = 8;
        HardwareAPI::State().Doors.sendMessageToNetwork = [&](const std::string& t) {
            network.push_back(t);
        };
        context.Settings.MainIniFile = dir.File("VNTZEL.INI");
        context.Hardware.Doors.ignoreSerialCommands = [this](bool ignore) { ignoring = ignore; };
    }
    void TearDown() override { CartPlayers::SetServices(nullptr); }
    // Sets line 1 to the action and switches it on, then off.
    void Pulse(int32_t action, int32_t data1, int32_t data2,
               const std::function<void()>& whileOn = {}) {
        HardwareAPI::HardwareLine& line = Card(1).Line(1);
        line.Action = action;
        line.Data1 = data1;
        line.Data2 = data2;
        int16_t number = 1;
        HardwareAPI::SetHardwareLine(number, HardwareAPI::OutputOn);
        if (whileOn) whileOn();
        HardwareAPI::SetHardwareLine(number, HardwareAPI::OutputOff);
    }
    CartPlayers::CartPlayerRecord& Player(int16_t p) { return context.Players.PlayerTable[p]; }

    TestSupport::ScratchDir dir;
    ProgramContext context;
    ContextScope scope{context};
    TestSupport::FrozenClock clock{46363, 36000.0 + 29 * 60};
    RecordingPlayers players;
    std::vector<std::string> network;
    bool ignoring = false;
};

TEST_F(RunnerActions, PlayerCommandsSeeksEjectAndRelay) {
    Player(2).Status = CartPlayers::Playing;
    Player(2).SecondsPlayed = 3.0f;
    Player(2).Cart.TotalLength = 6.0f;
    for (int32_t command : {0, 1, 2, 4, 5, 9})
        Pulse(ZEL_Specific::actPlayerControl, 2, command);
    Pulse(ZEL_Specific::actPlayerControl, 5, 0); // no such player
    Pulse(ZEL_Specific::actPlayerControl, 3, 0); // player 3 is empty
    context.Settings.Audio.OnlyAllowEjectStoppedCarts = 1;
    Pulse(ZEL_Specific::actPlayerControl, 2, 3);
    Player(2).Status = CartPlayers::Paused;
    Pulse(ZEL_Specific::actPlayerControl, 2, 3);
    EXPECT_EQ(players.calls,
              (std::vector<std::string>{"play 2", "pause 2", "cue 2", "seek 2 6.000000",
                                        "seek 2 0.000000", "eject 2"}));
    EXPECT_EQ(network,
              (std::vector<std::string>{"PLAY_PLAYER 2", "PAUSE_PLAYER 2", "CUE_PLAYER 2"}));

    Pulse(ZEL_Specific::actPlayerControl, 2, 240, [&] { EXPECT_TRUE(Player(2).LogInhibited); });
    EXPECT_FALSE(Player(2).LogInhibited);
}

TEST_F(RunnerActions, ClockLoggingSerialAndGroupsFollowTheLine) {
    // The clock is only set when the setting allows it.
    Pulse(ZEL_Specific::actSetTime, -30, 0);
    EXPECT_NEAR(Platform::Clock::Timer(), 36000.0 + 29 * 60, 1e-6);
    Platform::WritePrivateProfileString("General", "SetSystemClock", std::string("1"),
                                        context.Settings.MainIniFile);
    Pulse(ZEL_Specific::actSetTime, -30, 1, [&] {
        EXPECT_NEAR(Platform::Clock::Timer(), 36000.0 + 29 * 60, 1e-6) << "set on clear only";
    });
    EXPECT_NEAR(Platform::Clock::Timer(), 36000.0 - 30, 1e-6);

    int captions = 0;
    HardwareAPI::State().Doors.updateLoggingCaption = [&] { ++captions; };
    Pulse(ZEL_Specific::actMiscInput, 2, 0, [&] { EXPECT_TRUE(context.Settings.LoggingAllowed); });
    EXPECT_FALSE(context.Settings.LoggingAllowed);
    EXPECT_EQ(captions, 2);
    Pulse(ZEL_Specific::actMiscInput, 3, 0, [&] { EXPECT_TRUE(ignoring); });
    EXPECT_FALSE(ignoring);

    std::vector<std::pair<int16_t, bool>> groups;
    HardwareAPI::State().Doors.playCartGroup = [&](int16_t g, bool n) { groups.push_back({g, n}); };
    context.Settings.Network.SendPlayFromHardware = 1;
    Pulse(ZEL_Specific::actPlayGroup, 42, 0);
    Pulse(ZEL_Specific::actGroupActive, 42, 0); // an output action does nothing
    EXPECT_EQ(groups, (std::vector<std::pair<int16_t, bool>>{{42, true}}));
    EXPECT_TRUE(players.calls.empty());
}

} // namespace
