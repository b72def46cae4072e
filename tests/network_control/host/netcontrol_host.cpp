// A small host of the network control server: listens on --port N and writes each line of the
// client holding control to standard output. Once listening it writes "LISTENING port" to
// standard error (the port chosen when N is 0).
#include "network_control/NetworkControlServer.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int32_t port = -1;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--port") == 0) port = std::atoi(argv[i + 1]);
    if (port < 0) {
        std::fprintf(stderr, "usage: netcontrol_host --port N\n");
        return 2;
    }
    NetworkControlServer server;
    server.InitProperties();
    QObject::connect(&server, &NetworkControlServer::MessageFromController,
                     [](const std::string& line) {
                         std::fwrite(line.data(), 1, line.size(), stdout);
                         std::fputc('\n', stdout);
                         std::fflush(stdout);
                     });
    server.Listen(port);
    if (!(server.Status() & ncsListening)) return 1;
    std::fprintf(stderr, "LISTENING %u\n", server.ServerPort());
    std::fflush(stderr);
    return app.exec();
}
