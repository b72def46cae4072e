#include "network_control/NetworkStatusStrip.h"

#include "network_control/NetworkControlClient.h"
#include "network_control/NetworkControlServer.h"

namespace NetworkStatusStrip {

QString ColourStyle(int32_t colour) {
    if (colour == modCorvane::kButtonFace)
        return "QLabel { background-color: palette(button); border: 1px inset gray; }";
    const int red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
    return QString("QLabel { background-color: rgb(%1, %2, %3); border: 1px inset gray; }")
        .arg(red)
        .arg(green)
        .arg(blue);
}

namespace {

void PlaceLabels(QLabel& caption, QLabel& status, int statusWidth) {
    caption.setGeometry(2, 2, kWidth - 4, 16);
    status.setGeometry(2, 20, statusWidth, 22);
    status.setAlignment(Qt::AlignCenter);
    status.setAutoFillBackground(true);
    QFont small = status.font();
    small.setPointSize(8);
    status.setFont(small);
}

void Show(QLabel& caption, QLabel& status, const std::string& captionText,
          const std::string& statusText, int32_t colour) {
    caption.setText(QString::fromLatin1(captionText.c_str()));
    status.setText(QString::fromLatin1(statusText.c_str()));
    status.setStyleSheet(ColourStyle(colour));
}

} // namespace

} // namespace NetworkStatusStrip

using namespace NetworkStatusStrip;

NetworkServerStrip::NetworkServerStrip(NetworkControlServer& server, QWidget* parent)
    : QWidget(parent), server_(server) {
    setFixedSize(kWidth, kHeight);
    PlaceLabels(lblStatusDesc, lblStatus, kWidth - 90);
    cmdListen_.setGeometry(kWidth - 86, 20, 48, 22);
    cmdBoot_.setGeometry(kWidth - 38, 20, 36, 22);
    cmdBoot_.setText("Boot");
    connect(&cmdListen_, &QPushButton::clicked, this, [this] { server_.cmdListen_Click(); });
    connect(&cmdBoot_, &QPushButton::clicked, this, [this] { server_.cmdBoot_Click(); });
    connect(&server_, &NetworkControlServer::displayChanged, this, &NetworkServerStrip::Refresh);
    Refresh();
}

void NetworkServerStrip::Refresh() {
    Show(lblStatusDesc, lblStatus, server_.Caption(), server_.StatusText(), server_.StatusColour());
    cmdListen_.setText(QString::fromStdString(server_.ListenCaption()));
    cmdListen_.setVisible(server_.ListenButtonVisible());
    cmdBoot_.setVisible(server_.BootButtonVisible());
}

NetworkClientStrip::NetworkClientStrip(NetworkControlClient& client, QWidget* parent)
    : QWidget(parent), client_(client) {
    setFixedSize(kWidth, kHeight);
    PlaceLabels(lblStatusDesc, lblStatus, kWidth - 4);
    connect(&client_, &NetworkControlClient::displayChanged, this, &NetworkClientStrip::Refresh);
    Refresh();
}

void NetworkClientStrip::Refresh() {
    Show(lblStatusDesc, lblStatus, client_.Caption(), client_.StatusText(), client_.StatusColour());
}
