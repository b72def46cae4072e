#pragma once
// A split playing its breaks on real cart players: an audiowall of WAV carts in a scratch
// folder, two player windows on the capture device, the day's log, the hardware table and the
// split engine wired to the players through their adapter and notice listener. Time is
// virtual: each step moves the capture device and the program clock on together; the
// players' event timers fire at their points, and every 50 ms their position timers and a
// position notice for the break tick run as their timers would.
// Each advert's audio holds one sample value throughout, so what came out tells which advert
// sounded where.
#include "support/RecordingSender.h"
#include "support/ScratchRegistry.h"
#include "support/TestSplit.h"
#include "support/TestSupport.h"
#include "support/WavBuild.h"
#include "support/WaveTestSupport.h"

#include "breaks/AdvertLog_FN.h"
#include "breaks/BreaksState.h"
#include "breaks/SplitEngine.h"
#include "breaks/SplitPlayerAdapter.h"
#include "breaks/ZEL_Specific.h"
#include "carts/Audio_Player_FN.h"
#include "carts/PlayerWindows.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/MainSettings.h"
#include "hardware/HardwareAPI.h"
#include "main_window/ProgramContext.h"
#include "platform/FileNumbers.h"
#include "platform/VB.h"
#include "platform/WaveCapture.h"
#include "player_controls/FlennPlayer.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace BreakRig {

struct Advert {
    int32_t cart = 0;
    float length = 0; // seconds of audio
    float extro = 0;  // the segue point
    std::string title;
    std::string reference;
    int16_t level = 0; // the value of every sample
};

// One advert as it came out of the capture device: device frames [first, end).
struct Sound {
    int32_t cart = 0;
    int64_t first = 0;
    int64_t end = 0;
};

// Where an advert should have begun by the segue rule and where it did, in device frames.
struct Join {
    int32_t previous = 0, next = 0;
    int64_t expected = 0, actual = 0;
    double GapMs(uint32_t rate) const {
        return static_cast<double>(actual - expected) * 1000.0 / rate;
    }
};

// The players' door of the split, noting when each play command is given.
class TimedPlayers : public CartPlayers::SplitPlayerAdapter {
public:
    struct Play {
        int16_t player = 0;
        int32_t cart = 0;
        std::chrono::steady_clock::time_point at;
    };
    bool PlayPlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) override {
        plays.push_back({PlayerNumber, CartNumber, std::chrono::steady_clock::now()});
        return SplitPlayerAdapter::PlayPlayer(PlayerNumber, CartNumber, Volume);
    }
    std::vector<Play> plays;
};

class Rig {
public:
    static constexpr int32_t kDay = 46363; // 7 December 2026
    static constexpr uint32_t kRate = 44100;
    static constexpr uint32_t kStepMs = 10;
    static constexpr uint32_t kTickMs = 50;
    static constexpr int16_t kPlayers = 2;
    // Card 1: line 1 the source output, line 2 "Audio Run Ended", line 3 a heartbeat.
    static constexpr int kSourceLine = 1, kRunEndedLine = 2, kHeartbeatLine = 3;

    Rig() : scope_(context_) {}
    ~Rig() {
        Audio_Player_FN::RemoveNoticeListener(listener_.get());
        Audio_Player_FN::ShutdownAudio();
        Audio_Player_FN::DestroyPlayerWindows();
        Audio_Player_FN::SetPlayerMaker({});
        engine_.reset();
        Vantor_Cart_Routines::CloseAudiowallParts();
        Platform::FileNumbers::CloseAll();
    }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    // Audiowall, players, split and hardware; false when the audiowall or the players fail.
    // The players play on the capture devices unless other devices are named.
    bool Open(const char* devices = "capture,capture") {
        Vantor_Cart_Routines::InitialiseCartData();
        Settings().Audio.NoCarts = 9999;
        const std::string wall = Folder("wall");
        for (size_t p = 1; p <= 10; ++p)
            context_.Carts.AudiowallParts.at(p).Location = wall;
        if (Vantor_Cart_Routines::ConnectAudiowallParts(0, true) != 0) return false;
        TestSupport::UseWaveDevices(devices);
        Settings().Audio.TotalNumberCartPlayers = kPlayers;
        for (size_t n = 1; n <= kPlayers; ++n)
            context_.Players.PlayerTable[n].SoundCardNumber = static_cast<int16_t>(n);
        Audio_Player_FN::UsePlayerWindows();
        if (!Audio_Player_FN::InitialiseAudio()) return false;
        engine_ = std::make_unique<SplitEngine>(&sender, &adapter_);
        listener_ = std::make_unique<CartPlayers::SplitNoticeListener>(*engine_);
        Audio_Player_FN::AddNoticeListener(listener_.get(), CartPlayers::ncGeneral);
        SetUpSplit();
        SetUpHardware();
        return true;
    }

