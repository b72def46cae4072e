#include "breaks/SplitCartGroupQueue.h"

#include "breaks/BreaksState.h"
#include "carts/HardwareLines.h"
#include "carts/PlayerWindows.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "platform/VB.h"

#include <algorithm>

namespace {

using Breaks::CartGroupRecord;
using Breaks::CartListQueueRecord;

constexpr int32_t kEmpty = CartPlayers::Empty;

void Trace(const std::string& text) {
    GeneralFunctions::WriteDebugLine(text, -1);
}

const MainSettings::GeneralSettings& General() {
    return MainSettings::Settings().General;
}

} // namespace

SplitCartGroupQueue::TimerHold::TimerHold(SplitCartGroupQueue& queue) : queue_(queue) {
    ++queue_.held_;
    queue_.tmrCartList_.stop();
}

SplitCartGroupQueue::TimerHold::~TimerHold() {
    if (--queue_.held_ == 0) queue_.tmrCartList_.start();
}

SplitCartGroupQueue::SplitCartGroupQueue(SplitSender* sender, SplitPlayers* players,
                                         QObject* parent)
    : QObject(parent), sender_(sender), players_(players) {
    tmrCartList_.setTimerType(Qt::PreciseTimer);
    tmrCartList_.setInterval(50);
    connect(&tmrCartList_, &QTimer::timeout, this, &SplitCartGroupQueue::tmrCartList_Timer);
    tmrCartList_.start();
}

int16_t SplitCartGroupQueue::Volume() {
    return MainSettings::Settings().Audio.CartGroupVolume;
}

std::string SplitCartGroupQueue::GroupText(int32_t GroupNumber, int32_t CartNumber) {
    return "     |GROUP:" + VB::FormatNumber(GroupNumber, "00") +
           " CART:" + VB::FormatNumber(CartNumber, "00000");
}

float SplitCartGroupQueue::GetCartGroupLength(int32_t GroupNumber) {
    CartGroupRecord* group = Breaks::CartGroup(GroupNumber);
    if (!group) return 0.0f;
    return Breaks::ItemSegueSeconds(*group,
                                    Breaks::ChooseNextItem(*group, Breaks::ItemPurpose::Length));
}

std::string SplitCartGroupQueue::GetCartGroupDescription(int32_t GroupNumber) {
    const CartGroupRecord* group = Breaks::CartGroup(GroupNumber);
    return group ? group->Description : std::string();
}

void SplitCartGroupQueue::SplitPlayCartGroup(int32_t GroupNumber) {
    Trace("SplitPlayCartGroup:GroupNumber:" + std::to_string(GroupNumber));
    CartGroupRecord* group = Breaks::CartGroup(GroupNumber);
    if (!group) return;
    const int16_t item = Breaks::ChooseNextItem(*group, Breaks::ItemPurpose::Play);
    const int32_t cart = group->CartNumber(item);
    if (group->PlayoutMode != 1) {
        if (cart <= 0)
            Drop("SplitPlayCartGroup", GroupNumber, "empty slot " + std::to_string(item));
        else if (!Breaks::CartHasAudio(cart))
            Drop("SplitPlayCartGroup", GroupNumber,
                 "cart " + std::to_string(cart) + " has no audio");
        else if (CartListQueue().Count >= Breaks::kCartQueueLength)
            Drop("SplitPlayCartGroup", GroupNumber, "the queue is full");
        else {
            Append(cart, GroupNumber);
            TimerHold hold(*this);
            Tick();
        }
    } else {
        Audio_Player_FN::PlayCart(cart, Volume());
        if (General().LogCartGroups != 0)
            TagPlayer(Audio_Player_FN::FindPlayerPlayingCart(cart), GroupNumber, cart);
    }
    group->LastItemPlayed = item;
}

