#include "main_window/CartGroupStartup.h"

#include "breaks/SplitCartGroupQueue.h"
#include "breaks/SplitPlayerAdapter.h"
#include "breaks/ZEL_Specific_CartGroups.h"
#include "core/MainSettings.h"
#include "main_window/CartGroupButtons.h"
#include "main_window/CartGroupPanel.h"
#include "main_window/frmMain.h"

#include <QPointer>
#include <algorithm>
#include <memory>

namespace MainWindow {

namespace {

struct CartGroupsRuntime {
    CartPlayers::SplitPlayerAdapter players;
    SplitCartGroupQueue queue{nullptr, &players};
    CartGroupButtons buttons{queue};
    QPointer<CartGroupPanel> panel;
};

std::unique_ptr<CartGroupsRuntime>& Runtime() {
    static std::unique_ptr<CartGroupsRuntime> runtime;
    return runtime;
}

SplitSender*& Sender() {
    static SplitSender* sender = nullptr;
    return sender;
}

} // namespace

void StartCartGroups(frmMain& main) {
    StopCartGroups();
    ZEL_Specific::LoadCartGroups(MainSettings::Settings().MainIniFile);
    Runtime() = std::make_unique<CartGroupsRuntime>();
    CartGroupsRuntime& runtime = *Runtime();
    SetCartGroupSender(Sender());
    runtime.panel = new CartGroupPanel(runtime.buttons, &main);
    const bool shown = MainSettings::Settings().General.ShowCartGroups != 0;
    if (shown)
        main.resize(main.width(), std::max(main.height(), main.picPlayer()->geometry().bottom() +
                                                              1 + CartGroupPanel::kHeight));
    runtime.panel->setVisible(shown);
    runtime.buttons.UpdateCartGroups();
}

void StopCartGroups() {
    if (!Runtime()) return;
    delete Runtime()->panel.data();
    Runtime().reset();
}

SplitCartGroupQueue* CartGroupQueueIfLoaded() {
    return Runtime() ? &Runtime()->queue : nullptr;
}

CartGroupButtons* CartGroupButtonsIfLoaded() {
    return Runtime() ? &Runtime()->buttons : nullptr;
}

CartGroupPanel* CartGroupPanelIfLoaded() {
    return Runtime() ? Runtime()->panel.data() : nullptr;
}

void SetCartGroupSender(SplitSender* sender) {
    Sender() = sender;
    if (!Runtime()) return;
    Runtime()->queue.SetSender(sender);
    Runtime()->buttons.SetSender(sender);
}

} // namespace MainWindow
