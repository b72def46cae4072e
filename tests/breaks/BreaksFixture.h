#pragma once
// A split on scratch source and destination folders, with a cart store, players and a
// network door that record what the split does.
#include "support/TestSupport.h"

#include "breaks/BreaksState.h"
#include "breaks/CartTiming.h"
#include "breaks/LogSupport.h"
#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Specific.h"
#include "core/MainSettings.h"
#include "main_window/ProgramContext.h"
#include "platform/FileNumbers.h"
#include "platform/VB.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace BreaksTest {

// A full-form line written column by column.
inline std::string Full(const std::string& time, const std::string& chain, int cart,
                        const std::string& title, int length, const std::string& reference) {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%-8.8s|%-4.4s|%8d|%-30.30s|%4d|%s", time.c_str(), chain.c_str(),
                  cart, title.c_str(), length, reference.c_str());
    return buf;
}

// A short-form line: hh:mm time, 4-digit cart, 3-digit length.
inline std::string Short(const std::string& time, const std::string& chain, int cart,
                         const std::string& title, int length, const std::string& reference) {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%-5.5s|%-4.4s|%4d|%-30.30s|%3d|%s", time.c_str(), chain.c_str(),
                  cart, title.c_str(), length, reference.c_str());
    return buf;
}

inline std::string Join(const std::vector<std::string>& lines, const std::string& end) {
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

class RecordingSender : public SplitSender {
public:
    void SendMessageToNetwork(const std::string& text) override { sent.push_back(text); }
    std::vector<std::string> sent;
};

// Four players; a player is Empty until cued.
class FakePlayers : public SplitPlayers {
public:
    int16_t FindPlayer(int16_t, int16_t, int16_t, int32_t) override {
        for (int16_t p = 1; p <= 4; ++p)
            if (cart[p] == 0 && available) return p;
        return 0;
    }
    bool CuePlayer(int16_t player, int32_t cartNumber, int16_t& volume) override {
        cues.push_back({player, cartNumber});
        lastVolume = volume;
        if (failCue) return false;
        cart[player] = cartNumber;
        return true;
    }
    bool EjectPlayer(int16_t player) override {
        ejects.push_back(player);
        cart[player] = 0;
        return true;
    }
    int32_t PlayerCartNumber(int16_t player) override { return cart[player]; }
    void ShowPlayerControls(int16_t player, bool show) override {
        controls.push_back({player, show ? 1 : 0});
    }
    void SetPlayerDescription(int16_t player, const std::string& title) override {
        descriptions.push_back({player, title});
    }

    int32_t cart[5] = {0, 0, 0, 0, 0};
    bool available = true;
    bool failCue = false;
    int16_t lastVolume = 0;
    std::vector<std::pair<int16_t, int32_t>> cues;
    std::vector<int16_t> ejects;
    std::vector<std::pair<int16_t, int>> controls;
    std::vector<std::pair<int16_t, std::string>> descriptions;
};

class SplitTest : public ::testing::Test {
protected:
    static constexpr int32_t kDec7 = 46363; // 7 December 2026

    void SetUp() override {
        std::filesystem::create_directories(SourceDir());
        std::filesystem::create_directories(DestDir());
        ZEL_Common::SplitRecord& split = *Breaks::Split(1);
        split.SplitName = "SPLIT 1";
        split.Extension = "LOG";
        split.DateFormat = "YYMMDD";
        split.ReconcileExtension = "REC";
        split.LogSourceDirectory = SourceDir();
        split.LogDestinationDirectory = DestDir();
        split.LogTXChainCode = "NE";
        BreakCarts::SetCartReader([this](int32_t cart, BreakCarts::CartTiming& timing) {
            auto it = carts.find(cart);
            if (it == carts.end()) return static_cast<int16_t>(-1);
            timing = it->second;
            return static_cast<int16_t>(0);
        });
        engine = std::make_unique<SplitEngine>(&sender, &players);
    }

    void TearDown() override {
        engine.reset();
        Platform::FileNumbers::CloseAll();
    }

    static int OpenFileCount() {
        int open = 0;
        for (int16_t n = 1; n <= 511; ++n)
            open += Platform::FileNumbers::IsOpen(n) ? 1 : 0;
        return open;
    }

    std::string SourceDir() const { return dir.File("source"); }
    std::string DestDir() const { return dir.File("dest"); }
    std::string DestLog(int32_t day) const { return DestDir() + "/" + LogName(day); }
    std::string SourceLog(int32_t day) const { return SourceDir() + "/" + LogName(day); }
    static std::string LogName(int32_t day) { return VB::FormatDate(day, "yymmdd") + ".LOG"; }
    std::string ErrorFileText() const {
        return TestSupport::ReadBytes(ZEL_Specific::ErrorLogFile(1));
    }

    void AddCart(int32_t cart, float playLength, float extro) {
        carts[cart] = BreakCarts::CartTiming{playLength, extro};
    }

    ProgramContext context;
    ContextScope scope{context};
    TestSupport::ScratchDir dir;
    TestSupport::FrozenClock clock{kDec7, 9 * 3600.0};
    std::map<int32_t, BreakCarts::CartTiming> carts;
    RecordingSender sender;
    FakePlayers players;
    std::unique_ptr<SplitEngine> engine;
};

} // namespace BreaksTest
