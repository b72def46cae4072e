#include "hardware/HardwareSettingsEngine.h"

#include "core/AppInfo.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "hardware/HardwareManagerEngine.h"
#include "hardware/ZEL_Specific_Actions.h"
#include "hardware/ZEL_Specific_Hardware.h"
#include "hardware/frmHardwareManager.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"

#include <algorithm>
#include <cmath>

namespace HardwareSettings {

namespace {

using namespace ZEL_Specific;
using HardwareAPI::HardwareLine;
namespace Col = HardwareCatalogue;

using AppInfo::kAppTitle;

std::vector<ListEntry> Numbered(const std::string& text, int count) {
    std::vector<ListEntry> entries;
    for (int n = 1; n <= count; ++n)
        entries.push_back({text + std::to_string(n), n});
    return entries;
}

// The action list of a line's direction.
std::vector<ListEntry> ActionEntries(bool output) {
    if (output)
        return {{"Not in use", 0},
                {"Cart Display", 4},
                {"ZEL - Group Active", 258},
                {"Miscellaneous", 151}};
    return {{"Not in use", 0},     {"Cart Control", 64},      {"Player Control", 3},
            {"ZEL - Adverts", 5},  {"ZEL - Play Group", 257}, {"Set Time", 6},
            {"Miscellaneous", 144}};
}

enum class Editor { None, List, Number };

// The "Info 1" editor of an action and its entries.
Editor Info1(const HardwareLine& line, std::vector<ListEntry>& entries) {
    switch (line.Action) {
    case actNotInUse:
        return Editor::None;
    case actSetTime:
        return Editor::Number;
    case actICTrigger:
    case actICDisplay:
        entries = Numbered("Instant Cart ", 10);
        break;
    case actPlayerControl:
    case actPlayerDisplay:
        entries = Numbered("Cart Player ", 4);
        break;
    case actAdverts:
        entries = {{"ZEL - Play Adverts", 1}};
        break;
    case actCartControl:
        entries = {{"Play Cart", 0}, {"Cue Cart", 2}};
        break;
    case actStationControl:
        entries = {{"Has Control", 1}};
        break;
    case actZLorMode:
        entries = {{"Standby", 1},
                   {line.LineType != 0 ? "Running" : "Use Log Mode", 255},
                   {"Live Assist", 2},
                   {"Auto-Mation", 3},
                   {"Auto-Fade", 4}};
        break;
    case actMiscInput:
        entries = {
            {"Exit Looping Carts", 1}, {"Generate Rec Logs", 2}, {"ZEL - Ignore RS232 Cmds", 3}};
        break;
    case actMiscOutput:
        entries = {{"Heartbeat pulse", 1}, {"Audio Run Ended", 2}};
        break;
    case actPlayGroup:
    case actGroupActive:
        entries = Numbered("Group : ", 100);
        break;
    default:
        break;
    }
    return Editor::List;
}

// The "Info 2" editor of an action and its entries.
Editor Info2(const HardwareLine& line, std::vector<ListEntry>& entries) {
    switch (line.Action) {
    case actPlayerControl:
        entries = {{"Play", 0},
                   {"Pause", 1},
                   {"Cue", 2},
                   {"Eject", 3},
                   {"Rewind", 5},
                   {"Forward", 4},
                   {"Inhibit Logging", 240}};
        break;
    case actPlayerDisplay:
        entries = {{"Playing", 0},       {"Playing/Extro flashing", 5},
                   {"Is Cued Ready", 1}, {"Cued/Extro flashing", 4},
                   {"During Intro", 2},  {"After Extro", 3}};
        break;
    case actSetTime:
        entries = {{"Set on Activate", 0}, {"Set on Clear", 1}};
        break;
    case actCartControl:
        return Editor::Number;
    case actNotInUse:
    case actICTrigger:
    case actICDisplay:
    case actAdverts:
    case actStationControl:
    case actZLorMode:
    case actMiscInput:
    case actMiscOutput:
    case actPlayGroup:
    case actGroupActive:
        return Editor::None;
    default:
        break;
    }
    return Editor::List;
}

int FindCode(const std::vector<ListEntry>& entries, int32_t code) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].code == code) return static_cast<int>(i);
    return -1;
}

int32_t& DataField(HardwareLine& line, int field) {
    int32_t* fields[] = {&line.Data1, &line.Data2, &line.Data3, &line.Data4};
    return *fields[field - 1];
}

