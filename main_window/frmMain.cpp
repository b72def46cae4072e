#include "main_window/frmMain.h"

#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace MainWindow {

namespace {

std::unique_ptr<frmMain>& Instance() {
    static std::unique_ptr<frmMain> form;
    return form;
}

// The two transport pictures: a triangle for play, two bars for pause.
QIcon TransportIcon(bool pause) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 96, 0));
    if (pause) {
        painter.drawRect(8, 6, 6, 20);
        painter.drawRect(18, 6, 6, 20);
    } else {
        painter.drawPolygon(QPolygon({QPoint(9, 5), QPoint(27, 16), QPoint(9, 27)}));
    }
    return QIcon(pixmap);
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
    images_["enPlay"] = TransportIcon(false);
    images_["enPause"] = TransportIcon(true);
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
