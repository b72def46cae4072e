// The broadcast "cart" chunk: its stored form and the writer into an existing WAV file.
#include "core/GeneralFunctions.h"
#include "core/MultimediaAPI.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Mmio.h"

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

// Starts a new "cart" chunk at the end of the file, after a pad byte when the file ends on
// an odd offset.
bool AppendChunk(HMMIO file, MMCKINFO& cart) {
    int32_t end = mmioSeek(file, 0, SEEK_END);
    if (end < 0 || ((end & 1) && !WriteAll(file, "", 1))) return false;
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
    if (!existing && !AppendChunk(file, cart)) return Fail(file, nullptr, riff);
    uint32_t chunkSize = existing ? cart.cksize : kCartChunkSize;
    if (!WriteAll(file, &Chunk, sizeof Chunk)) return Fail(file, &cart, riff);
    std::string tag = TagText;
    if (existing) tag.resize(std::min<size_t>(tag.size(), chunkSize - kCartChunkSize));
    if (!tag.empty()) {
        if (!WriteAll(file, tag.data(), tag.size())) return Fail(file, &cart, riff);
        // The rest of a longer existing chunk must not keep an older tag text's tail.
        if (existing) {
            std::string rest(chunkSize - kCartChunkSize - tag.size(), '\0');
            if (!WriteAll(file, rest.data(), rest.size())) return Fail(file, &cart, riff);
        }
    }
    // A new chunk gets its size from what was written; an existing one keeps its size.
    if (!existing) cart.dwFlags |= MMIO_DIRTY;
    if (mmioAscend(file, &cart, 0) != 0) return Fail(file, nullptr, riff);
    mmioSeek(file, 0, SEEK_END);
    riff.dwFlags |= MMIO_DIRTY;
    bool ok = mmioAscend(file, &riff, 0) == 0;
    return mmioClose(file, 0) == 0 && ok;
}

} // namespace MultimediaAPI
