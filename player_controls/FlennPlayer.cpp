#include "player_controls/FlennPlayer.h"

#include "audio_engine/WaveFormatMod.h"
#include "core/GeneralFunctions.h"
#include "core/MultimediaAPI.h"
#include "platform/Acm.h"
#include "platform/Codec.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"
#include "player_controls/EngineSettings.h"

#include <algorithm>
#include <cmath>
#include <utility>

using namespace Platform::Acm;
using namespace Platform::Mmio;
using Platform::vbInformation;
using Platform::vbOKOnly;

namespace {
constexpr const char* kTitle = "Flenney";
constexpr int32_t kCounterLimit = 1 << 30;

int32_t RoundToLong(double v) {
    return static_cast<int32_t>(VB::RoundHalfEven(v));
}
} // namespace

FlennPlayer::FlennPlayer(QObject* parent) : QObject(parent) {
    // The hosted engine starts as placed on the control, its window hooked.
    FlennStreamPlay1.InitProperties(true);
    GeneralFunctions::LoadOSVersion();
    const EngineSettings::EngineRegistrySettings s = EngineSettings::ReadEngineRegistrySettings();
    fadeMode_ = s.FadeMode;
    flushBuffers_ = s.FlushBuffers;
    FlennStreamPlay1.SetFlushBufferLengthms(s.FlushBufferLengthms);
    tmrPosition.setInterval(50);
    connect(&tmrPosition, &QTimer::timeout, this, &FlennPlayer::PositionTick);
    tmrEvent.setSingleShot(true);
    tmrEvent.setTimerType(Qt::PreciseTimer);
    connect(&tmrEvent, &QTimer::timeout, this, &FlennPlayer::PositionTick);
    connect(&FlennStreamPlay1, &FlennStreamPlay::BufferAvailable, this,
            &FlennPlayer::OnBufferAvailable);
    connect(&FlennStreamPlay1, &FlennStreamPlay::FlennStreamStopped, this,
            &FlennPlayer::OnStreamStopped);
    connect(&FlennStreamPlay1, &FlennStreamPlay::FlennStreamStarted, this, [this] {
        if (!engineLoading_) tmrPosition.start();
    });
    connect(&FlennStreamPlay1, &FlennStreamPlay::Playing, this, [this] {
        playingFlag_ = true;
        if (!engineLoading_ && !tmrPosition.isActive()) tmrPosition.start();
        emit Playing();
    });
    connect(&FlennStreamPlay1, &FlennStreamPlay::Paused, this, [this] {
        playingFlag_ = false;
        emit Paused();
    });
    connect(&FlennStreamPlay1, &FlennStreamPlay::AudioLevelUpdate, this,
            [this](int16_t l, int16_t r) { emit AudioLevelChanged(l, r); });
    connect(&FlennStreamPlay1, &FlennStreamPlay::PlayerError, this,
            [this](int32_t code) { RaiseError(code); });
}

FlennPlayer::~FlennPlayer() {
    tmrPosition.stop();
    CloseAudio();
}

int32_t FlennPlayer::RaiseError(int32_t code) {
    emit PlayerError(code);
    return code;
}

int32_t FlennPlayer::OpenFailure(int32_t code, const std::string& message, bool close, int icon) {
    Debug(message);
    if (close) CloseAudio();
    if (reportErrors_) Platform::MsgBox(message, icon, kTitle);
    return RaiseError(code);
}

// 0, or 1 rate, 2 channels, 3 data rate. Blocks and data rates of 0 cannot be played either.
int32_t FlennPlayer::CheckHeader(const WaveFormatEx& h) const {
    static const uint32_t rates[] = {8000, 11025, 22050, 32000, 32075, 44100, 48000, 96000};
    if (std::find(std::begin(rates), std::end(rates), h.SamplesPerSec) == std::end(rates)) return 1;
    if (h.AvgBytesPerSec > 384000 || h.AvgBytesPerSec == 0) return 3;
    if (h.Channels < 1 || h.Channels > 2 || h.BlockAlign == 0) return 2;
    return 0;
}

