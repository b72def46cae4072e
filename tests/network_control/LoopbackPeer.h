#pragma once
// A raw TCP peer on 127.0.0.1 for tests: writes bytes as given and collects what comes back,
// split into lines at carriage returns (line feeds removed). Waits run the event loop, so a
// server in the same process answers meanwhile.
#include "network_control/modCorvane.h"
#include "support/WaveTestSupport.h"

#include <QTcpSocket>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace TestSupport {

class LoopbackPeer {
public:
    static constexpr int kWaitMs = 5000;

    bool Connect(uint16_t port) {
        socket_.connectToHost("127.0.0.1", port);
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
            QByteArray bytes = socket_.readAll();
            raw_.append(bytes.constData(), static_cast<size_t>(bytes.size()));
        });
        QObject::connect(&socket_, &QTcpSocket::errorOccurred, [this] { failed_ = true; });
        PumpUntil([this] { return failed_ || socket_.state() == QAbstractSocket::ConnectedState; },
                  kWaitMs);
        return socket_.state() == QAbstractSocket::ConnectedState;
    }
    void Send(const std::string& bytes) {
        socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
        socket_.flush();
    }
    void SendLine(const std::string& line) { Send(line + "\r"); }
    void Close() { socket_.abort(); }

    // Every complete line received so far.
    std::vector<std::string> Lines() const {
        std::string text = raw_;
        text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = text.find('\r', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    // Waits for at least count lines; the lines received.
    std::vector<std::string> WaitLines(size_t count) {
        PumpUntil([&] { return Lines().size() >= count; }, kWaitMs);
        return Lines();
    }
    bool WaitFor(const std::string& line) {
        return PumpUntil([&] { return Has(line); }, kWaitMs);
    }
    bool Has(const std::string& line) const {
        auto lines = Lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    bool WaitClosed() {
        return PumpUntil([this] { return socket_.state() == QAbstractSocket::UnconnectedState; },
                         kWaitMs);
    }
    void ClearReceived() { raw_.clear(); }
    const std::string& Raw() const { return raw_; }
    QTcpSocket& Socket() { return socket_; }

private:
    QTcpSocket socket_;
    std::string raw_;
    bool failed_ = false;
};

// A peer on threads of its own: it sends one text over and over without pause until it is
// stopped or cut off, and reads (counting what comes) or never reads at all.
class Flooder {
public:
    Flooder(uint16_t port, const std::string& text, bool reads) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        int small = 4096;
        if (!reads) setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return;
        std::string block;
        while (!text.empty() && block.size() < 64 * 1024)
            block += text;
        if (!block.empty())
            writer_ = std::thread([this, block] {
                while (!stop_ && send(fd_, block.data(), block.size(), MSG_NOSIGNAL) > 0) {
                }
            });
        if (reads)
            reader_ = std::thread([this] {
                char bytes[64 * 1024];
                for (ssize_t n; (n = recv(fd_, bytes, sizeof bytes, 0)) > 0;)
                    received_ += static_cast<size_t>(n);
            });
    }
    ~Flooder() {
        stop_ = true;
        shutdown(fd_, SHUT_RDWR);
        for (std::thread* t : {&writer_, &reader_})
            if (t->joinable()) t->join();
        close(fd_);
    }
    size_t Received() const { return received_; }

private:
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<size_t> received_{0};
    std::thread writer_, reader_;
};

// Short connections on a thread of its own, one after another without pause until stopped:
// each connects, sends one text and closes.
class Storm {
public:
    Storm(uint16_t port, std::string text)
        : thread_([this, port, text = std::move(text)] {
              sockaddr_in address{};
              address.sin_family = AF_INET;
              address.sin_port = htons(port);
              address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
              while (!stop_) {
                  const int fd = socket(AF_INET, SOCK_STREAM, 0);
                  // Bounds a connect the listener has no room for, once nothing accepts.
                  timeval wait{0, 100 * 1000};
                  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
                  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
                      send(fd, text.data(), text.size(), MSG_NOSIGNAL);
                      ++connections_;
                  }
                  close(fd);
              }
          }) {}
    ~Storm() {
        stop_ = true;
        thread_.join();
    }
    size_t Connections() const { return connections_; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<size_t> connections_{0};
    std::thread thread_;
};

// The library's trace lines while it lives.
struct TraceLines {
    TraceLines() {
        modCorvane::SetTraceSink([this](const std::string& line) { lines.push_back(line); });
    }
    ~TraceLines() { modCorvane::SetTraceSink({}); }
    bool Has(const std::string& part) const {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& line) { return line.find(part) != line.npos; });
    }
    std::vector<std::string> lines;
};

} // namespace TestSupport
