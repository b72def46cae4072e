#pragma once
// The split's cart-group playout without its display: a group's next item is played at once
// (playout mode 1) or queued; the queue plays its items one after the other on two players,
// the next cued while one plays and started at its segue point, with the group's outputs,
// the source-line mute and the completion word. It gives way to advert breaks.
#include "breaks/SplitLinks.h"
#include "breaks/ZEL_Specific_CartGroups.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <string>
#include <vector>

class SplitCartGroupQueue : public QObject, public SplitCartQueue {
    Q_OBJECT
public:
    explicit SplitCartGroupQueue(SplitSender* sender = nullptr, SplitPlayers* players = nullptr,
                                 QObject* parent = nullptr);

    void SetSender(SplitSender* sender) { sender_ = sender; }
    void SetPlayers(SplitPlayers* players) { players_ = players; }

    // Group 1..100; other numbers do nothing.
    void SplitPlayCartGroup(int32_t GroupNumber);
    void SplitCueCartGroup(int32_t GroupNumber);
    // One tick of the queue; tmrCartList runs it every 50 ms.
    void tmrCartList_Timer();
    QTimer& tmrCartList() { return tmrCartList_; }

    // The seconds to the segue point of the cart the group plays next (a random group: slot
    // 1); 0 when it cannot be worked out or outside 1..100.
    static float GetCartGroupLength(int32_t GroupNumber);
    // "" outside 1..100.
    static std::string GetCartGroupDescription(int32_t GroupNumber);
    // "     |GROUP:07 CART:00123": the play source of a logged group's item.
    static std::string GroupText(int32_t GroupNumber, int32_t CartNumber);

    // The queue as the break sees it.
    int16_t QueueCount() override;
    bool FirstGroupMuted() override;
    void ClearQueue() override;
    void RunQueueTick() override;

    Breaks::CartListQueueRecord& CartListQueue() { return Breaks::CartGroupState().CartListQueue; }
    // listCarts: one line per queued item, the cart's one-line text.
    const std::vector<std::string>& listCarts() const { return listCarts_; }

signals:
    void listCartsChanged();

private:
    // Keeps the tick's timer off while a tick runs, so a notice sent from inside a player
    // operation never runs a second tick inside it.
    class TimerHold {
    public:
        explicit TimerHold(SplitCartGroupQueue& queue);
        ~TimerHold();
        TimerHold(const TimerHold&) = delete;
        TimerHold& operator=(const TimerHold&) = delete;

    private:
        SplitCartGroupQueue& queue_;
    };

    static constexpr float kCueWarning = 10.0f;
    static constexpr int16_t kGroupActiveAction = 258;

    void Tick();
    bool MovedOn(const SplitPlayerInfo& info);
    int16_t CueDecision();
    void CueEntry(int16_t entry);
    bool FirstFinished();
    void FinishFirst();
    void StartFirst();
    void Append(int32_t CartNumber, int32_t GroupNumber);
    void RemoveEntry(int16_t entry);
    void Drop(const std::string& operation, int32_t GroupNumber, const std::string& reason);
    void SendComplete(int32_t GroupNumber);
    void ReleaseOutputs(int16_t GroupNumber);
    void SetGroupActive(int32_t GroupNumber, int32_t mode);
    void SetSourceLine(int32_t mode);
    void TagPlayer(int16_t player, int32_t GroupNumber, int32_t CartNumber);
    static int16_t Volume();

    SplitSender* sender_ = nullptr;
    SplitPlayers* players_ = nullptr;
    QTimer tmrCartList_;
    int held_ = 0;
    int16_t activeGroup_ = 0; // the group whose item has switched its outputs on
    std::vector<std::string> listCarts_;
};