int32_t FlennPlayer::OpenAudio(std::string& fName) {
    Debug([&] { return "Start Function OpenAudio(" + fName + ")"; });
    CloseAudio();
    if (!FlennStreamPlay1.AudioEngineLoaded()) LoadAudioEngine();
    if (GeneralFunctions::SafeFileLen(fName) <= 0)
        return OpenFailure(-1, "The file: " + fName + " did not exist", false, vbInformation);
    MultimediaAPI::WaveFormatInfo info;
    int32_t dataLength = 0;
    if (int32_t c = MultimediaAPI::ReadWaveFormat(fName, info, dataLength); c != 0)
        return OpenFailure(-1,
                           "The header in the audio file: " + fName +
                               " could not be read, and the code was " + std::to_string(c),
                           false, vbInformation);
    WaveFormatEx head;
    head.FormatTag = info.FormatTag;
    head.Channels = info.Channels;
    head.SamplesPerSec = info.SamplesPerSec;
    head.AvgBytesPerSec = info.AvgBytesPerSec;
    head.BlockAlign = info.BlockAlign;
    head.BitsPerSample = info.BitsPerSample;
    if (int32_t k = CheckHeader(head); k != 0)
        return OpenFailure(
            -1,
            "The header information in the audio file: " + fName +
                " is corrupt.\nThe details are " + std::to_string(head.SamplesPerSec) + "Hz, " +
                std::to_string(head.Channels) + " channels, " + std::to_string(head.BitsPerSample) +
                " bits, format tag " + std::to_string(head.FormatTag) +
                ", and the reference code was " + std::to_string(k),
            false, vbInformation);
    MMIOINFO cache;
    cache.dwFlags = MMIO_ALLOCBUF;
    cache.cchBuffer = static_cast<int32_t>(head.AvgBytesPerSec) * numberCacheSeconds_;
    storedPlayVolume_ = PlayVolume();
    hAudioFile_ = mmioOpen(fName, &cache, MMIO_READ);
    if (!hAudioFile_)
        return OpenFailure(-1,
                           "There was a problem opening the audio file:" + fName +
                               " and the code was " + std::to_string(cache.wErrorRet),
                           false, vbOKOnly);
    if (openedFileCounter_ > kCounterLimit) openedFileCounter_ = 0;
    ++openedFileCounter_;
    ckRIFF_ = MMCKINFO();
    ckRIFF_.fccType = MakeFourCC("WAVE");
    if (MMRESULT r = mmioDescend(hAudioFile_, &ckRIFF_, nullptr, MMIO_FINDRIFF); r != 0)
        return OpenFailure(static_cast<int32_t>(r),
                           "The file chosen is not a valid WAVE file and cannot be loaded", true,
                           vbInformation);
    MMCKINFO fmt;
    fmt.ckid = MakeFourCC("fmt ");
    if (MMRESULT r = mmioDescend(hAudioFile_, &fmt, &ckRIFF_, MMIO_FINDCHUNK); r != 0)
        return OpenFailure(static_cast<int32_t>(r),
                           "There was no format chunk found in the wave file", true, vbInformation);
    if (fmt.cksize == 0 || fmt.cksize > 0x10000)
        return OpenFailure(-1, "The files audio format could not be read", true, vbInformation);
    formatChunk_.assign(std::max<uint32_t>(fmt.cksize, kFormatHeadSize), 0);
    if (mmioRead(hAudioFile_, formatChunk_.data(), static_cast<int32_t>(fmt.cksize)) !=
        static_cast<int32_t>(fmt.cksize))
        return OpenFailure(-1, "There was a problem reading the file's audio format", true,
                           vbInformation);
    mmioAscend(hAudioFile_, &fmt, 0);
    fileFormat_ = LoadWaveFormat(formatChunk_.data());
    if (CheckHeader(fileFormat_) != 0 ||
        !Platform::Codec::FormatFits(formatChunk_.data(), formatChunk_.size()))
        return OpenFailure(-1, "The files audio format could not be read", true, vbInformation);
    ckData_ = MMCKINFO();
    ckData_.ckid = MakeFourCC("data");
    if (MMRESULT r = mmioDescend(hAudioFile_, &ckData_, &ckRIFF_, MMIO_FINDCHUNK); r != 0)
        return OpenFailure(static_cast<int32_t>(r),
                           "The audio information could not be found in the wave file", true,
                           vbInformation);
    // A data chunk claiming more than the file holds is cut to what is there.
    const double fileLen = GeneralFunctions::SafeFileLen(fName);
    const double held = std::max(0.0, fileLen - ckData_.dwDataOffset);
    if (ckData_.cksize > held) ckData_.cksize = static_cast<uint32_t>(held);
    totalBlocks_ = RoundToLong(double(ckData_.cksize) / fileFormat_.BlockAlign);
    totalAudioLength_ = static_cast<float>(double(ckData_.cksize) / fileFormat_.AvgBytesPerSec);
    baseTime_ = 0;
    previousSecondsPlayed_ = -1;
    fileFinished_ = audioFinished_ = false;
    decodeErrorRaised_ = dataGaveAudio_ = false;
    ClearReachedFlags();
    if (int32_t c = InitialisePlaybackCompression(); c != 0)
        return OpenFailure(c, "There was a problem Initialising the Playback Compression", true,
                           vbInformation);
    audioFileName_ = fName;
    audioStart_ = 0;
    audioEnd_ = totalAudioLength_;
    audioLength_ = audioEnd_ - audioStart_;
    introStart_ = introEnd_ = 0.001f;
    hookStart_ = hookEnd_ = 0;
    extro_ = totalAudioLength_;
    sweeperStart_ = -1;
    useLoop_ = false;
    loopCount_ = 0;
    loopMark_ = -1;
    loopStartBlock_ = loopEndBlock_ = 0;
    FlennStreamPlay1.SetReturnBuffers(true);
    // The stream has reported its own failure; the file is not left open without it.
    if (int32_t c = FlennStreamPlay1.StartFlennStream(); c != 0) {
        Debug([&] { return "The audio stream could not be started, code " + std::to_string(c); });
        CloseAudio();
        return c;
    }
    firstVolumeTime_ = lastVolumeTime_ = -1;
    const int32_t counter = openedFileCounter_;
    Debug("Raise Event Opened");
    emit Opened();
    if (Reopened(counter)) return 0;
    SeekTime(0, false);
    Debug("End Function OpenAudio");
    return 0;
}

