// The network control status strips: the server listening and controlled, the client holding
// control and refused.
#include "Screenshots.h"

#include "network_control/NetworkControlClient.h"
#include "network_control/NetworkControlServer.h"
#include "network_control/NetworkStatusStrip.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QVBoxLayout>

namespace {

void RunUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A server that is off, one listening with a controller, the controller and a refused client.
QWidget* MakeStrips() {
    auto* window = new QWidget;
    window->setWindowTitle("Network status strips");
    auto* layout = new QVBoxLayout(window);
    auto* idle = new NetworkControlServer(window);
    auto* held = new NetworkControlServer(window);
    int32_t port = 0;
    held->Listen(port);
    auto* holder = new NetworkControlClient(window);
    auto* refused = new NetworkControlClient(window);
    std::string address = "127.0.0.1", name = "STUDIO2", other = "STUDIO3";
    int32_t serverPort = held->ServerPort();
    enQNetworkReqMode polite = qsrqPolite;
    enQNetworkRelMode never = qsrlNeverRelease;
    holder->ConnectToNetworkController(address, serverPort, polite, never, name);
    RunUntil([&] { return holder->Status() == nccHasControl; });
    refused->ConnectToNetworkController(address, serverPort, polite, never, other);
    RunUntil([&] { return refused->Status() == nccDisconnected; });
    layout->addWidget(new NetworkServerStrip(*idle, window));
    layout->addWidget(new NetworkServerStrip(*held, window));
    layout->addWidget(new NetworkClientStrip(*holder, window));
    layout->addWidget(new NetworkClientStrip(*refused, window));
    return window;
}

Screenshots::Register strips({"NetworkStatusStrips", MakeStrips, {}, {}});

} // namespace
