// Format records: parsing, the known tags, complete records for a tag and their texts.
#include "platform/Codec.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Platform::Acm {

static uint16_t Word(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
static uint32_t Long(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
static void PutWord(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
static void PutLong(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

WaveFormatEx LoadWaveFormat(const uint8_t* bytes, size_t size) {
    uint8_t head[kFormatHeadSize] = {};
    std::memcpy(head, bytes, size < kFormatHeadSize ? size : kFormatHeadSize);
    WaveFormatEx f;
    f.FormatTag = Word(head);
    f.Channels = Word(head + 2);
    f.SamplesPerSec = Long(head + 4);
    f.AvgBytesPerSec = Long(head + 8);
    f.BlockAlign = Word(head + 12);
    f.BitsPerSample = Word(head + 14);
    f.ExtraSize = Word(head + 16);
    return f;
}

void StoreWaveFormat(const WaveFormatEx& f, uint8_t* bytes) {
    PutWord(bytes, f.FormatTag);
    PutWord(bytes + 2, f.Channels);
    PutLong(bytes + 4, f.SamplesPerSec);
    PutLong(bytes + 8, f.AvgBytesPerSec);
    PutWord(bytes + 12, f.BlockAlign);
    PutWord(bytes + 14, f.BitsPerSample);
    PutWord(bytes + 16, f.ExtraSize);
}

WaveFormatEx Pcm16Format(uint16_t channels, uint32_t rate) {
    WaveFormatEx f;
    f.FormatTag = WAVE_FORMAT_PCM;
    f.Channels = channels;
    f.SamplesPerSec = rate;
    f.BlockAlign = static_cast<uint16_t>(2 * channels);
    f.AvgBytesPerSec = rate * f.BlockAlign;
    f.BitsPerSample = 16;
    return f;
}

} // namespace Platform::Acm

namespace Platform::Codec {

using namespace Acm;

uint16_t Format::BaseTag() const {
    // The sub-format id sits 6 bytes into the extensible record's extra bytes.
    if (head.FormatTag == WAVE_FORMAT_EXTENSIBLE && extra.size() >= 8) return ExtraWord(6);
    return head.FormatTag;
}

uint16_t Format::ExtraWord(size_t offset) const {
    return offset + 2 <= extra.size() ? Word(extra.data() + offset) : 0;
}

uint32_t Format::ExtraLong(size_t offset) const {
    return offset + 4 <= extra.size() ? Long(extra.data() + offset) : 0;
}

std::vector<uint8_t> Format::Bytes() const {
    std::vector<uint8_t> out(kFormatHeadSize + extra.size());
    WaveFormatEx h = head;
    h.ExtraSize = static_cast<uint16_t>(extra.size());
    StoreWaveFormat(h, out.data());
    std::copy(extra.begin(), extra.end(), out.begin() + kFormatHeadSize);
    return out;
}

Format ParseFormat(const uint8_t* bytes, size_t size) {
    Format f;
    // Plain PCM records carry no extra size word that can be trusted.
    f.head = LoadWaveFormat(bytes, std::min(size, kFormatHeadSize));
    size_t held = size > kFormatHeadSize ? size - kFormatHeadSize : 0;
    if (f.head.FormatTag == WAVE_FORMAT_PCM) {
        f.head.ExtraSize = 0;
    } else {
        size_t extra = std::min<size_t>(f.head.ExtraSize, held);
        f.extra.assign(bytes + kFormatHeadSize, bytes + kFormatHeadSize + extra);
        f.head.ExtraSize = static_cast<uint16_t>(extra);
    }
    return f;
}

bool FormatFits(const uint8_t* bytes, size_t size) {
    if (size < 16) return false;
    // A record shorter than the head reads as padded with zeros, as the open paths pad it.
    WaveFormatEx head = LoadWaveFormat(bytes, size);
    return head.FormatTag == WAVE_FORMAT_PCM ||
           kFormatHeadSize + head.ExtraSize <= std::max(size, kFormatHeadSize);
}

static const TagInfo kTags[] = {
    {WAVE_FORMAT_PCM, "PCM", 16},
    {WAVE_FORMAT_ADPCM, "Microsoft ADPCM", 50},
    {WAVE_FORMAT_IEEE_FLOAT, "IEEE Float", 18},
    {WAVE_FORMAT_ALAW, "CCITT A-Law", 18},
    {WAVE_FORMAT_MULAW, "CCITT u-Law", 18},
    {WAVE_FORMAT_IMA_ADPCM, "IMA ADPCM", 20},
    {WAVE_FORMAT_MPEG, "MPEG Audio", 40},
    {WAVE_FORMAT_MPEGLAYER3, "MPEG Layer-3", 30},
};

const TagInfo* FindTag(uint16_t tag) {
    for (const TagInfo& info : kTags)
        if (info.tag == tag) return &info;
    return nullptr;
}

static bool IsMpeg(uint16_t tag) {
    return tag == WAVE_FORMAT_MPEG || tag == WAVE_FORMAT_MPEGLAYER3;
}

static uint32_t MpegBitrate(const Format& f) {
    if (f.head.FormatTag == WAVE_FORMAT_MPEG && f.ExtraLong(2) != 0) return f.ExtraLong(2);
    return f.head.AvgBytesPerSec * 8;
}

std::string DescribeFormat(const Format& f) {
    char rate[32];
    std::snprintf(rate, sizeof rate, "%u.%03u kHz", f.head.SamplesPerSec / 1000,
                  f.head.SamplesPerSec % 1000);
    char depth[32];
    if (IsMpeg(f.head.FormatTag))
        std::snprintf(depth, sizeof depth, "%u kBit/s", MpegBitrate(f) / 1000);
    else
        std::snprintf(depth, sizeof depth, "%u Bit", f.head.BitsPerSample);
    std::string channels = f.head.Channels == 1   ? "Mono"
                           : f.head.Channels == 2 ? "Stereo"
                                                  : std::to_string(f.head.Channels) + " Channels";
    return std::string(rate) + ", " + depth + ", " + channels;
}

// Layer II and III bit rates for new recordings, in kBit/s.
static uint32_t LayerTwoRate(uint16_t channels, uint32_t rate) {
    uint32_t stereo = rate >= 32000 ? 256 : 128;
    return channels == 1 ? stereo / 2 : stereo;
}

static uint32_t LayerThreeRate(uint16_t channels, uint32_t rate) {
    uint32_t stereo = rate >= 32000 ? 128 : rate >= 16000 ? 64 : 32;
    return channels == 1 ? stereo / 2 : stereo;
}

static bool MpegOneRate(uint32_t rate) {
    return rate == 32000 || rate == 44100 || rate == 48000;
}
static bool MpegTwoRate(uint32_t rate) {
    return rate == 16000 || rate == 22050 || rate == 24000;
}
static bool MpegTwoHalfRate(uint32_t rate) {
    return rate == 8000 || rate == 11025 || rate == 12000;
}

static void PutExtraWord(std::vector<uint8_t>& extra, uint16_t v) {
    extra.push_back(static_cast<uint8_t>(v));
    extra.push_back(static_cast<uint8_t>(v >> 8));
}

static void PutExtraLong(std::vector<uint8_t>& extra, uint32_t v) {
    PutExtraWord(extra, static_cast<uint16_t>(v));
    PutExtraWord(extra, static_cast<uint16_t>(v >> 16));
}

static uint16_t AdpcmBlockAlign(uint16_t channels, uint32_t rate) {
    uint16_t perChannel = rate <= 11025 ? 256 : rate <= 22050 ? 512 : 1024;
    return static_cast<uint16_t>(perChannel * channels);
}

static const int16_t kMsAdpcmCoefficients[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                                                   {240, 0}, {460, -208}, {392, -232}};

bool BuildFormat(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, Format& out) {
    if (channels < 1 || channels > 8 || rate < 1000 || rate > 384000) return false;
    Format f;
    f.head.FormatTag = tag;
    f.head.Channels = channels;
    f.head.SamplesPerSec = rate;
    switch (tag) {
    case WAVE_FORMAT_PCM:
        if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
        f.head.BitsPerSample = bits;
        f.head.BlockAlign = static_cast<uint16_t>(channels * bits / 8);
        break;
    case WAVE_FORMAT_IEEE_FLOAT:
        f.head.BitsPerSample = 32;
        f.head.BlockAlign = static_cast<uint16_t>(channels * 4);
        break;
    case WAVE_FORMAT_ALAW:
    case WAVE_FORMAT_MULAW:
        f.head.BitsPerSample = 8;
        f.head.BlockAlign = channels;
        break;
    case WAVE_FORMAT_IMA_ADPCM: {
        f.head.BitsPerSample = 4;
        f.head.BlockAlign = AdpcmBlockAlign(channels, rate);
        uint16_t samples =
            static_cast<uint16_t>((f.head.BlockAlign - 4 * channels) * 2 / channels + 1);
        PutExtraWord(f.extra, samples);
        f.head.AvgBytesPerSec = static_cast<uint32_t>(
            (static_cast<uint64_t>(rate) * f.head.BlockAlign + samples / 2) / samples);
        break;
    }
    case WAVE_FORMAT_ADPCM: {
        f.head.BitsPerSample = 4;
        f.head.BlockAlign = AdpcmBlockAlign(channels, rate);
        uint16_t samples =
            static_cast<uint16_t>((f.head.BlockAlign - 7 * channels) * 2 / channels + 2);
        PutExtraWord(f.extra, samples);
        PutExtraWord(f.extra, 7);
        for (const auto& pair : kMsAdpcmCoefficients) {
            PutExtraWord(f.extra, static_cast<uint16_t>(pair[0]));
            PutExtraWord(f.extra, static_cast<uint16_t>(pair[1]));
        }
        f.head.AvgBytesPerSec = static_cast<uint32_t>(
            (static_cast<uint64_t>(rate) * f.head.BlockAlign + samples / 2) / samples);
        break;
    }
    case WAVE_FORMAT_MPEG: {
        if (channels > 2 || !(MpegOneRate(rate) || MpegTwoRate(rate))) return false;
        uint32_t bitrate = LayerTwoRate(channels, rate) * 1000;
        uint64_t frame = 144ull * bitrate;
        f.head.BlockAlign = frame % rate == 0 ? static_cast<uint16_t>(frame / rate) : 1;
        f.head.AvgBytesPerSec = bitrate / 8;
        PutExtraWord(f.extra, 2); // layer II
        PutExtraLong(f.extra, bitrate);
        PutExtraWord(f.extra, channels == 1 ? 8 : 1); // single channel / stereo
        PutExtraWord(f.extra, 0);
        PutExtraWord(f.extra, 1);                            // no emphasis
        PutExtraWord(f.extra, MpegOneRate(rate) ? 0x10 : 0); // MPEG-1 id
        PutExtraLong(f.extra, 0);
        PutExtraLong(f.extra, 0);
        break;
    }
    case WAVE_FORMAT_MPEGLAYER3: {
        if (channels > 2 || !(MpegOneRate(rate) || MpegTwoRate(rate) || MpegTwoHalfRate(rate)))
            return false;
        uint32_t bitrate = LayerThreeRate(channels, rate) * 1000;
        uint32_t frameBytes = (MpegOneRate(rate) ? 144 : 72) * bitrate;
        f.head.BlockAlign = 1;
        f.head.AvgBytesPerSec = bitrate / 8;
        PutExtraWord(f.extra, 1);
        // Frames are padded as the standard says where the frame size is not whole.
        PutExtraLong(f.extra, frameBytes % rate == 0 ? 2 : 0);
        PutExtraWord(f.extra, static_cast<uint16_t>(frameBytes / rate));
        PutExtraWord(f.extra, 1);
        PutExtraWord(f.extra, LayerThreeEncoderDelay(channels, rate, bitrate));
        break;
    }
    default:
        return false;
    }
    if (f.head.AvgBytesPerSec == 0) f.head.AvgBytesPerSec = rate * f.head.BlockAlign;
    f.head.ExtraSize = static_cast<uint16_t>(f.extra.size());
    out = f;
    return true;
}

std::unique_ptr<Decoder> MakeDecoder(const Format& source) {
    if (source.head.Channels == 0 || source.head.SamplesPerSec == 0) return nullptr;
    switch (source.BaseTag()) {
    case WAVE_FORMAT_PCM:
    case WAVE_FORMAT_IEEE_FLOAT:
    case WAVE_FORMAT_ALAW:
    case WAVE_FORMAT_MULAW:
        return MakePcmDecoder(source);
    case WAVE_FORMAT_ADPCM:
    case WAVE_FORMAT_IMA_ADPCM:
        return MakeAdpcmDecoder(source);
    case WAVE_FORMAT_MPEG:
    case WAVE_FORMAT_MPEGLAYER3:
        return MakeMpegDecoder(source);
    default:
        return nullptr;
    }
}

std::unique_ptr<Encoder> MakeEncoder(const Format& destination) {
    if (destination.head.Channels == 0 || destination.head.SamplesPerSec == 0) return nullptr;
    switch (destination.BaseTag()) {
    case WAVE_FORMAT_PCM:
    case WAVE_FORMAT_IEEE_FLOAT:
    case WAVE_FORMAT_ALAW:
    case WAVE_FORMAT_MULAW:
        return MakePcmEncoder(destination);
    case WAVE_FORMAT_IMA_ADPCM:
        return MakeAdpcmEncoder(destination);
    case WAVE_FORMAT_MPEG:
    case WAVE_FORMAT_MPEGLAYER3:
        return MakeMpegEncoder(destination);
    default:
        return nullptr;
    }
}

} // namespace Platform::Codec
