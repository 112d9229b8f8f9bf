// The compatibility run end to end: the input window's Proceed fills the
// results window with what the engine gives, for every pair of signs.
#include <QAccessible>
#include <QBackingStore>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include "common/qtext.h"
#include "common/warmup.h"
#include "engine/reading.h"
#include "input/frmmain.h"
#include "report/frmsave.h"
#include "report/reportcomposer.h"
#include "results/chineseyeartip.h"
#include "results/frmchiness.h"
#include "testsupport.h"
#include "ui_frmchiness.h"
#include "ui_frmmain.h"
#include "ui_frmsave.h"

namespace {

// One date inside each sign's year: 1 July of 1936 + i has sign i.
int YearOfSign(int sign) { return 1936 + sign; }

frmmain* FreshInput() {
    auto* input = Navigator::instance().newInput();
    input->show();
    return input;
}

QImage PictureOf(QLabel* box) { return box->pixmap().toImage(); }

QImage Picture(const char* animal) {
    return QPixmap(QStringLiteral(":/pictures/%1.jpg").arg(QLatin1String(animal))).toImage();
}

QString TextOf(QWidget* w) {
    if (auto* line = qobject_cast<QLineEdit*>(w)) return line->text();
    if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) return edit->toPlainText();
    return {};
}

QStringList ProfileTexts(const Ui::frmchiness& c, bool user) {
    const QList<QWidget*> boxes = user ? QList<QWidget*>{c.txtMaleRulingPlanet,
                                                         c.txtMalePositiveTraits,
                                                         c.txtMaleNegativeTraits,
                                                         c.txtMaleMostCompatibleSign,
                                                         c.txtMAleLeastCompatibleSign,
                                                         c.txtMaleLuckycolour,
                                                         c.txtMaleGemStone,
                                                         c.txtMaleEnergy,
                                                         c.txtMaleLuckySeasons,
                                                         c.txtMaleLuckyMonth,
                                                         c.txtMaleFamousPersonBorn,
                                                         c.txtMaleWesternZodiacSign,
                                                         c.txtMaleLuckyNumber}
                                       : QList<QWidget*>{c.txtFemaleRulingPlanet,
                                                         c.txtFemalePositiveTraits,
                                                         c.txtFemaleNegativeTraits,
                                                         c.txtFemaleMostCompatibleSign,
                                                         c.txtFemaleLeastCompitibleSign,
                                                         c.txtFemaleLuckycolour,
                                                         c.txtFemaleGemStone,
                                                         c.txtFemaleEnergy,
                                                         c.txtFemaleLuckySeasons,
                                                         c.txtFemaleLuckyMonth,
                                                         c.txtFemaleFamousPerson,
                                                         c.txtFemaleWesternZodiacSign,
                                                         c.txtFemaleLuckyNumber};
    QStringList texts;
    for (QWidget* box : boxes) texts.append(TextOf(box));
    return texts;
}

QStringList Fields(const zodiac::SignProfile& p) {
    return {
        Q(p.RulingPlanet),        Q(p.PositiveTraits), Q(p.NegativeTraits), Q(p.MostCompatibleSign),
        Q(p.LeastCompatibleSign), Q(p.LuckyColour),    Q(p.GemStone),       Q(p.Energy),
        Q(p.LuckySeasons),        Q(p.LuckyMonth),     Q(p.FamousPersons),  Q(p.WesternZodiacSign),
        Q(p.LuckyNumber)};
}

