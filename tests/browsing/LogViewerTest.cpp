// The advert log viewer on fixture logs, the date and hour picker, the date parser, the
// progress window, and the viewer's print to a PDF file.
#include "BrowsingFixture.h"

#include "breaks/BreaksState.h"
#include "browsing/DateText.h"
#include "browsing/LogViewerEngine.h"
#include "browsing/PrintTarget.h"
#include "browsing/SelectHourEngine.h"
#include "browsing/frmLogViewer.h"
#include "browsing/frmSelectHour.h"
#include "browsing/frmZipStatus.h"
#include "platform/VB.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QScrollBar>
#include <filesystem>

namespace BrowsingTest {

namespace {

std::string Advert(const std::string& time, int32_t cart, const std::string& title,
                   const std::string& reference) {
    std::string line = time + " TX01 " + VB::FormatNumber(cart, "00000000") + " ";
    line += CartsTest::Padded(title, 30) + "      " + reference;
    return line;
}

std::string RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return process.readAllStandardOutput().toStdString();
}

class LogViewerTest : public ::testing::Test {
protected:
    LogViewerTest() : scope_(context_) {
        ZEL_Common::SplitRecord& split = *Breaks::Split(1);
        split.LogDestinationDirectory = Folder("dest");
        split.LogSourceDirectory = Folder("source");
        split.DateFormat = "yyyymmdd";
        split.Extension = "LOG";
    }
    ~LogViewerTest() override { Browsing::SetPrintFile(""); }
    std::string Folder(const std::string& name) {
        std::filesystem::create_directories(dir_.File(name));
        return dir_.File(name);
    }
    void WriteLog(const std::string& folder, int32_t day, const std::string& text) {
        TestSupport::WriteBytes(dir_.File(folder + "/" + VB::FormatDate(day, "yyyymmdd") + ".LOG"),
                                text);
    }
    TestSupport::ScratchDir dir_;
    TestSupport::ScriptedBoxes boxes_;
    ProgramContext context_;
    ContextScope scope_;
    Browsing::LogViewerEngine viewer_;
    const int32_t day_ = VB::DateSerial(2026, 12, 8);
};

TEST_F(LogViewerTest, WorkingAndIncomingCopiesTimesAndTheMarkedRow) {
    const std::string log = Advert("09:00:00", 1001, "First", "R1") + "\r\n" +
                            Advert("09:00:00", 1002, "Second", "R2") + "\r\n" +
                            Advert("08:59:00", 0, "Earlier", "R3") + "\r\n\r\n" +
                            Advert("09:00:00", 1004, "Next break", "R4") + "\n" +
                            Advert("13:30:00", 1005, "Afternoon", "R5") + "\n";
    WriteLog("source", day_, log);
    viewer_.DisplayLog(day_, 9 * 3600);
    EXPECT_EQ(viewer_.Caption, "View Advert Log : " + VB::FormatDate(day_, "dddd, d mmmm yyyy") +
                                   "(Not copied in yet)");
    ASSERT_EQ(viewer_.Rows.size(), 6u);
    std::vector<std::string> times;
    for (const auto& row : viewer_.Rows)
        times.push_back(row.Time);
    EXPECT_EQ(times, (std::vector<std::string>{"09:00", "", "", "", "09:00", "13:30"}));
    EXPECT_EQ(viewer_.Rows[2].Cart, "0");
    EXPECT_EQ(viewer_.Rows[0].Title, CartsTest::Padded("First", 30));
    EXPECT_EQ(viewer_.Rows[0].Reference, "R1");
    EXPECT_EQ(viewer_.MarkedRow, 1);
    EXPECT_TRUE(viewer_.cmdPrintEnabled);
    EXPECT_EQ(viewer_.txtStarthour, "9");
    viewer_.DisplayLog(day_, 10 * 3600);
    EXPECT_EQ(viewer_.MarkedRow, 6);
    viewer_.DisplayLog(day_, 14 * 3600);
    EXPECT_EQ(viewer_.MarkedRow, 0);
    // The working copy wins, even when empty; a log missing from both leaves the list empty.
    WriteLog("dest", day_, "");
    viewer_.DisplayLog(day_, 0);
    EXPECT_TRUE(viewer_.Rows.empty());
    EXPECT_EQ(viewer_.Caption.find("Not copied"), std::string::npos);
    EXPECT_TRUE(viewer_.cmdPrintEnabled); // keeps its earlier state
    viewer_.DisplayLog(day_ + 1, 0);
    EXPECT_TRUE(viewer_.Rows.empty());
    EXPECT_NE(viewer_.Caption.find("Not copied"), std::string::npos);
}

TEST_F(LogViewerTest, DatesPickerAndView) {
    for (const char* text : {"8 December 2026", "08 dec 2026", "December 8 2026", "8-Dec-26",
                             "8/12/2026", "8.12.2026", "2026-12-08"})
        EXPECT_EQ(Browsing::ParseDate(text), day_) << text;
    for (const char* text : {"31/11/2026", "29 Feb 2027", "8 Foo 2026", "tomorrow", "", "1/2"})
        EXPECT_FALSE(Browsing::ParseDate(text)) << text;
    EXPECT_EQ(Browsing::ParseDate("29 Feb 2028"), VB::DateSerial(2028, 2, 29));

    viewer_.txtStartDate = "46000 nonsense";
    EXPECT_FALSE(viewer_.View());
    ASSERT_EQ(boxes_.Count(), 1u);
    EXPECT_EQ(boxes_.Shown()[0].prompt, "You must enter a valid Date to view");
    viewer_.txtStartDate = Browsing::FormatDayNumber(46000);
    viewer_.txtStarthour = "9";
    EXPECT_EQ(viewer_.PickerRequest(), "460009");
    Browsing::SelectHourEngine picker;
    picker.Tag = viewer_.PickerRequest();
    picker.Setup();
    EXPECT_EQ(picker.TimeT, "9");
    ASSERT_TRUE(picker.OK());
    EXPECT_EQ(picker.Tag, "4600009");
    viewer_.ApplyPickerAnswer("");
    EXPECT_EQ(viewer_.txtStarthour, "9");

    // The day scroll bar: Up and Down a week back and on, Left and Right a day back and on;
    // the selected day is dark blue while the bar has the focus.
    Browsing::frmSelectHour dialog;
    dialog.Engine().Tag = "460009"; // Tuesday 9 December 2025
    dialog.show();
    dialog.activateWindow();
    QApplication::processEvents();
    QScrollBar* days = dialog.DayScrollBar();
    days->setFocus();
    ASSERT_TRUE(days->hasFocus());
    for (auto [key, day] : {std::pair{Qt::Key_Down, 16},
                            {Qt::Key_Up, 9},
                            {Qt::Key_Left, 8},
                            {Qt::Key_Right, 9},
                            {Qt::Key_Up, 2},
                            {Qt::Key_Up, 1}}) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(days, &event);
        EXPECT_EQ(dialog.Engine().SelectedDay, day) << key;
        EXPECT_EQ(days->value(), day);
    }
    auto background = [&](int day) {
        const QImage cell = dialog.DayCell(dialog.Engine().FirstDayOffset + day)->grab().toImage();
        return cell.pixelColor(3, 3);
    };
    EXPECT_EQ(background(1), QColor(0, 0, 128));
    EXPECT_EQ(background(2), Qt::white);
    days->clearFocus();
    EXPECT_EQ(background(1), Qt::white);
    viewer_.ApplyPickerAnswer("4600113");
    EXPECT_EQ(viewer_.txtStartDate, Browsing::FormatDayNumber(46001));
    EXPECT_EQ(viewer_.txtStarthour, "13");
    EXPECT_EQ(viewer_.lblStartDay, VB::FormatDate(46001, "dddd"));
}

