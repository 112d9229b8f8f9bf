// Sign profiles and element descriptions: the published short fields, the
// measurable rules of the long texts, famous people's birth years against the
// calendar, and the lookup rules.
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <chrono>
#include <cmath>

#include "common/qtext.h"
#include "engine/modchinesezodiac.h"

namespace {

struct ExpectedProfile {
    const char* sign;
    // RulingPlanet, MostCompatibleSign, LeastCompatibleSign, LuckyColour, GemStone, Energy
    const char* first[6];
    // LuckySeasons, LuckyMonth, WesternZodiacSign, LuckyNumber
    const char* second[4];
    int positiveLength;
    const char* positiveOpening;
    int negativeLength;
    const char* negativeOpening;
    int famousCount;
    int famousLength;
};

// The published tables, typed in independently of the engine.
const ExpectedProfile kProfiles[12] = {
    {"Rat",
     {"Jupiter", "Dragon, Monkey", "Horse", "Light Blue", "Carbuncle, Red Garnet",
      "Yin (positive)"},
     {"Winter", "December", "Sagittarius", "1, 4, 5, 10, 11, 14, 41, 45, 51, and 54"},
     680,
     "You are considered to be witty and charming people.",
     570,
     "You may become greedy.",
     1,
     19},
    {"Ox",
     {"Saturn", "Snake, Rooster", "Goat", "Violet", "White Onyx", "Yin (positive)"},
     {"End of Winter", "January", "Capricorn", "1, 3, 5, 12, 15, 33, 35, 51 and 53"},
     922,
     "You are born leaders.",
     531,
     "You do not feel comfortable in crowds",
     7,
     105},
    {"Tiger",
     {"Uranus", "Horse, Dog", "Monkey", "Green", "Sapphire", "Yang (Negative)"},
     {"Early Spring", "February", "Aquarius", "4, 5, 7, 9, 13, 34, 44, 45 and 54"},
     759,
     "You are born leaders and have an infectious zeal for life.",
     508,
     "You have a very short temper",
     6,
     83},
    {"Rabbit",
     {"Jupiter", "Goat, Pig", "Rooster", "Pale Green", "Chrysolite", "Yin (positive)"},
     {"Mid Spring", "March", "Pisces", "1, 3, 5, 9, 15, 19 and 35"},
     731,
     "You are very softhearted people",
     561,
     "You are dependent on others.",
     6,
     81},
    {"Dragon",
     {"Mars", "Rat, Monkey", "Dog", "Turquoise", "Amethyst", "Yang (Negative)"},
     {"End of Spring", "April", "Aries", "3, 4, 5, 6, 15, 21, 34, 35, 36 and 45"},
     840,
     "You are a very powerful sign",
     738,
     "You may be considered to talk too much",
     3,
     49},
    {"Snake",
     {"Venus", "Ox, Rooster", "Tiger, Pig", "Red", "Mossagate", "Yin (Positive Energy)"},
     {"Early Summer", "May", "Taurus", "1, 2, 4, 6, 13, 24, 42 and 46"},
     761,
     "You are usually very popular with people.",
     635,
     "You may be too lazy in nature.",
     6,
     101},
    {"Horse",
     {"Mercury", "Tiger, Dog", "Rat", "Orange", "Beryl", "Yang (Negative)"},
     {"Mid Summer", "June", "Gemini", "1, 3, 4, 8, 13, 14, 41 and 43"},
     762,
     "You have commanding presence amongst people.",
     470,
     "You feel inferior in your group",
     5,
     74},
    {"Goat",
     {"Moon", "Rabbit, Pig", "Ox", "Pink, Purple", "Emerald", "Yin (Positive)"},
     {"End of Summer", "July", "Cancer", "3, 4, 5, 12, 34, 45 and 54"},
     797,
     "You have a charming personality.",
     500,
     "You are always complaining about everything.",
     6,
     89},
    {"Monkey",
     {"Sun", "Rat, Dragon", "Tiger", "Yellow, Gold", "Emerald", "Yang (Negative)"},
     {"Early Autumn", "August", "Leo", "3, 4, 5, 7, 16, 23, 34, 45 and 54"},
     997,
     "You love having a ball of a time.",
     432,
     "You are never serious about issues.",
     6,
     90},
    {"Rooster",
     {"Mercury", "Ox, Dragon, Snake", "Rabbit", "Peach, Apricot", "Pin Jasper", "Yin (Positive)"},
     {"Mid Autumn", "September", "Virgo", "1, 5, 6, 12, 15, 16, 24 and 51"},
     685,
     "You are a good decision maker and hard worker.",
     438,
     "You are very impractical and only proud.",
     4,
     54},
    {"Dog",
     {"Venus", "Tiger, Horse", "Dragon", "Pale Yellow", "Diamond", "Yang (Negative)"},
     {"Winter", "October", "Libra", "1, 4, 5, 9, 10, 14, 19, 28, 30, 41, 45 and 54"},
     739,
     "You are a trustworthy and faithful person.",
     502,
     "You do not trust anyone.",
     8,
     113},
    {"Pig",
     {"Mars", "Rabbit, Goat", "Snake", "Dark Blue", "Topaz", "Yin (Positive)"},
     {"Early Winter", "October", "Scorpio", "1, 3, 4, 5, 8, 16, 18, 34, 41 and 48"},
     614,
     "You are intelligent and love challenges.",
     417,
     "You may be too materialistic.",
     5,
     74},
};

struct ExpectedElement {
    const char* name;
    int length;
    int sentences;
    const char* opening;
};

const ExpectedElement kElements[5] = {
    {"Metal", 302, 6, "You are very focused and confident."},
    {"Water", 334, 7, "You have the fluidity of water and solve issues with your silent charm."},
    {"Wood", 432, 9, "You are very confident about yourself."},
    {"Fire", 354, 9, "You have an impulsive nature."},
    {"Earth", 318, 7, "You are more logical than emotional in nature."},
};

// Characters as a reader counts them (code points), not bytes.
int Length(const QString& s) { return int(s.toUcs4().size()); }

bool WithinFivePercent(int actual, int target) {
    return std::abs(actual - target) <= std::lround(target * 0.05);
}

// A paragraph a reader sees as one: no line breaks, no tabs, no doubled blanks,
// no blanks at the ends.
void VerifyParagraph(const QString& text) {
    QVERIFY2(!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')),
             "line break inside a paragraph");
    QVERIFY2(!text.contains(QLatin1Char('\t')), "tab inside a paragraph");
    QVERIFY2(!text.contains(QStringLiteral("  ")), qPrintable(text));
    QCOMPARE(text.trimmed(), text);
    QVERIFY2(text.endsWith(QLatin1Char('.')), qPrintable(text.right(40)));
}

int Sentences(const QString& text) {
    static const QRegularExpression end(QStringLiteral("[.!?](\\s|$)"));
    return int(text.count(end));
}

std::chrono::year_month_day ParseDate(const QString& iso) {
    const QStringList p = iso.split(QLatin1Char('-'));
    if (p.size() != 3) return {};
    return std::chrono::year_month_day{std::chrono::year{p[0].toInt()},
                                       std::chrono::month{p[1].toUInt()},
                                       std::chrono::day{p[2].toUInt()}};
}

}  // namespace

