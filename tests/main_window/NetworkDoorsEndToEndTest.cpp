// The program's TCP doors end to end on 127.0.0.1: the playout system drives a break on real
// cart players, the ZOZ hears what plays, and two machines relay each other's words.
#include "breaks/BreaksFixture.h"
#include "network_control/LoopbackPeer.h"
#include "support/BreakRig.h"

#include "breaks/ZEL_Common.h"
#include "breaks/ZEL_Specific_CartGroups.h"
#include "breaks/frmSplit.h"
#include "core/TraceBudget.h"
#include "main_window/NetworkDoors.h"
#include "network_control/NetSockets.h"
#include "network_control/NetworkControlServer.h"
#include "platform/Ports.h"

#include <QElapsedTimer>
#include <QHostInfo>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using BreakRig::Advert;
using BreakRig::Rig;
using MainWindow::NetworkDoors;
using TestSupport::Flooder;
using TestSupport::LoopbackPeer;
using TestSupport::PumpUntil;

namespace {

using Lines = std::vector<std::string>;

// Ports of this test program, apart from any other running at the same time.
void UseOwnPorts() {
    qputenv("VNTZEL_PORT_OFFSET", QByteArray::number(TestSupport::ProgramPortOffset(2)));
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentSizeCounts = false; // freed memory stays in the sanitizer's quarantine
constexpr int kAnswerMs = 15000;            // instrumented code runs several times slower
#else
constexpr bool kResidentSizeCounts = true;
// Far above the benchmark's figure: other builds share the machine; a door that starves its
// peers does not answer at all while the flood lasts.
constexpr int kAnswerMs = 5000;
#endif

size_t ResidentBytes() {
    size_t pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%zu %zu", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

using TestSupport::Occurrences;

// Another machine's split, on players that only play when told to: it runs the words its
// master's network hands it in its own program context.
class FollowingSplit {
public:
    explicit FollowingSplit(ProgramContext& context) : context_(context) {
        ContextScope scope(context_);
        TestSupport::UseTestSplit(*Breaks::Split(1), Folder("source"), Folder("dest"));
        BreakCarts::SetCartReader([](int32_t, BreakCarts::CartTiming& timing) {
            timing = BreakCarts::CartTiming{3.0f, 2.5f};
            return int16_t{0};
        });
        engine = std::make_unique<SplitEngine>(&sender, &players);
        players.listener = [this](int32_t code, int16_t player, int32_t data) {
            engine->PlayerStatusNotice(code, player, data);
        };
    }
    ~FollowingSplit() {
        ContextScope scope(context_);
        players.listener = nullptr;
        engine.reset();
    }
    FollowingSplit(const FollowingSplit&) = delete;
    FollowingSplit& operator=(const FollowingSplit&) = delete;

    // The day's log as delivered to this machine: the same as the other's working log.
    void Deliver(const std::string& workingLogs, int32_t day) {
        const std::string name = VB::FormatDate(day, "yymmdd") + ".LOG";
        TestSupport::WriteBytes(dir_.File("source/" + name),
                                TestSupport::ReadBytes(workingLogs + "/" + name));
        // Delivered a while ago: it has stopped changing.
        std::filesystem::last_write_time(dir_.File("source/" + name),
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::minutes(1));
    }
    void Cue(int32_t day, float time) {
        ContextScope scope(context_);
        engine->SetCurrentAdBreakTime(day, time, false, false);
    }
    std::pair<int32_t, float> Cued() {
        ContextScope scope(context_);
        const ZEL_Common::SplitRecord& split = *Breaks::Split(1);
        return {split.CuedBreakDate, split.CuedBreakTime};
    }
    bool Running() {
        ContextScope scope(context_);
        return Breaks::State().BreakRunning;
    }

    BreaksTest::FakePlayers players;
    TestSupport::RecordingSender sender;
    std::unique_ptr<SplitEngine> engine;

private:
    std::string Folder(const std::string& name) const {
        std::filesystem::create_directories(dir_.File(name));
        return dir_.File(name);
    }
    ProgramContext& context_;
    TestSupport::ScratchDir dir_;
};

class NetworkDoorsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        UseOwnPorts();
        ASSERT_TRUE(rig.Open());
        for (const Advert& a : {Advert{101, 3.0f, 2.505f, "First Advert", "R101", 1000},
                                Advert{102, 2.0f, 1.505f, "Second Advert", "R102", 2000}})
            ASSERT_TRUE(rig.AddAdvert(a));
        rig.WriteLog({{36000, {101, 102}}, {39600, {101}}});
        rig.CueBreak(39600); // the day's log is loaded
        Breaks::CartGroupRecord& group = *Breaks::CartGroup(7);
        group.CartNumber(1) = 101;
        group.NumberOfCarts = 1;
        group.Description = "Promo \"A\"\tB";
        doors = std::make_unique<NetworkDoors>(CurrentContext());
        doors->SetSplit(&rig.Engine());
        rig.Engine().SetSender(doors.get());
    }
    void TearDown() override {
        rig.Engine().SetSender(nullptr);
        doors.reset();
        GeneralFunctions::State().DebugMode = 0;
        qunsetenv("VNTZEL_PORT_OFFSET");
        qunsetenv("VNTZEL_SYSTEMDRIVE");
    }
    // Traces every line into a scratch folder; what was traced so far.
    void TraceToScratch() {
        qputenv("VNTZEL_SYSTEMDRIVE", QByteArray::fromStdString(traceDir.Path()));
        GeneralFunctions::State().DebugMode = -1;
    }
    std::string Traced() const {
        std::string text;
        for (const auto& file : std::filesystem::directory_iterator(traceDir.Path()))
            text += TestSupport::ReadBytes(file.path().string());
        return text;
    }
    static uint16_t Port(int32_t fixed) {
        return static_cast<uint16_t>(Platform::FixedPort(fixed));
    }
    // Runs at most ms of virtual time, while the event loop serves the sockets in real time.
    bool RunUntil(const std::function<bool()>& done, uint32_t ms) {
        uint32_t elapsed = 0;
        return PumpUntil(
            [&] {
                if (!done() && elapsed < ms) {
                    rig.Run(Rig::kStepMs);
                    elapsed += Rig::kStepMs;
                }
                return done();
            },
            10000);
    }

    TestSupport::ScriptedBoxes boxes;
    TestSupport::ScratchDir traceDir;
    Rig rig;
    std::unique_ptr<NetworkDoors> doors;
};

} // namespace

