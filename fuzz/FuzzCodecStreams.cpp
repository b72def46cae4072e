// Format records and compressed audio through the conversion streams: input is a 16-bit record
// length, the record, then the stream's bytes, converted to 16-bit PCM at two rates.
#include "platform/Acm.h"

#include <algorithm>
#include <cstdint>
#include <vector>

using namespace Platform::Acm;

namespace {

void ConvertAll(const std::vector<uint8_t>& format, const uint8_t* data, size_t size,
                uint16_t channels, uint32_t rate) {
    uint8_t pcm[kFormatHeadSize];
    StoreWaveFormat(Pcm16Format(channels, rate), pcm);
    HACMSTREAM stream = nullptr;
    if (acmStreamOpen(&stream, nullptr, format, pcm, nullptr, 0, 0, 0) != 0) return;
    std::vector<uint8_t> in(8192), out(1 << 16);
    ACMSTREAMHEADER h;
    h.pbSrc = in.data();
    h.cbSrcLength = static_cast<uint32_t>(in.size());
    h.pbDst = out.data();
    h.cbDstLength = static_cast<uint32_t>(out.size());
    acmStreamPrepareHeader(stream, &h, 0);
    size_t held = 0;
    for (size_t at = 0;;) {
        size_t n = std::min(in.size() - held, size - at);
        std::copy(data + at, data + at + n, in.begin() + static_cast<ptrdiff_t>(held));
        at += n;
        const bool end = at == size;
        h.cbSrcLength = static_cast<uint32_t>(held + n);
        if (acmStreamConvert(stream, &h,
                             ACM_STREAMCONVERTF_BLOCKALIGN | (end ? ACM_STREAMCONVERTF_END : 0u)) !=
            0)
            break;
        held = h.cbSrcLength - h.cbSrcLengthUsed;
        std::copy(in.begin() + h.cbSrcLengthUsed, in.begin() + h.cbSrcLength, in.begin());
        if (end || (h.cbSrcLengthUsed == 0 && held == in.size())) break;
    }
    h.cbSrcLength = static_cast<uint32_t>(in.size());
    acmStreamUnprepareHeader(stream, &h, 0);
    acmStreamClose(stream, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    size_t length = std::min<size_t>(data[0] | data[1] << 8, size - 2);
    // The record exactly as long as given: the open itself must keep inside it.
    std::vector<uint8_t> format(data + 2, data + 2 + length);
    const uint8_t* stream = data + 2 + length;
    size_t streamSize = size - 2 - length;
    ConvertAll(format, stream, streamSize, 2, 44100);
    ConvertAll(format, stream, streamSize, 1, 22050);
    return 0;
}
