// Lines received from the other machines and from the playout system: the command table and
// the playout link's service words, on a split with its log open and no sockets.
#include "breaks/SplitEngine.h"
#include "fuzz/FuzzApplication.h"
#include "main_window/NetworkDoors.h"
#include "main_window/ProgramContext.h"
#include "platform/Clock.h"

#include <QCoreApplication>
#include <cstdint>
#include <string>

namespace {

struct Setup {
    Setup() {
        app = &FuzzSupport::Application<QCoreApplication>();
        qputenv("VNTZEL_HEADLESS", "1");
        Platform::Clock::SetNow(46363, 12 * 3600.0);
        doors = new MainWindow::NetworkDoors(context);
        split = new SplitEngine(doors, &doors->Players());
        doors->SetSplit(split);
    }
    QCoreApplication* app;
    ProgramContext context;
    MainWindow::NetworkDoors* doors;
    SplitEngine* split;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    ContextScope scope(setup.context);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // Half the inputs as network chunks, half as lines of the playout system.
    if (size > 0 && (data[0] & 1)) {
        std::string buffer = bytes;
        setup.doors->Network().ProcessRecievedWinSockdata(buffer);
        if (buffer.find('\r') != std::string::npos) __builtin_trap();
    } else {
        size_t start = 0;
        for (size_t end; (end = bytes.find('\r', start)) != std::string::npos; start = end + 1)
            emit setup.doors->Playout().Server().MessageFromController(
                bytes.substr(start, end - start));
    }
    return 0;
}
