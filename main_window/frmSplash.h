#pragma once
// The splash window of start-up, which is also the About box.
#include "core/GeneralFunctions.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <string>

namespace MainWindow {

class frmSplash : public QDialog {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    bool Floating() const { return floating_; }
    void SetFloating(bool floating);
    // The current step of start-up; painted at once.
    void SetCurrentAction(const std::string& text);
    void cmdOK_Click();

    QFrame fraMainFrame;
    QLabel lblProductName{"ProductName"}, lblCompanyProduct{"Company Name"}, lblVersion{"Version"},
        lblPlatform{"Platform"}, lblCopyright, lblWarning, lblCurrentAction;
    QFrame pnlLogo;
    QLabel imgMakerLogo, imgLogo;
    QPushButton cmdOK{"OK"};

private:
    void Form_Load();
    bool floating_ = false;
};

// "Version 1.0.0".
std::string VersionText(int16_t major, int16_t minor, int16_t revision);
// The platform label of the running system: the kernel's name and version, then its build text
// up to the first comma in brackets when there is one.
std::string PlatformText(const GeneralFunctions::OSVERSIONINFO& version);

// The splash window of start-up, created on first use, and its removal.
frmSplash& Splash();
frmSplash* SplashIfLoaded();
void UnloadSplash();
// Sets the splash window's current action when it is open.
void ShowProgress(const std::string& text);
// The About box: the splash window with its OK button, modal, without a nested event loop.
void ShowAbout(QWidget* owner);

} // namespace MainWindow
