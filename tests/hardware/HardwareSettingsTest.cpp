// The hardware settings dialog's logic: the page set-up by card type, the grid editors and
// Apply against a real settings file and the running manager on a simulated card.
#include "support/TestSupport.h"

#include "hardware/HardwareSettingsEngine.h"
#include "hardware/frmHardwareManager.h"
#include "hardware/frmHardwareSettings.h"
#include "main_window/ProgramContext.h"
#include "platform/Dio.h"
#include "platform/Profile.h"

#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

using HardwareAPI::Card;
using HardwareSettings::HardwareSettingsEngine;
namespace Dio = Platform::Dio;

class HardwareSettingsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        context.Settings.MainIniFile = ini;
        Dio::InstallSimulatedCard(0x1A).Features = {1, 16, 8};
        TestSupport::WriteBytes(ini, "[Hardware1]\r\nCardType=3\r\nBaseAddress=2\r\n"
                                     "[Hardware2]\r\nCardType=4\r\nBaseAddress=26\r\n"
                                     "[Hardware3]\r\nCardType=5\r\n");
        engine.Form_Load();
        Platform::ClearShownBoxes(); // the empty device field asked device 0 first
    }
    void TearDown() override {
        HardwareManager::UnloadHardwareManager();
        Dio::RemoveAllSimulatedCards();
    }
    void Click(int page, int row, int rowSel, int col) {
        auto& p = engine.page(page);
        p.Row = row;
        p.RowSel = rowSel;
        p.Col = p.ColSel = col;
        engine.gridUsage_MouseUp(page);
    }
    std::vector<int32_t> Data1(int card, int from, int to) {
        std::vector<int32_t> out;
        for (int k = from; k <= to; ++k)
            out.push_back(Card(card).Line(k).Data1);
        return out;
    }
    // Chooses the list entry with the text.
    void Choose(int page, const std::string& text) {
        const auto& entries = engine.page(page).ListOptions.entries;
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].text == text) return engine.ChooseOption(page, static_cast<int>(i));
        FAIL() << text << " not offered";
    }

    TestSupport::ScratchDir dir;
    std::string ini = dir.File("VNTZEL.INI");
    ProgramContext context;
    ContextScope scope{context};
    TestSupport::ScriptedBoxes boxes;
    HardwareSettingsEngine engine;
};

TEST_F(HardwareSettingsDialog, PagesFollowTheirCardTypes) {
    EXPECT_EQ(engine.page(1).portIndex, 1);
    EXPECT_EQ(engine.page(1).gridRows, 9);
    EXPECT_TRUE(engine.page(1).portListEnabled);
    EXPECT_EQ(engine.page(2).portAddress, "1A");
    EXPECT_EQ(engine.page(2).portAddressCaption, "Device Number(Hex)");
    EXPECT_EQ(engine.page(2).gridRows, 25);
    EXPECT_EQ(Card(2).Line(16).LineType, 0);
    EXPECT_EQ(Card(2).Line(17).LineType, 1);
    EXPECT_EQ(engine.page(3).gridRows, 5);
    EXPECT_EQ(engine.page(3).grid[4][HardwareCatalogue::colType], "Input");
    engine.SetCardType(3, 0);
    EXPECT_EQ(engine.page(3).gridRows, 1);
    EXPECT_TRUE(engine.page(3).gridGreyed);
    // A board reporting more lines than the table holds gets 100 rows.
    Dio::InstallSimulatedCard(0x1B).Features = {1, 96, 64};
    engine.PortAddressT_Change(2, "1b");
    EXPECT_EQ(engine.page(2).gridRows, 101);
    Click(2, 100, 120, HardwareCatalogue::colActiveLow);
    EXPECT_EQ(Card(2).Line(100).ActiveLow, -1);

    // A stored type the list does not offer: the page says which, until a type is chosen.
    Platform::WritePrivateProfileString("Hardware1", "CardType", "1", ini);
    HardwareSettings::frmHardwareSettings form;
    form.Form_Load();
    QLabel* notice = form.Widgets(1).lblNotice;
    EXPECT_EQ(form.Widgets(1).CardTypeList->currentIndex(), -1);
    EXPECT_TRUE(notice->isVisibleTo(&form));
    EXPECT_EQ(notice->text(), "The stored card (1 : Single 8255) is of a type this dialog cannot "
                              "edit. Choose a type from the list to replace it.");
    EXPECT_TRUE(form.Widgets(2).lblNotice->text().isEmpty());
    emit form.Widgets(1).CardTypeList->activated(1);
    EXPECT_FALSE(notice->isVisibleTo(&form));
    EXPECT_EQ(form.Widgets(1).gridUsage->rowCount(), 8);
}

