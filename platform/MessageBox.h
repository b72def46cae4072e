#pragma once
// One service for every message box the program shows. Headless runs and tests answer through
// a hook. Interactive runs block on a box that asks a question; an OK-only box raised while the
// event loop runs is shown without blocking, so a timer, socket or device handler that raises
// it is never re-entered while the box waits.
#include <functional>
#include <string>
#include <vector>

namespace Platform {

// Button sets, icons and default-button flags, combined as in the classic box API.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton1 = 0,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
    vbSystemModal = 4096,
};

enum MsgBoxResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};

struct ShownBox {
    std::string prompt; // 8-bit text as the program built it
    std::string title;
    int buttons = 0;
    int answer = 0;
};

// Answers a box instead of showing it; returns one of MsgBoxResult.
using MsgBoxHook = std::function<int(const ShownBox&)>;
// Told of every box once it is answered (the trace log listens here).
using MsgBoxObserver = std::function<void(const ShownBox&)>;

// Returns the answer; an OK-only box shown without blocking answers vbOK at once and stays on
// screen until OK is pressed. While such a box is open, the same title and text open no second.
int MsgBox(const std::string& prompt, int buttons = vbOKOnly, const std::string& title = "");

// While one exists, OK-only boxes block as they do before the event loop runs: for a path that
// ends the program right after, where a box left open would vanish unread.
class BlockingBoxes {
public:
    BlockingBoxes();
    ~BlockingBoxes();
    BlockingBoxes(const BlockingBoxes&) = delete;
    BlockingBoxes& operator=(const BlockingBoxes&) = delete;
};

// The answer a box gets when nobody is there to click: its default button.
int DefaultAnswer(int buttons);

// Installs a hook (empty to remove). While a hook is set every box goes to it.
void SetMsgBoxHook(MsgBoxHook hook);
void SetMsgBoxObserver(MsgBoxObserver observer);

// True when boxes are answered without a display (no GUI application, the offscreen
// platform, or VNTZEL_HEADLESS set).
bool MsgBoxIsHeadless();
// Shows real boxes even where MsgBoxIsHeadless holds (tests of the boxes themselves).
void ShowBoxesWhenHeadless(bool on);

// Every box shown since the last ClearShownBoxes, in order.
const std::vector<ShownBox>& ShownBoxes();
void ClearShownBoxes();

} // namespace Platform
