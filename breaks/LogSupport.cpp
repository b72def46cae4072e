#include "breaks/LogSupport.h"

#include "platform/Clock.h"
#include "platform/Files.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace LogSupport {

std::string SingleText(float value) {
    if (!std::isfinite(value)) return "0";
    char buf[64];
    // The fewest significant digits (at most seven) that give the value back.
    int digits = 1;
    for (; digits < 7; ++digits) {
        auto res =
            std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
        float back = 0.0f;
        std::from_chars(buf, res.ptr, back);
        if (back == value) break;
    }
    if (std::fabs(value) >= 1e7f) {
        auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
        return std::string(buf, res.ptr);
    }
    // Plain digits: as many decimals as the significant digits reach below the point.
    auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
    const char* e = std::find(buf, res.ptr, 'e');
    int exponent = 0;
    if (e != res.ptr) std::from_chars(e + (e[1] == '+' ? 2 : 1), res.ptr, exponent);
    int decimals = std::max(0, digits - 1 - exponent);
    res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    std::string text(buf, res.ptr);
    // Seven digits that do not give the value back still lose their trailing zeros.
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

bool FileModifiedStamp(const std::string& path, GeneralFunctions::TimeStamp& stamp,
                       int& errorNumber) {
    QFileInfo info(QString::fromStdString(Platform::ResolveExisting(path)));
    if (!info.exists()) {
        errorNumber = Platform::errFileNotFound;
        return false;
    }
    QDateTime when = info.lastModified();
    stamp.Day =
        Platform::Clock::SerialOfDate(when.date().year(), when.date().month(), when.date().day());
    stamp.Seconds = static_cast<float>(when.time().msecsSinceStartOfDay() / 1000);
    errorNumber = 0;
    return true;
}

} // namespace LogSupport
