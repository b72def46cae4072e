#include "core/SerialSettings.h"

#include "core/GeneralFunctions.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/VB.h"

#include <cmath>

namespace SerialSettings {

namespace {

constexpr const char* kSection = "ZELNetwork";
constexpr size_t kTextBuffer = 255;
constexpr size_t kSectionBuffer = 30000;

// The number after a word, in plain decimal.
std::string NumberAfter(const std::string& value, int start) {
    double number = VB::Fix(VB::Val(VB::Mid(value, start)));
    if (!std::isfinite(number)) number = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", number);
    return text;
}

} // namespace

std::string ParseControlCodes(const std::string& text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '<') {
            out += text[i++];
            continue;
        }
        size_t close = text.find('>', i + 1);
        if (close == std::string::npos) {
            out += text[i++];
            continue;
        }
        std::string token = VB::UCase(text.substr(i + 1, close - i - 1));
        i = close + 1;
        if (token == "ESC")
            out += '\x1B';
        else if (token == "<")
            out += '<';
        else if (token == "CR")
            out += '\r';
        else if (token == "LF")
            out += '\n';
        else {
            double value = VB::Val(token);
            bool hex = token.rfind("&H", 0) == 0;
            // Codes outside one byte have no character and are dropped.
            if ((value > 0 || hex) && value >= 0 && value <= 255)
                out += static_cast<char>(static_cast<int>(value));
        }
    }
    return out;
}

std::string ActionCode(const std::string& value) {
    std::string word = VB::Left(VB::UCase(value), 4);
    if (word == "GROU") return "GR" + NumberAfter(value, 6);
    if (word == "CART") return "CR" + NumberAfter(value, 5);
    if (word == "BREA") return "BR";
    if (word == "KILL") return "KI";
    if (word == "TEST") return "TE";
    return value;
}

void LoadCommandCodes(const std::string& profileFile) {
    if (!(GeneralFunctions::SafeFileLen(profileFile) > 0)) return;
    SerialControlSettings& s = Settings();
    const std::string file = Platform::ResolveExisting(profileFile);
    s.StartCode = ParseControlCodes(
        Platform::GetPrivateProfileString("CommandCodes", "StartCode", "<ESC>", file, kTextBuffer));
    s.EndCode = ParseControlCodes(
        Platform::GetPrivateProfileString("CommandCodes", "EndCode", "<CR>", file, kTextBuffer));
    s.PacketLength = static_cast<int16_t>(
        Platform::GetPrivateProfileInt("CommandCodes", "PacketLength", 0, file));
    s.CheckGroupBreakLengthDifference =
        Platform::GetPrivateProfileInt("CommandCodes", "CheckGroupBreakLengthDifference", 2, file);

    std::vector<std::string> lines =
        Platform::GetPrivateProfileSection("IncomingSerialCodes", file, kSectionBuffer);
    if (lines.empty()) return;
    std::string table;
    for (const std::string& line : lines) {
        size_t e = line.find('=');
        if (e == std::string::npos || e == 0) continue;
        table += ParseControlCodes(line.substr(0, e + 1));
        table += ActionCode(line.substr(e + 1));
        table += ' ';
    }
    s.SerialCommandTable = table;
}

void ReadSerialSettings(const std::string& iniFile) {
    SerialControlSettings& s = Settings();
    auto readInt = [&](const char* key) {
        return static_cast<int16_t>(Platform::GetPrivateProfileInt(kSection, key, 0, iniFile));
    };
    s.UseSerial = readInt("UseSerial");
    s.SerialPort = readInt("SerialPort");
    s.SerialBouncePort = readInt("SerialBouncePort");
    s.SerialHandshaking = readInt("SerialHandshaking");
    s.SerialProfileName = Platform::GetPrivateProfileString(kSection, "SerialProfileName",
                                                            "VANTOR25.PRF", iniFile, kTextBuffer);
    s.SerialSettings = Platform::GetPrivateProfileString(kSection, "SerialSettings", "9600,n,8,1",
                                                         iniFile, kTextBuffer);
    if (s.UseSerial == 0) return;
    LoadCommandCodes(Platform::AppFolder() + "/" + s.SerialProfileName);
}

} // namespace SerialSettings
