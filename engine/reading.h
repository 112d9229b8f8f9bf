// One reading: what the user entered for the pair, and what the engine made
// of it. Plain data, shared by the windows, the report and the hand-off.
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "engine/modchinesezodiac.h"

// The months by name, as the month lists offer them and birth dates are
// written.
inline constexpr std::array<std::string_view, 12> kMonthNames{
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// One person's entries as the input window holds them: the name and the three
// list texts, UTF-8.
struct PersonEntries {
    std::string Name;
    std::string Day;
    std::string Month;
    std::string Year;
};

// Both persons' entries.
struct PairEntries {
    PersonEntries User;
    PersonEntries Partner;
};

// One person's block of the record.
struct PersonReading {
    std::string Name;
    std::string BirthDateText;
    std::string Sign;
    std::string Element;
    std::optional<zodiac::SignProfile> Profile;  // no value when the sign is unknown
    std::string ElementDescription;
    bool operator==(const PersonReading&) const = default;
};

// One reading of a pair: everything the results window and the report show.
struct CompatibilityRunRecord {
    PersonReading User;
    PersonReading Partner;
    zodiac::CompatibilityResult Result;
    bool operator==(const CompatibilityRunRecord&) const = default;
};

// The one engine of the program.
zodiac::modchinesezodiac& ZodiacEngine();

// The reading of the entries. Where the engine has no answer, the reading
// carries the previous one's value: a birth-date text that names no day keeps
// that person's sign and element, and a score without a rating keeps the
// percentage and the rating. Everything else is the entries' own.
CompatibilityRunRecord TakeReading(const PairEntries& entries,
                                   const CompatibilityRunRecord& previous,
                                   zodiac::modchinesezodiac& engine);

// Removes leading and trailing blanks (spaces only).
std::string TrimSpaces(std::string_view text);
// "5 March 1975" from the three list texts, each trimmed of blanks.
std::string BuildBirthDateText(std::string_view day, std::string_view month, std::string_view year);
// The date a birth-date text names; no value when it names no real day.
std::optional<std::chrono::year_month_day> ParseBirthDateText(const std::string& text);
// Any date written the way birth dates are ("11 February 1975"); empty for a
// date that is not a real day.
std::string BirthDateTextOf(std::chrono::year_month_day date);
