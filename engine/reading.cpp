#include "engine/reading.h"

#include <charconv>

namespace {

bool ParseNumber(std::string_view text, int& value) {
    if (text.empty() || text.size() > 6) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

zodiac::modchinesezodiac& ZodiacEngine() {
    static zodiac::modchinesezodiac engine;
    return engine;
}

std::string TrimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string BuildBirthDateText(std::string_view day, std::string_view month,
                               std::string_view year) {
    return TrimSpaces(day) + ' ' + TrimSpaces(month) + ' ' + TrimSpaces(year);
}

std::optional<std::chrono::year_month_day> ParseBirthDateText(const std::string& text) {
    const std::string_view all(text);
    const auto firstBlank = all.find(' ');
    const auto lastBlank = all.rfind(' ');
    if (firstBlank == std::string_view::npos || firstBlank == lastBlank) return std::nullopt;
    int day = 0;
    int year = 0;
    if (!ParseNumber(all.substr(0, firstBlank), day) ||
        !ParseNumber(all.substr(lastBlank + 1), year))
        return std::nullopt;
    const std::string_view monthName = all.substr(firstBlank + 1, lastBlank - firstBlank - 1);
    for (unsigned m = 0; m < kMonthNames.size(); ++m) {
        if (kMonthNames[m] != monthName) continue;
        if (day < 1 || day > 31) return std::nullopt;
        const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{m + 1},
                                               std::chrono::day{static_cast<unsigned>(day)}};
        if (!date.ok()) return std::nullopt;
        return date;
    }
    return std::nullopt;
}

std::string BirthDateTextOf(std::chrono::year_month_day date) {
    if (!date.ok()) return {};
    const std::string_view month = kMonthNames[static_cast<unsigned>(date.month()) - 1];
    return BuildBirthDateText(std::to_string(static_cast<unsigned>(date.day())), month,
                              std::to_string(static_cast<int>(date.year())));
}

CompatibilityRunRecord TakeReading(const PairEntries& entries,
                                   const CompatibilityRunRecord& previous,
                                   zodiac::modchinesezodiac& engine) {
    const PersonEntries& user = entries.User;
    const PersonEntries& partner = entries.Partner;
    CompatibilityRunRecord run;
    run.User.Name = TrimSpaces(user.Name);
    run.User.BirthDateText = BuildBirthDateText(user.Day, user.Month, user.Year);
    run.Partner.Name = TrimSpaces(partner.Name);
    run.Partner.BirthDateText = BuildBirthDateText(partner.Day, partner.Month, partner.Year);

    // A date text that names no day skips its own step and keeps the previous
    // value. The engine remembers its last answers, so the order of the calls
    // is part of the result.
    const auto userBorn = ParseBirthDateText(run.User.BirthDateText);
    const auto partnerBorn = ParseBirthDateText(run.Partner.BirthDateText);
    run.User.Sign = userBorn ? engine.GetChineseSign(*userBorn) : previous.User.Sign;
    run.Partner.Sign = partnerBorn ? engine.GetChineseSign(*partnerBorn) : previous.Partner.Sign;
    run.User.Element = userBorn ? engine.GetChineseElement(*userBorn) : previous.User.Element;
    run.Partner.Element =
        partnerBorn ? engine.GetChineseElement(*partnerBorn) : previous.Partner.Element;
    run.User.Profile = engine.GetSignProfile(run.User.Sign);
    run.Partner.Profile = engine.GetSignProfile(run.Partner.Sign);
    run.User.ElementDescription = engine.GetElementDescription(run.User.Element);
    run.Partner.ElementDescription = engine.GetElementDescription(run.Partner.Element);
    run.Result.Score = engine.GetCompatibilityScore(run.User.Sign, run.Partner.Sign);
    run.Result.MatchingDescription = engine.GetMatchingDescription(run.User.Sign, run.Partner.Sign);
    // A score without a row keeps the previous percentage and rating.
    if (const auto row = zodiac::RatingTable(run.Result.Score)) {
        run.Result.Percentage = std::string(row->Percentage);
        run.Result.Rating = std::string(row->Rating);
    } else {
        run.Result.Percentage = previous.Result.Percentage;
        run.Result.Rating = previous.Result.Rating;
    }
    return run;
}
