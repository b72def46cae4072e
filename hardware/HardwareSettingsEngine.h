#pragma once
// The hardware settings dialog without its widgets: three card pages (type, device number,
// serial port), each with its line grid and the three floating cell editors, and Apply, which
// checks every page before it stops the manager, saves the table and starts the manager again.
#include "hardware/HardwareCatalogue.h"

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace HardwareSettings {

constexpr int kPages = 3;
constexpr int kMaxGridRows = HardwareAPI::kLinesPerCard + 1; // header + lines 1..100

struct ListEntry {
    std::string text;
    int32_t code = 0;
};

// An option list: its entries (text and item data), the chosen entry (-1 none) and its tag.
struct OptionList {
    std::vector<ListEntry> entries;
    int selected = -1;
    std::string tag = "-1";
    bool visible = false;
    bool dropped = false; // opened already dropped down
};

struct TextEditor {
    std::string text;
    bool visible = false;
};

struct Page {
    int typeIndex = -1;      // chosen entry of the card type list
    std::string portAddress; // PortAddressT
    int portIndex = -1;      // chosen entry of the serial port list
    std::string portAddressCaption = "Base Address (Hex):";
    bool addressEnabled = false;
    bool portListEnabled = false;
    bool gridGreyed = false;
    std::string notice; // says when the stored card type is one the list does not offer
    int gridRows = 1;
    std::vector<HardwareCatalogue::GridRow> grid; // row 0 is the header
    int Row = 0, RowSel = 0, Col = 0, ColSel = 0;
    OptionList ListOptions;
    TextEditor txtDescription;
    TextEditor txtInfo;
    int editorRow = 0, editorCol = 0; // the cell the visible editor lies over
};

// The card types the list offers, in order, with their item data.
const std::vector<ListEntry>& CardTypeEntries();

class HardwareSettingsEngine {
public:
    HardwareSettingsEngine();

    // How Apply stops and starts the hardware manager.
    std::function<void()> stopManager;
    std::function<void()> startManager;

    void Form_Load();
    void CardTypeList_Change(int Index);
    void SetCardType(int Index, int TypeIndex);
    void PortAddressT_Change(int Index, const std::string& Text);
    void SetPort(int Index, int PortIndex);
    // True when Apply completed (every page accepted, saved, manager restarted).
    bool cmdApply_Click();
    // True when the dialog closes.
    bool cmdOK_Click();
    // Esc: hides a focused editor (true), else the dialog is cancelled (false).
    bool EscapeEditor(int Index);

    void UpdateGridDisplay(int Index);
    void GetGridinfo(int GridIndex, int Card, int Line);
    void gridUsage_MouseUp(int Index);
    void ListOptions_Change(int Index);
    void ChooseOption(int Index, int Selected);
    void txtDescription_Change(int Index, const std::string& Text);
    void txtInfo_Change(int Index, const std::string& Text);
    void HideEditors(int Index);

    Page& page(int Index) { return pages_[static_cast<size_t>(Index - 1)]; }
    const Page& page(int Index) const { return pages_[static_cast<size_t>(Index - 1)]; }
    int CurrentTab = 0;
    const std::string& AppliedMark() const { return applied_; }

private:
    int32_t PageType(int Index) const;
    std::string RefusalOf(int Index, int16_t& Address) const;
    void SetGridRows(int Index, int Lines);
    void ToggleType(int Index);
    void ToggleActiveLow(int Index);
    void OpenList(int Index, std::vector<ListEntry> entries, int preselect, const char* tag);
    void OpenNumberBox(int Index, int32_t value);
    void OpenInfo(int Index, int field);
    HardwareAPI::HardwareLine& LineOf(int Index, int Row);
    // Every selected row, from Row towards RowSel.
    void ForSelected(int Index, const std::function<void(HardwareAPI::HardwareLine&)>& each);

    std::array<Page, kPages> pages_;
    std::string applied_;
};

// The hexadecimal device number of a text (blanks around allowed); false when it is no
// hexadecimal number.
bool ReadHex(const std::string& text, int32_t& value);

} // namespace HardwareSettings
