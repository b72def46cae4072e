#pragma once
// A serial port with the serial control's properties: a port number, a handshaking value, a
// line-settings text ("9600,n,8,1") and an open flag. Failures come back as the control's
// error numbers with their descriptions. "COM n" is the device in $VNTZEL_COM<n>, else
// /dev/ttyS<n-1>.
#include <QObject>
#include <cstdint>
#include <memory>
#include <string>

class QSerialPort;

namespace Platform {

enum CommError : int32_t {
    commNoError = 0,
    commInvalidPropertyValue = 380,
    commInvalidPort = 8002,
    commPortOpen = 8005,
    commPortNotOpen = 8012,
    commPortUnavailable = 8010,
};

enum CommHandshake : int16_t {
    comNone = 0,
    comXOnXoff = 1,
    comRTS = 2,
    comRTSXOnXOff = 3,
};

std::string SerialDevicePath(int16_t portNumber);

class SerialPort : public QObject {
    Q_OBJECT
public:
    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    int16_t CommPort() const { return commPort_; }
    int16_t Handshaking() const { return handshaking_; }
    const std::string& Settings() const { return settings_; }
    bool PortOpen() const;

    // Each setter answers 0 or an error number, with its description in lastError().
    int32_t SetCommPort(int16_t portNumber);
    int32_t SetHandshaking(int16_t handshaking);
    int32_t SetSettings(const std::string& settings);
    int32_t SetPortOpen(bool open);
    const std::string& LastErrorText() const { return lastErrorText_; }

    // Received bytes so far (and clears them); bytes written as they are.
    std::string Input();
    int32_t Output(const std::string& bytes);

signals:
    // Bytes have arrived.
    void OnComm();

private:
    int32_t Fail(int32_t number, const std::string& text);
    int32_t ApplyLine();

    std::unique_ptr<QSerialPort> port_;
    int16_t commPort_ = 1;
    int16_t handshaking_ = comNone;
    std::string settings_ = "9600,n,8,1";
    std::string lastErrorText_;
};

} // namespace Platform
