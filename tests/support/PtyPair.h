#pragma once
// A pseudo-terminal pair standing in for a serial line: the program opens the slave side, the
// test writes and reads the master side.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <fcntl.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace TestSupport {

struct PtyPair {
    int master = -1, slave = -1;
    std::string slavePath;
    PtyPair() {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            slavePath = name;
            termios raw{};
            tcgetattr(slave, &raw);
            cfmakeraw(&raw);
            tcsetattr(slave, TCSANOW, &raw);
            fcntl(master, F_SETFL, O_NONBLOCK);
        }
    }
    ~PtyPair() {
        if (master >= 0) close(master);
        if (slave >= 0) close(slave);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    std::string ReadMaster(size_t want) const {
        std::string got;
        QElapsedTimer timer;
        timer.start();
        while (got.size() < want && timer.elapsed() < 3000) {
            char buffer[4096];
            ssize_t n = read(master, buffer, sizeof buffer);
            if (n > 0) got.append(buffer, static_cast<size_t>(n));
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return got;
    }
    // Writes every byte, letting the program read while the line is full.
    bool WriteMaster(const std::string& bytes) const {
        size_t done = 0;
        QElapsedTimer timer;
        timer.start();
        while (done < bytes.size() && timer.elapsed() < 10000) {
            ssize_t n = write(master, bytes.data() + done, bytes.size() - done);
            if (n > 0) done += static_cast<size_t>(n);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return done == bytes.size();
    }
};

} // namespace TestSupport
