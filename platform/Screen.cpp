#include "platform/Screen.h"

#include "platform/MessageBox.h"
#include "platform/Text1252.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>

namespace Platform {
namespace {

struct ScreenState {
    int pointer = vbDefault;
    FolderChooserHook chooser;
};

ScreenState& State() {
    static ScreenState state;
    return state;
}

} // namespace

int ScreenMousePointer() {
    return State().pointer;
}

void SetScreenMousePointer(int shape) {
    ScreenState& state = State();
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        if (state.pointer != vbDefault) QApplication::restoreOverrideCursor();
        if (shape == vbHourglass)
            QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else if (shape != vbDefault)
            QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    }
    state.pointer = shape;
}

void SetFolderChooserHook(FolderChooserHook hook) {
    State().chooser = std::move(hook);
}

std::string ChooseFolder(const std::string& title, const std::string& startFolder) {
    if (State().chooser) return State().chooser(title, startFolder);
    if (MsgBoxIsHeadless()) return "";
    QString chosen = QFileDialog::getExistingDirectory(nullptr, FromWindows1252(title),
                                                       FromWindows1252(startFolder));
    return ToWindows1252(chosen);
}

} // namespace Platform
