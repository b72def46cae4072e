#include "network_control/NetSockets.h"

#include <QHostAddress>

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

std::string ReadAllText(QTcpSocket* socket) {
    QByteArray bytes = socket->readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool WriteText(QTcpSocket* socket, const std::string& text) {
    if (!IsConnected(socket)) return false;
    socket->write(text.data(), static_cast<qint64>(text.size()));
    return true;
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
