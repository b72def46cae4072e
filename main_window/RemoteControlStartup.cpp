#include "main_window/RemoteControlStartup.h"

#include "breaks/SplitCartGroupQueue.h"
#include "breaks/SplitEngine.h"
#include "carts/Audio_Player_FN.h"
#include "carts/PlayerWindows.h"
#include "main_window/CartGroupStartup.h"
#include "main_window/NetworkDoors.h"
#include "main_window/ProgramContext.h"

#include <memory>

namespace MainWindow {

namespace {

struct RemoteControlRuntime {
    std::unique_ptr<SplitEngine> split;
    std::unique_ptr<CartPlayers::SplitNoticeListener> listener;
};

std::unique_ptr<RemoteControlRuntime>& Runtime() {
    static std::unique_ptr<RemoteControlRuntime> runtime;
    return runtime;
}

} // namespace

void StartRemoteControl() {
    StopRemoteControl();
    ProgramContext& context = CurrentContext();
    auto doors = std::make_shared<NetworkDoors>(context);
    doors->Players().OnShowPlayerControls = Audio_Player_FN::ShowPlayerControls;
    auto runtime = std::make_unique<RemoteControlRuntime>();
    runtime->split = std::make_unique<SplitEngine>(doors.get(), &doors->Players());
    runtime->split->SetCartQueue(CartGroupQueueIfLoaded());
    runtime->listener = std::make_unique<CartPlayers::SplitNoticeListener>(*runtime->split);
    Audio_Player_FN::AddNoticeListener(runtime->listener.get(), CartPlayers::ncGeneral);
    doors->SetSplit(runtime->split.get());
    SetCartGroupSender(doors.get());
    context.Network = doors;
    Runtime() = std::move(runtime);
    doors->Open();
}

void StopRemoteControl() {
    ProgramContext& context = CurrentContext();
    SetCartGroupSender(nullptr);
    if (context.Network) context.Network->Close();
    if (Runtime()) Audio_Player_FN::RemoveNoticeListener(Runtime()->listener.get());
    context.Network.reset();
    Runtime().reset();
}

SplitEngine* SplitEngineIfLoaded() {
    return Runtime() ? Runtime()->split.get() : nullptr;
}

} // namespace MainWindow
