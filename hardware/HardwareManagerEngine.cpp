#include "hardware/HardwareManagerEngine.h"

#include "core/GeneralFunctions.h"
#include "hardware/ZEL_Specific_Actions.h"
#include "platform/Clock.h"
#include "platform/Dio.h"
#include "platform/Joystick.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"

#include <cmath>

namespace HardwareManager {

namespace {

using HardwareAPI::Card;
namespace Dio = Platform::Dio;

constexpr int kPollMs = 100;

// Ports of a line count (multiples of 8; a fraction rounds halves to even).
int PortsOf(int16_t lines) {
    return static_cast<int>(VB::RoundHalfEven(lines / 8.0));
}

} // namespace

bool FlashPhaseAt(double TimerSeconds) {
    const double p = std::fmod(VB::RoundHalfEven(TimerSeconds * 100.0), 100.0);
    return p < 12.5 || (p >= 25 && p <= 37.5) || (p >= 50 && p <= 62.5) || (p >= 75 && p <= 87.5);
}

bool OutputBit(int16_t CardNumber, int16_t Line, bool FlashPhaseOn) {
    HardwareAPI::HardwareLine& line = Card(CardNumber).Line(Line);
    bool on = false;
    if (line.State != 0) {
        if (line.Flashing != 0) {
            on = FlashPhaseOn;
        } else if (line.PulseEnd.Day > 0) {
            on = GeneralFunctions::SecondsSinceTimeStamp(line.PulseEnd) < 0;
            if (!on) {
                int16_t number =
                    static_cast<int16_t>((CardNumber - 1) * HardwareAPI::kLinesPerCard + Line);
                HardwareAPI::SetHardwareLine(number, HardwareAPI::OutputOff);
            }
        } else {
            on = true;
        }
    }
    return on != (Card(CardNumber).Line(Line).ActiveLow != 0);
}

void ApplyInput(int16_t CardNumber, int16_t Line, bool Bit) {
    HardwareAPI::HardwareLine& line = Card(CardNumber).Line(Line);
    line.State = (Bit != (line.ActiveLow != 0)) ? -1 : 0;
    if (line.PreviousState != line.State) ZEL_Specific::DoHardwareAction(CardNumber, Line);
    HardwareAPI::HardwareLine& after = Card(CardNumber).Line(Line);
    after.PreviousState = after.State;
}

std::string CardListEntry(int CardNumber, int32_t CardType) {
    static const char* const names[] = {" : Disabled",    " : Single 8255",    " : Dual 8255",
                                        " : Serial Card", " : Advantech Card", " : Joystick"};
    const char* name = CardType >= 0 && CardType <= 5 ? names[CardType] : " : Unknown";
    return std::to_string(CardNumber) + name;
}

HardwareManagerEngine::HardwareManagerEngine(QObject* parent) : QObject(parent) {
    hwTimer.setInterval(kPollMs);
    hwTimer.setTimerType(Qt::PreciseTimer);
    connect(&hwTimer, &QTimer::timeout, this, &HardwareManagerEngine::hwTimer_Timer);
    for (int c = 1; c <= HardwareAPI::kCardCount; ++c) {
        serial_[static_cast<size_t>(c - 1)] = std::make_unique<SerialIOCard>(c, this);
        connect(serial_[static_cast<size_t>(c - 1)].get(), &SerialIOCard::received, this,
                &HardwareManagerEngine::linesChanged);
    }
}

HardwareManagerEngine::~HardwareManagerEngine() = default;

bool HardwareManagerEngine::Load() {
    bool usable = false;
    cardList_.clear();
    readErrors_.clear();
    for (int c = 1; c <= HardwareAPI::kCardCount; ++c) {
        HardwareAPI::HardwareCard& card = Card(c);
        // Inputs are read afresh; outputs keep what they show across a reload.
        for (int k = 1; k <= std::min<int>(card.TotalLines, HardwareAPI::kLinesPerCard); ++k)
            if (card.Line(k).LineType == 0) card.Line(k).State = card.Line(k).PreviousState = 0;
        cache_[static_cast<size_t>(c - 1)].fill(-1);
        cardList_.push_back(CardListEntry(c, card.CardType));
        switch (card.CardType) {
        case HardwareAPI::CardSerialIO:
            if (card.CommPort >= 1 && card.CommPort <= 4) {
                SerialCard(c).Open();
                usable = true;
            }
            break;
        case HardwareAPI::CardAdvantech:
            OpenAdvantech(c);
            usable = usable || Card(c).DriverHandle != 0;
            break;
        case HardwareAPI::CardJoystick:
            usable = usable || Platform::Joystick::joyGetNumDevs() > 0;
            break;
        case HardwareAPI::CardSingle8255:
        case HardwareAPI::CardDual8255:
            usable = usable || card.BaseAddress > 0;
            break;
        default:
            break;
        }
    }
    StartHeartbeat();
    return usable;
}

void HardwareManagerEngine::StartHeartbeat() {
    int16_t heartbeat = 1, any = 255, outputsOnly = 0;
    HardwareAPI::SetLinesByAction(ZEL_Specific::actMiscOutput, HardwareAPI::OutputFlashing,
                                  heartbeat, any, any, any, outputsOnly);
}

void HardwareManagerEngine::StartPolling(bool usable) {
    if (usable) hwTimer.start();
}

void HardwareManagerEngine::OpenAdvantech(int c) {
    HardwareAPI::HardwareCard& card = Card(c);
    card.DriverHandle = 0;
    int32_t handle = 0;
    if (int32_t rc = Dio::DRV_DeviceOpen(card.BaseAddress, handle); rc != Dio::DioOk) {
        HardwareAPI::AdvantechDriverBox("connecting to", rc);
        return;
    }
    card.DriverHandle = handle;
    Dio::DeviceFeatures features;
    if (int32_t rc = Dio::DRV_DeviceGetFeatures(handle, features); rc != Dio::DioOk) {
        HardwareAPI::AdvantechDriverBox("getting information about", rc);
        return;
    }
    card.BoardID = static_cast<int16_t>(features.BoardID);
}

void HardwareManagerEngine::hwTimer_Timer() {
    flashPhaseOn_ = FlashPhaseAt(Platform::Clock::Timer());
    for (int c = 1; c <= HardwareAPI::kCardCount; ++c) {
        switch (Card(c).CardType) {
        case HardwareAPI::CardSerialIO:
            if (SerialCard(c).PortOpen() && Card(c).CommPort > 0)
                SerialCard(c).Tick(flashPhaseOn_, cache_[static_cast<size_t>(c - 1)][0]);
            break;
        case HardwareAPI::CardAdvantech:
            if (Card(c).DriverHandle != 0) PollAdvantech(c);
            break;
        case HardwareAPI::CardJoystick:
            PollJoystick(c);
            break;
        default: // the 8255 cards have no port access here
            break;
        }
    }
    emit linesChanged();
}

void HardwareManagerEngine::PollAdvantech(int c) {
    ReadAdvantechInputs(c, PortsOf(Card(c).Inputs));
    WriteAdvantechOutputs(c, PortsOf(Card(c).Outputs));
}

void HardwareManagerEngine::ReadAdvantechInputs(int c, int ports) {
    for (int port = 0; port < ports; ++port) {
        uint8_t value = 0;
        int32_t rc =
            Dio::DRV_DioReadPortByte(Card(c).DriverHandle, static_cast<int16_t>(port), value);
        if (rc != Dio::DioOk) {
            ReportReadError(c, port, rc);
            continue;
        }
        readErrors_.erase({c, port});
        for (int bit = 0; bit < 8; ++bit) {
            const int line = port * 8 + bit + 1;
            if (line > HardwareAPI::kLinesPerCard) return; // the table ends at line 100
            ApplyInput(static_cast<int16_t>(c), static_cast<int16_t>(line), (value >> bit) & 1);
        }
    }
}

void HardwareManagerEngine::WriteAdvantechOutputs(int c, int ports) {
    const int16_t inputs = Card(c).Inputs;
    for (int port = 0; port < ports; ++port) {
        const int device =
            HardwareAPI::ConfigurableBoard(Card(c).BoardID) ? PortsOf(inputs) + port : port;
        if (device >= kOutputPorts) break; // the cache holds six ports a card
        int byte = 0;
        for (int k = 1; k <= 8; ++k) {
            const int line = inputs + port * 8 + k;
            if (line > HardwareAPI::kLinesPerCard) break;
            if (OutputBit(static_cast<int16_t>(c), static_cast<int16_t>(line), flashPhaseOn_))
                byte |= 1 << (k - 1);
        }
        int16_t& cached = cache_[static_cast<size_t>(c - 1)][static_cast<size_t>(device)];
        if (byte == cached) continue;
        int32_t rc = Dio::DRV_DioWritePortByte(Card(c).DriverHandle, static_cast<int16_t>(device),
                                               static_cast<uint8_t>(byte));
        if (rc != Dio::DioOk) HardwareAPI::AdvantechDriverBox("updating the outputs on", rc);
        cached = static_cast<int16_t>(byte);
    }
}

void HardwareManagerEngine::ReportReadError(int c, int port, int32_t code) {
    const std::string text = Dio::DRV_GetErrorMessage(code, 80);
    GeneralFunctions::WriteDebugLine("Hardware card " + std::to_string(c) + " port " +
                                         std::to_string(port) + " read failed (" +
                                         std::to_string(code) + "): " + text,
                                     -1);
    auto [it, added] = readErrors_.try_emplace({c, port}, code);
    if (!added && it->second == code) return;
    it->second = code;
    Platform::MsgBox(text, Platform::vbOKOnly);
}

void HardwareManagerEngine::PollJoystick(int c) {
    uint32_t buttons = 0;
    if (Platform::Joystick::joyGetPosEx(0, buttons) != Platform::Joystick::JoyNoError) return;
    for (int16_t line = 1; line <= 4; ++line)
        ApplyInput(static_cast<int16_t>(c), line, (buttons >> (line - 1)) & 1);
}

void HardwareManagerEngine::Unload() {
    hwTimer.stop();
    for (int c = 1; c <= HardwareAPI::kCardCount; ++c) {
        HardwareAPI::HardwareCard& card = Card(c);
        if (card.CardType == HardwareAPI::CardSerialIO) SerialCard(c).Close();
        if (card.CardType == HardwareAPI::CardAdvantech && card.DriverHandle != 0) {
            if (int32_t rc = Dio::DRV_DeviceClose(card.DriverHandle); rc != Dio::DioOk)
                HardwareAPI::AdvantechDriverBox("disconnecting from", rc);
        }
        card.DriverHandle = 0;
    }
}

} // namespace HardwareManager
