// The hardware manager's poll on a simulated DIO card and a serial I/O card simulator on a
// pseudo-terminal: inputs through the action runner, outputs from the line states.
#include "support/TestSupport.h"
#include "support/WaveTestSupport.h"

#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "hardware/HardwareManagerEngine.h"
#include "main_window/ProgramContext.h"
#include "platform/Dio.h"

#include <QCoreApplication>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

using HardwareAPI::Card;
namespace Dio = Platform::Dio;
constexpr int32_t kDay = 46363;
constexpr double kTen = 36000.0;

void Configure(int card, int line, int32_t type, int32_t action, int32_t data1) {
    HardwareAPI::HardwareLine& l = Card(card).Line(line);
    l.LineType = type;
    l.Action = action;
    l.Data1 = data1;
}

class HardwareManagerPoll : public ::testing::Test {
protected:
    void SetUp() override {
        context.Hardware.Doors.ignoreSerialCommands = [this](bool ignore) { ignoring = ignore; };
        sim.Features = {1, 8, 8};
        HardwareAPI::HardwareCard& card = Card(1);
        card.CardType = HardwareAPI::CardAdvantech;
        card.BaseAddress = 7;
        card.TotalLines = 16;
        card.Inputs = card.Outputs = 8;
        Configure(1, 1, 0, 144, 3);  // input: ignore serial commands while active
        Configure(1, 9, 1, 151, 1);  // output: the heartbeat, flashing
        Configure(1, 10, 1, 0, 0);   // output, active low, off
        Configure(1, 11, 1, 144, 2); // "Generate Rec Logs" set while a pulse runs
        Card(1).Line(10).ActiveLow = -1;
        Card(1).Line(3).ActiveLow = -1; // an active-low input whose bit is 0 is active
    }
    void TearDown() override {
        Dio::RemoveAllSimulatedCards();
        GeneralFunctions::State().DebugMode = 0;
        qunsetenv("VNTZEL_SYSTEMDRIVE");
    }
    void TraceToScratch() {
        qputenv("VNTZEL_SYSTEMDRIVE", QByteArray::fromStdString(dir.Path()));
        GeneralFunctions::State().DebugMode = -1;
    }
    void TickAt(double seconds) {
        Platform::Clock::SetNow(kDay, seconds);
        engine.hwTimer_Timer();
    }

    TestSupport::ScratchDir dir;
    ProgramContext context;
    ContextScope scope{context};
    TestSupport::ScriptedBoxes boxes;
    TestSupport::FrozenClock clock{kDay, kTen};
    Dio::SimulatedCard& sim = Dio::InstallSimulatedCard(7);
    HardwareManager::HardwareManagerEngine engine;
    bool ignoring = false; // the serial command port's flag
};

