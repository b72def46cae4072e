// The client against a real server on 127.0.0.1, in every request mode.
#include "network_control/NetworkControlClient.h"
#include "network_control/LoopbackPeer.h"
#include "network_control/NetSockets.h"
#include "network_control/NetworkControlServer.h"
#include "support/TestSupport.h"
#include "support/WaveTestSupport.h"

#include <QTcpServer>
#include <gtest/gtest.h>
#include <memory>

using TestSupport::PumpUntil;

namespace {

// A client whose every status text and event is kept in order.
struct WatchedClient {
    explicit WatchedClient(const char* name) : name(name) {
        QObject::connect(&client, &NetworkControlClient::displayChanged, [this] {
            if (texts.empty() || texts.back() != client.StatusText())
                texts.push_back(client.StatusText());
        });
        QObject::connect(&client, &NetworkControlClient::NetworkControlFail,
                         [this](std::string& holder) { events.push_back("FAIL " + holder); });
        QObject::connect(&client, &NetworkControlClient::NetworkControlEnded,
                         [this](bool& closed) { events.push_back(closed ? "CLOSED" : "END"); });
        QObject::connect(&client, &NetworkControlClient::message,
                         [this](const std::string& m) { events.push_back("MSG " + m); });
    }
    void Connect(uint16_t port, enQNetworkReqMode request, enQNetworkRelMode release) {
        std::string address = "127.0.0.1", connectName = name;
        int32_t p = port;
        client.ConnectToNetworkController(address, p, request, release, connectName);
    }
    bool WaitStatus(enNCCStatus status) {
        return PumpUntil([&] { return client.Status() == status; }, 5000);
    }
    std::string name;
    std::vector<std::string> texts, events; // before the client, which reports as it goes
    NetworkControlClient client;
};

uint16_t ListenAnywhere(NetworkControlServer& server) {
    int32_t port = 0;
    server.Listen(port);
    return server.ServerPort();
}

} // namespace

TEST(NetworkControlClient, PoliteSilentAndForcedRequests) {
    NetworkControlServer server;
    const uint16_t port = ListenAnywhere(server);
    WatchedClient holder("HOLDER"), polite("POLITE"), silent("SILENT");

    holder.Connect(port, qsrqPolite, qsrlWaitRelease);
    ASSERT_TRUE(holder.WaitStatus(nccHasControl));
    EXPECT_EQ(holder.texts,
              (std::vector<std::string>{"Connecting..", "Connected", "Requesting Control..",
                                        "Have Network Control"}));
    EXPECT_EQ(holder.client.NetworkMasterIP(), "127.0.0.1");
    EXPECT_EQ(holder.client.NetworkMasterRemotePort(), std::to_string(port));

    // Polite, holder waits for release: shown refused, stays connected, asks again when free.
    polite.Connect(port, qsrqPolite, qsrlWaitRelease);
    ASSERT_TRUE(PumpUntil([&] { return !polite.events.empty(); }, 5000));
    EXPECT_EQ(polite.events.front(), "FAIL HOLDER");
    EXPECT_EQ(polite.client.StatusText(), "Connected");
    // Silent: waits for the holder to let go.
    silent.Connect(port, qsrqSilent, qsrlImmedRelease);
    ASSERT_TRUE(
        PumpUntil([&] { return silent.client.StatusText() == "Awaiting Control Release"; }, 5000));
    EXPECT_TRUE(silent.events.empty());

    // Messages from the server reach the host; help lines never do.
    std::string text = "HELLO";
    server.SendActiveNetworkController(text);
    ASSERT_TRUE(PumpUntil([&] { return holder.events.size() == 1; }, 5000));
    EXPECT_EQ(holder.events, (std::vector<std::string>{"MSG HELLO"}));

    // The holder gives up: logoff, end, disconnect; the next asker gets control.
    holder.client.DisconnectFromNetworkController();
    EXPECT_EQ(holder.client.Status(), nccDisconnected);
    EXPECT_EQ(holder.client.NetworkMaster(), "");
    ASSERT_TRUE(PumpUntil(
        [&] {
            return server.NetworkController() == "POLITE" || server.NetworkController() == "SILENT";
        },
        5000));
    // The silent client releases immediately, so whoever did not get it takes it over by
    // asking again on AVAILABLE; a forcing client takes it from anyone.
    WatchedClient forcer("FORCER");
    forcer.Connect(port, qsrqForce, qsrlNeverRelease);
    ASSERT_TRUE(forcer.WaitStatus(nccHasControl));
    EXPECT_EQ(server.NetworkController(), "FORCER");
    // A polite client refused by a never-release holder disconnects.
    WatchedClient late("LATE");
    late.Connect(port, qsrqPolite, qsrlWaitRelease);
    ASSERT_TRUE(PumpUntil(
        [&] { return !late.events.empty() && late.client.Status() == nccDisconnected; }, 5000));
    EXPECT_EQ(late.events.front(), "FAIL FORCER");
    EXPECT_EQ(late.texts.back(), "Disconnected");
    EXPECT_TRUE(std::count(late.texts.begin(), late.texts.end(), "Failed to get Control"));
}

