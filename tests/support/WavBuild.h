#pragma once
// WAV files built in memory: chunks by hand, PCM files and sine tones. Free of the test
// framework, so benchmarks build their fixtures with it too.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace WavFixtures {

inline void PutWord(std::string& s, uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}

inline void PutLong(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline uint32_t GetLong(const std::string& s, size_t at) {
    return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 |
           static_cast<uint8_t>(s[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}

// One chunk: id, size, data and a pad byte when the size is odd.
inline std::string Chunk(const std::string& id, const std::string& data) {
    std::string s = id;
    PutLong(s, static_cast<uint32_t>(data.size()));
    s += data;
    if (data.size() % 2) s += '\0';
    return s;
}

inline std::string Riff(const std::string& form, const std::string& chunks) {
    std::string s = "RIFF";
    PutLong(s, static_cast<uint32_t>(4 + chunks.size()));
    return s + form + chunks;
}

// A "fmt " body: the 16-byte PCM record, or with `extra` the extra size word and bytes.
inline std::string FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t avg,
                           uint16_t align, uint16_t bits, const std::string* extra = nullptr) {
    std::string s;
    PutWord(s, tag);
    PutWord(s, channels);
    PutLong(s, rate);
    PutLong(s, avg);
    PutWord(s, align);
    PutWord(s, bits);
    if (extra) {
        PutWord(s, static_cast<uint16_t>(extra->size()));
        s += *extra;
    }
    return s;
}

inline std::string PcmWav(uint16_t channels, uint32_t rate, const std::vector<int16_t>& samples,
                          const std::string& moreChunks = "") {
    std::string data;
    for (int16_t v : samples)
        PutWord(data, static_cast<uint16_t>(v));
    std::string fmt = FmtBody(1, channels, rate, rate * channels * 2, channels * 2, 16);
    return Riff("WAVE", Chunk("fmt ", fmt) + moreChunks + Chunk("data", data));
}

// A layer II stream in a WAV file with the record of the format.
inline std::string MpegWav(const std::string& stream, uint16_t channels, uint32_t rate,
                           uint32_t bitrate) {
    std::string extra;
    PutWord(extra, 2);
    PutLong(extra, bitrate);
    for (uint16_t v : {channels == 1 ? 8 : 1, 0, 1, rate >= 32000 ? 0x10 : 0})
        PutWord(extra, static_cast<uint16_t>(v));
    PutLong(extra, 0);
    PutLong(extra, 0);
    return Riff("WAVE", Chunk("fmt ", FmtBody(0x50, channels, rate, bitrate / 8, 1, 0, &extra)) +
                            Chunk("data", stream));
}

// Interleaved sine, the same tone on every channel, at `level` of full scale.
inline std::vector<int16_t> Sine(uint16_t channels, uint32_t rate, size_t frames, double hz,
                                 double level = 0.5) {
    std::vector<int16_t> out;
    for (size_t f = 0; f < frames; ++f) {
        double v = std::sin(2 * M_PI * hz * static_cast<double>(f) / rate) * level * 32767;
        for (uint16_t c = 0; c < channels; ++c)
            out.push_back(static_cast<int16_t>(std::lrint(v)));
    }
    return out;
}

} // namespace WavFixtures
