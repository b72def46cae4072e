#include "support/TestSupport.h"

#include "player_controls/FlennHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Flenney;

namespace {

std::vector<uint8_t> Silence(size_t bytes) {
    return std::vector<uint8_t>(bytes, 0);
}

void Put(std::vector<uint8_t>& buffer, size_t at, int16_t sample) {
    buffer[at] = static_cast<uint8_t>(sample);
    buffer[at + 1] = static_cast<uint8_t>(static_cast<uint16_t>(sample) >> 8);
}

} // namespace

TEST(FindTriggerPoint, TestsEveryFortyEighthByteStrictlyAboveTheLevel) {
    std::vector<uint8_t> mono = Silence(400);
    Put(mono, 100, 32000);
    EXPECT_EQ(FindTriggerPoint(mono.data(), 400, 1, 10), -1); // not a tested offset
    Put(mono, 96, -16384);                                    // level 50
    EXPECT_EQ(FindTriggerPoint(mono.data(), 400, 1, 49), 96);
    EXPECT_EQ(FindTriggerPoint(mono.data(), 400, 1, 50), -1); // not above
    // 12.5 % rounds to 12 (half to even), 37.5 % to 38.
    std::vector<uint8_t> small = Silence(48);
    Put(small, 0, 4096);
    EXPECT_EQ(FindTriggerPoint(small.data(), 48, 1, 12), -1);
    Put(small, 0, 12288);
    EXPECT_EQ(FindTriggerPoint(small.data(), 48, 1, 37), 0);
    Put(small, 0, -32768);
    EXPECT_EQ(FindTriggerPoint(small.data(), 48, 1, 99), 0);
    std::vector<uint8_t> stereo = Silence(400);
    Put(stereo, 98, 30000);
    EXPECT_EQ(FindTriggerPoint(stereo.data(), 400, 2, 50), 96);
    EXPECT_EQ(FindTriggerPoint(stereo.data(), 400, 1, 50), -1);
    // A 4-byte buffer is not read at all.
    EXPECT_EQ(FindTriggerPoint(nullptr, 4, 2, 0), -1);
    std::vector<uint8_t> four = {0xFF, 0x7F, 0xFF, 0x7F};
    EXPECT_EQ(FindTriggerPoint(four.data(), 4, 2, 0), -1);
}

TEST(ConvertBase, DigitsAndBadBases) {
    EXPECT_EQ(ConvertBase(0, 16), "0");
    EXPECT_EQ(ConvertBase(255, 16), "FF");
    EXPECT_EQ(ConvertBase(35, 36), "Z");
    EXPECT_EQ(ConvertBase(36, 36), "10");
    EXPECT_EQ(ConvertBase(5, 2), "101");
    EXPECT_EQ(ConvertBase(-1, 16), "FFFFFFFF");
    BaseError error;
    EXPECT_EQ(ConvertBase(5, 1, &error), "");
    EXPECT_EQ(error.Number, static_cast<int32_t>(0x80040400u));
    EXPECT_EQ(error.Source, "Number Base Conversion");
    EXPECT_EQ(error.Description, "Bases must be between 2 and 36");
    EXPECT_EQ(ConvertBase(5, 37), "");
}

TEST(SplitPath, FolderPartWithEitherSeparator) {
    EXPECT_EQ(SplitPath("C:\\Audio\\Rec\\take.wav"), "C:\\Audio\\Rec");
    EXPECT_EQ(SplitPath("a/b"), "a");
    EXPECT_EQ(SplitPath("/srv/audio\\x.wav"), "/srv/audio");
    EXPECT_EQ(SplitPath("take.wav"), "");
    EXPECT_EQ(SplitPath(""), "");
}

TEST(MakeTempFileName, NewNameInTheFolderAndNothingLeftBehind) {
    TestSupport::ScratchDir dir;
    std::string name = MakeTempFileName(dir.Path(), "WAV");
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(SplitPath(name), dir.Path());
    EXPECT_EQ(name.substr(name.size() - 4), ".WAV");
    EXPECT_FALSE(std::filesystem::exists(name));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    std::string other = MakeTempFileName(dir.Path() + "/", "WAV");
    EXPECT_EQ(SplitPath(other), dir.Path());
    std::string temp = MakeTempFileName("", "TMP");
    EXPECT_EQ(SplitPath(temp), std::filesystem::temp_directory_path().string());
    EXPECT_EQ(MakeTempFileName(dir.File("no/such/folder"), "WAV"), "");
}

TEST(GetDiskFreeBytes, WhichValueAndBadQueries) {
    TestSupport::ScratchDir dir;
    int64_t total = GetDiskFreeBytes(dir.Path(), 0);
    int64_t free = GetDiskFreeBytes(dir.File("not-yet.wav"), 1);
    int64_t available = GetDiskFreeBytes(dir.Path(), 2);
    EXPECT_GT(total, 0);
    EXPECT_GT(free, 0);
    EXPECT_LE(free, total);
    EXPECT_LE(available, free);
    EXPECT_EQ(GetDiskFreeBytes(dir.Path(), 3), 0);
    EXPECT_EQ(GetDiskFreeBytes("\\\\server\\share\\x.wav", 0), 0); // no such network path here
}
