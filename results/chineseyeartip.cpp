#include "results/chineseyeartip.h"

#include <QLabel>

#include <array>
#include <string_view>

#include "engine/modchinesezodiac.h"
#include "engine/reading.h"

namespace {

using std::chrono::sys_days;
using std::chrono::year_month_day;

// The tip is plain text, so the very same text serves as the accessible
// description. Plain tooltips do not wrap, so each sentence breaks before
// "and so" to stay narrower than the window.

// How close to a Chinese New Year a date must be for the tip to explain it,
// counted as the sentence counts: "thirty days before", "thirty days after".
constexpr int kNearNewYear = 30;

constexpr std::array<std::string_view, kNearNewYear> kNumberWords{
    "one",         "two",        "three",        "four",         "five",         "six",
    "seven",       "eight",      "nine",         "ten",          "eleven",       "twelve",
    "thirteen",    "fourteen",   "fifteen",      "sixteen",      "seventeen",    "eighteen",
    "nineteen",    "twenty",     "twenty-one",   "twenty-two",   "twenty-three", "twenty-four",
    "twenty-five", "twenty-six", "twenty-seven", "twenty-eight", "twenty-nine",  "thirty"};

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// "six days", "one day"; n is 1 to kNearNewYear.
QString DaysInWords(int n) {
    return Text(kNumberWords[static_cast<std::size_t>(n - 1)]) +
           (n == 1 ? QStringLiteral(" day") : QStringLiteral(" days"));
}

// Dates in the tip read like the birth dates the program shows.
QString DateText(year_month_day date) { return QString::fromStdString(BirthDateTextOf(date)); }

QString YearText(std::chrono::year y) { return QString::number(static_cast<int>(y)); }

int DaysFrom(year_month_day from, year_month_day to) {
    return static_cast<int>((sys_days{to} - sys_days{from}).count());
}

year_month_day Shifted(year_month_day date, int days) {
    return year_month_day{sys_days{date} + std::chrono::days{days}};
}

// A date before the New Year that ends its Chinese year belongs to the sign
// that is ending. In January or February that is the surprise: most of the
// Gregorian year belongs to the next sign. In December there is none, and the
// sentence says the sign is the one most of that year has.
QString BeforeNewYear(year_month_day birth, const zodiac::ChineseYearRow& year) {
    const year_month_day newYear = Shifted(year.End, 1);
    const QString falls =
        QStringLiteral(
            "%1 falls %2 before the Chinese New Year of %3,\nand so belongs to the %4 year")
            .arg(DateText(birth), DaysInWords(DaysFrom(birth, newYear)), DateText(newYear),
                 Text(year.Sign));
    if (birth.year() < newYear.year())
        return falls + QStringLiteral(", like most of %1.").arg(YearText(birth.year()));
    const auto next = zodiac::ChineseYearOf(newYear);
    if (!next) return falls + QLatin1Char('.');  // the calendar ends with this year
    return falls + QStringLiteral(", not the %1 year that most of %2 belongs to.")
                       .arg(Text(next->Sign), YearText(newYear.year()));
}

// A date on or just after a New Year belongs to the sign just begun, not to
// the one that ended the day before the New Year.
QString AfterNewYear(year_month_day birth, const zodiac::ChineseYearRow& year,
                     const zodiac::ChineseYearRow& previous) {
    const int after = DaysFrom(year.Start, birth);
    if (after == 0)
        return QStringLiteral(
                   "%1 is the day of the Chinese New Year,\nand so belongs to the %2 year, not the "
                   "%3 year that ended the day before.")
            .arg(DateText(birth), Text(year.Sign), Text(previous.Sign));
    return QStringLiteral(
               "%1 falls %2 after the Chinese New Year of %3,\nand so belongs to the %4 year, not "
               "the %5 year that ended on %6.")
        .arg(DateText(birth), DaysInWords(after), DateText(year.Start), Text(year.Sign),
             Text(previous.Sign), DateText(previous.End));
}

}  // namespace

QString ChineseYearTip(year_month_day birthDate) {
    const auto year = zodiac::ChineseYearOf(birthDate);
    if (!year) return {};
    QString tip =
        QStringLiteral("Year of the %1 (%2): %3 to %4")
            .arg(Text(year->Sign), Text(year->Element), DateText(year->Start), DateText(year->End));
    if (DaysFrom(birthDate, Shifted(year->End, 1)) <= kNearNewYear) {
        tip += QLatin1Char('\n') + BeforeNewYear(birthDate, *year);
    } else if (DaysFrom(year->Start, birthDate) <= kNearNewYear) {
        // The calendar's first year has no year before it to compare with.
        if (const auto previous = zodiac::ChineseYearOf(Shifted(year->Start, -1)))
            tip += QLatin1Char('\n') + AfterNewYear(birthDate, *year, *previous);
    }
    return tip;
}

void ExplainChineseYear(QLabel* signLabel, std::optional<year_month_day> birthDate) {
    const QString tip = birthDate ? ChineseYearTip(*birthDate) : QString();
    signLabel->setToolTip(tip);
    signLabel->setAccessibleDescription(tip);
}