void SplitCartGroupQueue::SplitCueCartGroup(int32_t GroupNumber) {
    Trace("SplitCueCartGroup:GroupNumber:" + std::to_string(GroupNumber));
    CartGroupRecord* group = Breaks::CartGroup(GroupNumber);
    if (!group) return;
    const int32_t cart =
        group->CartNumber(Breaks::ChooseNextItem(*group, Breaks::ItemPurpose::Cue));
    const int16_t player = Audio_Player_FN::CueCart(cart, Volume());
    CartListQueueRecord& q = CartListQueue();
    // The queue keeps the player it already counts on; a failed cue gives it none.
    if (group->PlayoutMode == 0 && player >= 1) {
        if (q.CuedPlayer == 0 && player != q.PlayingPlayer)
            q.CuedPlayer = player;
        else if (q.CuedPlayer != player)
            Trace("SplitCueCartGroup:GroupNumber:" + std::to_string(GroupNumber) +
                  ":the queue keeps player " + std::to_string(q.CuedPlayer));
    }
    if (General().LogCartGroups != 0) TagPlayer(player, GroupNumber, cart);
}

void SplitCartGroupQueue::tmrCartList_Timer() {
    if (held_ > 0) return;
    TimerHold hold(*this);
    Tick();
}

void SplitCartGroupQueue::RunQueueTick() {
    tmrCartList_Timer();
}

int16_t SplitCartGroupQueue::QueueCount() {
    return CartListQueue().Count;
}

bool SplitCartGroupQueue::FirstGroupMuted() {
    const CartListQueueRecord& q = CartListQueue();
    if (q.Count < 1) return false;
    const CartGroupRecord* group = Breaks::CartGroup(q.Entries[0].GroupNumber);
    return group && group->Mute != 0;
}

void SplitCartGroupQueue::ClearQueue() {
    // The started item's outputs would otherwise stay on, and the source muted, for good.
    if (activeGroup_ >= 1) ReleaseOutputs(activeGroup_);
    CartListQueue() = Breaks::CartListQueueRecord{};
    listCarts_.clear();
    emit listCartsChanged();
}

void SplitCartGroupQueue::Tick() {
    CartListQueueRecord& q = CartListQueue();
    if (q.Count < 1 || !players_) return;
    if (Breaks::State().BreakRunning && General().AllowCartsDuringBreaks == 0) return;
    const int16_t entry = CueDecision();
    if (entry >= 1 && q.CuedPlayer == 0) CueEntry(entry);
    if (q.PlayingPlayer != 0) {
        if (!FirstFinished()) return;
        FinishFirst();
    }
    StartFirst();
}

bool SplitCartGroupQueue::MovedOn(const SplitPlayerInfo& info) {
    return info.Status == kEmpty || info.CartNumber != CartListQueue().Entries[0].CartNumber;
}

// The entry to cue: 1 when nothing plays, 2 when the playing item nears its segue point.
int16_t SplitCartGroupQueue::CueDecision() {
    CartListQueueRecord& q = CartListQueue();
    if (q.PlayingPlayer == 0) return 1;
    if (q.CuedPlayer != 0 || q.Count <= 1) return 0;
    const SplitPlayerInfo info = players_->PlayerInfo(q.PlayingPlayer);
    const bool near = info.SecondsPlayed > 0 && (info.SecondsToExtro < kCueWarning || info.Fading);
    return MovedOn(info) || near ? 2 : 0;
}

void SplitCartGroupQueue::CueEntry(int16_t entry) {
    CartListQueueRecord& q = CartListQueue();
    q.CuedPlayer = players_->FindPlayer(kEmpty, -1, -1, 0);
    if (q.CuedPlayer < 1) return; // waits for a free player
    const Breaks::CartQueueItem item = q.Entry(entry);
    int16_t volume = Volume();
    if (players_->CuePlayer(q.CuedPlayer, item.CartNumber, volume)) {
        players_->ShowPlayerControls(q.CuedPlayer, false);
        if (General().LogCartGroups != 0)
            TagPlayer(q.CuedPlayer, item.GroupNumber, item.CartNumber);
        return;
    }
    // An Empty player that cannot take the cart never will: retrying would hold the queue,
    // and every break behind it, for good.
    q.CuedPlayer = 0;
    RemoveEntry(entry);
    Drop("tmrCartList_Timer", item.GroupNumber,
         "cart " + std::to_string(item.CartNumber) + " cannot be cued");
}

bool SplitCartGroupQueue::FirstFinished() {
    const SplitPlayerInfo info = players_->PlayerInfo(CartListQueue().PlayingPlayer);
    if (MovedOn(info)) return true;
    return info.SecondsPlayed > 0 && (info.ReachedExtro() || info.Fading);
}

