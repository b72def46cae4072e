// VNTZEL as a process of its own on a demo station made by the demo maker: start-up in order,
// its ready line and ports, breaks played by the scheduler one after another with each
// advert's reconciliation line written while it runs, the words its slave hears, shut-down, a
// second start, reconciliation lines its disk refuses for a while, adverts without audio passed
// over and the break after them on time, the start-ups it refuses and why (on standard error),
// and a master and its slave as two processes that stay on the same break, the slave's ports
// taken by the master.
#include "network_control/LoopbackPeer.h"
#include "support/TestSupport.h"

#include "breaks/AdvertLog_FN.h"
#include "core/MainSettings.h"
#include "hardware/HardwareSettingsEngine.h"
#include "main_window/ProgramContext.h"
#include "platform/Clock.h"
#include "platform/Ports.h"
#include "platform/Profile.h"

#include <QDate>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTime>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <sys/resource.h>
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

// The reconciliation lines of one break (by its reference) without their start times, and
// the start times.
struct BreakLines {
    std::vector<std::string> lines;
    std::vector<int> times;
};

BreakLines LinesOf(const std::string& text, const std::string& reference) {
    BreakLines found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() < 10 || AdvertLog_FN::GetLineReference(line) != reference) continue;
        found.lines.push_back(line.substr(9));
        found.times.push_back(static_cast<int>(AdvertLog_FN::GetLineTime(line)));
    }
    return found;
}

// How the reconciled breaks follow the log: whole breaks in log order from the first one
// reconciled, each advert's line in its place and each started no earlier than its break.
struct Reconciled {
    int complete = 0;               // whole breaks reconciled
    int firstTime = 0;              // the first reconciled break's time
    std::string fault;              // the first line out of order, empty when none
    std::vector<int> completeTimes; // the log times of the whole breaks
};

Reconciled FollowLog(const std::vector<LogBreak>& log, const std::vector<LogBreak>& played) {
    Reconciled result;
    if (played.empty()) return result;
    auto at = std::find_if(log.begin(), log.end(), [&](const LogBreak& b) {
        return b.reference == played.front().reference;
    });
    auto fail = [&](const std::string& why) {
        result.fault = why;
        return result;
    };
    if (at == log.end()) return fail("reference not in the log: " + played.front().reference);
    result.firstTime = at->times.front();
    for (const LogBreak& got : played) {
        if (at == log.end() || got.reference != at->reference)
            return fail("break out of order: " + got.reference);
        for (size_t i = 0; i < got.carts.size(); ++i) {
            if (i >= at->carts.size() || got.carts[i] != at->carts[i] ||
                got.times[i] < at->times.front())
                return fail("advert " + std::to_string(i + 1) + " of " + got.reference);
        }
        if (got.carts.size() == at->carts.size()) {
            ++result.complete;
            result.completeTimes.push_back(at->times.front());
        } else if (&got != &played.back())
            return fail("break cut short: " + got.reference);
        ++at;
    }
    return result;
}

// A program on a demo station of its own: the station's folder, the process and what it
// printed on standard output and on standard error.
struct Machine {
    Machine() {
        station = scratch.Path();
        QDir().mkpath(QString::fromStdString(station + "/windows"));
        QObject::connect(&program, &QProcess::readyReadStandardOutput, &program,
                         [this] { output += program.readAllStandardOutput().toStdString(); });
        QObject::connect(&program, &QProcess::readyReadStandardError, &program,
                         [this] { errors += program.readAllStandardError().toStdString(); });
    }
    ~Machine() {
        if (program.state() == QProcess::NotRunning) return;
        program.kill();
        program.waitForFinished();
    }
    TestSupport::ScratchDir scratch;
    std::string station;
    QProcess program;
    std::string output;
    std::string errors;
    // The wall clock of what it starts: "" the computer's, else the date and time
    // ("yyyy-mm-dd hh:mm:ss") it starts at, running on from there.
    std::string clockFrom;
};

// The preloaded clock that starts a process at a wall time of its own (steady clocks stay).
const char* const kFakeClock = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";

class ProgramProcess : public ::testing::Test {
protected:
    void SetUp() override {
        offset = QByteArray::number(TestSupport::ProgramPortOffset(0));
        qputenv("VNTZEL_PORT_OFFSET", offset);
    }
    void TearDown() override { qunsetenv("VNTZEL_PORT_OFFSET"); }

