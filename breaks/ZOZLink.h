#pragma once
// The split's hold on the ZOZ server: connects the client control, shows whether the split
// holds control, switches reconciliation logging with it where the settings say, passes the
// ZOZ's lines to the playout system and tells the ZOZ which item is on air or next.
#include "core/MainSettings.h"
#include "network_control/NetworkControlClient.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>

class ZOZLink : public QObject {
    Q_OBJECT
public:
    static constexpr int kReconnectMs = 10000;

    // The link reads and switches the settings of its own program instance.
    explicit ZOZLink(MainSettings::SettingsRecords& settings, QObject* parent = nullptr);
    ~ZOZLink() override;

    void ConnectToZOZ();
    void SetNowZOZInformation(int32_t CartNumber, int32_t ItemType, const std::string& ItemName);
    void SetNextZOZInformation(int32_t CartNumber, int32_t ItemType, const std::string& ItemName);
    // The item text of the ZOZ words ("CartNumber=1234  ItemType=Advert ItemName=X ").
    static std::string ItemText(int32_t CartNumber, int32_t ItemType, const std::string& ItemName);

    NetworkControlClient& Client() { return ZOZCorvaneClient; }
    // The "ocpcontrol" panel of the split window's status bar.
    const std::string& ControlPanelText() const { return ocpcontrol_; }
    void SetReconnectInterval(int milliseconds) { reconnect_.setInterval(milliseconds); }
    bool ReconnectPending() const { return reconnect_.isActive(); }

    // Where the ZOZ's lines go (the playout system) and the main window's logging caption.
    std::function<void(const std::string&)> SendMessageToVantor;
    std::function<void()> UpdateLoggingCaption;

signals:
    void panelChanged();

private:
    void SendItem(const std::string& Word, int32_t CartNumber, int32_t ItemType,
                  const std::string& ItemName);
    void SetPanel(const std::string& text);
    void ZOZCorvaneClient_NetworkControlTaken();
    void ZOZCorvaneClient_NetworkControlEnded();
    void ZOZCorvaneClient_DisconnectedFromNetworkMaster();
    void ZOZCorvaneClient_message(const std::string& MessageText);

    MainSettings::SettingsRecords& settings_;
    NetworkControlClient ZOZCorvaneClient;
    QTimer reconnect_;
    bool connecting_ = false; // inside ConnectToZOZ: its own disconnect is no loss
    std::string ocpcontrol_ = "Not controlling ZOZ";
};
