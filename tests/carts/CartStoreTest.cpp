#include "CartsFixture.h"

#include "core/GeneralFunctions.h"
#include "platform/Clock.h"
#include "platform/Files.h"

#include <cstring>
#include <filesystem>

using namespace Vantor_Cart_Routines;
using CartsTest::AudiowallTest;
using CartsTest::Padded;
using CartsTest::Record;
using TestSupport::ReadBytes;
using TestSupport::ScriptedBoxes;
using TestSupport::WriteBytes;

namespace {

class CartStoreTest : public AudiowallTest {
protected:
    void SetUp() override {
        wall_ = UseFolder("wall", 1, 10);
        ASSERT_EQ(ConnectAudiowallParts(0, true), 0);
    }
    CartRecord Cart(const std::string& title, float length) {
        CartRecord rec;
        rec.Description1 = Padded(title);
        rec.TotalLength = length;
        rec.AudioEnd = length;
        return rec;
    }
    // Puts stored bytes straight into a part list, as the other system would.
    void Store(int32_t cart, const std::string& bytes) {
        std::string path = ListFile(GetCartPart(cart));
        std::string list = ReadBytes(path);
        list.replace(static_cast<size_t>(cart - (GetCartPart(cart) - 1) * 1000 - 1) * 300, 300,
                     bytes);
        WriteBytes(path, list);
    }
    std::string Stored(int32_t cart) {
        return Record(ReadBytes(ListFile(GetCartPart(cart))),
                      cart - (GetCartPart(cart) - 1) * 1000);
    }
    std::string wall_;
};

} // namespace

TEST_F(CartStoreTest, RecordsAreFoundWhereTheOtherSystemKeepsThem) {
    std::string full = CartsTest::FullEntryBytes();
    Store(1000, full);
    Store(1001, full);
    Store(9999, full);
    CartRecord rec;
    for (int32_t cart : {1000, 1001, 9999}) {
        ASSERT_EQ(ReadCart(rec, cart), 0) << cart;
        EXPECT_EQ(rec.Description1, Padded("The Big Advert TitleContinues Here"));
        EXPECT_EQ(rec.AudioEnd, 29.5f);
    }
    EXPECT_EQ(ReadCart(rec, 999), 0);
    EXPECT_EQ(rec, context_.Carts.BlankCartRecord);
}

TEST_F(CartStoreTest, WriteThenReadIsByteExact) {
    std::string full = CartsTest::FullEntryBytes();
    Store(42, full);
    CartRecord rec;
    ASSERT_EQ(ReadCart(rec, 42), 0);
    ASSERT_EQ(WriteCart(rec, 1042, false, false), 0);
    EXPECT_EQ(Stored(1042), full);
    // Neighbours are untouched.
    EXPECT_EQ(Stored(1041), CartsTest::BlankEntryBytes());
    EXPECT_EQ(Stored(1043), CartsTest::BlankEntryBytes());
    // The file was reopened after the write and still reads.
    CartRecord again;
    ASSERT_EQ(ReadCart(again, 1042), 0);
    EXPECT_EQ(again, rec);
}

TEST_F(CartStoreTest, RepairsOnReading) {
    std::string bytes = CartsTest::BlankEntryBytes();
    auto put = [&](size_t at, float v) { std::memcpy(bytes.data() + at, &v, 4); };
    put(274, 12.5f); // TotalLength
    put(278, 3.0f);  // AudioStart
    put(282, 0.0f);  // AudioEnd
    put(286, 9.0f);  // PlayLength
    Store(7, bytes);
    CartRecord rec;
    ASSERT_EQ(ReadCart(rec, 7), 0);
    EXPECT_EQ(rec.AudioStart, 0.0f);
    EXPECT_EQ(rec.AudioEnd, 12.5f);
    EXPECT_EQ(rec.PlayLength, 12.5f);

    // An empty cart reads as the blank record whatever else it holds.
    put(274, -1.0f);
    std::memcpy(bytes.data(), "Left over title     ", 20);
    Store(8, bytes);
    ASSERT_EQ(ReadCart(rec, 8), 0);
    EXPECT_EQ(rec, context_.Carts.BlankCartRecord);
}

