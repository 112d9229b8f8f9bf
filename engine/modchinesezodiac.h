// The zodiac engine: the Chinese year calendar, the compatibility scores and
// the rating phrases. Plain C++20, no Qt; no function here throws.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zodiac {

// The twelve animal signs, index 0 to 11. Signs travel as these names.
inline constexpr std::array<std::string_view, 12> ChineseSign{
    "Rat",   "Ox",   "Tiger",  "Rabbit",  "Dragon", "Snake",
    "Horse", "Goat", "Monkey", "Rooster", "Dog",    "Pig"};

// The five elements. Elements travel as these names.
inline constexpr std::array<std::string_view, 5> ChineseElement{"Metal", "Water", "Wood", "Fire",
                                                                "Earth"};

// One person as entered: the trimmed name, the date as shown ("5 March 1975")
// and the date itself, which is all the calendar reads.
struct PersonDetails {
    std::string Name;
    std::string BirthDateText;
    std::chrono::year_month_day BirthDate;
};

// The rating of one pair. Score is 2 to 10, or 0 when a sign is unknown.
struct CompatibilityResult {
    std::int16_t Score = 0;
    std::string Percentage, Rating, MatchingDescription;
    bool operator==(const CompatibilityResult&) const = default;
};

// The profile of one sign: thirteen texts, in this order.
struct SignProfile {
    std::string RulingPlanet, PositiveTraits, NegativeTraits, MostCompatibleSign,
        LeastCompatibleSign, LuckyColour, GemStone, Energy, LuckySeasons, LuckyMonth, FamousPersons,
        WesternZodiacSign, LuckyNumber;
    bool operator==(const SignProfile&) const = default;
};

struct RatingRow {
    std::string_view Percentage;
    std::string_view Rating;
};

// Percentage and rating phrase of a score; no row outside 2..10.
std::optional<RatingRow> RatingTable(std::int16_t Score);

// One Chinese year: its first and last Gregorian day, both inclusive.
struct ChineseYear {
    std::chrono::year_month_day Start;
    std::chrono::year_month_day End;
};

// Row r stands for the Chinese year that begins in the Gregorian year 1935 + r.
// Row 0 is the Wood Pig year that began on 4 February 1935: the Chinese New Year
// of 1936 fell on 24 January, so 1 to 23 January 1936 (the first days the input
// window offers) still belong to it. Row 1, the Fire Rat, starts on that day.
inline constexpr int kFirstChineseYear = 1935;
namespace detail {
constexpr std::chrono::year_month_day Day(int y, unsigned m, unsigned d) {
    return std::chrono::year_month_day{std::chrono::year{y}, std::chrono::month{m},
                                       std::chrono::day{d}};
}
}  // namespace detail

