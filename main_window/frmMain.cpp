#include "main_window/frmMain.h"

#include "carts/PlayerImages.h"

namespace MainWindow {

namespace {

std::unique_ptr<frmMain>& Instance() {
    static std::unique_ptr<frmMain> form;
    return form;
}

constexpr int kPlayerAreaHeight = 765 / kTwipsPerPixel;

} // namespace

MainEngine::MainEngine(QObject* parent) : QObject(parent) {
    connect(&commControl, &Platform::SerialPort::OnComm, this, &MainEngine::commControl_OnComm);
}

void MainEngine::commControl_OnComm() {
    std::string received = commControl.Input();
    if (received.empty()) return;
    if (commBounce.PortOpen()) commBounce.Output(received);
    SerialBuffer += received;
}

frmMain::frmMain(QWidget* parent) : QWidget(parent), picPlayer_(new QWidget(this)) {
    setWindowTitle("VNTZEL");
    picPlayer_->setObjectName("picPlayer");
    picPlayer_->setGeometry(0, 0, 800, kPlayerAreaHeight);
    images_["enPlay"] = CartPlayers::TransportIcon(false);
    images_["enPause"] = CartPlayers::TransportIcon(true);
    resize(800, kPlayerAreaHeight);
}

QIcon frmMain::ListImage(const std::string& key) const {
    auto it = images_.find(key);
    return it == images_.end() ? QIcon() : it->second;
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    picPlayer_->setGeometry(0, 0, width(), picPlayer_->height());
}

frmMain& MainForm() {
    if (!Instance()) Instance() = std::make_unique<frmMain>();
    return *Instance();
}

frmMain* MainFormIfLoaded() {
    return Instance().get();
}

void UnloadMainForm() {
    Instance().reset();
}

} // namespace MainWindow