TEST_F(HardwareManagerPoll, FlashPulseActiveLowInputsAndTheOutputCache) {
    ASSERT_TRUE(engine.Load());
    EXPECT_EQ(engine.CardList(),
              (std::vector<std::string>{"1 : Advantech Card", "2 : Disabled", "3 : Disabled"}));
    int16_t pulse = 11;
    HardwareAPI::SetHardwareLine(pulse, HardwareAPI::OutputPulse);
    EXPECT_TRUE(context.Settings.LoggingAllowed) << "the pulse's action ran on activation";

    sim.InputBytes[0] = 0b001; // line 1 active; line 3 (active low) active at bit 0
    std::vector<int> flashBits;
    for (int h = 0; h < 100; h += 10) {
        TickAt(kTen + h / 100.0);
        const uint8_t byte = sim.OutputBytes[0];
        flashBits.push_back(byte & 1);
        EXPECT_EQ(byte & 2, 2) << "an active-low output that is off is driven high";
        EXPECT_EQ(byte & 4, 4) << "the pulse is still on at hundredth " << h;
    }
    EXPECT_EQ(flashBits, (std::vector<int>{1, 1, 0, 1, 0, 1, 1, 0, 1, 0}));
    EXPECT_TRUE(ignoring);
    EXPECT_EQ(Card(1).Line(3).State, -1);
    EXPECT_EQ(Card(1).Line(2).State, 0);

    TickAt(kTen + 1.0); // the pulse ends on the first tick at or after its end
    EXPECT_EQ(sim.OutputBytes[0] & 4, 0);
    EXPECT_EQ(Card(1).Line(11).State, 0);
    EXPECT_FALSE(context.Settings.LoggingAllowed) << "the runner saw the line clear";

    // An unchanged byte is not written again.
    TickAt(kTen + 1.2); // flash off
    sim.OutputBytes[0] = 0xEE;
    TickAt(kTen + 1.22);
    EXPECT_EQ(sim.OutputBytes[0], 0xEE);
    EXPECT_EQ(engine.PortOutputCache(1, 1), 0b010);

    sim.InputBytes[0] = 0b100; // line 1 clear, line 3 inactive
    TickAt(kTen + 1.3);
    EXPECT_FALSE(ignoring);
    EXPECT_EQ(Card(1).Line(3).State, 0);

    // Applied settings reload the manager: the heartbeat flashes on, an output that was on stays
    // on, and the first tick writes them again.
    Configure(1, 12, 1, 0, 0);
    int16_t source = 12;
    HardwareAPI::SetHardwareLine(source, HardwareAPI::OutputOn);
    engine.Unload();
    ASSERT_TRUE(engine.Load());
    sim.OutputBytes[0] = 0;
    TickAt(kTen + 2.0); // flash on
    EXPECT_EQ(sim.OutputBytes[0], 0b1011);
    TickAt(kTen + 2.2); // flash off
    EXPECT_EQ(sim.OutputBytes[0], 0b1010);
    engine.Unload();
    EXPECT_EQ(Card(1).DriverHandle, 0);
    EXPECT_EQ(sim.OpenHandles, 0);
}

TEST_F(HardwareManagerPoll, AReadErrorIsShownOncePerCodeUntilThePortReadsAgainAndAlwaysTraced) {
    TraceToScratch();
    ASSERT_TRUE(engine.Load());
    sim.FailRead = Dio::DioDriverFailed;
    for (int i = 0; i < 3; ++i)
        TickAt(kTen + i / 10.0);
    EXPECT_EQ(boxes.Count(), 1u);
    sim.FailRead = 0;
    TickAt(kTen + 0.5);
    sim.FailRead = Dio::DioDriverFailed;
    TickAt(kTen + 0.6);
    ASSERT_EQ(boxes.Count(), 2u) << "shown again after a good read";
    EXPECT_EQ(boxes.Shown()[0].prompt, Dio::DRV_GetErrorMessage(Dio::DioDriverFailed, 80));
    GeneralFunctions::State().DebugMode = 0;
    const std::string trace = TestSupport::ReadBytes(GeneralFunctions::DebugTraceFile(kDay));
    EXPECT_EQ(TestSupport::Occurrences(trace, "port 0 read failed"), 4u);
}

TEST_F(HardwareManagerPoll, ABoardBeyondTheTableAndTheCacheIsServedWithinBoth) {
    Card(1).TotalLines = 100;
    Card(1).Inputs = 104; // 13 input ports, 8 output ports reported
    Card(1).Outputs = 64;
    sim.OutputBytes[6] = sim.OutputBytes[7] = 0xAA;
    sim.InputBytes.fill(0xFF);
    ASSERT_TRUE(engine.Load());
    engine.hwTimer_Timer();
    EXPECT_EQ(sim.OutputBytes[6], 0xAA);
    EXPECT_EQ(sim.OutputBytes[7], 0xAA);
    EXPECT_EQ(Card(1).Line(100).State, -1);
    // Inputs 101..104 have no place in the table: nothing past line 100 is written.
    EXPECT_EQ(Card(1).TotalLines, 100);
    EXPECT_EQ(Card(1).Inputs, 104);
    EXPECT_EQ(Card(1).Outputs, 64);
    EXPECT_EQ(Card(2).CardType, 0);
    for (int line = 1; line <= 4; ++line)
        EXPECT_EQ(Card(2).Line(line).State, 0) << line;
}

