#include "support/ScratchRegistry.h"

#include "platform/RegistryStore.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Platform;

namespace {

const std::string kEngineKey = "SOFTWARE\\OrburyCo\\FlennStream";

int32_t SetDword(HKEY key, const std::string& name, uint32_t n) {
    uint8_t bytes[4];
    std::memcpy(bytes, &n, 4);
    return RegSetValueEx(key, name, REG_DWORD, bytes, 4);
}

int32_t SetText(HKEY key, const std::string& name, const std::string& text) {
    return RegSetValueEx(key, name, REG_SZ, reinterpret_cast<const uint8_t*>(text.data()),
                         static_cast<uint32_t>(text.size()));
}

// The value's type and bytes, or the failing result.
int32_t Read(HKEY key, const std::string& name, uint32_t& type, std::string& bytes) {
    uint32_t size = 0;
    int32_t result = RegQueryValueEx(key, name, &type, nullptr, &size);
    if (result != ERROR_SUCCESS) return result;
    bytes.assign(size, '\0');
    uint8_t spare = 0;
    uint8_t* data = size ? reinterpret_cast<uint8_t*>(bytes.data()) : &spare;
    return RegQueryValueEx(key, name, &type, data, &size);
}

} // namespace

TEST(RegistryStore, CreateOpenAndClose) {
    TestSupport::ScratchRegistry registry;
    HKEY key = 0;
    EXPECT_EQ(RegOpenKey(HKEY_LOCAL_MACHINE, kEngineKey, &key), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, kEngineKey, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(0), ERROR_INVALID_HANDLE);

    // Names match ignoring case; the keys on the way exist too; roots are separate.
    ASSERT_EQ(RegOpenKey(HKEY_LOCAL_MACHINE, "software\\orburyco\\FLENNSTREAM", &key),
              ERROR_SUCCESS);
    HKEY parent = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\OrburyCo", 0, KEY_ALL_ACCESS, &parent),
              ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, kEngineKey, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKey(HKEY_LOCAL_MACHINE, "Software\\Orbury", &key), ERROR_FILE_NOT_FOUND);

    // A subkey of an open key.
    HKEY child = 0;
    ASSERT_EQ(RegOpenKey(parent, "FlennStream", &child), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(child, "FadeMode", 2), ERROR_SUCCESS);
    HKEY again = 0;
    ASSERT_EQ(RegOpenKey(HKEY_LOCAL_MACHINE, kEngineKey, &again), ERROR_SUCCESS);
    uint32_t type = 0;
    std::string bytes;
    EXPECT_EQ(Read(again, "fademode", type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(bytes, std::string("\2\0\0\0", 4));

    // No subkey: the plain open gives the key itself, the open with access a new handle.
    HKEY same = 0;
    ASSERT_EQ(RegOpenKey(parent, "", &same), ERROR_SUCCESS);
    EXPECT_EQ(same, parent);
    HKEY fresh = 0;
    ASSERT_EQ(RegOpenKeyEx(parent, "", 0, KEY_READ, &fresh), ERROR_SUCCESS);
    EXPECT_NE(fresh, parent);
    EXPECT_EQ(RegCloseKey(fresh), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "", &same), ERROR_SUCCESS);
    EXPECT_EQ(same, HKEY_CURRENT_USER);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);

    EXPECT_EQ(RegOpenKey(0x12345, "x", &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, "Bad\\Name[1]", &key), ERROR_INVALID_PARAMETER);
    for (HKEY open : {key, parent, child, again})
        RegCloseKey(open);
}

