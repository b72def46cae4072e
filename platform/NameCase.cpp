#include "platform/NameCase.h"

#include <algorithm>

namespace Platform {

char LowerCase1252(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
    // À..Þ except the multiplication sign.
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
    // Š Œ Ž, and Ÿ.
    if (u == 0x8A || u == 0x8C || u == 0x8E) return static_cast<char>(u + 16);
    if (u == 0x9F) return static_cast<char>(0xFF);
    return c;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerCase1252(x) == LowerCase1252(y); });
}

} // namespace Platform
