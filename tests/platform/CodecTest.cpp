#include "support/TestSupport.h"
#include "support/WavFixtures.h"

#include "platform/Acm.h"
#include "platform/Codec.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>

using namespace Platform::Acm;
using namespace WavFixtures;

namespace {

std::vector<uint8_t> Bytes(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

std::vector<uint8_t> Pcm16(uint16_t channels, uint32_t rate) {
    std::vector<uint8_t> f(kFormatHeadSize);
    StoreWaveFormat(Pcm16Format(channels, rate), f.data());
    return f;
}

std::vector<uint8_t> Built(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits = 16) {
    Platform::Codec::Format f;
    EXPECT_TRUE(Platform::Codec::BuildFormat(tag, channels, rate, bits, f));
    return f.Bytes();
}

// Converts `input` through a stream in pieces of the given sizes (all at once when empty),
// carrying what the stream did not use, as the controls do.
std::string Convert(const std::vector<uint8_t>& src, const std::vector<uint8_t>& dst,
                    const std::string& input, std::vector<size_t> pieces = {}) {
    HACMSTREAM stream = nullptr;
    EXPECT_EQ(acmStreamOpen(&stream, nullptr, src, dst, nullptr, 0, 0, 0), 0u);
    if (!stream) return "";
    if (pieces.empty()) pieces.push_back(input.size());
    size_t biggest = *std::max_element(pieces.begin(), pieces.end()) + 65536;
    uint32_t outSize = 0;
    EXPECT_EQ(acmStreamSize(stream, static_cast<uint32_t>(biggest), &outSize, 0), 0u);
    std::vector<uint8_t> in(2 * biggest), out(outSize);
    ACMSTREAMHEADER h;
    h.pbSrc = in.data();
    h.cbSrcLength = static_cast<uint32_t>(in.size());
    h.pbDst = out.data();
    h.cbDstLength = static_cast<uint32_t>(out.size());
    EXPECT_EQ(acmStreamPrepareHeader(stream, &h, 0), 0u);
    std::string result;
    size_t held = 0, at = 0, piece = 0;
    while (at < input.size()) {
        size_t n = std::min(pieces[piece++ % pieces.size()], input.size() - at);
        std::copy(input.begin() + at, input.begin() + at + n, in.begin() + held);
        at += n;
        h.cbSrcLength = static_cast<uint32_t>(held + n);
        EXPECT_EQ(acmStreamConvert(stream, &h, ACM_STREAMCONVERTF_BLOCKALIGN), 0u);
        result.append(reinterpret_cast<char*>(out.data()), h.cbDstLengthUsed);
        held = held + n - h.cbSrcLengthUsed;
        std::copy(in.begin() + h.cbSrcLengthUsed, in.begin() + h.cbSrcLengthUsed + held,
                  in.begin());
    }
    // The end of the data drains the stream; output still waiting comes out with empty input.
    uint32_t flags = ACM_STREAMCONVERTF_END;
    do {
        h.cbSrcLength = 0;
        EXPECT_EQ(acmStreamConvert(stream, &h, std::exchange(flags, 0u)), 0u);
        result.append(reinterpret_cast<char*>(out.data()), h.cbDstLengthUsed);
    } while (h.cbDstLengthUsed == h.cbDstLength);
    h.cbSrcLength = static_cast<uint32_t>(in.size());
    EXPECT_EQ(acmStreamUnprepareHeader(stream, &h, 0), 0u);
    EXPECT_EQ(acmStreamClose(stream, 0), 0u);
    return result;
}

// Our decode of a WAV file to 16-bit PCM at its own rate and channels.
std::vector<int16_t> Decode(const std::string& path) {
    std::string file = Read(path);
    std::string fmt = ChunkData(file, "fmt ");
    fmt.resize(std::max<size_t>(fmt.size(), kFormatHeadSize), '\0');
    WaveFormatEx head = LoadWaveFormat(reinterpret_cast<const uint8_t*>(fmt.data()));
    return Samples16(
        Convert(Bytes(fmt), Pcm16(head.Channels, head.SamplesPerSec), ChunkData(file, "data")));
}

std::string SineWav(const TestSupport::ScratchDir& dir, uint16_t channels, uint32_t rate,
                    size_t frames, double hz = 1000) {
    std::string path = dir.File("sine.wav");
    Write(path, PcmWav(channels, rate, Sine(channels, rate, frames, hz)));
    return path;
}

std::string PcmBytes(const std::vector<int16_t>& samples) {
    std::string s;
    for (int16_t v : samples)
        PutWord(s, static_cast<uint16_t>(v));
    return s;
}

} // namespace

TEST(G711, KnownCodeValues) {
    using namespace Platform::Codec;
    EXPECT_EQ(MuLawToLinear(0xFF), 0);
    EXPECT_EQ(MuLawToLinear(0x00), -32124);
    EXPECT_EQ(MuLawToLinear(0x80), 32124);
    EXPECT_EQ(MuLawToLinear(0x7F), 0);
    EXPECT_EQ(ALawToLinear(0xD5), 8);
    EXPECT_EQ(ALawToLinear(0x55), -8);
    EXPECT_EQ(ALawToLinear(0xAA), 32256);
    EXPECT_EQ(ALawToLinear(0x2A), -32256);
    EXPECT_EQ(LinearToMuLaw(0), 0xFF);
    EXPECT_EQ(LinearToMuLaw(32767), 0x80);
    EXPECT_EQ(LinearToMuLaw(-32768), 0x00);
    EXPECT_EQ(LinearToALaw(0), 0xD5);
    EXPECT_EQ(LinearToALaw(32767), 0xAA);
    EXPECT_EQ(LinearToALaw(-32768), 0x2A);
    // Every code decodes to a value that encodes back to the same code (bar mu-law's -0).
    for (int code = 0; code < 256; ++code) {
        EXPECT_EQ(LinearToALaw(ALawToLinear(static_cast<uint8_t>(code))), code);
        if (code != 0x7F) {
            EXPECT_EQ(LinearToMuLaw(MuLawToLinear(static_cast<uint8_t>(code))), code);
        }
    }
}

// Files made by sox decode to the samples sox itself decodes them to.
class SoxDecodeTest : public ::testing::TestWithParam<std::pair<std::string, int>> {};

TEST_P(SoxDecodeTest, MatchesSoxDecode) {
    TestSupport::ScratchDir dir;
    for (uint16_t channels : {1, 2}) {
        std::string source = SineWav(dir, channels, 22050, 22050, 440.0);
        std::string coded = dir.File("coded.wav");
        ASSERT_TRUE(RunTool("sox -D '" + source + "' " + GetParam().first + " '" + coded + "'"));
        std::vector<int16_t> reference = SoxDecode(coded, dir.Path());
        std::vector<int16_t> ours = Decode(coded);
        ASSERT_FALSE(reference.empty());
        // Whole blocks only: a short last block may be left out.
        EXPECT_LE(reference.size() - ours.size(), 2048u * channels) << GetParam().first;
        EXPECT_GT(ours.size(), reference.size() / 2);
        EXPECT_LE(MaxDifference(reference, ours), GetParam().second) << GetParam().first;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, SoxDecodeTest,
                         ::testing::Values(std::make_pair("-b 8 -e unsigned-integer", 0),
                                           std::make_pair("-b 24 -e signed-integer", 0),
                                           std::make_pair("-b 32 -e signed-integer", 0),
                                           std::make_pair("-b 32 -e floating-point", 1),
                                           std::make_pair("-e a-law", 0),
                                           std::make_pair("-e u-law", 0),
                                           std::make_pair("-e ima-adpcm", 0),
                                           std::make_pair("-e ms-adpcm", 0)));

TEST(ImaAdpcm, OurEncodingDecodesTheSameInSoxAndCloseToTheSource) {
    TestSupport::ScratchDir dir;
    std::vector<int16_t> source = Sine(2, 44100, 44100, 1000.0);
    std::vector<uint8_t> ima = Built(WAVE_FORMAT_IMA_ADPCM, 2, 44100);
    std::string coded = Convert(Pcm16(2, 44100), ima, PcmBytes(source));
    WaveFormatEx head = LoadWaveFormat(ima.data());
    EXPECT_EQ(head.BlockAlign, 2048);
    EXPECT_EQ(coded.size() % head.BlockAlign, 0u);
    std::string extra(ima.begin() + kFormatHeadSize, ima.end());
    std::string path = dir.File("ima.wav");
    Write(path, Riff("WAVE", Chunk("fmt ", FmtBody(head.FormatTag, 2, 44100, head.AvgBytesPerSec,
                                                   head.BlockAlign, 4, &extra)) +
                                 Chunk("data", coded)));
    std::vector<int16_t> ours = Decode(path);
    std::vector<int16_t> sox = SoxDecode(path, dir.Path());
    ASSERT_EQ(ours.size(), sox.size());
    EXPECT_EQ(MaxDifference(ours, sox), 0);
    EXPECT_GT(BestCorrelation(source, ours, 2, 0), 0.999);
}

TEST(Mpeg, LayerTwoWavMadeWithTwolameDecodes) {
    TestSupport::ScratchDir dir;
    std::vector<int16_t> source = Sine(2, 48000, 48000, 1000.0);
    Write(dir.File("in.wav"), PcmWav(2, 48000, source));
    ASSERT_TRUE(
        RunTool("twolame -b 256 -m s '" + dir.File("in.wav") + "' '" + dir.File("out.mp2") + "'"));
    std::string mp2 = Read(dir.File("out.mp2"));
    std::string extra;
    PutWord(extra, 2);
    PutLong(extra, 256000);
    PutWord(extra, 1);
    PutWord(extra, 0);
    PutWord(extra, 1);
    PutWord(extra, 0x10);
    PutLong(extra, 0);
    PutLong(extra, 0);
    std::string path = dir.File("mp2.wav");
    Write(path,
          Riff("WAVE", Chunk("fmt ", FmtBody(WAVE_FORMAT_MPEG, 2, 48000, 32000, 768, 0, &extra)) +
                           Chunk("data", mp2)));
    std::vector<int16_t> ours = Decode(path);
    EXPECT_NEAR(static_cast<double>(ours.size()), source.size(), 2.0 * 1152 * 2);
    EXPECT_GT(BestCorrelation(source, ours, 2, 2000), 0.99);
}

TEST(Mpeg, LayerThreeWavMadeWithLameDecodes) {
    TestSupport::ScratchDir dir;
    std::vector<int16_t> source = Sine(1, 44100, 44100, 500.0);
    Write(dir.File("in.wav"), PcmWav(1, 44100, source));
    ASSERT_TRUE(RunTool("lame --quiet -b 64 -m m '" + dir.File("in.wav") + "' '" +
                        dir.File("out.mp3") + "'"));
    std::string extra;
    PutWord(extra, 1);
    PutLong(extra, 2);
    PutWord(extra, 208);
    PutWord(extra, 1);
    PutWord(extra, 1393);
    std::string path = dir.File("mp3.wav");
    Write(path, Riff("WAVE",
                     Chunk("fmt ", FmtBody(WAVE_FORMAT_MPEGLAYER3, 1, 44100, 8000, 1, 0, &extra)) +
                         Chunk("data", Read(dir.File("out.mp3")))));
    std::vector<int16_t> ours = Decode(path);
    EXPECT_GT(BestCorrelation(source, ours, 1, 3000), 0.98);
}

TEST(Mpeg, LayerThreeRecordDescribesTheEncodedStream) {
    for (uint32_t rate : {44100u, 48000u, 22050u}) {
        std::vector<uint8_t> mp3 = Built(WAVE_FORMAT_MPEGLAYER3, 2, rate);
        Platform::Codec::Format f = Platform::Codec::ParseFormat(mp3.data(), mp3.size());
        std::string stream = Convert(Pcm16(2, rate), mp3, PcmBytes(Sine(2, rate, rate, 440.0)));
        // Frame headers: sync, then the padding bit of the third byte.
        size_t frames = 0, padded = 0;
        for (size_t at = 0; at + 4 <= stream.size(); ++at) {
            auto b = [&](size_t i) { return static_cast<uint8_t>(stream[at + i]); };
            if (b(0) != 0xFF || (b(1) & 0xE6) != 0xE2) continue;
            ++frames;
            padded += (b(2) >> 1) & 1;
            at += f.ExtraWord(6) - 1; // the frame size without padding
        }
        ASSERT_GT(frames, 10u) << rate;
        // 2: never padded; 0: padded as the standard says.
        EXPECT_EQ(f.ExtraLong(2), padded == 0 ? 2u : 0u) << rate;
        EXPECT_EQ(f.ExtraWord(10), 576) << "the encoder's delay at " << rate;
    }
}

// The recorder's encoders: what they write decodes back close to what went in.
TEST(Mpeg, OurLayerTwoAndThreeEncodingsDecodeBack) {
    for (uint16_t tag : {WAVE_FORMAT_MPEG, WAVE_FORMAT_MPEGLAYER3}) {
        for (uint16_t channels : {1, 2}) {
            std::vector<int16_t> source = Sine(channels, 48000, 48000, 750.0);
            std::vector<uint8_t> mpeg = Built(tag, channels, 48000);
            std::string coded = Convert(Pcm16(channels, 48000), mpeg, PcmBytes(source), {4800});
            ASSERT_GT(coded.size(), 1000u);
            std::vector<int16_t> back =
                Samples16(Convert(mpeg, Pcm16(channels, 48000), coded, {777}));
            EXPECT_GT(BestCorrelation(source, back, channels, 3000), 0.98)
                << "tag " << tag << " channels " << channels;
        }
    }
}

TEST(Streams, PiecesOfRandomSizeGiveTheSameOutputAsOneCall) {
    std::mt19937 random(7);
    std::vector<int16_t> source = Sine(2, 22050, 30000, 300.0);
    std::vector<uint8_t> ima = Built(WAVE_FORMAT_IMA_ADPCM, 2, 22050);
    std::string coded = Convert(Pcm16(2, 22050), ima, PcmBytes(source));
    std::vector<size_t> pieces;
    for (int i = 0; i < 50; ++i)
        pieces.push_back(1 + random() % 3000);
    // Decoding and rate and channel conversion in one stream.
    std::string whole = Convert(ima, Pcm16(1, 44100), coded);
    std::string pieced = Convert(ima, Pcm16(1, 44100), coded, pieces);
    EXPECT_EQ(whole.size(), pieced.size());
    EXPECT_TRUE(whole == pieced);
    std::string pcmWhole = Convert(Pcm16(2, 22050), Pcm16(2, 48000), PcmBytes(source));
    EXPECT_TRUE(pcmWhole == Convert(Pcm16(2, 22050), Pcm16(2, 48000), PcmBytes(source), pieces));
}

TEST(Streams, RateAndChannelConversionKeepsPitchAndLength) {
    std::vector<int16_t> source = Sine(1, 22050, 22050, 1000.0);
    std::vector<int16_t> out =
        Samples16(Convert(Pcm16(1, 22050), Pcm16(2, 44100), PcmBytes(source)));
    // Drained at the end of the data: the whole length, within a frame.
    EXPECT_NEAR(static_cast<double>(out.size()), 2.0 * 44100, 2.0);
    // Both channels carry the tone at the new rate.
    std::vector<int16_t> expected = Sine(2, 44100, 44100, 1000.0);
    EXPECT_GT(BestCorrelation(expected, out, 2, 200), 0.999);
    for (size_t i = 0; i + 1 < out.size(); i += 2)
        ASSERT_EQ(out[i], out[i + 1]);
}

TEST(Streams, TheEndOfTheDataDrainsTheEncoders) {
    std::vector<int16_t> source = Sine(1, 22050, 22050, 440.0);
    // IMA ADPCM: the last part block is completed, 22 blocks of 1017 samples.
    std::vector<uint8_t> ima = Built(WAVE_FORMAT_IMA_ADPCM, 1, 22050);
    std::string coded = Convert(Pcm16(1, 22050), ima, PcmBytes(source), {5000});
    EXPECT_EQ(coded.size(), 22u * 512);
    EXPECT_EQ(Samples16(Convert(ima, Pcm16(1, 22050), coded)).size(), 22u * 1017);
    // The MPEG encoders give out their last frames.
    for (uint16_t tag : {WAVE_FORMAT_MPEG, WAVE_FORMAT_MPEGLAYER3}) {
        std::vector<uint8_t> mpeg = Built(tag, 1, 22050);
        std::string frames = Convert(Pcm16(1, 22050), mpeg, PcmBytes(source), {4410});
        size_t back = Samples16(Convert(mpeg, Pcm16(1, 22050), frames)).size();
        EXPECT_GE(back, source.size()) << tag;
        EXPECT_LE(back, source.size() + 3 * 1152) << tag;
    }
}

TEST(Formats, HostileRecordsStayInsideTheirBytes) {
    // A record claiming 9000 extra bytes in a 30-byte chunk.
    std::string extra(12, '\x01');
    std::string body = FmtBody(WAVE_FORMAT_ADPCM, 1, 22050, 11155, 512, 4, &extra);
    body[16] = '\x28';
    body[17] = '\x23';
    const auto* bytes = reinterpret_cast<const uint8_t*>(body.data());
    EXPECT_FALSE(Platform::Codec::FormatFits(bytes, body.size()));
    EXPECT_EQ(Platform::Codec::ParseFormat(bytes, body.size()).extra.size(), 12u);
    // Every entry taking a record keeps inside the record's own bytes (held alone on the heap,
    // so that reading past them shows under the address sanitizer).
    const std::vector<uint8_t> hostile(body.begin(), body.end());
    const std::vector<uint8_t> stereo = Pcm16(2, 44100);
    HACMSTREAM stream = nullptr;
    EXPECT_EQ(acmStreamOpen(&stream, nullptr, hostile, stereo, nullptr, 0, 0, 0),
              MMSYSERR_INVALPARAM);
    EXPECT_EQ(acmStreamOpen(&stream, nullptr, stereo, hostile, nullptr, 0, 0, 0),
              MMSYSERR_INVALPARAM);
    EXPECT_EQ(
        acmStreamOpen(&stream, nullptr, std::span(stereo).first(15), stereo, nullptr, 0, 0, 0),
        MMSYSERR_INVALPARAM);
    EXPECT_EQ(stream, nullptr);
    std::vector<uint8_t> suggested = stereo;
    EXPECT_EQ(acmFormatSuggest(nullptr, hostile, suggested.data(), 18, 0), MMSYSERR_INVALPARAM);
    ACMFORMATDETAILS details;
    details.pwfx = hostile.data();
    details.cbwfx = static_cast<uint32_t>(hostile.size());
    EXPECT_EQ(acmFormatDetails(nullptr, &details, ACM_FORMATDETAILSF_FORMAT), MMSYSERR_INVALPARAM);
    body[16] = '\x0C';
    body[17] = '\0';
    EXPECT_TRUE(Platform::Codec::FormatFits(bytes, body.size()));
    std::string pcm = FmtBody(WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16);
    EXPECT_TRUE(Platform::Codec::FormatFits(reinterpret_cast<const uint8_t*>(pcm.data()), 16));
    EXPECT_FALSE(Platform::Codec::FormatFits(reinterpret_cast<const uint8_t*>(pcm.data()), 15));
    // 17 bytes whose last is the low byte of an extra size that is not there.
    EXPECT_FALSE(Platform::Codec::FormatFits(bytes, 17)) << "0x0C extra bytes claimed";
    body[16] = '\0';
    EXPECT_TRUE(Platform::Codec::FormatFits(bytes, 17));

    // Microsoft ADPCM: a block of the largest nibbles from the largest step stays in range.
    std::vector<uint8_t> ms = Built(WAVE_FORMAT_ADPCM, 1, 22050);
    std::string block(512, '\x77');
    block[0] = 0;                 // predictor
    block[1] = block[2] = '\x7F'; // step size 0x7F7F
    std::vector<int16_t> out = Samples16(Convert(ms, Pcm16(1, 22050), block));
    ASSERT_EQ(out.size(), 1012u);
    EXPECT_EQ(out.back(), 32767);
}

TEST(Streams, WholeBlocksOnlyAndResetDropsWhatTheStreamHolds) {
    std::vector<uint8_t> ima = Built(WAVE_FORMAT_IMA_ADPCM, 1, 11025);
    ASSERT_EQ(LoadWaveFormat(ima.data()).BlockAlign, 256);
    HACMSTREAM stream = nullptr;
    std::vector<uint8_t> pcm = Pcm16(1, 11025);
    ASSERT_EQ(acmStreamOpen(&stream, nullptr, ima, pcm, nullptr, 0, 0, 0), 0u);
    std::vector<uint8_t> in(1000, 0x11), out(8);
    ACMSTREAMHEADER h;
    h.pbSrc = in.data();
    h.cbSrcLength = 1000;
    h.pbDst = out.data();
    h.cbDstLength = 8;
    // Converting before prepare is refused.
    EXPECT_EQ(acmStreamConvert(stream, &h, ACM_STREAMCONVERTF_BLOCKALIGN), ACMERR_UNPREPARED);
    ASSERT_EQ(acmStreamPrepareHeader(stream, &h, 0), 0u);
    EXPECT_EQ(acmStreamConvert(stream, &h, ACM_STREAMCONVERTF_BLOCKALIGN), 0u);
    EXPECT_EQ(h.cbSrcLengthUsed, 768u); // three whole blocks of 256
    EXPECT_EQ(h.cbDstLengthUsed, 8u);   // no more than the destination holds
    // The rest waits; after a reset nothing does.
    h.cbSrcLength = 0;
    EXPECT_EQ(acmStreamConvert(stream, &h, 0), 0u);
    EXPECT_EQ(h.cbDstLengthUsed, 8u);
    EXPECT_EQ(acmStreamReset(stream, 0), 0u);
    EXPECT_EQ(acmStreamConvert(stream, &h, 0), 0u);
    EXPECT_EQ(h.cbDstLengthUsed, 0u);
    // A header not restored to its prepared buffers cannot be unprepared.
    EXPECT_EQ(acmStreamUnprepareHeader(stream, &h, 0), MMSYSERR_INVALPARAM);
    h.cbSrcLength = 1000;
    EXPECT_EQ(acmStreamUnprepareHeader(stream, &h, 0), 0u);
    EXPECT_EQ(acmStreamClose(stream, 0), 0u);
    EXPECT_EQ(acmStreamClose(stream, 0), MMSYSERR_INVALHANDLE);
}

TEST(Formats, SuggestionsDetailsAndRefusals) {
    std::vector<uint8_t> pcm = Pcm16(2, 44100);
    std::vector<uint8_t> dst(100, 0);
    WaveFormatEx wanted;
    wanted.FormatTag = WAVE_FORMAT_MPEG;
    wanted.Channels = 2;
    wanted.SamplesPerSec = 48000;
    StoreWaveFormat(wanted, dst.data());
    EXPECT_EQ(acmFormatSuggest(nullptr, pcm, dst.data(), 100, 0x70000), 0u);
    WaveFormatEx mp2 = LoadWaveFormat(dst.data());
    EXPECT_EQ(mp2.FormatTag, WAVE_FORMAT_MPEG);
    EXPECT_EQ(mp2.AvgBytesPerSec, 32000u);
    EXPECT_EQ(mp2.BlockAlign, 768);
    EXPECT_EQ(mp2.ExtraSize, 22);
    // No layer II at 11025 Hz, and no encoder for Microsoft ADPCM.
    wanted.SamplesPerSec = 11025;
    StoreWaveFormat(wanted, dst.data());
    EXPECT_EQ(acmFormatSuggest(nullptr, pcm, dst.data(), 100, 0x70000), ACMERR_NOTPOSSIBLE);
    wanted.FormatTag = WAVE_FORMAT_ADPCM;
    StoreWaveFormat(wanted, dst.data());
    EXPECT_EQ(acmFormatSuggest(nullptr, pcm, dst.data(), 100, 0x70000), ACMERR_NOTPOSSIBLE);
    // PCM keeps the source's bits and fits a 16-byte record.
    wanted.FormatTag = WAVE_FORMAT_PCM;
    StoreWaveFormat(wanted, dst.data());
    EXPECT_EQ(acmFormatSuggest(nullptr, pcm, dst.data(), 16, 0x70000), 0u);
    EXPECT_EQ(LoadWaveFormat(dst.data(), 16).BlockAlign, 4);
    EXPECT_EQ(LoadWaveFormat(dst.data(), 16).AvgBytesPerSec, 11025u * 4);

    ACMFORMATTAGDETAILS tag;
    tag.dwFormatTag = WAVE_FORMAT_PCM;
    ASSERT_EQ(acmFormatTagDetails(nullptr, &tag, ACM_FORMATTAGDETAILSF_FORMATTAG), 0u);
    EXPECT_STREQ(tag.szFormatTag, "PCM");
    EXPECT_EQ(tag.cbFormatSize, 16u);
    tag.dwFormatTag = 0x1234;
    EXPECT_EQ(acmFormatTagDetails(nullptr, &tag, ACM_FORMATTAGDETAILSF_FORMATTAG),
              ACMERR_NOTPOSSIBLE);
    ACMFORMATDETAILS details;
    details.pwfx = pcm.data();
    details.cbwfx = 18;
    ASSERT_EQ(acmFormatDetails(nullptr, &details, ACM_FORMATDETAILSF_FORMAT), 0u);
    EXPECT_STREQ(details.szFormat, "44.100 kHz, 16 Bit, Stereo");
    // Streams between formats without codecs are refused.
    HACMSTREAM stream = nullptr;
    std::vector<uint8_t> unknown = pcm;
    unknown[0] = 0x34;
    EXPECT_EQ(acmStreamOpen(&stream, nullptr, unknown, pcm, nullptr, 0, 0, 0), ACMERR_NOTPOSSIBLE);
    EXPECT_EQ(stream, nullptr);
}
