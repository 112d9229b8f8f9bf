// Today's date and the random draw, as small objects a test can replace.
#pragma once

#include <QDate>

#include <random>

// Today's date; the program's own reads the system clock.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDate today() const;

    // The clock in use: the program's own unless a test installed another
    // (not owned; nullptr restores the program's own).
    static Clock& current();
    static void install(Clock* clock);
};

// The random draw in [0, 1); the program's own is seeded from the clock at
// start-up.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual double draw();
    void seedFromClock();

    // The draw in use, installed as the clock is.
    static RandomSource& current();
    static void install(RandomSource* source);

  private:
    std::mt19937_64 m_generator;
};
