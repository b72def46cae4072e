// Serial settings, profile parsing and the two ports opened on pseudo-terminal pairs.
#include "core/SerialSettings.h"
#include "main_window/ProgramContext.h"
#include "main_window/SerialPorts.h"
#include "main_window/frmMain.h"
#include "platform/Profile.h"
#include "support/PtyPair.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace SerialSettings;

namespace {

using TestSupport::PtyPair;

class SerialSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VNTZEL_APPDIR", dir.Path().c_str(), 1);
        ini = dir.File("VNTZEL.INI");
    }
    void TearDown() override {
        MainWindow::UnloadMainForm();
        unsetenv("VNTZEL_APPDIR");
        unsetenv("VNTZEL_COM3");
        unsetenv("VNTZEL_COM4");
    }
    void WriteIni(const std::string& text) { TestSupport::WriteBytes(ini, text); }
    void WriteProfile(const std::string& name, const std::string& text) {
        TestSupport::WriteBytes(dir.File(name), text);
    }
    ProgramContext context;
    ContextScope scope{context};
    TestSupport::ScratchDir dir;
    TestSupport::ScriptedBoxes boxes;
    std::string ini;
};

} // namespace

TEST(ParseControlCodes, TokensAndPlainText) {
    EXPECT_EQ(ParseControlCodes("<ESC>"), "\x1B");
    EXPECT_EQ(ParseControlCodes("<esc>"), "\x1B");
    EXPECT_EQ(ParseControlCodes("<13>"), "\r");
    EXPECT_EQ(ParseControlCodes("<&H0D>"), "\r");
    EXPECT_EQ(ParseControlCodes("<CR><LF>"), "\r\n");
    EXPECT_EQ(ParseControlCodes("A<B"), "A<B");
    EXPECT_EQ(ParseControlCodes("<<>X"), "<X");
    EXPECT_EQ(ParseControlCodes("<0>"), "");
    EXPECT_EQ(ParseControlCodes("<&H0>"), std::string(1, '\0'));
    EXPECT_EQ(ParseControlCodes("a<XYZ>b<>c"), "abc");
    EXPECT_EQ(ParseControlCodes("<300>Z"), "Z");
}

TEST(ActionCode, WordsAndNumbers) {
    EXPECT_EQ(ActionCode("group 12"), "GR12");
    EXPECT_EQ(ActionCode("GROUP 007"), "GR7");
    EXPECT_EQ(ActionCode("Cart 0042"), "CR42");
    EXPECT_EQ(ActionCode("CART"), "CR0");
    EXPECT_EQ(ActionCode("break"), "BR");
    EXPECT_EQ(ActionCode("Kill"), "KI");
    EXPECT_EQ(ActionCode("TESTING"), "TE");
    EXPECT_EQ(ActionCode("Hello there"), "Hello there");
}

TEST_F(SerialSettingsTest, ProfileBuildsTheExactCommandTable) {
    WriteProfile("VANTOR25.PRF", "[CommandCodes]\r\nStartCode=<STX>\r\nEndCode=<ETX><&H0A>\r\n"
                                 "PacketLength=6\r\n[IncomingSerialCodes]\r\n<ESC>G1=GROUP 1\r\n"
                                 "=skipped\r\nno equals\r\nX1=group 12\r\nX2=Cart 0042\r\n"
                                 "X3=break\r\nX4=Hello there\r\n<27>B=BREAK\r\n");
    LoadCommandCodes(dir.File("VANTOR25.PRF"));
    const SerialControlSettings& s = Settings();
    EXPECT_EQ(s.StartCode, ""); // <STX> is no known token
    EXPECT_EQ(s.EndCode, "\n"); // <ETX> dropped, <&H0A> kept
    EXPECT_EQ(s.PacketLength, 6);
    EXPECT_EQ(s.CheckGroupBreakLengthDifference, 2);
    EXPECT_EQ(s.SerialCommandTable, "\x1BG1=GR1 X1=GR12 X2=CR42 X3=BR X4=Hello there \x1B"
                                    "B=BR ");
}

TEST_F(SerialSettingsTest, MissingOrEmptyProfileChangesNothing) {
    Settings().SerialCommandTable = "kept";
    Settings().StartCode = "S";
    LoadCommandCodes(dir.File("NONE.PRF"));
    WriteProfile("EMPTY.PRF", "");
    LoadCommandCodes(dir.File("EMPTY.PRF"));
    EXPECT_EQ(Settings().SerialCommandTable, "kept");
    EXPECT_EQ(Settings().StartCode, "S");
    // Framing defaults apply, but a profile without commands keeps the old table.
    WriteProfile("NOCODES.PRF", "[General]\r\nProfileName=x\r\n");
    LoadCommandCodes(dir.File("NOCODES.PRF"));
    EXPECT_EQ(Settings().StartCode, "\x1B");
    EXPECT_EQ(Settings().EndCode, "\r");
    EXPECT_EQ(Settings().SerialCommandTable, "kept");
}

