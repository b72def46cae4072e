#pragma once
// A failure that a timer or a repeated save meets again and again: told when it starts and
// once when it clears, never at every try.
#include <utility>

namespace GeneralFunctions {

class FailureEpisode {
public:
    // The try failed: true when this starts the episode (the caller tells it).
    bool Failed() { return !std::exchange(failing_, true); }
    // The try worked: true when it ends an episode (the caller tells that).
    bool Worked() { return std::exchange(failing_, false); }
    bool Failing() const { return failing_; }

private:
    bool failing_ = false;
};

} // namespace GeneralFunctions