// Text as the boxes hold it: line breaks as one character each.
QString AsShown(const std::string& s) {
    return Q(s).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

class TestRun : public QObject {
    Q_OBJECT

  private slots:
    void init() { DestroyAllWindows(); }
    void cleanup() { DestroyAllWindows(); }

    void everyPairFillsTheResultsWindow_data();
    void everyPairFillsTheResultsWindow();
    void birthDateTexts_data();
    void birthDateTexts();
    void signTipsExplainTheChineseYear_data();
    void signTipsExplainTheChineseYear();
    void blankNameGivesEmptyCaption();
    void secondRunShowsOnlyItsOwnValues();
    void readingKeepsOnlyWhatNoDateAnswers_data();
    void readingKeepsOnlyWhatNoDateAnswers();
    void reportHoldsOnlyTheLatestReading_data();
    void reportHoldsOnlyTheLatestReading();
    void windowsBuiltAheadShowTheLatestReading();
    void windowsBuiltAheadArePaintedWhileHidden_data();
    void windowsBuiltAheadArePaintedWhileHidden();
    void profileTabsFilledBeforeTheyShow_data();
    void profileTabsFilledBeforeTheyShow();
    void backOpensAFreshInputWindow();
    void handOffsKeepTheProgramRunning();
    void closingEndsTheProgram_data();
    void closingEndsTheProgram();
};

void TestRun::everyPairFillsTheResultsWindow_data() {
    QTest::addColumn<int>("userSign");
    QTest::addColumn<int>("partnerSign");
    for (int a = 0; a < 12; ++a)
        for (int b = 0; b < 12; ++b)
            QTest::addRow("%s with %s", zodiac::ChineseSign[a].data(),
                          zodiac::ChineseSign[b].data())
                << a << b;
}

void TestRun::everyPairFillsTheResultsWindow() {
    QFETCH(int, userSign);
    QFETCH(int, partnerSign);
    AnsweringDialogs dialogs;
    EndRecorder end;
    frmmain* input = FreshInput();
    EnterReading(*input, QStringLiteral("Ann"), {1, 7, YearOfSign(userSign)}, QStringLiteral("Bob"),
                 {1, 7, YearOfSign(partnerSign)});
    QTest::mouseClick(input->controls().cmdProceed, Qt::LeftButton);
    QVERIFY(dialogs.messages.isEmpty());

    frmchiness* results = Navigator::instance().loadedResults();
    QVERIFY(results);
    QVERIFY(results->isVisible());
    QVERIFY(!input->isVisible());
    QCOMPARE(end.ends, 0);
    const Ui::frmchiness& c = results->controls();

    // What an independent engine says of the same dates.
    zodiac::modchinesezodiac engine;
    const auto userDate = std::chrono::year_month_day{std::chrono::year{YearOfSign(userSign)},
                                                      std::chrono::July, std::chrono::day{1}};
    const auto partnerDate = std::chrono::year_month_day{std::chrono::year{YearOfSign(partnerSign)},
                                                         std::chrono::July, std::chrono::day{1}};
    const std::string us = engine.GetChineseSign(userDate);
    const std::string ps = engine.GetChineseSign(partnerDate);
    const std::string ue = engine.GetChineseElement(userDate);
    const std::string pe = engine.GetChineseElement(partnerDate);
    QCOMPARE(us, std::string(zodiac::ChineseSign[userSign]));
    QCOMPARE(ps, std::string(zodiac::ChineseSign[partnerSign]));
    const std::int16_t score = engine.GetCompatibilityScore(us, ps);
    const auto rating = zodiac::RatingTable(score);
    QVERIFY(rating);

    QCOMPARE(c.Framale->title(), QStringLiteral("Ann"));
    QCOMPARE(c.Frafemale->title(), QStringLiteral("Bob"));
    QCOMPARE(c.lblMaleChinesesign->text(), Q(us));
    QCOMPARE(c.lblFemaleChineseSign->text(), Q(ps));
    QCOMPARE(c.lblMaleChineseElements->text(), Q(ue));
    QCOMPARE(c.lblFemaleChineseElements->text(), Q(pe));
    QCOMPARE(c.lblChineseCompatibilityNumber->text(), QString::number(score));
    QCOMPARE(c.lblChinesePercentage->text(), Q(std::string(rating->Percentage)));
    QCOMPARE(c.lblChineseRating->text(), Q(std::string(rating->Rating)));
    if (score == 2) QVERIFY(c.lblChineseRating->text().startsWith(QLatin1Char(' ')));
    QCOMPARE(ProfileTexts(c, true), Fields(*engine.GetSignProfile(us)));
    QCOMPARE(ProfileTexts(c, false), Fields(*engine.GetSignProfile(ps)));
    QCOMPARE(c.txtMaleElementDescription->toPlainText(), Q(engine.GetElementDescription(ue)));
    QCOMPARE(c.txtFemaleelementDescription->toPlainText(), Q(engine.GetElementDescription(pe)));
    QCOMPARE(c.txtMatchingDescription->toPlainText(),
             AsShown(engine.GetMatchingDescription(us, ps)));
    QCOMPARE(c.lblMatchingDescription->text(),
             QStringLiteral("Compatibility Of %1 With  %2 :-").arg(Q(us), Q(ps)));
    // Value labels grow to show their whole text.
    for (QLabel* label : {c.lblChineseRating, c.lblMatchingDescription, c.lblMaleChinesesign})
        QVERIFY(label->width() >= label->sizeHint().width());

    // The pictures are chosen by each person's western sign.
    const std::string userWest = engine.GetSignProfile(us)->WesternZodiacSign;
    const std::string partnerWest = engine.GetSignProfile(ps)->WesternZodiacSign;
    const auto picture = [results](const std::string& key) {
        for (const auto& [k, p] : results->IMG())
            if (k == Q(key)) return p.toImage();
        return QImage();
    };
    QCOMPARE(PictureOf(c.YourPicture), picture(userWest));
    QCOMPARE(PictureOf(c.YourPartnerPicture), picture(partnerWest));

    // The record holds the same reading.
    const CompatibilityRunRecord& run = Navigator::instance().reading();
    QCOMPARE(run.User.Sign, us);
    QCOMPARE(run.Partner.Element, pe);
    QCOMPARE(run.Result.Score, score);
    QCOMPARE(run.User.BirthDateText, "1 July " + std::to_string(YearOfSign(userSign)));
}

void TestRun::birthDateTexts_data() {
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << "5"
                           << "March"
                           << "1975"
                           << "5 March 1975" << true;
    QTest::newRow("blanks trimmed") << " 12 "
                                    << "  June"
                                    << "1999 "
                                    << "12 June 1999" << true;
    QTest::newRow("leap day") << "29"
                              << "February"
                              << "2000"
                              << "29 February 2000" << true;
    QTest::newRow("no such day") << "30"
                                 << "February"
                                 << "1980"
                                 << "30 February 1980" << false;
    QTest::newRow("31 April") << "31"
                              << "April"
                              << "1975"
                              << "31 April 1975" << false;
    QTest::newRow("unknown month") << "5"
                                   << "Mars"
                                   << "1975"
                                   << "5 Mars 1975" << false;
    QTest::newRow("day zero") << "0"
                              << "May"
                              << "1975"
                              << "0 May 1975" << false;
    QTest::newRow("not a number") << "x"
                                  << "May"
                                  << "1975"
                                  << "x May 1975" << false;
}

void TestRun::birthDateTexts() {
    QFETCH(QString, day);
    QFETCH(QString, month);
    QFETCH(QString, year);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const std::string built =
        BuildBirthDateText(day.toStdString(), month.toStdString(), year.toStdString());
    QCOMPARE(Q(built), text);
    QCOMPARE(ParseBirthDateText(built).has_value(), valid);
}

// What hovering over a person's sign says, for dates on both sides of New
// Years, at the 30-day limits and at the calendar's ends.
void TestRun::signTipsExplainTheChineseYear_data() {
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("tip");
    const QString tiger =
        QStringLiteral("Year of the Tiger (Wood): 23 January 1974 to 10 February 1975\n");
    const QString rabbit =
        QStringLiteral("Year of the Rabbit (Wood): 11 February 1975 to 30 January 1976");
    const QString snake =
        QStringLiteral("Year of the Snake (Wood): 2 February 1965 to 20 January 1966\n");
    QTest::newRow("first day offered")
        << 1 << 1 << 1936
        << "Year of the Pig (Wood): 4 February 1935 to 23 January 1936\n1 January 1936 falls "
           "twenty-three days before the Chinese New Year of 24 January 1936,\nand so belongs to "
           "the Pig year, not the Rat year that most of 1936 belongs to.";
    QTest::newRow("New Year of the first year offered")
        << 24 << 1 << 1936
        << "Year of the Rat (Fire): 24 January 1936 to 10 February 1937\n24 January 1936 is the "
           "day of the Chinese New Year,\nand so belongs to the Rat year, not the Pig year that "
           "ended the day before.";
    QTest::newRow("six days before a February New Year")
        << 5 << 2 << 1975
        << tiger +
               "5 February 1975 falls six days before the Chinese New Year of 11 February "
               "1975,\nand so belongs to the Tiger year, not the Rabbit year that most of 1975 "
               "belongs to.";
    QTest::newRow("a February New Year")
        << 11 << 2 << 1975
        << rabbit +
               "\n11 February 1975 is the day of the Chinese New Year,\nand so belongs to the "
               "Rabbit year, not the Tiger year that ended the day before.";
    QTest::newRow("thirty days after")
        << 13 << 3 << 1975
        << rabbit +
               "\n13 March 1975 falls thirty days after the Chinese New Year of 11 February "
               "1975,\nand so belongs to the Rabbit year, not the Tiger year that ended on 10 "
               "February 1975.";
    QTest::newRow("thirty-one days after") << 14 << 3 << 1975 << rabbit;
    QTest::newRow("thirty days before")
        << 12 << 1 << 1975
        << tiger +
               "12 January 1975 falls thirty days before the Chinese New Year of 11 February "
               "1975,\nand so belongs to the Tiger year, not the Rabbit year that most of 1975 "
               "belongs to.";
    QTest::newRow("thirty-one days before") << 11 << 1 << 1975 << tiger.chopped(1);
    QTest::newRow("day before a January New Year")
        << 20 << 1 << 1966
        << snake +
               "20 January 1966 falls one day before the Chinese New Year of 21 January "
               "1966,\nand so belongs to the Snake year, not the Horse year that most of 1966 "
               "belongs to.";
    QTest::newRow("a January New Year")
        << 21 << 1 << 1966
        << "Year of the Horse (Fire): 21 January 1966 to 8 February 1967\n21 January 1966 is the "
           "day of the Chinese New Year,\nand so belongs to the Horse year, not the Snake year "
           "that ended the day before.";
    QTest::newRow("last day the window offers")
        << 31 << 12 << 2019
        << "Year of the Pig (Earth): 5 February 2019 to 24 January 2020\n31 December 2019 falls "
           "twenty-five days before the Chinese New Year of 25 January 2020,\nand so belongs to "
           "the Pig year, like most of 2019.";
    QTest::newRow("calendar's last day")
        << 24 << 1 << 2020
        << "Year of the Pig (Earth): 5 February 2019 to 24 January 2020\n24 January 2020 falls one "
           "day before the Chinese New Year of 25 January 2020,\nand so belongs to the Pig year.";
}

void TestRun::signTipsExplainTheChineseYear() {
    QFETCH(int, day);
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(QString, tip);
    QCOMPARE(ChineseYearTip(std::chrono::year{year} / month / day), tip);
    if (year > 2019) return;  // beyond the years the input window offers

    // Through the windows, as each person in turn; the other is born mid-year.
    const QString midYear =
        QStringLiteral("Year of the Horse (Metal): 27 January 1990 to 14 February 1991");
    AnsweringDialogs dialogs;
    EndRecorder end;
    for (bool asPartner : {false, true}) {
        DestroyAllWindows();
        const BirthDay birth{day, month, year};
        const BirthDay other{1, 7, 1990};
        frmmain* input = FreshInput();
        EnterReading(*input, QStringLiteral("Ann"), asPartner ? other : birth,
                     QStringLiteral("Bob"), asPartner ? birth : other);
        input->controls().cmdProceed->click();
        frmchiness* results = Navigator::instance().loadedResults();
        QVERIFY(results);
        const Ui::frmchiness& c = results->controls();
        QLabel* sign = asPartner ? c.lblFemaleChineseSign : c.lblMaleChinesesign;
        QLabel* otherSign = asPartner ? c.lblMaleChinesesign : c.lblFemaleChineseSign;
        QCOMPARE(sign->toolTip(), tip);
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(sign);
        QVERIFY(spoken);
        QCOMPARE(spoken->text(QAccessible::Description), tip);
        QCOMPARE(otherSign->toolTip(), midYear);
    }
}

void TestRun::blankNameGivesEmptyCaption() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    frmmain* input = FreshInput();
    EnterReading(*input, QStringLiteral(" "), {12, 3, 1975}, QStringLiteral("  Zoë  "),
                 {1, 1, 1936});
    input->controls().cmdProceed->click();
    QVERIFY(dialogs.messages.isEmpty());
    frmchiness* results = Navigator::instance().loadedResults();
    QVERIFY(results);
    QCOMPARE(results->controls().Framale->title(), QString());
    QCOMPARE(results->controls().Frafemale->title(), QStringLiteral("Zoë"));
    QCOMPARE(Navigator::instance().reading().User.Name, std::string());
    QCOMPARE(results->controls().lblMaleChinesesign->text(), QStringLiteral("Rabbit"));
    QCOMPARE(results->controls().lblMaleChineseElements->text(), QStringLiteral("Wood"));
    QCOMPARE(Navigator::instance().reading().User.BirthDateText, std::string("12 March 1975"));
}

