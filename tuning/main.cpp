// FlennTweak: edits the streaming engine's tuning values.
#include "tuning/frmFlennTweak.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName("FlennTweak");
    FlennTweak::frmFlennTweak window;
    window.show();
    window.Engine().Open();
    return app.exec();
}
