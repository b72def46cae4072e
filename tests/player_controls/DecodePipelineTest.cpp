// A WAV file of each format opened and played through the two conversion streams the player
// uses: its format to 16-bit PCM, then to the playback rate and channels.
#include "support/TestSupport.h"
#include "support/WavFixtures.h"

#include "core/MultimediaAPI.h"
#include "platform/Acm.h"
#include "platform/Mmio.h"
#include "player_controls/FlennCompress.h"

#include <gtest/gtest.h>

using namespace Flenney;
using namespace Platform::Acm;
using namespace Platform::Mmio;
using namespace WavFixtures;

namespace {

std::vector<uint8_t> SuggestPcm(uint16_t channels, uint32_t rate) {
    std::vector<uint8_t> src(kFormatHeadSize), dst(20, 0);
    StoreWaveFormat(Pcm16Format(channels, rate), src.data());
    WaveFormatEx wanted;
    wanted.FormatTag = WAVE_FORMAT_PCM;
    wanted.Channels = channels;
    wanted.SamplesPerSec = rate;
    StoreWaveFormat(wanted, dst.data());
    EXPECT_EQ(acmFormatSuggest(nullptr, src, dst.data(), 20, 0x70000), 0u);
    return dst;
}

// Reads the file's "fmt " and "data" through the RIFF layer and converts the audio in
// half-second reads to 16-bit PCM at `rate` and `channels`.
std::vector<int16_t> Play(const std::string& path, uint32_t rate, uint16_t channels) {
    MultimediaAPI::WaveFormatInfo info;
    int32_t length = 0;
    EXPECT_EQ(MultimediaAPI::ReadWaveFormat(path, info, length), 0);
    HMMIO file = mmioOpen(path, nullptr, MMIO_READ);
    MMCKINFO riff, fmt, data;
    riff.fccType = MakeFourCC("WAVE");
    fmt.ckid = MakeFourCC("fmt ");
    data.ckid = MakeFourCC("data");
    EXPECT_EQ(mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF), 0u);
    EXPECT_EQ(mmioDescend(file, &fmt, &riff, MMIO_FINDCHUNK), 0u);
    std::vector<uint8_t> formatChunk(std::max<uint32_t>(fmt.cksize, 18), 0);
    mmioRead(file, formatChunk.data(), static_cast<int32_t>(fmt.cksize));
    mmioAscend(file, &fmt, 0);
    EXPECT_EQ(mmioDescend(file, &data, &riff, MMIO_FINDCHUNK), 0u);

    std::vector<uint8_t> uncompressed = SuggestPcm(info.Channels, info.SamplesPerSec);
    std::vector<uint8_t> playback = SuggestPcm(channels, rate);
    ConversionStreamInfo decompress, convert;
    decompress.SrcBufferSize = convert.SrcBufferSize =
        static_cast<int32_t>(LoadWaveFormat(uncompressed.data()).AvgBytesPerSec);
    EXPECT_EQ(FlennCompressOpen(decompress, formatChunk, uncompressed, ""), 0);
    EXPECT_EQ(FlennCompressOpen(convert, uncompressed, playback, ""), 0);
    uint32_t widest =
        std::max({info.AvgBytesPerSec, LoadWaveFormat(uncompressed.data()).AvgBytesPerSec,
                  LoadWaveFormat(playback.data()).AvgBytesPerSec});
    std::vector<uint8_t> buffer(2 * widest);
    std::string out;
    int32_t block = std::max<int32_t>(info.BlockAlign, 1);
    int32_t read_size =
        std::max<int32_t>(static_cast<int32_t>(info.AvgBytesPerSec / 2) / block, 1) * block;
    for (int32_t left = length; left > 0;) {
        int32_t n = mmioRead(file, buffer.data(), std::min(read_size, left));
        if (n <= 0) break;
        left -= n;
        int32_t size = static_cast<int32_t>(buffer.size());
        if (info.FormatTag != WAVE_FORMAT_PCM || info.BitsPerSample != 16) {
            EXPECT_EQ(FlennCompressConvert(decompress, buffer.data(), n, size), 0);
        }
        if (info.SamplesPerSec != rate || info.Channels != channels) {
            EXPECT_EQ(FlennCompressConvert(convert, buffer.data(), n, size), 0);
        }
        out.append(reinterpret_cast<char*>(buffer.data()), static_cast<size_t>(n));
    }
    EXPECT_EQ(FlennCompressClose(decompress, ""), 0);
    EXPECT_EQ(FlennCompressClose(convert, ""), 0);
    mmioClose(file, 0);
    return Samples16(out);
}

} // namespace

TEST(DecodePipeline, EveryFormatPlaysAtEveryEngineRate) {
    TestSupport::ScratchDir dir;
    std::vector<int16_t> source = Sine(2, 44100, 44100, 500.0);
    std::string pcm = dir.File("source.wav");
    Write(pcm, PcmWav(2, 44100, source));
    ASSERT_TRUE(RunTool("twolame -b 256 '" + pcm + "' '" + dir.File("a.mp2") + "'"));
    std::string extra;
    PutWord(extra, 2);
    PutLong(extra, 256000);
    for (uint16_t v : {1, 0, 1, 0x10})
        PutWord(extra, v);
    PutLong(extra, 0);
    PutLong(extra, 0);
    Write(dir.File("mp2.wav"),
          Riff("WAVE", Chunk("fmt ", FmtBody(WAVE_FORMAT_MPEG, 2, 44100, 32000, 1, 0, &extra)) +
                           Chunk("data", Read(dir.File("a.mp2")))));
    std::vector<std::string> files = {pcm, dir.File("mp2.wav")};
    for (const char* options :
         {"-b 8 -e unsigned-integer", "-b 24 -e signed-integer", "-b 32 -e floating-point",
          "-e a-law", "-e u-law", "-e ima-adpcm", "-e ms-adpcm"}) {
        files.push_back(dir.File("f" + std::to_string(files.size()) + ".wav"));
        ASSERT_TRUE(
            RunTool(std::string("sox -D '") + pcm + "' " + options + " '" + files.back() + "'"));
    }
    for (const std::string& file : files) {
        for (uint32_t rate : {22050u, 44100u, 48000u}) {
            for (uint16_t channels : {1, 2}) {
                std::vector<int16_t> out = Play(file, rate, channels);
                std::vector<int16_t> expected = Sine(channels, rate, rate, 500.0);
                EXPECT_NEAR(static_cast<double>(out.size()) / channels, rate, rate * 0.05) << file;
                EXPECT_GT(BestCorrelation(expected, out, channels, 2000), 0.97)
                    << file << " at " << rate << " Hz, " << channels << " channels";
            }
        }
    }
}