void TestRun::secondRunShowsOnlyItsOwnValues() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    frmmain* input = FreshInput();
    EnterReading(*input, QStringLiteral("First"), {1, 7, 1936}, QStringLiteral("Second"),
                 {1, 7, 1938});  // Rat, Tiger
    input->controls().cmdProceed->click();
    frmchiness* first = Navigator::instance().loadedResults();
    QVERIFY(first);
    first->controls().SSTab->setCurrentIndex(2);
    first->controls().cmdBack->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!Navigator::instance().loadedResults());

    frmmain* again = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<frmmain*>(w); m && m->isVisible()) again = m;
    QVERIFY(again);
    EnterReading(*again, QStringLiteral("Third"), {1, 7, 1940}, QStringLiteral("Fourth"),
                 {1, 7, 1945});  // Dragon, Rooster
    again->controls().cmdProceed->click();
    frmchiness* second = Navigator::instance().loadedResults();
    QVERIFY(second);
    const Ui::frmchiness& c = second->controls();
    QCOMPARE(c.SSTab->currentIndex(), 0);  // a new window starts on the compatibility tab
    QCOMPARE(c.Framale->title(), QStringLiteral("Third"));
    QCOMPARE(c.Frafemale->title(), QStringLiteral("Fourth"));
    QCOMPARE(c.lblMaleChinesesign->text(), QStringLiteral("Dragon"));
    QCOMPARE(c.lblFemaleChineseSign->text(), QStringLiteral("Rooster"));
    QCOMPARE(c.lblChineseCompatibilityNumber->text(), QStringLiteral("9"));
    QCOMPARE(c.txtFemaleWesternZodiacSign->text(), QStringLiteral("Virgo"));
    QCOMPARE(PictureOf(c.YourPicture), Picture("dragon"));
    QCOMPARE(PictureOf(c.YourPartnerPicture), Picture("rooster"));
    QCOMPARE(end.ends, 0);
}

