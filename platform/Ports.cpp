#include "platform/Ports.h"

#include <QByteArray>
#include <QtGlobal>

namespace Platform {

int32_t FixedPort(int32_t port) {
    bool ok = false;
    int offset = qEnvironmentVariableIntValue("VNTZEL_PORT_OFFSET", &ok);
    return ok ? port + offset : port;
}

} // namespace Platform
