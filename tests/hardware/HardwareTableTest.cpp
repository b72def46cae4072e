#include "support/TestSupport.h"

#include "hardware/HardwareAPI.h"
#include "hardware/ZEL_Specific_Hardware.h"
#include "main_window/ProgramContext.h"
#include "platform/Dio.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>
#include <vector>

using namespace HardwareAPI;
namespace Dio = Platform::Dio;

namespace {

class HardwareTable : public ::testing::Test {
protected:
    void TearDown() override { Dio::RemoveAllSimulatedCards(); }
    std::string Ini() const { return dir.File("VNTZEL.INI"); }
    std::string Value(const std::string& section, const std::string& key) const {
        return Platform::GetPrivateProfileString(section, key, "<none>", Ini());
    }

    ProgramContext context;
    ContextScope scope{context};
    TestSupport::ScratchDir dir;
    TestSupport::ScriptedBoxes boxes;
};

} // namespace

TEST_F(HardwareTable, CardTypesGiveTheirLineCounts) {
    struct Case {
        int32_t type;
        int16_t total, in, out;
    };
    for (Case c : std::vector<Case>{{0, 0, 0, 0},
                                    {1, 24, 24, 24},
                                    {2, 48, 48, 48},
                                    {3, 8, 8, 8},
                                    {4, 32, 16, 16},
                                    {5, 4, 4, 0}}) {
        int16_t total = -1, in = -1, out = -1;
        EXPECT_TRUE(GetCardLineCounts(c.type, -1, total, in, out)) << c.type;
        EXPECT_EQ(total, c.total) << c.type;
        EXPECT_EQ(in, c.in) << c.type;
        EXPECT_EQ(out, c.out) << c.type;
    }
    int16_t total = 7, in = 7, out = 7;
    EXPECT_FALSE(GetCardLineCounts(6, 0, total, in, out));
    EXPECT_EQ(total + in + out, 21);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(HardwareTable, AdvantechCountsComeFromTheDriver) {
    Dio::SimulatedCard& ports = Dio::InstallSimulatedCard(3);
    ports.Features.BoardID = 8; // configurable ports
    ports.Config.Modes = {0, 1, 3};
    int16_t total = 0, in = 0, out = 0;
    EXPECT_TRUE(GetCardLineCounts(4, 3, total, in, out));
    EXPECT_EQ(total, 24);
    EXPECT_EQ(in, 12);
    EXPECT_EQ(out, 12);
    EXPECT_EQ(ports.OpenHandles, 0); // closed again

    Dio::SimulatedCard& fixed = Dio::InstallSimulatedCard(4);
    fixed.Features = {17, 16, 8};
    EXPECT_TRUE(GetCardLineCounts(4, 4, total, in, out));
    EXPECT_EQ(total, 24);

    // A board reporting more than the table holds is used for its first 100 lines: the total
    // and each direction are held at 100, a count within it is kept.
    struct Board {
        int16_t inputs, outputs, total, in, out;
    };
    const Board boards[] = {{96, 64, 100, 96, 64},   {50, 50, 100, 50, 50},
                            {50, 51, 100, 50, 51},   {49, 50, 99, 49, 50},
                            {150, 20, 100, 100, 20}, {20, 101, 100, 20, 100}};
    for (const Board& b : boards) {
        SCOPED_TRACE(testing::Message() << b.inputs << " in, " << b.outputs << " out");
        fixed.Features = {17, b.inputs, b.outputs};
        EXPECT_TRUE(GetCardLineCounts(4, 4, total, in, out));
        EXPECT_EQ(total, b.total);
        EXPECT_EQ(in, b.in);
        EXPECT_EQ(out, b.out);
    }
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(HardwareTable, AdvantechFailuresAreShownAndTheDefaultsKept) {
    int16_t total = 0, in = 0, out = 0;
    EXPECT_FALSE(GetCardLineCounts(4, 9, total, in, out)); // nothing at device 9
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].prompt.rfind("There was a problem connecting to the Advantech "
                                            "Card, and the error message was:\n\n",
                                            0),
              0u);
    EXPECT_EQ(total, 32);

    Dio::SimulatedCard& card = Dio::InstallSimulatedCard(2);
    card.Features.BoardID = 6;
    card.FailConfig = Dio::DioDriverFailed;
    card.FailClose = Dio::DioDriverFailed;
    EXPECT_FALSE(GetCardLineCounts(4, 2, total, in, out));
    ASSERT_EQ(boxes.Count(), 3u);
    EXPECT_NE(boxes.Shown()[1].prompt.find("getting information about"), std::string::npos);
    EXPECT_NE(boxes.Shown()[2].prompt.find("disconnecting from"), std::string::npos);
    EXPECT_EQ(card.OpenHandles, 0);
    EXPECT_EQ(total, 32);
    EXPECT_EQ(in, 16);
}

