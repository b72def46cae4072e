// Late-bound calls, persisted properties, the status strips and the fixed-port offset.
#include "network_control/NetworkControlClient.h"
#include "network_control/NetworkControlServer.h"
#include "network_control/NetworkStatusStrip.h"
#include "platform/Ports.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace Platform::Com;

namespace {

Variant Call(Dispatchable& object, const char* name, uint8_t kind, std::vector<Variant> args = {}) {
    const DispatchMember* member = FindMemberByName(object.Class(), name);
    EXPECT_NE(member, nullptr) << name;
    Variant result;
    EXPECT_EQ(object.Invoke(member->dispid, kind, args, result), S_OK) << name;
    return result;
}

} // namespace

TEST(NetControlDispatch, ControlsAnswerByDispatchAndKeepTheirProperties) {
    TestSupport::ScriptedBoxes boxes;
    auto server = CreateObject("corvane.NetworkControlServer");
    auto client = CreateObject(NetworkControlClient::Info().classId);
    ASSERT_TRUE(server && client);
    EXPECT_EQ(std::get<std::string>(Call(*server, "Caption", DISPATCH_PROPERTYGET)),
              "Network Server Status:");
    EXPECT_EQ(std::get<std::string>(Call(*client, "Caption", DISPATCH_PROPERTYGET)),
              "Network Client Status:");
    Call(*server, "Listen", DISPATCH_METHOD, {int32_t{0}});
    EXPECT_EQ(std::get<int32_t>(Call(*server, "Status", DISPATCH_PROPERTYGET)), ncsListening);
    // A port the socket refuses is an error to the caller, before any listening.
    std::vector<Variant> bad{int32_t{70000}};
    Variant result;
    ExceptionInfo error;
    EXPECT_EQ(server->Invoke(FindMemberByName(server->Class(), "Listen")->dispid, DISPATCH_METHOD,
                             bad, result, &error),
              DISP_E_EXCEPTION);
    EXPECT_EQ(error.number, 380);
    Call(*server, "EndListen", DISPATCH_METHOD);
    EXPECT_EQ(std::get<int32_t>(Call(*server, "Status", DISPATCH_PROPERTYGET)), ncsOff);
    Call(*client, "Status", DISPATCH_PROPERTYPUT, {int32_t{nccConnected}});
    EXPECT_EQ(std::get<int32_t>(Call(*client, "Status", DISPATCH_PROPERTYGET)), nccConnected);
    // A listen that fails shows its box and leaves the server off.
    NetworkControlServer first, second;
    int32_t port = 0;
    first.Listen(port);
    port = first.ServerPort();
    second.Listen(port);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].prompt.rfind("There was a problem starting the Network Control "
                                            "Server.\nThe error was ",
                                            0),
              0u);
    EXPECT_NE(boxes.Shown()[0].prompt.find("(10048)"), std::string::npos);
    EXPECT_EQ(second.Status(), ncsOff);

    // Stored properties go out and back with their defaults left out.
    auto& typed = static_cast<NetworkControlServer&>(*server);
    typed.SetCaption("Playout:");
    int32_t listenPort = 6969;
    typed.SetListenPort(listenPort);
    PropertyBag bag;
    typed.WriteProperties(bag);
    EXPECT_EQ(bag.Size(), 2u);
    NetworkControlServer restored;
    restored.ReadProperties(bag);
    EXPECT_EQ(restored.Caption(), "Playout:");
    EXPECT_EQ(restored.ListenPort(), 6969);

    // Each Show property governs the other button.
    int32_t anyPort = 0;
    restored.SetListenPort(anyPort);
    NetworkServerStrip strip(restored);
    bool hide = false;
    restored.SetShowListenButton(hide);
    auto buttons = strip.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons[0]->text(), "Listen");
    EXPECT_FALSE(buttons[0]->isHidden());
    EXPECT_TRUE(buttons[1]->isHidden()); // Boot
    buttons[0]->click();
    EXPECT_EQ(buttons[0]->text(), "Deafen");
    EXPECT_EQ(strip.findChildren<QLabel*>()[1]->text(), "Listening");

    qputenv("VNTZEL_PORT_OFFSET", "100");
    EXPECT_EQ(Platform::FixedPort(Platform::PlayoutControlPort), 7069);
    qunsetenv("VNTZEL_PORT_OFFSET");
    EXPECT_EQ(Platform::FixedPort(Platform::SlavePort), 6930);
}
