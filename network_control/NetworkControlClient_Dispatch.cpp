// Identity, dispatch table and late-bound Invoke of NetworkControlClient.
#include "network_control/NetworkControlClient.h"

using namespace Platform::Com;

namespace {

enum ClientDispid : int32_t {
    idStatus = 0x68030000,
    idReleaseMode = 0x68030001,
    idRequestMode = 0x68030002,
    idNetworkMaster = 0x68030003,
    idNetworkMasterRemotePort = 0x68030004,
    idNetworkMasterIP = 0x68030005,
    idEndMessageCharacter = 0x68030006,
    idStripLineFeeds = 0x68030007,
    idCaption = 0x68030008,
    idConnectToNetworkController = 0x60030010,
    idDisconnectFromNetworkController = 0x60030011,
    idCloseNetConnection = 0x60030012,
    idSendMessageToNetwork = 0x60030013,
};

constexpr uint8_t M = DISPATCH_METHOD, G = DISPATCH_PROPERTYGET,
                  GP = DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT;

constexpr DispatchMember kMembers[] = {
    {idStatus, "Status", GP, 0},
    {idReleaseMode, "ReleaseMode", G, 0},
    {idRequestMode, "RequestMode", G, 0},
    {idNetworkMaster, "NetworkMaster", G, 0},
    {idNetworkMasterRemotePort, "NetworkMasterRemotePort", G, 0},
    {idNetworkMasterIP, "NetworkMasterIP", G, 0},
    {idEndMessageCharacter, "EndMessageCharacter", GP, 0},
    {idStripLineFeeds, "StripLineFeeds", GP, 0},
    {idCaption, "Caption", GP, 0},
    {idConnectToNetworkController, "ConnectToNetworkController", M, 5},
    {idDisconnectFromNetworkController, "DisconnectFromNetworkController", M, 0},
    {idCloseNetConnection, "CloseNetConnection", M, 0},
    {idSendMessageToNetwork, "SendMessageToNetwork", M, 1},
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

const ClassInfo kInfo = {
    "corvane.NetworkControlClient",
    "{56F2B0E7-B16D-4AB1-882F-52F9D97D9C8B}",
    "_NetworkControlClient",
    "{AD058926-4D54-4B03-BC0D-8325D4FC0273}",
    "{DE368EDD-C17D-43C0-9F63-6869E8071DB7}", // __NetworkControlClient
    kMembers,
    kEvents,
};

const bool kRegistered = [] {
    RegisterControl<NetworkControlClient>(kInfo);
    return true;
}();

} // namespace

const ClassInfo& NetworkControlClient::Info() {
    (void)kRegistered;
    return kInfo;
}

HResult NetworkControlClient::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                                     Variant& result, ExceptionInfo*) {
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
    case idStatus: {
        if (!put) return getter(static_cast<int32_t>(Status()));
        std::optional<int32_t> value = ToLong(args[0]);
        if (!value) return DISP_E_TYPEMISMATCH;
        SetStatus(static_cast<enNCCStatus>(*value));
        return S_OK;
    }
    case idReleaseMode:
        return getter(static_cast<int32_t>(ReleaseMode()));
    case idRequestMode:
        return getter(static_cast<int32_t>(RequestMode()));
    case idNetworkMaster:
        return getter(NetworkMaster());
    case idNetworkMasterRemotePort:
        return getter(NetworkMasterRemotePort());
    case idNetworkMasterIP:
        return getter(NetworkMasterIP());
    case idEndMessageCharacter:
        return property(&NetworkControlClient::EndMessageCharacter,
                        &NetworkControlClient::SetEndMessageCharacter, ToText);
    case idStripLineFeeds:
        return property(&NetworkControlClient::StripLineFeeds,
                        &NetworkControlClient::SetStripLineFeeds, ToBoolean);
    case idCaption:
        return property(&NetworkControlClient::Caption, &NetworkControlClient::SetCaption, ToText);
    case idConnectToNetworkController: {
        std::optional<std::string> address = ToText(args[0]), name = ToText(args[4]);
        std::optional<int32_t> port = ToLong(args[1]), request = ToLong(args[2]),
                               release = ToLong(args[3]);
        if (!address || !name || !port || !request || !release) return DISP_E_TYPEMISMATCH;
        auto req = static_cast<enQNetworkReqMode>(*request);
        auto rel = static_cast<enQNetworkRelMode>(*release);
        ConnectToNetworkController(*address, *port, req, rel, *name);
        return S_OK;
    }
    case idDisconnectFromNetworkController:
        DisconnectFromNetworkController();
        return S_OK;
    case idCloseNetConnection:
        CloseNetConnection();
        return S_OK;
    case idSendMessageToNetwork: {
        std::optional<std::string> text = ToText(args[0]);
        if (!text) return DISP_E_TYPEMISMATCH;
        SendMessageToNetwork(*text);
        return S_OK;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
