#pragma once
// NetworkControlServer: listens on one TCP port, carries up to five client connections, answers
// the control protocol itself and hands the controller's other lines to its host.
#include "core/TraceBudget.h"
#include "network_control/LineFramer.h"
#include "network_control/NetControlArbiter.h"
#include "platform/Com.h"

#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class NetworkControlServer : public QObject,
                             public Platform::Com::Dispatchable,
                             private NetControlLinks {
    Q_OBJECT
public:
    static constexpr int16_t kConnections = 5;

    explicit NetworkControlServer(QObject* parent = nullptr);
    ~NetworkControlServer() override;

    // Identity and late-bound calls ("corvane.NetworkControlServer").
    static const Platform::Com::ClassInfo& Info();
    const Platform::Com::ClassInfo& Class() const override { return Info(); }
    Platform::Com::HResult Invoke(int32_t dispid, uint8_t kind,
                                  std::vector<Platform::Com::Variant>& args,
                                  Platform::Com::Variant& result,
                                  Platform::Com::ExceptionInfo* exception = nullptr) override;

    void InitProperties();
    void ReadProperties(const Platform::Com::PropertyBag& bag);
    void WriteProperties(Platform::Com::PropertyBag& bag) const;

    // Properties.
    bool StripLineFeeds() const { return stripLineFeeds_; }
    void SetStripLineFeeds(bool value);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    const std::string& EndMessageCharacter() const { return endMessageCharacter_; }
    void SetEndMessageCharacter(const std::string& value);
    int32_t ListenPort() const { return listenPort_; }
    void SetListenPort(int32_t& value);
    const std::string& NetworkController() const { return arbiter_.NetworkController(); }
    const std::string& NetworkControllerIP() const { return arbiter_.NetworkControllerIP(); }
    enQNetworkRelMode NetworkControllerMode() const { return arbiter_.NetworkControllerMode(); }
    bool ShowBootButton() const { return showListenButton_; }
    void SetShowBootButton(bool& value);
    bool ShowListenButton() const { return showBootButton_; }
    void SetShowListenButton(bool& value);
    int32_t Status() const;

    // Methods. Listen answers 0, or the error number of a port the socket refuses.
    int32_t Listen(int32_t& PortNumber);
    void EndListen();
    void SendActiveNetworkController(std::string& message);
    void TerminateConnections();

    // The status strip mirrors these.
    const std::string& StatusText() const { return statusText_; }
    int32_t StatusColour() const { return statusColour_; }
    std::string ListenCaption() const { return (listening_ ? "Deafen" : "Listen"); }
    // cmdListen governed by ShowBootButton, cmdBoot by ShowListenButton.
    bool ListenButtonVisible() const { return showListenButton_; }
    bool BootButtonVisible() const { return showBootButton_; }
    void cmdListen_Click();
    void cmdBoot_Click();

    // Connected clients, and the port actually listened on (0 when not listening).
    int16_t ConnectionCount() const;
    uint16_t ServerPort() const;
    // Why the server holds no port, empty while it listens.
    std::string ListenError() const;
    const std::vector<std::string>& ChangedProperties() const { return changedProperties_; }

signals:
    void NetworkControlGranted(std::string& ControllerName, std::string& ControllerIP);
    void NetworkControlDenied(std::string& ControllerName, std::string& ControllerIP);
    void NetworkControlEnded(std::string& PreviousControllerName,
                             std::string& PreviousControllerIP);
    void RawNetworkMessage(const std::string& message);
    void MessageFromController(const std::string& message);
    void SendProgress(int32_t bytesSent, int32_t bytesRemaining);
    void SendComplete();
    void GetHelpMessageText(std::string& HelpText);
    void GetStatusMessageText(std::string& StatusText);
    void displayChanged();

private:
    // NetControlLinks
    void SendToConnection(int16_t Index, const std::string& Text) override;
    std::string RemoteAddress(int16_t Index) override;
    void ControlGranted(std::string& Name, std::string& IP) override;
    void ControlDenied(std::string& Name, std::string& IP) override;
    void ControlEnded(std::string& Name, std::string& IP) override;
    void ControllerLine(const std::string& Message) override;
    void HelpMessageText(std::string& HelpText) override;
    void StatusMessageText(std::string& StatusText) override;
    void ControlChanged() override;

    void OnConnectionRequest();
    void OnDataArrival(int16_t Index);
    void OnClose(int16_t Index);
    void OnError(int16_t Index, QAbstractSocket::SocketError error);
    void OnBytesWritten(int16_t Index, qint64 sent);
    void CloseConnection(int16_t Index);
    // Queues text for one connection; one whose queue is full is cut off.
    void Write(int16_t Index, const std::string& text);
    void UpdateStatusDisplay();
    void ReportChange(const char* name);
    void ApplyFraming();

    NetControlArbiter arbiter_{*this};
    QTcpServer listener_;
    std::array<QTcpSocket*, kConnections + 1> connections_{};
    std::array<LineFramer, kConnections + 1> ReceiveBuffers{};
    // Each connection's trace lines, and those of accepting and refusing connections.
    std::array<GeneralFunctions::TraceBudget, kConnections + 1> traceBudgets_{};
    GeneralFunctions::TraceBudget listenerBudget_{
        "Network control: connections", GeneralFunctions::TraceBudget::kSharedLinesPerSecond};
    bool listening_ = false;
    bool stripLineFeeds_ = true;
    std::string caption_ = "Network Server Status:";
    std::string endMessageCharacter_ = "\r";
    int32_t listenPort_ = 0;
    bool showListenButton_ = true; // cmdListen
    bool showBootButton_ = true;   // cmdBoot
    bool SendTracking = false;
    int16_t sendTrackIndex_ = 0;
    std::string statusText_;
    int32_t statusColour_ = 0;
    std::vector<std::string> changedProperties_;
};
