#include "carts/Audio_Player_FN.h"

CartPlayers::CartPlayerRecord& CartPlayers::Record(int16_t playerNumber) {
    return State().PlayerTable.at(static_cast<size_t>(playerNumber));
}

namespace Audio_Player_FN {

using namespace CartPlayers;

int32_t NoticeClassOf(int32_t NoticeCode) {
    switch (NoticeCode) {
    case pnAudioLevel:
    case pnRecorderLevel:
    case pnLevel233:
        return ncLevels;
    case pnVolumeChangeStart:
    case pnVolumeChangeNotify:
    case pnVolumeChangeEnd:
        return ncVolumeChanges;
    case pnRecorderPosition:
    case pnPosition:
        return ncPositions;
    default:
        return ncGeneral;
    }
}

void SendPlayerNotice(int32_t NoticeCode, int16_t PlayerNumber, int32_t Data) {
    int32_t bit = NoticeClassOf(NoticeCode);
    NoticeListenerSlots& slots = State().NoticeListeners;
    // Indexed afresh each round: a handler may register or remove listeners.
    for (size_t i = 0; i < slots.Objects.size(); ++i) {
        PlayerNoticeListener* listener = slots.Objects[i];
        if (listener == nullptr || (slots.Flags[i] & bit) == 0) continue;
        int32_t code = NoticeCode;
        int16_t player = PlayerNumber;
        int32_t data = Data;
        listener->PlayerStatusNotice(code, player, data);
    }
}

bool AddNoticeListener(PlayerNoticeListener* Listener, int32_t Flags) {
    NoticeListenerSlots& slots = State().NoticeListeners;
    size_t slot = 0;
    while (slot < slots.Objects.size() && slots.Objects[slot] != Listener &&
           slots.Objects[slot] != nullptr)
        ++slot;
    if (slot == slots.Objects.size()) {
        slots.Objects.push_back(nullptr);
        slots.Flags.push_back(0);
    }
    slots.Objects[slot] = Listener;
    slots.Flags[slot] = Flags;
    return true;
}

bool RemoveNoticeListener(PlayerNoticeListener* Listener) {
    NoticeListenerSlots& slots = State().NoticeListeners;
    bool found = false;
    for (size_t i = 0; i < slots.Objects.size(); ++i) {
        if (Listener == nullptr || slots.Objects[i] != Listener) continue;
        slots.Objects[i] = nullptr;
        slots.Flags[i] = 0;
        found = true;
    }
    return found;
}

void ResetNoticeListeners() {
    State().NoticeListeners = NoticeListenerSlots{};
}

} // namespace Audio_Player_FN
