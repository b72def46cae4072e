// VNTZEL as a process of its own on a demo station made by the demo maker: start-up in order,
// its ready line and ports, breaks played by the scheduler one after another with each
// advert's reconciliation line written while it runs, the words its slave hears, shut-down, a
// second start, and the start-ups it refuses.
#include "network_control/LoopbackPeer.h"
#include "support/TestSupport.h"

#include "breaks/AdvertLog_FN.h"
#include "core/MainSettings.h"
#include "hardware/HardwareSettingsEngine.h"
#include "main_window/ProgramContext.h"
#include "platform/Ports.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTime>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <unistd.h>

using TestSupport::LoopbackPeer;
using TestSupport::PumpUntil;

namespace {

constexpr int kStartMs = 60000;

// One break of the split in the day's log, or the adverts of it that were reconciled: each
// line's cart and time (the break's time in a log, the advert's start when reconciled).
struct LogBreak {
    std::string reference;
    std::vector<int32_t> carts;
    std::vector<int> times; // seconds after midnight
};

// The breaks of the split's chain in a log text (or reconciliation text), in file order; lines
// of one break share its reference.
std::vector<LogBreak> SplitBreaks(const std::string& text) {
    std::vector<LogBreak> breaks;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || AdvertLog_FN::GetLineChainCode(line) != "NE") continue;
        const std::string reference = AdvertLog_FN::GetLineReference(line);
        if (breaks.empty() || breaks.back().reference != reference)
            breaks.push_back({reference, {}, {}});
        breaks.back().carts.push_back(AdvertLog_FN::GetLineCartNumber(line));
        breaks.back().times.push_back(static_cast<int>(AdvertLog_FN::GetLineTime(line)));
    }
    return breaks;
}

// How the reconciled breaks follow the log: whole breaks in log order from the first one
// reconciled, each advert's line in its place and each started no earlier than its break.
struct Reconciled {
    int complete = 0;  // whole breaks reconciled
    int firstTime = 0; // the first reconciled break's time
    std::string fault; // the first line out of order, empty when none
};

Reconciled FollowLog(const std::vector<LogBreak>& log, const std::vector<LogBreak>& played) {
    Reconciled result;
    if (played.empty()) return result;
    auto at = std::find_if(log.begin(), log.end(), [&](const LogBreak& b) {
        return b.reference == played.front().reference;
    });
    if (at == log.end()) return {0, 0, "reference not in the log: " + played.front().reference};
    result.firstTime = at->times.front();
    for (const LogBreak& got : played) {
        if (at == log.end() || got.reference != at->reference)
            return {result.complete, result.firstTime, "break out of order: " + got.reference};
        for (size_t i = 0; i < got.carts.size(); ++i) {
            if (i >= at->carts.size() || got.carts[i] != at->carts[i] ||
                got.times[i] < at->times.front())
                return {result.complete, result.firstTime,
                        "advert " + std::to_string(i + 1) + " of " + got.reference};
        }
        if (got.carts.size() == at->carts.size())
            ++result.complete;
        else if (&got != &played.back())
            return {result.complete, result.firstTime, "break cut short: " + got.reference};
        ++at;
    }
    return result;
}

class ProgramProcess : public ::testing::Test {
protected:
    void SetUp() override {
        station = scratch.Path();
        QDir().mkpath(QString::fromStdString(station + "/windows"));
        offset = QByteArray::number(TestSupport::ProgramPortOffset(0));
        qputenv("VNTZEL_PORT_OFFSET", offset);
        QObject::connect(&program, &QProcess::readyReadStandardOutput, &program,
                         [this] { output += program.readAllStandardOutput().toStdString(); });
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
        qunsetenv("VNTZEL_PORT_OFFSET");
    }

