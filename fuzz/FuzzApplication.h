#pragma once
// The Qt application object a fuzz target's code needs, made once per process.
#include <QCoreApplication>

namespace FuzzSupport {

template <typename App = QCoreApplication> App& Application() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static App* app = new App(argc, argv);
    return *app;
}

} // namespace FuzzSupport
