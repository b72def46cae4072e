// The cart chunk written from the record, the tag file and the cart information report.
#include "CartsFixture.h"
#include "support/WavFixtures.h"

#include "browsing/frmPrintPreview.h"
#include "carts/Audio_Player_FN.h"
#include "platform/Clock.h"
#include "platform/VB.h"

#include <cstring>
#include <filesystem>

using namespace Vantor_Cart_Routines;
using CartsTest::AudiowallTest;
using CartsTest::Padded;

namespace {

class CartChunkTest : public AudiowallTest {
protected:
    void SetUp() override {
        wall_ = UseFolder("wall", 1, 10);
        ASSERT_EQ(ConnectAudiowallParts(0, true), 0);
    }
    CartRecord Cart() {
        CartRecord rec;
        rec.Description1 = Padded("Summer Sale");
        rec.Description2 = Padded("Big Store");
        rec.Description3 = Padded("Spot 30");
        rec.TotalLength = 70;
        rec.AudioEnd = 70;
        rec.IntroStart = 1.5f;
        rec.IntroEnd = 7.25f;
        rec.Extro = 60;
        rec.BackColor = 255;
        rec.ForeColor = static_cast<int32_t>(0x8000000F);
        return rec;
    }
    std::string Audio(int32_t cart) { return GetCartAudioFileName(cart, false, false); }
    void PutWav(int32_t cart, uint32_t rate) {
        TestSupport::WriteBytes(Audio(cart), WavFixtures::PcmWav(1, rate, {1, 2, 3, 4}));
        std::filesystem::last_write_time(Audio(cart), oldTime_);
    }
    // The 2048-byte chunk stored in a cart's audio file.
    MultimediaAPI::CartChunk StoredChunk(int32_t cart) {
        std::string bytes = TestSupport::ReadBytes(Audio(cart));
        size_t at = bytes.find("cart");
        EXPECT_NE(at, std::string::npos);
        if (at == std::string::npos) return {};
        return MultimediaAPI::CartChunkFromBytes(bytes.substr(at + 8, 2048));
    }
    static std::string Field(const char* data, size_t size) { return std::string(data, size); }
    static std::string Usage(const MultimediaAPI::CartTimer& t) { return std::string(t.Usage, 4); }

    std::string wall_;
    // Whole seconds: file times keep 100-ns steps.
    std::filesystem::file_time_type oldTime_ = std::chrono::floor<std::chrono::seconds>(
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(240));
};

} // namespace

TEST_F(CartChunkTest, NewAudioWriteFillsTheChunkAndKeepsTheFileTime) {
    PutWav(42, 44100);
    CartRecord rec = Cart();
    rec.EndingType = 2;
    ASSERT_EQ(WriteCart(rec, 42, false, true), 0);
    MultimediaAPI::CartChunk c = StoredChunk(42);
    EXPECT_EQ(Field(c.Version, 4), "0101");
    EXPECT_EQ(Field(c.Title, 64), Padded("Summer Sale", 64));
    EXPECT_EQ(Field(c.Artist, 64), Padded("Big Store", 64));
    EXPECT_EQ(Field(c.CutID, 64), Padded("42", 64));
    EXPECT_EQ(Field(c.Category, 64), Padded("ALL", 64));
    EXPECT_EQ(Field(c.Classification, 64), Padded("Spot 30", 64));
    EXPECT_EQ(Field(c.ProducerAppID, 64), Padded("Orbury", 64));
    EXPECT_EQ(Field(c.ProducerAppVersion, 64), Padded("VNTZEL Version 1.0.0", 64));
    EXPECT_EQ(Field(c.UserDef, 64),
              Padded(" BackColor=&H000000FF& ForeColor=&H8000000F& EndingType=Fades", 64));
    EXPECT_EQ(Field(c.ClientID, 64), std::string(64, '\0'));
    EXPECT_EQ(Field(c.URL, 1024), std::string(1024, '\0'));
    EXPECT_EQ(c.LevelReference, 0);
    const char* usages[8] = {"INTs", "INTe", "OUT ", "    ", "    ", "    ", "    ", "    "};
    const int32_t values[8] = {66150, 319725, 2646000, -1, -1, -1, -1, -1};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Usage(c.PostTimer[i]), usages[i]) << i;
        EXPECT_EQ(c.PostTimer[i].Value, values[i]) << i;
    }
    EXPECT_EQ(std::filesystem::last_write_time(Audio(42)), oldTime_);
}

TEST_F(CartChunkTest, HookAndLoopMarkersAndEndings) {
    CartRecord rec = Cart();
    rec.HookStart = 2;
    rec.HookEnd = 4.5f;
    rec.LoopStart = 0.5f;
    rec.LoopEnd = 1;
    rec.LoopMode = kLoopOn;
    rec.EndingType = 1;
    MultimediaAPI::CartChunk c = BuildCartChunk(7, rec, nullptr, 8000);
    const char* usages[8] = {"INTs", "INTe", "OUT ", "1MRK", "2MRK", "3MRK", "4MRK", "    "};
    const int32_t values[8] = {12000, 58000, 480000, 16000, 36000, 4000, 8000, -1};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Usage(c.PostTimer[i]), usages[i]) << i;
        EXPECT_EQ(c.PostTimer[i].Value, values[i]) << i;
    }
    EXPECT_NE(Field(c.UserDef, 64).find("EndingType=Ends"), std::string::npos);

    // Without a hook the loop markers move up; ending type 0 names no ending.
    rec.HookEnd = 0;
    rec.EndingType = 0;
    c = BuildCartChunk(7, rec, nullptr, 8000);
    EXPECT_EQ(Usage(c.PostTimer[3]), "3MRK");
    EXPECT_EQ(Usage(c.PostTimer[4]), "4MRK");
    EXPECT_EQ(c.PostTimer[5].Value, -1);
    EXPECT_EQ(Field(c.UserDef, 64).find("EndingType"), std::string::npos);
    // Halves go to the even neighbour.
    rec.IntroStart = 0.5f;
    EXPECT_EQ(BuildCartChunk(7, rec, nullptr, 1).PostTimer[0].Value, 0);
    rec.IntroStart = 1.5f;
    EXPECT_EQ(BuildCartChunk(7, rec, nullptr, 1).PostTimer[0].Value, 2);
}

