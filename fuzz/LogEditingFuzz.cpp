// The working log's editing and display over arbitrary bytes: the first two bytes pick the
// file position, the rest is the log.
#include "breaks/BreaksState.h"
#include "breaks/LogDisplay.h"
#include "breaks/LogEditing.h"
#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Common.h"
#include "fuzz/FuzzApplication.h"
#include "main_window/ProgramContext.h"
#include "platform/FileNumbers.h"
#include "platform/WholeFile.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSupport::Application<QApplication>();
    static QTemporaryDir dir;
    if (size < 2) return 0;
    ProgramContext context;
    ContextScope scope(context);
    ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    split.LogDestinationDirectory = dir.path().toStdString();
    split.LogTXChainCode = size % 2 ? "NE" : "";
    const std::string path = split.LogDestinationDirectory + "/FUZZ.LOG";
    Platform::ReplaceWholeFile(path,
                               std::string(reinterpret_cast<const char*>(data) + 2, size - 2));
    if (!ZEL_Common::OpenLogFile(1, path)) return 0;
    const int32_t position = (data[0] | (data[1] << 8)) % static_cast<int32_t>(size + 4);
    SplitEngine engine;
    LogDisplay display(engine);
    display.DisplayedBreakPos = position;
    display.UpdateLog(9000, 50);
    ZEL_Common::RemoveAdvertFromLogFile(1, position);
    display.UpdateLog(9000, 50);
    ZEL_Common::CloseLogFile(1);
    Platform::FileNumbers::CloseAll();
    return 0;
}
