#include "support/TestSupport.h"
#include "support/WavFixtures.h"

#include "core/MultimediaAPI.h"
#include "platform/Acm.h"
#include "platform/Codec.h"
#include "platform/Mmio.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace MultimediaAPI;
using namespace WavFixtures;

namespace {

WaveFormatInfo Stale() {
    WaveFormatInfo f;
    f.ExtraSize = 77;
    f.BitsPerSample = 99;
    return f;
}

CartChunk SampleChunk() {
    CartChunk c = BlankCartChunk();
    std::memcpy(c.Title, "Spring Sale", 11);
    std::memcpy(c.CutID, "1234", 4);
    std::memcpy(c.StartDate, "2026/12/08", 10);
    c.LevelReference = -12345;
    std::memcpy(c.PostTimer[0].Usage, "SEG1", 4);
    c.PostTimer[0].Value = 0x01020304;
    std::memcpy(c.URL, "http://example.invalid/", 23);
    return c;
}

std::string Audio() {
    return PcmWav(2, 44100, Sine(2, 44100, 4410, 440));
}

void CheckStillParses(const std::string& file, const std::string& audio) {
    std::vector<ChunkInfo> chunks = ListChunks(file);
    ASSERT_FALSE(chunks.empty()) << "chunk chain broken";
    EXPECT_EQ(GetLong(file, 4), file.size() - 8);
    EXPECT_EQ(ChunkData(file, "data"), ChunkData(audio, "data"));
    EXPECT_EQ(ChunkData(file, "fmt "), ChunkData(audio, "fmt "));
}

} // namespace

TEST(CartChunkRecord, StoredFormIsByteExact) {
    std::string bytes = CartChunkBytes(SampleChunk());
    ASSERT_EQ(bytes.size(), 2048u);
    EXPECT_EQ(bytes.substr(0, 4), "0101");
    EXPECT_EQ(bytes.substr(4, 11), "Spring Sale");
    EXPECT_EQ(bytes.substr(132, 4), "1234");
    EXPECT_EQ(bytes.substr(452, 10), "2026/12/08");
    EXPECT_EQ(GetLong(bytes, 680), static_cast<uint32_t>(-12345));
    EXPECT_EQ(bytes.substr(684, 4), "SEG1");
    EXPECT_EQ(GetLong(bytes, 688), 0x01020304u);
    EXPECT_EQ(bytes.substr(1024, 23), "http://example.invalid/");
    EXPECT_EQ(CartChunkBytes(CartChunkFromBytes(bytes)), bytes);
    std::string blank = CartChunkBytes(BlankCartChunk());
    EXPECT_EQ(blank, "0101" + std::string(2044, '\0'));
}

TEST(ReadWaveFormat, ResultsForGoodAndBadFiles) {
    TestSupport::ScratchDir dir;
    WaveFormatInfo f = Stale();
    int32_t length = 5;
    // Missing and empty files: -1 without opening.
    EXPECT_EQ(ReadWaveFormat(dir.File("none.wav"), f, length), -1);
    Write(dir.File("empty.wav"), "");
    EXPECT_EQ(ReadWaveFormat(dir.File("empty.wav"), f, length), -1);
    EXPECT_EQ(length, 5);
    // Another form type: the chunk-not-found code.
    Write(dir.File("avi.wav"), Riff("AVI ", Chunk("fmt ", "x")));
    EXPECT_EQ(ReadWaveFormat(dir.File("avi.wav"), f, length),
              static_cast<int32_t>(Platform::Mmio::MMIOERR_CHUNKNOTFOUND));
    Write(dir.File("nofmt.wav"), Riff("WAVE", Chunk("data", "1234")));
    EXPECT_EQ(ReadWaveFormat(dir.File("nofmt.wav"), f, length),
              static_cast<int32_t>(Platform::Mmio::MMIOERR_CHUNKNOTFOUND));

    // Plain PCM with a 16-byte chunk, a cart chunk in between: the extra size is 0.
    Write(dir.File("pcm.wav"), PcmWav(2, 44100, Sine(2, 44100, 441, 440),
                                      Chunk("cart", CartChunkBytes(BlankCartChunk()))));
    f = Stale();
    ASSERT_EQ(ReadWaveFormat(dir.File("pcm.wav"), f, length), 0);
    EXPECT_EQ(f.FormatTag, 1);
    EXPECT_EQ(f.Channels, 2);
    EXPECT_EQ(f.SamplesPerSec, 44100u);
    EXPECT_EQ(f.AvgBytesPerSec, 176400u);
    EXPECT_EQ(f.BlockAlign, 4);
    EXPECT_EQ(f.BitsPerSample, 16);
    EXPECT_EQ(f.ExtraSize, 0);
    EXPECT_EQ(length, 441 * 4);
    EXPECT_NEAR(GetWaveLengthSeconds(dir.File("pcm.wav")), 0.01f, 1e-6);

    // The data chunk before "fmt " is still found; an 18-byte record is read whole.
    std::string extra = "ab";
    std::string body = FmtBody(0x11, 1, 22050, 11100, 512, 4, &extra);
    Write(dir.File("order.wav"),
          Riff("WAVE", Chunk("data", std::string(1024, 'd')) + Chunk("fmt ", body)));
    ASSERT_EQ(ReadWaveFormat(dir.File("order.wav"), f, length), 0);
    EXPECT_EQ(f.ExtraSize, 2);
    EXPECT_EQ(length, 1024);

    // No data chunk: 0 and length 0; a zero-size "fmt " leaves the format alone.
    Write(dir.File("nodata.wav"), Riff("WAVE", Chunk("fmt ", body)));
    length = 9;
    EXPECT_EQ(ReadWaveFormat(dir.File("nodata.wav"), f, length), 0);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(GetWaveLengthSeconds(dir.File("nodata.wav")), 0.0f);
    Write(dir.File("zero.wav"), Riff("WAVE", Chunk("fmt ", "") + Chunk("data", "1234")));
    f = Stale();
    EXPECT_EQ(ReadWaveFormat(dir.File("zero.wav"), f, length), 0);
    EXPECT_EQ(f.ExtraSize, 77);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(GetWaveLengthSeconds(dir.File("zero.wav")), 0.0f);
}

