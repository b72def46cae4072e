// VNTZEL as a process of its own on a demo station made by the demo maker: start-up in order,
// its ports, a break played from the playout system, shut-down, a second start, and the
// start-ups it refuses.
#include "network_control/LoopbackPeer.h"
#include "support/TestSupport.h"

#include "platform/Ports.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

using TestSupport::LoopbackPeer;
using TestSupport::PumpUntil;

namespace {

constexpr int kStartMs = 60000;

class ProgramProcess : public ::testing::Test {
protected:
    void SetUp() override {
        station = scratch.Path();
        QDir().mkpath(QString::fromStdString(station + "/windows"));
        offset = QByteArray::number(25000 + getpid() % 5000);
        qputenv("VNTZEL_PORT_OFFSET", offset);
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
    bool MakeDemoStation() {
        QProcess demo;
        QProcessEnvironment env = Environment();
        env.insert("VNTZEL_DEMO_CART_SECONDS", "1");
        demo.setProcessEnvironment(env);
        demo.start(VNTZEL_DEMO, {QString::fromStdString(station)});
        return demo.waitForFinished(5 * kStartMs) && demo.exitCode() == 0;
    }
    void Start(const QString& platform = "offscreen") {
        program.setProcessEnvironment(Environment(platform));
        program.setProcessChannelMode(QProcess::ForwardedChannels);
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
    static uint16_t Port(int32_t fixed) {
        return static_cast<uint16_t>(Platform::FixedPort(fixed));
    }
    std::string Reconciliation() const {
        QDir dest(QString::fromStdString(station + "/app/dest"));
        std::string text;
        for (const QString& name : dest.entryList({"*.REC"}, QDir::Files))
            text += TestSupport::ReadBytes(dest.filePath(name).toStdString());
        return text;
    }

    TestSupport::ScratchDir scratch;
    std::string station;
    QByteArray offset;
    QProcess program;
};

} // namespace

TEST_F(ProgramProcess, RunsTheDemoStationPlaysABreakAndShutsDown) {
    ASSERT_TRUE(MakeDemoStation());
    ASSERT_GT(TestSupport::ReadBytes(station + "/windows/VNTZEL.INI").size(), 10u);

    Start();
    ASSERT_TRUE(WaitTrace("Start-up complete")) << Trace();
    ExpectInOrder(Trace(),
                  {"Getting Vantor ZEL Settings...", "Getting Audio Settings...",
                   "Opening Audiowall...", "Pre-Display main window", "Pre-Initialise Audio",
                   "Initialising Players...", "Pre-Display players", "Starting Hardware Manager...",
                   "Reading Network Settings...", "Starting Windows Sockets...",
                   "Start-up complete"});

    LoopbackPeer machine, vantor;
    EXPECT_TRUE(machine.Connect(Port(Platform::SlavePort)));
    ASSERT_TRUE(vantor.Connect(Port(Platform::PlayoutControlPort)));
    vantor.SendLine("NET_CONTROL_LOGON VANTOR 0,0");
    ASSERT_TRUE(vantor.WaitFor("NET_CONTROL_START"));
    // Played at once: the scheduler's first log reload (which cues the break again) waits
    // for the break to end, so every advert still plays and is reconciled.
    vantor.SendLine("AD_PLAY");
    ASSERT_TRUE(PumpUntil([&] { return vantor.Has("AD_BREAK_COMPLETED"); }, kStartMs)) << Trace();

    // Closing the main window (SIGTERM) runs the shut-down in order and ends with 0.
    size_t before = Trace().size();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    EXPECT_EQ(Ended(), 0);
    ExpectInOrder(Trace(), {"Shutting down", "Shut-down complete", "ended with code 0"}, before);
    // The players' ejects wrote the reconciliation: one line per advert of the split's chain,
    // three or four in every demo break.
    const std::string rec = Reconciliation();
    int adverts = 0;
    for (size_t at = 0; (at = rec.find("|NE  |", at)) != std::string::npos; ++at)
        ++adverts;
    EXPECT_GE(adverts, 3) << rec;

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
