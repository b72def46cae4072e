#pragma once
// What the controls and the program's socket doors share about TCP sockets: the error numbers
// they report and test, the remote address as text, reading received bytes in bounded turns,
// writing with a bounded queue, and closing a socket without losing what it still has to write.
#include "core/TraceBudget.h"
#include "network_control/LineFramer.h"

#include <QAbstractSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdint>
#include <functional>
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

// The most a socket takes in per readable event: a peer that sends without pause is served
// in turns, and the event loop runs timers and the other peers between them.
constexpr qint64 kReadChunk = 4 * 1024;
// The most that may wait to be written to one peer; a peer that does not read is cut off there.
constexpr qint64 kMaxWriteQueue = 4 * 1024 * 1024;
// Every this much more queued for a peer is handed to the system on the loop's next pass.
constexpr qint64 kFlushAt = 64 * 1024;
// The most of a received text a trace line shows.
constexpr size_t kTraceExcerpt = 200;

int32_t Number(QAbstractSocket::SocketError error);
// Refused, aborted, reset or timed out.
bool IsConnectionFailure(int32_t number);
// The four above, or the host's name could not be found.
bool IsReachFailure(int32_t number);

// The peer's IPv4 address as dotted text (an IPv4-mapped IPv6 address too).
std::string RemoteAddress(const QTcpSocket* socket);
std::string RemoteHostName(const QTcpSocket* socket);
bool IsConnected(const QTcpSocket* socket);
// Why the listener holds no port, empty while it listens.
std::string ListenError(const QTcpServer& server);
// Holds the socket's reading to kReadChunk bytes a turn.
void PaceReading(QTcpSocket* socket);
// What the socket holds (with PaceReading, at most one turn).
std::string ReadAllText(QTcpSocket* socket);

// One connection's reading, as its owner serves it.
struct ReadTurn {
    QTcpSocket* socket;
    LineFramer& framer; // its received text; the owner's, living as long as the owner
    GeneralFunctions::TraceBudget& budget; // the trace lines of the turn count against it
    QObject* owner;
    std::function<void(const std::string&)> received; // a chunk taken in: frames it
    std::function<bool()> live;                       // the connection is still served
    std::function<void(const std::string&)> run;      // carries out one line
    std::function<void()> again;                      // the owner's next turn
};
// One turn: takes in what the socket holds (at most kReadChunk) and carries out its complete
// lines; when bytes are left at the end, queues one next turn on the loop. A turn asked for
// while a line of the same connection waits in a nested loop (a message box) is put off until
// that line returns: later lines never run inside it.
void ServeTurn(const ReadTurn& turn);

enum class Written { Queued, NotConnected, QueueFull };
// Queues the bytes when connected and the peer's queue has room for them.
Written QueueText(QTcpSocket* socket, const std::string& text);
// Writes the bytes when connected and there is room; false when dropped.
bool WriteText(QTcpSocket* socket, const std::string& text);
// Cuts off a peer that does not read: detached from its owner and aborted at once (what waited
// for it is discarded); release then runs from the event loop, where the owner frees its slot.
void CutOff(QTcpSocket* socket, QObject* owner, std::function<void()> release);
// A received text for a trace line: escaped, whole when short, else its first bytes and its
// length.
std::string TraceExcerpt(const std::string& text);
// Puts an accepted socket in the first empty slot of 1..n (slot 0 unused) and answers its
// index; 0 when every slot is taken, the socket then closed.
int16_t TakeFreeSlot(QTcpSocket* socket, std::span<QTcpSocket*> table);
// A listener's connections: slots 1..n of table, each with its trace budget, and the
// listener's own budget, against which every line of accepting or refusing one counts, and
// every line of its peers too.
struct Door {
    QTcpServer& server;
    std::span<QTcpSocket*> table;
    std::span<GeneralFunctions::TraceBudget> budgets; // each slot's
    GeneralFunctions::TraceBudget& listenerBudget;
    std::function<void(const std::string&)> trace;
    std::string peer; // a slot's budget is named peer, the slot and the address
    std::string busy; // the line of a refused connection is busy and the address
};
// Takes every pending connection into a free slot and calls accepted for it, or refuses it
// with one trace line when every slot is taken. A slot's budget reports what its previous peer
// left out before it counts for the new one.
void AcceptPending(const Door& door, const std::function<void(int16_t, QTcpSocket*)>& accepted);
// Detaches the socket from its owner and closes it once its pending bytes are written.
void Dispose(QTcpSocket* socket, QObject* owner);

} // namespace NetSockets
