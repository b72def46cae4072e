// The serial I/O card's receive handler over arbitrary bytes from the card.
#include "fuzz/FuzzApplication.h"
#include "hardware/SerialIOCard.h"
#include "main_window/ProgramContext.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSupport::Application<QCoreApplication>();
    static ProgramContext context;
    static ContextScope scope(context);
    static bool configured = [] {
        HardwareAPI::HardwareCard& card = HardwareAPI::Card(1);
        card.CardType = HardwareAPI::CardSerialIO;
        card.TotalLines = 8;
        for (int k = 1; k <= 8; ++k) {
            card.Line(k).LineType = k <= 4 ? 0 : 1;
            card.Line(k).ActiveLow = k % 2 ? -1 : 0;
        }
        return true;
    }();
    (void)configured;
    static HardwareManager::SerialIOCard serialCard(1);
    serialCard.Receive(std::string(reinterpret_cast<const char*>(data), size));
    if (serialCard.SerialCardBuffer().size() > HardwareManager::SerialIOCard::kBufferLimit)
        __builtin_trap();
    return 0;
}
