// Profile (INI) files and the registry hive file: the input is the file's bytes.
#include "platform/Profile.h"
#include "platform/RegistryStore.h"

#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

struct Setup {
    Setup() {
        setenv("VNTZEL_REGISTRY", (dir.path() + "/hive.txt").toStdString().c_str(), 1);
        setenv("VNTZEL_WINDIR", dir.path().toStdString().c_str(), 1);
    }
    QTemporaryDir dir;
};

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void Profile(const std::string& path) {
    using namespace Platform;
    for (const char* section : {"General", "Hardware1", "", "A"}) {
        GetPrivateProfileString(section, "Key", "def", path, 255);
        GetPrivateProfileInt(section, "Number", 7, path);
        GetPrivateProfileSection(section, path, 64);
    }
    WritePrivateProfileString("General", std::string("Key"), std::string("value"), path);
    WritePrivateProfileString("A", std::string("New"), std::nullopt, path);
    WritePrivateProfileSection("B", std::vector<std::string>{"x=1"}, path);
    WritePrivateProfileString("Hardware1", std::nullopt, std::nullopt, path);
}

void Registry() {
    using namespace Platform;
    HKEY key = 0;
    if (RegOpenKey(HKEY_LOCAL_MACHINE, "Software\\Vantor\\VNTZEL", &key) == 0) {
        uint8_t buffer[256];
        uint32_t type = 0, length = sizeof buffer;
        RegQueryValueEx(key, "Value", &type, buffer, &length);
        RegSetValueEx(key, "Other", REG_SZ, reinterpret_cast<const uint8_t*>("x"), 2);
        RegDeleteValue(key, "Value");
        RegCloseKey(key);
    }
    if (RegCreateKey(HKEY_CURRENT_USER, "Software\\Test", &key) == 0) RegCloseKey(key);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string ini = (setup.dir.path() + "/fuzz.ini").toStdString();
    Write(ini, bytes);
    Profile(ini);
    Write(Platform::RegistryHivePath(), bytes);
    Registry();
    return 0;
}
