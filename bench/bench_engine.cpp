// Reports the engine's lookup speed: nanoseconds per GetChineseSign and
// GetChineseElement over every day of the calendar, and per
// GetCompatibilityScore over every ordered pair. Not part of the test run.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/modchinesezodiac.h"

namespace {

using Clock = std::chrono::steady_clock;

// Keeps the optimiser from dropping work whose result is otherwise unused.
volatile std::size_t g_sink = 0;

template <typename F>
double BestNanosPerCall(std::size_t callsPerRound, F&& round) {
    double best = 1e300;
    for (int i = 0; i < 15; ++i) {
        const auto t0 = Clock::now();
        round();
        const auto t1 = Clock::now();
        best = std::min(best, std::chrono::duration<double, std::nano>(t1 - t0).count() /
                                  static_cast<double>(callsPerRound));
    }
    return best;
}

}  // namespace

int main() {
    using namespace std::chrono;
    std::vector<year_month_day> days;
    for (sys_days d = sys_days{zodiac::ChineseYearTable.front().Start};
         d <= sys_days{zodiac::ChineseYearTable.back().End}; d += std::chrono::days{1})
        days.emplace_back(d);

    zodiac::modchinesezodiac engine;
    const double sign = BestNanosPerCall(days.size(), [&] {
        std::size_t n = 0;
        for (const auto& d : days) n += engine.GetChineseSign(d).size();
        g_sink = g_sink + n;
    });
    const double element = BestNanosPerCall(days.size(), [&] {
        std::size_t n = 0;
        for (const auto& d : days) n += engine.GetChineseElement(d).size();
        g_sink = g_sink + n;
    });
    constexpr int kRepeat = 1000;
    const double score = BestNanosPerCall(144 * kRepeat, [&] {
        std::size_t n = 0;
        for (int r = 0; r < kRepeat; ++r)
            for (auto a : zodiac::ChineseSign)
                for (auto b : zodiac::ChineseSign)
                    n += static_cast<std::size_t>(engine.GetCompatibilityScore(a, b));
        g_sink = g_sink + n;
    });

    const double goal = 25.0;
    std::printf("%-34s %12s %8s\n", "lookup", "ns per call", "goal");
    std::printf("%-34s %12.2f %8s\n", "GetChineseSign (every day)", sign,
                sign < goal ? "met" : "MISSED");
    std::printf("%-34s %12.2f %8s\n", "GetChineseElement (every day)", element,
                element < goal ? "met" : "MISSED");
    std::printf("%-34s %12.2f %8s\n", "GetCompatibilityScore (all pairs)", score,
                score < goal ? "met" : "MISSED");
    std::printf("(%zu days, best of 15 rounds; goal: under %.0f ns per lookup)\n", days.size(),
                goal);
    return 0;
}
