#include "platform/Clock.h"

#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <cmath>
#include <ctime>

namespace Platform::Clock {
namespace {

constexpr double kSecondsPerDay = 86400.0;

struct ClockState {
    bool set = false;
    Moment frozen;
    double tickOffsetMs = 0.0; // added to the monotonic timer while set
    QElapsedTimer monotonic;
};

// Process-wide: the computer has one clock, and a frozen test clock holds for every instance.
ClockState& State() {
    static ClockState state;
    if (!state.monotonic.isValid()) state.monotonic.start();
    return state;
}

qint64 JulianOfSerialZero() {
    return QDate(1899, 12, 30).toJulianDay();
}

Moment Normalised(int64_t day, double seconds) {
    double wholeDays = std::floor(seconds / kSecondsPerDay);
    seconds -= wholeDays * kSecondsPerDay;
    if (seconds >= kSecondsPerDay) seconds = 0.0, wholeDays += 1;
    return Moment{static_cast<int32_t>(day + static_cast<int64_t>(wholeDays)), seconds};
}

} // namespace

Moment Now() {
    ClockState& state = State();
    if (state.set) return state.frozen;
    QDateTime now = QDateTime::currentDateTime();
    Moment m;
    m.day = static_cast<int32_t>(now.date().toJulianDay() - JulianOfSerialZero());
    m.seconds = now.time().msecsSinceStartOfDay() / 1000.0;
    return m;
}

double NowSerial() {
    Moment m = Now();
    return m.day + m.seconds / kSecondsPerDay;
}

int32_t Today() {
    return Now().day;
}

double Timer() {
    return Now().seconds;
}

uint32_t TickCount() {
    ClockState& state = State();
    double ms = static_cast<double>(state.monotonic.elapsed()) + state.tickOffsetMs;
    return static_cast<uint32_t>(static_cast<uint64_t>(ms) & 0xFFFFFFFFu);
}

void SetNow(int32_t day, double seconds) {
    ClockState& state = State();
    state.set = true;
    state.frozen = Normalised(day, seconds);
}

void Advance(double seconds) {
    ClockState& state = State();
    if (!state.set) SetNow(Now().day, Now().seconds);
    state.frozen = Normalised(state.frozen.day, state.frozen.seconds + seconds);
    state.tickOffsetMs += seconds * 1000.0;
}

void UseSystemClock() {
    State().set = false;
}

bool IsSet() {
    return State().set;
}

bool SetSystemTime(int32_t day, double seconds) {
    if (IsSet()) {
        SetNow(day, seconds);
        return true;
    }
    QDateTime target(QDate::fromJulianDay(JulianOfSerialZero() + day),
                     QTime::fromMSecsSinceStartOfDay(static_cast<int>(seconds * 1000.0)));
    qint64 ms = target.toMSecsSinceEpoch();
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ms / 1000);
    ts.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    return clock_settime(CLOCK_REALTIME, &ts) == 0;
}

int32_t SerialOfDate(int year, int month, int day) {
    return static_cast<int32_t>(QDate(year, month, day).toJulianDay() - JulianOfSerialZero());
}

void DateOfSerial(int32_t serial, int& year, int& month, int& day) {
    QDate::fromJulianDay(JulianOfSerialZero() + serial).getDate(&year, &month, &day);
}

} // namespace Platform::Clock
