// FlennStreamRecord capturing from a file-fed input on the virtual clock.
#include "audio_engine/FlennStreamRecord.h"
#include "platform/WaveCapture.h"
#include "support/TestSupport.h"
#include "support/WaveTestSupport.h"

#include <gtest/gtest.h>

using namespace Platform;
using TestSupport::Pump;

namespace {

class RecordEngine : public ::testing::Test {
protected:
    void SetUp() override {
        source = TestSupport::Tone(44100, 2); // one second
        TestSupport::WriteBytes(
            dir.File("source.raw"),
            std::string(reinterpret_cast<const char*>(source.data()), source.size() * 2));
        TestSupport::UseWaveDevices("capture", "file:" + dir.File("source.raw"));
        record = std::make_unique<FlennStreamRecord>();
        record->InitProperties();
        record->SetWaveBufferLength(4410); // 25 ms
        record->SetNumberWaveBuffers(4);
        QObject::connect(record.get(), &FlennStreamRecord::BufferReceived,
                         [this](intptr_t pointer, int32_t size) {
                             EXPECT_FALSE(insideDevice);
                             sizes.push_back(size);
                             const int16_t* samples = reinterpret_cast<const int16_t*>(pointer);
                             if (size > 0)
                                 received.insert(received.end(), samples, samples + size / 2);
                         });
        QObject::connect(record.get(), &FlennStreamRecord::PlayerError,
                         [this](int32_t code) { errors.push_back(code); });
    }

    void Capture(uint32_t milliseconds, uint32_t step = 5) {
        for (uint32_t t = 0; t < milliseconds; t += step) {
            insideDevice = true;
            WaveCapture::AdvanceMilliseconds(step);
            insideDevice = false;
            Pump();
        }
    }