int32_t FlennPlayer::SuggestPcm(uint16_t channels, uint32_t rate, WaveFormatEx& out,
                                const char* context) {
    std::vector<uint8_t> src(kFormatHeadSize), dst(20, 0);
    WaveFormatEx s;
    s.FormatTag = WAVE_FORMAT_PCM;
    s.Channels = channels;
    s.SamplesPerSec = rate;
    s.BitsPerSample = 16;
    s.BlockAlign = static_cast<uint16_t>(channels * 2);
    s.AvgBytesPerSec = rate * s.BlockAlign;
    StoreWaveFormat(s, src.data());
    WaveFormatEx wanted;
    wanted.FormatTag = WAVE_FORMAT_PCM;
    wanted.Channels = channels;
    wanted.SamplesPerSec = rate;
    StoreWaveFormat(wanted, dst.data());
    const auto c = static_cast<int32_t>(acmFormatSuggest(nullptr, src, dst.data(), 20, 0x70000));
    if (c != 0) {
        Debug([&] { return std::string(context) + " failed, code " + std::to_string(c); });
        return c;
    }
    out = LoadWaveFormat(dst.data());
    return 0;
}

int32_t FlennPlayer::InitialisePlaybackCompression() {
    const auto engineChannels = static_cast<uint16_t>(FlennStreamPlay1.NumberChannels());
    const auto engineRate = static_cast<uint32_t>(FlennStreamPlay1.SampleRate());
    if (int32_t c = SuggestPcm(engineChannels, engineRate, playbackFormat_,
                               "FlennPlayer Play Suggest Format (1)"))
        return c;
    if (int32_t c = SuggestPcm(fileFormat_.Channels, fileFormat_.SamplesPerSec,
                               uncompressedFileFormat_, "FlennPlayer Play Suggest Format (2)"))
        return c;
    uncompressedBytes_.assign(20, 0);
    playbackBytes_.assign(20, 0);
    StoreWaveFormat(uncompressedFileFormat_, uncompressedBytes_.data());
    StoreWaveFormat(playbackFormat_, playbackBytes_.data());
    // A stream that cannot be opened is reported once, by the open that asked for it.
    const auto open = [this](Flenney::ConversionStreamInfo& s, std::span<const uint8_t> from,
                             std::span<const uint8_t> to, const char* context) {
        s.SrcBufferSize = static_cast<int32_t>(uncompressedFileFormat_.AvgBytesPerSec);
        s.ShowErrors = false;
        int32_t c = Flenney::FlennCompressOpen(s, from, to, "");
        if (c != 0) {
            Debug([&] { return std::string(context) + " failed, code " + std::to_string(c); });
            TerminatePlaybackCompression();
        }
        return c;
    };
    if (int32_t c = open(DeCompress, formatChunk_, uncompressedBytes_,
                         "FlennPlayer Open Conversion Stream (1)"))
        return c;
    fileFormat_ = LoadWaveFormat(formatChunk_.data());
    if (int32_t c = open(ConvertFilePCM, uncompressedBytes_, playbackBytes_,
                         "FlennPlayer Open Conversion Stream (2)"))
        return c;
    const uint32_t widest =
        std::max({playbackFormat_.AvgBytesPerSec, uncompressedFileFormat_.AvgBytesPerSec,
                  fileFormat_.AvgBytesPerSec});
    conversionBuffer_.assign(size_t(2) * widest, 0);
    return 0;
}

