#pragma once
// WAV files for tests: the builders of WavBuild.h, fixtures made with sox, and a small
// independent reader of a file's chunks.
#include "support/WavBuild.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace WavFixtures {

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
