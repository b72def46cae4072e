// The broadcast "cart" chunk: its stored form and the writer into an existing WAV file.
#include "core/GeneralFunctions.h"
#include "core/MultimediaAPI.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Mmio.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>

namespace MultimediaAPI {

using namespace Platform::Mmio;

static_assert(std::endian::native == std::endian::little, "the chunk is stored as laid out");

CartChunk BlankCartChunk() {
    CartChunk chunk;
    std::memset(&chunk, 0, sizeof chunk);
    std::memcpy(chunk.Version, "0101", 4);
    return chunk;
}

std::string CartChunkBytes(const CartChunk& chunk) {
    return std::string(reinterpret_cast<const char*>(&chunk), sizeof chunk);
}

CartChunk CartChunkFromBytes(const std::string& bytes) {
    CartChunk chunk;
    std::memset(&chunk, 0, sizeof chunk);
    std::memcpy(&chunk, bytes.data(), std::min(bytes.size(), sizeof chunk));
    return chunk;
}

namespace {

namespace fs = std::filesystem;

bool WritableFile(const std::string& name) {
    if (GeneralFunctions::SafeFileLen(name) <= 0) return false;
    std::error_code error;
    auto status = fs::status(Platform::ResolveExisting(name), error);
    return !error && (status.permissions() & fs::perms::owner_write) != fs::perms::none;
}

bool WriteAll(HMMIO file, const void* data, size_t size) {
    return mmioWrite(file, data, static_cast<int32_t>(size)) == static_cast<int32_t>(size);
}

// Starts a new "cart" chunk where the RIFF chunk's own extent ends (after a pad byte when that
// is an odd offset). Bytes after the RIFF chunk (a tag other tools append) go to `trailing`, to
// be written back after the new chunk.
bool InsertChunk(HMMIO file, const MMCKINFO& riff, MMCKINFO& cart, std::string& trailing) {
    const int32_t fileEnd = mmioSeek(file, 0, SEEK_END);
    if (fileEnd < 0) return false;
    int64_t end = std::min<int64_t>(int64_t(riff.dwDataOffset) + riff.cksize, fileEnd);
    end = std::max<int64_t>(end, int64_t(riff.dwDataOffset) + 4); // never inside the form type
    trailing.assign(static_cast<size_t>(std::max<int64_t>(fileEnd - end, 0)), '\0');
    if (mmioSeek(file, static_cast<int32_t>(end), SEEK_SET) != end ||
        (!trailing.empty() &&
         mmioRead(file, trailing.data(), static_cast<int32_t>(trailing.size())) !=
             static_cast<int32_t>(trailing.size())))
        return false;
    // The pad byte of an odd last chunk that the RIFF size left out is no trailing byte.
    if ((end & 1) && !trailing.empty() && trailing[0] == '\0') trailing.erase(0, 1);
    if (mmioSeek(file, static_cast<int32_t>(end), SEEK_SET) != end ||
        ((end & 1) && !WriteAll(file, "", 1)))
        return false;
    cart = MMCKINFO{};
    cart.ckid = MakeFourCC("cart");
    return mmioCreateChunk(file, &cart, 0) == 0;
}

bool Fail(HMMIO file, MMCKINFO* cart, MMCKINFO& riff) {
    if (cart) mmioAscend(file, cart, 0);
    mmioAscend(file, &riff, 0);
    mmioClose(file, 0);
    return false;
}

} // namespace

bool WriteCartChunk(const std::string& FileName, const CartChunk& Chunk,
                    const std::string& TagText) {
    if (!WritableFile(FileName)) return false;
    HMMIO file = mmioOpen(FileName, nullptr, MMIO_READWRITE);
    if (!file) {
        Platform::MsgBox("The WAV audio file is not read only, but Windows would not let the "
                         "CartChunk information be updated",
                         Platform::vbExclamation | Platform::vbOKOnly);
        return false;
    }
    MMCKINFO riff;
    riff.fccType = MakeFourCC("WAVE");
    if (mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) != 0) {
        mmioClose(file, 0);
        return false;
    }
    MMCKINFO cart;
    cart.ckid = MakeFourCC("cart");
    bool existing = mmioDescend(file, &cart, &riff, MMIO_FINDCHUNK) == 0;
    if (existing && cart.cksize < static_cast<uint32_t>(kCartChunkSize)) {
        // Too small to hold the fixed part: keep it as padding and write a new chunk.
        if (mmioSeek(file, static_cast<int32_t>(cart.dwDataOffset - 8), SEEK_SET) < 0 ||
            !WriteAll(file, "JUNK", 4))
            return Fail(file, nullptr, riff);
        existing = false;
    }
    std::string trailing;
    if (!existing && !InsertChunk(file, riff, cart, trailing)) return Fail(file, nullptr, riff);
    uint32_t chunkSize = existing ? cart.cksize : kCartChunkSize;
    if (!WriteAll(file, &Chunk, sizeof Chunk)) return Fail(file, &cart, riff);
    std::string tag = TagText;
    if (existing) {
        // The rest of a longer existing chunk must not keep an older tag text; a size past the
        // end of the file stops at the end.
        const int64_t held = std::min<int64_t>(
            chunkSize, static_cast<int64_t>(GeneralFunctions::SafeFileLen(FileName)) -
                           int64_t(cart.dwDataOffset));
        tag.resize(static_cast<size_t>(std::max<int64_t>(held - kCartChunkSize, 0)), '\0');
    }
    if (!tag.empty() && !WriteAll(file, tag.data(), tag.size())) return Fail(file, &cart, riff);
    if (existing) {
        // An existing chunk keeps its size and place; the RIFF chunk is unchanged.
        if (mmioAscend(file, &cart, 0) != 0) return Fail(file, nullptr, riff);
        return mmioClose(file, 0) == 0;
    }
    // A new chunk gets its size from what was written, the RIFF chunk ends after it and the
    // bytes that followed the RIFF chunk follow it again.
    cart.dwFlags |= MMIO_DIRTY;
    if (mmioAscend(file, &cart, 0) != 0) return Fail(file, nullptr, riff);
    riff.dwFlags |= MMIO_DIRTY;
    bool ok = mmioAscend(file, &riff, 0) == 0 &&
              (trailing.empty() || WriteAll(file, trailing.data(), trailing.size()));
    return mmioClose(file, 0) == 0 && ok;
}

} // namespace MultimediaAPI
