#include "DialogsFixture.h"

#include "core/SerialSettings.h"
#include "settings_dialogs/frmZELNetworkSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

using namespace SettingsDialogs;
using DialogsTest::DialogsFixture;

TEST_F(DialogsFixture, SerialSettingsListProfilesAndWriteTheSixKeys) {
    TestSupport::WriteBytes(dir_.File("a.PRF"), "[General]\r\nProfileName=Studio\r\n[Serial]\r\n"
                                                "Settings=9600,n,8,1\r\nHandshaking=2\r\n");
    TestSupport::WriteBytes(dir_.File("B.prf"), "[General]\r\nProfileName=Studio\r\n[Serial]\r\n"
                                                "Settings=19200,e,7,1\r\nHandshaking=1\r\n");
    TestSupport::WriteBytes(dir_.File("c.PRF"), "[Serial]\r\nHandshaking=9\r\n");
    SerialSettings::SerialControlSettings& s = context_.Serial;
    s.SerialProfileName = "b.PRF";
    s.SerialSettings = "4800,n,8,2";
    s.SerialHandshaking = 3;
    s.SerialPort = 7;
    s.UseSerial = 1;

    frmZELNetworkSettings form;
    ZELNetworkSettingsEngine& engine = form.Engine();
    ASSERT_EQ(engine.Profiles().size(), 3u);
    EXPECT_EQ(engine.Profiles()[2].ProfileName, "No Name Found");
    EXPECT_EQ(engine.Controls().DataProfile, 1); // matched ignoring case
    EXPECT_EQ(engine.Controls().SerialSettings, "4800,n,8,2");
    EXPECT_EQ(engine.Controls().Handshaking, 3);
    EXPECT_EQ(engine.Controls().SerialPort, 4);
    // Choosing the profile already shown loads it.
    emit form.comboDataProfile()->activated(1);
    EXPECT_EQ(form.txtSerialSettings()->text(), "19200,e,7,1");
    EXPECT_EQ(form.comboHandshaking()->currentIndex(), 1);
    engine.ChooseProfile(0);
    EXPECT_EQ(form.txtSerialSettings()->text(), "9600,n,8,1");
    EXPECT_EQ(form.comboHandshaking()->currentIndex(), 2);
    engine.ChooseProfile(2); // a handshaking out of range leaves the choice alone
    EXPECT_EQ(engine.Controls().Handshaking, 2);
    form.comboDataProfile()->setCurrentIndex(1);
    emit form.comboDataProfile()->activated(1);
    EXPECT_EQ(engine.Controls().SerialSettings, "19200,e,7,1");

    form.chkUseCommPort()->click();
    EXPECT_FALSE(form.txtSerialSettings()->isEnabled());
    ASSERT_TRUE(engine.Ok());
    EXPECT_EQ(TestSupport::ReadBytes(dir_.File("VNTZEL.INI")),
              "[ZELNetwork]\r\nUseSerial=0\r\nSerialPort=4\r\nSerialBouncePort=0\r\n"
              "SerialHandshaking=1\r\nSerialProfileName=B.prf\r\nSerialSettings=19200,e,7,1\r\n");
    EXPECT_EQ(Prompts(), std::vector<std::string>{
                             "You must restart Vantor ZEL Network to use the new settings.\n\n"
                             "Please note that some settings have already been changed, \n"
                             "and the system may not perform as expected until it is restarted."});
    EXPECT_EQ(s.SerialHandshaking, 1);

    // No profile to choose: the stored name stays.
    for (const char* name : {"a.PRF", "B.prf", "c.PRF"})
        std::remove(dir_.File(name).c_str());
    ZELNetworkSettingsEngine none;
    EXPECT_EQ(none.Controls().DataProfile, -1);
    ASSERT_TRUE(none.Ok());
    EXPECT_EQ(Ini("ZELNetwork", "SerialProfileName"), "B.prf");
}
