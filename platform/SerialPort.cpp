#include "platform/SerialPort.h"

#include <QSerialPort>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

namespace Platform {

namespace {

struct LineSettings {
    int32_t baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

bool ParseSettings(const std::string& text, LineSettings& out) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) {
        size_t a = part.find_first_not_of(' ');
        size_t b = part.find_last_not_of(' ');
        parts.push_back(a == std::string::npos ? "" : part.substr(a, b - a + 1));
    }
    if (parts.size() != 4) return false;
    char* end = nullptr;
    long baud = std::strtol(parts[0].c_str(), &end, 10);
    if (parts[0].empty() || *end != '\0' || baud < 50 || baud > 4000000) return false;
    out.baud = static_cast<int32_t>(baud);
    if (parts[1].size() != 1) return false;
    switch (parts[1][0] | 0x20) {
    case 'n':
        out.parity = QSerialPort::NoParity;
        break;
    case 'e':
        out.parity = QSerialPort::EvenParity;
        break;
    case 'o':
        out.parity = QSerialPort::OddParity;
        break;
    case 'm':
        out.parity = QSerialPort::MarkParity;
        break;
    case 's':
        out.parity = QSerialPort::SpaceParity;
        break;
    default:
        return false;
    }
    if (parts[2] == "5")
        out.dataBits = QSerialPort::Data5;
    else if (parts[2] == "6")
        out.dataBits = QSerialPort::Data6;
    else if (parts[2] == "7")
        out.dataBits = QSerialPort::Data7;
    else if (parts[2] == "8")
        out.dataBits = QSerialPort::Data8;
    else
        return false;
    if (parts[3] == "1")
        out.stopBits = QSerialPort::OneStop;
    else if (parts[3] == "1.5")
        out.stopBits = QSerialPort::OneAndHalfStop;
    else if (parts[3] == "2")
        out.stopBits = QSerialPort::TwoStop;
    else
        return false;
    return true;
}

constexpr int16_t kHighestPort = 16;

// A pseudo-terminal slave (majors 136..143) carries bytes without a line: its driver keeps
// 8 bits without parity whatever is asked, so framing it cannot hold is no error.
bool IsPseudoTerminal(int fd) {
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    return major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
}

} // namespace

std::string SerialDevicePath(int16_t portNumber) {
    std::string name = "VNTZEL_COM" + std::to_string(portNumber);
    if (const char* path = std::getenv(name.c_str()); path && *path) return path;
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

SerialPort::SerialPort(QObject* parent) : QObject(parent), port_(std::make_unique<QSerialPort>()) {
    connect(port_.get(), &QSerialPort::readyRead, this, &SerialPort::OnComm);
}

SerialPort::~SerialPort() {
    if (port_->isOpen()) port_->close();
}

bool SerialPort::PortOpen() const {
    return port_->isOpen();
}

int32_t SerialPort::Fail(int32_t number, const std::string& text) {
    lastErrorText_ = text;
    return number;
}

int32_t SerialPort::SetCommPort(int16_t portNumber) {
    if (port_->isOpen()) return Fail(commPortOpen, "Port already open");
    if (portNumber < 1 || portNumber > kHighestPort)
        return Fail(commInvalidPort, "Invalid port number");
    commPort_ = portNumber;
    return commNoError;
}

int32_t SerialPort::SetHandshaking(int16_t handshaking) {
    if (handshaking < comNone || handshaking > comRTSXOnXOff)
        return Fail(commInvalidPropertyValue, "Invalid property value");
    handshaking_ = handshaking;
    return port_->isOpen() ? ApplyLine() : commNoError;
}

int32_t SerialPort::SetSettings(const std::string& settings) {
    LineSettings parsed;
    if (!ParseSettings(settings, parsed))
        return Fail(commInvalidPropertyValue, "Invalid property value");
    settings_ = settings;
    return port_->isOpen() ? ApplyLine() : commNoError;
}

int32_t SerialPort::ApplyLine() {
    LineSettings line;
    ParseSettings(settings_, line);
    bool ok = port_->setBaudRate(line.baud) && port_->setParity(line.parity) &&
              port_->setDataBits(line.dataBits) && port_->setStopBits(line.stopBits);
    ok = ok || IsPseudoTerminal(static_cast<int>(port_->handle()));
    // XON/XOFF alone is software flow control; RTS/CTS wins when both are asked for.
    QSerialPort::FlowControl flow = QSerialPort::NoFlowControl;
    if (handshaking_ == comXOnXoff) flow = QSerialPort::SoftwareControl;
    if (handshaking_ == comRTS || handshaking_ == comRTSXOnXOff)
        flow = QSerialPort::HardwareControl;
    ok = port_->setFlowControl(flow) && ok;
    return ok ? commNoError : Fail(commInvalidPropertyValue, "Invalid property value");
}

int32_t SerialPort::SetPortOpen(bool open) {
    if (!open) {
        if (port_->isOpen()) port_->close();
        return commNoError;
    }
    if (port_->isOpen()) return Fail(commPortOpen, "Port already open");
    port_->setPortName(QString::fromStdString(SerialDevicePath(commPort_)));
    if (!port_->open(QIODevice::ReadWrite)) {
        std::string why = port_->errorString().toStdString();
        return Fail(port_->error() == QSerialPort::DeviceNotFoundError ? commInvalidPort
                                                                       : commPortUnavailable,
                    why);
    }
    int32_t result = ApplyLine();
    if (result != commNoError) port_->close();
    return result;
}

std::string SerialPort::Input() {
    if (!port_->isOpen()) return {};
    QByteArray bytes = port_->readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

int32_t SerialPort::Output(const std::string& bytes) {
    if (!port_->isOpen()) return Fail(commPortNotOpen, "Port is not open");
    port_->write(bytes.data(), static_cast<qint64>(bytes.size()));
    return commNoError;
}

} // namespace Platform
