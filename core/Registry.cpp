#include "core/Registry.h"

#include <cstring>
#include <vector>

namespace Registry {

using namespace Platform;

int32_t QueryStringValue(HKEY hKey, const std::string& ValueName, std::string& Value) {
    uint32_t type = REG_NONE;
    uint32_t size = 0;
    int32_t result = RegQueryValueEx(hKey, ValueName, &type, nullptr, &size);
    if (result != ERROR_SUCCESS || type != REG_SZ) return result;
    std::string buffer(size, ' ');
    uint8_t spare = 0;
    uint8_t* data = size > 0 ? reinterpret_cast<uint8_t*>(buffer.data()) : &spare;
    result = RegQueryValueEx(hKey, ValueName, nullptr, data, &size);
    if (result == ERROR_SUCCESS) Value = StripAtNull(buffer, false);
    return result;
}

std::string GetRegString(HKEY Root, const std::string& KeyPath, const std::string& ValueName,
                         const std::string& Default) {
    ScopedRegKey key;
    if (RegOpenKey(Root, KeyPath, key.Out()) != ERROR_SUCCESS) return Default;
    std::string value;
    if (QueryStringValue(key.Get(), ValueName, value) != ERROR_SUCCESS) return Default;
    return value;
}

std::string GetRegStringNonEmpty(HKEY Root, const std::string& KeyPath,
                                 const std::string& ValueName, const std::string& Default) {
    std::string value = GetRegString(Root, KeyPath, ValueName, "");
    return value.empty() ? Default : value;
}

int32_t GetRegLong(HKEY Root, const std::string& KeyPath, const std::string& ValueName,
                   int32_t Default) {
    ScopedRegKey key;
    if (RegOpenKey(Root, KeyPath, key.Out()) != ERROR_SUCCESS) return Default;
    uint8_t bytes[4] = {0, 0, 0, 0};
    uint32_t size = sizeof bytes;
    uint32_t type = REG_NONE;
    if (RegQueryValueEx(key.Get(), ValueName, &type, bytes, &size) != ERROR_SUCCESS) return Default;
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
        number = number << 8 | bytes[i];
    return static_cast<int32_t>(number);
}

std::string StripAtNull(const std::string& Text, bool FromEnd) {
    size_t p = FromEnd ? Text.rfind('\0') : Text.find('\0');
    return p == std::string::npos ? Text : Text.substr(0, p);
}

namespace {

// Stores the value when it differs from its default, else deletes the stored value.
bool SaveValue(HKEY Root, const std::string& KeyPath, const std::string& ValueName, bool isDefault,
               uint32_t type, const std::vector<uint8_t>& data) {
    ScopedRegKey key;
    if (!isDefault)
        return RegCreateKey(Root, KeyPath, key.Out()) == ERROR_SUCCESS &&
               RegSetValueEx(key.Get(), ValueName, type, data.data(),
                             static_cast<uint32_t>(data.size())) == ERROR_SUCCESS;
    if (!RegKeyExists(Root, KeyPath)) return true;
    if (RegOpenKey(Root, KeyPath, key.Out()) != ERROR_SUCCESS) return false;
    int32_t result = RegDeleteValue(key.Get(), ValueName);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

} // namespace

bool SaveRegString(HKEY Root, const std::string& KeyPath, const std::string& ValueName,
                   const std::string& Value, const std::string& Default) {
    return SaveValue(Root, KeyPath, ValueName, Value == Default, REG_SZ,
              std::vector<uint8_t>(Value.begin(), Value.end()));
}

bool SaveRegLong(HKEY Root, const std::string& KeyPath, const std::string& ValueName, int32_t Value,
                 int32_t Default) {
    uint32_t bits = static_cast<uint32_t>(Value);
    std::vector<uint8_t> data;
    for (int i = 0; i < 4; ++i)
        data.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    return SaveValue(Root, KeyPath, ValueName, Value == Default, REG_DWORD, data);
}

bool RegKeyExists(HKEY Root, const std::string& KeyPath) {
    ScopedRegKey key;
    return RegOpenKeyEx(Root, KeyPath, 0, KEY_ALL_ACCESS, key.Out()) == ERROR_SUCCESS;
}

} // namespace Registry
