#include "main_window/SocketNetwork.h"

#include "breaks/BreaksState.h"
#include "breaks/LogSupport.h"
#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Common.h"
#include "carts/Audio_Player_FN.h"
#include "carts/PlayerWindows.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "main_window/CartGroupButtons.h"
#include "main_window/CartGroupStartup.h"
#include "main_window/CommandLine.h"
#include "main_window/NetworkDoors.h"
#include "main_window/ProgramContext.h"
#include "network_control/NetSockets.h"
#include "network_control/modCorvane.h"
#include "platform/MessageBox.h"
#include "platform/Ports.h"
#include "platform/VB.h"

#include <QHostAddress>

namespace MainWindow {

namespace {

int32_t WholeNumber(const std::string& text) {
    return modCorvane::LeadingNumber(text);
}

bool SettingOn(int16_t value) {
    return value != 0;
}

} // namespace

SocketNetwork::SocketNetwork(NetworkDoors& doors) : doors_(doors) {
    masterRetry_.setInterval(kMasterRetryMs);
    masterRetry_.setSingleShot(true);
    connect(&masterRetry_, &QTimer::timeout, this, [this] {
        ContextScope scope(doors_.Context());
        ConnectToMaster();
    });
    connect(&sckSlaves0_, &QTcpServer::newConnection, this, &SocketNetwork::OnSlaveRequest);
    NetSockets::PaceReading(&sckMaster);
    connect(&sckMaster, &QTcpSocket::readyRead, this, &SocketNetwork::OnMasterData);
    connect(&sckMaster, &QTcpSocket::disconnected, this, &SocketNetwork::OnMasterClose);
    connect(&sckMaster, &QTcpSocket::errorOccurred, this, &SocketNetwork::OnMasterError);
}

SocketNetwork::~SocketNetwork() {
    CloseSockets();
}

bool SocketNetwork::NoNetwork() {
    return CommandLine().CommandLineText.find("/NONETWORK") != std::string::npos;
}

void SocketNetwork::Trace(const std::string& text) {
    GeneralFunctions::WriteDebugLine(text, -1);
}

void SocketNetwork::InitialiseNetworkSockets() {
    if (NoNetwork()) return;
    CloseSockets();
    if (!sckSlaves0_.listen(QHostAddress::Any,
                            static_cast<quint16>(Platform::FixedPort(Platform::SlavePort))))
        GeneralFunctions::FormatErrorMessage(
            "opening the connection that allows ZEL Slaves to connect",
            NetSockets::Number(sckSlaves0_.serverError()), false,
            sckSlaves0_.errorString().toStdString());
    doors_.Playout().Listen();
    ConnectToMaster();
}

void SocketNetwork::CloseSockets() {
    masterRetry_.stop();
    if (sckSlaves0_.isListening()) sckSlaves0_.close();
    for (int16_t i = 1; i <= kSlaves; ++i)
        CloseSlave(i);
    AbortMaster();
    MasterReceiveBuffer.Clear();
}

void SocketNetwork::AbortMaster() {
    closingMaster_ = true;
    sckMaster.abort();
    closingMaster_ = false;
}

void SocketNetwork::ReconnectMaster() {
    masterRetry_.stop();
    AbortMaster();
    ConnectToMaster();
}

void SocketNetwork::ConnectToMaster() {
    const std::string master = VB::Trim(MainSettings::Settings().Network.MasterName);
    if (master.empty() || sckMaster.state() != QAbstractSocket::UnconnectedState) return;
    MasterReceiveBuffer.Clear();
    sckMaster.connectToHost(QString::fromStdString(master),
                            static_cast<quint16>(Platform::FixedPort(Platform::SlavePort)));
}

void SocketNetwork::SendMessageToNetwork(const std::string& Message, bool ToMaster, bool ToSlaves,
                                         int16_t SlaveToIgnore, bool AddCrLf) {
    if (NoNetwork()) return;
    std::string trace = "MSGOUT";
    if (ToMaster) trace += ":ToMaster";
    if (ToSlaves) trace += ":ToSlaves";
    if (SlaveToIgnore > 0) trace += ":SlaveToIgnore(" + std::to_string(SlaveToIgnore) + ")";
    Trace(trace + ":" + NetSockets::TraceExcerpt(Message));
    Relay(AddCrLf ? Message + "\r\n" : Message, ToMaster, ToSlaves, SlaveToIgnore);
}

void SocketNetwork::Relay(const std::string& text, bool ToMaster, bool ToSlaves,
                          int16_t SlaveToIgnore) {
    if (NoNetwork()) return;
    if (ToMaster) sendWinSockMessage(&sckMaster, text);
    if (!ToSlaves) return;
    for (int16_t i = 1; i <= kSlaves; ++i)
        if (i != SlaveToIgnore) sendWinSockMessage(sckSlaves[i], text);
}

void SocketNetwork::sendWinSockMessage(QTcpSocket* Socket, const std::string& Message) {
    if (NetSockets::QueueText(Socket, Message) != NetSockets::Written::QueueFull) return;
    const std::string waiting = std::to_string(Socket->bytesToWrite()) + " bytes waiting";
    if (Socket == &sckMaster) {
        Trace("NETWORK:master does not read, " + waiting + ", dropped");
        AbortMaster();
        MasterReceiveBuffer.Clear();
        masterRetry_.start();
        return;
    }
    for (int16_t i = 1; i <= kSlaves; ++i) {
        if (sckSlaves[i] != Socket) continue;
        Trace("NETWORK:slave " + std::to_string(i) + " (" + NetSockets::RemoteAddress(Socket) +
              ") does not read, " + waiting + ", dropped");
        NetSockets::CutOff(Socket, this, [this, i, Socket] {
            if (sckSlaves[i] == Socket) CloseSlave(i);
        });
    }
}

void SocketNetwork::Receive(LineFramer& buffer, const std::string& text, const std::string& from) {
    const bool wasOver = buffer.Discarding();
    if (buffer.Append(text) > 0 && !wasOver)
        Trace("NETWORK:" + from + " line longer than " +
              std::to_string(LineFramer::kMaxPendingLine) + " bytes, the rest dropped");
}

void SocketNetwork::OnMasterData() {
    ContextScope scope(doors_.Context());
    auto received = [this](const std::string& text) {
        Trace("MSTMSG:" + NetSockets::TraceExcerpt(text));
        Relay(text, false, true, 0);
        Receive(MasterReceiveBuffer, text, "master");
    };
    NetSockets::ServeTurn({&sckMaster, MasterReceiveBuffer, masterTraceBudget_, this, received,
                           [this] { return MasterConnected(); },
                           [this](const std::string& line) { RunCommandLine(line); },
                           [this] { OnMasterData(); }});
}

void SocketNetwork::OnMasterClose() {
    if (closingMaster_) return;
    ContextScope scope(doors_.Context());
    MasterReceiveBuffer.Clear();
    // Tried again after a pause, so a master that is down is not called in a loop.
    if (!VB::Trim(MainSettings::Settings().Network.MasterName).empty()) masterRetry_.start();
}

void SocketNetwork::OnMasterError(QAbstractSocket::SocketError error) {
    if (closingMaster_ || error == QAbstractSocket::RemoteHostClosedError) return;
    ContextScope scope(doors_.Context());
    const int32_t number = NetSockets::Number(error);
    const std::string description = sckMaster.errorString().toStdString();
    AbortMaster();
    if (NetSockets::IsReachFailure(number)) {
        Trace("NETWORK:master " + description + ", trying again in " +
              std::to_string(masterRetry_.interval() / 1000) + " s");
        if (!VB::Trim(MainSettings::Settings().Network.MasterName).empty()) masterRetry_.start();
        return;
    }
    Platform::MsgBox("There was a problem connecting to the ZEL Master System.\nThe error was : " +
                         description + "\n",
                     Platform::vbInformation);
}

void SocketNetwork::OnSlaveRequest() {
    ContextScope scope(doors_.Context());
    const NetSockets::Door door{sckSlaves0_,
                                sckSlaves,
                                slaveTraceBudgets_,
                                listenerTraceBudget_,
                                Trace,
                                "NETWORK:slave ",
                                "NETWORK:all " + std::to_string(kSlaves) +
                                    " slave connections busy, "};
    NetSockets::AcceptPending(door, [this](int16_t free, QTcpSocket* socket) {
        SlaveReceiveBuffers[free].Clear();
        connect(socket, &QTcpSocket::readyRead, this, [this, free] { OnSlaveData(free); });
        connect(socket, &QTcpSocket::disconnected, this, [this, free] { CloseSlave(free); });
        connect(socket, &QTcpSocket::errorOccurred, this,
                [this, free](QAbstractSocket::SocketError error) { OnSlaveError(free, error); });
        CueNewSlave(socket);
    });
}

void SocketNetwork::CueNewSlave(QTcpSocket* Socket) {
    // A slave that was away missed the cues sent meanwhile: it gets at once the break this
    // machine plays next, never one it is playing or has played.
    SplitEngine* split = doors_.Split();
    if (!split) return;
    const auto [date, time] = split->NextBreakToPlay();
    if (time < 0) return;
    const std::string cue = "AD_CUE " + std::to_string(date) + " " + LogSupport::SingleText(time);
    Trace("MSGOUT:NewSlave:" + cue);
    sendWinSockMessage(Socket, cue + "\r\n");
}

void SocketNetwork::OnSlaveData(int16_t Index) {
    QTcpSocket* socket = sckSlaves[Index];
    if (!socket) return;
    ContextScope scope(doors_.Context());
    auto received = [this, Index](const std::string& text) {
        Trace("SLVMSG(" + std::to_string(Index) + "):" + NetSockets::TraceExcerpt(text));
        Relay(text, true, true, Index);
        Receive(SlaveReceiveBuffers[Index], text, "slave " + std::to_string(Index));
    };
    NetSockets::ServeTurn({socket, SlaveReceiveBuffers[Index], slaveTraceBudgets_[Index], this,
                           received,
                           [this, Index, socket] {
                               return sckSlaves[Index] == socket && NetSockets::IsConnected(socket);
                           },
                           [this](const std::string& line) { RunCommandLine(line); },
                           [this, Index] { OnSlaveData(Index); }});
}

void SocketNetwork::CloseSlave(int16_t Index) {
    QTcpSocket* socket = sckSlaves[Index];
    if (!socket) return;
    sckSlaves[Index] = nullptr;
    SlaveReceiveBuffers[Index].Clear();
    NetSockets::Dispose(socket, this);
}

void SocketNetwork::OnSlaveError(int16_t Index, QAbstractSocket::SocketError error) {
    QTcpSocket* socket = sckSlaves[Index];
    if (!socket) return;
    GeneralFunctions::TraceBudget::Scope traced(slaveTraceBudgets_[Index]);
    const int32_t number = NetSockets::Number(error);
    if (!NetSockets::IsConnectionFailure(number))
        Platform::MsgBox("There was a problem with the Windows Sockets (Networking).\nThe error "
                         "was : " +
                             socket->errorString().toStdString() +
                             "\nAnd the Windows Socket Index Number was " + std::to_string(Index),
                         Platform::vbInformation);
    CloseSlave(Index);
}

void SocketNetwork::ProcessRecievedWinSockdata(std::string& Data) {
    LineFramer framer;
    framer.Append(Data);
    std::string line;
    while (framer.TakeLine(line))
        RunCommandLine(line);
    Data = framer.Pending();
}

void SocketNetwork::RunCommandLine(const std::string& line) {
    const std::string word = modCorvane::CommandWord(line);
    const std::string arguments = line.substr(word.size());
    const MainSettings::NetworkSettings& settings = MainSettings::Settings().Network;
    SplitEngine* split = doors_.Split();
    const bool breakWord = word.rfind("AD_", 0) == 0 || word == "KILL";
    if (breakWord && !split) {
        Trace("NETWORK:" + word + ":Ignored(no split)");
        return;
    }
    CartGroupButtons* groups = CartGroupButtonsIfLoaded();
    if (word == "AD_PLAY") {
        if (!SettingOn(settings.RespondPlayCommands)) return;
        if (split->Break().AdvertCount < 1)
            doors_.Playout().SendMessageToVantor("AD_BREAK_COMPLETED");
        else
            split->PlayBreak(false);
    } else if (word == "AD_RECUE") {
        if (SettingOn(settings.RespondOtherCommands)) split->ReCueCurrentBreak(false);
    } else if (word == "AD_DUMP") {
        if (SettingOn(settings.RespondOtherCommands) && split->DumpEnabled()) {
            split->LogDumpByNetwork();
            split->DumpBreak(false);
        }
    } else if (word == "AD_PREVIOUS") {
        if (SettingOn(settings.RespondOtherCommands) && split->PreviousEnabled())
            split->CuePreviousBreak(false);
    } else if (word == "AD_CUE") {
        RunAdCue(arguments);
    } else if (word == "AD_OPENDAY") {
        ZEL_Common::OpenLogForDate(1, WholeNumber(arguments));
        split->SetCurrentBreakPos(split->GetNextAdBreakFilePos(0), false, true, false);
    } else if (word == "CART") {
        Audio_Player_FN::PlayCart(WholeNumber(arguments), 0);
    } else if (word == "CART_CUE") {
        Audio_Player_FN::CueCart(WholeNumber(arguments), 0);
    } else if (word == "CART_GROUP" || word == "CART_GROUP_CUE" || word == "DISPLAY_GROUP_RANGE") {
        if (!groups) {
            Trace("NETWORK:" + word + ":Ignored(no cart groups)");
        } else if (word == "CART_GROUP") {
            groups->PlayCartGroup(WholeNumber(arguments), false);
        } else if (word == "CART_GROUP_CUE") {
            groups->CueCartGroup(WholeNumber(arguments), false);
        } else {
            groups->DisplayGroupRange(WholeNumber(arguments));
        }
    } else if (word == "KILL") {
        if (Breaks::State().BreakRunning) split->LogDumpByNetwork();
        split->KillAllOutput(false);
    } else if (word == "PLAY_PLAYER" || word == "PAUSE_PLAYER" || word == "CUE_PLAYER" ||
               word == "CLOSE_PLAYER") {
        RunPlayerWord(word, arguments);
    } else if (doors_.ZOZ().Client().Status() == nccHasControl) {
        Trace("OCPSEND:" + line);
        std::string text = line;
        doors_.ZOZ().Client().SendMessageToNetwork(text);
    }
}

void SocketNetwork::RunAdCue(const std::string& arguments) {
    SplitEngine& split = *doors_.Split();
    int32_t start = 1, end = 0;
    const std::string first =
        GeneralFunctions::GetNextToken(arguments, start, " ", end, true, true);
    std::string second;
    if (end > 0) {
        start = end + 1;
        second = GeneralFunctions::GetNextToken(arguments, start, " ", end, true, true);
    }
    // Without a day the cue names a time on the day of the log loaded as it is heard.
    const std::optional<int32_t> date =
        second.empty() ? std::nullopt : std::optional<int32_t>(WholeNumber(first));
    const float time = second.empty() ? static_cast<float>(WholeNumber(first))
                                      : static_cast<float>(VB::Val(second));
    if (Breaks::State().BreakRunning) {
        // The running break is not disturbed: the cue is carried out when it ends.
        Trace("AD_CUE:Ignored(Break running)");
        split.HoldCueUntilBreakEnds(date, time);
        return;
    }
    split.SetCurrentAdBreakTime(date.value_or(split.Split().LoadedLogDate), time, false, true);
}

void SocketNetwork::RunPlayerWord(const std::string& word, const std::string& arguments) {
    const int32_t number = WholeNumber(arguments);
    const int16_t players = doors_.Players().TotalNumberCartPlayers();
    if (number < 1 || number > players) {
        Trace("NETWORK:" + word + ":Ignored(player " + std::to_string(number) + " not 1 to " +
              std::to_string(players) + ")");
        return;
    }
    const auto p = static_cast<int16_t>(number);
    CartPlayers::CartPlayerRecord& player = CartPlayers::State().PlayerTable[p];
    int16_t volume = player.Volume;
    if (word == "PLAY_PLAYER")
        Audio_Player_FN::PlayPlayer(p, player.CartNumber, volume);
    else if (word == "PAUSE_PLAYER")
        Audio_Player_FN::PausePlayer(p, player.CartNumber, volume);
    else if (word == "CUE_PLAYER")
        Audio_Player_FN::CuePlayer(p, player.CartNumber, volume);
    else
        Audio_Player_FN::EjectPlayer(p);
}

std::vector<std::string> SocketNetwork::ConnectedSlaves() const {
    std::vector<std::string> slaves;
    for (int16_t i = 1; i <= kSlaves; ++i) {
        if (!NetSockets::IsConnected(sckSlaves[i])) continue;
        const std::string host = NetSockets::RemoteHostName(sckSlaves[i]);
        const std::string address = NetSockets::RemoteAddress(sckSlaves[i]);
        slaves.push_back(VB::Trim(host).empty() ? address : host + "," + address);
    }
    return slaves;
}

int16_t SocketNetwork::SlaveCount() const {
    int16_t count = 0;
    for (int16_t i = 1; i <= kSlaves; ++i)
        count += sckSlaves[i] ? 1 : 0;
    return count;
}

uint16_t SocketNetwork::ListeningPort() const {
    return sckSlaves0_.isListening() ? sckSlaves0_.serverPort() : 0;
}

std::string SocketNetwork::ListenError() const {
    return NetSockets::ListenError(sckSlaves0_);
}

bool SocketNetwork::MasterConnected() const {
    return NetSockets::IsConnected(&sckMaster);
}

} // namespace MainWindow