    // Writes the advert's audio and cart record.
    bool AddAdvert(const Advert& advert) {
        const size_t frames = static_cast<size_t>(std::lround(advert.length * kRate));
        std::vector<int16_t> samples(frames * 2, advert.level);
        TestSupport::WriteBytes(
            Vantor_Cart_Routines::GetCartAudioFileName(advert.cart, true, false),
            WavFixtures::PcmWav(2, kRate, samples));
        Vantor_Cart_Routines::CartRecord rec;
        rec.Description1 = VB::FixedLength(
            advert.title, static_cast<int>(Vantor_Cart_Routines::kDescriptionLength));
        rec.TotalLength = rec.PlayLength = rec.AudioEnd = advert.length;
        rec.Extro = advert.extro;
        adverts_[advert.cart] = advert;
        return Vantor_Cart_Routines::WriteCart(rec, advert.cart, true, false) == 0;
    }
    std::string AudioFile(int32_t cart) const {
        return Vantor_Cart_Routines::GetCartAudioFileName(cart, true, false);
    }

    // A day's working log (the test day's by default): each break at its time, a blank line
    // after each.
    void WriteLog(const std::vector<std::pair<float, std::vector<int32_t>>>& breaks,
                  int32_t day = kDay) {
        std::string text;
        for (const auto& [time, carts] : breaks) {
            for (int32_t cart : carts) {
                const Advert& a = adverts_.at(cart);
                text += AdvertLog_FN::BuildLogLine(time, "NE", cart, a.title, a.reference, a.length,
                                                   false) +
                        "\r\n";
            }
            text += "\r\n";
        }
        TestSupport::WriteBytes(
            Split().LogDestinationDirectory + "/" + VB::FormatDate(day, "yymmdd") + ".LOG", text);
    }

    void CueBreak(float time) { engine_->SetCurrentAdBreakTime(kDay, time, false, false); }
    // Plays the cued break as a local play command does; remembers the device frame.
    void PlayBreak() {
        playFrame_ = static_cast<int64_t>(Platform::WaveCapture::NowFrames());
        engine_->PlayBreak(true);
    }
    int64_t PlayFrame() const { return playFrame_; }

    // Moves virtual time on by milliseconds, in steps.
    void Run(uint32_t milliseconds) {
        for (uint32_t t = 0; t < milliseconds; t += kStepMs)
            Step();
    }
    // Steps until done() holds, at most milliseconds; whether it held.
    bool RunUntil(const std::function<bool()>& done, uint32_t milliseconds) {
        for (uint32_t t = 0; t < milliseconds && !done(); t += kStepMs)
            Step();
        return done();
    }
    // Runs the event loop in real time (players on clocked devices) until done() holds, at
    // most milliseconds; whether it held.
    bool RunRealTime(const std::function<bool()>& done, uint32_t milliseconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        QEventLoop loop;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, &loop, [&] {
            if (done() || std::chrono::steady_clock::now() >= end) loop.quit();
        });
        look.start(5);
        if (!done()) loop.exec();
        return done();
    }
    // Every play command the split gave a player, in order.
    const std::vector<TimedPlayers::Play>& Plays() const { return adapter_.plays; }
    const Advert& AdvertOf(int32_t cart) const { return adverts_.at(cart); }

    bool Completed() const {
        return std::count(sender.vantor.begin(), sender.vantor.end(), "AD_BREAK_COMPLETED") > 0;
    }

    // Every advert that sounded, in the order it began.
    std::vector<Sound> Sounds() const {
        std::vector<Sound> out;
        for (const Platform::WaveCapture::StreamRecord& stream : Platform::WaveCapture::Streams())
            AddSounds(stream, out);
        std::sort(out.begin(), out.end(),
                  [](const Sound& a, const Sound& b) { return a.first < b.first; });
        return out;
    }
    // With two players each advert after the first should begin at the previous one's segue
    // point.
    std::vector<Join> Joins() const {
        std::vector<Sound> sounds = Sounds();
        std::vector<Join> joins;
        for (size_t k = 1; k < sounds.size(); ++k) {
            const Sound& before = sounds[k - 1];
            const double extro = adverts_.at(before.cart).extro;
            joins.push_back({before.cart, sounds[k].cart,
                             before.first + std::llround(extro * kRate), sounds[k].first});
        }
        return joins;
    }

    int16_t LineState(int line) const { return HardwareAPI::Card(1).Line(line).State; }
    void SetLineState(int line, int16_t state) { HardwareAPI::Card(1).Line(line).State = state; }
    std::vector<std::string> RecLines() const {
        return Lines(TestSupport::ReadBytes(ZEL_Specific::ReconcileFile(1)));
    }
    std::string ErrorFileText() const {
        return TestSupport::ReadBytes(ZEL_Specific::ErrorLogFile(1));
    }

    SplitEngine& Engine() { return *engine_; }
    CartPlayers::CartPlayerRecord& Player(int16_t n) { return context_.Players.PlayerTable[n]; }
    MainSettings::SettingsRecords& Settings() { return context_.Settings; }

    TestSupport::RecordingSender sender;