TEST_F(CartStoreTest, ClampsOnWriting) {
    CartRecord rec = Cart("Clamps", 10.12345f);
    rec.AudioEnd = 10;
    rec.Extro = 11;
    rec.IntroStart = 5;
    rec.IntroEnd = 3;
    rec.HookStart = 8;
    rec.HookEnd = 2;
    rec.LoopStart = 4;
    rec.LoopEnd = -1;
    ASSERT_EQ(WriteCart(rec, 5, false, false), 0);
    EXPECT_EQ(rec.TotalLength, 10.123f);
    EXPECT_EQ(rec.Extro, 10.0f);
    EXPECT_EQ(rec.IntroStart, 3.0f);
    EXPECT_EQ(rec.IntroEnd, 3.0f);
    EXPECT_EQ(rec.HookStart, 2.0f);
    EXPECT_EQ(rec.HookEnd, 2.0f);
    EXPECT_EQ(rec.LoopStart, -1.0f); // nothing is clamped below 0
    EXPECT_EQ(rec.LoopEnd, -1.0f);
    EXPECT_EQ(rec.PlayLength, 10.0f);
    CartRecord back;
    ASSERT_EQ(ReadCart(back, 5), 0);
    EXPECT_EQ(back, rec);

    // AudioEnd past the end comes down to the length, then PlayLength too.
    rec = Cart("Long end", 20);
    rec.AudioStart = -5;
    rec.AudioEnd = 30;
    ASSERT_EQ(WriteCart(rec, 6, false, false), 0);
    EXPECT_EQ(rec.AudioEnd, 20.0f);
    EXPECT_EQ(rec.PlayLength, 20.0f);

    // No end: the whole file; halves round to even at the third decimal.
    rec = Cart("Whole", 0.0625f);
    rec.AudioStart = 0.01f;
    rec.AudioEnd = 0;
    ASSERT_EQ(WriteCart(rec, 9, false, false), 0);
    EXPECT_EQ(rec.TotalLength, 0.062f);
    EXPECT_EQ(rec.AudioStart, 0.0f);
    EXPECT_EQ(rec.AudioEnd, 0.062f);
}

TEST_F(CartStoreTest, MarkCodesAndDefaultTitle) {
    struct Case {
        int16_t mark;
        bool newAudio;
        float length;
        int16_t stored;
    } cases[] = {
        {32, true, 5, 33}, {0, true, 5, 1}, {7, true, 5, 7}, {32, false, 5, 32}, {33, true, -1, 0}};
    for (const Case& c : cases) {
        CartRecord rec = Cart("Marks", c.length);
        rec.MarkCode = c.mark;
        ASSERT_EQ(WriteCart(rec, 11, false, c.newAudio), 0);
        EXPECT_EQ(int(Stored(11)[188]), c.stored) << c.mark;
    }
    CartRecord untitled = Cart("", 4);
    ASSERT_EQ(WriteCart(untitled, 12, false, false), 0);
    EXPECT_EQ(Stored(12).substr(0, 20), "Vantor Cart         ");
}

TEST_F(CartStoreTest, CartsOutOfRangeChangeNothing) {
    std::string before = ReadBytes(ListFile(1));
    CartRecord rec = Cart("Nowhere", 3);
    for (int32_t cart : {0, -5, 10000, 123456}) {
        CartRecord read = Cart("junk", 1);
        EXPECT_EQ(ReadCart(read, cart), -1) << cart;
        EXPECT_EQ(read, context_.Carts.BlankCartRecord);
        EXPECT_EQ(WriteCart(rec, cart, false, false), -1) << cart;
    }
    EXPECT_EQ(ReadBytes(ListFile(1)), before);
    EXPECT_EQ(std::filesystem::file_size(ListFile(10)), 999u * 300);
}