int32_t FlennPlayer::TerminatePlaybackCompression() {
    if (int32_t c =
            WaveFormatMod::ReportMMError(Flenney::FlennCompressClose(DeCompress, ""), reportErrors_,
                                         "FlennPlayer Close Conversion Stream (1)"))
        return RaiseError(c);
    if (int32_t c =
            WaveFormatMod::ReportMMError(Flenney::FlennCompressClose(ConvertFilePCM, ""),
                                         reportErrors_, "FlennPlayer Close Conversion Stream (2)"))
        return RaiseError(c);
    conversionBuffer_.clear();
    conversionBuffer_.shrink_to_fit();
    return 0;
}

int32_t FlennPlayer::CloseAudio() {
    if (FlennStreamPlay1.Status() == statusTerminated && !IsOpen() && conversionBuffer_.empty())
        return 0;
    Debug("Start Function CloseAudio");
    int32_t result = 0;
    FlennStreamPlay1.SetReturnBuffers(false);
    if (FlennStreamPlay1.PlayStatus() == ePlaying) PausePlaybackStream(false);
    ClearAllVolumeChangeEvents();
    SetAudioVolume(storedPlayVolume_);
    FlennStreamPlay1.StopFlennStream();
    if (IsOpen()) {
        const auto step = [&](MMRESULT r, const char* context) {
            if (int32_t c =
                    WaveFormatMod::ReportMMError(static_cast<int32_t>(r), reportErrors_, context))
                result = RaiseError(c);
        };
        step(mmioAscend(hAudioFile_, &ckData_, 0), "FlennPlayer Play Ascend (1)");
        step(mmioAscend(hAudioFile_, &ckRIFF_, 0), "FlennPlayer Play Ascend (2)");
        step(mmioClose(hAudioFile_, 0), "FlennPlayer Play Close");
        hAudioFile_ = nullptr;
    }
    TerminatePlaybackCompression();
    formatChunk_.clear();
    audioFileName_.clear();
    totalAudioLength_ = 0;
    totalBlocks_ = 0;
    ResetMarkers();
    totalSecondsPlayed_ = totalSecondsRemain_ = totalPercentagePlayed_ = 0;
    secondsPlayed_ = secondsRemain_ = percentagePlayed_ = 0;
    fileFinished_ = audioFinished_ = false;
    ClearReachedFlags();
    const int32_t counter = openedFileCounter_;
    Debug("Raise Event Closed");
    emit Closed();
    if (Reopened(counter)) return result;
    emit AudioPositionChanged(true);
    if (Reopened(counter)) return result;
    emit AudioLevelChanged(0, 0);
    Debug("End Function CloseAudio");
    return result;
}

void FlennPlayer::ResetMarkers() {
    audioStart_ = audioEnd_ = audioLength_ = 0;
    introStart_ = introEnd_ = hookStart_ = hookEnd_ = extro_ = 0;
    sweeperStart_ = -1;
    useLoop_ = false;
    loopCount_ = 0;
    loopStartBlock_ = loopEndBlock_ = 0;
}

void FlennPlayer::ClearReachedFlags() {
    introStartFlag_ = introEndFlag_ = hookStartFlag_ = hookEndFlag_ = extroFlag_ = sweeperFlag_ =
        false;
}

