// Format names, descriptions and suggestions of the compression layer.
#include "platform/Acm.h"
#include "platform/Codec.h"

#include <algorithm>
#include <cstring>

namespace Platform::Acm {

namespace {

void CopyText(char* dst, size_t size, const std::string& text) {
    size_t n = std::min(size - 1, text.size());
    std::memcpy(dst, text.data(), n);
    dst[n] = '\0';
}

bool IsLinearPcm(const Codec::Format& f) {
    uint16_t bits = f.head.BitsPerSample;
    return f.BaseTag() == WAVE_FORMAT_PCM && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
}

} // namespace

MMRESULT acmFormatTagDetails(void*, ACMFORMATTAGDETAILS* details, uint32_t flags) {
    if (!details) return MMSYSERR_INVALPARAM;
    if (flags != ACM_FORMATTAGDETAILSF_FORMATTAG) return MMSYSERR_INVALFLAG;
    const Codec::TagInfo* info = Codec::FindTag(static_cast<uint16_t>(details->dwFormatTag));
    if (!info || details->dwFormatTag > 0xFFFF) return ACMERR_NOTPOSSIBLE;
    details->cbFormatSize = info->maxFormatSize;
    CopyText(details->szFormatTag, sizeof details->szFormatTag, info->name);
    return MMSYSERR_NOERROR;
}

MMRESULT acmFormatDetails(void*, ACMFORMATDETAILS* details, uint32_t flags) {
    if (!details || !details->pwfx || !Codec::FormatFits(details->pwfx, details->cbwfx))
        return MMSYSERR_INVALPARAM;
    if (flags != ACM_FORMATDETAILSF_FORMAT) return MMSYSERR_INVALFLAG;
    Codec::Format f = Codec::ParseFormat(details->pwfx, details->cbwfx);
    if (!Codec::FindTag(f.head.FormatTag) || f.head.Channels == 0 || f.head.SamplesPerSec == 0)
        return ACMERR_NOTPOSSIBLE;
    // Only a record the codecs can use is described.
    if (!Codec::MakeDecoder(f)) return ACMERR_NOTPOSSIBLE;
    CopyText(details->szFormat, sizeof details->szFormat, Codec::DescribeFormat(f));
    return MMSYSERR_NOERROR;
}

MMRESULT acmFormatSuggest(void*, std::span<const uint8_t> src, uint8_t* dst, uint32_t dstSize,
                          uint32_t flags) {
    if (!Codec::FormatFits(src.data(), src.size()) || !dst) return MMSYSERR_INVALPARAM;
    if (flags & ~ACM_FORMATSUGGESTF_TYPEMASK) return MMSYSERR_INVALFLAG;
    Codec::Format source = Codec::ParseFormat(src.data(), src.size());
    WaveFormatEx wanted = LoadWaveFormat(dst, std::min<uint32_t>(dstSize, kFormatHeadSize));
    uint16_t tag = flags & ACM_FORMATSUGGESTF_WFORMATTAG ? wanted.FormatTag : source.BaseTag();
    uint16_t channels =
        flags & ACM_FORMATSUGGESTF_NCHANNELS ? wanted.Channels : source.head.Channels;
    uint32_t rate = flags & ACM_FORMATSUGGESTF_NSAMPLESPERSEC ? wanted.SamplesPerSec
                                                              : source.head.SamplesPerSec;
    uint16_t bits = flags & ACM_FORMATSUGGESTF_WBITSPERSAMPLE ? wanted.BitsPerSample
                    : IsLinearPcm(source)                     ? source.head.BitsPerSample
                                                              : 16;
    Codec::Format suggested;
    if (!Codec::BuildFormat(tag, channels, rate, bits, suggested)) return ACMERR_NOTPOSSIBLE;
    if (!Codec::MakeDecoder(source) || !Codec::MakeEncoder(suggested)) return ACMERR_NOTPOSSIBLE;
    std::vector<uint8_t> bytes = suggested.Bytes();
    // A PCM record may be given without its extra size word.
    size_t needed = tag == WAVE_FORMAT_PCM ? 16 : bytes.size();
    if (dstSize < needed) return MMSYSERR_INVALPARAM;
    std::memcpy(dst, bytes.data(), std::min<size_t>(bytes.size(), dstSize));
    return MMSYSERR_NOERROR;
}

std::string ResultText(MMRESULT code) {
    switch (code) {
    case MMSYSERR_NOERROR:
        return "The operation completed successfully.";
    case MMSYSERR_ERROR:
        return "An unspecified error occurred.";
    case MMSYSERR_INVALHANDLE:
        return "The handle given is not valid.";
    case MMSYSERR_NODRIVER:
        return "No codec is available for the format.";
    case MMSYSERR_NOMEM:
        return "There is not enough memory for the operation.";
    case MMSYSERR_NOTSUPPORTED:
        return "The operation is not supported.";
    case MMSYSERR_INVALFLAG:
        return "A flag given is not valid.";
    case MMSYSERR_INVALPARAM:
        return "A parameter given is not valid.";
    case ACMERR_NOTPOSSIBLE:
        return "The conversion between these formats is not possible.";
    case ACMERR_BUSY:
        return "The conversion stream is busy.";
    case ACMERR_UNPREPARED:
        return "The stream header has not been prepared.";
    case ACMERR_CANCELED:
        return "The format choice was cancelled.";
    default:
        return "";
    }
}

} // namespace Platform::Acm
