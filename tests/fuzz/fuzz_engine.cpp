// Arbitrary dates and names through every lookup of the engine: no crash, the
// calendar agrees with a plain scan of its table, scores are symmetric and
// zero exactly for unknown names.
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/modchinesezodiac.h"

namespace {

bool IsSign(std::string_view name) {
    for (auto s : zodiac::ChineseSign)
        if (s == name) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    std::int16_t y = 0;
    std::memcpy(&y, data, 2);
    const std::chrono::year_month_day date{std::chrono::year{y}, std::chrono::month{data[2]},
                                           std::chrono::day{data[3]}};
    const std::string rest(reinterpret_cast<const char*>(data + 4), size - 4);
    const auto split = rest.find('\n');
    const std::string a = rest.substr(0, split);
    const std::string b = split == std::string::npos ? std::string() : rest.substr(split + 1);

    // The lookup against a plain scan of the rows.
    std::optional<std::size_t> scanned;
    if (date.ok())
        for (std::size_t r = 0; r < zodiac::ChineseYearTable.size() && !scanned; ++r)
            if (zodiac::ChineseYearTable[r].Start <= date &&
                date <= zodiac::ChineseYearTable[r].End)
                scanned = r;
    if (zodiac::FindYearRow(date) != scanned) std::abort();
    const auto year = zodiac::ChineseYearOf(date);
    if (year.has_value() != scanned.has_value()) std::abort();
    if (year && (date < year->Start || year->End < date ||
                 year->Start != zodiac::ChineseYearTable[*scanned].Start))
        std::abort();

    static zodiac::modchinesezodiac engine;  // one for the run, as in the program
    const std::string before = engine.GetChineseSign(zodiac::ChineseYearTable[0].Start);
    const std::string sign = engine.GetChineseSign(date);
    if (scanned ? sign != zodiac::SignOfYearRow(*scanned) : sign != before) std::abort();
    const std::string element = engine.GetChineseElement(date);
    if (scanned && element != zodiac::ElementOfYearRow(*scanned)) std::abort();

    const std::int16_t score = engine.GetCompatibilityScore(a, b);
    if (score != engine.GetCompatibilityScore(b, a)) std::abort();
    const bool known = IsSign(a) && IsSign(b);
    if (known != (score >= 2 && score <= 10) || (!known && score != 0)) std::abort();
    if (engine.GetMatchingDescription(a, b).empty() == known) std::abort();
    if (engine.GetSignProfile(a).has_value() != IsSign(a)) std::abort();
    (void)engine.GetElementDescription(a);
    (void)zodiac::RatingTable(score);
    return 0;
}