    QProcessEnvironment Environment(const QString& platform = "offscreen") const {
        return Environment(first, platform);
    }
    QProcessEnvironment Environment(const Machine& machine, const QString& platform) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        QString root = QString::fromStdString(machine.station);
        env.insert("VNTZEL_WINDIR", root + "/windows");
        env.insert("VNTZEL_APPDIR", root + "/app");
        env.insert("VNTZEL_SYSTEMDRIVE", root + "/windows");
        env.insert("VNTZEL_REGISTRY", root + "/windows/registry.ini");
        env.insert("VNTZEL_HEADLESS", "1");
        env.insert("VNTZEL_WAVE_OUT_DEVICES", "null,null,null,null");
        env.insert("VNTZEL_WAVE_IN_DEVICES", "null");
        env.insert("VNTZEL_PORT_OFFSET", QString::fromLatin1(offset));
        env.insert("QT_QPA_PLATFORM", platform);
        if (!machine.clockFrom.empty()) {
            env.insert("LD_PRELOAD", kFakeClock);
            env.insert("FAKETIME", QString::fromStdString("@" + machine.clockFrom));
            env.insert("FAKETIME_DONT_FAKE_MONOTONIC", "1");
            // The sanitizer's runtime is then not the first library loaded.
            env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        }
        return env;
    }
    // A demo station of one-second carts; options name the demo maker's settings.
    bool MakeDemoStation(const std::map<QString, QString>& options = {}) {
        return MakeDemoStation(first, options);
    }
    bool MakeDemoStation(const Machine& machine, const std::map<QString, QString>& options) {
        QProcess demo;
        QProcessEnvironment env = Environment(machine, "offscreen");
        env.insert("VNTZEL_DEMO_CART_SECONDS", "1");
        // On a clock of the test's own the maker's clock stands still: its breaks are timed
        // from that moment however long the audio takes to make.
        if (!machine.clockFrom.empty())
            env.insert("FAKETIME", QString::fromStdString(machine.clockFrom));
        for (const auto& [name, value] : options)
            env.insert(name, value);
        demo.setProcessEnvironment(env);
        demo.start(VNTZEL_DEMO, {QString::fromStdString(machine.station)});
        return demo.waitForFinished(5 * kStartMs) && demo.exitCode() == 0;
    }
    void Start(const QString& platform = "offscreen") { Start(first, platform); }
    void Start(Machine& machine, const QString& platform = "offscreen",
               const QStringList& arguments = {"/DEBUG"}) {
        machine.output.clear();
        machine.errors.clear();
        machine.program.setProcessEnvironment(Environment(machine, platform));
        machine.program.start(VNTZEL_PROGRAM, arguments);
        ASSERT_TRUE(machine.program.waitForStarted());
    }
    // Waits for the ready line and answers it, empty when it did not come.
    static std::string ReadyLine(Machine& machine) {
        PumpUntil([&] { return machine.output.find('\n') != std::string::npos; }, kStartMs);
        const size_t end = machine.output.find('\n');
        return end == std::string::npos ? "" : machine.output.substr(0, end);
    }
    // Waits for the ready line; its machines port, 0 when it did not come or names none.
    static uint16_t Ready(Machine& machine) {
        const std::string key = "machines port ", line = ReadyLine(machine);
        const size_t at = line.find(key);
        return at == std::string::npos
                   ? 0
                   : static_cast<uint16_t>(std::atoi(line.c_str() + at + key.size()));
    }
    // Waits until the program printed text on standard error.
    static bool Told(Machine& machine, const std::string& text) {
        return PumpUntil([&] { return machine.errors.find(text) != std::string::npos; }, kStartMs);
    }
    // Exit code of the program once it has ended, -1 when it did not.
    int Ended() { return Ended(first); }
    static int Ended(Machine& machine) {
        if (!machine.program.waitForFinished(kStartMs)) return -1;
        return machine.program.exitStatus() == QProcess::NormalExit ? machine.program.exitCode()
                                                                    : -1;
    }
    std::string Trace() const { return Trace(first); }
    static std::string Trace(const Machine& machine) {
        QDir windows(QString::fromStdString(machine.station + "/windows"));
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
    static size_t CountLines(const LoopbackPeer& peer, const std::string& line) {
        const std::vector<std::string> lines = peer.Lines();
        return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
    }
    // The time of the first "AD_CUE day time" in received text, -1 when none.
    static int CuedTime(const std::string& text) {
        const size_t at = text.find("AD_CUE ");
        const size_t end = text.find('\r', at);
        if (at == std::string::npos || end == std::string::npos) return -1;
        const std::string line = text.substr(at, end - at);
        return std::atoi(line.c_str() + line.rfind(' ') + 1);
    }
    static uint16_t Port(int32_t fixed) {
        return static_cast<uint16_t>(Platform::FixedPort(fixed));
    }
    // Connects peer to the playout-system port and logs it on as the playout system.
    static bool LogOnAsPlayoutSystem(LoopbackPeer& peer) {
        if (!peer.Connect(Port(Platform::PlayoutControlPort))) return false;
        peer.SendLine("NET_CONTROL_LOGON VANTOR 0,0");
        return peer.WaitFor("NET_CONTROL_START");
    }
    std::string Files(const std::string& folder, const QString& pattern) const {
        return Files(first, folder, pattern);
    }
    static std::string Files(const Machine& machine, const std::string& folder,
                             const QString& pattern) {
        QDir dir(QString::fromStdString(machine.station + folder));
        std::string text;
        for (const QString& name : dir.entryList({pattern}, QDir::Files, QDir::Name))
            text += TestSupport::ReadBytes(dir.filePath(name).toStdString());
        return text;
    }
    // The station's delivered logs arrived a while ago: the first look takes them.
    static void LogsDeliveredEarlier(const Machine& machine) {
        const QString folder = QString::fromStdString(machine.station + "/app/source");
        for (const QString& name : QDir(folder).entryList({"*.LOG"}, QDir::Files))
            std::filesystem::last_write_time((folder + "/" + name).toStdString(),
                                             std::filesystem::file_time_type::clock::now() -
                                                 std::chrono::minutes(1));
    }
    // Today's date serial as the day's log references carry it.
    static std::string Today() { return std::to_string(Platform::Clock::Today()); }
    std::string Reconciliation() const { return Reconciliation(first); }
    static std::string Reconciliation(const Machine& machine) {
        return Files(machine, "/app/dest", "*.REC");
    }

    QByteArray offset;
    Machine first;
    std::string& station = first.station;
    QProcess& program = first.program;
    std::string& output = first.output; // what the program printed
};

} // namespace

