#pragma once
// Key codes and shift bits of the browsing windows' key handlers, from Qt's key events.
#include <QKeyEvent>
#include <QWidget>
#include <cstdint>

namespace Browsing {

enum KeyCode : int16_t {
    kKeyBack = 8,
    kKeyTab = 9,
    kKeyReturn = 13,
    kKeyEscape = 27,
    kKeySpace = 32,
    kKeyPageUp = 33,
    kKeyPageDown = 34,
    kKeyEnd = 35,
    kKeyHome = 36,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
    kKeyInsert = 45,
    kKeyF1 = 112,
    kKeyF12 = 123,
};

// Shift bits: 1 Shift, 2 Ctrl, 4 Alt.
int16_t ShiftBits(Qt::KeyboardModifiers modifiers);
// The key code of a key event (letters upper case, digits, F-keys, navigation keys); 0 for
// keys without one.
int16_t KeyCodeOf(const QKeyEvent& event);
// The character a key press types (0 for none); Esc gives 27, Enter 13, Backspace 8.
char KeyCharOf(const QKeyEvent& event);

// Whether watched is where a key reaches window first: its focused control, or the window
// when no control has the focus. A key the control does not use travels on to its parents,
// so a window's key handler that watches every control runs only at this first stop.
bool FirstKeyStop(const QWidget& window, const QObject* watched);

} // namespace Browsing
