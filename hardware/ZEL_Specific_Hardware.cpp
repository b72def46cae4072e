#include "hardware/ZEL_Specific_Hardware.h"

#include "core/SaveReport.h"
#include "hardware/HardwareAPI.h"
#include "platform/Profile.h"
#include "platform/Screen.h"
#include "platform/VB.h"

#include <cmath>
#include <optional>

namespace ZEL_Specific {

namespace {

using HardwareAPI::HardwareCard;
using HardwareAPI::HardwareLine;

std::string Section(int card) {
    return "Hardware" + std::to_string(card);
}

// The leading number of a text value, as Val reads it.
int32_t ReadVal(const std::string& section, const std::string& key, const std::string& ini) {
    double value = VB::Val(Platform::GetPrivateProfileString(section, key, "0", ini, 255));
    if (!std::isfinite(value) || value > 2147483647.0 || value < -2147483648.0) return 0;
    return static_cast<int32_t>(value);
}

int32_t ReadInt(const std::string& section, const std::string& key, int32_t def,
                const std::string& ini) {
    return Platform::GetPrivateProfileInt(section, key, def, ini);
}

std::string DataKey(int k, int i) {
    return "Action" + std::to_string(k) + "Data" + std::to_string(i);
}

void LoadLine(HardwareLine& line, const std::string& section, int k, const std::string& ini) {
    std::string n = std::to_string(k);
    line.LineType = ReadInt(section, "LineType" + n, 1, ini);
    line.ActiveLow = ReadInt(section, "ActiveLow" + n, 0, ini) != 0 ? -1 : 0;
    line.Color = ReadInt(section, "Color" + n, 0, ini);
    line.Description = Platform::GetPrivateProfileString(section, "Description" + n, "", ini, 255);
    line.Action = ReadInt(section, "Action" + n, 0, ini);
    int32_t* data[4] = {&line.Data1, &line.Data2, &line.Data3, &line.Data4};
    for (int i = 1; i <= 4; ++i)
        *data[i - 1] = ReadInt(section, DataKey(k, i), 0, ini);
}

void ClearLine(HardwareLine& line) {
    line.LineType = 0;
    line.ActiveLow = 0;
    line.Color = 0;
    line.Description.clear();
    line.Action = 0;
    line.Data1 = line.Data2 = line.Data3 = line.Data4 = 0;
}

bool Write(const std::string& section, const std::string& key,
           const std::optional<std::string>& value, const std::string& ini) {
    return Platform::WritePrivateProfileString(section, key, value, ini);
}

void SaveLine(const HardwareLine& line, const std::string& section, int k, bool empty,
              const std::string& ini, GeneralFunctions::SaveReport& report) {
    std::string n = std::to_string(k);
    auto value = [&](int32_t v) {
        return empty ? std::nullopt : std::optional<std::string>(std::to_string(v));
    };
    // The order of the keys is the order a new section gets them in.
    report.Take(Write(section, "LineType" + n, value(line.LineType), ini));
    report.Take(Write(section, "ActiveLow" + n, value(line.ActiveLow != 0 ? -1 : 0), ini));
    report.Take(Write(section, "Description" + n,
                      empty ? std::nullopt : std::optional<std::string>(line.Description), ini));
    report.Take(Write(section, "Color" + n, value(line.Color), ini));
    report.Take(Write(section, "Action" + n, value(line.Action), ini));
    const int32_t data[4] = {line.Data1, line.Data2, line.Data3, line.Data4};
    for (int i = 1; i <= 4; ++i)
        report.Take(Write(section, DataKey(k, i), value(data[i - 1]), ini));
}

} // namespace

void LoadHardwareSettings(const std::string& IniFile) {
    for (int c = 1; c <= HardwareAPI::kCardCount; ++c) {
        HardwareCard& card = HardwareAPI::Card(c);
        const std::string section = Section(c);
        card.CardType = ReadVal(section, "CardType", IniFile);
        card.BaseAddress = static_cast<int16_t>(ReadVal(section, "BaseAddress", IniFile));
        card.CommPort = card.BaseAddress;
        HardwareAPI::GetCardLineCounts(card.CardType, card.BaseAddress, card.TotalLines,
                                       card.Inputs, card.Outputs);
        for (int k = 1; k <= HardwareAPI::kLinesPerCard; ++k) {
            if (k <= card.TotalLines)
                LoadLine(card.Line(k), section, k, IniFile);
            else
                ClearLine(card.Line(k));
        }
    }
}

GeneralFunctions::SaveReport SaveHardwareSettings(const std::string& IniFile) {
    Platform::SetScreenMousePointer(Platform::vbHourglass);
    GeneralFunctions::SaveReport report;
    for (int c = 1; c <= HardwareAPI::kCardCount; ++c) {
        HardwareCard& card = HardwareAPI::Card(c);
        const std::string section = Section(c);
        if (card.CardType == 0) {
            report.Take(Platform::WritePrivateProfileSection(section, std::nullopt, IniFile));
            continue;
        }
        report.Take(Write(section, "CardType", std::to_string(card.CardType), IniFile));
        report.Take(Write(section, "BaseAddress", std::to_string(card.BaseAddress), IniFile));
        HardwareAPI::GetCardLineCounts(card.CardType, card.BaseAddress, card.TotalLines,
                                       card.Inputs, card.Outputs);
        for (int k = 1; k <= HardwareAPI::kLinesPerCard; ++k) {
            const HardwareLine& line = card.Line(k);
            // An input is always kept: a missing line reloads as an output.
            bool empty =
                k > card.TotalLines || (VB::Trim(line.Description).empty() && line.Action == 0 &&
                                        line.ActiveLow == 0 && line.LineType != 0);
            SaveLine(line, section, k, empty, IniFile, report);
        }
    }
    Platform::SetScreenMousePointer(Platform::vbDefault);
    return report;
}

} // namespace ZEL_Specific
