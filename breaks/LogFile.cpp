#include "breaks/LogFile.h"

#include "platform/Files.h"

#include <cerrno>

LogFile::~LogFile() {
    Close();
}

int LogFile::Open(const std::string& path) {
    Close();
    std::string host = Platform::ResolveExisting(path);
    if (Platform::DirectoryExists(host)) return Platform::errPathFileAccess;
    errno = 0;
    file_ = std::fopen(host.c_str(), "rb");
    if (!file_) return Platform::ErrorNumberOfErrno(errno ? errno : ENOENT);
    return 0;
}

int LogFile::Close() {
    if (!file_) return 0;
    int result = std::fclose(file_) == 0 ? 0 : Platform::ErrorNumberOfErrno(errno);
    file_ = nullptr;
    return result;
}

void LogFile::Seek(int32_t position) {
    if (!file_) return;
    std::fseek(file_, position > 1 ? static_cast<long>(position - 1) : 0L, SEEK_SET);
}

int32_t LogFile::Position() const {
    if (!file_) return 0;
    long offset = std::ftell(file_);
    return offset < 0 ? 0 : static_cast<int32_t>(offset + 1);
}

bool LogFile::AtEnd() {
    if (!file_) return true;
    int c = std::fgetc(file_);
    if (c == EOF) return true;
    std::ungetc(c, file_);
    return false;
}

std::string LogFile::ReadLine() {
    std::string line;
    if (!file_) return line;
    for (int c = std::fgetc(file_); c != EOF; c = std::fgetc(file_)) {
        if (c == '\n') break;
        if (c != '\r') line += static_cast<char>(c);
    }
    return line;
}
