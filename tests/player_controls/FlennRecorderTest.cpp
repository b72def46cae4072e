// FlennRecorder recording from the file-fed capture source into WAV files.
#include "player_controls/FlennRecorder.h"
#include "platform/Acm.h"
#include "platform/WaveCapture.h"
#include "support/TestSupport.h"
#include "support/WaveTestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace Platform;
using TestSupport::Pump;

namespace {

uint32_t U32(const std::string& b, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

struct Chunk {
    std::string id;
    size_t offset; // of the data
    uint32_t size;
};

std::vector<Chunk> Chunks(const std::string& file) {
    std::vector<Chunk> chunks;
    for (size_t at = 12; at + 8 <= file.size();) {
        uint32_t size = U32(file, at + 4);
        chunks.push_back({file.substr(at, 4), at + 8, size});
        at += 8 + size + (size & 1);
    }
    return chunks;
}

std::vector<int16_t> Samples(const std::string& bytes) {
    std::vector<int16_t> s(bytes.size() / 2);
    std::memcpy(s.data(), bytes.data(), s.size() * 2);
    return s;
}

class Recorder : public ::testing::Test {
protected:
    void Source(const std::vector<int16_t>& samples) {
        TestSupport::WriteBytes(
            dir.File("source.raw"),
            std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * 2));
        TestSupport::UseWaveDevices("capture", "file:" + dir.File("source.raw"));
        recorder = std::make_unique<FlennRecorder>();
        recorder->InitProperties();
        recorder->SetReportErrors(false);
        recorder->FlennStreamRecord1.SetNumberWaveBuffers(4);
        QObject::connect(recorder.get(), &FlennRecorder::PlayerError,
                         [this](int32_t code) { errors.push_back(code); });
    }
    void Capture(uint32_t milliseconds) {
        for (uint32_t t = 0; t < milliseconds; t += 5) {
            WaveCapture::AdvanceMilliseconds(5);
            Pump();
        }
    }
    std::string Dest() const { return dir.File("Dest.wav"); }

    TestSupport::ScratchDir dir;
    TestSupport::ScriptedBoxes boxes;
    std::unique_ptr<FlennRecorder> recorder;
    std::vector<int32_t> errors;
};

// The same tone on both channels.
std::vector<int16_t> Tone440(int frames, int silentFrames = 0) {
    std::vector<int16_t> s(static_cast<size_t>(frames) * 2, 0);
    for (int i = silentFrames; i < frames; ++i)
        s[2 * i] = s[2 * i + 1] = static_cast<int16_t>(
            std::lround(12000 * std::sin(2 * M_PI * 440.0 * (i - silentFrames) / 44100)));
    return s;
}

TEST_F(Recorder, TriggerLevelCutsTheFirstBufferAndTheFileHasFmtCartData) {
    std::vector<int16_t> source = Tone440(44100, 13000);
    Source(source);
    recorder->SetRaiseAudioLevelEvents(rleAlways);
    recorder->SetDebugFile(dir.File("rec.log"), dmFull);
    ASSERT_EQ(recorder->RecordAudio(Dest(), 44100, 2, 1, 20, 0), 0);
    EXPECT_EQ(recorder->Status(), ersWaitingLevel);
    EXPECT_TRUE(recorder->TriggerLevelActive());
    Capture(250);
    EXPECT_EQ(recorder->Status(), ersWaitingLevel) << "silence does not trigger";
    Capture(400);
    EXPECT_EQ(recorder->Status(), ersRecording);
    EXPECT_GT(recorder->AudioLength(), 0);
    bool save = true;
    EXPECT_EQ(recorder->CloseRecording(save), 0);
    EXPECT_TRUE(save);
    EXPECT_EQ(recorder->Status(), ersClosed);

    std::string file = TestSupport::ReadBytes(Dest());
    ASSERT_GT(file.size(), 2100u);
    EXPECT_EQ(file.substr(0, 4), "RIFF");
    EXPECT_EQ(U32(file, 4), file.size() - 8);
    EXPECT_EQ(file.substr(8, 4), "WAVE");
    auto chunks = Chunks(file);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].id, "fmt ");
    EXPECT_EQ(chunks[0].size, 16u);
    EXPECT_EQ(chunks[1].id, "cart");
    EXPECT_EQ(chunks[1].offset, 44u);
    EXPECT_EQ(chunks[1].size, 2048u);
    EXPECT_EQ(file.substr(44, 4), "0101");
    EXPECT_EQ(file.substr(48, 2044), std::string(2044, '\0'));
    EXPECT_EQ(chunks[2].id, "data");
    EXPECT_EQ(chunks[2].offset, 2100u);
    auto audio = Samples(file.substr(2100, chunks[2].size));
    ASSERT_GT(audio.size(), 1000u);
    EXPECT_GT(std::abs(audio[0]) * 100 / 32768, 20) << "the audio starts above the trigger";
    // The written audio is the source from the first frame above the level on.
    auto at = std::search(source.begin(), source.end(), audio.begin(), audio.begin() + 200);
    ASSERT_NE(at, source.end());
    EXPECT_GT(at - source.begin(), 13000 * 2);
    EXPECT_LT(at - source.begin(), 13000 * 2 + 48);
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), at));
    std::string log = TestSupport::ReadBytes(dir.File("rec.log"));
    EXPECT_NE(log.find("Start Function RecordAudio(" + Dest() + ",44100,2,1,20,0)"),
              std::string::npos);
    EXPECT_NE(log.find("First Buffer above trigger level - ("), std::string::npos);
    EXPECT_NE(log.find("Exit Function BufferReceived - not writing to disk"), std::string::npos);
    EXPECT_NE(log.find("End Function RecordAudio\r\n"), std::string::npos);
    EXPECT_EQ(log.find("\r\n\r\n"), std::string::npos) << "no blank line after End Function";
}

