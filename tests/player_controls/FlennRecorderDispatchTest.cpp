// The recorder called late-bound: identity, every dispatch identifier reaching its member,
// refused values and the recording methods.
#include "support/TestSupport.h"
#include "support/WavFixtures.h"
#include "support/WaveTestSupport.h"

#include "platform/WaveCapture.h"
#include "player_controls/FlennRecorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace Platform::Com;

namespace {

class RecorderDispatch : public ::testing::Test {
protected:
    void SetUp() override {
        TestSupport::UseWaveDevices("capture", "null");
        recorder.InitProperties();
        recorder.SetReportErrors(false);
    }
    Variant Invoke(int32_t dispid, uint8_t kind, std::vector<Variant> args = {}) {
        Variant result;
        EXPECT_EQ(recorder.Invoke(dispid, kind, args, result), S_OK) << std::hex << dispid;
        last = args;
        return result;
    }
    Variant Get(int32_t dispid) { return Invoke(dispid, DISPATCH_PROPERTYGET); }
    void Put(int32_t dispid, Variant v) { Invoke(dispid, DISPATCH_PROPERTYPUT, {std::move(v)}); }
    Variant Call(int32_t dispid, std::vector<Variant> args = {}) {
        return Invoke(dispid, DISPATCH_METHOD, std::move(args));
    }
    double Number(const Variant& v) { return ToDouble(v).value_or(-12345); }