void FlennPlayer::FillPlaybackBuffers() {
    if (!IsOpen() || conversionBuffer_.empty()) return;
    Debug("Start Function FillPlaybackBuffers", dmFull);
    const int32_t counter = openedFileCounter_;
    const int32_t align = fileFormat_.BlockAlign;
    const int32_t capacity = static_cast<int32_t>(conversionBuffer_.size());
    for (bool idleLoop = false;;) {
        QueueConverted();
        if (!unqueued_.empty() || FlennStreamPlay1.NumberFreeBuffers() == 0) return;
        const int32_t pos =
            mmioSeek(hAudioFile_, 0, SEEK_CUR) - static_cast<int32_t>(ckData_.dwDataOffset);
        const int32_t curBlock = pos / align;
        const int32_t remaining = static_cast<int32_t>(ckData_.cksize) - pos;
        if (remaining < 1) {
            // Data that gave no audio at all does not decode; no data at all is an empty cart.
            if (!dataGaveAudio_ && ckData_.cksize > 0)
                ReportUndecodable(static_cast<int32_t>(ACMERR_NOTPOSSIBLE));
            if (Reopened(counter)) return;
            fileFinished_ = true;
            TestForFinish();
            return;
        }
        const double seconds = FlennStreamPlay1.FreeBufferSizems() / 1000.0;
        int32_t blocks = RoundToLong(seconds * fileFormat_.AvgBytesPerSec) / align;
        bool jumpBack = false;
        if (useLoop_ && curBlock > loopStartBlock_ && curBlock + blocks >= loopEndBlock_) {
            ++loopCount_;
            blocks = loopEndBlock_ - curBlock;
            if (loopCount_ > maxLoopCount_) {
                loopMark_ = -2;
                useLoop_ = false;
                loopCount_ = 0;
            } else {
                loopMark_ = loopStartBlock_;
                jumpBack = true;
            }
        }
        // Reads are cut so that decoding and rate conversion stay inside the buffer.
        int32_t bytes = std::min({blocks * align, remaining, capacity / 2});
        bytes = std::max(bytes / align, 1) * align;
        const int32_t read = mmioRead(hAudioFile_, conversionBuffer_.data(), bytes);
        const bool last = !jumpBack && read >= remaining;
        const int32_t length = read > 0 ? ConvertForPlayback(read, last) : 0;
        if (length > 0) {
            dataGaveAudio_ = true;
            // Queued straight from the conversion buffer; only what finds no free buffer waits.
            const size_t at = QueuePieces(conversionBuffer_.data(), length, loopMark_);
            unqueued_.assign(conversionBuffer_.begin() + at, conversionBuffer_.begin() + length);
            unqueuedMark_ = unqueued_.empty() ? -1 : loopMark_;
            loopMark_ = -1;
        }
        if (jumpBack) {
            Debug(
                [&] { return "Seeking to Loop Begin " + std::to_string(loopStartBlock_ * align); },
                dmMedium);
            mmioSeek(hAudioFile_,
                     static_cast<int32_t>(ckData_.dwDataOffset) + loopStartBlock_ * align,
                     SEEK_SET);
            ClearBuffer(false, false);
        }
        if (Reopened(counter)) return;
        // Data that gives no audio yet (a decoder finding its first frame) takes no buffer:
        // reading goes on until audio comes or the data ends; a loop of no audio stops.
        if (read <= 0 || (length == 0 && jumpBack && std::exchange(idleLoop, true))) return;
    }
}

size_t FlennPlayer::QueuePieces(const uint8_t* data, size_t size, int32_t mark) {
    const int32_t block = std::max<int32_t>(playbackFormat_.BlockAlign, 1);
    const int32_t piece = std::max(FlennStreamPlay1.FreeBufferSize() / block * block, block);
    size_t at = 0;
    while (at < size && FlennStreamPlay1.NumberFreeBuffers() > 0) {
        const auto n = static_cast<int32_t>(std::min<size_t>(piece, size - at));
        const bool lastPiece = at + n == size;
        if (FlennStreamPlay1.AddBufferEx(reinterpret_cast<intptr_t>(data + at), n,
                                         lastPiece ? mark : -1) != 0)
            break;
        at += n;
    }
    return at;
}

void FlennPlayer::QueueConverted() {
    const size_t at = QueuePieces(unqueued_.data(), unqueued_.size(), unqueuedMark_);
    unqueued_.erase(unqueued_.begin(), unqueued_.begin() + static_cast<ptrdiff_t>(at));
    if (unqueued_.empty()) unqueuedMark_ = -1;
}