TEST_F(ProgramProcess, PlaysScheduledBreaksOneAfterAnotherWhileRunningAndShutsDown) {
    // Breaks 12 seconds apart from 30 seconds after the logs are written.
    ASSERT_TRUE(MakeDemoStation({{"VNTZEL_DEMO_BREAK_SECONDS", "12"},
                                 {"VNTZEL_DEMO_FIRST_BREAK_SECONDS", "30"},
                                 {"VNTZEL_DEMO_BREAKS", "40"}}));
    ASSERT_GT(TestSupport::ReadBytes(station + "/windows/VNTZEL.INI").size(), 10u);
    // The day's reload would cue again, and tell the network, whenever it comes after the
    // delivery: off here, so every cue the slave hears is the delivery's.
    Platform::WritePrivateProfileString("General", "LogLoadingMode", "0",
                                        station + "/windows/VNTZEL.INI");
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
    const uint16_t machinesPort = Ready(first);
    EXPECT_EQ(output.rfind("VNTZEL ready: settings in " + station + "/windows, trace log in " +
                               station + "/windows, logs and reconciliation in ",
                           0),
              0u)
        << output;
    EXPECT_NE(output.find("playout system port " +
                          std::to_string(Port(Platform::PlayoutControlPort)) + ", machines port " +
                          std::to_string(Port(Platform::SlavePort))),
              std::string::npos)
        << output;

    // The delivered log is taken once it has not changed for the log-update interval.
    ASSERT_TRUE(WaitTrace("CopyNewLogFile:SourceFileName:")) << Trace();
    // A slave is cued on the break it will hear played next, however long start-up took.
    LoopbackPeer machine, vantor;
    ASSERT_TRUE(machine.Connect(machinesPort));
    ASSERT_TRUE(
        PumpUntil([&] { return machine.Raw().find("\r\n") != std::string::npos; }, kStartMs));
    const int heard = CuedTime(machine.Raw());
    ASSERT_TRUE(LogOnAsPlayoutSystem(vantor));

    // Two whole breaks from that one play by themselves: every advert's line is in the
    // reconciliation file while the program runs, in log order with the log's carts.
    Reconciled reconciled;
    size_t breaks = 0;
    auto played = [&] {
        reconciled = FollowLog(log, SplitBreaks(Reconciliation()));
        breaks = static_cast<size_t>(std::count_if(reconciled.completeTimes.begin(),
                                                   reconciled.completeTimes.end(),
                                                   [&](int time) { return time >= heard; }));
        return !reconciled.fault.empty() || breaks >= 2;
    };
    ASSERT_TRUE(PumpUntil(played, 3 * kStartMs)) << Reconciliation() << Trace();
    ASSERT_EQ(reconciled.fault, "") << Reconciliation() << Trace();
    ASSERT_EQ(program.state(), QProcess::Running);
    // The slave heard "AD_PLAY" once for each of those breaks, and one cue: when it connected,
    // none after a break; start-up's cue went out once, before it connected.
    EXPECT_EQ(CountLines(machine, "AD_PLAY"), breaks) << machine.Raw() << Trace();
    EXPECT_EQ(TestSupport::Occurrences(machine.Raw(), "AD_CUE"), 1u) << machine.Raw();
    EXPECT_EQ(TestSupport::Occurrences(Trace(), "NewSlave:AD_CUE "), 1u) << Trace();
    EXPECT_EQ(TestSupport::Occurrences(Trace(), "ToSlaves:AD_CUE "), 1u) << Trace();
    EXPECT_EQ(CountLines(vantor, "AD_BREAK_COMPLETED"), static_cast<size_t>(reconciled.complete));
    // Between the breaks no player still holds a finished advert: every one was ejected.
    EXPECT_EQ(TestSupport::Occurrences(Trace(), "PlayBreak:No free player"), 0u) << Trace();

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

TEST_F(ProgramProcess, ReconciliationLinesItsDiskRefusesDuringBreaksAreWrittenWholeLater) {
    ASSERT_TRUE(MakeDemoStation({{"VNTZEL_DEMO_BREAK_SECONDS", "10"},
                                 {"VNTZEL_DEMO_FIRST_BREAK_SECONDS", "20"},
                                 {"VNTZEL_DEMO_BREAKS", "40"}}));
    const std::vector<LogBreak> log = SplitBreaks(Files("/app/source", "*.LOG"));
    Start(first, "offscreen", {}); // told at any trace level
    ASSERT_NE(ReadyLine(first), "") << first.errors;
    LoopbackPeer vantor;
    ASSERT_TRUE(LogOnAsPlayoutSystem(vantor));
    ASSERT_TRUE(PumpUntil([&] { return !Reconciliation().empty(); }, 3 * kStartMs)) << Trace();
    const QStringList names =
        QDir(QString::fromStdString(station + "/app/dest")).entryList({"*.REC"}, QDir::Files);
    ASSERT_EQ(names.size(), 1);
    const std::string rec = station + "/app/dest/" + names[0].toStdString();

    // Its files stop growing part way into the next line, as a disk that fills: the lines of two
    // breaks' ends are refused (with EFBIG: a file size limit does not end the program).
    const pid_t pid = static_cast<pid_t>(program.processId());
    rlimit old{}, full{};
    ASSERT_EQ(::prlimit(pid, RLIMIT_FSIZE, nullptr, &old), 0);
    full = {static_cast<rlim_t>(Reconciliation().size() + 31), old.rlim_max};
    ASSERT_EQ(::prlimit(pid, RLIMIT_FSIZE, &full, nullptr), 0);
    const std::string refused = "VNTZEL: Cannot write to " + rec +
                                " (File too large): its lines are kept and written when it takes "
                                "them again\n";
    PumpUntil(
        [&] {
            return first.errors.find(refused) != std::string::npos ||
                   program.state() == QProcess::NotRunning;
        },
        kStartMs);
    ASSERT_EQ(program.state(), QProcess::Running)
        << "ended with status " << program.exitStatus() << ", code " << program.exitCode();
    ASSERT_NE(first.errors.find(refused), std::string::npos) << first.errors;
    const size_t ended = CountLines(vantor, "AD_BREAK_COMPLETED");
    ASSERT_TRUE(PumpUntil([&] { return CountLines(vantor, "AD_BREAK_COMPLETED") >= ended + 2; },
                          3 * kStartMs));
    ASSERT_EQ(::prlimit(pid, RLIMIT_FSIZE, &old, nullptr), 0);
    ASSERT_TRUE(Told(first, "VNTZEL: " + rec + " takes lines again: ")) << first.errors;

    // One whole line for each advert played, in log order, each once.
    const size_t played = CountLines(vantor, "AD_BREAK_COMPLETED");
    Reconciled reconciled;
    PumpUntil(
        [&] {
            reconciled = FollowLog(log, SplitBreaks(Reconciliation()));
            return !reconciled.fault.empty() || static_cast<size_t>(reconciled.complete) >= played;
        },
        kStartMs);
    const std::string text = Reconciliation();
    EXPECT_EQ(reconciled.fault, "") << text;
    EXPECT_GE(static_cast<size_t>(reconciled.complete), played) << text;
    size_t lines = 0;
    for (const LogBreak& b : SplitBreaks(text))
        lines += b.carts.size();
    EXPECT_EQ(TestSupport::Occurrences(text, "\r\n"), lines) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << text;
    EXPECT_EQ(TestSupport::Occurrences(first.errors, refused), 1u) << first.errors;
    EXPECT_EQ(TestSupport::Occurrences(first.errors, "VNTZEL: " + rec + " takes lines again: "), 1u)
        << first.errors;
    EXPECT_EQ(program.state(), QProcess::Running);
}

TEST_F(ProgramProcess, RefusesAMissingOrShortSettingsFileAndANarrowScreen) {
    // Each refusal is told on standard error, with or without "/DEBUG", and nothing on
    // standard output: the box answered, then why start-up stopped.
    auto toldStop = [](Machine& machine, const std::string& reason) {
        EXPECT_TRUE(Told(machine, "VNTZEL: message box answered OK: " + reason + "\n"))
            << machine.errors;
        EXPECT_TRUE(Told(machine, "VNTZEL: start-up stopped: " + reason + " (exit code 1)\n"))
            << machine.errors;
        EXPECT_EQ(machine.output, "");
    };
    const std::string ini = station + "/windows/VNTZEL.INI";
    for (const char* bytes : {static_cast<const char*>(nullptr), "[General]"}) {
        if (bytes) TestSupport::WriteBytes(ini, bytes);
        Start();
        EXPECT_EQ(Ended(), 1);
        EXPECT_TRUE(TraceHas("settings file " + ini + " missing or empty")) << Trace();
        EXPECT_FALSE(TraceHas("Opening Audiowall..."));
        toldStop(first, "settings file " + ini + " missing or empty");
    }
    // A station folder that does not exist, started without "/DEBUG": no trace at all. Its
    // non-ASCII name, a byte-order mark inside it, is printed as the bytes it is.
    Machine nowhere;
    nowhere.station += "/Stat\xEF\xBB\xBFi\xC3\xB3n_\xC5\x8D";
    Start(nowhere, "offscreen", {});
    EXPECT_EQ(Ended(nowhere), 1);
    toldStop(nowhere, "settings file " + nowhere.station + "/windows/VNTZEL.INI missing or empty");

    // A screen 640 pixels wide: the message, then nothing else.
    const std::string screens = station + "/screens.json";
    TestSupport::WriteBytes(screens, R"({"screens": [{"name": "narrow", "x": 0, "y": 0,
        "width": 640, "height": 480, "logicalDpi": 96, "logicalBaseDpi": 96}]})");
    QFile::remove(
        QString::fromStdString(station + "/windows") + "/" +
        QDir(QString::fromStdString(station + "/windows")).entryList({"VNTZEL.*.log"}).value(0));
    Start("offscreen:configfile=" + QString::fromStdString(screens));
    EXPECT_EQ(Ended(), 1);
    const std::string narrow = "Vantor ZEL will only run in 800x600 screen resolution or higher.";
    EXPECT_TRUE(TraceHas(narrow)) << Trace();
    EXPECT_FALSE(TraceHas("Getting Vantor ZEL Settings..."));
    toldStop(first, narrow);
}