class TestProfiles : public QObject {
    Q_OBJECT

  private slots:
    void shortFields_data();
    void shortFields();
    void longFields_data();
    void longFields();
    void monkeyPositiveTraitsAreTwoPassagesJoined();
    void someParagraphHoldsAnIWithDiaeresis();
    void signNamesInsideProfilesAreSigns();
    void westernSignsAreTheTwelvePictureKeys();
    void famousPersonsWereBornInTheirSign();
    void unknownSignsHaveNoProfile_data();
    void unknownSignsHaveNoProfile();
    void returnedProfileIsACopy();
    void elementParagraphs_data();
    void elementParagraphs();
    void elementLookupKeepsLastParagraph();
};

void TestProfiles::shortFields_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < 12; ++i) QTest::newRow(kProfiles[i].sign) << i;
}

void TestProfiles::shortFields() {
    QFETCH(int, index);
    const ExpectedProfile& e = kProfiles[index];
    const zodiac::modchinesezodiac engine;
    const auto p = engine.GetSignProfile(e.sign);
    QVERIFY(p.has_value());
    QCOMPARE(Q(p->RulingPlanet), QString::fromUtf8(e.first[0]));
    QCOMPARE(Q(p->MostCompatibleSign), QString::fromUtf8(e.first[1]));
    QCOMPARE(Q(p->LeastCompatibleSign), QString::fromUtf8(e.first[2]));
    QCOMPARE(Q(p->LuckyColour), QString::fromUtf8(e.first[3]));
    QCOMPARE(Q(p->GemStone), QString::fromUtf8(e.first[4]));
    QCOMPARE(Q(p->Energy), QString::fromUtf8(e.first[5]));
    QCOMPARE(Q(p->LuckySeasons), QString::fromUtf8(e.second[0]));
    QCOMPARE(Q(p->LuckyMonth), QString::fromUtf8(e.second[1]));
    QCOMPARE(Q(p->WesternZodiacSign), QString::fromUtf8(e.second[2]));
    QCOMPARE(Q(p->LuckyNumber), QString::fromUtf8(e.second[3]));
}

