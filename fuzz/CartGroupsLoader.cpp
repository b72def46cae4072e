// The cart-group sections of a settings file: any bytes load without harm, and every value
// lands inside its range.
#include "breaks/ZEL_Specific_CartGroups.h"
#include "main_window/ProgramContext.h"

#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const std::string ini = dir.path().toStdString() + "/VNTZEL.INI";
    std::ofstream(ini, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    ProgramContext context;
    ContextScope scope(context);
    ZEL_Specific::LoadCartGroups(ini);
    for (const std::string& caption : context.CartGroups.CartGroupPageDescription)
        if (caption.size() > 254) std::abort();
    for (Breaks::CartGroupRecord& group : context.CartGroups.CartGroups) {
        if (group.LastItemPlayed < 0 || group.LastItemPlayed > Breaks::kCartGroupSlots ||
            group.NumberOfCarts < 0 || group.NumberOfCarts > Breaks::kCartGroupSlots ||
            group.Description.size() > 254)
            std::abort();
        // Every choice stays inside the slots.
        for (Breaks::ItemPurpose purpose :
             {Breaks::ItemPurpose::Cue, Breaks::ItemPurpose::Play, Breaks::ItemPurpose::Length}) {
            const int16_t item = Breaks::ChooseNextItem(group, purpose);
            if (item < 1 || item > Breaks::kCartGroupSlots) std::abort();
        }
    }
    return 0;
}