// Decodes the file's data chunk through the codec layer to 16-bit PCM.
std::vector<int16_t> Decode(const std::string& file) {
    auto chunks = Chunks(file);
    std::vector<uint8_t> format(file.begin() + chunks[0].offset,
                                file.begin() + chunks[0].offset + chunks[0].size);
    const Chunk data = chunks.back();
    auto head = Acm::LoadWaveFormat(format.data());
    std::vector<uint8_t> pcm(Acm::kFormatHeadSize);
    Acm::StoreWaveFormat(Acm::Pcm16Format(head.Channels, head.SamplesPerSec), pcm.data());
    Flenney::ConversionStreamInfo s;
    s.SrcBufferSize = 1 << 20;
    EXPECT_EQ(Flenney::FlennCompressOpen(s, format, pcm, ""), 0);
    std::vector<uint8_t> buffer(8 << 20);
    std::memcpy(buffer.data(), file.data() + data.offset, data.size);
    int32_t length = static_cast<int32_t>(data.size);
    EXPECT_EQ(Flenney::FlennCompressConvert(s, buffer.data(), length,
                                            static_cast<int32_t>(buffer.size())),
              0);
    Flenney::FlennCompressClose(s, "");
    return Samples(std::string(reinterpret_cast<char*>(buffer.data()), length));
}

// The smallest RMS difference to the 22.05 kHz mono tone over a range of codec delays, in
// parts of the tone's amplitude.
double BestError(const std::vector<int16_t>& decoded) {
    double best = 1e9;
    for (int lag = 0; lag < 3000; ++lag) {
        double sum = 0;
        int n = 0;
        for (size_t i = 4000; i + lag < decoded.size() && i < 12000; ++i, ++n) {
            double want = 12000 * std::sin(2 * M_PI * 440.0 * double(i) / 22050);
            sum += std::pow(decoded[i + lag] - want, 2);
        }
        if (n > 4000) best = std::min(best, std::sqrt(sum / n) / 12000);
    }
    return best;
}

// The texts of the debug file's lines, without their date and time.
std::vector<std::string> DebugTexts(const std::string& path) {
    std::vector<std::string> texts;
    std::string log = TestSupport::ReadBytes(path);
    for (size_t at = 0; at < log.size();) {
        size_t end = log.find("\r\n", at);
        if (end == std::string::npos) end = log.size();
        std::string line = log.substr(at, end - at);
        texts.push_back(line.size() > 20 ? line.substr(20) : line);
        at = end + 2;
    }
    return texts;
}

std::string After(const std::string& text, const std::string& head) {
    return text.rfind(head, 0) == 0 ? text.substr(head.size()) : std::string();
}

