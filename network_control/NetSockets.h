#pragma once
// What the controls and the program's socket doors share about TCP sockets: the error numbers
// they report and test, the remote address as text, reading received bytes, and closing a
// socket without losing what it still has to write.
#include <QAbstractSocket>
#include <QTcpSocket>
#include <cstdint>
#include <span>
#include <string>

namespace NetSockets {

constexpr int32_t kAddressInUse = 10048;
constexpr int32_t kConnectionAborted = 10053;
constexpr int32_t kConnectionReset = 10054;
constexpr int32_t kTimedOut = 10060;
constexpr int32_t kConnectionRefused = 10061;
constexpr int32_t kHostNotFound = 11001;
constexpr int32_t kNameServerFailure = 11002;

int32_t Number(QAbstractSocket::SocketError error);
// Refused, aborted, reset or timed out.
bool IsConnectionFailure(int32_t number);
// The four above, or the host's name could not be found.
bool IsReachFailure(int32_t number);

// The peer's IPv4 address as dotted text (an IPv4-mapped IPv6 address too).
std::string RemoteAddress(const QTcpSocket* socket);
std::string RemoteHostName(const QTcpSocket* socket);
bool IsConnected(const QTcpSocket* socket);
std::string ReadAllText(QTcpSocket* socket);
// Writes the bytes when connected; false when dropped.
bool WriteText(QTcpSocket* socket, const std::string& text);
// Puts an accepted socket in the first empty slot of 1..n (slot 0 unused) and answers its
// index; 0 when every slot is taken, the socket then closed.
int16_t TakeFreeSlot(QTcpSocket* socket, std::span<QTcpSocket*> table);
// Detaches the socket from its owner and closes it once its pending bytes are written.
void Dispose(QTcpSocket* socket, QObject* owner);

} // namespace NetSockets
