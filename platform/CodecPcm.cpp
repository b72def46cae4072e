// Linear PCM (8, 16, 24, 32-bit and 32-bit float) and the G.711 laws.
#include "platform/Codec.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace Platform::Codec {

using namespace Acm;

int16_t MuLawToLinear(uint8_t value) {
    int u = ~value & 0xFF;
    int t = (((u & 0x0F) << 3) + 0x84) << ((u & 0x70) >> 4);
    return static_cast<int16_t>((u & 0x80) ? 0x84 - t : t - 0x84);
}

int16_t ALawToLinear(uint8_t value) {
    int a = value ^ 0x55;
    int t = (a & 0x0F) << 4;
    int segment = (a & 0x70) >> 4;
    if (segment == 0)
        t += 8;
    else
        t = (t + 0x108) << (segment - 1);
    return static_cast<int16_t>((a & 0x80) ? t : -t);
}

// Segment of a magnitude: 0 below 256, then one per octave up to 7.
static int Segment(int magnitude) {
    int segment = 0;
    for (int m = magnitude >> 8; m != 0 && segment < 7; m >>= 1)
        ++segment;
    return segment;
}

uint8_t LinearToALaw(int16_t sample) {
    int s = sample;
    int mask = 0xD5;
    if (s < 0) {
        mask = 0x55;
        s = -s - 1;
    }
    int segment = Segment(s);
    int code = segment == 0 ? s >> 4 : (segment << 4) | ((s >> (segment + 3)) & 0x0F);
    return static_cast<uint8_t>(code ^ mask);
}

uint8_t LinearToMuLaw(int16_t sample) {
    const int bias = 0x84, clip = 32635;
    int s = sample;
    int sign = 0;
    if (s < 0) {
        sign = 0x80;
        s = -s;
    }
    if (s > clip) s = clip;
    s += bias;
    int exponent = 7;
    for (int mask = 0x4000; (s & mask) == 0 && exponent > 0; mask >>= 1)
        --exponent;
    int mantissa = (s >> (exponent + 3)) & 0x0F;
    return static_cast<uint8_t>(~(sign | (exponent << 4) | mantissa));
}

static int16_t Clamp16(double v) {
    if (v >= 32767.0) return 32767;
    if (v <= -32768.0) return -32768;
    return static_cast<int16_t>(std::lrint(v));
}

namespace {

// 16-bit PCM is already the frames' layout on a little-endian host: copied whole.
bool Native16(uint16_t tag, uint16_t bits) {
    return tag == WAVE_FORMAT_PCM && bits == 16 && std::endian::native == std::endian::little;
}

class LinearDecoder final : public Decoder {
public:
    LinearDecoder(uint16_t tag, uint16_t bits, uint16_t channels, uint16_t blockAlign)
        : tag_(tag), bits_(bits), channels_(channels), block_(blockAlign) {}
    size_t BlockBytes() const override { return block_; }
    size_t MaxFrames(size_t bytes) const override { return bytes / block_; }
    bool Decode(const uint8_t* data, size_t size, std::vector<int16_t>& out) override {
        size_t sampleBytes = block_ / channels_;
        size_t count = size / block_ * channels_;
        if (Native16(tag_, bits_)) {
            const size_t at = out.size();
            out.resize(at + count);
            std::memcpy(out.data() + at, data, count * 2);
            return true;
        }
        out.reserve(out.size() + count);
        for (size_t i = 0; i < count; ++i)
            out.push_back(Sample(data + i * sampleBytes));
        return true;
    }

private:
    int16_t Sample(const uint8_t* p) const {
        switch (tag_) {
        case WAVE_FORMAT_ALAW:
            return ALawToLinear(*p);
        case WAVE_FORMAT_MULAW:
            return MuLawToLinear(*p);
        case WAVE_FORMAT_IEEE_FLOAT: {
            float f;
            std::memcpy(&f, p, 4);
            return std::isnan(f) ? 0 : Clamp16(static_cast<double>(f) * 32768.0);
        }
        default:
            break;
        }
        switch (bits_) {
        case 8:
            return static_cast<int16_t>((p[0] - 128) * 256);
        case 16:
            return static_cast<int16_t>(p[0] | (p[1] << 8));
        case 24: {
            int32_t v = static_cast<int32_t>(static_cast<uint32_t>(p[2]) << 24 |
                                             static_cast<uint32_t>(p[1]) << 16 |
                                             static_cast<uint32_t>(p[0]) << 8);
            return Clamp16(std::floor(v / 65536.0 + 0.5));
        }
        default: {
            int32_t v = static_cast<int32_t>(static_cast<uint32_t>(p[3]) << 24 |
                                             static_cast<uint32_t>(p[2]) << 16 |
                                             static_cast<uint32_t>(p[1]) << 8 | p[0]);
            return Clamp16(std::floor(v / 65536.0 + 0.5));
        }
        }
    }