// Data defaults after an action is chosen; c numbers the rows of the selection.
void ActionDefaults(HardwareLine& line, int& c) {
    auto zero = [&] { line.Data1 = line.Data2 = line.Data3 = line.Data4 = 0; };
    switch (line.Action) {
    case actNotInUse:
    case actSetTime:
        zero();
        break;
    case actPlayerControl:
    case actPlayerDisplay:
        if (c > 4) c = 1;
        if (line.Data1 == 0) line.Data1 = c;
        break;
    case actAdverts:
        if (c > 1) c = 1;
        if (line.Data1 > 1) line.Data1 = 1;
        if (line.Data1 == 0) line.Data1 = c;
        break;
    case actCartControl:
        if (c > 2) c = 0;
        if (line.Data1 == 0) line.Data1 = c;
        break;
    case actMiscInput:
        if (c > 3) c = 1;
        if (line.Data1 == 0) line.Data1 = 1;
        break;
    case actMiscOutput:
        if (line.Data1 == 0) line.Data1 = 1;
        break;
    case actPlayGroup:
    case actGroupActive:
        if (c > 100) c = 1;
        if (line.Data1 == 0) line.Data1 = c;
        break;
    default:
        break;
    }
}

// The leading number of a text rounded to a whole 32-bit value (halves to even), clamped.
int32_t InfoValue(const std::string& text) {
    const double value = VB::RoundHalfEven(VB::Val(text));
    if (!std::isfinite(value)) return 0;
    return static_cast<int32_t>(std::clamp(value, -2147483648.0, 2147483647.0));
}

} // namespace

const std::vector<ListEntry>& CardTypeEntries() {
    static const std::vector<ListEntry> entries{
        {"Disabled", HardwareAPI::CardDisabled},
        {"RS232 based controller", HardwareAPI::CardSerialIO},
        {"Advantech Card (i.e. PCI 1750)", HardwareAPI::CardAdvantech},
        {"Joystick Port", HardwareAPI::CardJoystick}};
    return entries;
}

bool ReadHex(const std::string& text, int32_t& value) {
    const std::string digits = VB::Trim(text);
    if (digits.empty() || digits.size() > 7) return false;
    value = 0;
    for (char ch : digits) {
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (lower >= '0' && lower <= '9')
            value = value * 16 + (lower - '0');
        else if (lower >= 'a' && lower <= 'f')
            value = value * 16 + (lower - 'a' + 10);
        else
            return false;
    }
    return true;
}

HardwareSettingsEngine::HardwareSettingsEngine()
    : stopManager(HardwareManager::UnloadHardwareManager),
      startManager([] { HardwareManager::LoadHardwareManager(); }) {}

void HardwareSettingsEngine::Form_Load() {
    ZEL_Specific::LoadHardwareSettings(MainSettings::Settings().MainIniFile);
    CurrentTab = 0;
    applied_.clear();
    for (int card = 1; card <= kPages; ++card) {
        Page& p = page(card);
        p = Page{};
        p.grid.assign(kMaxGridRows, {});
        p.grid[0] = {"Line",   "Type",   "L",      "Description", "Action",
                     "Info 1", "Info 2", "Info 3", "Info 4"};
        const HardwareAPI::HardwareCard& c = HardwareAPI::Card(card);
        SetCardType(card, FindCode(CardTypeEntries(), c.CardType));
        if (p.typeIndex < 0)
            p.notice = "The stored card (" + HardwareManager::CardListEntry(card, c.CardType) +
                       ") is of a type this dialog cannot edit. Choose a type from the list to "
                       "replace it.";
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X",
                      static_cast<unsigned>(static_cast<uint16_t>(c.BaseAddress)));
        PortAddressT_Change(card, hex);
        if (c.CardType == HardwareAPI::CardSerialIO && c.CommPort >= 1 && c.CommPort <= 4)
            SetPort(card, c.CommPort - 1);
    }
}

int32_t HardwareSettingsEngine::PageType(int Index) const {
    const Page& p = page(Index);
    // A stored type the list does not offer shows no choice; the page keeps that type.
    if (p.typeIndex < 0) return HardwareAPI::Card(Index).CardType;
    return CardTypeEntries()[static_cast<size_t>(p.typeIndex)].code;
}

void HardwareSettingsEngine::SetCardType(int Index, int TypeIndex) {
    page(Index).typeIndex = TypeIndex;
    if (TypeIndex < 0) return;
    page(Index).notice.clear();
    CardTypeList_Change(Index);
}

