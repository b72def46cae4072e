// Four players on the clocked null device in real time: the CPU time of the process (user and
// system, from getrusage) per second while they play MPEG layer II 48 kHz stereo, PCM 48 kHz
// and PCM 44.1 kHz files, and while they stand idle with a file cued. Each kind runs three
// times; the figures are the medians.
// Usage: players_benchmark [seconds per run, default 30] [only the keys containing this text].
// Output: one "key value" per line.
#include "player_controls/FlennPlayer.h"
#include "support/WavBuild.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sys/resource.h>

namespace {

constexpr int kPlayers = 4;
constexpr int kRuns = 3;

double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void RunFor(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ToneWav(const std::string& path, uint32_t rate, double seconds) {
    const auto frames = static_cast<size_t>(rate * seconds);
    WriteFile(path, WavFixtures::PcmWav(2, rate, WavFixtures::Sine(2, rate, frames, 440.0)));
    return path;
}

// Layer II at 256 kbit/s, encoded from a 48 kHz tone.
std::string Mp2Wav(const QTemporaryDir& dir, double seconds) {
    const std::string pcm = ToneWav(dir.filePath("mp2source.wav").toStdString(), 48000, seconds);
    const std::string mp2 = dir.filePath("tone.mp2").toStdString();
    const std::string command = "twolame --quiet -b 256 '" + pcm + "' '" + mp2 + "'";
    if (std::system(command.c_str()) != 0) return {};
    const std::string path = dir.filePath("mp2.wav").toStdString();
    WriteFile(path, WavFixtures::MpegWav(ReadFile(mp2), 2, 48000, 256000));
    return path;
}

// CPU milliseconds per second with four players on the file, playing or cued.
double Run(const std::string& file, bool play, double seconds) {
    std::vector<std::unique_ptr<FlennPlayer>> players;
    for (int k = 0; k < kPlayers; ++k) {
        auto player = std::make_unique<FlennPlayer>();
        player->InitProperties();
        player->SetReportErrors(false);
        std::string name = file;
        if (player->OpenAudio(name) != 0) return -1;
        player->CueAudio();
        players.push_back(std::move(player));
    }
    RunFor(0.2); // the cues fill the streams
    const double start = CpuMs();
    if (play)
        for (auto& player : players)
            player->PlayAudio();
    RunFor(seconds);
    const double used = CpuMs() - start;
    for (auto& player : players)
        if (play && player->Status() != epsPlaying) return -1;
    return used / seconds;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    setenv("VNTZEL_WAVE_OUT_DEVICES", "null", 1);
    setenv("VNTZEL_HEADLESS", "1", 1);
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 30.0;
    const std::string only = argc > 2 ? argv[2] : "";
    QTemporaryDir dir;
    const double length = seconds + 2;
    // Files are made only for the kinds that run.
    const std::string pcm44 = dir.filePath("pcm44.wav").toStdString();
    struct Kind {
        const char* key;
        std::function<std::string()> make;
        bool play;
    };
    const Kind kinds[] = {
        {"players4_mp2_cpu_ms_per_s", [&] { return Mp2Wav(dir, length); }, true},
        {"players4_pcm48_cpu_ms_per_s",
         [&] { return ToneWav(dir.filePath("pcm48.wav").toStdString(), 48000, length); }, true},
        {"players4_pcm44_cpu_ms_per_s", [&] { return ToneWav(pcm44, 44100, length); }, true},
        {"players4_idle_cpu_ms_per_s", [&] { return ToneWav(pcm44, 44100, length); }, false},
    };
    bool ok = true;
    std::printf("players4_seconds_per_run %.0f\n", seconds);
    for (const Kind& kind : kinds) {
        if (std::string(kind.key).find(only) == std::string::npos) continue;
        const std::string file = kind.make();
        std::vector<double> runs;
        for (int r = 0; r < kRuns; ++r)
            runs.push_back(file.empty() ? -1 : Run(file, kind.play, seconds));
        ok = ok && *std::min_element(runs.begin(), runs.end()) >= 0;
        std::printf("%s %.3f\n", kind.key, Median(runs));
        std::fflush(stdout);
    }
    return ok ? 0 : 1;
}
