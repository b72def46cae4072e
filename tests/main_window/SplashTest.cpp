// The splash window and About box: its texts, the site logo file and the OK button.
#include "support/TestSupport.h"

#include "main_window/frmSplash.h"

#include <QImage>
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