void HardwareSettingsEngine::SetGridRows(int Index, int Lines) {
    page(Index).gridRows = std::min(Lines, HardwareAPI::kLinesPerCard) + 1;
}

void HardwareSettingsEngine::CardTypeList_Change(int Index) {
    Page& p = page(Index);
    if (p.typeIndex < 0) return;
    HardwareAPI::HardwareCard& card = HardwareAPI::Card(Index);
    const int32_t type = PageType(Index);
    int16_t total = 0, inputs = 0, outputs = 0;
    switch (type) {
    case HardwareAPI::CardDisabled:
        p.addressEnabled = p.portListEnabled = false;
        p.gridGreyed = true;
        SetGridRows(Index, 0);
        break;
    case HardwareAPI::CardSerialIO:
        p.portAddressCaption = "Not Used";
        p.addressEnabled = false;
        p.portListEnabled = true;
        p.gridGreyed = false;
        SetGridRows(Index, 8);
        break;
    case HardwareAPI::CardAdvantech: {
        p.portAddressCaption = "Device Number(Hex)";
        p.addressEnabled = true;
        p.portListEnabled = false;
        p.gridGreyed = false;
        int32_t device = 0;
        if (!ReadHex(p.portAddress, device) || device > 0x7FFF) device = 0;
        if (!HardwareAPI::GetCardLineCounts(type, static_cast<int16_t>(device), total, inputs,
                                            outputs))
            total = inputs = outputs = 0;
        SetGridRows(Index, total);
        for (int k = 1; k <= std::min<int>(inputs + outputs, HardwareAPI::kLinesPerCard); ++k)
            card.Line(k).LineType = k <= inputs ? 0 : 1;
        break;
    }
    case HardwareAPI::CardJoystick:
        p.portAddressCaption = "Not Used";
        p.addressEnabled = p.portListEnabled = false;
        p.gridGreyed = false;
        HardwareAPI::GetCardLineCounts(type, 0, total, inputs, outputs);
        SetGridRows(Index, 4);
        for (int k = 1; k <= 4; ++k)
            card.Line(k).LineType = 0;
        break;
    default:
        return;
    }
    UpdateGridDisplay(Index);
}

void HardwareSettingsEngine::PortAddressT_Change(int Index, const std::string& Text) {
    page(Index).portAddress = Text.substr(0, 5);
    if (page(Index).typeIndex >= 0 && PageType(Index) == HardwareAPI::CardAdvantech)
        CardTypeList_Change(Index);
}

void HardwareSettingsEngine::SetPort(int Index, int PortIndex) {
    page(Index).portIndex = PortIndex;
}

std::string HardwareSettingsEngine::RefusalOf(int Index, int16_t& Address) const {
    const Page& p = page(Index);
    const int32_t type = p.typeIndex < 0 ? -1 : PageType(Index);
    Address = HardwareAPI::Card(Index).BaseAddress;
    switch (type) {
    case HardwareAPI::CardSerialIO:
        if (p.portIndex < 0) return "You must specify a Serial Port to connect to";
        Address = static_cast<int16_t>(p.portIndex + 1);
        return {};
    case HardwareAPI::CardAdvantech: {
        int32_t value = 0;
        if (!ReadHex(p.portAddress, value) || value > 255)
            return "You must specify a Device Number from 0 to FF";
        Address = static_cast<int16_t>(value);
        return {};
    }
    case HardwareAPI::CardDisabled:
    case HardwareAPI::CardJoystick:
        return {};
    default:
        return "This card is not currently supported";
    }
}

bool HardwareSettingsEngine::cmdApply_Click() {
    // Every page is checked before anything changes: a refused page leaves the table and the
    // running manager as they were.
    std::array<int16_t, kPages> addresses{};
    for (int card = 1; card <= kPages; ++card) {
        std::string refusal = RefusalOf(card, addresses[static_cast<size_t>(card - 1)]);
        if (!refusal.empty()) {
            CurrentTab = card - 1;
            Platform::MsgBox(refusal, Platform::vbOKOnly | Platform::vbInformation, kAppTitle);
            return false;
        }
    }
    if (stopManager) stopManager();
    for (int card = 1; card <= kPages; ++card) {
        HardwareAPI::HardwareCard& c = HardwareAPI::Card(card);
        const int32_t type = PageType(card);
        const int16_t address = addresses[static_cast<size_t>(card - 1)];
        if (type == HardwareAPI::CardSerialIO) c.CommPort = c.BaseAddress = address;
        if (type == HardwareAPI::CardAdvantech) {
            c.BaseAddress = address;
            c.CommPort = 0;
        }
        c.CardType = type;
    }
    const std::string& ini = MainSettings::Settings().MainIniFile;
    const GeneralFunctions::SaveReport saved = ZEL_Specific::SaveHardwareSettings(ini);
    if (startManager) startManager();
    // The manager runs the new table either way; a failed save keeps the dialog open.
    if (!GeneralFunctions::ConfirmSave(saved, "frmHardwareSettings", ini)) return false;
    applied_ = "1";
    return true;
}

