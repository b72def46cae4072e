#pragma once
// The cart players: the notice broadcast to the registered listeners, and the operations that
// load, cue, play, pause, seek and eject a player; the cart information report.
#include "carts/CartRecord.h"
#include "carts/PlayerTable.h"

#include <cstdint>
#include <string>

namespace Browsing {
class frmPrintPreview;
}

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
// Builds the report of a cart and shows it in viewer; nothing for a cart outside 1..NoCarts
// or an empty one.
void BuildCartInfoReport(int32_t& cartNumber, Browsing::frmPrintPreview& viewer);

} // namespace Audio_Player_FN
