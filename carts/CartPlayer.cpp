#include "carts/CartPlayer.h"

#include "carts/Audio_Player_FN.h"
#include "core/ContextScope.h"

namespace CartPlayers {

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
    connect(&control_, &FlennPlayer::AudioPositionChanged, this, [this](bool changing) {
        Forward([changing](int16_t n) { PlayerAudioPositionChanged(n, changing); });
    });
    const auto volumeEvent = [this](auto signal, void (*procedure)(int16_t, int32_t)) {
        connect(&control_, signal, this, [this, procedure](int16_t reference) {
            Forward([procedure, reference](int16_t n) { procedure(n, reference); });
        });
    };
    volumeEvent(&FlennPlayer::VolumeChangeStartNotify, PlayerVolumeChangeStart);
    volumeEvent(&FlennPlayer::VolumeChangeNotify, PlayerVolumeChange);
    volumeEvent(&FlennPlayer::VolumeChangeEndNotify, PlayerVolumeChangeEnd);
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
    // Windows and connections hold on to the player made first: it is never replaced.
    if (slot) return *slot;
    slot = std::make_unique<CartPlayer>(playerNumber);
    rec.Player = &slot->Control();
    rec.Player->SetWaveOutDeviceNumber(rec.SoundCardNumber);
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
