// The wave-device layer: header flags, positions, pause, reset, volume, mixing and the
// backends (capture on the virtual clock, the clocked null device, ALSA's null PCM).
#include "platform/WaveDevices.h"
#include "core/MultimediaAPI.h"
#include "platform/WaveCapture.h"
#include "platform/WindowMessages.h"
#include "support/TestSupport.h"
#include "support/WaveTestSupport.h"

#include <deque>
#include <gtest/gtest.h>

using namespace Platform;
using TestSupport::Pump;

namespace {

WaveFormat Pcm(uint16_t channels, uint32_t rate = 44100) {
    WaveFormat format;
    format.channels = channels;
    format.samplesPerSec = rate;
    format.bitsPerSample = 16;
    format.blockAlign = static_cast<uint16_t>(channels * 2);
    format.avgBytesPerSec = rate * format.blockAlign;
    return format;
}

// A window that records the notifications it is sent.
struct Listener {
    MessageWindow window;
    std::vector<std::pair<uint32_t, intptr_t>> received;
    Listener() {
        window.SetWindowProc([this](HWnd, uint32_t message, intptr_t, intptr_t lParam) {
            received.push_back({message, lParam});
            return intptr_t{0};
        });
    }
};

// A header over a block of samples.
struct Block {
    std::vector<int16_t> samples;
    WaveHeader header;
    explicit Block(std::vector<int16_t> data) : samples(std::move(data)) {
        header.data = reinterpret_cast<char*>(samples.data());
        header.bufferLength = static_cast<uint32_t>(samples.size() * 2);
    }
};

class WaveOutCapture : public ::testing::Test {
protected:
    void SetUp() override { TestSupport::UseWaveDevices("capture,null"); }
    void TearDown() override {
        if (handle) {
            waveOutReset(handle);
            waveOutClose(handle);
        }
    }
    void Open(uint16_t channels = 2, uint32_t rate = 44100) {
        WaveFormat format = Pcm(channels, rate);
        ASSERT_EQ(waveOutOpen(&handle, 0, &format, listener.window.Handle(), 0, CALLBACK_WINDOW),
                  MMSYSERR_NOERROR);
    }
    void Queue(Block& block) {
        ASSERT_EQ(waveOutPrepareHeader(handle, &block.header), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(handle, &block.header), MMSYSERR_NOERROR);
    }
    uint32_t Position(uint32_t type) {
        MMTime time;
        time.type = type;
        EXPECT_EQ(waveOutGetPosition(handle, &time), MMSYSERR_NOERROR);
        return time.value;
    }

    // Blocks live as long as the fixture, so that the tear-down's reset may touch them.
    Block& Make(std::vector<int16_t> samples) { return blocks.emplace_back(std::move(samples)); }

    std::deque<Block> blocks;
    Listener listener;
    HWaveOut handle = 0;
};

TEST_F(WaveOutCapture, HeaderIsDoneOnlyOncePlayedAndNotifiedFromTheLoop) {
    Open();
    Block& first = Make(TestSupport::Tone(1000, 2));
    Block& second = Make(TestSupport::Tone(1000, 2));
    Queue(first);
    Queue(second);
    EXPECT_TRUE(first.header.Has(WHDR_INQUEUE));
    EXPECT_FALSE(first.header.Has(WHDR_DONE));

    WaveCapture::AdvanceFrames(999);
    EXPECT_TRUE(first.header.Has(WHDR_INQUEUE)) << "one frame is still to play";
    EXPECT_EQ(Position(TIME_SAMPLES), 999u);
    WaveCapture::AdvanceFrames(501);
    EXPECT_TRUE(first.header.Has(WHDR_DONE));
    EXPECT_FALSE(first.header.Has(WHDR_INQUEUE));
    EXPECT_TRUE(second.header.Has(WHDR_INQUEUE));
    EXPECT_EQ(Position(TIME_BYTES), 1500u * 4);
    EXPECT_TRUE(listener.received.empty()) << "notifications wait for the event loop";

    Pump();
    ASSERT_EQ(listener.received.size(), 1u);
    EXPECT_EQ(listener.received[0].first, MM_WOM_DONE);
    EXPECT_EQ(listener.received[0].second, reinterpret_cast<intptr_t>(&first.header));
}

TEST_F(WaveOutCapture, PauseKeepsTheRestAndResetReturnsEverything) {
    Open();
    Block& block = Make(TestSupport::Tone(3000, 2));
    Queue(block);
    WaveCapture::AdvanceFrames(1000);
    ASSERT_EQ(waveOutPause(handle), MMSYSERR_NOERROR);
    WaveCapture::AdvanceFrames(5000);
    EXPECT_EQ(Position(TIME_SAMPLES), 1000u);
    waveOutRestart(handle);
    WaveCapture::AdvanceFrames(2000);
    EXPECT_TRUE(block.header.Has(WHDR_DONE));
    std::vector<WaveCapture::StreamRecord> streams = WaveCapture::Streams();
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0].samples, block.samples);
    ASSERT_EQ(streams[0].runs.size(), 2u) << "the pause splits the play in two";
    EXPECT_EQ(streams[0].runs[1].startFrame, 6000u);

    Block& again = Make(TestSupport::Tone(3000, 2));
    Queue(again);
    WaveCapture::AdvanceFrames(10);
    ASSERT_EQ(waveOutReset(handle), MMSYSERR_NOERROR);
    EXPECT_TRUE(again.header.Has(WHDR_DONE));
    EXPECT_EQ(Position(TIME_SAMPLES), 0u);
    EXPECT_EQ(waveOutUnprepareHeader(handle, &again.header), MMSYSERR_NOERROR);
}

