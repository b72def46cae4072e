// Plays a break of ten adverts on real cart players on the capture device, on virtual time,
// and reports for each join how far the next advert's first sample came out from where the
// segue rule puts it (positive: a gap, negative: an overlap), and the delay from the play
// command to the first sample. The output is the same on every run.
// Usage: break_benchmark. Output: one "key value" per line.
#include "support/BreakRig.h"

#include <QApplication>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kAdverts = 10;

// Lengths and segue points that fall at different places between position steps.
BreakRig::Advert MakeAdvert(int k) {
    BreakRig::Advert a;
    a.cart = 1001 + k;
    a.length = 3.0f + 0.37f * static_cast<float>(k);
    a.extro = a.length - 0.45f - 0.0173f * static_cast<float>(k);
    a.title = "Advert " + std::to_string(k + 1);
    a.reference = "BENCH" + std::to_string(k + 1);
    a.level = static_cast<int16_t>(1000 * (k + 1));
    return a;
}

bool AllPlayersEmpty(BreakRig::Rig& rig) {
    for (int16_t n = 1; n <= BreakRig::Rig::kPlayers; ++n)
        if (rig.Player(n).Status != CartPlayers::Empty) return false;
    return true;
}

double Ms(int64_t frames) {
    return static_cast<double>(frames) * 1000.0 / BreakRig::Rig::kRate;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("VNTZEL_HEADLESS", "1", 1);
    QApplication app(argc, argv);
    BreakRig::Rig rig;
    if (!rig.Open()) {
        std::fprintf(stderr, "break_benchmark: the audiowall or the players did not open\n");
        return 1;
    }
    std::vector<int32_t> carts;
    for (int k = 0; k < kAdverts; ++k) {
        BreakRig::Advert advert = MakeAdvert(k);
        if (!rig.AddAdvert(advert)) {
            std::fprintf(stderr, "break_benchmark: cart %d was not written\n", advert.cart);
            return 1;
        }
        carts.push_back(advert.cart);
    }
    rig.WriteLog({{36000, carts}});
    rig.CueBreak(36000);
    rig.PlayBreak();
    const bool completed = rig.RunUntil([&] { return rig.Completed(); }, 120000);
    rig.RunUntil([&] { return AllPlayersEmpty(rig); }, 10000);

    const std::vector<BreakRig::Sound> sounds = rig.Sounds();
    const std::vector<BreakRig::Join> joins = rig.Joins();
    std::printf("adverts %d\n", kAdverts);
    std::printf("adverts_sounded %zu\n", sounds.size());
    std::printf("completed %d\n", completed ? 1 : 0);
    std::printf("reconciled %zu\n", rig.RecLines().size());
    if (sounds.empty()) return 1;
    std::printf("play_to_first_sample_ms %.3f\n", Ms(sounds.front().first - rig.PlayFrame()));
    double worst = 0, total = 0;
    for (size_t k = 0; k < joins.size(); ++k) {
        const double gap = joins[k].GapMs(BreakRig::Rig::kRate);
        std::printf("join_%02zu_%02zu_ms %.3f\n", k + 1, k + 2, gap);
        worst = std::max(worst, std::fabs(gap));
        total += gap;
    }
    std::printf("join_max_abs_ms %.3f\n", worst);
    std::printf("join_mean_ms %.3f\n", joins.empty() ? 0.0 : total / joins.size());
    return completed && sounds.size() == static_cast<size_t>(kAdverts) ? 0 : 1;
}
