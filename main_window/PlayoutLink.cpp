#include "main_window/PlayoutLink.h"

#include "breaks/BreaksState.h"
#include "breaks/LogSupport.h"
#include "breaks/SplitCartGroupQueue.h"
#include "breaks/SplitEngine.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "main_window/NetworkDoors.h"
#include "main_window/ProgramContext.h"
#include "network_control/NetSockets.h"
#include "network_control/modCorvane.h"
#include "platform/Ports.h"
#include "platform/VB.h"

namespace MainWindow {

namespace {

void Trace(const std::string& text) {
    GeneralFunctions::WriteDebugLine(text, -1);
}

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

ZEL_Common::SplitRecord& SplitOne() {
    return *Breaks::Split(1);
}

} // namespace

PlayoutLink::PlayoutLink(NetworkDoors& doors) : doors_(doors) {
    vntCorvane.InitProperties();
    connect(&vntCorvane, &NetworkControlServer::NetworkControlGranted, this,
            &PlayoutLink::vntCorvane_NetworkControlGranted);
    connect(&vntCorvane, &NetworkControlServer::NetworkControlDenied, this,
            &PlayoutLink::vntCorvane_NetworkControlDenied);
    connect(&vntCorvane, &NetworkControlServer::NetworkControlEnded, this,
            &PlayoutLink::vntCorvane_NetworkControlEnded);
    connect(&vntCorvane, &NetworkControlServer::MessageFromController, this,
            &PlayoutLink::vntCorvane_MessageFromController);
    connect(&vntCorvane, &NetworkControlServer::GetHelpMessageText, this,
            [](std::string& HelpText) { HelpText = GetHelpMessage(); });
    connect(&vntCorvane, &NetworkControlServer::GetStatusMessageText, this,
            [this](std::string& StatusText) { StatusText = GetStatusMessage(); });
}

void PlayoutLink::Listen() {
    int32_t port = Platform::FixedPort(Platform::PlayoutControlPort);
    if (int32_t error = vntCorvane.Listen(port); error != 0)
        GeneralFunctions::FormatErrorMessage("opening the connection that allows Vantor to connect",
                                             error, false);
}

void PlayoutLink::SendMessageToVantor(const std::string& message) {
    Trace("MSGTOVNT:" + message);
    std::string text = message;
    vntCorvane.SendActiveNetworkController(text);
}

std::string PlayoutLink::GetHelpMessage() {
    return Lines({"-", "-Commands:", "-   HELP                 :   Displays this help message",
                  "-   LIST                 :   Displays a test message",
                  "-   SERVICE_NAME?        :   Displays the service name of ZEL ",
                  "-   STATUS?              :   Displays the current status of ZEL and ",
                  "-                            details of other connections",
                  "-   VERSION?             :   Displays the current version of ZEL ", "-",
                  "-Vantor Control Commands:",
                  "-   NET_CONTROL?         :   Shows the name of the current Controller ",
                  "-   NET_CONTROL_LOGON    :   Request to make yourself the Controller ",
                  "-   NET_CONTROL_LOGOFF   :   Request to release yourself as Controller "});
}

std::string PlayoutLink::GetStatusMessage() {
    ContextScope scope(doors_.Context());
    const ZEL_Common::SplitRecord& split = SplitOne();
    std::string text = "-Service Name       : " + split.SplitName + "\r\n";
    text += (split.LogFileNumber > 0 ? "-Log File           : "
                                     : "-Log File           : Cannot Find ") +
            split.WorkingLogPath + "\r\n";
    for (const std::string& slave : doors_.Network().ConnectedSlaves())
        text += "-\r\n-Network Slave      : " + slave + "\r\n";
    const MainSettings::GeneralSettings& general = MainSettings::Settings().General;
    if (!general.ZOZServerName.empty())
        text += "-\r\n-ZOZ Server         : " + general.ZOZServerName +
                "\r\n-ZOZ Server Port    : " + std::to_string(general.ZOZControlPort) + "\r\n";
    text += "-\r\n-Next Advert break  : " + std::to_string(Breaks::State().AdBreak.AdvertCount) +
            " adverts\r\n";
    return text;
}

void PlayoutLink::SetPanel(const std::string& text) {
    corvanePanel_ = text;
    emit panelChanged();
}

void PlayoutLink::vntCorvane_NetworkControlGranted(std::string& ControllerName,
                                                   std::string& ControllerIP) {
    ContextScope scope(doors_.Context());
    Trace("VNTCORVANEGRANT:" + ControllerName + "(" + ControllerIP + ")");
    playoutControllerAddress_ = ControllerIP;
    playoutControllerName_ = ControllerName;
    SetPanel(ControllerName + " has Station Control");
    SendMessageToVantor("GET_INFORMATION");
}

void PlayoutLink::vntCorvane_NetworkControlDenied(std::string& ControllerName,
                                                  std::string& ControllerIP) {
    Trace("VNTCORVANEDENIED:" + ControllerName + "(" + ControllerIP + ")");
}

void PlayoutLink::vntCorvane_NetworkControlEnded(std::string& PreviousControllerName,
                                                 std::string& PreviousControllerIP) {
    Trace("VNTCORVANEEND:" + PreviousControllerName + "(" + PreviousControllerIP + ")");
    playoutControllerAddress_.clear();
    playoutControllerName_.clear();
    SetPanel("No Controller");
}

void PlayoutLink::vntCorvane_MessageFromController(const std::string& message) {
    ContextScope scope(doors_.Context());
    Trace("VNTMSG:" + NetSockets::TraceExcerpt(message));
    doors_.Network().Relay(message + "\r\n", true, true, 0);
    const std::string word = modCorvane::CommandWord(message);
    const std::string arguments = message.substr(word.size());
    if (word == "SERVICE_NAME?") {
        SendMessageToVantor("SERVICE_NAME " + SplitOne().SplitName);
    } else if (word == "GET_BREAK_LENGTH") {
        AnswerBreakLength(arguments);
    } else if (word == "GET_CART_LENGTH") {
        // Recognised; nothing to answer.
    } else if (word == "GET_CARTGROUP_LENGTH") {
        const float length =
            SplitCartGroupQueue::GetCartGroupLength(modCorvane::LeadingNumber(arguments));
        SendMessageToVantor("CARTGROUP_LENGTH " + arguments + " " + LogSupport::SingleText(length));
    } else if (word == "GET_CARTGROUP_INFO") {
        AnswerCartGroupInfo(arguments);
    } else {
        std::string data = message + "\r\n";
        doors_.Network().ProcessRecievedWinSockdata(data);
    }
}

void PlayoutLink::AnswerBreakLength(const std::string& arguments) {
    int32_t start = 1, end = 0;
    const int32_t first = modCorvane::LeadingNumber(
        GeneralFunctions::GetNextToken(arguments, start, " ", end, true, true));
    int32_t date = SplitOne().LoadedLogDate;
    float time = static_cast<float>(first);
    if (end > 0) {
        date = first;
        start = end + 1;
        time = static_cast<float>(
            VB::Val(GeneralFunctions::GetNextToken(arguments, start, " ", end, true, true)));
    }
    SplitEngine* split = doors_.Split();
    const float length = split ? split->GetFileBreakLength(date, time) : 0.0f;
    SendMessageToVantor("BREAK_LENGTH " + std::to_string(date) + " " +
                        LogSupport::SingleText(time) + " " + LogSupport::SingleText(length));
}

void PlayoutLink::AnswerCartGroupInfo(const std::string& arguments) {
    const int32_t group = modCorvane::LeadingNumber(
        GeneralFunctions::GetMessageParameter(arguments, "Group", "=", true, " "));
    if (group <= 0) return;
    const float length = SplitCartGroupQueue::GetCartGroupLength(group);
    const std::string description = SplitCartGroupQueue::GetCartGroupDescription(group);
    SendMessageToVantor("CARTGROUP_INFO Group=\"" + std::to_string(group) + "\" Length=\"" +
                        LogSupport::SingleText(length) + "\" Description=\"" +
                        GeneralFunctions::EscapeNetText(description) + "\"");
}

} // namespace MainWindow
