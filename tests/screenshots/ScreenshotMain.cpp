// Shows every registered window in turn and saves a picture of the screen area it covers
// (with any pop-up it opened), one PNG per window.
#include "Screenshots.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <cstdio>

namespace Screenshots {

std::vector<Shot>& Registry() {
    static std::vector<Shot> shots;
    return shots;
}

} // namespace Screenshots

namespace {

void Settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The window's frame with every visible top-level window over it (menus, pop-ups).
QRect CoveredArea(QWidget* window) {
    QRect area = window->frameGeometry();
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != window && top->isVisible() && top->isWindow())
            area = area.united(top->frameGeometry());
    return area;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("VNTZEL_HEADLESS", "1");
    QApplication app(argc, argv);
    QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir().mkpath(outDir);
    int saved = 0;
    for (const Screenshots::Shot& shot : Screenshots::Registry()) {
        QString name = QString::fromStdString(shot.name);
        if (!only.isEmpty() && !name.contains(only)) continue;
        QWidget* window = shot.make();
        if (!window) {
            std::fprintf(stderr, "screenshots: %s made no window\n", shot.name.c_str());
            continue;
        }
        window->show();
        window->raise();
        Settle(300);
        if (shot.prepare) {
            shot.prepare(window);
            Settle(300);
        }
        QRect area = CoveredArea(window);
        QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(),
                                                                       area.width(), area.height());
        QString path = outDir + "/" + name + ".png";
        if (picture.save(path)) {
            std::printf("screenshot %s\n", path.toLocal8Bit().constData());
            ++saved;
        } else {
            std::fprintf(stderr, "screenshots: could not save %s\n",
                         path.toLocal8Bit().constData());
        }
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top != window && top->isVisible()) top->hide();
        window->hide();
        if (shot.dispose)
            shot.dispose(window);
        else
            delete window;
        Settle(50);
    }
    std::printf("screenshots saved %d\n", saved);
    return saved > 0 ? 0 : 1;
}
