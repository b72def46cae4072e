// MPEG audio in WAV: layers I-III decoded by libmpg123, layer II encoded by libtwolame and
// layer III by libmp3lame.
#include "platform/Codec.h"

#include <lame/lame.h>
#include <mpg123.h>
#include <twolame.h>

#include <algorithm>

namespace Platform::Codec {

using namespace Acm;

namespace {

constexpr size_t kSamplesPerFrame = 1152;

class MpegDecoder final : public Decoder {
public:
    MpegDecoder(uint32_t rate, uint16_t channels, uint32_t avgBytes)
        : rate_(rate), channels_(channels), avgBytes_(std::max<uint32_t>(avgBytes, 1000)) {
        Open();
    }
    ~MpegDecoder() override { Close(); }
    bool Ok() const { return handle_ != nullptr; }
    size_t BlockBytes() const override { return 1; }
    size_t MaxFrames(size_t bytes) const override {
        return static_cast<size_t>(static_cast<double>(bytes) / avgBytes_ * rate_) +
               4 * kSamplesPerFrame;
    }
    bool Decode(const uint8_t* data, size_t size, std::vector<int16_t>& out) override {
        if (!handle_) return false;
        if (size > 0 && mpg123_feed(handle_, data, size) != MPG123_OK) return false;
        alignas(int16_t) unsigned char chunk[16384];
        for (;;) {
            size_t done = 0;
            int result = mpg123_read(handle_, chunk, sizeof chunk, &done);
            const int16_t* samples = reinterpret_cast<const int16_t*>(chunk);
            out.insert(out.end(), samples, samples + done / 2);
            if (result == MPG123_OK || result == MPG123_NEW_FORMAT) continue;
            if (result == MPG123_NEED_MORE || result == MPG123_DONE) return true;
            // Damaged data: start again on the next input rather than fail the stream.
            Reset();
            return true;
        }
    }
    void Reset() override {
        Close();
        Open();
    }

private:
    void Open() {
        int error = 0;
        handle_ = mpg123_new(nullptr, &error);
        if (!handle_) return;
        long flags = MPG123_QUIET | (channels_ == 1 ? MPG123_MONO_MIX : MPG123_FORCE_STEREO);
        bool ok = mpg123_param(handle_, MPG123_ADD_FLAGS, flags, 0) == MPG123_OK &&
                  mpg123_format_none(handle_) == MPG123_OK &&
                  mpg123_format(handle_, static_cast<long>(rate_),
                                channels_ == 1 ? MPG123_MONO : MPG123_STEREO,
                                MPG123_ENC_SIGNED_16) == MPG123_OK &&
                  mpg123_open_feed(handle_) == MPG123_OK;
        if (!ok) Close();
    }
    void Close() {
        if (handle_) mpg123_delete(handle_);
        handle_ = nullptr;
    }

    mpg123_handle* handle_ = nullptr;
    uint32_t rate_;
    uint16_t channels_;
    uint32_t avgBytes_;
};

// Frames are handed to the encoders in pieces of this many.
constexpr size_t kEncodePiece = 4608;

// Hands the frames to an encoder call a piece at a time and appends what each call makes;
// false when a call fails.
template <class Call>
bool EncodeInPieces(const int16_t* frames, size_t count, uint16_t channels, size_t bufferBytes,
                    std::vector<uint8_t>& out, Call call) {
    std::vector<unsigned char> buffer(bufferBytes);
    for (size_t at = 0; at < count; at += kEncodePiece) {
        int n = static_cast<int>(std::min(kEncodePiece, count - at));
        int made = call(frames + at * channels, n, buffer.data(), static_cast<int>(buffer.size()));
        if (made < 0) return false;
        out.insert(out.end(), buffer.begin(), buffer.begin() + made);
    }
    return true;
}

class LayerTwoEncoder final : public Encoder {
public:
    LayerTwoEncoder(uint32_t rate, uint16_t channels, uint32_t bitrate, uint16_t mode)
        : rate_(rate), channels_(channels), bitrate_(bitrate), mode_(mode) {
        Open();
    }
    ~LayerTwoEncoder() override { Close(); }
    bool Ok() const { return options_ != nullptr; }
    size_t MaxBytes(size_t frames) const override {
        return (frames + 4 * kSamplesPerFrame) * (bitrate_ / 8) / rate_ + 1024;
    }
    bool Encode(const int16_t* frames, size_t count, std::vector<uint8_t>& out) override {
        if (!options_) return false;
        return EncodeInPieces(
            frames, count, channels_, MaxBytes(kEncodePiece) + 16384, out,
            [this](const short* p, int n, unsigned char* buffer, int size) {
                return channels_ == 1
                           ? twolame_encode_buffer(options_, p, p, n, buffer, size)
                           : twolame_encode_buffer_interleaved(options_, p, n, buffer, size);
            });
    }
    bool Flush(std::vector<uint8_t>& out) override {
        if (!options_) return false;
        std::vector<unsigned char> buffer(MaxBytes(kEncodePiece) + 16384);
        int made = twolame_encode_flush(options_, buffer.data(), static_cast<int>(buffer.size()));
        if (made > 0) out.insert(out.end(), buffer.begin(), buffer.begin() + made);
        Reset();
        return made >= 0;
    }
    void Reset() override {
        Close();
        Open();
    }

private:
    void Open() {
        options_ = twolame_init();
        if (!options_) return;
        TWOLAME_MPEG_mode mode = channels_ == 1 ? TWOLAME_MONO
                                 : mode_ == 2   ? TWOLAME_JOINT_STEREO
                                 : mode_ == 4   ? TWOLAME_DUAL_CHANNEL
                                                : TWOLAME_STEREO;
        int rate = static_cast<int>(rate_);
        twolame_set_verbosity(options_, 0);
        twolame_set_num_channels(options_, channels_);
        twolame_set_in_samplerate(options_, rate);
        twolame_set_out_samplerate(options_, rate);
        twolame_set_version(options_, rate >= 32000 ? TWOLAME_MPEG1 : TWOLAME_MPEG2);
        twolame_set_mode(options_, mode);
        twolame_set_bitrate(options_, static_cast<int>(bitrate_ / 1000));
        if (twolame_init_params(options_) != 0) Close();
    }
    void Close() {
        if (options_) twolame_close(&options_);
        options_ = nullptr;
    }

