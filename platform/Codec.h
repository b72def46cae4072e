#pragma once
// The codecs behind the compression layer. Every stream decodes its source to interleaved
// 16-bit frames, maps channels, changes the rate and encodes to its destination.
#include "platform/AcmTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Platform::Codec {

using Acm::WaveFormatEx;

// A format record with its extra bytes.
struct Format {
    WaveFormatEx head;
    std::vector<uint8_t> extra;

    // Tag with an extensible record resolved to its sub-format (PCM or float).
    uint16_t BaseTag() const;
    std::vector<uint8_t> Bytes() const;
    uint16_t ExtraWord(size_t offset) const;
    uint32_t ExtraLong(size_t offset) const;
};

// Reads a record: the head, then ExtraSize extra bytes (none for plain PCM), never more than
// the `size` bytes that hold it.
Format ParseFormat(const uint8_t* bytes, size_t size);
// True when the record's extra bytes lie within the `size` bytes that hold it (a record of 16
// or 17 bytes counts as padded with zeros to the full head).
bool FormatFits(const uint8_t* bytes, size_t size);

struct TagInfo {
    uint16_t tag;
    const char* name;
    uint32_t maxFormatSize; // largest record of the tag in bytes
};

const TagInfo* FindTag(uint16_t tag);
std::string DescribeFormat(const Format& format);
// A complete record of the tag at the channels and rate, or false when none can be made.
// `bits` is used by PCM and float only.
bool BuildFormat(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, Format& out);

class Decoder {
public:
    virtual ~Decoder() = default;
    // Input is consumed in whole blocks of this many bytes.
    virtual size_t BlockBytes() const = 0;
    // Upper bound of the frames `bytes` of input decode to.
    virtual size_t MaxFrames(size_t bytes) const = 0;
    // Appends the interleaved 16-bit frames of whole blocks; false for data it cannot decode.
    virtual bool Decode(const uint8_t* data, size_t size, std::vector<int16_t>& out) = 0;
    virtual void Reset() {}
};

class Encoder {
public:
    virtual ~Encoder() = default;
    // Upper bound of the bytes `frames` frames encode to.
    virtual size_t MaxBytes(size_t frames) const = 0;
    virtual bool Encode(const int16_t* frames, size_t count, std::vector<uint8_t>& out) = 0;
    // At the end of the data: appends what the encoder still holds; it then starts afresh.
    virtual bool Flush(std::vector<uint8_t>&) { return true; }
    virtual void Reset() {}
};

// nullptr when the format has no decoder (encoder) here or its record is unusable.
std::unique_ptr<Decoder> MakeDecoder(const Format& source);
std::unique_ptr<Encoder> MakeEncoder(const Format& destination);

// The samples of delay the layer III encoder puts before the audio.
uint16_t LayerThreeEncoderDelay(uint16_t channels, uint32_t rate, uint32_t bitrate);

std::unique_ptr<Decoder> MakePcmDecoder(const Format& source);
std::unique_ptr<Encoder> MakePcmEncoder(const Format& destination);
std::unique_ptr<Decoder> MakeAdpcmDecoder(const Format& source);
std::unique_ptr<Encoder> MakeAdpcmEncoder(const Format& destination);
std::unique_ptr<Decoder> MakeMpegDecoder(const Format& source);
std::unique_ptr<Encoder> MakeMpegEncoder(const Format& destination);

// G.711 sample laws.
int16_t ALawToLinear(uint8_t value);
int16_t MuLawToLinear(uint8_t value);
uint8_t LinearToALaw(int16_t sample);
uint8_t LinearToMuLaw(int16_t sample);

// Copies frames from `from` to `to` channels: mono is spread, extra channels are averaged.
void MapChannels(const std::vector<int16_t>& in, uint16_t from, uint16_t to,
                 std::vector<int16_t>& out);

class Resampler {
public:
    Resampler(uint32_t inRate, uint32_t outRate, uint16_t channels);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;
    bool Ok() const { return state_ != nullptr; }
    // Appends the output for `count` input frames.
    bool Process(const int16_t* frames, size_t count, std::vector<int16_t>& out);
    // At the end of the data: appends the frames still held back; it then starts afresh.
    bool Flush(std::vector<int16_t>& out);
    void Reset();
    size_t MaxFrames(size_t inFrames) const;

private:
    static constexpr size_t kPiece = 256;
    bool Feed(const int16_t* frames, size_t count, std::vector<int16_t>& out);
    void* state_ = nullptr;
    std::vector<int16_t> held_;
    double ratio_;
    uint16_t channels_;
};

} // namespace Platform::Codec
