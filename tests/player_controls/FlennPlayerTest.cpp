// The file player on the capture device: events in order, the audio as in the file, seeks,
// pauses, reopening from inside events and refusal of broken files.
#include "support/ScratchRegistry.h"
#include "support/TestSupport.h"
#include "support/WavFixtures.h"
#include "support/WaveTestSupport.h"

#include "platform/WaveCapture.h"
#include "player_controls/FlennPlayer.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace WaveCapture = Platform::WaveCapture;
using namespace WavFixtures;

namespace {

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestSupport::UseWaveDevices("capture,null");
        player.InitProperties();
        const auto note = [this](const char* name) {
            return [this, name] { events.push_back(name); };
        };
        QObject::connect(&player, &FlennPlayer::Opened, note("Opened"));
        QObject::connect(&player, &FlennPlayer::Closed, note("Closed"));
        QObject::connect(&player, &FlennPlayer::Cued, note("Cued"));
        QObject::connect(&player, &FlennPlayer::IntroStartReached, note("IntroStart"));
        QObject::connect(&player, &FlennPlayer::IntroEndReached, note("IntroEnd"));
        QObject::connect(&player, &FlennPlayer::HookStartReached, note("HookStart"));
        QObject::connect(&player, &FlennPlayer::HookEndReached, note("HookEnd"));
        QObject::connect(&player, &FlennPlayer::ExtroReached, note("Extro"));
        QObject::connect(&player, &FlennPlayer::AudioEndReached, note("AudioEnd"));
        QObject::connect(&player, &FlennPlayer::AudioPositionChanged, [this](bool changing) {
            if (changing) events.push_back("PositionChanged(True)");
        });
        QObject::connect(&player, &FlennPlayer::PlayerError,
                         [this](int32_t code) { errors.push_back(code); });
    }

    std::string WriteFile(const std::string& name, const std::string& bytes) {
        std::string path = dir.File(name);
        Write(path, bytes);
        return path;
    }

    void Run(uint32_t milliseconds, uint32_t step = 10) {
        for (uint32_t t = 0; t < milliseconds; t += step) {
            WaveCapture::AdvanceMilliseconds(step);
            TestSupport::Pump();
            player.PositionTick();
        }
    }

    std::vector<int16_t> Played() {
        std::vector<WaveCapture::StreamRecord> streams = WaveCapture::Streams();
        return streams.empty() ? std::vector<int16_t>{} : streams.back().samples;
    }

    TestSupport::ScratchRegistry registry;
    TestSupport::ScratchDir dir;
    TestSupport::ScriptedBoxes boxes;
    std::vector<std::string> events;
    std::vector<int32_t> errors;
    FlennPlayer player; // after what its events write into: it closes when destroyed
};

TEST_F(PlayerTest, PcmFilePlaysToTheEndWithMarkerEventsInOrder) {
    std::vector<int16_t> tone = TestSupport::Tone(44100, 2);
    std::string path = WriteFile("tone.wav", PcmWav(2, 44100, tone));
    ASSERT_EQ(player.OpenAudio(path), 0);
    EXPECT_EQ(player.Status(), epsCued);
    EXPECT_EQ(player.TotalBlocks(), 44100);
    player.SetHookStart(0.2f);
    player.SetHookEnd(0.3f);
    player.SetExtro(0.8f);
    events.clear();
    ASSERT_EQ(player.PlayAudio(), 0);
    Run(1400);
    const std::vector<std::string> expected = {
        "PositionChanged(True)", "IntroStart", "IntroEnd", "HookStart", "HookEnd",
        "PositionChanged(True)", "Extro",      "AudioEnd"};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(Played(), tone) << "every sample once, in order";
    EXPECT_EQ(player.Status(), epsPaused);
    EXPECT_TRUE(errors.empty());

    // An empty data chunk is an empty cart: it ends at once, with no error and no box.
    player.SetReportErrors(true);
    std::string empty = WriteFile("empty.wav", PcmWav(2, 44100, {}));
    ASSERT_EQ(player.OpenAudio(empty), 0) << (boxes.Count() ? boxes.Shown().back().prompt : "");
    events.clear();
    ASSERT_EQ(player.PlayAudio(), 0);
    Run(300);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), "AudioEnd");
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(PlayerTest, BrokenFilesAreRefused) {
    std::vector<int16_t> tone = TestSupport::Tone(4410, 2);
    std::string good = PcmWav(2, 44100, tone);
    std::string noFmt = Riff("WAVE", Chunk("data", std::string(400, '\0')));
    std::string zeroAlign = Riff("WAVE", Chunk("fmt ", FmtBody(1, 2, 44100, 176400, 0, 16)) +
                                             Chunk("data", std::string(400, '\0')));
    std::string zeroRate = Riff("WAVE", Chunk("fmt ", FmtBody(1, 2, 44100, 0, 4, 16)) +
                                            Chunk("data", std::string(400, '\0')));
    std::string random(3000, '\0');
    for (size_t i = 0; i < random.size(); ++i)
        random[i] = static_cast<char>((i * 7919 + 13) % 251);
    for (const std::string& bytes :
         {good.substr(0, 30), noFmt, zeroAlign, zeroRate, random, std::string()}) {
        std::string path = WriteFile("bad.wav", bytes);
        errors.clear();
        EXPECT_NE(player.OpenAudio(path), 0);
        EXPECT_FALSE(errors.empty());
        EXPECT_EQ(player.Status(), epsClosed);
    }
    // A data size larger than the file plays what the file holds.
    std::string lying = good;
    std::string size;
    PutLong(size, 1000000);
    lying.replace(lying.size() - tone.size() * 2 - 4, 4, size);
    std::string path = WriteFile("lying.wav", lying);
    ASSERT_EQ(player.OpenAudio(path), 0);
    EXPECT_EQ(player.TotalBlocks(), 4410);

    // A good file is refused too when its stream cannot start.
    TestSupport::UseWaveDevices("file:/nowhere"); // no output device at all
    errors.clear();
    path = WriteFile("good.wav", good);
    EXPECT_EQ(player.OpenAudio(path), -1);
    EXPECT_EQ(errors, std::vector<int32_t>{0}) << "the stream's own report, once";
    EXPECT_EQ(player.Status(), epsClosed);
    EXPECT_EQ(boxes.Shown().back().title, "FlennStream - FlennPlay Open");
}

