// The test-command counter and the serial buffer window's refresh and Force rules.
#include "support/TestSupport.h"

#include "breaks/BreaksState.h"
#include "core/SerialSettings.h"
#include "main_window/ProgramContext.h"
#include "main_window/SerialCommandPort.h"
#include "main_window/frmCommTest.h"
#include "main_window/frmSerialBuffer.h"
#include "platform/SerialPort.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

TEST(SerialDiagnostics, TestCountsAndTheBufferWindow) {
    ProgramContext context;
    ContextScope scope(context);
    TestSupport::ScratchDir dir;
    Breaks::Split(1)->LogDestinationDirectory = dir.Path();
    SerialSettings::Settings().StartCode = "\x1B";
    SerialSettings::Settings().EndCode = "\r";
    SerialSettings::Settings().SerialCommandTable = "\x1BTE\r=TE ";
    Platform::SerialPort control, bounce;
    MainWindow::SerialCommandPort port(control, bounce);
    port.Doors.testCommand = MainWindow::ShowCommTestAndCount;

    for (int i = 0; i < 3; ++i)
        port.PerformSerialCommand("TE");
    ASSERT_NE(MainWindow::CommTestIfLoaded(), nullptr);
    EXPECT_EQ(MainWindow::CommTestIfLoaded()->Count(), 3);
    MainWindow::CommTestIfLoaded()->close(); // OK
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    port.PerformSerialCommand("TE");
    EXPECT_EQ(MainWindow::CommTestIfLoaded()->Count(), 1);
    MainWindow::CommTestIfLoaded()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    MainWindow::frmSerialBuffer window(port);
    MainWindow::SerialBufferEngine& engine = window.Engine();
    auto* box = window.findChild<QPlainTextEdit*>("txtSerialBuffer");
    port.SerialInputBuffer = "\x1BT";
    engine.tmrBuffer_Timer();
    EXPECT_EQ(box->toPlainText().toStdString(), "<ESC>T");
    // The engineer's edit stays until the buffer changes.
    box->setPlainText("<ESC>TE<CR><ESC>X");
    engine.tmrBuffer_Timer();
    EXPECT_EQ(engine.Text(), "\x1BTE\r\x1BX");
    // Force frames the edited text; the window then shows what is left.
    engine.cmdForceProcess_Click();
    EXPECT_EQ(port.SerialInputBuffer, "\x1BX");
    engine.tmrBuffer_Timer();
    EXPECT_EQ(box->toPlainText().toStdString(), "<ESC>X");
    EXPECT_EQ(MainWindow::CommTestIfLoaded()->Count(), 1);
    MainWindow::CommTestIfLoaded()->close();
}
