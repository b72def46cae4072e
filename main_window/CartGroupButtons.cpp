#include "main_window/CartGroupButtons.h"

#include "breaks/SplitCartGroupQueue.h"
#include "breaks/ZEL_Specific_CartGroups.h"
#include "core/GeneralFunctions.h"

namespace MainWindow {

CartGroupButtons::CartGroupButtons(SplitCartGroupQueue& queue, SplitSender* sender, QObject* parent)
    : QObject(parent), queue_(queue), sender_(sender) {
    for (int16_t i = 1; i <= kButtons; ++i) {
        QTimer& timer = pressTimers_[static_cast<size_t>(i - 1)];
        timer.setSingleShot(true);
        timer.setInterval(kPressedMs);
        connect(&timer, &QTimer::timeout, this, [this, i] { EndPressedLook(i); });
    }
}

void CartGroupButtons::UpdateCartGroups() {
    tabsBusy_ = true;
    const Breaks::CartGroupsState& state = Breaks::CartGroupState();
    tabCaptions_ = state.CartGroupPageDescription;
    tabsBusy_ = false;
    for (int16_t i = 1; i <= kButtons; ++i) {
        Button& button = buttons_[static_cast<size_t>(i - 1)];
        const Breaks::CartGroupRecord* group = Breaks::CartGroup(page_ * kButtons + i);
        if (group && group->NumberOfCarts >= 1) {
            button.BackColor = group->PlayoutMode != 0 ? kGreen : kYellow;
            button.Caption = group->Description;
        } else {
            button.BackColor = kButtonFace;
            button.Caption.clear();
        }
    }
    emit changed();
}

void CartGroupButtons::PlayCartGroup(int32_t Group, bool Notify) {
    if (!Breaks::CartGroup(Group)) return;
    if (Notify) SendNetwork("CART_GROUP " + std::to_string(Group));
    if (Group <= kButtons) SetStyle(static_cast<int16_t>(Group), StyleNormal);
    if (Breaks::PrepareCartGroupPlay(Group) <= 0) {
        GeneralFunctions::WriteDebugLine(
            "PlayCartGroup:Group:" + std::to_string(Group) + ":nothing to play", -1);
        if (sender_) sender_->SendMessageToVantor("CART_GROUP_COMPLETE " + std::to_string(Group));
    } else {
        queue_.SplitPlayCartGroup(Group);
        ZEL_Specific::SaveLastItemPlayed(Group);
    }
    if (Group > page_ * kButtons && Group <= (page_ + 1) * kButtons) {
        const auto index = static_cast<int16_t>((Group - 1) % kButtons + 1);
        SetStyle(index, StylePressed);
        pressTimers_[static_cast<size_t>(index - 1)].start();
    }
}

void CartGroupButtons::CueCartGroup(int32_t Group, bool Notify) {
    if (!Breaks::CartGroup(Group)) return;
    if (Notify) SendNetwork("CART_GROUP_CUE " + std::to_string(Group));
    queue_.SplitCueCartGroup(Group);
}

void CartGroupButtons::pnlCartGroup_Click(int16_t Index) {
    PlayCartGroup(page_ * kButtons + Index, true);
    GiveFocusBack();
}

void CartGroupButtons::tbsCartGroups_Click(int32_t Page) {
    if (Page < 0 || Page >= kPages) return;
    page_ = Page;
    if (tabsBusy_) return;
    UpdateCartGroups();
    GiveFocusBack();
    SendNetwork("DISPLAY_GROUP_RANGE " + std::to_string(page_ + 1));
}

void CartGroupButtons::DisplayGroupRange(int32_t n) {
    tabsBusy_ = true;
    page_ = GeneralFunctions::ClampLong(n, 1, kPages) - 1;
    tabsBusy_ = false;
    UpdateCartGroups();
}

void CartGroupButtons::EndPressedLook(int16_t Index) {
    SetStyle(Index, StyleNormal);
}

void CartGroupButtons::SetStyle(int16_t Index, int16_t style) {
    Button& button = buttons_[static_cast<size_t>(Index - 1)];
    if (button.Style == style) return;
    button.Style = style;
    emit changed();
}

void CartGroupButtons::SendNetwork(const std::string& text) {
    if (sender_) sender_->SendMessageToNetwork(text);
}

void CartGroupButtons::GiveFocusBack() {
    if (FocusSplitWindow) FocusSplitWindow();
}

} // namespace MainWindow
