#pragma once
// The master/slave socket network: the slave listener with its 50 slots, the connection to the
// master, relaying between them and the command words every machine of a chain carries out.
#include "core/TraceBudget.h"
#include "network_control/LineFramer.h"

#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace MainWindow {

class NetworkDoors;

class SocketNetwork : public QObject {
    Q_OBJECT
public:
    static constexpr int16_t kSlaves = 50;
    static constexpr int kMasterRetryMs = 5000;

    explicit SocketNetwork(NetworkDoors& doors);
    ~SocketNetwork() override;

    void InitialiseNetworkSockets();
    void SendMessageToNetwork(const std::string& Message, bool ToMaster, bool ToSlaves,
                              int16_t SlaveToIgnore, bool AddCrLf);
    // Sends received text on as it is, without tracing it again.
    void Relay(const std::string& text, bool ToMaster, bool ToSlaves, int16_t SlaveToIgnore);
    // Queues text for one peer; a peer whose queue is full is dropped.
    void sendWinSockMessage(QTcpSocket* Socket, const std::string& Message);
    // Takes the complete lines out of Data and carries them out; an incomplete rest stays.
    void ProcessRecievedWinSockdata(std::string& Data);
    void CloseSockets();
    // The master name changed: the master link is closed and opened to the new name.
    void ReconnectMaster();

    // The status text's slave lines: host name and address, or the address.
    std::vector<std::string> ConnectedSlaves() const;
    int16_t SlaveCount() const;
    uint16_t ListeningPort() const;
    // Why the slave listener holds no port, empty while it listens.
    std::string ListenError() const;
    bool MasterConnected() const;
    bool MasterRetryPending() const { return masterRetry_.isActive(); }
    void SetMasterRetryInterval(int milliseconds) { masterRetry_.setInterval(milliseconds); }

private:
    void ConnectToMaster();
    // Drops the master link without counting it as a loss.
    void AbortMaster();
    void OnSlaveRequest();
    void CueNewSlave(QTcpSocket* Socket);
    void OnSlaveData(int16_t Index);
    void CloseSlave(int16_t Index);
    void OnSlaveError(int16_t Index, QAbstractSocket::SocketError error);
    void OnMasterData();
    void OnMasterClose();
    void OnMasterError(QAbstractSocket::SocketError error);
    // Frames received text, traced when the pending line goes over the cap.
    void Receive(LineFramer& buffer, const std::string& text, const std::string& from);
    void RunCommandLine(const std::string& line);
    void RunPlayerWord(const std::string& word, const std::string& arguments);
    void RunAdCue(const std::string& arguments);
    static bool NoNetwork();
    static void Trace(const std::string& text);

    NetworkDoors& doors_;
    QTcpServer sckSlaves0_;
    std::array<QTcpSocket*, kSlaves + 1> sckSlaves{};
    std::array<LineFramer, kSlaves + 1> SlaveReceiveBuffers{};
    QTcpSocket sckMaster;
    LineFramer MasterReceiveBuffer;
    // Each peer's trace lines, and those of accepting and refusing slaves.
    std::array<GeneralFunctions::TraceBudget, kSlaves + 1> slaveTraceBudgets_{};
    GeneralFunctions::TraceBudget masterTraceBudget_{"NETWORK:master"};
    GeneralFunctions::TraceBudget listenerTraceBudget_{
        "NETWORK:slave connections", GeneralFunctions::TraceBudget::kSharedLinesPerSecond};
    QTimer masterRetry_;
    bool closingMaster_ = false;
};

} // namespace MainWindow
