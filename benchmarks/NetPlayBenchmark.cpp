// Breaks started over TCP, in real time: 50 one-advert breaks on real cart players on the
// clocked null devices, each started by an "AD_PLAY" line from the playout system's client
// holding control on 127.0.0.1. Reports the time from the line's arrival at the socket to the
// first advert sample handed to a device, and to "AD_BREAK_COMPLETED" back at the client.
// Usage: net_play_benchmark. Output: one "key value" per line.
#include "BreakTrigger.h"
#include "support/BreakRig.h"

#include "main_window/NetworkDoors.h"
#include "platform/Ports.h"

#include <QApplication>
#include <arpa/inet.h>
#include <cstdlib>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kBreaks = 50;

// A plain socket, so the moment a line is written is known without the event loop.
class Client {
public:
    ~Client() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool Connect(uint16_t port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int on = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        return fd_ >= 0 &&
               ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    bool Send(const std::string& line) {
        return ::write(fd_, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    }
    // Reads what has arrived; true once text is among it.
    bool Heard(const std::string& text) {
        char bytes[4096];
        for (ssize_t n; (n = ::recv(fd_, bytes, sizeof bytes, MSG_DONTWAIT)) > 0;)
            received_.append(bytes, static_cast<size_t>(n));
        return received_.find(text) != std::string::npos;
    }
    void Clear() { received_.clear(); }

private:
    int fd_ = -1;
    std::string received_;
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("VNTZEL_HEADLESS", "1", 1);
    setenv("VNTZEL_PORT_OFFSET", std::to_string(TestSupport::ProgramPortOffset(3)).c_str(), 1);
    QApplication app(argc, argv);
    BreakRig::Rig rig;
    if (!BreakTrigger::OpenOneAdvertBreaks(rig, kBreaks, "net_play_benchmark")) return 1;
    MainWindow::NetworkDoors doors(CurrentContext());
    doors.SetSplit(&rig.Engine());
    rig.Engine().SetSender(&doors);
    doors.Open();

    Client vantor;
    using BreakTrigger::WaitFor;
    if (!vantor.Connect(static_cast<uint16_t>(Platform::FixedPort(Platform::PlayoutControlPort))) ||
        !vantor.Send("NET_CONTROL_LOGON VANTOR 0,0\r") ||
        !WaitFor([&] { return vantor.Heard("GET_INFORMATION"); }, 5000)) {
        std::fprintf(stderr, "net_play_benchmark: no control of the playout link\n");
        return 1;
    }

    BreakTrigger::FirstSampleWatch watch;
    using BreakTrigger::FirstSampleNs;
    std::vector<double> toSample, toCompleted;
    for (int k = 0; k < kBreaks; ++k) {
        vantor.Clear();
        FirstSampleNs() = 0;
        if (!vantor.Send("AD_PLAY\r")) break;
        const int64_t sent = BreakTrigger::NowNs();
        if (!WaitFor([] { return FirstSampleNs().load() != 0; }, 3000)) break;
        toSample.push_back(BreakTrigger::SinceMs(sent, FirstSampleNs().load()));
        if (!WaitFor([&] { return vantor.Heard("AD_BREAK_COMPLETED\r"); }, 5000)) break;
        toCompleted.push_back(BreakTrigger::SinceMs(sent, BreakTrigger::NowNs()));
        if (!BreakTrigger::WaitBreakOver(rig)) break;
    }
    rig.Engine().SetSender(nullptr);
    std::printf("net_play_breaks %zu\n", toCompleted.size());
    if (!BreakTrigger::PrintSpread("net_play_first_sample", toSample) ||
        !BreakTrigger::PrintSpread("net_play_completed", toCompleted))
        return 1;
    return toCompleted.size() == static_cast<size_t>(kBreaks) ? 0 : 1;
}
