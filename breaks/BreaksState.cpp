#include "breaks/BreaksState.h"

namespace Breaks {

ZEL_Common::SplitRecord* Split(int16_t split) {
    if (split < 1 || split > ZEL_Common::kSplitCount) return nullptr;
    return &State().SplitRecord[static_cast<size_t>(split - 1)];
}

int16_t FreeFile() {
    auto& files = State().files;
    for (int16_t n = 1; n <= kMaxFileNumber; ++n)
        if (!files[static_cast<size_t>(n)].IsOpen()) return n;
    return 0;
}

LogFile* File(int16_t fileNumber) {
    if (fileNumber < 1 || fileNumber > kMaxFileNumber) return nullptr;
    return &State().files[static_cast<size_t>(fileNumber)];
}

} // namespace Breaks
