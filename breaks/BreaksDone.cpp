#include "breaks/BreaksDone.h"

#include "breaks/BreaksState.h"
#include "breaks/ZEL_Common.h"
#include "core/GeneralFunctions.h"
#include "core/KeptLines.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/VB.h"
#include "platform/WholeFile.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <sstream>

namespace BreaksDone {
namespace {

constexpr char kTab = '\t';
// A break of the same adverts this close to a done one is that break, moved by a re-sent log.
constexpr int32_t kMovedBreakSeconds = 900;

int32_t WholeSeconds(float time) {
    return static_cast<int32_t>(std::lround(time));
}

// "hh:mm:ss" at the start of a record line, -1 when it is not one (a line cut short by a power
// cut, say).
int32_t LineTime(const std::string& line) {
    if (line.size() < 8 || line[2] != ':' || line[5] != ':') return -1;
    for (size_t i : {0, 1, 3, 4, 6, 7})
        if (!std::isdigit(static_cast<unsigned char>(line[i]))) return -1;
    const int hours = std::stoi(line.substr(0, 2)), minutes = std::stoi(line.substr(3, 2)),
              seconds = std::stoi(line.substr(6, 2));
    if (hours > 23 || minutes > 59 || seconds > 59) return -1;
    return hours * 3600 + minutes * 60 + seconds;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, kTab);)
        fields.push_back(field);
    return fields;
}

// A record line: the break's time, what was done, when, then each advert's cart and reference.
std::string RecordLine(int32_t time, const AdvertKeys& adverts, const std::string& how) {
    const Platform::Clock::Moment now = Platform::Clock::Now();
    std::string line =
        GeneralFunctions::FormatDuration(time, 2) + kTab + how + kTab +
        VB::FormatDate(now.day + std::floor(now.seconds) / 86400.0, "dd/mm/yyyy hh:nn:ss");
    for (const auto& [cart, reference] : adverts)
        line += kTab + std::to_string(cart) + kTab + GeneralFunctions::EscapeNetText(reference);
    return line;
}

// A cart number as the record holds it; a damaged one stays inside the type.
int32_t CartNumber(const std::string& field) {
    const double number = VB::Val(field);
    return std::isnan(number)
               ? 0
               : static_cast<int32_t>(std::clamp<double>(number, INT32_MIN, INT32_MAX));
}

void Add(Breaks::DoneDay& day, const std::string& line) {
    const int32_t time = LineTime(line);
    if (time < 0) return;
    day.times.insert(time);
    const std::vector<std::string> fields = Fields(line);
    AdvertKeys adverts;
    for (size_t i = 3; i + 1 < fields.size(); i += 2)
        adverts.emplace_back(CartNumber(fields[i]),
                             GeneralFunctions::UnescapeNetText(fields[i + 1]));
    if (!adverts.empty()) day.adverts[adverts].insert(time);
}

Breaks::DoneDay& Day(const std::string& path) {
    auto& days = Breaks::State().doneBreaks;
    auto found = days.find(path);
    if (found != days.end()) return found->second;
    Breaks::DoneDay& day = days[path];
    std::string text;
    if (Platform::ReadWholeFile(Platform::ResolveExisting(path), text)) {
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);)
            Add(day, line);
    }
    return day;
}

bool AllReferenced(const AdvertKeys& adverts) {
    if (adverts.empty()) return false;
    for (const auto& advert : adverts)
        if (VB::Trim(advert.second).empty()) return false;
    return true;
}

} // namespace

std::string DoneFile(int16_t Split, int32_t LogDate) {
    const std::string log = ZEL_Common::GetDestinationLogPath(Split, LogDate, false);
    if (log.empty()) return "";
    return Platform::JoinPath(GeneralFunctions::GetDirectoryPart(log, false),
                              GeneralFunctions::GetFileTitle(log) + ".DONE");
}

void MarkDone(int16_t Split, int32_t LogDate, float Time, const AdvertKeys& Adverts,
              const std::string& How) {
    const std::string path = DoneFile(Split, LogDate);
    if (path.empty() || Time < 0) return;
    const int32_t time = WholeSeconds(Time);
    const std::string line = RecordLine(time, Adverts, How);
    Add(Day(path), line);
    KeptLines::Append(path, line, true);
}

bool IsDone(int16_t Split, int32_t LogDate, float Time, const AdvertKeys& Adverts) {
    const std::string path = DoneFile(Split, LogDate);
    if (path.empty() || Time < 0) return false;
    const Breaks::DoneDay& day = Day(path);
    const int32_t time = WholeSeconds(Time);
    if (day.times.count(time)) return true;
    const auto same = day.adverts.find(Adverts);
    if (!AllReferenced(Adverts) || same == day.adverts.end()) return false;
    const auto near = same->second.lower_bound(time - kMovedBreakSeconds + 1);
    return near != same->second.end() && *near < time + kMovedBreakSeconds;
}

} // namespace BreaksDone
