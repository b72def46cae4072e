#include "network_control/NetworkControlServer.h"

#include "network_control/NetSockets.h"
#include "platform/MessageBox.h"

#include <QHostAddress>

using namespace Platform::Com;

NetworkControlServer::NetworkControlServer(QObject* parent) : QObject(parent) {
    connect(&listener_, &QTcpServer::newConnection, this,
            &NetworkControlServer::OnConnectionRequest);
    UpdateStatusDisplay();
}

NetworkControlServer::~NetworkControlServer() {
    EndListen();
    if (arbiter_.HasController()) SendToConnection(arbiter_.ControllerIndex(), "NET_CONTROL_END");
    TerminateConnections();
}

void NetworkControlServer::InitProperties() {
    endMessageCharacter_ = "\r";
    caption_ = "Network Server Status:";
    listenPort_ = 0;
    stripLineFeeds_ = true;
    ApplyFraming();
}

void NetworkControlServer::ReadProperties(const PropertyBag& bag) {
    endMessageCharacter_ = ToText(bag.ReadProperty("EndMessageCharacter", "\r")).value_or("\r");
    caption_ = ToText(bag.ReadProperty("Caption", "Network Server Status:"))
                   .value_or("Network Server Status:");
    listenPort_ = ToLong(bag.ReadProperty("ListenPort", int32_t{0})).value_or(0);
    stripLineFeeds_ = ToBoolean(bag.ReadProperty("StripLineFeeds", true)).value_or(true);
    ApplyFraming();
    emit displayChanged();
}

void NetworkControlServer::WriteProperties(PropertyBag& bag) const {
    bag.WriteProperty("EndMessageCharacter", endMessageCharacter_, std::string("\r"));
    bag.WriteProperty("Caption", caption_, std::string("Network Server Status:"));
    bag.WriteProperty("ListenPort", listenPort_, int32_t{0});
    bag.WriteProperty("StripLineFeeds", stripLineFeeds_, true);
}

void NetworkControlServer::ApplyFraming() {
    arbiter_.EndCharacter = endMessageCharacter_;
    for (LineFramer& buffer : ReceiveBuffers) {
        buffer.HasEndCharacter = !endMessageCharacter_.empty();
        buffer.EndCharacter = endMessageCharacter_.empty() ? '\r' : endMessageCharacter_[0];
        buffer.StripLineFeeds = stripLineFeeds_;
    }
}

void NetworkControlServer::ReportChange(const char* name) {
    changedProperties_.push_back(name);
}

void NetworkControlServer::SetStripLineFeeds(bool value) {
    stripLineFeeds_ = value;
    ApplyFraming();
    ReportChange("StripLineFeeds");
}

void NetworkControlServer::SetCaption(const std::string& value) {
    caption_ = value;
    ReportChange("Caption");
    emit displayChanged();
}

void NetworkControlServer::SetEndMessageCharacter(const std::string& value) {
    endMessageCharacter_ = value;
    ApplyFraming();
    ReportChange("EndMessageCharacter");
}

void NetworkControlServer::SetListenPort(int32_t& value) {
    if (listening_) {
        value = listenPort_;
        return;
    }
    listenPort_ = value;
    ReportChange("ListenPort");
}

void NetworkControlServer::SetShowBootButton(bool& value) {
    showListenButton_ = value;
    ReportChange("ShowBootButton");
    emit displayChanged();
}

void NetworkControlServer::SetShowListenButton(bool& value) {
    showBootButton_ = value;
    ReportChange("ShowListenButton");
    emit displayChanged();
}

int32_t NetworkControlServer::Status() const {
    return (listening_ ? ncsListening : 0) | (arbiter_.HasController() ? ncsControlled : 0);
}

int32_t NetworkControlServer::Listen(int32_t& PortNumber) {
    constexpr int32_t kInvalidPropertyValue = 380;
    if (PortNumber < 0 || PortNumber > 65535) return kInvalidPropertyValue;
    if (listener_.isListening()) listener_.close();
    listenPort_ = PortNumber;
    if (listener_.listen(QHostAddress::Any, static_cast<quint16>(PortNumber))) {
        listening_ = true;
    } else {
        Platform::MsgBox(
            "There was a problem starting the Network Control Server.\nThe error was " +
                listener_.errorString().toStdString() + "(" +
                std::to_string(NetSockets::Number(listener_.serverError())) + ")",
            Platform::vbOKOnly);
    }
    UpdateStatusDisplay();
    return 0;
}

