// Audiowall parts: the part table, opening and closing the list files, start-up reset and
// dated backups.
#include "carts/PlayerTable.h"
#include "carts/Vantor_Cart_Routines.h"
#include "carts/Vantor_Cart_Routines_Internal.h"
#include "core/GeneralFunctions.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"

namespace Vantor_Cart_Routines {

using namespace Internal;

int16_t GetCartPart(int32_t cartNumber) {
    if (cartNumber < 0 || cartNumber > 10 * kCartsPerPart) return kPartCount;
    if (cartNumber == 0) return 0;
    return static_cast<int16_t>((cartNumber - 1) / kCartsPerPart + 1);
}

namespace Internal {

int32_t RecordNumber(int32_t cartNumber) {
    return cartNumber - (GetCartPart(cartNumber) - 1) * kCartsPerPart;
}

int ReopenPartList(int part) {
    AudiowallPart& entry = Part(part);
    if (entry.FileNumber <= 0) return Platform::errBadFileNameOrNumber;
    int closeError = entry.ListFile.Close();
    entry.IsOpen = false;
    int openError = entry.ListFile.Open(entry.ListFilePath, kListEntryLength);
    entry.IsOpen = openError == Platform::errNone;
    return openError != Platform::errNone ? openError : closeError;
}

} // namespace Internal

bool ReopenPartListFile(int32_t partNumber) {
    if (partNumber < 1 || partNumber > kPartCount) return false;
    return ReopenPartList(partNumber) == Platform::errNone;
}

void CloseAudiowallParts() {
    for (int p = 1; p <= kPartCount; ++p) {
        AudiowallPart& entry = Part(p);
        if (entry.FileNumber > 0) entry.ListFile.Close();
        entry.ListFileName.clear();
        entry.IsOpen = false;
        entry.Status = PartNotExamined;
    }
}

void ResetCartData() {
    Carts::CartsState& state = Carts::State();
    state.PlayerStateNames.fill(std::string(8, ' '));
    const std::pair<int, const char*> names[] = {
        {CartPlayers::Seeking, "Seeking"},   {CartPlayers::Playing, "Playing"},
        {CartPlayers::Paused, "Paused"},     {CartPlayers::Cued, "Cued"},
        {CartPlayers::Selected, "Selected"}, {CartPlayers::Empty, "Empty"}};
    for (const auto& [status, name] : names)
        state.PlayerStateNames[static_cast<size_t>(status)] = VB::FixedLength(name, 8);

    CartRecord blank;
    blank.TotalLength = -1;
    blank.PlayLength = -1;
    state.BlankCartRecord = blank;
    state.BlankListEntry = CartRecordToListEntry(blank);

    AudioSettings::AudioSettingsRecord& audio = MainSettings::Settings().Audio;
    audio.MaintainLegacyCartList = 1;
    audio.PlayCartsInstantly = -1;
    if (state.CartRangeFirst == 0) {
        state.CartRangeFirst = 1;
        state.CartRangeLast = 99999;
    }
}

void InitialiseCartData() {
    for (int player = 1; player <= CartPlayers::kMaxPlayers; ++player)
        CartPlayers::State().PlayerTable[static_cast<size_t>(player)].Status = CartPlayers::Empty;
    ResetCartData();
}

namespace {

int LastPart() {
    return GetCartPart(NoCarts());
}

int RecordsInPart(int part) {
    return part == LastPart() ? NoCarts() - (part - 1) * kCartsPerPart : kCartsPerPart;
}

// Marks every configured part that shares folder `location` found or missing.
void SetStatusOfFolder(const std::string& location, int32_t status) {
    for (int p = 1; p <= LastPart(); ++p)
        if (VB::Trim(Part(p).Location) == location) Part(p).Status = status;
}

void ExamineFolder(int part, bool quiet) {
    std::string location = VB::Trim(Part(part).Location);
    if (GeneralFunctions::DirectoryExists(location)) {
        SetStatusOfFolder(location, PartFound);
        return;
    }
    if (!quiet)
        GeneralFunctions::FormatErrorMessage(
            "connecting part(s) of the Audio Wall because the directory: "
            "\n\n\"" +
                location + "\"\n\n could not be found",
            0, false);
    SetStatusOfFolder(location, PartMissing);
}

// Fills records from the last whole record up to the part's record count with the blank
// entry, then reopens the file; a half record at the end of the file is overwritten rather
// than left behind.
int PadListFile(int part) {
    AudiowallPart& entry = Part(part);
    int records = RecordsInPart(part);
    int64_t length = entry.ListFile.Length();
    if (length < 0) return Platform::errDeviceIO;
    if (static_cast<double>(length) / kListEntryLength >= records) return Platform::errNone;
    ListEntryBytes blank = EncodeListEntry(Carts::State().BlankListEntry);
    for (int64_t r = length / static_cast<int64_t>(kListEntryLength) + 1; r <= records; ++r) {
        int error = entry.ListFile.Write(r, blank.data());
        if (error != Platform::errNone) return error;
    }
    return ReopenPartList(part);
}

int OpenPartList(int part) {
    AudiowallPart& entry = Part(part);
    if (entry.FileNumber < 1) {
        entry.FileNumber = ++Carts::State().LastFileNumber;
    } else {
        entry.ListFile.Close();
        entry.IsOpen = false;
    }
    int error = entry.ListFile.Open(entry.ListFilePath, kListEntryLength);
    if (error != Platform::errNone) return error;
    entry.Status = PartFound;
    entry.IsOpen = true;
    return PadListFile(part);
}

} // namespace

int32_t ConnectAudiowallParts(int16_t partNumber, bool quiet) {
    ResetCartData();
    if (partNumber < 0 || partNumber > kPartCount) return -1;
    int first = partNumber == 0 ? 1 : partNumber;
    int last = partNumber == 0 ? LastPart() : partNumber;

    int missing = 0;
    for (int p = first; p <= last; ++p) {
        AudiowallPart& entry = Part(p);
        if (VB::Trim(entry.Location).empty()) {
            ++missing;
        } else {
            if (entry.ListFileName.empty())
                entry.ListFileName = "Carts" + std::to_string(p) + ".lst";
            entry.ListFilePath = Platform::JoinPath(entry.Location, entry.ListFileName);
        }
        entry.Status = PartNotExamined;
    }
    if (missing > 0) {
        if (!quiet)
            Platform::MsgBox(std::to_string(missing) +
                                 " locations of the AudioWall have not been set : Please check "
                                 "your configuration.",
                             Platform::vbExclamation | Platform::vbOKOnly);
        return -1;
    }

    for (int p = first; p <= last; ++p) {
        AudiowallPart& entry = Part(p);
        int answer = Platform::vbYes;
        if (entry.Status == PartNotExamined) ExamineFolder(p, quiet);
        if (entry.Status != PartFound) continue;
        if (GeneralFunctions::SafeFileLen(entry.ListFilePath) < 0 && !quiet) {
            answer = Platform::MsgBox("Part " + std::to_string(p) +
                                          " of the AudioWall has not been found.\nDo you wish to "
                                          "create it in :\n" +
                                          entry.ListFilePath,
                                      Platform::vbYesNoCancel | Platform::vbQuestion);
            if (answer == Platform::vbCancel) return -1;
        }
        if (answer != Platform::vbYes) continue;
        int error = OpenPartList(p);
        if (error != Platform::errNone)
            GeneralFunctions::WriteDebugLine("ConnectAudiowallParts: part " + std::to_string(p) +
                                                 " " + entry.ListFilePath + " error " +
                                                 std::to_string(error),
                                             -1);
    }

    if (partNumber >= 1) return Part(partNumber).Status == PartFound ? 0 : -1;
    for (int p = 1; p <= LastPart(); ++p)
        if (Part(p).Status == PartFound) return 0;
    return -1;
}

void BackupAudiowallLists(bool force) {
    for (int p = 1; p <= kPartCount; ++p) {
        const std::string& location = Part(p).Location;
        if (location.empty()) continue;
        std::string listName = "Carts" + std::to_string(p) + ".LST";
        std::string source = Platform::JoinPath(location, listName);
        if (!Platform::FileExists(source)) continue;
        std::string dated = Platform::JoinPath(
            location, "Backups/" + VB::FormatDate(Platform::Clock::Today(), "yyyy-mm-dd"));
        if (!GeneralFunctions::CreatePath(dated, true)) return;
        if (Platform::FileExists(Platform::JoinPath(dated, listName)) && !force) continue;
        std::string title = "Backing up Audio Wall lists - Part " + std::to_string(p);
        if (GeneralFunctions::ShellFileOperation(source, dated, title, 0, false, false) != 0)
            return;
    }
}

} // namespace Vantor_Cart_Routines
