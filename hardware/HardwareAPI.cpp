#include "hardware/HardwareAPI.h"

#include "hardware/ZEL_Specific_Actions.h"
#include "platform/Dio.h"
#include "platform/MessageBox.h"

#include <algorithm>

namespace HardwareAPI {

namespace {

int16_t Clamp16(int32_t value) {
    return static_cast<int16_t>(value > 32767 ? 32767 : value);
}

bool AdvantechLineCounts(int16_t DeviceNumber, int16_t& TotalLines, int16_t& Inputs,
                         int16_t& Outputs) {
    using namespace Platform::Dio;
    TotalLines = 32;
    Inputs = 16;
    Outputs = 16;
    if (DeviceNumber < 0) return true;
    bool result = true;
    int32_t handle = 0;
    if (int32_t rc = DRV_DeviceOpen(DeviceNumber, handle); rc != DioOk) {
        AdvantechDriverBox("connecting to", rc);
        return false;
    }
    DeviceFeatures features;
    if (int32_t rc = DRV_DeviceGetFeatures(handle, features); rc != DioOk) {
        AdvantechDriverBox("getting information about", rc);
        result = false;
    } else if (ConfigurableBoard(features.BoardID)) {
        PortConfig config;
        if (int32_t rc2 = DRV_DioGetConfig(handle, config); rc2 != DioOk) {
            AdvantechDriverBox("getting information about", rc2);
            result = false;
        } else {
            TotalLines = Inputs = Outputs = 0;
            for (size_t port = 0; port < 3; ++port) {
                TotalLines += 8;
                switch (config.Modes[port]) {
                case 0:
                    Inputs += 8;
                    break;
                case 1:
                    Outputs += 8;
                    break;
                case 3:
                case 4:
                    Inputs += 4;
                    Outputs += 4;
                    break;
                default:
                    break;
                }
            }
        }
    } else {
        Inputs = features.DigitalInputs;
        Outputs = features.DigitalOutputs;
        TotalLines = Clamp16(int32_t{Inputs} + Outputs);
    }
    // The table holds 100 lines a card: a larger board is used for its first 100.
    TotalLines = std::min<int16_t>(TotalLines, kLinesPerCard);
    Inputs = std::min<int16_t>(Inputs, kLinesPerCard);
    Outputs = std::min<int16_t>(Outputs, kLinesPerCard);
    if (handle != 0) {
        if (int32_t rc = DRV_DeviceClose(handle); rc != DioOk) {
            AdvantechDriverBox("disconnecting from", rc);
            result = false;
        }
    }
    return result;
}

void SetLineFields(HardwareLine& line, int32_t Mode) {
    switch (Mode) {
    case OutputOff:
        line.State = 0;
        line.Flashing = 0;
        line.PulseEnd.Day = 0;
        break;
    case OutputOn:
        line.State = -1;
        line.Flashing = 0;
        line.PulseEnd.Day = 0;
        break;
    case OutputFlashing:
        line.State = -1;
        line.Flashing = -1;
        line.PulseEnd.Day = 0;
        break;
    case OutputPulse:
        line.State = -1;
        line.Flashing = 0;
        line.PulseEnd = GeneralFunctions::TimeStampAdd(1.0f, GeneralFunctions::TimeStampNow(false));
        break;
    default:
        break;
    }
}

bool DataMatches(int16_t wanted, int32_t value) {
    return wanted == 255 || wanted == value;
}

} // namespace

void AdvantechDriverBox(const std::string& what, int32_t code) {
    Platform::MsgBox("There was a problem " + what +
                         " the Advantech Card, and the error message was:\n\n" +
                         Platform::Dio::DRV_GetErrorMessage(code, 80),
                     Platform::vbExclamation);
}

bool ConfigurableBoard(int32_t BoardID) {
    return BoardID == 6 || BoardID == 8 || BoardID == 9 || BoardID == 39;
}

HardwareCard& Card(int card) {
    return State().HardwareTable[static_cast<size_t>(card - 1)];
}

bool SplitLineNumber(int32_t LineNumber, int16_t& CardNumber, int16_t& Line) {
    if (LineNumber < 1 || LineNumber > kHardwareLineCount) return false;
    CardNumber = static_cast<int16_t>((LineNumber - 1) / kLinesPerCard + 1);
    Line = static_cast<int16_t>(LineNumber % kLinesPerCard);
    if (Line == 0) Line = kLinesPerCard;
    return true;
}

bool GetCardLineCounts(int32_t CardType, int16_t DeviceNumber, int16_t& TotalLines, int16_t& Inputs,
                       int16_t& Outputs) {
    auto set = [&](int16_t total, int16_t in, int16_t out) {
        TotalLines = total;
        Inputs = in;
        Outputs = out;
        return true;
    };
    switch (CardType) {
    case CardDisabled:
        return set(0, 0, 0);
    case CardSingle8255:
        return set(24, 24, 24);
    case CardDual8255:
        return set(48, 48, 48);
    case CardSerialIO:
        return set(8, 8, 8);
    case CardAdvantech:
        return AdvantechLineCounts(DeviceNumber, TotalLines, Inputs, Outputs);
    case CardJoystick:
        return set(4, 4, 0);
    default:
        return false;
    }
}

bool SetHardwareLine(int16_t& LineNumber, int32_t Mode) {
    int16_t card = 0, line = 0;
    if (!SplitLineNumber(LineNumber, card, line)) return false;
    HardwareCard& c = Card(card);
    if (c.CardType != 0) SetLineFields(c.Line(line), Mode);
    if (State().doHardwareAction)
        State().doHardwareAction(card, line);
    else
        ZEL_Specific::DoHardwareAction(card, line);
    return true;
}

void SetLinesByAction(int16_t ActionCode, int32_t Mode, int16_t& Data1, int16_t& Data2,
                      int16_t& Data3, int16_t& Data4, int16_t& OutputsOnly) {
    for (int card = 1; card <= kCardCount; ++card) {
        for (int k = 1; k <= kLinesPerCard; ++k) {
            // Read afresh each time: an action run by a change may edit the table.
            if (Card(card).CardType == 0) break;
            const HardwareLine& line = Card(card).Line(k);
            if (line.Action != ActionCode || !DataMatches(Data1, line.Data1) ||
                !DataMatches(Data2, line.Data2) || !DataMatches(Data3, line.Data3) ||
                !DataMatches(Data4, line.Data4))
                continue;
            if (OutputsOnly == -1 && line.LineType == 0) continue;
            int16_t number = static_cast<int16_t>((card - 1) * kLinesPerCard + k);
            SetHardwareLine(number, Mode);
        }
    }
}

HardwareLine GetHardwareLine(int16_t LineNumber) {
    int16_t card = 0, line = 0;
    if (!SplitLineNumber(LineNumber, card, line)) return HardwareLine{};
    return Card(card).Line(line);
}

} // namespace HardwareAPI
