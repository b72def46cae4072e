#include "CartsFixture.h"

#include <cmath>
#include <cstring>
#include <random>

using namespace Vantor_Cart_Routines;
using CartsTest::FromEntryBytes;
using CartsTest::Hex;
using CartsTest::Padded;
using CartsTest::ToEntryBytes;

namespace {

// The record behind FullEntryBytes.
CartRecord FullRecord() {
    CartRecord rec;
    rec.Description1 = Padded("The Big Advert TitleContinues Here");
    rec.Description2 = Padded("Line 2");
    rec.Description3 = Padded("");
    rec.BackColor = 0x0080FF00;
    rec.ForeColor = static_cast<int32_t>(0x8000000F);
    rec.EndingType = 2;
    rec.Reserved1 = 0x12345678;
    rec.MarkCode = 33;
    rec.HookStart = 1.5f;
    rec.HookEnd = 2.25f;
    rec.IntroStartOutput = 1 * 1024 + 5;
    rec.ExtroOutput = 3 * 1024 + 300;
    rec.HookStartOutput = 2 * 1024 + 57;
    rec.LastPlayed = {46363.5, 0, 0, 0, 0};
    rec.LastPlayedCode = {7, 0, 0, 0, 0};
    rec.IntroStart = 0.5f;
    rec.IntroEnd = 3.0f;
    rec.Extro = 27.75f;
    rec.TotalLength = 30.0f;
    rec.AudioStart = 0.25f;
    rec.AudioEnd = 29.5f;
    rec.PlayLength = 29.25f;
    rec.LoopMode = static_cast<int16_t>(kLoopOn | 3);
    return rec;
}

} // namespace

TEST(CartListEntry, StoredBytesMatchTheExchangeLayout) {
    std::string stored = FromEntryBytes(EncodeListEntry(CartRecordToListEntry(FullRecord())));
    EXPECT_EQ(stored, CartsTest::FullEntryBytes());

    CartRecord back = ListEntryToCartRecord(DecodeListEntry(ToEntryBytes(stored)));
    EXPECT_EQ(back, FullRecord());
}

TEST(CartListEntry, FieldsSitAtTheirOffsets) {
    std::string stored = CartsTest::FullEntryBytes();
    CartListEntry e = DecodeListEntry(ToEntryBytes(stored));
    EXPECT_EQ(e.Desc1a, "The Big Advert Title");
    EXPECT_EQ(e.Desc1b, Padded("Continues Here", 30));
    EXPECT_EQ(stored.substr(70, 14), "Continues Here");
    float total = 0;
    std::memcpy(&total, stored.data() + 274, 4);
    EXPECT_EQ(total, 30.0f);
    int16_t loop = 0;
    std::memcpy(&loop, stored.data() + 298, 2);
    EXPECT_EQ(loop, static_cast<int16_t>(0x8003));
    double played = 0;
    std::memcpy(&played, stored.data() + 212, 8);
    EXPECT_EQ(played, 46363.5);
}

TEST(CartListEntry, WritingClearsTheReservedFields) {
    std::string stored = CartsTest::FullEntryBytes();
    // Reserved text and the two reserved integers are not carried into the working record.
    for (size_t i = 160; i < 184; ++i)
        stored[i] = static_cast<char>(0xAA);
    stored[198] = 0x11;
    stored[201] = 0x22;
    CartRecord rec = ListEntryToCartRecord(DecodeListEntry(ToEntryBytes(stored)));
    EXPECT_EQ(FromEntryBytes(EncodeListEntry(CartRecordToListEntry(rec))),
              CartsTest::FullEntryBytes());
}

TEST(CartListEntry, DescriptionsSplitAndJoin) {
    CartRecord rec;
    rec.Description1 = "0123456789abcdefghijABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$";
    CartListEntry e = CartRecordToListEntry(rec);
    std::string stored = FromEntryBytes(EncodeListEntry(e));
    EXPECT_EQ(stored.substr(0, 20), "0123456789abcdefghij");
    EXPECT_EQ(stored.substr(70, 30), "ABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$");
    EXPECT_EQ(ListEntryToCartRecord(e).Description1, rec.Description1);

    // Short and long working lines are fixed to 50 bytes.
    rec.Description2 = "short";
    rec.Description3 = std::string(60, 'x');
    CartListEntry fixed = CartRecordToListEntry(rec);
    EXPECT_EQ(fixed.Desc2a, Padded("short", 20));
    EXPECT_EQ(fixed.Desc2b, std::string(30, ' '));
    EXPECT_EQ(fixed.Desc3b, std::string(30, 'x'));
}

