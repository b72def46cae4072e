// The rich-text reader of cart notes over arbitrary bytes, then into a text document.
#include "browsing/RtfReader.h"
#include "fuzz/FuzzApplication.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSupport::Application<QGuiApplication>();
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.size() < 5) bytes = "{\\rtf" + bytes;
    if (auto doc = Browsing::ReadRtf(bytes)) {
        QTextDocument document;
        Browsing::FillDocument(*doc, document);
        (void)doc->PlainText();
    }
    return 0;
}