bool HardwareSettingsEngine::cmdOK_Click() {
    // Closes only when this Apply completed: a refused page or a failed save keeps it open.
    return cmdApply_Click();
}

bool HardwareSettingsEngine::EscapeEditor(int Index) {
    Page& p = page(Index);
    if (!p.ListOptions.visible && !p.txtDescription.visible && !p.txtInfo.visible) return false;
    HideEditors(Index);
    return true;
}

void HardwareSettingsEngine::HideEditors(int Index) {
    Page& p = page(Index);
    p.ListOptions.visible = p.ListOptions.dropped = false;
    p.txtDescription.visible = false;
    p.txtInfo.visible = false;
}

void HardwareSettingsEngine::UpdateGridDisplay(int Index) {
    Page& p = page(Index);
    for (int k = 1; k < p.gridRows; ++k) {
        HardwareLine& line = HardwareAPI::Card(Index).Line(k);
        HardwareCatalogue::GridRow& row = p.grid[static_cast<size_t>(k)];
        row[Col::colLine] = std::to_string(k);
        row[Col::colType] = line.LineType != 0 ? "Output" : "Input";
        row[Col::colActiveLow] = line.ActiveLow != 0 ? "Y" : "";
        GetGridinfo(Index, Index, k);
    }
}

void HardwareSettingsEngine::GetGridinfo(int GridIndex, int Card, int Line) {
    if (Card < 1 || Card > kPages || Line < 1 || Line > HardwareAPI::kLinesPerCard) return;
    HardwareCatalogue::GetGridinfo(page(GridIndex).grid[static_cast<size_t>(Line)],
                                   HardwareAPI::Card(Card).Line(Line));
}

HardwareLine& HardwareSettingsEngine::LineOf(int Index, int Row) {
    return HardwareAPI::Card(Index).Line(Row);
}

void HardwareSettingsEngine::ForSelected(int Index,
                                         const std::function<void(HardwareLine&)>& each) {
    Page& p = page(Index);
    const int last = p.gridRows - 1;
    const int from = std::clamp(p.Row, 1, std::max(last, 1));
    const int to = std::clamp(p.RowSel, 1, std::max(last, 1));
    const int step = from > to ? -1 : 1;
    if (last < 1) return;
    for (int r = from;; r += step) {
        each(LineOf(Index, r));
        if (r == to) break;
    }
}

void HardwareSettingsEngine::ToggleType(int Index) {
    Page& p = page(Index);
    const int32_t type = PageType(Index);
    if (type == HardwareAPI::CardAdvantech || type == HardwareAPI::CardJoystick) return;
    if (type == HardwareAPI::CardSingle8255 || type == HardwareAPI::CardDual8255) {
        p.Row = ((p.Row - 1) / 8) * 8 + 1;
        p.RowSel = p.Row + 7;
    }
    const int32_t becomes = LineOf(Index, p.Row).LineType == 0 ? 1 : 0;
    ForSelected(Index, [&](HardwareLine& line) { line.LineType = becomes; });
    UpdateGridDisplay(Index);
}

void HardwareSettingsEngine::ToggleActiveLow(int Index) {
    ForSelected(Index, [](HardwareLine& line) { line.ActiveLow = line.ActiveLow != 0 ? 0 : -1; });
    UpdateGridDisplay(Index);
}

void HardwareSettingsEngine::OpenList(int Index, std::vector<ListEntry> entries, int preselect,
                                      const char* tag) {
    OptionList& list = page(Index).ListOptions;
    list.entries = std::move(entries);
    // Chosen while the tag is "-1", so opening stores nothing.
    list.selected = list.entries.empty()
                        ? -1
                        : GeneralFunctions::ClampLong(
                              preselect, 0, static_cast<int32_t>(list.entries.size()) - 1);
    list.tag = tag;
    list.visible = list.dropped = true;
    page(Index).editorRow = page(Index).Row;
    page(Index).editorCol = page(Index).Col;
}

