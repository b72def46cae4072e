#pragma once
// The receive buffer of one connection: chunks go in, complete lines come out. A line still
// waiting for its end character is held to kMaxPendingLine bytes; what comes beyond that is
// dropped until the end character arrives.
#include <cstddef>
#include <string>

class LineFramer {
public:
    static constexpr size_t kMaxPendingLine = 64 * 1024;

    // Adds a received chunk; the number of bytes dropped by the cap.
    size_t Append(const std::string& chunk);
    // Takes the next complete line out; false when none is complete.
    bool TakeLine(std::string& line);
    void Clear();
    // What is held and not yet taken out.
    std::string Pending() const { return buffer_.substr(head_); }
    size_t PendingSize() const { return buffer_.size() - head_; }
    // The pending line went over the cap and its rest is being dropped.
    bool Discarding() const { return discarding_; }

    // The owner's next reading turn is queued on the event loop.
    bool TurnQueued = false;
    // A reading turn of the owner is running (a line of it may wait in a nested loop), and a
    // turn was asked for meanwhile.
    bool Serving = false;
    bool TurnPutOff = false;

    char EndCharacter = '\r';
    bool HasEndCharacter = true;
    bool StripLineFeeds = true;

private:
    size_t Find(const std::string& text, size_t from) const;
    std::string buffer_;
    size_t head_ = 0;         // start of what is not yet taken out
    bool discarding_ = false; // the pending line is over the cap: drop until its end
};
