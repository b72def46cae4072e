#include "core/TraceBudget.h"

#include "core/GeneralFunctions.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace GeneralFunctions {

namespace {

constexpr int64_t kWindowMs = 1000;

thread_local TraceBudget* current = nullptr;

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string Escaped(unsigned char c) {
    switch (c) {
    case '\r':
        return "\\r";
    case '\n':
        return "\\n";
    case '\t':
        return "\\t";
    default:
        break;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    return hex;
}

} // namespace

std::string TraceText(const std::string& text, size_t limit) {
    const size_t shown = std::min(text.size(), limit);
    std::string out;
    out.reserve(shown);
    for (size_t i = 0; i < shown; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F)
            out += Escaped(c);
        else
            out += static_cast<char>(c);
    }
    if (shown < text.size()) out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

TraceBudget::TraceBudget(std::string peer, int linesPerSecond)
    : peer_(std::move(peer)), linesPerSecond_(linesPerSecond) {}

TraceBudget::~TraceBudget() = default;

void TraceBudget::SetPeer(std::string peer) {
    Report();
    peer_ = std::move(peer);
}

void TraceBudget::CountAlsoAgainst(TraceBudget* shared) {
    shared_ = shared == this ? nullptr : shared;
}

bool TraceBudget::Admit(GeneralState& state) {
    const int64_t now = NowMs();
    OpenWindow(now);
    if (used_ >= linesPerSecond_) {
        LeaveOut(state, now);
        return false;
    }
    if (shared_ && !shared_->Admit(state)) return false;
    ++used_;
    return true;
}

void TraceBudget::OpenWindow(int64_t now) {
    if (windowOpen_ && now - windowStart_ < kWindowMs) return;
    // The new second opens before the last one's report, which is a line of it.
    windowOpen_ = true;
    windowStart_ = now;
    used_ = 0;
    Report();
}

void TraceBudget::LeaveOut(GeneralState& state, int64_t now) {
    if (leftOut_++ > 0) return;
    state_ = &state;
    if (!timer_) {
        timer_ = std::make_unique<QTimer>();
        timer_->setSingleShot(true);
        QObject::connect(timer_.get(), &QTimer::timeout, [this] { Report(); });
    }
    timer_->start(static_cast<int>(std::max<int64_t>(kWindowMs - (now - windowStart_), 1)));
}

void TraceBudget::Report() {
    if (leftOut_ == 0 || !state_) return;
    const int64_t count = leftOut_;
    leftOut_ = 0;
    if (timer_) timer_->stop();
    if (state_->DebugMode == 0) return; // tracing was turned off meanwhile
    // Written while another budget's scope is open (the slot given to a new peer as it is
    // accepted), the report counts against that one; else against the shared budget.
    TraceBudget* outer = Current();
    if (outer == this || !outer) outer = shared_;
    if (outer && !outer->Admit(*state_)) return;
    AppendTraceLine(peer_ + ": " + std::to_string(count) +
                    " more trace lines in one second, left out");
}

TraceBudget::Scope::Scope(TraceBudget& budget) : previous_(current) {
    current = &budget;
}

TraceBudget::Scope::~Scope() {
    current = previous_;
}

TraceBudget* TraceBudget::Current() {
    return current;
}

} // namespace GeneralFunctions