TEST_F(HardwareTable, SimulatedCardBytesGoBothWays) {
    Dio::SimulatedCard& card = Dio::InstallSimulatedCard(1);
    int32_t handle = 0;
    ASSERT_EQ(Dio::DRV_DeviceOpen(1, handle), Dio::DioOk);
    card.InputBytes[1] = 0xA5;
    uint8_t value = 0;
    EXPECT_EQ(Dio::DRV_DioReadPortByte(handle, 1, value), Dio::DioOk);
    EXPECT_EQ(value, 0xA5);
    EXPECT_EQ(Dio::DRV_DioWritePortByte(handle, 2, 0x3C), Dio::DioOk);
    EXPECT_EQ(card.OutputBytes[2], 0x3C);
    EXPECT_EQ(Dio::DRV_DioWritePortByte(handle, 99, 1), Dio::DioBadPort);
    EXPECT_EQ(Dio::DRV_DeviceClose(handle), Dio::DioOk);
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(Dio::DRV_DioReadPortByte(7, 0, value), Dio::DioBadHandle);
    EXPECT_EQ(Dio::DRV_GetErrorMessage(Dio::DioNoDevice, 10).size(), 9u);
}

TEST_F(HardwareTable, SettingsRoundTripExactly) {
    HardwareCard& card = Card(1);
    card.CardType = CardSerialIO;
    card.BaseAddress = 2;
    card.TotalLines = 8;
    card.Line(1) = HardwareLine{};
    card.Line(1).LineType = 1;
    card.Line(1).Description = "Source";
    card.Line(2).LineType = 1;
    card.Line(2).ActiveLow = -1;
    card.Line(2).Color = 255;
    card.Line(2).Action = 151;
    card.Line(2).Data1 = 2;
    card.Line(2).Data4 = -7;
    card.Line(3).LineType = 0; // a plain input: kept as an input
    card.Line(4).LineType = 1; // a plain output: not written
    card.Line(5).Description = std::string(300, 'd');
    card.Line(5).LineType = 1;
    Card(2).CardType = 0;
    // A station's hand-written file: a note after a header, a comment in a section.
    TestSupport::WriteBytes(Ini(), "[Hardware1] ; card [2] in slot\r\nLineType20=1\r\n"
                                   "[Hardware2]\r\n; spare card\r\nCardType=5\r\n");
    ZEL_Specific::SaveHardwareSettings(Ini());

    const std::string saved = TestSupport::ReadBytes(Ini());
    EXPECT_EQ(saved.find("[Hardware1]"), saved.rfind("[Hardware1]")) << "section written twice";
    EXPECT_NE(saved.find("; spare card\r\n"), std::string::npos) << "comment lost";
    EXPECT_EQ(Value("Hardware2", "CardType"), "<none>"); // a disabled card loses its section
    EXPECT_EQ(Value("Hardware1", "LineType20"), "<none>");
    EXPECT_EQ(Value("Hardware1", "LineType4"), "<none>");
    EXPECT_EQ(Value("Hardware1", "LineType3"), "0");
    EXPECT_EQ(Value("Hardware1", "ActiveLow2"), "-1");
    EXPECT_EQ(Value("Hardware1", "Action2Data4"), "-7");
    EXPECT_EQ(Value("Hardware1", "Description1"), "Source");
    EXPECT_EQ(Value("Hardware1", "Action1"), "0"); // a line with only a description

    ProgramContext other;
    ContextScope otherScope{other};
    ZEL_Specific::LoadHardwareSettings(Ini());
    const HardwareCard& back = Card(1);
    EXPECT_EQ(back.CardType, CardSerialIO);
    EXPECT_EQ(back.BaseAddress, 2);
    EXPECT_EQ(back.CommPort, 2);
    EXPECT_EQ(back.TotalLines, 8);
    EXPECT_EQ(back.Line(1).Description, "Source");
    EXPECT_EQ(back.Line(2).ActiveLow, -1);
    EXPECT_EQ(back.Line(2).Color, 255);
    EXPECT_EQ(back.Line(2).Action, 151);
    EXPECT_EQ(back.Line(2).Data1, 2);
    EXPECT_EQ(back.Line(2).Data4, -7);
    EXPECT_EQ(back.Line(3).LineType, 0);
    EXPECT_EQ(back.Line(4).LineType, 1);
    EXPECT_EQ(back.Line(5).Description, std::string(254, 'd'));
    EXPECT_EQ(back.Line(9).LineType, 0); // beyond the card: a cleared input
    EXPECT_EQ(Card(2).CardType, 0);
    EXPECT_EQ(Card(2).Line(1).LineType, 0);

    // Loaded and saved again, the file stays byte for byte as it is.
    ZEL_Specific::SaveHardwareSettings(Ini());
    std::string first = TestSupport::ReadBytes(Ini());
    ZEL_Specific::LoadHardwareSettings(Ini());
    ZEL_Specific::SaveHardwareSettings(Ini());
    EXPECT_EQ(TestSupport::ReadBytes(Ini()), first);
}

