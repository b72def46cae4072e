// The serial command port over pseudo-terminal pairs, with the break on real cart players.
#include "support/BreakRig.h"
#include "support/PtyPair.h"

#include "core/SerialSettings.h"
#include "main_window/SerialCommandPort.h"
#include "platform/SerialPort.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using BreakRig::Advert;
using BreakRig::Rig;
using MainWindow::SerialCommandPort;

namespace {

const std::string kEsc = "\x1B";

// The codes of a profile as the playout system's tools write it.
void UseProfileCodes(const TestSupport::ScratchDir& dir, int32_t slack) {
    const std::string profile = dir.File("VANTOR25.PRF");
    TestSupport::WriteBytes(
        profile, "[CommandCodes]\r\nCheckGroupBreakLengthDifference=" + std::to_string(slack) +
                     "\r\n[IncomingSerialCodes]\r\n<ESC>BR<CR>=BREAK\r\n"
                     "<ESC>GR1<CR>=GROUP 1\r\n<ESC>TE<CR>=TEST\r\n"
                     "<ESC>CA12<CR>=CART 12\r\n");
    SerialSettings::LoadCommandCodes(profile);
}

// The COM log's lines without their date and time.
std::vector<std::string> ComLines() {
    const std::string text = TestSupport::ReadBytes(SerialCommandPort::TodaysComLogFile());
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start + 20, end - start - 20));
    return lines;
}

class SerialCommandPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.Open());
        for (const Advert& a : {Advert{801, 2.0f, 1.505f, "Advert One", "REF801", 1000},
                                Advert{802, 2.0f, 1.505f, "Advert Two", "REF802", 2000}})
            ASSERT_TRUE(rig.AddAdvert(a));
        rig.WriteLog({{36000, {801, 802}}});
        rig.CueBreak(36000);
        ASSERT_EQ(rig.Engine().Break().AdvertCount, 2);
        setenv("VNTZEL_COM7", control.slavePath.c_str(), 1);
        setenv("VNTZEL_COM8", bounce.slavePath.c_str(), 1);
        for (auto [port, number] : {std::pair{&controlPort, 7}, std::pair{&bouncePort, 8}}) {
            ASSERT_EQ(port->SetCommPort(static_cast<int16_t>(number)), 0);
            ASSERT_EQ(port->SetPortOpen(true), 0) << port->LastErrorText();
        }
        serial.SetSplit(&rig.Engine());
        serial.Doors.checksAgainstAds = [](int16_t group) { return group == 1; };
        serial.Doors.firstCartOfGroup = [](int16_t) { return 801; };
        serial.Doors.playCartGroup = [this](int16_t group, bool) { groups.push_back(group); };
        serial.Doors.playCart = [this](int32_t cart, int16_t) { carts.push_back(cart); };
    }
    void Send(const std::string& bytes) {
        ASSERT_TRUE(control.WriteMaster(bytes));
        sentBytes += bytes;
    }
    bool WaitForComLines(size_t count) {
        return TestSupport::PumpUntil([&] { return ComLines().size() >= count; }, 5000);
    }

    Rig rig;
    TestSupport::PtyPair control, bounce;
    Platform::SerialPort controlPort, bouncePort;
    SerialCommandPort serial{controlPort, bouncePort};
    TestSupport::ScratchDir dir;
    std::vector<int16_t> groups;
    std::vector<int32_t> carts;
    std::string sentBytes;
};

} // namespace

