#include "breaks/LogEditing.h"

#include "breaks/AdvertLog_FN.h"
#include "breaks/BreaksState.h"
#include "breaks/ZEL_Common.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/GeneralFunctions.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"
#include "platform/WholeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace ZEL_Common {

namespace {

CartChooser chooser;
FileRenamer renamer;

// A line of the file with its own line end, so that untouched bytes are copied exactly.
struct RawLine {
    std::string text;
    std::string ending; // "\r\n", "\n" or "" (the last line)
    int32_t start = 0;  // 1-based position of its first byte
    int32_t Next() const { return start + static_cast<int32_t>(text.size() + ending.size()); }
    bool Empty() const { return VB::Trim(text).empty(); }
    std::string Whole() const { return text + ending; }
};

std::vector<RawLine> SplitLines(const std::string& bytes) {
    std::vector<RawLine> lines;
    size_t at = 0;
    while (at < bytes.size()) {
        RawLine line;
        line.start = static_cast<int32_t>(at) + 1;
        const size_t lf = bytes.find('\n', at);
        const size_t end = lf == std::string::npos ? bytes.size() : lf;
        const bool cr = end > at && bytes[end - 1] == '\r' && lf != std::string::npos;
        line.text = bytes.substr(at, end - at - (cr ? 1 : 0));
        line.ending = lf == std::string::npos ? "" : (cr ? "\r\n" : "\n");
        lines.push_back(line);
        at = lf == std::string::npos ? bytes.size() : lf + 1;
    }
    return lines;
}

bool OfSplit(int16_t Split, const RawLine& line) {
    return ZEL_Common::LineMatchesSplit(Split, VB::Trim(line.text));
}

bool Rename(const std::string& from, const std::string& to, std::string& error) {
    if (renamer) return renamer(from, to, error);
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    error = std::strerror(errno);
    return false;
}

void Problem(const std::string& text, const std::string& description) {
    Platform::MsgBox(text + "\nThe error was : " + description, Platform::vbInformation);
}

bool MayEdit(int16_t Split, int32_t FilePos) {
    const Breaks::BreaksState& state = Breaks::State();
    const SplitRecord* split = Breaks::Split(Split);
    return split && FilePos > 0 && split->LogFileNumber != 0 && !state.BreakRunning &&
           !state.LogCopyInProgress;
}

// Traces where the working log as it was before the edit was left.
void TraceKeptAside(const std::string& text, const std::string& description,
                    const std::string& old) {
    GeneralFunctions::WriteDebugLine("ReplaceWorkingLog: " + text + " (" + description +
                                         "); the old Log file was left as " + old,
                                     -1);
}

// Puts the edited bytes in place of the working log: temporary file, old log renamed away,
// new one renamed in, log reopened; the two texts report a failed rename of each. The old log
// is removed only once the new one is in place on disk; until then it is kept whole.
bool ReplaceWorkingLog(int16_t Split, const std::string& bytes, const char* oldRenameProblem,
                       const char* newRenameProblem) {
    SplitRecord& split = *Breaks::Split(Split);
    bool& copying = Breaks::State().LogCopyInProgress;
    const std::string working = split.WorkingLogPath;
    const std::string temp =
        GeneralFunctions::MakeTempFileName(split.LogDestinationDirectory, "TMP");
    if (temp.empty() || !Platform::ReplaceWholeFile(temp, bytes)) {
        Problem("There was a problem opening a temporary file.",
                temp.empty() ? "no temporary name" : std::strerror(errno));
        std::remove(temp.c_str());
        return false;
    }
    copying = true;
    CloseLogFile(Split);
    const std::string old =
        GeneralFunctions::MakeTempFileName(split.LogDestinationDirectory, "TMP");
    std::string error;
    if (old.empty() || !Rename(working, old, error)) {
        Problem(oldRenameProblem, old.empty() ? "no temporary name" : error);
        std::remove(temp.c_str());
        OpenLogFile(Split, working);
        copying = false;
        return false;
    }
    const bool replaced = Rename(temp, working, error);
    if (replaced) {
        if (Platform::FlushFolderOf(working))
            std::remove(old.c_str());
        else
            TraceKeptAside("The folder of the edited Log file could not be flushed to disk",
                           std::strerror(errno), old);
    } else {
        std::remove(temp.c_str());
        std::string back;
        if (Rename(old, working, back)) {
            Problem(newRenameProblem, error);
        } else {
            const std::string description = error + "; putting the old Log file back: " + back;
            TraceKeptAside(newRenameProblem, description, old);
            Problem(newRenameProblem, description + "\nThe old Log file was left as : " + old);
        }
    }
    OpenLogFile(Split, working);
    copying = false;
    return replaced;
}

} // namespace

