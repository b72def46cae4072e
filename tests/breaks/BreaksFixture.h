#pragma once
// A split on scratch source and destination folders, with a cart store, players and a
// network door that record what the split does.
#include "support/RecordingSender.h"
#include "support/TestSplit.h"
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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
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

using RecordingSender = TestSupport::RecordingSender;

// Four players that play on a clock the test moves on. A player is Empty until cued; it
// sends its notices synchronously to the listener, eject (4) before its record is cleared.
class FakePlayers : public SplitPlayers {
public:
    struct Timing {
        float length = 0, extro = 0;
    };

    // As the real search: the first player from first to last (below 1: 1 and count) whose
    // status is at least minStatus; every status asked for is kept.
    int16_t FindPlayer(int16_t minStatus, int16_t first, int16_t last, int32_t) override {
        statusesAsked.push_back(minStatus);
        if (!available) return 0;
        const int16_t from = first > 0 ? first : 1, to = last > 0 ? last : count;
        const int16_t step = from > to ? -1 : 1;
        for (int16_t p = from;; p = static_cast<int16_t>(p + step)) {
            if (p >= 1 && p <= count && info[p].Status >= minStatus) return p;
            if (p == to) return 0;
        }
    }
    int16_t FindPlayerWithCart(int32_t cartNumber, int32_t) override {
        for (int16_t p = 1; p <= count; ++p)
            if (cart[p] == cartNumber && info[p].Status >= 12 && info[p].Status <= 14) return p;
        return 0;
    }
    bool CuePlayer(int16_t player, int32_t cartNumber, int16_t& volume) override {
        cues.push_back({player, cartNumber});
        lastVolume = volume;
        if (failCue || missing.count(cartNumber)) return false;
        Load(player, cartNumber, 13);
        return true;
    }
    bool PlayPlayer(int16_t player, int32_t cartNumber, int16_t& volume) override {
        plays.push_back({player, cartNumber});
        lastVolume = volume;
        if (failPlay || missing.count(cartNumber)) return false;
        if (cart[player] != cartNumber) Load(player, cartNumber, 13);
        info[player].Status = 11;
        info[player].PlayStarted = GeneralFunctions::TimeStampNow(false);
        Notify(0, player);
        return true;
    }
    // As the real players do: the seconds played are remembered, then closing the audio
    // zeroes them before the notices.
    bool EjectPlayer(int16_t player) override {
        ejects.push_back(player);
        if (cart[player] == 0) return true;
        info[player].LastSecondsPlayed = info[player].SecondsPlayed;
        info[player].SecondsPlayed = 0;
        Notify(4, player);
        cart[player] = 0;
        info[player] = SplitPlayerInfo{};
        Notify(0, player);
        return true;
    }
    int32_t PlayerCartNumber(int16_t player) override { return cart[player]; }
    SplitPlayerInfo PlayerInfo(int16_t player) override { return info[player]; }
    void SetPlaySource(int16_t player, const std::string& source) override {
        info[player].PlaySource = source;
    }
    std::string GetCartDescription(int32_t cartNumber) override {
        auto it = descriptionOf.find(cartNumber);
        return it == descriptionOf.end() ? "Cart " + std::to_string(cartNumber) : it->second;
    }
    int16_t TotalNumberCartPlayers() override { return count; }
    void ShowPlayerControls(int16_t player, bool show) override {
        controls.push_back({player, show ? 1 : 0});
    }
    void SetPlayerDescription(int16_t player, const std::string& title) override {
        descriptions.push_back({player, title});
    }

    // Moves every playing player on by seconds (and the clock); a player that reaches its
    // end ejects itself. Position notices follow.
    void Advance(float seconds) {
        Platform::Clock::Advance(seconds);
        for (int16_t p = 1; p <= count; ++p) {
            SplitPlayerInfo& i = info[p];
            if (i.Status != 11) continue;
            i.SecondsPlayed += seconds;
            SetTimes(p);
            if (i.SecondsPlayed >= timing[cart[p]].length) EjectPlayer(p);
        }
        for (int16_t p = 1; p <= count; ++p)
            if (info[p].Status == 11) Notify(255, p);
    }
    // Moves on in steps of step seconds until total seconds have passed.
    void Run(float total, float step = 0.05f) {
        for (float t = 0; t < total; t += step)
            Advance(step);
    }
    int16_t PlayingCount() const {
        int16_t n = 0;
        for (int16_t p = 1; p <= count; ++p)
            n += info[p].Status == 11 ? 1 : 0;
        return n;
    }