TEST_F(SerialCommandPortTest, PacketsFromTheLineArePlayedLoggedAndBounced) {
    // The group stands in for the break: its first cart's segue (1.505 s) is off the break's
    // length (3.01 s) by more than one second.
    UseProfileCodes(dir, 1);
    Send("xy" + kEsc + "gr1\r" + kEsc + "CA12\r");
    ASSERT_TRUE(WaitForComLines(3));
    EXPECT_EQ(groups, std::vector<int16_t>{1});
    EXPECT_EQ(carts, std::vector<int32_t>{12});
    EXPECT_NE(TestSupport::ReadBytes(ZEL_Specific::ErrorLogFile(1))
                  .find("[Code:BRM1] Advert Break 10:00:00 (Length: 00:00:03) missed due to "
                        "incorrect Length"),
              std::string::npos);
    Send(kEsc + "ZZ\r");
    ASSERT_TRUE(WaitForComLines(4));

    // 100 KB of noise with NULs and 8-bit bytes and no end code, then a break packet.
    std::string noise;
    for (int i = 0; i < 100 * 1024; ++i)
        noise += static_cast<char>(i % 7 == 0 ? 0 : (i % 5 == 0 ? 0xE9 : 'a' + i % 26));
    Send(noise);
    EXPECT_LE(serial.SerialInputBuffer.size(), SerialCommandPort::kMaxBuffer);
    Send(kEsc + "BR\r");
    // The bytes cross the line in real time, however fast virtual time runs.
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return Breaks::State().BreakRunning; }, 10000));
    ASSERT_TRUE(rig.RunUntil([&] { return !Breaks::State().BreakRunning; }, 8000));
    rig.Run(3000);
    std::vector<int32_t> played;
    for (const BreakRig::Sound& sound : rig.Sounds())
        played.push_back(sound.cart);
    EXPECT_EQ(played, (std::vector<int32_t>{801, 802}));

    const std::vector<std::string> lines = ComLines();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], "DISCARD : XY : PREVALID START CODE");
    EXPECT_EQ(lines[1], " DATA: " + kEsc + "GR1\r ACTION: Play Group 1");
    EXPECT_EQ(lines[2], " DATA: " + kEsc + "CA12\r ACTION: Play Cart 12");
    EXPECT_EQ(lines[3], " DATA: " + kEsc + "ZZ\r ACTION:  COMMAND NOT FOUND");
    EXPECT_EQ(lines.back(), " DATA: " + kEsc + "BR\r ACTION: Advert Break");
    const std::string& beforeBreak = lines[lines.size() - 2];
    const std::string prevalid = " : PREVALID START CODE";
    ASSERT_GT(beforeBreak.size(), prevalid.size());
    EXPECT_EQ(beforeBreak.substr(beforeBreak.size() - prevalid.size()), prevalid);
    EXPECT_NE(lines[4].find(" : BUFFER FULL"), std::string::npos);
    // Every byte received is repeated on the bounce port.
    EXPECT_EQ(bounce.ReadMaster(sentBytes.size()), sentBytes);
}

TEST_F(SerialCommandPortTest, FramingModesReentryAndTheWeekdayLog) {
    UseProfileCodes(dir, 2);
    // Last Monday's file starts afresh (7 December 2026 is a Monday).
    const std::string log = SerialCommandPort::TodaysComLogFile();
    ASSERT_EQ(log.substr(log.size() - 11), "COM_Mon.LOG");
    TestSupport::WriteBytes(log, "old line\r\n");
    std::filesystem::last_write_time(log, std::filesystem::file_time_type::clock::now() -
                                              std::chrono::hours(24 * 7));

    // A test command that pushes the buffer through the framer again (the Force button while
    // a command runs) neither runs a packet twice nor removes the wrong text.
    int tests = 0;
    serial.Doors.testCommand = [&] {
        ++tests;
        serial.ProcessSerialBuffer(serial.SerialInputBuffer);
    };
    serial.SerialInputBuffer = kEsc + "TE\r" + kEsc + "TE\r" + kEsc + "T";
    serial.ProcessSerialBuffer(serial.SerialInputBuffer);
    EXPECT_EQ(tests, 2);
    EXPECT_EQ(serial.SerialInputBuffer, kEsc + "T");
    ASSERT_EQ(ComLines().size(), 2u);
    EXPECT_EQ(TestSupport::ReadBytes(log).find("old line"), std::string::npos);

    // Fixed-length packets without a start code are cut one after another.
    SerialSettings::Settings().StartCode.clear();
    SerialSettings::Settings().EndCode.clear();
    SerialSettings::Settings().PacketLength = 3;
    SerialSettings::Settings().SerialCommandTable = "BRK=BR ABC=TE ";
    serial.SerialInputBuffer = "ABCABCAB";
    serial.ProcessSerialBuffer(serial.SerialInputBuffer);
    EXPECT_EQ(tests, 4);
    EXPECT_EQ(serial.SerialInputBuffer, "AB");
    // Neither an end code nor a length: the framer waits instead of spinning.
    SerialSettings::Settings().PacketLength = 0;
    serial.SerialInputBuffer = "ABC";
    serial.ProcessSerialBuffer(serial.SerialInputBuffer);
    EXPECT_EQ(serial.SerialInputBuffer, "ABC");
    // Ignored on purpose: logged, not run.
    SerialSettings::Settings().PacketLength = 3;
    serial.IgnoreSerialCommands = true;
    serial.ProcessSerialBuffer(serial.SerialInputBuffer);
    EXPECT_EQ(tests, 4);
    EXPECT_EQ(ComLines().back(), " DATA: ABC ACTION:  IGNORED ON PURPOSE");
}
