#include "input/compatibilityrun.h"

#include <QStringList>

#include <array>
#include <charconv>

#include "input/frmmain.h"
#include "results/chineseyeartip.h"
#include "results/frmchiness.h"
#include "shell/accessibility.h"
#include "shell/windowlook.h"
#include "ui_frmchiness.h"
#include "ui_frmmain.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

bool ParseNumber(std::string_view text, int& value) {
    if (text.empty() || text.size() > 6) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

CompatibilityRunRecord& CompatibilityRun() {
    static CompatibilityRunRecord record;
    return record;
}

zodiac::modchinesezodiac& ZodiacEngine() {
    static zodiac::modchinesezodiac engine;
    return engine;
}

QString TrimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) --last;
    return text.mid(first, last - first);
}

std::string BuildBirthDateText(const QString& day, const QString& month, const QString& year) {
    return (TrimSpaces(day) + QLatin1Char(' ') + TrimSpaces(month) + QLatin1Char(' ') +
            TrimSpaces(year))
        .toStdString();
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
    return BuildBirthDateText(QString::number(static_cast<unsigned>(date.day())),
                              QString::fromLatin1(month.data(), qsizetype(month.size())),
                              QString::number(static_cast<int>(date.year())));
}

namespace {

struct ProfileBoxes {
    QLineEdit* RulingPlanet;
    QPlainTextEdit* PositiveTraits;
    QPlainTextEdit* NegativeTraits;
    QLineEdit *MostCompatibleSign, *LeastCompatibleSign, *LuckyColour, *GemStone, *Energy,
        *LuckySeasons, *LuckyMonth, *FamousPersons, *WesternZodiacSign, *LuckyNumber;
};

// A person without a profile leaves the boxes as they are.
void FillProfile(const std::optional<zodiac::SignProfile>& profile, const ProfileBoxes& b) {
    if (!profile) return;
    const zodiac::SignProfile& p = *profile;
    b.RulingPlanet->setText(Q(p.RulingPlanet));
    b.PositiveTraits->setPlainText(Q(p.PositiveTraits));
    b.NegativeTraits->setPlainText(Q(p.NegativeTraits));
    b.MostCompatibleSign->setText(Q(p.MostCompatibleSign));
    b.LeastCompatibleSign->setText(Q(p.LeastCompatibleSign));
    b.LuckyColour->setText(Q(p.LuckyColour));
    b.GemStone->setText(Q(p.GemStone));
    b.Energy->setText(Q(p.Energy));
    b.LuckySeasons->setText(Q(p.LuckySeasons));
    b.LuckyMonth->setText(Q(p.LuckyMonth));
    b.FamousPersons->setText(Q(p.FamousPersons));
    b.WesternZodiacSign->setText(Q(p.WesternZodiacSign));
    b.LuckyNumber->setText(Q(p.LuckyNumber));
    // Long texts are read from their start (the window shows them in full on hovering).
    for (QLineEdit* line : {b.RulingPlanet, b.MostCompatibleSign, b.LeastCompatibleSign,
                            b.LuckyColour, b.GemStone, b.Energy, b.LuckySeasons, b.LuckyMonth,
                            b.FamousPersons, b.WesternZodiacSign, b.LuckyNumber})
        line->setCursorPosition(0);
}

// A name shown as a frame's caption exactly as typed: an "&" in it must not
// become an access key that takes Alt+B or Alt+P from the window's buttons.
QString Caption(QString name) { return name.replace(QLatin1Char('&'), QStringLiteral("&&")); }

void SetLabel(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();  // value labels grow to fit their text
    SpeakValue(label);
}

// Both persons' tabs: captions, sign, element, profile and picture.
void FillProfileTabs(const frmchiness& results, Ui::frmchiness& out, const PersonReading& user,
                     const PersonReading& partner) {
    out.Framale->setTitle(Caption(Q(user.Name)));
    out.Frafemale->setTitle(Caption(Q(partner.Name)));
    SetLabel(out.lblMaleChinesesign, Q(user.Sign));
    SetLabel(out.lblFemaleChineseSign, Q(partner.Sign));
    ExplainChineseYear(out.lblMaleChinesesign, ParseBirthDateText(user.BirthDateText));
    ExplainChineseYear(out.lblFemaleChineseSign, ParseBirthDateText(partner.BirthDateText));
    SetLabel(out.lblMaleChineseElements, Q(user.Element));
    SetLabel(out.lblFemaleChineseElements, Q(partner.Element));
    FillProfile(
        user.Profile,
        {out.txtMaleRulingPlanet, out.txtMalePositiveTraits, out.txtMaleNegativeTraits,
         out.txtMaleMostCompatibleSign, out.txtMAleLeastCompatibleSign, out.txtMaleLuckycolour,
         out.txtMaleGemStone, out.txtMaleEnergy, out.txtMaleLuckySeasons, out.txtMaleLuckyMonth,
         out.txtMaleFamousPersonBorn, out.txtMaleWesternZodiacSign, out.txtMaleLuckyNumber});
    out.txtMaleElementDescription->setPlainText(Q(user.ElementDescription));
    FillProfile(
        partner.Profile,
        {out.txtFemaleRulingPlanet, out.txtFemalePositiveTraits, out.txtFemaleNegativeTraits,
         out.txtFemaleMostCompatibleSign, out.txtFemaleLeastCompitibleSign,
         out.txtFemaleLuckycolour, out.txtFemaleGemStone, out.txtFemaleEnergy,
         out.txtFemaleLuckySeasons, out.txtFemaleLuckyMonth, out.txtFemaleFamousPerson,
         out.txtFemaleWesternZodiacSign, out.txtFemaleLuckyNumber});
    out.txtFemaleelementDescription->setPlainText(Q(partner.ElementDescription));

    // The pictures, keyed by each person's western sign; no match keeps the picture.
    results.ShowPicture(out.YourPartnerPicture, TrimSpaces(out.txtFemaleWesternZodiacSign->text()));
    results.ShowPicture(out.YourPicture, TrimSpaces(out.txtMaleWesternZodiacSign->text()));
}

}  // namespace

