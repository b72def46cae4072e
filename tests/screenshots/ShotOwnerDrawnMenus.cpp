// A window whose menu items were registered with its grabber: icons, a greyed icon, a check
// mark, a separator and the selected item, with the menu open.
#include "Screenshots.h"

#include "ui_controls/HWndGrab.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>

namespace {

QImage Icon(QColor colour) {
    QImage icon(16, 16, QImage::Format_RGB32);
    icon.fill(Qt::white);
    QPainter p(&icon);
    p.setBrush(colour);
    p.setPen(Qt::black);
    p.drawEllipse(2, 2, 11, 11);
    return icon;
}

QMenu* menu = nullptr;

Screenshots::Register
    shot({"ControlOwnerDrawnMenus",
          [] {
              auto* window = new QMainWindow;
              window->setWindowTitle("HWndGrab menus");
              window->resize(320, 220);
              menu = window->menuBar()->addMenu("Split");
              QAction* play = menu->addAction("Play break");
              QAction* dump = menu->addAction("Dump break");
              QAction* check = menu->addAction("Auto play");
              QAction* sep = menu->addSeparator();
              QAction* logs = menu->addAction("View logs");
              dump->setEnabled(false);
              check->setCheckable(true);
              check->setChecked(true);
              auto* grab = new obControls::HWndGrab(window);
              grab->InitProperties();
              grab->AddPopup(window->menuBar(), menu, play, "Play break", Icon(Qt::green));
              grab->AddPopup(window->menuBar(), menu, dump, "Dump break", Icon(Qt::red));
              grab->AddPopup(window->menuBar(), menu, check, "Auto play", QImage());
              grab->AddPopup(window->menuBar(), menu, sep, "", QImage());
              grab->AddPopup(window->menuBar(), menu, logs, "View logs", Icon(Qt::blue));
              grab->FinaliseMenus();
              return static_cast<QWidget*>(window);
          },
          [](QWidget* window) {
              menu->popup(window->mapToGlobal(QPoint(10, 30)));
              menu->setActiveAction(menu->actions()[4]);
          },
          {}});

} // namespace
