#pragma once
// Registry helpers for the few settings kept in the registry: readers that give the caller's
// default for anything missing, and writers that store only values differing from their
// defaults (writing the default deletes the stored value).
#include "platform/RegistryStore.h"

#include <cstdint>
#include <string>

namespace Registry {

using Platform::HKEY;

// Reads the REG_SZ value ValueName of the open key hKey into Value (the text before the first
// NUL). A value of another type leaves Value as it was and returns 0. The result is that of
// the last query made (0 = success).
int32_t QueryStringValue(HKEY hKey, const std::string& ValueName, std::string& Value);

// The text of Root\KeyPath ValueName; Default when the key or value is missing, "" for a
// value that is not text.
std::string GetRegString(HKEY Root, const std::string& KeyPath, const std::string& ValueName,
                         const std::string& Default);
// As GetRegString, with Default also for a stored empty text.
std::string GetRegStringNonEmpty(HKEY Root, const std::string& KeyPath,
                                 const std::string& ValueName, const std::string& Default);
// The value of at most 4 bytes read as a little-endian 32-bit number, whatever its type;
// Default when the key or value is missing or the value is longer.
int32_t GetRegLong(HKEY Root, const std::string& KeyPath, const std::string& ValueName,
                   int32_t Default);

// The text before the first NUL (the last one with FromEnd); Text when it has none.
std::string StripAtNull(const std::string& Text, bool FromEnd);

// Stores Value as REG_SZ (without a terminating NUL) when it differs from Default (exactly),
// creating the key; otherwise deletes the stored value. False when the store refused the write
// or the deletion (a value already missing counts as deleted).
bool SaveRegString(HKEY Root, const std::string& KeyPath, const std::string& ValueName,
                   const std::string& Value, const std::string& Default);
// The same for a REG_DWORD value.
bool SaveRegLong(HKEY Root, const std::string& KeyPath, const std::string& ValueName, int32_t Value,
                 int32_t Default);

// True when Root\KeyPath opens with full access.
bool RegKeyExists(HKEY Root, const std::string& KeyPath);

} // namespace Registry