int32_t FlennPlayer::ConvertForPlayback(int32_t read, bool last) {
    uint8_t* data = conversionBuffer_.data();
    const int32_t capacity = static_cast<int32_t>(conversionBuffer_.size());
    int32_t length = read;
    int32_t code = 0;
    if (fileFormat_.FormatTag != WAVE_FORMAT_PCM || fileFormat_.BitsPerSample != 16)
        code = Flenney::FlennCompressConvert(DeCompress, data, length, capacity, last);
    if (code == 0 && (fileFormat_.SamplesPerSec != playbackFormat_.SamplesPerSec ||
                      fileFormat_.Channels != playbackFormat_.Channels))
        code = Flenney::FlennCompressConvert(ConvertFilePCM, data, length, capacity, last);
    if (code == 0) return length;
    // Data that does not decode never reaches the device: its time plays as silence.
    Debug([&] { return "Conversion failed, code " + std::to_string(code) + ": silence queued"; },
          dmMedium);
    Flenney::ClearConversionStream(DeCompress);
    Flenney::ClearConversionStream(ConvertFilePCM);
    const double seconds = double(read) / fileFormat_.AvgBytesPerSec;
    const int64_t frames = std::llround(seconds * playbackFormat_.SamplesPerSec);
    length = static_cast<int32_t>(
        std::min<int64_t>(frames * playbackFormat_.BlockAlign,
                          capacity / playbackFormat_.BlockAlign * playbackFormat_.BlockAlign));
    std::fill(data, data + length, uint8_t(0));
    ReportUndecodable(code);
    return length;
}

void FlennPlayer::ReportUndecodable(int32_t code) {
    if (decodeErrorRaised_) return;
    decodeErrorRaised_ = true;
    WaveFormatMod::ReportMMError(code, reportErrors_, "FlennPlayer Play Convert");
    RaiseError(code);
}

bool FlennPlayer::SeekPercentage(float p, bool TotalFile) {
    if (!IsOpen()) return false;
    p = std::clamp(p, 0.f, 100.f);
    return TotalFile ? SeekTime(p / 100 * totalAudioLength_, true)
                     : SeekTime(p / 100 * audioLength_, false);
}

bool FlennPlayer::SeekTime(float t, bool TotalFile) {
    if (!IsOpen()) return false;
    Debug([&] { return "Start Function SeekTime(" + std::to_string(t) + ")"; });
    if (!TotalFile) t += audioStart_;
    t = std::clamp(t, audioStart_, audioEnd_);
    // An empty data chunk has only its start.
    return SeekBlock(totalBlocks_ > 0 ? RoundToLong(double(t) / totalAudioLength_ * totalBlocks_)
                                      : 0);
}

bool FlennPlayer::SeekBlock(int32_t block) {
    if (inSeek_ || !IsOpen()) return false;
    inSeek_ = true;
    const int32_t counter = openedFileCounter_;
    fileFinished_ = audioFinished_ = false;
    ClearReachedFlags();
    baseTime_ =
        totalBlocks_ > 0 ? static_cast<float>(double(totalAudioLength_) * block / totalBlocks_) : 0;
    const bool wasPlaying = FlennStreamPlay1.PlayStatus() == ePlaying;
    ClearBuffer(true, true);
    bool result = false;
    const int64_t byte = int64_t(block) * fileFormat_.BlockAlign;
    if (IsOpen() && !Reopened(counter) && byte >= 0 && byte < ckData_.cksize) {
        mmioSeek(hAudioFile_, static_cast<int32_t>(ckData_.dwDataOffset + byte), SEEK_SET);
        PositionTick();
        if (!Reopened(counter) && wasPlaying) PlayAudio();
        result = true;
    }
    inSeek_ = false;
    return result;
}

void FlennPlayer::ClearBuffer(bool ClearEngine, bool PauseIfPlaying) {
    if (PauseIfPlaying && FlennStreamPlay1.PlayStatus() == ePlaying) PausePlaybackStream(false);
    Flenney::ClearConversionStream(DeCompress);
    Flenney::ClearConversionStream(ConvertFilePCM);
    if (!ClearEngine) return;
    FlennStreamPlay1.Clearbuffers();
    unqueued_.clear();
    unqueuedMark_ = -1;
}

