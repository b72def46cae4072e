// The terminal's decoder of text that mixes host paths (UTF-8) with code-page text.
#include "platform/Text1252.h"

#include <QString>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const QString text = Platform::FromHostOrWindows1252(bytes);
    // Well-formed UTF-8 reads as UTF-8, a leading byte-order mark kept as a character, and
    // nothing decodes to more characters than bytes.
    QString utf8 = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(size));
    if (bytes.starts_with("\xEF\xBB\xBF")) utf8.prepend(QChar(0xFEFF));
    if (utf8.toUtf8().toStdString() == bytes && text != utf8) __builtin_trap();
    if (static_cast<size_t>(text.size()) > size) __builtin_trap();
    return 0;
}
