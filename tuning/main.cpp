// FlennTweak: edits the streaming engine's tuning values.
#include <QApplication>
#include <QDialog>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle("FlennTweak");
    dialog.show();
    return app.exec();
}
