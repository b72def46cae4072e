#pragma once
// One conversion stream between two wave formats with its source and destination buffers,
// shared by the player (decoding, rate conversion) and the recorder (compression).
#include "platform/AcmTypes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace Flenney {

struct ConversionStreamInfo {
    Platform::Acm::HACMSTREAM hStream = nullptr; // nullptr = not open
    int32_t SrcBufferSize = 0; // set before open to the largest input; doubled by open
    int32_t SrcBytesHeld = 0;  // input carried over, at the start of the source buffer
    std::unique_ptr<uint8_t[]> hSrcBuffer;
    uint8_t* pSrcBuffer = nullptr;
    int32_t DestBufferSize = 0;
    std::unique_ptr<uint8_t[]> hDestBuffer;
    uint8_t* pDestBuffer = nullptr;
    Platform::Acm::ACMSTREAMHEADER Header;
    bool ShowErrors = true; // false: failures only come back as codes, the caller reports them
};

// Opens the stream from SourceFormat to DestFormat (format records) and its two buffers.
// 0 = open; otherwise the result code of the failing step, with everything undone.
int32_t FlennCompressOpen(ConversionStreamInfo& StreamInfo, std::span<const uint8_t> SourceFormat,
                          std::span<const uint8_t> DestFormat, const std::string& DebugFile);
// Converts Length bytes at pData in place: on success pData holds the output and Length its
// count. Capacity is the size of the caller's buffer; output beyond it comes out at the next
// call. Whole source blocks only: the rest is carried to the next call. With End the data has
// ended: every conversion step gives out what it still holds (Length may then be 0).
int32_t FlennCompressConvert(ConversionStreamInfo& StreamInfo, uint8_t* pData, int32_t& Length,
                             int32_t Capacity, bool End = false);
// Drops the carried input and what the codecs hold (used on seek and clear).
void ClearConversionStream(ConversionStreamInfo& StreamInfo);
int32_t FlennCompressClose(ConversionStreamInfo& StreamInfo, const std::string& DebugFile);

} // namespace Flenney