TEST(RegistryStore, QuerySizesTypesAndShortBuffers) {
    TestSupport::ScratchRegistry registry;
    ScopedRegKey key;
    ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "Software\\Test", key.Out()), ERROR_SUCCESS);
    ASSERT_EQ(SetText(key.Get(), "Name", "hello"), ERROR_SUCCESS);

    uint32_t type = 0, size = 0;
    ASSERT_EQ(RegQueryValueEx(key.Get(), "NAME", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 5u);

    uint8_t small[3] = {'z', 'z', 'z'};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueEx(key.Get(), "Name", nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);

    uint8_t buffer[8] = {};
    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueEx(key.Get(), "Name", nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 5), "hello");

    EXPECT_EQ(RegQueryValueEx(key.Get(), "Missing", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueEx(key.Get(), "Name", nullptr, buffer, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueEx(0x4321, "Name", &type, nullptr, &size), ERROR_INVALID_HANDLE);
}

TEST(RegistryStore, AnyBytesSurviveTheHiveFile) {
    TestSupport::ScratchRegistry registry;
    ScopedRegKey key;
    ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "Software\\Bytes", key.Out()), ERROR_SUCCESS);
    const std::string text("quote\" back\\ cr\r lf\n nul\0 high\xE9 end", 35);
    const std::string binary("\0\1\xFF\n=,[]", 8);
    ASSERT_EQ(SetText(key.Get(), "Text", text), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key.Get(), "Binary", REG_BINARY,
                            reinterpret_cast<const uint8_t*>(binary.data()), 8),
              ERROR_SUCCESS);
    ASSERT_EQ(SetText(key.Get(), "", "default value"), ERROR_SUCCESS);
    ASSERT_EQ(SetText(key.Get(), "odd \"name\"\n", "x"), ERROR_SUCCESS);
    ASSERT_EQ(
        RegSetValueEx(key.Get(), "Short", REG_DWORD, reinterpret_cast<const uint8_t*>("\7"), 1),
        ERROR_SUCCESS);

    uint32_t type = 0;
    std::string bytes;
    ASSERT_EQ(Read(key.Get(), "Text", type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(bytes, text);
    ASSERT_EQ(Read(key.Get(), "binary", type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(bytes, binary);
    ASSERT_EQ(Read(key.Get(), "", type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, "default value");
    ASSERT_EQ(Read(key.Get(), "ODD \"NAME\"\n", type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, "x");
    ASSERT_EQ(Read(key.Get(), "Short", type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(bytes, "\7");

    // The hive stays one value per line, readable by people.
    std::string hive = registry.HiveText();
    EXPECT_NE(hive.find("\n[HKEY_CURRENT_USER\\Software\\Bytes]\n"), std::string::npos);
    EXPECT_NE(hive.find("\n\"Binary\"=hex(3):00,01,ff,0a,3d,2c,5b,5d\n"), std::string::npos);
    EXPECT_NE(hive.find("\n@=\"default value\"\n"), std::string::npos);
}

TEST(RegistryStore, SetReplacesAndDeleteRemoves) {
    TestSupport::ScratchRegistry registry;
    ScopedRegKey key;
    ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, kEngineKey, key.Out()), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(key.Get(), "FadeMode", 2), ERROR_SUCCESS);
    ASSERT_EQ(SetText(key.Get(), "FADEMODE", "now text"), ERROR_SUCCESS);
    uint32_t type = 0;
    std::string bytes;
    ASSERT_EQ(Read(key.Get(), "FadeMode", type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(bytes, "now text");
    // The first spelling of the name stays.
    EXPECT_NE(registry.HiveText().find("\"FadeMode\"=\"now text\""), std::string::npos);

    EXPECT_EQ(RegDeleteValue(key.Get(), "fademode"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(key.Get(), "FadeMode"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Read(key.Get(), "FadeMode", type, bytes), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry.HiveText().find("FadeMode"), std::string::npos);
}

TEST(RegistryStore, ReadOnlyHandleCannotChangeValues) {
    TestSupport::ScratchRegistry registry;
    {
        ScopedRegKey key;
        ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "Software\\RO", key.Out()), ERROR_SUCCESS);
        ASSERT_EQ(SetDword(key.Get(), "V", 1), ERROR_SUCCESS);
    }
    ScopedRegKey key;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\RO", 0, KEY_READ, key.Out()),
              ERROR_SUCCESS);
    EXPECT_EQ(SetDword(key.Get(), "V", 2), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValue(key.Get(), "V"), ERROR_ACCESS_DENIED);
    uint32_t type = 0;
    std::string bytes;
    ASSERT_EQ(Read(key.Get(), "V", type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, std::string("\1\0\0\0", 4));
}

TEST(RegistryStore, ReadsHandEditedHive) {
    TestSupport::ScratchRegistry registry;
    TestSupport::WriteBytes(registry.HivePath(),
                            "; edited by hand\r\n"
                            "[hkey_local_machine\\Software\\OrburyCo\\Vantor v2]\r\n"
                            "\"CheckedForVCACHE\"=dword:00000002\r\n"
                            "\"Data\"=\"D:\\\\Vantor\"\r\n"
                            "garbage line\r\n");
    ScopedRegKey key;
    ASSERT_EQ(RegOpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORBURYCO\\VANTOR V2", key.Out()),
              ERROR_SUCCESS);
    uint32_t type = 0;
    std::string bytes;
    ASSERT_EQ(Read(key.Get(), "checkedforvcache", type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, std::string("\2\0\0\0", 4));
    ASSERT_EQ(Read(key.Get(), "Data", type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, "D:\\Vantor");
}

// A second program sharing the hive: a forked child writes while this process holds the key
// open; each side sees the other's change at its next call.
TEST(RegistryStore, SecondProcessSeesWrites) {
    TestSupport::ScratchRegistry registry;
    ScopedRegKey key;
    ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, kEngineKey, key.Out()), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(key.Get(), "FromParent", 1), ERROR_SUCCESS);

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        HKEY own = 0;
        int ok = RegOpenKey(HKEY_LOCAL_MACHINE, kEngineKey, &own) == ERROR_SUCCESS;
        uint32_t size = 0;
        ok = ok && RegQueryValueEx(own, "FromParent", nullptr, nullptr, &size) == ERROR_SUCCESS;
        ok = ok && SetDword(own, "FromChild", 7) == ERROR_SUCCESS;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    uint32_t type = 0;
    std::string bytes;
    ASSERT_EQ(Read(key.Get(), "FromChild", type, bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, std::string("\7\0\0\0", 4));
    ASSERT_EQ(Read(key.Get(), "FromParent", type, bytes), ERROR_SUCCESS);
}

namespace {

// Sets or clears an environment variable for a scope.
class EnvOverride {
public:
    EnvOverride(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (old) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvOverride() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

} // namespace

TEST(RegistryStore, HivePathFollowsEnvironment) {
    TestSupport::ScratchDir windows;
    EnvOverride windir("VNTZEL_WINDIR", windows.Path().c_str());
    {
        TestSupport::ScratchRegistry registry;
        EXPECT_EQ(RegistryHivePath(), registry.HivePath());
    }
    EnvOverride noHive("VNTZEL_REGISTRY", nullptr);
    EXPECT_EQ(RegistryHivePath(), windows.File("registry.hive"));
}