    uint16_t tag_, bits_, channels_, block_;
};

class LinearEncoder final : public Encoder {
public:
    LinearEncoder(uint16_t tag, uint16_t bits, uint16_t channels)
        : tag_(tag), bits_(bits), channels_(channels) {}
    size_t MaxBytes(size_t frames) const override { return frames * channels_ * bits_ / 8; }
    bool Encode(const int16_t* frames, size_t count, std::vector<uint8_t>& out) override {
        size_t samples = count * channels_;
        if (Native16(tag_, bits_)) {
            const auto* bytes = reinterpret_cast<const uint8_t*>(frames);
            out.insert(out.end(), bytes, bytes + samples * 2);
            return true;
        }
        out.reserve(out.size() + samples * bits_ / 8);
        for (size_t i = 0; i < samples; ++i)
            Put(frames[i], out);
        return true;
    }

private:
    void Put(int16_t s, std::vector<uint8_t>& out) const {
        if (tag_ == WAVE_FORMAT_ALAW) return out.push_back(LinearToALaw(s));
        if (tag_ == WAVE_FORMAT_MULAW) return out.push_back(LinearToMuLaw(s));
        if (tag_ == WAVE_FORMAT_IEEE_FLOAT) {
            float f = static_cast<float>(s) / 32768.0f;
            uint8_t b[4];
            std::memcpy(b, &f, 4);
            out.insert(out.end(), b, b + 4);
            return;
        }
        if (bits_ == 8) return out.push_back(static_cast<uint8_t>((s >> 8) + 128));
        uint32_t v = static_cast<uint32_t>(static_cast<int32_t>(s)) << (bits_ - 16);
        for (int i = 0; i < bits_ / 8; ++i)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }

    uint16_t tag_, bits_, channels_;
};

// Bits per sample the tag's records must carry; 0 for one not handled here.
bool LinearShapeOk(uint16_t tag, uint16_t bits) {
    switch (tag) {
    case WAVE_FORMAT_PCM:
        return bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case WAVE_FORMAT_IEEE_FLOAT:
        return bits == 32;
    case WAVE_FORMAT_ALAW:
    case WAVE_FORMAT_MULAW:
        return bits == 8;
    default:
        return false;
    }
}

} // namespace

std::unique_ptr<Decoder> MakePcmDecoder(const Format& source) {
    uint16_t tag = source.BaseTag();
    const WaveFormatEx& h = source.head;
    if (!LinearShapeOk(tag, h.BitsPerSample)) return nullptr;
    if (h.BlockAlign != h.Channels * h.BitsPerSample / 8) return nullptr;
    return std::make_unique<LinearDecoder>(tag, h.BitsPerSample, h.Channels, h.BlockAlign);
}

std::unique_ptr<Encoder> MakePcmEncoder(const Format& destination) {
    uint16_t tag = destination.BaseTag();
    const WaveFormatEx& h = destination.head;
    if (!LinearShapeOk(tag, h.BitsPerSample)) return nullptr;
    if (h.BlockAlign != h.Channels * h.BitsPerSample / 8) return nullptr;
    return std::make_unique<LinearEncoder>(tag, h.BitsPerSample, h.Channels);
}

} // namespace Platform::Codec
