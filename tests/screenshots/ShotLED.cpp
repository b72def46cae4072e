// Four LED digits reading "12.5" and a segment pattern, lit red and green on dark grey.
#include "Screenshots.h"

#include "ui_controls/LED.h"

#include <QHBoxLayout>

namespace {

Screenshots::Register shot({"ControlLED",
                            [] {
                                auto* window = new QWidget;
                                window->setWindowTitle("LED");
                                auto* row = new QHBoxLayout(window);
                                const int values[] = {1, 2, 5, 0x49};
                                for (int i = 0; i < 4; ++i) {
                                    auto* led = new obControls::LED(window);
                                    led->InitProperties();
                                    led->setFixedSize(60, 90);
                                    led->SetLEDColorOff(0x303030);
                                    led->SetBackStyle(obControls::Opaque);
                                    if (i == 3) {
                                        led->SetValueIsMask(true);
                                        led->SetLEDColorOn(0x00FF00);
                                        led->SetShowBorder(true);
                                    }
                                    led->SetValue(static_cast<int16_t>(values[i]));
                                    led->SetShowDecimal(i == 1);
                                    row->addWidget(led);
                                }
                                return window;
                            },
                            {},
                            {}});

} // namespace
