#include "breaks/LogSupport.h"

#include "platform/Clock.h"
#include "platform/Files.h"

#include <QDateTime>
#include <QFileInfo>
#include <charconv>
#include <cmath>

namespace LogSupport {

std::string SingleText(float value) {
    char buf[64];
    // Plain digits for the values in use (times, lengths); an exponent only for huge ones.
    auto format = std::fabs(value) < 1e7f ? std::chars_format::fixed : std::chars_format::general;
    auto res = std::to_chars(buf, buf + sizeof buf, value, format);
    return std::string(buf, res.ptr);
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