TEST_F(ProgramProcess, MasterAndSlaveProcessesStayOnTheSameBreak) {
    // Breaks of three or four 5-second adverts, 25 seconds apart; the slave (auto play off)
    // has the master's logs and finds its own listeners taken by the master on this host.
    const std::map<QString, QString> quick = {{"VNTZEL_DEMO_BREAK_SECONDS", "25"},
                                              {"VNTZEL_DEMO_FIRST_BREAK_SECONDS", "20"},
                                              {"VNTZEL_DEMO_BREAKS", "30"},
                                              {"VNTZEL_DEMO_CART_SECONDS", "5"}};
    Machine& master = first;
    Machine slave;
    ASSERT_TRUE(MakeDemoStation(master, quick));
    ASSERT_TRUE(MakeDemoStation(slave, quick));
    QDir source(QString::fromStdString(master.station + "/app/source"));
    for (const QString& name : source.entryList({"*.LOG"}, QDir::Files)) {
        const std::string to = slave.station + "/app/source/" + name.toStdString();
        TestSupport::WriteBytes(to, TestSupport::ReadBytes(source.filePath(name).toStdString()));
    }
    const std::string ini = slave.station + "/windows/VNTZEL.INI";
    Platform::WritePrivateProfileString("Network", "MasterName", "127.0.0.1", ini);
    Platform::WritePrivateProfileString("General", "AutoPlayAdBreaks", "0", ini);
    LogsDeliveredEarlier(master);
    LogsDeliveredEarlier(slave);
    const std::vector<LogBreak> log = SplitBreaks(Files(master, "/app/source", "*.LOG"));
    auto dump = [&] {
        return "master trace:\n" + Trace(master) + "\nslave trace:\n" + Trace(slave);
    };
    // Where text is traced after position from, waiting for it; npos when it never came.
    auto traced = [&](const Machine& machine, const std::string& text, size_t from) {
        size_t at = std::string::npos;
        PumpUntil([&] { return (at = Trace(machine).find(text, from)) != std::string::npos; },
                  2 * kStartMs);
        return at;
    };
    auto cuedAt = [&](size_t at) { return CuedTime(Trace(master).substr(at)); };
    auto logBreak = [&](int time, int after) {
        auto at = std::find_if(log.begin(), log.end(),
                               [&](const LogBreak& b) { return b.times.front() == time; });
        return at != log.end() && after < log.end() - at ? *(at + after) : LogBreak{};
    };
    auto whole = [&](const Machine& machine, const LogBreak& played) {
        return LinesOf(Reconciliation(machine), played.reference).lines.size() ==
               played.carts.size();
    };
    // Both machines reconciled the whole break with the same lines, started together.
    auto playedTogether = [&](const LogBreak& played) {
        ASSERT_TRUE(
            PumpUntil([&] { return whole(master, played) && whole(slave, played); }, 2 * kStartMs))
            << played.reference << "\n"
            << dump();
        const BreakLines a = LinesOf(Reconciliation(master), played.reference);
        const BreakLines b = LinesOf(Reconciliation(slave), played.reference);
        EXPECT_EQ(a.lines, b.lines) << dump();
        for (size_t i = 0; i < a.times.size() && i < b.times.size(); ++i)
            EXPECT_LE(std::abs(a.times[i] - b.times[i]), 5) << played.reference;
    };
    const std::string masterPlays = "PlayBreak:NotifyNetwork:Yes";
    const std::string slavePlays = "PlayBreak:NotifyNetwork:No";

    Start(master);
    const uint16_t machinesPort = Ready(master);
    ASSERT_NE(machinesPort, 0) << master.output;
    Start(slave);
    const std::string slaveReady = ReadyLine(slave);
    ASSERT_NE(slaveReady, "") << slave.errors;
    // The slave is cued on the master's next break as it connects.
    const size_t joined = traced(master, "MSGOUT:NewSlave:AD_CUE ", 0);
    ASSERT_NE(joined, std::string::npos) << dump();
    // Its listeners found the ports taken: its ready line names neither port as held but says
    // why each is not open, the boxes are on standard error and in the trace, and it runs on.
    for (int32_t fixed : {Platform::PlayoutControlPort, Platform::SlavePort}) {
        const std::string port = std::to_string(Port(fixed));
        EXPECT_EQ(slaveReady.find("port " + port), std::string::npos) << slaveReady;
        EXPECT_NE(slaveReady.find(" port (" + port + " not open: "), std::string::npos)
            << slaveReady;
    }
    for (const char* taken : {"opening the connection that allows ZEL Slaves to connect",
                              "There was a problem starting the Network Control Server."}) {
        EXPECT_NE(Trace(slave).find(taken), std::string::npos) << dump();
        EXPECT_TRUE(Told(slave, taken)) << slave.errors;
    }
    ASSERT_EQ(slave.program.state(), QProcess::Running);
    const LogBreak b1 = logBreak(cuedAt(joined), 0);
    const LogBreak b3 = logBreak(b1.times.front(), 2), b4 = logBreak(b1.times.front(), 3);
    ASSERT_FALSE(b4.carts.empty()) << dump();

    // While both play that break, another machine of the chain cues the break after next:
    // each holds the cue and carries it out when its own break ends.
    LoopbackPeer console;
    ASSERT_TRUE(console.Connect(machinesPort));
    const size_t p1 = traced(master, masterPlays, joined);
    const size_t s1 = traced(slave, slavePlays, 0);
    ASSERT_NE(p1, std::string::npos) << dump();
    ASSERT_NE(s1, std::string::npos) << dump();
    console.SendLine("AD_CUE " + std::to_string(b3.times.front()));
    ASSERT_NE(traced(slave, "AD_CUE:Ignored(Break running)", s1), std::string::npos) << dump();
    playedTogether(b1);

    // The slave stops while it plays the master's next break and comes back before that break
    // ends: it is cued on the master's break after it, not the running one.
    const size_t p3 = traced(master, masterPlays, p1 + 1);
    ASSERT_NE(p3, std::string::npos) << dump();
    ASSERT_NE(traced(slave, slavePlays, s1 + 1), std::string::npos) << dump();
    EXPECT_NE(Trace(slave).find("AD_CUE:Applied at break end"), std::string::npos) << dump();
    PumpUntil([] { return false; }, 1000);
    ::kill(static_cast<pid_t>(slave.program.processId()), SIGTERM);
    ASSERT_TRUE(slave.program.waitForFinished(kStartMs));
    const std::string slaveBefore = Reconciliation(slave);
    EXPECT_FALSE(LinesOf(slaveBefore, b3.reference).lines.empty()) << dump();
    Start(slave);
    const size_t back = traced(master, "MSGOUT:NewSlave:AD_CUE ", p3);
    ASSERT_NE(back, std::string::npos) << dump();
    EXPECT_EQ(cuedAt(back), b4.times.front()) << dump();
    EXPECT_GT(traced(master, "CueNextBreak:NotifyNetwork:No:ForceCueAudio:No", p3), back)
        << "the slave came back after the break ended\n"
        << dump();
    // A machine still idle on the running break cues it again: held by both, then dropped,
    // and neither plays it twice.
    const size_t p4 = traced(master, masterPlays, back);
    ASSERT_NE(p4, std::string::npos) << dump();
    console.SendLine("AD_CUE " + std::to_string(b4.times.front()));
    playedTogether(b4);
    for (const Machine* machine : {&master, &slave})
        ASSERT_NE(traced(*machine, "AD_CUE:Dropped at break end", 0), std::string::npos) << dump();
    PumpUntil([] { return false; }, 7000); // a replay's first advert would be reconciled by now
    for (const Machine* machine : {&master, &slave})
        EXPECT_EQ(LinesOf(Reconciliation(*machine), b4.reference).lines.size(), b4.carts.size())
            << dump();

    // The master played the cued break whole; neither played the break the cue skipped, and
    // the slave did not play the third break again.
    EXPECT_TRUE(whole(master, b3)) << dump();
    const std::string skipped = logBreak(b1.times.front(), 1).reference;
    EXPECT_TRUE(LinesOf(Reconciliation(master), skipped).lines.empty()) << dump();
    EXPECT_TRUE(LinesOf(Reconciliation(slave), skipped).lines.empty()) << dump();
    EXPECT_EQ(LinesOf(Reconciliation(slave), b3.reference).lines,
              LinesOf(slaveBefore, b3.reference).lines)
        << dump();
}

