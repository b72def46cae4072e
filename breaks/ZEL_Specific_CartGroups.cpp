#include "breaks/ZEL_Specific_CartGroups.h"

#include "breaks/CartTiming.h"
#include "core/FailureEpisode.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "core/SaveReport.h"
#include "platform/Profile.h"
#include "platform/Screen.h"

#include <algorithm>
#include <optional>
#include <random>
#include <utility>

namespace Breaks {

namespace {

bool IsGroup(int32_t g) {
    return g >= 1 && g <= kCartGroupCount;
}

// Draws from a generator seeded once.
float DefaultRandom() {
    static std::mt19937 generator{std::random_device{}()};
    // 24 random bits: every value is exact in a float and below 1.
    return static_cast<float>(generator() >> 8) / 16777216.0f;
}

// Int(NumberOfCarts x Rnd + 1), kept inside the group's slots.
int16_t RandomItem(const CartGroupRecord& group) {
    const float count = static_cast<float>(group.NumberOfCarts);
    const int32_t item = static_cast<int32_t>(count * Rnd() + 1.0f);
    return static_cast<int16_t>(
        std::clamp<int32_t>(item, 1, std::max<int16_t>(group.NumberOfCarts, 1)));
}

int16_t SequentialItem(const CartGroupRecord& group) {
    const int16_t item = static_cast<int16_t>(group.LastItemPlayed + 1);
    return item > group.NumberOfCarts || item < 1 ? int16_t{1} : item;
}

} // namespace

CartGroupRecord* CartGroup(int32_t GroupNumber) {
    if (!IsGroup(GroupNumber)) return nullptr;
    return &CartGroupState().CartGroups[static_cast<size_t>(GroupNumber - 1)];
}

void SetRandomSource(RandomSource source) {
    CartGroupState().random = std::move(source);
}

float Rnd() {
    const RandomSource& source = CartGroupState().random;
    return source ? source() : DefaultRandom();
}

int16_t ChooseNextItem(CartGroupRecord& group, ItemPurpose purpose) {
    if (group.SelectionMode == 0) return SequentialItem(group);
    switch (purpose) {
    case ItemPurpose::Play:
        if (group.NextItem >= 1) return std::exchange(group.NextItem, int16_t{0});
        return RandomItem(group);
    case ItemPurpose::Cue:
        group.NextItem = RandomItem(group);
        return group.NextItem;
    case ItemPurpose::Length:
        break;
    }
    return 1;
}

float ItemSegueSeconds(const CartGroupRecord& group, int16_t item) {
    if (item < 1 || item > kCartGroupSlots || group.CartNumber(item) < 1) return 0.0f;
    BreakCarts::CartTiming timing;
    BreakCarts::ReadCartTiming(group.CartNumber(item), timing);
    return timing.PlayLength > 0 ? timing.Extro : 0.0f;
}

bool CartHasAudio(int32_t CartNumber) {
    BreakCarts::CartTiming timing;
    return CartNumber > 0 && BreakCarts::ReadCartTiming(CartNumber, timing) == 0 &&
           timing.PlayLength > 0;
}

float PrepareCartGroupPlay(int32_t GroupNumber) {
    CartGroupRecord* group = CartGroup(GroupNumber);
    if (!group) return 0.0f;
    if (group->SelectionMode != 0) {
        if (group->NextItem < 1) group->NextItem = RandomItem(*group);
        const float seconds = ItemSegueSeconds(*group, group->NextItem);
        if (seconds <= 0) group->NextItem = 0;
        return seconds;
    }
    for (int16_t tries = 0; tries < std::max<int16_t>(group->NumberOfCarts, 1); ++tries) {
        const int16_t item = SequentialItem(*group);
        const float seconds = ItemSegueSeconds(*group, item);
        if (seconds > 0) return seconds;
        GeneralFunctions::WriteDebugLine(
            "PrepareCartGroupPlay:GroupNumber:" + std::to_string(GroupNumber) + ":item " +
                std::to_string(item) + " cannot play, passed over",
            -1);
        group->LastItemPlayed = item;
    }
    return 0.0f;
}

} // namespace Breaks