TEST_F(HardwareSettingsDialog, GridEditorsWriteEverySelectedLine) {
    // "Player Control" on rows 3..8, then upwards.
    Click(1, 3, 8, HardwareCatalogue::colType);
    EXPECT_EQ(Card(1).Line(8).LineType, 0) << "line 3 was an output";
    Click(1, 3, 8, HardwareCatalogue::colAction);
    EXPECT_EQ(engine.page(1).ListOptions.tag, "0");
    EXPECT_EQ(engine.page(1).ListOptions.entries.size(), 7u);
    Choose(1, "Player Control");
    EXPECT_EQ(Data1(1, 3, 8), (std::vector<int32_t>{1, 2, 3, 4, 1, 2}));
    EXPECT_EQ(engine.page(1).grid[3][HardwareCatalogue::colDescription], "Play Player 1");
    Click(1, 8, 3, HardwareCatalogue::colAction);
    Choose(1, "Not in use");
    Click(1, 8, 3, HardwareCatalogue::colAction);
    Choose(1, "Player Control");
    EXPECT_EQ(Data1(1, 3, 8), (std::vector<int32_t>{2, 1, 4, 3, 2, 1}));

    // Info lists follow the action; opening stores nothing.
    Click(1, 4, 4, HardwareCatalogue::colInfo2);
    ASSERT_EQ(engine.page(1).ListOptions.entries.size(), 7u);
    EXPECT_EQ(engine.page(1).ListOptions.entries[4].text, "Rewind");
    EXPECT_EQ(engine.page(1).ListOptions.selected, 0);
    Choose(1, "Forward");
    EXPECT_EQ(Card(1).Line(4).Data2, 4);
    Card(1).Line(5).Action = 6;
    Card(1).Line(5).Data2 = 7;
    Click(1, 5, 5, HardwareCatalogue::colInfo2);
    EXPECT_EQ(engine.page(1).ListOptions.selected, 1) << "Set on Clear";
    Click(1, 5, 5, HardwareCatalogue::colInfo1);
    EXPECT_TRUE(engine.page(1).txtInfo.visible);
    EXPECT_FALSE(engine.page(1).ListOptions.visible);
    for (auto [typed, stored] : {std::pair{"12abc", 12}, {"", 0}, {"2.5", 2}, {"3.5", 4}}) {
        engine.txtInfo_Change(1, typed);
        EXPECT_EQ(Card(1).Line(5).Data1, stored) << typed;
    }
    Card(1).Line(6).Action = 7;
    Click(1, 6, 6, HardwareCatalogue::colInfo1);
    EXPECT_TRUE(engine.page(1).ListOptions.entries.empty());
    EXPECT_EQ(engine.page(1).ListOptions.selected, -1);
    Click(1, 6, 6, HardwareCatalogue::colInfo3);
    EXPECT_FALSE(engine.page(1).ListOptions.visible);

    // A description typed on a block goes to each line; "L" inverts each line's own flag.
    Click(1, 1, 2, HardwareCatalogue::colDescription);
    engine.txtDescription_Change(1, "Studio ");
    EXPECT_EQ(Card(1).Line(1).Description, "Studio ");
    EXPECT_EQ(Card(1).Line(2).Description, "Studio ");
    Card(1).Line(1).ActiveLow = -1;
    Click(1, 2, 1, HardwareCatalogue::colActiveLow);
    EXPECT_EQ(Card(1).Line(1).ActiveLow, 0);
    EXPECT_EQ(Card(1).Line(2).ActiveLow, -1);

    // Type toggles: nothing on Advantech and joystick pages, 8-line groups on an 8255 card.
    Click(3, 1, 2, HardwareCatalogue::colType);
    EXPECT_EQ(Card(3).Line(1).LineType, 0);
    Card(1).CardType = HardwareAPI::CardDual8255;
    engine.page(1).typeIndex = -1; // a stored type the list does not offer
    engine.page(1).gridRows = 49;
    Card(1).Line(9).LineType = 0;
    Click(1, 11, 10, HardwareCatalogue::colType);
    for (int k = 9; k <= 16; ++k)
        EXPECT_EQ(Card(1).Line(k).LineType, 1) << k;
    EXPECT_EQ(engine.page(1).Row, 9);
    EXPECT_EQ(engine.page(1).RowSel, 16);
}

