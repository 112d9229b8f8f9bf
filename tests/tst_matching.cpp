// The 144 matching descriptions: keys, form, lengths, summaries against the
// score table, distinctness, and the lookup rules.
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <algorithm>

#include "common/qtext.h"
#include "content/texts.h"
#include "engine/modchinesezodiac.h"

namespace {

QString Plural(const QString& sign) {
    return sign == QStringLiteral("Ox") ? QStringLiteral("Oxen") : sign + QLatin1Char('s');
}

const QStringList kNumberWords{"zero", "one",   "two",   "three", "four", "five",
                               "six",  "seven", "eight", "nine",  "ten"};

struct Parts {
    QString prose;
    QString summary;
    bool broken = false;  // summary after CR LF CR LF
};

// The two entries whose summary follows the prose's full stop directly.
bool RunsOn(const QString& user, const QString& partner) {
    return (user == QStringLiteral("Goat") && partner == QStringLiteral("Goat")) ||
           (user == QStringLiteral("Tiger") && partner == QStringLiteral("Rooster"));
}

Parts Split(const QString& text) {
    Parts p;
    const qsizetype crlf = text.indexOf(QStringLiteral("\r\n\r\n"));
    if (crlf >= 0) {
        p.prose = text.left(crlf);
        p.summary = text.mid(crlf + 4);
        p.broken = true;
        return p;
    }
    qsizetype at = text.indexOf(QStringLiteral("On the compatibility scale of one to ten, "));
    if (at < 0) at = text.indexOf(QStringLiteral("On a scale of one to ten, "));
    p.prose = text.left(at);
    p.summary = text.mid(at);
    return p;
}

// What the summary must begin with for the pair.
QString SummaryHead(const QString& user, const QString& partner) {
    const QString scale = QStringLiteral("On the compatibility scale of one to ten, ");
    if (user == QStringLiteral("Pig") && partner == QStringLiteral("Pig"))
        return QStringLiteral("On a scale of one to ten, Two Pigs ");
    if (user == partner) return scale + QStringLiteral("two ") + Plural(user) + QLatin1Char(' ');
    // The Rat-with-Dog entry is the Dog-with-Rat text; the Ox-with-Rat one names the Rat first.
    if (user == QStringLiteral("Rat") && partner == QStringLiteral("Dog"))
        return scale + QStringLiteral("Dog and Rat ");
    if (user == QStringLiteral("Ox") && partner == QStringLiteral("Rat"))
        return scale + QStringLiteral("Rat and Ox ");
    return scale + user + QStringLiteral(" and ") + partner + QLatin1Char(' ');
}

QStringList SentencesOf(const QString& prose) {
    static const QRegularExpression end(QStringLiteral("(?<=[.!?])\\s+"));
    return prose.split(end, Qt::SkipEmptyParts);
}

// A sentence with the sign names masked, so a template with the names swapped
// in counts as the same sentence.
QString Masked(QString sentence) {
    static const QRegularExpression names(QStringLiteral(
        "\\b(Rat|Ox|Tiger|Rabbit|Dragon|Snake|Horse|Goat|Monkey|Rooster|Dog|Pig)(s|en)?\\b"));
    return sentence.replace(names, QStringLiteral("#")).toLower();
}

}  // namespace

class TestMatching : public QObject {
    Q_OBJECT

  private slots:
    void keysInStoredOrder();
    void everyPair_data();
    void everyPair();
    void lengthsAcrossAllEntries();
    void textsAreDistinct();
    void noSentenceIsShared();
    void editorialRules_data();
    void editorialRules();
    void openingsNameTheFirstSignFirst();
    void quotedOpeningsAndEndings();
    void keyWordsStandForRabbitAndRooster();
    void unknownSignsGiveEmptyText_data();
    void unknownSignsGiveEmptyText();
};

void TestMatching::keysInStoredOrder() {
    const auto keyWord = [](std::string_view s) -> QString {
        if (s == "Rabbit") return QStringLiteral("AnimalOne");
        if (s == "Rooster") return QStringLiteral("AnimalTwo");
        return Q(s);
    };
    QSet<QString> seen;
    std::size_t i = 0;
    for (auto user : zodiac::ChineseSign)
        for (auto partner : zodiac::ChineseSign) {
            const QString key = keyWord(user) + QLatin1Char('_') + keyWord(partner);
            QCOMPARE(Q(zodiac::content::MatchingDescriptionTable[i++].Key), key);
            seen.insert(key);
        }
    QCOMPARE(seen.size(), 144);
}

