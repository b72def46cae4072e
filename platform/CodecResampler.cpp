// Channel mapping and sample-rate conversion (libsoxr) of interleaved 16-bit frames.
#include "platform/Codec.h"

#include <soxr.h>

#include <algorithm>

namespace Platform::Codec {

void MapChannels(const std::vector<int16_t>& in, uint16_t from, uint16_t to,
                 std::vector<int16_t>& out) {
    size_t frames = in.size() / from;
    out.resize(frames * to);
    for (size_t f = 0; f < frames; ++f) {
        const int16_t* src = in.data() + f * from;
        int16_t* dst = out.data() + f * to;
        if (from == 1) {
            for (uint16_t c = 0; c < to; ++c)
                dst[c] = src[0];
        } else if (to == 1) {
            int sum = 0;
            for (uint16_t c = 0; c < from; ++c)
                sum += src[c];
            dst[0] = static_cast<int16_t>(sum / from);
        } else {
            // Keep the channels both have; new ones repeat the last source channel.
            for (uint16_t c = 0; c < to; ++c)
                dst[c] = src[c < from ? c : from - 1];
        }
    }
}

Resampler::Resampler(uint32_t inRate, uint32_t outRate, uint16_t channels)
    : ratio_(static_cast<double>(outRate) / inRate), channels_(channels) {
    soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
    io.flags |= SOXR_NO_DITHER; // the same input always gives the same output
    soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_error_t error = nullptr;
    soxr_t state = soxr_create(inRate, outRate, channels, &error, &io, &quality, nullptr);
    state_ = error ? nullptr : state;
}

Resampler::~Resampler() {
    if (state_) soxr_delete(static_cast<soxr_t>(state_));
}

size_t Resampler::MaxFrames(size_t inFrames) const {
    return static_cast<size_t>(static_cast<double>(inFrames + kPiece) * ratio_) + 256;
}

bool Resampler::Process(const int16_t* frames, size_t count, std::vector<int16_t>& out) {
    if (!state_) return false;
    // Input goes to the converter in pieces of one size, so that the output does not depend
    // on how the caller cut it: a part piece is held until the next call completes it.
    size_t at = 0;
    if (!held_.empty()) {
        at = std::min(kPiece - held_.size() / channels_, count);
        held_.insert(held_.end(), frames, frames + at * channels_);
        if (held_.size() < kPiece * channels_) return true;
        if (!Feed(held_.data(), kPiece, out)) return false;
        held_.clear();
    }
    for (; count - at >= kPiece; at += kPiece)
        if (!Feed(frames + at * channels_, kPiece, out)) return false;
    held_.assign(frames + at * channels_, frames + count * channels_);
    return true;
}

bool Resampler::Flush(std::vector<int16_t>& out) {
    if (!state_) return false;
    soxr_t state = static_cast<soxr_t>(state_);
    bool ok = held_.empty() || Feed(held_.data(), held_.size() / channels_, out);
    held_.clear();
    // No input tells the converter the data has ended: it gives out what it holds.
    for (size_t made = 1; ok && made > 0;) {
        size_t start = out.size();
        out.resize(start + kPiece * channels_);
        ok = soxr_process(state, nullptr, 0, nullptr, out.data() + start, kPiece, &made) == nullptr;
        out.resize(start + (ok ? made : 0) * channels_);
    }
    soxr_clear(state);
    return ok;
}

bool Resampler::Feed(const int16_t* frames, size_t count, std::vector<int16_t>& out) {
    soxr_t state = static_cast<soxr_t>(state_);
    size_t used = 0;
    // Room for about what the input makes; a full room means the converter may hold more, so
    // it is asked again. A larger room would only be filled with zeros for nothing.
    for (bool full = true; used < count || full;) {
        const size_t room = static_cast<size_t>(static_cast<double>(count - used) * ratio_) + 64;
        const size_t start = out.size();
        out.resize(start + room * channels_);
        size_t consumed = 0, made = 0;
        soxr_error_t error = soxr_process(state, frames + used * channels_, count - used, &consumed,
                                          out.data() + start, room, &made);
        out.resize(start + made * channels_);
        if (error) return false;
        used += consumed;
        full = made == room;
        if (consumed == 0 && made == 0) break;
    }
    return true;
}

void Resampler::Reset() {
    held_.clear();
    if (state_) soxr_clear(static_cast<soxr_t>(state_));
}

} // namespace Platform::Codec
