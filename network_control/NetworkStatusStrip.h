#pragma once
// The status strips of the two controls: a caption and a coloured state label, and on the
// server the Listen/Deafen and Boot buttons. They show the control's state and forward clicks.
#include <QLabel>
#include <QPushButton>
#include <QWidget>

class NetworkControlServer;
class NetworkControlClient;

namespace NetworkStatusStrip {

// 3600 x 675 twips at 15 twips a pixel.
constexpr int kWidth = 240, kHeight = 45;

// The 0x00BBGGRR colour of a status label as a style sheet colour (button face: the palette's).
QString ColourStyle(int32_t colour);

} // namespace NetworkStatusStrip

class NetworkServerStrip : public QWidget {
    Q_OBJECT
public:
    explicit NetworkServerStrip(NetworkControlServer& server, QWidget* parent = nullptr);
    void Refresh();

private:
    NetworkControlServer& server_;
    QLabel lblStatusDesc{this};
    QLabel lblStatus{this};
    QPushButton cmdListen_{this};
    QPushButton cmdBoot_{this};
};

class NetworkClientStrip : public QWidget {
    Q_OBJECT
public:
    explicit NetworkClientStrip(NetworkControlClient& client, QWidget* parent = nullptr);
    void Refresh();

private:
    NetworkControlClient& client_;
    QLabel lblStatusDesc{this};
    QLabel lblStatus{this};
};
