#include "hardware/SerialIOCard.h"

#include "core/GeneralFunctions.h"
#include "hardware/HardwareAPI.h"
#include "hardware/HardwareManagerEngine.h"
#include "hardware/ZEL_Specific_Actions.h"

#include <cctype>
#include <string_view>

namespace HardwareManager {

namespace {

constexpr char kCR = '\r';

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The leading decimal digits of a text, 0 when none (never beyond a byte's worth of lines).
int32_t LeadingNumber(const std::string& text) {
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > 0xFFFF) value = 0xFFFF;
    }
    return static_cast<int32_t>(value);
}

} // namespace

SerialIOCard::SerialIOCard(int16_t card, QObject* parent) : QObject(parent), card_(card) {
    connect(&commSerialPort, &Platform::SerialPort::OnComm, this,
            &SerialIOCard::commSerialPort_OnComm);
}

void SerialIOCard::Open() {
    buffer_.clear();
    const int16_t port = HardwareAPI::Card(card_).CommPort;
    commSerialPort.SetSettings("1200,o,7,1");
    int32_t error = commSerialPort.SetCommPort(port);
    if (error == 0) error = commSerialPort.SetPortOpen(true);
    if (error != 0) {
        GeneralFunctions::FormatErrorMessage("opening the serial Port " + std::to_string(port) +
                                                 " for serial I/O card",
                                             error, false, commSerialPort.LastErrorText());
        return;
    }
    int mask = 0;
    for (int k = 1; k <= kLines; ++k)
        if (HardwareAPI::Card(card_).Line(k).LineType == 0) mask |= 1 << (k - 1);
    commSerialPort.Output("!C" + std::to_string(mask) + kCR);
}

void SerialIOCard::Close() {
    if (commSerialPort.PortOpen()) commSerialPort.SetPortOpen(false);
}

void SerialIOCard::Tick(bool FlashPhaseOn, int16_t& OutputCache) {
    int byte = 0;
    bool anyInput = false;
    for (int16_t k = 1; k <= kLines; ++k) {
        if (HardwareAPI::Card(card_).Line(k).LineType == 0) {
            anyInput = true;
            continue;
        }
        if (OutputBit(card_, k, FlashPhaseOn)) byte |= 1 << (k - 1);
    }
    if (byte != OutputCache) commSerialPort.Output("!W" + std::to_string(byte) + kCR);
    if (anyInput) commSerialPort.Output(std::string("!R") + kCR);
    OutputCache = static_cast<int16_t>(byte);
}

void SerialIOCard::commSerialPort_OnComm() {
    Receive(commSerialPort.Input());
}

void SerialIOCard::Receive(const std::string& Bytes) {
    buffer_ += Upper(Bytes);
    size_t pos = 0;
    bool dropped = false;
    while ((pos = buffer_.find('!', pos)) != std::string::npos) {
        // A line (with its CR) longer than the buffer holds is dropped up to the next "!".
        const size_t cr = std::string_view(buffer_).substr(pos, kBufferLimit).find(kCR);
        if (cr != std::string_view::npos) {
            const std::string line = buffer_.substr(pos, cr + 1);
            pos += cr + 1;
            HandleLine(line);
        } else if (buffer_.size() - pos >= kBufferLimit) {
            dropped = true;
            ++pos;
        } else {
            break; // the rest of the line comes with a later receive event
        }
    }
    buffer_.erase(0, pos == std::string::npos ? buffer_.size() : pos);
    if (dropped)
        GeneralFunctions::WriteDebugLine(
            "Serial I/O card " + std::to_string(card_) + ": overlong line dropped", -1);
    emit received();
}

void SerialIOCard::HandleLine(const std::string& line) {
    if (line.rfind("!I", 0) != 0) return; // "!A", "!N" and anything else are ignored
    const int32_t value = LeadingNumber(line.substr(2));
    HardwareAPI::HardwareCard& card = HardwareAPI::Card(card_);
    for (int k = 1; k <= kLines; ++k) {
        HardwareAPI::HardwareLine& l = card.Line(k);
        if (l.LineType != 0) continue;
        const bool bit = (value >> (k - 1)) & 1;
        l.State = (bit != (l.ActiveLow != 0)) ? -1 : 0;
    }
    for (int16_t k = 1; k <= kLines; ++k) {
        HardwareAPI::HardwareLine& l = HardwareAPI::Card(card_).Line(k);
        if (l.PreviousState != l.State) {
            int16_t c = card_, n = k;
            ZEL_Specific::DoHardwareAction(c, n);
        }
        HardwareAPI::Card(card_).Line(k).PreviousState = HardwareAPI::Card(card_).Line(k).State;
    }
}

} // namespace HardwareManager
