// Network control server over loopback: five clients, one holding control, each sending
// request lines one after the other; then the server's memory while a peer streams bytes with
// no end character. Prints stable "key value" lines.
#include "network_control/NetworkControlServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kClients = 5;
constexpr int kRequests = 20000;
constexpr qint64 kStreamBytes = 100LL * 1024 * 1024;

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

// Sends one request, waits for its reply line, sends the next.
struct Requester {
    QTcpSocket socket;
    std::string request;
    std::string pending;
    int sent = 0, answered = 0;
    QElapsedTimer clock;
    std::vector<double> latenciesUs;

    void SendNext() {
        ++sent;
        clock.start();
        socket.write((request + "\r").c_str());
    }
    void OnData() {
        QByteArray bytes = socket.readAll();
        pending.append(bytes.constData(), static_cast<size_t>(bytes.size()));
        size_t end;
        while ((end = pending.find('\r')) != std::string::npos) {
            pending.erase(0, end + 1);
            latenciesUs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1000.0);
            if (++answered < kRequests) SendNext();
        }
    }
};

void RunUntil(const std::function<bool()>& done) {
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * values.size()))];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    NetworkControlServer server;
    int32_t port = 0;
    server.Listen(port);
    const quint16 serverPort = server.ServerPort();
    long hostLines = 0;
    QObject::connect(&server, &NetworkControlServer::MessageFromController,
                     [&](const std::string&) {
                         ++hostLines;
                         std::string reply = "OK";
                         server.SendActiveNetworkController(reply);
                     });

    std::vector<std::unique_ptr<Requester>> clients;
    for (int i = 0; i < kClients; ++i) {
        auto client = std::make_unique<Requester>();
        client->request = i == 0 ? "CART_GROUP 7" : "NET_CONTROL?";
        client->socket.connectToHost("127.0.0.1", serverPort);
        clients.push_back(std::move(client));
    }
    RunUntil([&] { return server.ConnectionCount() == kClients; });
    clients[0]->socket.write("NET_CONTROL_LOGON BENCH 0,0\r");
    RunUntil([&] { return !server.NetworkController().empty(); });
    RunUntil([&] { return clients[0]->socket.bytesAvailable() > 0; });
    clients[0]->socket.readAll();
    for (auto& client : clients)
        QObject::connect(&client->socket, &QTcpSocket::readyRead,
                         [c = client.get()] { c->OnData(); });

    QElapsedTimer wall;
    wall.start();
    for (auto& client : clients)
        client->SendNext();
    RunUntil([&] {
        return std::all_of(clients.begin(), clients.end(),
                           [](const auto& c) { return c->answered >= kRequests; });
    });
    const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    std::vector<double> all;
    for (auto& client : clients)
        all.insert(all.end(), client->latenciesUs.begin(), client->latenciesUs.end());

    std::printf("netcontrol_clients %d\n", kClients);
    std::printf("netcontrol_requests_per_client %d\n", kRequests);
    std::printf("netcontrol_lines_per_second %.0f\n", all.size() / seconds);
    std::printf("netcontrol_reply_median_us %.1f\n", Percentile(all, 0.5));
    std::printf("netcontrol_reply_p99_us %.1f\n", Percentile(all, 0.99));
    std::printf("netcontrol_host_lines %ld\n", hostLines);

    // A slot is freed for a peer that streams without ever ending its line.
    clients.pop_back();
    RunUntil([&] { return server.ConnectionCount() == kClients - 1; });
    const long baseKb = ResidentKb();
    long peakKb = baseKb;
    QTcpSocket streamer;
    streamer.connectToHost("127.0.0.1", serverPort);
    RunUntil([&] { return streamer.state() == QAbstractSocket::ConnectedState; });
    const QByteArray chunk(64 * 1024, 'x');
    qint64 written = 0;
    while (written < kStreamBytes) {
        if (streamer.bytesToWrite() < 4 * chunk.size()) written += streamer.write(chunk);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        peakKb = std::max(peakKb, ResidentKb());
    }
    RunUntil([&] { return streamer.bytesToWrite() == 0; });
    // The server still answers the others.
    clients[1]->answered = kRequests - 1;
    clients[1]->SendNext();
    RunUntil([&] { return clients[1]->answered >= kRequests; });
    std::printf("netcontrol_stream_mb %lld\n", kStreamBytes / (1024 * 1024));
    std::printf("netcontrol_stream_peak_rss_growth_kb %ld\n", peakKb - baseKb);
    return 0;
}