TEST_F(CartChunkTest, TagFileOverridesTitlesWhenAllowed) {
    CartRecord rec = Cart();
    ASSERT_EQ(WriteCart(rec, 43, false, false), 0);
    TestSupport::WriteBytes(GetCartBaseName(43) + ".INF",
                            "[Copyright]\r\nProductTitle=Product\r\nMusicTitle=Tune\r\n"
                            "Composer=Writer\r\nTotalDuration=31.5s\r\n");
    CartTagInfo info;
    int32_t cart = 43;
    ASSERT_TRUE(ReadCartInfoFile(cart, info));
    EXPECT_EQ(info.ProductTitle, "Product");
    EXPECT_EQ(info.Performer, "");
    EXPECT_FLOAT_EQ(info.TotalDuration, 31.5f);
    EXPECT_FLOAT_EQ(info.MusicDuration, 0);

    PutWav(43, 22050);
    ASSERT_TRUE(UpdateCartChunk(43)); // tags not allowed: titles from the record
    EXPECT_EQ(Field(StoredChunk(43).Title, 64), Padded("Summer Sale", 64));
    Settings().Audio.UseCopyrightInCartChunk = 1;
    ASSERT_TRUE(UpdateCartChunk(43));
    MultimediaAPI::CartChunk c = StoredChunk(43);
    EXPECT_EQ(Field(c.Title, 64), Padded("Tune", 64));
    EXPECT_EQ(Field(c.Artist, 64), Padded("Writer", 64));
    EXPECT_EQ(c.PostTimer[0].Value, 33075);
}

TEST_F(CartChunkTest, InfoFileAndChunkEdgeCases) {
    CartRecord rec = Cart();
    ASSERT_EQ(WriteCart(rec, 44, false, false), 0);
    CartTagInfo info;
    info.Composer = "kept";
    int32_t zero = 0, cart = 44;
    EXPECT_FALSE(ReadCartInfoFile(zero, info));
    ASSERT_TRUE(ReadCartInfoFile(cart, info));
    EXPECT_EQ(info.Composer, "kept"); // no tag file: texts untouched
    EXPECT_FLOAT_EQ(info.TotalDuration, 70);

    EXPECT_FALSE(UpdateCartChunk(0));
    EXPECT_TRUE(UpdateCartChunk(44)); // no audio file
    TestSupport::WriteBytes(Audio(44), "not a wave file at all");
    EXPECT_FALSE(UpdateCartChunk(44));
}

TEST_F(CartChunkTest, ReportTextAndViewer) {
    TestSupport::FrozenClock clock(VB::DateSerial(2026, 12, 8), 12 * 3600);
    CartRecord rec = Cart();
    rec.LastPlayed[0] = VB::DateSerial(2026, 3, 4) + VB::TimeSerial(9, 5, 7);
    rec.LastPlayed[1] = VB::DateSerial(2027, 1, 1); // in the future: not shown
    rec.LastPlayed[2] = 29000;                      // too early: not shown
    rec.LastPlayedCode[0] = 3;                      // no place list: no place name
    ASSERT_EQ(WriteCart(rec, 45, false, false), 0);
    const std::string expected = "Cart Number       : 45\r\n"
                                 "Description       : Summer Sale\r\n"
                                 "                  : Big Store\r\n"
                                 "                  : Spot 30\r\n"
                                 "\r\n"
                                 "Intro Start       : 00:00:01.50\r\n"
                                 "Intro End         : 00:00:07.25\r\n"
                                 "(Intro Length)    : 00:00:05.75\r\n"
                                 "Extro             : 00:01:00.00\r\n"
                                 "Length            : 00:01:10.00\r\n"
                                 "\r\n"
                                 "Last Play 1       : 09:05:07    04 Mar 2026\r\n"
                                 "Last Play 2       :\r\n"
                                 "Last Play 3       :\r\n"
                                 "Last Play 4       :\r\n"
                                 "Last Play 5       :\r\n";
    CartRecord read;
    ASSERT_EQ(ReadCart(read, 45), 0);
    EXPECT_EQ(Audio_Player_FN::CartInfoReportText(45, read), expected);

    Browsing::frmPrintPreview viewer;
    int32_t cart = 45;
    auto show = [&viewer](const std::string& report) { viewer.ShowReport(report); };
    Audio_Player_FN::BuildCartInfoReport(cart, show);
    EXPECT_TRUE(viewer.isVisible());
    std::string shown = viewer.Text();
    EXPECT_EQ(shown.substr(0, 22), "Cart Number       : 45");

    int shows = 0;
    int32_t blank = 46, outside = 10000;
    Audio_Player_FN::BuildCartInfoReport(blank, [&](const std::string&) { ++shows; });
    Audio_Player_FN::BuildCartInfoReport(outside, [&](const std::string&) { ++shows; });
    EXPECT_EQ(shows, 0);
}
