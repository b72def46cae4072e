// The server on 127.0.0.1 with real clients.
#include "network_control/LoopbackPeer.h"

#include "network_control/NetSockets.h"
#include "network_control/NetworkControlServer.h"
#include "platform/MessageBox.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>

using TestSupport::LoopbackPeer;

namespace {

struct ServerRig {
    ServerRig() {
        int32_t port = 0;
        server.Listen(port);
        QObject::connect(&server, &NetworkControlServer::MessageFromController,
                         [this](const std::string& m) { host.push_back(m); });
        QObject::connect(&server, &NetworkControlServer::NetworkControlEnded,
                         [this](std::string& n, std::string&) { ended.push_back(n); });
    }
    // A connected peer; one the server turns away may see its close before its connect.
    std::unique_ptr<LoopbackPeer> Peer(bool mustConnect = true) {
        auto peer = std::make_unique<LoopbackPeer>();
        bool connected = peer->Connect(server.ServerPort());
        if (mustConnect) {
            EXPECT_TRUE(connected);
        }
        return peer;
    }
    bool WaitConnections(int16_t n) {
        return TestSupport::PumpUntil([&] { return server.ConnectionCount() == n; }, 5000);
    }
    std::vector<std::string> host, ended; // before the server, which reports as it goes
    NetworkControlServer server;
};

} // namespace

TEST(NetworkControlServer, ArbitratesControlBetweenRealClients) {
    ServerRig rig;
    ASSERT_EQ(rig.server.Status(), ncsListening);
    EXPECT_EQ(rig.server.StatusText(), "Listening");
    auto a = rig.Peer(), b = rig.Peer(), c = rig.Peer();

    a->SendLine("NET_CONTROL_LOGON STUDIO 0,0");
    ASSERT_TRUE(a->WaitFor("NET_CONTROL_START"));
    EXPECT_EQ(rig.server.Status(), ncsListening | ncsControlled);
    EXPECT_EQ(rig.server.StatusText(), "Cont : 127.0.0.1 STUDIO");
    b->SendLine("NET_CONTROL_LOGON B 0,0");
    ASSERT_TRUE(b->WaitFor("NET_CONTROL_FAIL STUDIO 0"));
    EXPECT_EQ(rig.server.NetworkController(), "STUDIO");
    a->SendLine("NET_CONTROL_LOGON STUDIO 2,0"); // the holder asks again: granted again
    ASSERT_EQ(a->WaitLines(2),
              (std::vector<std::string>{"NET_CONTROL_START", "NET_CONTROL_START"}));
    b->SendLine("NET_CONTROL_LOGON B 0,2"); // forced: takes over a never-release holder
    ASSERT_TRUE(a->WaitFor("NET_CONTROL_END"));
    ASSERT_TRUE(b->WaitFor("NET_CONTROL_START"));

    // Only the holder's lines reach the host; a line split over two writes arrives once.
    c->SendLine("FROM C");
    b->Send("PLAY ");
    TestSupport::PumpUntil([] { return false; }, 50);
    b->Send("IT\r\r");
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return rig.host.size() >= 2; }, 5000));
    EXPECT_EQ(rig.host, (std::vector<std::string>{"PLAY IT", ""}));

    c->SendLine("NET_CONTROL_LOGOFF"); // not the holder: no answer
    b->SendLine("NET_CONTROL_LOGOFF");
    ASSERT_TRUE(c->WaitFor("NET_CONTROL_AVAILABLE"));
    EXPECT_TRUE(b->WaitFor("NET_CONTROL_END"));
    EXPECT_TRUE(b->WaitFor("NET_CONTROL_AVAILABLE"));
    EXPECT_EQ(c->Lines(), (std::vector<std::string>{"NET_CONTROL_AVAILABLE"}));

    // The holder's connection drops: the others hear control is free.
    c->SendLine("NET_CONTROL_LOGON C 1,1");
    ASSERT_TRUE(c->WaitFor("NET_CONTROL_START"));
    a->ClearReceived();
    c->Close();
    ASSERT_TRUE(a->WaitFor("NET_CONTROL_AVAILABLE"));
    EXPECT_EQ(rig.ended, (std::vector<std::string>{"STUDIO", "B", "C"}));
    EXPECT_EQ(rig.server.StatusText(), "Listening");
}

