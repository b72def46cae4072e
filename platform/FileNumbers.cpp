#include "platform/FileNumbers.h"

#include "platform/Files.h"

#include <array>
#include <cerrno>
#include <cstdio>

namespace Platform::FileNumbers {
namespace {

constexpr int kHighest = 511;

struct OpenFiles {
    std::array<std::FILE*, kHighest + 1> files{};
    ~OpenFiles() {
        for (std::FILE*& f : files)
            if (f) std::fclose(f), f = nullptr;
    }
};

// Process-wide, like file descriptors: FreeFile never hands two instances the same number.
OpenFiles& Table() {
    static OpenFiles table;
    return table;
}

std::FILE* FileOf(int16_t number) {
    if (number < 1 || number > kHighest) return nullptr;
    return Table().files[static_cast<size_t>(number)];
}

} // namespace

int16_t FreeFile() {
    for (int16_t n = 1; n <= kHighest; ++n)
        if (!Table().files[static_cast<size_t>(n)]) return n;
    return 0;
}

int Open(int16_t number, const std::string& path, OpenMode mode) {
    if (number < 1 || number > kHighest) return errBadFileNameOrNumber;
    if (FileOf(number)) return errFileAlreadyOpen;
    std::string host = ResolveExisting(path);
    std::FILE* f = nullptr;
    switch (mode) {
    case OpenMode::Input:
        f = std::fopen(host.c_str(), "rb");
        break;
    case OpenMode::Output:
        f = std::fopen(host.c_str(), "wb");
        break;
    case OpenMode::Append:
        f = std::fopen(host.c_str(), "ab");
        break;
    case OpenMode::Binary:
        f = std::fopen(host.c_str(), "r+b");
        if (!f && errno == ENOENT) f = std::fopen(host.c_str(), "w+b");
        break;
    }
    if (!f) return ErrorNumberOfErrno(errno);
    Table().files[static_cast<size_t>(number)] = f;
    return errNone;
}

void Close(int16_t number) {
    std::FILE* f = FileOf(number);
    if (!f) return;
    std::fclose(f);
    Table().files[static_cast<size_t>(number)] = nullptr;
}

void CloseAll() {
    for (int16_t n = 1; n <= kHighest; ++n)
        Close(n);
}

bool IsOpen(int16_t number) {
    return FileOf(number) != nullptr;
}

bool AtEnd(int16_t number) {
    std::FILE* f = FileOf(number);
    if (!f) return true;
    int c = std::fgetc(f);
    if (c == EOF) return true;
    std::ungetc(c, f);
    return false;
}

int ReadByte(int16_t number) {
    std::FILE* f = FileOf(number);
    if (!f) return -1;
    int c = std::fgetc(f);
    return c == EOF ? -1 : c;
}

int Write(int16_t number, const std::string& bytes) {
    std::FILE* f = FileOf(number);
    if (!f) return errBadFileNameOrNumber;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fflush(f) != 0)
        return ErrorNumberOfErrno(errno);
    return errNone;
}

int64_t Length(int16_t number) {
    std::FILE* f = FileOf(number);
    if (!f) return -1;
    long here = std::ftell(f);
    std::fseek(f, 0, SEEK_END);
    long end = std::ftell(f);
    std::fseek(f, here, SEEK_SET);
    return end;
}

int64_t Position(int16_t number) {
    std::FILE* f = FileOf(number);
    return f ? std::ftell(f) + 1 : 0;
}

bool SetPosition(int16_t number, int64_t position) {
    std::FILE* f = FileOf(number);
    if (!f || position < 1) return false;
    return std::fseek(f, static_cast<long>(position - 1), SEEK_SET) == 0;
}

} // namespace Platform::FileNumbers