TEST_F(HardwareSettingsDialog, ApplyChecksEveryPageBeforeRestartingTheManager) {
    HardwareManager::LoadHardwareManager();
    Dio::SimulatedCard* sim = Dio::FindSimulatedCard(0x1A);
    EXPECT_EQ(sim->OpenHandles, 1);
    Dio::InstallSimulatedCard(0xFF).Features = {1, 8, 8};
    Platform::ClearShownBoxes(); // the serial card's port is not there

    // A changed page 2 and a refused page 1: nothing changes, the manager keeps running.
    engine.PortAddressT_Change(2, "ff");
    engine.SetPort(1, -1);
    EXPECT_FALSE(engine.cmdOK_Click());
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].prompt, "You must specify a Serial Port to connect to");
    EXPECT_EQ(Card(2).BaseAddress, 26);
    EXPECT_EQ(sim->OpenHandles, 1);
    EXPECT_EQ(Platform::GetPrivateProfileString("Hardware2", "BaseAddress", "", ini, 255), "26");

    engine.SetPort(1, 3);
    Card(1).Line(1).LineType = 0;
    Click(1, 1, 1, HardwareCatalogue::colAction);
    Choose(1, "ZEL - Adverts");
    engine.SetCardType(3, 0);
    EXPECT_TRUE(engine.cmdOK_Click());
    EXPECT_EQ(engine.AppliedMark(), "1");
    EXPECT_EQ(Card(2).BaseAddress, 255);
    EXPECT_EQ(sim->OpenHandles, 0) << "the old device was closed";
    EXPECT_EQ(Dio::FindSimulatedCard(0xFF)->OpenHandles, 1) << "the manager runs again";
    const std::string text = TestSupport::ReadBytes(ini);
    EXPECT_NE(text.find("[Hardware1]\r\nCardType=3\r\nBaseAddress=4\r\nLineType1=0\r\n"
                        "ActiveLow1=0\r\nDescription1=ZEL - Play Adverts\r\nColor1=0\r\n"
                        "Action1=5\r\nAction1Data1=1\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("[Hardware2]\r\nCardType=4\r\nBaseAddress=255\r\n"), std::string::npos);
    EXPECT_EQ(text.find("[Hardware3]"), std::string::npos);

    for (const char* bad : {"100", "", "xyz"}) {
        engine.PortAddressT_Change(2, bad);
        EXPECT_FALSE(engine.cmdApply_Click()) << bad;
    }
    engine.PortAddressT_Change(2, " 1A ");
    EXPECT_TRUE(engine.cmdApply_Click());
    EXPECT_EQ(Card(2).BaseAddress, 26);

    // A save the disk refuses: the box names the cause and OK keeps the dialog open, though
    // the last Apply worked; the file stays as it was.
    const std::string saved = TestSupport::ReadBytes(ini);
    engine.PortAddressT_Change(2, "ff");
    Platform::ClearShownBoxes();
    {
        TestSupport::FileSizeLimit full(0);
        ASSERT_TRUE(full.Set());
        EXPECT_FALSE(engine.cmdOK_Click());
    }
    // The restarted manager's box for the missing serial port comes first.
    ASSERT_FALSE(boxes.Shown().empty());
    EXPECT_NE(boxes.Shown().back().prompt.find("saving the settings to " + ini +
                                               " and the error's description was reported as : "
                                               "\n\n\"File too large\" (61)"),
              std::string::npos)
        << boxes.Shown().back().prompt;
    EXPECT_EQ(TestSupport::ReadBytes(ini), saved);
    EXPECT_TRUE(engine.cmdOK_Click());
}

} // namespace
