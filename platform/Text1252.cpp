#include "platform/Text1252.h"

#include <array>

namespace Platform {
namespace {

// Code points of bytes 0x80..0x9F; 0 where the code page leaves the byte undefined
// (those map straight through, as the platform's converter does).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t CodePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F && kHigh[byte - 0x80] != 0) return kHigh[byte - 0x80];
    return byte;
}

} // namespace

QString FromWindows1252(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes)
        text.append(QChar(CodePointOf(static_cast<unsigned char>(c))));
    return text;
}

std::string ToWindows1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (QChar ch : text) {
        char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.push_back(static_cast<char>(u));
            continue;
        }
        char out = '?';
        for (unsigned b = 0x80; b <= 0x9F; ++b) {
            if (CodePointOf(static_cast<unsigned char>(b)) == u) {
                out = static_cast<char>(b);
                break;
            }
        }
        bytes.push_back(out);
    }
    return bytes;
}

} // namespace Platform
