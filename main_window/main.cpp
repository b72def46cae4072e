// VNTZEL: plays the local advert breaks of one transmitter split.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("VNTZEL");
    window.resize(800, 600);
    window.show();
    return app.exec();
}
