#pragma once
// WAV files for tests: chunks built by hand, sine tones, fixtures made with sox, and a small
// independent reader of a file's chunks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
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

inline std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct ChunkInfo {
    std::string id;
    size_t offset; // of the chunk's data
    uint32_t size;
};

// The chunks directly inside the RIFF chunk; empty when the file is not RIFF WAVE or a chunk
// runs past the RIFF size.
inline std::vector<ChunkInfo> ListChunks(const std::string& file) {
    std::vector<ChunkInfo> chunks;
    if (file.size() < 12 || file.compare(0, 4, "RIFF") != 0 || file.compare(8, 4, "WAVE") != 0)
        return chunks;
    size_t end = 8 + GetLong(file, 4);
    if (end > file.size()) return {};
    for (size_t at = 12; at + 8 <= end;) {
        ChunkInfo c{file.substr(at, 4), at + 8, GetLong(file, at + 4)};
        if (c.offset + c.size > end) return {};
        chunks.push_back(c);
        at = c.offset + c.size + (c.size & 1);
    }
    return chunks;
}

inline std::string ChunkData(const std::string& file, const std::string& id) {
    for (const ChunkInfo& c : ListChunks(file))
        if (c.id == id) return file.substr(c.offset, c.size);
    return "";
}

inline std::vector<int16_t> Samples16(const std::string& bytes) {
    std::vector<int16_t> out(bytes.size() / 2);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                      static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
    return out;
}

// Runs a fixture tool; false (and a test failure) when it is missing or fails.
inline bool RunTool(const std::string& command) {
    int rc = std::system((command + " >/dev/null 2>&1").c_str());
    EXPECT_EQ(rc, 0) << command << " (scripts/setup.sh installs sox, twolame and lame)";
    return rc == 0;
}

// sox's own 16-bit decode of a file.
inline std::vector<int16_t> SoxDecode(const std::string& in, const std::string& scratch) {
    std::string out = scratch + "/sox-decoded.wav";
    if (!RunTool("sox -D '" + in + "' -b 16 -e signed-integer '" + out + "'")) return {};
    return Samples16(ChunkData(Read(out), "data"));
}

inline int MaxDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
    int worst = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        worst = std::max(worst, std::abs(a[i] - b[i]));
    return worst;
}

// Best normalised correlation of `decoded` against `reference` over lags 0..maxLag frames
// (lossy codecs delay their output).
inline double BestCorrelation(const std::vector<int16_t>& reference,
                              const std::vector<int16_t>& decoded, size_t channels, size_t maxLag) {
    double best = 0;
    size_t span = 8192 * channels;
    size_t start = 4096 * channels;
    if (reference.size() < start + span) return 0;
    for (size_t lag = 0; lag <= maxLag; ++lag) {
        size_t shift = lag * channels;
        if (decoded.size() < start + shift + span) break;
        double xy = 0, xx = 0, yy = 0;
        for (size_t i = start; i < start + span; ++i) {
            double x = reference[i], y = decoded[i + shift];
            xy += x * y;
            xx += x * x;
            yy += y * y;
        }
        if (xx > 0 && yy > 0) best = std::max(best, xy / std::sqrt(xx * yy));
    }
    return best;
}

} // namespace WavFixtures
