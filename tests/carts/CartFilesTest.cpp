#include "CartsFixture.h"

#include "platform/Clock.h"

#include <filesystem>

using namespace Vantor_Cart_Routines;
using CartsTest::AudiowallTest;
using CartsTest::Padded;
using CartsTest::Record;
using TestSupport::ReadBytes;
using TestSupport::ScriptedBoxes;
using TestSupport::WriteBytes;
namespace fs = std::filesystem;

namespace {

class CartFilesTest : public AudiowallTest {
protected:
    void SetUp() override {
        wall_ = UseFolder("wall", 1, 10);
        high_ = UseFolder("high", 11, 11);
    }
    std::string wall_, high_;
};

} // namespace

TEST_F(CartFilesTest, StemsAndLocations) {
    EXPECT_EQ(GetCartBaseName(42), wall_ + "/VNT00042");
    EXPECT_EQ(GetCartBaseName(9999), wall_ + "/VNT09999");
    EXPECT_EQ(GetCartBaseName(0), "");
    EXPECT_EQ(GetCartBaseName(10000), "");
    Settings().Audio.NoCarts = 10500;
    EXPECT_EQ(GetCartBaseName(10001), high_ + "/VNT10001");
    EXPECT_EQ(GetCartPartLocation(0), high_);
    EXPECT_EQ(GetCartPartLocation(10500), high_);
    EXPECT_EQ(GetCartPartLocation(10501), "");
    EXPECT_EQ(GetCartPartLocation(-1), "");
    // A part without a Location has no files at all, not files at the root.
    Part(2).Location = "";
    EXPECT_EQ(GetCartBaseName(1500), "");
    EXPECT_EQ(GetCartAudioFileName(1500, false, false), "");
}

TEST_F(CartFilesTest, AudioFileAndLinks) {
    std::string stem = wall_ + "/VNT00042";
    EXPECT_EQ(GetCartAudioFileName(42, false, false), stem + ".WAV");
    WriteBytes(stem + ".FLK", "/media/other place/spot.wav\r\nsecond line\r\n");
    EXPECT_EQ(GetCartAudioFileName(42, false, false), stem + ".WAV"); // linking is off
    Settings().Audio.AllowAudioFileLinking = 1;
    EXPECT_EQ(GetCartAudioFileName(42, false, false), "/media/other place/spot.wav");
    EXPECT_EQ(GetCartAudioFileName(42, false, true), "\"/media/other place/spot.wav\"");
    EXPECT_EQ(GetCartAudioFileName(42, true, false), stem + ".WAV");
    WriteBytes(stem + ".FLK", "\r\n/ignored.wav\r\n");
    EXPECT_EQ(GetCartAudioFileName(42, false, false), stem + ".WAV");
    WriteBytes(stem + ".FLK", "");
    EXPECT_EQ(GetCartAudioFileName(42, false, false), stem + ".WAV");
    // A link file copied with another spelling is found too.
    fs::remove(stem + ".FLK");
    WriteBytes(wall_ + "/vnt00042.flk", "/x/y.wav");
    EXPECT_EQ(GetCartAudioFileName(42, false, false), "/x/y.wav");

    Part(1).Location = dir_.File("with space");
    EXPECT_EQ(GetCartAudioFileName(1, false, true),
              "\"" + dir_.File("with space") + "/VNT00001.WAV\"");
}

TEST_F(CartFilesTest, NotesFile) {
    std::string stem = wall_ + "/VNT00007";
    bool exists = true;
    EXPECT_EQ(GetCartNotesFileName(7, exists), stem + ".RTF");
    EXPECT_FALSE(exists);
    WriteBytes(stem + ".TXT", "notes");
    EXPECT_EQ(GetCartNotesFileName(7, exists), stem + ".TXT");
    EXPECT_TRUE(exists);
    WriteBytes(stem + ".RTF", "{\\rtf1}");
    exists = false;
    EXPECT_EQ(GetCartNotesFileName(7, exists), stem + ".RTF");
    EXPECT_TRUE(exists);
    exists = true;
    EXPECT_EQ(GetCartNotesFileName(0, exists), "");
    EXPECT_TRUE(exists); // unchanged for a number out of range
}

