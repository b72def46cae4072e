// An OK box raised by an engine while the program runs: shown without blocking.
#include "Screenshots.h"

#include "platform/MessageBox.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

namespace {

Screenshots::Register box({"MessageBox", [] {
                               Platform::ShowBoxesWhenHeadless(true);
                               QEventLoop loop;
                               QTimer::singleShot(0, [&loop] {
                                   Platform::MsgBox("There was a problem reading the Advantech "
                                                    "Card, and the error message was:\n\nThe "
                                                    "device is not responding",
                                                    Platform::vbExclamation, "VNTZEL");
                                   loop.quit();
                               });
                               loop.exec();
                               Platform::ShowBoxesWhenHeadless(false);
                               QWidget* shown = nullptr;
                               for (QWidget* window : QApplication::topLevelWidgets())
                                   if (qobject_cast<QMessageBox*>(window) && window->isVisible())
                                       shown = window;
                               return shown;
                           }});

} // namespace
