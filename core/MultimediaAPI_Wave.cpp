// WAV format and length, format texts and the format chooser.
#include "core/GeneralFunctions.h"
#include "core/MultimediaAPI.h"
#include "platform/Acm.h"
#include "platform/Mmio.h"

#include <cstring>
#include <vector>

namespace MultimediaAPI {

using namespace Platform::Acm;
using namespace Platform::Mmio;

namespace {

int32_t CloseWith(HMMIO file, int32_t result) {
    mmioClose(file, 0);
    return result;
}

// Fills `buffer` with the format of Format's tag, channels and rate, completed from 16-bit
// PCM. False when the codecs cannot make one.
bool SuggestFromPcm(const WaveFormatInfo& Format, std::vector<uint8_t>& buffer) {
    WaveFormatEx wanted;
    wanted.FormatTag = Format.FormatTag;
    wanted.Channels = Format.Channels;
    wanted.SamplesPerSec = Format.SamplesPerSec;
    StoreWaveFormat(wanted, buffer.data());
    uint8_t source[kFormatHeadSize];
    StoreWaveFormat(Pcm16Format(Format.Channels, Format.SamplesPerSec), source);
    uint32_t flags = ACM_FORMATSUGGESTF_WFORMATTAG | ACM_FORMATSUGGESTF_NCHANNELS |
                     ACM_FORMATSUGGESTF_NSAMPLESPERSEC;
    uint32_t size = static_cast<uint32_t>(std::min<size_t>(buffer.size(), 100));
    return acmFormatSuggest(nullptr, source, buffer.data(), size, flags) == MMSYSERR_NOERROR;
}

std::string TextUpToNul(const char* text, size_t size) {
    return std::string(text, strnlen(text, size));
}

} // namespace

int32_t ReadWaveFormat(const std::string& FileName, WaveFormatInfo& Format, int32_t& DataLength) {
    if (GeneralFunctions::SafeFileLen(FileName) <= 0) return -1;
    DataLength = 0;
    HMMIO file = mmioOpen(FileName, nullptr, MMIO_READ);
    if (!file) return -1;
    MMCKINFO riff;
    riff.fccType = MakeFourCC("WAVE");
    if (MMRESULT code = mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF))
        return CloseWith(file, static_cast<int32_t>(code));
    MMCKINFO fmt;
    fmt.ckid = MakeFourCC("fmt ");
    if (MMRESULT code = mmioDescend(file, &fmt, &riff, MMIO_FINDCHUNK)) {
        mmioAscend(file, &riff, 0);
        return CloseWith(file, static_cast<int32_t>(code));
    }
    if (fmt.cksize == 0) {
        mmioAscend(file, &fmt, 0);
        mmioAscend(file, &riff, 0);
        return CloseWith(file, 0);
    }
    uint8_t head[kFormatHeadSize] = {};
    int32_t wanted = static_cast<int32_t>(std::min<uint32_t>(fmt.cksize, kFormatHeadSize));
    int32_t got = mmioRead(file, head, wanted);
    if (got == -1) {
        mmioAscend(file, &fmt, 0);
        mmioAscend(file, &riff, 0);
        return CloseWith(file, -1);
    }
    // Bytes the chunk does not hold stay 0 (a 16-byte PCM chunk has no extra size).
    Format = LoadWaveFormat(head, static_cast<size_t>(got));
    mmioAscend(file, &fmt, 0);
    mmioSeek(file, static_cast<int32_t>(riff.dwDataOffset + 4), SEEK_SET);
    MMCKINFO data;
    data.ckid = MakeFourCC("data");
    if (mmioDescend(file, &data, &riff, MMIO_FINDCHUNK) == 0) {
        DataLength = static_cast<int32_t>(data.cksize);
        mmioAscend(file, &data, 0);
    }
    mmioAscend(file, &riff, 0);
    return CloseWith(file, 0);
}

float GetWaveLengthSeconds(const std::string& FileName) {
    WaveFormatInfo format;
    int32_t length = 0;
    if (ReadWaveFormat(FileName, format, length) != 0 || format.AvgBytesPerSec == 0) return 0.0f;
    return static_cast<float>(static_cast<double>(length) / format.AvgBytesPerSec);
}

std::string DescribeWaveFormat(WaveFormatInfo& Format, bool UpdateFormat) {
    ACMFORMATTAGDETAILS tag;
    tag.dwFormatTag = Format.FormatTag;
    std::string name;
    size_t size = kFormatHeadSize;
    if (acmFormatTagDetails(nullptr, &tag, ACM_FORMATTAGDETAILSF_FORMATTAG) == MMSYSERR_NOERROR) {
        name = TextUpToNul(tag.szFormatTag, sizeof tag.szFormatTag);
        size = std::max<size_t>(tag.cbFormatSize, kFormatHeadSize);
    }
    std::vector<uint8_t> buffer(size, 0);
    bool suggested = SuggestFromPcm(Format, buffer);
    // A failed suggestion leaves the caller's record as it was.
    if (UpdateFormat && suggested) Format = LoadWaveFormat(buffer.data(), kFormatHeadSize);
    ACMFORMATDETAILS details;
    details.pwfx = buffer.data();
    details.cbwfx = static_cast<uint32_t>(buffer.size());
    if (acmFormatDetails(nullptr, &details, ACM_FORMATDETAILSF_FORMAT) != MMSYSERR_NOERROR)
        return name;
    return name + " " + TextUpToNul(details.szFormat, sizeof details.szFormat);
}

bool ChooseWaveFormat(WaveFormatInfo& Format, int32_t OwnerHwnd, uint8_t* FormatBuffer,
                      int32_t& FormatSize) {
    constexpr size_t kChooserBytes = 4096;
    std::vector<uint8_t> temporary;
    uint8_t* buffer = FormatBuffer;
    if (!buffer) {
        temporary.assign(kChooserBytes, 0);
        buffer = temporary.data();
    }
    std::vector<uint8_t> start(kChooserBytes, 0);
    FormatSize = static_cast<int32_t>(kFormatHeadSize);
    SuggestFromPcm(Format, start);
    std::memcpy(buffer, start.data(), kChooserBytes);
    ACMFORMATCHOOSE choose;
    choose.fdwStyle = ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT;
    choose.hwndOwner = OwnerHwnd;
    choose.pwfx = buffer;
    choose.cbwfx = kChooserBytes;
    if (acmFormatChoose(&choose) != MMSYSERR_NOERROR) return false;
    Format = LoadWaveFormat(buffer, kFormatHeadSize);
    FormatSize = static_cast<int32_t>(kFormatHeadSize + Format.ExtraSize);
    return true;
}

} // namespace MultimediaAPI
