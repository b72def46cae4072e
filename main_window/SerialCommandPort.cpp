#include "main_window/SerialCommandPort.h"

#include "breaks/BreaksState.h"
#include "breaks/CartTiming.h"
#include "breaks/LogSupport.h"
#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Specific.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "core/SerialSettings.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/SerialPort.h"
#include "platform/VB.h"

#include <algorithm>
#include <cstdio>

namespace MainWindow {

namespace {

size_t FindNoCase(const std::string& text, const std::string& code, size_t from) {
    return VB::UCase(text).find(VB::UCase(code), from);
}

int32_t WholeNumber(const std::string& text) {
    return VB::CLng(VB::Val(text)).value_or(0);
}

} // namespace

SerialCommandPort::SerialCommandPort(Platform::SerialPort& control, Platform::SerialPort& bounce,
                                     QObject* parent)
    : QObject(parent), control_(control), bounce_(bounce) {
    // This port is the control port's one receiver.
    QObject::disconnect(&control_, &Platform::SerialPort::OnComm, nullptr, nullptr);
    connect(&control_, &Platform::SerialPort::OnComm, this, &SerialCommandPort::commControl_OnComm);
}

void SerialCommandPort::commControl_OnComm() {
    if (receiving_) return; // the running handler's loop reads what has come
    receiving_ = true;
    for (std::string data = control_.Input(); !data.empty(); data = control_.Input()) {
        if (!SerialDataLog.empty()) GeneralFunctions::AppendTimedLine(SerialDataLog, true, data);
        if (bounce_.PortOpen()) bounce_.Output(data);
        SerialInputBuffer += VB::UCase(data);
        ProcessSerialBuffer(SerialInputBuffer);
    }
    receiving_ = false;
    emit bufferChanged();
}

void SerialCommandPort::Discard(std::string& Buffer, size_t count, const std::string& reason) {
    const std::string text = Buffer.substr(0, count);
    Buffer.erase(0, count);
    WriteToTodaysComLogFile("DISCARD : " + text + reason);
}

void SerialCommandPort::ProcessSerialBuffer(std::string& Buffer) {
    // A command that yields to the event queue may bring the Force button here again.
    if (processing_) return;
    processing_ = true;
    while (FrameOne(Buffer)) {
    }
    processing_ = false;
    emit bufferChanged();
}

bool SerialCommandPort::FrameOne(std::string& Buffer) {
    const SerialSettings::SerialControlSettings& codes = SerialSettings::Settings();
    const std::string& start = codes.StartCode;
    const std::string& end = codes.EndCode;
    const size_t length = codes.PacketLength > 0 ? static_cast<size_t>(codes.PacketLength) : 0;
    if (Buffer.size() > kMaxBuffer) Discard(Buffer, Buffer.size() - kMaxBuffer, " : BUFFER FULL");
    if (Buffer.empty()) return false;
    if (!start.empty()) {
        size_t at = Buffer.find(start);
        if (at != std::string::npos && at > 0) Discard(Buffer, at, " : PREVALID START CODE");
    }
    if (Buffer.empty()) return false;
    size_t packetSize = 0;
    size_t proper = 0; // characters before the end of the packet proper
    if (!end.empty()) {
        size_t at = Buffer.find(end);
        if (at == std::string::npos) return false;
        while (!start.empty() && at >= 2) {
            size_t second = FindNoCase(Buffer.substr(0, at), start, start.size());
            if (second == std::string::npos) break;
            Discard(Buffer, second, " : NO END CODE");
            at = Buffer.find(end);
        }
        packetSize = at + end.size();
        proper = at;
    } else if (length > 0) {
        size_t next = start.empty() ? std::string::npos : FindNoCase(Buffer, start, 1);
        if (next != std::string::npos && next != length) {
            Discard(Buffer, next, " : NOT IN PACKET");
            return true;
        }
        if (Buffer.size() < length) return false;
        // Without a start code consecutive packets are cut; with one, text longer than a
        // packet that holds no other start code is not a packet.
        if (next == std::string::npos && !start.empty() && Buffer.size() > length) {
            Discard(Buffer, Buffer.size(), " : NOT IN PACKET");
            return false;
        }
        packetSize = length;
        proper = length;
    } else {
        return false; // no way to find a packet's end
    }
    // The packet leaves the buffer before its command runs.
    const std::string packet = Buffer.substr(0, packetSize);
    Buffer.erase(0, packetSize);
    std::string line = " DATA: " + packet + " ACTION: ";
    if (proper >= 1) line += RunPacket(packet);
    WriteToTodaysComLogFile(line);
    return true;
}

std::string SerialCommandPort::RunPacket(const std::string& packet) {
    const std::string& table = SerialSettings::Settings().SerialCommandTable;
    size_t match = table.find(packet + "=");
    if (match == std::string::npos) return " COMMAND NOT FOUND";
    size_t equals = table.find('=', match);
    if (equals == std::string::npos) return " COMMAND OK, BUT NO ACTION FOUND";
    size_t blank = table.find(' ', equals + 1);
    if (blank == std::string::npos) return "";
    if (IgnoreSerialCommands) return " IGNORED ON PURPOSE";
    return PerformSerialCommand(table.substr(equals + 1, blank - equals - 1));
}

std::string SerialCommandPort::PerformSerialCommand(const std::string& Action) {
    const std::string code = Action.substr(0, 2);
    const int32_t n = WholeNumber(Action.size() > 2 ? Action.substr(2) : "");
    if (code == "GR") return GroupCommand(static_cast<int16_t>(std::clamp(n, -32768, 32767)));
    if (code == "CR") {
        if (Doors.playCart) Doors.playCart(n, MainSettings::Settings().Audio.GeneralVolume);
        return "Play Cart " + std::to_string(n);
    }
    if (code == "TE") {
        if (Doors.testCommand) Doors.testCommand();
        return "Test Command";
    }
    if (code == "BR") {
        if (split_) split_->PlayBreak(true);
        return "Advert Break";
    }
    if (code == "KI") {
        if (split_) split_->KillAllOutput(true);
        return "Kill Audio";
    }
    return "Unknown Command";
}

std::string SerialCommandPort::GroupCommand(int16_t group) {
    bool dumpAfter = false;
    const bool standsIn = split_ && split_->Break().AdvertCount >= 1 && group >= 1 &&
                          group <= 100 && Doors.checksAgainstAds && Doors.checksAgainstAds(group);
    if (standsIn) {
        const int32_t first = Doors.firstCartOfGroup ? Doors.firstCartOfGroup(group) : 0;
        if (first < 1) {
            ZEL_Specific::WriteErrorLog(1, "[Code:CGM1] Cart Group " + std::to_string(group) +
                                               " not found");
            dumpAfter = true;
        } else {
            BreakCarts::CartTiming timing;
            BreakCarts::ReadCartTiming(first, timing);
            const float length = split_->Break().Total;
            const float slack =
                static_cast<float>(SerialSettings::Settings().CheckGroupBreakLengthDifference);
            if (timing.Extro - slack > length || timing.Extro + slack < length) {
                ZEL_Specific::WriteErrorLog(
                    1, "[Code:BRM1] Advert Break " +
                           GeneralFunctions::FormatDuration(split_->Split().CuedBreakTime, 2) +
                           " (Length: " + GeneralFunctions::FormatDuration(length, 2) +
                           ") missed due to incorrect Length");
            } else {
                split_->PlayBreak(true);
                return "Advert Break";
            }
        }
    }
    if (Doors.playCartGroup) Doors.playCartGroup(group, true);
    if (dumpAfter) split_->DumpBreak(true);
    return "Play Group " + std::to_string(group);
}

std::string SerialCommandPort::TodaysComLogFile() {
    const ZEL_Common::SplitRecord* split = Breaks::Split(1);
    const std::string folder = split ? split->LogDestinationDirectory : "";
    const int32_t today = Platform::Clock::Today();
    return Platform::JoinPath(folder, "COM_" + VB::WeekdayName(VB::Weekday(today), true) + ".LOG");
}

void SerialCommandPort::WriteToTodaysComLogFile(const std::string& Text) {
    const std::string file = TodaysComLogFile();
    const int32_t today = Platform::Clock::Today();
    if (today != lastComLogDate_ && GeneralFunctions::SafeFileLen(file) >= 0) {
        // Last week's file of this weekday starts afresh.
        GeneralFunctions::TimeStamp stamp;
        int err = 0;
        if (LogSupport::FileModifiedStamp(file, stamp, err) && stamp.Day < today)
            std::remove(Platform::ResolveExisting(file).c_str());
    }
    GeneralFunctions::AppendTimedLine(file, true, Text);
    lastComLogDate_ = today;
}

} // namespace MainWindow