inline constexpr std::array<ChineseYear, 85> ChineseYearTable{{
    {detail::Day(1935, 2, 4), detail::Day(1936, 1, 23)},
    {detail::Day(1936, 1, 24), detail::Day(1937, 2, 10)},
    {detail::Day(1937, 2, 11), detail::Day(1938, 1, 30)},
    {detail::Day(1938, 1, 31), detail::Day(1939, 2, 18)},
    {detail::Day(1939, 2, 19), detail::Day(1940, 2, 7)},
    {detail::Day(1940, 2, 8), detail::Day(1941, 1, 26)},
    {detail::Day(1941, 1, 27), detail::Day(1942, 2, 14)},
    {detail::Day(1942, 2, 15), detail::Day(1943, 2, 4)},
    {detail::Day(1943, 2, 5), detail::Day(1944, 1, 24)},
    {detail::Day(1944, 1, 25), detail::Day(1945, 2, 12)},
    {detail::Day(1945, 2, 13), detail::Day(1946, 2, 1)},
    {detail::Day(1946, 2, 2), detail::Day(1947, 1, 21)},
    {detail::Day(1947, 1, 22), detail::Day(1948, 2, 9)},
    {detail::Day(1948, 2, 10), detail::Day(1949, 1, 28)},
    {detail::Day(1949, 1, 29), detail::Day(1950, 2, 16)},
    {detail::Day(1950, 2, 17), detail::Day(1951, 2, 5)},
    {detail::Day(1951, 2, 6), detail::Day(1952, 1, 26)},
    {detail::Day(1952, 1, 27), detail::Day(1953, 2, 13)},
    {detail::Day(1953, 2, 14), detail::Day(1954, 2, 2)},
    {detail::Day(1954, 2, 3), detail::Day(1955, 1, 23)},
    {detail::Day(1955, 1, 24), detail::Day(1956, 2, 11)},
    {detail::Day(1956, 2, 12), detail::Day(1957, 1, 30)},
    {detail::Day(1957, 1, 31), detail::Day(1958, 2, 17)},
    {detail::Day(1958, 2, 18), detail::Day(1959, 2, 7)},
    {detail::Day(1959, 2, 8), detail::Day(1960, 1, 27)},
    {detail::Day(1960, 1, 28), detail::Day(1961, 2, 14)},
    {detail::Day(1961, 2, 15), detail::Day(1962, 2, 4)},
    {detail::Day(1962, 2, 5), detail::Day(1963, 1, 24)},
    {detail::Day(1963, 1, 25), detail::Day(1964, 2, 12)},
    {detail::Day(1964, 2, 13), detail::Day(1965, 2, 1)},
    {detail::Day(1965, 2, 2), detail::Day(1966, 1, 20)},
    {detail::Day(1966, 1, 21), detail::Day(1967, 2, 8)},
    {detail::Day(1967, 2, 9), detail::Day(1968, 1, 29)},
    {detail::Day(1968, 1, 30), detail::Day(1969, 2, 16)},
    {detail::Day(1969, 2, 17), detail::Day(1970, 2, 5)},
    {detail::Day(1970, 2, 6), detail::Day(1971, 1, 26)},
    {detail::Day(1971, 1, 27), detail::Day(1972, 2, 14)},
    {detail::Day(1972, 2, 15), detail::Day(1973, 2, 2)},
    {detail::Day(1973, 2, 3), detail::Day(1974, 1, 22)},
    {detail::Day(1974, 1, 23), detail::Day(1975, 2, 10)},
    {detail::Day(1975, 2, 11), detail::Day(1976, 1, 30)},
    {detail::Day(1976, 1, 31), detail::Day(1977, 2, 17)},
    {detail::Day(1977, 2, 18), detail::Day(1978, 2, 6)},
    {detail::Day(1978, 2, 7), detail::Day(1979, 1, 27)},
    {detail::Day(1979, 1, 28), detail::Day(1980, 2, 15)},
    {detail::Day(1980, 2, 16), detail::Day(1981, 2, 4)},
    {detail::Day(1981, 2, 5), detail::Day(1982, 1, 24)},
    {detail::Day(1982, 1, 25), detail::Day(1983, 2, 12)},
    {detail::Day(1983, 2, 13), detail::Day(1984, 2, 1)},
    {detail::Day(1984, 2, 2), detail::Day(1985, 2, 19)},
    {detail::Day(1985, 2, 20), detail::Day(1986, 2, 8)},
    {detail::Day(1986, 2, 9), detail::Day(1987, 1, 28)},
    {detail::Day(1987, 1, 29), detail::Day(1988, 2, 16)},
    {detail::Day(1988, 2, 17), detail::Day(1989, 2, 5)},
    {detail::Day(1989, 2, 6), detail::Day(1990, 1, 26)},
    {detail::Day(1990, 1, 27), detail::Day(1991, 2, 14)},
    {detail::Day(1991, 2, 15), detail::Day(1992, 2, 3)},
    {detail::Day(1992, 2, 4), detail::Day(1993, 1, 22)},
    {detail::Day(1993, 1, 23), detail::Day(1994, 2, 9)},
    {detail::Day(1994, 2, 10), detail::Day(1995, 1, 30)},
    {detail::Day(1995, 1, 31), detail::Day(1996, 2, 18)},
    {detail::Day(1996, 2, 19), detail::Day(1997, 2, 6)},
    {detail::Day(1997, 2, 7), detail::Day(1998, 1, 27)},
    {detail::Day(1998, 1, 28), detail::Day(1999, 2, 15)},
    {detail::Day(1999, 2, 16), detail::Day(2000, 2, 4)},
    {detail::Day(2000, 2, 5), detail::Day(2001, 1, 23)},
    {detail::Day(2001, 1, 24), detail::Day(2002, 2, 11)},
    {detail::Day(2002, 2, 12), detail::Day(2003, 1, 31)},
    {detail::Day(2003, 2, 1), detail::Day(2004, 1, 21)},
    {detail::Day(2004, 1, 22), detail::Day(2005, 2, 8)},
    {detail::Day(2005, 2, 9), detail::Day(2006, 1, 28)},
    {detail::Day(2006, 1, 29), detail::Day(2007, 2, 17)},
    {detail::Day(2007, 2, 18), detail::Day(2008, 2, 6)},
    {detail::Day(2008, 2, 7), detail::Day(2009, 1, 25)},
    {detail::Day(2009, 1, 26), detail::Day(2010, 2, 13)},
    {detail::Day(2010, 2, 14), detail::Day(2011, 2, 2)},
    {detail::Day(2011, 2, 3), detail::Day(2012, 1, 22)},
    {detail::Day(2012, 1, 23), detail::Day(2013, 2, 9)},
    {detail::Day(2013, 2, 10), detail::Day(2014, 1, 30)},
    {detail::Day(2014, 1, 31), detail::Day(2015, 2, 18)},
    {detail::Day(2015, 2, 19), detail::Day(2016, 2, 7)},
    {detail::Day(2016, 2, 8), detail::Day(2017, 1, 27)},
    {detail::Day(2017, 1, 28), detail::Day(2018, 2, 15)},
    {detail::Day(2018, 2, 16), detail::Day(2019, 2, 4)},
    {detail::Day(2019, 2, 5), detail::Day(2020, 1, 24)},
}};

