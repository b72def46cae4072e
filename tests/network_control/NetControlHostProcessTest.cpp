// The server as a host program uses it: netcontrol_host run as a separate process.
#include "network_control/LoopbackPeer.h"

#include <QProcess>
#include <gtest/gtest.h>

using TestSupport::PumpUntil;

TEST(NetControlHostProcess, PassesOnlyTheControllersLinesToItsHost) {
    QProcess host;
    host.start(NETCONTROL_HOST, {"--port", "0"});
    ASSERT_TRUE(host.waitForStarted(5000));
    QByteArray err, out;
    ASSERT_TRUE(PumpUntil(
        [&] {
            err += host.readAllStandardError();
            return err.contains('\n');
        },
        5000));
    ASSERT_TRUE(err.startsWith("LISTENING "));
    const uint16_t port = static_cast<uint16_t>(err.mid(10).trimmed().toUInt());

    TestSupport::LoopbackPeer holder, other;
    ASSERT_TRUE(holder.Connect(port));
    ASSERT_TRUE(other.Connect(port));
    other.SendLine("NOT YOURS");
    holder.SendLine("NET_CONTROL_LOGON STUDIO 0,0");
    ASSERT_TRUE(holder.WaitFor("NET_CONTROL_START"));
    holder.Send("ONE\r\nTW");
    holder.Send("O \xE9\r");
    other.SendLine("NET_CONTROL_LOGON OTHER 0,0");
    ASSERT_TRUE(other.WaitFor("NET_CONTROL_FAIL STUDIO 0"));
    ASSERT_TRUE(PumpUntil(
        [&] {
            out += host.readAllStandardOutput();
            return out.count('\n') >= 2;
        },
        5000));
    EXPECT_EQ(out.toStdString(), "ONE\nTWO \xE9\n"); // 8-bit bytes pass unchanged
    host.kill();
    host.waitForFinished(5000);
}
