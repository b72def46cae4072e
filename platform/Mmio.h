#pragma once
// Buffered file I/O with RIFF chunk navigation: open, read, write, seek, descend into a chunk,
// ascend out of it (rewriting the size of a chunk marked dirty), create a chunk.
#include <cstdint>
#include <cstdio> // SEEK_SET, SEEK_CUR, SEEK_END
#include <string>

namespace Platform::Mmio {

using FOURCC = uint32_t;
using MMRESULT = uint32_t;

constexpr FOURCC MakeFourCC(const char (&id)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(id[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(id[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(id[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(id[3])) << 24;
}

constexpr FOURCC FOURCC_RIFF = MakeFourCC("RIFF");
constexpr FOURCC FOURCC_LIST = MakeFourCC("LIST");

enum : uint32_t {
    MMIO_READ = 0x0,
    MMIO_WRITE = 0x1,
    MMIO_READWRITE = 0x2,
    MMIO_CREATE = 0x1000,
    MMIO_EXIST = 0x4000,
    MMIO_ALLOCBUF = 0x10000,
    // descend
    MMIO_FINDCHUNK = 0x10,
    MMIO_FINDRIFF = 0x20,
    MMIO_FINDLIST = 0x40,
    // create chunk
    MMIO_CREATERIFF = 0x20,
    MMIO_CREATELIST = 0x40,
    // chunk flag: size to be rewritten at ascend
    MMIO_DIRTY = 0x10000000,
};

constexpr MMRESULT MMIOERR_FILENOTFOUND = 257;
constexpr MMRESULT MMIOERR_OUTOFMEMORY = 258;
constexpr MMRESULT MMIOERR_CANNOTOPEN = 259;
constexpr MMRESULT MMIOERR_CANNOTCLOSE = 260;
constexpr MMRESULT MMIOERR_CANNOTREAD = 261;
constexpr MMRESULT MMIOERR_CANNOTWRITE = 262;
constexpr MMRESULT MMIOERR_CANNOTSEEK = 263;
constexpr MMRESULT MMIOERR_CANNOTEXPAND = 264;
constexpr MMRESULT MMIOERR_CHUNKNOTFOUND = 265;

struct MMCKINFO {
    FOURCC ckid = 0;
    uint32_t cksize = 0;
    FOURCC fccType = 0;
    uint32_t dwDataOffset = 0; // file offset of the chunk's data (after id and size)
    uint32_t dwFlags = 0;
};

struct MMIOINFO {
    uint32_t dwFlags = 0;
    int32_t cchBuffer = 0;   // read/write buffer size with MMIO_ALLOCBUF
    uint32_t wErrorRet = 0;  // why an open failed
    int32_t lDiskOffset = 0; // current file position (GetInfo)
};

struct MmioFile;
using HMMIO = MmioFile*;

// nullptr on failure, with the reason in info->wErrorRet when info is given. An existing file
// whose exact name is missing is found by a case-insensitive match in its folder.
HMMIO mmioOpen(const std::string& path, MMIOINFO* info, uint32_t flags);
MMRESULT mmioClose(HMMIO file, uint32_t flags);
// Bytes read (0 at the end), -1 on error.
int32_t mmioRead(HMMIO file, void* buffer, int32_t size);
// Bytes written, -1 on error.
int32_t mmioWrite(HMMIO file, const void* buffer, int32_t size);
// New position, -1 on error.
int32_t mmioSeek(HMMIO file, int32_t offset, int origin);
MMRESULT mmioFlush(HMMIO file, uint32_t flags);
MMRESULT mmioGetInfo(HMMIO file, MMIOINFO* info, uint32_t flags);

// From the current position (within `parent` when given): with MMIO_FINDCHUNK the chunk whose
// id is chunk->ckid, with MMIO_FINDRIFF / MMIO_FINDLIST a RIFF / LIST chunk of form
// chunk->fccType, without flags the next chunk. Leaves the position at the chunk's data (after
// the form type of a RIFF or LIST chunk).
MMRESULT mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, uint32_t flags);
// Moves past the end of the chunk. A dirty chunk first gets its size from the current
// position and a pad byte when that size is odd.
MMRESULT mmioAscend(HMMIO file, MMCKINFO* chunk, uint32_t flags);
// Writes a chunk header (and form type with MMIO_CREATERIFF / MMIO_CREATELIST) at the current
// position and marks the chunk dirty.
MMRESULT mmioCreateChunk(HMMIO file, MMCKINFO* chunk, uint32_t flags);

} // namespace Platform::Mmio
