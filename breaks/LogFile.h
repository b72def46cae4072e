#pragma once
// A text file open for input, read line by line from any byte position. CR LF and LF alone
// end a line; a CR elsewhere is dropped. Positions are 1-based byte offsets.
#include <cstdint>
#include <cstdio>
#include <string>

class LogFile {
public:
    LogFile() = default;
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Opens an existing file (case-insensitive name fallback); the run-time error number or 0.
    int Open(const std::string& path);
    // The run-time error number of closing, or 0.
    int Close();
    bool IsOpen() const { return file_ != nullptr; }

    void Seek(int32_t position); // position of the next byte read, from 1
    int32_t Position() const;    // 1-based position of the next byte
    bool AtEnd();
    std::string ReadLine(); // "" at the end

private:
    std::FILE* file_ = nullptr;
};