TEST(DescribeWaveFormat, NamesTheTagAndCompletesTheFormat) {
    WaveFormatInfo f;
    f.FormatTag = 1;
    f.Channels = 2;
    f.SamplesPerSec = 44100;
    EXPECT_EQ(DescribeWaveFormat(f, false), "PCM 44.100 kHz, 16 Bit, Stereo");
    EXPECT_EQ(f.BlockAlign, 0);
    f.FormatTag = 0x50;
    f.Channels = 1;
    f.SamplesPerSec = 48000;
    EXPECT_EQ(DescribeWaveFormat(f, true), "MPEG Audio 48.000 kHz, 128 kBit/s, Mono");
    EXPECT_EQ(f.AvgBytesPerSec, 16000u);
    EXPECT_EQ(f.BlockAlign, 384);
    EXPECT_EQ(f.ExtraSize, 22);
    // No such format: the tag name alone, and the record is kept.
    f.FormatTag = 0x11;
    f.SamplesPerSec = 1;
    EXPECT_EQ(DescribeWaveFormat(f, true), "IMA ADPCM");
    EXPECT_EQ(f.SamplesPerSec, 1u);
    f.FormatTag = 0x4444;
    EXPECT_EQ(DescribeWaveFormat(f, false), "");
}

TEST(ChooseWaveFormat, StartsFromTheFormatAndTakesTheChoice) {
    WaveFormatInfo f;
    f.FormatTag = 0x55;
    f.Channels = 2;
    f.SamplesPerSec = 44100;
    std::vector<uint8_t> seen;
    Platform::Acm::SetFormatChooserHook([&](std::vector<uint8_t>& format) {
        seen = format;
        Platform::Codec::Format chosen;
        Platform::Codec::BuildFormat(0x11, 1, 22050, 16, chosen);
        format = chosen.Bytes();
        return true;
    });
    std::vector<uint8_t> buffer(4096, 0xEE);
    int32_t size = 0;
    EXPECT_TRUE(ChooseWaveFormat(f, 0, buffer.data(), size));
    ASSERT_GE(seen.size(), 18u);
    EXPECT_EQ(Platform::Acm::LoadWaveFormat(seen.data()).AvgBytesPerSec, 16000u);
    EXPECT_EQ(f.FormatTag, 0x11);
    EXPECT_EQ(f.SamplesPerSec, 22050u);
    EXPECT_EQ(size, 20);
    EXPECT_EQ(buffer[18], 0xF9); // samples per block 1017 = 0x3F9, kept in the caller's buffer
    // Cancel: False, the format stays, the size is 18.
    Platform::Acm::SetFormatChooserHook([](std::vector<uint8_t>&) { return false; });
    EXPECT_FALSE(ChooseWaveFormat(f, 0, nullptr, size));
    EXPECT_EQ(f.FormatTag, 0x11);
    EXPECT_EQ(size, 18);
    Platform::Acm::SetFormatChooserHook({});
    // Headless without a hook: nobody chooses.
    EXPECT_FALSE(ChooseWaveFormat(f, 0, nullptr, size));
}

