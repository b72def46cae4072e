#include "carts/PlayerImages.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace CartPlayers {

QIcon TransportIcon(bool pause) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 96, 0));
    if (pause) {
        painter.drawRect(8, 6, 6, 20);
        painter.drawRect(18, 6, 6, 20);
    } else {
        painter.drawPolygon(QPolygon({QPoint(9, 5), QPoint(27, 16), QPoint(9, 27)}));
    }
    return QIcon(pixmap);
}

QIcon PlayerImage(const std::string& key) {
    if (key == "enPlay") return TransportIcon(false);
    if (key == "enPause") return TransportIcon(true);
    return QIcon();
}

} // namespace CartPlayers
