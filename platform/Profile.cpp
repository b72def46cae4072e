#include "platform/Profile.h"

#include "platform/Files.h"
#include "platform/NameCase.h"
#include "platform/WholeFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace Platform {

namespace {

// One line of the file: its text and the line end that followed it ("" for a last line
// without one), so that the file can be put back together byte for byte.
struct Line {
    std::string text;
    std::string end;
};

struct IniText {
    std::vector<Line> lines;
    std::string newline = "\r\n"; // line end for lines we add
    std::string bom;              // a UTF-8 byte-order mark that opened the file, kept
};

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// The lines [header, end) of one section; header is the "[name]" line.
struct SectionRange {
    size_t header;
    size_t end;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n';
}

std::string Trim(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

IniText Parse(const std::string& bytes) {
    IniText ini;
    bool newlineSeen = false;
    size_t start = 0;
    if (bytes.compare(0, 3, kUtf8Bom) == 0) {
        ini.bom = kUtf8Bom;
        start = 3;
    }
    while (start < bytes.size()) {
        size_t lf = bytes.find('\n', start);
        Line line;
        if (lf == std::string::npos) {
            line.text = bytes.substr(start);
            start = bytes.size();
        } else {
            bool crlf = lf > start && bytes[lf - 1] == '\r';
            line.text = bytes.substr(start, (crlf ? lf - 1 : lf) - start);
            line.end = crlf ? "\r\n" : "\n";
            if (!newlineSeen) ini.newline = line.end;
            newlineSeen = true;
            start = lf + 1;
        }
        ini.lines.push_back(std::move(line));
    }
    return ini;
}

std::string Join(const IniText& ini) {
    std::string bytes = ini.bom;
    for (const Line& line : ini.lines)
        bytes += line.text + line.end;
    return bytes;
}

// The section name of a "[name]" line: up to the first "]" of the line, whatever follows it,
// or to the line's end when it has none.
std::optional<std::string> HeaderName(const std::string& text) {
    std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
    size_t close = trimmed.find(']');
    if (close == std::string::npos) close = trimmed.size();
    return Trim(trimmed.substr(1, close - 1));
}

bool IsComment(const std::string& text) {
    std::string trimmed = Trim(text);
    return !trimmed.empty() && trimmed.front() == ';';
}

// The key and value of a "key=value" line.
bool SplitKey(const std::string& text, std::string& key, std::string& value) {
    if (IsComment(text)) return false;
    size_t eq = text.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(text.substr(0, eq));
    value = Trim(text.substr(eq + 1));
    return !key.empty();
}

std::optional<SectionRange> FindSection(const IniText& ini, const std::string& section) {
    std::string wanted = Trim(section);
    for (size_t i = 0; i < ini.lines.size(); ++i) {
        std::optional<std::string> name = HeaderName(ini.lines[i].text);
        if (!name || !SameNameIgnoringCase(*name, wanted)) continue;
        size_t end = i + 1;
        while (end < ini.lines.size() && !HeaderName(ini.lines[end].text))
            ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

// The index of the first line of range holding key.
std::optional<size_t> FindKey(const IniText& ini, SectionRange range, const std::string& key) {
    std::string wanted = Trim(key);
    for (size_t i = range.header + 1; i < range.end; ++i) {
        std::string name, value;
        if (SplitKey(ini.lines[i].text, name, value) && SameNameIgnoringCase(name, wanted))
            return i;
    }
    return std::nullopt;
}

// Where the comment lines that head the next section begin: the run of comments just before
// its header; the section's end when there is none (or no next section).
size_t NextSectionComments(const IniText& ini, SectionRange range) {
    size_t start = range.end;
    if (start >= ini.lines.size()) return start;
    while (start > range.header + 1 && IsComment(ini.lines[start - 1].text))
        --start;
    return start;
}

// One line after the section's last non-blank line, leaving out the comments that head the
// next section, so that those and the blank lines before the next section stay after
// whatever is added.
size_t EndOfContent(const IniText& ini, SectionRange range) {
    size_t end = NextSectionComments(ini, range);
    while (end > range.header + 1 && Trim(ini.lines[end - 1].text).empty())
        --end;
    return end;
}

std::string StripQuotes(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string Truncated(std::string text, size_t bufferSize) {
    if (bufferSize == kNoProfileLimit) return text;
    if (bufferSize == 0) return "";
    if (text.size() > bufferSize - 1) text.resize(bufferSize - 1);
    return text;
}

std::string BeforeLineBreak(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

bool UsableSection(const std::string& section) {
    return !Trim(section).empty() && !HasLineBreak(section);
}

// A key whose line would read back as that key (not as a comment or a section header).
bool UsableKey(const std::string& key) {
    std::string trimmed = Trim(key);
    return !trimmed.empty() && trimmed.front() != ';' && trimmed.front() != '[' &&
           !HasLineBreak(key) && key.find('=') == std::string::npos;
}

// The profile file read afresh. False when it does not exist or cannot be read.
bool Load(const std::string& fileName, IniText& ini) {
    std::string path = ResolveExisting(ProfilePath(fileName));
    std::string bytes;
    if (!FileExists(path) || !ReadWholeFile(path, bytes)) return false;
    ini = Parse(bytes);
    return true;
}

// Where a write goes: the existing file, else a new file of the exact name in the existing
// folder (found ignoring case).
std::string WritePath(const std::string& fileName) {
    std::string path = ResolveExisting(ProfilePath(fileName));
    if (FileExists(path)) return path;
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return path;
    std::string folder = slash == 0 ? "/" : ResolveExisting(path.substr(0, slash));
    return JoinPath(folder, path.substr(slash + 1));
}

// Applies edit to the file's lines and writes the file when its bytes changed.
// A write refused before the file is touched: errno says so for callers that report causes.
bool Refused() {
    errno = EINVAL;
    return false;
}

template <typename Edit> bool Modify(const std::string& fileName, Edit edit) {
    if (Trim(fileName).empty()) return Refused();
    std::string path = WritePath(fileName);
    std::string before;
    IniText ini;
    if (FileExists(path)) {
        if (!ReadWholeFile(path, before)) return false;
        ini = Parse(before);
    }
    edit(ini);
    std::string after = Join(ini);
    if (after == before) return true;
    return ReplaceWholeFile(path, after, WhenFolderIsClosed::WriteInPlace);
}

// Adds line before index at, giving the line before it a line end when it had none.
void InsertLine(IniText& ini, size_t at, const std::string& text) {
    if (at > 0 && ini.lines[at - 1].end.empty()) ini.lines[at - 1].end = ini.newline;
    ini.lines.insert(ini.lines.begin() + static_cast<std::ptrdiff_t>(at), Line{text, ini.newline});
}

// Removes the section's header, keys and blank lines; its comment lines stay where they are.
void DeleteSection(IniText& ini, const std::string& section) {
    std::optional<SectionRange> range = FindSection(ini, section);
    if (!range) return;
    auto first = ini.lines.begin() + static_cast<std::ptrdiff_t>(range->header);
    auto end = ini.lines.begin() + static_cast<std::ptrdiff_t>(range->end);
    auto kept =
        std::stable_partition(first, end, [](const Line& line) { return IsComment(line.text); });
    ini.lines.erase(kept, end);
}

// The section's range, appending "[section]" at the end of the file when it is missing.
SectionRange SectionOrNew(IniText& ini, const std::string& section) {
    if (std::optional<SectionRange> range = FindSection(ini, section)) return *range;
    InsertLine(ini, ini.lines.size(), "[" + Trim(section) + "]");
    return SectionRange{ini.lines.size() - 1, ini.lines.size()};
}

void SetKey(IniText& ini, const std::string& section, const std::string& key,
            const std::string& value) {
    SectionRange range = SectionOrNew(ini, section);
    if (std::optional<size_t> at = FindKey(ini, range, key)) {
        std::string name, old;
        SplitKey(ini.lines[*at].text, name, old);
        ini.lines[*at].text = name + "=" + value;
        if (ini.lines[*at].end.empty()) ini.lines[*at].end = ini.newline;
        return;
    }
    InsertLine(ini, EndOfContent(ini, range), Trim(key) + "=" + value);
}

void DeleteKey(IniText& ini, const std::string& section, const std::string& key) {
    std::optional<SectionRange> range = FindSection(ini, section);
    if (!range) return;
    if (std::optional<size_t> at = FindKey(ini, *range, key))
        ini.lines.erase(ini.lines.begin() + static_cast<std::ptrdiff_t>(*at));
}

void ReplaceSection(IniText& ini, const std::string& section,
                    const std::vector<std::string>& lines) {
    SectionRange range = SectionOrNew(ini, section);
    size_t first = range.header + 1;
    size_t end = EndOfContent(ini, range);
    ini.lines.erase(ini.lines.begin() + static_cast<std::ptrdiff_t>(first),
                    ini.lines.begin() + static_cast<std::ptrdiff_t>(end));
    for (size_t i = 0; i < lines.size(); ++i)
        InsertLine(ini, first + i, BeforeLineBreak(lines[i]));
}

// The leading decimal integer of text: blanks, an optional sign, digits; wraps at 32 bits.
int32_t LeadingInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint32_t total = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        total = total * 10u + static_cast<uint32_t>(text[i] - '0');
    if (negative) total = 0u - total;
    return static_cast<int32_t>(total);
}

} // namespace

std::string ProfilePath(const std::string& fileName) {
    bool hasFolder = std::any_of(fileName.begin(), fileName.end(), IsSeparator);
    return hasFolder ? HostPath(fileName) : JoinPath(WindowsFolder(), fileName);
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& fileName,
                                    size_t bufferSize) {
    std::string fallback = defaultValue.substr(0, defaultValue.find_last_not_of(' ') + 1);
    IniText ini;
    if (!Load(fileName, ini)) return Truncated(fallback, bufferSize);
    std::optional<SectionRange> range = FindSection(ini, section);
    if (!range) return Truncated(fallback, bufferSize);
    std::optional<size_t> at = FindKey(ini, *range, key);
    if (!at) return Truncated(fallback, bufferSize);
    std::string name, value;
    SplitKey(ini.lines[*at].text, name, value);
    return Truncated(StripQuotes(value), bufferSize);
}

int32_t GetPrivateProfileInt(const std::string& section, const std::string& key,
                             int32_t defaultValue, const std::string& fileName) {
    std::string value = GetPrivateProfileString(section, key, "", fileName);
    return value.empty() ? defaultValue : LeadingInteger(value);
}

std::vector<std::string> GetPrivateProfileSection(const std::string& section,
                                                  const std::string& fileName, size_t bufferSize) {
    std::vector<std::string> lines;
    IniText ini;
    if (!Load(fileName, ini)) return lines;
    std::optional<SectionRange> range = FindSection(ini, section);
    if (!range) return lines;
    size_t used = 1; // the NUL that ends the list
    for (size_t i = range->header + 1; i < range->end; ++i) {
        std::string text = Trim(ini.lines[i].text);
        if (text.empty() || IsComment(text)) continue;
        if (bufferSize != kNoProfileLimit && used + text.size() + 1 > bufferSize) {
            // Cut the list at bufferSize - 2 characters, then two NULs.
            size_t room = bufferSize >= used + 1 ? bufferSize - used - 1 : 0;
            if (room > 0) lines.push_back(text.substr(0, room));
            break;
        }
        used += text.size() + 1;
        lines.push_back(std::move(text));
    }
    return lines;
}

bool WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                               const std::optional<std::string>& value,
                               const std::string& fileName) {
    if (!UsableSection(section) || (key && !UsableKey(*key))) return Refused();
    return Modify(fileName, [&](IniText& ini) {
        if (!key)
            DeleteSection(ini, section);
        else if (!value)
            DeleteKey(ini, section, *key);
        else
            SetKey(ini, section, *key, BeforeLineBreak(*value));
    });
}

bool WritePrivateProfileSection(const std::string& section,
                                const std::optional<std::vector<std::string>>& lines,
                                const std::string& fileName) {
    if (!UsableSection(section)) return Refused();
    return Modify(fileName, [&](IniText& ini) {
        if (!lines)
            DeleteSection(ini, section);
        else
            ReplaceSection(ini, section, *lines);
    });
}

} // namespace Platform
