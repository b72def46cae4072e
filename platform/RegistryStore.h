#pragma once
// The registry as a file-backed hive with the Windows registry call semantics: handles,
// result codes, case-insensitive key and value names, typed values of any bytes.
// The hive is a text file, $VNTZEL_REGISTRY when set, else "registry.hive" in the Windows
// folder. Every call reads it afresh and every change is written at once, so two programs
// sharing the hive see each other's writes.
#include <cstddef>
#include <cstdint>
#include <string>

namespace Platform {

using HKEY = uint32_t;

inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

inline constexpr int32_t ERROR_SUCCESS = 0;
inline constexpr int32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr int32_t ERROR_ACCESS_DENIED = 5;
inline constexpr int32_t ERROR_INVALID_HANDLE = 6;
inline constexpr int32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr int32_t ERROR_MORE_DATA = 234;
inline constexpr int32_t ERROR_KEY_DELETED = 1018;
inline constexpr int32_t ERROR_REGISTRY_IO_FAILED = 1016;

inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;

inline constexpr uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr uint32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr uint32_t KEY_READ = 0x20019;
inline constexpr uint32_t KEY_WRITE = 0x20006;
inline constexpr uint32_t KEY_ALL_ACCESS = 0xF003F;

// The hive file in use.
std::string RegistryHivePath();

// Opens hKey\subKey (hKey a root or an open key; subKey "" gives hKey itself, not a new
// handle). The plain open grants full access when the hive can be written, else read access.
int32_t RegOpenKey(HKEY hKey, const std::string& subKey, HKEY* result);
// Opens with the access asked for: ERROR_ACCESS_DENIED when it asks to change a hive that
// cannot be written. subKey "" gives a new handle to hKey (a root stays itself). options is
// unused (0).
int32_t RegOpenKeyEx(HKEY hKey, const std::string& subKey, uint32_t options, uint32_t samDesired,
                     HKEY* result);
// Opens hKey\subKey, making every missing key on the way.
int32_t RegCreateKey(HKEY hKey, const std::string& subKey, HKEY* result);
int32_t RegCloseKey(HKEY hKey);

// With data null: the value's size (and type) only. With data: copies the value when
// *dataSize is large enough, else ERROR_MORE_DATA with the size needed in *dataSize.
// ERROR_FILE_NOT_FOUND for a missing value. type and dataSize may be null when not wanted
// (dataSize is required with data).
int32_t RegQueryValueEx(HKEY hKey, const std::string& valueName, uint32_t* type, uint8_t* data,
                        uint32_t* dataSize);
int32_t RegSetValueEx(HKEY hKey, const std::string& valueName, uint32_t type, const uint8_t* data,
                      uint32_t dataSize);
int32_t RegDeleteValue(HKEY hKey, const std::string& valueName);

// How many keys this process holds open (to check that callers close what they open).
size_t RegOpenHandleCount();

// Closes an open key when it goes out of scope.
class ScopedRegKey {
public:
    ScopedRegKey() = default;
    ~ScopedRegKey() { Close(); }
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;

    HKEY* Out() {
        Close();
        return &key_;
    }
    HKEY Get() const { return key_; }
    void Close() {
        if (key_ != 0) RegCloseKey(key_);
        key_ = 0;
    }

private:
    HKEY key_ = 0;
};

} // namespace Platform
