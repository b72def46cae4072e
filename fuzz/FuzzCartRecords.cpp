// Cart records and list files: a 300-byte list entry decoded, converted and encoded again; the
// input as a one-record list file; the input as a WAV file whose cart chunk is rewritten.
#include "carts/CartRecord.h"
#include "carts/Vantor_Cart_Routines_Internal.h"
#include "core/MultimediaAPI.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace Vantor_Cart_Routines;

namespace {

std::string Scratch(const char* suffix) {
    return QDir::tempPath().toStdString() + "/vntzel-fuzz-" + std::to_string(getpid()) + suffix;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool hooked = [] {
        Platform::SetMsgBoxHook(
            [](const Platform::ShownBox& box) { return Platform::DefaultAnswer(box.buttons); });
        return true;
    }();
    (void)hooked;
    ListEntryBytes bytes{};
    std::memcpy(bytes.data(), data, std::min(size, bytes.size()));
    CartRecord rec = ListEntryToCartRecord(DecodeListEntry(bytes));
    std::string text;
    GetCartDescription(rec, true, text);
    GetCartDescription(rec, false, text);
    EncodeListEntry(CartRecordToListEntry(rec));
    int16_t line = 0;
    int32_t mode = 0;
    DecodeHardwareOutput(rec.IntroStartOutput, line, mode);

    static const std::string list = Scratch(".lst");
    WriteFile(list, data, size);
    Internal::ReadSingleEntry(list, bytes);

    static const std::string wave = Scratch(".wav");
    WriteFile(wave, data, size);
    MultimediaAPI::WriteCartChunk(wave, MultimediaAPI::BlankCartChunk(), "tag");
    MultimediaAPI::WaveFormatInfo format;
    int32_t length = 0;
    MultimediaAPI::ReadWaveFormat(wave, format, length);
    return 0;
}