TEST_F(LogViewerTest, PickerStartsAnHourBackAndRefusesHoursPastTwentyThree) {
    for (int year : {2027, 2028}) {
        TestSupport::FrozenClock clock(VB::DateSerial(year, 3, 1), 30 * 60);
        Browsing::SelectHourEngine picker;
        picker.Setup();
        EXPECT_EQ(picker.TimeT, "23");
        EXPECT_EQ(picker.SelectedDay, year == 2028 ? 29 : 28);
        EXPECT_EQ(picker.SelectedMonth, 2);
        EXPECT_EQ(picker.Cells[static_cast<size_t>(picker.FirstDayOffset + 1)], "1");
        picker.SelectedDay = 31;
        picker.SetMonth(4);
        EXPECT_EQ(picker.SelectedDay, 30);
        picker.TimeT = "24";
        EXPECT_FALSE(picker.OK());
        picker.SetYear(2999); // day numbers keep five digits
        EXPECT_EQ(picker.SelectedYear, Browsing::SelectHourEngine::kLastYear);
        picker.TimeT = "7";
        picker.ReturnMinutes = true;
        picker.txtMinutes = "30";
        ASSERT_TRUE(picker.OK());
        EXPECT_EQ(picker.Tag.substr(picker.Tag.size() - 5), "07:30");
        EXPECT_FALSE(picker.ReturnMinutes);
        picker.Cancel();
        EXPECT_EQ(picker.Tag, "");
    }
    using E = Browsing::SelectHourEngine;
    EXPECT_EQ(E::HourAt(100 - 20, 100, 200, 200), 9); // left, inside the centre
    EXPECT_EQ(E::HourAt(100 - 80, 100, 200, 200), 21);
    EXPECT_EQ(E::HourAt(100, 100 + 20, 200, 200), 6);
    EXPECT_EQ(E::HourAt(100, 100 + 80, 200, 200), 18);
    EXPECT_EQ(E::HourAt(100, 100 - 20, 200, 200), 0);
    EXPECT_EQ(E::HourAt(100, 100 - 80, 200, 200), 12);
    EXPECT_EQ(E::HourAt(100 + 30, 100 - 30, 200, 200), 1);
    EXPECT_EQ(E::HourAt(199, 199, 200, 200), -1);
}

