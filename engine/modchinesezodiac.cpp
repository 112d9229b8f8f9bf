#include "engine/modchinesezodiac.h"

#include "content/texts.h"

namespace zodiac {
namespace {

using std::chrono::sys_days;
using std::chrono::year_month_day;

// The table's promise, checked by the compiler: every row starts in the
// Gregorian year kFirstChineseYear + r, and each row ends the day before the
// next begins.
constexpr bool TableIsContiguous() {
    for (std::size_t r = 0; r < ChineseYearTable.size(); ++r) {
        const ChineseYear& row = ChineseYearTable[r];
        if (!row.Start.ok() || !row.End.ok() || row.End < row.Start) return false;
        if (static_cast<int>(row.Start.year()) != kFirstChineseYear + static_cast<int>(r))
            return false;
        if (r + 1 < ChineseYearTable.size() &&
            sys_days{row.End} + std::chrono::days{1} != sys_days{ChineseYearTable[r + 1].Start})
            return false;
    }
    return true;
}
static_assert(TableIsContiguous());
static_assert(ChineseYearTable.front().Start == detail::Day(1935, 2, 4));
// Every date the input window offers (1 January 1936 to 31 December 2019) has a row.
static_assert(ChineseYearTable.front().Start <= detail::Day(1936, 1, 1));
static_assert(ChineseYearTable.back().End == detail::Day(2020, 1, 24));

// The element held by two consecutive Chinese years, starting with the Fire
// Rat year of 1936; 1935 is the second of two Wood years.
constexpr std::array<std::string_view, 5> kElementCycle{"Fire", "Earth", "Metal", "Water", "Wood"};
constexpr int kFireRatYear = 1936;

// Years counted from the Fire Rat of 1936, never negative: the cycles of 12
// signs and of 10 years (5 elements twice) both divide 60.
constexpr std::size_t YearsFromFireRat(std::size_t row) {
    return static_cast<std::size_t>(kFirstChineseYear - kFireRatYear + 60) + row;
}
static_assert(YearsFromFireRat(1) % 60 == 0);

// Row r by sign, column by sign; symmetric.
constexpr std::int16_t kScores[12][12] = {
    {9, 6, 4, 7, 10, 7, 3, 4, 10, 6, 8, 8},  // Rat
    {6, 8, 4, 8, 7, 9, 5, 2, 4, 9, 7, 7},    // Ox
    {4, 4, 5, 5, 6, 3, 9, 4, 2, 4, 9, 7},    // Tiger
    {7, 8, 5, 8, 7, 7, 5, 9, 4, 2, 8, 9},    // Rabbit
    {10, 7, 6, 7, 9, 8, 8, 7, 10, 9, 2, 8},  // Dragon
    {7, 9, 3, 7, 8, 8, 4, 7, 4, 9, 8, 4},    // Snake
    {3, 5, 9, 5, 8, 4, 8, 8, 5, 6, 9, 6},    // Horse
    {4, 2, 4, 9, 7, 7, 8, 9, 5, 5, 4, 9},    // Goat
    {10, 4, 2, 4, 10, 4, 5, 5, 9, 4, 8, 7},  // Monkey
    {6, 9, 4, 2, 9, 9, 6, 5, 4, 4, 5, 5},    // Rooster
    {8, 7, 9, 8, 2, 8, 9, 4, 8, 5, 7, 7},    // Dog
    {8, 7, 7, 9, 8, 4, 6, 9, 7, 5, 7, 8},    // Pig
};

constexpr bool ScoresAreSymmetric() {
    for (int a = 0; a < 12; ++a)
        for (int b = 0; b < 12; ++b)
            if (kScores[a][b] != kScores[b][a] || kScores[a][b] < 2 || kScores[a][b] > 10)
                return false;
    return true;
}
static_assert(ScoresAreSymmetric());

// Score 2 carries a leading blank that score 3 does not; both are kept as shown.
constexpr RatingRow kRatings[9] = {
    {"20%", " A Poor Match"},     {"30%", "A Poor Match"},  {"40%", "A Difficult Match"},
    {"50%", "A Difficult Match"}, {"60%", "An Easy Match"}, {"70%", "An Easy Match"},
    {"80%", "A Great Match"},     {"90%", "A Great Match"}, {"100%", "A Perfect Match"},
};

// The short profile fields, exactly as shown to the user; the long ones are content.
struct ShortProfile {
    std::string_view RulingPlanet, MostCompatibleSign, LeastCompatibleSign, LuckyColour, GemStone,
        Energy, LuckySeasons, LuckyMonth, WesternZodiacSign, LuckyNumber;
};

// The Energy wordings differ in case on purpose; they are shown as they stand.
constexpr ShortProfile kShortProfiles[12] = {
    {"Jupiter", "Dragon, Monkey", "Horse", "Light Blue", "Carbuncle, Red Garnet", "Yin (positive)",
     "Winter", "December", "Sagittarius", "1, 4, 5, 10, 11, 14, 41, 45, 51, and 54"},
    {"Saturn", "Snake, Rooster", "Goat", "Violet", "White Onyx", "Yin (positive)", "End of Winter",
     "January", "Capricorn", "1, 3, 5, 12, 15, 33, 35, 51 and 53"},
    {"Uranus", "Horse, Dog", "Monkey", "Green", "Sapphire", "Yang (Negative)", "Early Spring",
     "February", "Aquarius", "4, 5, 7, 9, 13, 34, 44, 45 and 54"},
    {"Jupiter", "Goat, Pig", "Rooster", "Pale Green", "Chrysolite", "Yin (positive)", "Mid Spring",
     "March", "Pisces", "1, 3, 5, 9, 15, 19 and 35"},
    {"Mars", "Rat, Monkey", "Dog", "Turquoise", "Amethyst", "Yang (Negative)", "End of Spring",
     "April", "Aries", "3, 4, 5, 6, 15, 21, 34, 35, 36 and 45"},
    {"Venus", "Ox, Rooster", "Tiger, Pig", "Red", "Mossagate", "Yin (Positive Energy)",
     "Early Summer", "May", "Taurus", "1, 2, 4, 6, 13, 24, 42 and 46"},
    {"Mercury", "Tiger, Dog", "Rat", "Orange", "Beryl", "Yang (Negative)", "Mid Summer", "June",
     "Gemini", "1, 3, 4, 8, 13, 14, 41 and 43"},
    {"Moon", "Rabbit, Pig", "Ox", "Pink, Purple", "Emerald", "Yin (Positive)", "End of Summer",
     "July", "Cancer", "3, 4, 5, 12, 34, 45 and 54"},
    {"Sun", "Rat, Dragon", "Tiger", "Yellow, Gold", "Emerald", "Yang (Negative)", "Early Autumn",
     "August", "Leo", "3, 4, 5, 7, 16, 23, 34, 45 and 54"},
    {"Mercury", "Ox, Dragon, Snake", "Rabbit", "Peach, Apricot", "Pin Jasper", "Yin (Positive)",
     "Mid Autumn", "September", "Virgo", "1, 5, 6, 12, 15, 16, 24 and 51"},
    {"Venus", "Tiger, Horse", "Dragon", "Pale Yellow", "Diamond", "Yang (Negative)", "Winter",
     "October", "Libra", "1, 4, 5, 9, 10, 14, 19, 28, 30, 41, 45 and 54"},
    {"Mars", "Rabbit, Goat", "Snake", "Dark Blue", "Topaz", "Yin (Positive)", "Early Winter",
     "October", "Scorpio", "1, 3, 4, 5, 8, 16, 18, 34, 41 and 48"},
};

// The word that stands for a sign inside a matching-description key.
constexpr std::string_view KeyWord(std::size_t sign) {
    if (ChineseSign[sign] == "Rabbit") return "AnimalOne";
    if (ChineseSign[sign] == "Rooster") return "AnimalTwo";
    return ChineseSign[sign];
}

std::optional<std::size_t> SignIndex(std::string_view name) {
    for (std::size_t i = 0; i < ChineseSign.size(); ++i)
        if (ChineseSign[i] == name) return i;
    return std::nullopt;
}

}  // namespace

std::optional<RatingRow> RatingTable(std::int16_t Score) {
    if (Score < 2 || Score > 10) return std::nullopt;
    return kRatings[Score - 2];
}

std::string_view SignOfYearRow(std::size_t row) {
    return ChineseSign[YearsFromFireRat(row) % ChineseSign.size()];
}

std::string_view ElementOfYearRow(std::size_t row) {
    return kElementCycle[(YearsFromFireRat(row) / 2) % kElementCycle.size()];
}

// Every row begins in January or February of its own Gregorian year, so a date
// of year Y lies in row Y - kFirstChineseYear or in the row before; one
// comparison decides.
// This answers exactly like scanning the rows in order, and in constant time.
std::optional<std::size_t> FindYearRow(year_month_day date) {
    if (!date.ok()) return std::nullopt;
    const int y = static_cast<int>(date.year());
    const int first = kFirstChineseYear;
    const int last = first + static_cast<int>(ChineseYearTable.size()) - 1;
    if (y < first || y > last + 1) return std::nullopt;
    if (y == last + 1) {
        if (date <= ChineseYearTable.back().End) return ChineseYearTable.size() - 1;
        return std::nullopt;
    }
    const auto r = static_cast<std::size_t>(y - first);
    if (date >= ChineseYearTable[r].Start) return r;
    if (r == 0) return std::nullopt;  // before the first row's New Year
    return r - 1;
}

std::optional<ChineseYearRow> ChineseYearOf(year_month_day date) {
    const auto row = FindYearRow(date);
    if (!row) return std::nullopt;
    const ChineseYear& days = ChineseYearTable[*row];
    return ChineseYearRow{days.Start, days.End, SignOfYearRow(*row), ElementOfYearRow(*row)};
}

// Both lookups find their row as ChineseYearOf does, so a sign shown and the
// year that explains it can never disagree; they skip building the whole row.
std::string modchinesezodiac::GetChineseSign(year_month_day BirthDate) {
    if (const auto row = FindYearRow(BirthDate)) LastSign = SignOfYearRow(*row);
    return LastSign;
}

std::string modchinesezodiac::GetChineseElement(year_month_day BirthDate) {
    if (const auto row = FindYearRow(BirthDate)) LastElement = ElementOfYearRow(*row);
    return LastElement;
}

std::int16_t modchinesezodiac::GetCompatibilityScore(std::string_view UserSign,
                                                     std::string_view PartnerSign) const {
    const auto user = SignIndex(UserSign);
    const auto partner = SignIndex(PartnerSign);
    if (!user || !partner) return 0;
    return kScores[*user][*partner];
}

std::optional<SignProfile> modchinesezodiac::GetSignProfile(std::string_view sign) const {
    const auto i = SignIndex(sign);
    if (!i) return std::nullopt;
    const ShortProfile& p = kShortProfiles[*i];
    const content::SignTexts& t = content::SignTextTable[*i];
    return SignProfile{std::string(p.RulingPlanet),
                       std::string(t.PositiveTraits),
                       std::string(t.NegativeTraits),
                       std::string(p.MostCompatibleSign),
                       std::string(p.LeastCompatibleSign),
                       std::string(p.LuckyColour),
                       std::string(p.GemStone),
                       std::string(p.Energy),
                       std::string(p.LuckySeasons),
                       std::string(p.LuckyMonth),
                       std::string(t.FamousPersons),
                       std::string(p.WesternZodiacSign),
                       std::string(p.LuckyNumber)};
}

std::string modchinesezodiac::GetElementDescription(std::string_view element) {
    for (std::size_t i = 0; i < ChineseElement.size(); ++i) {
        if (ChineseElement[i] == element) {
            LastElementDescription = content::ElementDescriptionTable[i];
            break;
        }
    }
    return LastElementDescription;
}

std::string modchinesezodiac::GetMatchingDescription(std::string_view UserSign,
                                                     std::string_view PartnerSign) const {
    const auto user = SignIndex(UserSign);
    const auto partner = SignIndex(PartnerSign);
    if (!user || !partner) return {};
    std::string key;
    key.reserve(24);
    key.append(KeyWord(*user)).append("_").append(KeyWord(*partner));
    for (const content::MatchingEntry& entry : content::MatchingDescriptionTable)
        if (entry.Key == key) return std::string(entry.Text);
    return {};
}

}  // namespace zodiac
