// The splash window and About box: its texts, the site logo file and the OK button.
#include "support/TestSupport.h"
#include "support/WaveTestSupport.h"

#include "main_window/frmSplash.h"

#include <QHostAddress>
#include <QImage>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdio>
#include <gtest/gtest.h>

using namespace MainWindow;

TEST(Splash, TextsLogoFileAndTheAboutBoxOKButton) {
    TestSupport::ScratchDir app;
    qputenv("VNTZEL_APPDIR", QByteArray::fromStdString(app.Path()));
    EXPECT_EQ(VersionText(1, 2, 3), "Version 1.2.3");
    GeneralFunctions::OSVERSIONINFO version;
    version.dwMajorVersion = 6;
    version.dwMinorVersion = 1;
    version.szCSDVersion = std::string("#1 SMP, build 7\0junk", 20);
    EXPECT_EQ(PlatformText(version), "Linux v6.1 (#1 SMP)");
    version.szCSDVersion = std::string("\0junk", 5);
    EXPECT_EQ(PlatformText(version), "Linux v6.1");

    // An empty logo file keeps the maker's logo; a picture replaces it.
    TestSupport::WriteBytes(app.File("LOGO.BMP"), "");
    {
        frmSplash form;
        EXPECT_FALSE(form.imgMakerLogo.isHidden());
        EXPECT_TRUE(form.imgLogo.isHidden());
        EXPECT_EQ(form.lblProductName.text(), "Vantor ZEL");
        EXPECT_TRUE(form.cmdOK.isHidden());
    }
    // The picture under a name in other letter case is found too.
    std::remove(app.File("LOGO.BMP").c_str());
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::red);
    ASSERT_TRUE(logo.save(QString::fromStdString(app.File("logo.bmp")), "BMP"));
    {
        frmSplash form;
        EXPECT_TRUE(form.imgMakerLogo.isHidden());
        EXPECT_FALSE(form.imgLogo.isHidden());
        EXPECT_EQ(form.imgLogo.pixmap().width(), 40);
    }

    // OK closes the About box; opening it again shows the button again.
    ShowAbout(nullptr);
    ASSERT_NE(SplashIfLoaded(), nullptr);
    EXPECT_FALSE(SplashIfLoaded()->cmdOK.isHidden());
    SplashIfLoaded()->cmdOK.click();
    EXPECT_EQ(SplashIfLoaded(), nullptr);
    ShowAbout(nullptr);
    EXPECT_FALSE(SplashIfLoaded()->cmdOK.isHidden());
    UnloadSplash();
    qunsetenv("VNTZEL_APPDIR");
}

// Once the splash is on screen a progress text paints it and runs posted events, but a peer
// already knocking on a door is served only by the main loop.
TEST(Splash, ProgressLeavesSocketsForTheMainLoop) {
    Splash().show();
    ShowProgress("");
    QTcpServer door;
    ASSERT_TRUE(door.listen(QHostAddress::LocalHost));
    bool accepted = false, posted = false;
    QObject::connect(&door, &QTcpServer::newConnection, [&] { accepted = true; });
    QTcpSocket peer;
    peer.connectToHost(QHostAddress::LocalHost, door.serverPort());
    ASSERT_TRUE(peer.waitForConnected(5000));
    QMetaObject::invokeMethod(
        &door, [&] { posted = true; }, Qt::QueuedConnection);
    ShowProgress("Starting Windows Sockets...");
    EXPECT_TRUE(posted);
    EXPECT_FALSE(accepted);
    EXPECT_EQ(SplashIfLoaded()->lblCurrentAction.text(), "Starting Windows Sockets...");
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return accepted; }, 5000));
    UnloadSplash();
}
