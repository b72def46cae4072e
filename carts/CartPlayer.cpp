#include "carts/CartPlayer.h"

#include "carts/Audio_Player_FN.h"
#include "carts/PlayerControl.h"
#include "main_window/ProgramContext.h"

namespace CartPlayers {
namespace {

// The control's volume-change events, once the control raises them.
template <typename P>
void ForwardVolumeEvents(P& control, CartPlayer& owner, int16_t n, ProgramContext* context) {
    if constexpr (requires {
                      &P::VolumeChangeStartNotify;
                      &P::VolumeChangeNotify;
                      &P::VolumeChangeEndNotify;
                  }) {
        const auto inContext = [context](auto procedure) {
            return [context, procedure](auto reference) {
                ContextScope scope(*context);
                procedure(static_cast<int32_t>(reference));
            };
        };
        QObject::connect(&control, &P::VolumeChangeStartNotify, &owner, inContext([n](int32_t r) {
            Audio_Player_FN::PlayerVolumeChangeStart(n, r);
        }));
        QObject::connect(&control, &P::VolumeChangeNotify, &owner,
                         inContext([n](int32_t r) { Audio_Player_FN::PlayerVolumeChange(n, r); }));
        QObject::connect(&control, &P::VolumeChangeEndNotify, &owner, inContext([n](int32_t r) {
            Audio_Player_FN::PlayerVolumeChangeEnd(n, r);
        }));
    } else {
        (void)control, (void)owner, (void)n, (void)context;
    }
}

} // namespace

template <typename Procedure> void CartPlayer::Forward(Procedure procedure) {
    ContextScope scope(*context_);
    procedure(playerNumber_);
}

CartPlayer::CartPlayer(int16_t playerNumber, QObject* parent)
    : QObject(parent), playerNumber_(playerNumber), context_(&CurrentContext()) {
    using namespace Audio_Player_FN;
    control_.InitProperties();
    const auto on = [this](auto signal, auto procedure) {
        connect(&control_, signal, this, [this, procedure] { Forward(procedure); });
    };
    on(&FlennPlayer::Opened, PlayerAudioPartEvent);
    on(&FlennPlayer::Cued, PlayerAudioPartEvent);
    on(&FlennPlayer::Closed, PlayerAudioPartEvent);
    on(&FlennPlayer::IntroStartReached, PlayerIntroStartReached);
    on(&FlennPlayer::IntroEndReached, PlayerIntroEndReached);
    on(&FlennPlayer::HookStartReached, PlayerHookStartReached);
    on(&FlennPlayer::HookEndReached, PlayerHookEndReached);
    on(&FlennPlayer::ExtroReached, PlayerExtroReached);
    on(&FlennPlayer::AudioEndReached, PlayerAudioEndReached);
    on(&FlennPlayer::SweeperStartReached, PlayerSweeperStartReached);
    connect(&control_, &FlennPlayer::AudioLevelChanged, this,
            [this](int16_t, int16_t) { Forward(PlayerAudioLevelChanged); });
    connect(&control_, &FlennPlayer::AudioPositionChanged, this, [this](bool& changing) {
        bool partChanging = changing;
        Forward([partChanging](int16_t n) { PlayerAudioPositionChanged(n, partChanging); });
    });
    ForwardVolumeEvents(control_, *this, playerNumber_, context_);
}

CartPlayer::~CartPlayer() {
    // The control closes its file when destroyed: nothing is told of that any more.
    disconnect(&control_, nullptr, this, nullptr);
}

PlayersState::PlayersState() = default;
PlayersState::~PlayersState() = default;

CartPlayer& CreateCartPlayer(int16_t playerNumber) {
    PlayersState& state = State();
    CartPlayerRecord& rec = Record(playerNumber);
    auto& slot = state.Players.at(static_cast<size_t>(playerNumber));
    rec.Player = nullptr;
    slot = std::make_unique<CartPlayer>(playerNumber);
    rec.Player = &slot->Control();
    PlayerControl::SetWaveOutDeviceNumber(*rec.Player, rec.SoundCardNumber);
    return *slot;
}

CartPlayer* FindCartPlayer(int16_t playerNumber) {
    if (playerNumber < 1 || playerNumber > kMaxPlayers) return nullptr;
    return State().Players[static_cast<size_t>(playerNumber)].get();
}

void ReleaseCartPlayers() {
    PlayersState& state = State();
    for (size_t n = 1; n < state.Players.size(); ++n) {
        state.PlayerTable[n].Player = nullptr;
        state.Players[n].reset();
    }
}

} // namespace CartPlayers