TEST(NetworkControlClient, RetriesAfterItsDelayNotBeforeWhenTheServerComesBack) {
    TestSupport::TraceLines traces;
    auto server = std::make_unique<NetworkControlServer>();
    const uint16_t port = ListenAnywhere(*server);
    WatchedClient client("ZEL.TEST");
    client.client.SetRetryInterval(3600 * 1000);
    client.Connect(port, qsrqSilent, qsrlImmedRelease);
    ASSERT_TRUE(client.WaitStatus(nccHasControl));

    // The server goes away: the silent client tries once at once, is refused, and waits.
    server.reset();
    ASSERT_TRUE(PumpUntil([&] { return client.client.RetryPending(); }, 5000));
    EXPECT_EQ(client.client.StatusText(), "Connecting..");
    EXPECT_EQ(client.events, (std::vector<std::string>{"CLOSED"}));

    NetworkControlServer again;
    int32_t samePort = port;
    again.Listen(samePort);
    ASSERT_EQ(again.ServerPort(), port);
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(again.ConnectionCount(), 0); // not before its delay
    EXPECT_EQ(traces.lines.size(), 1u);    // and no spinning meanwhile
    client.client.SetRetryInterval(10);    // the delay runs out
    ASSERT_TRUE(client.WaitStatus(nccHasControl));
    EXPECT_EQ(again.NetworkController(), "ZEL.TEST");
    client.client.DisconnectFromNetworkController();
    EXPECT_FALSE(client.client.RetryPending());
}

TEST(NetworkControlClient, ReadsAFloodInTurnsAndDropsAServerThatDoesNotRead) {
    TestSupport::TraceLines traces;
    QTcpServer server; // sends without pause, never reads
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    WatchedClient client("ZEL.TEST");
    client.client.SetRetryInterval(3600 * 1000);
    size_t received = 0, largestChunk = 0;
    QObject::connect(&client.client, &NetworkControlClient::RawNetworkMessage,
                     [&](const std::string& text) {
                         received += text.size();
                         largestChunk = std::max(largestChunk, text.size());
                     });
    client.Connect(server.serverPort(), qsrqSilent, qsrlImmedRelease);
    ASSERT_TRUE(PumpUntil([&] { return server.hasPendingConnections(); }, 5000));
    QTcpSocket* peer = server.nextPendingConnection();
    peer->setReadBufferSize(1);
    std::string flood;
    while (flood.size() < (1 << 20))
        flood += "- a line the client passes over\r";
    peer->write(flood.data(), static_cast<qint64>(flood.size()));
    ASSERT_TRUE(PumpUntil([&] { return received >= flood.size(); }, 5000));
    EXPECT_LE(largestChunk, static_cast<size_t>(NetSockets::kReadChunk));

    // More than the write cap waits for the server: the connection is dropped and tried later.
    std::string block(1 << 20, 'y');
    for (int k = 0; k < 5; ++k)
        client.client.SendMessageToNetwork(block);
    EXPECT_TRUE(client.client.RetryPending());
    EXPECT_EQ(client.client.Status(), nccConnecting);
    ASSERT_EQ(traces.lines.size(), 1u);
    EXPECT_EQ(traces.lines[0].rfind("Network control client: 127.0.0.1 does not read, ", 0), 0u);
}
