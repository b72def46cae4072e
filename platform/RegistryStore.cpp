#include "platform/RegistryStore.h"

#include "platform/Files.h"
#include "platform/NameCase.h"
#include "platform/WholeFile.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <optional>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace Platform {

namespace {

// The hive in memory. Key paths are full: root name, then the subkeys, joined by '\'.
struct HiveValue {
    std::string name;
    uint32_t type = REG_NONE;
    std::string data;
};

struct HiveKey {
    std::string path;
    std::vector<HiveValue> values;
};

struct Hive {
    std::vector<HiveKey> keys;
};

struct OpenKey {
    std::string path; // full path
    uint32_t access = 0;
};

// The open handles of this process.
struct RegistryState {
    std::mutex mutex;
    std::map<HKEY, OpenKey> handles;
    HKEY next = 0x1000;
};

RegistryState& State() {
    static RegistryState state;
    return state;
}

constexpr uint32_t kDelete = 0x10000;
constexpr uint32_t kWriteDac = 0x40000;
constexpr uint32_t kWriteOwner = 0x80000;
constexpr uint32_t kChangingAccess =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | kDelete | kWriteDac | kWriteOwner;

bool IsUnder(const std::string& path, const std::string& key) {
    return path.size() > key.size() && path[key.size()] == '\\' &&
           SameNameIgnoringCase(path.substr(0, key.size()), key);
}

std::optional<std::string> RootName(HKEY root) {
    if (root == HKEY_CURRENT_USER) return std::string("HKEY_CURRENT_USER");
    if (root == HKEY_LOCAL_MACHINE) return std::string("HKEY_LOCAL_MACHINE");
    return std::nullopt;
}

bool IsRoot(HKEY key) {
    return RootName(key).has_value();
}

// ---- hive text ----

std::string Escaped(const std::string& text) {
    static const char* hex = "0123456789abcdef";
    std::string out = "\"";
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            out += "\\x";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else
            out += c;
    }
    return out + "\"";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads a quoted text starting at line[pos] (the opening quote); pos ends after the closing one.
std::optional<std::string> Unescaped(const std::string& line, size_t& pos) {
    if (pos >= line.size() || line[pos] != '"') return std::nullopt;
    std::string out;
    for (size_t i = pos + 1; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            pos = i + 1;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= line.size()) return std::nullopt;
        if (line[i] != 'x') {
            out += line[i];
            continue;
        }
        if (i + 2 >= line.size()) return std::nullopt;
        int high = HexDigit(line[i + 1]);
        int low = HexDigit(line[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return std::nullopt;
}

std::string DataText(const HiveValue& value) {
    static const char* hex = "0123456789abcdef";
    if (value.type == REG_SZ) return Escaped(value.data);
    if (value.type == REG_DWORD && value.data.size() == 4) {
        uint32_t n = 0;
        for (int i = 3; i >= 0; --i)
            n = n << 8 | static_cast<unsigned char>(value.data[static_cast<size_t>(i)]);
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "dword:%08x", n);
        return buffer;
    }
    std::string out = "hex(" + std::to_string(value.type) + "):";
    for (size_t i = 0; i < value.data.size(); ++i) {
        unsigned char u = static_cast<unsigned char>(value.data[i]);
        if (i > 0) out += ',';
        out += hex[u >> 4];
        out += hex[u & 15];
    }
    return out;
}

std::optional<std::string> HexBytes(const std::string& text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        if (i + 1 >= text.size()) return std::nullopt;
        int high = HexDigit(text[i]);
        int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
        if (i < text.size() && text[i++] != ',') return std::nullopt;
    }
    return out;
}

std::optional<HiveValue> ParseValue(const std::string& line) {
    HiveValue value;
    size_t pos = 0;
    if (line.compare(0, 1, "@") == 0)
        pos = 1;
    else if (std::optional<std::string> name = Unescaped(line, pos))
        value.name = *name;
    else
        return std::nullopt;
    if (pos >= line.size() || line[pos] != '=') return std::nullopt;
    std::string data = line.substr(++pos);
    if (!data.empty() && data.front() == '"') {
        size_t at = 0;
        std::optional<std::string> text = Unescaped(data, at);
        if (!text || at != data.size()) return std::nullopt;
        value.type = REG_SZ;
        value.data = *text;
    } else if (data.compare(0, 6, "dword:") == 0 && data.size() == 14) {
        std::optional<std::string> bytes =
            HexBytes(data.substr(6, 2) + "," + data.substr(8, 2) + "," + data.substr(10, 2) + "," +
                     data.substr(12, 2));
        if (!bytes) return std::nullopt;
        value.type = REG_DWORD;
        value.data = std::string(bytes->rbegin(), bytes->rend());
    } else if (data.compare(0, 4, "hex(") == 0) {
        size_t close = data.find("):");
        if (close == std::string::npos) return std::nullopt;
        char* end = nullptr;
        std::string number = data.substr(4, close - 4);
        unsigned long type = std::strtoul(number.c_str(), &end, 10);
        if (number.empty() || *end != '\0') return std::nullopt;
        std::optional<std::string> bytes = HexBytes(data.substr(close + 2));
        if (!bytes) return std::nullopt;
        value.type = static_cast<uint32_t>(type);
        value.data = *bytes;
    } else
        return std::nullopt;
    return value;
}

Hive ParseHive(const std::string& bytes) {
    Hive hive;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t lf = bytes.find('\n', start);
        if (lf == std::string::npos) lf = bytes.size();
        std::string line = bytes.substr(start, lf - start);
        start = lf + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            hive.keys.push_back(HiveKey{line.substr(1, line.size() - 2), {}});
        } else if (!hive.keys.empty()) {
            if (std::optional<HiveValue> value = ParseValue(line))
                hive.keys.back().values.push_back(std::move(*value));
        }
    }
    return hive;
}

