// Recording into a cart through a real recorder fed from the file-fed input: pausing,
// resuming, keeping or discarding the recording, the recorder's events and the shut-down.
#include "PlayersFixture.h"

#include "carts/CartsState.h"
#include "carts/PlayerWindows.h"
#include "carts/Vantor_Cart_Routines.h"
#include "carts/frmAudioPlayerEngine.h"
#include "core/MultimediaAPI.h"
#include "platform/VB.h"
#include "player_controls/FlennRecorder.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

using namespace Vantor_Cart_Routines;
using CartsTest::Notice;
using CartsTest::Padded;

namespace {

constexpr int32_t kBytesPerSecond = 44100 * 4;

// The samples of a WAV file's "data" chunk.
std::vector<int16_t> DataSamples(const std::string& file) {
    for (size_t at = 12; at + 8 <= file.size();) {
        uint32_t size = 0;
        std::memcpy(&size, file.data() + at + 4, 4);
        if (file.compare(at, 4, "data") == 0) {
            std::vector<int16_t> samples(std::min<size_t>(size, file.size() - at - 8) / 2);
            std::memcpy(samples.data(), file.data() + at + 8, samples.size() * 2);
            return samples;
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

class RecorderOperations : public CartsTest::AudiowallTest {
protected:
    void SetUp() override {
        source_ = TestSupport::Tone(44100 * 3, 2);
        TestSupport::WriteBytes(
            dir_.File("source.raw"),
            std::string(reinterpret_cast<const char*>(source_.data()), source_.size() * 2));
        TestSupport::UseWaveDevices("capture", "file:" + dir_.File("source.raw"));
        UseFolder("wall", 1, 10);
        ASSERT_EQ(ConnectAudiowallParts(0, true), 0);
        Settings().Audio.TotalNumberCartPlayers = 0;
        Settings().Audio.EmptyCartBackColor = 0x112233;
        Settings().Audio.EmptyCartForeColor = 0x445566;
        recorder_.InitProperties();
        recorder_.SetReportErrors(false);
        recorder_.FlennStreamRecord1.SetNumberWaveBuffers(4);
        Audio_Player_FN::SetRecorderControl(&recorder_);
        Audio_Player_FN::AddNoticeListener(&listener_, CartPlayers::ncEverything);
    }
    void TearDown() override {
        Audio_Player_FN::RemoveNoticeListener(&listener_);
        Audio_Player_FN::SetRecorderControl(nullptr);
        bool discard = false;
        recorder_.CloseRecording(discard);
    }

    Carts::RecorderState& State() { return context_.Carts.Recorder; }

    // A stored cart, its audio file, and the recording into it prepared as a caller would.
    void Prepare(int32_t cart, const std::string& stored, const std::string& own) {
        CartRecord rec;
        rec.Description1 = Padded(stored);
        rec.BackColor = 0xFF;
        rec.ForeColor = 0xFF00;
        ASSERT_EQ(WriteCart(rec, cart, true, false), 0);
        TestSupport::WriteBytes(GetCartAudioFileName(cart, true, false), "old audio");
        State().RecorderCartNumber = cart;
        State().RecorderCart = rec;
        State().RecorderCart.Description1 = Padded(own);
        State().RecorderTempFile = dir_.File("take.wav");
        State().RecorderTransferPending = true;
    }
    void Record(uint32_t milliseconds, float recordLength = 0) {
        ASSERT_EQ(recorder_.RecordAudio(State().RecorderTempFile, 44100, 2, 1, 0, recordLength), 0);
        Capture(milliseconds);
    }
    // Moves the input on, handling its blocks and the position ticks.
    void Capture(uint32_t milliseconds) {
        for (uint32_t t = 0; t < milliseconds; t += 10) {
            Platform::WaveCapture::AdvanceMilliseconds(10);
            TestSupport::Pump();
            recorder_.tmrPosition_Timer();
        }
    }
    std::vector<int32_t> Codes() const {
        std::vector<int32_t> codes;
        for (const Notice& n : listener_.notices)
            codes.push_back(std::get<0>(n));
        return codes;
    }
    size_t CountOf(int32_t code) const {
        std::vector<int32_t> codes = Codes();
        return static_cast<size_t>(std::count(codes.begin(), codes.end(), code));
    }
    // The recorder's state after a close: nothing prepared, nothing measured.
    void ExpectForgotten() {
        EXPECT_EQ(State().RecorderStatus, 0);
        EXPECT_EQ(State().RecorderCartNumber, 0);
        EXPECT_TRUE(State().RecorderTempFile.empty());
        EXPECT_FALSE(State().RecorderTransferPending);
        EXPECT_EQ(State().RecorderCart, context_.Carts.BlankCartRecord);
        EXPECT_EQ(State().RecorderSecondsRecorded, 0);
        EXPECT_EQ(State().RecorderSecondsRemain, 0);
        EXPECT_EQ(State().RecorderLeftLevel, 0);
        EXPECT_EQ(State().RecorderRightLevel, 0);
        EXPECT_EQ(State().RecordStarted.Day, 0);
        EXPECT_EQ(State().RecordStarted.Seconds, -1);
    }

    TestSupport::ScratchRegistry registry_;
    TestSupport::ScriptedBoxes boxes_;
    CartsTest::RecordingListener listener_;
    std::vector<int16_t> source_;
    FlennRecorder recorder_;
};

TEST_F(RecorderOperations, KeptRecordingBecomesTheCartsAudioAndLength) {
    TestSupport::FrozenClock clock(46000, 3600.5);
    Prepare(7, "Currently Recording", "Currently Recording");
    Record(600);
    EXPECT_EQ(State().RecorderStatus, ersRecording);
    EXPECT_EQ(State().RecordStarted.Day, 46000);
    EXPECT_FLOAT_EQ(State().RecordStarted.Seconds, 3600.5f);
    EXPECT_GT(State().RecorderSecondsRecorded, 0.3f);
    EXPECT_FLOAT_EQ(State().RecorderCart.PlayLength,
                    State().RecorderSecondsRecorded + State().RecorderSecondsRemain);
    EXPECT_EQ(CountOf(79), 1u);
    EXPECT_GE(CountOf(247), 3u);

    listener_.notices.clear();
    ASSERT_TRUE(RecorderSave(1));
    EXPECT_EQ(boxes_.Count(), 0u) << "Mode 1 does not ask";
    EXPECT_FALSE(std::filesystem::exists(dir_.File("take.wav"))) << "moved into the cart";
    std::string file = TestSupport::ReadBytes(GetCartAudioFileName(7, true, false));
    std::vector<int16_t> audio = DataSamples(file);
    ASSERT_GT(audio.size(), 44100u / 2);
    auto at = std::search(source_.begin(), source_.end(), audio.begin(), audio.begin() + 200);
    ASSERT_NE(at, source_.end()) << "the recorded audio is the input's";
    EXPECT_EQ((at - source_.begin()) % 2, 0);
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), at));

    CartRecord stored;
    ASSERT_EQ(ReadCart(stored, 7), 0);
    const float seconds = static_cast<float>(audio.size() * 2) / kBytesPerSecond;
    EXPECT_NEAR(stored.PlayLength, seconds, 0.001f);
    EXPECT_EQ(stored.PlayLength,
              MultimediaAPI::GetWaveLengthSeconds(GetCartAudioFileName(7, false, false)));
    EXPECT_EQ(stored.AudioEnd, stored.PlayLength);
    EXPECT_EQ(stored.TotalLength, stored.PlayLength);
    EXPECT_EQ(stored.Extro, stored.PlayLength);
    EXPECT_EQ(stored.Description1, Padded("New Audio Recorded"));
    EXPECT_EQ(stored.BackColor, 0x112233);
    EXPECT_EQ(stored.ForeColor, 0x445566);

    EXPECT_EQ(State().LastRecordedCart, 7);
    EXPECT_EQ(State().LastRecordedSeconds, stored.PlayLength);
    ExpectForgotten();
    ASSERT_FALSE(listener_.notices.empty());
    EXPECT_EQ(listener_.notices.back(), Notice(48, 0, 7));
    EXPECT_FALSE(RecorderSave(1)) << "nothing left open";
}

TEST_F(RecorderOperations, OnlyACartMarkedAsRecordingIsRenamedAndRecoloured) {
    struct Case {
        const char* stored;
        const char* own;
        const char* description;
        int32_t backColor;
    };
    const Case cases[] = {
        {"Currently Recording", "Jingle", "Jingle", 0x112233},
        {"Jingle", "Currently Recording", "Currently Recording", 0xFF},
        {"  Currently Recording", "Currently Recording  ", "New Audio Recorded", 0x112233},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        Prepare(8, c.stored, c.own);
        Record(200);
        ASSERT_TRUE(RecorderSave(1));
        CartRecord stored;
        ASSERT_EQ(ReadCart(stored, 8), 0);
        EXPECT_EQ(stored.Description1, Padded(c.description));
        EXPECT_EQ(stored.BackColor, c.backColor);
        EXPECT_GT(stored.PlayLength, 0.1f);
    }
}

TEST_F(RecorderOperations, AnsweredNoDeletesTheCartAndItsAudio) {
    Prepare(12, "Currently Recording", "Currently Recording");
    Record(300);
    boxes_.Answer(Platform::vbNo);
    EXPECT_FALSE(RecorderSave(2));
    ASSERT_EQ(boxes_.Count(), 1u);
    const Platform::ShownBox& box = boxes_.Shown()[0];
    EXPECT_EQ(box.prompt, "Do you want to save the audio you have recorded into Cart 12?");
    EXPECT_EQ(box.buttons, Platform::vbYesNo | Platform::vbQuestion);
    EXPECT_EQ(box.title, "VNTZEL");
    EXPECT_FALSE(std::filesystem::exists(GetCartAudioFileName(12, true, false)));
    EXPECT_FALSE(std::filesystem::exists(dir_.File("take.wav"))) << "the recording is dropped";
    CartRecord stored;
    ReadCart(stored, 12);
    EXPECT_EQ(VB::Trim(stored.Description1), "");
    EXPECT_EQ(listener_.notices.back(), Notice(48, 0, 12));
    EXPECT_EQ(State().LastRecordedCart, 12);
    EXPECT_EQ(State().LastRecordedSeconds, -1);
    ExpectForgotten();
}

TEST_F(RecorderOperations, AnsweredYesKeepsAndOtherModesDiscardWithoutAsking) {
    Prepare(3, "Spot", "Spot");
    Record(200);
    boxes_.Answer(Platform::vbYes);
    EXPECT_TRUE(RecorderSave(2));
    EXPECT_EQ(boxes_.Count(), 1u);
    EXPECT_GT(DataSamples(TestSupport::ReadBytes(GetCartAudioFileName(3, true, false))).size(), 0u);

    for (int32_t mode : {0, 3, -1}) {
        Prepare(4, "Spot", "Spot");
        Record(200);
        EXPECT_FALSE(RecorderSave(mode)) << mode;
        EXPECT_FALSE(std::filesystem::exists(GetCartAudioFileName(4, true, false)));
        EXPECT_EQ(State().LastRecordedSeconds, -1);
    }
    EXPECT_EQ(boxes_.Count(), 1u);
}

TEST_F(RecorderOperations, RecordingWithoutAudioIsNotKept) {
    Prepare(5, "Spot", "Spot");
    ASSERT_EQ(recorder_.RecordAudio(State().RecorderTempFile, 44100, 2, 1, 0, 0), 0);
    EXPECT_FALSE(RecorderSave(1)) << "the recorder drops an empty recording";
    EXPECT_FALSE(std::filesystem::exists(GetCartAudioFileName(5, true, false)));
    EXPECT_EQ(State().LastRecordedSeconds, -1);
    EXPECT_EQ(listener_.notices.back(), Notice(48, 0, 5));
}

TEST_F(RecorderOperations, PauseAndResumeCountTheRecordersSuccessAsDone) {
    Prepare(6, "Spot", "Spot");
    Record(200);
    listener_.notices.clear();
    EXPECT_TRUE(RecorderPause());
    EXPECT_EQ(State().RecorderStatus, ersPaused);
    EXPECT_EQ(listener_.notices, std::vector<Notice>{Notice(71, 0, 0)});
    const float paused = recorder_.TotalSecondsRecorded();
    Capture(200);
    EXPECT_NEAR(recorder_.TotalSecondsRecorded(), paused, 0.001f) << "nothing gathered";
    listener_.notices.clear();
    EXPECT_TRUE(RecorderResume());
    EXPECT_EQ(State().RecorderStatus, ersRecording);
    EXPECT_EQ(Codes(), std::vector<int32_t>{79});
    Capture(200);
    EXPECT_GT(recorder_.TotalSecondsRecorded(), paused + 0.1f);

    // The recorder refuses (-1) once its recording is closed behind the operations' back.
    bool discard = false;
    recorder_.CloseRecording(discard);
    State().RecorderStatus = ersRecording;
    listener_.notices.clear();
    EXPECT_FALSE(RecorderPause());
    EXPECT_FALSE(RecorderResume());
    EXPECT_EQ(CountOf(71), 0u);
    EXPECT_EQ(CountOf(79), 0u);
}

TEST_F(RecorderOperations, ShiftedPlayerKeysReachTheRecorder) {
    using CartPlayers::kAltMask;
    using CartPlayers::kShiftMask;
    Prepare(6, "Spot", "Spot");
    Record(200);
    int32_t none = 0;
    EXPECT_EQ(Audio_Player_FN::HandlePlayerKey(121, kShiftMask, none), 0); // Shift+F10
    EXPECT_EQ(State().RecorderStatus, ersPaused);
    EXPECT_EQ(CountOf(71), 1u);
    Audio_Player_FN::HandlePlayerKey(120, kShiftMask, none); // Shift+F9
    EXPECT_EQ(State().RecorderStatus, ersRecording);
    Audio_Player_FN::HandlePlayerKey(123, kShiftMask | kAltMask, none); // Shift+Alt+F12
    EXPECT_EQ(boxes_.Count(), 0u);
    EXPECT_EQ(State().RecorderStatus, ersClosed);
    EXPECT_FALSE(std::filesystem::exists(GetCartAudioFileName(6, true, false))) << "discarded";
    EXPECT_EQ(listener_.notices.back(), Notice(48, 0, 6));
}

TEST_F(RecorderOperations, EveryOperationRefusesWithoutARecorderOrAnOpenRecording) {
    Prepare(9, "Spot", "Spot");
    EXPECT_EQ(State().RecorderStatus, 0);
    for (bool withRecorder : {true, false}) {
        SCOPED_TRACE(withRecorder);
        if (!withRecorder) {
            Record(100);
            Audio_Player_FN::SetRecorderControl(nullptr);
            EXPECT_EQ(State().RecorderStatus, ersRecording);
        }
        listener_.notices.clear();
        EXPECT_FALSE(RecorderPause());
        EXPECT_FALSE(RecorderResume());
        for (int32_t mode : {0, 1, 2})
            EXPECT_FALSE(RecorderSave(mode));
        EXPECT_TRUE(listener_.notices.empty());
        EXPECT_EQ(boxes_.Count(), 0u);
        EXPECT_EQ(State().RecorderCartNumber, 9) << "the prepared recording is left alone";
        EXPECT_EQ(TestSupport::ReadBytes(GetCartAudioFileName(9, true, false)), "old audio");
    }
}

TEST_F(RecorderOperations, EventsKeepTheStateAndSendTheirNotices) {
    TestSupport::FrozenClock clock(46001, 10.0);
    FlennRecorder& r = recorder_;
    emit r.RecordOpen();
    EXPECT_EQ(State().RecorderStatus, ersWaitingLevel);
    emit r.Recording();
    EXPECT_EQ(State().RecorderStatus, ersRecording);
    EXPECT_EQ(State().RecordStarted.Day, 46001);
    Platform::Clock::SetNow(46002, 20.0);
    emit r.Recording();
    EXPECT_EQ(State().RecordStarted.Day, 46001) << "the first start is kept";
    emit r.Paused();
    EXPECT_EQ(State().RecorderStatus, ersPaused);
    emit r.AudioLevelChanged(1200, 3400);
    EXPECT_EQ(State().RecorderLeftLevel, 1200);
    EXPECT_EQ(State().RecorderRightLevel, 3400);
    emit r.Closed();
    EXPECT_EQ(State().RecorderStatus, ersClosed);
    EXPECT_EQ(listener_.notices,
              (std::vector<Notice>{Notice(79, 0, 0), Notice(79, 0, 0), Notice(231, 0, 0)}));

    // Position: the recorder's seconds, their sum as the cart's lengths.
    Prepare(2, "Spot", "Spot");
    Record(0, 2.0f);
    Capture(500);
    EXPECT_FLOAT_EQ(State().RecorderSecondsRecorded, r.TotalSecondsRecorded());
    EXPECT_FLOAT_EQ(State().RecorderSecondsRemain, r.TotalSecondsRemain());
    EXPECT_GT(State().RecorderSecondsRemain, 1.0f);
    EXPECT_NEAR(State().RecorderCart.PlayLength, 2.0f, 0.001f);
    EXPECT_EQ(State().RecorderCart.TotalLength, State().RecorderCart.PlayLength);
    EXPECT_EQ(std::get<0>(listener_.notices.back()), 247);

    Audio_Player_FN::SetRecorderControl(nullptr);
    listener_.notices.clear();
    emit r.RecordOpen();
    emit r.AudioLevelChanged(1, 2);
    EXPECT_EQ(State().RecorderStatus, ersRecording) << "a recorder no longer in use is not heard";
    EXPECT_TRUE(listener_.notices.empty());
}

TEST_F(RecorderOperations, EndOfTheRecordingLengthAsksToKeepIt) {
    Prepare(11, "Currently Recording", "Currently Recording");
    boxes_.Answer(Platform::vbYes);
    Record(0, 0.5f);
    for (int i = 0; i < 200 && boxes_.Count() == 0; ++i)
        Capture(10);
    ASSERT_EQ(boxes_.Count(), 1u);
    EXPECT_EQ(boxes_.Shown()[0].prompt,
              "Do you want to save the audio you have recorded into Cart 11?");
    std::vector<int32_t> codes = Codes();
    auto end = std::find(codes.begin(), codes.end(), 138);
    ASSERT_NE(end, codes.end());
    EXPECT_LT(end, std::find(codes.begin(), codes.end(), 48)) << "138, then the save's 48";
    EXPECT_EQ(listener_.notices.back(), Notice(48, 0, 11));
    CartRecord stored;
    ASSERT_EQ(ReadCart(stored, 11), 0);
    EXPECT_NEAR(stored.PlayLength, 0.5f, 0.06f);
    EXPECT_EQ(State().RecorderStatus, 0);
}

TEST_F(RecorderOperations, ShutdownSavesAnOpenRecordingAndDropsTheRecorder) {
    Audio_Player_FN::ShutdownAudio();
    EXPECT_EQ(boxes_.Count(), 0u) << "nothing open, nothing asked";
    EXPECT_TRUE(State().RecorderControl.isNull());

    Audio_Player_FN::SetRecorderControl(&recorder_);
    Prepare(10, "Spot", "Spot");
    Record(300);
    boxes_.Answer(Platform::vbYes);
    Audio_Player_FN::ShutdownAudio();
    EXPECT_EQ(boxes_.Count(), 1u);
    EXPECT_TRUE(State().RecorderControl.isNull());
    EXPECT_EQ(State().LastRecordedCart, 10);
    EXPECT_GT(State().LastRecordedSeconds, 0.2f);
    EXPECT_EQ(recorder_.Status(), ersClosed);
}

} // namespace
