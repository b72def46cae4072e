// Conversion streams: decode, map channels, change the rate, encode. Output that does not fit
// the caller's destination waits in the stream for the next conversion.
#include "platform/Acm.h"
#include "platform/Codec.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace Platform::Acm {

struct AcmStream {
    Codec::Format source, destination;
    bool passThrough = false;
    std::unique_ptr<Codec::Decoder> decoder;
    std::unique_ptr<Codec::Encoder> encoder;
    std::unique_ptr<Codec::Resampler> resampler;
    std::vector<uint8_t> pending; // output not yet given out, from pendingAt on
    size_t pendingAt = 0;
    std::vector<int16_t> frames, mapped, resampled;

    size_t SourceBlock() const {
        size_t block = passThrough ? source.head.BlockAlign : decoder->BlockBytes();
        return std::max<size_t>(block, 1);
    }
};

namespace {

std::set<AcmStream*>& LiveStreams() {
    static std::set<AcmStream*> streams;
    return streams;
}

bool Live(HACMSTREAM stream) {
    return stream && LiveStreams().count(stream) != 0;
}

bool SameFormat(const Codec::Format& a, const Codec::Format& b) {
    return a.Bytes() == b.Bytes();
}

bool Within(const uint8_t* p, uint32_t length, const uint8_t* base, uint32_t baseLength) {
    return p >= base && p + length <= base + baseLength;
}

// Runs whole source blocks through the codecs into the pending output; at the end of the data
// every step also gives out what it holds.
bool Transcode(AcmStream& s, const uint8_t* data, size_t size, bool end) {
    // What was given out makes room before more is added.
    s.pending.erase(s.pending.begin(), s.pending.begin() + static_cast<ptrdiff_t>(s.pendingAt));
    s.pendingAt = 0;
    if (s.passThrough) {
        s.pending.insert(s.pending.end(), data, data + size);
        return true;
    }
    s.frames.clear();
    if (size > 0 && !s.decoder->Decode(data, size, s.frames)) return false;
    const std::vector<int16_t>* pcm = &s.frames;
    uint16_t from = s.source.head.Channels, to = s.destination.head.Channels;
    // Channels are dropped before the rate changes and added after it.
    if (to < from) {
        Codec::MapChannels(*pcm, from, to, s.mapped);
        pcm = &s.mapped;
    }
    if (s.resampler) {
        s.resampled.clear();
        uint16_t channels = std::min(from, to);
        if (!s.resampler->Process(pcm->data(), pcm->size() / channels, s.resampled)) return false;
        if (end && !s.resampler->Flush(s.resampled)) return false;
        pcm = &s.resampled;
    }
    if (to > from) {
        Codec::MapChannels(*pcm, from, to, s.mapped);
        pcm = &s.mapped;
    }
    if (!s.encoder->Encode(pcm->data(), pcm->size() / to, s.pending)) return false;
    return !end || s.encoder->Flush(s.pending);
}

} // namespace

