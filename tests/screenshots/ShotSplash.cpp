// The splash window during start-up and the same window as the About box.
#include "Screenshots.h"

#include "main_window/frmSplash.h"

namespace {

Screenshots::Register splash({"Splash", [] {
                                  auto* form = new MainWindow::frmSplash;
                                  form->SetCurrentAction("Opening Audiowall...");
                                  return static_cast<QWidget*>(form);
                              }});

Screenshots::Register about({"AboutBox", [] {
                                 auto* form = new MainWindow::frmSplash;
                                 form->cmdOK.show();
                                 return static_cast<QWidget*>(form);
                             }});

} // namespace