TEST_F(ProgramProcess, ABreakPlayedAheadOfItsTimeIsNotPlayedAgainAfterARestart) {
    // Breaks of one-second adverts 25 seconds apart from 30 seconds on.
    ASSERT_TRUE(MakeDemoStation({{"VNTZEL_DEMO_BREAK_SECONDS", "25"},
                                 {"VNTZEL_DEMO_FIRST_BREAK_SECONDS", "30"},
                                 {"VNTZEL_DEMO_BREAKS", "4"}}));
    LogsDeliveredEarlier(first);
    // No late breaks: the quarter-hour break before now stays passed.
    Platform::WritePrivateProfileString("General", "DropLateAdBreaks", "0",
                                        station + "/windows/VNTZEL.INI");
    const std::vector<LogBreak> log = SplitBreaks(Files("/app/source", "*.LOG"));
    auto breakAt = [&](int time) {
        const auto at = std::find_if(log.begin(), log.end(), [&](const LogBreak& b) {
            return b.times.front() == time && b.reference.find(Today()) == 1;
        });
        return at == log.end() ? LogBreak{} : *at;
    };
    auto whole = [&](const LogBreak& b) {
        return LinesOf(Reconciliation(), b.reference).lines.size() == b.carts.size();
    };
    auto waitUntil = [](int time) {
        PumpUntil([&] { return Platform::Clock::Timer() > time; }, 3 * kStartMs);
    };

    // A controller of the playout system plays the cued break ahead of its time.
    Start();
    const uint16_t machinesPort = Ready(first);
    ASSERT_NE(machinesPort, 0) << output;
    // The break cued as a slave that connects hears it, once one is well ahead of its time (a
    // quarter-hour break due as the program starts plays first).
    std::unique_ptr<LoopbackPeer> machine;
    auto cuedAhead = [&] {
        int cued = 0;
        PumpUntil(
            [&] {
                machine = std::make_unique<LoopbackPeer>();
                if (!machine->Connect(machinesPort) ||
                    !PumpUntil([&] { return CuedTime(machine->Raw()) > 0; }, kStartMs))
                    return false;
                cued = CuedTime(machine->Raw());
                if (cued > Platform::Clock::Timer() + 3) return true;
                PumpUntil([] { return false; }, 1000);
                return false;
            },
            3 * kStartMs);
        return breakAt(cued);
    };
    LoopbackPeer vantor;
    const LogBreak early = cuedAhead();
    ASSERT_FALSE(early.carts.empty()) << machine->Raw();
    ASSERT_GT(early.times.front(), Platform::Clock::Timer() + 3) << "not ahead of its time";
    ASSERT_TRUE(LogOnAsPlayoutSystem(vantor));
    vantor.SendLine("AD_PLAY");
    ASSERT_TRUE(PumpUntil([&] { return whole(early); }, kStartMs)) << Reconciliation();
    // Stopped and started again before the break's time: it does not play at its time.
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_EQ(Ended(), 0);
    Start();
    ASSERT_NE(Ready(first), 0) << output;
    waitUntil(early.times.front() + 3);
    EXPECT_TRUE(whole(early)) << Reconciliation() << Trace();

    // The next one, played early on another machine's word; the program is then killed.
    const LogBreak next = cuedAhead();
    ASSERT_GT(next.times.front(), early.times.front()) << machine->Raw();
    ASSERT_GT(next.times.front(), Platform::Clock::Timer() + 3) << "not ahead of its time";
    machine->SendLine("AD_PLAY");
    ASSERT_TRUE(PumpUntil([&] { return whole(next); }, kStartMs)) << Reconciliation();
    program.kill();
    ASSERT_TRUE(program.waitForFinished(kStartMs));
    Start();
    ASSERT_NE(Ready(first), 0) << output;
    waitUntil(next.times.front() + 3);
    // Each advert once, and the break after them cued by the clock.
    EXPECT_TRUE(whole(early)) << Reconciliation();
    EXPECT_TRUE(whole(next)) << Reconciliation() << Trace();
    EXPECT_EQ(Files("/app/dest", "*.ERR").find("[Code:ADT1]"), std::string::npos);
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    EXPECT_EQ(Ended(), 0);
}

