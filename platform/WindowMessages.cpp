#include "platform/WindowMessages.h"

#include <QCoreApplication>
#include <QEvent>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace Platform {
namespace {

const QEvent::Type kPostedMessage = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedMessage : public QEvent {
public:
    PostedMessage(uint32_t message, intptr_t wParam, intptr_t lParam)
        : QEvent(kPostedMessage), message(message), wParam(wParam), lParam(lParam) {}
    uint32_t message;
    intptr_t wParam;
    intptr_t lParam;
};

// Posting only reads the table: posts from several threads at once do not wait for each other.
struct WindowTable {
    std::shared_mutex lock;
    std::unordered_map<HWnd, MessageWindow*> windows;
    HWnd next = 0x1000; // handles are never reused within a process
};

WindowTable& Table() {
    static WindowTable table;
    return table;
}

} // namespace

intptr_t DefaultWindowProc(HWnd, uint32_t, intptr_t, intptr_t) {
    return 0;
}

MessageWindow::MessageWindow(QObject* parent) : QObject(parent), proc_(DefaultWindowProc) {
    WindowTable& table = Table();
    std::lock_guard guard(table.lock);
    handle_ = table.next;
    table.next += 4;
    table.windows[handle_] = this;
}

MessageWindow::~MessageWindow() {
    WindowTable& table = Table();
    std::lock_guard guard(table.lock);
    table.windows.erase(handle_);
}

WindowProc MessageWindow::SetWindowProc(WindowProc proc) {
    WindowProc old = std::move(proc_);
    proc_ = proc ? std::move(proc) : WindowProc(DefaultWindowProc);
    return old;
}

intptr_t MessageWindow::Send(uint32_t message, intptr_t wParam, intptr_t lParam) {
    WindowProc proc = proc_; // the procedure may replace itself while it runs
    return proc(handle_, message, wParam, lParam);
}

void MessageWindow::customEvent(QEvent* event) {
    if (event->type() != kPostedMessage) return;
    auto* posted = static_cast<PostedMessage*>(event);
    Send(posted->message, posted->wParam, posted->lParam);
}

bool PostMessage(HWnd window, uint32_t message, intptr_t wParam, intptr_t lParam) {
    WindowTable& table = Table();
    std::shared_lock guard(table.lock);
    auto found = table.windows.find(window);
    if (found == table.windows.end()) return false;
    QCoreApplication::postEvent(found->second, new PostedMessage(message, wParam, lParam));
    return true;
}

intptr_t SendMessage(HWnd window, uint32_t message, intptr_t wParam, intptr_t lParam) {
    MessageWindow* target = nullptr;
    {
        WindowTable& table = Table();
        std::shared_lock guard(table.lock);
        auto found = table.windows.find(window);
        if (found != table.windows.end()) target = found->second;
    }
    return target ? target->Send(message, wParam, lParam) : 0;
}

bool IsWindow(HWnd window) {
    WindowTable& table = Table();
    std::shared_lock guard(table.lock);
    return table.windows.count(window) > 0;
}

} // namespace Platform
