#include "support/TestSupport.h"
#include "support/WavFixtures.h"

#include "platform/Mmio.h"

#include <gtest/gtest.h>

using namespace Platform::Mmio;
using namespace WavFixtures;

namespace {

MMCKINFO Find(const char (&id)[5]) {
    MMCKINFO c;
    c.ckid = MakeFourCC(id);
    return c;
}

} // namespace

TEST(Mmio, WritesChunksWithSizesAndPadsAndReadsThemBack) {
    TestSupport::ScratchDir dir;
    std::string path = dir.File("made.wav");
    HMMIO f = mmioOpen(path, nullptr, MMIO_CREATE | MMIO_READWRITE);
    ASSERT_NE(f, nullptr);
    MMCKINFO riff;
    riff.fccType = MakeFourCC("WAVE");
    ASSERT_EQ(mmioCreateChunk(f, &riff, MMIO_CREATERIFF), 0u);
    MMCKINFO odd = Find("odd ");
    ASSERT_EQ(mmioCreateChunk(f, &odd, 0), 0u);
    EXPECT_EQ(odd.dwDataOffset, 20u);
    EXPECT_EQ(mmioWrite(f, "abc", 3), 3);
    ASSERT_EQ(mmioAscend(f, &odd, 0), 0u);
    EXPECT_EQ(odd.cksize, 3u);
    MMCKINFO data = Find("data");
    ASSERT_EQ(mmioCreateChunk(f, &data, 0), 0u);
    EXPECT_EQ(data.dwDataOffset, 32u); // after the pad byte
    EXPECT_EQ(mmioWrite(f, "0123", 4), 4);
    ASSERT_EQ(mmioAscend(f, &data, 0), 0u);
    ASSERT_EQ(mmioAscend(f, &riff, 0), 0u);
    ASSERT_EQ(mmioClose(f, 0), 0u);

    std::string expected = Riff("WAVE", Chunk("odd ", "abc") + Chunk("data", "0123"));
    EXPECT_EQ(Read(path), expected);
}

TEST(Mmio, DescendFindsChunksWithinTheirParentAndReportsMissingOnes) {
    TestSupport::ScratchDir dir;
    std::string list = "INFO" + Chunk("INAM", "Name");
    std::string file = Riff("WAVE", Chunk("fmt ", std::string(16, 'f')) + Chunk("LIST", list) +
                                        Chunk("data", "12345"));
    // A chunk after the RIFF chunk is outside it.
    Write(dir.File("Mixed.WAV"), file + Chunk("tail", "zz"));
    // The exact name is missing: the file is found without regard to case.
    HMMIO f = mmioOpen(dir.File("mixed.wav"), nullptr, MMIO_READ);
    ASSERT_NE(f, nullptr);
    MMCKINFO riff;
    riff.fccType = MakeFourCC("WAVE");
    ASSERT_EQ(mmioDescend(f, &riff, nullptr, MMIO_FINDRIFF), 0u);
    EXPECT_EQ(riff.dwDataOffset, 8u);
    EXPECT_EQ(mmioSeek(f, 0, SEEK_CUR), 12);
    MMCKINFO data = Find("data");
    ASSERT_EQ(mmioDescend(f, &data, &riff, MMIO_FINDCHUNK), 0u);
    EXPECT_EQ(data.cksize, 5u);
    char buffer[8] = {};
    EXPECT_EQ(mmioRead(f, buffer, 8), 8); // reads past the chunk into the pad and the tail
    EXPECT_EQ(std::string(buffer, 5), "12345");
    ASSERT_EQ(mmioAscend(f, &data, 0), 0u);
    EXPECT_EQ(mmioSeek(f, 0, SEEK_CUR), static_cast<int32_t>(file.size()));
    MMCKINFO tail = Find("tail");
    EXPECT_EQ(mmioDescend(f, &tail, &riff, MMIO_FINDCHUNK), MMIOERR_CHUNKNOTFOUND);
    // From the first sub-chunk: the LIST chunk by form type, and a chunk inside it.
    mmioSeek(f, static_cast<int32_t>(riff.dwDataOffset + 4), SEEK_SET);
    MMCKINFO info;
    info.fccType = MakeFourCC("INFO");
    ASSERT_EQ(mmioDescend(f, &info, &riff, MMIO_FINDLIST), 0u);
    MMCKINFO next;
    ASSERT_EQ(mmioDescend(f, &next, &info, 0), 0u);
    EXPECT_EQ(next.ckid, MakeFourCC("INAM"));
    MMCKINFO more;
    mmioAscend(f, &next, 0);
    EXPECT_EQ(mmioDescend(f, &more, &info, 0), MMIOERR_CHUNKNOTFOUND);
    EXPECT_EQ(mmioWrite(f, "x", 1), -1); // opened for reading
    EXPECT_EQ(mmioClose(f, 0), 0u);
}

