// The record of the breaks done, as a damaged disk or an editor may leave it: any bytes load
// without harm, a break marked done is then done, and no time outside the day is.
#include "breaks/BreaksDone.h"
#include "breaks/BreaksState.h"
#include "breaks/ZEL_Common.h"
#include "main_window/ProgramContext.h"

#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    constexpr int32_t kDay = 46367;
    ProgramContext context;
    ContextScope scope(context);
    ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    split.LogDestinationDirectory = dir.path().toStdString();
    split.DateFormat = "YYMMDD";
    split.Extension = "LOG";
    const std::string file = BreaksDone::DoneFile(1, kDay);
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    const BreaksDone::AdvertKeys adverts = {{5, "D1-0"}, {7, "D1-0"}};
    for (float time : {0.0f, 36000.0f, 36000.4f, 86399.0f})
        BreaksDone::IsDone(1, kDay, time, adverts);
    if (BreaksDone::IsDone(1, kDay, -1.0f, adverts)) std::abort();
    BreaksDone::MarkDone(1, kDay, 3600.0f, adverts, "played");
    if (!BreaksDone::IsDone(1, kDay, 3600.0f, {})) std::abort();
    return 0;
}