TEST(CartListEntry, NulCutsOnlyTheThirtyBytePart) {
    std::string stored = CartsTest::BlankEntryBytes();
    std::memcpy(stored.data() + 0, "AB\0DEFGHIJKLMNOPQRST", 20); // NUL in the head is kept
    std::memcpy(stored.data() + 70, "xyz\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0",
                30);
    std::memcpy(stored.data() + 100, "pq\0rs", 5); // everything after the first NUL goes
    CartRecord rec = ListEntryToCartRecord(DecodeListEntry(ToEntryBytes(stored)));
    EXPECT_EQ(rec.Description1, std::string("AB\0DEFGHIJKLMNOPQRST", 20) + Padded("xyz", 30));
    EXPECT_EQ(rec.Description2, Padded("").substr(0, 20) + Padded("pq", 30));
}

TEST(CartListEntry, BytesAbove127StayAsTheyAre) {
    CartRecord rec;
    rec.Description1 = Padded("Caf\xE9 \x80uro \xFF");
    std::string stored = FromEntryBytes(EncodeListEntry(CartRecordToListEntry(rec)));
    EXPECT_EQ(stored.substr(0, 11), "Caf\xE9 \x80uro \xFF");
    EXPECT_EQ(ListEntryToCartRecord(DecodeListEntry(ToEntryBytes(stored))).Description1,
              rec.Description1);
}

TEST(CartListEntry, RandomBytesDecodeAndEncodeUnchanged) {
    std::mt19937 random(1234);
    for (int round = 0; round < 200; ++round) {
        ListEntryBytes bytes{};
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(random());
        CartListEntry e = DecodeListEntry(bytes);
        EXPECT_EQ(EncodeListEntry(e), bytes);
        CartRecord rec = ListEntryToCartRecord(e);
        EXPECT_EQ(rec.Description1.size(), kDescriptionLength);
        std::string text;
        GetCartDescription(rec, true, text);
        EXPECT_LE(text.size(), 150u);
    }
}

TEST(CartDescription, OneLineAndFull) {
    CartRecord rec;
    rec.Description1 = Padded("Summer Sale");
    rec.Description2 = Padded("");
    rec.Description3 = Padded("  Today  ");
    std::string text;
    EXPECT_EQ(GetCartDescription(rec, true, text), "Summer Sale Today");
    EXPECT_EQ(text, "Summer Sale Today");
    EXPECT_EQ(GetCartDescription(rec, false, text).size(), 150u);
    EXPECT_EQ(text, rec.Description1 + rec.Description2 + rec.Description3);

    // A line whose 50th byte is not a blank runs on into the next line.
    rec.Description1 = std::string(45, ' ') + "Super";
    rec.Description2 = Padded("market deals");
    rec.Description3 = Padded("");
    EXPECT_EQ(GetCartDescription(rec, true, text), "Supermarket deals");
}

TEST(CartRecordServices, DecodeHardwareOutput) {
    int16_t line = -7;
    int32_t mode = -7;
    EXPECT_TRUE(DecodeHardwareOutput(2 * 1024 + 57, line, mode));
    EXPECT_EQ(line, 57);
    EXPECT_EQ(mode, 2);
    line = -7;
    mode = -7;
    EXPECT_FALSE(DecodeHardwareOutput(1024, line, mode));
    EXPECT_EQ(line, -7);
    EXPECT_EQ(mode, -7);
    EXPECT_TRUE(DecodeHardwareOutput(3 * 1024 + 300, line, mode));
    EXPECT_EQ(line, 300);
    EXPECT_EQ(mode, 3);
    // A code with the top bit set keeps its sign in the mode.
    EXPECT_TRUE(DecodeHardwareOutput(static_cast<int16_t>(0xFC01), line, mode));
    EXPECT_EQ(line, 1);
    EXPECT_EQ(mode, -1);
}

TEST(CartRecordServices, StepMarkCodeSkips32) {
    CartRecord rec;
    for (auto [from, to] : {std::pair{0, 1}, {31, 33}, {32, 33}, {33, 34}, {32767, 32767}}) {
        rec.MarkCode = static_cast<int16_t>(from);
        StepMarkCode(rec);
        EXPECT_EQ(rec.MarkCode, to) << from;
    }
}