void TestProfiles::longFields_data() { shortFields_data(); }

void TestProfiles::longFields() {
    QFETCH(int, index);
    const ExpectedProfile& e = kProfiles[index];
    const auto p = zodiac::modchinesezodiac().GetSignProfile(e.sign);
    QVERIFY(p.has_value());

    const QString positive = Q(p->PositiveTraits);
    const QString negative = Q(p->NegativeTraits);
    QVERIFY2(positive.startsWith(QString::fromUtf8(e.positiveOpening)),
             qPrintable(positive.left(80)));
    QVERIFY2(negative.startsWith(QString::fromUtf8(e.negativeOpening)),
             qPrintable(negative.left(80)));
    QVERIFY2(WithinFivePercent(Length(positive), e.positiveLength),
             qPrintable(QStringLiteral("positive traits: %1 characters").arg(Length(positive))));
    QVERIFY2(WithinFivePercent(Length(negative), e.negativeLength),
             qPrintable(QStringLiteral("negative traits: %1 characters").arg(Length(negative))));
    QVERIFY2(Length(positive) >= 614 && Length(positive) <= 997, "positive traits out of range");
    QVERIFY2(Length(negative) >= 417 && Length(negative) <= 738, "negative traits out of range");
    if (QString::fromUtf8(e.sign) != QStringLiteral("Monkey")) VerifyParagraph(positive);
    VerifyParagraph(negative);
    // Addressed to the reader: every sentence speaks of "you".
    static const QRegularExpression split(QStringLiteral("(?<=[.!?])\\s*(?=[A-Z])"));
    for (const QString& text : {positive, negative})
        for (const QString& sentence : text.split(split, Qt::SkipEmptyParts))
            QVERIFY2(
                sentence.contains(QRegularExpression(QStringLiteral("\\b[Yy]ou(r|rs|rself)?\\b"))),
                qPrintable(sentence));

    const QStringList names = Q(p->FamousPersons).split(QStringLiteral(", "));
    QCOMPARE(int(names.size()), e.famousCount);
    for (const QString& name : names) {
        QVERIFY2(!name.isEmpty() && name.trimmed() == name, qPrintable(name));
        QVERIFY2(!name.startsWith(QStringLiteral("and ")), qPrintable(name));
        QVERIFY2(!name.contains(QLatin1Char(',')), qPrintable(name));
    }
    QVERIFY2(std::abs(Length(Q(p->FamousPersons)) - e.famousLength) <= e.famousLength / 10 + 1,
             qPrintable(Q(p->FamousPersons)));

    // No field is ever empty.
    for (const std::string* field :
         {&p->RulingPlanet, &p->PositiveTraits, &p->NegativeTraits, &p->MostCompatibleSign,
          &p->LeastCompatibleSign, &p->LuckyColour, &p->GemStone, &p->Energy, &p->LuckySeasons,
          &p->LuckyMonth, &p->FamousPersons, &p->WesternZodiacSign, &p->LuckyNumber})
        QVERIFY(!field->empty());
}

