#pragma once
// Audio compression layer: format names and descriptions, format suggestion, the format
// chooser and conversion streams between any two formats the codecs here support.
// Decoding: PCM 8/16/24/32-bit, 32-bit float, A-law, mu-law, IMA ADPCM, Microsoft ADPCM and
// MPEG layers I-III. Encoding: PCM, A-law, mu-law, IMA ADPCM, MPEG layer II and layer III.
// Rate and channel count change on the way.
#include "platform/AcmTypes.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace Platform::Acm {

// Name and largest record size of a format tag (by-tag query only).
MMRESULT acmFormatTagDetails(void* had, ACMFORMATTAGDETAILS* details, uint32_t flags);
// Text of a full format record, e.g. "44.100 kHz, 16 Bit, Stereo" (by-format query only);
// MMSYSERR_INVALPARAM when the record's cbwfx bytes do not hold its extra bytes.
MMRESULT acmFormatDetails(void* had, ACMFORMATDETAILS* details, uint32_t flags);
// Completes a destination format that a stream from `src` can produce. The fields named in
// `flags` are taken from `dst`, the others from `src`. At most `dstSize` bytes are written.
// MMSYSERR_INVALPARAM when `src` does not hold its own extra bytes.
MMRESULT acmFormatSuggest(void* had, std::span<const uint8_t> src, uint8_t* dst, uint32_t dstSize,
                          uint32_t flags);
// Shows the format chooser; MMSYSERR_NOERROR when a format was chosen, ACMERR_CANCELED else.
MMRESULT acmFormatChoose(ACMFORMATCHOOSE* choose);

// Answers the chooser instead of showing it (tests, headless runs). The hook gets the
// starting format and returns true with the chosen format, or false for cancel.
using FormatChooserHook = std::function<bool(std::vector<uint8_t>& format)>;
void SetFormatChooserHook(FormatChooserHook hook);

// A stream between two format records; MMSYSERR_INVALPARAM when a record does not hold its
// own extra bytes.
MMRESULT acmStreamOpen(HACMSTREAM* stream, void* had, std::span<const uint8_t> src,
                       std::span<const uint8_t> dst, void* filter, uintptr_t callback,
                       uintptr_t instance, uint32_t flags);
// Bytes the other side needs for `size` bytes on the side named by `flags`.
MMRESULT acmStreamSize(HACMSTREAM stream, uint32_t size, uint32_t* otherSize, uint32_t flags);
MMRESULT acmStreamPrepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, uint32_t flags);
// Converts whole source blocks of pbSrc/cbSrcLength; the bytes not used are told in
// cbSrcLengthUsed. Output that does not fit cbDstLength stays in the stream for the next call.
MMRESULT acmStreamConvert(HACMSTREAM stream, ACMSTREAMHEADER* header, uint32_t flags);
MMRESULT acmStreamUnprepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, uint32_t flags);
// Drops what the stream holds: codec state, resampler history and pending output.
MMRESULT acmStreamReset(HACMSTREAM stream, uint32_t flags);
MMRESULT acmStreamClose(HACMSTREAM stream, uint32_t flags);

// Text for a result code of this layer, empty for a code it does not know.
std::string ResultText(MMRESULT code);

} // namespace Platform::Acm
