// Reading and writing cart records, with the repairs on reading and the clamps on writing.
#include "carts/Vantor_Cart_Routines.h"
#include "carts/Vantor_Cart_Routines_Internal.h"
#include "core/GeneralFunctions.h"
#include "platform/Files.h"
#include "platform/RecordFile.h"
#include "platform/VB.h"

#include <algorithm>

namespace Vantor_Cart_Routines {

using namespace Internal;

namespace Internal {

int ReadSingleEntry(const std::string& path, ListEntryBytes& bytes) {
    Platform::RecordFile file;
    int error = file.Open(path, kListEntryLength);
    if (error == Platform::errNone) error = file.Read(1, bytes.data());
    int closeError = file.Close();
    return error != Platform::errNone ? error : closeError;
}

int WriteSingleEntry(const std::string& path, const ListEntryBytes& bytes) {
    Platform::RecordFile file;
    int error = file.Open(path, kListEntryLength);
    if (error == Platform::errNone) error = file.Write(1, bytes.data());
    int closeError = file.Close();
    return error != Platform::errNone ? error : closeError;
}

} // namespace Internal

namespace {

bool AllBlank(const std::string& line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' '; });
}

float Round3(float value) {
    double scaled = static_cast<double>(value) * 1000.0;
    return static_cast<float>(VB::RoundHalfEven(scaled) / 1000.0);
}

void LowerTo(float& value, float limit) {
    if (value > limit) value = limit;
}

void RaiseTo(float& value, float limit) {
    if (value < limit) value = limit;
}

// The record as stored: mark code, default title, rounding, audio range and clamps.
void RepairForWriting(CartRecord& rec, bool newAudio) {
    if (rec.TotalLength == -1) {
        rec.MarkCode = 0;
    } else if (newAudio && (rec.MarkCode == 0 || rec.MarkCode == 32)) {
        StepMarkCode(rec);
    }
    if (AllBlank(rec.Description1) && AllBlank(rec.Description2) && AllBlank(rec.Description3))
        rec.Description1 = VB::FixedLength("Vantor Cart", kDescriptionLength);
    rec.TotalLength = Round3(rec.TotalLength);
    rec.AudioEnd = Round3(rec.AudioEnd);
    if (rec.AudioEnd <= 0) {
        rec.AudioStart = 0;
        rec.AudioEnd = rec.TotalLength;
    }
    rec.PlayLength = rec.AudioEnd - rec.AudioStart;
    LowerTo(rec.AudioEnd, rec.TotalLength);
    LowerTo(rec.PlayLength, rec.TotalLength);
    LowerTo(rec.Extro, rec.AudioEnd);
    LowerTo(rec.IntroEnd, rec.AudioEnd);
    LowerTo(rec.IntroStart, rec.AudioEnd);
    LowerTo(rec.IntroStart, rec.IntroEnd);
    RaiseTo(rec.IntroEnd, rec.IntroStart);
    LowerTo(rec.HookStart, rec.HookEnd);
    RaiseTo(rec.HookEnd, rec.HookStart);
    LowerTo(rec.LoopStart, rec.LoopEnd);
    RaiseTo(rec.LoopEnd, rec.LoopStart);
}

// Writes into the part list and reopens it: 0 or the error number, which is traced.
int WriteToPartList(int32_t cartNumber, const ListEntryBytes& bytes) {
    int part = GetCartPart(cartNumber);
    int error = Part(part).ListFile.Write(RecordNumber(cartNumber), bytes.data());
    if (error == Platform::errNone) error = ReopenPartList(part);
    if (error != Platform::errNone)
        GeneralFunctions::WriteDebugLine("WriteCart: cart " + std::to_string(cartNumber) +
                                             " not written to " + Part(part).ListFilePath +
                                             " error " + std::to_string(error),
                                         -1);
    return error;
}

// Stores or removes the cart's own .LST: false when it cannot be written.
bool WriteIndividualFile(const CartRecord& rec, int32_t cartNumber, const ListEntryBytes& bytes) {
    std::string path = GetCartBaseName(cartNumber);
    if (path.empty()) return false;
    path += ".LST";
    if (rec.TotalLength == -1) {
        if (GeneralFunctions::SafeFileLen(path) >= 0) {
            int error = DeleteFile(path);
            if (error != Platform::errNone)
                GeneralFunctions::FormatErrorMessage("removing the information file for cart " +
                                                         std::to_string(cartNumber),
                                                     error, false);
        }
        return true;
    }
    return WriteSingleEntry(path, bytes) == Platform::errNone;
}

} // namespace

int16_t ReadCart(CartRecord& rec, int32_t cartNumber) {
    rec = Carts::State().BlankCartRecord;
    if (!IsValidCart(cartNumber)) return -1;
    int part = GetCartPart(cartNumber);
    if (Part(part).Status != PartFound &&
        ConnectAudiowallParts(static_cast<int16_t>(part), true) != 0) {
        Part(part).Status = PartMissing;
        return -1;
    }
    rec = Carts::State().BlankCartRecord; // connecting rebuilt it

    ListEntryBytes bytes{};
    std::string own = GetCartBaseName(cartNumber) + ".LST";
    if (MainSettings::Settings().Audio.UseIndividualCartListFiles != 0 && own != ".LST" &&
        GeneralFunctions::SafeFileLen(own) > 0) {
        int error = ReadSingleEntry(own, bytes);
        if (error != Platform::errNone) return static_cast<int16_t>(error);
    } else {
        int error = Part(part).ListFile.Read(RecordNumber(cartNumber), bytes.data());
        if (error != Platform::errNone) {
            Part(part).Status = PartMissing;
            return static_cast<int16_t>(error);
        }
    }

    rec = ListEntryToCartRecord(DecodeListEntry(bytes));
    if (!(rec.AudioEnd > 0 && rec.PlayLength > 0)) {
        rec.AudioStart = 0;
        rec.AudioEnd = rec.TotalLength;
        rec.PlayLength = rec.AudioEnd - rec.AudioStart;
    }
    if (rec.TotalLength == -1) rec = Carts::State().BlankCartRecord;
    return 0;
}

int32_t WriteCart(CartRecord& rec, int32_t cartNumber, bool skipPermission, bool newAudio) {
    if (!IsValidCart(cartNumber)) return -1;
    bool writing = true;
    if (!skipPermission && !MainSettings::CartChangeAllowed(cartNumber, writing)) return -1;

    RepairForWriting(rec, newAudio);
    ListEntryBytes bytes = EncodeListEntry(CartRecordToListEntry(rec));
    const AudioSettings::AudioSettingsRecord& audio = MainSettings::Settings().Audio;

    int32_t result = 0;
    if (audio.MaintainLegacyCartList != 0) result = WriteToPartList(cartNumber, bytes);
    if (audio.UseIndividualCartListFiles != 0 && !WriteIndividualFile(rec, cartNumber, bytes))
        return -1;
    if (newAudio && result == 0) UpdateCartChunk(cartNumber);
    return result;
}

} // namespace Vantor_Cart_Routines
