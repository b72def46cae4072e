#include "carts/CartRecord.h"

#include "core/GeneralFunctions.h"
#include "platform/VB.h"

#include <bit>
#include <cstring>

namespace Vantor_Cart_Routines {
namespace {

class EntryWriter {
public:
    explicit EntryWriter(ListEntryBytes& out) : out_(out) {}
    void Text(const std::string& text, size_t width) {
        std::string fixed = VB::FixedLength(text, width);
        std::memcpy(out_.data() + at_, fixed.data(), width);
        at_ += width;
    }
    void Bytes(const uint8_t* bytes, size_t count) {
        std::memcpy(out_.data() + at_, bytes, count);
        at_ += count;
    }
    void U(uint64_t value, size_t size) {
        for (size_t i = 0; i < size; ++i)
            out_[at_++] = static_cast<uint8_t>(value >> (8 * i));
    }
    void I16(int16_t v) { U(static_cast<uint16_t>(v), 2); }
    void I32(int32_t v) { U(static_cast<uint32_t>(v), 4); }
    void F32(float v) { U(std::bit_cast<uint32_t>(v), 4); }
    void F64(double v) { U(std::bit_cast<uint64_t>(v), 8); }
    size_t At() const { return at_; }

private:
    ListEntryBytes& out_;
    size_t at_ = 0;
};

class EntryReader {
public:
    explicit EntryReader(const ListEntryBytes& in) : in_(in) {}
    std::string Text(size_t width) {
        std::string text(reinterpret_cast<const char*>(in_.data() + at_), width);
        at_ += width;
        return text;
    }
    void Bytes(uint8_t* bytes, size_t count) {
        std::memcpy(bytes, in_.data() + at_, count);
        at_ += count;
    }
    uint64_t U(size_t size) {
        uint64_t value = 0;
        for (size_t i = 0; i < size; ++i)
            value |= static_cast<uint64_t>(in_[at_++]) << (8 * i);
        return value;
    }
    int16_t I16() { return static_cast<int16_t>(static_cast<uint16_t>(U(2))); }
    int32_t I32() { return static_cast<int32_t>(static_cast<uint32_t>(U(4))); }
    float F32() { return std::bit_cast<float>(static_cast<uint32_t>(U(4))); }
    double F64() { return std::bit_cast<double>(U(8)); }

private:
    const ListEntryBytes& in_;
    size_t at_ = 0;
};

// A 50-byte line: the stored 20-byte head as it is, then the 30-byte tail cut at its first NUL,
// blank-filled to 50.
std::string JoinDescription(const std::string& head, const std::string& tail) {
    std::string cut = tail.substr(0, tail.find('\0'));
    return VB::FixedLength(head + cut, kDescriptionLength);
}

std::string DescriptionPart(const std::string& line, size_t from, size_t width) {
    return VB::FixedLength(line, kDescriptionLength).substr(from, width);
}

} // namespace

ListEntryBytes EncodeListEntry(const CartListEntry& e) {
    ListEntryBytes bytes{};
    EntryWriter w(bytes);
    w.Text(e.Desc1a, kDescriptionHeadLength);
    w.Text(e.Desc2a, kDescriptionHeadLength);
    w.Text(e.Desc3a, kDescriptionHeadLength);
    w.I32(e.BackColor);
    w.I32(e.ForeColor);
    w.I16(e.EndingType);
    w.Text(e.Desc1b, kDescriptionTailLength);
    w.Text(e.Desc2b, kDescriptionTailLength);
    w.Text(e.Desc3b, kDescriptionTailLength);
    w.Bytes(e.ReservedText.data(), e.ReservedText.size());
    w.I32(e.Reserved1);
    w.I16(e.MarkCode);
    w.F32(e.HookStart);
    w.F32(e.HookEnd);
    w.I16(e.Reserved2);
    w.I16(e.Reserved3);
    w.I16(e.IntroStartOutput);
    w.I16(e.IntroEndOutput);
    w.I16(e.ExtroOutput);
    w.I16(e.HookStartOutput);
    w.I16(e.HookEndOutput);
    for (double played : e.LastPlayed)
        w.F64(played);
    for (int16_t code : e.LastPlayedCode)
        w.I16(code);
    for (float v : {e.IntroStart, e.IntroEnd, e.Extro, e.TotalLength, e.AudioStart, e.AudioEnd,
                    e.PlayLength, e.LoopStart, e.LoopEnd})
        w.F32(v);
    w.I16(e.LoopMode);
    return bytes;
}

CartListEntry DecodeListEntry(const ListEntryBytes& bytes) {
    CartListEntry e;
    EntryReader r(bytes);
    e.Desc1a = r.Text(kDescriptionHeadLength);
    e.Desc2a = r.Text(kDescriptionHeadLength);
    e.Desc3a = r.Text(kDescriptionHeadLength);
    e.BackColor = r.I32();
    e.ForeColor = r.I32();
    e.EndingType = r.I16();
    e.Desc1b = r.Text(kDescriptionTailLength);
    e.Desc2b = r.Text(kDescriptionTailLength);
    e.Desc3b = r.Text(kDescriptionTailLength);
    r.Bytes(e.ReservedText.data(), e.ReservedText.size());
    e.Reserved1 = r.I32();
    e.MarkCode = r.I16();
    e.HookStart = r.F32();
    e.HookEnd = r.F32();
    e.Reserved2 = r.I16();
    e.Reserved3 = r.I16();
    e.IntroStartOutput = r.I16();
    e.IntroEndOutput = r.I16();
    e.ExtroOutput = r.I16();
    e.HookStartOutput = r.I16();
    e.HookEndOutput = r.I16();
    for (double& played : e.LastPlayed)
        played = r.F64();
    for (int16_t& code : e.LastPlayedCode)
        code = r.I16();
    for (float* v : {&e.IntroStart, &e.IntroEnd, &e.Extro, &e.TotalLength, &e.AudioStart,
                     &e.AudioEnd, &e.PlayLength, &e.LoopStart, &e.LoopEnd})
        *v = r.F32();
    e.LoopMode = r.I16();
    return e;
}

CartListEntry CartRecordToListEntry(const CartRecord& rec) {
    CartListEntry e;
    e.Desc1a = DescriptionPart(rec.Description1, 0, kDescriptionHeadLength);
    e.Desc2a = DescriptionPart(rec.Description2, 0, kDescriptionHeadLength);
    e.Desc3a = DescriptionPart(rec.Description3, 0, kDescriptionHeadLength);
    e.Desc1b = DescriptionPart(rec.Description1, kDescriptionHeadLength, kDescriptionTailLength);
    e.Desc2b = DescriptionPart(rec.Description2, kDescriptionHeadLength, kDescriptionTailLength);
    e.Desc3b = DescriptionPart(rec.Description3, kDescriptionHeadLength, kDescriptionTailLength);
    e.BackColor = rec.BackColor;
    e.ForeColor = rec.ForeColor;
    e.EndingType = rec.EndingType;
    e.Reserved1 = rec.Reserved1;
    e.MarkCode = rec.MarkCode;
    e.HookStart = rec.HookStart;
    e.HookEnd = rec.HookEnd;
    e.IntroStartOutput = rec.IntroStartOutput;
    e.IntroEndOutput = rec.IntroEndOutput;
    e.ExtroOutput = rec.ExtroOutput;
    e.HookStartOutput = rec.HookStartOutput;
    e.HookEndOutput = rec.HookEndOutput;
    e.LastPlayed = rec.LastPlayed;
    e.LastPlayedCode = rec.LastPlayedCode;
    e.IntroStart = rec.IntroStart;
    e.IntroEnd = rec.IntroEnd;
    e.Extro = rec.Extro;
    e.TotalLength = rec.TotalLength;
    e.AudioStart = rec.AudioStart;
    e.AudioEnd = rec.AudioEnd;
    e.PlayLength = rec.PlayLength;
    e.LoopStart = rec.LoopStart;
    e.LoopEnd = rec.LoopEnd;
    e.LoopMode = rec.LoopMode;
    return e;
}

CartRecord ListEntryToCartRecord(const CartListEntry& e) {
    CartRecord rec;
    rec.Description1 = JoinDescription(e.Desc1a, e.Desc1b);
    rec.Description2 = JoinDescription(e.Desc2a, e.Desc2b);
    rec.Description3 = JoinDescription(e.Desc3a, e.Desc3b);
    rec.BackColor = e.BackColor;
    rec.ForeColor = e.ForeColor;
    rec.EndingType = e.EndingType;
    rec.Reserved1 = e.Reserved1;
    rec.MarkCode = e.MarkCode;
    rec.HookStart = e.HookStart;
    rec.HookEnd = e.HookEnd;
    rec.IntroStartOutput = e.IntroStartOutput;
    rec.IntroEndOutput = e.IntroEndOutput;
    rec.ExtroOutput = e.ExtroOutput;
    rec.HookStartOutput = e.HookStartOutput;
    rec.HookEndOutput = e.HookEndOutput;
    rec.LastPlayed = e.LastPlayed;
    rec.LastPlayedCode = e.LastPlayedCode;
    rec.IntroStart = e.IntroStart;
    rec.IntroEnd = e.IntroEnd;
    rec.Extro = e.Extro;
    rec.TotalLength = e.TotalLength;
    rec.AudioStart = e.AudioStart;
    rec.AudioEnd = e.AudioEnd;
    rec.PlayLength = e.PlayLength;
    rec.LoopStart = e.LoopStart;
    rec.LoopEnd = e.LoopEnd;
    rec.LoopMode = e.LoopMode;
    return rec;
}

std::string GetCartDescription(const CartRecord& rec, bool oneLine, std::string& text) {
    const std::string lines[] = {VB::FixedLength(rec.Description1, kDescriptionLength),
                                 VB::FixedLength(rec.Description2, kDescriptionLength),
                                 VB::FixedLength(rec.Description3, kDescriptionLength)};
    text.clear();
    if (!oneLine) {
        for (const std::string& line : lines)
            text += line;
        return text;
    }
    for (const std::string& line : lines) {
        if (line.back() != ' ') {
            text += line; // a word cut at the line end runs on into the next line
            continue;
        }
        std::string trimmed = VB::Trim(line);
        if (!trimmed.empty()) text += trimmed + " ";
    }
    text = VB::Trim(text);
    return text;
}

bool DecodeHardwareOutput(int16_t code, int16_t& lineNumber, int32_t& mode) {
    if ((code & 0x3FF) == 0) return false;
    lineNumber = static_cast<int16_t>(code & 0x3FF);
    mode = static_cast<int32_t>(code) >> 10;
    return true;
}

void StepMarkCode(CartRecord& rec) {
    if (rec.MarkCode == INT16_MAX) return;
    rec.MarkCode = static_cast<int16_t>(rec.MarkCode == 31 ? 33 : rec.MarkCode + 1);
}

} // namespace Vantor_Cart_Routines
