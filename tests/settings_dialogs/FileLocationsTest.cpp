#include "DialogsFixture.h"

#include "carts/CartsState.h"
#include "settings_dialogs/frmFileLocations.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

using namespace SettingsDialogs;
using DialogsTest::DialogsFixture;
namespace fs = std::filesystem;

namespace {

class FileLocationsTest : public DialogsFixture {
protected:
    Vantor_Cart_Routines::AudiowallPart& Part(int i) {
        return context_.Carts.AudiowallParts[static_cast<size_t>(i)];
    }
};

} // namespace

TEST_F(FileLocationsTest, OkWritesEveryLocationAsTypedAndMakesTheFolders) {
    TestSupport::WriteBytes(dir_.File("VNTZEL.INI"), "[General]\r\nSplitName1=North\r\n");
    fs::create_directories(dir_.File("Wall/Part One"));
    TestSupport::WriteBytes(dir_.File("Wall/Part One/AUDWALL.INI"),
                            "[Audiowall]\r\nNoCarts=4000\r\n");
    Part(1).Location = dir_.File("Old");
    FileLocationsEngine engine;
    engine.SetIniFile("VNTZEL.INI");
    EXPECT_EQ(engine.CartText(1), dir_.File("Old")); // no key: the in-memory value

    // An empty data folder is refused before anything is touched.
    engine.SetDataText("   ");
    EXPECT_FALSE(engine.Done());
    EXPECT_EQ(Prompts(), std::vector<std::string>{"You must enter a Data Location"});
    EXPECT_EQ(Ini("FileLocations", "Carts1"), "<missing>");

    folders_ = {dir_.File("Wall/Part One/")};
    engine.Browse(1, nullptr);
    EXPECT_EQ(chooserTitles_.back(),
              "Select the directory that the audio is stored in|" + dir_.File("Old"));
    engine.SetCartText(5, dir_.File("elsewhere"));
    engine.SetUseOneCartLocation(true);
    EXPECT_EQ(engine.CartText(5), dir_.File("Wall/Part One/"));
    engine.SetDataText("  " + dir_.File("Data Mixed") + "/  ");
    ASSERT_TRUE(engine.Done());

    const std::string wall = dir_.File("Wall/Part One");
    const std::string data = dir_.File("Data Mixed");
    for (int i = 1; i <= kCartLocationCount; ++i) {
        EXPECT_EQ(Ini("FileLocations", "Carts" + std::to_string(i)), wall) << i;
        EXPECT_EQ(Part(i).Status, Vantor_Cart_Routines::PartFound) << i;
    }
    EXPECT_EQ(Ini("FileLocations", "Data"), data);
    EXPECT_EQ(Ini("FileLocations", "Schedules"), data + "/SCHEDULE");
    EXPECT_EQ(Ini("FileLocations", "Logs"), data + "/Logs");
    EXPECT_EQ(Ini("General", "SplitName1"), "North");
    // The folders written are the folders made, letter for letter.
    for (const std::string& made :
         {data + "/USERS", Ini("FileLocations", "Schedules"), Ini("FileLocations", "Logs")})
        EXPECT_TRUE(fs::is_directory(made)) << made;
    EXPECT_EQ(context_.Settings.DataFolder, data);
    EXPECT_EQ(context_.Settings.Audio.NoCarts, 4000);
    EXPECT_EQ(Prompts().size(), 1u);
}

TEST_F(FileLocationsTest, SharedFoldersAreMadeOnceAndEmptyPartsAreMissing) {
    // The locations keys of another settings file, named as the main one.
    context_.Settings.MainIniFile = "OTHER.INI";
    const std::string shared = dir_.File("new/shared");
    std::string text = "[FileLocations]\r\nData=" + dir_.File("d") + "\r\n";
    for (int i = 1; i <= kCartLocationCount; ++i)
        text += "Carts" + std::to_string(i) + "=" + (i == 4 ? "" : shared) + "\r\n";
    TestSupport::WriteBytes(dir_.File("OTHER.INI"), text);
    TestSupport::WriteBytes(dir_.File("new/Audwall.ini"), "[Audiowall]\r\nNoCarts=12\r\n");

    Part(4).Location = "/elsewhere"; // the parts differ at opening: the box starts clear
    frmFileLocations form;
    form.Engine().SetIniFile(context_.Settings.MainIniFile);
    EXPECT_FALSE(form.chkUseOneCartLocation()->isChecked()); // part 4 differs
    EXPECT_EQ(form.txtCartLocations(2)->text().toStdString(), shared);
    ASSERT_TRUE(form.Engine().Done());
    EXPECT_EQ(Part(4).Status, Vantor_Cart_Routines::PartMissing);
    EXPECT_EQ(Ini("FileLocations", "Carts4", "OTHER.INI"), "");
    EXPECT_EQ(Part(7).Status, Vantor_Cart_Routines::PartFound);
    EXPECT_TRUE(fs::is_directory(shared));
    EXPECT_EQ(context_.Settings.Audio.NoCarts, 9999);     // no Audwall.ini in part 1's folder
    EXPECT_EQ(Ini("FileLocations", "Data"), "<missing>"); // nothing went to VNTZEL.INI

    // Ticked while the file is read: every box shows part 1's value; the rows are greyed.
    Part(4).Location = "";
    frmFileLocations again;
    EXPECT_FALSE(again.chkUseOneCartLocation()->isChecked());
    again.chkUseOneCartLocation()->click();
    EXPECT_FALSE(again.txtCartLocations(11)->isEnabled());
    EXPECT_EQ(again.txtCartLocations(11)->palette().color(QPalette::Base),
              again.txtCartLocations(11)->palette().color(QPalette::Button));
    TestSupport::WriteBytes(dir_.File("OTHER.INI"),
                            "[FileLocations]\r\nCarts1=/x\r\nCarts9=/y\r\n");
    again.Engine().SetIniFile("OTHER.INI");
    EXPECT_EQ(again.txtCartLocations(9)->text(), "/x");
    again.chkUseOneCartLocation()->click();
    EXPECT_TRUE(again.txtCartLocations(11)->isEnabled());
    EXPECT_EQ(again.txtCartLocations(11)->text(), "/x"); // copied texts stay
}

TEST_F(FileLocationsTest, EnterSavesAndEscDiscards) {
    frmFileLocations form;
    form.show();
    form.txtDataLocation()->setFocus();
    DialogsTest::Type(form.txtDataLocation(), QString::fromStdString(dir_.File("esc")));
    DialogsTest::Press(form.txtDataLocation(), Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(context_.Settings.DataFolder, "");

    frmFileLocations enter;
    enter.show();
    DialogsTest::Type(enter.txtDataLocation(), QString::fromStdString(dir_.File("Enter")));
    DialogsTest::Press(enter.txtDataLocation(), Qt::Key_Return);
    EXPECT_FALSE(enter.isVisible());
    EXPECT_EQ(enter.result(), QDialog::Accepted);
    EXPECT_EQ(context_.Settings.DataFolder, dir_.File("Enter")); // case as typed
    EXPECT_EQ(Ini("FileLocations", "Data"), dir_.File("Enter"));
}