void HardwareSettingsEngine::OpenNumberBox(int Index, int32_t value) {
    Page& p = page(Index);
    p.txtInfo.text = std::to_string(value); // set while hidden: stores nothing
    p.txtInfo.visible = true;
    p.editorRow = p.Row;
    p.editorCol = p.Col;
}

void HardwareSettingsEngine::OpenInfo(int Index, int field) {
    HardwareLine& line = LineOf(Index, page(Index).Row);
    std::vector<ListEntry> entries;
    const Editor editor = field == 1 ? Info1(line, entries) : Info2(line, entries);
    const int32_t value = field == 1 ? line.Data1 : line.Data2;
    if (editor == Editor::None) return;
    if (editor == Editor::Number) return OpenNumberBox(Index, value);
    int preselect = FindCode(entries, value);
    if (field == 2 && line.Action == actSetTime) preselect = value != 0 ? 1 : 0;
    OpenList(Index, std::move(entries), std::max(preselect, 0), field == 1 ? "1" : "2");
    UpdateGridDisplay(Index);
}

void HardwareSettingsEngine::gridUsage_MouseUp(int Index) {
    Page& p = page(Index);
    if (p.ColSel != p.Col) p.ColSel = p.Col;
    p.ListOptions = OptionList{};
    p.txtDescription.visible = false;
    p.txtInfo.visible = false;
    p.txtInfo.text.clear();
    // Only rows that hold a line of the table can be edited.
    if (p.Row < 1 || p.Row >= p.gridRows) return;
    p.RowSel = std::clamp(p.RowSel, 1, p.gridRows - 1);
    HardwareLine& line = LineOf(Index, p.Row);
    switch (p.Col) {
    case Col::colType:
        return ToggleType(Index);
    case Col::colActiveLow:
        return ToggleActiveLow(Index);
    case Col::colDescription:
        p.txtDescription.text = VB::Trim(line.Description);
        p.txtDescription.visible = true;
        p.editorRow = p.Row;
        p.editorCol = p.Col;
        break;
    case Col::colAction: {
        std::vector<ListEntry> entries = ActionEntries(line.LineType != 0);
        OpenList(Index, entries, std::max(FindCode(entries, line.Action), 0), "0");
        break;
    }
    case Col::colInfo1:
        return OpenInfo(Index, 1);
    case Col::colInfo2:
        return OpenInfo(Index, 2);
    default:
        break;
    }
    UpdateGridDisplay(Index);
}

void HardwareSettingsEngine::ChooseOption(int Index, int Selected) {
    page(Index).ListOptions.selected = Selected;
    ListOptions_Change(Index);
}

void HardwareSettingsEngine::ListOptions_Change(int Index) {
    Page& p = page(Index);
    if (p.ColSel != p.Col) p.ColSel = p.Col;
    OptionList& list = p.ListOptions;
    const int field = static_cast<int>(VB::Val(list.tag));
    if (list.selected >= 0 && list.selected < static_cast<int>(list.entries.size())) {
        const int32_t value = list.entries[static_cast<size_t>(list.selected)].code;
        if (field >= 1 && field <= 4) {
            ForSelected(Index, [&](HardwareLine& line) {
                DataField(line, field) = value;
                line.Description.clear();
            });
        } else if (field == 0 && list.tag == "0") {
            int c = 1;
            ForSelected(Index, [&](HardwareLine& line) {
                line.Action = value;
                line.Description.clear();
                ActionDefaults(line, c);
                ++c;
            });
        }
    }
    list.visible = list.dropped = false;
    UpdateGridDisplay(Index);
}

void HardwareSettingsEngine::txtDescription_Change(int Index, const std::string& Text) {
    Page& p = page(Index);
    p.txtDescription.text = Text;
    if (!p.txtDescription.visible) return;
    ForSelected(Index, [&](HardwareLine& line) { line.Description = Text; });
    UpdateGridDisplay(Index);
}

void HardwareSettingsEngine::txtInfo_Change(int Index, const std::string& Text) {
    Page& p = page(Index);
    p.txtInfo.text = Text;
    if (!p.txtInfo.visible || p.Col < Col::colInfo1 || p.Col > Col::colInfo4) return;
    const int field = p.Col - 4;
    ForSelected(Index, [&](HardwareLine& line) {
        DataField(line, field) = InfoValue(Text);
        line.Description.clear();
    });
    UpdateGridDisplay(Index);
}

} // namespace HardwareSettings