MMRESULT acmStreamOpen(HACMSTREAM* stream, void*, std::span<const uint8_t> src,
                       std::span<const uint8_t> dst, void*, uintptr_t callback, uintptr_t,
                       uint32_t flags) {
    if (!stream) return MMSYSERR_INVALPARAM;
    *stream = nullptr;
    if (!Codec::FormatFits(src.data(), src.size()) || !Codec::FormatFits(dst.data(), dst.size()))
        return MMSYSERR_INVALPARAM;
    if (callback != 0 || flags != 0) return MMSYSERR_INVALFLAG;
    auto s = std::make_unique<AcmStream>();
    s->source = Codec::ParseFormat(src.data(), src.size());
    s->destination = Codec::ParseFormat(dst.data(), dst.size());
    const WaveFormatEx& in = s->source.head;
    const WaveFormatEx& out = s->destination.head;
    if (in.Channels == 0 || out.Channels == 0 || in.SamplesPerSec == 0 || out.SamplesPerSec == 0)
        return ACMERR_NOTPOSSIBLE;
    s->passThrough = SameFormat(s->source, s->destination) && in.BlockAlign != 0;
    if (!s->passThrough) {
        s->decoder = Codec::MakeDecoder(s->source);
        s->encoder = Codec::MakeEncoder(s->destination);
        if (!s->decoder || !s->encoder) return ACMERR_NOTPOSSIBLE;
        if (in.SamplesPerSec != out.SamplesPerSec) {
            s->resampler = std::make_unique<Codec::Resampler>(in.SamplesPerSec, out.SamplesPerSec,
                                                              std::min(in.Channels, out.Channels));
            if (!s->resampler->Ok()) return ACMERR_NOTPOSSIBLE;
        }
    }
    *stream = s.release();
    LiveStreams().insert(*stream);
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamSize(HACMSTREAM stream, uint32_t size, uint32_t* otherSize, uint32_t flags) {
    if (!Live(stream)) return MMSYSERR_INVALHANDLE;
    if (!otherSize) return MMSYSERR_INVALPARAM;
    if (flags != ACM_STREAMSIZEF_SOURCE && flags != ACM_STREAMSIZEF_DESTINATION)
        return MMSYSERR_INVALFLAG;
    *otherSize = 0;
    if (size == 0) return ACMERR_NOTPOSSIBLE;
    uint64_t result;
    if (flags == ACM_STREAMSIZEF_SOURCE) {
        if (stream->passThrough) {
            result = size;
        } else {
            size_t frames = stream->decoder->MaxFrames(size);
            if (stream->resampler) frames = stream->resampler->MaxFrames(frames);
            result = stream->encoder->MaxBytes(frames);
        }
    } else {
        // Source bytes whose output fits `size` destination bytes: whole source blocks.
        const WaveFormatEx& in = stream->source.head;
        const WaveFormatEx& out = stream->destination.head;
        double seconds = out.AvgBytesPerSec ? static_cast<double>(size) / out.AvgBytesPerSec : 0;
        size_t block = stream->SourceBlock();
        result = static_cast<uint64_t>(seconds * in.AvgBytesPerSec) / block * block;
    }
    if (result == 0 || result > 0x7FFFFFFF) return ACMERR_NOTPOSSIBLE;
    *otherSize = static_cast<uint32_t>(result);
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamPrepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, uint32_t flags) {
    if (!Live(stream)) return MMSYSERR_INVALHANDLE;
    if (!header || header->cbStruct < kStreamHeaderSize) return MMSYSERR_INVALPARAM;
    if (flags != 0) return MMSYSERR_INVALFLAG;
    if (header->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) return MMSYSERR_NOERROR;
    if (!header->pbSrc || !header->pbDst || header->cbSrcLength == 0 || header->cbDstLength == 0)
        return MMSYSERR_INVALPARAM;
    header->pbPreparedSrc = header->pbSrc;
    header->cbPreparedSrcLength = header->cbSrcLength;
    header->pbPreparedDst = header->pbDst;
    header->cbPreparedDstLength = header->cbDstLength;
    header->fdwStatus = ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamConvert(HACMSTREAM stream, ACMSTREAMHEADER* header, uint32_t flags) {
    if (!Live(stream)) return MMSYSERR_INVALHANDLE;
    if (!header) return MMSYSERR_INVALPARAM;
    if (flags &
        ~(ACM_STREAMCONVERTF_BLOCKALIGN | ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END))
        return MMSYSERR_INVALFLAG;
    if (!(header->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)) return ACMERR_UNPREPARED;
    if (!Within(header->pbSrc, header->cbSrcLength, header->pbPreparedSrc,
                header->cbPreparedSrcLength) ||
        !Within(header->pbDst, header->cbDstLength, header->pbPreparedDst,
                header->cbPreparedDstLength))
        return MMSYSERR_INVALPARAM;
    header->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_DONE;
    AcmStream& s = *stream;
    size_t block = s.SourceBlock();
    size_t take = header->cbSrcLength - header->cbSrcLength % block;
    const bool end = (flags & ACM_STREAMCONVERTF_END) != 0;
    if ((take > 0 || end) && !Transcode(s, header->pbSrc, take, end)) return ACMERR_NOTPOSSIBLE;
    size_t out = std::min<size_t>(s.pending.size() - s.pendingAt, header->cbDstLength);
    if (out > 0) std::memcpy(header->pbDst, s.pending.data() + s.pendingAt, out);
    s.pendingAt += out;
    header->cbSrcLengthUsed = static_cast<uint32_t>(take);
    header->cbDstLengthUsed = static_cast<uint32_t>(out);
    header->fdwStatus |= ACMSTREAMHEADER_STATUSF_DONE;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamUnprepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, uint32_t flags) {
    if (!Live(stream)) return MMSYSERR_INVALHANDLE;
    if (!header) return MMSYSERR_INVALPARAM;
    if (flags != 0) return MMSYSERR_INVALFLAG;
    if (!(header->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)) return ACMERR_UNPREPARED;
    // The header must describe the whole buffers it was prepared on.
    if (header->pbSrc != header->pbPreparedSrc ||
        header->cbSrcLength != header->cbPreparedSrcLength ||
        header->pbDst != header->pbPreparedDst ||
        header->cbDstLength != header->cbPreparedDstLength)
        return MMSYSERR_INVALPARAM;
    header->fdwStatus &= ~(ACMSTREAMHEADER_STATUSF_PREPARED | ACMSTREAMHEADER_STATUSF_DONE);
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamReset(HACMSTREAM stream, uint32_t flags) {
    if (!Live(stream)) return MMSYSERR_INVALHANDLE;
    if (flags != 0) return MMSYSERR_INVALFLAG;
    stream->pending.clear();
    stream->pendingAt = 0;
    if (stream->decoder) stream->decoder->Reset();
    if (stream->encoder) stream->encoder->Reset();
    if (stream->resampler) stream->resampler->Reset();
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamClose(HACMSTREAM stream, uint32_t flags) {
    if (!Live(stream)) return MMSYSERR_INVALHANDLE;
    if (flags != 0) return MMSYSERR_INVALFLAG;
    LiveStreams().erase(stream);
    delete stream;
    return MMSYSERR_NOERROR;
}

} // namespace Platform::Acm
