#include "main_window/frmMain.h"

#include "carts/PlayerImages.h"
#include "carts/PlayerWindows.h"
#include "main_window/ProgramContext.h"

#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QResizeEvent>

namespace MainWindow {

namespace {

std::shared_ptr<frmMain>& Instance() {
    return CurrentContext().MainForm;
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

void frmMain::SetMenuBar(QMenuBar* bar) {
    menuBar_ = bar;
    const int top = bar->sizeHint().height();
    bar->setGeometry(0, 0, width(), top);
    picPlayer_->move(0, top);
    resize(width(), height() + top);
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int top = menuBar_ ? menuBar_->height() : 0;
    if (menuBar_) menuBar_->setGeometry(0, 0, width(), top);
    picPlayer_->setGeometry(0, top, width(), picPlayer_->height());
    // The players share the area's width: a wider or narrower window lays them out again.
    if (event->oldSize().width() != width()) Audio_Player_FN::ArrangePlayerWindows();
}

frmMain& MainForm() {
    if (!Instance()) Instance() = std::make_shared<frmMain>();
    return *Instance();
}

frmMain* MainFormIfLoaded() {
    return Instance().get();
}

void UnloadMainForm() {
    Instance().reset();
}

} // namespace MainWindow