// A birth-date text that names no day keeps that person's sign and element
// from the previous reading; all else comes from the new entries.
void TestRun::readingKeepsOnlyWhatNoDateAnswers_data() {
    QTest::addColumn<QString>("userBorn");
    QTest::addColumn<QString>("partnerBorn");
    QTest::addColumn<QString>("signs");  // the previous reading's: Fire Rat, Earth Tiger
    QTest::newRow("both dates real") << "1 July 1940"
                                     << "1 July 1945"
                                     << "Metal Dragon, Wood Rooster";
    QTest::newRow("user's date names no day") << "30 February 1980"
                                              << "1 July 1945"
                                              << "Fire Rat, Wood Rooster";
    QTest::newRow("neither date names a day") << "30 February 1980"
                                              << "31 April 1990"
                                              << "Fire Rat, Earth Tiger";
}

void TestRun::readingKeepsOnlyWhatNoDateAnswers() {
    QFETCH(QString, userBorn);
    QFETCH(QString, partnerBorn);
    QFETCH(QString, signs);
    const auto entries = [](const char* name, const QString& born) {
        const QStringList d = born.split(QLatin1Char(' '));
        return PersonEntries{name, d[0].toStdString(), d[1].toStdString(), d[2].toStdString()};
    };
    zodiac::modchinesezodiac engine;
    const CompatibilityRunRecord previous =
        TakeReading({entries("Ann", QStringLiteral("1 July 1936")),
                     entries("Bob", QStringLiteral("1 July 1938"))},
                    {}, engine);
    const CompatibilityRunRecord run =
        TakeReading({entries("Cleo", userBorn), entries("Dan", partnerBorn)}, previous, engine);

    QCOMPARE(run.User.Name, std::string("Cleo"));
    QCOMPARE(run.Partner.Name, std::string("Dan"));
    QCOMPARE(Q(run.User.BirthDateText), userBorn);
    QCOMPARE(Q(run.Partner.BirthDateText), partnerBorn);
    QCOMPARE(Q(run.User.Element + ' ' + run.User.Sign + ", " + run.Partner.Element + ' ' +
               run.Partner.Sign),
             signs);
    // What follows from the signs and elements is theirs, not the previous reading's.
    for (const PersonReading* p : {&run.User, &run.Partner}) {
        QVERIFY(p->Profile == engine.GetSignProfile(p->Sign));
        QCOMPARE(p->ElementDescription, engine.GetElementDescription(p->Element));
    }
    QCOMPARE(run.Result.Score, engine.GetCompatibilityScore(run.User.Sign, run.Partner.Sign));
    QCOMPARE(run.Result.Percentage, std::string(zodiac::RatingTable(run.Result.Score)->Percentage));
    QCOMPARE(run.Result.MatchingDescription,
             engine.GetMatchingDescription(run.User.Sign, run.Partner.Sign));
}

