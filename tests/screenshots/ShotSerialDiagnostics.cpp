// The serial diagnostics windows: the test-command counter after three test commands, and
// the serial buffer holding a packet that has not ended yet.
#include "Screenshots.h"

#include "main_window/SerialCommandPort.h"
#include "main_window/frmCommTest.h"
#include "main_window/frmSerialBuffer.h"
#include "platform/SerialPort.h"

namespace {

struct BufferShot {
    Platform::SerialPort control, bounce;
    MainWindow::SerialCommandPort port{control, bounce};
};

Screenshots::Register commTest({"CommTest",
                                [] {
                                    auto* form = new MainWindow::frmCommTest();
                                    for (int i = 0; i < 3; ++i)
                                        form->IncrementCount();
                                    form->resize(260, 130);
                                    return static_cast<QWidget*>(form);
                                },
                                {},
                                {}});

Screenshots::Register
    serialBuffer({"SerialBuffer",
                  [] {
                      auto* shot = new BufferShot();
                      shot->port.SerialInputBuffer = "\x1B"
                                                     "GR12\r\x1B"
                                                     "BR";
                      auto* form = new MainWindow::frmSerialBuffer(shot->port);
                      form->setProperty("shot", QVariant::fromValue(static_cast<void*>(shot)));
                      form->Engine().tmrBuffer_Timer();
                      return static_cast<QWidget*>(form);
                  },
                  {},
                  [](QWidget* form) {
                      auto* shot = static_cast<BufferShot*>(form->property("shot").value<void*>());
                      delete form;
                      delete shot;
                  }});

} // namespace
