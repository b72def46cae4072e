// The log viewer's reading of a day's advert log over arbitrary bytes.
#include "breaks/BreaksState.h"
#include "browsing/LogViewerEngine.h"
#include "fuzz/FuzzApplication.h"
#include "platform/VB.h"

#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSupport::Application<QCoreApplication>();
    static QTemporaryDir dir;
    static const int32_t day = VB::DateSerial(2026, 12, 8);
    ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    split.LogDestinationDirectory = dir.path().toStdString();
    split.DateFormat = "yyyymmdd";
    split.Extension = "LOG";
    {
        std::ofstream out(dir.path().toStdString() + "/20261208.LOG", std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Browsing::LogViewerEngine viewer;
    viewer.DisplayLog(day, size > 0 ? static_cast<float>(data[0]) * 300 : 0);
    (void)viewer.ToPrintList();
    return 0;
}
