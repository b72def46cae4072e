#include "core/SaveReport.h"

#include "core/GeneralFunctions.h"
#include "platform/Files.h"

#include <cerrno>

namespace GeneralFunctions {

bool SaveReport::Take(bool written) {
    // A failure that left no cause still counts as one.
    if (!written && cause_ == 0) cause_ = errno != 0 ? errno : EIO;
    return written;
}

bool TraceFailedSave(const SaveReport& report, const std::string& saver, const std::string& file) {
    if (!report.Ok())
        TellProblem(saver + ":Failed to write " + file + ": " + CauseText(report.Cause()));
    return report.Ok();
}

bool ConfirmSave(const SaveReport& report, const std::string& saver, const std::string& file) {
    if (TraceFailedSave(report, saver, file)) return true;
    FormatHostErrorMessage("saving the settings to " + file, report.Cause(), false);
    return false;
}

} // namespace GeneralFunctions
