#pragma once
// The main window: the player area that hosts the player windows, the image list of the
// player buttons and the two serial ports (control and bounce).
#include "platform/Screen.h"
#include "platform/SerialPort.h"

#include <QIcon>
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <string>

class QMenuBar;

namespace MainWindow {

// Display-free part: the serial ports and the data received on the control port.
class MainEngine : public QObject {
    Q_OBJECT
public:
    explicit MainEngine(QObject* parent = nullptr);

    Platform::SerialPort commControl;
    Platform::SerialPort commBounce;
    // Received bytes waiting for the packet framer.
    std::string SerialBuffer;

    // Receive handler of the control port: every byte is repeated on the bounce port.
    void commControl_OnComm();
};

class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);

    MainEngine& Engine() { return engine_; }
    Platform::SerialPort& commControl() { return engine_.commControl; }
    Platform::SerialPort& commBounce() { return engine_.commBounce; }
    // The player area; player windows are made its children.
    QWidget* picPlayer() const { return picPlayer_; }
    // The image list; the keys "enPlay" and "enPause" always exist.
    QIcon ListImage(const std::string& key) const;
    // Puts the menu bar along the top; the player area moves down below it.
    void SetMenuBar(QMenuBar* bar);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    MainEngine engine_;
    QWidget* picPlayer_;
    QPointer<QMenuBar> menuBar_;
    std::map<std::string, QIcon> images_;
};

// The main window of the current program context, created on first use.
frmMain& MainForm();
// The main window when it exists, else nullptr.
frmMain* MainFormIfLoaded();
// Destroys the main window (tests, shut-down).
void UnloadMainForm();

// Twips of one pixel of the player area.
using Platform::kTwipsPerPixel;

} // namespace MainWindow
