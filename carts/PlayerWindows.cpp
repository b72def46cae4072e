#include "carts/PlayerWindows.h"

#include "carts/AudioSettingsLoader.h"
#include "carts/Audio_Player_FN.h"
#include "carts/PlayerServices.h"
#include "carts/PlayerTable.h"
#include "carts/frmAudioPlayer.h"
#include "core/MainSettings.h"

#include <algorithm>
#include <array>
#include <memory>

namespace Audio_Player_FN {

using namespace CartPlayers;

namespace {

constexpr int16_t kF1 = 112;
constexpr int16_t kF16 = 127;
constexpr int kTwips = 15; // per pixel

std::array<std::unique_ptr<frmAudioPlayer>, kMaxPlayers + 1>& Windows() {
    static std::array<std::unique_ptr<frmAudioPlayer>, kMaxPlayers + 1> windows;
    return windows;
}

AudioSettings::AudioSettingsRecord& Audio() {
    return MainSettings::Settings().Audio;
}

int16_t PlayerCount() {
    return static_cast<int16_t>(
        std::clamp<int32_t>(Audio().TotalNumberCartPlayers, 0, kMaxPlayers));
}

bool Exists(int32_t player) {
    return player >= 1 && player <= PlayerCount();
}

// The first player from 1 up whose status lies in low..high and that holds the cart.
int16_t FindHolding(int32_t cartNumber, int32_t low, int32_t high) {
    for (int16_t p = 1; p <= PlayerCount(); ++p) {
        const CartPlayerRecord& r = Record(p);
        if (r.CartNumber == cartNumber && r.Status >= low && r.Status <= high) return p;
    }
    return 0;
}

// CueCart's player choice: the cart's own player, else an empty one, else a cued one.
int16_t ChoosePlayer(int32_t cartNumber, bool& alreadyLoaded) {
    int16_t player = FindPlayerWithCart(cartNumber);
    alreadyLoaded = player != 0;
    if (player == 0) player = FindPlayer(Empty);
    if (player == 0) player = FindPlayer(Cued);
    return player;
}

// Shift+F12: Ctrl keeps the recording, Alt discards it, else the user is asked.
int32_t RecorderSaveMode(int16_t shift) {
    if (shift & kCtrlMask) return 1;
    if (shift & kAltMask) return 0;
    return 2;
}

} // namespace

int16_t CreatePlayerWindows() {
    Audio().KeyboardClose = 0;
    Audio().MouseClose = 0;
    int32_t count = std::min<int32_t>(Audio().TotalNumberCartPlayers, kMaxPlayers);
    int32_t switched = 0;
    if (AudioSettings::PlayersSwitch(switched)) count = std::min<int32_t>(switched, kMaxPlayers);
    if (count < 1) return static_cast<int16_t>(count);
    for (int16_t n = 1; n <= count; ++n) {
        // The window makes the player: the record's control, on the record's sound card.
        auto window = std::make_unique<frmAudioPlayer>(n);
        window->Engine().pnlPlayerNo.Caption = std::to_string(n);
        Windows()[static_cast<size_t>(n)] = std::move(window);
    }
    return static_cast<int16_t>(count);
}

frmAudioPlayer* PlayerWindow(int16_t playerNumber) {
    if (playerNumber < 1 || playerNumber > kMaxPlayers) return nullptr;
    return Windows()[static_cast<size_t>(playerNumber)].get();
}

void EmbedPlayerWindows(QWidget* playerArea) {
    for (auto& window : Windows())
        if (window) window->setParent(playerArea);
}

void ShowPlayerWindows() {
    for (int16_t n = 1; n <= PlayerCount(); ++n) {
        if (!PlayerWindow(n)) continue;
        ArrangePlayerWindow(n);
        PlayerWindow(n)->show();
    }
}

void ArrangePlayerWindow(int16_t playerNumber) {
    frmAudioPlayer* window = PlayerWindow(playerNumber);
    if (!window || PlayerCount() < 1) return;
    QWidget* area = window->parentWidget();
    int areaWidth = area ? area->width() : window->width();
    int areaHeight = area ? area->height() : window->height();
    int width = areaWidth / PlayerCount();
    window->setGeometry((playerNumber - 1) * width, window->y(), width, areaHeight);
    window->Engine().LayOut(width * kTwips);
}

void ArrangePlayerWindows() {
    for (int16_t n = 1; n <= PlayerCount(); ++n)
        ArrangePlayerWindow(n);
}

void ShowPlayerControls(int16_t playerNumber, bool show) {
    if (!Exists(playerNumber) || !PlayerWindow(playerNumber)) return;
    if (MainSettings::Settings().General.HidePlayerControls == 0) show = true;
    PlayerWindow(playerNumber)->Engine().SetControlsVisible(show);
}

void DestroyPlayerWindows() {
    for (auto& window : Windows())
        window.reset();
}

void UsePlayerWindows() {
    SetPlayerMaker([] { return CreatePlayerWindows(); });
}

int16_t FindPlayer(int32_t minStatus) {
    if (PlayerCount() < 1) return 0;
    int32_t first = Audio().FirstPlayerInOrder, last = Audio().LastPlayerInOrder;
    int32_t step = first > last ? -1 : 1;
    for (int32_t p = first;; p += step) {
        if (Exists(p) && Record(static_cast<int16_t>(p)).Status >= minStatus)
            return static_cast<int16_t>(p);
        if (p == last) break;
    }
    return 0;
}

int16_t FindPlayerWithCart(int32_t cartNumber) {
    return FindHolding(cartNumber, Paused, Selected);
}

int16_t FindPlayerPlayingCart(int32_t cartNumber) {
    return FindHolding(cartNumber, Seeking, Paused);
}

int16_t CueCart(int32_t cartNumber, int16_t volume) {
    if (cartNumber < 1 || cartNumber > Audio().NoCarts) return 0;
    bool loaded = false;
    int16_t player = ChoosePlayer(cartNumber, loaded);
    if (player == 0) return 0;
    if (volume == 0) volume = Audio().GeneralVolume;
    return Services().CuePlayer(player, cartNumber, volume) ? player : 0;
}

int16_t PlayCart(int32_t cartNumber, int16_t volume) {
    if (cartNumber < 1 || cartNumber > Audio().NoCarts) return 0;
    bool loaded = false;
    int16_t player = ChoosePlayer(cartNumber, loaded);
    if (player == 0) return 0;
    if (volume == 0) volume = Audio().GeneralVolume;
    bool ok = (Audio().PlayCartsInstantly != 0 || loaded)
                  ? Services().PlayPlayer(player, cartNumber, volume)
                  : Services().CuePlayer(player, cartNumber, volume);
    return ok ? player : 0;
}

int16_t HandlePlayerKey(int16_t keyCode, int16_t shift, int32_t& cartNumber) {
    if (keyCode < kF1 || keyCode > kF16) return keyCode;
    int group = (keyCode - kF1) / 4 + 1;
    int action = (keyCode - kF1) % 4;
    PlayerServices& services = Services();
    if (shift & kShiftMask) {
        if (group == 3) {
            if (action == 0) services.RecorderResume();
            if (action == 1) services.RecorderPause();
            if (action == 3) services.RecorderSave(RecorderSaveMode(shift));
            return 0;
        }
        group += 3;
    }
    // Players above 4 do not exist at all.
    if (group > kMaxPlayers) return 0;
    const int16_t player = static_cast<int16_t>(group);
    CartPlayerRecord& record = Record(player);
    int16_t volume = Audio().GeneralVolume;
    int32_t cart = cartNumber;
    if (cart == 0) {
        cart = record.CartNumber;
        if (record.Ejected) return 0;
        volume = record.Volume;
    }
    const bool ctrl = (shift & kCtrlMask) != 0;
    switch (action) {
    case 0:
        if (ctrl)
            services.SeekPlayer(player, cart, std::max(record.SecondsPlayed - 5.0f, 0.0f), volume);
        else if (!services.SendPlayerCommand(player, Playing))
            services.PlayPlayer(player, cart, volume);
        break;
    case 1:
        if (!services.SendPlayerCommand(player, Paused)) services.PausePlayer(player, cart, volume);
        break;
    case 2:
        if (ctrl)
            services.SeekPlayer(player, cart, 0, volume);
        else if (!services.SendPlayerCommand(player, Cued))
            services.CuePlayer(player, cart, volume);
        break;
    default:
        if (ctrl) {
            services.SeekPlayer(player, cart,
                                std::min(record.SecondsPlayed + 5.0f, record.Cart.PlayLength),
                                volume);
        } else if (!(record.Status == Playing && Audio().OnlyAllowEjectStoppedCarts != 0) &&
                   !services.SendPlayerCommand(player, Empty)) {
            services.EjectPlayer(player);
        }
        break;
    }
    return 0;
}

} // namespace Audio_Player_FN

namespace PlayerSpecific_API {

void ResetPlayerNumberColour(int16_t PlayerNumber) {
    CartPlayers::frmAudioPlayer* window = Audio_Player_FN::PlayerWindow(PlayerNumber);
    if (!window) return;
    CartPlayers::AudioPlayerEngine& engine = window->Engine();
    engine.pnlPlayerNo.BackColor = CartPlayers::kButtonFace;
    emit engine.Changed();
}

} // namespace PlayerSpecific_API
