// Test entry: a GUI application on the offscreen platform, so engines, timers and widgets
// run on a real event loop without a display.
#include "platform/MessageBox.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VNTZEL_HEADLESS", "1");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