void FlennPlayer::OnBufferAvailable(int32_t BufferNumber, intptr_t ptrBuffer,
                                    int32_t BufferLength) {
    if (engineLoading_) return;
    Debug(
        [&] {
            return "BufferAvailable Event, BufNum: " + std::to_string(BufferNumber) +
                   " BufPtr: " + std::to_string(ptrBuffer) +
                   " BufLen: " + std::to_string(BufferLength);
        },
        dmFull);
    const double playedSeconds = PlayedSeconds();
    const int32_t counter = openedFileCounter_;
    if (BufferNumber != -1 && totalBlocks_ >= 1) {
        if (BufferNumber == -2) {
            emit LoopCompleted();
        } else {
            baseTime_ = static_cast<float>(double(BufferNumber) / totalBlocks_ * totalAudioLength_ -
                                           playedSeconds);
            PositionTick();
            if (Reopened(counter)) return;
            emit LoopRestart();
        }
        if (Reopened(counter)) return;
    }
    FillPlaybackBuffers();
}

void FlennPlayer::OnStreamStopped() {
    if (engineLoading_) return;
    if (IsOpen()) mmioSeek(hAudioFile_, static_cast<int32_t>(ckData_.dwDataOffset), SEEK_SET);
    baseTime_ = 0;
    previousSecondsPlayed_ = -1;
    fileFinished_ = audioFinished_ = playingFlag_ = false;
    ClearReachedFlags();
    tmrPosition.stop();
    tmrEvent.stop();
    ClearBuffer(true, true);
}

int32_t FlennPlayer::PlayAudio() {
    if (!IsOpen()) return -1;
    Debug("Start Function PlayAudio");
    if (playingFlag_) return 0;
    fileFinished_ = audioFinished_ = false;
    const int32_t counter = openedFileCounter_;
    FillPlaybackBuffers();
    if (Reopened(counter) || !IsOpen()) return 0;
    Debug("FlennPlay Start Playback");
    FlennStreamPlay1.StartPlayback();
    TestForFinish();
    if (!Reopened(counter)) ArmEventTimer();
    Debug("End Function PlayAudio");
    return 0;
}

int32_t FlennPlayer::PauseAudio() {
    return PausePlaybackStream(true);
}

// Queued buffers stay in the engine and play on at the next PlayAudio.
int32_t FlennPlayer::PausePlaybackStream(bool) {
    if (!IsOpen()) return -1;
    FlennStreamPlay1.PausePlayback();
    return 0;
}

int32_t FlennPlayer::CueAudio() {
    if (!IsOpen()) return -1;
    Debug("Start Function CueAudio");
    const int32_t counter = openedFileCounter_;
    if (playingFlag_) PausePlaybackStream(false);
    if (flushBuffers_) {
        Debug("Flushing Playback", dmMedium);
        FlennStreamPlay1.FlushPlayback();
    }
    // SecondsPlayed is relative to AudioStart: the section start is SecondsPlayed 0.
    if (secondsPlayed_ != 0 || flushBuffers_) {
        Debug([&] { return "Seeking to AudioStart (" + std::to_string(audioStart_) + ")"; },
              dmMedium);
        SeekTime(audioStart_, true);
    }
    if (Reopened(counter)) return 0;
    FillWhenCued();
    Debug("Raising Cued Event", dmMedium);
    emit Cued();
    Debug("End Function CueAudio");
    return 0;
}

void FlennPlayer::LoadAudioEngine() {
    engineLoading_ = true;
    FlennStreamPlay1.LoadAudioEngine();
    engineLoading_ = false;
}

ePlyStatus FlennPlayer::Status() const {
    if (!IsOpen()) return epsClosed;
    if (playingFlag_) return epsPlaying;
    return secondsPlayed_ == 0 ? epsCued : epsPaused;
}

eAudioPart FlennPlayer::AudioPart() const {
    if (!IsOpen()) return eapEMPTY;
    if (extroFlag_) return eapEXTRO;
    if (introEndFlag_) return eapMAIN;
    if (introStartFlag_) return eapDURINGINTRO;
    return eapPREINTRO;
}

void FlennPlayer::PositionTick() {
    const int32_t counter = openedFileCounter_;
    // The position stands still while nothing plays: the timer's tick after a stop is its last.
    if (!playingFlag_) tmrPosition.stop();
    UpdateAudioTimes();
    if (Reopened(counter)) return;
    if (IsOpen() && totalSecondsPlayed_ >= audioEnd_) SetFinished();
    if (!Reopened(counter)) ArmEventTimer();
}