void TestProfiles::monkeyPositiveTraitsAreTwoPassagesJoined() {
    const QString text = Q(zodiac::modchinesezodiac().GetSignProfile("Monkey")->PositiveTraits);
    // The one place where a full stop is followed directly by the next word.
    static const QRegularExpression joint(QStringLiteral("\\.(?=[A-Za-z])"));
    const QRegularExpressionMatch m = joint.match(text);
    QVERIFY(m.hasMatch());
    QCOMPARE(text.count(joint), 1);
    const int first = Length(text.left(m.capturedEnd()));
    const int second = Length(text.mid(m.capturedEnd()));
    QVERIFY2(WithinFivePercent(first, 286), qPrintable(QString::number(first)));
    QVERIFY2(WithinFivePercent(second, 711), qPrintable(QString::number(second)));
    VerifyParagraph(text.left(m.capturedEnd()));
    VerifyParagraph(text.mid(m.capturedEnd()));
}

void TestProfiles::someParagraphHoldsAnIWithDiaeresis() {
    const zodiac::modchinesezodiac engine;
    int found = 0;
    for (auto sign : zodiac::ChineseSign) {
        const auto p = engine.GetSignProfile(sign);
        for (const QString& text : {Q(p->PositiveTraits), Q(p->NegativeTraits)}) {
            found += int(text.count(QChar(0x00EF)));
            // Nothing else outside ASCII, and nothing decomposed.
            for (QChar c : text)
                QVERIFY2(c.unicode() < 0x80 || c.unicode() == 0x00EF, qPrintable(text));
        }
    }
    QVERIFY(found >= 1);
}

void TestProfiles::signNamesInsideProfilesAreSigns() {
    const zodiac::modchinesezodiac engine;
    for (auto sign : zodiac::ChineseSign) {
        const auto p = engine.GetSignProfile(sign);
        const QStringList most = Q(p->MostCompatibleSign).split(QStringLiteral(", "));
        const QStringList least = Q(p->LeastCompatibleSign).split(QStringLiteral(", "));
        QVERIFY(most.size() >= 2 && most.size() <= 3);
        QVERIFY(least.size() >= 1 && least.size() <= 2);
        for (const QString& name : most + least)
            QVERIFY2(engine.GetCompatibilityScore(name.toStdString(), sign) > 0, qPrintable(name));
    }
}

void TestProfiles::westernSignsAreTheTwelvePictureKeys() {
    const QSet<QString> keys{"Aquarius", "Aries",  "Cancer",      "Capricorn", "Gemini", "Leo",
                             "Libra",    "Pisces", "Sagittarius", "Scorpio",   "Taurus", "Virgo"};
    QSet<QString> seen;
    const zodiac::modchinesezodiac engine;
    for (auto sign : zodiac::ChineseSign)
        seen.insert(Q(engine.GetSignProfile(sign)->WesternZodiacSign));
    QCOMPARE(seen, keys);
}

