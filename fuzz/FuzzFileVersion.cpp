// The version helper: the input is a library file whose version marker it reads.
#include "core/GeneralFunctions.h"

#include <QTemporaryDir>
#include <cstdint>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const std::string file = (dir.path() + "/library.so").toStdString();
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        << std::string(reinterpret_cast<const char*>(data), size);
    GeneralFunctions::FileVersionRecord version = GeneralFunctions::GetFileVersionText(file);
    if (version.FileMajor < 0 || version.FileMinor < 0 || version.FileRevision < 0)
        __builtin_trap();
    return 0;
}
