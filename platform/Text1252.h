#pragma once
// Windows-1252 text, kept as bytes in std::string, converted only at the display edge.
#include <QString>
#include <string>

namespace Platform {

QString FromWindows1252(const std::string& bytes);
// Characters outside the code page become '?'.
std::string ToWindows1252(const QString& text);

} // namespace Platform