    QProcessEnvironment Environment(const QString& platform = "offscreen") const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        QString root = QString::fromStdString(station);
        env.insert("VNTZEL_WINDIR", root + "/windows");
        env.insert("VNTZEL_APPDIR", root + "/app");
        env.insert("VNTZEL_SYSTEMDRIVE", root + "/windows");
        env.insert("VNTZEL_REGISTRY", root + "/windows/registry.ini");
        env.insert("VNTZEL_HEADLESS", "1");
        env.insert("VNTZEL_WAVE_OUT_DEVICES", "null,null,null,null");
        env.insert("VNTZEL_WAVE_IN_DEVICES", "null");
        env.insert("VNTZEL_PORT_OFFSET", QString::fromLatin1(offset));
        env.insert("QT_QPA_PLATFORM", platform);
        return env;
    }
    // A demo station of one-second carts; options name the demo maker's settings.
    bool MakeDemoStation(const std::map<QString, QString>& options = {}) {
        QProcess demo;
        QProcessEnvironment env = Environment();
        env.insert("VNTZEL_DEMO_CART_SECONDS", "1");
        for (const auto& [name, value] : options)
            env.insert(name, value);
        demo.setProcessEnvironment(env);
        demo.start(VNTZEL_DEMO, {QString::fromStdString(station)});
        return demo.waitForFinished(5 * kStartMs) && demo.exitCode() == 0;
    }
    void Start(const QString& platform = "offscreen") {
        output.clear();
        program.setProcessEnvironment(Environment(platform));
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(VNTZEL_PROGRAM, {"/DEBUG"});
        ASSERT_TRUE(program.waitForStarted());
    }
    // Exit code of the program once it has ended, -1 when it did not.
    int Ended() {
        if (!program.waitForFinished(kStartMs)) return -1;
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }
    std::string Trace() const {
        QDir windows(QString::fromStdString(station + "/windows"));
        std::string text;
        for (const QString& name : windows.entryList({"VNTZEL.*.log"}, QDir::Files, QDir::Name))
            text += TestSupport::ReadBytes(windows.filePath(name).toStdString());
        return text;
    }
    bool TraceHas(const std::string& text, size_t from = 0) const {
        return Trace().find(text, from) != std::string::npos;
    }
    bool WaitTrace(const std::string& text, size_t from = 0) {
        PumpUntil([&] { return TraceHas(text, from) || program.state() == QProcess::NotRunning; },
                  kStartMs);
        return TraceHas(text, from);
    }
    // The texts appear in the trace in this order, after position from.
    static void ExpectInOrder(const std::string& trace, const std::vector<std::string>& texts,
                              size_t from = 0) {
        for (const std::string& text : texts) {
            size_t at = trace.find(text, from);
            ASSERT_NE(at, std::string::npos) << "missing or out of order: " << text;
            from = at + text.size();
        }
    }
    static size_t Count(const std::string& text, const std::string& what) {
        size_t count = 0;
        for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size())
            ++count;
        return count;
    }
    static size_t CountLines(const LoopbackPeer& peer, const std::string& line) {
        const std::vector<std::string> lines = peer.Lines();
        return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
    }
    static uint16_t Port(int32_t fixed) {
        return static_cast<uint16_t>(Platform::FixedPort(fixed));
    }
    std::string Files(const std::string& folder, const QString& pattern) const {
        QDir dir(QString::fromStdString(station + folder));
        std::string text;
        for (const QString& name : dir.entryList({pattern}, QDir::Files, QDir::Name))
            text += TestSupport::ReadBytes(dir.filePath(name).toStdString());
        return text;
    }
    std::string Reconciliation() const { return Files("/app/dest", "*.REC"); }

    TestSupport::ScratchDir scratch;
    std::string station;
    QByteArray offset;
    QProcess program;
    std::string output; // what the program printed
};

} // namespace