// A second reading, after Back or into the results window still shown: the
// navigator's reading and its report, made ahead or on Print, are that
// reading's alone.
void TestRun::reportHoldsOnlyTheLatestReading_data() {
    QTest::addColumn<bool>("back");
    QTest::addColumn<bool>("composedAhead");
    QTest::newRow("after Back, composed ahead") << true << true;
    QTest::newRow("after Back, composed on Print") << true << false;
    // The first reading's report, made ahead over this window, must go.
    QTest::newRow("into the shown window") << false << false;
}

void TestRun::reportHoldsOnlyTheLatestReading() {
    QFETCH(bool, back);
    QFETCH(bool, composedAhead);
    AnsweringDialogs dialogs;
    EndRecorder end;
    frmmain* input = FreshInput();
    EnterReading(*input, QStringLiteral("Ann"), {1, 7, 1936}, QStringLiteral("Bob"),
                 {1, 7, 1938});  // Rat, Tiger
    input->controls().cmdProceed->click();
    frmchiness* first = Navigator::instance().loadedResults();
    QVERIFY(first);
    QTRY_VERIFY(first->findChild<frmSave*>());  // the first reading's report, made ahead

    frmmain* again = nullptr;
    if (back) {
        first->controls().cmdBack->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<frmmain*>(w); m && m->isVisible()) again = m;
    } else {
        again = FreshInput();
    }
    QVERIFY(again);
    EnterReading(*again, QStringLiteral("Cleo"), {1, 7, 1940}, QStringLiteral("Dan"),
                 {1, 7, 1945});  // Dragon, Rooster
    const PairEntries entries = again->entries();
    again->controls().cmdProceed->click();
    frmchiness* second = Navigator::instance().loadedResults();
    QVERIFY(second);
    QCOMPARE(second == first, !back);
    zodiac::modchinesezodiac engine;
    const CompatibilityRunRecord alone = TakeReading(entries, {}, engine);
    QVERIFY(Navigator::instance().reading() == alone);

    if (composedAhead)
        QTRY_VERIFY(second->findChild<frmSave*>());
    else
        QVERIFY(!second->findChild<frmSave*>());
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* report = qobject_cast<frmSave*>(QApplication::activeModalWidget())) {
            shown = report->controls().RTB->toPlainText();
            report->close();
        }
    });
    second->controls().cmdPrint->click();
    QTextDocument expected;
    report::ComposeReport(expected, alone);
    QCOMPARE(shown, expected.toPlainText());
    QCOMPARE(end.ends, 0);
}

