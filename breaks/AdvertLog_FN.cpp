#include "breaks/AdvertLog_FN.h"

#include "breaks/CartTiming.h"
#include "breaks/LogSupport.h"

#include <cmath>
#include <limits>

using LogSupport::Mid;

namespace AdvertLog_FN {
namespace {

// Column layout of one form: widths of time, chain, cart, title and length.
struct LineForm {
    int time, chain, cart, title, length;
};
constexpr LineForm kFull{8, 4, 8, 30, 4};
constexpr LineForm kShort{5, 4, 4, 30, 3};

// A whole number of a numeric column; out-of-range values count as no number.
int32_t WholeNumber(double value) {
    double rounded = LogSupport::RoundHalfEven(value);
    if (rounded > std::numeric_limits<int32_t>::max() ||
        rounded < std::numeric_limits<int32_t>::min())
        return 0;
    return static_cast<int32_t>(rounded);
}

} // namespace

bool IsShortLogLine(const std::string& Line) {
    return Line.size() >= 6 && Line[5] == '|';
}

std::string NormaliseLogLine(const std::string& Line) {
    if (!IsShortLogLine(Line)) return Line;
    return Line.substr(0, 5) + ":00" + Mid(Line, 6, 6) + "    " + Mid(Line, 12, 36) + " " +
           Mid(Line, 48);
}

float GetLineTime(const std::string& Line) {
    if (Line.empty()) return -1.0f;
    std::string full = NormaliseLogLine(Line);
    double seconds = LogSupport::Val(Mid(full, 1, 2)) * 3600 +
                     LogSupport::Val(Mid(full, 4, 2)) * 60 + LogSupport::Val(Mid(full, 7, 2));
    return static_cast<float>(seconds);
}

std::string GetLineChainCode(const std::string& Line) {
    if (Line.empty()) return "";
    return LogSupport::UCase(LogSupport::Trim(Mid(NormaliseLogLine(Line), 10, 4)));
}

int32_t GetLineCartNumber(const std::string& Line) {
    if (Line.empty()) return 0;
    return WholeNumber(LogSupport::Val(Mid(NormaliseLogLine(Line), 15, 8)));
}

std::string GetLineTitle(const std::string& Line) {
    if (Line.empty()) return "";
    return Mid(NormaliseLogLine(Line), 24, 30);
}

std::string GetLineReference(const std::string& Line) {
    if (Line.empty()) return "";
    return Mid(NormaliseLogLine(Line), 60);
}

std::string BuildLogLine(float Time, const std::string& ChainCode, int32_t CartNumber,
                         const std::string& Title, const std::string& Reference, float Length,
                         bool ShortForm) {
    const LineForm& form = ShortForm ? kShort : kFull;
    std::string timeText = LogSupport::FormatHMS(Time).substr(0, 8);
    if (Length < 0) {
        BreakCarts::CartTiming timing;
        BreakCarts::ReadCartTiming(CartNumber, timing);
        Length = timing.Extro;
    }
    std::string lengthText = std::to_string(WholeNumber(Length));
    std::string cartText = std::to_string(CartNumber);
    using LogSupport::PadLeft;
    using LogSupport::PadRight;
    return PadRight(timeText, form.time) + "|" + PadRight(ChainCode, form.chain) + "|" +
           PadLeft(cartText, form.cart) + "|" + PadRight(Title, form.title) + "|" +
           PadLeft(lengthText, form.length) + "|" + Reference;
}

} // namespace AdvertLog_FN
