#pragma once
// The program's three TCP doors, owned by its context: the playout-system link, the
// master/slave network and the ZOZ link. The break engine and the cart groups send through them
// as their SplitSender; every socket event runs with the owning context current, so two
// instances can live in one process.
#include "breaks/SplitLinks.h"
#include "breaks/SplitPlayerAdapter.h"
#include "breaks/ZOZLink.h"
#include "main_window/PlayoutLink.h"
#include "main_window/SocketNetwork.h"

#include <QObject>

struct ProgramContext;
class SplitEngine;

namespace MainWindow {

class NetworkDoors : public QObject, public SplitSender {
    Q_OBJECT
public:
    explicit NetworkDoors(ProgramContext& context);
    ~NetworkDoors() override;

    // The sockets of start-up (the network, the playout server) and the ZOZ link.
    void Open();
    void Close();

    // The split whose breaks the words drive (none: break words are traced and ignored).
    void SetSplit(SplitEngine* split) { split_ = split; }
    SplitEngine* Split() { return split_; }
    ProgramContext& Context() { return context_; }
    SocketNetwork& Network() { return network_; }
    PlayoutLink& Playout() { return playout_; }
    ZOZLink& ZOZ() { return zoz_; }
    CartPlayers::SplitPlayerAdapter& Players() { return players_; }

    // SplitSender: break words go to the master and every slave with CR LF.
    void SendMessageToNetwork(const std::string& text) override;
    void SendMessageToVantor(const std::string& text) override;
    void SetNowZOZInformation(int32_t CartNumber, int16_t ItemType,
                              const std::string& Title) override;

private:
    ProgramContext& context_;
    SplitEngine* split_ = nullptr;
    CartPlayers::SplitPlayerAdapter players_;
    SocketNetwork network_;
    PlayoutLink playout_;
    ZOZLink zoz_;
};

} // namespace MainWindow
