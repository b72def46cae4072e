// The LED's property page showing an LED with its decimal point on.
#include "Screenshots.h"

#include "ui_controls/LED.h"
#include "ui_controls/LEDProperties.h"

namespace {

Screenshots::Register shot({"ControlLEDProperties",
                            [] {
                                auto* page = new obControls::LEDProperties;
                                page->setWindowTitle("LEDProperties");
                                auto* led = new obControls::LED(page);
                                led->hide();
                                led->SetValue(7);
                                led->SetShowDecimal(true);
                                page->SelectionChanged({led});
                                page->resize(260, 150);
                                return static_cast<QWidget*>(page);
                            },
                            {},
                            {}});

} // namespace
