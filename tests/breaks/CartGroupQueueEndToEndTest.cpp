// Cart groups played end to end on real cart players on the capture device: the queue's items
// back to back at their segue points, the group-active output and the source line, the
// completion words, and the queue giving way to breaks.
#include "support/BreakRig.h"

#include "breaks/SplitCartGroupQueue.h"
#include "breaks/ZEL_Specific_CartGroups.h"
#include "main_window/CartGroupButtons.h"

#include <algorithm>
#include <deque>
#include <gtest/gtest.h>

using BreakRig::Advert;
using BreakRig::Rig;

namespace {

constexpr int64_t kStepFrames = Rig::kRate * Rig::kStepMs / 1000;
constexpr int kGroupLine = 4; // "Group Active" of group 3
const std::string kComplete3 = "CART_GROUP_COMPLETE 3";

class CartGroupQueueEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.Open());
        for (const Advert& a : {Advert{301, 4.0f, 3.005f, "Ident One", "", 100},
                                Advert{302, 3.0f, 2.505f, "Ident Two", "", 200},
                                Advert{303, 5.0f, 4.005f, "Sweeper", "", 400},
                                Advert{304, 2.0f, 1.505f, "Gone", "", 800},
                                Advert{305, 3.0f, 2.0f, "On A Step", "", 3200},
                                Advert{801, 6.0f, 5.505f, "Advert", "REF801", 1600}})
            ASSERT_TRUE(rig.AddAdvert(a));
        rig.Settings().MainIniFile = dir.File("VNTZEL.INI");
        rig.Engine().SetCartQueue(&queue);
        ZEL_Specific::LoadCartGroups(rig.Settings().MainIniFile);
        Group(3, {301, 302, 303}).Mute = 1;
        HardwareAPI::HardwareLine& line = HardwareAPI::Card(1).Line(kGroupLine);
        line.LineType = 1;
        line.Action = 258;
        line.Data1 = 3;
        rig.SetLineState(Rig::kSourceLine, -1);
    }

    Breaks::CartGroupRecord& Group(int32_t g, const std::vector<int32_t>& carts) {
        Breaks::CartGroupRecord& group = *Breaks::CartGroup(g);
        for (size_t k = 0; k < carts.size(); ++k)
            group.CartNumbers[k] = carts[k];
        group.NumberOfCarts = static_cast<int16_t>(carts.size());
        return group;
    }
    size_t Count(const std::string& word) const {
        return static_cast<size_t>(
            std::count(rig.sender.vantor.begin(), rig.sender.vantor.end(), word));
    }
    std::vector<int32_t> Played() const {
        std::vector<int32_t> carts;
        for (const BreakRig::Sound& s : rig.Sounds())
            carts.push_back(s.cart);
        return carts;
    }
    bool Idle() {
        return queue.QueueCount() == 0 && rig.Player(1).Status != CartPlayers::Playing &&
               rig.Player(2).Status != CartPlayers::Playing;
    }
    void Script(std::deque<float> values) {
        Breaks::SetRandomSource([values]() mutable {
            float v = values.front();
            values.pop_front();
            return v;
        });
    }

    TestSupport::ScriptedBoxes boxes;
    TestSupport::ScratchDir dir;
    Rig rig;
    CartPlayers::SplitPlayerAdapter adapter;
    SplitCartGroupQueue queue{&rig.sender, &adapter};
    MainWindow::CartGroupButtons buttons{queue, &rig.sender};
};

} // namespace