TEST_F(PlayerTest, AdpcmAnd24BitFilesPlayAsDecoded) {
    std::vector<int16_t> tone = TestSupport::Tone(22050, 2);
    std::string pcm = WriteFile("tone.wav", PcmWav(2, 44100, tone));
    for (const char* options : {"-e ima-adpcm", "-b 24 -e signed-integer"}) {
        std::string path = dir.File("coded.wav");
        ASSERT_TRUE(RunTool("sox -D '" + pcm + "' " + options + " '" + path + "'"));
        std::vector<int16_t> decoded = SoxDecode(path, dir.Path());
        ASSERT_FALSE(decoded.empty());
        TestSupport::UseWaveDevices("capture,null");
        ASSERT_EQ(player.OpenAudio(path), 0) << options;
        events.clear();
        player.PlayAudio();
        Run(800);
        EXPECT_EQ(events.back(), "AudioEnd") << options;
        std::vector<int16_t> played = Played();
        ASSERT_EQ(played.size(), decoded.size()) << options;
        EXPECT_LE(MaxDifference(played, decoded), 2) << options;
    }
}

TEST_F(PlayerTest, SeekPauseAndResumeLoseNoSamples) {
    std::vector<int16_t> tone = TestSupport::Tone(44100, 2);
    std::string path = WriteFile("tone.wav", PcmWav(2, 44100, tone));
    ASSERT_EQ(player.OpenAudio(path), 0);
    player.PlayAudio();
    Run(300);
    EXPECT_EQ(player.Status(), epsPlaying);
    player.PauseAudio();
    TestSupport::Pump();
    EXPECT_EQ(player.Status(), epsPaused);
    Run(200); // paused: nothing plays
    player.PlayAudio();
    Run(1200);
    EXPECT_EQ(Played(), tone) << "pause and resume keep every sample";

    // A seek while playing keeps playing from the new place.
    TestSupport::UseWaveDevices("capture,null");
    ASSERT_EQ(player.OpenAudio(path), 0);
    player.PlayAudio();
    Run(200);
    ASSERT_TRUE(player.SeekTime(0.5f));
    EXPECT_EQ(player.Status(), epsPlaying);
    EXPECT_NEAR(player.TotalSecondsPlayed(), 0.5f, 0.01f);
    Run(800);
    std::vector<int16_t> played = Played();
    std::vector<int16_t> tail(tone.begin() + 22050 * 2, tone.end());
    ASSERT_GE(played.size(), tail.size());
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), played.end() - static_cast<long>(tail.size())))
        << "the end of the capture is the file from the seek on";
}

