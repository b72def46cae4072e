// Plays a break of ten adverts on real cart players. First on the capture device, on virtual
// time: for each join how far the next advert's first sample came out from where the segue
// rule puts it (positive: a gap, negative: an overlap), and the delay from the play command to
// the first sample; that part is the same on every run. Then three times on the clocked null
// device in real time: the gap at every join from the devices' own frame counts, and the delay
// from the play command of a cued player to its first frame (medians of the runs).
// Usage: break_benchmark. Output: one "key value" per line.
#include "support/BreakRig.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
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

using SteadyClock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool AddAdverts(BreakRig::Rig& rig, std::vector<int32_t>& carts) {
    for (int k = 0; k < kAdverts; ++k) {
        BreakRig::Advert advert = MakeAdvert(k);
        if (!rig.AddAdvert(advert)) {
            std::fprintf(stderr, "break_benchmark: cart %d was not written\n", advert.cart);
            return false;
        }
        carts.push_back(advert.cart);
    }
    return true;
}

// One real-time run's figures, in milliseconds.
struct RealTimeRun {
    std::vector<double> gaps;   // next advert's first frame less the segue point
    std::vector<double> delays; // play command of a cued player to its first frame
};

// The break on the null devices in real time. Each advert's first frame is placed from its
// player's device position read shortly after the play command: start = now - frames / rate.
bool RunRealTime(RealTimeRun& run) {
    BreakRig::Rig rig;
    std::vector<int32_t> carts;
    if (!rig.Open("null,null") || !AddAdverts(rig, carts)) return false;
    rig.WriteLog({{36000, carts}});
    rig.CueBreak(36000);
    rig.PlayBreak();
    std::vector<double> starts; // seconds after the first play command
    const auto sample = [&] {
        const auto& plays = rig.Plays();
        if (starts.size() >= plays.size()) return;
        const auto& play = plays[starts.size()];
        const SteadyClock::time_point now = SteadyClock::now();
        if (now - play.at < std::chrono::milliseconds(30)) return;
        FlennPlayer* control = rig.Player(play.player).Player;
        const double frames = control ? control->Engine().BlocksPlayed() : 0;
        starts.push_back(std::chrono::duration<double>(now - plays.front().at).count() -
                         frames / BreakRig::Rig::kRate);
    };
    const bool completed = rig.RunRealTime(
        [&] {
            sample();
            return rig.Completed();
        },
        120000);
    rig.RunRealTime([&] { return AllPlayersEmpty(rig); }, 10000);
    const auto& plays = rig.Plays();
    for (size_t k = 1; k < starts.size(); ++k) {
        const double segue = starts[k - 1] + rig.AdvertOf(plays[k - 1].cart).extro;
        run.gaps.push_back((starts[k] - segue) * 1000);
        const double given = std::chrono::duration<double>(plays[k].at - plays.front().at).count();
        run.delays.push_back((starts[k] - given) * 1000);
    }
    return completed && starts.size() == static_cast<size_t>(kAdverts);
}

bool ReportRealTime(int runs) {
    std::vector<double> minimum, median, maximum, maxAbs, delay, delayMax;
    bool ok = true;
    for (int r = 0; r < runs; ++r) {
        RealTimeRun run;
        ok = RunRealTime(run) && ok;
        if (run.gaps.empty()) return false;
        const auto [low, high] = std::minmax_element(run.gaps.begin(), run.gaps.end());
        minimum.push_back(*low);
        maximum.push_back(*high);
        maxAbs.push_back(std::max(std::fabs(*low), std::fabs(*high)));
        median.push_back(Median(run.gaps));
        delay.push_back(Median(run.delays));
        delayMax.push_back(*std::max_element(run.delays.begin(), run.delays.end()));
    }
    std::printf("realtime_runs %d\n", runs);
    std::printf("realtime_join_min_ms %.3f\n", Median(minimum));
    std::printf("realtime_join_median_ms %.3f\n", Median(median));
    std::printf("realtime_join_max_ms %.3f\n", Median(maximum));
    std::printf("realtime_join_max_abs_ms %.3f\n", Median(maxAbs));
    std::printf("realtime_play_to_first_frame_ms %.3f\n", Median(delay));
    std::printf("realtime_play_to_first_frame_max_ms %.3f\n", Median(delayMax));
    return ok;
}

bool ReportVirtualTime() {
    BreakRig::Rig rig;
    if (!rig.Open()) {
        std::fprintf(stderr, "break_benchmark: the audiowall or the players did not open\n");
        return false;
    }
    std::vector<int32_t> carts;
    if (!AddAdverts(rig, carts)) return false;
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
    if (sounds.empty()) return false;
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
    return completed && sounds.size() == static_cast<size_t>(kAdverts);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("VNTZEL_HEADLESS", "1", 1);
    QApplication app(argc, argv);
    const bool virtualTime = ReportVirtualTime();
    const bool realTime = ReportRealTime(3);
    return virtualTime && realTime ? 0 : 1;
}
