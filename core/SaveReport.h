#pragma once
// The result of a settings save: a failed write is told with its cause, never taken for saved.
#include <string>

namespace GeneralFunctions {

// Every write of one save: whole while each worked, and the cause (errno) of the first that
// did not.
class SaveReport {
public:
    // Takes one write's result, errno telling a failure's cause; gives it back.
    bool Take(bool written);
    bool Ok() const { return cause_ == 0; }
    int Cause() const { return cause_; }
    explicit operator bool() const { return Ok(); }

private:
    int cause_ = 0;
};

// A failed save told at any trace level, on standard error when headless and in the status
// bar: "<saver>:Failed to write <file>: <cause>". Gives report.Ok().
bool TraceFailedSave(const SaveReport& report, const std::string& saver, const std::string& file);

// A dialog's save: told as above, and shown in the standard error box naming the file and the
// cause. False keeps the dialog open with the user's entries.
bool ConfirmSave(const SaveReport& report, const std::string& saver, const std::string& file);

} // namespace GeneralFunctions
