#pragma once
// Windows of our own objects, with stable integer handles, a replaceable window procedure
// and posted messages. PostMessage may be called from any thread; the message is queued for
// the window's thread and handled from its Qt event loop, never inside the caller. The windows
// of one thread share a queue: messages are handled in the order they were posted, and one loop
// wake-up handles all that are waiting.
#include <QObject>
#include <cstdint>
#include <functional>

namespace Platform {

using HWnd = int32_t;

// hWnd, message, wParam, lParam -> result.
using WindowProc = std::function<intptr_t(HWnd, uint32_t, intptr_t, intptr_t)>;

// First private message number (WM_USER).
constexpr uint32_t WM_USER = 0x400;

class ThreadMessages;

class MessageWindow : public QObject {
    Q_OBJECT
public:
    explicit MessageWindow(QObject* parent = nullptr);
    ~MessageWindow() override;
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWnd Handle() const { return handle_; }
    // Replaces the window procedure (subclassing) and returns the previous one.
    WindowProc SetWindowProc(WindowProc proc);
    // Calls the current window procedure at once (SendMessage / CallWindowProc).
    intptr_t Send(uint32_t message, intptr_t wParam, intptr_t lParam);

private:
    friend bool PostMessage(HWnd, uint32_t, intptr_t, intptr_t);
    HWnd handle_;
    WindowProc proc_;
    ThreadMessages* queue_; // of the thread the window was made in, which it never outlives
};

// The procedure a window starts with: ignores every message and answers 0.
intptr_t DefaultWindowProc(HWnd, uint32_t, intptr_t, intptr_t);

// Queues a message for the window; false when no window has that handle.
bool PostMessage(HWnd window, uint32_t message, intptr_t wParam, intptr_t lParam);
// Calls the window's procedure now; must run on the window's thread. 0 for an unknown handle.
intptr_t SendMessage(HWnd window, uint32_t message, intptr_t wParam, intptr_t lParam);
bool IsWindow(HWnd window);

} // namespace Platform
