#include "settings_dialogs/DialogConventions.h"

#include "core/GeneralFunctions.h"
#include "platform/MessageBox.h"
#include "platform/Text1252.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

namespace SettingsDialogs {
namespace {

FileChooserHook& FileHook() {
    static FileChooserHook hook;
    return hook;
}

bool PassesThrough(int key) {
    return key == Qt::Key_Backspace || key == Qt::Key_Tab || key == Qt::Key_Backtab ||
           key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

// A key filter on one box; the rule decides what a typed key press does.
class KeyRule : public QObject {
public:
    using Rule = std::function<bool(QLineEdit*, QKeyEvent*)>; // true: consumed
    KeyRule(QLineEdit* box, Rule rule) : QObject(box), box_(box), rule_(std::move(rule)) {
        box->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != box_ || event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (PassesThrough(key->key()) || key->text().isEmpty()) return false;
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
        return rule_(box_, key);
    }

private:
    QLineEdit* box_;
    Rule rule_;
};

class FocusSelect : public QObject {
public:
    explicit FocusSelect(QLineEdit* box) : QObject(box), box_(box) {
        box->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == box_ && event->type() == QEvent::FocusIn) {
            // After the mouse press that gave the focus has placed the cursor.
            QTimer::singleShot(0, box_, [box = box_] { GeneralFunctions::SelectAllText(box); });
            GeneralFunctions::SelectAllText(box_);
        }
        return false;
    }

private:
    QLineEdit* box_;
};

} // namespace

int Box(const std::string& prompt, int buttons) {
    return Platform::MsgBox(prompt, buttons, kBoxTitle);
}

void SelectAllOnFocus(QLineEdit* box) {
    new FocusSelect(box);
}

void DigitsOnly(QLineEdit* box, bool allowPeriod) {
    new KeyRule(box, [allowPeriod](QLineEdit*, QKeyEvent* key) {
        for (QChar c : key->text())
            if (!c.isDigit() && !(allowPeriod && c == '.')) return true;
        return false;
    });
}

void UpperCaseTyping(QLineEdit* box) {
    new KeyRule(box, [](QLineEdit* target, QKeyEvent* key) {
        QString upper = key->text().toUpper();
        if (upper == key->text()) return false;
        target->insert(upper);
        return true;
    });
}

void SetBoxEnabled(QWidget* box, bool enabled) {
    box->setEnabled(enabled);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, enabled ? box->style()->standardPalette().color(QPalette::Base)
                                             : palette.color(QPalette::Button));
    box->setPalette(palette);
}

QString Shown(const std::string& text) {
    return Platform::FromWindows1252(text);
}
std::string Typed(const QString& text) {
    return Platform::ToWindows1252(text);
}

std::string ChooseFolder(QWidget* owner, const std::string& title, const std::string& start) {
    return GeneralFunctions::BrowseForFolder(owner ? static_cast<int64_t>(owner->winId()) : 0,
                                             title, start, true);
}

void SetFileChooserHook(FileChooserHook hook) {
    FileHook() = std::move(hook);
}

std::string ChooseFile(QWidget* owner, const std::string& title, const std::string& start,
                       const std::string& filter) {
    if (FileHook()) return FileHook()(title, start, filter);
    if (Platform::MsgBoxIsHeadless()) return "";
    return Typed(QFileDialog::getOpenFileName(owner, Shown(title), Shown(start), Shown(filter)));
}

std::string ChooseSaveFile(QWidget* owner, const std::string& title, const std::string& start,
                           const std::string& filter, const std::string& defaultSuffix) {
    if (FileHook()) return FileHook()(title, start, filter);
    if (Platform::MsgBoxIsHeadless()) return "";
    QFileDialog dialog(owner, Shown(title), Shown(start), Shown(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(Shown(defaultSuffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
    return Typed(dialog.selectedFiles().front());
}

SettingsForm::SettingsForm(QWidget* parent) : QDialog(parent) {
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
}

void SettingsForm::WireButtons(QPushButton* ok, QPushButton* cancel, QPushButton* apply,
                               std::function<bool()> saver) {
    saver_ = std::move(saver);
    ok->setDefault(true);
    ok->setAutoDefault(true);
    connect(ok, &QPushButton::clicked, this, &SettingsForm::ok);
    if (cancel) connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (apply) connect(apply, &QPushButton::clicked, this, &SettingsForm::apply);
}

void SettingsForm::AddButtonRow(QBoxLayout* into, std::function<bool()> saver, bool withApply) {
    auto* row = new QHBoxLayout;
    auto button = [this, row](const char* caption, const char* name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        row->addWidget(b);
        return b;
    };
    row->addStretch();
    QPushButton* ok = button("OK", "cmdOK");
    QPushButton* cancel = button("Cancel", "cmdCancel");
    QPushButton* apply = withApply ? button("Apply", "cmdApply") : nullptr;
    into->addLayout(row);
    WireButtons(ok, cancel, apply, std::move(saver));
}

void SettingsForm::ok() {
    if (saver_ && saver_()) accept();
}

void SettingsForm::apply() {
    if (saver_) saver_();
}

void ShowModal(QDialog& form) {
    if (Platform::MsgBoxIsHeadless()) {
        GeneralFunctions::WriteDebugLine(
            "Dialog not shown without a display: " + Typed(form.windowTitle()), -1);
        return;
    }
    form.exec();
}

} // namespace SettingsDialogs
