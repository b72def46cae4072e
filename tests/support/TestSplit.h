#pragma once
// The split every test station uses: chain "NE", day logs named yymmdd.LOG, reconciliation in
// .REC files.
#include "breaks/SplitRecord.h"

#include <string>

namespace TestSupport {

inline void UseTestSplit(ZEL_Common::SplitRecord& split, const std::string& source,
                         const std::string& destination) {
    split.SplitName = "SPLIT 1";
    split.Extension = "LOG";
    split.DateFormat = "YYMMDD";
    split.ReconcileExtension = "REC";
    split.LogSourceDirectory = source;
    split.LogDestinationDirectory = destination;
    split.LogTXChainCode = "NE";
}

} // namespace TestSupport
