#include "breaks/AdvertLog_FN.h"

#include "breaks/CartTiming.h"
#include "core/GeneralFunctions.h"
#include "platform/VB.h"

#include <cmath>

using VB::Mid;

namespace AdvertLog_FN {
namespace {

// Column layout of one form: widths of time, chain, cart, title and length.
struct LineForm {
    int16_t time, chain, cart, title, length;
};
constexpr LineForm kFull{8, 4, 8, 30, 4};
constexpr LineForm kShort{5, 4, 4, 30, 3};

// A whole number of a numeric column; a value too large for a Long counts as no number.
int32_t WholeNumber(double value) {
    return VB::CLng(value).value_or(0);
}

std::string PadLeft(const std::string& text, int16_t width) {
    std::string copy = text;
    return GeneralFunctions::PadLeft(copy, width, " ");
}

} // namespace

bool IsShortLogLine(const std::string& Line) {
    return Line.size() >= 6 && Line[5] == '|';
}

std::string NormaliseLogLine(const std::string& Line) {
    if (!IsShortLogLine(Line)) return Line;
    return VB::Left(Line, 5) + ":00" + Mid(Line, 6, 6) + "    " + Mid(Line, 12, 36) + " " +
           Mid(Line, 48);
}

float GetLineTime(const std::string& Line) {
    if (Line.empty()) return -1.0f;
    std::string full = NormaliseLogLine(Line);
    double seconds =
        VB::Val(Mid(full, 1, 2)) * 3600 + VB::Val(Mid(full, 4, 2)) * 60 + VB::Val(Mid(full, 7, 2));
    return static_cast<float>(seconds);
}

std::string GetLineChainCode(const std::string& Line) {
    if (Line.empty()) return "";
    return VB::UCase(VB::Trim(Mid(NormaliseLogLine(Line), 10, 4)));
}

int32_t GetLineCartNumber(const std::string& Line) {
    if (Line.empty()) return 0;
    return WholeNumber(VB::Val(Mid(NormaliseLogLine(Line), 15, 8)));
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
    // The whole seconds of the time, not rounded: 23:59:59.6 stays in its day.
    std::string timeText =
        VB::Left(GeneralFunctions::FormatDuration(std::floor(static_cast<double>(Time)), 2), 8);
    if (Length < 0) {
        BreakCarts::CartTiming timing;
        BreakCarts::ReadCartTiming(CartNumber, timing);
        Length = timing.Extro;
    }
    using GeneralFunctions::PadRight;
    return PadRight(timeText, form.time, " ") + "|" + PadRight(ChainCode, form.chain, " ") + "|" +
           PadLeft(std::to_string(CartNumber), form.cart) + "|" + PadRight(Title, form.title, " ") +
           "|" + PadLeft(std::to_string(WholeNumber(Length)), form.length) + "|" + Reference;
}

} // namespace AdvertLog_FN