TEST_F(NetworkDoorsEndToEnd, PlayoutSystemDrivesABreakAndTheZOZHearsIt) {
    // A fake ZOZ: the library's own server on the ZOZ port.
    MainSettings::SettingsRecords& settings = rig.Settings();
    settings.General.ZOZServerName = "127.0.0.1";
    settings.General.ZOZControlPort = 1;
    settings.General.LogWhenController = 1;
    NetworkControlServer zoz;
    int32_t zozPort = Port(Platform::kZOZPortBase + 1);
    zoz.Listen(zozPort);
    Lines toZoz;
    QObject::connect(&zoz, &NetworkControlServer::MessageFromController,
                     [&](const std::string& line) { toZoz.push_back(line); });
    doors->Open();
    ASSERT_TRUE(PumpUntil([&] { return doors->ZOZ().Client().Status() == nccHasControl; }, 5000));
    EXPECT_EQ(zoz.NetworkController(),
              modCorvane::UpperCase("ZEL." + QHostInfo::localHostName().toStdString()));
    EXPECT_EQ(doors->ZOZ().ControlPanelText(), "Have control of ZOZ");
    EXPECT_TRUE(settings.LoggingAllowed);

    LoopbackPeer vantor, other;
    ASSERT_TRUE(vantor.Connect(Port(Platform::PlayoutControlPort)));
    ASSERT_TRUE(other.Connect(Port(Platform::PlayoutControlPort)));
    vantor.SendLine("NET_CONTROL_LOGON VANTOR 0,0");
    ASSERT_EQ(vantor.WaitLines(2), (Lines{"NET_CONTROL_START", "GET_INFORMATION"}));
    EXPECT_EQ(doors->Playout().PanelText(), "VANTOR has Station Control");
    vantor.ClearReceived();
    vantor.Send("SERVICE_NAME?\rGET_BREAK_LENGTH 36000\rGET_CARTGROUP_LENGTH 7\r"
                "GET_CARTGROUP_INFO Group=\"7\"\rGET_CART_LENGTH 5\rGET_CARTGROUP_INFO x\r");
    const std::string day = std::to_string(Rig::kDay);
    EXPECT_EQ(
        vantor.WaitLines(4),
        (Lines{
            "SERVICE_NAME SPLIT 1", "BREAK_LENGTH " + day + " 36000 4.01",
            "CARTGROUP_LENGTH  7 2.505",
            "CARTGROUP_INFO Group=\"7\" Length=\"2.505\" Description=\"Promo {22}A{22}{09}B\""}));

    // The ZOZ's own lines reach the playout system unchanged.
    std::string fromZoz = "ZOZ SAYS \xE9";
    zoz.SendActiveNetworkController(fromZoz);
    ASSERT_TRUE(vantor.WaitFor("ZOZ SAYS \xE9"));

    // Cue and play from the playout system: the adverts sound, in order.
    vantor.ClearReceived();
    vantor.Send("AD_CUE 36000\rAD_PLAY\r");
    ASSERT_TRUE(RunUntil([&] { return vantor.Has("AD_BREAK_COMPLETED"); }, 20000));
    std::vector<int32_t> carts;
    for (const BreakRig::Sound& s : rig.Sounds())
        carts.push_back(s.cart);
    EXPECT_EQ(carts, (std::vector<int32_t>{101, 102}));
    const Lines heard = vantor.Lines();
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].rfind("AD_BREAK_NEAREND ", 0), 0u);
    EXPECT_EQ(heard[1], "AD_BREAK_COMPLETED");
    EXPECT_TRUE(other.Lines().empty()); // the other client hears nothing
    // One line per advert (each followed by an empty line: CR LF then the end character).
    ASSERT_TRUE(PumpUntil([&] { return toZoz.size() >= 4; }, 5000));
    ASSERT_EQ(toZoz.size(), 4u);
    EXPECT_EQ(
        toZoz[0].rfind("SET_CURRENT_ITEM CartNumber=101  ItemType=Advert ItemName=First Advert", 0),
        0u);
    EXPECT_EQ(toZoz[2].rfind(
                  "SET_CURRENT_ITEM CartNumber=102  ItemType=Advert ItemName=Second Advert", 0),
              0u);
    EXPECT_EQ(toZoz[1] + toZoz[3], "");

    // The ZOZ goes down: logging stops and the split waits before calling again.
    zoz.EndListen();
    zoz.TerminateConnections();
    ASSERT_TRUE(PumpUntil([&] { return doors->ZOZ().Client().RetryPending(); }, 5000));
    EXPECT_TRUE(doors->ZOZ().ReconnectPending());
    EXPECT_FALSE(settings.LoggingAllowed);
    EXPECT_EQ(doors->ZOZ().ControlPanelText(), "Not controlling ZOZ");
    zoz.Listen(zozPort);
    doors->ZOZ().Client().SetRetryInterval(10);
    ASSERT_TRUE(PumpUntil([&] { return doors->ZOZ().Client().Status() == nccHasControl; }, 5000));

    // Help and status are the host's own.
    vantor.ClearReceived();
    vantor.SendLine("STATUS?");
    ASSERT_TRUE(vantor.WaitFor("-Next Advert break  : 1 adverts")); // 11:00 is cued
    EXPECT_TRUE(settings.LoggingAllowed);
    const Lines status = vantor.Lines();
    ASSERT_GE(status.size(), 6u);
    EXPECT_EQ(status[0], "-Service Name       : SPLIT 1");
    EXPECT_EQ(status[1], "-Log File           : " + Breaks::Split(1)->WorkingLogPath);
    EXPECT_EQ(Lines(status.begin() + 2, status.begin() + 6),
              (Lines{"-", "-ZOZ Server         : 127.0.0.1", "-ZOZ Server Port    : 1", "-"}));
    EXPECT_EQ(status[6], "-Next Advert break  : 1 adverts");
    vantor.SendLine("HELP");
    EXPECT_TRUE(vantor.WaitFor("-Vantor Control Commands:"));
}

