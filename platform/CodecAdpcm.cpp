// IMA ADPCM (decode and encode) and Microsoft ADPCM (decode) in WAV blocks.
#include "platform/Codec.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace Platform::Codec {

using namespace Acm;

namespace {

const int16_t kImaSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

const int kImaIndexShift[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

const int kMsAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                               768, 614, 512, 409, 307, 230, 230, 230};

constexpr int kMaxMsDelta = std::numeric_limits<int>::max() / 768;

int16_t Clamp(int v) {
    return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}
int16_t Word(const uint8_t* p) {
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}

struct ImaChannel {
    int predictor = 0;
    int index = 0;

    int16_t Decode(int nibble) {
        int step = kImaSteps[index];
        int diff = step >> 3;
        if (nibble & 4) diff += step;
        if (nibble & 2) diff += step >> 1;
        if (nibble & 1) diff += step >> 2;
        predictor = Clamp(nibble & 8 ? predictor - diff : predictor + diff);
        index = std::clamp(index + kImaIndexShift[nibble & 7], 0, 88);
        return static_cast<int16_t>(predictor);
    }

    int Encode(int16_t sample) {
        int diff = sample - predictor;
        int nibble = 0;
        if (diff < 0) {
            nibble = 8;
            diff = -diff;
        }
        int step = kImaSteps[index];
        for (int bit = 4; bit > 0; bit >>= 1, step >>= 1) {
            if (diff >= step) {
                nibble |= bit;
                diff -= step;
            }
        }
        Decode(nibble); // keeps the state the decoder will have
        return nibble;
    }
};

size_t ImaSamplesPerBlock(const Format& f) {
    uint16_t stated = f.ExtraWord(0);
    if (stated != 0) return stated;
    return (f.head.BlockAlign - 4u * f.head.Channels) * 2u / f.head.Channels + 1u;
}

class ImaDecoder final : public Decoder {
public:
    ImaDecoder(uint16_t channels, size_t block, size_t samples)
        : channels_(channels), block_(block), samples_(samples) {}
    size_t BlockBytes() const override { return block_; }
    size_t MaxFrames(size_t bytes) const override { return (bytes / block_ + 1) * samples_; }
    bool Decode(const uint8_t* data, size_t size, std::vector<int16_t>& out) override {
        for (size_t at = 0; at + block_ <= size; at += block_)
            DecodeBlock(data + at, out);
        return true;
    }

private:
    void DecodeBlock(const uint8_t* block, std::vector<int16_t>& out) {
        size_t first = out.size();
        out.resize(first + samples_ * channels_);
        int16_t* frames = out.data() + first;
        std::vector<ImaChannel> state(channels_);
        for (size_t c = 0; c < channels_; ++c) {
            state[c].predictor = Word(block + 4 * c);
            state[c].index = std::min<int>(block[4 * c + 2], 88);
            frames[c] = static_cast<int16_t>(state[c].predictor);
        }
        const uint8_t* p = block + 4 * channels_;
        // Groups of 8 samples per channel, 4 bytes each, low nibble first.
        for (size_t group = 0; 1 + group * 8 < samples_; ++group) {
            for (size_t c = 0; c < channels_; ++c) {
                for (size_t i = 0; i < 8; ++i) {
                    int nibble = (p[i / 2] >> ((i % 2) * 4)) & 0x0F;
                    int16_t s = state[c].Decode(nibble);
                    size_t n = 1 + group * 8 + i;
                    if (n < samples_) frames[n * channels_ + c] = s;
                }
                p += 4;
            }
        }
    }

    size_t channels_, block_, samples_;
};

class ImaEncoder final : public Encoder {
public:
    ImaEncoder(uint16_t channels, size_t block, size_t samples)
        : channels_(channels), block_(block), samples_(samples), state_(channels) {}
    size_t MaxBytes(size_t frames) const override {
        return ((pending_.size() / channels_ + frames) / samples_ + 1) * block_;
    }
    bool Encode(const int16_t* frames, size_t count, std::vector<uint8_t>& out) override {
        pending_.insert(pending_.end(), frames, frames + count * channels_);
        size_t whole = pending_.size() / (samples_ * channels_);
        for (size_t b = 0; b < whole; ++b)
            EncodeBlock(pending_.data() + b * samples_ * channels_, out);
        pending_.erase(pending_.begin(), pending_.begin() + whole * samples_ * channels_);
        return true;
    }
    // The last part block is completed with silence.
    bool Flush(std::vector<uint8_t>& out) override {
        if (!pending_.empty()) {
            pending_.resize(samples_ * channels_, 0);
            EncodeBlock(pending_.data(), out);
        }
        Reset();
        return true;
    }
    void Reset() override {
        pending_.clear();
        state_.assign(channels_, ImaChannel{});
    }

private:
    void EncodeBlock(const int16_t* frames, std::vector<uint8_t>& out) {
        size_t start = out.size();
        out.resize(start + block_, 0);
        uint8_t* p = out.data() + start;
        for (size_t c = 0; c < channels_; ++c) {
            state_[c].predictor = frames[c];
            p[4 * c] = static_cast<uint8_t>(frames[c]);
            p[4 * c + 1] = static_cast<uint8_t>(frames[c] >> 8);
            p[4 * c + 2] = static_cast<uint8_t>(state_[c].index);
        }
        p += 4 * channels_;
        for (size_t group = 0; 1 + group * 8 < samples_; ++group) {
            for (size_t c = 0; c < channels_; ++c) {
                for (size_t i = 0; i < 8; ++i) {
                    size_t n = 1 + group * 8 + i;
                    int16_t s = n < samples_ ? frames[n * channels_ + c] : 0;
                    p[i / 2] =
                        static_cast<uint8_t>(p[i / 2] | (state_[c].Encode(s) << ((i % 2) * 4)));
                }
                p += 4;
            }
        }
    }

