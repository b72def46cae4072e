#include "browsing/KeyCodes.h"

namespace Browsing {

int16_t ShiftBits(Qt::KeyboardModifiers modifiers) {
    int16_t bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= 1;
    if (modifiers & Qt::ControlModifier) bits |= 2;
    if (modifiers & Qt::AltModifier) bits |= 4;
    return bits;
}

int16_t KeyCodeOf(const QKeyEvent& event) {
    const int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<int16_t>('A' + key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<int16_t>('0' + key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F16)
        return static_cast<int16_t>(kKeyF1 + key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return kKeyBack;
    case Qt::Key_Tab:
        return kKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kKeyReturn;
    case Qt::Key_Escape:
        return kKeyEscape;
    case Qt::Key_Space:
        return kKeySpace;
    case Qt::Key_PageUp:
        return kKeyPageUp;
    case Qt::Key_PageDown:
        return kKeyPageDown;
    case Qt::Key_End:
        return kKeyEnd;
    case Qt::Key_Home:
        return kKeyHome;
    case Qt::Key_Left:
        return kKeyLeft;
    case Qt::Key_Up:
        return kKeyUp;
    case Qt::Key_Right:
        return kKeyRight;
    case Qt::Key_Down:
        return kKeyDown;
    case Qt::Key_Insert:
        return kKeyInsert;
    default:
        return 0;
    }
}

char KeyCharOf(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Backspace:
        return 8;
    default:
        break;
    }
    const QString text = event.text();
    if (text.size() != 1 || text[0].unicode() > 0x7E || text[0].unicode() < 0x20) return 0;
    return static_cast<char>(text[0].unicode());
}

bool FirstKeyStop(const QWidget& window, const QObject* watched) {
    const QWidget* focus = window.focusWidget();
    return watched == (focus ? focus : &window);
}

} // namespace Browsing
