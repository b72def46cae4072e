#pragma once
// The player windows in the main window's player area, automatic player assignment and the
// player keys F1 to F16.
#include <cstdint>

class QWidget;

namespace CartPlayers {
class frmAudioPlayer;
}

namespace Audio_Player_FN {

// Creates one window per player (at most 4, "/PLAYERS=" wins); the count created.
int16_t CreatePlayerWindows();
// Window n of player n, or nullptr.
CartPlayers::frmAudioPlayer* PlayerWindow(int16_t playerNumber);
// Makes every player window a child of the player area.
void EmbedPlayerWindows(QWidget* playerArea);
void ShowPlayerWindows();
void ArrangePlayerWindow(int16_t playerNumber);
// Lays every player window out again to the player area's size (after it changed).
void ArrangePlayerWindows();
void ShowPlayerControls(int16_t playerNumber, bool show);
// Destroys the windows (the audio's shut-down, tests); the players stay.
void DestroyPlayerWindows();
// Makes InitialiseAudio create the players through their windows.
void UsePlayerWindows();

int16_t FindPlayer(int32_t minStatus);
int16_t FindPlayerWithCart(int32_t cartNumber);
int16_t FindPlayerPlayingCart(int32_t cartNumber);
int16_t CueCart(int32_t cartNumber, int16_t volume);
int16_t PlayCart(int32_t cartNumber, int16_t volume);
// 0 when the key was a player key (F1..F16), else keyCode unchanged. shift: 1 Shift, 2 Ctrl,
// 4 Alt.
int16_t HandlePlayerKey(int16_t keyCode, int16_t shift, int32_t& cartNumber);

} // namespace Audio_Player_FN

namespace PlayerSpecific_API {

// Puts the player window's number panel back to the button face.
void ResetPlayerNumberColour(int16_t PlayerNumber);

} // namespace PlayerSpecific_API
