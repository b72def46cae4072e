#pragma once
// A random-access file of fixed-length records, numbered from 1, as the classic "Open For
// Random" gives it. Reads and writes move whole records at their position; errors come back as
// run-time error numbers (platform/Files.h). Other programs may hold the same file open: no
// lock is taken.
#include <cstddef>
#include <cstdint>
#include <string>

namespace Platform {

class RecordFile {
public:
    RecordFile() = default;
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    RecordFile(RecordFile&& other) noexcept;
    RecordFile& operator=(RecordFile&& other) noexcept;

    // Opens an existing file (found ignoring case when the exact name is missing) or creates
    // it under the exact name; read-write, or read-only when writing is not allowed. Closes a
    // file already open first. Returns 0 or the error number.
    int Open(const std::string& path, size_t recordLength);
    // Returns 0, or the error number of a failed close (the file counts as closed anyway).
    int Close();
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    size_t RecordLength() const { return recordLength_; }

    // Length of the open file in bytes, -1 when it is not open or cannot be asked.
    int64_t Length() const;
    // Reads record `record` (1-based) whole into buffer: errInputPastEnd when the file ends
    // before the record does, errBadFileNameOrNumber when not open or record < 1.
    int Read(int64_t record, void* buffer) const;
    // Writes record `record` whole, extending the file when it lies beyond the end.
    int Write(int64_t record, const void* buffer);

private:
    int fd_ = -1;
    size_t recordLength_ = 0;
    std::string path_;
};

} // namespace Platform