    TestSupport::ScratchDir dir;
    TestSupport::ScriptedBoxes boxes;
    std::vector<int16_t> source;
    std::unique_ptr<FlennStreamRecord> record;
    std::vector<int16_t> received;
    std::vector<int32_t> sizes;
    std::vector<int32_t> errors;
    bool insideDevice = false;
};

TEST_F(RecordEngine, DeliversTheSourceInGatheredBlocks) {
    int started = 0;
    QObject::connect(record.get(), &FlennStreamRecord::FlennStreamStarted, [&] { ++started; });
    ASSERT_EQ(record->StartFlennStream(), 0);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(record->Status(), statusRunning);
    EXPECT_EQ(record->RecordBufferBytes(), 17640);
    Capture(500);
    // Four blocks fill the record buffer; the fifth would pass it and hands it over first.
    ASSERT_FALSE(sizes.empty());
    for (int32_t size : sizes)
        EXPECT_EQ(size, 17640);
    EXPECT_EQ(record->MilliSecondsRecorded(), 500);
    record->ReturnAudio();
    ASSERT_EQ(sizes.size(), 5u);
    EXPECT_EQ(sizes.back(), 17640);
    ASSERT_EQ(received.size(), 500u * 441 / 10 * 2);
    EXPECT_TRUE(std::equal(received.begin(), received.end(), source.begin()))
        << "the captured samples are the file's, in order";
    EXPECT_TRUE(errors.empty());

    record->ReturnAudio();
    EXPECT_EQ(sizes.back(), 0) << "nothing gathered since the last return";
}

TEST_F(RecordEngine, ALostBlockIsReportedAndCaptureGoesOn) {
    ASSERT_EQ(record->StartFlennStream(), 0);
    Capture(50); // blocks 1 and 2
    WaveCapture::LoseNextInputBlock();
    Capture(50); // block 3 is lost, 4 arrives
    ASSERT_EQ(errors, std::vector<int32_t>{FlennStreamRecord::kLostBlock});
    // The lost buffer never comes back: each round of the three left skips it once.
    Capture(150);
    EXPECT_EQ(errors, std::vector<int32_t>(3, FlennStreamRecord::kLostBlock));
    EXPECT_EQ(record->Status(), statusRunning);
    EXPECT_EQ(record->MilliSecondsRecorded(), 225);
}

TEST_F(RecordEngine, LevelsAndOverflowWithoutReturnBuffers) {
    record->SetRaiseAudioLevelEvents(rleAlways);
    record->SetSynchronousAudioLevelEvents(false);
    std::vector<std::pair<int16_t, int16_t>> levels;
    QObject::connect(record.get(), &FlennStreamRecord::AudioLevelUpdate,
                     [&](int16_t left, int16_t right) {
                         levels.push_back({left, right});
                     });
    record->SetReturnBuffers(false);
    ASSERT_EQ(record->StartFlennStream(), 0);
    Capture(200);
    EXPECT_TRUE(sizes.empty()) << "an overflowing record buffer is emptied without an event";
    EXPECT_EQ(levels.size(), 8u);
    EXPECT_GT(record->LeftAudioLevel(), 30);
    EXPECT_LE(record->LeftAudioLevel(), 37);
    EXPECT_GT(record->RightAudioLevel(), 30);

    record->SetDontSampleLevel(true);
    Capture(50);
    EXPECT_EQ(record->AudioLevel(), 0);
}

TEST_F(RecordEngine, StopClosesAndDropsLateBlocks) {
    int stopped = 0;
    QObject::connect(record.get(), &FlennStreamRecord::FlennStreamStopped, [&] { ++stopped; });
    ASSERT_EQ(record->StartFlennStream(), 0);
    WaveCapture::AdvanceMilliseconds(60); // captured, not yet handled
    EXPECT_EQ(record->StopFlennStream(), 0);
    EXPECT_EQ(stopped, 1);
    Pump();
    EXPECT_TRUE(sizes.empty()) << "blocks of a stopped stream are not copied";
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(record->MilliSecondsRecorded(), 0);
    EXPECT_EQ(record->StopFlennStream(), 0);
    EXPECT_EQ(stopped, 1);
    EXPECT_TRUE(record->LoadAudioEngine());
    EXPECT_TRUE(record->ReturnBuffers());
}

TEST_F(RecordEngine, SettersAndPersistedProperties) {
    record->SetNumberWaveBuffers(0);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].prompt, "Invalid Number of Wave Buffers Specified ");
    record->SetNumberWaveBuffers(500);
    EXPECT_EQ(record->NumberWaveBuffers(), 500);
    record->SetWaveBufferLength(-1);
    EXPECT_EQ(boxes.Shown()[1].prompt, "Invalid WaveBufferLength Specified");
    record->SetWaveDeviceNumber(2);
    EXPECT_EQ(boxes.Shown()[2].prompt, "Invalid WaveDeviceNumber Specified : 2\nMax = 1");
    record->SetRecordVolume(50);
    EXPECT_EQ(record->RecordVolume(), 0.0f);
    EXPECT_FALSE(record->CanSetRecordVolume());

    Com::PropertyBag bag;
    record->WriteProperties(bag);
    EXPECT_EQ(Com::ToLong(bag.ReadProperty("NumberWaveInBuffers")), 500);
    bag.WriteProperty("SampleRate", int32_t{12345});
    FlennStreamRecord copy;
    copy.ReadProperties(bag);
    EXPECT_EQ(copy.NumberWaveBuffers(), 500);
    EXPECT_EQ(copy.WaveBufferLength(), 4410);
    EXPECT_EQ(copy.SampleRate(), 12345) << "read back without the setters' checks";
}

TEST_F(RecordEngine, LateBoundCalls) {
    using namespace Com;
    std::unique_ptr<Dispatchable> object = CreateObject("{8CDCB75A-A1A3-4C20-BFE6-DEBB6B992394}");
    ASSERT_TRUE(object);
    EXPECT_STREQ(object->Class().progId, "FlennStreamTwo.FlennStreamRecord");
    Variant result;
    std::vector<Variant> none, value{int32_t{8820}};
    EXPECT_EQ(object->Invoke(0x6803009c, DISPATCH_PROPERTYPUT, value, result), S_OK);
    EXPECT_EQ(object->Invoke(0x6803009c, DISPATCH_PROPERTYGET, none, result), S_OK);
    EXPECT_EQ(ToLong(result), 8820);
    EXPECT_EQ(object->Invoke(0x600300a4, DISPATCH_METHOD, none, result), S_OK);
    EXPECT_EQ(ToLong(result), 0);
    EXPECT_EQ(object->Invoke(0x68030095, DISPATCH_PROPERTYGET, none, result), S_OK);
    EXPECT_EQ(ToLong(result), statusRunning);
    EXPECT_EQ(object->Invoke(0x68030093, DISPATCH_PROPERTYGET, none, result), S_OK);
    EXPECT_EQ(ToBoolean(result), false);
    EXPECT_EQ(object->Invoke(0x600300ab, DISPATCH_METHOD, none, result), S_OK);
    EXPECT_TRUE(IsEmpty(result));
    EXPECT_EQ(FlennStreamRecord::Info().members.size(), 25u);
}

} // namespace