void NetworkControlServer::EndListen() {
    if (listener_.isListening()) listener_.close();
    listening_ = false;
    UpdateStatusDisplay();
}

void NetworkControlServer::SendActiveNetworkController(std::string& message) {
    const int16_t index = arbiter_.ControllerIndex();
    if (index < 1 || !NetSockets::IsConnected(connections_[index]) ||
        NetSockets::RemoteAddress(connections_[index]) != arbiter_.NetworkControllerIP())
        return;
    SendTracking = true;
    sendTrackIndex_ = index;
    SendToConnection(index, message);
}

void NetworkControlServer::TerminateConnections() {
    SendTracking = false;
    for (int16_t i = 1; i <= kConnections; ++i) {
        NetSockets::Dispose(connections_[i], this);
        connections_[i] = nullptr;
        ReceiveBuffers[i].Clear();
    }
    arbiter_.DropController();
    UpdateStatusDisplay();
}

void NetworkControlServer::cmdListen_Click() {
    if (listening_) {
        EndListen();
    } else {
        int32_t port = listenPort_;
        Listen(port);
    }
}

void NetworkControlServer::cmdBoot_Click() {
    TerminateConnections();
}

int16_t NetworkControlServer::ConnectionCount() const {
    int16_t count = 0;
    for (int16_t i = 1; i <= kConnections; ++i)
        count += connections_[i] ? 1 : 0;
    return count;
}

uint16_t NetworkControlServer::ServerPort() const {
    return listener_.isListening() ? listener_.serverPort() : 0;
}

std::string NetworkControlServer::ListenError() const {
    return NetSockets::ListenError(listener_);
}

void NetworkControlServer::SendToConnection(int16_t Index, const std::string& Text) {
    const std::string text = Text + endMessageCharacter_;
    if (Index >= 1) {
        if (Index <= kConnections) Write(Index, text);
        return;
    }
    for (int16_t i = 1; i <= kConnections; ++i)
        Write(i, text);
}

void NetworkControlServer::Write(int16_t Index, const std::string& text) {
    QTcpSocket* socket = connections_[Index];
    if (NetSockets::QueueText(socket, text) != NetSockets::Written::QueueFull) return;
    modCorvane::Trace("Network control: connection " + std::to_string(Index) + " (" +
                      NetSockets::RemoteAddress(socket) + ") does not read, " +
                      std::to_string(socket->bytesToWrite()) + " bytes waiting, dropped");
    // Closed from the event loop: the line being answered may still be in the arbiter.
    NetSockets::CutOff(socket, this, [this, Index, socket] {
        if (connections_[Index] == socket) CloseConnection(Index);
    });
}

std::string NetworkControlServer::RemoteAddress(int16_t Index) {
    return NetSockets::RemoteAddress(connections_[Index]);
}

void NetworkControlServer::ControlGranted(std::string& Name, std::string& IP) {
    emit NetworkControlGranted(Name, IP);
}

void NetworkControlServer::ControlDenied(std::string& Name, std::string& IP) {
    emit NetworkControlDenied(Name, IP);
}

void NetworkControlServer::ControlEnded(std::string& Name, std::string& IP) {
    emit NetworkControlEnded(Name, IP);
}

void NetworkControlServer::ControllerLine(const std::string& Message) {
    emit MessageFromController(Message);
}

void NetworkControlServer::HelpMessageText(std::string& HelpText) {
    emit GetHelpMessageText(HelpText);
}

void NetworkControlServer::StatusMessageText(std::string& StatusText) {
    emit GetStatusMessageText(StatusText);
}

void NetworkControlServer::ControlChanged() {
    if (!arbiter_.HasController()) {
        SendTracking = false;
        sendTrackIndex_ = 0;
    }
    UpdateStatusDisplay();
}

