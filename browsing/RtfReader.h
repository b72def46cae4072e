#pragma once
// A reader for the small rich-text subset that cart notes and reports use: groups, paragraphs
// and line breaks, tabs, bold and italic, escaped bytes (\'hh, Windows-1252) and unicode
// (\uN with its \ucN fallback count). Font, colour and style tables, pictures and "\*"
// destinations are skipped. Anything else is ignored.
#include <QString>
#include <optional>
#include <string>
#include <vector>

class QTextDocument;

namespace Browsing {

struct RtfRun {
    QString text;
    bool bold = false;
    bool italic = false;
};

// One paragraph: its runs in order (may be empty).
using RtfParagraph = std::vector<RtfRun>;

struct RtfDocument {
    std::vector<RtfParagraph> paragraphs;
    QString PlainText() const;
};

// Nothing when the bytes do not start as rich text ("{\rtf").
std::optional<RtfDocument> ReadRtf(const std::string& bytes);

// Replaces the document's contents with the runs.
void FillDocument(const RtfDocument& rtf, QTextDocument& document);

} // namespace Browsing
