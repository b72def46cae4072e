#include "support/ScratchRegistry.h"

#include "core/Registry.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace Registry;
using Platform::HKEY_CURRENT_USER;
using Platform::HKEY_LOCAL_MACHINE;

namespace {

const std::string kEngineKey = "SOFTWARE\\OrburyCo\\FlennStream";

void SetRaw(Platform::HKEY root, const std::string& keyPath, const std::string& name, uint32_t type,
            const std::string& bytes) {
    Platform::ScopedRegKey key;
    ASSERT_EQ(Platform::RegCreateKey(root, keyPath, key.Out()), Platform::ERROR_SUCCESS);
    ASSERT_EQ(Platform::RegSetValueEx(key.Get(), name, type,
                                      reinterpret_cast<const uint8_t*>(bytes.data()),
                                      static_cast<uint32_t>(bytes.size())),
              Platform::ERROR_SUCCESS);
}

} // namespace

TEST(Registry, ReadersGiveDefaultsForMissingKeysAndValues) {
    TestSupport::ScratchRegistry registry;
    EXPECT_EQ(GetRegLong(HKEY_LOCAL_MACHINE, "Software\\Missing", "FadeMode", 2), 2);
    EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, "Software\\Missing", "Data", "dflt"), "dflt");
    EXPECT_EQ(GetRegStringNonEmpty(HKEY_CURRENT_USER, "Software\\Missing", "Data", "d"), "d");
    SetRaw(HKEY_LOCAL_MACHINE, kEngineKey, "Other", Platform::REG_DWORD, std::string(4, '\0'));
    EXPECT_EQ(GetRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "FadeMode", 2), 2);
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, kEngineKey, "Name", "dflt"), "dflt");
    EXPECT_EQ(GetRegLong(0x12345, kEngineKey, "Other", 9), 9);
}

TEST(Registry, ValuesOfOtherTypes) {
    TestSupport::ScratchRegistry registry;
    SetRaw(HKEY_LOCAL_MACHINE, kEngineKey, "FadeMode", Platform::REG_DWORD,
           std::string("\x05\x01\0\0", 4));
    // Text reads of a number give an empty text, not the default.
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, kEngineKey, "FadeMode", "dflt"), "");
    EXPECT_EQ(GetRegStringNonEmpty(HKEY_LOCAL_MACHINE, kEngineKey, "FadeMode", "d"), "d");
    EXPECT_EQ(GetRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "fademode", 2), 0x105);

    // Any value of at most 4 bytes reads as a little-endian number, whatever its type.
    SetRaw(HKEY_LOCAL_MACHINE, kEngineKey, "Text", Platform::REG_SZ, "ab");
    EXPECT_EQ(GetRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "Text", 2), 0x6261);
    SetRaw(HKEY_LOCAL_MACHINE, kEngineKey, "Negative", Platform::REG_BINARY, "\xFE\xFF\xFF\xFF");
    EXPECT_EQ(GetRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "Negative", 2), -2);
    SetRaw(HKEY_LOCAL_MACHINE, kEngineKey, "Long", Platform::REG_BINARY, "12345");
    EXPECT_EQ(GetRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "Long", 2), 2);
}

TEST(Registry, QueryStringValue) {
    TestSupport::ScratchRegistry registry;
    SetRaw(HKEY_CURRENT_USER, "Software\\T", "Text", Platform::REG_SZ, std::string("ab\0cd", 5));
    SetRaw(HKEY_CURRENT_USER, "Software\\T", "Empty", Platform::REG_SZ, "");
    SetRaw(HKEY_CURRENT_USER, "Software\\T", "Number", Platform::REG_DWORD, "\1\0\0\0");
    Platform::ScopedRegKey key;
    ASSERT_EQ(Platform::RegOpenKey(HKEY_CURRENT_USER, "Software\\T", key.Out()), 0);

    std::string value = "kept";
    EXPECT_EQ(QueryStringValue(key.Get(), "Text", value), 0);
    EXPECT_EQ(value, "ab");
    EXPECT_EQ(QueryStringValue(key.Get(), "Empty", value), 0);
    EXPECT_EQ(value, "");
    value = "kept";
    EXPECT_EQ(QueryStringValue(key.Get(), "Number", value), 0);
    EXPECT_EQ(value, "kept");
    EXPECT_EQ(QueryStringValue(key.Get(), "Missing", value), Platform::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(value, "kept");
}

TEST(Registry, StoredEmptyTextAndNonEmptyReader) {
    TestSupport::ScratchRegistry registry;
    SetRaw(HKEY_CURRENT_USER, "Software\\T", "Blank", Platform::REG_SZ, "");
    SetRaw(HKEY_CURRENT_USER, "Software\\T", "Set", Platform::REG_SZ, "D:\\Data");
    EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, "Software\\T", "Blank", "dflt"), "");
    EXPECT_EQ(GetRegStringNonEmpty(HKEY_CURRENT_USER, "Software\\T", "Blank", "dflt"), "dflt");
    EXPECT_EQ(GetRegStringNonEmpty(HKEY_CURRENT_USER, "Software\\T", "set", "dflt"), "D:\\Data");
}

