// The advert log through its line parsing and break navigation: the input is a day's log.
#include "breaks/AdvertLog_FN.h"
#include "breaks/BreaksState.h"
#include "breaks/CartTiming.h"
#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Common.h"
#include "fuzz/FuzzApplication.h"
#include "main_window/ProgramContext.h"
#include "platform/Clock.h"
#include "platform/FileNumbers.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdint>
#include <fstream>
#include <string>

namespace {

struct Setup {
    Setup() {
        app = &FuzzSupport::Application<QCoreApplication>();
        Platform::Clock::SetNow(46363, 12 * 3600.0);
        // Every cart number is a known cart of 20 s with its segue at 18 s.
        BreakCarts::SetCartReader([](int32_t, BreakCarts::CartTiming& timing) {
            timing = BreakCarts::CartTiming{20.0f, 18.0f};
            return static_cast<int16_t>(0);
        });
    }
    QCoreApplication* app;
    QTemporaryDir dir;
};

void ParseLines(const std::string& text) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        AdvertLog_FN::GetLineTime(line);
        AdvertLog_FN::GetLineChainCode(line);
        AdvertLog_FN::GetLineCartNumber(line);
        AdvertLog_FN::GetLineTitle(line);
        AdvertLog_FN::GetLineReference(line);
        AdvertLog_FN::BuildLogLine(
            AdvertLog_FN::GetLineTime(line), AdvertLog_FN::GetLineChainCode(line),
            AdvertLog_FN::GetLineCartNumber(line), AdvertLog_FN::GetLineTitle(line),
            AdvertLog_FN::GetLineReference(line), 30.0f, AdvertLog_FN::IsShortLogLine(line));
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    const std::string text(reinterpret_cast<const char*>(data), size);
    ParseLines(text);

    ProgramContext context;
    ContextScope scope(context);
    ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    split.Extension = "LOG";
    split.DateFormat = "YYMMDD";
    split.LogTXChainCode = size > 0 && data[0] & 1 ? "NE" : "";
    split.LogSourceDirectory = setup.dir.path().toStdString();
    split.LogDestinationDirectory = split.LogSourceDirectory;
    const std::string path =
        split.LogSourceDirectory + "/" + ZEL_Common::BuildLogFileName(1, 46363, false);
    std::ofstream(path, std::ios::binary) << text;

    SplitEngine engine;
    if (ZEL_Common::OpenLogFile(1, path)) {
        split.LoadedLogDate = 46363;
        engine.GetPreviousAdBreakFilePos(86400);
        engine.GetFileBreakLength(46363, engine.GetAdBreakTime(1));
        engine.SetCurrentAdBreakTime(46363, 0, false, false);
        for (int i = 0; i < 8 && split.LoadedLogDate == 46363; ++i)
            engine.CueNextBreak(false, false);
        engine.CuePreviousBreak(false);
        engine.ReCueCurrentBreak(false);
        ZEL_Common::GetAdBreakStartFilePos(1, static_cast<int32_t>(size / 2));
    }
    Platform::FileNumbers::CloseAll();
    return 0;
}