void TestMatching::everyPair_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("partner");
    for (auto u : zodiac::ChineseSign)
        for (auto p : zodiac::ChineseSign)
            QTest::addRow("%s with %s", u.data(), p.data()) << Q(u) << Q(p);
}

void TestMatching::everyPair() {
    QFETCH(QString, user);
    QFETCH(QString, partner);
    const zodiac::modchinesezodiac engine;
    const QString text = QString::fromStdString(
        engine.GetMatchingDescription(user.toStdString(), partner.toStdString()));
    QVERIFY(!text.isEmpty());

    const int length = int(text.toUcs4().size());
    QVERIFY2(length >= 668 && length <= 1285, qPrintable(QString::number(length)));
    const int words =
        int(text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts).size());
    QVERIFY2(words >= 125 && words <= 222, qPrintable(QString::number(words)));

    // Form: one paragraph, CR LF CR LF, one summary sentence; two entries run on.
    const Parts parts = Split(text);
    QCOMPARE(parts.broken, !RunsOn(user, partner));
    QVERIFY2(!parts.prose.contains(QLatin1Char('\n')) && !parts.prose.contains(QLatin1Char('\r')),
             "line break inside the prose");
    QVERIFY2(
        !parts.summary.contains(QLatin1Char('\n')) && !parts.summary.contains(QLatin1Char('\r')),
        "line break inside the summary");
    QVERIFY2(!parts.prose.contains(QStringLiteral("  ")), "double blank in the prose");
    QVERIFY(parts.prose.endsWith(QLatin1Char('.')));
    QCOMPARE(parts.prose.trimmed(), parts.prose);

    const QString head = SummaryHead(user, partner);
    QVERIFY2(parts.summary.startsWith(head), qPrintable(parts.summary));
    QVERIFY(parts.summary.endsWith(QLatin1Char('.')));
    QCOMPARE(SentencesOf(parts.summary).size(), 1);

    // The score in words is the last number word, and it is the table's score.
    QStringList numbers;
    static const QRegularExpression word(QStringLiteral("[A-Za-z]+"));
    for (auto it = word.globalMatch(parts.summary.mid(head.size())); it.hasNext();) {
        const QString w = it.next().captured().toLower();
        if (kNumberWords.contains(w)) numbers.append(w);
    }
    QVERIFY2(!numbers.isEmpty(), qPrintable(parts.summary));
    const int score = engine.GetCompatibilityScore(user.toStdString(), partner.toStdString());
    QCOMPARE(numbers.last(), kNumberWords[score]);
}

void TestMatching::lengthsAcrossAllEntries() {
    std::vector<int> lengths;
    for (const auto& entry : zodiac::content::MatchingDescriptionTable)
        lengths.push_back(int(Q(entry.Text).toUcs4().size()));
    std::sort(lengths.begin(), lengths.end());
    const double median = (lengths[71] + lengths[72]) / 2.0;
    QVERIFY2(median >= 880 && median <= 940, qPrintable(QString::number(median)));
    QVERIFY(lengths.front() >= 668 && lengths.back() <= 1285);
}

void TestMatching::textsAreDistinct() {
    const zodiac::modchinesezodiac engine;
    QCOMPARE(engine.GetMatchingDescription("Rat", "Dog"),
             engine.GetMatchingDescription("Dog", "Rat"));
    QSet<QString> texts;
    for (const auto& entry : zodiac::content::MatchingDescriptionTable) texts.insert(Q(entry.Text));
    QCOMPARE(texts.size(), 143);
    for (auto a : zodiac::ChineseSign)
        for (auto b : zodiac::ChineseSign)
            if (a < b && !((a == "Rat" && b == "Dog") || (a == "Dog" && b == "Rat")))
                QVERIFY(engine.GetMatchingDescription(a, b) != engine.GetMatchingDescription(b, a));
}

// Apart from the summary's fixed opening, no sentence stands in two texts, even
// with the sign names swapped.
void TestMatching::noSentenceIsShared() {
    QHash<QString, QString> owner;
    QStringList clashes;
    for (const auto& entry : zodiac::content::MatchingDescriptionTable) {
        const QString key = Q(entry.Key);
        if (key == QStringLiteral("Rat_Dog")) continue;  // the Dog-with-Rat text again
        const Parts parts = Split(Q(entry.Text));
        QStringList sentences = SentencesOf(parts.prose);
        for (QString& s : sentences) s = Masked(s);
        sentences.append(parts.summary);  // summaries differ by their names
        for (const QString& s : std::as_const(sentences)) {
            const auto it = owner.constFind(s);
            if (it != owner.cend() && *it != key)
                clashes.append(*it + QLatin1Char('/') + key + ": " + s);
            owner.insert(s, key);
        }
    }
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QLatin1Char('\n'))));
}

