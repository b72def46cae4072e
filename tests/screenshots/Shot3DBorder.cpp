// A raised and a lowered 3-D border side by side.
#include "Screenshots.h"

#include "ui_controls/ax3DBorder.h"

#include <QHBoxLayout>

namespace {

Screenshots::Register shot({"Control3DBorder",
                            [] {
                                auto* window = new QWidget;
                                window->setWindowTitle("ax3DBorder");
                                auto* row = new QHBoxLayout(window);
                                auto* raised = new obControls::ax3DBorder(window);
                                auto* lowered = new obControls::ax3DBorder(window);
                                lowered->SetBorderStyle(obControls::Lowered);
                                lowered->SetBackColor(0xF0E0D0);
                                raised->setFixedSize(158, 75);
                                lowered->setFixedSize(158, 75);
                                row->addWidget(raised);
                                row->addWidget(lowered);
                                return window;
                            },
                            {},
                            {}});

} // namespace
