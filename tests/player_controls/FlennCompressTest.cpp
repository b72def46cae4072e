#include "support/TestSupport.h"
#include "support/WavFixtures.h"

#include "platform/Acm.h"
#include "platform/Codec.h"
#include "player_controls/FlennCompress.h"

#include <gtest/gtest.h>

#include <random>

using namespace Flenney;
using namespace Platform::Acm;
using namespace WavFixtures;

namespace {

std::vector<uint8_t> Pcm16(uint16_t channels, uint32_t rate) {
    std::vector<uint8_t> f(kFormatHeadSize);
    StoreWaveFormat(Pcm16Format(channels, rate), f.data());
    return f;
}

std::vector<uint8_t> Ima(uint16_t channels, uint32_t rate) {
    Platform::Codec::Format f;
    EXPECT_TRUE(Platform::Codec::BuildFormat(WAVE_FORMAT_IMA_ADPCM, channels, rate, 16, f));
    return f.Bytes();
}

std::string PcmBytes(const std::vector<int16_t>& samples) {
    std::string s;
    for (int16_t v : samples)
        PutWord(s, static_cast<uint16_t>(v));
    return s;
}

// Converts `input` in pieces through the wrapper with a caller's buffer of `capacity` bytes.
std::string ConvertInPieces(ConversionStreamInfo& s, const std::string& input,
                            const std::vector<size_t>& pieces, size_t capacity) {
    std::string out;
    std::vector<uint8_t> buffer(capacity);
    size_t at = 0, piece = 0;
    while (at < input.size()) {
        size_t n = std::min({pieces[piece++ % pieces.size()], input.size() - at, capacity});
        std::copy(input.begin() + at, input.begin() + at + n, buffer.begin());
        at += n;
        int32_t length = static_cast<int32_t>(n);
        EXPECT_EQ(FlennCompressConvert(s, buffer.data(), length, static_cast<int32_t>(capacity)),
                  0);
        EXPECT_LE(static_cast<size_t>(length), capacity);
        out.append(reinterpret_cast<char*>(buffer.data()), static_cast<size_t>(length));
    }
    return out;
}

} // namespace

TEST(FlennCompress, OpenConvertCloseWithCarriedInput) {
    TestSupport::ScratchDir dir;
    std::vector<uint8_t> ima = Ima(1, 22050), pcm = Pcm16(1, 22050);
    std::vector<int16_t> source = Sine(1, 22050, 22050, 440);
    // The coded form, made through the wrapper itself.
    ConversionStreamInfo encoder;
    encoder.SrcBufferSize = 8192;
    ASSERT_EQ(FlennCompressOpen(encoder, pcm, ima, dir.File("debug.log")), 0);
    EXPECT_EQ(encoder.SrcBufferSize, 16384);
    EXPECT_GT(encoder.DestBufferSize, 0);
    std::string coded = ConvertInPieces(encoder, PcmBytes(source), {8192}, 8192);
    EXPECT_EQ(coded.size() % 512, 0u);
    EXPECT_EQ(FlennCompressClose(encoder, dir.File("debug.log")), 0);
    EXPECT_EQ(encoder.hStream, nullptr);
    EXPECT_EQ(encoder.pSrcBuffer, nullptr);
    std::string log = Read(dir.File("debug.log"));
    EXPECT_NE(log.find("Alloc Source Buffer        Size: 16384\r\n"), std::string::npos);
    EXPECT_NE(log.find("StreamInfo.hDestBuffer = "), std::string::npos);
    EXPECT_NE(log.find("Free Mem: Address: "), std::string::npos);

    // Decoding in pieces that end inside blocks: the part block is carried to the next call.
    ConversionStreamInfo decoder;
    decoder.SrcBufferSize = 4096;
    ASSERT_EQ(FlennCompressOpen(decoder, ima, pcm, ""), 0);
    std::vector<uint8_t> buffer(8192);
    std::copy(coded.begin(), coded.begin() + 700, buffer.begin());
    int32_t length = 700;
    ASSERT_EQ(FlennCompressConvert(decoder, buffer.data(), length, 8192), 0);
    EXPECT_EQ(decoder.SrcBytesHeld, 700 - 512);
    EXPECT_EQ(length, 1017 * 2);
    // A reset drops the carried bytes: the next whole block decodes on its own.
    ClearConversionStream(decoder);
    EXPECT_EQ(decoder.SrcBytesHeld, 0);
    std::copy(coded.begin() + 512, coded.begin() + 1024, buffer.begin());
    length = 512;
    ASSERT_EQ(FlennCompressConvert(decoder, buffer.data(), length, 8192), 0);
    EXPECT_EQ(length, 1017 * 2);
    EXPECT_EQ(decoder.SrcBytesHeld, 0);
    ClearConversionStream(decoder);
    std::mt19937 random(3);
    std::vector<size_t> pieces;
    for (int i = 0; i < 40; ++i)
        pieces.push_back(1 + random() % 2000);
    std::string decoded = ConvertInPieces(decoder, coded, pieces, 8192);
    std::vector<int16_t> samples = Samples16(decoded);
    EXPECT_EQ(samples.size(), coded.size() / 512 * 1017);
    EXPECT_GT(BestCorrelation(source, samples, 1, 0), 0.999);
    EXPECT_EQ(FlennCompressClose(decoder, ""), 0);
}