void TestRun::backOpensAFreshInputWindow() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    for (bool viaMenu : {false, true}) {
        DestroyAllWindows();
        frmmain* input = FreshInput();
        EnterReading(*input, QStringLiteral("A"), {31, 12, 2019}, QStringLiteral("B"),
                     {15, 8, 1990});
        input->controls().cmdProceed->click();
        frmchiness* results = Navigator::instance().loadedResults();
        QVERIFY(results);
        if (viaMenu)
            results->controls().mnuBack->trigger();
        else
            results->controls().cmdBack->click();
        QVERIFY(!results->isVisible());
        QCoreApplication::processEvents();
        frmmain* fresh = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<frmmain*>(w); m && m->isVisible()) fresh = m;
        QVERIFY(fresh);
        const Ui::frmmain& c = fresh->controls();
        QCOMPARE(c.txtMaleName->text(), QString());
        QCOMPARE(c.txtFemaleName->text(), QString());
        for (QComboBox* box : {c.CboMaleDate, c.cboMaleMonth, c.cboMaleYear, c.cboFemaleDate,
                               c.cboFemaleMonth, c.cboFemaleYear})
            QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(c.cboMaleYear->count(), 84);
        QCOMPARE(end.ends, 0);
    }
}

void TestRun::handOffsKeepTheProgramRunning() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    frmmain* input = FreshInput();
    EnterReading(*input, QStringLiteral("A"), {1, 1, 1950}, QStringLiteral("B"), {1, 1, 1960});
    input->controls().cmdProceed->click();
    QTest::qWait(20);
    QCOMPARE(end.ends, 0);
    Navigator::instance().loadedResults()->controls().cmdBack->click();
    QTest::qWait(20);
    QCOMPARE(end.ends, 0);
}

