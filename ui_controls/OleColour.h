#pragma once
// OLE colours: packed 0x00BBGGRR, or 0x80000000 + a system colour index.
#include <QColor>
#include <cstdint>

namespace obControls {

QColor TranslateColour(int32_t oleColour);

} // namespace obControls
