#include "main_window/NetworkDoors.h"

#include "main_window/ProgramContext.h"
#include "network_control/modCorvane.h"

namespace MainWindow {

NetworkDoors::NetworkDoors(ProgramContext& context)
    : context_(context), network_(*this), playout_(*this), zoz_(context.Settings) {
    // The control library's lines (peers cut off or refused) go to the trace like the doors'.
    modCorvane::SetTraceSink(
        [](const std::string& text) { GeneralFunctions::WriteDebugLine(text, -1); });
    zoz_.SendMessageToVantor = [this](const std::string& text) {
        ContextScope scope(context_);
        playout_.SendMessageToVantor(text);
    };
}

NetworkDoors::~NetworkDoors() {
    Close();
}

void NetworkDoors::Open() {
    ContextScope scope(context_);
    network_.InitialiseNetworkSockets();
    zoz_.ConnectToZOZ();
}

void NetworkDoors::Close() {
    ContextScope scope(context_);
    network_.CloseSockets();
    playout_.Server().EndListen();
    playout_.Server().TerminateConnections();
}

void NetworkDoors::SendMessageToNetwork(const std::string& text) {
    network_.SendMessageToNetwork(text, true, true, 0, true);
}

void NetworkDoors::SendMessageToVantor(const std::string& text) {
    playout_.SendMessageToVantor(text);
}

void NetworkDoors::SetNowZOZInformation(int32_t CartNumber, int16_t ItemType,
                                        const std::string& Title) {
    zoz_.SetNowZOZInformation(CartNumber, ItemType, Title);
}

} // namespace MainWindow