// The sign and element that a row of ChineseYearTable stands for.
std::string_view SignOfYearRow(std::size_t row);
std::string_view ElementOfYearRow(std::size_t row);

// The row that contains the date, or nothing for a date outside the table or
// one that is not a real day (30 February, day 0, month 13).
std::optional<std::size_t> FindYearRow(std::chrono::year_month_day date);

// One Chinese year as the table has it: first and last day (inclusive), sign
// and element.
struct ChineseYearRow {
    std::chrono::year_month_day Start;
    std::chrono::year_month_day End;
    std::string_view Sign;
    std::string_view Element;
};

// The Chinese year that holds the date, or nothing where FindYearRow finds no
// row. Unlike the lookups below it keeps no last result, so windows may ask it
// freely, for example to explain a sign.
std::optional<ChineseYearRow> ChineseYearOf(std::chrono::year_month_day date);

// The engine. It owns the last-result texts, so the program keeps one for its
// whole life and each test makes its own.
class modchinesezodiac {
  public:
    // The sign of the year that holds the date; outside the table, the last
    // sign found (empty before any).
    std::string GetChineseSign(std::chrono::year_month_day BirthDate);
    // The element of the year that holds the date; outside the table, the last
    // element found (empty before any).
    std::string GetChineseElement(std::chrono::year_month_day BirthDate);
    // The score of the pair, 2 to 10, or 0 when either name is not exactly a sign.
    std::int16_t GetCompatibilityScore(std::string_view UserSign,
                                       std::string_view PartnerSign) const;

    // A copy of the sign's profile; no profile for any text that is not
    // exactly one of the twelve sign names.
    std::optional<SignProfile> GetSignProfile(std::string_view sign) const;
    // The element's paragraph; for any other text, the last paragraph given
    // (empty before any).
    std::string GetElementDescription(std::string_view element);
    // The description of the ordered pair; empty when either is not a sign.
    std::string GetMatchingDescription(std::string_view UserSign,
                                       std::string_view PartnerSign) const;

  private:
    std::string LastSign;
    std::string LastElement;
    std::string LastElementDescription;
};

}  // namespace zodiac
