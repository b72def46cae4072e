#include "DialogsFixture.h"

#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "main_window/CommandLine.h"
#include "settings_dialogs/FloatingCellEditor.h"
#include "settings_dialogs/frmZELSettings.h"

#include <QMouseEvent>
#include <QTableWidget>

using namespace SettingsDialogs;
using DialogsTest::DialogsFixture;

namespace {

class ZELSettingsTest : public DialogsFixture {
protected:
    ZELSettingsTest() {
        context_.Settings.General.LogWarningDays = MainSettings::DefaultLogWarningDays();
        GeneralFunctions::State().DebugMode = 0;
    }
    ~ZELSettingsTest() override {
        MainWindow::SetCommandLine("");
        GeneralFunctions::State().DebugMode = 0;
    }
    std::string File() { return TestSupport::ReadBytes(dir_.File("VNTZEL.INI")); }
};

void Click(QTableWidget* grid, int row, int column) {
    QPoint at = grid->visualItemRect(grid->item(row, column)).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, grid->viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, grid->viewport()->mapToGlobal(at),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &press);
    QApplication::sendEvent(grid->viewport(), &release);
}

} // namespace

TEST_F(ZELSettingsTest, ApplyChecksClampsAndWritesEveryKeyInOrder) {
    ZELSettingsEngine engine;
    ZELSettingsControls c = engine.Controls();
    EXPECT_EQ(c.SecsBeforeSignalling, "0.5");
    EXPECT_EQ(c.LogLoadDaily, "00:05:00");
    EXPECT_EQ(c.DropMins, ""); // no dropping: the box starts empty

    c.SecsBeforeSignalling = " ";
    engine.SetControls(c);
    EXPECT_FALSE(engine.Apply());
    EXPECT_EQ(Prompts(), std::vector<std::string>{
                             "You must specify a 'Number of seconds to wait before signalling'\n"
                             "(The minimum time is 0.01 seconds)"});
    // 16-bit values out of range are refused before any key is written.
    c.SecsBeforeSignalling = "0";
    c.SourceHWLine = "301";
    engine.SetControls(c);
    EXPECT_FALSE(engine.Apply());
    c.SourceHWLine = "12";
    c.DropBreak = true;
    c.DropMins = "99999999";
    engine.SetControls(c);
    EXPECT_FALSE(engine.Apply());
    EXPECT_EQ(File(), "");
    EXPECT_EQ(boxes_.Count(), 3u);

    c.DropMins = "7.5";
    c.NumberSecsToSignal = ".";
    c.LogLoadingMode = 1;
    c.LogLoadDaily = "12:75:00"; // Enter in the box: no focus loss clamped it
    c.LogLoadHourly = "99:99";
    c.NetworkMaster = "studio2";
    c.ZOZServer = "zoz.Local";
    c.ZOZPort = 19;
    c.DebugMode = true;
    engine.SetControls(c);
    ASSERT_TRUE(engine.Apply());
    EXPECT_EQ(engine.Controls().LogLoadDaily, "13:15:00");
    EXPECT_EQ(engine.Controls().SecsBeforeSignalling, "0.01");
    EXPECT_EQ(GeneralFunctions::State().DebugMode, -1);
    const auto& g = context_.Settings.General;
    EXPECT_EQ(g.ZOZControlPort, 20);
    EXPECT_EQ(g.DropLateAdBreaks, 8); // halves to even
    EXPECT_EQ(context_.Settings.Network.MasterName, "STUDIO2");
    EXPECT_EQ(File(),
              "[General]\r\nDebugMode=-1\r\nShowCartGroups=1\r\nLogLoadingMode=1\r\n"
              "LogLoadDailyInterval=47700\r\nLogLoadHourlyInterval=3599\r\nDropLateAdBreaks=8\r\n"
              "AutoPlayAdBreaks=0\r\nCueAdBreaksImmediately=0\r\nHidePlayerControls=1\r\n"
              "LogRecFileInDestDirectory=0\r\nLogCartGroups=0\r\nLogWhenController=0\r\n"
              "NumberSecondsWaitBeforeSignal=0.01\r\nNumberSecondsToSignal=0.01\r\n"
              "SourceLine=12\r\nAdvertSourceMute=1\r\nAllowCartsDuringBreaks=0\r\n"
              "AllowBreaksDuringCarts=0\r\nZOZServerName=zoz.Local\r\nZOZControlPort=20\r\n"
              "LogWarningDays=" +
                  MainSettings::DefaultLogWarningDays() +
                  "\r\n[Network]\r\nMasterName=STUDIO2\r\nRespondPlayCommands=1\r\n"
                  "RespondOtherCommands=1\r\nSendPlayFromHardware=0\r\nSendPlayerCommands=1\r\n");

    // Started with /DEBUG: the box is ticked and Apply leaves the trace level alone.
    MainWindow::SetCommandLine("/DEBUG");
    GeneralFunctions::State().DebugMode = -1;
    TestSupport::WriteBytes(dir_.File("VNTZEL.INI"), "");
    ZELSettingsEngine forced;
    EXPECT_TRUE(forced.Controls().DebugMode);
    c = forced.Controls();
    c.DebugMode = false;
    forced.SetControls(c);
    ASSERT_TRUE(forced.Apply());
    EXPECT_EQ(GeneralFunctions::State().DebugMode, -1);
    EXPECT_EQ(Ini("General", "DebugMode"), "<missing>");
}

TEST_F(ZELSettingsTest, WeekGridEditsThroughTheFloatingEditor) {
    LogWarningWeek week(MainSettings::DefaultLogWarningDays());
    EXPECT_EQ(week.Cell(1, 14), "");
    EXPECT_EQ(week.Cell(5, 15), "3");
    week.SetCell(1, 0, "x"); // a pasted non-digit empties the cell
    week.SetCell(7, 23, "0");
    week.SetCell(2, 3, "9");
    std::string expected = MainSettings::DefaultLogWarningDays();
    expected[7 * 24 - 1] = '0';
    expected[24 + 3] = '9';
    EXPECT_EQ(week.Setting(), expected);
    EXPECT_EQ(LogWarningWeek("12").Setting(), "12" + std::string(166, '0'));

    frmZELSettings form;
    form.show();
    form.tbsSettings()->setCurrentIndex(3);
    QTableWidget* grid = form.gridWeek();
    EXPECT_EQ(grid->item(5, 10)->text(), "2");
    Click(grid, 0, 20);
    ASSERT_TRUE(form.txtLogWarning()->isVisible());
    DialogsTest::Type(form.txtLogWarning(), "a4");
    EXPECT_EQ(grid->item(0, 20)->text(), "4");
    // Esc closes the editor, not the window; the digit stays.
    DialogsTest::Press(form.txtLogWarning(), Qt::Key_Escape);
    EXPECT_FALSE(form.txtLogWarning()->isVisible());
    EXPECT_TRUE(form.isVisible());
    form.ok();
    EXPECT_EQ(context_.Settings.General.LogWarningDays[20], '4');
    EXPECT_FALSE(form.isVisible());
}
