// Serial command packets: the input's first byte picks the framing, the rest arrives in
// pieces and goes through the framer and the command table.
#include "breaks/BreaksState.h"
#include "core/SerialSettings.h"
#include "fuzz/FuzzApplication.h"
#include "main_window/ProgramContext.h"
#include "main_window/SerialCommandPort.h"
#include "platform/SerialPort.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdint>
#include <string>

namespace {

struct Setup {
    Setup() { app = &FuzzSupport::Application<QCoreApplication>(); }
    QCoreApplication* app;
    QTemporaryDir dir;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    if (size < 1) return 0;
    ProgramContext context;
    ContextScope scope(context);
    Breaks::Split(1)->LogDestinationDirectory = setup.dir.path().toStdString();
    SerialSettings::SerialControlSettings& codes = SerialSettings::Settings();
    const uint8_t mode = data[0];
    codes.StartCode = mode & 1 ? "\x1B" : "";
    codes.EndCode = mode & 2 ? "\r" : "";
    codes.PacketLength = static_cast<int16_t>(mode >> 4);
    codes.SerialCommandTable = "\x1B"
                               "BR\r=BR \x1BGR1\r=GR1 \x1BTE\r=TE \x1BKI\r=KI BRK=BR ABC=CR12 =X ";
    Platform::SerialPort control, bounce;
    MainWindow::SerialCommandPort port(control, bounce);
    port.IgnoreSerialCommands = (mode & 4) != 0;
    size_t at = 1;
    while (at < size) {
        const size_t piece = std::min<size_t>(size - at, 1 + data[at] % 64);
        port.SerialInputBuffer += std::string(reinterpret_cast<const char*>(data) + at, piece);
        port.ProcessSerialBuffer(port.SerialInputBuffer);
        at += piece;
    }
    return 0;
}
