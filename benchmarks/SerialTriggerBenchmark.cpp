// Breaks started by serial packets, in real time: 50 one-advert breaks on real cart players
// on the clocked null devices, each started by a "BR" packet written to a pseudo-terminal.
// Reports the time from the packet's last byte to the first advert sample handed to a device.
// Usage: serial_trigger_benchmark. Output: one "key value" per line.
#include "BreakTrigger.h"
#include "support/BreakRig.h"
#include "support/PtyPair.h"

#include "core/SerialSettings.h"
#include "main_window/SerialCommandPort.h"
#include "platform/SerialPort.h"

#include <QApplication>
#include <cstdlib>

namespace {

constexpr int kBreaks = 50;

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("VNTZEL_HEADLESS", "1", 1);
    QApplication app(argc, argv);
    BreakRig::Rig rig;
    if (!BreakTrigger::OpenOneAdvertBreaks(rig, kBreaks, "serial_trigger_benchmark")) return 1;

    TestSupport::PtyPair line, bounceLine;
    setenv("VNTZEL_COM9", line.slavePath.c_str(), 1);
    Platform::SerialPort control, bounce;
    control.SetCommPort(9);
    if (control.SetPortOpen(true) != 0) return 1;
    SerialSettings::Settings().StartCode = "\x1B";
    SerialSettings::Settings().EndCode = "\r";
    SerialSettings::Settings().SerialCommandTable = "\x1B"
                                                    "BR\r=BR ";
    MainWindow::SerialCommandPort serial(control, bounce);
    serial.SetSplit(&rig.Engine());
    BreakTrigger::FirstSampleWatch watch;
    using BreakTrigger::FirstSampleNs;

    std::vector<double> delays;
    for (int k = 0; k < kBreaks; ++k) {
        FirstSampleNs() = 0;
        const std::string packet = "\x1B"
                                   "BR\r";
        // Timed from the moment the last byte is on the line, before any event runs.
        if (::write(line.master, packet.data(), packet.size()) !=
            static_cast<ssize_t>(packet.size()))
            break;
        const int64_t sent = BreakTrigger::NowNs();
        if (!BreakTrigger::WaitFor([] { return FirstSampleNs().load() != 0; }, 3000)) break;
        delays.push_back(BreakTrigger::SinceMs(sent, FirstSampleNs().load()));
        if (!BreakTrigger::WaitBreakOver(rig)) break;
    }
    std::printf("serial_trigger_breaks %zu\n", delays.size());
    if (!BreakTrigger::PrintSpread("serial_trigger", delays)) return 1;
    return delays.size() == static_cast<size_t>(kBreaks) ? 0 : 1;
}