TEST_F(CartStoreTest, TruncatedListReportsThenReconnects) {
    std::string full = CartsTest::FullEntryBytes();
    Store(1, full);
    std::filesystem::resize_file(ListFile(1), 450); // cut by someone else
    CartRecord rec = Cart("junk", 1);
    EXPECT_EQ(ReadCart(rec, 2), Platform::errInputPastEnd);
    EXPECT_EQ(rec, context_.Carts.BlankCartRecord);
    EXPECT_EQ(Part(1).Status, PartMissing);
    // The next read reconnects the part quietly, padding from the last whole record.
    ScriptedBoxes boxes;
    EXPECT_EQ(ReadCart(rec, 2), 0);
    EXPECT_EQ(rec, context_.Carts.BlankCartRecord);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(Stored(1), full);
    EXPECT_EQ(Stored(2), CartsTest::BlankEntryBytes());
    EXPECT_EQ(std::filesystem::file_size(ListFile(1)), 300000u);
}

TEST_F(CartStoreTest, FailedListWriteIsReportedAndTraced) {
    qputenv("VNTZEL_SYSTEMDRIVE", QByteArray::fromStdString(dir_.Path()));
    TestSupport::FrozenClock clock(Platform::Clock::SerialOfDate(2026, 12, 8), 3600);
    GeneralFunctions::State().DebugMode = -1;
    CloseAudiowallParts(); // the part lists are no longer open
    CartRecord rec = Cart("Lost", 3);
    EXPECT_EQ(WriteCart(rec, 3, false, false), Platform::errBadFileNameOrNumber);
    GeneralFunctions::State().DebugMode = 0;
    qunsetenv("VNTZEL_SYSTEMDRIVE");
    EXPECT_EQ(Record(ReadBytes(wall_ + "/Carts1.lst"), 3), CartsTest::BlankEntryBytes());
    std::string trace = ReadBytes(dir_.File("test_carts.20261208.log"));
    EXPECT_NE(trace.find("WriteCart: cart 3 not written to " + wall_ + "/Carts1.lst error 52"),
              std::string::npos)
        << trace;
}

TEST_F(CartStoreTest, OwnListFiles) {
    Settings().Audio.UseIndividualCartListFiles = 1;
    CartRecord rec = Cart("Both places", 6);
    ASSERT_EQ(WriteCart(rec, 77, false, false), 0);
    std::string own = ReadBytes(wall_ + "/VNT00077.LST");
    EXPECT_EQ(own.size(), 300u);
    EXPECT_EQ(own, Stored(77));

    // The own file wins over the part list when reading.
    std::string full = CartsTest::FullEntryBytes();
    WriteBytes(wall_ + "/VNT00078.lst", full);
    CartRecord read;
    ASSERT_EQ(ReadCart(read, 78), 0);
    EXPECT_EQ(read.Description2, Padded("Line 2"));
    // An own file too short for a record is an error, and the part stays connected.
    WriteBytes(wall_ + "/VNT00079.LST", full.substr(0, 100));
    EXPECT_EQ(ReadCart(read, 79), Platform::errInputPastEnd);
    EXPECT_EQ(Part(1).Status, PartFound);

    // Only the own file, when the part list is not kept.
    Settings().Audio.MaintainLegacyCartList = 0;
    rec = Cart("Own only", 2);
    ASSERT_EQ(WriteCart(rec, 80, false, false), 0);
    EXPECT_EQ(Stored(80), CartsTest::BlankEntryBytes());
    EXPECT_EQ(ReadBytes(wall_ + "/VNT00080.LST").substr(0, 8), "Own only");

    // Storing an empty cart removes its own file.
    CartRecord blank = context_.Carts.BlankCartRecord;
    ASSERT_EQ(WriteCart(blank, 80, false, false), 0);
    EXPECT_FALSE(std::filesystem::exists(wall_ + "/VNT00080.LST"));
}
