#pragma once
// What one peer can put in the trace log: its text shows escaped and cut, and its lines beyond
// a budget per second are counted, not written, and reported once a second.
#include <QTimer>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace GeneralFunctions {

struct GeneralState;

// Text as a trace line shows it: control characters as \r, \n, \t or \xNN (other bytes as they
// are), and text longer than limit bytes cut there, its whole length after it.
std::string TraceText(const std::string& text, size_t limit);

// One peer's trace lines. While a Scope of it is open, every trace line written counts against
// it; over its lines per second they are left out and one line tells how many. A peer's budget
// may also count against a shared one (its listener's), which bounds all of its peers together.
class TraceBudget {
public:
    static constexpr int kLinesPerSecond = 200;
    // A listener's: its own lines and all of its peers' together.
    static constexpr int kSharedLinesPerSecond = 400;

    TraceBudget() = default;
    explicit TraceBudget(std::string peer, int linesPerSecond = kLinesPerSecond);
    ~TraceBudget();
    TraceBudget(const TraceBudget&) = delete;
    TraceBudget& operator=(const TraceBudget&) = delete;

    // Who the report line names. What the previous peer left out is reported first, under its
    // own name; the second's lines written so far still count.
    void SetPeer(std::string peer);
    // Each line this budget admits must also be admitted by shared; a line shared has no room
    // for is left out and counted there.
    void CountAlsoAgainst(TraceBudget* shared);
    // True when one more line may be written this second; false counts it as left out.
    bool Admit(GeneralState& state);
    // Writes how many lines were left out, if any; inside another budget's scope, a line of
    // that one.
    void Report();

    class Scope {
    public:
        explicit Scope(TraceBudget& budget);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        TraceBudget* previous_;
    };
    // The budget of the innermost open scope; nullptr outside any.
    static TraceBudget* Current();

private:
    void OpenWindow(int64_t now);
    void LeaveOut(GeneralState& state, int64_t now);

    std::string peer_;
    int linesPerSecond_ = kLinesPerSecond;
    TraceBudget* shared_ = nullptr;
    int64_t windowStart_ = 0; // ms of the steady clock; the budget's second
    bool windowOpen_ = false;
    int used_ = 0;
    int64_t leftOut_ = 0;
    GeneralState* state_ = nullptr; // whose trace the left-out lines belonged to
    std::unique_ptr<QTimer> timer_; // reports at the end of the second, the peer quiet or not
};

} // namespace GeneralFunctions