// The texts are written in British English, and a phrase that turns up in
// pair after pair makes the descriptions read like a template. Each row is a
// case-insensitive pattern, whether only the matching descriptions count, and
// how many occurrences are allowed.
void TestMatching::editorialRules_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matchingOnly");
    QTest::addColumn<int>("allowed");
    const bool everyText = false;
    const bool descriptionsOnly = true;
    // -ize and -yze words, but not size, prize, seize or capsize.
    QTest::newRow("-ize, -yze")
        << QStringLiteral("\\b(?!(?:s|pr|se|caps)iz)[a-z]+(?:iz|yz)(?:e|es|ed|ing|ation|ations)\\b")
        << everyText << 0;
    QTest::newRow("-or for -our")
        << QStringLiteral(
               "\\b(?:arb|ard|arm|behavi|cand|clam|col|demean|endeav|fav|flav|harb|hon|"
               "hum|lab|neighb|od|parl|rig|rum|sav|splend|tum|val|vap|vig)or"
               "(?:s|ed|ing|ful|less|able|ite|ites)?\\b")
        << everyText << 0;
    QTest::newRow("-er for -re") << QStringLiteral(
                                        "\\b(?:cent|theat|fib|somb|meag|lust|spect)er(?:s|ed)?\\b")
                                 << everyText << 0;
    QTest::newRow("other American forms")
        << QStringLiteral(
               "\\b(?:judgments?|toward|afterward|gotten|jewelry|gray|cozy|"
               "travel(?:ed|ing|er)|cancel(?:ed|ing)|label(?:ed|ing)|marvelous|"
               "fulfill|skillful|willful|defense|offense|practic(?:ed|ing))\\b")
        << everyText << 0;
    // The Rabbit's opening words keep their one "softhearted".
    QTest::newRow("softhearted") << QStringLiteral("\\bsofthearted\\b") << everyText << 1;
    QTest::newRow("easygoing") << QStringLiteral("\\beasygoing\\b") << everyText << 0;
    QTest::newRow("standoff") << QStringLiteral("\\bstandoffs?\\b") << everyText << 0;
    QTest::newRow("commanding presence")
        << QStringLiteral("\\bcommanding presence\\b") << descriptionsOnly << 2;
    QTest::newRow("slow to trust")
        << QStringLiteral("\\bslow to trust\\b") << descriptionsOnly << 2;
    QTest::newRow("intelligent and loves a challenge")
        << QStringLiteral("\\bintelligent and loves a challenge\\b") << descriptionsOnly << 1;
    QTest::newRow("finish each other's")
        << QStringLiteral("\\bfinish(?:es)? each other's\\b") << descriptionsOnly << 1;
    QTest::newRow("frank to the point of bluntness")
        << QStringLiteral("\\bfrank to the point of bluntness\\b") << descriptionsOnly << 1;
}

void TestMatching::editorialRules() {
    QFETCH(QString, pattern);
    QFETCH(bool, matchingOnly);
    QFETCH(int, allowed);
    const QRegularExpression re(pattern, QRegularExpression::CaseInsensitiveOption);
    QVERIFY2(re.isValid(), qPrintable(re.errorString()));

    QList<QPair<QString, QString>> texts;  // where, text
    for (const auto& entry : zodiac::content::MatchingDescriptionTable)
        if (entry.Key != "Rat_Dog")  // the Dog-with-Rat text again
            texts.append({Q(entry.Key), Q(entry.Text)});
    if (!matchingOnly) {
        for (std::size_t i = 0; i < zodiac::content::SignTextTable.size(); ++i) {
            const QString sign = Q(zodiac::ChineseSign[i]);
            texts.append({sign + QStringLiteral(" positive"),
                          Q(zodiac::content::SignTextTable[i].PositiveTraits)});
            texts.append({sign + QStringLiteral(" negative"),
                          Q(zodiac::content::SignTextTable[i].NegativeTraits)});
        }
        for (std::size_t i = 0; i < zodiac::content::ElementDescriptionTable.size(); ++i)
            texts.append(
                {Q(zodiac::ChineseElement[i]), Q(zodiac::content::ElementDescriptionTable[i])});
    }

    QStringList found;
    for (const auto& [where, text] : std::as_const(texts))
        for (auto it = re.globalMatch(text); it.hasNext();)
            found.append(where + QStringLiteral(": ") + it.next().captured());
    QVERIFY2(found.size() <= allowed, qPrintable(found.join(QStringLiteral("; "))));
}

