// Every dispatch identifier, name, kind and argument count of the network controls, as hosts and
// stored files know them.
#include "support/DispatchMembers.h"
#include "network_control/NetworkControlClient.h"
#include "network_control/NetworkControlServer.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

constexpr KnownMember kNetworkControlServer[] = {
    {"StripLineFeeds", 0x68030000, GP, 0},
    {"Caption", 0x68030001, GP, 0},
    {"EndMessageCharacter", 0x68030002, GP, 0},
    {"ListenPort", 0x68030003, GP, 0},
    {"NetworkController", 0x68030004, G, 0},
    {"NetworkControllerIP", 0x68030005, G, 0},
    {"NetworkControllerMode", 0x68030006, G, 0},
    {"ShowBootButton", 0x68030007, GP, 0},
    {"ShowListenButton", 0x68030008, GP, 0},
    {"Status", 0x68030009, G, 0},
    {"Listen", 0x60030010, M, 1},
    {"EndListen", 0x60030011, M, 0},
    {"SendActiveNetworkController", 0x60030012, M, 1},
    {"TerminateConnections", 0x60030013, M, 0},
};

constexpr KnownMember kNetworkControlClient[] = {
    {"Status", 0x68030000, GP, 0},
    {"ReleaseMode", 0x68030001, G, 0},
    {"RequestMode", 0x68030002, G, 0},
    {"NetworkMaster", 0x68030003, G, 0},
    {"NetworkMasterRemotePort", 0x68030004, G, 0},
    {"NetworkMasterIP", 0x68030005, G, 0},
    {"EndMessageCharacter", 0x68030006, GP, 0},
    {"StripLineFeeds", 0x68030007, GP, 0},
    {"Caption", 0x68030008, GP, 0},
    {"ConnectToNetworkController", 0x60030010, M, 5},
    {"DisconnectFromNetworkController", 0x60030011, M, 0},
    {"CloseNetConnection", 0x60030012, M, 0},
    {"SendMessageToNetwork", 0x60030013, M, 1},
};

} // namespace

TEST(DispatchMembers, ServerAndClientKeepTheirIdentifiers) {
    ExpectMembers(NetworkControlServer::Info(), kNetworkControlServer);
    ExpectMembers(NetworkControlClient::Info(), kNetworkControlClient);
}
