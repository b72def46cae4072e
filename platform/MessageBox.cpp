#include "platform/MessageBox.h"

#include "platform/Text1252.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <cstdlib>
#include <map>
#include <utility>

namespace Platform {
namespace {

struct BoxService {
    MsgBoxHook hook;
    MsgBoxObserver observer;
    std::vector<ShownBox> shown;
    bool showWhenHeadless = false;
    int blockingScopes = 0;
    // The OK-only boxes on screen, by title and text.
    std::map<std::pair<std::string, std::string>, QPointer<QMessageBox>> open;
};

BoxService& Service() {
    static BoxService service;
    return service;
}

// The parts of a box's style: its buttons and its icon.
constexpr int kButtonsMask = 0x07;
constexpr int kIconMask = 0x70;

std::vector<int> ButtonsOf(int buttons) {
    switch (buttons & kButtonsMask) {
    case vbOKCancel:
        return {vbOK, vbCancel};
    case vbAbortRetryIgnore:
        return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel:
        return {vbYes, vbNo, vbCancel};
    case vbYesNo:
        return {vbYes, vbNo};
    case vbRetryCancel:
        return {vbRetry, vbCancel};
    default:
        return {vbOK};
    }
}

QMessageBox::StandardButton QtButton(int answer) {
    switch (answer) {
    case vbOK:
        return QMessageBox::Ok;
    case vbCancel:
        return QMessageBox::Cancel;
    case vbAbort:
        return QMessageBox::Abort;
    case vbRetry:
        return QMessageBox::Retry;
    case vbIgnore:
        return QMessageBox::Ignore;
    case vbYes:
        return QMessageBox::Yes;
    default:
        return QMessageBox::No;
    }
}

QMessageBox::Icon QtIcon(int buttons) {
    switch (buttons & kIconMask) {
    case vbCritical:
        return QMessageBox::Critical;
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

void Fill(QMessageBox& dialog, int buttons) {
    int defaultAnswer = DefaultAnswer(buttons);
    for (int answer : ButtonsOf(buttons)) {
        QPushButton* button = dialog.addButton(QtButton(answer));
        if (answer == defaultAnswer) dialog.setDefaultButton(button);
    }
}

int ShowModal(const ShownBox& box) {
    QMessageBox dialog(QtIcon(box.buttons), FromWindows1252(box.title),
                       FromWindows1252(box.prompt));
    Fill(dialog, box.buttons);
    dialog.exec();
    QAbstractButton* clicked = dialog.clickedButton();
    for (int answer : ButtonsOf(box.buttons)) {
        if (clicked && dialog.standardButton(clicked) == QtButton(answer)) return answer;
    }
    // Closed with Escape: the cancel-like answer, else the default.
    for (int answer : ButtonsOf(box.buttons)) {
        if (answer == vbCancel) return vbCancel;
    }
    return DefaultAnswer(box.buttons);
}

// A question must be answered before the caller goes on, and so must a box raised before the
// event loop runs (start-up), after it ends, or inside a BlockingBoxes scope.
bool Blocks(int buttons) {
    return (buttons & kButtonsMask) != vbOKOnly || Service().blockingScopes > 0 ||
           QThread::currentThread()->loopLevel() == 0;
}

// Shows an OK-only box and returns at once; the box deletes itself when OK is pressed.
int ShowOpen(const ShownBox& box) {
    auto& open = Service().open;
    std::erase_if(open, [](const auto& entry) { return entry.second.isNull(); });
    QPointer<QMessageBox>& shown = open[{box.title, box.prompt}];
    if (shown) return vbOK;
    auto* dialog = new QMessageBox(QtIcon(box.buttons), FromWindows1252(box.title),
                                   FromWindows1252(box.prompt));
    Fill(*dialog, box.buttons);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Over a modal window only a modal box can be pressed; shown, not run, it still returns.
    dialog->setWindowModality(QApplication::activeModalWidget() ? Qt::ApplicationModal
                                                                : Qt::NonModal);
    dialog->show();
    shown = dialog;
    return vbOK;
}

} // namespace

int DefaultAnswer(int buttons) {
    std::vector<int> set = ButtonsOf(buttons);
    size_t index = static_cast<size_t>((buttons >> 8) & 3);
    return index < set.size() ? set[index] : set.front();
}

bool MsgBoxIsHeadless() {
    if (std::getenv("VNTZEL_HEADLESS")) return true;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return true;
    return QGuiApplication::platformName() == "offscreen" ||
           QGuiApplication::platformName() == "minimal";
}

int MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    BoxService& service = Service();
    ShownBox box{prompt, title, buttons, 0};
    if (service.hook) {
        box.answer = service.hook(box);
    } else if (MsgBoxIsHeadless() && !service.showWhenHeadless) {
        box.answer = DefaultAnswer(buttons);
    } else {
        box.answer = Blocks(buttons) ? ShowModal(box) : ShowOpen(box);
    }
    service.shown.push_back(box);
    if (service.observer) service.observer(box);
    return box.answer;
}

BlockingBoxes::BlockingBoxes() {
    ++Service().blockingScopes;
}
BlockingBoxes::~BlockingBoxes() {
    --Service().blockingScopes;
}

void ShowBoxesWhenHeadless(bool on) {
    Service().showWhenHeadless = on;
}

void SetMsgBoxHook(MsgBoxHook hook) {
    Service().hook = std::move(hook);
}
void SetMsgBoxObserver(MsgBoxObserver observer) {
    Service().observer = std::move(observer);
}
const std::vector<ShownBox>& ShownBoxes() {
    return Service().shown;
}
void ClearShownBoxes() {
    Service().shown.clear();
}

} // namespace Platform