TEST(NetworkControlServer, AnswersWordsByteForByteAndSurvivesBadPeers) {
    ServerRig rig;
    QObject::connect(&rig.server, &NetworkControlServer::GetStatusMessageText,
                     [](std::string& text) { text += "-host\r"; });
    auto a = rig.Peer();
    a->Send("HELP\r\nSTATUS?\rVERSION?\rLIST GAMES\r");
    const std::string help =
        "-\r-Commands:\r-   HELP                 :   Displays this help message\r"
        "-   LIST                 :   Displays a test message\r"
        "-   SERVICE_NAME?        :   Displays the service name of ZEL \r"
        "-   STATUS?              :   Displays the current status of and \r"
        "-                            details of other connections\r"
        "-   VERSION?             :   Displays the current version number \r-\r"
        "-Network Control Commands:\r"
        "-   NET_CONTROL?         :   Shows the name of the current Controller \r"
        "-   NET_CONTROL_LOGON    :   Request to make yourself the Controller \r"
        "-   NET_CONTROL_LOGOFF   :   Request to release yourself as Controller \r\r";
    const std::string expected = help + "-\r-No Current Controller\r-\r-host\r\rVERSION 2.5.31\r" +
                                 "-\r-Chess\r-Draughts\r-Backgammon\r-Tic-Tac-Toe\r" +
                                 "-Global Thermonuclear war\r-\r";
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return a->Raw().size() >= expected.size(); }, 5000));
    EXPECT_EQ(a->Raw(), expected);

    // Five connections at most; a sixth is closed at once and a freed slot is reused.
    auto b = rig.Peer(), c = rig.Peer(), d = rig.Peer(), e = rig.Peer();
    ASSERT_TRUE(rig.WaitConnections(5));
    auto sixth = rig.Peer(false);
    EXPECT_TRUE(sixth->WaitClosed());
    e->Close();
    ASSERT_TRUE(rig.WaitConnections(4));

    // A 1 MB line with no end: the server keeps answering; the slot's stale part does not
    // reach the next client of that slot.
    b->Send(std::string(1 << 20, 'x'));
    c->SendLine("VERSION?");
    EXPECT_TRUE(c->WaitFor("VERSION 2.5.31"));
    b->Send("\rVERSION?\r");
    EXPECT_TRUE(b->WaitFor("VERSION 2.5.31"));
    d->Send("NET_CONTROL_LOGON PARTIAL");
    TestSupport::PumpUntil([] { return false; }, 50);
    d->Close();
    ASSERT_TRUE(rig.WaitConnections(3));
    auto f = rig.Peer();
    ASSERT_TRUE(rig.WaitConnections(4));
    f->SendLine("VERSION?");
    ASSERT_TRUE(f->WaitFor("VERSION 2.5.31"));
    EXPECT_EQ(f->Lines().front(), "VERSION 2.5.31");
    EXPECT_FALSE(rig.server.NetworkControllerIP().size());

    // Peers that connect and drop in a loop leave no stuck slot.
    for (int k = 0; k < 20; ++k) {
        rig.Peer(false)->Close();
        ASSERT_TRUE(rig.WaitConnections(4));
    }
    auto g = rig.Peer();
    g->SendLine("NET_CONTROL?");
    EXPECT_TRUE(g->WaitFor("NET_CONTROL "));

    // Boot drops every client without a word; Deafen stops new ones.
    rig.server.cmdBoot_Click();
    EXPECT_TRUE(a->WaitClosed());
    EXPECT_EQ(rig.server.ConnectionCount(), 0);
    rig.server.cmdListen_Click();
    EXPECT_EQ(rig.server.StatusText(), "Off");
    EXPECT_EQ(rig.server.ListenCaption(), "Listen");
}