    size_t channels_, block_, samples_;
    std::vector<ImaChannel> state_;
    std::vector<int16_t> pending_;
};

class MsAdpcmDecoder final : public Decoder {
public:
    MsAdpcmDecoder(uint16_t channels, size_t block, size_t samples,
                   std::vector<std::pair<int, int>> coefficients)
        : channels_(channels), block_(block), samples_(samples), coef_(std::move(coefficients)) {}
    size_t BlockBytes() const override { return block_; }
    size_t MaxFrames(size_t bytes) const override { return (bytes / block_ + 1) * samples_; }
    bool Decode(const uint8_t* data, size_t size, std::vector<int16_t>& out) override {
        for (size_t at = 0; at + block_ <= size; at += block_)
            if (!DecodeBlock(data + at, out)) return false;
        return true;
    }

private:
    struct Channel {
        int c1 = 0, c2 = 0, delta = 0, s1 = 0, s2 = 0;
    };

    bool DecodeBlock(const uint8_t* block, std::vector<int16_t>& out) {
        size_t ch = channels_;
        std::vector<Channel> state(ch);
        for (size_t c = 0; c < ch; ++c) {
            size_t predictor = block[c];
            if (predictor >= coef_.size()) return false;
            state[c].c1 = coef_[predictor].first;
            state[c].c2 = coef_[predictor].second;
            state[c].delta = Word(block + ch + 2 * c);
            state[c].s1 = Word(block + 3 * ch + 2 * c);
            state[c].s2 = Word(block + 5 * ch + 2 * c);
        }
        for (size_t c = 0; c < ch; ++c)
            out.push_back(static_cast<int16_t>(state[c].s2));
        for (size_t c = 0; c < ch; ++c)
            out.push_back(static_cast<int16_t>(state[c].s1));
        const uint8_t* p = block + 7 * ch;
        size_t nibbles = (samples_ - 2) * ch;
        for (size_t n = 0; n < nibbles; ++n) {
            int nibble = n % 2 == 0 ? p[n / 2] >> 4 : p[n / 2] & 0x0F;
            Channel& s = state[n % ch];
            int predicted = (s.s1 * s.c1 + s.s2 * s.c2) >> 8;
            int sample = Clamp(predicted + (nibble >= 8 ? nibble - 16 : nibble) * s.delta);
            s.s2 = s.s1;
            s.s1 = sample;
            // Bounded so that the next step cannot overflow.
            s.delta = std::clamp(kMsAdaptation[nibble] * s.delta / 256, 16, kMaxMsDelta);
            out.push_back(static_cast<int16_t>(sample));
        }
        return true;
    }

    size_t channels_, block_, samples_;
    std::vector<std::pair<int, int>> coef_;
};

} // namespace

std::unique_ptr<Decoder> MakeAdpcmDecoder(const Format& source) {
    const WaveFormatEx& h = source.head;
    size_t ch = h.Channels;
    if (source.BaseTag() == WAVE_FORMAT_IMA_ADPCM) {
        if (h.BitsPerSample != 4 || h.BlockAlign <= 4 * ch || h.BlockAlign % (4 * ch) != 0)
            return nullptr;
        size_t samples = ImaSamplesPerBlock(source);
        if (samples > (h.BlockAlign - 4 * ch) * 2 / ch + 1) return nullptr;
        return std::make_unique<ImaDecoder>(h.Channels, h.BlockAlign, samples);
    }
    // Microsoft ADPCM: samples per block, coefficient count, then the coefficient pairs.
    size_t samples = source.ExtraWord(0);
    size_t count = source.ExtraWord(2);
    if (h.BlockAlign < 7 * ch || samples < 2 || count == 0 || source.extra.size() < 4 + 4 * count)
        return nullptr;
    if ((samples - 2) * ch > (h.BlockAlign - 7 * ch) * 2) return nullptr;
    std::vector<std::pair<int, int>> coefficients;
    for (size_t i = 0; i < count; ++i)
        coefficients.emplace_back(static_cast<int16_t>(source.ExtraWord(4 + 4 * i)),
                                  static_cast<int16_t>(source.ExtraWord(6 + 4 * i)));
    return std::make_unique<MsAdpcmDecoder>(h.Channels, h.BlockAlign, samples,
                                            std::move(coefficients));
}

std::unique_ptr<Encoder> MakeAdpcmEncoder(const Format& destination) {
    const WaveFormatEx& h = destination.head;
    size_t ch = h.Channels;
    if (h.BlockAlign <= 4 * ch || h.BlockAlign % (4 * ch) != 0) return nullptr;
    size_t samples = ImaSamplesPerBlock(destination);
    if (samples > (h.BlockAlign - 4 * ch) * 2 / ch + 1) return nullptr;
    return std::make_unique<ImaEncoder>(h.Channels, h.BlockAlign, samples);
}

} // namespace Platform::Codec
