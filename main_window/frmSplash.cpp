#include "main_window/frmSplash.h"

#include "main_window/AppInfo.h"
#include "platform/Files.h"
#include "platform/Text1252.h"
#include "platform/VB.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QPainter>
#include <QPixmap>
#include <QWindow>
#include <memory>

namespace MainWindow {

namespace {

std::unique_ptr<frmSplash>& Instance() {
    static std::unique_ptr<frmSplash> form;
    return form;
}

// The maker's logo: the company's initial in a ring.
QPixmap MakerLogo() {
    QPixmap pixmap(96, 96);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 64, 128), 6));
    painter.drawEllipse(8, 8, 80, 80);
    QFont font = painter.font();
    font.setPixelSize(48);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, "O");
    return pixmap;
}

// Shows a progress text while start-up still runs. Until the splash is on screen the event
// loop runs once to show it; after that only posted events run and the splash repaints, so a
// command arriving on a socket or serial port waits for the main loop (the split window it
// needs is not loaded yet).
void PaintNow(QWidget& form) {
    const QWindow* window = form.windowHandle();
    if (!window || !window->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return;
    }
    QCoreApplication::sendPostedEvents();
    form.repaint();
}

} // namespace

std::string VersionText(int16_t major, int16_t minor, int16_t revision) {
    return "Version " + std::to_string(major) + "." + std::to_string(minor) + "." +
           std::to_string(revision);
}

std::string PlatformText(const GeneralFunctions::OSVERSIONINFO& version) {
    std::string text = "Linux v" + std::to_string(version.dwMajorVersion) + "." +
                       std::to_string(version.dwMinorVersion);
    std::string build = version.szCSDVersion.substr(0, version.szCSDVersion.find('\0'));
    if (!build.empty()) text += " (" + build.substr(0, build.find(',')) + ")";
    return text;
}

frmSplash::frmSplash(QWidget* parent) : QDialog(parent) {
    setObjectName("frmSplash");
    setWindowTitle(kProductName);
    setWindowFlag(Qt::FramelessWindowHint);
    auto* outer = new QGridLayout(this);
    outer->addWidget(&fraMainFrame);
    fraMainFrame.setFrameShape(QFrame::Box);
    fraMainFrame.setLineWidth(2);
    auto* grid = new QGridLayout(&fraMainFrame);
    grid->setContentsMargins(16, 16, 16, 16);
    auto* logos = new QGridLayout(&pnlLogo);
    logos->addWidget(&imgMakerLogo, 0, 0);
    logos->addWidget(&imgLogo, 0, 0);
    imgMakerLogo.setPixmap(MakerLogo());
    imgLogo.hide();
    grid->addWidget(&pnlLogo, 0, 0, 4, 1, Qt::AlignTop);
    QFont big = lblProductName.font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    lblProductName.setFont(big);
    grid->addWidget(&lblCompanyProduct, 0, 1);
    grid->addWidget(&lblProductName, 1, 1);
    grid->addWidget(&lblVersion, 2, 1, Qt::AlignRight);
    grid->addWidget(&lblPlatform, 3, 1, Qt::AlignRight);
    grid->addWidget(&lblWarning, 4, 0, 1, 2);
    grid->addWidget(&lblCopyright, 5, 0, 1, 2);
    grid->addWidget(&lblCurrentAction, 6, 0, 1, 2);
    grid->addWidget(&cmdOK, 7, 1, Qt::AlignRight);
    lblWarning.setWordWrap(true);
    cmdOK.hide();
    connect(&cmdOK, &QPushButton::clicked, this, &frmSplash::cmdOK_Click);
    Form_Load();
}

void frmSplash::Form_Load() {
    lblVersion.setText(
        Platform::FromWindows1252(VersionText(kVersionMajor, kVersionMinor, kVersionRevision)));
    lblProductName.setText(kProductName);
    lblCompanyProduct.setText(kCompanyName);
    lblCopyright.setText(kCopyright);
    GeneralFunctions::LoadOSVersion();
    lblPlatform.setText(
        Platform::FromWindows1252(PlatformText(GeneralFunctions::State().OSVersion)));
    std::string logo =
        Platform::ResolveExisting(Platform::JoinPath(Platform::AppFolder(), "LOGO.BMP"));
    QPixmap picture;
    if (GeneralFunctions::SafeFileLen(logo) > 0 && picture.load(QString::fromLocal8Bit(logo))) {
        imgMakerLogo.hide();
        imgLogo.setPixmap(picture);
        imgLogo.show();
    }
}

void frmSplash::SetFloating(bool floating) {
    floating_ = floating;
    setWindowFlag(Qt::WindowStaysOnTopHint, floating);
}

void frmSplash::SetCurrentAction(const std::string& text) {
    lblCurrentAction.setText(Platform::FromWindows1252(text));
    PaintNow(*this);
}

void frmSplash::cmdOK_Click() {
    cmdOK.hide();
    UnloadSplash();
}

frmSplash& Splash() {
    if (!Instance()) Instance() = std::make_unique<frmSplash>();
    return *Instance();
}

frmSplash* SplashIfLoaded() {
    return Instance().get();
}

void UnloadSplash() {
    // The OK button's own click may be on the stack: delete the window from the event loop.
    if (frmSplash* form = Instance().release()) {
        form->hide();
        form->deleteLater();
    }
}

void ShowProgress(const std::string& text) {
    if (frmSplash* form = SplashIfLoaded()) form->SetCurrentAction(text);
}

void ShowAbout(QWidget* owner) {
    frmSplash& form = Splash();
    form.cmdOK.show();
    form.adjustSize();
    if (owner) form.move(owner->geometry().center() - form.rect().center());
    form.setWindowModality(Qt::ApplicationModal);
    form.show();
    form.raise();
}

} // namespace MainWindow