TEST_F(HardwareTable, LinesAreSetByNumberAndByAction) {
    std::vector<std::pair<int16_t, int16_t>> actions;
    State().doHardwareAction = [&](int16_t c, int16_t l) { actions.push_back({c, l}); };
    Card(1).CardType = CardSerialIO;
    Card(2).CardType = CardAdvantech;
    int16_t n = 0;
    EXPECT_FALSE(SetHardwareLine(n, OutputOn));
    n = 301;
    EXPECT_FALSE(SetHardwareLine(n, OutputOn));
    EXPECT_TRUE(actions.empty());
    n = 100;
    EXPECT_TRUE(SetHardwareLine(n, OutputFlashing));
    EXPECT_EQ(Card(1).Line(100).State, -1);
    EXPECT_EQ(Card(1).Line(100).Flashing, -1);
    EXPECT_TRUE(SetHardwareLine(n, OutputOn));
    EXPECT_EQ(Card(1).Line(100).Flashing, 0);
    n = 101;
    SetHardwareLine(n, OutputPulse);
    EXPECT_NE(Card(2).Line(1).PulseEnd.Day, 0);
    SetHardwareLine(n, OutputOff);
    EXPECT_EQ(Card(2).Line(1).PulseEnd.Day, 0);
    EXPECT_EQ(Card(2).Line(1).State, 0);
    n = 250; // disabled card: nothing set, the action runner still told
    SetHardwareLine(n, OutputOn);
    EXPECT_EQ(Card(3).Line(50).State, 0);
    EXPECT_EQ(actions.back(), (std::pair<int16_t, int16_t>{3, 50}));

    for (int c : {1, 2, 3}) {
        Card(c).Line(7).Action = 258;
        Card(c).Line(7).Data1 = 4;
        Card(c).Line(7).LineType = 0; // an input
        Card(c).Line(8).Action = 258;
        Card(c).Line(8).Data1 = 5;
        Card(c).Line(8).LineType = 1;
    }
    actions.clear();
    int16_t d1 = 255, d2 = 255, d3 = 255, d4 = 255, outputsOnly = -1;
    SetLinesByAction(258, OutputOn, d1, d2, d3, d4, outputsOnly);
    EXPECT_EQ(actions, (std::vector<std::pair<int16_t, int16_t>>{{1, 8}, {2, 8}}));
    outputsOnly = 0;
    d1 = 4;
    actions.clear();
    SetLinesByAction(258, OutputOn, d1, d2, d3, d4, outputsOnly);
    EXPECT_EQ(actions, (std::vector<std::pair<int16_t, int16_t>>{{1, 7}, {2, 7}}));
    EXPECT_EQ(Card(3).Line(7).State, 0);

    EXPECT_EQ(GetHardwareLine(0).Action, 0);
    EXPECT_EQ(GetHardwareLine(207).Action, 258);
    EXPECT_EQ(GetHardwareLine(108).State, -1);
}