    TestSupport::ScratchDir dir;
    TestSupport::ScriptedBoxes boxes;
    std::vector<Variant> last;
    FlennRecorder recorder;
};

TEST_F(RecorderDispatch, IdentityAndTable) {
    const ClassInfo& info = FlennRecorder::Info();
    EXPECT_STREQ(info.progId, "Flenney.FlennRecorder");
    EXPECT_STREQ(info.classId, "{46B2886F-C2CA-4382-953B-1F1372A87613}");
    EXPECT_STREQ(info.interfaceName, "_FlennRecorder");
    EXPECT_STREQ(info.interfaceId, "{2E383444-09AC-4E04-B280-78BC041A947D}");
    EXPECT_STREQ(info.eventInterfaceId, "{FC118949-E309-4E5E-9A75-3DA14F9E7A45}");
    EXPECT_EQ(info.members.size(), 32u);
    EXPECT_EQ(info.events.size(), 9u);
    std::set<int32_t> ids;
    for (const DispatchMember& m : info.members)
        ids.insert(m.dispid);
    EXPECT_EQ(ids.size(), info.members.size());
    std::unique_ptr<Dispatchable> made = CreateObject("Flenney.FlennRecorder");
    ASSERT_NE(made, nullptr);
    std::vector<Variant> none;
    Variant buffers;
    ASSERT_EQ(made->Invoke(0x68030002, DISPATCH_PROPERTYGET, none, buffers), S_OK);
    EXPECT_EQ(ToLong(buffers), 20) << "created with its initial properties";
    Variant r;
    EXPECT_EQ(recorder.Invoke(0x68030010, DISPATCH_PROPERTYPUT, none, r), DISP_E_MEMBERNOTFOUND)
        << "Status is read-only";
    std::vector<Variant> text{std::string("many")};
    EXPECT_EQ(recorder.Invoke(0x6803000e, DISPATCH_PROPERTYPUT, text, r), DISP_E_TYPEMISMATCH);
}

TEST_F(RecorderDispatch, EveryPropertyReachesItsMember) {
    struct Case {
        int32_t dispid;
        Variant value;
        double expected;
        std::function<double()> member;
    };
    const std::vector<Case> cases = {
        {0x6803000f, int32_t(80), 80, [&] { return recorder.WaveBufferLengthms(); }},
        {0x6803000e, int32_t(22050), 22050,
         [&] { return recorder.FlennStreamRecord1.SampleRate(); }},
        {0x6803000d, int32_t(1), 1, [&] { return recorder.FlennStreamRecord1.NumberChannels(); }},
        {0x6803000c, int16_t(6), 6, [&] { return recorder.NumberCacheSeconds(); }},
        {0x6803000a, false, 0, [&] { return recorder.RaiseAudioPositionChanged(); }},
        {0x68030007, int32_t(2), 2,
         [&] { return recorder.FlennStreamRecord1.RaiseAudioLevelEvents(); }},
        {0x68030003, true, -1, [&] { return recorder.FlennStreamRecord1.ReportErrors() ? -1 : 0; }},
        {0x68030002, int32_t(7), 7,
         [&] { return recorder.FlennStreamRecord1.NumberWaveBuffers(); }},
        {0x68030000, int16_t(1), 1, [&] { return recorder.FlennStreamRecord1.WaveDeviceNumber(); }},
        {0x6803001d, int16_t(33), 33, [&] { return recorder.TriggerLevel(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FindMember(FlennRecorder::Info(), c.dispid)->name);
        Put(c.dispid, c.value);
        EXPECT_NEAR(Number(Get(c.dispid)), c.expected, 0.01);
        EXPECT_NEAR(c.member(), c.expected, 0.01);
    }
    Put(0x68030008, 40.0f);
    EXPECT_NEAR(Number(Get(0x68030008)), recorder.FlennStreamRecord1.RecordVolume(), 0.01);
    EXPECT_EQ(ToBoolean(Get(0x68030009)), recorder.CanSetRecordVolume());
    EXPECT_EQ(ToText(Get(0x68030001)), recorder.WaveInDeviceName());
    EXPECT_FALSE(ToText(Get(0x68030001)).value_or("").empty());

    std::string log = dir.File("rec.dbg");
    Put(0x6803001b, log);
    EXPECT_EQ(ToText(Get(0x6803001b)), log);
    EXPECT_EQ(recorder.DebugMode(), dmBasic);
    Call(0x6003002b, {log, int32_t(dmMedium)});
    EXPECT_EQ(recorder.DebugMode(), dmMedium);
    const auto& changed = recorder.ChangedProperties();
    EXPECT_NE(std::find(changed.begin(), changed.end(), "WaveBufferLengthms"), changed.end());
}

TEST_F(RecorderDispatch, RefusedValuesKeepTheOldOne) {
    const size_t changed = recorder.ChangedProperties().size();
    Put(0x6803000f, int32_t(0));
    Put(0x68030002, int32_t(-3));
    Put(0x6803000e, int32_t(32000));
    Put(0x6803000d, int32_t(3));
    EXPECT_EQ(ToLong(Get(0x6803000f)), 50);
    EXPECT_EQ(ToLong(Get(0x68030002)), 20);
    EXPECT_EQ(ToLong(Get(0x6803000e)), 44100);
    EXPECT_EQ(ToLong(Get(0x6803000d)), 2);
    Put(0x6803000c, int16_t(-4));
    EXPECT_EQ(ToInteger(last[0]), int16_t(0)) << "the caller's variable is mended";
    EXPECT_EQ(boxes.Count(), 2u) << "rate and channels say why; the others are ignored";
    EXPECT_EQ(recorder.ChangedProperties().size(), changed + 1) << "only NumberCacheSeconds";
}

TEST_F(RecorderDispatch, MethodsRecordPauseResumeAndClose) {
    const std::string dest = dir.File("take.wav");
    std::vector<int16_t> tone = TestSupport::Tone(44100, 2);
    TestSupport::WriteBytes(
        dir.File("source.raw"),
        std::string(reinterpret_cast<const char*>(tone.data()), tone.size() * 2));
    TestSupport::UseWaveDevices("capture", "file:" + dir.File("source.raw"));
    EXPECT_EQ(ToBoolean(Call(0x60030019)), true);
    EXPECT_EQ(ToLong(Get(0x68030010)), ersClosed);
    EXPECT_EQ(ToLong(Call(0x60030017)), -1) << "nothing open to pause";
    ASSERT_EQ(
        ToLong(Call(0x60030015, {dest, int32_t(44100), int16_t(2), int16_t(1), int16_t(0), 0.0f})),
        0);
    EXPECT_EQ(ToText(Get(0x68030014)), dest);
    EXPECT_EQ(ToLong(Get(0x68030010)), ersRecording);
    EXPECT_EQ(ToBoolean(Get(0x6803001c)), false);
    EXPECT_GT(Number(Get(0x6803000b)), 0) << "AudioLength limit";
    // Feed until some audio has been gathered; a loaded machine delivers the input later.
    for (int i = 0; i < 500; ++i) {
        Platform::WaveCapture::AdvanceMilliseconds(10);
        TestSupport::Pump();
        recorder.tmrPosition_Timer();
        if (i >= 20 && recorder.TotalSecondsRecorded() > 0 && recorder.AudioLevel() > 0) break;
    }
    EXPECT_EQ(Number(Get(0x68030013)), recorder.TotalSecondsRecorded());
    EXPECT_EQ(Number(Get(0x68030012)), recorder.TotalSecondsRemain());
    EXPECT_EQ(Number(Get(0x68030011)), recorder.TotalPercentageRecorded());
    EXPECT_EQ(ToInteger(Get(0x68030006)), recorder.AudioLevel());
    EXPECT_EQ(ToInteger(Get(0x68030005)), recorder.LeftAudioLevel());
    EXPECT_EQ(ToInteger(Get(0x68030004)), recorder.RightAudioLevel());
    EXPECT_GT(recorder.AudioLevel(), 0) << "the tone is heard";
    EXPECT_EQ(ToLong(Call(0x60030017)), 0);
    EXPECT_EQ(ToLong(Get(0x68030010)), ersPaused);
    const float recorded = recorder.TotalSecondsRecorded();
    Call(0x6003001a);
    EXPECT_EQ(ToLong(Call(0x60030018)), 0);
    EXPECT_EQ(ToLong(Get(0x68030010)), ersRecording);
    EXPECT_EQ(ToLong(Call(0x60030016, {true})), 0);
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(ToBoolean(last[0]), true) << "a recording with audio is kept";
    EXPECT_EQ(ToLong(Get(0x68030010)), ersClosed);
    // The take is the tone from its first frame, as long as the recorder counted.
    const std::vector<int16_t> audio =
        WavFixtures::Samples16(WavFixtures::ChunkData(TestSupport::ReadBytes(dest), "data"));
    ASSERT_FALSE(audio.empty());
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), tone.begin()));
    EXPECT_EQ(audio.size(), static_cast<size_t>(std::lround(recorded * 44100)) * 2);

    ASSERT_EQ(ToLong(Call(0x6003002c, {dest, int32_t(44100), int16_t(2), int16_t(1), int16_t(0),
                                       0.0f, int32_t(erfEnterPauseModeImmediately)})),
              0);
    EXPECT_EQ(recorder.Status(), ersWaitingLevel) << "started paused";
    bool save = false;
    recorder.CloseRecording(save);
}

} // namespace