TEST(Registry, WritingTheDefaultDeletesTheValue) {
    TestSupport::ScratchRegistry registry;
    SaveRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "FadeMode", 5, 2);
    EXPECT_EQ(GetRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "FadeMode", 2), 5);
    SaveRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "FadeMode", 2, 2);
    EXPECT_EQ(GetRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "FadeMode", 2), 2);
    EXPECT_EQ(GetRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "FadeMode", 77), 77);
    EXPECT_EQ(registry.HiveText().find("FadeMode"), std::string::npos);
    // The key itself stays.
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kEngineKey));

    SaveRegString(HKEY_CURRENT_USER, "Software\\Loc", "Data", "D:\\Data", "");
    EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, "Software\\Loc", "Data", ""), "D:\\Data");
    // Text written without a terminating NUL.
    Platform::ScopedRegKey key;
    ASSERT_EQ(Platform::RegOpenKey(HKEY_CURRENT_USER, "Software\\Loc", key.Out()), 0);
    uint32_t size = 0;
    ASSERT_EQ(Platform::RegQueryValueEx(key.Get(), "Data", nullptr, nullptr, &size), 0);
    EXPECT_EQ(size, 7u);
    // The comparison with the default is exact.
    SaveRegString(HKEY_CURRENT_USER, "Software\\Loc", "Data", "d:\\data", "D:\\Data");
    EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, "Software\\Loc", "Data", ""), "d:\\data");
    SaveRegString(HKEY_CURRENT_USER, "Software\\Loc", "Data", "D:\\Data", "D:\\Data");
    EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, "Software\\Loc", "Data", "none"), "none");
}

TEST(Registry, WritingTheDefaultToAMissingKeyCreatesNothing) {
    TestSupport::ScratchRegistry registry;
    SaveRegString(HKEY_CURRENT_USER, "Software\\New", "Data", "x", "x");
    SaveRegLong(HKEY_CURRENT_USER, "Software\\New", "Count", 0, 0);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\New"));
    EXPECT_FALSE(std::filesystem::exists(registry.HivePath()));
}

TEST(Registry, ReadersCloseTheKeyOnEveryPath) {
    TestSupport::ScratchRegistry registry;
    SetRaw(HKEY_LOCAL_MACHINE, kEngineKey, "Number", Platform::REG_DWORD, "\1\0\0\0");
    SetRaw(HKEY_LOCAL_MACHINE, kEngineKey, "Long", Platform::REG_BINARY, "12345");
    size_t before = Platform::RegOpenHandleCount();
    GetRegString(HKEY_LOCAL_MACHINE, kEngineKey, "Missing", "d");
    GetRegString(HKEY_LOCAL_MACHINE, kEngineKey, "Number", "d");
    GetRegStringNonEmpty(HKEY_LOCAL_MACHINE, kEngineKey, "Missing", "d");
    GetRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "Missing", 1);
    GetRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "Long", 1);
    GetRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "Number", 1);
    RegKeyExists(HKEY_LOCAL_MACHINE, kEngineKey);
    SaveRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "Number", 3, 0);
    SaveRegLong(HKEY_LOCAL_MACHINE, kEngineKey, "Number", 0, 0);
    EXPECT_EQ(Platform::RegOpenHandleCount(), before);
}

TEST(Registry, StripAtNull) {
    const std::string text("ab\0cd\0", 6);
    EXPECT_EQ(StripAtNull(text, true), std::string("ab\0cd", 5));
    EXPECT_EQ(StripAtNull(text, false), "ab");
    EXPECT_EQ(StripAtNull("plain", false), "plain");
    EXPECT_EQ(StripAtNull(std::string("\0x", 2), false), "");
    EXPECT_EQ(StripAtNull("", true), "");
}
