// WAV files through the file player's open path and a few buffers of play, on the null device.
#include "fuzz/FuzzApplication.h"
#include "platform/MessageBox.h"
#include "player_controls/FlennPlayer.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

FlennPlayer& Player() {
    static QTemporaryDir dir;
    static QApplication* app = [] {
        setenv("VNTZEL_WINDIR", dir.path().toStdString().c_str(), 1);
        setenv("VNTZEL_REGISTRY", (dir.path() + "/hive.txt").toStdString().c_str(), 1);
        setenv("VNTZEL_WAVE_OUT_DEVICES", "null", 1);
        setenv("VNTZEL_WAVE_IN_DEVICES", "null", 1);
        Platform::SetMsgBoxHook(
            [](const Platform::ShownBox& box) { return Platform::DefaultAnswer(box.buttons); });
        return &FuzzSupport::Application<QApplication>();
    }();
    (void)app;
    static FlennPlayer* player = [] {
        auto* p = new FlennPlayer;
        p->InitProperties();
        p->SetReportErrors(false);
        return p;
    }();
    return *player;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FlennPlayer& player = Player();
    static std::string path =
        QDir::tempPath().toStdString() + "/vntzel-fuzz-" + std::to_string(getpid()) + ".wav";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (player.OpenAudio(path) == 0) {
        player.PlayAudio();
        for (int i = 0; i < 4; ++i) {
            QCoreApplication::sendPostedEvents();
            player.PositionTick();
        }
        player.SeekPercentage(50, true);
        player.CloseAudio();
    }
    return 0;
}
