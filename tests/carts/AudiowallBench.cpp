// Connects an audiowall of 10,000 carts and reads every record once. Disabled in normal runs;
// scripts/bench-audiowall.sh runs it and reports the time and peak memory.
#include "CartsFixture.h"

#include <chrono>
#include <cstdio>
#include <sys/resource.h>

using namespace Vantor_Cart_Routines;

namespace {

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class AudiowallBench : public CartsTest::AudiowallTest {};

} // namespace

TEST_F(AudiowallBench, DISABLED_ConnectAndReadEveryCart) {
    Settings().Audio.NoCarts = 10000;
    for (int p = 1; p <= 10; ++p)
        UseFolder("part" + std::to_string(p), p, p);

    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(ConnectAudiowallParts(0, true), 0);
    double createMs = MillisecondsSince(start);

    // Give every cart a record, as a full wall has.
    for (int32_t cart = 1; cart <= 10000; ++cart) {
        CartRecord rec;
        rec.Description1 = CartsTest::Padded("Cart " + std::to_string(cart));
        rec.TotalLength = static_cast<float>(cart % 300) + 1;
        ASSERT_EQ(WriteCart(rec, cart, true, false), 0);
    }
    CloseAudiowallParts();

    start = std::chrono::steady_clock::now();
    ASSERT_EQ(ConnectAudiowallParts(0, true), 0);
    double connectMs = MillisecondsSince(start);

    start = std::chrono::steady_clock::now();
    double total = 0;
    for (int32_t cart = 1; cart <= 10000; ++cart) {
        CartRecord rec;
        ASSERT_EQ(ReadCart(rec, cart), 0);
        total += rec.TotalLength;
    }
    double readMs = MillisecondsSince(start);
    EXPECT_GT(total, 0);

    std::printf("audiowall: create and pad 10 lists %.1f ms, connect %.1f ms, "
                "read 10000 carts %.1f ms (%.2f us a cart), peak memory %ld KiB\n",
                createMs, connectMs, readMs, readMs * 1000 / 10000, PeakKilobytes());
}