private:
    // One step of virtual time, the clock moving with the frames. The step is cut at each
    // player's next event point, where its event timer fires; every 50 ms the players' position
    // timers and the break timer run.
    void Step() {
        uint64_t left = uint64_t{kRate} * kStepMs / 1000;
        while (left > 0) {
            uint64_t chunk = left;
            std::vector<FlennPlayer*> due;
            for (FlennPlayer* control : Controls()) {
                const int32_t ms = control->MsToNextEvent();
                if (ms < 0) continue;
                const uint64_t frames = (uint64_t(ms) * kRate + 999) / 1000;
                if (frames < chunk) due.clear();
                if (frames <= chunk) {
                    chunk = frames;
                    due.push_back(control);
                }
            }
            Platform::WaveCapture::AdvanceFrames(chunk);
            Platform::Clock::Advance(static_cast<double>(chunk) / kRate);
            left -= chunk;
            if (due.empty()) continue;
            TestSupport::Pump();
            for (FlennPlayer* control : due)
                control->PositionTick();
        }
        TestSupport::Pump();
        engine_->EndPulseTick();
        elapsedMs_ += kStepMs;
        if (elapsedMs_ % kTickMs != 0) return;
        for (FlennPlayer* control : Controls())
            control->PositionTick();
        engine_->PlayerStatusNotice(CartPlayers::pnPosition, 0, 0);
    }

    std::vector<FlennPlayer*> Controls() {
        std::vector<FlennPlayer*> controls;
        for (size_t n = 1; n <= kPlayers; ++n)
            if (FlennPlayer* control = context_.Players.PlayerTable[n].Player)
                controls.push_back(control);
        return controls;
    }

    std::string Folder(const std::string& name) const {
        std::string folder = dir_.File(name);
        std::filesystem::create_directories(folder);
        return folder;
    }

    ZEL_Common::SplitRecord& Split() { return *Breaks::Split(1); }

    void SetUpSplit() {
        TestSupport::UseTestSplit(Split(), Folder("source"), Folder("dest"));
        MainSettings::SettingsRecords& s = Settings();
        s.LoggingAllowed = true;
        s.General.SourceLine = kSourceLine;
        s.General.AdvertSourceMute = 1;
        s.General.NumberSecondsWaitBeforeSignal = 0.1f;
        s.General.NumberSecondsToSignal = 0.2f;
    }

    static void SetUpHardware() {
        HardwareAPI::HardwareCard& card = HardwareAPI::Card(1);
        card.CardType = HardwareAPI::CardSerialIO;
        card.TotalLines = 8;
        for (int k : {kSourceLine, kRunEndedLine, kHeartbeatLine})
            card.Line(k).LineType = 1;
        card.Line(kRunEndedLine).Action = 151;
        card.Line(kRunEndedLine).Data1 = 2;
        card.Line(kHeartbeatLine).Action = 151;
        card.Line(kHeartbeatLine).Data1 = 1;
    }

    // The stretches of one stream holding one advert's sample value, in device frames.
    void AddSounds(const Platform::WaveCapture::StreamRecord& stream,
                   std::vector<Sound>& out) const {
        const size_t channels = stream.format.channels;
        const size_t firstOfStream = out.size();
        uint64_t seen = 0;
        for (const auto& run : stream.runs) {
            for (uint64_t f = 0; f < run.frames; ++f) {
                size_t index = static_cast<size_t>(seen + f) * channels;
                if (index >= stream.samples.size()) return;
                int32_t cart = CartOfLevel(stream.samples[index]);
                if (cart == 0) continue;
                int64_t frame = static_cast<int64_t>(run.startFrame + f);
                if (out.size() == firstOfStream || out.back().cart != cart)
                    out.push_back({cart, frame, frame});
                out.back().end = frame + 1;
            }
            seen += run.frames;
        }
    }

    int32_t CartOfLevel(int16_t level) const {
        if (level == 0) return 0;
        for (const auto& [cart, advert] : adverts_)
            if (advert.level == level) return cart;
        return 0;
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    ProgramContext context_;
    ContextScope scope_;
    TestSupport::ScratchDir dir_;
    TestSupport::ScratchRegistry registry_;
    TestSupport::FrozenClock clock_{kDay, 9 * 3600.0};
    TimedPlayers adapter_;
    std::unique_ptr<SplitEngine> engine_;
    std::unique_ptr<CartPlayers::SplitNoticeListener> listener_;
    std::map<int32_t, Advert> adverts_;
    int64_t playFrame_ = 0;
    uint64_t elapsedMs_ = 0;
};

} // namespace BreakRig
