// Identity and dispatch table of NetworkControlServer.
#include "network_control/NetworkControlServer.h"

#include "platform/ComControl.h"

using namespace Platform::Com;

namespace {

using S = NetworkControlServer;

// A port the socket refuses raises its error number.
HResult Listen(S& server, Call& call) {
    std::optional<int32_t> port = ToLong(call.args[0]);
    if (!port) return DISP_E_TYPEMISMATCH;
    int32_t p = *port;
    if (int32_t error = server.Listen(p); error != 0)
        return call.Raise(error, "Invalid property value");
    call.args[0] = p;
    return S_OK;
}

HResult SendActiveNetworkController(S& server, Call& call) {
    std::optional<std::string> text = ToText(call.args[0]);
    if (!text) return DISP_E_TYPEMISMATCH;
    server.SendActiveNetworkController(*text);
    call.args[0] = *text;
    return S_OK;
}

constexpr Member<S> kMembers[] = {
    {0x68030000, "StripLineFeeds", kGetPut, 0,
     Property<&S::StripLineFeeds, &S::SetStripLineFeeds, ToBoolean>},
    {0x68030001, "Caption", kGetPut, 0, Property<&S::Caption, &S::SetCaption, ToText>},
    {0x68030002, "EndMessageCharacter", kGetPut, 0,
     Property<&S::EndMessageCharacter, &S::SetEndMessageCharacter, ToText>},
    {0x68030003, "ListenPort", kGetPut, 0, Property<&S::ListenPort, &S::SetListenPort, ToLong>},
    {0x68030004, "NetworkController", kGet, 0, Result<&S::NetworkController>},
    {0x68030005, "NetworkControllerIP", kGet, 0, Result<&S::NetworkControllerIP>},
    {0x68030006, "NetworkControllerMode", kGet, 0, Result<&S::NetworkControllerMode>},
    {0x68030007, "ShowBootButton", kGetPut, 0,
     Property<&S::ShowBootButton, &S::SetShowBootButton, ToBoolean>},
    {0x68030008, "ShowListenButton", kGetPut, 0,
     Property<&S::ShowListenButton, &S::SetShowListenButton, ToBoolean>},
    {0x68030009, "Status", kGet, 0, Result<&S::Status>},
    {0x60030010, "Listen", kMethod, 1, Listen},
    {0x60030011, "EndListen", kMethod, 0, Result<&S::EndListen>},
    {0x60030012, "SendActiveNetworkController", kMethod, 1, SendActiveNetworkController},
    {0x60030013, "TerminateConnections", kMethod, 0, Result<&S::TerminateConnections>},
};

constexpr EventMember kEvents[] = {
    {1, "NetworkControlGranted", 2}, {2, "NetworkControlDenied", 2},
    {3, "NetworkControlEnded", 2},   {4, "RawNetworkMessage", 1},
    {5, "MessageFromController", 1}, {6, "SendProgress", 2},
    {7, "SendComplete", 0},          {8, "GetHelpMessageText", 1},
    {9, "GetStatusMessageText", 1},
};

const ControlClass kClass({"corvane.NetworkControlServer",
                           "{7766B237-F6F8-49F8-B018-2A9BD19BBEFE}",
                           "_NetworkControlServer",
                           "{E00B77F8-1C17-4074-B0A1-A8B00539966C}",
                           "{28BB61AB-64CE-4046-8D2B-A3F7877771DD}", // __NetworkControlServer
                           {},
                           kEvents},
                          kMembers);

} // namespace

const ClassInfo& NetworkControlServer::Info() {
    return kClass.Info();
}

HResult NetworkControlServer::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                                     Variant& result, ExceptionInfo* exception) {
    return kClass.Invoke(*this, dispid, kind, args, result, exception);
}
