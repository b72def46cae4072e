#pragma once
// A fresh program context whose Windows folder is a scratch folder, scripted boxes and folder
// chooser, and key presses for the offscreen forms.
#include "support/TestSupport.h"

#include "main_window/ProgramContext.h"
#include "platform/Profile.h"
#include "platform/Screen.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <cstdlib>
#include <deque>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace DialogsTest {

class DialogsFixture : public ::testing::Test {
protected:
    DialogsFixture() : scope_(context_) {
        setenv("VNTZEL_WINDIR", dir_.Path().c_str(), 1);
        setenv("VNTZEL_APPDIR", dir_.Path().c_str(), 1);
        Platform::SetFolderChooserHook([this](const std::string& title, const std::string& start) {
            chooserTitles_.push_back(title + "|" + start);
            if (folders_.empty()) return std::string();
            std::string next = folders_.front();
            folders_.pop_front();
            return next;
        });
    }
    ~DialogsFixture() override {
        Platform::SetFolderChooserHook({});
        unsetenv("VNTZEL_WINDIR");
        unsetenv("VNTZEL_APPDIR");
    }
    std::string Ini(const std::string& section, const std::string& key,
                    const std::string& file = "VNTZEL.INI") {
        return Platform::GetPrivateProfileString(section, key, "<missing>", file);
    }
    std::vector<std::string> Prompts() const {
        std::vector<std::string> prompts;
        for (const auto& box : boxes_.Shown())
            prompts.push_back(box.prompt);
        return prompts;
    }

    TestSupport::ScratchDir dir_;
    ProgramContext context_;
    ContextScope scope_;
    TestSupport::ScriptedBoxes boxes_;
    std::deque<std::string> folders_;
    std::vector<std::string> chooserTitles_;
};

// A key typed into a widget (unhandled keys travel on to its window, as typed keys do).
inline void Press(QWidget* target, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
}

inline void Type(QWidget* target, const QString& text) {
    for (QChar c : text)
        Press(target, c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode(),
              QString(c));
}

} // namespace DialogsTest
