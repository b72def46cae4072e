// The advert log viewer on a day's log, the date and hour picker, the progress window and the
// first printed page of the log (printed to PDF, rendered to PNG).
#include "Screenshots.h"

#include "breaks/BreaksState.h"
#include "browsing/PrintTarget.h"
#include "browsing/frmLogViewer.h"
#include "browsing/frmSelectHour.h"
#include "browsing/frmZipStatus.h"
#include "platform/VB.h"

#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>

namespace {

constexpr int kYear = 2026, kMonth = 12, kDay = 8;

// A day's log with four breaks in a scratch destination folder.
int32_t MakeLog() {
    static QTemporaryDir dir;
    const int32_t day = VB::DateSerial(kYear, kMonth, kDay);
    ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    split.LogDestinationDirectory = dir.path().toStdString();
    split.LogSourceDirectory = dir.path().toStdString();
    split.DateFormat = "yyyymmdd";
    split.Extension = "LOG";
    std::ofstream out(dir.path().toStdString() + "/" + VB::FormatDate(day, "yyyymmdd") + ".LOG",
                      std::ios::binary);
    const char* const titles[] = {"Garage Winter Tyres", "Bakery Morning Rolls",
                                  "Council Recycling", "Cinema New Releases"};
    int cart = 1001;
    for (int hour = 6; hour < 22; hour += 2) {
        for (int k = 0; k < 3; ++k, ++cart) {
            std::string title = titles[(cart + k) % 4];
            title.resize(30, ' ');
            out << VB::FormatNumber(hour, "00") << ":30:00 TX01 "
                << VB::FormatNumber(cart, "00000000") << " " << title << "      BK" << cart
                << "\r\n";
        }
        out << "\r\n";
    }
    return day;
}

Screenshots::Register viewer({"LogViewer",
                              [] {
                                  const int32_t day = MakeLog();
                                  auto* window = new Browsing::frmLogViewer;
                                  window->DisplayLog(day, 10 * 3600);
                                  return static_cast<QWidget*>(window);
                              },
                              {},
                              {}});

Screenshots::Register picker({"SelectHour",
                              [] {
                                  auto* window = new Browsing::frmSelectHour;
                                  window->Engine().Tag =
                                      std::to_string(VB::DateSerial(kYear, kMonth, kDay)) + "15";
                                  return static_cast<QWidget*>(window);
                              },
                              // The day scroll bar has the focus: the day is dark blue.
                              [](QWidget* w) {
                                  auto* window = static_cast<Browsing::frmSelectHour*>(w);
                                  window->activateWindow();
                                  window->DayScrollBar()->setFocus();
                              },
                              {}});

Screenshots::Register progress({"ZipStatus",
                                [] {
                                    auto* window = new Browsing::frmZipStatus;
                                    int16_t major = 40, minor = 75;
                                    window->MajorProgress(major);
                                    window->MinorProgress(minor);
                                    window->lblMinor()->setText("VNT01001.WAV");
                                    return static_cast<QWidget*>(window);
                                },
                                {},
                                {}});

Screenshots::Register
    printed({"PrintedLogPage",
             [] {
                 static QTemporaryDir out;
                 const std::string pdf = out.filePath("log.pdf").toStdString();
                 Browsing::SetPrintFile(pdf);
                 Browsing::frmLogViewer viewer;
                 viewer.DisplayLog(MakeLog(), 0);
                 viewer.PrintInfo();
                 Browsing::SetPrintFile("");
                 QProcess::execute("pdftoppm", {"-png", "-r", "60", "-f", "1", "-l", "1",
                                                QString::fromStdString(pdf), out.filePath("page")});
                 auto* label = new QLabel;
                 label->setPixmap(QPixmap(out.filePath("page-1.png")));
                 label->setWindowTitle("Printed advert log, page 1");
                 label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
                 return static_cast<QWidget*>(label);
             },
             {},
             {}});

} // namespace