TEST_F(CartFilesTest, DeleteCartKeepsAudioUnlessAsked) {
    ASSERT_EQ(ConnectAudiowallParts(0, true), 0);
    CartRecord rec;
    rec.Description1 = Padded("Going");
    rec.TotalLength = 4;
    ASSERT_EQ(WriteCart(rec, 42, false, false), 0);
    std::string stem = wall_ + "/VNT00042";
    for (const char* ext : {".WAV", ".RTF", ".TXT", ".INF", ".FLK", ".LST"})
        WriteBytes(stem + ext, "x");
    WriteBytes(wall_ + "/vnt00042.wav", "second spelling");
    WriteBytes(wall_ + "/VNT00420.WAV", "another cart"); // cart 420
    WriteBytes(wall_ + "/VNT000421.INF", "a longer number");
    std::string linked = dir_.File("linked.wav");
    WriteBytes(linked, "linked audio");
    WriteBytes(stem + ".FLK", linked);
    Settings().Audio.AllowAudioFileLinking = 1;

    ScriptedBoxes boxes;
    EXPECT_EQ(DeleteCart(42, false, false, false), 0);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_TRUE(fs::exists(stem + ".WAV"));
    EXPECT_TRUE(fs::exists(wall_ + "/vnt00042.wav"));
    for (const char* ext : {".RTF", ".TXT", ".INF", ".FLK", ".LST"})
        EXPECT_FALSE(fs::exists(stem + ext)) << ext;
    EXPECT_TRUE(fs::exists(wall_ + "/VNT00420.WAV"));
    EXPECT_TRUE(fs::exists(wall_ + "/VNT000421.INF"));
    // The blank record went through WriteCart: an empty cart under the default title.
    std::string stored = Record(ReadBytes(ListFile(1)), 42);
    EXPECT_EQ(stored.substr(0, 20), "Vantor Cart         ");
    EXPECT_EQ(stored.substr(274, 4), CartsTest::Hex("000080BF"));
    EXPECT_EQ(ReadCart(rec, 42), 0);
    EXPECT_EQ(rec, context_.Carts.BlankCartRecord);

    WriteBytes(stem + ".FLK", linked);
    EXPECT_EQ(DeleteCart(42, true, false, false), 0);
    EXPECT_FALSE(fs::exists(stem + ".WAV"));
    EXPECT_TRUE(fs::exists(linked)); // a link is never followed
    EXPECT_EQ(DeleteCart(0, true, false, false), -1);
    EXPECT_EQ(DeleteCart(10000, true, false, false), -1);
}

TEST_F(CartFilesTest, BackupGoesIntoTheDatedFolder) {
    TestSupport::FrozenClock clock(Platform::Clock::SerialOfDate(2026, 12, 8), 3600);
    ASSERT_EQ(ConnectAudiowallParts(0, true), 0); // makes Carts1.lst .. Carts10.lst
    Part(11).Location = "";
    BackupAudiowallLists(false);
    std::string dated = wall_ + "/Backups/2026-12-08";
    ASSERT_TRUE(fs::is_directory(dated));
    for (int p = 1; p <= 10; ++p)
        EXPECT_EQ(ReadBytes(dated + "/Carts" + std::to_string(p) + ".lst"), ReadBytes(ListFile(p)))
            << p;

    // A second backup on the same day keeps the first copy, unless forced.
    CartRecord rec;
    rec.TotalLength = 2;
    ASSERT_EQ(WriteCart(rec, 1, false, false), 0);
    std::string first = ReadBytes(dated + "/Carts1.lst");
    BackupAudiowallLists(false);
    EXPECT_EQ(ReadBytes(dated + "/Carts1.lst"), first);
    BackupAudiowallLists(true);
    EXPECT_EQ(ReadBytes(dated + "/Carts1.lst"), ReadBytes(ListFile(1)));
    EXPECT_NE(ReadBytes(dated + "/Carts1.lst"), first);
}
