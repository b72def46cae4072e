#pragma once
// Shared test helpers: scripted message boxes, a scratch folder, the clock, small files.
#include "core/GeneralFunctions.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"

#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <deque>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace TestSupport {

// Answers every box with the scripted answers in order (then the default button) and keeps
// what was shown. Removes its hook when it goes out of scope.
class ScriptedBoxes {
public:
    explicit ScriptedBoxes(std::deque<int> answers = {}) : answers_(std::move(answers)) {
        Platform::ClearShownBoxes();
        Platform::SetMsgBoxHook([this](const Platform::ShownBox& box) {
            if (answers_.empty()) return Platform::DefaultAnswer(box.buttons);
            int answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
    }
    ~ScriptedBoxes() {
        Platform::SetMsgBoxHook({});
        Platform::ClearShownBoxes();
    }
    void Answer(int answer) { answers_.push_back(answer); }
    const std::vector<Platform::ShownBox>& Shown() const { return Platform::ShownBoxes(); }
    size_t Count() const { return Platform::ShownBoxes().size(); }

private:
    std::deque<int> answers_;
};

// What the program tells the user of its failures (TellProblem) while it lives.
class ToldProblems {
public:
    ToldProblems()
        : id_(GeneralFunctions::AddProblemTeller(
              [this](const std::string& text) { told_.push_back(text); })) {}
    ~ToldProblems() { GeneralFunctions::RemoveProblemTeller(id_); }
    ToldProblems(const ToldProblems&) = delete;
    ToldProblems& operator=(const ToldProblems&) = delete;
    const std::vector<std::string>& Told() const { return told_; }
    // How many told texts hold part.
    size_t Count(const std::string& part) const {
        return static_cast<size_t>(std::count_if(told_.begin(), told_.end(), [&](const auto& t) {
            return t.find(part) != std::string::npos;
        }));
    }

private:
    std::vector<std::string> told_;
    int id_;
};

// VNTZEL_PORT_OFFSET for a test that opens the program's fixed ports (6900 to 6969 and a few
// above): every port stays below 32768, out of the kernel's range for outgoing connections, so
// no connection of another test can hold it by chance. Each band (0 to 3) is a range of its
// own, so tests of different bands never share a port; the process id spreads one band's runs.
inline int ProgramPortOffset(int band) {
    constexpr int kBandWidth = 6000, kBandsFrom = 1000;
    return kBandsFrom + band * kBandWidth + static_cast<int>(getpid() % (kBandWidth - 100));
}

// Freezes the clock at a moment for the test's lifetime.
class FrozenClock {
public:
    FrozenClock(int32_t day, double seconds) { Platform::Clock::SetNow(day, seconds); }
    ~FrozenClock() { Platform::Clock::UseSystemClock(); }
};

// No file may grow past bytes while it lives, as on a full disk (this holds for root too):
// writes past the limit come up short with EFBIG instead of a signal.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : oldSignal_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit small = old_;
        small.rlim_cur = bytes;
        set_ = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Set() const { return set_; }

private:
    void (*oldSignal_)(int);
    rlimit old_{};
    bool set_ = false;
};

// A scratch folder removed with the test.
class ScratchDir {
public:
    ScratchDir() { dir_.setAutoRemove(true); }
    std::string Path() const { return dir_.path().toStdString(); }
    std::string File(const std::string& name) const { return Path() + "/" + name; }

private:
    QTemporaryDir dir_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// How many times part occurs in text, overlapping ones counted.
inline size_t Occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = 0; (at = text.find(part, at)) != std::string::npos; ++at)
        ++n;
    return n;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace TestSupport
