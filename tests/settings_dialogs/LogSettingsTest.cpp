#include "DialogsFixture.h"

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "settings_dialogs/frmLogSettings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <filesystem>

using namespace SettingsDialogs;
using DialogsTest::DialogsFixture;
namespace fs = std::filesystem;

namespace {

class LogSettingsTest : public DialogsFixture {
protected:
    LogSettingsTest() {
        ZEL_Common::SplitRecord& split = context_.Breaks.SplitRecord[0];
        split.SplitName = "North";
        split.DateFormat = "YYMMDD";
        split.PreSuffix = "AB";
        split.Extension = "LOG";
        split.LogUpdateInterval = 0;
        split.LogSourceDirectory = dir_.File("In");
        split.LogDestinationDirectory = dir_.File("Out");
    }
    // Runs OK with entries changed by edit; the prompts it showed.
    std::vector<std::string> OkWith(LogSettingsEngine& engine,
                                    const std::function<void(LogSettingsEntries&)>& edit) {
        LogSettingsEntries entries = engine.Entries();
        edit(entries);
        engine.SetEntries(entries);
        Platform::ClearShownBoxes();
        EXPECT_FALSE(engine.Ok());
        return Prompts();
    }
};

} // namespace

TEST_F(LogSettingsTest, ChecksInOrderThenAsksAndWritesTheTenKeys) {
    LogSettingsEngine engine;
    EXPECT_FALSE(engine.Entries().Update);
    EXPECT_EQ(engine.Entries().UpdateInterval, "");
    using V = std::vector<std::string>;
    const std::string interval =
        "You must set the update interval to a number between 0 and 65 seconds";
    EXPECT_EQ(OkWith(engine, [](auto& e) { e.SplitName = "   "; }),
              V{"You must give this split a name"});
    // 0.4 rounds to 0, which would switch the checking off.
    for (const char* bad : {"0.4", "0", "66", "65.6"})
        EXPECT_EQ(OkWith(engine,
                         [&](auto& e) {
                             e.SplitName = " North ";
                             e.Update = true;
                             e.UpdateInterval = bad;
                         }),
                  V{interval})
            << bad;
    EXPECT_EQ(OkWith(engine,
                     [](auto& e) {
                         e.UpdateInterval = "65 sec";
                         e.SourceDirectory = " ";
                     }),
              V{"You must enter an Incoming Advert log Directory"});
    EXPECT_EQ(OkWith(engine,
                     [](auto& e) {
                         e.SourceDirectory = "/logs/In";
                         e.DestinationDirectory = "";
                     }),
              V{"You must enter an Directory for ZEL to copy Advert logs into and work from"});
    EXPECT_EQ(OkWith(engine, [](auto& e) { e.DestinationDirectory = "/LOGS/in/"; }),
              V{"You cannot set ZEL to work from the the same directory you are checking for new "
                "advert log files in"});
    EXPECT_EQ(boxes_.Shown().back().buttons, Platform::vbExclamation);
    EXPECT_EQ(boxes_.Shown().back().title, "Vantor ZEL");

    // Cancel at the first question saves nothing.
    const std::string in = dir_.File("In"), out = dir_.File("Out");
    boxes_.Answer(Platform::vbCancel);
    EXPECT_EQ(OkWith(engine,
                     [&](auto& e) {
                         e.SourceDirectory = in;
                         e.DestinationDirectory = out;
                     }),
              V{"Do you want to have the Source directory " + in + " created for you?"});
    EXPECT_EQ(Ini("General", "SplitName1"), "<missing>");

    boxes_.Answer(Platform::vbYes);
    boxes_.Answer(Platform::vbNo);
    Platform::ClearShownBoxes();
    ASSERT_TRUE(engine.Ok());
    EXPECT_EQ(Prompts(),
              (V{"Do you want to have the Source directory " + in + " created for you?",
                 "Do you want to have the Destination directory " + out + " created for you?",
                 "These settings will take effect from the next time you start Vantor ZEL"}));
    EXPECT_TRUE(fs::is_directory(in));
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(context_.Breaks.SplitRecord[0].LogUpdateInterval, 65);
    const std::string expected = "[General]\r\nSplitName1= North \r\nLogSourceDirectory1=" + in +
                                 "\r\nLogDestinationDirectory1=" + out +
                                 "\r\nLogUpdateInterval1=65\r\n[LogFileName]\r\nDateFormat1=YYMMDD"
                                 "\r\nExtension1=LOG\r\nPreSuffix1=AB\r\nSuffix1=0\r\n"
                                 "LogTXChainCode1=\r\nReconcileExtension1=\r\n";
    EXPECT_EQ(TestSupport::ReadBytes(dir_.File("VNTZEL.INI")), expected);

    // Opened at start-up: no notice; unticked writes interval 0.
    fs::create_directories(out);
    LogSettingsEngine first;
    first.SetTag("1");
    EXPECT_TRUE(first.Entries().Update);
    first.SetUpdate(false);
    Platform::ClearShownBoxes();
    ASSERT_TRUE(first.Ok());
    EXPECT_TRUE(Prompts().empty());
    EXPECT_EQ(Ini("General", "LogUpdateInterval1"), "0");
}

TEST_F(LogSettingsTest, SampleNameAndTypingInTheForm) {
    TestSupport::FrozenClock clock(Platform::Clock::SerialOfDate(2026, 12, 9), 3600);
    fs::create_directories(dir_.File("In"));
    fs::create_directories(dir_.File("Out"));
    frmLogSettings form;
    EXPECT_EQ(form.lblSampleFilename()->text(), "AB261209.LOG");
    form.chkSuffix()->click();
    EXPECT_EQ(form.lblSampleFilename()->text(), "261209AB.LOG");

    QLineEdit* interval = form.Box(&LogSettingsEntries::UpdateInterval);
    EXPECT_FALSE(interval->isEnabled());
    form.chkUpdate()->click();
    EXPECT_TRUE(interval->isEnabled());
    DialogsTest::Type(interval, "1a2.b");
    EXPECT_EQ(form.Engine().Entries().UpdateInterval, "12.");
    QLineEdit* extension = form.Box(&LogSettingsEntries::FileExtension);
    extension->clear();
    DialogsTest::Type(extension, "txt");
    EXPECT_EQ(form.Engine().SampleFileName(), "261209AB.TXT");
    form.chkUpdate()->click();
    EXPECT_EQ(interval->text(), "");

    form.show();
    DialogsTest::Press(extension, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Ini("LogFileName", "Extension1"), "<missing>");
    form.show();
    DialogsTest::Press(extension, Qt::Key_Return);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(Ini("LogFileName", "Extension1"), "TXT");
}