TEST(Mmio, OtherFormTypesTruncatedFilesAndMissingFiles) {
    TestSupport::ScratchDir dir;
    Write(dir.File("avi.riff"), Riff("AVI ", Chunk("hdrl", "1234")));
    HMMIO f = mmioOpen(dir.File("avi.riff"), nullptr, MMIO_READ);
    ASSERT_NE(f, nullptr);
    MMCKINFO riff;
    riff.fccType = MakeFourCC("WAVE");
    EXPECT_EQ(mmioDescend(f, &riff, nullptr, MMIO_FINDRIFF), MMIOERR_CHUNKNOTFOUND);
    mmioClose(f, 0);
    // A chunk size beyond the end of the file: the search stops, no wild seeks.
    std::string cut = Riff("WAVE", Chunk("fmt ", std::string(16, 'f')));
    cut[16] = '\x7f';
    cut[19] = '\x7f';
    Write(dir.File("cut.wav"), cut);
    f = mmioOpen(dir.File("cut.wav"), nullptr, MMIO_READ);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(mmioDescend(f, &riff, nullptr, MMIO_FINDRIFF), 0u);
    MMCKINFO data = Find("data");
    EXPECT_EQ(mmioDescend(f, &data, &riff, MMIO_FINDCHUNK), MMIOERR_CHUNKNOTFOUND);
    mmioClose(f, 0);
    MMIOINFO info;
    EXPECT_EQ(mmioOpen(dir.File("none.wav"), &info, MMIO_READ), nullptr);
    EXPECT_EQ(info.wErrorRet, MMIOERR_FILENOTFOUND);
}

TEST(Mmio, RewritingInPlaceKeepsTheRestOfTheFile) {
    TestSupport::ScratchDir dir;
    std::string path = dir.File("in-place.wav");
    Write(path, Riff("WAVE", Chunk("aaaa", "1111") + Chunk("bbbb", "2222")));
    MMIOINFO info;
    info.cchBuffer = 16;
    HMMIO f = mmioOpen(path, &info, MMIO_READWRITE | MMIO_ALLOCBUF);
    ASSERT_NE(f, nullptr);
    MMCKINFO riff;
    riff.fccType = MakeFourCC("WAVE");
    ASSERT_EQ(mmioDescend(f, &riff, nullptr, MMIO_FINDRIFF), 0u);
    MMCKINFO a = Find("aaaa");
    ASSERT_EQ(mmioDescend(f, &a, &riff, MMIO_FINDCHUNK), 0u);
    EXPECT_EQ(mmioWrite(f, "xy", 2), 2);
    char c[2];
    EXPECT_EQ(mmioRead(f, c, 2), 2); // reading after writing sees the file
    EXPECT_EQ(std::string(c, 2), "11");
    ASSERT_EQ(mmioAscend(f, &a, 0), 0u);
    ASSERT_EQ(mmioAscend(f, &riff, 0), 0u);
    ASSERT_EQ(mmioClose(f, 0), 0u);
    EXPECT_EQ(Read(path), Riff("WAVE", Chunk("aaaa", "xy11") + Chunk("bbbb", "2222")));

    // A read-ahead buffer asked for in the information's flags is given too.
    MMIOINFO ahead;
    ahead.dwFlags = MMIO_ALLOCBUF;
    ahead.cchBuffer = 4096;
    HMMIO r = mmioOpen(path, &ahead, MMIO_READ);
    ASSERT_NE(r, nullptr);
    MMIOINFO got;
    ASSERT_EQ(mmioGetInfo(r, &got, 0), 0u);
    EXPECT_EQ(got.cchBuffer, 4096);
    char head[4];
    EXPECT_EQ(mmioRead(r, head, 4), 4);
    EXPECT_EQ(std::string(head, 4), "RIFF");
    mmioClose(r, 0);
}
