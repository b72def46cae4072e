#include "core/KeptLines.h"

#include "core/GeneralFunctions.h"

#include "platform/Files.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <cerrno>
#include <deque>
#include <exception>
#include <map>
#include <utility>

namespace KeptLines {
namespace {

constexpr int kRetryMs = 1000;

struct Line {
    std::string bytes; // with its CR LF
    bool durable = false;
};

// A file that refused a line: what it still has to take, and what this failure has cost.
struct Refusing {
    std::deque<Line> lines;
    size_t written = 0; // kept lines written since
    size_t lost = 0;    // lines not kept, over the limit
};

struct Store {
    std::map<std::string, Refusing> files;
    size_t bytes = 0; // of every kept line
    QPointer<QTimer> retries;
};

// Process-wide: lines belong to files, whichever instance made them.
Store& Kept() {
    static Store store;
    return store;
}

bool Write(const std::string& fileName, const Line& line) {
    return Platform::AppendWhole(Platform::ResolveExisting(fileName), line.bytes, line.durable);
}

// Writes the file's kept lines in order while it takes them; true when none is left.
bool WriteKept(Store& store, const std::string& fileName, Refusing& file) {
    while (!file.lines.empty()) {
        if (!Write(fileName, file.lines.front())) return false;
        store.bytes -= file.lines.front().bytes.size();
        file.lines.pop_front();
        ++file.written;
    }
    return true;
}

// " lost: more than 1 MB kept"
std::string OverLimit() {
    return " lost: more than " + std::to_string(kLimitBytes >> 20) + " MB kept";
}

// The file takes lines again: its failure's end is told and the file forgotten.
void Taken(Store& store, std::map<std::string, Refusing>::iterator at) {
    const std::string fileName = at->first;
    const Refusing file = std::move(at->second);
    store.files.erase(at);
    if (file.lost > 0)
        GeneralFunctions::TellProblem(std::to_string(file.lost) + " lines for " + fileName +
                                      OverLimit());
    GeneralFunctions::TellProblem(fileName + " takes lines again: " + std::to_string(file.written) +
                                  " kept lines written");
}

void StartRetries(Store& store) {
    if (!store.retries && QCoreApplication::instance()) {
        store.retries = new QTimer(QCoreApplication::instance());
        store.retries->setInterval(kRetryMs);
        QObject::connect(store.retries, &QTimer::timeout, [] { RetryNow(); });
    }
    if (store.retries && !store.retries->isActive()) store.retries->start();
}

// Keeps line behind the file's kept ones, or counts it lost past the limit (told at the first).
void Keep(Store& store, const std::string& fileName, Refusing& file, Line line) {
    if (store.bytes + line.bytes.size() > kLimitBytes) {
        if (file.lost++ == 0) GeneralFunctions::TellProblem("Lines for " + fileName + OverLimit());
        return;
    }
    store.bytes += line.bytes.size();
    file.lines.push_back(std::move(line));
    StartRetries(store);
}

} // namespace

void Append(const std::string& fileName, const std::string& line, bool durable) {
    try {
        Store& store = Kept();
        Line next{line + "\r\n", durable};
        auto at = store.files.find(fileName);
        if (at == store.files.end()) {
            if (Write(fileName, next)) return;
            const int cause = errno;
            at = store.files.emplace(fileName, Refusing{}).first;
            GeneralFunctions::TellProblem("Cannot write to " + fileName + " (" +
                                          GeneralFunctions::CauseText(cause) +
                                          "): its lines are kept and written when it takes "
                                          "them again");
        } else if (WriteKept(store, fileName, at->second) && Write(fileName, next)) {
            Taken(store, at);
            return;
        }
        Keep(store, fileName, at->second, std::move(next));
    } catch (const std::exception&) {
        // Out of memory: the line is lost, the program runs on.
    }
}

size_t Count() {
    size_t count = 0;
    for (const auto& [fileName, file] : Kept().files)
        count += file.lines.size();
    return count;
}

void RetryNow() {
    try {
        Store& store = Kept();
        for (auto at = store.files.begin(); at != store.files.end();) {
            auto file = at++;
            // A file whose lines were all lost is tried with its next line.
            if (!file->second.lines.empty() && WriteKept(store, file->first, file->second))
                Taken(store, file);
        }
        if (store.bytes == 0 && store.retries) store.retries->stop();
    } catch (const std::exception&) {
        // Out of memory for a text told: the next retry tries again.
    }
}

void WriteBeforeEnd() {
    RetryNow();
    try {
        for (const auto& [fileName, file] : Kept().files)
            if (!file.lines.empty())
                GeneralFunctions::TellProblem(std::to_string(file.lines.size()) +
                                              " kept lines for " + fileName +
                                              " lost: the program ended before it took them");
    } catch (const std::exception&) {
        // Out of memory for the text: nothing more can be said.
    }
}

} // namespace KeptLines
