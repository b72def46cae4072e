// VNTZEL: plays the local advert breaks of one transmitter split.
#include "core/GeneralFunctions.h"
#include "core/KeptLines.h"
#include "core/TraceBudget.h"
#include "main_window/CommandLine.h"
#include "main_window/frmMain.h"
#include "main_window/frmMain_Load.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Text1252.h"
#include "platform/VB.h"
#include "settings_dialogs/LibraryRegistration.h"

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

int signalPipe[2] = {-1, -1};

void OnStopSignal(int) {
    char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT close the main window, so shut-down runs as for its close box.
void CloseMainWindowOnStopSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char byte = 0;
        [[maybe_unused]] ssize_t read = ::read(signalPipe[0], &byte, 1);
        if (MainWindow::frmMain* main = MainWindow::MainFormIfLoaded())
            main->close();
        else
            QCoreApplication::quit();
    });
    std::signal(SIGTERM, OnStopSignal);
    std::signal(SIGINT, OnStopSignal);
}

// Qt's own notices (a missing runtime folder, window hints the platform cannot take): in a
// headless run they go to the trace log, so the ready line is the first thing printed; errors
// reach the terminal too. Until the kind of run is known they are held back.
struct QtNotices {
    QtMessageHandler terminal = nullptr;
    bool decided = false;
    bool toTrace = false;
    std::vector<std::pair<QtMsgType, QString>> held;
};

QtNotices& Notices() {
    static QtNotices notices;
    return notices;
}

// The trace writer escapes any control characters of the notice.
void TraceQtNotice(const QString& text) {
    GeneralFunctions::WriteDebugLine("Qt: " + Platform::ToWindows1252(text), -1);
}

void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    QtNotices& notices = Notices();
    if (!notices.decided && type != QtFatalMsg) {
        notices.held.emplace_back(type, text);
        return;
    }
    const bool error = type == QtCriticalMsg || type == QtFatalMsg;
    if (!notices.toTrace || error) notices.terminal(type, context, text);
    if (notices.toTrace) TraceQtNotice(text);
}

// Qt's notices from now on go where the run wants them, the held ones first.
void DecideQtNotices(bool headless) {
    QtNotices& notices = Notices();
    notices.decided = true;
    notices.toTrace = headless;
    for (const auto& [type, text] : std::exchange(notices.held, {}))
        OnQtMessage(type, QMessageLogContext(), text);
}

// A box's or a reason's text as one terminal line: its lines joined by spaces, control
// characters (the code page's undefined bytes too) escaped, in the terminal's encoding. Paths
// in it keep the host's bytes.
std::string TerminalText(const std::string& text) {
    std::string joined, line;
    auto addLine = [&] {
        line = VB::Trim(line);
        if (!line.empty()) joined += (joined.empty() ? "" : " ") + line;
        line.clear();
    };
    for (char c : text) {
        if (c == '\r' || c == '\n')
            addLine();
        else
            line += c;
    }
    addLine();
    QString shown;
    for (QChar ch : Platform::FromHostOrWindows1252(
             GeneralFunctions::TraceText(joined, GeneralFunctions::kMaxTraceLine))) {
        if (ch.category() == QChar::Other_Control)
            shown += QString::asprintf("\\x%02X", ch.unicode());
        else
            shown += ch;
    }
    return shown.toLocal8Bit().toStdString();
}

// Standard error carries what a user must read: boxes answered headless, failures told and why
// the program ends; standard output only the ready line.
void TellUser(const std::string& text) {
    std::fprintf(stderr, "VNTZEL: %s\n", TerminalText(text).c_str());
    std::fflush(stderr);
}

std::string AnswerName(int answer) {
    static const char* const names[] = {"OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
    return answer >= Platform::vbOK && answer <= Platform::vbNo ? names[answer - 1]
                                                                : std::to_string(answer);
}

void SetCommandLine(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(Platform::ToWindows1252(QString::fromLocal8Bit(argv[i])));
    MainWindow::SetCommandLine(MainWindow::JoinArguments(arguments));
}

} // namespace

int main(int argc, char** argv) {
    // A file size limit refuses writes with EFBIG, as a full disk does, instead of ending us.
    std::signal(SIGXFSZ, SIG_IGN);
    Notices().terminal = qInstallMessageHandler(OnQtMessage);
    QApplication app(argc, argv);
    app.setApplicationName("VNTZEL");
    app.setQuitOnLastWindowClosed(false);
    SetCommandLine(argc, argv);
    MainWindow::ApplyDebugSwitch();
    DecideQtNotices(Platform::MsgBoxIsHeadless());
    GeneralFunctions::LoadOSVersion();
    // Boxes answered without a display are told on standard error and traced.
    if (Platform::MsgBoxIsHeadless()) {
        GeneralFunctions::AddProblemTeller(TellUser);
        Platform::SetMsgBoxObserver([](const Platform::ShownBox& box) {
            TellUser("message box answered " + AnswerName(box.answer) + ": " + box.prompt);
            GeneralFunctions::WriteDebugLine(
                "Message box answered " + std::to_string(box.answer) + ": " + box.prompt, -1);
        });
    }
    GeneralFunctions::WriteDebugLineNest(
        "VNTZEL started: command line \"" + MainWindow::CommandLine().CommandLineText +
            "\", Windows folder " + GeneralFunctions::GetWindowsFolder(),
        -1, GeneralFunctions::dkReset);
    LibraryRegistration::RegisterLibraries();
    CloseMainWindowOnStopSignals();

    int result = MainWindow::MDIForm_Load(MainWindow::MainForm());
    if (result == MainWindow::kStartupRunning) {
        if (Platform::MsgBoxIsHeadless()) {
            std::printf("%s\n", MainWindow::ReadyLine().c_str());
            std::fflush(stdout);
        }
        result = app.exec();
    } else {
        const std::string& reason = MainWindow::StartupStopReason();
        TellUser("start-up stopped" + (reason.empty() ? "" : ": " + reason) + " (exit code " +
                 std::to_string(result) + ")");
    }
    MainWindow::UnloadMainForm();
    KeptLines::WriteBeforeEnd();
    GeneralFunctions::WriteDebugLine("VNTZEL ended with code " + std::to_string(result), -1);
    return result;
}
