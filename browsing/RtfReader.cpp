#include "browsing/RtfReader.h"

#include "platform/Text1252.h"

#include <QTextCursor>
#include <QTextDocument>
#include <cctype>
#include <cstdlib>

namespace Browsing {

namespace {

struct GroupState {
    bool bold = false;
    bool italic = false;
    bool skip = false;   // inside a destination whose text is not shown
    int unicodeSkip = 1; // fallback bytes after \uN
};

// Destinations whose contents are not text of the document.
bool IsSkippedDestination(const std::string& word) {
    static const char* const kSkipped[] = {
        "fonttbl", "colortbl",  "stylesheet",        "info",     "pict", "header", "footer",
        "object",  "listtable", "listoverridetable", "generator"};
    for (const char* name : kSkipped)
        if (word == name) return true;
    return false;
}

class Parser {
public:
    explicit Parser(const std::string& bytes) : in_(bytes) { doc_.paragraphs.emplace_back(); }

    RtfDocument Run() {
        std::vector<GroupState> stack{GroupState{}};
        while (pos_ < in_.size()) {
            char c = in_[pos_++];
            if (c == '{') {
                stack.push_back(stack.back());
                groupStart_ = true;
                continue;
            }
            if (c == '}') {
                if (stack.size() > 1) stack.pop_back();
                groupStart_ = false;
                continue;
            }
            GroupState& state = stack.back();
            if (c == '\\') {
                ControlWord(state);
            } else if (c != '\r' && c != '\n') {
                if (pendingSkip_ > 0) {
                    --pendingSkip_;
                } else {
                    Append(state, Platform::FromWindows1252(std::string(1, c)));
                }
            }
            groupStart_ = false;
        }
        return std::move(doc_);
    }

private:
    void Append(const GroupState& state, const QString& text) {
        if (state.skip || text.isEmpty()) return;
        RtfParagraph& paragraph = doc_.paragraphs.back();
        if (!paragraph.empty() && paragraph.back().bold == state.bold &&
            paragraph.back().italic == state.italic)
            paragraph.back().text += text;
        else
            paragraph.push_back({text, state.bold, state.italic});
    }

    void ControlWord(GroupState& state) {
        if (pos_ >= in_.size()) return;
        char c = in_[pos_];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++pos_;
            ControlSymbol(state, c);
            return;
        }
        size_t start = pos_;
        while (pos_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[pos_])))
            ++pos_;
        std::string word = in_.substr(start, pos_ - start);
        bool hasParam = false;
        long param = 0;
        size_t numStart = pos_;
        if (pos_ < in_.size() && in_[pos_] == '-') ++pos_;
        while (pos_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[pos_])) &&
               pos_ - numStart < 10)
            ++pos_;
        if (pos_ > numStart && std::isdigit(static_cast<unsigned char>(in_[pos_ - 1]))) {
            hasParam = true;
            param = std::strtol(in_.substr(numStart, pos_ - numStart).c_str(), nullptr, 10);
        } else {
            pos_ = numStart;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        bool wasGroupStart = groupStart_;
        groupStart_ = false;
        Apply(state, word, hasParam, param, wasGroupStart);
    }

    void Apply(GroupState& state, const std::string& word, bool hasParam, long param,
               bool groupStart) {
        if (groupStart && IsSkippedDestination(word)) {
            state.skip = true;
        } else if (word == "par" || word == "line") {
            if (!state.skip) doc_.paragraphs.emplace_back();
        } else if (word == "tab") {
            Append(state, "\t");
        } else if (word == "b") {
            state.bold = !hasParam || param != 0;
        } else if (word == "i") {
            state.italic = !hasParam || param != 0;
        } else if (word == "plain") {
            state.bold = state.italic = false;
        } else if (word == "uc" && hasParam) {
            state.unicodeSkip = param < 0 ? 0 : static_cast<int>(std::min(param, 16L));
        } else if (word == "u" && hasParam) {
            long code = param < 0 ? param + 65536 : param;
            if (code >= 0 && code <= 0xFFFF)
                Append(state, QString(QChar(static_cast<ushort>(code))));
            pendingSkip_ = state.unicodeSkip;
            return;
        } else if (word == "emdash" || word == "endash") {
            Append(state, QString(QChar(word == "emdash" ? 0x2014 : 0x2013)));
        }
    }

    void ControlSymbol(GroupState& state, char c) {
        if (c == '*') {
            state.skip = true;
        } else if (c == '\'') {
            int value = 0, digits = 0;
            while (digits < 2 && pos_ < in_.size() &&
                   std::isxdigit(static_cast<unsigned char>(in_[pos_]))) {
                value = value * 16 + std::stoi(std::string(1, in_[pos_]), nullptr, 16);
                ++pos_;
                ++digits;
            }
            if (digits == 0) return;
            if (pendingSkip_ > 0) {
                --pendingSkip_;
                return;
            }
            Append(state, Platform::FromWindows1252(std::string(1, static_cast<char>(value))));
        } else if (c == '\\' || c == '{' || c == '}') {
            if (pendingSkip_ > 0) {
                --pendingSkip_;
                return;
            }
            Append(state, QString(QChar::fromLatin1(c)));
        } else if (c == '~') {
            Append(state, QString(QChar(0xA0)));
        } else if (c == '\r' || c == '\n') {
            if (!state.skip) doc_.paragraphs.emplace_back();
        } else if (c == '-' || c == '_') {
            if (c == '_') Append(state, "-");
        }
    }

    const std::string& in_;
    size_t pos_ = 0;
    bool groupStart_ = false;
    int pendingSkip_ = 0;
    RtfDocument doc_;
};

} // namespace

QString RtfDocument::PlainText() const {
    QString out;
    for (size_t p = 0; p < paragraphs.size(); ++p) {
        if (p > 0) out += '\n';
        for (const RtfRun& run : paragraphs[p])
            out += run.text;
    }
    return out;
}

std::optional<RtfDocument> ReadRtf(const std::string& bytes) {
    if (bytes.compare(0, 5, "{\\rtf") != 0) return std::nullopt;
    RtfDocument doc = Parser(bytes).Run();
    // The last \par ends the text rather than starting an empty paragraph.
    if (doc.paragraphs.size() > 1 && doc.paragraphs.back().empty()) doc.paragraphs.pop_back();
    return doc;
}

void FillDocument(const RtfDocument& rtf, QTextDocument& document) {
    document.clear();
    QTextCursor cursor(&document);
    for (size_t p = 0; p < rtf.paragraphs.size(); ++p) {
        if (p > 0) cursor.insertBlock();
        for (const RtfRun& run : rtf.paragraphs[p]) {
            QTextCharFormat format;
            format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(run.italic);
            cursor.insertText(run.text, format);
        }
    }
}

} // namespace Browsing
