// The split window over real cart players on the capture device: the 10:00 break cued (a
// yellow frame) and the same break playing (a green frame, the countdown running).
#include "Screenshots.h"

#include "support/BreakRig.h"

#include "breaks/frmSplit.h"

namespace {

std::unique_ptr<BreakRig::Rig> rig;

QWidget* MakeSplitWindow() {
    rig = std::make_unique<BreakRig::Rig>();
    if (!rig->Open()) return nullptr;
    const BreakRig::Advert adverts[] = {{801, 30, 29, "Harbour Motors Spring Sale", "", 1000},
                                        {802, 20, 19, "City Bakery", "", 2000},
                                        {803, 10, 9.5f, "Station Promo", "", 3000},
                                        {901, 30, 29, "Garden Centre", "", 4000},
                                        {902, 40, 39, "Lakeside Dental", "", 5000}};
    for (const BreakRig::Advert& a : adverts)
        rig->AddAdvert(a);
    rig->WriteLog({{36000, {801, 802, 803}}, {39600, {901, 902}}, {43200, {803, 801}}});
    rig->Settings().General.CueAdBreaksImmediately = 1;
    auto* window = new frmSplit(rig->Engine());
    window->resize(900, 520);
    window->Form_Load();
    return window;
}

void Dispose(QWidget* window) {
    static_cast<frmSplit*>(window)->Unload();
    delete window;
    rig.reset();
}

Screenshots::Register cued({"SplitWindowCued", MakeSplitWindow, {}, Dispose});

Screenshots::Register playing({"SplitWindowPlaying", MakeSplitWindow,
                               [](QWidget*) {
                                   rig->PlayBreak();
                                   rig->Run(12000);
                               },
                               Dispose});

} // namespace
