// The cart groups in the main settings file and the choice of each group's next item.
#include "support/TestSupport.h"

#include "breaks/CartTiming.h"
#include "breaks/SplitCartGroupQueue.h"
#include "breaks/ZEL_Specific_CartGroups.h"
#include "main_window/ProgramContext.h"

#include <deque>
#include <gtest/gtest.h>

namespace {

using Breaks::CartGroup;
using Breaks::ItemPurpose;

class CartGroupStore : public ::testing::Test {
protected:
    void SetUp() override {
        context_.Settings.MainIniFile = ini;
        // Carts 1..99 play for 30 s with the segue point at the cart number in seconds; cart
        // 500 has no audio.
        BreakCarts::SetCartReader([](int32_t cart, BreakCarts::CartTiming& timing) {
            if (cart < 1 || cart > 99) return int16_t{-1};
            timing = {30.0f, static_cast<float>(cart)};
            return int16_t{0};
        });
    }
    // Rnd answers the scripted values in turn.
    void Script(std::deque<float> values) {
        Breaks::SetRandomSource([values]() mutable {
            float v = values.front();
            values.pop_front();
            return v;
        });
    }
    std::string Text(const std::string& path) const { return TestSupport::ReadBytes(path); }

    ProgramContext context_;
    ContextScope scope_{context_};
    TestSupport::ScratchDir dir_;
    std::string ini = dir_.File("VNTZEL.INI");
};

TEST_F(CartGroupStore, AFileWithoutGroupsGivesTheDefaults) {
    ZEL_Specific::LoadCartGroups(ini);
    const Breaks::CartGroupsState& state = Breaks::CartGroupState();
    EXPECT_EQ(state.CartGroupPageDescription[0], "Groups &1 to 20");
    EXPECT_EQ(state.CartGroupPageDescription[4], "Groups &81 to 100");
    EXPECT_EQ(CartGroup(7)->Description, "7");
    EXPECT_EQ(CartGroup(100)->Description, "100");
    EXPECT_EQ(CartGroup(100)->NumberOfCarts, 0);
    EXPECT_EQ(CartGroup(0), nullptr);
    EXPECT_EQ(CartGroup(101), nullptr);
    EXPECT_EQ(ZEL_Specific::FirstCartOfGroup(1), 0);
    EXPECT_EQ(SplitCartGroupQueue::GetCartGroupDescription(101), "");
    EXPECT_EQ(SplitCartGroupQueue::GetCartGroupLength(0), 0.0f);
}

TEST_F(CartGroupStore, LoadReadsTheHighestSlotClampsTheRotationAndCutsLongText) {
    const std::string longText(300, 'x');
    TestSupport::WriteBytes(ini, "[CartGroup1]\r\nCartNumber3=12\r\nCartNumber7=-4\r\n"
                                 "LastItemPlayed=-5\r\nSelectionMode=2\r\nDescription=" +
                                     longText +
                                     "\r\n[CartGroup2]\r\nLastItemPlayed=99\r\nCartNumber1=5\r\n"
                                     "[CartGroups]\r\nDescription2=Jingles\r\n");
    ZEL_Specific::LoadCartGroups(ini);
    Breaks::CartGroupRecord& g1 = *CartGroup(1);
    EXPECT_EQ(g1.NumberOfCarts, 7);
    EXPECT_EQ(g1.LastItemPlayed, 0) << "below 0 would index before slot 1";
    EXPECT_EQ(g1.Description, std::string(254, 'x'));
    EXPECT_EQ(CartGroup(2)->LastItemPlayed, 20);
    EXPECT_EQ(Breaks::CartGroupState().CartGroupPageDescription[1], "Jingles");
    EXPECT_EQ(ZEL_Specific::FirstCartOfGroup(1), 12);

    // Sequential after 20 with one slot in use: slot 1 again.
    EXPECT_EQ(Breaks::ChooseNextItem(*CartGroup(2), ItemPurpose::Play), 1);
    // Mode 2 is random; the choice stays inside slots 1..7 even for a number near 1.
    Script({0.0f, 0.99999994f});
    EXPECT_EQ(Breaks::ChooseNextItem(g1, ItemPurpose::Play), 1);
    EXPECT_EQ(Breaks::ChooseNextItem(g1, ItemPurpose::Play), 7);
}

TEST_F(CartGroupStore, SavedSectionsRoundTripByteForByte) {
    Breaks::CartGroupsState& state = Breaks::CartGroupState();
    ZEL_Specific::LoadCartGroups(ini);
    state.CartGroupPageDescription[2] = std::string(254, 'P');
    Breaks::CartGroupRecord& g = *CartGroup(5);
    g.Description = std::string(253, 'd') + "\xE9"; // 8-bit text at the limit
    g.Mute = 1;
    g.PlayoutMode = 1;
    g.SelectionMode = 1;
    g.CheckAgainstAds = -1;
    g.CartNumber(2) = 77;
    g.CartNumber(20) = 10000;
    CartGroup(6)->SelectionMode = 2; // not kept: reads back sequential
    CartGroup(6)->PlayoutMode = 3;
    CartGroup(8)->Description.clear();
    ASSERT_TRUE(ZEL_Specific::SaveCartGroups(ini));
    const std::string first = Text(ini);
    // A write that cannot be made is reported, not taken for saved.
    EXPECT_FALSE(ZEL_Specific::SaveCartGroups(dir_.File("missing/ZEL.INI")));

    // The played position is stored apart and dropped by the next save.
    // Saved at every play: a disk that refuses it is told once, and once when it takes it again.
    {
        TestSupport::ToldProblems told;
        {
            TestSupport::FileSizeLimit full(0);
            ASSERT_TRUE(full.Set());
            for (int16_t item = 1; item <= 3; ++item) {
                g.LastItemPlayed = item;
                ZEL_Specific::SaveLastItemPlayed(5);
            }
        }
        EXPECT_EQ(told.Count("SaveLastItemPlayed:Failed to write " + ini + ": File too large"), 1u);
        EXPECT_EQ(Text(ini).find("LastItemPlayed"), std::string::npos);
        g.LastItemPlayed = 2;
        ZEL_Specific::SaveLastItemPlayed(5);
        ZEL_Specific::SaveLastItemPlayed(5);
        EXPECT_EQ(told.Count("SaveLastItemPlayed:" + ini + " is written again"), 1u);
        EXPECT_EQ(told.Count("SaveLastItemPlayed:"), 2u) << ::testing::PrintToString(told.Told());
    }
    EXPECT_NE(Text(ini).find("LastItemPlayed=2"), std::string::npos);

    ProgramContext other;
    ContextScope scope(other);
    const std::string copy = dir_.File("COPY.INI");
    TestSupport::WriteBytes(copy, Text(ini));
    ZEL_Specific::LoadCartGroups(copy);
    EXPECT_EQ(CartGroup(5)->LastItemPlayed, 2);
    EXPECT_EQ(CartGroup(5)->Description, g.Description);
    EXPECT_EQ(CartGroup(5)->NumberOfCarts, 20);
    EXPECT_EQ(CartGroup(6)->SelectionMode, 0);
    EXPECT_EQ(CartGroup(6)->PlayoutMode, 0);
    EXPECT_EQ(CartGroup(8)->Description, "8") << "an empty caption is not stored";
    CartGroup(8)->Description.clear();
    ZEL_Specific::SaveCartGroups(copy);
    EXPECT_EQ(Text(copy), first);
    EXPECT_EQ(first.find("LastItemPlayed"), std::string::npos);
    EXPECT_NE(first.find("[CartGroup5]\r\nMute=1\r\nPlayoutMode=1\r\nSelectionMode=1\r\n"
                         "CheckAgainstAds=-1\r\nDescription=" +
                         g.Description + "\r\nCartNumber2=77\r\nCartNumber20=10000\r\n"),
              std::string::npos);
    EXPECT_NE(first.find("[CartGroup100]\r\nCheckAgainstAds=0\r\nDescription=100\r\n"),
              std::string::npos);
}

TEST_F(CartGroupStore, RandomCuesArePlayedAndLengthsFollowTheirRules) {
    ZEL_Specific::LoadCartGroups(ini);
    Breaks::CartGroupRecord& g = *CartGroup(9);
    for (int16_t slot = 1; slot <= 4; ++slot)
        g.CartNumber(slot) = 10 * slot;
    g.NumberOfCarts = 4;
    g.SelectionMode = 1;
    Script({0.6f, 0.1f});
    EXPECT_EQ(Breaks::ChooseNextItem(g, ItemPurpose::Cue), 3);
    EXPECT_EQ(SplitCartGroupQueue::GetCartGroupLength(9), 10.0f) << "random: always slot 1";
    EXPECT_EQ(Breaks::ChooseNextItem(g, ItemPurpose::Play), 3) << "the play takes the cue";
    EXPECT_EQ(Breaks::ChooseNextItem(g, ItemPurpose::Play), 1) << "then chooses again";

    // Sequential: the next slot's segue point; an empty slot or a cart without audio give 0.
    g.SelectionMode = 0;
    g.LastItemPlayed = 1;
    EXPECT_EQ(SplitCartGroupQueue::GetCartGroupLength(9), 20.0f);
    g.CartNumber(2) = 500;
    EXPECT_EQ(SplitCartGroupQueue::GetCartGroupLength(9), 0.0f);
    g.CartNumber(2) = 0;
    EXPECT_EQ(SplitCartGroupQueue::GetCartGroupLength(9), 0.0f);
    // A play steps past them to the next that can play; nothing playable answers 0.
    EXPECT_EQ(Breaks::PrepareCartGroupPlay(9), 30.0f);
    EXPECT_EQ(g.LastItemPlayed, 2);
    for (int16_t slot = 1; slot <= 4; ++slot)
        g.CartNumber(slot) = 500;
    EXPECT_EQ(Breaks::PrepareCartGroupPlay(9), 0.0f);
}

} // namespace
