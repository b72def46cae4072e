#include "core/GeneralFunctions.h"

#include "platform/FileNumbers.h"
#include "platform/VB.h"

#include <QLineEdit>
#include <array>
#include <utility>

namespace GeneralFunctions {
namespace {

bool IsDigit(unsigned char c) {
    return c >= 48 && c <= 57;
}

bool IsLetter(unsigned char c) {
    return (c >= 65 && c <= 90) || (c >= 97 && c <= 122);
}

const std::array<std::pair<const char*, const char*>, 4> kNetEscapes = {
    {{"\r", "{0D}"}, {"\n", "{0A}"}, {"\"", "{22}"}, {"\t", "{09}"}}};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos))
        text.replace(pos, from.size(), to), pos += to.size();
    return text;
}

} // namespace

bool ValidateChars(const std::string& text, int32_t mode) {
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        bool ok = true;
        switch (mode) {
        case 1:
            ok = IsDigit(c);
            break;
        case 2:
            ok = IsDigit(c) || IsLetter(c);
            break;
        case 3:
            ok = IsLetter(c);
            break;
        case 4:
            ok = IsDigit(c) || IsLetter(c) || c == 32;
            break;
        case 5:
            ok = IsDigit(c) || c == 32;
            break;
        default:
            break;
        }
        if (!ok) return false;
    }
    return true;
}

std::string GetNextToken(const std::string& text, int32_t& startPos, const std::string& delimiter,
                         int32_t& endPos, bool trimResult, bool skipLeadingBlanks) {
    if (startPos < 1) startPos = 1;
    int32_t start = startPos;
    if (skipLeadingBlanks) {
        size_t first = text.find_first_not_of(' ', static_cast<size_t>(start - 1));
        if (start > static_cast<int32_t>(text.size()) || first == std::string::npos) return "";
        start = static_cast<int32_t>(first) + 1;
    }
    endPos = delimiter.empty() ? 0 : VB::InStr(start, text, delimiter);
    std::string token = endPos > 0 ? VB::Mid(text, start, endPos - start) : VB::Mid(text, start);
    return trimResult ? VB::Trim(token) : token;
}

std::string GetMessageParameter(const std::string& text, const std::string& key,
                                const std::string& separator, bool unescape,
                                const std::string& delimiter) {
    int32_t keyPos = VB::InStr(1, text, key, true);
    if (keyPos == 0 || key.empty()) return "";
    int32_t separatorPos = 0;
    GetNextToken(text, keyPos, separator, separatorPos, true, true);
    if (separatorPos == 0) return "";
    int32_t valuePos = separatorPos + static_cast<int32_t>(separator.size());
    int32_t endPos = 0;
    std::string value;
    if (VB::Mid(text, valuePos, 1) == "\"") {
        int32_t quotedPos = valuePos + 1;
        value = GetNextToken(text, quotedPos, "\"", endPos, true, false);
    } else {
        // Blanks after the separator do not end an unquoted value.
        value = GetNextToken(text, valuePos, delimiter, endPos, true, true);
    }
    return unescape ? UnescapeNetText(value) : value;
}

std::string Hex2(int32_t value, int32_t width) {
    std::string text = VB::Hex(value);
    if (static_cast<int32_t>(text.size()) < width)
        text.insert(0, static_cast<size_t>(width) - text.size(), '0');
    return text;
}

std::string PadRight(const std::string& text, int16_t width, const std::string& padChar) {
    char pad = padChar.empty() ? ' ' : padChar.front();
    std::string out = VB::Left(text, width);
    if (static_cast<int>(out.size()) < width)
        out.append(static_cast<size_t>(width) - out.size(), pad);
    return out;
}

std::string PadLeft(std::string& text, int16_t width, const std::string& padChar) {
    char pad = padChar.empty() ? ' ' : padChar.front();
    std::string out = VB::Left(text, width);
    if (static_cast<int>(out.size()) < width)
        out.insert(0, static_cast<size_t>(width) - out.size(), pad);
    text = out;
    return out;
}

std::string EscapeNetText(const std::string& text) {
    std::string out = text;
    for (const auto& [character, escape] : kNetEscapes)
        out = ReplaceAll(out, character, escape);
    return out;
}

std::string UnescapeNetText(const std::string& text) {
    std::string out = text;
    for (const auto& [character, escape] : kNetEscapes)
        out = ReplaceAll(out, escape, character);
    return out;
}

std::string ReadFileLine(int16_t fileNumber) {
    std::string line;
    if (fileNumber <= 0) return line;
    for (int c = Platform::FileNumbers::ReadByte(fileNumber); c >= 0 && c != '\n';
         c = Platform::FileNumbers::ReadByte(fileNumber))
        if (c != '\r') line += static_cast<char>(c);
    return line;
}

std::string FitTextToWidth(const std::function<double(const std::string&)>& textWidth,
                           const std::string& text, int32_t width) {
    size_t length = 0;
    while (length < text.size() && textWidth(text.substr(0, length + 1)) <= width)
        ++length;
    return text.substr(0, length);
}

void SelectAllText(QLineEdit* textBox) {
    if (!textBox) return;
    textBox->setSelection(0, static_cast<int>(textBox->text().size()));
}

} // namespace GeneralFunctions
