// A day of breaks played by the clock: 96 breaks (one every 15 minutes) of three adverts on
// real cart players on the capture device, in virtual time, the scheduler ticking every
// virtual second. Reports the breaks and adverts played, the reconciliation and error lines,
// the breaks played twice or skipped, and the wall time the day took.
// Usage: soak_benchmark. Output: one "key value" per line.
#include "support/BreakRig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

constexpr int kBreaks = 96;
constexpr double kFirstBreak = 450.0; // 00:07:30
constexpr double kBreakEvery = 900.0;

size_t LineCount(const std::string& file) {
    const std::string text = TestSupport::ReadBytes(file);
    size_t lines = 0;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ++lines;
    return lines;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("VNTZEL_HEADLESS", "1", 1);
    QApplication app(argc, argv);
    QElapsedTimer wall;
    wall.start();
    BreakRig::Rig rig;
    if (!rig.Open()) {
        std::fprintf(stderr, "soak_benchmark: the audiowall or the players did not open\n");
        return 1;
    }
    for (const BreakRig::Advert& a : {BreakRig::Advert{801, 1.0f, 0.805f, "One", "S1", 1000},
                                      BreakRig::Advert{802, 1.0f, 0.805f, "Two", "S2", 2000},
                                      BreakRig::Advert{803, 1.0f, 0.805f, "Three", "S3", 4000}})
        if (!rig.AddAdvert(a)) return 1;
    std::vector<std::pair<float, std::vector<int32_t>>> breaks;
    for (int k = 0; k < kBreaks; ++k)
        breaks.push_back({static_cast<float>(kFirstBreak + k * kBreakEvery), {801, 802, 803}});
    rig.WriteLog(breaks);
    rig.Settings().General.AutoPlayAdBreaks = 1;
    SplitEngine& engine = rig.Engine();
    ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    Platform::Clock::SetNow(BreakRig::Rig::kDay, 0.0);
    engine.CueNextBreak(false, false);

    std::map<float, int> plays; // break time -> times it started
    bool wasRunning = false;
    while (Platform::Clock::Now().day == BreakRig::Rig::kDay) {
        const bool running = Breaks::State().BreakRunning;
        if (running && !wasRunning) ++plays[split.CuedBreakTime];
        wasRunning = running;
        if (!running && split.CuedBreakTime < 0) break; // the day's last break is done
        // Between breaks the clock jumps to shortly before the next one.
        const double now = Platform::Clock::Now().seconds;
        if (!running && split.CuedBreakDate == BreakRig::Rig::kDay &&
            split.CuedBreakTime - now > 3.0)
            Platform::Clock::SetNow(BreakRig::Rig::kDay, split.CuedBreakTime - 2.5);
        rig.Run(1000);
        engine.tmrLogReload_Timer();
    }
    rig.Run(3000);

    int played = 0, doubled = 0;
    for (const auto& [time, count] : plays) {
        played += count;
        doubled += count - 1;
    }
    const int skipped = kBreaks - static_cast<int>(plays.size());
    const size_t completed = static_cast<size_t>(std::count(
        rig.sender.vantor.begin(), rig.sender.vantor.end(), std::string("AD_BREAK_COMPLETED")));
    std::printf("soak_breaks_played %d\n", played);
    std::printf("soak_breaks_completed %zu\n", completed);
    std::printf("soak_adverts_played %zu\n", rig.Sounds().size());
    std::printf("soak_rec_lines %zu\n", rig.RecLines().size());
    std::printf("soak_err_lines %zu\n", LineCount(ZEL_Specific::ErrorLogFile(1)));
    std::printf("soak_breaks_doubled_or_skipped %d\n", doubled + std::max(skipped, 0));
    std::printf("soak_wall_s %.1f\n", static_cast<double>(wall.elapsed()) / 1000.0);
    return played == kBreaks && doubled == 0 ? 0 : 1;
}
