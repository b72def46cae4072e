#pragma once
// NetworkControlClient: connects to a station that speaks the control protocol, asks for
// control as its request and release modes say, reconnects where they say so, and carries the
// host's lines while it holds control.
#include "core/TraceBudget.h"
#include "network_control/LineFramer.h"
#include "network_control/modCorvane.h"
#include "platform/Com.h"

#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <cstdint>
#include <string>

class NetworkControlClient : public QObject, public Platform::Com::Dispatchable {
    Q_OBJECT
public:
    static constexpr int kLogonIntervalMs = 10000;

    explicit NetworkControlClient(QObject* parent = nullptr);
    ~NetworkControlClient() override;

    // Identity and late-bound calls ("corvane.NetworkControlClient").
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
    enNCCStatus Status() const { return status_; }
    void SetStatus(enNCCStatus value) { status_ = value; }
    enQNetworkRelMode ReleaseMode() const { return releaseMode_; }
    enQNetworkReqMode RequestMode() const { return requestMode_; }
    std::string NetworkMaster() const;
    std::string NetworkMasterRemotePort() const;
    std::string NetworkMasterIP() const;
    const std::string& EndMessageCharacter() const { return endMessageCharacter_; }
    void SetEndMessageCharacter(const std::string& value);
    bool StripLineFeeds() const { return ReceiveBuffer.StripLineFeeds; }
    void SetStripLineFeeds(bool value) { ReceiveBuffer.StripLineFeeds = value; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);

    // Methods.
    void ConnectToNetworkController(std::string& ComputerAddress, int32_t& ComputerPort,
                                    enQNetworkReqMode& NetworkRequestMode,
                                    enQNetworkRelMode& NetworkReleaseMode,
                                    std::string& ConnectName);
    void DisconnectFromNetworkController();
    void CloseNetConnection();
    void SendMessageToNetwork(std::string& message);

    // The status strip mirrors these.
    const std::string& StatusText() const { return statusText_; }
    int32_t StatusColour() const { return statusColour_; }
    // The wait before a failed connection is tried again (tmrLogon).
    void SetRetryInterval(int milliseconds) { tmrLogon_.setInterval(milliseconds); }
    bool RetryPending() const { return tmrLogon_.isActive(); }
    bool StayConnected() const { return stayConnected_; }

signals:
    void ConnectingToNetworkMaster();
    void ConnectedToNetworkMaster();
    void TakingNetworkControl();
    void NetworkControlTaken();
    void NetworkControlFail(std::string& RefusingComputer);
    void ReleasingNetworkControl();
    void NetworkControlEnded(bool& Disconnected);
    void DisconnectedFromNetworkMaster();
    void RawNetworkMessage(const std::string& message);
    void message(const std::string& MessageText);
    void SendProgress(int32_t bytesSent, int32_t bytesRemaining);
    void SendComplete();
    void displayChanged();

private:
    void ConnectSocket();
    void RequestControl();
    void SendLine(const std::string& text);
    void ShowStatus(enNCCStatus status, const std::string& text, int32_t colour);
    void ShowStatus(enNCCStatus status);
    void OnConnected();
    void OnDataArrival();
    void OnLine(const std::string& line);
    void OnRefused(const std::string& line);
    void OnClosedByServer();
    void OnError(QAbstractSocket::SocketError error);
    void OnBytesWritten(qint64 sent);
    // The server does not read what is sent to it: the connection is dropped and tried again.
    void OnDeafServer();
    bool SocketOpen() const;

    QTcpSocket sckNetworkControl;
    QTimer tmrLogon_;
    LineFramer ReceiveBuffer;
    GeneralFunctions::TraceBudget traceBudget_{"Network control client"};
    enNCCStatus status_ = nccDisconnected;
    enQNetworkRelMode releaseMode_ = qsrlWaitRelease;
    enQNetworkReqMode requestMode_ = qsrqPolite;
    std::string serverAddress_;
    int32_t serverPort_ = 0;
    std::string connectName_;
    bool stayConnected_ = false;
    bool SendTracking = false;
    bool closing_ = false; // our own close: its disconnect signal is not the server's
    std::string endMessageCharacter_ = "\r";
    std::string caption_ = "Network Client Status:";
    std::string statusText_;
    int32_t statusColour_ = modCorvane::kButtonFace;
};