TEST_F(ProgramProcess, PlaysScheduledBreaksOneAfterAnotherWhileRunningAndShutsDown) {
    // Breaks 12 seconds apart from 20 seconds after the logs are written.
    ASSERT_TRUE(MakeDemoStation({{"VNTZEL_DEMO_BREAK_SECONDS", "12"},
                                 {"VNTZEL_DEMO_FIRST_BREAK_SECONDS", "20"},
                                 {"VNTZEL_DEMO_BREAKS", "40"}}));
    ASSERT_GT(TestSupport::ReadBytes(station + "/windows/VNTZEL.INI").size(), 10u);
    const std::vector<LogBreak> log = SplitBreaks(Files("/app/source", "*.LOG"));
    // A week of logs follows today's, and the station's card is one the hardware dialog edits,
    // its line 1 an input that plays the cued break.
    EXPECT_EQ(QDir(QString::fromStdString(station + "/app/source")).entryList({"*.LOG"}).size(), 8);
    {
        ProgramContext context;
        ContextScope scope(context);
        MainSettings::Settings().MainIniFile = station + "/windows/VNTZEL.INI";
        HardwareSettings::HardwareSettingsEngine dialog;
        dialog.Form_Load();
        EXPECT_GE(dialog.page(1).typeIndex, 1) << dialog.page(1).notice;
        ASSERT_GE(dialog.page(1).grid.size(), 2u);
        EXPECT_EQ(dialog.page(1).grid[1][HardwareCatalogue::colType], "Input");
        EXPECT_EQ(dialog.page(1).grid[1][HardwareCatalogue::colInfo1], "ZEL - Play Adverts");
    }

    Start();
    ASSERT_TRUE(WaitTrace("Start-up complete")) << Trace();
    ExpectInOrder(Trace(),
                  {"Getting Vantor ZEL Settings...", "Getting Audio Settings...",
                   "Opening Audiowall...", "Pre-Display main window", "Pre-Initialise Audio",
                   "Initialising Players...", "Pre-Display players", "Starting Hardware Manager...",
                   "Reading Network Settings...", "Starting Windows Sockets...",
                   "Start-up complete"});
    // One line when ready: its folders and its ports.
    ASSERT_TRUE(PumpUntil([&] { return output.find('\n') != std::string::npos; }, kStartMs));
    EXPECT_EQ(output.rfind("VNTZEL ready: settings and trace log in " + station + "/windows", 0),
              0u)
        << output;
    EXPECT_NE(output.find("playout system port " +
                          std::to_string(Port(Platform::PlayoutControlPort)) + ", machines port " +
                          std::to_string(Port(Platform::SlavePort))),
              std::string::npos)
        << output;

    LoopbackPeer machine, vantor;
    ASSERT_TRUE(machine.Connect(Port(Platform::SlavePort)));
    const int connected = QTime::currentTime().msecsSinceStartOfDay() / 1000 + 1;
    ASSERT_TRUE(vantor.Connect(Port(Platform::PlayoutControlPort)));
    vantor.SendLine("NET_CONTROL_LOGON VANTOR 0,0");
    ASSERT_TRUE(vantor.WaitFor("NET_CONTROL_START"));

    // Two whole breaks after the slave connected play by themselves: every advert's line is
    // in the reconciliation file while the program runs, in log order with the log's carts.
    Reconciled reconciled;
    auto played = [&] {
        reconciled = FollowLog(log, SplitBreaks(Reconciliation()));
        return !reconciled.fault.empty() ||
               reconciled.complete - (reconciled.firstTime < connected ? 1 : 0) >= 2;
    };
    ASSERT_TRUE(PumpUntil(played, 3 * kStartMs)) << Reconciliation() << Trace();
    ASSERT_EQ(reconciled.fault, "") << Reconciliation() << Trace();
    ASSERT_EQ(program.state(), QProcess::Running);
    // The slave heard "AD_PLAY" once for each break it saw start, and one cue: the cued break
    // when it connected, none after a break; start-up's cue went out once, before it connected.
    const size_t breaks =
        static_cast<size_t>(reconciled.complete) - (reconciled.firstTime < connected ? 1u : 0u);
    EXPECT_EQ(CountLines(machine, "AD_PLAY"), breaks) << machine.Raw() << Trace();
    EXPECT_EQ(Count(machine.Raw(), "AD_CUE"), 1u) << machine.Raw();
    EXPECT_EQ(Count(Trace(), "NewSlave:AD_CUE "), 1u) << Trace();
    EXPECT_EQ(Count(Trace(), "ToSlaves:AD_CUE "), 1u) << Trace();
    EXPECT_EQ(CountLines(vantor, "AD_BREAK_COMPLETED"), static_cast<size_t>(reconciled.complete));
    // Between the breaks no player still holds a finished advert: every one was ejected.
    EXPECT_EQ(Count(Trace(), "PlayBreak:No free player"), 0u) << Trace();

    // Closing the main window (SIGTERM) runs the shut-down in order and ends with 0.
    size_t before = Trace().size();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    EXPECT_EQ(Ended(), 0);
    ExpectInOrder(Trace(), {"Shutting down", "Shut-down complete", "ended with code 0"}, before);

    // A second start on the same station comes up and ends the same way.
    before = Trace().size();
    Start();
    ASSERT_TRUE(WaitTrace("Start-up complete", before));
    LoopbackPeer again;
    EXPECT_TRUE(again.Connect(Port(Platform::PlayoutControlPort)));
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    EXPECT_EQ(Ended(), 0);
}

TEST_F(ProgramProcess, RefusesAMissingOrShortSettingsFileAndANarrowScreen) {
    const std::string ini = station + "/windows/VNTZEL.INI";
    for (const char* bytes : {static_cast<const char*>(nullptr), "[General]"}) {
        if (bytes) TestSupport::WriteBytes(ini, bytes);
        Start();
        EXPECT_EQ(Ended(), 1);
        EXPECT_TRUE(TraceHas("settings file " + ini + " missing or empty")) << Trace();
        EXPECT_FALSE(TraceHas("Opening Audiowall..."));
    }

    // A screen 640 pixels wide: the message, then nothing else.
    const std::string screens = station + "/screens.json";
    TestSupport::WriteBytes(screens, R"({"screens": [{"name": "narrow", "x": 0, "y": 0,
        "width": 640, "height": 480, "logicalDpi": 96, "logicalBaseDpi": 96}]})");
    QFile::remove(
        QString::fromStdString(station + "/windows") + "/" +
        QDir(QString::fromStdString(station + "/windows")).entryList({"VNTZEL.*.log"}).value(0));
    Start("offscreen:configfile=" + QString::fromStdString(screens));
    EXPECT_EQ(Ended(), 1);
    EXPECT_TRUE(TraceHas("Vantor ZEL will only run in 800x600 screen resolution or higher."))
        << Trace();
    EXPECT_FALSE(TraceHas("Getting Vantor ZEL Settings..."));
}
