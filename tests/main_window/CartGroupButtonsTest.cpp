// The main window's cart-group buttons offscreen: colours by mode, pages followed by the
// network, the pressed look, and the words each play, cue and page change sends.
#include "support/RecordingSender.h"
#include "support/TestSupport.h"

#include "breaks/CartTiming.h"
#include "breaks/SplitCartGroupQueue.h"
#include "breaks/ZEL_Specific_CartGroups.h"
#include "main_window/CartGroupButtons.h"
#include "main_window/CartGroupPanel.h"
#include "main_window/ProgramContext.h"

#include <QPushButton>
#include <QTabBar>
#include <gtest/gtest.h>

namespace {

using MainWindow::CartGroupButtons;

class CartGroupButtonsTest : public ::testing::Test {
protected:
    void SetUp() override {
        context_.Settings.MainIniFile = dir_.File("VNTZEL.INI");
        context_.Settings.Audio.TotalNumberCartPlayers = 0; // cues find no player
        // Carts below 100 have audio with a 5 s segue point.
        BreakCarts::SetCartReader([](int32_t cart, BreakCarts::CartTiming& timing) {
            if (cart >= 100) return int16_t{-1};
            timing = {8.0f, 5.0f};
            return int16_t{0};
        });
        ZEL_Specific::LoadCartGroups(context_.Settings.MainIniFile);
        Fill(1, 0, "Jingles");
        Fill(2, 1, "Direct");
        Fill(3, 2, "Other mode");
        Breaks::CartGroup(4)->Description = "No carts";
        Fill(25, 0, "Page two");
        Fill(41, 0, "Page three");
        buttons.UpdateCartGroups();
    }
    void Fill(int32_t g, int32_t playoutMode, const std::string& description) {
        Breaks::CartGroupRecord& group = *Breaks::CartGroup(g);
        group.CartNumber(2) = 10 + g;
        group.NumberOfCarts = 2;
        group.PlayoutMode = playoutMode;
        group.Description = description;
    }

    ProgramContext context_;
    ContextScope scope_{context_};
    TestSupport::ScratchDir dir_;
    TestSupport::RecordingSender sender;
    SplitCartGroupQueue queue{&sender};
    CartGroupButtons buttons{queue, &sender};
};

TEST_F(CartGroupButtonsTest, ButtonsShowTheirGroupsModesAndFollowThePages) {
    EXPECT_EQ(buttons.TabCaption(0), "Groups &1 to 20");
    EXPECT_EQ(buttons.pnlCartGroup(1).BackColor, CartGroupButtons::kYellow);
    EXPECT_EQ(buttons.pnlCartGroup(1).Caption, "Jingles");
    EXPECT_EQ(buttons.pnlCartGroup(2).BackColor, CartGroupButtons::kGreen);
    EXPECT_EQ(buttons.pnlCartGroup(3).BackColor, CartGroupButtons::kGreen);
    EXPECT_EQ(buttons.pnlCartGroup(4).BackColor, CartGroupButtons::kButtonFace);
    EXPECT_EQ(buttons.pnlCartGroup(4).Caption, "");

    buttons.tbsCartGroups_Click(2);
    EXPECT_EQ(sender.sent, std::vector<std::string>{"DISPLAY_GROUP_RANGE 3"});
    EXPECT_EQ(buttons.pnlCartGroup(1).Caption, "Page three");
    EXPECT_EQ(buttons.pnlCartGroup(2).Caption, "");

    // From the network: clamped to the five pages, and not told back.
    buttons.DisplayGroupRange(9);
    EXPECT_EQ(buttons.Page(), 4);
    buttons.DisplayGroupRange(0);
    EXPECT_EQ(buttons.Page(), 0);
    buttons.DisplayGroupRange(2);
    EXPECT_EQ(buttons.pnlCartGroup(5).Caption, "Page two");
    EXPECT_EQ(sender.sent.size(), 1u);
}

TEST_F(CartGroupButtonsTest, PlaysAndCuesSendTheirWordsAndPressOnlyButtonsShown) {
    buttons.PlayCartGroup(0, true);
    buttons.PlayCartGroup(101, true);
    buttons.CueCartGroup(101, true);
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_TRUE(sender.vantor.empty());

    buttons.DisplayGroupRange(2);    // groups 21-40
    buttons.PlayCartGroup(20, true); // empty: answered at once
    for (int16_t i = 1; i <= CartGroupButtons::kButtons; ++i)
        EXPECT_EQ(buttons.pnlCartGroup(i).Style, CartGroupButtons::StyleNormal) << i;
    buttons.PlayCartGroup(25, false);
    EXPECT_EQ(buttons.pnlCartGroup(5).Style, CartGroupButtons::StylePressed);
    EXPECT_TRUE(buttons.PressTimer(5).isActive());
    EXPECT_EQ(buttons.PressTimer(5).interval(), CartGroupButtons::kPressedMs);
    buttons.EndPressedLook(5);
    EXPECT_EQ(buttons.pnlCartGroup(5).Style, CartGroupButtons::StyleNormal);
    EXPECT_EQ(queue.QueueCount(), 1);
    EXPECT_NE(TestSupport::ReadBytes(context_.Settings.MainIniFile).find("LastItemPlayed=2"),
              std::string::npos);

    buttons.PlayCartGroup(4, false);
    buttons.CueCartGroup(1, true);
    EXPECT_EQ(queue.QueueCount(), 1);
    EXPECT_EQ(sender.sent, (std::vector<std::string>{"CART_GROUP 20", "CART_GROUP_CUE 1"}));
    EXPECT_EQ(sender.vantor,
              (std::vector<std::string>{"CART_GROUP_COMPLETE 20", "CART_GROUP_COMPLETE 4"}));
}

TEST_F(CartGroupButtonsTest, ThePanelMirrorsTheButtonsAndForwardsClicksAndPages) {
    MainWindow::CartGroupPanel panel(buttons);
    panel.resize(900, MainWindow::CartGroupPanel::kHeight);
    EXPECT_EQ(panel.pnlCartGroup(1)->text(), "Jingles");
    EXPECT_TRUE(panel.pnlCartGroup(2)->styleSheet().contains("#00ff00"));
    // Groups run down the columns: 1 above 2, 3 right of 1.
    EXPECT_EQ(panel.pnlCartGroup(1)->x(), panel.pnlCartGroup(2)->x());
    EXPECT_LT(panel.pnlCartGroup(1)->y(), panel.pnlCartGroup(2)->y());
    EXPECT_LT(panel.pnlCartGroup(1)->x(), panel.pnlCartGroup(3)->x());

    panel.pnlCartGroup(1)->click();
    EXPECT_EQ(sender.sent, std::vector<std::string>{"CART_GROUP 1"});
    EXPECT_TRUE(panel.pnlCartGroup(1)->styleSheet().contains("padding-top: 4px"));
    panel.tbsCartGroups()->setCurrentIndex(1);
    EXPECT_EQ(sender.sent.back(), "DISPLAY_GROUP_RANGE 2");
    EXPECT_EQ(panel.pnlCartGroup(5)->text(), "Page two");
    buttons.DisplayGroupRange(9);
    EXPECT_EQ(panel.tbsCartGroups()->currentIndex(), 4);
    EXPECT_EQ(sender.sent.size(), 2u);
}

} // namespace