TEST_F(SerialSettingsTest, SerialOffOpensNothing) {
    WriteIni("[ZELNetwork]\r\nUseSerial=0\r\nSerialPort=3\r\nSerialBouncePort=4\r\n");
    WriteProfile("VANTOR25.PRF", "[IncomingSerialCodes]\r\nA=BREAK\r\n");
    MainWindow::LoadSerialSettings(ini);
    EXPECT_EQ(Settings().SerialPort, 3);
    EXPECT_EQ(Settings().SerialProfileName, "VANTOR25.PRF");
    EXPECT_EQ(Settings().SerialSettings, "9600,n,8,1");
    EXPECT_TRUE(Settings().SerialCommandTable.empty());
    EXPECT_EQ(MainWindow::MainFormIfLoaded(), nullptr);
}

TEST_F(SerialSettingsTest, PortsOpenOnPtysAndBounceRepeatsBytes) {
    PtyPair control, bounce;
    ASSERT_FALSE(control.slavePath.empty());
    ASSERT_FALSE(bounce.slavePath.empty());
    setenv("VNTZEL_COM3", control.slavePath.c_str(), 1);
    setenv("VNTZEL_COM4", bounce.slavePath.c_str(), 1);
    WriteIni(
        "[ZELNetwork]\r\nUseSerial=1\r\nSerialPort=3\r\nSerialBouncePort=4\r\n"
        "SerialHandshaking=0\r\nSerialProfileName=Station.prf\r\nSerialSettings=19200,N,8,1\r\n");
    WriteProfile("Station.prf", "[IncomingSerialCodes]\r\n<ESC>B=BREAK\r\n");
    MainWindow::LoadSerialSettings(ini);
    EXPECT_EQ(boxes.Count(), 0u) << (boxes.Count() ? boxes.Shown()[0].prompt : "");
    MainWindow::frmMain& main = MainWindow::MainForm();
    ASSERT_TRUE(main.commControl().PortOpen());
    ASSERT_TRUE(main.commBounce().PortOpen());
    EXPECT_EQ(main.commControl().CommPort(), 3);
    EXPECT_EQ(main.commBounce().Settings(), "19200,N,8,1");
    EXPECT_EQ(Settings().SerialCommandTable, "\x1B"
                                             "B=BR ");

    const std::string packet = "\x1B"
                               "B\r";
    ASSERT_EQ(write(control.master, packet.data(), packet.size()), 3);
    EXPECT_EQ(bounce.ReadMaster(3), packet);
    EXPECT_EQ(main.Engine().SerialBuffer, packet);
}

TEST_F(SerialSettingsTest, OnlyTheBouncePortWhenTheControlPortIsZero) {
    PtyPair bounce;
    setenv("VNTZEL_COM4", bounce.slavePath.c_str(), 1);
    WriteIni("[ZELNetwork]\r\nUseSerial=1\r\nSerialPort=0\r\nSerialBouncePort=4\r\n");
    WriteProfile("VANTOR25.PRF", "[IncomingSerialCodes]\r\nK=kill\r\n");
    MainWindow::LoadSerialSettings(ini);
    MainWindow::frmMain& main = MainWindow::MainForm();
    EXPECT_FALSE(main.commControl().PortOpen());
    EXPECT_TRUE(main.commBounce().PortOpen());
    EXPECT_EQ(main.commBounce().CommPort(), 4);
    EXPECT_EQ(Settings().SerialCommandTable, "K=KI ");
}

TEST_F(SerialSettingsTest, BadPortsGiveTheErrorBoxAndGoOn) {
    setenv("VNTZEL_COM4", dir.File("no-such-tty").c_str(), 1);
    WriteIni("[ZELNetwork]\r\nUseSerial=1\r\nSerialPort=99\r\nSerialBouncePort=4\r\n");
    WriteProfile("VANTOR25.PRF", "[IncomingSerialCodes]\r\nT=test\r\n");
    MainWindow::LoadSerialSettings(ini);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(
        boxes.Shown()[0].prompt.rfind("There was a problem opening the Serial control port and "
                                      "the error's description was reported as : \n\n\"Invalid "
                                      "port number\" (8002)",
                                      0),
        0u)
        << boxes.Shown()[0].prompt;
    EXPECT_NE(boxes.Shown()[1].prompt.find("opening the Serial control bounce port"),
              std::string::npos);
    EXPECT_FALSE(MainWindow::MainForm().commControl().PortOpen());
    EXPECT_EQ(Settings().SerialCommandTable, "T=TE ");
}

TEST_F(SerialSettingsTest, BadLineSettingsAreRefusedAsAFailedOpening) {
    PtyPair control;
    setenv("VNTZEL_COM3", control.slavePath.c_str(), 1);
    WriteIni("[ZELNetwork]\r\nUseSerial=1\r\nSerialPort=3\r\nSerialSettings=fast,q,9,3\r\n");
    MainWindow::LoadSerialSettings(ini);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_NE(boxes.Shown()[0].prompt.find("(380)"), std::string::npos);
    EXPECT_FALSE(MainWindow::MainForm().commControl().PortOpen());
}
