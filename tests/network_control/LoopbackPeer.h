#pragma once
// A raw TCP peer on 127.0.0.1 for tests: writes bytes as given and collects what comes back,
// split into lines at carriage returns (line feeds removed). Waits run the event loop, so a
// server in the same process answers meanwhile.
#include "support/WaveTestSupport.h"

#include <QTcpSocket>
#include <algorithm>
#include <string>
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

} // namespace TestSupport