TEST_F(PlayerTest, CueSeeksToTheSectionStart) {
    std::string path = WriteFile("tone.wav", PcmWav(2, 44100, TestSupport::Tone(44100 * 2, 2)));
    ASSERT_EQ(player.OpenAudio(path), 0);
    player.SetAudioStart(0.5f);
    player.PlayAudio();
    Run(300);
    ASSERT_EQ(player.CueAudio(), 0);
    EXPECT_NEAR(player.TotalSecondsPlayed(), 0.5f, 0.001f) << "file time of AudioStart";
    EXPECT_EQ(player.Status(), epsCued);
    EXPECT_EQ(events.back(), "Cued");
}

TEST_F(PlayerTest, ReopeningInsideAnEventStopsTheOldFilesWork) {
    std::vector<int16_t> first = TestSupport::Tone(44100, 2);
    std::vector<int16_t> second = TestSupport::Tone(4410, 1);
    std::string a = WriteFile("a.wav", PcmWav(2, 44100, first));
    std::string b = WriteFile("b.wav", PcmWav(1, 22050, second));
    ASSERT_EQ(player.OpenAudio(a), 0);
    bool reopened = false;
    QObject::connect(&player, &FlennPlayer::IntroStartReached, [&] {
        if (reopened) return;
        reopened = true;
        EXPECT_EQ(player.OpenAudio(b), 0);
    });
    events.clear();
    player.PlayAudio();
    Run(100);
    ASSERT_TRUE(reopened);
    // The old file's IntroEnd is never raised; the new file opened cued.
    const std::vector<std::string> expected = {"PositionChanged(True)", "IntroStart", "Closed",
                                               "PositionChanged(True)", "Opened"};
    ASSERT_GE(events.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 5), expected);
    EXPECT_EQ(player.AudioFileName(), b);
    EXPECT_EQ(player.Status(), epsCued);
}

TEST_F(PlayerTest, DebugFileHoldsTheLinesOfItsLevel) {
    std::string path = WriteFile("tone.wav", PcmWav(2, 44100, TestSupport::Tone(4410, 2)));
    for (int32_t level : {dmBasic, dmMedium, dmFull}) {
        std::string log = dir.File("debug" + std::to_string(level) + ".log");
        player.SetDebugFile(log, level);
        ASSERT_EQ(player.OpenAudio(path), 0);
        player.PlayAudio();
        Run(200);
        player.CueAudio();
        player.SetDebugFile("", dmOff);
        std::string text = Read(log);
        EXPECT_NE(text.find("Start Function PlayAudio"), std::string::npos) << level;
        EXPECT_NE(text.find("End Function PlayAudio\r\n\r\n"), std::string::npos) << level;
        EXPECT_EQ(text.find("Flushing Playback") != std::string::npos, level >= dmMedium);
        EXPECT_EQ(text.find("End Function UpdateAudioTimes - ") != std::string::npos,
                  level >= dmMedium);
        EXPECT_EQ(text.find("BufferAvailable Event, BufNum: -1") != std::string::npos,
                  level >= dmFull);
        EXPECT_EQ(text.find("RaiseEvent AudioPositionChanged(True)") != std::string::npos,
                  level >= dmFull);
    }
}

TEST_F(PlayerTest, ConvertedCartsPlayWhole) {
    std::string source =
        WriteFile("source.wav", PcmWav(2, 48000, TestSupport::Tone(48000, 2, 48000)));
    std::string mp2 = dir.File("a.mp2");
    ASSERT_TRUE(RunTool("twolame -b 256 '" + source + "' '" + mp2 + "'"));
    std::string mpeg = WriteFile("mpeg.wav", MpegWav(Read(mp2), 2, 48000, 256000));
    // 32 KB of padding before the first frame decodes to nothing for a while.
    std::string padded =
        WriteFile("padded.wav", MpegWav(std::string(32768, '\0') + Read(mp2), 2, 48000, 256000));
    std::string alaw = dir.File("alaw.wav"), ima = dir.File("ima.wav");
    ASSERT_TRUE(RunTool("sox -D '" + source + "' -r 8000 -e a-law '" + alaw + "'"));
    ASSERT_TRUE(RunTool("sox -D '" + source + "' -r 22050 -e ima-adpcm '" + ima + "'"));
    struct Case {
        std::string path;
        double seconds; // the length decoded from the file
        size_t slack;   // frames at 44.1 kHz
    };
    const double imaSeconds = SoxDecode(ima, dir.Path()).size() / 2 / 22050.0;
    // Layer II: whole frames of 1152 samples, the last one part filled.
    const Case cases[] = {{alaw, 1.0, 2},
                          {ima, imaSeconds, 2},
                          {mpeg, 1.0, 1152 * 44100 / 48000 + 2},
                          {padded, 1.0, 1152 * 44100 / 48000 + 2}};
    for (const Case& c : cases) {
        TestSupport::UseWaveDevices("capture,null");
        ASSERT_EQ(player.OpenAudio(const_cast<std::string&>(c.path)), 0) << c.path;
        events.clear();
        player.PlayAudio();
        Run(1600);
        ASSERT_FALSE(events.empty()) << c.path;
        EXPECT_EQ(events.back(), "AudioEnd") << c.path;
        EXPECT_EQ(player.Status(), epsPaused) << c.path;
        const double frames = Played().size() / 2.0;
        EXPECT_GE(frames, c.seconds * 44100 - 2) << c.path << ": the end of the file is lost";
        EXPECT_LE(frames, c.seconds * 44100 + c.slack) << c.path;
    }
    // Data with no frame at all, cued as a cart player loads it: no end before the play, then
    // one end event and one error event, and nothing counted as played.
    std::string garbage(20000, '\0');
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919 + 13) % 239 & 0xE7);
    std::string none = WriteFile("none.wav", MpegWav(garbage, 2, 48000, 256000));
    errors.clear();
    events.clear();
    ASSERT_EQ(player.OpenAudio(none), 0);
    player.CueAudio();
    Run(200);
    EXPECT_EQ(std::count(events.begin(), events.end(), "AudioEnd"), 0) << "ended while loading";
    player.PlayAudio();
    Run(800);
    EXPECT_EQ(std::count(events.begin(), events.end(), "AudioEnd"), 1);
    EXPECT_EQ(events.back(), "AudioEnd");
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(player.SecondsPlayed(), 0.f);
    EXPECT_EQ(player.Status(), epsCued);
}

