#include "breaks/BreaksState.h"

namespace Breaks {

ZEL_Common::SplitRecord* Split(int16_t split) {
    if (split < 1 || split > ZEL_Common::kSplitCount) return nullptr;
    return &State().SplitRecord[static_cast<size_t>(split - 1)];
}

} // namespace Breaks