void NetworkControlServer::OnConnectionRequest() {
    const NetSockets::Door door{listener_,
                                connections_,
                                traceBudgets_,
                                listenerBudget_,
                                modCorvane::Trace,
                                "Network control: connection ",
                                "Network control: all " + std::to_string(kConnections) +
                                    " connections busy, "};
    NetSockets::AcceptPending(door, [this](int16_t free, QTcpSocket* socket) {
        ReceiveBuffers[free].Clear();
        connect(socket, &QTcpSocket::readyRead, this, [this, free] { OnDataArrival(free); });
        connect(socket, &QTcpSocket::disconnected, this, [this, free] { OnClose(free); });
        connect(socket, &QTcpSocket::errorOccurred, this,
                [this, free](QAbstractSocket::SocketError error) { OnError(free, error); });
        connect(socket, &QTcpSocket::bytesWritten, this,
                [this, free](qint64 sent) { OnBytesWritten(free, sent); });
    });
}

void NetworkControlServer::OnDataArrival(int16_t Index) {
    QTcpSocket* socket = connections_[Index];
    if (!socket) return;
    LineFramer& buffer = ReceiveBuffers[Index];
    auto live = [this, Index, socket] {
        return connections_[Index] == socket && NetSockets::IsConnected(socket);
    };
    auto received = [&](const std::string& text) {
        emit RawNetworkMessage(text);
        if (!live()) return;
        const bool wasOver = buffer.Discarding();
        if (buffer.Append(text) > 0 && !wasOver)
            modCorvane::Trace("Network control: line from connection " + std::to_string(Index) +
                              " longer than " + std::to_string(LineFramer::kMaxPendingLine) +
                              " bytes, the rest dropped");
    };
    NetSockets::ServeTurn(
        {socket, buffer, traceBudgets_[Index], this, received, live,
         [this, Index](const std::string& line) { arbiter_.ProcessLine(Index, line); },
         [this, Index] { OnDataArrival(Index); }});
}

void NetworkControlServer::OnClose(int16_t Index) {
    CloseConnection(Index);
}

void NetworkControlServer::OnError(int16_t Index, QAbstractSocket::SocketError error) {
    QTcpSocket* socket = connections_[Index];
    if (!socket) return;
    GeneralFunctions::TraceBudget::Scope traced(traceBudgets_[Index]);
    const int32_t number = NetSockets::Number(error);
    if (!NetSockets::IsConnectionFailure(number))
        Platform::MsgBox("There was a problem with the connection from a Network System.\nThe "
                         "error was : " +
                             socket->errorString().toStdString() + "\n",
                         Platform::vbInformation);
    CloseConnection(Index);
}

void NetworkControlServer::CloseConnection(int16_t Index) {
    QTcpSocket* socket = connections_[Index];
    if (!socket) return;
    GeneralFunctions::TraceBudget::Scope traced(traceBudgets_[Index]);
    connections_[Index] = nullptr;
    ReceiveBuffers[Index].Clear();
    if (sendTrackIndex_ == Index) {
        SendTracking = false;
        sendTrackIndex_ = 0;
    }
    NetSockets::Dispose(socket, this);
    arbiter_.ConnectionClosed(Index);
}

void NetworkControlServer::OnBytesWritten(int16_t Index, qint64 sent) {
    if (!SendTracking || sendTrackIndex_ != Index || !connections_[Index]) return;
    const qint64 remaining = connections_[Index]->bytesToWrite();
    if (remaining > 0) {
        emit SendProgress(static_cast<int32_t>(sent), static_cast<int32_t>(remaining));
        return;
    }
    SendTracking = false;
    sendTrackIndex_ = 0;
    emit SendComplete();
}

void NetworkControlServer::UpdateStatusDisplay() {
    if (arbiter_.HasController()) {
        statusText_ =
            "Cont : " + arbiter_.NetworkControllerIP() + " " + arbiter_.NetworkController();
        statusColour_ = modCorvane::kGreen;
    } else if (listening_) {
        statusText_ = "Listening";
        statusColour_ = modCorvane::kYellow;
    } else {
        statusText_ = "Off";
        statusColour_ = modCorvane::kButtonFace;
    }
    emit displayChanged();
}
