// The split's log path through its real parts: settings from an INI file on disk, carts from
// an audiowall on disk, the day's log fetched from the source folder.
#include "carts/CartsFixture.h"

#include "BreaksFixture.h"
#include "breaks/AdvertLog_FN.h"
#include "breaks/SplitEngine.h"
#include "core/MainSettings.h"
#include "platform/FileNumbers.h"

#include <chrono>
#include <filesystem>

using namespace Vantor_Cart_Routines;

namespace {

class SplitEndToEnd : public CartsTest::AudiowallTest {
protected:
    void SetUp() override {
        UseFolder("wall", 1, 10);
        ASSERT_EQ(ConnectAudiowallParts(0, true), 0);
        AddCart(101, 30.0f, 28.0f);
        AddCart(102, 20.0f, 18.5f);
    }
    void TearDown() override { Platform::FileNumbers::CloseAll(); }
    void AddCart(int32_t number, float length, float extro) {
        CartRecord rec;
        rec.Description1 = CartsTest::Padded("Cart " + std::to_string(number));
        rec.TotalLength = length;
        rec.AudioEnd = length;
        rec.PlayLength = length;
        rec.Extro = extro;
        ASSERT_EQ(WriteCart(rec, number, true, false), 0);
    }

    TestSupport::FrozenClock clock{46363, 9 * 3600.0};
};

} // namespace

TEST_F(SplitEndToEnd, SettingsFileAudiowallAndDeliveredLog) {
    const std::string source = dir_.File("in");
    const std::string dest = dir_.File("work");
    std::filesystem::create_directories(source);
    std::filesystem::create_directories(dest);
    const std::string ini = dir_.File("VNTZEL.INI");
    TestSupport::WriteBytes(ini, "[General]\r\nLogSourceDirectory1=" + source +
                                     "\r\nLogDestinationDirectory1=" + dest +
                                     "\r\n[LogFileName]\r\nPreSuffix1=ad\r\n"
                                     "LogTXChainCode1=ne\r\nDateFormat1=ddmmyy\r\n");
    MainSettings::LoadSplitSettings(ini, 1);
    // Delivered under a lower-case name, as copied from another system.
    TestSupport::WriteBytes(
        source + "/ad071226.log",
        BreaksTest::Join({BreaksTest::Full("06:00:00", "NE", 101, "A", 30, "R1"),
                          BreaksTest::Full("06:00:00", "NE", 103, "X", 30, ""),
                          BreaksTest::Full("06:00:00", "NE", 102, "B", 20, "R2"), ""},
                         "\n"));
    std::filesystem::last_write_time(source + "/ad071226.log",
                                     std::filesystem::file_time_type::clock::now() -
                                         std::chrono::minutes(1));
    BreaksTest::RecordingSender sender;
    SplitEngine engine(&sender);
    engine.SetCurrentAdBreakTime(46363, 0, true, false);

    EXPECT_TRUE(std::filesystem::exists(dest + "/AD071226.LOG"));
    EXPECT_EQ(sender.sent, std::vector<std::string>{"AD_CUE 21600"});
    const AdBreak& adBreak = engine.Break();
    ASSERT_EQ(adBreak.AdvertCount, 2); // cart 103 is not in the audiowall
    EXPECT_EQ(adBreak.Advert(1).CartNumber, 101);
    EXPECT_FLOAT_EQ(adBreak.Advert(1).Length, 30);
    EXPECT_FLOAT_EQ(adBreak.Advert(2).SegueLength, 18.5f);
    EXPECT_EQ(adBreak.Advert(2).Reference, "R2");
    EXPECT_FLOAT_EQ(engine.GetFileBreakLength(46363, 21600), 28 + 18.5f);
    EXPECT_EQ(AdvertLog_FN::BuildLogLine(21600, "NE", 102, "B", "R2", -1, false).substr(54, 4),
              "  18");
}
