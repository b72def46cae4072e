#include "carts/Audio_Player_FN.h"

#include "carts/Vantor_Cart_Routines.h"
#include "carts/Vantor_Cart_Routines_Internal.h"
#include "core/GeneralFunctions.h"
#include "platform/Clock.h"
#include "platform/VB.h"

namespace Audio_Player_FN {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr double kEarliestPlay = 30000; // a date after 18 February 1982

std::string Label(const std::string& label) {
    return VB::FixedLength(label, 18) + ": ";
}

std::string Time(float seconds) {
    return VB::Trim(GeneralFunctions::FormatDuration(seconds, 1));
}

} // namespace

std::string CartInfoReportText(int32_t cartNumber, const Vantor_Cart_Routines::CartRecord& rec) {
    std::string text;
    auto line = [&](const std::string& s) { text += s + kLineEnd; };
    line(Label("Cart Number") + std::to_string(cartNumber));
    line(Label("Description") + VB::Trim(rec.Description1));
    line(Label("") + VB::Trim(rec.Description2));
    line(Label("") + VB::Trim(rec.Description3));
    line("");
    line(Label("Intro Start") + Time(rec.IntroStart));
    line(Label("Intro End") + Time(rec.IntroEnd));
    line(Label("(Intro Length)") + Time(rec.IntroEnd - rec.IntroStart));
    line(Label("Extro") + Time(rec.Extro));
    line(Label("Length") + Time(rec.TotalLength));
    line("");
    const double now = Platform::Clock::NowSerial();
    for (int k = 1; k <= 5; ++k) {
        std::string entry = VB::FixedLength("Last Play " + std::to_string(k), 18) + ":";
        double played = rec.LastPlayed[static_cast<size_t>(k - 1)];
        // Play places live in a list this system never opens, so no place name follows.
        if (played > kEarliestPlay && played < now)
            entry += " " + VB::FormatDate(played, "hh:mm:ss    dd mmm yyyy");
        line(entry);
    }
    return text;
}

void BuildCartInfoReport(int32_t& cartNumber, const ReportViewer& show) {
    if (!Vantor_Cart_Routines::Internal::IsValidCart(cartNumber)) return;
    Vantor_Cart_Routines::CartRecord rec;
    Vantor_Cart_Routines::ReadCart(rec, cartNumber);
    if (rec.TotalLength == -1) return;
    show(CartInfoReportText(cartNumber, rec));
}

} // namespace Audio_Player_FN