TEST_F(WaveOutCapture, RefusesMisuseWithItsResultCodes) {
    Open();
    Block& block = Make(TestSupport::Tone(100, 2));
    EXPECT_EQ(waveOutWrite(handle, &block.header), WAVERR_UNPREPARED);
    Queue(block);
    EXPECT_EQ(waveOutWrite(handle, &block.header), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(handle, &block.header), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutClose(handle), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutPause(12345), MMSYSERR_INVALHANDLE);

    HWaveOut other = 0;
    WaveFormat eightBit = Pcm(2);
    eightBit.bitsPerSample = 8;
    EXPECT_EQ(waveOutOpen(&other, 0, &eightBit, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
    WaveFormat good = Pcm(2);
    EXPECT_EQ(waveOutOpen(&other, 7, &good, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    std::string text;
    EXPECT_EQ(waveOutGetErrorText(WAVERR_STILLPLAYING, text), MMSYSERR_NOERROR);
    EXPECT_EQ(text, "The buffer is still in the device queue.");
    EXPECT_EQ(waveInGetErrorText(MMSYSERR_BADDEVICEID, text), MMSYSERR_NOERROR);
    EXPECT_EQ(text, "The device number is out of range.");
    EXPECT_EQ(waveOutGetErrorText(12345, text), 9) << "an unknown code has no text";
    EXPECT_EQ(text, "");
}

TEST_F(WaveOutCapture, VolumeAppliesAtTheOutputPerChannel) {
    Open();
    ASSERT_EQ(waveOutSetVolume(handle, 0xFFFF7FFF), MMSYSERR_NOERROR); // left half, right full
    Block& block = Make({1000, 1000, -3001, -3001, 32767, 32767});
    Queue(block);
    WaveCapture::AdvanceFrames(3);
    std::vector<int16_t> out = WaveCapture::Streams()[0].samples;
    EXPECT_EQ(out, (std::vector<int16_t>{500, 1000, -1500, -3001, 16383, 32767}));
    uint32_t volume = 0;
    waveOutGetVolume(handle, &volume);
    EXPECT_EQ(volume, 0xFFFF7FFFu);
}

TEST_F(WaveOutCapture, StreamsMixOntoOneTimeline) {
    Open(2);
    Listener otherListener;
    HWaveOut mono = 0, slow = 0;
    WaveFormat monoFormat = Pcm(1), slowFormat = Pcm(2, 22050);
    ASSERT_EQ(waveOutOpen(&mono, 0, &monoFormat, otherListener.window.Handle(), 0, CALLBACK_WINDOW),
              MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutOpen(&slow, 0, &slowFormat, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    Block& stereoBlock = Make({100, 200, 100, 200});
    Block& monoBlock = Make({10, 10});
    Block& slowBlock = Make({1, 2, 3, 4});
    Queue(stereoBlock);
    ASSERT_EQ(waveOutPrepareHeader(mono, &monoBlock.header), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(mono, &monoBlock.header), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutPrepareHeader(slow, &slowBlock.header), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(slow, &slowBlock.header), MMSYSERR_NOERROR);

    WaveCapture::AdvanceFrames(6);
    std::vector<int16_t> timeline = WaveCapture::Timeline();
    // Frames 0-1: all three; 2-3: the half-rate stream's second frame alone.
    EXPECT_EQ(timeline, (std::vector<int16_t>{111, 212, 111, 212, 3, 4, 3, 4, 0, 0, 0, 0}));
    EXPECT_TRUE(slowBlock.header.Has(WHDR_DONE));
    MMTime time;
    time.type = TIME_SAMPLES;
    waveOutGetPosition(slow, &time);
    EXPECT_EQ(time.value, 2u) << "the slow stream counts its own frames";
    waveOutClose(mono);
    waveOutClose(slow);
}

TEST_F(WaveOutCapture, WaitDoneMovesTheVirtualClockOn) {
    Open();
    Block& block = Make(TestSupport::Tone(4410, 2)); // 100 ms
    Queue(block);
    EXPECT_FALSE(waveOutWaitDone(handle, &block.header, 50));
    EXPECT_TRUE(waveOutWaitDone(handle, &block.header, 100));
    EXPECT_EQ(WaveCapture::NowFrames(), 4410u);
}

TEST(WaveDeviceList, ComesFromTheEnvironment) {
    TestSupport::UseWaveDevices("capture, null,alsa:null", "file:/nonexistent,null");
    EXPECT_EQ(waveOutGetNumDevs(), 3u);
    WaveOutCaps caps;
    ASSERT_EQ(waveOutGetDevCaps(1, &caps), MMSYSERR_NOERROR);
    EXPECT_EQ(caps.productName, "Null output");
    EXPECT_TRUE(caps.support & WAVECAPS_VOLUME);
    ASSERT_EQ(waveOutGetDevCaps(WAVE_MAPPER, &caps), MMSYSERR_NOERROR);
    EXPECT_EQ(caps.productName, "Wave mapper");
    EXPECT_EQ(waveOutGetDevCaps(3, &caps), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveInGetNumDevs(), 2u);
    HWaveIn input = 0;
    WaveFormat format = Pcm(2);
    EXPECT_NE(waveInOpen(&input, 0, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR)
        << "a missing file cannot feed a capture";
    EXPECT_EQ(input, 0);
    EXPECT_EQ(MultimediaAPI::CountWaveOutDevices(44100, 2), 3) << "the device choice sees them";
    EXPECT_EQ(MultimediaAPI::LastWaveInDevice(22050, 1), 1);
}

TEST(WaveNullDevice, PlaysByItsClock) {
    TestSupport::UseWaveDevices("null");
    TestSupport::NullDeviceClock clock;
    Listener listener;
    HWaveOut handle = 0;
    WaveFormat format = Pcm(2);
    ASSERT_EQ(
        waveOutOpen(&handle, WAVE_MAPPER, &format, listener.window.Handle(), 0, CALLBACK_WINDOW),
        MMSYSERR_NOERROR);
    Block block(TestSupport::Tone(8820, 2)); // 200 ms
    ASSERT_EQ(waveOutPrepareHeader(handle, &block.header), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(handle, &block.header), MMSYSERR_NOERROR);
    MMTime time;
    time.type = TIME_SAMPLES;
    const auto playedTo = [&](uint32_t frames) {
        return TestSupport::PumpUntil(
            [&] { return waveOutGetPosition(handle, &time) == 0 && time.value == frames; }, 3000);
    };
    clock.Advance(150);
    EXPECT_TRUE(playedTo(6615)) << time.value;
    EXPECT_FALSE(block.header.Has(WHDR_DONE));
    clock.Advance(100);
    EXPECT_TRUE(playedTo(8820)) << "no more than was queued: " << time.value;
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return !listener.received.empty(); }, 3000));
    EXPECT_TRUE(block.header.Has(WHDR_DONE));

    Block paused(TestSupport::Tone(441, 2));
    waveOutPause(handle);
    waveOutPrepareHeader(handle, &paused.header);
    waveOutWrite(handle, &paused.header);
    clock.Advance(100);
    EXPECT_FALSE(waveOutWaitDone(handle, &paused.header, 50)) << "a paused device plays nothing";
    waveOutReset(handle);
    EXPECT_EQ(waveOutClose(handle), MMSYSERR_NOERROR);
}

// Null outputs share one clock thread: each header is done on time without its owner asking,
// also a header queued behind one still playing, and closing one output leaves the other on.
TEST(WaveNullDevice, OutputsShareTheClockThread) {
    TestSupport::UseWaveDevices("null");
    TestSupport::NullDeviceClock clock;
    Listener first, second;
    HWaveOut a = 0, b = 0;
    WaveFormat format = Pcm(2);
    ASSERT_EQ(waveOutOpen(&a, 0, &format, first.window.Handle(), 0, CALLBACK_WINDOW), 0);
    ASSERT_EQ(waveOutOpen(&b, 0, &format, second.window.Handle(), 0, CALLBACK_WINDOW), 0);
    Block blockA(TestSupport::Tone(441, 2)), blockB(TestSupport::Tone(441, 2)),
        behind(TestSupport::Tone(441, 2));
    for (auto [handle, block] : {std::pair{a, &blockA}, {b, &blockB}, {b, &behind}}) {
        ASSERT_EQ(waveOutPrepareHeader(handle, &block->header), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(handle, &block->header), MMSYSERR_NOERROR);
    }
    clock.Advance(15);
    ASSERT_TRUE(TestSupport::PumpUntil(
        [&] { return first.received.size() == 1 && second.received.size() == 1; }, 3000));
    EXPECT_EQ(second.received.front().second, reinterpret_cast<intptr_t>(&blockB.header));
    EXPECT_FALSE(behind.header.Has(WHDR_DONE)) << "5 ms of the second block are still due";
    EXPECT_EQ(waveOutClose(a), MMSYSERR_NOERROR);
    clock.Advance(10);
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return second.received.size() == 2; }, 3000));
    EXPECT_EQ(second.received.back().second, reinterpret_cast<intptr_t>(&behind.header));
    EXPECT_EQ(waveOutClose(b), MMSYSERR_NOERROR);
}

TEST(WaveAlsaDevice, PlaysOnAlsasNullPcm) {
    TestSupport::UseWaveDevices("alsa:null");
    Listener listener;
    HWaveOut handle = 0;
    WaveFormat format = Pcm(2);
    ASSERT_EQ(waveOutOpen(&handle, 0, &format, listener.window.Handle(), 0, CALLBACK_WINDOW),
              MMSYSERR_NOERROR);
    std::vector<Block> blocks;
    blocks.reserve(3);
    for (int i = 0; i < 3; ++i)
        blocks.emplace_back(TestSupport::Tone(2205, 2));
    waveOutPause(handle);
    for (Block& block : blocks) {
        ASSERT_EQ(waveOutPrepareHeader(handle, &block.header), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(handle, &block.header), MMSYSERR_NOERROR);
    }
    waveOutRestart(handle);
    EXPECT_TRUE(waveOutWaitDone(handle, &blocks.back().header, 5000));
    EXPECT_TRUE(blocks.front().header.Has(WHDR_DONE));
    MMTime time;
    time.type = TIME_SAMPLES;
    waveOutGetPosition(handle, &time);
    EXPECT_EQ(time.value, 3u * 2205);
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return listener.received.size() == 3; }, 2000));
    EXPECT_EQ(waveOutClose(handle), MMSYSERR_NOERROR);
}

