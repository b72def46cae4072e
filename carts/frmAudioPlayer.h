#pragma once
// The player window: shows one cart player's engine state and forwards mouse, key and drop
// input to it. Coordinates of the engine are twips, 15 to a pixel.
#include "carts/frmAudioPlayerEngine.h"

#include <QPointer>
#include <QWidget>

class FlennPlayer;
class QToolButton;

namespace CartPlayers {

class CartPlayer;

class frmAudioPlayer : public QWidget {
    Q_OBJECT
public:
    // The window of player n; it makes the player (its record's control) and shows it.
    explicit frmAudioPlayer(int16_t playerNumber, QWidget* parent = nullptr);
    ~frmAudioPlayer() override;

    AudioPlayerEngine& Engine() { return engine_; }
    FlennPlayer* Player() const;
    // The twips rectangle of a panel in pixels.
    static QRect PixelRect(const PanelState& panel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Mirror();
    void PaintPanel(class QPainter& painter, const PanelState& panel, int pointSize, bool bold,
                    bool flood, Qt::Alignment align) const;
    bool OnBar(const QPoint& at) const;

    AudioPlayerEngine engine_;
    QPointer<CartPlayer> player_;
    QWidget* picControls_;
    QToolButton* cmdPlayPause_;
    QToolButton* cmdCue_;
    QToolButton* cmdEject_;
};

// Platform colour (0x00BBGGRR, system colours by their top bit) to a display colour.
QColor DisplayColour(int32_t colour);

} // namespace CartPlayers