void TestRun::closingEndsTheProgram_data() {
    QTest::addColumn<QString>("how");
    for (const char* how : {"input close box", "input File Exit", "results close box",
                            "results Exit button", "results File Exit"})
        QTest::newRow(how) << QString::fromLatin1(how);
}

void TestRun::closingEndsTheProgram() {
    QFETCH(QString, how);
    AnsweringDialogs dialogs;
    EndRecorder end;
    frmmain* input = FreshInput();
    if (how == QStringLiteral("input close box")) {
        input->close();
    } else if (how == QStringLiteral("input File Exit")) {
        input->controls().mnuExit->trigger();
    } else {
        EnterReading(*input, QStringLiteral("A"), {1, 1, 1950}, QStringLiteral("B"), {1, 1, 1960});
        input->controls().cmdProceed->click();
        frmchiness* results = Navigator::instance().loadedResults();
        QVERIFY(results);
        if (how == QStringLiteral("results close box"))
            results->close();
        else if (how == QStringLiteral("results Exit button"))
            results->controls().cmdExit->click();
        else
            results->controls().mnuExit->trigger();
    }
    QTRY_COMPARE(end.ends, 1);
    QTest::qWait(20);
    QCOMPARE(end.ends, 1);  // ended once, however many windows closed on the way
    for (const QPointer<QWidget>& w : modHelp::LoadedWindows()) QVERIFY(!w || !w->isVisible());
}

// While the user types or reads, the next window is built ahead; what it
// then shows is the reading just made, never an earlier one.
void TestRun::windowsBuiltAheadShowTheLatestReading() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    auto* input = Navigator::instance().newInput();
    input->show();
    QTRY_VERIFY(Navigator::instance().spareResults());
    QPointer<frmchiness> spare = Navigator::instance().spareResults();
    QVERIFY(!spare->isVisible());
    EnterReading(*input, QStringLiteral("Ann"), {5, 2, 1975}, QStringLiteral("Bob"), {1, 7, 1938});
    input->controls().cmdProceed->click();
    QCOMPARE(Navigator::instance().loadedResults(), spare.data());
    QVERIFY(spare->isVisible());
    QCOMPARE(Navigator::instance().spareResults(), nullptr);

    // A report is composed ahead once the results show; a new reading
    // through the same window drops it, so Print shows the new one.
    QTRY_VERIFY(spare->findChild<frmSave*>());
    frmchiness* again = ReadingThroughWindows(QStringLiteral("Cleo"), QStringLiteral("Dan"));
    QCOMPARE(again, spare.data());
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* report = qobject_cast<frmSave*>(QApplication::activeModalWidget())) {
            shown = report->controls().RTB->toPlainText();
            report->close();
        }
    });
    spare->controls().cmdPrint->click();
    QVERIFY2(shown.contains(QStringLiteral("Cleo")) && !shown.contains(QStringLiteral("Ann")),
             qPrintable(shown.left(200)));
    QCOMPARE(end.ends, 0);
}