TEST_F(NetworkDoorsEndToEnd, MachinesRelayWordsAndKeepTheGates) {
    doors->Open();
    const uint16_t slavePort = Port(Platform::SlavePort);
    ASSERT_EQ(doors->Network().ListeningPort(), slavePort);

    // A second machine in this process whose master is the first, on the same logs. Its own
    // listeners find their ports taken (one host): it reports that and goes on without them.
    ProgramContext second;
    FollowingSplit follower(second);
    const std::string workingLogs = rig.Engine().Split().LogDestinationDirectory;
    follower.Deliver(workingLogs, Rig::kDay);
    follower.Cue(Rig::kDay, 39600);
    NetworkDoors secondDoors(second);
    secondDoors.SetSplit(follower.engine.get());
    second.Settings.Network.MasterName = "127.0.0.1";
    secondDoors.Open();
    ASSERT_TRUE(PumpUntil([&] { return doors->Network().SlaveCount() == 1; }, 5000));
    EXPECT_TRUE(secondDoors.Network().MasterConnected());
    EXPECT_EQ(boxes.Count(), 2u);
    LoopbackPeer a, b;
    ASSERT_TRUE(a.Connect(slavePort));
    ASSERT_TRUE(b.Connect(slavePort));
    ASSERT_TRUE(PumpUntil([&] { return doors->Network().SlaveCount() == 3; }, 5000));
    // A slave is cued on the master's cued break as it connects.
    const std::string day = std::to_string(Rig::kDay);
    EXPECT_TRUE(a.WaitFor("AD_CUE " + day + " 39600"));
    EXPECT_TRUE(b.WaitFor("AD_CUE " + day + " 39600"));
    a.ClearReceived();
    b.ClearReceived();
    auto relayed = [&](const std::string& text) {
        return PumpUntil([&] { return b.Raw().size() >= text.size(); }, 5000) && b.Raw() == text;
    };
    SplitEngine& split = rig.Engine();
    auto cuedTime = [&] { return split.GetAdBreakTime(split.Split().CuedBreakPos); };
    using Cue = std::pair<int32_t, float>;

    // A slave's chunks go on raw to the other slaves, never back; the line runs once, when its
    // end arrives, on every machine.
    a.Send("AD_CUE 36");
    a.Send("000\r\n");
    ASSERT_TRUE(relayed("AD_CUE 36000\r\n"));
    ASSERT_TRUE(PumpUntil([&] { return cuedTime() == 36000; }, 5000));
    EXPECT_EQ(split.Break().AdvertCount, 2);
    ASSERT_TRUE(PumpUntil([&] { return follower.Cued() == Cue{Rig::kDay, 36000}; }, 5000));
    // The gates: no play while play commands are off. The dump of the cued break on another
    // machine's word is written to the error file.
    rig.Settings().Network.RespondPlayCommands = 0;
    second.Settings.Network.RespondPlayCommands = 0;
    a.Send("AD_DUMP\rAD_PLAY\r");
    ASSERT_TRUE(relayed("AD_CUE 36000\r\nAD_DUMP\rAD_PLAY\r"));
    EXPECT_FALSE(Breaks::State().BreakRunning);
    ASSERT_TRUE(PumpUntil([&] { return follower.Cued() == Cue{Rig::kDay, 39600}; }, 5000));
    rig.Settings().Network.RespondPlayCommands = 1;
    second.Settings.Network.RespondPlayCommands = 1;
    b.ClearReceived();
    // Days alike: the next day has breaks at the times of this day's.
    rig.WriteLog({{0, {102}}, {36000, {101}}, {39600, {101}}}, Rig::kDay + 1);
    follower.Deliver(workingLogs, Rig::kDay + 1);
    const Cue midnight{Rig::kDay + 1, 0};
    const std::string toldMidnight = "AD_CUE " + std::to_string(Rig::kDay + 1) + " 0";
    a.Send("AD_PLAY\r");
    ASSERT_TRUE(RunUntil([&] { return Breaks::State().BreakRunning; }, 2000));
    EXPECT_EQ(cuedTime(), 39600); // the day's last break runs
    ASSERT_TRUE(PumpUntil([&] { return follower.Running(); }, 5000));
    // A slave that connects now is cued on the break after it: the next day's first.
    LoopbackPeer c;
    ASSERT_TRUE(c.Connect(slavePort));
    EXPECT_TRUE(c.WaitFor(toldMidnight)) << c.Raw();
    c.Close();
    // The running break's own cue, its time alone as machines send it: it keeps the day it
    // was heard on, so it names no later break and never skips the next day.
    a.Send("AD_CUE 39600\r");
    ASSERT_TRUE(PumpUntil([&] { return b.Raw().size() == 21; }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(cuedTime(), 39600); // the running break is not disturbed
    LoopbackPeer d;               // a slave connecting now is not told the held cue
    ASSERT_TRUE(d.Connect(slavePort));
    EXPECT_TRUE(d.WaitFor(toldMidnight)) << d.Raw();
    d.Close();
    a.Send("KILL\r");
    ASSERT_TRUE(RunUntil([&] { return !Breaks::State().BreakRunning; }, 2000));
    rig.Run(200);
    // KILL dumped without sending a word of its own; the held cue is dropped and both machines
    // stay on the next day's first break.
    ASSERT_TRUE(relayed("AD_PLAY\rAD_CUE 39600\rKILL\r"));
    EXPECT_TRUE(a.Raw().empty());
    EXPECT_EQ(split.Split().CuedBreakDate, Rig::kDay + 1);
    EXPECT_EQ(cuedTime(), 0);
    ASSERT_TRUE(PumpUntil([&] { return !follower.Running(); }, 5000));
    EXPECT_EQ(follower.Cued(), midnight);
    EXPECT_EQ(follower.players.plays.size(), 1u) << "the follower played the day's last break";
    const std::string dumped = "07/12/2026 09:00:00 [Code:ADT2] Dumped ";
    const std::string why = " advert break because told to by another machine\r\n";
    EXPECT_EQ(rig.ErrorFileText(), dumped + "10:00:00" + why + dumped + "11:00:00" + why);

    // The master's own words go to every slave with CR LF.
    b.ClearReceived();
    doors->SendMessageToNetwork("AD_RECUE");
    ASSERT_TRUE(relayed("AD_RECUE\r\n"));
    EXPECT_TRUE(a.WaitFor("AD_RECUE"));

    // Player words reach the cart players; numbers outside 1..players are ignored.
    a.Send("CART_CUE 102\r");
    ASSERT_TRUE(PumpUntil(
        [&] { return rig.Player(1).CartNumber == 102 || rig.Player(2).CartNumber == 102; }, 5000));
    const int16_t p = rig.Player(1).CartNumber == 102 ? 1 : 2;
    a.Send("PLAY_PLAYER 0\rCLOSE_PLAYER -1\rCLOSE_PLAYER 3\rPAUSE_PLAYER 99999999999\r");
    a.Send("PLAY_PLAYER " + std::to_string(p) + "\r");
    ASSERT_TRUE(RunUntil([&] { return rig.Player(p).Status == CartPlayers::Playing; }, 2000));
    a.Send("CLOSE_PLAYER " + std::to_string(p) + "\r");
    ASSERT_TRUE(RunUntil([&] { return rig.Player(p).Status == CartPlayers::Empty; }, 2000));

    // Bad peers: a 1 MB line without an end, peers that connect and drop. The others go on,
    // and the trace shows each received chunk once, cut short.
    TraceToScratch();
    a.Send(std::string(1 << 20, 'x'));
    for (int k = 0; k < 10; ++k) {
        LoopbackPeer dropper;
        if (dropper.Connect(slavePort)) dropper.Close();
    }
    ASSERT_TRUE(PumpUntil([&] { return doors->Network().SlaveCount() == 3; }, 5000));
    b.ClearReceived();
    a.Send("\rAD_CUE " + day + " 39600\r");
    ASSERT_TRUE(PumpUntil([&] { return cuedTime() == 39600; }, 5000));
    EXPECT_TRUE(b.WaitFor("AD_CUE " + day + " 39600"));
    EXPECT_EQ(boxes.Count(), 2u);
    // Received control characters show escaped: a peer cannot start a line of the trace.
    a.ClearReceived();
    const std::string forged = "\n12:00:00 FORGED\x01\x7F\xE9\r\n";
    b.Send(forged);
    ASSERT_TRUE(PumpUntil([&] { return a.Raw() == forged; }, 5000));
    GeneralFunctions::State().DebugMode = 0;
    const std::string trace = Traced();
    EXPECT_LT(trace.size(), 128u * 1024);
    EXPECT_NE(trace.find("SLVMSG(2):" + std::string(200, 'x') + "... ("), std::string::npos);
    EXPECT_NE(trace.find("SLVMSG(3):\\n12:00:00 FORGED\\x01\\x7F\xE9\\r\\n\r\n"),
              std::string::npos);
    EXPECT_EQ(trace.find("\n12:00:00 FORGED"), std::string::npos);

    // The master goes down: the slave waits before calling again, then finds it back.
    doors->Close();
    ASSERT_TRUE(PumpUntil([&] { return secondDoors.Network().MasterRetryPending(); }, 5000));
    EXPECT_FALSE(secondDoors.Network().MasterConnected());
    doors->Open();
    secondDoors.Network().SetMasterRetryInterval(10);
    ASSERT_TRUE(PumpUntil([&] { return doors->Network().SlaveCount() == 1; }, 5000));
    EXPECT_TRUE(secondDoors.Network().MasterConnected());
    // Slaves that come after the master's start are cued on its break all the same.
    LoopbackPeer late;
    ASSERT_TRUE(late.Connect(slavePort));
    EXPECT_TRUE(late.WaitFor("AD_CUE " + day + " 39600"));
    EXPECT_EQ(boxes.Count(), 2u);
}

TEST(NetworkDoorsWithoutALog, AnswersTellThatNoLogIsLoaded) {
    struct OwnPorts {
        OwnPorts() { UseOwnPorts(); }
        ~OwnPorts() { qunsetenv("VNTZEL_PORT_OFFSET"); }
    } ports;
    TestSupport::ScriptedBoxes boxes;
    Rig rig;
    ASSERT_TRUE(rig.Open());
    NetworkDoors doors(CurrentContext());
    doors.SetSplit(&rig.Engine());
    frmSplit window(rig.Engine());
    window.Form_Load(); // today has no log in either folder
    doors.Open();
    LoopbackPeer vantor;
    ASSERT_TRUE(
        vantor.Connect(static_cast<uint16_t>(Platform::FixedPort(Platform::PlayoutControlPort))));
    vantor.SendLine("NET_CONTROL_LOGON VANTOR 0,0");
    ASSERT_EQ(vantor.WaitLines(2), (Lines{"NET_CONTROL_START", "GET_INFORMATION"}));
    vantor.Send("GET_BREAK_LENGTH 36000\rSTATUS?\r");
    EXPECT_TRUE(vantor.WaitFor("BREAK_LENGTH 0 36000 0"));
    EXPECT_TRUE(vantor.WaitFor("-Log File           : Cannot Find " +
                               ZEL_Common::GetDestinationLogPath(1, Rig::kDay, false)));
    EXPECT_TRUE(vantor.WaitFor("-Next Advert break  : 0 adverts"));
}

TEST_F(NetworkDoorsEndToEnd, FloodersAndDeafPeersNeitherStarveOthersNorHoardMemory) {
    TraceToScratch();
    QElapsedTimer flooding;
    flooding.start();
    doors->Open();
    const uint16_t playoutPort = Port(Platform::PlayoutControlPort);
    const uint16_t slavePort = Port(Platform::SlavePort);
    LoopbackPeer vantor;
    ASSERT_TRUE(vantor.Connect(playoutPort));
    const size_t before = ResidentBytes();
    {
        // One peer on each door sends without pause; one deaf peer on each door is sent to:
        // help answers to itself on the playout door, the flood's relays on the slave door.
        Flooder slaveFlood(slavePort, std::string(1000, 'x') + "\r", true);
        Flooder deafSlave(slavePort, "", false);
        ASSERT_TRUE(PumpUntil([&] { return doors->Network().SlaveCount() == 2; }, 5000));
        {
            Flooder asking(playoutPort, "HELP\r", true);
            Flooder deafAsking(playoutPort, "HELP\r", false);
            for (int round = 0; round < 3; ++round) {
                vantor.ClearReceived();
                QElapsedTimer answered;
                answered.start();
                vantor.SendLine("VERSION?");
                ASSERT_TRUE(PumpUntil([&] { return !vantor.Lines().empty(); }, kAnswerMs))
                    << "round " << round << " unanswered after " << answered.elapsed() << " ms";
                EXPECT_EQ(vantor.Lines().front().rfind("VERSION ", 0), 0u);
                PumpUntil([] { return false; }, 300);
            }
            // The deaf peers are dropped once their queues are full; the askers are served.
            EXPECT_TRUE(
                PumpUntil([&] { return doors->Playout().Server().ConnectionCount() == 2; }, 5000));
            EXPECT_GT(asking.Received(), 0u);
        }
        EXPECT_TRUE(PumpUntil([&] { return doors->Network().SlaveCount() == 1; }, 10000));
        const size_t during = ResidentBytes();
        if (kResidentSizeCounts) {
            EXPECT_LT(during, before + 64 * 1024 * 1024)
                << "grew by " << (during - before) / (1024 * 1024) << " MB";
        }
    }
    // After the flood the doors serve as before: a burst of requests is answered in full.
    ASSERT_TRUE(PumpUntil([&] { return doors->Network().SlaveCount() == 0; }, 5000));
    // The flooders' trace lines stop at each one's budget per second; the rest are counted.
    PumpUntil([] { return false; }, 1100); // the last second's count
    const std::string trace = Traced();
    const size_t slaveLines = Occurrences(trace, "SLVMSG(");
    const auto seconds = static_cast<size_t>(flooding.elapsed() / 1000 + 1);
    EXPECT_LE(slaveLines, seconds * GeneralFunctions::TraceBudget::kLinesPerSecond);
    EXPECT_NE(trace.find("NETWORK:slave 1 (127.0.0.1): "), std::string::npos);
    EXPECT_NE(trace.find(" more trace lines in one second, left out\r\n"), std::string::npos);
    vantor.ClearReceived();
    std::string burst;
    for (int i = 0; i < 100; ++i)
        burst += "VERSION?\r";
    vantor.Send(burst);
    EXPECT_EQ(vantor.WaitLines(100).size(), 100u);

    // A storm of short connections on both doors, many at once: the lines of accepting and
    // refusing them, and all the lines of their peers, stop at each listener's budget per
    // second; the rest are counted.
    const size_t stormFrom = Traced().size();
    QElapsedTimer storming;
    storming.start();
    {
        std::vector<std::unique_ptr<TestSupport::Storm>> storms;
        for (int i = 0; i < 8; ++i)
            storms.push_back(
                std::make_unique<TestSupport::Storm>(i % 2 ? slavePort : playoutPort, "HELP\r"));
        PumpUntil([] { return false; }, 3000);
        EXPECT_GT(storms[0]->Connections(), 0u);
        EXPECT_GT(storms[1]->Connections(), 0u);
    }
    PumpUntil([] { return false; }, 1100);
    const std::string storm = Traced().substr(stormFrom);
    auto count = [&storm](const std::string& part) { return Occurrences(storm, part); };
    // Each budget's seconds start where its lines do: the storm spans one more than it lasts.
    const auto stormSeconds = static_cast<size_t>(storming.elapsed() / 1000 + 2);
    const size_t door = stormSeconds * (GeneralFunctions::TraceBudget::kSharedLinesPerSecond + 1);
    EXPECT_LE(count("MSGOUT:NewSlave:") + count("slave connections busy") + count("SLVMSG("), door);
    EXPECT_LE(count("Network control: "), door);
    EXPECT_GT(count("NETWORK:slave connections: "), 0u);
    EXPECT_LE(count("\r\n"), 2 * door + 20) << storm.substr(0, 4000);
}