// A pseudo-terminal standing in for the serial I/O card.
class SerialCardSimulator {
public:
    SerialCardSimulator() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return;
        termios raw{};
        tcgetattr(slave_, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave_, TCSANOW, &raw);
        fcntl(master_, F_SETFL, O_NONBLOCK);
        path = name;
    }
    ~SerialCardSimulator() {
        close(master_);
        close(slave_);
    }
    // What the manager has sent, once `want` bytes have come.
    std::string Read(size_t want) {
        std::string got;
        TestSupport::PumpUntil(
            [&] {
                char buffer[256];
                ssize_t n = read(master_, buffer, sizeof buffer);
                if (n > 0) got.append(buffer, static_cast<size_t>(n));
                return got.size() >= want;
            },
            3000);
        return got;
    }
    void Send(const std::string& bytes) {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::string path;

private:
    int master_ = -1, slave_ = -1;
};

TEST(SerialIOCard, MaskWriteReadAndRepliesThroughTheRunnerWithoutBlocking) {
    ProgramContext context;
    ContextScope scope(context);
    TestSupport::ScriptedBoxes boxes;
    bool ignoring = false;
    context.Hardware.Doors.ignoreSerialCommands = [&](bool ignore) { ignoring = ignore; };
    SerialCardSimulator card;
    ASSERT_FALSE(card.path.empty());
    qputenv("VNTZEL_COM2", QByteArray::fromStdString(card.path));
    HardwareAPI::HardwareCard& c = Card(1);
    c.CardType = HardwareAPI::CardSerialIO;
    c.CommPort = c.BaseAddress = 2;
    c.TotalLines = 8;
    for (int k = 1; k <= 8; ++k)
        Configure(1, k, k <= 4 ? 0 : 1, 0, 0);
    Configure(1, 1, 0, 144, 2); // "Generate Rec Logs"
    Configure(1, 3, 0, 144, 3); // "ZEL - Ignore RS232 Cmds"
    Card(1).Line(8).ActiveLow = -1;

    HardwareManager::HardwareManagerEngine engine;
    ASSERT_TRUE(engine.Load());
    ASSERT_EQ(boxes.Count(), 0u) << boxes.Shown()[0].prompt;
    EXPECT_EQ(card.Read(5), "!C15\r");
    engine.hwTimer_Timer();
    EXPECT_EQ(card.Read(9), "!W128\r!R\r"); // the first tick always writes
    engine.hwTimer_Timer();
    EXPECT_EQ(card.Read(3), "!R\r");
    int16_t line5 = 5;
    HardwareAPI::SetHardwareLine(line5, HardwareAPI::OutputOn);
    engine.hwTimer_Timer();
    EXPECT_EQ(card.Read(9), "!W144\r!R\r");

    card.Send("xy!i5\r!A\r");
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return context.Settings.LoggingAllowed; }, 3000));
    EXPECT_TRUE(ignoring);
    EXPECT_EQ(Card(1).Line(2).State, 0);
    EXPECT_EQ(Card(1).Line(4).State, 0);

    // A started line waits in the buffer; the handler returns meanwhile.
    card.Send("!I");
    ASSERT_TRUE(TestSupport::PumpUntil(
        [&] { return engine.SerialCard(1).SerialCardBuffer() == "!I"; }, 3000));
    card.Send("0\r");
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return !context.Settings.LoggingAllowed; }, 3000));
    EXPECT_FALSE(ignoring);

    // A line that never ends is dropped at the buffer's limit; the next reply still counts.
    card.Send("!" + std::string(300, 'Z') + "!I1\r");
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return context.Settings.LoggingAllowed; }, 3000));
    EXPECT_EQ(engine.SerialCard(1).SerialCardBuffer(), "");
    engine.Unload();
    EXPECT_FALSE(engine.SerialCard(1).PortOpen());
    qunsetenv("VNTZEL_COM2");
}

} // namespace