TEST(NetworkControlServer, SendsToTheControllerOnlyAndKeepsListenPortWhileListening) {
    ServerRig rig;
    int32_t changed = 1234;
    rig.server.SetListenPort(changed);
    EXPECT_EQ(changed, rig.server.ListenPort()); // refused while listening
    auto a = rig.Peer(), b = rig.Peer();
    std::string text = "TO HOLDER";
    rig.server.SendActiveNetworkController(text); // nobody in control: dropped
    b->SendLine("NET_CONTROL_LOGON B");
    ASSERT_TRUE(b->WaitFor("NET_CONTROL_START"));
    int completes = 0;
    QObject::connect(&rig.server, &NetworkControlServer::SendComplete, [&] { ++completes; });
    rig.server.SendActiveNetworkController(text);
    ASSERT_TRUE(b->WaitFor("TO HOLDER"));
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return completes == 1; }, 5000));
    a->SendLine("VERSION?");
    ASSERT_TRUE(a->WaitFor("VERSION 2.5.31"));
    EXPECT_FALSE(a->Has("TO HOLDER"));
    EXPECT_EQ(b->Lines().size(), 2u);

    // TerminateConnections reports the end once and sends nothing.
    rig.server.TerminateConnections();
    rig.server.TerminateConnections();
    EXPECT_EQ(rig.ended, (std::vector<std::string>{"B"}));
    EXPECT_EQ(b->Lines().size(), 2u);
}

TEST(NetworkControlServer, ServesAFloodInTurnsAndCutsOffDeafPeersAndLongLines) {
    TestSupport::TraceLines traces;
    ServerRig rig;
    size_t largestChunk = 0;
    QObject::connect(
        &rig.server, &NetworkControlServer::RawNetworkMessage,
        [&](const std::string& text) { largestChunk = std::max(largestChunk, text.size()); });
    auto asker = rig.Peer();
    {
        TestSupport::Flooder asking(rig.server.ServerPort(), "HELP\r", true);
        TestSupport::Flooder deaf(rig.server.ServerPort(), "HELP\r", false);
        ASSERT_TRUE(rig.WaitConnections(3));
        // The deaf peer is cut off once its queue is full; the others are served meanwhile.
        ASSERT_TRUE(rig.WaitConnections(2));
        EXPECT_TRUE(traces.Has(") does not read, "));
        asker->Send(std::string(100 * 1024, 'x') + "\rVERSION?\r");
        EXPECT_TRUE(asker->WaitFor("VERSION 2.5.31"));
        EXPECT_GT(asking.Received(), 0u);
    }
    EXPECT_LE(largestChunk, static_cast<size_t>(NetSockets::kReadChunk)); // read in turns
    EXPECT_TRUE(traces.Has(" longer than 65536 bytes, the rest dropped"));
    std::vector<std::unique_ptr<LoopbackPeer>> others;
    while (others.size() < 4)
        others.push_back(rig.Peer());
    ASSERT_TRUE(rig.WaitConnections(5));
    EXPECT_TRUE(rig.Peer(false)->WaitClosed());
    EXPECT_TRUE(traces.Has("Network control: all 5 connections busy, 127.0.0.1 refused"));
}

TEST(NetworkControlServer, LinesBehindALineThatOpensABoxRunAfterItCloses) {
    TestSupport::ScriptedBoxes boxes; // gives the hook back however the test ends
    ServerRig rig;
    std::vector<std::string> seen;
    QObject::connect(&rig.server, &NetworkControlServer::MessageFromController,
                     [&](const std::string& line) {
                         seen.push_back(line);
                         if (line != "BOX") return;
                         Platform::MsgBox("A line asks");
                         seen.push_back("closed");
                     });
    auto a = rig.Peer();
    a->SendLine("NET_CONTROL_LOGON STUDIO 0,0");
    ASSERT_TRUE(a->WaitFor("NET_CONTROL_START"));
    // Each box waits while the event loop runs and more lines come; the second opens in a
    // turn of its own (its line came while the first waited).
    int opened = 0;
    Platform::SetMsgBoxHook([&](const Platform::ShownBox&) {
        a->Send(++opened == 1 ? "BOX\rNEXT\r" : "AFTER\rLAST\r");
        TestSupport::PumpUntil([] { return false; }, 300);
        return Platform::vbOK;
    });
    a->Send("BOX\r");
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return seen.size() == 7; }, 5000));
    EXPECT_EQ(seen, (std::vector<std::string>{"BOX", "closed", "BOX", "closed", "NEXT", "AFTER",
                                              "LAST"}));
}
