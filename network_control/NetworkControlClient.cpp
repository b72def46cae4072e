#include "network_control/NetworkControlClient.h"

#include "network_control/NetSockets.h"
#include "platform/MessageBox.h"

#include <QHostInfo>

using namespace Platform::Com;
using namespace modCorvane;

NetworkControlClient::NetworkControlClient(QObject* parent) : QObject(parent) {
    tmrLogon_.setInterval(kLogonIntervalMs);
    tmrLogon_.setSingleShot(true);
    connect(&tmrLogon_, &QTimer::timeout, this, [this] {
        if (stayConnected_) ConnectSocket();
    });
    NetSockets::PaceReading(&sckNetworkControl);
    connect(&sckNetworkControl, &QTcpSocket::connected, this, &NetworkControlClient::OnConnected);
    connect(&sckNetworkControl, &QTcpSocket::readyRead, this, &NetworkControlClient::OnDataArrival);
    connect(&sckNetworkControl, &QTcpSocket::disconnected, this,
            &NetworkControlClient::OnClosedByServer);
    connect(&sckNetworkControl, &QTcpSocket::errorOccurred, this, &NetworkControlClient::OnError);
    connect(&sckNetworkControl, &QTcpSocket::bytesWritten, this,
            &NetworkControlClient::OnBytesWritten);
    ShowStatus(nccDisconnected);
}

NetworkControlClient::~NetworkControlClient() {
    DisconnectFromNetworkController();
    sckNetworkControl.disconnect(this);
    sckNetworkControl.flush();
}

void NetworkControlClient::InitProperties() {
    ReceiveBuffer.StripLineFeeds = true;
    SetEndMessageCharacter("\r");
    caption_ = "Network Client Status:";
}

void NetworkControlClient::ReadProperties(const PropertyBag& bag) {
    SetEndMessageCharacter(ToText(bag.ReadProperty("EndMessageCharacter", "\r")).value_or("\r"));
    caption_ = ToText(bag.ReadProperty("Caption", "Network Client Status:"))
                   .value_or("Network Client Status:");
    ReceiveBuffer.StripLineFeeds =
        ToBoolean(bag.ReadProperty("StripLineFeeds", true)).value_or(true);
    emit displayChanged();
}

void NetworkControlClient::WriteProperties(PropertyBag& bag) const {
    bag.WriteProperty("StripLineFeeds", ReceiveBuffer.StripLineFeeds, true);
    bag.WriteProperty("EndMessageCharacter", endMessageCharacter_, std::string("\r"));
    bag.WriteProperty("Caption", caption_, std::string("Network Client Status:"));
}

void NetworkControlClient::SetEndMessageCharacter(const std::string& value) {
    endMessageCharacter_ = value;
    ReceiveBuffer.HasEndCharacter = !value.empty();
    ReceiveBuffer.EndCharacter = value.empty() ? '\r' : value[0];
}

void NetworkControlClient::SetCaption(const std::string& value) {
    caption_ = value;
    emit displayChanged();
}

bool NetworkControlClient::SocketOpen() const {
    return sckNetworkControl.state() != QAbstractSocket::UnconnectedState;
}

std::string NetworkControlClient::NetworkMaster() const {
    if (!SocketOpen()) return "";
    std::string name = NetSockets::RemoteHostName(&sckNetworkControl);
    return Trim(name).empty() ? NetworkMasterIP() : name;
}

std::string NetworkControlClient::NetworkMasterRemotePort() const {
    return SocketOpen() ? std::to_string(sckNetworkControl.peerPort()) : "";
}

std::string NetworkControlClient::NetworkMasterIP() const {
    if (!SocketOpen() || sckNetworkControl.peerAddress().isNull()) return "";
    return NetSockets::RemoteAddress(&sckNetworkControl);
}

void NetworkControlClient::ConnectToNetworkController(std::string& ComputerAddress,
                                                      int32_t& ComputerPort,
                                                      enQNetworkReqMode& NetworkRequestMode,
                                                      enQNetworkRelMode& NetworkReleaseMode,
                                                      std::string& ConnectName) {
    if (ComputerAddress.empty() || ComputerPort == 0) return;
    if (SocketOpen()) {
        if (ComputerAddress == serverAddress_ && ComputerPort == serverPort_) {
            if (status_ == nccHasControl) return;
            if (status_ == nccConnected) {
                RequestControl();
                return;
            }
        }
        DisconnectFromNetworkController();
    }
    stayConnected_ = false;
    serverAddress_ = ComputerAddress;
    serverPort_ = ComputerPort;
    releaseMode_ = NetworkReleaseMode;
    requestMode_ = NetworkRequestMode;
    connectName_ = ConnectName.empty() ? QHostInfo::localHostName().toStdString() : ConnectName;
    ConnectSocket();
}

