#pragma once
// The properties a control has marked changed for its host, each once, in order.
#include <algorithm>
#include <string>
#include <vector>

namespace obControls {

class PropertyChanges {
public:
    void MarkChanged(const char* name) {
        if (std::find(changed_.begin(), changed_.end(), name) == changed_.end())
            changed_.push_back(name);
    }
    bool PropertiesChanged() const { return !changed_.empty(); }
    const std::vector<std::string>& ChangedProperties() const { return changed_; }
    void ClearChanges() { changed_.clear(); }

private:
    std::vector<std::string> changed_;
};

} // namespace obControls
