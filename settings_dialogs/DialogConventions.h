#pragma once
// What every settings dialog shares: the default box title, entry boxes that select their text
// on focus, take only digits or turn typed letters upper-case, boxes greyed while switched off,
// OK / Cancel / Apply, and the folder and file choosers (answerable by tests).
#include <QDialog>
#include <functional>
#include <string>

class QBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace SettingsDialogs {

// Title of every box without one of its own.
inline constexpr const char* kBoxTitle = "Vantor ZEL";

// A message box titled kBoxTitle; returns the answer.
int Box(const std::string& prompt, int buttons);

// The box selects its whole text whenever it gets the focus.
void SelectAllOnFocus(QLineEdit* box);
// Typed keys other than digits (and the period when allowed) are dropped; Backspace, Tab,
// Enter and Esc go through.
void DigitsOnly(QLineEdit* box, bool allowPeriod = false);
// Each typed character reaches the box in its upper-case form; pasted text is left alone.
void UpperCaseTyping(QLineEdit* box);
// Enables or disables a box, showing it in the window-background or button-face colour.
void SetBoxEnabled(QWidget* box, bool enabled);
// Qt text of 8-bit text, and back.
QString Shown(const std::string& text);
std::string Typed(const QString& text);

// The folder chosen in the folder chooser, "" when cancelled.
std::string ChooseFolder(QWidget* owner, const std::string& title, const std::string& start);
// Answers the file chooser instead of showing it (title, start file, filter -> chosen file).
using FileChooserHook =
    std::function<std::string(const std::string&, const std::string&, const std::string&)>;
void SetFileChooserHook(FileChooserHook hook);
// The file chosen in the file chooser, "" when cancelled. Headless runs answer "".
std::string ChooseFile(QWidget* owner, const std::string& title, const std::string& start,
                       const std::string& filter);
// The file chosen to write to, "" when cancelled: its folder must exist, an existing file is
// replaced only when the user agrees, and a name typed without an extension gets
// defaultSuffix. Answered by the same hook; headless runs answer "".
std::string ChooseSaveFile(QWidget* owner, const std::string& title, const std::string& start,
                           const std::string& filter, const std::string& defaultSuffix);

// A settings dialog: Enter is OK, Esc and the close box discard. ok() and apply() call the
// saver; OK closes only when it succeeds, Apply never closes.
class SettingsForm : public QDialog {
    Q_OBJECT
public:
    explicit SettingsForm(QWidget* parent = nullptr);
    // Wires the buttons (cancel and apply may be null); the OK button becomes the default.
    void WireButtons(QPushButton* ok, QPushButton* cancel, QPushButton* apply,
                     std::function<bool()> saver);
    // Puts OK and Cancel (and Apply) right-aligned at the end of the layout, wired as above.
    void AddButtonRow(QBoxLayout* into, std::function<bool()> saver, bool withApply = false);
    void ok();
    void apply();

private:
    std::function<bool()> saver_;
};

// Shows a form modally on the display; headless runs leave it unshown and write a trace line.
void ShowModal(QDialog& form);

} // namespace SettingsDialogs
