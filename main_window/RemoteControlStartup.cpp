#include "main_window/RemoteControlStartup.h"

#include "breaks/SplitEngine.h"
#include "main_window/CartGroupStartup.h"
#include "main_window/NetworkDoors.h"
#include "main_window/ProgramContext.h"
#include "main_window/frmMain.h"

namespace MainWindow {

namespace {

SplitEngine*& AttachedSplit() {
    static SplitEngine* split = nullptr;
    return split;
}

} // namespace

void StartRemoteControl(SplitEngine& split) {
    StopRemoteControl();
    ProgramContext& context = CurrentContext();
    auto doors = std::make_shared<NetworkDoors>(context);
    doors->SetSplit(&split);
    split.SetSender(doors.get());
    AttachedSplit() = &split;
    SetCartGroupSender(doors.get());
    context.Network = doors;
    doors->Open();
}

void StopRemoteControl() {
    ProgramContext& context = CurrentContext();
    SetCartGroupSender(nullptr);
    if (AttachedSplit()) AttachedSplit()->SetSender(nullptr);
    AttachedSplit() = nullptr;
    if (context.Network) context.Network->Close();
    context.Network.reset();
}

void CloseSocketsAndPorts(frmMain& main) {
    StopRemoteControl();
    for (Platform::SerialPort* port : {&main.commControl(), &main.commBounce()})
        if (port->PortOpen()) port->SetPortOpen(false);
}

} // namespace MainWindow