void TestMatching::openingsNameTheFirstSignFirst() {
    const zodiac::modchinesezodiac engine;
    QStringList others;
    int firstFirst = 0;
    for (auto a : zodiac::ChineseSign)
        for (auto b : zodiac::ChineseSign) {
            if (a == b) continue;
            const QString text = QString::fromStdString(engine.GetMatchingDescription(a, b));
            if (text.startsWith(QStringLiteral("The %1 and the %2 ").arg(Q(a), Q(b))))
                ++firstFirst;
            else
                others.append(Q(a) + QLatin1Char('_') + Q(b));
        }
    QCOMPARE(firstFirst, 129);
    QCOMPARE(others, (QStringList{"Rat_Dog", "Ox_Rat", "Tiger_Rooster"}));
}

void TestMatching::quotedOpeningsAndEndings() {
    const zodiac::modchinesezodiac engine;
    const QString dogRat = QString::fromStdString(engine.GetMatchingDescription("Dog", "Rat"));
    QVERIFY(dogRat.startsWith(QStringLiteral("The Dog and the Rat craft a great union")));
    QVERIFY(dogRat.endsWith(QStringLiteral("Dog and Rat score a healthy eight.")));
    const QString dogPig = QString::fromStdString(engine.GetMatchingDescription("Dog", "Pig"));
    const QString pigDog = QString::fromStdString(engine.GetMatchingDescription("Pig", "Dog"));
    QVERIFY(dogPig.startsWith(QStringLiteral("The Dog and the Pig make an impressive match")));
    QVERIFY(pigDog.startsWith(QStringLiteral("The Pig and the Dog make an impressive match")));
    QVERIFY(dogPig.endsWith(QStringLiteral(" seven.")));
    QVERIFY(pigDog.endsWith(QStringLiteral(" seven.")));
    const QString goatGoat = QString::fromStdString(engine.GetMatchingDescription("Goat", "Goat"));
    QVERIFY(
        goatGoat.contains(QStringLiteral(".On the compatibility scale of one to ten, two Goats ")));
    const QString tigerRooster =
        QString::fromStdString(engine.GetMatchingDescription("Tiger", "Rooster"));
    QVERIFY(tigerRooster.contains(
        QStringLiteral(".On the compatibility scale of one to ten, Tiger and Rooster ")));
    QVERIFY(QString::fromStdString(engine.GetMatchingDescription("Pig", "Pig"))
                .contains(QStringLiteral("\r\n\r\nOn a scale of one to ten, Two Pigs ")));
}

void TestMatching::keyWordsStandForRabbitAndRooster() {
    const zodiac::modchinesezodiac engine;
    const auto find = [](std::string_view key) {
        for (const auto& e : zodiac::content::MatchingDescriptionTable)
            if (e.Key == key) return std::string(e.Text);
        return std::string();
    };
    QCOMPARE(engine.GetMatchingDescription("Rabbit", "Pig"), find("AnimalOne_Pig"));
    QCOMPARE(engine.GetMatchingDescription("Pig", "Rooster"), find("Pig_AnimalTwo"));
    QCOMPARE(engine.GetMatchingDescription("Rabbit", "Rooster"), find("AnimalOne_AnimalTwo"));
    QVERIFY(!find("AnimalOne_Pig").empty());
    // The key words are not sign names themselves.
    QCOMPARE(engine.GetMatchingDescription("AnimalOne", "Pig"), std::string());
}

void TestMatching::unknownSignsGiveEmptyText_data() {
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QByteArray>("partner");
    QTest::newRow("empty user") << QByteArray("") << QByteArray("Ox");
    QTest::newRow("lower case") << QByteArray("rat") << QByteArray("Ox");
    QTest::newRow("trailing blank") << QByteArray("Rat") << QByteArray("Ox ");
    QTest::newRow("empty partner") << QByteArray("Dog") << QByteArray("");
    QTest::newRow("pair key as a name") << QByteArray("Dog_Rat") << QByteArray("Rat");
}

void TestMatching::unknownSignsGiveEmptyText() {
    QFETCH(QByteArray, user);
    QFETCH(QByteArray, partner);
    QCOMPARE(zodiac::modchinesezodiac().GetMatchingDescription(user.toStdString(),
                                                               partner.toStdString()),
             std::string());
}

QTEST_APPLESS_MAIN(TestMatching)
#include "tst_matching.moc"
