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
// it; over kLinesPerSecond in one second they are left out and one line tells how many.
class TraceBudget {
public:
    static constexpr int kLinesPerSecond = 200;

    TraceBudget() = default;
    explicit TraceBudget(std::string peer);
    ~TraceBudget();
    TraceBudget(const TraceBudget&) = delete;
    TraceBudget& operator=(const TraceBudget&) = delete;

    // Who the report line names. What the previous peer left out is reported first, under its
    // own name; the second's lines written so far still count.
    void SetPeer(std::string peer);
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
    std::string peer_;
    int64_t windowStart_ = 0; // ms of the steady clock; the budget's second
    bool windowOpen_ = false;
    int used_ = 0;
    int64_t leftOut_ = 0;
    GeneralState* state_ = nullptr; // whose trace the left-out lines belonged to
    std::unique_ptr<QTimer> timer_; // reports at the end of the second, the peer quiet or not
};

} // namespace GeneralFunctions