void NetworkControlClient::ConnectSocket() {
    if (SocketOpen()) return;
    stayConnected_ = true;
    if (status_ != nccConnecting) {
        ShowStatus(nccConnecting);
        emit ConnectingToNetworkMaster();
    }
    if (SocketOpen() || !stayConnected_) return; // the host acted on the event
    ReceiveBuffer.Clear();
    traceBudget_.SetPeer("Network control client: " + serverAddress_);
    sckNetworkControl.connectToHost(QString::fromStdString(serverAddress_),
                                    static_cast<quint16>(serverPort_));
}

void NetworkControlClient::OnConnected() {
    emit ConnectedToNetworkMaster();
    ShowStatus(nccConnected);
    RequestControl();
}

void NetworkControlClient::RequestControl() {
    if (status_ != nccConnected) return;
    ShowStatus(nccRequestingControl);
    emit TakingNetworkControl();
    SendLine("NET_CONTROL_LOGON " + connectName_ + " " + std::to_string(releaseMode_) + "," +
             std::to_string(requestMode_));
}

void NetworkControlClient::SendLine(const std::string& text) {
    if (NetSockets::QueueText(&sckNetworkControl, text + endMessageCharacter_) ==
        NetSockets::Written::QueueFull)
        OnDeafServer();
}

void NetworkControlClient::OnDeafServer() {
    Trace("Network control client: " + serverAddress_ + " does not read, " +
          std::to_string(sckNetworkControl.bytesToWrite()) + " bytes waiting, dropped");
    CloseNetConnection();
    if (stayConnected_ && requestMode_ == qsrqSilent) {
        ShowStatus(nccConnecting);
        tmrLogon_.start();
    } else {
        DisconnectFromNetworkController();
    }
}

void NetworkControlClient::SendMessageToNetwork(std::string& message) {
    SendTracking = true;
    SendLine(message);
}

void NetworkControlClient::DisconnectFromNetworkController() {
    stayConnected_ = false;
    tmrLogon_.stop();
    if (status_ == nccHasControl) {
        ShowStatus(nccReleasing);
        emit ReleasingNetworkControl();
        SendLine("NET_CONTROL_LOGOFF");
    }
    serverAddress_.clear();
    serverPort_ = 0;
    if (SocketOpen()) CloseNetConnection();
}

void NetworkControlClient::CloseNetConnection() {
    ShowStatus(nccDisconnected);
    SendTracking = false;
    closing_ = true;
    if (sckNetworkControl.state() == QAbstractSocket::ConnectedState) sckNetworkControl.flush();
    sckNetworkControl.abort();
    closing_ = false;
    ReceiveBuffer.Clear();
    bool disconnected = true;
    emit NetworkControlEnded(disconnected);
    emit DisconnectedFromNetworkMaster();
}

void NetworkControlClient::OnDataArrival() {
    auto received = [this](const std::string& text) {
        emit RawNetworkMessage(text);
        if (!SocketOpen()) return;
        const bool wasOver = ReceiveBuffer.Discarding();
        if (ReceiveBuffer.Append(text) > 0 && !wasOver)
            Trace("Network control client: line longer than " +
                  std::to_string(LineFramer::kMaxPendingLine) + " bytes, the rest dropped");
    };
    NetSockets::ServeTurn({&sckNetworkControl, ReceiveBuffer, traceBudget_, this, received,
                           [this] { return NetSockets::IsConnected(&sckNetworkControl); },
                           [this](const std::string& line) { OnLine(line); },
                           [this] { OnDataArrival(); }});
}

