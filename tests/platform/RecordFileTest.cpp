#include "support/TestSupport.h"

#include "platform/Files.h"
#include "platform/RecordFile.h"

#include <filesystem>
#include <gtest/gtest.h>

using Platform::RecordFile;
using TestSupport::ReadBytes;
using TestSupport::WriteBytes;

TEST(RecordFile, RecordsAtTheirPositions) {
    TestSupport::ScratchDir dir;
    RecordFile file;
    ASSERT_EQ(file.Open(dir.File("Carts1.lst"), 4), 0);
    EXPECT_EQ(file.Length(), 0);
    ASSERT_EQ(file.Write(3, "cccc"), 0); // beyond the end: the gap is zero-filled
    ASSERT_EQ(file.Write(1, "aaaa"), 0);
    EXPECT_EQ(file.Length(), 12);
    char buffer[4];
    ASSERT_EQ(file.Read(3, buffer), 0);
    EXPECT_EQ(std::string(buffer, 4), "cccc");
    EXPECT_EQ(file.Read(4, buffer), Platform::errInputPastEnd);
    EXPECT_EQ(file.Read(0, buffer), Platform::errBadFileNameOrNumber);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(ReadBytes(dir.File("Carts1.lst")), std::string("aaaa\0\0\0\0cccc", 12));
    EXPECT_EQ(file.Read(1, buffer), Platform::errBadFileNameOrNumber);
    EXPECT_EQ(file.Write(1, "xxxx"), Platform::errBadFileNameOrNumber);
}

TEST(RecordFile, PartialRecordAtTheEndIsPastTheEnd) {
    TestSupport::ScratchDir dir;
    WriteBytes(dir.File("short.lst"), "abcdef");
    RecordFile file;
    ASSERT_EQ(file.Open(dir.File("short.lst"), 4), 0);
    char buffer[4];
    EXPECT_EQ(file.Read(1, buffer), 0);
    EXPECT_EQ(file.Read(2, buffer), Platform::errInputPastEnd);
}

TEST(RecordFile, FindsOtherSpellingsAndCreatesExactNames) {
    TestSupport::ScratchDir dir;
    WriteBytes(dir.File("CARTS2.LST"), "1234");
    RecordFile file;
    ASSERT_EQ(file.Open(dir.File("Carts2.lst"), 4), 0);
    EXPECT_EQ(file.Path(), dir.File("CARTS2.LST"));
    EXPECT_EQ(file.Length(), 4);
    ASSERT_EQ(file.Open(dir.File("New.lst"), 4), 0); // closes the first
    EXPECT_TRUE(std::filesystem::exists(dir.File("New.lst")));
}

TEST(RecordFile, OpenErrors) {
    TestSupport::ScratchDir dir;
    RecordFile file;
    EXPECT_EQ(file.Open(dir.File("missing/folder/x.lst"), 300), Platform::errFileNotFound);
    EXPECT_EQ(file.Open(dir.Path(), 300), Platform::errPathFileAccess);
    EXPECT_EQ(file.Open("", 300), Platform::errBadFileNameOrNumber);
    EXPECT_FALSE(file.IsOpen());
}

TEST(RecordFile, MovedFileKeepsItsHandle) {
    TestSupport::ScratchDir dir;
    RecordFile first;
    ASSERT_EQ(first.Open(dir.File("m.lst"), 2), 0);
    RecordFile second(std::move(first));
    EXPECT_FALSE(first.IsOpen());
    EXPECT_EQ(second.Write(1, "ok"), 0);
    EXPECT_EQ(ReadBytes(dir.File("m.lst")), "ok");
}