TEST(FlennCompress, NothingToDoAndNeverOpened) {
    ConversionStreamInfo never;
    EXPECT_EQ(FlennCompressClose(never, ""), 0);
    EXPECT_EQ(never.hStream, nullptr);
    uint8_t data[4] = {1, 2, 3, 4};
    int32_t length = 4;
    EXPECT_EQ(FlennCompressConvert(never, data, length, 4), 0);
    EXPECT_EQ(length, 4);
    std::vector<uint8_t> pcm = Pcm16(2, 44100), mono = Pcm16(1, 44100);
    ConversionStreamInfo s;
    s.SrcBufferSize = 1024;
    ASSERT_EQ(FlennCompressOpen(s, pcm, mono, ""), 0);
    length = 0;
    EXPECT_EQ(FlennCompressConvert(s, data, length, 4), 0);
    EXPECT_EQ(length, 0);
    length = 4;
    EXPECT_EQ(FlennCompressConvert(s, nullptr, length, 4), 0);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(FlennCompressClose(s, ""), 0);
}

TEST(FlennCompress, OutputNeverOverrunsTheCallersBuffer) {
    TestSupport::ScriptedBoxes boxes;
    std::vector<uint8_t> mono = Pcm16(1, 22050), stereo = Pcm16(2, 44100);
    std::vector<int16_t> source = Sine(1, 22050, 4410, 440);
    ConversionStreamInfo s;
    s.SrcBufferSize = 4096;
    ASSERT_EQ(FlennCompressOpen(s, mono, stereo, ""), 0);
    // Four times the output of the input: with a buffer as big as the input, the rest waits.
    std::string whole = ConvertInPieces(s, PcmBytes(source), {1000}, 1000);
    std::vector<uint8_t> guard(2000, 0xAB);
    int32_t length;
    do { // what is still waiting comes out with the next calls
        length = 2;
        std::fill(guard.begin(), guard.begin() + 2, 0);
        ASSERT_EQ(FlennCompressConvert(s, guard.data(), length, 1000), 0);
        whole.append(reinterpret_cast<char*>(guard.data()), static_cast<size_t>(length));
        EXPECT_EQ(guard[1000], 0xAB);
    } while (length == 1000);
    EXPECT_NEAR(static_cast<double>(whole.size()), 4.0 * source.size() * 2, 4.0 * 4 * 300);
    // Input that would not fit beside the carried bytes is refused, not copied.
    std::vector<uint8_t> big(9000, 0);
    length = 9000;
    EXPECT_EQ(FlennCompressConvert(s, big.data(), length, 9000),
              static_cast<int32_t>(MMSYSERR_INVALPARAM));
    EXPECT_EQ(length, 9000);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].title, "FlennStream - FlennCompress Convert");
    EXPECT_EQ(FlennCompressClose(s, ""), 0);
}

TEST(FlennCompress, FailedOpenUndoesItsSteps) {
    TestSupport::ScriptedBoxes boxes;
    std::vector<uint8_t> pcm = Pcm16(2, 44100);
    std::vector<uint8_t> bad = pcm;
    bad[0] = 0x99; // no codec
    ConversionStreamInfo s;
    s.SrcBufferSize = 1024;
    EXPECT_EQ(FlennCompressOpen(s, bad, pcm, ""), static_cast<int32_t>(ACMERR_NOTPOSSIBLE));
    EXPECT_EQ(s.hStream, nullptr);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].title, "FlennStream - FlennCompress Open");
    // The size step fails: the stream that opened is closed again.
    s.SrcBufferSize = 0;
    EXPECT_EQ(FlennCompressOpen(s, pcm, pcm, ""), static_cast<int32_t>(ACMERR_NOTPOSSIBLE));
    EXPECT_EQ(s.hStream, nullptr);
    EXPECT_EQ(boxes.Shown()[1].title, "FlennStream - FlennCompress Size");
    // The buffers cannot be had: stream closed, nothing allocated, the asked size kept.
    s.SrcBufferSize = 0x50000000;
    EXPECT_EQ(FlennCompressOpen(s, pcm, pcm, ""), static_cast<int32_t>(MMSYSERR_NOMEM));
    EXPECT_EQ(s.hStream, nullptr);
    EXPECT_EQ(s.pSrcBuffer, nullptr);
    EXPECT_EQ(s.pDestBuffer, nullptr);
    EXPECT_EQ(s.SrcBufferSize, 0x50000000);
    // After a failure the record opens and closes normally.
    s.SrcBufferSize = 1024;
    EXPECT_EQ(FlennCompressOpen(s, pcm, pcm, ""), 0);
    EXPECT_EQ(FlennCompressClose(s, ""), 0);
}
