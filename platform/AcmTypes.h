#pragma once
// Wave-format records, result codes, flags and the stream header of the audio compression
// layer. Format records travel as little-endian bytes: the 18-byte head (tag, channels, rate,
// average bytes per second, block align, bits, extra size) followed by the extra bytes.
#include <cstddef>
#include <cstdint>

namespace Platform::Acm {

using MMRESULT = uint32_t;

// Multimedia and compression result codes.
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT ACMERR_NOTPOSSIBLE = 512;
constexpr MMRESULT ACMERR_BUSY = 513;
constexpr MMRESULT ACMERR_UNPREPARED = 514;
constexpr MMRESULT ACMERR_CANCELED = 515;

// Format tags with a codec here.
enum : uint16_t {
    WAVE_FORMAT_PCM = 0x0001,
    WAVE_FORMAT_ADPCM = 0x0002,
    WAVE_FORMAT_IEEE_FLOAT = 0x0003,
    WAVE_FORMAT_ALAW = 0x0006,
    WAVE_FORMAT_MULAW = 0x0007,
    WAVE_FORMAT_IMA_ADPCM = 0x0011,
    WAVE_FORMAT_MPEG = 0x0050,
    WAVE_FORMAT_MPEGLAYER3 = 0x0055,
    WAVE_FORMAT_EXTENSIBLE = 0xFFFE,
};

// Suggestion flags: which fields of the destination are fixed.
enum : uint32_t {
    ACM_FORMATSUGGESTF_WFORMATTAG = 0x00010000,
    ACM_FORMATSUGGESTF_NCHANNELS = 0x00020000,
    ACM_FORMATSUGGESTF_NSAMPLESPERSEC = 0x00040000,
    ACM_FORMATSUGGESTF_WBITSPERSAMPLE = 0x00080000,
    ACM_FORMATSUGGESTF_TYPEMASK = 0x00FF0000,
};

enum : uint32_t {
    ACM_FORMATTAGDETAILSF_FORMATTAG = 0x00000001,
    ACM_FORMATDETAILSF_FORMAT = 0x00000001,
    ACM_STREAMSIZEF_SOURCE = 0x00000000,
    ACM_STREAMSIZEF_DESTINATION = 0x00000001,
    ACM_STREAMCONVERTF_BLOCKALIGN = 0x00000004,
    ACM_STREAMCONVERTF_START = 0x00000010,
    ACM_STREAMCONVERTF_END = 0x00000020,
    ACMSTREAMHEADER_STATUSF_DONE = 0x00010000,
    ACMSTREAMHEADER_STATUSF_PREPARED = 0x00020000,
    ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT = 0x00000040,
};

constexpr size_t kFormatHeadSize = 18;
constexpr uint32_t kStreamHeaderSize = 84;

// The 18-byte head of a format record; 20 bytes in memory.
struct WaveFormatEx {
    uint16_t FormatTag = 0;
    uint16_t Channels = 0;
    uint32_t SamplesPerSec = 0;
    uint32_t AvgBytesPerSec = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
    uint16_t ExtraSize = 0;
};
static_assert(sizeof(WaveFormatEx) == 20);

// Reads the head from up to `size` bytes; fields beyond `size` become 0.
WaveFormatEx LoadWaveFormat(const uint8_t* bytes, size_t size = kFormatHeadSize);
// Writes the 18-byte head.
void StoreWaveFormat(const WaveFormatEx& format, uint8_t* bytes);
// A 16-bit PCM record at a rate and channel count.
WaveFormatEx Pcm16Format(uint16_t channels, uint32_t rate);

struct AcmStream;
using HACMSTREAM = AcmStream*;

struct ACMSTREAMHEADER {
    uint32_t cbStruct = kStreamHeaderSize;
    uint32_t fdwStatus = 0;
    uintptr_t dwUser = 0;
    uint8_t* pbSrc = nullptr;
    uint32_t cbSrcLength = 0;
    uint32_t cbSrcLengthUsed = 0;
    uintptr_t dwSrcUser = 0;
    uint8_t* pbDst = nullptr;
    uint32_t cbDstLength = 0;
    uint32_t cbDstLengthUsed = 0;
    uintptr_t dwDstUser = 0;
    // Set at prepare: the buffers the header was prepared on.
    uint8_t* pbPreparedSrc = nullptr;
    uint32_t cbPreparedSrcLength = 0;
    uint8_t* pbPreparedDst = nullptr;
    uint32_t cbPreparedDstLength = 0;
};

constexpr size_t kFormatTagChars = 48;
constexpr size_t kFormatChars = 128;

struct ACMFORMATTAGDETAILS {
    uint32_t dwFormatTag = 0;
    uint32_t cbFormatSize = 0; // largest format record of the tag
    char szFormatTag[kFormatTagChars] = {};
};

struct ACMFORMATDETAILS {
    const uint8_t* pwfx = nullptr; // the format to describe
    uint32_t cbwfx = 0;
    char szFormat[kFormatChars] = {};
};

// The format chooser: starts from the format in pwfx (with the init flag) and writes the
// chosen format back into it.
struct ACMFORMATCHOOSE {
    uint32_t fdwStyle = 0;
    int32_t hwndOwner = 0;
    uint8_t* pwfx = nullptr;
    uint32_t cbwfx = 0;
    const char* pszTitle = nullptr;
};

} // namespace Platform::Acm