TEST_F(LogViewerTest, WholeLogPrintsToPdfTitledWithTheShownDate) {
    std::string log;
    for (int i = 0; i < 150; ++i)
        log +=
            Advert("10:00:00", 2000 + i, "Advert " + std::to_string(i), "REF" + std::to_string(i)) +
            "\r\n";
    WriteLog("dest", day_, log);
    viewer_.Load(9000);
    viewer_.DisplayLog(day_, 10 * 3600); // marks (selects) the first row only
    viewer_.txtStartDate = Browsing::FormatDayNumber(day_ + 5); // edited, not viewed
    Browsing::RecordingSurface recorder;
    ASSERT_TRUE(viewer_.PrintInfo(recorder));
    EXPECT_EQ(boxes_.Shown().back().prompt, "Your Advert Log has been printed on Recorder");
    EXPECT_EQ(recorder.Items[0].text, "Advert Log for " + Browsing::FormatDayNumber(day_));
    int printedRefs = 0;
    for (const auto& item : recorder.Items)
        printedRefs += item.text.rfind("REF", 0) == 0 && item.text != "REF";
    EXPECT_EQ(printedRefs, 150);

    const std::string pdf = dir_.File("log.pdf");
    Browsing::SetPrintFile(pdf);
    Browsing::frmLogViewer* window = new Browsing::frmLogViewer;
    window->DisplayLog(day_, 0);
    window->PrintInfo();
    delete window;
    const std::string info = RunTool("pdfinfo", {QString::fromStdString(pdf)});
    const int pages = std::stoi(info.substr(info.find("Pages:") + 6));
    EXPECT_GE(pages, 3);
    const std::string first =
        RunTool("pdftotext", {"-f", "1", "-l", "1", QString::fromStdString(pdf), "-"});
    const std::string second =
        RunTool("pdftotext", {"-f", "2", "-l", "2", QString::fromStdString(pdf), "-"});
    EXPECT_NE(first.find("Advert Log for"), std::string::npos);
    EXPECT_EQ(second.find("Advert Log for"), std::string::npos);
    EXPECT_NE(second.find("Title"), std::string::npos);
}

TEST(ZipStatusTest, ProgressIsClampedAndCancelIsPolled) {
    Browsing::frmZipStatus window;
    int16_t value = -3;
    window.MinorProgress(value);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(window.prgMinor()->value(), 0);
    value = 250;
    window.MajorProgress(value);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(window.prgMajor()->value(), 100);
    window.cmdCancel_Click();
    window.cmdCancel_Click();
    EXPECT_TRUE(window.CancelOption);
    window.close();
    EXPECT_FALSE(window.CancelOption);
}

} // namespace

} // namespace BrowsingTest
