#include "DialogsFixture.h"

#include "settings_dialogs/FloatingCellEditor.h"
#include "settings_dialogs/frmCartGroups.h"
#include "support/RecordingSender.h"

#include "platform/Files.h"
#include <QLineEdit>
#include <QMouseEvent>
#include <QTableWidget>

using namespace SettingsDialogs;
using DialogsTest::DialogsFixture;
using E = CartGroupsEngine;

namespace {

class CartGroupsTest : public DialogsFixture {
protected:
    CartGroupsTest() {
        Breaks::CartGroupRecord& g = context_.CartGroups.CartGroups[2]; // group 3
        g.Mute = 5;
        g.SelectionMode = 7;
        g.CheckAgainstAds = 1;
        g.CartNumber(1) = -3;
        g.CartNumber(2) = 4001;
        g.Description = "Jingles";
        context_.CartGroups.CartGroupPageDescription[0] = "Page one";
    }
    void Click(QTableWidget* grid, int row, int column) {
        grid->setCurrentCell(row, column);
        emit grid->cellClicked(row, column);
    }
};

} // namespace

TEST_F(CartGroupsTest, ToggleEditAndSaveEveryGroup) {
    TestSupport::RecordingSender sender;
    frmCartGroups form(&sender);
    form.show();
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "the editor is not resizable";
    E& e = form.Engine();
    EXPECT_EQ(e.Cell(3, E::kMute), "Yes");
    EXPECT_EQ(e.Cell(3, E::kSelection), "Random Choice");
    EXPECT_EQ(e.CellColour(3, E::kSelection), E::kYellow);
    EXPECT_EQ(e.Cell(3, E::kFirstCart), ""); // below 1 shows empty
    EXPECT_EQ(form.txtCartGroupDescriptions(1)->text(), "Page one");

    QTableWidget* grid = form.grdGroups();
    Click(grid, 0, E::kSelection);
    EXPECT_EQ(e.Cell(1, E::kSelection), "Random Choice");
    Click(grid, 0, E::kSelection);
    EXPECT_EQ(e.Cell(1, E::kSelection), "Next In Group");
    EXPECT_EQ(grid->item(0, E::kSelection)->background().color(), QColor(0, 255, 0));
    Click(grid, 1, E::kPlayout);
    Click(grid, 1, E::kAdCmd);
    Click(grid, 1, E::kMute);
    EXPECT_EQ(e.Cell(2, E::kPlayout), "Play Instantly");

    // Carts at positions 2 and 5; a 0 typed at position 3 empties it.
    for (auto [column, typed] : {std::pair{E::kFirstCart + 1, "12x3"},
                                 {E::kFirstCart + 4, "77"},
                                 {E::kFirstCart + 2, "0"}}) {
        Click(grid, 1, column);
        ASSERT_TRUE(form.txtCartNo()->isVisible());
        DialogsTest::Type(form.txtCartNo(), typed);
        DialogsTest::Press(form.txtCartNo(), Qt::Key_Escape); // closes the editor only
        EXPECT_FALSE(form.txtCartNo()->isVisible());
        EXPECT_TRUE(form.isVisible());
    }
    EXPECT_EQ(grid->item(1, E::kFirstCart + 1)->text(), "123");
    EXPECT_EQ(e.Cell(2, E::kFirstCart + 2), "");
    Click(grid, 1, E::kDescription);
    DialogsTest::Type(form.txtDescription(), "News");
    DialogsTest::Press(form.txtDescription(), Qt::Key_Return);
    EXPECT_EQ(e.Cell(2, E::kDescription), "News");
    form.txtCartGroupDescriptions(2)->setText("Beds");
    emit form.txtCartGroupDescriptions(2)->textEdited("Beds");

    // Nothing reaches the table before OK.
    EXPECT_EQ(context_.CartGroups.CartGroups[1].NumberOfCarts, 0);
    form.ok();
    EXPECT_FALSE(form.isVisible());
    const Breaks::CartGroupRecord& g2 = context_.CartGroups.CartGroups[1];
    EXPECT_EQ(g2.NumberOfCarts, 5);
    EXPECT_EQ(g2.CartNumbers[0] + g2.CartNumbers[2] + g2.CartNumbers[3], 0);
    EXPECT_EQ(g2.CartNumber(2), 123);
    EXPECT_EQ(g2.CartNumber(5), 77);
    const Breaks::CartGroupRecord& g3 = context_.CartGroups.CartGroups[2];
    EXPECT_EQ(g3.Mute, -1);
    EXPECT_EQ(g3.SelectionMode, 1);
    EXPECT_EQ(g3.CartNumber(1), 0);
    EXPECT_EQ(g3.NumberOfCarts, 2);
    EXPECT_EQ(sender.vantor, std::vector<std::string>{"CARTGROUPS_EDITED"});
    EXPECT_EQ(Platform::GetPrivateProfileSection("CartGroup2", "VNTZEL.INI"),
              (std::vector<std::string>{"Mute=-1", "PlayoutMode=1", "CheckAgainstAds=1",
                                        "Description=News", "CartNumber2=123", "CartNumber5=77"}));
    EXPECT_EQ(Ini("CartGroups", "Description2"), "Beds");
}

TEST_F(CartGroupsTest, CancelChangesNothing) {
    TestSupport::RecordingSender sender;
    frmCartGroups form(&sender);
    form.show();
    emit form.grdGroups()->cellClicked(2, E::kMute);
    form.Engine().SetPageCaption(1, "Changed");
    form.reject();
    EXPECT_EQ(context_.CartGroups.CartGroups[2].Mute, 5);
    EXPECT_EQ(context_.CartGroups.CartGroupPageDescription[0], "Page one");
    EXPECT_TRUE(sender.vantor.empty());
    EXPECT_FALSE(Platform::FileExists(dir_.File("VNTZEL.INI")));
}
