#pragma once
// The cart players: the notice broadcast to the registered listeners, and the operations that
// load, cue, play, pause, seek and eject a player; the cart information report.
#include "carts/CartRecord.h"
#include "carts/PlayerTable.h"

#include <cstdint>
#include <functional>
#include <string>

class FlennRecorder;

namespace Audio_Player_FN {

// The listener class (flag bit) of a notice code.
int32_t NoticeClassOf(int32_t NoticeCode);
// Delivers the notice, synchronously and in slot order, to every listener whose flags accept
// its class. A listener may register, remove or move players from inside its handler.
void SendPlayerNotice(int32_t NoticeCode, int16_t PlayerNumber, int32_t Data);
// Registers a listener, or replaces the flags of one already registered; always true.
bool AddNoticeListener(CartPlayers::PlayerNoticeListener* Listener, int32_t Flags);
// Empties every slot that holds the listener; true when one was found.
bool RemoveNoticeListener(CartPlayers::PlayerNoticeListener* Listener);
// One empty slot, as at start-up.
void ResetNoticeListeners();

// The report text of a cart record (lines ended by CR LF).
std::string CartInfoReportText(int32_t cartNumber, const Vantor_Cart_Routines::CartRecord& rec);
// Shows a report text; the browser passes its preview window.
using ReportViewer = std::function<void(const std::string& report)>;
// Builds the report of a cart and hands it to show; nothing for a cart outside 1..NoCarts or an
// empty one.
void BuildCartInfoReport(int32_t& cartNumber, const ReportViewer& show);
// ---- Operations: each answers true when done; a refusal changes nothing and tells nothing.

// Makes the players and returns their count. The default makes display-free players for
// TotalNumberCartPlayers (at most 4); the player windows set their own.
using PlayerMaker = std::function<int16_t()>;
void SetPlayerMaker(PlayerMaker maker);

// Makes every player once, through the maker, and gives each its engine settings and the
// start-up volume; the only place players are made.
bool InitialiseAudio();
// Ejects every player, then destroys the player windows and after them the players.
bool ShutdownAudio();
bool LoadPlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume);
bool CuePlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume);
bool PlayPlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume);
bool PausePlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume);
bool SeekPlayer(int16_t PlayerNumber, int32_t CartNumber, float Seconds, int16_t& Volume);
bool EjectPlayer(int16_t PlayerNumber);
void SetPlayerVolume(int16_t PlayerNumber, float Volume);

// Fade-out (envelope entry 3) that ejects the player when it ends; links and ducking.
bool FadePlayer(int16_t PlayerNumber, float StartTime, float FadeSeconds);
void StartLinkedPlayer(int16_t PlayerNumber);
void UnlinkPlayer(int16_t PlayerNumber, bool RestoreDucking);
void RestoreDuckedPlayers(int16_t PlayerNumber);

// ---- The control's events of player n.
void PlayerAudioPartEvent(int16_t PlayerNumber); // Opened, Cued, Closed
void PlayerAudioPositionChanged(int16_t PlayerNumber, bool AudioPartChanging);
void PlayerAudioLevelChanged(int16_t PlayerNumber);
void PlayerVolumeChangeStart(int16_t PlayerNumber, int32_t Reference);
void PlayerVolumeChange(int16_t PlayerNumber, int32_t Reference);
void PlayerVolumeChangeEnd(int16_t PlayerNumber, int32_t Reference);
void PlayerIntroStartReached(int16_t PlayerNumber);
void PlayerIntroEndReached(int16_t PlayerNumber);
void PlayerHookStartReached(int16_t PlayerNumber);
void PlayerHookEndReached(int16_t PlayerNumber);
void PlayerExtroReached(int16_t PlayerNumber);
void PlayerAudioEndReached(int16_t PlayerNumber);
void PlayerSweeperStartReached(int16_t PlayerNumber);

// ---- The recorder's events; their notices are for player 0 with data 0.
void RecorderRecordOpen();
void RecorderRecording();
void RecorderPaused();
void RecorderRecordingEndReached();
void RecorderClosed();
void RecorderAudioPositionChanged();
void RecorderAudioLevelChanged(int16_t MaxLeftLevel, int16_t MaxRightLevel);
// Makes recorder the one in use (nullptr = none) and hands its events to the procedures
// above, the end of the recording then asking whether to keep it.
void SetRecorderControl(FlennRecorder* recorder);

} // namespace Audio_Player_FN
