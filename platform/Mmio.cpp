// Buffered RIFF file I/O on stdio.
#include "platform/Mmio.h"
#include "platform/Files.h"

#include <cerrno>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <vector>

namespace Platform::Mmio {

struct MmioFile {
    std::FILE* file = nullptr;
    std::vector<char> buffer;
    bool writing = false; // last access was a write (stdio needs a seek between directions)
    bool writable = false;
};

namespace {

namespace fs = std::filesystem;
using Platform::HostPath;
using Platform::ResolveExisting;

// Switches stdio between reading and writing.
void Direction(MmioFile* f, bool write) {
    if (f->writing != write) std::fseek(f->file, 0, SEEK_CUR);
    f->writing = write;
}

long Tell(MmioFile* f) {
    return std::ftell(f->file);
}

bool SeekTo(MmioFile* f, long offset) {
    f->writing = false;
    return std::fseek(f->file, offset, SEEK_SET) == 0;
}

bool ReadLong(MmioFile* f, uint32_t& value) {
    uint8_t b[4];
    if (mmioRead(f, b, 4) != 4) return false;
    value = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
            static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    return true;
}

bool WriteLong(MmioFile* f, uint32_t value) {
    uint8_t b[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                    static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return mmioWrite(f, b, 4) == 4;
}

} // namespace

HMMIO mmioOpen(const std::string& path, MMIOINFO* info, uint32_t flags) {
    auto fail = [info](MMRESULT code) -> HMMIO {
        if (info) info->wErrorRet = code;
        return nullptr;
    };
    uint32_t access = flags & 0x3;
    const char* mode = flags & MMIO_CREATE ? "w+b" : access != MMIO_READ ? "r+b" : "rb";
    std::string actual = flags & MMIO_CREATE ? HostPath(path) : ResolveExisting(path);
    if (flags & MMIO_EXIST) {
        std::error_code error;
        bool exists = fs::is_regular_file(actual, error);
        if (info) info->wErrorRet = exists ? 0 : MMIOERR_FILENOTFOUND;
        return nullptr;
    }
    auto f = std::make_unique<MmioFile>();
    f->file = std::fopen(actual.c_str(), mode);
    if (!f->file) return fail(errno == ENOENT ? MMIOERR_FILENOTFOUND : MMIOERR_CANNOTOPEN);
    f->writable = (flags & MMIO_CREATE) || access != MMIO_READ;
    // The buffer is asked for in the open flags or in the information's own flags.
    const bool allocate = (flags & MMIO_ALLOCBUF) || (info && (info->dwFlags & MMIO_ALLOCBUF));
    if (allocate && info && info->cchBuffer > 0) {
        f->buffer.resize(static_cast<size_t>(info->cchBuffer));
        std::setvbuf(f->file, f->buffer.data(), _IOFBF, f->buffer.size());
    }
    if (info) info->wErrorRet = 0;
    return f.release();
}

MMRESULT mmioClose(HMMIO file, uint32_t) {
    if (!file) return MMIOERR_CANNOTCLOSE;
    // What was written is on disk before the file is closed (a recording is then renamed).
    bool ok =
        !file->writable || (std::fflush(file->file) == 0 && ::fsync(::fileno(file->file)) == 0);
    ok = std::fclose(file->file) == 0 && ok;
    delete file;
    return ok ? 0 : MMIOERR_CANNOTWRITE;
}

int32_t mmioRead(HMMIO file, void* buffer, int32_t size) {
    if (!file || size < 0 || (!buffer && size > 0)) return -1;
    Direction(file, false);
    size_t n = std::fread(buffer, 1, static_cast<size_t>(size), file->file);
    if (n < static_cast<size_t>(size) && std::ferror(file->file)) {
        std::clearerr(file->file);
        return -1;
    }
    std::clearerr(file->file); // end of file is not an error for the next call
    return static_cast<int32_t>(n);
}

int32_t mmioWrite(HMMIO file, const void* buffer, int32_t size) {
    if (!file || !file->writable || size < 0 || (!buffer && size > 0)) return -1;
    Direction(file, true);
    size_t n = std::fwrite(buffer, 1, static_cast<size_t>(size), file->file);
    if (n < static_cast<size_t>(size)) {
        std::clearerr(file->file);
        return -1;
    }
    return static_cast<int32_t>(n);
}

int32_t mmioSeek(HMMIO file, int32_t offset, int origin) {
    if (!file) return -1;
    if (origin != SEEK_SET && origin != SEEK_CUR && origin != SEEK_END) return -1;
    long target = offset;
    if (origin == SEEK_CUR) target += Tell(file);
    // Asking where the file stands keeps stdio's buffer: the next read needs no system call.
    if (origin == SEEK_CUR && offset == 0) return target >= 0 && target <= 0x7FFFFFFF ? target : -1;
    if (origin == SEEK_END) {
        if (std::fseek(file->file, 0, SEEK_END) != 0) return -1;
        target += Tell(file);
    }
    if (target < 0 || target > 0x7FFFFFFF || !SeekTo(file, target)) return -1;
    return static_cast<int32_t>(target);
}

MMRESULT mmioFlush(HMMIO file, uint32_t) {
    if (!file) return MMIOERR_CANNOTWRITE;
    return std::fflush(file->file) == 0 ? 0 : MMIOERR_CANNOTWRITE;
}

MMRESULT mmioGetInfo(HMMIO file, MMIOINFO* info, uint32_t) {
    if (!file || !info) return MMIOERR_CANNOTREAD;
    info->lDiskOffset = static_cast<int32_t>(Tell(file));
    info->cchBuffer = static_cast<int32_t>(file->buffer.size());
    return 0;
}

MMRESULT mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, uint32_t flags) {
    if (!file || !chunk) return MMIOERR_CHUNKNOTFOUND;
    int64_t position = Tell(file);
    int64_t limit = parent ? int64_t(parent->dwDataOffset) + parent->cksize : INT64_MAX;
    for (;;) {
        if (position + 8 > limit || !SeekTo(file, static_cast<long>(position)))
            return MMIOERR_CHUNKNOTFOUND;
        uint32_t id, size, form = 0;
        if (!ReadLong(file, id) || !ReadLong(file, size)) return MMIOERR_CHUNKNOTFOUND;
        bool container = id == FOURCC_RIFF || id == FOURCC_LIST;
        if (container && !ReadLong(file, form)) return MMIOERR_CHUNKNOTFOUND;
        bool match = true;
        if (flags & MMIO_FINDRIFF)
            match = id == FOURCC_RIFF && form == chunk->fccType;
        else if (flags & MMIO_FINDLIST)
            match = id == FOURCC_LIST && form == chunk->fccType;
        else if (flags & MMIO_FINDCHUNK)
            match = id == chunk->ckid;
        if (match) {
            chunk->ckid = id;
            chunk->cksize = size;
            chunk->fccType = form;
            chunk->dwDataOffset = static_cast<uint32_t>(position + 8);
            chunk->dwFlags = 0;
            return SeekTo(file, static_cast<long>(position + 8 + (container ? 4 : 0)))
                       ? 0
                       : MMIOERR_CANNOTSEEK;
        }
        position += 8 + int64_t(size) + (size & 1);
    }
}

MMRESULT mmioAscend(HMMIO file, MMCKINFO* chunk, uint32_t) {
    if (!file || !chunk) return MMIOERR_CANNOTSEEK;
    if (chunk->dwFlags & MMIO_DIRTY) {
        long end = Tell(file);
        if (end < static_cast<long>(chunk->dwDataOffset)) return MMIOERR_CANNOTSEEK;
        uint32_t size = static_cast<uint32_t>(end - chunk->dwDataOffset);
        if ((size & 1) && mmioWrite(file, "", 1) != 1) return MMIOERR_CANNOTWRITE;
        if (size != chunk->cksize) {
            if (!SeekTo(file, static_cast<long>(chunk->dwDataOffset) - 4) || !WriteLong(file, size))
                return MMIOERR_CANNOTWRITE;
            chunk->cksize = size;
        }
        chunk->dwFlags &= ~MMIO_DIRTY;
    }
    long next = static_cast<long>(chunk->dwDataOffset) + chunk->cksize + (chunk->cksize & 1);
    return SeekTo(file, next) ? 0 : MMIOERR_CANNOTSEEK;
}

MMRESULT mmioCreateChunk(HMMIO file, MMCKINFO* chunk, uint32_t flags) {
    if (!file || !chunk) return MMIOERR_CANNOTWRITE;
    if (flags & MMIO_CREATERIFF) chunk->ckid = FOURCC_RIFF;
    if (flags & MMIO_CREATELIST) chunk->ckid = FOURCC_LIST;
    bool container = flags & (MMIO_CREATERIFF | MMIO_CREATELIST);
    long start = Tell(file);
    if (start < 0) return MMIOERR_CANNOTSEEK;
    if (!WriteLong(file, chunk->ckid) || !WriteLong(file, chunk->cksize) ||
        (container && !WriteLong(file, chunk->fccType)))
        return MMIOERR_CANNOTWRITE;
    chunk->dwDataOffset = static_cast<uint32_t>(start + 8);
    chunk->dwFlags = MMIO_DIRTY;
    return 0;
}

} // namespace Platform::Mmio
