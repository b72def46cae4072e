#include "core/GeneralFunctions.h"

#include "core/TraceBudget.h"

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Screen.h"
#include "platform/VB.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <utility>

namespace GeneralFunctions {
namespace {

std::string ProgramName() {
    QString path = QCoreApplication::instance() ? QCoreApplication::applicationFilePath()
                                                : QFileInfo("/proc/self/exe").symLinkTarget();
    std::string name = QFileInfo(path).completeBaseName().toStdString();
    return name.empty() ? "VNTZEL" : name;
}

// Appends one CR LF ended line, whole or not at all; false, errno telling why, when it cannot.
bool AppendLine(const std::string& fileName, const std::string& line) {
    return Platform::AppendWhole(Platform::ResolveExisting(fileName), line + "\r\n");
}

// A date value of a moment in whole seconds (the time shown is never rounded into the next
// second, nor the next day).
double WholeSecondValue(const Platform::Clock::Moment& m) {
    return m.day + std::floor(m.seconds) / 86400.0;
}

struct ProblemTellers {
    int nextId = 1;
    std::map<int, ProblemTeller> tellers;
};

// Process-wide: there is one user and one terminal.
ProblemTellers& Tellers() {
    static ProblemTellers tellers;
    return tellers;
}

// Hands text to every teller. A teller may add or remove tellers: each is called from a copy.
void TellTellers(const std::string& text) {
    const std::map<int, ProblemTeller> tellers = Tellers().tellers;
    for (const auto& [id, teller] : tellers)
        if (teller) teller(text);
}

// Trace files that refuse lines, each with the lines it has lost since it first refused one.
std::map<std::string, size_t>& RefusingTraces() {
    static std::map<std::string, size_t> refusing;
    return refusing;
}

// A trace file that refuses a line is told to the tellers alone, once until it takes lines
// again; the file is marked before they are called, so a teller that traces adds to its count.
void TraceRefused(const std::string& file, int cause) {
    if (RefusingTraces()[file]++ > 0) return;
    TellTellers("Cannot write to " + file + " (" + CauseText(cause) +
                "): trace lines are lost until it takes them again");
}

void TraceTaken(const std::string& file) {
    auto at = RefusingTraces().find(file);
    if (at == RefusingTraces().end()) return;
    const size_t lost = at->second;
    RefusingTraces().erase(at);
    TellProblem(file + " takes lines again: " + std::to_string(lost) + " trace lines lost");
}

} // namespace

void TellProblem(const std::string& text) {
    AppendTraceLine(text);
    TellTellers(text);
}

int AddProblemTeller(ProblemTeller teller) {
    ProblemTellers& all = Tellers();
    const int id = all.nextId++;
    all.tellers[id] = std::move(teller);
    return id;
}

void RemoveProblemTeller(int id) {
    Tellers().tellers.erase(id);
}

std::string DebugTraceFolder() {
    return Platform::SystemDriveFolder();
}

std::string DebugTraceFile(int32_t day) {
    return Platform::JoinPath(DebugTraceFolder(),
                              ProgramName() + "." + VB::FormatDate(day, "yyyymmdd") + ".log");
}

void WriteDebugLine(const std::string& text, int32_t level) {
    WriteDebugLineEx(text, level, dkPlain, "");
}

void WriteDebugLineNest(const std::string& text, int32_t level, int32_t kind) {
    WriteDebugLineEx(text, level, kind, "");
}

void WriteDebugLineEx(const std::string& text, int32_t level, int32_t kind,
                      const std::string& context) {
    GeneralState& state = State();
    if (state.DebugMode == 0) return;
    if (state.DebugMode != -1) {
        if (level == -1) level = 5;
        if (level > state.DebugMode) return;
    }
    if (TraceBudget* budget = TraceBudget::Current(); budget && !budget->Admit(state)) return;
    if (kind == dkLeave) state.traceDepth = std::max(state.traceDepth - 1, 0);
    if (kind == dkReset) state.traceDepth = 0;
    std::string line;
    if (!context.empty()) line += context + " ";
    line += VB::Space(4 * state.traceDepth) + text;
    AppendTraceLine(line);
    if (kind == dkEnter) ++state.traceDepth;
}

void AppendTraceLine(const std::string& text) {
    Platform::Clock::Moment now = Platform::Clock::Now();
    // One record per physical line, none longer than kMaxTraceLine: text from outside can
    // neither start a line of its own nor fill the disk in one line.
    const std::string file = DebugTraceFile(now.day);
    if (AppendLine(file, VB::FormatDate(WholeSecondValue(now), "hh:nn:ss") + " " +
                             TraceText(text, kMaxTraceLine)))
        TraceTaken(file);
    else
        TraceRefused(file, errno);
}

std::string TimedText(const std::string& text) {
    return VB::FormatDate(WholeSecondValue(Platform::Clock::Now()), "ddddd hh:nn:ss") + " " + text;
}

bool AppendTimedLine(const std::string& fileName, bool withTime, const std::string& text) {
    if (fileName.empty()) return false;
    const std::string line = withTime ? TimedText(text) : text;
    // Each file that cannot be written is reported once, until a line reaches it again.
    static std::set<std::string> failing;
    if (AppendLine(fileName, line)) {
        failing.erase(fileName);
        return true;
    }
    const int cause = errno;
    if (failing.insert(fileName).second)
        WriteDebugLine("Failed to write to " + fileName + ": " + CauseText(cause), -1);
    return false;
}

namespace {

std::string ShowErrorMessage(const std::string& action, int32_t errorNumber,
                             const std::string& description, bool silent) {
    int pointer = Platform::ScreenMousePointer();
    Platform::SetScreenMousePointer(Platform::vbDefault);
    std::string text = "There was a problem " + VB::Trim(action);
    if (errorNumber != 0)
        text += " and the error's description was reported as : \n\n\"" + VB::Trim(description) +
                "\" (" + std::to_string(errorNumber) + ")";
    if (!silent) Platform::MsgBox(text, Platform::vbExclamation | Platform::vbOKOnly);
    Platform::SetScreenMousePointer(pointer);
    return text;
}

} // namespace

std::string FormatErrorMessage(const std::string& action, int32_t errorNumber, bool silent,
                               const std::string& ownDescription) {
    const bool standard = Platform::HasRunTimeErrorText(errorNumber) || ownDescription.empty();
    return ShowErrorMessage(action, errorNumber,
                            standard ? Platform::RunTimeErrorText(errorNumber) : ownDescription,
                            silent);
}

std::string FormatHostErrorMessage(const std::string& action, int hostError, bool silent) {
    const int number = Platform::ErrorNumberOfErrno(hostError);
    return ShowErrorMessage(action, number != 0 ? number : Platform::errDeviceIO,
                            CauseText(hostError), silent);
}

std::string CauseText(int hostError) {
    return std::strerror(hostError);
}

} // namespace GeneralFunctions