// Entry 1 has passed its segue point: its player plays its tail on.
void SplitCartGroupQueue::FinishFirst() {
    CartListQueueRecord& q = CartListQueue();
    const int16_t g = q.Entries[0].GroupNumber;
    if (Breaks::CartGroup(g)) {
        ReleaseOutputs(g);
        SendComplete(g);
    }
    q.PlayingPlayer = 0;
    RemoveEntry(1);
}

void SplitCartGroupQueue::StartFirst() {
    CartListQueueRecord& q = CartListQueue();
    // Nothing is left to start when the last item has just finished.
    if (q.CuedPlayer < 1 || q.Count < 1) return;
    const Breaks::CartQueueItem item = q.Entries[0];
    if (const CartGroupRecord* group = Breaks::CartGroup(item.GroupNumber)) {
        SetGroupActive(item.GroupNumber, HardwareAPI::OutputOn);
        if (group->Mute != 0) SetSourceLine(HardwareAPI::OutputOff);
        activeGroup_ = item.GroupNumber;
    }
    int16_t volume = Volume();
    if (!players_->PlayPlayer(q.CuedPlayer, item.CartNumber, volume)) return; // tried again
    players_->ShowPlayerControls(q.CuedPlayer, false);
    q.PlayingPlayer = q.CuedPlayer;
    q.CuedPlayer = 0;
}

void SplitCartGroupQueue::Append(int32_t CartNumber, int32_t GroupNumber) {
    CartListQueueRecord& q = CartListQueue();
    ++q.Count;
    q.Entry(q.Count) = {CartNumber, static_cast<int16_t>(GroupNumber)};
    listCarts_.push_back(players_ ? players_->GetCartDescription(CartNumber) : std::string());
    emit listCartsChanged();
}

void SplitCartGroupQueue::RemoveEntry(int16_t entry) {
    CartListQueueRecord& q = CartListQueue();
    if (entry < 1 || entry > q.Count) return;
    auto first = q.Entries.begin() + (entry - 1);
    std::move(first + 1, q.Entries.begin() + q.Count, first);
    q.Entry(q.Count) = {};
    --q.Count;
    if (static_cast<size_t>(entry) <= listCarts_.size())
        listCarts_.erase(listCarts_.begin() + (entry - 1));
    emit listCartsChanged();
}

// A request that plays nothing still answers, so the playout system is never left waiting.
void SplitCartGroupQueue::Drop(const std::string& operation, int32_t GroupNumber,
                               const std::string& reason) {
    Trace(operation + ":GroupNumber:" + std::to_string(GroupNumber) + ":dropped, " + reason);
    SendComplete(GroupNumber);
}

void SplitCartGroupQueue::SendComplete(int32_t GroupNumber) {
    if (sender_) sender_->SendMessageToVantor("CART_GROUP_COMPLETE " + std::to_string(GroupNumber));
}

void SplitCartGroupQueue::SetGroupActive(int32_t GroupNumber, int32_t mode) {
    int16_t d1 = static_cast<int16_t>(GroupNumber), d2 = 255, d3 = 255, d4 = 255, outputsOnly = 0;
    HardwareAPI::SetLinesByAction(kGroupActiveAction, mode, d1, d2, d3, d4, outputsOnly);
}

// The group's item has ended: its outputs go off and a muted source comes back, unless a
// break that mutes it is running.
void SplitCartGroupQueue::ReleaseOutputs(int16_t GroupNumber) {
    activeGroup_ = 0;
    const CartGroupRecord* group = Breaks::CartGroup(GroupNumber);
    if (!group) return;
    if (group->Mute != 0 && !(Breaks::State().BreakRunning && General().AdvertSourceMute != 0))
        SetSourceLine(HardwareAPI::OutputOn);
    SetGroupActive(GroupNumber, HardwareAPI::OutputOff);
}

void SplitCartGroupQueue::SetSourceLine(int32_t mode) {
    int16_t line = General().SourceLine;
    if (line >= 1) HardwareAPI::SetHardwareLine(line, mode);
}

void SplitCartGroupQueue::TagPlayer(int16_t player, int32_t GroupNumber, int32_t CartNumber) {
    if (player >= 1 && players_)
        players_->SetPlaySource(player, GroupText(GroupNumber, CartNumber));
}
