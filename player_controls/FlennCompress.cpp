// The conversion wrapper of the player and recorder controls.
#include "player_controls/FlennCompress.h"
#include "core/GeneralFunctions.h"
#include "platform/Acm.h"
#include "platform/MessageBox.h"
#include "player_controls/FlennHelpers.h"

#include <cstring>
#include <new>

namespace Flenney {

using namespace Platform::Acm;

namespace {

// Shows the text of a nonzero result under the library's title; returns the code.
int32_t ReportCompressError(MMRESULT code, const std::string& context, bool show = true) {
    if (code == MMSYSERR_NOERROR) return 0;
    if (!show) return static_cast<int32_t>(code);
    std::string text = ResultText(code);
    if (text.empty())
        text = "The Windows(TM) Multimedia Sub-System has returned with an unknown error, the "
               "code was: " +
               std::to_string(code);
    Platform::MsgBox(text, Platform::vbInformation, "FlennStream - " + context);
    return static_cast<int32_t>(code);
}

void DebugLine(const std::string& file, const std::string& text) {
    GeneralFunctions::AppendTimedLine(file, true, text);
}

std::string Address(const uint8_t* p) {
    return ConvertBase(static_cast<int64_t>(reinterpret_cast<uintptr_t>(p)), 16);
}

// Allocates a buffer of `size` bytes; false when the size is unusable or memory is short.
bool Allocate(int64_t size, std::unique_ptr<uint8_t[]>& owner, uint8_t*& address) {
    if (size <= 0 || size > INT32_MAX) return false;
    owner.reset(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
    address = owner.get();
    return address != nullptr;
}

void FreeBuffers(ConversionStreamInfo& s, const std::string& DebugFile) {
    if (s.hSrcBuffer) DebugLine(DebugFile, "Free Mem: Address: " + Address(s.pSrcBuffer));
    if (s.hDestBuffer) DebugLine(DebugFile, "Free Mem: Address: " + Address(s.pDestBuffer));
    s.hSrcBuffer.reset();
    s.pSrcBuffer = nullptr;
    s.hDestBuffer.reset();
    s.pDestBuffer = nullptr;
}

// Undoes a part-done open: the stream closed, the buffers freed.
int32_t UndoOpen(ConversionStreamInfo& s, const std::string& DebugFile, int32_t code) {
    if (s.hStream) acmStreamClose(s.hStream, 0);
    s.hStream = nullptr;
    FreeBuffers(s, DebugFile);
    s.Header = ACMSTREAMHEADER{};
    return code;
}

} // namespace

int32_t FlennCompressOpen(ConversionStreamInfo& s, std::span<const uint8_t> SourceFormat,
                          std::span<const uint8_t> DestFormat, const std::string& DebugFile) {
    HACMSTREAM stream = nullptr;
    MMRESULT code = acmStreamOpen(&stream, nullptr, SourceFormat, DestFormat, nullptr, 0, 0, 0);
    if (code != MMSYSERR_NOERROR)
        return ReportCompressError(code, "FlennCompress Open", s.ShowErrors);
    s.hStream = stream;
    uint32_t destSize = 0;
    code = acmStreamSize(s.hStream, static_cast<uint32_t>(std::max(s.SrcBufferSize, 0)), &destSize,
                         ACM_STREAMSIZEF_SOURCE);
    if (s.SrcBufferSize <= 0 && code == MMSYSERR_NOERROR) code = ACMERR_NOTPOSSIBLE;
    if (code != MMSYSERR_NOERROR)
        return UndoOpen(s, DebugFile,
                        ReportCompressError(code, "FlennCompress Size", s.ShowErrors));
    int64_t srcSize = 2 * int64_t(s.SrcBufferSize);
    int64_t dstSize = 2 * int64_t(destSize);
    DebugLine(DebugFile, "Alloc Source Buffer        Size: " + std::to_string(srcSize));
    if (!Allocate(srcSize, s.hSrcBuffer, s.pSrcBuffer))
        return UndoOpen(s, DebugFile,
                        ReportCompressError(MMSYSERR_NOMEM, "FlennCompress Open", s.ShowErrors));
    DebugLine(DebugFile, "Lock Mem: Address: " + Address(s.pSrcBuffer));
    DebugLine(DebugFile, "Alloc Dest Buffer        Size: " + std::to_string(dstSize));
    if (!Allocate(dstSize, s.hDestBuffer, s.pDestBuffer))
        return UndoOpen(s, DebugFile,
                        ReportCompressError(MMSYSERR_NOMEM, "FlennCompress Open", s.ShowErrors));
    DebugLine(DebugFile, "StreamInfo.hDestBuffer = " +
                             std::to_string(reinterpret_cast<uintptr_t>(s.hDestBuffer.get())));
    DebugLine(DebugFile, "Lock Mem: Address: " + Address(s.pDestBuffer));
    s.SrcBufferSize = static_cast<int32_t>(srcSize);
    s.DestBufferSize = static_cast<int32_t>(dstSize);
    s.Header = ACMSTREAMHEADER{};
    s.Header.pbSrc = s.pSrcBuffer;
    s.Header.cbSrcLength = static_cast<uint32_t>(s.SrcBufferSize);
    s.Header.pbDst = s.pDestBuffer;
    s.Header.cbDstLength = static_cast<uint32_t>(s.DestBufferSize);
    code = acmStreamPrepareHeader(s.hStream, &s.Header, 0);
    if (code != MMSYSERR_NOERROR)
        return UndoOpen(s, DebugFile,
                        ReportCompressError(code, "FlennCompress Prepare", s.ShowErrors));
    return 0;
}

int32_t FlennCompressConvert(ConversionStreamInfo& s, uint8_t* pData, int32_t& Length,
                             int32_t Capacity, bool End) {
    if (!s.hStream || !pData || Length < 0 || (Length == 0 && !End)) return 0;
    // Input beyond the room after the carried bytes would overrun the source buffer.
    if (int64_t(s.SrcBytesHeld) + Length > s.SrcBufferSize || Capacity <= 0)
        return ReportCompressError(MMSYSERR_INVALPARAM, "FlennCompress Convert", s.ShowErrors);
    std::memcpy(s.pSrcBuffer + s.SrcBytesHeld, pData, static_cast<size_t>(Length));
    uint32_t given = static_cast<uint32_t>(s.SrcBytesHeld + Length);
    s.Header.cbSrcLength = given;
    // Never more output than the caller's buffer holds.
    s.Header.cbDstLength = static_cast<uint32_t>(std::min(s.DestBufferSize, Capacity));
    MMRESULT code = acmStreamConvert(
        s.hStream, &s.Header, ACM_STREAMCONVERTF_BLOCKALIGN | (End ? ACM_STREAMCONVERTF_END : 0u));
    if (code != MMSYSERR_NOERROR)
        return ReportCompressError(code, "FlennCompress Convert", s.ShowErrors);
    std::memcpy(pData, s.pDestBuffer, s.Header.cbDstLengthUsed);
    // A part block left at the end of the data has nothing to complete it.
    uint32_t used = End ? given : s.Header.cbSrcLengthUsed;
    if (used < given) {
        s.SrcBytesHeld = static_cast<int32_t>(given - used);
        std::memmove(s.pSrcBuffer, s.pSrcBuffer + used, static_cast<size_t>(s.SrcBytesHeld));
    } else {
        s.SrcBytesHeld = 0;
    }
    Length = static_cast<int32_t>(s.Header.cbDstLengthUsed);
    return 0;
}

void ClearConversionStream(ConversionStreamInfo& s) {
    s.SrcBytesHeld = 0;
    if (s.hStream) acmStreamReset(s.hStream, 0);
}

int32_t FlennCompressClose(ConversionStreamInfo& s, const std::string& DebugFile) {
    if (!s.hStream) return 0;
    s.Header.pbSrc = s.pSrcBuffer;
    s.Header.cbSrcLength = static_cast<uint32_t>(s.SrcBufferSize);
    s.Header.pbDst = s.pDestBuffer;
    s.Header.cbDstLength = static_cast<uint32_t>(s.DestBufferSize);
    s.Header.dwSrcUser = 0;
    MMRESULT code = acmStreamUnprepareHeader(s.hStream, &s.Header, 0);
    if (code != MMSYSERR_NOERROR)
        return ReportCompressError(code, "FlennCompress UnPrepare", s.ShowErrors);
    code = acmStreamClose(s.hStream, 0);
    if (code != MMSYSERR_NOERROR)
        return ReportCompressError(code, "FlennCompress Close", s.ShowErrors);
    FreeBuffers(s, DebugFile);
    s.hStream = nullptr;
    s.SrcBytesHeld = 0;
    return 0;
}

} // namespace Flenney