TEST_F(ProgramProcess, TheDaysLastBreaksPlayedEarlyAreNotPlayedAgainAcrossMidnight) {
    if (!std::filesystem::exists(kFakeClock)) GTEST_SKIP() << "no " << kFakeClock;
    // A station two days on, a minute before its midnight, with three breaks of one-second
    // adverts ten seconds apart from 25 seconds on: the day's last.
    const std::string day = QDate::currentDate().addDays(2).toString("yyyy-MM-dd").toStdString();
    const std::string nextDay =
        QDate::currentDate().addDays(3).toString("yyyy-MM-dd").toStdString();
    first.clockFrom = day + " 23:59:00";
    ASSERT_TRUE(MakeDemoStation({{"VNTZEL_DEMO_BREAK_SECONDS", "10"},
                                 {"VNTZEL_DEMO_FIRST_BREAK_SECONDS", "25"},
                                 {"VNTZEL_DEMO_BREAKS", "3"}}));
    const std::vector<LogBreak> log = SplitBreaks(Files("/app/source", "*.LOG"));
    std::vector<LogBreak> late, midnight;
    for (const LogBreak& b : log) {
        if (b.times.front() >= 23 * 3600 + 59 * 60) late.push_back(b);
        if (b.times.front() == 0) midnight.push_back(b);
    }
    ASSERT_EQ(late.size(), 3u);
    ASSERT_GE(midnight.size(), 2u); // the day's and the next day's, same time, other adverts
    const LogBreak& nextMidnight = midnight[1];
    auto lines = [&](const LogBreak& b) { return LinesOf(Reconciliation(), b.reference).lines; };
    auto whole = [&](const LogBreak& b) { return lines(b).size() == b.carts.size(); };
    auto clock = [](int seconds) {
        return QTime::fromMSecsSinceStartOfDay(seconds * 1000).toString("hh:mm:ss").toStdString();
    };

    // All three are played early, one after another, by the playout system.
    Start();
    ASSERT_NE(Ready(first), 0) << output;
    LoopbackPeer vantor;
    ASSERT_TRUE(LogOnAsPlayoutSystem(vantor));
    for (const LogBreak& b : late) {
        vantor.SendLine("AD_PLAY");
        ASSERT_TRUE(PumpUntil([&] { return whole(b); }, kStartMs)) << Reconciliation() << Trace();
    }
    // Started again before the last one's time: the next day's midnight break plays at its
    // time, and none of the three again.
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_EQ(Ended(), 0);
    first.clockFrom = day + " " + clock(late.back().times.front() - 6);
    Start();
    ASSERT_NE(Ready(first), 0) << output;
    ASSERT_TRUE(PumpUntil([&] { return whole(nextMidnight); }, kStartMs)) << Reconciliation();
    for (const LogBreak& b : late)
        EXPECT_TRUE(whole(b)) << b.reference << "\n" << Reconciliation();
    EXPECT_GE(LinesOf(Reconciliation(), nextMidnight.reference).times.front(), 0);
    // Killed after it, and started again within its late-play limit: it is not played again.
    program.kill();
    ASSERT_TRUE(program.waitForFinished(kStartMs));
    first.clockFrom = nextDay + " 00:00:20";
    Start();
    ASSERT_NE(Ready(first), 0) << output;
    PumpUntil([] { return false; }, 5000);
    EXPECT_TRUE(whole(nextMidnight)) << Reconciliation() << Trace();
    for (const LogBreak& b : late)
        EXPECT_TRUE(whole(b)) << b.reference;
    EXPECT_EQ(lines(midnight[0]).size(), 0u) << "the day's own midnight break was long gone";
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    EXPECT_EQ(Ended(), 0);
}