void RunCompatibility(frmmain& input) {
    if (!input.ValidateInput()) return;

    CompatibilityRunRecord& run = CompatibilityRun();
    zodiac::modchinesezodiac& engine = ZodiacEngine();
    const Ui::frmmain& in = input.controls();

    run.User.Name = TrimSpaces(in.txtMaleName->text()).toStdString();
    run.User.BirthDateText =
        BuildBirthDateText(in.CboMaleDate->currentText(), in.cboMaleMonth->currentText(),
                           in.cboMaleYear->currentText());
    run.Partner.Name = TrimSpaces(in.txtFemaleName->text()).toStdString();
    run.Partner.BirthDateText =
        BuildBirthDateText(in.cboFemaleDate->currentText(), in.cboFemaleMonth->currentText(),
                           in.cboFemaleYear->currentText());

    // A date text that names no day skips its own step; the field keeps its value.
    if (const auto d = ParseBirthDateText(run.User.BirthDateText))
        run.User.Sign = engine.GetChineseSign(*d);
    if (const auto d = ParseBirthDateText(run.Partner.BirthDateText))
        run.Partner.Sign = engine.GetChineseSign(*d);
    if (const auto d = ParseBirthDateText(run.User.BirthDateText))
        run.User.Element = engine.GetChineseElement(*d);
    if (const auto d = ParseBirthDateText(run.Partner.BirthDateText))
        run.Partner.Element = engine.GetChineseElement(*d);
    run.User.Profile = engine.GetSignProfile(run.User.Sign);
    run.Partner.Profile = engine.GetSignProfile(run.Partner.Sign);
    run.User.ElementDescription = engine.GetElementDescription(run.User.Element);
    run.Partner.ElementDescription = engine.GetElementDescription(run.Partner.Element);
    run.Result.Score = engine.GetCompatibilityScore(run.User.Sign, run.Partner.Sign);
    run.Result.MatchingDescription = engine.GetMatchingDescription(run.User.Sign, run.Partner.Sign);
    // A score without a row leaves the previous percentage and rating.
    if (const auto row = zodiac::RatingTable(run.Result.Score)) {
        run.Result.Percentage = std::string(row->Percentage);
        run.Result.Rating = std::string(row->Rating);
    }

    frmchiness* results = frmchiness::Obtain();
    results->ForgetPreparedReport();  // it would show the earlier reading
    Ui::frmchiness& out = results->controls();
    const QString userSign = Q(run.User.Sign);
    const QString partnerSign = Q(run.Partner.Sign);

    // The tab the window opens on, complete before it is shown.
    SetLabel(out.lblChinesePercentage, Q(run.Result.Percentage));
    SetLabel(out.lblChineseRating, Q(run.Result.Rating));
    SetLabel(out.lblChineseCompatibilityNumber, QString::number(run.Result.Score));
    out.txtMatchingDescription->setPlainText(Q(run.Result.MatchingDescription));
    SetLabel(out.lblMatchingDescription, QStringLiteral("Compatibility Of ") + userSign +
                                             QStringLiteral(" With  ") + partnerSign +
                                             QStringLiteral(" :-"));
    PlaceOver(results, &input);
    results->show();

    // The two profile tabs are not painted until chosen: they are filled once
    // the opening tab is on screen, or as soon as anything asks for them.
    results->FillAfterFirstPaint([&out, results, user = run.User, partner = run.Partner] {
        FillProfileTabs(*results, out, user, partner);
    });
    input.close();
}
