// Identity and dispatch table of NetworkControlClient.
#include "network_control/NetworkControlClient.h"

#include "platform/ComControl.h"

using namespace Platform::Com;

namespace {

using C = NetworkControlClient;

HResult Status(C& client, Call& call) {
    if (!call.Put()) return Result<&C::Status>(client, call);
    std::optional<int32_t> value = ToLong(call.args[0]);
    if (!value) return DISP_E_TYPEMISMATCH;
    client.SetStatus(static_cast<enNCCStatus>(*value));
    return S_OK;
}

HResult ConnectToNetworkController(C& client, Call& call) {
    std::vector<Variant>& args = call.args;
    std::optional<std::string> address = ToText(args[0]), name = ToText(args[4]);
    std::optional<int32_t> port = ToLong(args[1]), request = ToLong(args[2]),
                           release = ToLong(args[3]);
    if (!address || !name || !port || !request || !release) return DISP_E_TYPEMISMATCH;
    auto req = static_cast<enQNetworkReqMode>(*request);
    auto rel = static_cast<enQNetworkRelMode>(*release);
    client.ConnectToNetworkController(*address, *port, req, rel, *name);
    return S_OK;
}

HResult SendMessageToNetwork(C& client, Call& call) {
    std::optional<std::string> text = ToText(call.args[0]);
    if (!text) return DISP_E_TYPEMISMATCH;
    client.SendMessageToNetwork(*text);
    return S_OK;
}

constexpr Member<C> kMembers[] = {
    {0x68030000, "Status", kGetPut, 0, Status},
    {0x68030001, "ReleaseMode", kGet, 0, Result<&C::ReleaseMode>},
    {0x68030002, "RequestMode", kGet, 0, Result<&C::RequestMode>},
    {0x68030003, "NetworkMaster", kGet, 0, Result<&C::NetworkMaster>},
    {0x68030004, "NetworkMasterRemotePort", kGet, 0, Result<&C::NetworkMasterRemotePort>},
    {0x68030005, "NetworkMasterIP", kGet, 0, Result<&C::NetworkMasterIP>},
    {0x68030006, "EndMessageCharacter", kGetPut, 0,
     Property<&C::EndMessageCharacter, &C::SetEndMessageCharacter, ToText>},
    {0x68030007, "StripLineFeeds", kGetPut, 0,
     Property<&C::StripLineFeeds, &C::SetStripLineFeeds, ToBoolean>},
    {0x68030008, "Caption", kGetPut, 0, Property<&C::Caption, &C::SetCaption, ToText>},
    {0x60030010, "ConnectToNetworkController", kMethod, 5, ConnectToNetworkController},
    {0x60030011, "DisconnectFromNetworkController", kMethod, 0,
     Result<&C::DisconnectFromNetworkController>},
    {0x60030012, "CloseNetConnection", kMethod, 0, Result<&C::CloseNetConnection>},
    {0x60030013, "SendMessageToNetwork", kMethod, 1, SendMessageToNetwork},
};

constexpr EventMember kEvents[] = {
    {1, "ConnectingToNetworkMaster", 0},
    {2, "ConnectedToNetworkMaster", 0},
    {3, "TakingNetworkControl", 0},
    {4, "NetworkControlTaken", 0},
    {5, "NetworkControlFail", 1},
    {6, "ReleasingNetworkControl", 0},
    {7, "NetworkControlEnded", 1},
    {8, "DisconnectedFromNetworkMaster", 0},
    {9, "RawNetworkMessage", 1},
    {10, "message", 1},
    {11, "SendProgress", 2},
    {12, "SendComplete", 0},
};

const ControlClass kClass({"corvane.NetworkControlClient",
                           "{56F2B0E7-B16D-4AB1-882F-52F9D97D9C8B}",
                           "_NetworkControlClient",
                           "{AD058926-4D54-4B03-BC0D-8325D4FC0273}",
                           "{DE368EDD-C17D-43C0-9F63-6869E8071DB7}", // __NetworkControlClient
                           {},
                           kEvents},
                          kMembers);

} // namespace

const ClassInfo& NetworkControlClient::Info() {
    return kClass.Info();
}

HResult NetworkControlClient::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                                     Variant& result, ExceptionInfo* exception) {
    return kClass.Invoke(*this, dispid, kind, args, result, exception);
}
