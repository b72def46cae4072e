#pragma once
// The main playout system's door: the hosted control server on which the playout system takes
// control, the service words it answers itself, and the lines it sends back to the holder.
#include "network_control/NetworkControlServer.h"

#include <QObject>
#include <string>

namespace MainWindow {

class NetworkDoors;

class PlayoutLink : public QObject {
    Q_OBJECT
public:
    explicit PlayoutLink(NetworkDoors& doors);

    // Listens on the playout control port (6969 moved by the test offset).
    void Listen();
    void SendMessageToVantor(const std::string& message);
    static std::string GetHelpMessage();
    std::string GetStatusMessage();

    NetworkControlServer& Server() { return vntCorvane; }
    const std::string& PlayoutControllerName() const { return playoutControllerName_; }
    const std::string& PlayoutControllerAddress() const { return playoutControllerAddress_; }
    // The main window's status panel "corvane".
    const std::string& PanelText() const { return corvanePanel_; }

signals:
    void panelChanged();

private:
    void vntCorvane_NetworkControlGranted(std::string& ControllerName, std::string& ControllerIP);
    void vntCorvane_NetworkControlDenied(std::string& ControllerName, std::string& ControllerIP);
    void vntCorvane_NetworkControlEnded(std::string& PreviousControllerName,
                                        std::string& PreviousControllerIP);
    void vntCorvane_MessageFromController(const std::string& message);
    void AnswerBreakLength(const std::string& arguments);
    void AnswerCartGroupInfo(const std::string& arguments);
    void SetPanel(const std::string& text);

    NetworkDoors& doors_;
    NetworkControlServer vntCorvane;
    std::string playoutControllerName_;
    std::string playoutControllerAddress_;
    std::string corvanePanel_ = "No Controller";
};

} // namespace MainWindow