void NetworkControlClient::OnLine(const std::string& line) {
    if (!line.empty() && line[0] == '-') return;
    const std::string word = CommandWord(line);
    if (word == "NET_CONTROLLER" || word == "VERSION") return;
    if (word == "NET_CONTROL_START") {
        ShowStatus(nccHasControl);
        emit NetworkControlTaken();
    } else if (word == "NET_CONTROL_END") {
        ShowStatus(nccConnected);
        bool disconnected = false;
        emit NetworkControlEnded(disconnected);
        if (requestMode_ == qsrqSilent && stayConnected_)
            RequestControl();
        else
            DisconnectFromNetworkController();
    } else if (word == "NET_CONTROL_FAIL") {
        OnRefused(line);
    } else if (word == "NET_CONTROL_AVAILABLE") {
        if (status_ != nccHasControl && stayConnected_) RequestControl();
    } else {
        emit message(line);
    }
}

void NetworkControlClient::OnRefused(const std::string& line) {
    int32_t start = ArgumentStart(line);
    int32_t end = 0;
    std::string holder = GetToken(line, start, " ", end, true);
    int32_t holderMode = 0;
    if (end > 0) {
        start = end + 1;
        holderMode = LeadingNumber(GetToken(line, start, " ", end, true));
    }
    switch (requestMode_) {
    case qsrqPolite:
        ShowStatus(nccConnected, "Failed to get Control", kRed);
        emit NetworkControlFail(holder);
        if (holderMode == qsrlWaitRelease)
            ShowStatus(nccConnected);
        else if (holderMode == qsrlNeverRelease)
            DisconnectFromNetworkController();
        break;
    case qsrqSilent:
        if (!stayConnected_)
            DisconnectFromNetworkController();
        else
            ShowStatus(nccConnected, "Awaiting Control Release", kButtonFace);
        break;
    default:
        DisconnectFromNetworkController();
        break;
    }
}

void NetworkControlClient::OnClosedByServer() {
    if (closing_) return;
    CloseNetConnection();
    if (stayConnected_ && requestMode_ == qsrqSilent)
        ConnectSocket();
    else
        DisconnectFromNetworkController();
}

void NetworkControlClient::OnError(QAbstractSocket::SocketError error) {
    if (closing_ || error == QAbstractSocket::RemoteHostClosedError) return;
    const int32_t number = NetSockets::Number(error);
    const std::string description = sckNetworkControl.errorString().toStdString();
    SendTracking = false;
    const bool wasConnected = sckNetworkControl.state() == QAbstractSocket::ConnectedState;
    closing_ = true;
    sckNetworkControl.abort();
    closing_ = false;
    if (NetSockets::IsReachFailure(number)) {
        if (stayConnected_) {
            // Tried again on the logon timer, so a station that is down is not hammered.
            Trace("Network control client: " + description + ", trying again in " +
                  std::to_string(tmrLogon_.interval() / 1000) + " s");
            if (status_ != nccConnecting) ShowStatus(nccConnecting);
            tmrLogon_.start();
        } else {
            ShowStatus(nccDisconnected);
        }
        if (wasConnected) {
            bool disconnected = true;
            emit NetworkControlEnded(disconnected);
            emit DisconnectedFromNetworkMaster();
        }
        return;
    }
    ShowStatus(nccDisconnected);
    Platform::MsgBox("There was a problem with the connection to the Network Control "
                     "Computer.\nThe error was : " +
                         description,
                     Platform::vbInformation);
    DisconnectFromNetworkController();
}

void NetworkControlClient::OnBytesWritten(qint64 sent) {
    if (!SendTracking) return;
    const qint64 remaining = sckNetworkControl.bytesToWrite();
    emit SendProgress(static_cast<int32_t>(sent), static_cast<int32_t>(remaining));
    if (remaining > 0) return;
    SendTracking = false;
    emit SendComplete();
}

void NetworkControlClient::ShowStatus(enNCCStatus status) {
    switch (status) {
    case nccDisconnected:
        return ShowStatus(status, "Disconnected", kButtonFace);
    case nccConnecting:
        return ShowStatus(status, "Connecting..", kYellow);
    case nccConnected:
        return ShowStatus(status, "Connected", kButtonFace);
    case nccRequestingControl:
        return ShowStatus(status, "Requesting Control..", kYellow);
    case nccHasControl:
        return ShowStatus(status, "Have Network Control", kGreen);
    case nccReleasing:
        return ShowStatus(status, "Releasing..", kButtonFace);
    }
}

void NetworkControlClient::ShowStatus(enNCCStatus status, const std::string& text, int32_t colour) {
    status_ = status;
    statusText_ = text;
    statusColour_ = colour;
    emit displayChanged();
}