std::string HiveText(const Hive& hive) {
    std::string out = "; VNTZEL registry\n";
    for (const HiveKey& key : hive.keys) {
        out += "\n[" + key.path + "]\n";
        for (const HiveValue& value : key.values)
            out += (value.name.empty() ? std::string("@") : Escaped(value.name)) + "=" +
                   DataText(value) + "\n";
    }
    return out;
}

// ---- hive file ----

bool ReadHive(Hive& hive) {
    std::string path = RegistryHivePath();
    if (!FileExists(path)) {
        hive = Hive{};
        return true;
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    hive = ParseHive(bytes);
    return true;
}

bool WriteHive(const Hive& hive) {
    return ReplaceWholeFile(RegistryHivePath(), HiveText(hive), WhenFolderIsClosed::WriteInPlace);
}

bool HiveWritable() {
    std::string path = RegistryHivePath();
    size_t slash = path.rfind('/');
    std::string folder =
        slash == std::string::npos ? "." : path.substr(0, std::max<size_t>(slash, 1));
    if (::access(folder.c_str(), W_OK) != 0) return false;
    return !FileExists(path) || ::access(path.c_str(), W_OK) == 0;
}

// Serialises changes of programs sharing the hive, for one read-change-write.
class HiveLock {
public:
    HiveLock() {
        fd_ = ::open((RegistryHivePath() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ >= 0) ::flock(fd_, LOCK_EX);
    }
    ~HiveLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;

private:
    int fd_ = -1;
};

HiveKey* FindKey(Hive& hive, const std::string& path) {
    for (HiveKey& key : hive.keys)
        if (SameNameIgnoringCase(key.path, path)) return &key;
    return nullptr;
}

// A key exists when it has its own entry or a key below it does. Roots always exist.
bool KeyExists(const Hive& hive, const std::string& path) {
    if (path.find('\\') == std::string::npos) return true;
    return std::any_of(hive.keys.begin(), hive.keys.end(), [&](const HiveKey& key) {
        return SameNameIgnoringCase(key.path, path) || IsUnder(key.path, path);
    });
}

std::vector<HiveValue>::iterator FindValue(HiveKey& key, const std::string& name) {
    return std::find_if(key.values.begin(), key.values.end(), [&](const HiveValue& value) {
        return SameNameIgnoringCase(value.name, name);
    });
}

// ---- handles ----

// The full path and access of an open key or root. Call with the state locked.
std::optional<OpenKey> Lookup(HKEY key) {
    if (std::optional<std::string> root = RootName(key)) return OpenKey{*root, KEY_ALL_ACCESS};
    auto& handles = State().handles;
    auto found = handles.find(key);
    if (found == handles.end()) return std::nullopt;
    return found->second;
}

// path + '\' + the non-empty parts of subKey. False for a part that cannot be stored.
bool JoinSubKey(const std::string& path, const std::string& subKey, std::string& full) {
    full = path;
    size_t start = 0;
    while (start <= subKey.size()) {
        size_t slash = subKey.find('\\', start);
        if (slash == std::string::npos) slash = subKey.size();
        std::string part = subKey.substr(start, slash - start);
        start = slash + 1;
        if (part.empty()) continue;
        bool storable = std::none_of(part.begin(), part.end(), [](char c) {
            unsigned char u = static_cast<unsigned char>(c);
            return u < 0x20 || c == '[' || c == ']';
        });
        if (!storable) return false;
        full += "\\" + part;
    }
    return true;
}

HKEY NewHandle(const std::string& path, uint32_t access) {
    RegistryState& state = State();
    HKEY handle = state.next++;
    state.handles[handle] = OpenKey{path, access};
    return handle;
}

// Resolves hKey\subKey; the result to return when it fails.
int32_t Target(HKEY hKey, const std::string& subKey, std::string& full) {
    std::optional<OpenKey> base = Lookup(hKey);
    if (!base) return ERROR_INVALID_HANDLE;
    if (!JoinSubKey(base->path, subKey, full)) return ERROR_INVALID_PARAMETER;
    return ERROR_SUCCESS;
}

bool NoSubKey(const std::string& subKey) {
    return subKey.find_first_not_of('\\') == std::string::npos;
}

// Opens an existing key with the given access. With no subkey, a root (or any key, when
// sameHandle) is returned as it is.
int32_t Open(HKEY hKey, const std::string& subKey, uint32_t access, bool sameHandle, HKEY* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(State().mutex);
    std::string full;
    if (int32_t error = Target(hKey, subKey, full)) return error;
    if ((access & kChangingAccess) && !HiveWritable()) return ERROR_ACCESS_DENIED;
    Hive hive;
    if (!ReadHive(hive)) return ERROR_REGISTRY_IO_FAILED;
    if (!KeyExists(hive, full)) return ERROR_FILE_NOT_FOUND;
    bool same = NoSubKey(subKey) && (sameHandle || IsRoot(hKey));
    *result = same ? hKey : NewHandle(full, access);
    return ERROR_SUCCESS;
}

// Runs change on the hive of the open key under the inter-process lock, writing the hive
// when change reports success and asks for it.
template <typename Change> int32_t ChangeKey(HKEY hKey, uint32_t neededAccess, Change change) {
    std::lock_guard<std::mutex> lock(State().mutex);
    std::optional<OpenKey> open = Lookup(hKey);
    if (!open) return ERROR_INVALID_HANDLE;
    if ((open->access & neededAccess) != neededAccess || !HiveWritable())
        return ERROR_ACCESS_DENIED;
    HiveLock fileLock;
    Hive hive;
    if (!ReadHive(hive)) return ERROR_REGISTRY_IO_FAILED;
    if (!KeyExists(hive, open->path)) return ERROR_KEY_DELETED;
    bool write = false;
    int32_t result = change(hive, open->path, write);
    if (result == ERROR_SUCCESS && write && !WriteHive(hive)) return ERROR_REGISTRY_IO_FAILED;
    return result;
}

} // namespace

std::string RegistryHivePath() {
    const char* path = std::getenv("VNTZEL_REGISTRY");
    if (path && *path) return HostPath(path);
    return JoinPath(WindowsFolder(), "registry.hive");
}

int32_t RegOpenKey(HKEY hKey, const std::string& subKey, HKEY* result) {
    return Open(hKey, subKey, HiveWritable() ? KEY_ALL_ACCESS : KEY_READ, true, result);
}

int32_t RegOpenKeyEx(HKEY hKey, const std::string& subKey, uint32_t /*options*/,
                     uint32_t samDesired, HKEY* result) {
    return Open(hKey, subKey, samDesired, false, result);
}

int32_t RegCreateKey(HKEY hKey, const std::string& subKey, HKEY* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(State().mutex);
    std::string full;
    if (int32_t error = Target(hKey, subKey, full)) return error;
    if (!HiveWritable()) return ERROR_ACCESS_DENIED;
    HiveLock fileLock;
    Hive hive;
    if (!ReadHive(hive)) return ERROR_REGISTRY_IO_FAILED;
    if (!KeyExists(hive, full)) {
        hive.keys.push_back(HiveKey{full, {}});
        if (!WriteHive(hive)) return ERROR_REGISTRY_IO_FAILED;
    }
    *result = NoSubKey(subKey) && IsRoot(hKey) ? hKey : NewHandle(full, KEY_ALL_ACCESS);
    return ERROR_SUCCESS;
}

int32_t RegCloseKey(HKEY hKey) {
    if (IsRoot(hKey)) return ERROR_SUCCESS;
    std::lock_guard<std::mutex> lock(State().mutex);
    return State().handles.erase(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

int32_t RegQueryValueEx(HKEY hKey, const std::string& valueName, uint32_t* type, uint8_t* data,
                        uint32_t* dataSize) {
    if (data && !dataSize) return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(State().mutex);
    std::optional<OpenKey> open = Lookup(hKey);
    if (!open) return ERROR_INVALID_HANDLE;
    if (!(open->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    Hive hive;
    if (!ReadHive(hive)) return ERROR_REGISTRY_IO_FAILED;
    if (!KeyExists(hive, open->path)) return ERROR_KEY_DELETED;
    HiveKey* key = FindKey(hive, open->path);
    if (!key) return ERROR_FILE_NOT_FOUND;
    auto value = FindValue(*key, valueName);
    if (value == key->values.end()) return ERROR_FILE_NOT_FOUND;
    uint32_t size = static_cast<uint32_t>(value->data.size());
    if (type) *type = value->type;
    if (data) {
        if (*dataSize < size) {
            *dataSize = size;
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, value->data.data(), size);
    }
    if (dataSize) *dataSize = size;
    return ERROR_SUCCESS;
}

int32_t RegSetValueEx(HKEY hKey, const std::string& valueName, uint32_t type, const uint8_t* data,
                      uint32_t dataSize) {
    if (!data && dataSize > 0) return ERROR_INVALID_PARAMETER;
    std::string bytes = data ? std::string(reinterpret_cast<const char*>(data), dataSize) : "";
    return ChangeKey(hKey, KEY_SET_VALUE, [&](Hive& hive, const std::string& path, bool& write) {
        HiveKey* key = FindKey(hive, path);
        if (!key) {
            hive.keys.push_back(HiveKey{path, {}});
            key = &hive.keys.back();
        }
        auto value = FindValue(*key, valueName);
        if (value == key->values.end())
            key->values.push_back(HiveValue{valueName, type, bytes});
        else {
            value->type = type;
            value->data = bytes;
        }
        write = true;
        return ERROR_SUCCESS;
    });
}

int32_t RegDeleteValue(HKEY hKey, const std::string& valueName) {
    return ChangeKey(hKey, KEY_SET_VALUE, [&](Hive& hive, const std::string& path, bool& write) {
        HiveKey* key = FindKey(hive, path);
        if (!key) return ERROR_FILE_NOT_FOUND;
        auto value = FindValue(*key, valueName);
        if (value == key->values.end()) return ERROR_FILE_NOT_FOUND;
        key->values.erase(value);
        write = true;
        return ERROR_SUCCESS;
    });
}

size_t RegOpenHandleCount() {
    std::lock_guard<std::mutex> lock(State().mutex);
    return State().handles.size();
}

} // namespace Platform
