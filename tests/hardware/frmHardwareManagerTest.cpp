// The manager window offscreen: the card list, the boxes of the chosen card, switching by
// hand, the test pulse, and minimising and restoring without a tray.
#include "support/TestSupport.h"

#include "hardware/frmHardwareManager.h"
#include "main_window/ProgramContext.h"
#include "platform/Joystick.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

using HardwareAPI::Card;

TEST(frmHardwareManager, BoxesFollowTheChosenCardAndMinimiseAndRestore) {
    ProgramContext context;
    ContextScope scope(context);
    TestSupport::ScriptedBoxes boxes;
    TestSupport::FrozenClock clock(46363, 36000.0);
    Platform::Joystick::InstallSimulatedStick().Buttons = 0b0101;
    Card(1).CardType = HardwareAPI::CardSerialIO; // port 0: not opened
    Card(1).TotalLines = 8;
    Card(1).Line(1).Description = "  ";
    Card(1).Line(2).Description = "Studio lamp";
    Card(1).Line(2).LineType = 1;
    Card(2).CardType = HardwareAPI::CardJoystick;
    Card(2).TotalLines = 4;

    HardwareManager::frmHardwareManager form;
    form.Form_Load();
    EXPECT_TRUE(form.Engine().Polling()) << "the joystick card is usable";
    EXPECT_TRUE(form.isMinimized()) << "no tray here: it stays minimised";
    // Where nothing minimises it, it stands in the screen's bottom right corner, clear of the
    // main window at the top left.
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(free.contains(form.frameGeometry()));
    EXPECT_EQ(form.frameGeometry().right(), free.right());
    EXPECT_GT(form.x(), 0);
    ASSERT_EQ(form.comboCardNo()->count(), 3);
    EXPECT_EQ(form.comboCardNo()->itemText(1).toStdString(), "2 : Joystick");
    EXPECT_EQ(form.chkHardware(1)->text().toStdString(), "No description");
    EXPECT_EQ(form.chkHardware(2)->text().toStdString(), "Studio lamp");
    EXPECT_FALSE(form.chkHardware(9)->isVisibleTo(&form));
    // Only the columns that hold the card's lines have a heading.
    EXPECT_TRUE(form.Label(1)->isVisibleTo(&form));
    EXPECT_FALSE(form.Label(2)->isVisibleTo(&form));
    EXPECT_FALSE(form.Label(3)->isVisibleTo(&form));
    EXPECT_NE(form.chkHardware(1)->palette().color(QPalette::WindowText),
              form.chkHardware(2)->palette().color(QPalette::WindowText));

    form.Restore();
    EXPECT_FALSE(form.isMinimized());
    form.comboCardNo()->setCurrentIndex(1);
    EXPECT_TRUE(form.chkHardware(4)->isVisibleTo(&form));
    EXPECT_FALSE(form.chkHardware(5)->isVisibleTo(&form));
    form.comboCardNo()->setCurrentIndex(2);
    EXPECT_FALSE(form.Label(1)->isVisibleTo(&form)) << "a disabled card has no lines";
    form.comboCardNo()->setCurrentIndex(1);
    form.Engine().hwTimer_Timer();
    EXPECT_TRUE(form.chkHardware(1)->isChecked()) << "button 1 pressed";
    EXPECT_FALSE(form.chkHardware(2)->isChecked());
    EXPECT_TRUE(form.chkHardware(3)->isChecked());

    form.chkHardware(2)->click(); // switches line 102 by hand
    EXPECT_EQ(Card(2).Line(2).State, -1);
    form.lblOutput_Click();
    EXPECT_EQ(Card(1).Line(17).State, -1);
    EXPECT_GT(Card(1).Line(17).PulseEnd.Day, 0);

    form.close(); // the user's close only minimises
    EXPECT_TRUE(form.isMinimized());
    form.Restore();
    form.Form_KeyPress(27);
    EXPECT_TRUE(form.isMinimized());
    EXPECT_EQ(form.mPopupSys()->actions().value(0)->text().toStdString(), "&Restore");
    form.Form_Unload();
    EXPECT_FALSE(form.Engine().Polling());
    Platform::Joystick::RemoveSimulatedStick();
}

} // namespace