namespace ZEL_Specific {

namespace {

using Breaks::CartGroupRecord;

std::string GroupSection(int32_t g) {
    return "CartGroup" + std::to_string(g);
}

std::string DefaultPageCaption(int32_t page) {
    const int32_t first = (page - 1) * Breaks::kGroupsPerPage + 1;
    return "Groups &" + std::to_string(first) + " to " +
           std::to_string(first + Breaks::kGroupsPerPage - 1);
}

// Text values fill a 255-character buffer: 254 characters at most.
constexpr size_t kTextBuffer = 255;

int16_t ReadInteger(const std::string& section, const std::string& key, const std::string& ini) {
    const int32_t value = Platform::GetPrivateProfileInt(section, key, 0, ini);
    return static_cast<int16_t>(GeneralFunctions::ClampLong(value, -32768, 32767));
}

void LoadGroup(CartGroupRecord& group, int32_t g, const std::string& ini) {
    const std::string section = GroupSection(g);
    group.Mute = ReadInteger(section, "Mute", ini);
    group.PlayoutMode = Platform::GetPrivateProfileInt(section, "PlayoutMode", 0, ini);
    group.SelectionMode = Platform::GetPrivateProfileInt(section, "SelectionMode", 0, ini);
    group.CheckAgainstAds = ReadInteger(section, "CheckAgainstAds", ini);
    // A hand-edited value outside the slots would index past them.
    group.LastItemPlayed = static_cast<int16_t>(std::clamp<int16_t>(
        ReadInteger(section, "LastItemPlayed", ini), 0, Breaks::kCartGroupSlots));
    group.Description = Platform::GetPrivateProfileString(section, "Description", std::to_string(g),
                                                          ini, kTextBuffer);
    group.NumberOfCarts = 0;
    for (int16_t slot = 1; slot <= Breaks::kCartGroupSlots; ++slot) {
        group.CartNumber(slot) =
            Platform::GetPrivateProfileInt(section, "CartNumber" + std::to_string(slot), 0, ini);
        if (group.CartNumber(slot) != 0) group.NumberOfCarts = slot;
    }
}

bool Write(const std::string& section, const std::string& key, const std::string& value,
           const std::string& ini) {
    return Platform::WritePrivateProfileString(section, key, value, ini);
}

void SaveGroup(const CartGroupRecord& group, int32_t g, const std::string& ini,
               GeneralFunctions::SaveReport& report) {
    const std::string section = GroupSection(g);
    report.Take(Platform::WritePrivateProfileSection(section, std::nullopt, ini));
    if (group.Mute != 0) report.Take(Write(section, "Mute", std::to_string(group.Mute), ini));
    if (group.PlayoutMode == 1) report.Take(Write(section, "PlayoutMode", "1", ini));
    if (group.SelectionMode == 1) report.Take(Write(section, "SelectionMode", "1", ini));
    report.Take(Write(section, "CheckAgainstAds", std::to_string(group.CheckAgainstAds), ini));
    if (!group.Description.empty())
        report.Take(Write(section, "Description", group.Description, ini));
    for (int16_t slot = 1; slot <= Breaks::kCartGroupSlots; ++slot)
        if (group.CartNumber(slot) > 0)
            report.Take(Write(section, "CartNumber" + std::to_string(slot),
                              std::to_string(group.CartNumber(slot)), ini));
}

} // namespace

void LoadCartGroups(const std::string& IniFile) {
    Breaks::CartGroupsState& state = Breaks::CartGroupState();
    for (int32_t page = 1; page <= Breaks::kCartGroupPages; ++page)
        state.CartGroupPageDescription[static_cast<size_t>(page - 1)] =
            Platform::GetPrivateProfileString("CartGroups", "Description" + std::to_string(page),
                                              DefaultPageCaption(page), IniFile, kTextBuffer);
    for (int32_t g = 1; g <= Breaks::kCartGroupCount; ++g)
        LoadGroup(*Breaks::CartGroup(g), g, IniFile);
}

GeneralFunctions::SaveReport SaveCartGroups(const std::string& IniFile) {
    Platform::SetScreenMousePointer(Platform::vbHourglass);
    const Breaks::CartGroupsState& state = Breaks::CartGroupState();
    GeneralFunctions::SaveReport report;
    for (int32_t page = 1; page <= Breaks::kCartGroupPages; ++page)
        report.Take(Write("CartGroups", "Description" + std::to_string(page),
                          state.CartGroupPageDescription[static_cast<size_t>(page - 1)], IniFile));
    for (int32_t g = 1; g <= Breaks::kCartGroupCount; ++g)
        SaveGroup(*Breaks::CartGroup(g), g, IniFile, report);
    Platform::SetScreenMousePointer(Platform::vbDefault);
    return report;
}

void SaveLastItemPlayed(int32_t GroupNumber) {
    const CartGroupRecord* group = Breaks::CartGroup(GroupNumber);
    if (!group) return;
    const std::string& ini = MainSettings::Settings().MainIniFile;
    GeneralFunctions::SaveReport report;
    report.Take(Write(GroupSection(GroupNumber), "LastItemPlayed",
                      std::to_string(group->LastItemPlayed), ini));
    // Saved at every play: its failure and its return are told once each.
    static GeneralFunctions::FailureEpisode episode;
    if (!report.Ok() && episode.Failed())
        GeneralFunctions::TraceFailedSave(report, "SaveLastItemPlayed", ini);
    else if (report.Ok() && episode.Worked())
        GeneralFunctions::TellProblem("SaveLastItemPlayed:" + ini + " is written again");
}

int32_t FirstCartOfGroup(int32_t GroupNumber) {
    const CartGroupRecord* group = Breaks::CartGroup(GroupNumber);
    if (!group) return 0;
    for (int32_t cart : group->CartNumbers)
        if (cart > 0) return cart;
    return 0;
}

} // namespace ZEL_Specific
