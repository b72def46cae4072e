// The cart-group sections of a settings file: any bytes load without harm, every value lands
// inside its range, and a save of what was loaded reloads to the same records.
#include "breaks/ZEL_Specific_CartGroups.h"
#include "main_window/ProgramContext.h"

#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

bool Same(const Breaks::CartGroupRecord& a, const Breaks::CartGroupRecord& b) {
    return a.CartNumbers == b.CartNumbers && a.Mute == b.Mute &&
           (a.SelectionMode == 1) == (b.SelectionMode == 1) &&
           (a.PlayoutMode == 1) == (b.PlayoutMode == 1) && a.CheckAgainstAds == b.CheckAgainstAds &&
           a.NumberOfCarts == b.NumberOfCarts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const std::string ini = dir.path().toStdString() + "/VNTZEL.INI";
    const std::string copy = dir.path().toStdString() + "/COPY.INI";
    std::ofstream(ini, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    ProgramContext loaded;
    ContextScope scope(loaded);
    ZEL_Specific::LoadCartGroups(ini);
    for (const Breaks::CartGroupRecord& group : loaded.CartGroups.CartGroups) {
        if (group.LastItemPlayed < 0 || group.LastItemPlayed > Breaks::kCartGroupSlots ||
            group.NumberOfCarts < 0 || group.NumberOfCarts > Breaks::kCartGroupSlots ||
            group.Description.size() > 254)
            std::abort();
    }
    std::remove(copy.c_str());
    ZEL_Specific::SaveCartGroups(copy);

    ProgramContext reloaded;
    ContextScope again(reloaded);
    ZEL_Specific::LoadCartGroups(copy);
    for (size_t g = 0; g < loaded.CartGroups.CartGroups.size(); ++g) {
        const Breaks::CartGroupRecord& a = loaded.CartGroups.CartGroups[g];
        const Breaks::CartGroupRecord& b = reloaded.CartGroups.CartGroups[g];
        // Negative cart numbers are not saved; everything else comes back.
        if (a.CartNumbers == b.CartNumbers && !Same(a, b)) std::abort();
    }
    return 0;
}