TEST_F(ProgramProcess, BreaksWithMissingCartFilesEndAndTheNextBreakPlaysOnTime) {
    // Five breaks of one-second adverts eight seconds apart from 25 seconds on.
    constexpr int kSpacing = 8;
    constexpr size_t kRun = 5;
    ASSERT_TRUE(MakeDemoStation({{"VNTZEL_DEMO_BREAK_SECONDS", QString::number(kSpacing)},
                                 {"VNTZEL_DEMO_FIRST_BREAK_SECONDS", "25"},
                                 {"VNTZEL_DEMO_BREAKS", QString::number(kRun)}}));
    // No late breaks: the quarter-hour break before now stays passed.
    Platform::WritePrivateProfileString("General", "DropLateAdBreaks", "0",
                                        station + "/windows/VNTZEL.INI");
    auto linesOf = [](const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    };
    auto advert = [](const std::string& line) {
        return !line.empty() && AdvertLog_FN::GetLineChainCode(line) == "NE";
    };
    // Today's close run, each advert's title, and the line of an advert that plays.
    const QDir source(QString::fromStdString(station + "/app/source"));
    const QStringList logs = source.entryList({"*.LOG"}, QDir::Files);
    std::vector<LogBreak> run;
    std::map<int32_t, std::string> titles;
    std::string kept;
    QString runLog;
    for (const QString& name : logs) {
        const std::string text = TestSupport::ReadBytes(source.filePath(name).toStdString());
        const std::vector<LogBreak> breaks = SplitBreaks(text);
        if (breaks.empty() || breaks.front().reference.find(Today()) != 1) continue;
        for (size_t i = 0; i + kRun <= breaks.size() && run.empty(); ++i) {
            bool close = true;
            for (size_t k = 1; k < kRun; ++k)
                close = close && breaks[i + k].times.front() ==
                                     breaks[i].times.front() + static_cast<int>(k) * kSpacing;
            if (close) {
                run.assign(breaks.begin() + static_cast<long>(i),
                           breaks.begin() + static_cast<long>(i + kRun));
                runLog = name;
            }
        }
        for (const std::string& line : linesOf(text)) {
            std::string title = advert(line) ? AdvertLog_FN::GetLineTitle(line) : "";
            title.erase(title.find_last_not_of(' ') + 1);
            if (!title.empty()) titles[AdvertLog_FN::GetLineCartNumber(line)] = title;
            if (kept.empty() && !run.empty() && advert(line) &&
                AdvertLog_FN::GetLineReference(line) == run.back().reference)
                kept = line;
        }
    }
    ASSERT_EQ(run.size(), kRun) << "no close run today";
    // The first advert of the first break, the middle one of the second, the last of the third
    // and every one of the fourth have no audio; the fifth break is whole. The run's carts are
    // all different, so a cart without audio is nowhere else in it.
    std::vector<std::vector<bool>> missing(kRun);
    for (size_t b = 0; b < kRun; ++b)
        missing[b].assign(run[b].carts.size(), b == 3);
    missing[0].front() = missing[1][1] = missing[2].back() = true;
    std::set<int32_t> all, gone;
    size_t adverts = 0;
    for (size_t b = 0; b < kRun; ++b)
        for (size_t i = 0; i < run[b].carts.size(); ++i) {
            all.insert(run[b].carts[i]);
            if (missing[b][i]) gone.insert(run[b].carts[i]);
            ++adverts;
        }
    ASSERT_EQ(all.size(), adverts);
    // Elsewhere in the logs those carts become the fifth break's first cart.
    ASSERT_NE(kept, "");
    auto cartColumns = [](const std::string& line) { // from the second bar to the fourth
        const size_t from = line.find('|', line.find('|') + 1);
        return std::make_pair(from, line.find('|', line.find('|', from + 1) + 1));
    };
    for (const QString& name : logs) {
        const std::string path = source.filePath(name).toStdString();
        std::string text, reference;
        size_t position = 0;
        for (std::string line : linesOf(TestSupport::ReadBytes(path))) {
            // No other line of the day comes near the run (a quarter-hour break just before it,
            // the other chain's lines): the breaks that end are the run's alone.
            if (name == runLog && !line.empty()) {
                const float time = AdvertLog_FN::GetLineTime(line);
                const bool ofRun =
                    advert(line) && std::any_of(run.begin(), run.end(), [&](auto& b) {
                        return b.reference == AdvertLog_FN::GetLineReference(line);
                    });
                if (!ofRun && time >= run.front().times.front() - 60 &&
                    time <= run.back().times.front())
                    continue;
            }
            if (advert(line)) {
                const std::string ref = AdvertLog_FN::GetLineReference(line);
                position = ref == reference ? position + 1 : 0;
                reference = ref;
                const auto in = std::find_if(run.begin(), run.end(),
                                             [&](const LogBreak& b) { return b.reference == ref; });
                const bool chosen = in != run.end() && missing[in - run.begin()][position];
                if (gone.count(AdvertLog_FN::GetLineCartNumber(line)) && !chosen) {
                    const auto [from, to] = cartColumns(line);
                    const auto [keptFrom, keptTo] = cartColumns(kept);
                    line.replace(from, to - from, kept.substr(keptFrom, keptTo - keptFrom));
                }
            }
            text += line + "\r\n";
        }
        TestSupport::WriteBytes(path, text);
    }
    for (int32_t cart : gone) {
        char name[32];
        std::snprintf(name, sizeof name, "/audiowall/VNT%05d.WAV", cart);
        ASSERT_TRUE(std::filesystem::remove(station + name)) << name;
    }
    LogsDeliveredEarlier(first);

    Start();
    ASSERT_NE(Ready(first), 0) << output;
    LoopbackPeer vantor;
    ASSERT_TRUE(LogOnAsPlayoutSystem(vantor));
    ASSERT_LT(Platform::Clock::Timer(), run.front().times.front()) << "started after the run";
    // The reconciled carts of a break, in file order.
    auto reconciled = [&](const LogBreak& b) {
        std::vector<int32_t> carts;
        for (const LogBreak& got : SplitBreaks(Reconciliation()))
            if (got.reference == b.reference)
                carts.insert(carts.end(), got.carts.begin(), got.carts.end());
        return carts;
    };
    const double until = run.back().times.front() + 3 * kSpacing;
    PumpUntil(
        [&] {
            return (reconciled(run.back()).size() >= run.back().carts.size() &&
                    CountLines(vantor, "AD_BREAK_COMPLETED") >= kRun) ||
                   program.state() == QProcess::NotRunning;
        },
        static_cast<int>((until - Platform::Clock::Timer()) * 1000));
    ASSERT_EQ(program.state(), QProcess::Running) << Trace();

    // Each break ended once; each advert without audio has one line in the day's errors
    // naming it and its break, and none in the reconciliation, where every other one has one.
    const std::string rec = Reconciliation(), errors = Files("/app/dest", "*.ERR");
    EXPECT_EQ(CountLines(vantor, "AD_BREAK_COMPLETED"), kRun) << Trace();
    for (size_t b = 0; b < kRun; ++b) {
        const std::string time = QTime::fromMSecsSinceStartOfDay(run[b].times.front() * 1000)
                                     .toString("hh:mm:ss")
                                     .toStdString();
        std::vector<int32_t> played;
        for (size_t i = 0; i < run[b].carts.size(); ++i) {
            const int32_t cart = run[b].carts[i];
            if (!missing[b][i]) {
                played.push_back(cart);
                continue;
            }
            EXPECT_EQ(TestSupport::Occurrences(errors, "[Code:ADC1] Cart " + std::to_string(cart) +
                                                           " (" + titles[cart] +
                                                           ") passed over in the " + time +
                                                           " advert break because its audio "
                                                           "could not be played"),
                      1u)
                << run[b].reference << "\n"
                << errors;
        }
        EXPECT_EQ(reconciled(run[b]), played) << run[b].reference << "\n" << rec;
    }
    EXPECT_EQ(TestSupport::Occurrences(errors, "[Code:ADC1]"), gone.size()) << errors;
    // The break after them started at its time, not a break later.
    const BreakLines last = LinesOf(rec, run.back().reference);
    ASSERT_FALSE(last.times.empty()) << rec;
    EXPECT_GE(last.times.front(), run.back().times.front()) << rec;
    EXPECT_LE(last.times.front(), run.back().times.front() + 4) << rec;
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    EXPECT_EQ(Ended(), 0);
}
