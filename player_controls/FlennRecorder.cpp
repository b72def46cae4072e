#include "player_controls/FlennRecorder.h"

#include "audio_engine/WaveFormatMod.h"
#include "core/GeneralFunctions.h"
#include "core/MultimediaAPI.h"
#include "platform/Acm.h"
#include "platform/MessageBox.h"
#include "player_controls/FlennHelpers.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

using namespace Platform;
using namespace Platform::Mmio;
using Flenney::ConversionStreamInfo;

namespace {

std::string Num(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string Bool(bool value) {
    return value ? "True" : "False";
}

// A buffer in the debug lines: its address and size in decimal, "," between them.
std::string Where(const void* ptr, int32_t size) {
    return std::to_string(reinterpret_cast<intptr_t>(ptr)) + "," + std::to_string(size);
}

} // namespace

FlennRecorder::FlennRecorder(QObject* parent) : QObject(parent) {
    debug_.SetBlankLineAfterEnd(false);
    tmrPosition_.setInterval(50);
    tmrPosition_.setTimerType(Qt::PreciseTimer);
    connect(&tmrPosition_, &QTimer::timeout, this, &FlennRecorder::tmrPosition_Timer);
    connect(&FlennStreamRecord1, &FlennStreamRecord::BufferReceived, this,
            &FlennRecorder::OnBufferReceived);
    connect(&FlennStreamRecord1, &FlennStreamRecord::AudioLevelUpdate, this,
            &FlennRecorder::OnAudioLevelUpdate);
    connect(&FlennStreamRecord1, &FlennStreamRecord::FlennStreamStarted, this, [this] {
        engineStarted_ = true;
        tmrPosition_.start();
    });
    connect(&FlennStreamRecord1, &FlennStreamRecord::FlennStreamStopped, this, [this] {
        tmrPosition_.stop();
        ClearBuffer();
    });
    connect(&FlennStreamRecord1, &FlennStreamRecord::PlayerError, this,
            [this](int32_t code) { Raise(code); });
}

FlennRecorder::~FlennRecorder() {
    CloseRecording(true);
    // A stream left in its problem state stops as it is destroyed, after the timer.
    disconnect(&FlennStreamRecord1, nullptr, this, nullptr);
}

void FlennRecorder::InitProperties() {
    FlennStreamRecord1.InitProperties();
    waveBufferLengthms_ = 50;
    FlennStreamRecord1.SetNumberWaveBuffers(20);
    SetNumberChannels(2);
    SetSampleRate(44100);
    numberCacheSeconds_ = 4;
    SetWaveInDeviceNumber(0);
    raiseAudioPositionChanged_ = true;
    SetRaiseAudioLevelEvents(rleOnChange);
    SetReportErrors(true);
    changedProperties_.clear();
}

void FlennRecorder::ReadProperties(const Com::PropertyBag& bag) {
    using namespace Com;
    if (auto v = ToLong(bag.ReadProperty("WaveBufferLengthms", 50))) SetWaveBufferLengthms(*v);
    if (auto v = ToLong(bag.ReadProperty("NumberWaveRecordBuffers", 20)))
        SetNumberWaveRecordBuffers(*v);
    if (auto v = ToInteger(bag.ReadProperty("NumberChannels", 2))) SetNumberChannels(*v);
    if (auto v = ToLong(bag.ReadProperty("SampleRate", 44100))) SetSampleRate(*v);
    if (auto v = ToInteger(bag.ReadProperty("NumberCacheSeconds", 4))) {
        int16_t seconds = *v;
        SetNumberCacheSeconds(seconds);
    }
    if (auto v = ToInteger(bag.ReadProperty("WaveInDeviceNumber", 0))) SetWaveInDeviceNumber(*v);
    if (auto v = ToBoolean(bag.ReadProperty("RaiseAudioPositionChanged", false)))
        SetRaiseAudioPositionChanged(*v);
    if (auto v = ToLong(bag.ReadProperty("RaiseLevelChangeEvents", 1)))
        SetRaiseAudioLevelEvents(*v);
    if (auto v = ToBoolean(bag.ReadProperty("ReportErrors", true))) SetReportErrors(*v);
}

void FlennRecorder::WriteProperties(Com::PropertyBag& bag) const {
    bag.WriteProperty("WaveBufferLengthms", waveBufferLengthms_, 50);
    bag.WriteProperty("NumberWaveRecordBuffers", FlennStreamRecord1.NumberWaveBuffers(), 20);
    bag.WriteProperty("NumberChannels", numberChannels_, int16_t(2));
    bag.WriteProperty("SampleRate", sampleRate_, 44100);
    bag.WriteProperty("NumberCacheSeconds", numberCacheSeconds_, int16_t(4));
    bag.WriteProperty("WaveInDeviceNumber", WaveInDeviceNumber(), int16_t(0));
    bag.WriteProperty("RaiseAudioPositionChanged", raiseAudioPositionChanged_, false);
    bag.WriteProperty("RaiseLevelChangeEvents", raiseAudioLevelEvents_, 1);
    bag.WriteProperty("ReportErrors", reportErrors_, true);
}

// ---- properties ----

eRecStatus FlennRecorder::Status() const {
    if (createPending_) return ersWaitingLevel;
    if (!fileHandle_) return ersClosed;
    if (waitingForLevel_) return ersWaitingLevel;
    return recording_ ? ersRecording : ersPaused;
}

void FlennRecorder::MarkChanged(const char* name) {
    if (std::find(changedProperties_.begin(), changedProperties_.end(), name) ==
        changedProperties_.end())
        changedProperties_.push_back(name);
}

void FlennRecorder::SetWaveBufferLengthms(int32_t value) {
    if (value <= 0) return;
    waveBufferLengthms_ = value;
    MarkChanged("WaveBufferLengthms");
}

void FlennRecorder::SetSampleRate(int32_t value) {
    if (value != 11025 && value != 22050 && value != 44100 && value != 48000) {
        MsgBox("Invalid SampleRate Specified, must be 11025, 22050, 44100, 48000");
        return;
    }
    sampleRate_ = value;
    FlennStreamRecord1.SetSampleRate(value);
    MarkChanged("SampleRate");
}

void FlennRecorder::SetNumberChannels(int32_t value) {
    if (value != 1 && value != 2) {
        MsgBox("Invalid NumberChannels Specified : \nMax = 2");
        return;
    }
    numberChannels_ = static_cast<int16_t>(value);
    FlennStreamRecord1.SetNumberChannels(value);
    MarkChanged("NumberChannels");
}

void FlennRecorder::SetNumberCacheSeconds(int16_t& value) {
    if (value < 0) value = 0;
    numberCacheSeconds_ = value;
    MarkChanged("NumberCacheSeconds");
}

void FlennRecorder::SetRaiseAudioPositionChanged(bool value) {
    raiseAudioPositionChanged_ = value;
    MarkChanged("RaiseAudioPositionChanged");
}

void FlennRecorder::SetRaiseAudioLevelEvents(int32_t value) {
    raiseAudioLevelEvents_ = value;
    FlennStreamRecord1.SetRaiseAudioLevelEvents(value);
    MarkChanged("RaiseAudioLevelEvents");
}

void FlennRecorder::SetReportErrors(bool value) {
    reportErrors_ = value;
    FlennStreamRecord1.SetReportErrors(value);
    MarkChanged("ReportErrors");
}

void FlennRecorder::SetNumberWaveRecordBuffers(int32_t value) {
    if (value <= 0) return;
    FlennStreamRecord1.SetNumberWaveBuffers(value);
    MarkChanged("NumberWaveRecordBuffers");
}

int16_t FlennRecorder::WaveInDeviceNumber() const {
    return static_cast<int16_t>(FlennStreamRecord1.WaveDeviceNumber());
}

void FlennRecorder::SetWaveInDeviceNumber(int16_t value) {
    FlennStreamRecord1.SetWaveDeviceNumber(value);
    MarkChanged("WaveInDeviceNumber");
}

std::string FlennRecorder::WaveInDeviceName() const {
    WaveInCaps caps;
    int32_t number = FlennStreamRecord1.WaveDeviceNumber();
    uint32_t id = number == 0 ? WAVE_MAPPER : static_cast<uint32_t>(number - 1);
    if (waveInGetDevCaps(id, &caps) != 0) return "";
    return caps.productName.substr(0, 31);
}

void FlennRecorder::SetDebugFile(const std::string& value) {
    debug_.SetFileName(value);
}

void FlennRecorder::SetDebugFile(const std::string& DebugFileName, int32_t DebugMode) {
    debug_.SetDebugFile(DebugFileName, DebugMode);
}

void FlennRecorder::Debug(int32_t level, const std::string& text) const {
    debug_.Write(text, level);
}

// ---- engine calls ----

bool FlennRecorder::LoadAudioEngine() {
    Debug(1, "Start Function LoadAudioEngine");
    engineLoading_ = true;
    bool loaded = FlennStreamRecord1.LoadAudioEngine();
    engineLoading_ = false;
    Debug(1, "End Function LoadAudioEngine");
    return loaded;
}

void FlennRecorder::ClearBuffer() {
    Debug(1, "Start Function ClearBuffer");
    FlennStreamRecord1.ClearSampleBuffer();
    Debug(1, "End Function ClearBuffer");
}

void FlennRecorder::Raise(int32_t code) {
    emit PlayerError(code);
}

int32_t FlennRecorder::Failed(const std::string& line, int32_t code) {
    Debug(1, line + std::to_string(code));
    Raise(code);
    return code;
}

// ---- starting ----

int32_t FlennRecorder::RecordAudio(const std::string& NewAudioFileName, int32_t SampleRate,
                                   int16_t Channels, int16_t FormatTag, int16_t TriggerLevel,
                                   float RecordLength) {
    Debug(1, "Start Function RecordAudio(" + NewAudioFileName + "," + std::to_string(SampleRate) +
                 "," + std::to_string(Channels) + "," + std::to_string(FormatTag) + "," +
                 std::to_string(TriggerLevel) + "," + Num(RecordLength) + ")");
    int32_t result = RecordAudioEx(NewAudioFileName, SampleRate, Channels, FormatTag, TriggerLevel,
                                   RecordLength, erfDefault);
    Debug(1, "End Function RecordAudio");
    return result;
}

// A failed file call as the recorder reports it: the code (75 path/file access, 53 not found)
// and the cause in the debug file, and the box when errors are reported.
int32_t FlennRecorder::FileFailure(const std::string& line, const std::string& box) {
    const int cause = errno;
    const int32_t error = cause == ENOENT || cause == ENOTDIR ? 53 : 75;
    Debug(1, line + std::to_string(error) + "," + std::strerror(cause));
    if (reportErrors_) MsgBox(box, vbInformation);
    return error;
}

bool FlennRecorder::DeleteOld(const std::string& file, const std::string& line,
                              const std::string& box, int32_t& error) {
    if (std::remove(file.c_str()) == 0) return true;
    error = FileFailure(line, box);
    return false;
}

// The take replaces the destination; when it cannot, it stays under its temporary name and the
// box says where.
int32_t FlennRecorder::SaveTake() {
    if (std::rename(workingFileName_.c_str(), audioFileName_.c_str()) == 0) return 0;
    const int32_t error =
        FileFailure("Renaming Temporary File - Failed, Code ",
                    "There was a problem saving the recording as " + audioFileName_ +
                        "\nIt has been kept as " + workingFileName_);
    Raise(-error);
    return error;
}

int32_t FlennRecorder::RecordAudioEx(const std::string& Filename, int32_t RecSampleRate,
                                     int16_t RecChannels, int16_t RecFormatTag,
                                     int16_t RecTriggerLevel, float RecordLength,
                                     int32_t RecordFlags) {
    Debug(1, "Start Function RecordAudioEx(" + Filename + "," + std::to_string(RecSampleRate) +
                 "," + std::to_string(RecChannels) + "," + std::to_string(RecFormatTag) + "," +
                 std::to_string(RecTriggerLevel) + "," + Num(RecordLength) + "," +
                 std::to_string(RecordFlags) + ")");
    // A recording still open is finished (and kept) before the next one starts.
    if (fileHandle_ || createPending_ || !workingFileName_.empty()) CloseRecording(true);

    const bool direct = (RecordFlags & 1) != 0;
    const bool exists = GeneralFunctions::SafeFileLen(Filename) >= 0;
    if (exists) {
        int32_t error = 0;
        // Only a direct recording writes over the destination; otherwise the old audio stays
        // until the new recording is saved, and only its replaceability is checked here.
        bool ok = direct ? (Debug(1, "Deleting Old Audio"),
                            DeleteOld(Filename, "Deleting Old Audio - Failed, Code ",
                                      "There was a problem deleting " + Filename, error))
                         : access(Filename.c_str(), W_OK) == 0;
        if (!ok && !direct)
            error = FileFailure("Deleting Old Audio - Failed, Code ",
                                "There was a problem deleting " + Filename);
        if (!ok) {
            Raise(-error);
            return error;
        }
    }
    workingFileName_ =
        direct ? Filename : Flenney::MakeTempFileName(Flenney::SplitPath(Filename), "WAV");
    Debug(1, "Temporary FileName - " + workingFileName_);
    if (GeneralFunctions::SafeFileLen(workingFileName_) >= 0) {
        int32_t error = 0;
        if (!DeleteOld(workingFileName_, "Deleting Temporary File - Failed, Code ",
                       "There was a problem deleting: " + workingFileName_, error))
            return error;
    }
    if (int32_t code = InitialiseRecordCompression(RecFormatTag, RecChannels, RecSampleRate)) {
        CloseRecording(false);
        return code;
    }
    audioFileName_ = Filename;
    recordLength_ = RecordLength;
    triggerLevel_ = RecTriggerLevel;
    writeFailed_ = false;
    if ((RecordFlags & 6) == 0) {
        createPending_ = false;
        if (int32_t code = OpenRecordingFile()) return code;
    } else {
        createPending_ = true;
    }
    lastReportedSeconds_ = -1;
    secondsBeforePause_ = resumeOffset_ = totalSecondsRecorded_ = 0;
    const int32_t count = openCount_;
    tmrPosition_Timer();
    if (count != openCount_) return 0;
    waitingForLevel_ = recording_ = false;
    Debug(1, "FlennRecord - Start Flenn Stream");
    const bool immediate = (RecordFlags & 2) == 0 && triggerLevel_ <= 0;
    waitingForLevel_ = !immediate;
    FlennStreamRecord1.SetSynchronousAudioLevelEvents(!immediate);
    // The stream has reported its own failure; nothing is recorded without it.
    if (int32_t code = FlennStreamRecord1.StartFlennStream()) {
        CloseRecording(false);
        return code;
    }
    emit RecordOpen();
    if (immediate) {
        resumeOffset_ = -1;
        ResumeRecording();
    }
    Debug(1, "End Function RecordAudioEx");
    return 0;
}

int32_t FlennRecorder::SuggestPcm(int16_t channels, int32_t rate, const char* context,
                                  std::vector<uint8_t>& out) {
    std::vector<uint8_t> request(Acm::kFormatHeadSize);
    Acm::StoreWaveFormat(
        Acm::Pcm16Format(static_cast<uint16_t>(channels), static_cast<uint32_t>(rate)),
        request.data());
    out = request; // the held fields come from the destination record
    auto code = static_cast<int32_t>(Acm::acmFormatSuggest(
        nullptr, request, out.data(), Acm::kFormatHeadSize,
        Acm::ACM_FORMATSUGGESTF_WFORMATTAG | Acm::ACM_FORMATSUGGESTF_NCHANNELS |
            Acm::ACM_FORMATSUGGESTF_NSAMPLESPERSEC));
    return WaveFormatMod::ReportMMError(code, reportErrors_, context);
}

int32_t FlennRecorder::InitialiseRecordCompression(int32_t tag, int16_t channels, int32_t rate) {
    Debug(1, "Start Function InitialiseRecordCompression");
    Debug(1, "Request PCM Format");
    if (int32_t c =
            SuggestPcm(channels, rate, "FlennPlayer Record Suggest Format (1)", filePcmFormat_))
        return Failed("Request PCM Format - Failed, code = ", c);
    FlennStreamRecord1.SetWaveBufferLength(FlennStreamRecord1.NumberChannels() *
                                           FlennStreamRecord1.SampleRate() * 2 *
                                           waveBufferLengthms_ / 1000);
    Debug(1, "Set WaveBufferLength=" + std::to_string(FlennStreamRecord1.WaveBufferLength()));
    Debug(1, "Request Compressed Format size");
    Acm::ACMFORMATTAGDETAILS details;
    details.dwFormatTag = static_cast<uint16_t>(tag);
    int32_t c =
        WaveFormatMod::ReportMMError(static_cast<int32_t>(Acm::acmFormatTagDetails(
                                         nullptr, &details, Acm::ACM_FORMATTAGDETAILSF_FORMATTAG)),
                                     reportErrors_, "FlennPlayer Record Get Format");
    if (c) return Failed("Request Compressed Format size - Failed, code = ", c);
    formatBlockSize_ = static_cast<int32_t>(details.cbFormatSize);
    Debug(1, "Request PCM Format Size - " + std::to_string(formatBlockSize_));
    if (formatBlockSize_ == 0) {
        Raise(-1);
        return -1;
    }
    formatBlock_.assign(std::max<size_t>(formatBlockSize_, Acm::kFormatHeadSize), 0);
    Debug(1,
          "Allocate Compressed Format Memory - " + std::to_string(formatBlock_.size()) + " bytes");
    Acm::WaveFormatEx wanted;
    wanted.FormatTag = static_cast<uint16_t>(tag);
    wanted.Channels = static_cast<uint16_t>(channels);
    wanted.SamplesPerSec = static_cast<uint32_t>(rate);
    Acm::StoreWaveFormat(wanted, formatBlock_.data());
    Debug(1, "Requesting Compressed Format");
    c = WaveFormatMod::ReportMMError(
        static_cast<int32_t>(Acm::acmFormatSuggest(nullptr, filePcmFormat_, formatBlock_.data(),
                                                   static_cast<uint32_t>(formatBlock_.size()),
                                                   Acm::ACM_FORMATSUGGESTF_WFORMATTAG |
                                                       Acm::ACM_FORMATSUGGESTF_NCHANNELS |
                                                       Acm::ACM_FORMATSUGGESTF_NSAMPLESPERSEC)),
        reportErrors_, "FlennPlayer Record Suggest Format (2)");
    if (c) return Failed("Request Compressed Format - Failed, code = ", c);

    const int32_t bufferSize =
        FlennStreamRecord1.WaveBufferLength() * FlennStreamRecord1.NumberWaveBuffers();
    Debug(1, "Opening Compression Stream - Buffersize = " + std::to_string(bufferSize));
    compressionStream_.SrcBufferSize = bufferSize;
    if (tag != 1 && (c = Flenney::FlennCompressOpen(compressionStream_, filePcmFormat_,
                                                    formatBlock_, debug_.FileName())))
        return Failed("Opening Compression Stream - Failed, code = ", c);
    fileFormat_ = Acm::LoadWaveFormat(formatBlock_.data());

    Debug(1, "Requesting Linear Format");
    if ((c = SuggestPcm(numberChannels_, sampleRate_, "FlennPlayer Record Suggest Format (3)",
                        capturePcmFormat_)))
        return Failed("Requesting Linear Format - Failed, code = ", c);
    Debug(1, "Opening Conversion Stream - Buffersize = " + std::to_string(bufferSize));
    conversionStream_.SrcBufferSize = bufferSize;
    if (capturePcmFormat_ != filePcmFormat_ &&
        (c = Flenney::FlennCompressOpen(conversionStream_, capturePcmFormat_, filePcmFormat_,
                                        debug_.FileName())))
        return Failed("Opening Conversion Stream - Failed, code = ", c);
    work_.assign(static_cast<size_t>(std::max({bufferSize * 2, conversionStream_.DestBufferSize,
                                               compressionStream_.DestBufferSize})),
                 0);
    Debug(1, "End Function InitialiseRecordCompression");
    return 0;
}

int32_t FlennRecorder::OpenRecordingFile() {
    Debug(1, "Start Function OpenRecordingFile");
    MMIOINFO info;
    info.cchBuffer = numberCacheSeconds_ * static_cast<int32_t>(fileFormat_.AvgBytesPerSec);
    Debug(1, "Opening Record Stream - Buffer size " + std::to_string(info.cchBuffer));
    fileHandle_ = mmioOpen(workingFileName_, &info,
                           MMIO_CREATE | MMIO_READWRITE |
                               (info.cchBuffer > 0 ? uint32_t(MMIO_ALLOCBUF) : 0u));
    if (!fileHandle_) {
        Debug(1, "Opening Record Stream - Failed, Code " + std::to_string(info.wErrorRet));
        if (reportErrors_) MsgBox("There was a problem opening the file to record.", vbInformation);
        return -1;
    }
    if (openCount_ > (1 << 30)) openCount_ = 0;
    ++openCount_;
    Debug(1, "Seeking to beginning of file");
    mmioSeek(fileHandle_, 0, SEEK_SET);
    auto mm = [this](Platform::Mmio::MMRESULT r, const char* context) {
        return WaveFormatMod::ReportMMError(static_cast<int32_t>(r), reportErrors_, context);
    };
    riffChunk_ = MMCKINFO{};
    riffChunk_.fccType = MakeFourCC("WAVE");
    if (int32_t c = mm(mmioCreateChunk(fileHandle_, &riffChunk_, MMIO_CREATERIFF),
                       "FlennPlayer Record Create (1)"))
        return Failed("Create RIFF Chunk - failed, Code ", c);
    MMCKINFO fmt;
    fmt.ckid = MakeFourCC("fmt ");
    if (int32_t c = mm(mmioCreateChunk(fileHandle_, &fmt, 0), "FlennPlayer Record Create (2)"))
        return Failed("Create fmt Chunk - failed, Code ", c);

    int64_t free = Flenney::GetDiskFreeBytes(Flenney::SplitPath(audioFileName_), 2) / 10000;
    Debug(1, "Reading Disk Space - " + std::to_string(free >> 32) + "," +
                 std::to_string(free & 0xFFFFFFFF));
    if (free >= (int64_t(1) << 31)) {
        free = 2147483647;
        Debug(1, "Too much Disk Space - rounding down to " + std::to_string(free));
    }
    audioBlocks_ = fileFormat_.BlockAlign
                       ? static_cast<int32_t>(std::llround(double(free) / fileFormat_.BlockAlign))
                       : 0;
    audioLength_ = fileFormat_.AvgBytesPerSec
                       ? static_cast<float>(double(free) / fileFormat_.AvgBytesPerSec)
                       : 0;
    Debug(1, "Number Audio Blocks/Audio File Length " + std::to_string(audioBlocks_) + "/" +
                 Num(audioLength_));
    if (recordLength_ > 0 && recordLength_ < audioLength_) audioLength_ = recordLength_;

    if (mmioWrite(fileHandle_, formatBlock_.data(), formatBlockSize_) == -1) {
        Debug(1, "Write fmt Chunk - failed!");
        Raise(-1);
        if (reportErrors_) MsgBox("No Data written during 'Write Wave Format'");
        CloseRecording(false);
        return -1;
    }
    if (int32_t c = mm(mmioAscend(fileHandle_, &fmt, 0), "FlennPlayer Record Ascend")) {
        Failed("Ascend FMT Chunk - Failed, Code ", c);
        CloseRecording(false);
        return c;
    }
    factChunk_ = MMCKINFO{};
    samplesWritten_ = 0;
    if (fileFormat_.FormatTag != 1) {
        factChunk_.ckid = MakeFourCC("fact");
        const uint8_t none[4] = {};
        if (mmioCreateChunk(fileHandle_, &factChunk_, 0) != 0 ||
            mmioWrite(fileHandle_, none, 4) != 4 || mmioAscend(fileHandle_, &factChunk_, 0) != 0)
            return Failed("Create fact Chunk - failed, Code ", -1);
    }
    MMCKINFO cart;
    cart.ckid = MakeFourCC("cart");
    if (int32_t c = static_cast<int32_t>(mmioCreateChunk(fileHandle_, &cart, 0)))
        return Failed("Create cart Chunk - failed, Code ", c);
    const std::string bytes = MultimediaAPI::CartChunkBytes(MultimediaAPI::BlankCartChunk());
    if (mmioWrite(fileHandle_, bytes.data(), static_cast<int32_t>(bytes.size())) == -1)
        return Failed("writing the  Cart Chunk - failed, Code ", -1);
    if (int32_t c = mm(mmioAscend(fileHandle_, &cart, 0), "FlennPlayer Record Ascend")) {
        Failed("Ascend Cart Chunk - Failed, Code ", c);
        CloseRecording(false);
        return c;
    }
    dataChunk_ = MMCKINFO{};
    dataChunk_.ckid = MakeFourCC("data");
    if (int32_t c =
            mm(mmioCreateChunk(fileHandle_, &dataChunk_, 0), "FlennPlayer Record Ascend (3)")) {
        Failed("Create data Chunk - Failed, Code ", c);
        CloseRecording(false);
        return c;
    }
    Debug(1, "End Function OpenRecordingFile");
    return 0;
}

// ---- buffers and levels ----

int32_t FlennRecorder::ConvertInto(ConversionStreamInfo& stream, int32_t& size, bool end) {
    return Flenney::FlennCompressConvert(stream, work_.data(), size,
                                         static_cast<int32_t>(work_.size()), end);
}

bool FlennRecorder::ConvertForFile(int32_t& size, bool end) {
    if (conversionStream_.hStream) {
        if (ConvertInto(conversionStream_, size, end)) return false;
        Debug(255, "Convert Buffer - " + Where(work_.data(), size));
    }
    const uint16_t pcmAlign = Acm::LoadWaveFormat(filePcmFormat_.data()).BlockAlign;
    if (pcmAlign) samplesWritten_ += size / pcmAlign;
    if (fileFormat_.FormatTag != 1) {
        if (ConvertInto(compressionStream_, size, end)) return false;
        Debug(255, "Compress Buffer " + Where(work_.data(), size));
    }
    return true;
}

// The "fact" chunk of a compressed file holds its length in samples.
void FlennRecorder::WriteFactLength() {
    if (factChunk_.ckid == 0) return;
    const auto samples = static_cast<uint32_t>(std::min<int64_t>(samplesWritten_, UINT32_MAX));
    const uint8_t bytes[4] = {static_cast<uint8_t>(samples), static_cast<uint8_t>(samples >> 8),
                              static_cast<uint8_t>(samples >> 16),
                              static_cast<uint8_t>(samples >> 24)};
    if (mmioSeek(fileHandle_, static_cast<int32_t>(factChunk_.dwDataOffset), SEEK_SET) < 0 ||
        mmioWrite(fileHandle_, bytes, 4) != 4)
        Debug(16, "Write fact Chunk - failed");
}

void FlennRecorder::OnBufferReceived(intptr_t ptrBuffer, int32_t BufferSize) {
    Debug(255, "Start Function BufferReceived(" + std::to_string(ptrBuffer) + "," +
                   std::to_string(BufferSize) + ")");
    Debug(255, "Raising BufferReceived Event");
    emit BufferRecieved(ptrBuffer, BufferSize);
    const char* exit = !ptrBuffer         ? "Exit Function BufferReceived - No buffer pointer"
                       : BufferSize == 0  ? "Exit Function BufferReceived - No buffer size"
                       : !fileHandle_     ? "Exit Function BufferReceived - No audio file"
                       : !EngineRunning() ? "Exit Function BufferReceived - FlennRecord not running"
                       : !recording_      ? "Exit Function BufferReceived - not writing to disk"
                                          : nullptr;
    if (exit) {
        Debug(255, exit);
        return;
    }
    auto ptr = reinterpret_cast<const uint8_t*>(ptrBuffer);
    int32_t size = BufferSize;
    if (triggerReached_) {
        Debug(255, "First Buffer above trigger level - (" + std::to_string(ptrBuffer) + "," +
                       std::to_string(size) + ")");
        int32_t pos = Flenney::FindTriggerPoint(ptr, size, numberChannels_, triggerLevel_);
        Debug(255, "AudioScanForFirstAbove returned - " + std::to_string(pos));
        if (pos > 0) {
            ptr += pos;
            size -= pos;
            Debug(255, "Buffer adjusted to - " + Where(ptr, size));
        }
        triggerReached_ = false;
    }
    if (conversionStream_.hStream || fileFormat_.FormatTag != 1) {
        // The engine's buffer is only lent: convert a copy.
        size = std::min<int32_t>(size, static_cast<int32_t>(work_.size()));
        std::memcpy(work_.data(), ptr, static_cast<size_t>(size));
        ptr = work_.data();
        if (!ConvertForFile(size, false)) return;
    }
    WriteAudioData(ptr, size);
    Debug(255, "End Function BufferReceived");
}

// Reads the file's buffer state; a failure is reported under the context and its code returned.
int32_t FlennRecorder::ReadFileState(const char* context) {
    MMIOINFO info;
    return WaveFormatMod::ReportMMError(static_cast<int32_t>(mmioGetInfo(fileHandle_, &info, 0)),
                                        reportErrors_, context);
}

void FlennRecorder::WriteAudioData(const uint8_t* ptr, int32_t size) {
    const std::string where = Where(ptr, size);
    Debug(16, "Start Function WriteAudioData(" + where + ")");
    Debug(16, "Read Current file position");
    if (int32_t code = ReadFileState("FlennPlayer Record Write Data")) {
        Raise(code);
        return;
    }
    if (size <= 0) return;
    const int32_t written = mmioWrite(fileHandle_, ptr, size);
    Debug(16, "Written " + std::to_string(written) + " bytes");
    if (written == -1) {
        // The box once per recording; every failure still reaches the host.
        if (!writeFailed_) MsgBox("Failed to write data during 'WriteAudioData'");
        writeFailed_ = true;
        Raise(static_cast<int32_t>(MMIOERR_CANNOTWRITE));
        return;
    }
    Debug(16, "Read Current file position again");
    if (int32_t code = ReadFileState("FlennPlayer Record Write Get Information")) Raise(code);
    Debug(16, "End Function WriteAudioData(" + where + ")");
}

void FlennRecorder::OnAudioLevelUpdate(int16_t left, int16_t right) {
    const int32_t count = openCount_;
    emit AudioLevelChanged(left, right);
    if (count != openCount_ || !waitingForLevel_) return;
    if (left >= triggerLevel_ || right > triggerLevel_) {
        triggerReached_ = true;
        FlennStreamRecord1.SetSynchronousAudioLevelEvents(false);
        FlennStreamRecord1.ClearSampleBuffer();
        ResumeRecording();
    }
}

// ---- pause, resume, position ----

int32_t FlennRecorder::ResumeRecording() {
    Debug(1, "Start Function ResumeRecording");
    if (createPending_) {
        if (int32_t code = OpenRecordingFile()) return code;
        createPending_ = false;
    }
    if (!fileHandle_ || !EngineRunning()) return -1;
    waitingForLevel_ = false;
    ClearBuffer();
    resumeOffset_ = resumeOffset_ == -1 ? 0 : FlennStreamRecord1.MilliSecondsRecorded() / 1000.0f;
    recording_ = true;
    emit Recording();
    Debug(1, "End Function ResumeRecording");
    return 0;
}

int32_t FlennRecorder::PauseRecording() {
    Debug(1, "Start Function PauseRecording");
    if (!fileHandle_ || !EngineRunning()) return -1;
    FlennStreamRecord1.ReturnAudio();
    recording_ = false;
    secondsBeforePause_ = totalSecondsRecorded_;
    Debug(1, "TimeRecordedBeforeLastPause=" + Num(secondsBeforePause_));
    Debug(1, "Pre-Raise Event Paused");
    emit Paused();
    Debug(1, "End Function PauseRecording");
    return 0;
}

void FlennRecorder::tmrPosition_Timer() {
    if (audioFileName_.empty()) return;
    const int32_t count = openCount_;
    float recorded = secondsBeforePause_;
    if (Status() == ersRecording && EngineRunning())
        recorded = FlennStreamRecord1.MilliSecondsRecorded() / 1000.0f - resumeOffset_ +
                   secondsBeforePause_;
    if (audioLength_ <= 0) {
        totalPercentageRecorded_ = 0;
        totalSecondsRecorded_ = recorded;
        totalSecondsRemain_ = 0;
    } else {
        const float percent = std::clamp(recorded / audioLength_ * 100.0f, 0.0f, 100.0f);
        totalPercentageRecorded_ = percent;
        totalSecondsRecorded_ = audioLength_ * percent / 100.0f;
        totalSecondsRemain_ = (100.0f - percent) * audioLength_ / 100.0f;
    }
    if (raiseAudioPositionChanged_ && totalSecondsRecorded_ != lastReportedSeconds_)
        emit AudioPositionChanged();
    if (count != openCount_) return;
    if (audioLength_ > 0 && totalSecondsRecorded_ >= audioLength_ && recording_) {
        PauseRecording();
        if (count == openCount_) emit RecordingEndReached();
    }
    if (count == openCount_) lastReportedSeconds_ = totalSecondsRecorded_;
}

// ---- closing ----

void FlennRecorder::TerminateRecordCompression() {
    Debug(1, "Start Function TerminateRecordCompression");
    Debug(1, "Close Compression Stream");
    Flenney::FlennCompressClose(compressionStream_, debug_.FileName());
    Debug(1, "Close Conversion Stream");
    Flenney::FlennCompressClose(conversionStream_, debug_.FileName());
    if (!formatBlock_.empty()) {
        Debug(1, "Releasing Compressed Format memory");
        formatBlock_.clear();
        formatBlockSize_ = 0;
    }
    Debug(1, "End Function TerminateRecordCompression");
}

int32_t FlennRecorder::CloseRecording(bool& SaveRecording) {
    Debug(1, "Start Function CloseRecording(" + Bool(SaveRecording) + ")");
    if (EngineRunning()) {
        Debug(16, "Pre-FlennRecord ReturnAudio");
        FlennStreamRecord1.ReturnAudio();
        Debug(16, "Pre-FlennRecord StopFlennStream");
        FlennStreamRecord1.StopFlennStream();
    } else {
        Debug(16, "FlennRecord already finished");
    }
    int32_t result = 0;
    if (fileHandle_) {
        auto step = [&](Platform::Mmio::MMRESULT r, const char* context, const char* line) {
            int32_t c =
                WaveFormatMod::ReportMMError(static_cast<int32_t>(r), reportErrors_, context);
            if (c) result = Failed(line, c);
        };
        Debug(16, "Audio File Handle : " + std::to_string(reinterpret_cast<intptr_t>(fileHandle_)));
        MMIOINFO info;
        step(mmioGetInfo(fileHandle_, &info, 0), "FlennPlayer Record Get Information",
             "Read File Info - Failed, Code ");
        // What the conversion steps still hold belongs to the recording.
        int32_t size = 0;
        if ((conversionStream_.hStream || fileFormat_.FormatTag != 1) && !createPending_ &&
            ConvertForFile(size, true) && size > 0)
            WriteAudioData(work_.data(), size);
        step(mmioAscend(fileHandle_, &dataChunk_, 0), "FlennPlayer Record Ascend (1)",
             "Ascend Out of File 1 - Failed, Code ");
        Debug(16, "Audio Sub Chunk Size : " + std::to_string(dataChunk_.cksize));
        if (dataChunk_.cksize == 0) SaveRecording = false;
        step(mmioAscend(fileHandle_, &riffChunk_, 0), "FlennPlayer Record Ascend (2)",
             "Ascend Out of File 2 - Failed, Code ");
        WriteFactLength();
        Debug(16, "Seek to the beginning of the file");
        mmioSeek(fileHandle_, 0, SEEK_SET);
        MMCKINFO riff;
        riff.fccType = MakeFourCC("WAVE");
        Debug(16, "Pre-Descend back into file");
        step(mmioDescend(fileHandle_, &riff, nullptr, MMIO_FINDRIFF),
             "FlennPlayer Record Descend Riff", "Descend back into file - Failed, Code ");
        Debug(16, "Pre-Ascend out of file");
        step(mmioAscend(fileHandle_, &riff, 0), "FlennPlayer Record Ascend Riff",
             "Ascend out of file - Failed, Code ");
        Debug(16, "Pre-Close file");
        step(mmioClose(fileHandle_, 0), "FlennPlayer Record Close", "Close file - Failed, Code ");
        fileHandle_ = nullptr;
    }
    TerminateRecordCompression();
    if (!workingFileName_.empty()) {
        // A file that lost audio or whose sizes could not be fixed never replaces the
        // destination.
        const bool keep = SaveRecording && result == 0 && !writeFailed_;
        if (!keep) {
            if (GeneralFunctions::SafeFileLen(workingFileName_) >= 0)
                std::remove(workingFileName_.c_str());
        } else if (audioFileName_ != workingFileName_) {
            result = SaveTake();
        }
    }
    audioFileName_.clear();
    workingFileName_.clear();
    recordLength_ = 0;
    createPending_ = false;
    lastReportedSeconds_ = -1;
    secondsBeforePause_ = resumeOffset_ = 0;
    triggerLevel_ = 0;
    totalPercentageRecorded_ = totalSecondsRecorded_ = totalSecondsRemain_ = 0;
    waitingForLevel_ = recording_ = engineStarted_ = false;
    writeFailed_ = false;
    FlennStreamRecord1.SetSynchronousAudioLevelEvents(false);
    emit Closed();
    emit AudioPositionChanged();
    Debug(1, "End Function CloseRecording");
    return result;
}
