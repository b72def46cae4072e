#pragma once
// The main window's cart-group buttons without their display: five pages of twenty buttons
// for the 100 groups, and the one entry point through which every source (buttons, keys,
// serial packets, hardware inputs, the network) plays or cues a group.
#include "breaks/SplitLinks.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

class SplitCartGroupQueue;

namespace MainWindow {

class CartGroupButtons : public QObject {
    Q_OBJECT
public:
    static constexpr int16_t kButtons = 20;
    static constexpr int32_t kPages = 5;
    // Colours as 0x00BBGGRR; the button face is the system colour.
    static constexpr int32_t kGreen = 0x0000FF00;
    static constexpr int32_t kYellow = 0x0000FFFF;
    static constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);
    // The 3-D look of a button.
    enum Style : int16_t { StyleNormal = 1, StylePressed = 4 };
    static constexpr int kPressedMs = 250;

    struct Button {
        std::string Caption;
        int32_t BackColor = kButtonFace;
        int16_t Style = StyleNormal;
    };

    explicit CartGroupButtons(SplitCartGroupQueue& queue, SplitSender* sender = nullptr,
                              QObject* parent = nullptr);

    void SetSender(SplitSender* sender) { sender_ = sender; }

    // Rewrites the tab captions and the buttons of the page shown.
    void UpdateCartGroups();
    // Group 1..100; other numbers do nothing at all. Notify tells the other machines.
    void PlayCartGroup(int32_t Group, bool Notify);
    void CueCartGroup(int32_t Group, bool Notify);
    // Button 1..20 of the page shown.
    void pnlCartGroup_Click(int16_t Index);
    // The user shows page 0..4: the other machines show it too.
    void tbsCartGroups_Click(int32_t Page);
    // "DISPLAY_GROUP_RANGE n" from the network: tab n (1..5, clamped) without telling back.
    void DisplayGroupRange(int32_t n);

    int32_t Page() const { return page_; } // 0..4
    const std::string& TabCaption(int32_t page) const {
        return tabCaptions_[static_cast<size_t>(page)];
    }
    const Button& pnlCartGroup(int16_t Index) const {
        return buttons_[static_cast<size_t>(Index - 1)];
    }
    // The pressed look of a button ends when its timer fires.
    void EndPressedLook(int16_t Index);
    QTimer& PressTimer(int16_t Index) { return pressTimers_[static_cast<size_t>(Index - 1)]; }

    // Gives the keyboard back to the split window after a click (none: nothing).
    std::function<void()> FocusSplitWindow;

signals:
    void changed();

private:
    void SendNetwork(const std::string& text);
    void SetStyle(int16_t Index, int16_t style);
    void GiveFocusBack();

    SplitCartGroupQueue& queue_;
    SplitSender* sender_ = nullptr;
    int32_t page_ = 0;
    bool tabsBusy_ = false; // the captions are being rewritten
    std::array<std::string, kPages> tabCaptions_{"Groups 1-2&0", "Groups &21-40", "Groups &41-60",
                                                 "Groups &61-80", "Groups &81-100"};
    std::array<Button, kButtons> buttons_;
    std::array<QTimer, kButtons> pressTimers_;
};

} // namespace MainWindow