// Each famous person has a birth date in the test data, and the program's own
// calendar must put that date in the person's sign.
void TestProfiles::famousPersonsWereBornInTheirSign() {
    QFile file(QStringLiteral(LUNVEX_TEST_DATA "/famous_persons.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QHash<QString, QStringList> bySign;
    zodiac::modchinesezodiac engine;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const QStringList f = line.split(QLatin1Char('\t'));
        QCOMPARE(f.size(), 3);
        const auto date = ParseDate(f[2]);
        QVERIFY2(date.ok(), qPrintable(line));
        QVERIFY2(zodiac::FindYearRow(date).has_value(), qPrintable(line));
        QVERIFY2(Q(engine.GetChineseSign(date)) == f[0], qPrintable(line));
        bySign[f[0]].append(f[1]);
    }
    for (auto sign : zodiac::ChineseSign) {
        const QString name = QString::fromUtf8(sign.data(), qsizetype(sign.size()));
        const auto p = engine.GetSignProfile(sign);
        QCOMPARE(Q(p->FamousPersons).split(QStringLiteral(", ")), bySign.value(name));
    }
}

void TestProfiles::unknownSignsHaveNoProfile_data() {
    QTest::addColumn<QByteArray>("sign");
    QTest::newRow("lower case") << QByteArray("rat");
    QTest::newRow("leading blank") << QByteArray(" Rat");
    QTest::newRow("trailing blank") << QByteArray("Rat ");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("key word") << QByteArray("AnimalOne");
    QTest::newRow("western sign") << QByteArray("Leo");
    QTest::newRow("embedded NUL") << QByteArray("Pig\0", 4);
}

void TestProfiles::unknownSignsHaveNoProfile() {
    QFETCH(QByteArray, sign);
    const std::string_view s(sign.constData(), std::size_t(sign.size()));
    QVERIFY(!zodiac::modchinesezodiac().GetSignProfile(s).has_value());
}

void TestProfiles::returnedProfileIsACopy() {
    const zodiac::modchinesezodiac engine;
    auto first = engine.GetSignProfile("Dog");
    const auto untouched = engine.GetSignProfile("Dog");
    QVERIFY(first == untouched);
    first->LuckyMonth = "March";
    first->FamousPersons.clear();
    QCOMPARE(engine.GetSignProfile("Dog")->LuckyMonth, std::string("October"));
    QVERIFY(engine.GetSignProfile("Dog") == untouched);
}

void TestProfiles::elementParagraphs_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < 5; ++i) QTest::newRow(kElements[i].name) << i;
}

void TestProfiles::elementParagraphs() {
    QFETCH(int, index);
    const ExpectedElement& e = kElements[index];
    const QString text = Q(zodiac::modchinesezodiac().GetElementDescription(e.name));
    QVERIFY2(text.startsWith(QString::fromUtf8(e.opening)), qPrintable(text.left(80)));
    QVERIFY2(WithinFivePercent(Length(text), e.length), qPrintable(QString::number(Length(text))));
    QCOMPARE(Sentences(text), e.sentences);
    VerifyParagraph(text);
}

void TestProfiles::elementLookupKeepsLastParagraph() {
    zodiac::modchinesezodiac engine;
    QCOMPARE(engine.GetElementDescription(""), std::string());
    QCOMPARE(engine.GetElementDescription("Metal "), std::string());
    const std::string water = engine.GetElementDescription("Water");
    QVERIFY(!water.empty());
    QCOMPARE(engine.GetElementDescription("water"), water);

    const std::string fire = engine.GetElementDescription("Fire");
    const std::string earth = engine.GetElementDescription("Earth");
    QVERIFY(fire != earth && fire != water);
    QCOMPARE(engine.GetElementDescription("Wood fire"), earth);
    QCOMPARE(engine.GetElementDescription(""), earth);

    // The five paragraphs are distinct, and each engine keeps its own last one.
    QSet<QString> all;
    for (auto element : zodiac::ChineseElement)
        all.insert(Q(engine.GetElementDescription(element)));
    QCOMPARE(all.size(), 5);
    QCOMPARE(zodiac::modchinesezodiac().GetElementDescription("Earthy"), std::string());
}

QTEST_APPLESS_MAIN(TestProfiles)
#include "tst_profiles.moc"
