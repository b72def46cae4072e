#include "platform/WindowMessages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <deque>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace Platform {

struct PostedMessage {
    HWnd window;
    uint32_t message;
    intptr_t wParam;
    intptr_t lParam;
};

// The messages waiting for the windows of one thread. A Qt event is posted only when none is
// already on its way, so a burst of messages costs the loop one wake-up.
class ThreadMessages : public QObject {
public:
    // The queue of the calling thread, made with the thread's first window and ended with it.
    static ThreadMessages& OfThisThread() {
        static thread_local ThreadMessages queue;
        return queue;
    }
    void Add(const PostedMessage& posted) {
        {
            std::lock_guard guard(lock_);
            waiting_.push_back(posted);
            // An application that ended took the event with it.
            QCoreApplication* app = QCoreApplication::instance();
            if (app && postedIn_ == app) return;
            postedIn_ = app;
        }
        QCoreApplication::postEvent(this, new QEvent(Type()));
    }

protected:
    // Handles what was waiting when the event came. Messages are taken one at a time, so a
    // handler that runs a nested loop leaves the rest to be handled in order.
    void customEvent(QEvent* event) override {
        if (event->type() != Type()) return;
        size_t count = 0;
        {
            std::lock_guard guard(lock_);
            postedIn_ = nullptr; // what is posted from here on brings its own event
            count = waiting_.size();
        }
        for (; count > 0; --count) {
            PostedMessage next{};
            {
                std::lock_guard guard(lock_);
                if (waiting_.empty()) return;
                next = waiting_.front();
                waiting_.pop_front();
            }
            SendMessage(next.window, next.message, next.wParam, next.lParam);
        }
    }

private:
    static QEvent::Type Type() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    std::mutex lock_;
    std::deque<PostedMessage> waiting_;
    QPointer<QCoreApplication> postedIn_; // the application an event is on its way in
};

namespace {

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
    queue_ = &ThreadMessages::OfThisThread();
}

MessageWindow::~MessageWindow() {
    WindowTable& table = Table();
    std::lock_guard guard(table.lock);
    table.windows.erase(handle_); // its waiting messages are dropped when their turn comes
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

bool PostMessage(HWnd window, uint32_t message, intptr_t wParam, intptr_t lParam) {
    WindowTable& table = Table();
    std::shared_lock guard(table.lock);
    auto found = table.windows.find(window);
    if (found == table.windows.end()) return false;
    found->second->queue_->Add({window, message, wParam, lParam});
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
