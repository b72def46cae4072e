#include "breaks/ZOZLink.h"

#include "core/GeneralFunctions.h"
#include "network_control/NetSockets.h"
#include "platform/Ports.h"

ZOZLink::ZOZLink(MainSettings::SettingsRecords& settings, QObject* parent)
    : QObject(parent), settings_(settings) {
    ZOZCorvaneClient.InitProperties();
    reconnect_.setInterval(kReconnectMs);
    reconnect_.setSingleShot(true);
    connect(&reconnect_, &QTimer::timeout, this, [this] {
        if (ZOZCorvaneClient.Status() == nccDisconnected) ConnectToZOZ();
    });
    connect(&ZOZCorvaneClient, &NetworkControlClient::NetworkControlTaken, this,
            &ZOZLink::ZOZCorvaneClient_NetworkControlTaken);
    connect(&ZOZCorvaneClient, &NetworkControlClient::NetworkControlEnded, this,
            [this](bool&) { ZOZCorvaneClient_NetworkControlEnded(); });
    connect(&ZOZCorvaneClient, &NetworkControlClient::DisconnectedFromNetworkMaster, this,
            &ZOZLink::ZOZCorvaneClient_DisconnectedFromNetworkMaster);
    connect(&ZOZCorvaneClient, &NetworkControlClient::message, this,
            &ZOZLink::ZOZCorvaneClient_message);
}

ZOZLink::~ZOZLink() {
    reconnect_.stop();
    ZOZCorvaneClient.disconnect(this);
    ZOZCorvaneClient.DisconnectFromNetworkController();
}

void ZOZLink::ConnectToZOZ() {
    connecting_ = true;
    ZOZCorvaneClient.DisconnectFromNetworkController();
    connecting_ = false;
    reconnect_.stop();
    const MainSettings::SettingsRecords& settings = settings_;
    if (settings.General.ZOZServerName.empty()) {
        SetPanel("Not setup for ZOZ");
        return;
    }
    std::string address = settings.General.ZOZServerName;
    int32_t port = Platform::FixedPort(Platform::kZOZPortBase + settings.General.ZOZControlPort);
    enQNetworkReqMode request = qsrqSilent;
    enQNetworkRelMode release = qsrlImmedRelease;
    std::string name = "ZEL." + GeneralFunctions::GetComputerName();
    ZOZCorvaneClient.ConnectToNetworkController(address, port, request, release, name);
}

std::string ZOZLink::ItemText(int32_t CartNumber, int32_t ItemType, const std::string& ItemName) {
    std::string text = "CartNumber=" + std::to_string(CartNumber) + " ";
    switch (ItemType) {
    case 2:
        text += " ItemType=Cart";
        break;
    case 3:
        text += " ItemType=Jingle";
        break;
    case 4:
        text += " ItemType=Advert";
        break;
    case 6:
        text += " ItemType=VoiceLink";
        break;
    case 7:
        text += " ItemType=Kestrimel";
        break;
    default:
        break;
    }
    if (!ItemName.empty()) text += " ItemName=" + ItemName + " ";
    return text;
}

void ZOZLink::SetNowZOZInformation(int32_t CartNumber, int32_t ItemType,
                                   const std::string& ItemName) {
    SendItem("SET_CURRENT_ITEM ", CartNumber, ItemType, ItemName);
}

void ZOZLink::SetNextZOZInformation(int32_t CartNumber, int32_t ItemType,
                                    const std::string& ItemName) {
    SendItem("SET_NEXT_ITEM ", CartNumber, ItemType, ItemName);
}

void ZOZLink::SendItem(const std::string& Word, int32_t CartNumber, int32_t ItemType,
                       const std::string& ItemName) {
    if (ZOZCorvaneClient.Status() != nccHasControl) return;
    const std::string text = Word + ItemText(CartNumber, ItemType, ItemName);
    GeneralFunctions::WriteDebugLine("OCPSEND:" + text, -1);
    std::string line = text + "\r\n";
    ZOZCorvaneClient.SendMessageToNetwork(line);
}

void ZOZLink::SetPanel(const std::string& text) {
    ocpcontrol_ = text;
    emit panelChanged();
}

void ZOZLink::ZOZCorvaneClient_NetworkControlTaken() {
    SetPanel("Have control of ZOZ");
    MainSettings::SettingsRecords& settings = settings_;
    if (settings.General.LogWhenController == 0) return;
    settings.LoggingAllowed = true;
    if (UpdateLoggingCaption) UpdateLoggingCaption();
}

void ZOZLink::ZOZCorvaneClient_NetworkControlEnded() {
    MainSettings::SettingsRecords& settings = settings_;
    if (settings.General.LogWhenController != 0) {
        settings.LoggingAllowed = false;
        if (UpdateLoggingCaption) UpdateLoggingCaption();
    }
    SetPanel("Not controlling ZOZ");
}

void ZOZLink::ZOZCorvaneClient_DisconnectedFromNetworkMaster() {
    // Reconnected after a pause, so a ZOZ that is down is not called in a busy loop.
    if (!connecting_ && !reconnect_.isActive()) reconnect_.start();
}

void ZOZLink::ZOZCorvaneClient_message(const std::string& MessageText) {
    GeneralFunctions::WriteDebugLine("OCPMSG:" + NetSockets::TraceExcerpt(MessageText), -1);
    if (SendMessageToVantor) SendMessageToVantor(MessageText);
}
