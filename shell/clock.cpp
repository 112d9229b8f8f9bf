#include "shell/clock.h"

#include <QCoreApplication>
#include <QDateTime>

namespace {
Clock* g_clock = nullptr;
RandomSource* g_random = nullptr;
}  // namespace

QDate Clock::today() const { return QDate::currentDate(); }

Clock& Clock::current() {
    static Clock own;
    return g_clock ? *g_clock : own;
}

void Clock::install(Clock* clock) { g_clock = clock; }

double RandomSource::draw() {
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_generator);
}

void RandomSource::seedFromClock() {
    m_generator.seed(static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch()) ^
                     static_cast<std::uint64_t>(QCoreApplication::applicationPid()));
}

RandomSource& RandomSource::current() {
    static RandomSource own;
    return g_random ? *g_random : own;
}

void RandomSource::install(RandomSource* source) { g_random = source; }