    int16_t count = 4;
    int32_t cart[5] = {0, 0, 0, 0, 0};
    SplitPlayerInfo info[5];
    std::map<int32_t, Timing> timing;
    std::map<int32_t, std::string> descriptionOf;
    std::set<int32_t> missing; // carts whose audio cannot be loaded
    std::function<void(int32_t, int16_t, int32_t)> listener;
    bool available = true;
    std::vector<int16_t> statusesAsked;
    bool failCue = false;
    bool failPlay = false;
    int16_t lastVolume = 0;
    std::vector<std::pair<int16_t, int32_t>> cues;
    std::vector<std::pair<int16_t, int32_t>> plays;
    std::vector<int16_t> ejects;
    std::vector<std::pair<int16_t, int>> controls;
    std::vector<std::pair<int16_t, std::string>> descriptions;

private:
    void Load(int16_t player, int32_t cartNumber, int32_t status) {
        cart[player] = cartNumber;
        info[player] = SplitPlayerInfo{};
        info[player].CartNumber = cartNumber;
        info[player].Status = status;
        info[player].Extro = timing[cartNumber].extro;
        SetTimes(player);
    }
    void SetTimes(int16_t p) {
        SplitPlayerInfo& i = info[p];
        i.SecondsRemain = timing[cart[p]].length - i.SecondsPlayed;
        i.SecondsToExtro = timing[cart[p]].extro - i.SecondsPlayed;
    }
    void Notify(int32_t code, int16_t player) {
        if (listener) listener(code, player, 0);
    }
};

class SplitTest : public ::testing::Test {
protected:
    static constexpr int32_t kDec7 = 46363; // 7 December 2026

    void SetUp() override {
        std::filesystem::create_directories(SourceDir());
        std::filesystem::create_directories(DestDir());
        TestSupport::UseTestSplit(*Breaks::Split(1), SourceDir(), DestDir());
        BreakCarts::SetCartReader([this](int32_t cart, BreakCarts::CartTiming& timing) {
            auto it = carts.find(cart);
            if (it == carts.end()) return static_cast<int16_t>(-1);
            timing = it->second;
            return static_cast<int16_t>(0);
        });
        engine = std::make_unique<SplitEngine>(&sender, &players);
        players.listener = [this](int32_t code, int16_t player, int32_t data) {
            engine->PlayerStatusNotice(code, player, data);
        };
    }

    void TearDown() override {
        players.listener = nullptr;
        engine.reset();
        Platform::FileNumbers::CloseAll();
    }

    static int OpenFileCount() {
        int open = 0;
        for (int16_t n = 1; n <= 511; ++n)
            open += Platform::FileNumbers::IsOpen(n) ? 1 : 0;
        return open;
    }

    static ZEL_Common::SplitRecord& Split() { return *Breaks::Split(1); }
    std::string SourceDir() const { return dir.File("source"); }
    std::string DestDir() const { return dir.File("dest"); }
    std::string DestLog(int32_t day) const { return DestDir() + "/" + LogName(day); }
    std::string SourceLog(int32_t day) const { return SourceDir() + "/" + LogName(day); }
    static std::string LogName(int32_t day) { return VB::FormatDate(day, "yymmdd") + ".LOG"; }
    std::string ErrorFileText() const {
        return TestSupport::ReadBytes(ZEL_Specific::ErrorLogFile(1));
    }

    // A log delivered into the source folder a minute ago: it has stopped changing, so the
    // first look copies it.
    void Deliver(int32_t day, const std::string& text) const {
        TestSupport::WriteBytes(SourceLog(day), text);
        std::filesystem::last_write_time(SourceLog(day),
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::minutes(1));
    }
    // A delivery newer than every working copy: it is copied at a look a check interval after
    // the first (LetSourcesSettle).
    void Redeliver(int32_t day, const std::string& text) const {
        TestSupport::WriteBytes(SourceLog(day), text);
        std::filesystem::last_write_time(
            SourceLog(day), std::filesystem::file_time_type::clock::now() + std::chrono::hours(1));
    }
    // The steady clock moves on by a check interval; the time of day stays.
    static void LetSourcesSettle() {
        const Platform::Clock::Moment now = Platform::Clock::Now();
        Platform::Clock::Advance(std::max<double>(Split().LogUpdateInterval, 2.0) + 1.0);
        Platform::Clock::SetNow(now.day, now.seconds);
    }

    void AddCart(int32_t cart, float playLength, float extro) {
        carts[cart] = BreakCarts::CartTiming{playLength, extro};
        players.timing[cart] = {playLength, extro};
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
