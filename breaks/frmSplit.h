#pragma once
// The split window: the advert log display, the cued break's adverts, the cart play list, the
// break buttons and remaining-time panel, the status bar and the split's timers. It shows
// what the split engine keeps and forwards the user's keys, clicks and drops to it.
#include "breaks/LogDisplay.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

class SplitEngine;
namespace obControls {
class HWndGrab;
}

// What the window reaches outside the split: each door may stay empty.
struct SplitWindowDoors {
    std::function<void(const std::string&)> lblCurrentAction;
    std::function<void(const std::string&)> LoadCartGroups; // settings file name
    std::function<void()> AddNoticeListener, RemoveNoticeListener;
    std::function<void()> ResetLogReloadTimes, CheckForFutureLogFiles, UnloadSplash;
    std::function<void()> ConnectToZOZ, DisconnectFromNetworkController;
    std::function<void()> LogReloadTick, CartListTick;
    std::function<void(bool)> mnuSplit;
    std::function<void()> mnuSplitViewLogs_Click;
    std::function<void(int16_t, bool)> PlayCartGroup; // group, notify
    std::function<void(int16_t)> pnlCartGroup_Click;
    std::function<void(int16_t)> tbsCartGroups; // shows a page of the cart-group tabs
    // Shows the log-edit menu for the advert line at the file position; returns when closed.
    // Empty: a menu of its own with the insert and remove commands.
    std::function<void(int32_t, QPoint)> mnuEditLog;
    std::function<void(int16_t)> UpdatePlayerCaption;
};

class LogPictureBox;

class frmSplit : public QWidget {
    Q_OBJECT
public:
    explicit frmSplit(SplitEngine& engine, SplitWindowDoors doors = {}, QWidget* parent = nullptr);
    ~frmSplit() override;

    // The window's lifecycle and operations.
    void Form_Load();
    void Form_Activate();
    void Form_Deactivate();
    // Cancel is set for the window's own close box (UnloadMode 0).
    void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode);
    void Form_Unload();
    void Form_KeyDown(int16_t& KeyCode, int16_t Shift);
    void Form_Resize();
    void pnlStatus_Click();
    void SetPlayerDescription(int16_t PlayerNumber, const std::string& Text);
    void InsertAdvert(int32_t AdvertFilePos, int32_t NewCartNumber);
    void RemoveAdvert(int32_t AdvertFilePos);
    void UpdateLog();
    // Shows the engine's state in the buttons, lists and panels.
    void MirrorEngine();
    // Closes the window as the main window's shut-down does (not refused).
    void Unload();
    // The scheduler's tick: tmrLogReload comes once a second, just after each whole second of
    // the clock, so a break starts within milliseconds of its time.
    void tmrLogReload_Timer();
    // Milliseconds from the time of day (seconds) to just after its next whole second.
    static int LogReloadInterval(double seconds);

    LogDisplay& Log() { return log_; }
    SplitEngine& Engine() { return engine_; }

    QFrame picLogHolder;
    LogPictureBox* picLog;
    QPushButton sftUp{"\xe2\x96\xb2"}, sftDown{"\xe2\x96\xbc"};
    QLabel lblAdvertLog{"Advert Log:"};
    QWidget picAdBreak;
    QListWidget listadBreak, listCarts;
    QLabel lblCurrentBreak{"Current Break:"}, lblCartList{"Cart Play list:"};
    QPushButton cmdPreviousBreak{"Back"}, cmdCueBreak{"Cue"}, cmdPlayBreak{"Play"},
        cmdDumpBreak{"Dump"};
    QLabel pnlAdbreakTimeRemain;
    QLabel pnlStatus{"Checking Future Logs"};
    QProgressBar ProgressBar;
    QStatusBar StatusBar1;
    QLabel statusCaption, ocpControl;
    QLabel piclogo;
    QFrame lineBottomdark, LineBottomLight;
    std::unique_ptr<obControls::HWndGrab> HWndGrab;

    QTimer tmrCartList, tmrLogReload, tmrLogUpdateInterval;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void LayOut();
    // One edit of the working log: refused while a copy runs or a break plays; afterwards the
    // cued break is reloaded and the display keeps showing the break it showed.
    void EditLog(int32_t AdvertFilePos, const std::function<bool()>& Edit);
    int32_t LogLength() const;
    bool KeyPreview(QEvent* event);
    void picLogHolder_Resize();

    SplitEngine& engine_;
    SplitWindowDoors doors_;
    LogDisplay log_;
    bool unloading_ = false;
    bool loaded_ = false;
};

// The log display's picture box: paints the display's rows and frame, pops up the edit menu
// on a right click and takes cart drops.
class LogPictureBox : public QWidget {
    Q_OBJECT
public:
    // MIME type of a dragged cart: "<source control name>\n<cart number or tag>".
    static constexpr const char* kCartMime = "application/x-vntzel-cart";

    LogPictureBox(frmSplit& form, LogDisplay& display);

signals:
    void rightClicked(int row, QPoint global);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void picLog_MouseDown(Qt::MouseButton Button, QPointF position, QPoint global);
    void picLog_DragOver(QPointF position, int State);
    void picLog_DragDrop(const QMimeData& Source, QPointF position);

    int RowAtPixel(int y) const;
    frmSplit& form_;
    LogDisplay& display_;
    int highlightedRow_ = 0;
};