TEST(WriteCartChunk, NewChunkIsAppendedAndRewrittenInPlace) {
    TestSupport::ScratchDir dir;
    TestSupport::ScriptedBoxes boxes;
    std::string path = dir.File("cart.wav");
    std::string audio = Audio();
    Write(path, audio);
    ASSERT_TRUE(WriteCartChunk(path, SampleChunk(), ""));
    std::string once = Read(path);
    EXPECT_EQ(once.size(), audio.size() + 8 + 2048);
    EXPECT_EQ(GetLong(once, 4), GetLong(audio, 4) + 8 + 2048);
    CheckStillParses(once, audio);
    EXPECT_EQ(ListChunks(once).back().id, "cart");
    EXPECT_EQ(ChunkData(once, "cart"), CartChunkBytes(SampleChunk()));
    // Again, with another title: same length, the chunk changed in place.
    CartChunk other = SampleChunk();
    std::memcpy(other.Title, "Winter Sale", 11);
    ASSERT_TRUE(WriteCartChunk(path, other, "ignored: no room"));
    std::string twice = Read(path);
    EXPECT_EQ(twice.size(), once.size());
    EXPECT_EQ(ChunkData(twice, "cart"), CartChunkBytes(other));
    CheckStillParses(twice, audio);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST(WriteCartChunk, TagTextFollowsANewChunkWithItsPad) {
    TestSupport::ScratchDir dir;
    std::string path = dir.File("tag.wav");
    std::string audio = Audio();
    Write(path, audio);
    ASSERT_TRUE(WriteCartChunk(path, SampleChunk(), "abc"));
    std::string file = Read(path);
    EXPECT_EQ(ChunkData(file, "cart"), CartChunkBytes(SampleChunk()) + "abc");
    EXPECT_EQ(file.size(), audio.size() + 8 + 2052);
    CheckStillParses(file, audio);
}

TEST(WriteCartChunk, ShorterChunkBecomesJunkAndLongerKeepsItsSize) {
    TestSupport::ScratchDir dir;
    std::string audio = Audio();
    std::string fmt = Chunk("fmt ", ChunkData(audio, "fmt "));
    std::string data = Chunk("data", ChunkData(audio, "data"));
    // A short chunk before "data": overwriting it would run into the audio.
    std::string shortPath = dir.File("short.wav");
    Write(shortPath, Riff("WAVE", fmt + Chunk("cart", std::string(1000, 'c')) + data));
    ASSERT_TRUE(WriteCartChunk(shortPath, SampleChunk(), ""));
    std::string fixed = Read(shortPath);
    CheckStillParses(fixed, audio);
    std::vector<ChunkInfo> chunks = ListChunks(fixed);
    ASSERT_EQ(chunks.size(), 4u);
    EXPECT_EQ(chunks[1].id, "JUNK");
    EXPECT_EQ(chunks[1].size, 1000u);
    EXPECT_EQ(chunks[3].id, "cart");
    EXPECT_EQ(ChunkData(fixed, "cart"), CartChunkBytes(SampleChunk()));

    // A longer chunk with a tag text: the fixed part is replaced, the size stays and no reader
    // finds the old text behind the new fields.
    std::string longPath = dir.File("long.wav");
    std::string oldTag = "Old tag text!";
    Write(longPath,
          Riff("WAVE", fmt + Chunk("cart", CartChunkBytes(BlankCartChunk()) + oldTag) + data));
    ASSERT_TRUE(WriteCartChunk(longPath, SampleChunk(), ""));
    std::string kept = Read(longPath);
    CheckStillParses(kept, audio);
    EXPECT_EQ(ChunkData(kept, "cart"),
              CartChunkBytes(SampleChunk()) + std::string(oldTag.size(), '\0'));
    // With a new tag text: cut to the room, the rest cleared.
    ASSERT_TRUE(WriteCartChunk(longPath, SampleChunk(), "New"));
    std::string retagged = Read(longPath);
    EXPECT_EQ(retagged.size(), kept.size());
    EXPECT_EQ(ChunkData(retagged, "cart"),
              CartChunkBytes(SampleChunk()) + "New" + std::string(oldTag.size() - 3, '\0'));
    CheckStillParses(retagged, audio);
}

TEST(WriteCartChunk, ANewChunkEndsTheRiffChunkAndTrailingBytesFollowIt) {
    TestSupport::ScratchDir dir;
    std::string audio = Audio();
    std::string fmt = Chunk("fmt ", ChunkData(audio, "fmt "));
    std::string data = Chunk("data", ChunkData(audio, "data"));
    std::string tag = "TAG" + std::string(125, 'i');
    const std::string files[] = {
        audio + tag,                                                         // a tag after RIFF
        Riff("WAVE", fmt + data + Chunk("LIST", std::string(26, 'l'))),      // a chunk after data
        Riff("WAVE", fmt + Chunk("odd ", std::string(7, 'o')) + data) + tag, // odd, padded
    };
    for (const std::string& original : files) {
        std::string path = dir.File("trailing.wav");
        Write(path, original);
        const size_t trailing = original.size() - 8 - GetLong(original, 4);
        ASSERT_TRUE(WriteCartChunk(path, SampleChunk(), ""));
        std::string once = Read(path);
        ASSERT_EQ(once.size(), original.size() + 8 + 2048);
        EXPECT_EQ(GetLong(once, 4), GetLong(original, 4) + 8 + 2048) << "chunks only";
        std::vector<ChunkInfo> chunks = ListChunks(once);
        ASSERT_FALSE(chunks.empty());
        EXPECT_EQ(chunks.back().id, "cart");
        EXPECT_EQ(ChunkData(once, "cart"), CartChunkBytes(SampleChunk()));
        EXPECT_EQ(ChunkData(once, "data"), ChunkData(audio, "data"));
        EXPECT_EQ(once.substr(once.size() - trailing), original.substr(original.size() - trailing));
        ASSERT_TRUE(WriteCartChunk(path, SampleChunk(), ""));
        EXPECT_EQ(Read(path), once) << "a second write changes nothing more";
    }
}

TEST(WriteCartChunk, RefusesReadOnlyEmptyAndNonWaveFiles) {
    TestSupport::ScratchDir dir;
    TestSupport::ScriptedBoxes boxes;
    std::string path = dir.File("ro.wav");
    Write(path, Audio());
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read);
    EXPECT_FALSE(WriteCartChunk(path, SampleChunk(), ""));
    EXPECT_EQ(Read(path), Audio());
    Write(dir.File("empty.wav"), "");
    EXPECT_FALSE(WriteCartChunk(dir.File("empty.wav"), SampleChunk(), ""));
    EXPECT_FALSE(WriteCartChunk(dir.File("missing.wav"), SampleChunk(), ""));
    std::string avi = Riff("AVI ", Chunk("hdrl", "1234"));
    Write(dir.File("avi.wav"), avi);
    EXPECT_FALSE(WriteCartChunk(dir.File("avi.wav"), SampleChunk(), ""));
    EXPECT_EQ(Read(dir.File("avi.wav")), avi);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST(WaveDevices, SixteenBitRateAndChannelBits) {
    // Device 0: 44.1 kHz stereo; 1: query fails; 2: 22.05 kHz mono and 44.1 kHz stereo.
    std::vector<uint32_t> bits = {0x800, 0, 0x40 | 0x800};
    WaveDeviceQuery query;
    query.OutCount = [] { return 3; };
    query.OutFormats = [&](int id, uint32_t& formats) {
        if (id == 1) return false;
        formats = bits[static_cast<size_t>(id)];
        return true;
    };
    query.InCount = [] { return 2; };
    query.InFormats = [](int, uint32_t& formats) {
        formats = 0x4;
        return true;
    };
    SetWaveDeviceQuery(query);
    EXPECT_EQ(FindWaveOutDevice(0, 44100, 2), 0);
    EXPECT_EQ(FindWaveOutDevice(1, 44100, 2),
              2); // the failed query is not taken as device 0's bits
    EXPECT_EQ(FindWaveOutDevice(3, 44100, 2), -1);
    EXPECT_EQ(FindWaveOutDevice(0, 48000, 2), -1);
    EXPECT_EQ(FindWaveOutDevice(0, 22050, 1), 2);
    EXPECT_EQ(FindWaveOutDevice(0, 22050, 2), -1);
    EXPECT_EQ(CountWaveOutDevices(44100, 2), 2);
    EXPECT_EQ(CountWaveOutDevices(44100, 5), 2); // any count but 1 is stereo
    EXPECT_EQ(LastWaveOutDevice(44100, 2), 2);
    EXPECT_EQ(LastWaveOutDevice(11025, 1), 0);
    EXPECT_EQ(LastWaveInDevice(11025, 1), 1);
    EXPECT_EQ(LastWaveInDevice(44100, 1), 0);
    SetWaveDeviceQuery({});
    EXPECT_EQ(FindWaveOutDevice(0, 44100, 2), -1);
    EXPECT_EQ(CountWaveOutDevices(44100, 2), 0);
}
