#pragma once
// The serial command port: bytes received on the control port are repeated on the bounce
// port, logged raw when asked, collected upper-cased, cut into packets by the profile's
// framing codes and run as break, cart-group, cart, test and kill actions. Every packet and
// every discarded piece of text goes to the weekday COM log. Display-free: it runs on the
// clock service and is driven directly by tests.
#include <QObject>
#include <cstdint>
#include <functional>
#include <string>

class SplitEngine;

namespace Platform {
class SerialPort;
}

namespace MainWindow {

class SerialCommandPort : public QObject {
    Q_OBJECT
public:
    SerialCommandPort(Platform::SerialPort& control, Platform::SerialPort& bounce,
                      QObject* parent = nullptr);

    void SetSplit(SplitEngine* split) { split_ = split; }

    // Received text, upper-cased, not yet framed.
    std::string SerialInputBuffer;
    // While set, packets are framed and logged but not run.
    bool IgnoreSerialCommands = false;
    // The raw received-data log; empty = off.
    std::string SerialDataLog;
    // The most the buffer holds while no packet ends; older text is discarded.
    static constexpr size_t kMaxBuffer = 4096;

    // The cart groups and carts the actions reach.
    struct CartDoors {
        std::function<bool(int16_t group)> checksAgainstAds;
        std::function<int32_t(int16_t group)> firstCartOfGroup;
        std::function<void(int16_t group, bool notifyNetwork)> playCartGroup;
        std::function<void(int32_t cart, int16_t volume)> playCart;
        std::function<void()> testCommand; // shows the test window and counts
    };
    CartDoors Doors;

    void commControl_OnComm();
    // Frames and runs every complete packet of Buffer, leaving the rest in it.
    void ProcessSerialBuffer(std::string& Buffer);
    std::string PerformSerialCommand(const std::string& Action);
    void WriteToTodaysComLogFile(const std::string& Text);
    // Today's COM log: the split's destination folder, "COM_" and the English weekday.
    static std::string TodaysComLogFile();

signals:
    // The buffer changed (received text or framing).
    void bufferChanged();

private:
    void Discard(std::string& Buffer, size_t count, const std::string& reason);
    // One turn of the framer: false when it must wait for more text.
    bool FrameOne(std::string& Buffer);
    std::string RunPacket(const std::string& packet);
    std::string GroupCommand(int16_t group);

    Platform::SerialPort& control_;
    Platform::SerialPort& bounce_;
    SplitEngine* split_ = nullptr;
    bool receiving_ = false;  // the control port's re-entry flag
    bool processing_ = false; // the framer's re-entry flag
    int32_t lastComLogDate_ = 0;
};

} // namespace MainWindow