    twolame_options* options_ = nullptr;
    uint32_t rate_;
    uint16_t channels_;
    uint32_t bitrate_;
    uint16_t mode_;
};

// The layer III encoder set up as it is for a recording.
lame_global_flags* OpenLayerThree(uint32_t rate, uint16_t channels, uint32_t bitrate) {
    lame_global_flags* flags = lame_init();
    if (!flags) return nullptr;
    int r = static_cast<int>(rate);
    lame_set_num_channels(flags, channels);
    lame_set_in_samplerate(flags, r);
    lame_set_out_samplerate(flags, r);
    lame_set_brate(flags, static_cast<int>(bitrate / 1000));
    lame_set_mode(flags, channels == 1 ? MONO : JOINT_STEREO);
    lame_set_bWriteVbrTag(flags, 0);
    if (lame_init_params(flags) < 0) {
        lame_close(flags);
        return nullptr;
    }
    return flags;
}

class LayerThreeEncoder final : public Encoder {
public:
    LayerThreeEncoder(uint32_t rate, uint16_t channels, uint32_t bitrate)
        : rate_(rate), channels_(channels), bitrate_(bitrate) {
        Open();
    }
    ~LayerThreeEncoder() override { Close(); }
    bool Ok() const { return flags_ != nullptr; }
    size_t MaxBytes(size_t frames) const override { return frames * 5 / 4 + 7200; }
    bool Encode(const int16_t* frames, size_t count, std::vector<uint8_t>& out) override {
        if (!flags_) return false;
        std::vector<short> piece;
        return EncodeInPieces(
            frames, count, channels_, MaxBytes(kEncodePiece), out,
            [this, &piece](const short* p, int n, unsigned char* buffer, int size) {
                piece.assign(p, p + static_cast<size_t>(n) * channels_);
                return channels_ == 1
                           ? lame_encode_buffer(flags_, piece.data(), piece.data(), n, buffer, size)
                           : lame_encode_buffer_interleaved(flags_, piece.data(), n, buffer, size);
            });
    }
    bool Flush(std::vector<uint8_t>& out) override {
        if (!flags_) return false;
        std::vector<unsigned char> buffer(MaxBytes(kEncodePiece));
        int made = lame_encode_flush(flags_, buffer.data(), static_cast<int>(buffer.size()));
        if (made > 0) out.insert(out.end(), buffer.begin(), buffer.begin() + made);
        Reset();
        return made >= 0;
    }
    void Reset() override {
        Close();
        Open();
    }

private:
    void Open() { flags_ = OpenLayerThree(rate_, channels_, bitrate_); }
    void Close() {
        if (flags_) lame_close(flags_);
        flags_ = nullptr;
    }

    lame_global_flags* flags_ = nullptr;
    uint32_t rate_;
    uint16_t channels_;
    uint32_t bitrate_;
};

template <typename T> std::unique_ptr<T> IfOk(std::unique_ptr<T> codec) {
    return codec->Ok() ? std::move(codec) : nullptr;
}

} // namespace

uint16_t LayerThreeEncoderDelay(uint16_t channels, uint32_t rate, uint32_t bitrate) {
    lame_global_flags* flags = OpenLayerThree(rate, channels, bitrate);
    if (!flags) return 0;
    int delay = lame_get_encoder_delay(flags);
    lame_close(flags);
    return static_cast<uint16_t>(std::clamp(delay, 0, 0xFFFF));
}

std::unique_ptr<Decoder> MakeMpegDecoder(const Format& source) {
    const WaveFormatEx& h = source.head;
    if (h.Channels > 2) return nullptr;
    return IfOk(std::make_unique<MpegDecoder>(h.SamplesPerSec, h.Channels, h.AvgBytesPerSec));
}

std::unique_ptr<Encoder> MakeMpegEncoder(const Format& destination) {
    const WaveFormatEx& h = destination.head;
    if (h.Channels > 2 || h.AvgBytesPerSec == 0) return nullptr;
    if (h.FormatTag == WAVE_FORMAT_MPEGLAYER3)
        return IfOk(
            std::make_unique<LayerThreeEncoder>(h.SamplesPerSec, h.Channels, h.AvgBytesPerSec * 8));
    // MPEG record: layer word, bit rate, mode. Only layer II is encoded.
    uint16_t layer = destination.ExtraWord(0);
    if (layer != 2) return nullptr;
    uint32_t bitrate = destination.ExtraLong(2) ? destination.ExtraLong(2) : h.AvgBytesPerSec * 8;
    return IfOk(std::make_unique<LayerTwoEncoder>(h.SamplesPerSec, h.Channels, bitrate,
                                                  destination.ExtraWord(6)));
}

} // namespace Platform::Codec