// A window built ahead is painted once while hidden, into the image its first
// paint on screen will use; that rehearsal is not the paint the user sees, so
// nothing that waits for the first paint runs before the window shows.
void TestRun::windowsBuiltAheadArePaintedWhileHidden_data() {
    QTest::addColumn<bool>("report");
    QTest::newRow("results window") << false;
    QTest::newRow("report window") << true;
}

void TestRun::windowsBuiltAheadArePaintedWhileHidden() {
    QFETCH(bool, report);
    AnsweringDialogs dialogs;
    EndRecorder end;
    auto* input = Navigator::instance().newInput();
    input->show();
    QTRY_VERIFY(Navigator::instance().spareResults());
    QWidget* window = Navigator::instance().spareResults();
    if (report) {
        window = NewReportOver(Navigator::instance().spareResults(), frmSave::Links::WhenShown);
        window->winId();
    }
    bool firstPaintSeen = false;
    AfterFirstPaint(window, [&] { firstPaintSeen = true; });
    PrepareBackingStore(window);
    QCoreApplication::processEvents();
    QVERIFY2(!firstPaintSeen, "a hidden rehearsal was taken for the first paint");
    QBackingStore* store = window->backingStore();
    QVERIFY(store);
    QCOMPARE(store->size(), window->size());
    if (const auto* image = dynamic_cast<const QImage*>(store->paintDevice())) {
        const QImage expected = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image->convertToFormat(QImage::Format_RGB32), expected);
    }
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTRY_VERIFY(firstPaintSeen);
    QCOMPARE(end.ends, 0);
}

// The profile tabs are filled once the opening tab has painted: a tab chosen
// before then, or a reading into a window already on screen, never shows
// them empty or with the earlier reading.
void TestRun::profileTabsFilledBeforeTheyShow_data() {
    QTest::addColumn<bool>("onScreen");
    QTest::newRow("another tab chosen before any paint") << false;
    QTest::newRow("a second reading into the shown window") << true;
}

void TestRun::profileTabsFilledBeforeTheyShow() {
    QFETCH(bool, onScreen);
    AnsweringDialogs dialogs;
    EndRecorder end;
    frmmain* input = FreshInput();
    QTRY_VERIFY(Navigator::instance().spareResults());
    frmchiness* results = Navigator::instance().spareResults();
    // Read past controls(), which would finish the fill itself.
    const Ui::frmchiness& ui = results->controls();
    if (onScreen) {
        EnterReading(*input, QStringLiteral("Ann"), {1, 7, 1975}, QStringLiteral("Bob"),
                     {1, 7, 1938});
        input->controls().cmdProceed->click();
        QVERIFY(QTest::qWaitForWindowExposed(results));
        QTRY_VERIFY(!ui.txtMaleRulingPlanet->text().isEmpty());
        input = FreshInput();
    }
    EnterReading(*input, QStringLiteral("Cleo"), {1, 7, 1940}, QStringLiteral("Dan"), {1, 7, 1941});
    input->controls().cmdProceed->click();
    QCOMPARE(Navigator::instance().loadedResults(), results);
    if (!onScreen) ui.SSTab->setCurrentIndex(1);
    zodiac::modchinesezodiac engine;
    QCOMPARE(ProfileTexts(ui, true), Fields(*engine.GetSignProfile("Dragon")));
    QCOMPARE(ProfileTexts(ui, false), Fields(*engine.GetSignProfile("Snake")));
    QCOMPARE(ui.Framale->title(), QStringLiteral("Cleo"));
    QCOMPARE(end.ends, 0);
}

LUNVEX_TEST_MAIN(TestRun)
#include "tst_run.moc"
