#pragma once
// Windows-1252 text, kept as bytes in std::string, converted only at the display edge.
#include <QString>
#include <string>

namespace Platform {

QString FromWindows1252(const std::string& bytes);
// Text that may hold host text (paths from the environment, in UTF-8) beside code-page text:
// each well-formed UTF-8 sequence is read as its character (U+FEFF kept, first too), every
// other byte as the code page.
QString FromHostOrWindows1252(const std::string& bytes);
// Characters outside the code page become '?'.
std::string ToWindows1252(const QString& text);

} // namespace Platform
