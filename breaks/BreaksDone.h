#pragma once
// The breaks of each day's log that are done: a break is done once any of its adverts started
// or it was dumped. The record lives in a small file per log day beside the working logs,
// written at once to disk, so that a restart (after a crash too), a reload, a new delivery or
// a clock set back never lets the clock play a done break again.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace BreaksDone {

// Each of a break's lines for the split: its cart and its reference.
using AdvertKeys = std::vector<std::pair<int32_t, std::string>>;

// The record of the breaks done of a day's log: the working log's name with ".DONE".
std::string DoneFile(int16_t Split, int32_t LogDate);

// Records the break at Time of the day's log as done; How says what was done ("played",
// "dumped").
void MarkDone(int16_t Split, int32_t LogDate, float Time, const AdvertKeys& Adverts,
              const std::string& How);

// The break is done: a break of that time was, or (when every advert carries a reference) a
// break of the same adverts less than a quarter of an hour from it, as a re-sent log that
// moved a break gives it.
bool IsDone(int16_t Split, int32_t LogDate, float Time, const AdvertKeys& Adverts);

} // namespace BreaksDone
