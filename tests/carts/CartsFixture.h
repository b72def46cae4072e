#pragma once
// A fresh program context with an audiowall in a scratch folder, and hex fixtures.
#include "support/TestSupport.h"

#include "carts/CartRecord.h"
#include "carts/Vantor_Cart_Routines.h"
#include "main_window/ProgramContext.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace CartsTest {

inline std::string Hex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// A stored record with every field set (described in CartRecordTest).
inline std::string FullEntryBytes() {
    return Hex("5468652042696720416476657274205469746C654C696E652032202020202020"
               "2020202020202020202020202020202020202020202020202020202000FF8000"
               "0F0000800200436F6E74696E7565732048657265202020202020202020202020"
               "2020202020202020202020202020202020202020202020202020202020202020"
               "2020202020202020202020202020202020202020202020202020202020202020"
               "0000000000000000000000000000000000000000000000007856341221000000"
               "C03F0000104000000000050400002C0D390800000000000070A3E64000000000"
               "0000000000000000000000000000000000000000000000000000000007000000"
               "0000000000000000003F000040400000DE410000F0410000803E0000EC410000"
               "EA4100000000000000000380");
}

// The stored form of an empty cart.
inline std::string BlankEntryBytes() {
    return Hex("2020202020202020202020202020202020202020202020202020202020202020"
               "2020202020202020202020202020202020202020202020202020202000000000"
               "0000000000002020202020202020202020202020202020202020202020202020"
               "2020202020202020202020202020202020202020202020202020202020202020"
               "2020202020202020202020202020202020202020202020202020202020202020"
               "0000000000000000000000000000000000000000000000000000000000000000"
               "0000000000000000000000000000000000000000000000000000000000000000"
               "0000000000000000000000000000000000000000000000000000000000000000"
               "000000000000000000000000000000000000000080BF00000000000000000000"
               "80BF00000000000000000000");
}

inline Vantor_Cart_Routines::ListEntryBytes ToEntryBytes(const std::string& bytes) {
    Vantor_Cart_Routines::ListEntryBytes out{};
    std::copy(bytes.begin(), bytes.begin() + static_cast<long>(out.size()), out.begin());
    return out;
}

inline std::string FromEntryBytes(const Vantor_Cart_Routines::ListEntryBytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

inline std::string Record(const std::string& fileBytes, int record) {
    size_t at = static_cast<size_t>(record - 1) * 300;
    return at >= fileBytes.size() ? "" : fileBytes.substr(at, 300);
}

inline std::string Padded(const std::string& text, size_t width = 50) {
    std::string out = text.substr(0, width);
    out.resize(width, ' ');
    return out;
}

// A fresh context whose audiowall parts live in folders of a scratch directory.
class AudiowallTest : public ::testing::Test {
protected:
    AudiowallTest() : scope_(context_) {
        Vantor_Cart_Routines::InitialiseCartData();
        Settings().Audio.NoCarts = 9999;
    }
    ~AudiowallTest() override { Vantor_Cart_Routines::CloseAudiowallParts(); }

    MainSettings::SettingsRecords& Settings() { return context_.Settings; }
    Vantor_Cart_Routines::AudiowallPart& Part(int p) {
        return context_.Carts.AudiowallParts.at(static_cast<size_t>(p));
    }
    // Creates folder `name` and makes it the Location of parts first..last.
    std::string UseFolder(const std::string& name, int first, int last) {
        std::string folder = dir_.File(name);
        std::filesystem::create_directories(folder);
        for (int p = first; p <= last; ++p)
            Part(p).Location = folder;
        return folder;
    }
    std::string ListFile(int p) { return Part(p).ListFilePath; }
    std::string FileBytes(const std::string& path) { return TestSupport::ReadBytes(path); }

    TestSupport::ScratchDir dir_;
    ProgramContext context_;
    ContextScope scope_;
};

} // namespace CartsTest
