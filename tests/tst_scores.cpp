// Compatibility scores and rating phrases.
#include <QTest>

#include <map>

#include "engine/modchinesezodiac.h"

namespace {

const char* const kSigns[12] = {"Rat",   "Ox",   "Tiger",  "Rabbit",  "Dragon", "Snake",
                                "Horse", "Goat", "Monkey", "Rooster", "Dog",    "Pig"};

}  // namespace

class TestScores : public QObject {
    Q_OBJECT

  private slots:
    void signNamesInOrder();
    void everyPairInBothOrders();
    void namedPairs_data();
    void namedPairs();
    void valueCountsOverUnorderedPairs();
    void unknownNamesScoreZero_data();
    void unknownNamesScoreZero();
    void ratingRows_data();
    void ratingRows();
    void scoresWithoutRatingRow_data();
    void scoresWithoutRatingRow();
};

void TestScores::signNamesInOrder() {
    QCOMPARE(zodiac::ChineseSign.size(), std::size_t{12});
    for (int i = 0; i < 12; ++i) QCOMPARE(zodiac::ChineseSign[i], std::string_view(kSigns[i]));
    const std::string_view elements[] = {"Metal", "Water", "Wood", "Fire", "Earth"};
    QCOMPARE(zodiac::ChineseElement.size(), std::size_t{5});
    for (int i = 0; i < 5; ++i) QCOMPARE(zodiac::ChineseElement[i], elements[i]);
}

// Every pair scores 2 to 10, whichever sign comes first. The score of each
// pair is also checked against the number in words closing its matching
// description (tst_matching), a source of its own.
void TestScores::everyPairInBothOrders() {
    const zodiac::modchinesezodiac engine;
    for (int a = 0; a < 12; ++a) {
        for (int b = 0; b < 12; ++b) {
            const int score = engine.GetCompatibilityScore(kSigns[a], kSigns[b]);
            QVERIFY2(score >= 2 && score <= 10, kSigns[a]);
            QCOMPARE(int{engine.GetCompatibilityScore(kSigns[b], kSigns[a])}, score);
        }
    }
}

// The pairs the published table names: each sign with itself, the four
// scoring 2 and the three scoring 10.
void TestScores::namedPairs_data() {
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QByteArray>("partner");
    QTest::addColumn<int>("score");
    const int same[12] = {9, 8, 5, 8, 9, 8, 8, 9, 9, 4, 7, 8};
    for (int a = 0; a < 12; ++a)
        QTest::addRow("two of %s", kSigns[a])
            << QByteArray(kSigns[a]) << QByteArray(kSigns[a]) << same[a];
    QTest::newRow("Ox, Goat") << QByteArray("Ox") << QByteArray("Goat") << 2;
    QTest::newRow("Tiger, Monkey") << QByteArray("Tiger") << QByteArray("Monkey") << 2;
    QTest::newRow("Rabbit, Rooster") << QByteArray("Rabbit") << QByteArray("Rooster") << 2;
    QTest::newRow("Dragon, Dog") << QByteArray("Dragon") << QByteArray("Dog") << 2;
    QTest::newRow("Rat, Dragon") << QByteArray("Rat") << QByteArray("Dragon") << 10;
    QTest::newRow("Rat, Monkey") << QByteArray("Rat") << QByteArray("Monkey") << 10;
    QTest::newRow("Dragon, Monkey") << QByteArray("Dragon") << QByteArray("Monkey") << 10;
}

void TestScores::namedPairs() {
    QFETCH(QByteArray, user);
    QFETCH(QByteArray, partner);
    QFETCH(int, score);
    const zodiac::modchinesezodiac engine;
    QCOMPARE(int{engine.GetCompatibilityScore(user.toStdString(), partner.toStdString())}, score);
}

// The published distribution over the 78 unordered pairs.
void TestScores::valueCountsOverUnorderedPairs() {
    const zodiac::modchinesezodiac engine;
    std::map<int, int> counts;
    for (int a = 0; a < 12; ++a)
        for (int b = a; b < 12; ++b) ++counts[engine.GetCompatibilityScore(kSigns[a], kSigns[b])];
    const std::map<int, int> expected{{2, 4},  {3, 2},  {4, 13}, {5, 9}, {6, 5},
                                      {7, 13}, {8, 15}, {9, 14}, {10, 3}};
    QCOMPARE(counts, expected);
}