TEST(WaveFileInput, DeliversTheFileInFullBlocksOnTheVirtualClock) {
    TestSupport::ScratchDir dir;
    std::vector<int16_t> samples = TestSupport::Tone(1000, 2);
    TestSupport::WriteBytes(
        dir.File("in.raw"),
        std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * 2));
    TestSupport::UseWaveDevices("capture", "file:" + dir.File("in.raw"));
    Listener listener;
    HWaveIn handle = 0;
    WaveFormat format = Pcm(2);
    ASSERT_EQ(waveInOpen(&handle, 0, &format, listener.window.Handle(), 0, CALLBACK_WINDOW),
              MMSYSERR_NOERROR);
    std::vector<int16_t> one(800), two(800);
    WaveHeader first, second;
    first.data = reinterpret_cast<char*>(one.data());
    first.bufferLength = 1600;
    second.data = reinterpret_cast<char*>(two.data());
    second.bufferLength = 1600;
    for (WaveHeader* header : {&first, &second}) {
        ASSERT_EQ(waveInPrepareHeader(handle, header), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(handle, header), MMSYSERR_NOERROR);
    }
    WaveCapture::AdvanceFrames(300);
    EXPECT_FALSE(first.Has(WHDR_DONE)) << "nothing is captured before the start";
    waveInStart(handle);
    WaveCapture::AdvanceFrames(399);
    EXPECT_FALSE(first.Has(WHDR_DONE));
    WaveCapture::AdvanceFrames(1);
    EXPECT_TRUE(first.Has(WHDR_DONE));
    EXPECT_EQ(first.bytesRecorded.load(), 1600u);
    EXPECT_TRUE(std::equal(one.begin(), one.end(), samples.begin()));
    WaveCapture::AdvanceFrames(100);
    ASSERT_EQ(waveInStop(handle), MMSYSERR_NOERROR);
    EXPECT_TRUE(second.Has(WHDR_DONE)) << "stop returns the part-filled block";
    EXPECT_EQ(second.bytesRecorded.load(), 400u);
    Pump();
    ASSERT_EQ(listener.received.size(), 2u);
    EXPECT_EQ(listener.received[0].first, MM_WIM_DATA);
    MMTime time;
    time.type = TIME_BYTES;
    waveInGetPosition(handle, &time);
    EXPECT_EQ(time.value, 2000u);
    EXPECT_EQ(waveInClose(handle), MMSYSERR_NOERROR);
}

} // namespace
