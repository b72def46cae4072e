// The busy panel with its title and the running bar.
#include "Screenshots.h"

#include "ui_controls/obStatus.h"

namespace {

Screenshots::Register shot({"ControlStatus",
                            [] {
                                auto* status = new obControls::obStatus;
                                status->setWindowTitle("obStatus");
                                status->SetCaption("Copying the new log...");
                                return static_cast<QWidget*>(status);
                            },
                            {},
                            {}});

} // namespace
