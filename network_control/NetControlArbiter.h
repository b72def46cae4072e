#pragma once
// The server side of the control protocol without sockets: the record of control, the
// arbitration of requests, logoff and close, and the answers to the protocol words. Its owner
// carries the lines to and from the connections (numbered 1..n).
#include "network_control/modCorvane.h"

#include <cstdint>
#include <string>

// What the arbiter needs from the owner of the connections.
class NetControlLinks {
public:
    virtual ~NetControlLinks() = default;
    // Sends text plus the end character to one connection (index < 1: to every connection).
    virtual void SendToConnection(int16_t Index, const std::string& Text) = 0;
    virtual std::string RemoteAddress(int16_t Index) = 0;
    virtual void ControlGranted(std::string& Name, std::string& IP) = 0;
    virtual void ControlDenied(std::string& Name, std::string& IP) = 0;
    virtual void ControlEnded(std::string& Name, std::string& IP) = 0;
    virtual void ControllerLine(const std::string& Message) = 0;
    virtual void HelpMessageText(std::string& HelpText) = 0;
    virtual void StatusMessageText(std::string& StatusText) = 0;
    // The record of control changed: refresh the status bits and the display.
    virtual void ControlChanged() = 0;
};

class NetControlArbiter {
public:
    explicit NetControlArbiter(NetControlLinks& links) : links_(links) {}

    // One framed line from connection Index.
    void ProcessLine(int16_t Index, const std::string& Line);
    // Connection Index has closed: a controller on it gives control up and everyone hears.
    void ConnectionClosed(int16_t Index);
    // Empties the record of control (the connections were dropped); true when there was one.
    bool DropController();

    bool HasController() const { return !controllerIP_.empty(); }
    const std::string& NetworkController() const { return controller_; }
    const std::string& NetworkControllerIP() const { return controllerIP_; }
    enQNetworkRelMode NetworkControllerMode() const { return controllerMode_; }
    int16_t ControllerIndex() const { return controllerIndex_; }

    static std::string HelpText(const std::string& end);
    static std::string StatusText(const std::string& end, const std::string& controllerIP,
                                  const std::string& controller);
    static std::string ListAnswer(const std::string& argument, const std::string& end);
    static std::string VersionAnswer();

    std::string EndCharacter = "\r";

private:
    void RequestControl(int16_t Index, const std::string& Line);
    void Logoff(int16_t Index);
    void EndControl();
    std::string ControllerAnswer() const;

    NetControlLinks& links_;
    std::string controller_;
    std::string controllerIP_;
    enQNetworkRelMode controllerMode_ = qsrlWaitRelease;
    int16_t controllerIndex_ = 0;
};