TEST_F(CartGroupQueueEndToEnd, AGroupPlaysItsItemsBackToBackWithOutputsWordsAndLog) {
    rig.Settings().General.LogCartGroups = 1;
    buttons.UpdateCartGroups();
    buttons.pnlCartGroup_Click(3);   // a button
    buttons.PlayCartGroup(3, false); // twice more as "CART_GROUP 3" from the network does
    buttons.PlayCartGroup(3, false);
    EXPECT_EQ(rig.sender.sent, std::vector<std::string>{"CART_GROUP 3"});
    EXPECT_EQ(queue.listCarts(), (std::vector<std::string>{"Ident One", "Ident Two", "Sweeper"}));
    EXPECT_EQ(buttons.pnlCartGroup(3).Style, MainWindow::CartGroupButtons::StylePressed);
    EXPECT_EQ(rig.LineState(kGroupLine), -1);
    EXPECT_EQ(rig.LineState(Rig::kSourceLine), 0) << "a muted group";

    // The first word comes when the first item passes its segue point and the second starts.
    ASSERT_TRUE(rig.RunUntil([&] { return Count(kComplete3) == 1; }, 10000));
    EXPECT_EQ(queue.QueueCount(), 2);
    EXPECT_EQ(rig.Player(queue.CartListQueue().PlayingPlayer).CartNumber, 302);
    EXPECT_EQ(rig.LineState(kGroupLine), -1);
    ASSERT_TRUE(rig.RunUntil([&] { return Count(kComplete3) == 3; }, 20000));
    EXPECT_EQ(rig.LineState(kGroupLine), 0);
    EXPECT_EQ(rig.LineState(Rig::kSourceLine), -1);
    ASSERT_TRUE(rig.RunUntil([&] { return Idle(); }, 5000));
    rig.Run(500);

    const std::vector<BreakRig::Sound> sounds = rig.Sounds();
    ASSERT_EQ(Played(), (std::vector<int32_t>{301, 302, 303}));
    EXPECT_EQ(sounds[0].end - sounds[0].first, 4 * Rig::kRate);
    EXPECT_EQ(sounds[2].end - sounds[2].first, 5 * Rig::kRate);
    for (const BreakRig::Join& join : rig.Joins()) {
        SCOPED_TRACE(join.next);
        EXPECT_GE(join.actual, join.expected);
        EXPECT_LE(join.actual - join.expected, kStepFrames);
    }
    const std::vector<int16_t> timeline = Platform::WaveCapture::Timeline();
    EXPECT_EQ(timeline.at(static_cast<size_t>(sounds[1].first) * 2), 100 + 200)
        << "the next item overlaps the tail of the one before";

    EXPECT_EQ(rig.sender.vantor, std::vector<std::string>(3, kComplete3));
    EXPECT_EQ(Breaks::CartGroup(3)->LastItemPlayed, 3);
    EXPECT_NE(TestSupport::ReadBytes(rig.Settings().MainIniFile).find("LastItemPlayed=3"),
              std::string::npos);
    const std::vector<std::string> rec = rig.RecLines();
    ASSERT_EQ(rec.size(), 3u);
    EXPECT_NE(rec[0].find("|     301|Ident One"), std::string::npos);
    EXPECT_NE(rec[2].find("     |GROUP:03 CART:00303"), std::string::npos);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(CartGroupQueueEndToEnd, ASeguePointOnAPositionStepSeguesAtOnce) {
    // The queue's finished test agrees with the player's extro event at the point itself.
    Group(3, {305, 302});
    buttons.PlayCartGroup(3, false); // each request queues the group's next item
    buttons.PlayCartGroup(3, false);
    ASSERT_TRUE(rig.RunUntil([&] { return queue.QueueCount() == 0 && Idle(); }, 10000));
    rig.Run(500);
    EXPECT_EQ(Played(), (std::vector<int32_t>{305, 302}));
    ASSERT_EQ(rig.Joins().size(), 1u);
    EXPECT_EQ(rig.Joins()[0].actual, rig.Joins()[0].expected);
}

TEST_F(CartGroupQueueEndToEnd, RequestsThatCannotPlayAnswerAndNeverStickTheGroup) {
    // Sequential: an empty slot and a cart without audio are passed over.
    Group(5, {0, 999, 302});
    buttons.PlayCartGroup(5, false);
    EXPECT_EQ(Breaks::CartGroup(5)->LastItemPlayed, 3);
    ASSERT_TRUE(rig.RunUntil([&] { return Idle(); }, 6000));
    buttons.PlayCartGroup(5, false);
    ASSERT_TRUE(rig.RunUntil([&] { return Idle(); }, 6000));
    EXPECT_EQ(Played(), (std::vector<int32_t>{302, 302}));
    EXPECT_EQ(Count("CART_GROUP_COMPLETE 5"), 2u);
    // The queue's own drop of an empty slot answers too, and the rotation moves on.
    queue.SplitPlayCartGroup(5);
    EXPECT_EQ(Count("CART_GROUP_COMPLETE 5"), 3u);
    EXPECT_EQ(queue.QueueCount(), 0);
    EXPECT_EQ(Breaks::CartGroup(5)->LastItemPlayed, 1);

    // Random: the item is chosen first, so an unplayable slot 1 does not hold the group;
    // a choice that cannot play answers at once.
    Group(6, {0, 303}).SelectionMode = 1;
    Script({0.9f, 0.1f});
    buttons.PlayCartGroup(6, false);
    EXPECT_EQ(queue.QueueCount(), 1);
    buttons.PlayCartGroup(6, false);
    EXPECT_EQ(queue.QueueCount(), 1);
    EXPECT_EQ(Count("CART_GROUP_COMPLETE 6"), 1u);
    ASSERT_TRUE(rig.RunUntil([&] { return Idle(); }, 8000));
    EXPECT_EQ(Played().back(), 303);
    EXPECT_EQ(Count("CART_GROUP_COMPLETE 6"), 2u);

    // Audio gone after the request was accepted: dropped, answered, the queue goes on.
    Group(7, {304});
    std::filesystem::remove(rig.AudioFile(304));
    buttons.PlayCartGroup(7, false);
    EXPECT_EQ(queue.QueueCount(), 0);
    EXPECT_EQ(Count("CART_GROUP_COMPLETE 7"), 1u);

    // A failed cue keeps the player the queue has; so does a second cue.
    buttons.CueCartGroup(3, true);
    const int16_t cued = queue.CartListQueue().CuedPlayer;
    ASSERT_GE(cued, 1);
    EXPECT_EQ(rig.Player(cued).Status, CartPlayers::Cued);
    buttons.CueCartGroup(7, false);
    Group(4, {303});
    buttons.CueCartGroup(4, false);
    EXPECT_EQ(queue.CartListQueue().CuedPlayer, cued);
    buttons.PlayCartGroup(3, false);
    EXPECT_EQ(queue.CartListQueue().PlayingPlayer, cued) << "the cued item starts at once";
    EXPECT_EQ(rig.sender.sent, std::vector<std::string>{"CART_GROUP_CUE 3"});

    // A full queue of 100 answers the 101st request; its rotation still advances.
    Group(4, {301, 302});
    for (int k = 0; k < 99; ++k)
        buttons.PlayCartGroup(4, false);
    EXPECT_EQ(queue.QueueCount(), 100);
    EXPECT_EQ(Count("CART_GROUP_COMPLETE 4"), 0u);
    buttons.PlayCartGroup(4, false);
    EXPECT_EQ(queue.QueueCount(), 100);
    EXPECT_EQ(Count("CART_GROUP_COMPLETE 4"), 1u);
    EXPECT_EQ(Breaks::CartGroup(4)->LastItemPlayed, 2);
    rig.Engine().KillAllOutput(false);
    EXPECT_EQ(queue.QueueCount(), 0);
    EXPECT_TRUE(queue.listCarts().empty());
    EXPECT_EQ(rig.LineState(kGroupLine), 0) << "a kill ends the playing item's outputs";
    EXPECT_EQ(rig.LineState(Rig::kSourceLine), -1);

    // Played directly: never queued, no output, no word.
    rig.Settings().General.LogCartGroups = 1;
    Group(8, {301}).PlayoutMode = 1;
    const size_t words = rig.sender.vantor.size();
    buttons.PlayCartGroup(8, false);
    EXPECT_EQ(queue.QueueCount(), 0);
    const int16_t direct = Audio_Player_FN::FindPlayerPlayingCart(301);
    ASSERT_GE(direct, 1);
    EXPECT_EQ(rig.Player(direct).PlaySource, "     |GROUP:08 CART:00301");
    ASSERT_TRUE(rig.RunUntil([&] { return Idle(); }, 6000));
    EXPECT_EQ(rig.sender.vantor.size(), words);
    EXPECT_EQ(rig.LineState(kGroupLine), 0);
}

TEST_F(CartGroupQueueEndToEnd, GroupsGiveWayToBreaksAndTheMuteOutlastsTheirEnd) {
    rig.WriteLog({{36000, {801}}, {39600, {801}}});
    rig.CueBreak(36000);
    rig.PlayBreak();
    // Queued and listed during the break, started when it ends; the break leaves the source
    // off for the muted group.
    buttons.PlayCartGroup(3, false);
    EXPECT_EQ(queue.QueueCount(), 1);
    EXPECT_EQ(queue.CartListQueue().PlayingPlayer, 0);
    EXPECT_EQ(rig.LineState(kGroupLine), 0);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Completed(); }, 10000));
    EXPECT_EQ(rig.LineState(Rig::kSourceLine), 0);
    ASSERT_TRUE(rig.RunUntil([&] { return queue.CartListQueue().PlayingPlayer > 0; }, 1000));
    EXPECT_EQ(rig.LineState(kGroupLine), -1);
    ASSERT_TRUE(rig.RunUntil([&] { return Count(kComplete3) == 1; }, 6000));
    EXPECT_EQ(rig.LineState(Rig::kSourceLine), -1);

    // Allowed to overlap: a break that starts under a muted item keeps the source off at the
    // item's end, and puts it back on at its own end.
    ASSERT_TRUE(rig.RunUntil([&] { return Idle(); }, 6000));
    rig.Settings().General.AllowCartsDuringBreaks = 1;
    rig.Settings().General.AllowBreaksDuringCarts = 1;
    buttons.PlayCartGroup(3, false);
    EXPECT_EQ(rig.LineState(Rig::kSourceLine), 0);
    rig.Run(500);
    rig.PlayBreak();
    ASSERT_TRUE(Breaks::State().BreakRunning);
    ASSERT_TRUE(rig.RunUntil([&] { return Count(kComplete3) == 2; }, 6000));
    EXPECT_TRUE(Breaks::State().BreakRunning);
    EXPECT_EQ(rig.LineState(Rig::kSourceLine), 0);
    ASSERT_TRUE(
        rig.RunUntil([&] { return rig.Completed() && !Breaks::State().BreakRunning; }, 10000));
    EXPECT_EQ(rig.LineState(Rig::kSourceLine), -1);
}