// Every buffer is converted, compressed and written as one block whose address and size the
// lines agree on; the close and the pause say each of their steps.
void ExpectBufferLinesInOrder(const std::vector<std::string>& texts) {
    int written = 0;
    for (size_t i = 0; i + 6 < texts.size(); ++i) {
        std::string converted = After(texts[i], "Convert Buffer - ");
        if (converted.empty()) continue;
        const std::string compressed = After(texts[i + 1], "Compress Buffer ");
        ASSERT_FALSE(compressed.empty()) << texts[i + 1];
        EXPECT_EQ(texts[i + 2], "Start Function WriteAudioData(" + compressed + ")");
        EXPECT_EQ(texts[i + 3], "Read Current file position");
        const std::string size = compressed.substr(compressed.find(',') + 1);
        EXPECT_EQ(texts[i + 4], "Written " + size + " bytes");
        EXPECT_EQ(texts[i + 5], "Read Current file position again");
        EXPECT_EQ(texts[i + 6], "End Function WriteAudioData(" + compressed + ")");
        ++written;
    }
    EXPECT_GT(written, 3);
    auto has = [&](const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    EXPECT_TRUE(has("Pre-Raise Event Paused"));
    EXPECT_TRUE(has("Pre-Descend back into file"));
    EXPECT_TRUE(has("Pre-Ascend out of file"));
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const std::string& t) {
        return !After(t, "Audio File Handle : ").empty();
    }));
}

class RecorderCodec : public Recorder, public ::testing::WithParamInterface<int> {};

