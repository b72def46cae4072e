#pragma once
// Cart players on the capture device over an audiowall in a scratch folder: carts with real
// WAV files, a listener that records every notice, and a virtual clock to run them on.
#include "CartsFixture.h"
#include "support/ScratchRegistry.h"
#include "support/WavFixtures.h"
#include "support/WaveTestSupport.h"

#include "carts/Audio_Player_FN.h"
#include "carts/CartPlayer.h"
#include "carts/PlayerTable.h"
#include "platform/WaveCapture.h"

#include <functional>
#include <tuple>
#include <vector>

namespace CartsTest {

using Notice = std::tuple<int32_t, int16_t, int32_t>; // code, player, data

// Keeps every notice it is given; an optional action runs inside the notice.
class RecordingListener : public CartPlayers::PlayerNoticeListener {
public:
    void PlayerStatusNotice(int32_t& code, int16_t& player, int32_t& data) override {
        notices.emplace_back(code, player, data);
        if (action) action(code, player, data);
    }
    // The notices without positions and levels.
    std::vector<Notice> Main() const {
        std::vector<Notice> out;
        for (const Notice& n : notices)
            if (std::get<0>(n) != 255 && std::get<0>(n) != 224) out.push_back(n);
        return out;
    }
    std::vector<Notice> notices;
    std::function<void(int32_t, int16_t, int32_t)> action;
};

class PlayersTest : public AudiowallTest {
protected:
    static constexpr int kRate = 44100;

    void SetUp() override { StartPlayers("capture,capture,capture", 2); }
    void TearDown() override {
        Audio_Player_FN::RemoveNoticeListener(&listener_);
        Audio_Player_FN::ShutdownAudio();
    }

    void StartPlayers(const std::string& devices, int32_t players) {
        TestSupport::UseWaveDevices(devices);
        UseFolder("wall", 1, 10);
        ASSERT_EQ(Vantor_Cart_Routines::ConnectAudiowallParts(0, true), 0);
        Settings().Audio.TotalNumberCartPlayers = players;
        for (int16_t n = 1; n <= players; ++n)
            context_.Players.PlayerTable[n].SoundCardNumber = n;
        ASSERT_TRUE(Audio_Player_FN::InitialiseAudio());
        Audio_Player_FN::AddNoticeListener(&listener_, CartPlayers::ncEverything);
    }

    // A cart of `seconds` of a stereo tone, with its cue points inside it.
    std::vector<int16_t> MakeCart(int32_t cart, double seconds, const std::string& title = "Cart",
                                  double hz = 440, int16_t loopMode = 0) {
        size_t frames = static_cast<size_t>(seconds * kRate);
        std::vector<int16_t> tone = WavFixtures::Sine(2, kRate, frames, hz);
        TestSupport::WriteBytes(Vantor_Cart_Routines::GetCartAudioFileName(cart, true, false),
                                WavFixtures::PcmWav(2, kRate, tone));
        Vantor_Cart_Routines::CartRecord rec;
        rec.Description1 = Padded(title);
        float length = static_cast<float>(seconds);
        rec.TotalLength = rec.PlayLength = rec.AudioEnd = length;
        rec.IntroStart = 0.1f * length;
        rec.IntroEnd = 0.2f * length;
        rec.HookStart = 0.3f * length;
        rec.HookEnd = 0.4f * length;
        rec.Extro = 0.8f * length;
        rec.LoopMode = loopMode;
        EXPECT_EQ(Vantor_Cart_Routines::WriteCart(rec, cart, true, false), 0);
        return tone;
    }

    // Moves the virtual clock on, handling the devices' messages and the position ticks.
    void Run(uint32_t milliseconds, uint32_t step = 10) {
        for (uint32_t t = 0; t < milliseconds; t += step) {
            Platform::WaveCapture::AdvanceMilliseconds(step);
            TestSupport::Pump();
            for (int16_t n = 1; n <= Settings().Audio.TotalNumberCartPlayers; ++n)
                if (FlennPlayer* control = context_.Players.PlayerTable[n].Player)
                    control->PositionTick();
        }
    }

    CartPlayers::CartPlayerRecord& Player(int16_t n) { return context_.Players.PlayerTable[n]; }

    TestSupport::ScratchRegistry registry_;
    TestSupport::ScriptedBoxes boxes_;
    RecordingListener listener_;
    int16_t volume_ = 100;
};

} // namespace CartsTest
