#pragma once
// The hardware manager's engine: opens the cards of the hardware table, polls them every
// 100 ms (inputs to the action runner, outputs from the line states, flashing and pulses) and
// closes them again. The manager window shows it.
#include "hardware/HardwareAPI.h"
#include "hardware/SerialIOCard.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace HardwareManager {

constexpr int kOutputPorts = 6; // cached output ports a card

// The flash window of a moment (seconds since midnight): four flashes a second.
bool FlashPhaseAt(double TimerSeconds);
// Output drive rule: the bit a line puts on its port this tick; ends a finished pulse.
bool OutputBit(int16_t Card, int16_t Line, bool FlashPhaseOn);
// Input rule: the line's state from its bit; a change goes to the action runner.
void ApplyInput(int16_t Card, int16_t Line, bool Bit);
// The card list's entry for a card: its number and its type's name.
std::string CardListEntry(int Card, int32_t CardType);

class HardwareManagerEngine : public QObject {
    Q_OBJECT
public:
    explicit HardwareManagerEngine(QObject* parent = nullptr);
    ~HardwareManagerEngine() override;

    // Opens every card and sets the heartbeat outputs flashing; true when at least one card can
    // be polled. Output lines keep their state, so a reload leaves them as they were.
    bool Load();
    // Starts the poll (only when a card was usable).
    void StartPolling(bool usable);
    // Closes the cards; outputs keep their last bytes.
    void Unload();
    // One poll tick.
    void hwTimer_Timer();

    bool Polling() const { return hwTimer.isActive(); }
    bool FlashPhaseOn() const { return flashPhaseOn_; }
    int16_t PortOutputCache(int card, int port) const {
        return cache_[static_cast<size_t>(card - 1)][static_cast<size_t>(port - 1)];
    }
    const std::vector<std::string>& CardList() const { return cardList_; }
    SerialIOCard& SerialCard(int card) { return *serial_[static_cast<size_t>(card - 1)]; }

signals:
    // A tick or a serial receive may have changed lines.
    void linesChanged();

private:
    void StartHeartbeat();
    void OpenAdvantech(int card);
    void PollAdvantech(int card);
    void ReadAdvantechInputs(int card, int ports);
    void WriteAdvantechOutputs(int card, int ports);
    void PollJoystick(int card);
    void ReportReadError(int card, int port, int32_t code);

    QTimer hwTimer;
    bool flashPhaseOn_ = false;
    std::array<std::array<int16_t, kOutputPorts>, HardwareAPI::kCardCount> cache_{};
    std::vector<std::string> cardList_;
    std::array<std::unique_ptr<SerialIOCard>, 3> serial_;
    // The read error last reported for (card, port); reported again only after a good read.
    std::map<std::pair<int, int>, int32_t> readErrors_;
};

} // namespace HardwareManager