TEST_P(RecorderCodec, ConvertedAndCompressedRecordingDecodesToTheSource) {
    Source(Tone440(44100));
    const int tag = GetParam();
    recorder->SetDebugFile(dir.File("rec.log"), dmFull);
    ASSERT_EQ(recorder->RecordAudio(Dest(), 22050, 1, static_cast<int16_t>(tag), 0, 0), 0);
    EXPECT_EQ(recorder->Status(), ersRecording);
    Capture(900);
    EXPECT_EQ(recorder->PauseRecording(), 0);
    ASSERT_EQ(recorder->CloseRecording(true), 0);
    ExpectBufferLinesInOrder(DebugTexts(dir.File("rec.log")));
    std::string file = TestSupport::ReadBytes(Dest());
    auto chunks = Chunks(file);
    ASSERT_EQ(chunks.size(), 4u);
    auto head = Acm::LoadWaveFormat(reinterpret_cast<const uint8_t*>(file.data()) + 20);
    EXPECT_EQ(head.FormatTag, tag);
    EXPECT_EQ(head.Channels, 1);
    EXPECT_EQ(head.SamplesPerSec, 22050u);
    EXPECT_EQ(chunks[1].id, "fact");
    EXPECT_EQ(chunks[2].id, "cart");
    auto decoded = Decode(file);
    EXPECT_GT(decoded.size(), 15000u);
    EXPECT_LT(BestError(decoded), tag == Acm::WAVE_FORMAT_MPEG ? 0.25 : 0.1);
    EXPECT_TRUE(errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Codecs, RecorderCodec,
                         ::testing::Values(int(Acm::WAVE_FORMAT_IMA_ADPCM),
                                           int(Acm::WAVE_FORMAT_MPEG)));

// What an independent reader makes of a file: the stream length it states and the frames it
// decodes.
struct OtherReading {
    long long stated = -1, decoded = -1;
};

OtherReading ReadWithFfmpeg(const std::string& path, const std::string& scratch, int channels) {
    OtherReading r;
    const std::string probe = scratch + "/probe.txt", raw = scratch + "/decoded.raw";
    if (std::system(("ffprobe -v error -select_streams a:0 -show_entries stream=duration_ts -of "
                     "default=nw=1:nk=1 '" +
                     path + "' > '" + probe + "'")
                        .c_str()) != 0 ||
        std::system(
            ("ffmpeg -v error -y -i '" + path + "' -f s16le -acodec pcm_s16le '" + raw + "'")
                .c_str()) != 0)
        return r;
    r.stated = std::atoll(TestSupport::ReadBytes(probe).c_str());
    r.decoded = static_cast<long long>(TestSupport::ReadBytes(raw).size()) / 2 / channels;
    return r;
}

TEST_F(Recorder, EveryFormatHoldsTheWholeCaptureAndOtherToolsReadItsLength) {
    Source(Tone440(44100));
    // A recording paused and resumed; the same virtual time captures the same frames.
    const auto record = [&](int tag, int rate, int16_t channels) {
        EXPECT_EQ(recorder->RecordAudio(Dest(), rate, channels, static_cast<int16_t>(tag), 0, 0),
                  0);
        Capture(400);
        recorder->PauseRecording();
        Capture(100);
        recorder->ResumeRecording();
        Capture(333);
        EXPECT_EQ(recorder->CloseRecording(true), 0);
        return TestSupport::ReadBytes(Dest());
    };
    const double captured = Chunks(record(1, 44100, 2)).back().size / 4.0;
    ASSERT_GT(captured, 20000);
    struct Case {
        int tag;
        int slack; // frames a decoder may add: the codec's delay and its last part frame
    };
    const Case cases[] = {{Acm::WAVE_FORMAT_PCM, 0},
                          {Acm::WAVE_FORMAT_IEEE_FLOAT, 0},
                          {Acm::WAVE_FORMAT_ALAW, 0},
                          {Acm::WAVE_FORMAT_MULAW, 0},
                          {Acm::WAVE_FORMAT_IMA_ADPCM, 2041},
                          {Acm::WAVE_FORMAT_MPEG, 1152},
                          {Acm::WAVE_FORMAT_MPEGLAYER3, 2 * 1152 + 1105}};
    for (const Case& c : cases) {
        for (const auto& [rate, channels] : {std::pair{44100, int16_t(2)}, {22050, int16_t(1)}}) {
            Source(Tone440(44100));
            const std::string file = record(c.tag, rate, channels);
            const std::string what = "tag " + std::to_string(c.tag) + " at " + std::to_string(rate);
            const double expected = captured * rate / 44100;
            std::vector<std::string> ids;
            for (const Chunk& chunk : Chunks(file))
                ids.push_back(chunk.id);
            const bool pcm = c.tag == Acm::WAVE_FORMAT_PCM;
            const std::vector<std::string> order =
                pcm ? std::vector<std::string>{"fmt ", "cart", "data"}
                    : std::vector<std::string>{"fmt ", "fact", "cart", "data"};
            EXPECT_EQ(ids, order) << what;
            const long long samples =
                pcm ? Chunks(file).back().size / 2 / channels : U32(file, Chunks(file)[1].offset);
            EXPECT_NEAR(samples, expected, 1.5) << what << ": the captured length";
            const OtherReading other = ReadWithFfmpeg(Dest(), dir.Path(), channels);
            // The layer II reader takes its length from the frames, not from "fact".
            if (c.tag != Acm::WAVE_FORMAT_MPEG) {
                EXPECT_EQ(other.stated, samples) << what;
            }
            EXPECT_GE(other.decoded, expected - 1.5) << what << ": the end is missing";
            EXPECT_LE(other.decoded, expected + 1.5 + c.slack) << what;
        }
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(Recorder, ADroppedCaptureBlockRaisesTheError) {
    Source(Tone440(44100));
    ASSERT_EQ(recorder->RecordAudio(Dest(), 44100, 2, 1, 0, 0), 0);
    Capture(100);
    WaveCapture::LoseNextInputBlock();
    Capture(100);
    EXPECT_NE(std::find(errors.begin(), errors.end(), FlennStreamRecord::kLostBlock), errors.end());
    EXPECT_EQ(recorder->Status(), ersRecording);
}

TEST_F(Recorder, UnsavedAndEmptyRecordingsLeaveTheOldDestination) {
    Source(Tone440(44100));
    TestSupport::WriteBytes(Dest(), "old audio");
    ASSERT_EQ(recorder->RecordAudio(Dest(), 44100, 2, 1, 0, 0), 0);
    Capture(200);
    EXPECT_EQ(TestSupport::ReadBytes(Dest()), "old audio") << "recording goes to a temporary file";
    int closed = 0;
    QObject::connect(recorder.get(), &FlennRecorder::Closed, [&] { ++closed; });
    EXPECT_EQ(recorder->CloseRecording(false), 0);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(TestSupport::ReadBytes(Dest()), "old audio");
    EXPECT_EQ(QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files).size(), 2)
        << "the temporary file is gone";

    ASSERT_EQ(recorder->RecordAudio(Dest(), 44100, 2, 1, 0, 0), 0);
    bool save = true;
    EXPECT_EQ(recorder->CloseRecording(save), 0);
    EXPECT_FALSE(save) << "an empty recording is not kept";
    EXPECT_EQ(TestSupport::ReadBytes(Dest()), "old audio");
    EXPECT_EQ(QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files).size(), 2);
}

TEST_F(Recorder, ATakeThatCannotReplaceTheDestinationIsKeptAndReported) {
    const std::vector<int16_t> source = Tone440(44100);
    Source(source);
    recorder->SetReportErrors(true);
    ASSERT_EQ(recorder->RecordAudio(Dest(), 44100, 2, 1, 0, 0), 0);
    Capture(200);
    const QStringList files = QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 2) << "the source and the take";
    const std::string taken = dir.File(files[files[0] == "source.raw" ? 1 : 0].toStdString());
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Dest() + "/in the way")));
    bool save = true;
    EXPECT_EQ(recorder->CloseRecording(save), 75);
    EXPECT_EQ(errors, std::vector<int32_t>{-75});
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].prompt, "There was a problem saving the recording as " + Dest() +
                                           "\nIt has been kept as " + taken);
    // The take is whole under its temporary name: the source from its first frame on.
    const std::string file = TestSupport::ReadBytes(taken);
    const Chunk data = Chunks(file).back();
    ASSERT_EQ(data.id, "data");
    const std::vector<int16_t> audio = Samples(file.substr(data.offset, data.size));
    EXPECT_EQ(audio.size(), 200u * 441 / 10 * 2) << "all 200 ms";
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), source.begin()));
    EXPECT_EQ(recorder->Status(), ersClosed);
}

