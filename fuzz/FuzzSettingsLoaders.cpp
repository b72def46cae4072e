// The settings loaders: the input is the main settings file.
#include "carts/AudioSettingsLoader.h"
#include "core/MainSettings.h"
#include "core/SerialSettings.h"
#include "fuzz/FuzzApplication.h"
#include "hardware/ZEL_Specific_Hardware.h"
#include "main_window/ProgramContext.h"
#include "main_window/SerialPorts.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

struct Setup {
    Setup() {
        app = &FuzzSupport::Application<QCoreApplication>();
        setenv("VNTZEL_WINDIR", dir.path().toStdString().c_str(), 1);
        setenv("VNTZEL_REGISTRY", (dir.path() + "/hive.txt").toStdString().c_str(), 1);
    }
    QCoreApplication* app;
    QTemporaryDir dir;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    const std::string ini = (setup.dir.path() + "/VNTZEL.INI").toStdString();
    std::ofstream(ini, std::ios::binary | std::ios::trunc)
        << std::string(reinterpret_cast<const char*>(data), size);
    ProgramContext context;
    ContextScope scope(context);
    MainSettings::LoadMainSettings();
    MainSettings::LoadSplitSettings(ini, 1);
    MainWindow::LoadSerialSettings(ini);
    SerialSettings::LoadCommandCodes(ini);
    ZEL_Specific::LoadHardwareSettings(ini);
    AudioSettings::LoadAudioSettings(ini, "Software\\Vantor\\VNTZEL");
    return 0;
}
