// Identity, dispatch table and late-bound Invoke of NetworkControlServer.
#include "network_control/NetworkControlServer.h"

using namespace Platform::Com;

namespace {

enum ServerDispid : int32_t {
    idStripLineFeeds = 0x68030000,
    idCaption = 0x68030001,
    idEndMessageCharacter = 0x68030002,
    idListenPort = 0x68030003,
    idNetworkController = 0x68030004,
    idNetworkControllerIP = 0x68030005,
    idNetworkControllerMode = 0x68030006,
    idShowBootButton = 0x68030007,
    idShowListenButton = 0x68030008,
    idStatus = 0x68030009,
    idListen = 0x60030010,
    idEndListen = 0x60030011,
    idSendActiveNetworkController = 0x60030012,
    idTerminateConnections = 0x60030013,
};

constexpr uint8_t M = DISPATCH_METHOD, G = DISPATCH_PROPERTYGET,
                  GP = DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT;

constexpr DispatchMember kMembers[] = {
    {idStripLineFeeds, "StripLineFeeds", GP, 0},
    {idCaption, "Caption", GP, 0},
    {idEndMessageCharacter, "EndMessageCharacter", GP, 0},
    {idListenPort, "ListenPort", GP, 0},
    {idNetworkController, "NetworkController", G, 0},
    {idNetworkControllerIP, "NetworkControllerIP", G, 0},
    {idNetworkControllerMode, "NetworkControllerMode", G, 0},
    {idShowBootButton, "ShowBootButton", GP, 0},
    {idShowListenButton, "ShowListenButton", GP, 0},
    {idStatus, "Status", G, 0},
    {idListen, "Listen", M, 1},
    {idEndListen, "EndListen", M, 0},
    {idSendActiveNetworkController, "SendActiveNetworkController", M, 1},
    {idTerminateConnections, "TerminateConnections", M, 0},
};

constexpr EventMember kEvents[] = {
    {1, "NetworkControlGranted", 2}, {2, "NetworkControlDenied", 2},
    {3, "NetworkControlEnded", 2},   {4, "RawNetworkMessage", 1},
    {5, "MessageFromController", 1}, {6, "SendProgress", 2},
    {7, "SendComplete", 0},          {8, "GetHelpMessageText", 1},
    {9, "GetStatusMessageText", 1},
};

const ClassInfo kInfo = {
    "corvane.NetworkControlServer",
    "{7766B237-F6F8-49F8-B018-2A9BD19BBEFE}",
    "_NetworkControlServer",
    "{E00B77F8-1C17-4074-B0A1-A8B00539966C}",
    "{28BB61AB-64CE-4046-8D2B-A3F7877771DD}", // __NetworkControlServer
    kMembers,
    kEvents,
};

const bool kRegistered = [] {
    RegisterControl<NetworkControlServer>(kInfo);
    return true;
}();

} // namespace

const ClassInfo& NetworkControlServer::Info() {
    (void)kRegistered;
    return kInfo;
}

HResult NetworkControlServer::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                                     Variant& result, ExceptionInfo* exception) {
    HResult check = CheckCall(kInfo, dispid, kind, args.size());
    if (check != S_OK) return check;
    const bool put = kind == DISPATCH_PROPERTYPUT;
    auto property = [&](auto get, auto set, auto convert) {
        return AccessProperty(*this, put, args, result, get, set, convert);
    };
    auto getter = [&](auto value) {
        result = value;
        return S_OK;
    };
    result = std::monostate{};
    switch (dispid) {
    case idStripLineFeeds:
        return property(&NetworkControlServer::StripLineFeeds,
                        &NetworkControlServer::SetStripLineFeeds, ToBoolean);
    case idCaption:
        return property(&NetworkControlServer::Caption, &NetworkControlServer::SetCaption, ToText);
    case idEndMessageCharacter:
        return property(&NetworkControlServer::EndMessageCharacter,
                        &NetworkControlServer::SetEndMessageCharacter, ToText);
    case idListenPort:
        return property(&NetworkControlServer::ListenPort, &NetworkControlServer::SetListenPort,
                        ToLong);
    case idNetworkController:
        return getter(NetworkController());
    case idNetworkControllerIP:
        return getter(NetworkControllerIP());
    case idNetworkControllerMode:
        return getter(static_cast<int32_t>(NetworkControllerMode()));
    case idShowBootButton:
        return property(&NetworkControlServer::ShowBootButton,
                        &NetworkControlServer::SetShowBootButton, ToBoolean);
    case idShowListenButton:
        return property(&NetworkControlServer::ShowListenButton,
                        &NetworkControlServer::SetShowListenButton, ToBoolean);
    case idStatus:
        return getter(Status());
    case idListen: {
        std::optional<int32_t> port = ToLong(args[0]);
        if (!port) return DISP_E_TYPEMISMATCH;
        int32_t p = *port;
        if (int32_t error = Listen(p); error != 0) {
            if (exception) *exception = {error, "Invalid property value"};
            return DISP_E_EXCEPTION;
        }
        args[0] = p;
        return S_OK;
    }
    case idEndListen:
        EndListen();
        return S_OK;
    case idSendActiveNetworkController: {
        std::optional<std::string> text = ToText(args[0]);
        if (!text) return DISP_E_TYPEMISMATCH;
        SendActiveNetworkController(*text);
        args[0] = *text;
        return S_OK;
    }
    case idTerminateConnections:
        TerminateConnections();
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