TEST_F(Recorder, ARecordingWhoseStreamCannotStartIsRefused) {
    Source(Tone440(4410));
    TestSupport::UseWaveDevices("capture", "file:" + dir.File("missing.raw"));
    EXPECT_EQ(recorder->RecordAudio(Dest(), 44100, 2, 1, 0, 0), -1);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.back(), 0) << "the stream's own report";
    EXPECT_EQ(recorder->Status(), ersClosed);
    EXPECT_EQ(QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files).size(), 1)
        << "no take is left behind";
}

TEST_F(Recorder, StartingAgainClosesAndKeepsTheOpenRecording) {
    Source(Tone440(44100));
    ASSERT_EQ(recorder->RecordAudio(Dest(), 44100, 2, 1, 0, 0), 0);
    Capture(200);
    ASSERT_EQ(recorder->RecordAudio(dir.File("Second.wav"), 44100, 2, 1, 0, 0), 0);
    EXPECT_GT(Chunks(TestSupport::ReadBytes(Dest())).at(2).size, 30000u);
    Capture(100);
    EXPECT_EQ(recorder->CloseRecording(true), 0);
    EXPECT_EQ(QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files).size(), 3);
}

TEST_F(Recorder, AFullDiskEndsTheRecordingWithTheOldDestinationIntact) {
    Source(Tone440(44100));
    TestSupport::WriteBytes(Dest(), "old audio");
    int16_t noCache = 0;
    recorder->SetNumberCacheSeconds(noCache);
    {
        TestSupport::FileSizeLimit full(40000);
        ASSERT_TRUE(full.Set());
        ASSERT_EQ(recorder->RecordAudio(Dest(), 44100, 2, 1, 0, 0), 0);
        Capture(600);
        recorder->CloseRecording(true);
    }
    EXPECT_GE(std::count(errors.begin(), errors.end(), int32_t(Mmio::MMIOERR_CANNOTWRITE)), 2);
    EXPECT_EQ(boxes.Count(), 1u) << "the write box comes once per recording";
    EXPECT_EQ(TestSupport::ReadBytes(Dest()), "old audio");
    EXPECT_EQ(QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files).size(), 2);
}

TEST_F(Recorder, SettersRefuseBadValuesAndLengthLimitPauses) {
    Source(Tone440(44100));
    recorder->SetSampleRate(32000);
    EXPECT_EQ(recorder->SampleRate(), 44100);
    recorder->SetNumberChannels(3);
    EXPECT_EQ(recorder->NumberChannels(), 2);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Shown()[1].prompt, "Invalid NumberChannels Specified : \nMax = 2");

    int ended = 0;
    QObject::connect(recorder.get(), &FlennRecorder::RecordingEndReached, [&] { ++ended; });
    ASSERT_EQ(recorder->RecordAudio(Dest(), 44100, 2, 1, 0, 0.2f), 0);
    EXPECT_FLOAT_EQ(recorder->AudioLength(), 0.2f);
    for (int i = 0; i < 60 && !ended; ++i) {
        Capture(5);
        recorder->tmrPosition_Timer();
    }
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(recorder->Status(), ersPaused);
    EXPECT_FLOAT_EQ(recorder->TotalPercentageRecorded(), 100);
    EXPECT_EQ(recorder->CloseRecording(true), 0);
}

} // namespace
