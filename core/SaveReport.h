#pragma once
// The result of a settings saver: a failed write is traced, never taken for saved.
#include "core/GeneralFunctions.h"

#include <string>

namespace GeneralFunctions {

// Traces "<saver>:Failed to write <file>" when not ok; gives ok.
inline bool TraceFailedSave(bool ok, const std::string& saver, const std::string& file) {
    if (!ok) WriteDebugLine(saver + ":Failed to write " + file, -1);
    return ok;
}

} // namespace GeneralFunctions
