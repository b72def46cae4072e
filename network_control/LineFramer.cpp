#include "network_control/LineFramer.h"

#include <algorithm>

size_t LineFramer::Find(const std::string& text, size_t from) const {
    return HasEndCharacter ? text.find(EndCharacter, from) : std::string::npos;
}

size_t LineFramer::Append(const std::string& chunk) {
    std::string text = chunk;
    if (StripLineFeeds) text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
    size_t dropped = 0;
    if (discarding_) {
        size_t end = Find(text, 0);
        if (end == std::string::npos) return text.size();
        dropped = end;
        text.erase(0, end);
        discarding_ = false;
    }
    buffer_.erase(0, head_);
    head_ = 0;
    buffer_ += text;
    size_t lastEnd = HasEndCharacter ? buffer_.rfind(EndCharacter) : std::string::npos;
    size_t tail = lastEnd == std::string::npos ? 0 : lastEnd + 1;
    if (buffer_.size() - tail > kMaxPendingLine) {
        dropped += buffer_.size() - tail - kMaxPendingLine;
        buffer_.resize(tail + kMaxPendingLine);
        discarding_ = true;
    }
    return dropped;
}

bool LineFramer::TakeLine(std::string& line) {
    size_t end = Find(buffer_, head_);
    if (end == std::string::npos) return false;
    line.assign(buffer_, head_, end - head_);
    head_ = end + 1;
    if (head_ == buffer_.size()) Clear();
    return true;
}

void LineFramer::Clear() {
    buffer_.clear();
    head_ = 0;
    discarding_ = false;
}
