#pragma once
// One cart player without a display: it owns the player's FlennPlayer control and hands each
// of the control's events to the matching player procedure, inside the program context the
// player was made in. A player window shows it and forwards its buttons.
#include "player_controls/FlennPlayer.h"

#include <QObject>
#include <cstdint>

struct ProgramContext;

namespace CartPlayers {

class CartPlayer : public QObject {
    Q_OBJECT
public:
    explicit CartPlayer(int16_t playerNumber, QObject* parent = nullptr);
    ~CartPlayer() override;

    int16_t PlayerNumber() const { return playerNumber_; }
    FlennPlayer& Control() { return control_; }

private:
    template <typename Procedure> void Forward(Procedure procedure);

    int16_t playerNumber_;
    ProgramContext* context_;
    FlennPlayer control_;
};

// Makes player n (1..4) once: its record's Player reference is the new control, given the
// record's SoundCardNumber as its device. A player already made is returned as it is, until
// ReleaseCartPlayers or the audio's shut-down releases it.
CartPlayer& CreateCartPlayer(int16_t playerNumber);
// The player behind a record, nullptr when none was made.
CartPlayer* FindCartPlayer(int16_t playerNumber);
// Releases every player that was made.
void ReleaseCartPlayers();

} // namespace CartPlayers
