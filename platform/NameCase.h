#pragma once
// Letter case of 8-bit (Windows-1252) names, as the Windows name lookups compare them:
// ASCII letters and the accented letters of the code page fold to lower case.
#include <string>

namespace Platform {

char LowerCase1252(char c);
// True when a and b are the same name ignoring letter case.
bool SameNameIgnoringCase(const std::string& a, const std::string& b);

} // namespace Platform
