#pragma once
// The serial I/O card of one card slot: an eight-line controller on a serial port at 1200
// baud, odd parity, 7 data bits. The manager tells it the input lines ("!C"), sends the
// output byte when it changes ("!W") and asks for the inputs on every tick ("!R"); the card
// answers "!I" with its input byte.
#include "platform/SerialPort.h"

#include <QObject>
#include <cstdint>
#include <string>

namespace HardwareManager {

class SerialIOCard : public QObject {
    Q_OBJECT
public:
    static constexpr int kLines = 8;
    // Received text kept while no CR has come; beyond it the started line is dropped.
    static constexpr size_t kBufferLimit = 256;

    explicit SerialIOCard(int16_t card, QObject* parent = nullptr);

    // Opens the card's port (its CommPort) and sends the input mask; a failure is shown in
    // the standard error box and the port stays closed.
    void Open();
    void Close();
    bool PortOpen() const { return commSerialPort.PortOpen(); }
    // One poll: "!W" when the output byte differs from the cache, "!R" when a line is an input.
    void Tick(bool FlashPhaseOn, int16_t& OutputCache);
    // Receive handler: consumes every complete line waiting, never waits for more.
    void commSerialPort_OnComm();
    // Bytes from the card, as the receive handler takes them.
    void Receive(const std::string& Bytes);
    const std::string& SerialCardBuffer() const { return buffer_; }

    Platform::SerialPort commSerialPort;

signals:
    // The lines may have changed (after a receive event).
    void received();

private:
    void HandleLine(const std::string& line);

    int16_t card_;
    std::string buffer_;
};

} // namespace HardwareManager
