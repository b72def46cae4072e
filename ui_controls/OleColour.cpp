#include "ui_controls/OleColour.h"

#include <QApplication>
#include <QPalette>

namespace obControls {

QColor TranslateColour(int32_t oleColour) {
    const auto bits = static_cast<uint32_t>(oleColour);
    if (bits & 0x80000000u) {
        QPalette::ColorRole role = QPalette::Button;
        switch (bits & 0xFF) {
        case 5:
            role = QPalette::Base;
            break; // window
        case 8:
            role = QPalette::WindowText;
            break; // window text
        case 13:
            role = QPalette::Highlight;
            break;
        case 14:
            role = QPalette::HighlightedText;
            break;
        case 18:
            role = QPalette::ButtonText;
            break;
        default:
            break; // button face and the rest
        }
        return QApplication::palette().color(role);
    }
    return QColor(bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
}

} // namespace obControls
