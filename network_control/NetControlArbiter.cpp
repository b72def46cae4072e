#include "network_control/NetControlArbiter.h"

#include <initializer_list>

using namespace modCorvane;

namespace {

std::string JoinLines(std::initializer_list<const char*> lines, const std::string& end) {
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + end;
    return text;
}

} // namespace

void NetControlArbiter::ProcessLine(int16_t Index, const std::string& Line) {
    const std::string word = CommandWord(Line);
    if (word == "NET_CONTROL_LOGON") {
        RequestControl(Index, Line);
    } else if (word == "NET_CONTROL_LOGOFF") {
        Logoff(Index);
    } else if (word == "NET_CONTROL?") {
        links_.SendToConnection(Index, ControllerAnswer());
    } else if (word == "HELP") {
        std::string text = HelpText(EndCharacter);
        links_.HelpMessageText(text);
        links_.SendToConnection(Index, text);
    } else if (word == "STATUS?") {
        std::string text = StatusText(EndCharacter, controllerIP_, controller_);
        links_.StatusMessageText(text);
        links_.SendToConnection(Index, text);
    } else if (word == "VERSION?") {
        links_.SendToConnection(Index, VersionAnswer());
    } else if (word == "LIST") {
        links_.SendToConnection(Index, ListAnswer(Line.substr(word.size()), EndCharacter));
    } else if (HasController() && Index == controllerIndex_) {
        links_.ControllerLine(Line);
    }
}

void NetControlArbiter::RequestControl(int16_t Index, const std::string& Line) {
    int32_t start = ArgumentStart(Line);
    int32_t end = 0;
    std::string name = UpperCase(GetToken(Line, start, " ", end, true));
    auto next = [&](const std::string& delimiter) {
        if (end == 0) return 0;
        start = end + 1;
        end = 0;
        return LeadingNumber(GetToken(Line, start, delimiter, end, true));
    };
    auto release = static_cast<enQNetworkRelMode>(next(","));
    auto request = static_cast<enQNetworkReqMode>(next(" "));
    std::string address = links_.RemoteAddress(Index);

    if (HasController() && controllerIndex_ != Index &&
        (controllerMode_ == qsrlImmedRelease || request == qsrqForce)) {
        std::string name0 = controller_, ip0 = controllerIP_;
        links_.SendToConnection(controllerIndex_, "NET_CONTROL_END");
        EndControl();
        links_.ControlEnded(name0, ip0);
    }
    if (HasController() && controllerIndex_ != Index) {
        links_.SendToConnection(Index, "NET_CONTROL_FAIL " + controller_ + " " +
                                           std::to_string(controllerMode_));
        links_.ControlDenied(name, address);
        return;
    }
    controller_ = name;
    controllerIP_ = address;
    controllerMode_ = release;
    controllerIndex_ = Index;
    links_.SendToConnection(Index, "NET_CONTROL_START");
    links_.ControlGranted(name, address);
    links_.ControlChanged();
}

void NetControlArbiter::Logoff(int16_t Index) {
    if (!HasController() || Index != controllerIndex_) return;
    std::string name0 = controller_, ip0 = controllerIP_;
    EndControl();
    links_.SendToConnection(Index, "NET_CONTROL_END");
    links_.ControlEnded(name0, ip0);
    links_.SendToConnection(0, "NET_CONTROL_AVAILABLE");
}

void NetControlArbiter::ConnectionClosed(int16_t Index) {
    if (!HasController() || Index != controllerIndex_) return;
    std::string name0 = controller_, ip0 = controllerIP_;
    EndControl();
    links_.ControlEnded(name0, ip0);
    links_.SendToConnection(0, "NET_CONTROL_AVAILABLE");
}

bool NetControlArbiter::DropController() {
    if (!HasController()) return false;
    std::string name0 = controller_, ip0 = controllerIP_;
    EndControl();
    links_.ControlEnded(name0, ip0);
    return true;
}

void NetControlArbiter::EndControl() {
    controller_.clear();
    controllerIP_.clear();
    controllerMode_ = qsrlWaitRelease;
    controllerIndex_ = 0;
    links_.ControlChanged();
}

std::string NetControlArbiter::ControllerAnswer() const {
    if (!HasController()) return "NET_CONTROL ";
    return "NET_CONTROL " + (controller_.empty() ? controllerIP_ : controller_) + " " +
           std::to_string(controllerMode_);
}

std::string NetControlArbiter::HelpText(const std::string& end) {
    return JoinLines({"-", "-Commands:", "-   HELP                 :   Displays this help message",
                      "-   LIST                 :   Displays a test message",
                      "-   SERVICE_NAME?        :   Displays the service name of ZEL ",
                      "-   STATUS?              :   Displays the current status of and ",
                      "-                            details of other connections",
                      "-   VERSION?             :   Displays the current version number ", "-",
                      "-Network Control Commands:",
                      "-   NET_CONTROL?         :   Shows the name of the current Controller ",
                      "-   NET_CONTROL_LOGON    :   Request to make yourself the Controller ",
                      "-   NET_CONTROL_LOGOFF   :   Request to release yourself as Controller "},
                     end);
}

std::string NetControlArbiter::StatusText(const std::string& end, const std::string& controllerIP,
                                          const std::string& controller) {
    std::string text = "-" + end;
    if (controllerIP.empty()) {
        text += "-No Current Controller" + end;
    } else {
        text += "-Current Controller    :" + controllerIP + end;
        if (!controller.empty()) text += "-                      :" + controller + end;
    }
    return text + "-" + end;
}

std::string NetControlArbiter::ListAnswer(const std::string& argument, const std::string& end) {
    if (Trim(UpperCase(argument)) != "GAMES") return "-Currently the only option is to LIST GAMES";
    return "-" + end + "-Chess" + end + "-Draughts" + end + "-Backgammon" + end + "-Tic-Tac-Toe" +
           end + "-Global Thermonuclear war" + end + "-";
}

std::string NetControlArbiter::VersionAnswer() {
    return "VERSION " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionRevision);
}
