#include "network_control/NetSockets.h"

#include <QHostAddress>
#include <QPointer>
#include <utility>

namespace NetSockets {

int32_t Number(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return kConnectionRefused;
    case QAbstractSocket::RemoteHostClosedError:
        return kConnectionReset;
    case QAbstractSocket::HostNotFoundError:
        return kHostNotFound;
    case QAbstractSocket::SocketTimeoutError:
        return kTimedOut;
    case QAbstractSocket::NetworkError:
        return kConnectionAborted;
    case QAbstractSocket::AddressInUseError:
        return kAddressInUse;
    case QAbstractSocket::SocketAccessError:
        return 10013;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return 10049;
    default:
        return 10022;
    }
}

bool IsConnectionFailure(int32_t number) {
    return number == kConnectionRefused || number == kConnectionAborted ||
           number == kConnectionReset || number == kTimedOut;
}

bool IsReachFailure(int32_t number) {
    return IsConnectionFailure(number) || number == kHostNotFound || number == kNameServerFailure;
}

std::string RemoteAddress(const QTcpSocket* socket) {
    if (!socket) return "";
    QHostAddress address = socket->peerAddress();
    bool isV4 = false;
    quint32 v4 = address.toIPv4Address(&isV4);
    return (isV4 ? QHostAddress(v4).toString() : address.toString()).toStdString();
}

std::string RemoteHostName(const QTcpSocket* socket) {
    return socket ? socket->peerName().toStdString() : "";
}

bool IsConnected(const QTcpSocket* socket) {
    return socket && socket->state() == QAbstractSocket::ConnectedState;
}

std::string ListenError(const QTcpServer& server) {
    return server.isListening() ? "" : server.errorString().toStdString();
}

void PaceReading(QTcpSocket* socket) {
    socket->setReadBufferSize(kReadChunk);
}

std::string ReadAllText(QTcpSocket* socket) {
    QByteArray bytes = socket->readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void ServeTurn(const ReadTurn& turn) {
    LineFramer& framer = turn.framer;
    if (framer.Serving) {
        framer.TurnPutOff = true;
        return;
    }
    if (!turn.live()) return;
    GeneralFunctions::TraceBudget::Scope traced(turn.budget);
    framer.Serving = true;
    const std::string text = ReadAllText(turn.socket);
    if (!text.empty()) {
        turn.received(text);
        std::string line;
        while (turn.live() && framer.TakeLine(line))
            turn.run(line);
    }
    framer.Serving = false;
    // Bytes that came while a line waited in a nested loop: no new event announces them.
    const bool putOff = std::exchange(framer.TurnPutOff, false);
    if (framer.TurnQueued) return;
    if (!putOff && (!turn.live() || turn.socket->bytesAvailable() <= 0)) return;
    framer.TurnQueued = true;
    // The owner's turn finds its connection afresh (it may have closed meanwhile).
    QMetaObject::invokeMethod(
        turn.owner,
        [&framer, again = turn.again] {
            framer.TurnQueued = false;
            again();
        },
        Qt::QueuedConnection);
}

Written QueueText(QTcpSocket* socket, const std::string& text) {
    if (!IsConnected(socket)) return Written::NotConnected;
    const auto size = static_cast<qint64>(text.size());
    const qint64 waiting = socket->bytesToWrite();
    if (waiting + size > kMaxWriteQueue) return Written::QueueFull;
    socket->write(text.data(), size);
    // Each kFlushAt more goes to the system on the loop's next pass, rather than a block each
    // time the loop polls, so a peer that reads never nears the cap. Queued, so that a failing
    // write reports from the loop and not from inside its writer.
    if (waiting / kFlushAt != (waiting + size) / kFlushAt)
        QMetaObject::invokeMethod(
            socket, [socket] { socket->flush(); }, Qt::QueuedConnection);
    return Written::Queued;
}

bool WriteText(QTcpSocket* socket, const std::string& text) {
    return QueueText(socket, text) == Written::Queued;
}

void CutOff(QTcpSocket* socket, QObject* owner, std::function<void()> release) {
    QObject::disconnect(socket, nullptr, owner, nullptr);
    socket->abort();
    QMetaObject::invokeMethod(
        owner,
        [guard = QPointer<QTcpSocket>(socket), release = std::move(release)] {
            if (guard) release();
        },
        Qt::QueuedConnection);
}

std::string TraceExcerpt(const std::string& text) {
    return GeneralFunctions::TraceText(text, kTraceExcerpt);
}

int16_t TakeFreeSlot(QTcpSocket* socket, std::span<QTcpSocket*> table) {
    for (size_t i = 1; i < table.size(); ++i) {
        if (table[i]) continue;
        table[i] = socket;
        return static_cast<int16_t>(i);
    }
    socket->abort();
    socket->deleteLater();
    return 0;
}

void AcceptPending(const Door& door, const std::function<void(int16_t, QTcpSocket*)>& accepted) {
    GeneralFunctions::TraceBudget::Scope traced(door.listenerBudget);
    while (QTcpSocket* socket = door.server.nextPendingConnection()) {
        const std::string address = RemoteAddress(socket);
        const int16_t free = TakeFreeSlot(socket, door.table);
        if (free == 0) {
            door.trace(door.busy + address + " refused");
            continue;
        }
        GeneralFunctions::TraceBudget& budget = door.budgets[static_cast<size_t>(free)];
        budget.SetPeer(door.peer + std::to_string(free) + " (" + address + ")");
        budget.CountAlsoAgainst(&door.listenerBudget);
        PaceReading(socket);
        accepted(free, socket);
    }
}

void Dispose(QTcpSocket* socket, QObject* owner) {
    if (!socket) return;
    QObject::disconnect(socket, nullptr, owner, nullptr);
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
        return;
    }
    QObject::connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
}

} // namespace NetSockets
