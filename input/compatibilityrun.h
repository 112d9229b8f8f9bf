// The compatibility run: what Proceed does. It validates the input, asks the
// engine for both readings, keeps them in the application-wide record and
// fills the results window.
#pragma once

#include <QString>

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

// One person's block of the record.
struct PersonReading {
    std::string Name;
    std::string BirthDateText;
    std::string Sign;
    std::string Element;
    std::optional<zodiac::SignProfile> Profile;  // no value when the sign is unknown
    std::string ElementDescription;
};

// The latest reading; written only by the run, never reset.
struct CompatibilityRunRecord {
    PersonReading User;
    PersonReading Partner;
    zodiac::CompatibilityResult Result;
};

// The one record and the one engine of the program.
CompatibilityRunRecord& CompatibilityRun();
zodiac::modchinesezodiac& ZodiacEngine();

// "5 March 1975" from the three list texts, each trimmed of blanks.
std::string BuildBirthDateText(const QString& day, const QString& month, const QString& year);
// The date a birth-date text names; no value when it names no real day.
std::optional<std::chrono::year_month_day> ParseBirthDateText(const std::string& text);
// Any date written the way birth dates are ("11 February 1975"); empty for a
// date that is not a real day.
std::string BirthDateTextOf(std::chrono::year_month_day date);
// Removes leading and trailing blanks (spaces only).
QString TrimSpaces(const QString& text);

class frmmain;
// The whole run, started by the input window's Proceed button.
void RunCompatibility(frmmain& input);