TEST_F(PlayerTest, DataThatDoesNotDecodePlaysAsSilenceWithOneError) {
    std::string source = WriteFile("source.wav", PcmWav(2, 44100, TestSupport::Tone(44100, 2)));
    std::string path = dir.File("ms.wav");
    ASSERT_TRUE(RunTool("sox -D '" + source + "' -e ms-adpcm '" + path + "'"));
    const size_t frames = SoxDecode(path, dir.Path()).size() / 2;
    std::string bytes = Read(path);
    const size_t data = bytes.find("data") + 8;
    const uint16_t align = static_cast<uint8_t>(bytes[32]) | static_cast<uint8_t>(bytes[33]) << 8;
    for (size_t block : {3, 4, 20}) // bad predictor numbers on both channels
        bytes[data + block * align] = bytes[data + block * align + 1] = '\x7F';
    for (bool report : {false, true}) {
        path = WriteFile(report ? "shown.wav" : "quiet.wav", bytes);
        TestSupport::UseWaveDevices("capture,null");
        player.SetReportErrors(report);
        Platform::ClearShownBoxes();
        errors.clear();
        ASSERT_EQ(player.OpenAudio(path), 0);
        events.clear();
        player.PlayAudio();
        Run(1600);
        EXPECT_EQ(errors.size(), 1u) << "one error event for the file";
        EXPECT_EQ(boxes.Count(), report ? 1u : 0u);
        EXPECT_EQ(events.back(), "AudioEnd");
        std::vector<int16_t> played = Played();
        EXPECT_NEAR(played.size() / 2.0, frames, 2) << "the timeline is kept";
        int loudest = 0;
        for (int16_t v : played)
            loudest = std::max(loudest, std::abs(int(v)));
        EXPECT_LT(loudest, 12500) << "undecoded bytes reached the device";
        Platform::ClearShownBoxes();
    }
}

TEST_F(PlayerTest, RefusedOpensShowOneBoxAtMost) {
    // Extra bytes the chunk does not hold; a format with no decoder.
    std::string extra(20, 'x');
    std::string body = FmtBody(0x11, 2, 44100, 44359, 2048, 4, &extra);
    body[16] = '\x28';
    body[17] = '\x23'; // 9000 extra bytes claimed
    std::string overlong = Riff("WAVE", Chunk("fmt ", body) + Chunk("data", std::string(8192, 1)));
    std::string gsm = Riff("WAVE", Chunk("fmt ", FmtBody(0x31, 1, 8000, 1625, 65, 0, &extra)) +
                                       Chunk("data", std::string(6500, 1)));
    for (const std::string& bytes : {overlong, gsm}) {
        for (bool report : {false, true}) {
            std::string path = WriteFile("refused.wav", bytes);
            player.SetReportErrors(report);
            Platform::ClearShownBoxes();
            errors.clear();
            EXPECT_NE(player.OpenAudio(path), 0);
            EXPECT_EQ(player.Status(), epsClosed);
            EXPECT_EQ(boxes.Count(), report ? 1u : 0u);
            EXPECT_FALSE(errors.empty());
        }
    }
}

} // namespace