void FlennPlayer::UpdateAudioTimes() {
    if (audioFileName_.empty()) return;
    Debug("Start Function UpdateAudioTimes", dmMedium);
    const int32_t counter = openedFileCounter_;
    // At the end the position is the section's end (data that gave no audio counts in the
    // timeline), unless the data gave none at all: then it is what played.
    const float position =
        audioFinished_ && dataGaveAudio_ ? std::min(audioEnd_, totalAudioLength_) : PositionNow();
    if (totalAudioLength_ <= 0) {
        totalSecondsPlayed_ = totalSecondsRemain_ = totalPercentagePlayed_ = 0;
        secondsPlayed_ = secondsRemain_ = percentagePlayed_ = 0;
    } else {
        totalPercentagePlayed_ = std::clamp(position / totalAudioLength_ * 100, 0.f, 100.f);
        totalSecondsPlayed_ = position;
        totalSecondsRemain_ = totalAudioLength_ - position;
        percentagePlayed_ =
            audioLength_ > 0 ? std::clamp((position - audioStart_) / audioLength_ * 100, 0.f, 100.f)
                             : 0;
        secondsPlayed_ = position - audioStart_;
        secondsRemain_ = audioLength_ - secondsPlayed_;
    }
    if (firstVolumeTime_ >= 0 && !StepVolumeEnvelope()) return;
    const float played = totalSecondsPlayed_;
    const auto reach = [played](bool& flag, float at, bool armed) {
        if (flag || !armed || played < at) return false;
        return flag = true;
    };
    const bool introStart = reach(introStartFlag_, introStart_, true);
    const bool introEnd = reach(introEndFlag_, introEnd_, true);
    const bool hookStart = reach(hookStartFlag_, hookStart_, hookEnd_ > 0);
    const bool hookEnd = reach(hookEndFlag_, hookEnd_, hookEnd_ > 0);
    const bool extro = reach(extroFlag_, extro_, true);
    const bool sweeper = reach(sweeperFlag_, sweeperStart_, sweeperStart_ >= 0);
    bool changing = introStart || introEnd || extro || sweeper;
    if (raiseAudioPositionChanged_ &&
        (changing || hookStart || hookEnd || secondsPlayed_ != previousSecondsPlayed_)) {
        Debug(
            [&] {
                return std::string("RaiseEvent AudioPositionChanged(") +
                       (changing ? "True" : "False") + ")";
            },
            dmFull);
        emit AudioPositionChanged(changing);
        if (Reopened(counter)) return;
    }
    const std::pair<bool, void (FlennPlayer::*)()> events[] = {
        {introStart, &FlennPlayer::IntroStartReached},
        {introEnd, &FlennPlayer::IntroEndReached},
        {hookStart, &FlennPlayer::HookStartReached},
        {hookEnd, &FlennPlayer::HookEndReached},
        {extro, &FlennPlayer::ExtroReached},
        {sweeper, &FlennPlayer::SweeperStartReached}};
    for (const auto& [fired, signal] : events) {
        if (!fired) continue;
        emit(this->*signal)();
        if (Reopened(counter)) return;
    }
    previousSecondsPlayed_ = secondsPlayed_;
    Debug([&] { return "End Function UpdateAudioTimes - " + std::to_string(secondsPlayed_); },
          dmMedium);
}

void FlennPlayer::TestForFinish() {
    Debug("Start Function TestForFinish", dmMedium);
    // Only a playing player ends: data used up while it is cued ends at the play.
    if (!fileFinished_ || audioFinished_ || !unqueued_.empty() ||
        FlennStreamPlay1.PlayStatus() != ePlaying ||
        FlennStreamPlay1.NumberFreeBuffers() != FlennStreamPlay1.NumberWaveBuffers())
        return;
    const int32_t counter = openedFileCounter_;
    // Everything has played: the position is the end, so points not yet passed (data that
    // gave no audio counts in the timeline) are reached before the end event.
    audioFinished_ = true;
    UpdateAudioTimes();
    if (Reopened(counter)) return;
    audioFinished_ = false;
    SetFinished();
}

void FlennPlayer::SetFinished() {
    if (audioFinished_) return;
    audioFinished_ = true;
    const int32_t counter = openedFileCounter_;
    emit AudioEndReached();
    if (!Reopened(counter)) PausePlaybackStream(false);
}