void SetCartChooser(CartChooser c) {
    chooser = std::move(c);
}
void SetFileRenamer(FileRenamer r) {
    renamer = std::move(r);
}

bool InsertAdvertIntoLogFile(int16_t Split, int32_t FilePos, int32_t CartNumber) {
    if (!MayEdit(Split, FilePos)) return false;
    if (CartNumber == 0 && chooser) CartNumber = chooser();
    Vantor_Cart_Routines::CartRecord rec;
    if (CartNumber <= 0 || Vantor_Cart_Routines::ReadCart(rec, CartNumber) != 0 ||
        rec.TotalLength <= 0)
        return false;
    std::string bytes;
    if (!Platform::ReadWholeFile(Breaks::Split(Split)->WorkingLogPath, bytes)) return false;
    const std::vector<RawLine> lines = SplitLines(bytes);
    if (lines.empty()) return false;
    // The new line goes in before line k: the log's first line when FilePos is 1, else the
    // line after one that ends where FilePos starts (k = lines.size(): at the end).
    const auto goesBefore = [&](size_t k) {
        return k == 0 ? FilePos == 1
                      : lines[k - 1].Next() == FilePos && !lines[k - 1].ending.empty();
    };
    size_t k = 0;
    while (k <= lines.size() && !goesBefore(k))
        ++k;
    if (k > lines.size()) return false;
    // The time and chain come from the line above unless there is none, or it is empty or of
    // another chain (the new line must play in this split's break), else from the line at
    // FilePos.
    const bool above = k > 0 && !lines[k - 1].Empty() && OfSplit(Split, lines[k - 1]);
    const RawLine& model = above || k == lines.size() ? lines[k - 1] : lines[k];
    const std::string ending = k > 0                     ? lines[k - 1].ending
                               : lines[0].ending.empty() ? std::string("\r\n")
                                                         : lines[0].ending;
    std::string text;
    const std::string description = Vantor_Cart_Routines::GetCartDescription(rec, true, text);
    const bool shortForm = model.text.size() >= 6 && model.text[5] == '|';
    const size_t at = static_cast<size_t>(FilePos - 1);
    const std::string out =
        bytes.substr(0, at) +
        AdvertLog_FN::BuildLogLine(AdvertLog_FN::GetLineTime(model.text),
                                   AdvertLog_FN::GetLineChainCode(model.text), CartNumber,
                                   description, "", rec.PlayLength, shortForm) +
        ending + bytes.substr(at);
    return ReplaceWorkingLog(
        Split, out, "There was a problem renaming the old Log file whilst inserting an advert",
        "There was a problem renaming the new edited Log file whilst inserting an advert");
}

bool RemoveAdvertFromLogFile(int16_t Split, int32_t FilePos) {
    if (!MayEdit(Split, FilePos)) return false;
    std::string bytes;
    if (!Platform::ReadWholeFile(Breaks::Split(Split)->WorkingLogPath, bytes)) return false;
    const std::vector<RawLine> lines = SplitLines(bytes);
    size_t removed = 0;
    while (removed < lines.size() && lines[removed].start < FilePos)
        ++removed;
    if (removed >= lines.size()) return false;
    std::string out = bytes.substr(0, static_cast<size_t>(lines[removed].start - 1));
    size_t rest = removed + 1;
    const bool emptyBefore = removed > 0 && lines[removed - 1].Empty();
    if (rest < lines.size() && lines[rest].Empty() && emptyBefore) ++rest;
    if (rest < lines.size()) out += bytes.substr(static_cast<size_t>(lines[rest].start - 1));
    return ReplaceWorkingLog(
        Split, out, "There was a problem renaming the old Log file whilst removing an advert",
        "There was a problem renaming the new edited Log file whilst removing an advert");
}

} // namespace ZEL_Common
