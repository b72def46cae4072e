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

// A well-formed UTF-8 sequence of two or more bytes: its length and code point.
struct Utf8Sequence {
    size_t length = 0; // 0 when none starts there
    char32_t codePoint = 0;
};

Utf8Sequence Utf8SequenceAt(const std::string& bytes, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    Utf8Sequence sequence;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        sequence = {2, lead & 0x1Fu};
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        sequence = {3, lead & 0x0Fu};
        if (lead == 0xE0) low = 0xA0;  // no overlong forms
        if (lead == 0xED) high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        sequence = {4, lead & 0x07u};
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F; // nothing above U+10FFFF
    }
    if (sequence.length == 0 || at + sequence.length > bytes.size()) return {};
    if (byte(at + 1) < low || byte(at + 1) > high) return {};
    for (size_t i = at + 1; i < at + sequence.length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return {};
        sequence.codePoint = (sequence.codePoint << 6) | (byte(i) & 0x3Fu);
    }
    return sequence;
}

void AppendCodePoint(QString& text, char32_t codePoint) {
    if (QChar::requiresSurrogates(codePoint)) {
        text.append(QChar(QChar::highSurrogate(codePoint)));
        text.append(QChar(QChar::lowSurrogate(codePoint)));
    } else {
        text.append(QChar(static_cast<char16_t>(codePoint)));
    }
}

} // namespace

QString FromHostOrWindows1252(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (size_t at = 0; at < bytes.size();) {
        // Each sequence is decoded on its own: a byte-order mark is a character here, wherever
        // it stands.
        if (const Utf8Sequence sequence = Utf8SequenceAt(bytes, at); sequence.length > 0) {
            AppendCodePoint(text, sequence.codePoint);
            at += sequence.length;
        } else {
            text.append(QChar(CodePointOf(static_cast<unsigned char>(bytes[at++]))));
        }
    }
    return text;
}

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