void TestScores::unknownNamesScoreZero_data() {
    using namespace std::string_view_literals;
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QByteArray>("partner");
    QTest::newRow("empty partner") << QByteArray("Rat") << QByteArray("");
    QTest::newRow("empty user") << QByteArray("") << QByteArray("Ox");
    QTest::newRow("both empty") << QByteArray("") << QByteArray("");
    QTest::newRow("lower case") << QByteArray("rat") << QByteArray("Ox");
    QTest::newRow("upper case") << QByteArray("Rat") << QByteArray("OX");
    QTest::newRow("trailing blank") << QByteArray("Rat ") << QByteArray("Ox");
    QTest::newRow("leading blank") << QByteArray("Rat") << QByteArray(" Ox");
    QTest::newRow("prefix of a name") << QByteArray("Roost") << QByteArray("Ox");
    QTest::newRow("key word, not a name") << QByteArray("AnimalOne") << QByteArray("Pig");
    QTest::newRow("element") << QByteArray("Fire") << QByteArray("Pig");
    QTest::newRow("embedded NUL") << QByteArray("Rat\0", 4) << QByteArray("Ox");
    QTest::newRow("non-ASCII") << QByteArray("R\xC3\xA4t") << QByteArray("Ox");
}

void TestScores::unknownNamesScoreZero() {
    QFETCH(QByteArray, user);
    QFETCH(QByteArray, partner);
    const zodiac::modchinesezodiac engine;
    const std::string_view u(user.constData(), static_cast<std::size_t>(user.size()));
    const std::string_view p(partner.constData(), static_cast<std::size_t>(partner.size()));
    QCOMPARE(engine.GetCompatibilityScore(u, p), std::int16_t{0});
    QCOMPARE(engine.GetCompatibilityScore(p, u), std::int16_t{0});
    QVERIFY(!zodiac::RatingTable(0).has_value());
}

void TestScores::ratingRows_data() {
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("percentage");
    QTest::addColumn<QString>("rating");
    // Score 2 keeps its leading blank; score 3 has none.
    QTest::newRow("2") << 2 << "20%"
                       << " A Poor Match";
    QTest::newRow("3") << 3 << "30%"
                       << "A Poor Match";
    QTest::newRow("4") << 4 << "40%"
                       << "A Difficult Match";
    QTest::newRow("5") << 5 << "50%"
                       << "A Difficult Match";
    QTest::newRow("6") << 6 << "60%"
                       << "An Easy Match";
    QTest::newRow("7") << 7 << "70%"
                       << "An Easy Match";
    QTest::newRow("8") << 8 << "80%"
                       << "A Great Match";
    QTest::newRow("9") << 9 << "90%"
                       << "A Great Match";
    QTest::newRow("10") << 10 << "100%"
                        << "A Perfect Match";
}

void TestScores::ratingRows() {
    QFETCH(int, score);
    QFETCH(QString, percentage);
    QFETCH(QString, rating);
    const auto row = zodiac::RatingTable(static_cast<std::int16_t>(score));
    QVERIFY(row.has_value());
    QCOMPARE(QString::fromUtf8(row->Percentage.data(), qsizetype(row->Percentage.size())),
             percentage);
    QCOMPARE(QString::fromUtf8(row->Rating.data(), qsizetype(row->Rating.size())), rating);
}

void TestScores::scoresWithoutRatingRow_data() {
    QTest::addColumn<int>("score");
    for (int s : {0, 1, 11, -1, 100, -32768, 32767}) QTest::addRow("%d", s) << s;
}

void TestScores::scoresWithoutRatingRow() {
    QFETCH(int, score);
    QVERIFY(!zodiac::RatingTable(static_cast<std::int16_t>(score)).has_value());
}

QTEST_APPLESS_MAIN(TestScores)
#include "tst_scores.moc"
