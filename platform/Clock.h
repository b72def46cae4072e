#pragma once
// The one source of "now". The break scheduler, reconciliation times and log names read it;
// tests set it and move it on. Qt timers still drive intervals.
#include <cstdint>

namespace Platform::Clock {

struct Moment {
    int32_t day = 0;      // date serial: days since 1899-12-30
    double seconds = 0.0; // seconds since local midnight, 0 <= seconds < 86400
};

Moment Now();
// The classic date value: day + seconds / 86400.
double NowSerial();
int32_t Today();
// Seconds since midnight (the classic Timer function).
double Timer();
// Milliseconds from a fixed origin, never going back (GetTickCount).
uint32_t TickCount();

// Test control: freeze the clock at a moment, move it on, or go back to the system clock.
void SetNow(int32_t day, double seconds);
void Advance(double seconds);
void UseSystemClock();
bool IsSet();

// Sets the computer's clock to a local date and time. A set (test) clock is moved instead.
// False when the system refuses (no right to change the time).
bool SetSystemTime(int32_t day, double seconds);

// Date serial of a calendar date, and back.
int32_t SerialOfDate(int year, int month, int day);
void DateOfSerial(int32_t serial, int& year, int& month, int& day);

} // namespace Platform::Clock
