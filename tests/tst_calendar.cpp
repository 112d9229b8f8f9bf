// The Chinese year calendar: every row boundary, the last-result rule,
// impossible dates, and every day against an independent lunar calendar.
#include <QFile>
#include <QTest>

#include <chrono>

#include "engine/modchinesezodiac.h"

using namespace std::chrono;

namespace {

struct Ymd {
    int y;
    unsigned m, d;
};

struct ExpectedRow {
    Ymd start, end;
    const char* sign;
    const char* element;
};

// The published table, typed in independently of the engine's own copy. The
// first row is the Wood Pig year that the first days of 1936 belong to.
constexpr int kRowCount = 85;
constexpr ExpectedRow kRows[kRowCount] = {
    {{1935, 2, 4}, {1936, 1, 23}, "Pig", "Wood"},
    {{1936, 1, 24}, {1937, 2, 10}, "Rat", "Fire"},
    {{1937, 2, 11}, {1938, 1, 30}, "Ox", "Fire"},
    {{1938, 1, 31}, {1939, 2, 18}, "Tiger", "Earth"},
    {{1939, 2, 19}, {1940, 2, 7}, "Rabbit", "Earth"},
    {{1940, 2, 8}, {1941, 1, 26}, "Dragon", "Metal"},
    {{1941, 1, 27}, {1942, 2, 14}, "Snake", "Metal"},
    {{1942, 2, 15}, {1943, 2, 4}, "Horse", "Water"},
    {{1943, 2, 5}, {1944, 1, 24}, "Goat", "Water"},
    {{1944, 1, 25}, {1945, 2, 12}, "Monkey", "Wood"},
    {{1945, 2, 13}, {1946, 2, 1}, "Rooster", "Wood"},
    {{1946, 2, 2}, {1947, 1, 21}, "Dog", "Fire"},
    {{1947, 1, 22}, {1948, 2, 9}, "Pig", "Fire"},
    {{1948, 2, 10}, {1949, 1, 28}, "Rat", "Earth"},
    {{1949, 1, 29}, {1950, 2, 16}, "Ox", "Earth"},
    {{1950, 2, 17}, {1951, 2, 5}, "Tiger", "Metal"},
    {{1951, 2, 6}, {1952, 1, 26}, "Rabbit", "Metal"},
    {{1952, 1, 27}, {1953, 2, 13}, "Dragon", "Water"},
    {{1953, 2, 14}, {1954, 2, 2}, "Snake", "Water"},
    {{1954, 2, 3}, {1955, 1, 23}, "Horse", "Wood"},
    {{1955, 1, 24}, {1956, 2, 11}, "Goat", "Wood"},
    {{1956, 2, 12}, {1957, 1, 30}, "Monkey", "Fire"},
    {{1957, 1, 31}, {1958, 2, 17}, "Rooster", "Fire"},
    {{1958, 2, 18}, {1959, 2, 7}, "Dog", "Earth"},
    {{1959, 2, 8}, {1960, 1, 27}, "Pig", "Earth"},
    {{1960, 1, 28}, {1961, 2, 14}, "Rat", "Metal"},
    {{1961, 2, 15}, {1962, 2, 4}, "Ox", "Metal"},
    {{1962, 2, 5}, {1963, 1, 24}, "Tiger", "Water"},
    {{1963, 1, 25}, {1964, 2, 12}, "Rabbit", "Water"},
    {{1964, 2, 13}, {1965, 2, 1}, "Dragon", "Wood"},
    {{1965, 2, 2}, {1966, 1, 20}, "Snake", "Wood"},
    {{1966, 1, 21}, {1967, 2, 8}, "Horse", "Fire"},
    {{1967, 2, 9}, {1968, 1, 29}, "Goat", "Fire"},
    {{1968, 1, 30}, {1969, 2, 16}, "Monkey", "Earth"},
    {{1969, 2, 17}, {1970, 2, 5}, "Rooster", "Earth"},
    {{1970, 2, 6}, {1971, 1, 26}, "Dog", "Metal"},
    {{1971, 1, 27}, {1972, 2, 14}, "Pig", "Metal"},
    {{1972, 2, 15}, {1973, 2, 2}, "Rat", "Water"},
    {{1973, 2, 3}, {1974, 1, 22}, "Ox", "Water"},
    {{1974, 1, 23}, {1975, 2, 10}, "Tiger", "Wood"},
    {{1975, 2, 11}, {1976, 1, 30}, "Rabbit", "Wood"},
    {{1976, 1, 31}, {1977, 2, 17}, "Dragon", "Fire"},
    {{1977, 2, 18}, {1978, 2, 6}, "Snake", "Fire"},
    {{1978, 2, 7}, {1979, 1, 27}, "Horse", "Earth"},
    {{1979, 1, 28}, {1980, 2, 15}, "Goat", "Earth"},
    {{1980, 2, 16}, {1981, 2, 4}, "Monkey", "Metal"},
    {{1981, 2, 5}, {1982, 1, 24}, "Rooster", "Metal"},
    {{1982, 1, 25}, {1983, 2, 12}, "Dog", "Water"},
    {{1983, 2, 13}, {1984, 2, 1}, "Pig", "Water"},
    {{1984, 2, 2}, {1985, 2, 19}, "Rat", "Wood"},
    {{1985, 2, 20}, {1986, 2, 8}, "Ox", "Wood"},
    {{1986, 2, 9}, {1987, 1, 28}, "Tiger", "Fire"},
    {{1987, 1, 29}, {1988, 2, 16}, "Rabbit", "Fire"},
    {{1988, 2, 17}, {1989, 2, 5}, "Dragon", "Earth"},
    {{1989, 2, 6}, {1990, 1, 26}, "Snake", "Earth"},
    {{1990, 1, 27}, {1991, 2, 14}, "Horse", "Metal"},
    {{1991, 2, 15}, {1992, 2, 3}, "Goat", "Metal"},
    {{1992, 2, 4}, {1993, 1, 22}, "Monkey", "Water"},
    {{1993, 1, 23}, {1994, 2, 9}, "Rooster", "Water"},
    {{1994, 2, 10}, {1995, 1, 30}, "Dog", "Wood"},
    {{1995, 1, 31}, {1996, 2, 18}, "Pig", "Wood"},
    {{1996, 2, 19}, {1997, 2, 6}, "Rat", "Fire"},
    {{1997, 2, 7}, {1998, 1, 27}, "Ox", "Fire"},
    {{1998, 1, 28}, {1999, 2, 15}, "Tiger", "Earth"},
    {{1999, 2, 16}, {2000, 2, 4}, "Rabbit", "Earth"},
    {{2000, 2, 5}, {2001, 1, 23}, "Dragon", "Metal"},
    {{2001, 1, 24}, {2002, 2, 11}, "Snake", "Metal"},
    {{2002, 2, 12}, {2003, 1, 31}, "Horse", "Water"},
    {{2003, 2, 1}, {2004, 1, 21}, "Goat", "Water"},
    {{2004, 1, 22}, {2005, 2, 8}, "Monkey", "Wood"},
    {{2005, 2, 9}, {2006, 1, 28}, "Rooster", "Wood"},
    {{2006, 1, 29}, {2007, 2, 17}, "Dog", "Fire"},
    {{2007, 2, 18}, {2008, 2, 6}, "Pig", "Fire"},
    {{2008, 2, 7}, {2009, 1, 25}, "Rat", "Earth"},
    {{2009, 1, 26}, {2010, 2, 13}, "Ox", "Earth"},
    {{2010, 2, 14}, {2011, 2, 2}, "Tiger", "Metal"},
    {{2011, 2, 3}, {2012, 1, 22}, "Rabbit", "Metal"},
    {{2012, 1, 23}, {2013, 2, 9}, "Dragon", "Water"},
    {{2013, 2, 10}, {2014, 1, 30}, "Snake", "Water"},
    {{2014, 1, 31}, {2015, 2, 18}, "Horse", "Wood"},
    {{2015, 2, 19}, {2016, 2, 7}, "Goat", "Wood"},
    {{2016, 2, 8}, {2017, 1, 27}, "Monkey", "Fire"},
    {{2017, 1, 28}, {2018, 2, 15}, "Rooster", "Fire"},
    {{2018, 2, 16}, {2019, 2, 4}, "Dog", "Earth"},
    {{2019, 2, 5}, {2020, 1, 24}, "Pig", "Earth"},
};

year_month_day ToDate(Ymd v) { return year_month_day{year{v.y}, month{v.m}, day{v.d}}; }

year_month_day Shift(year_month_day d, int days_) {
    return year_month_day{sys_days{d} + days{days_}};
}

QString Iso(year_month_day d) {
    return QString::asprintf("%04d-%02u-%02u", static_cast<int>(d.year()),
                             static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()));
}

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

Q_DECLARE_METATYPE(std::chrono::year_month_day)

class TestCalendar : public QObject {
    Q_OBJECT

  private slots:
    void rowBoundaries_data();
    void rowBoundaries();
    void publishedExamples_data();
    void publishedExamples();
    void outsideTheTableGivesLastResult();
    void signAndElementKeepSeparateLastResults();
    void impossibleDatesMatchNoRow_data();
    void impossibleDatesMatchNoRow();
    void everyDayAgreesWithIndependentCalendar();
};

// Each row's first and last day, and the days just outside, for sign and
// element and for the whole row that ChineseYearOf gives.
void TestCalendar::rowBoundaries_data() {
    QTest::addColumn<year_month_day>("date");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<QString>("element");
    QTest::addColumn<int>("row");  // -1: no row
    for (int r = 0; r < kRowCount; ++r) {
        const ExpectedRow& row = kRows[r];
        const auto start = ToDate(row.start);
        const auto end = ToDate(row.end);
        QTest::addRow("row %d start %s", r, qPrintable(Iso(start)))
            << start << row.sign << row.element << r;
        QTest::addRow("row %d end %s", r, qPrintable(Iso(end)))
            << end << row.sign << row.element << r;
        // The day before the start belongs to the previous row; before row 0
        // there is no row, so a fresh engine answers empty text.
        const char* beforeSign = r > 0 ? kRows[r - 1].sign : "";
        const char* beforeElement = r > 0 ? kRows[r - 1].element : "";
        QTest::addRow("row %d day before start", r)
            << Shift(start, -1) << beforeSign << beforeElement << r - 1;
        const bool last = r == kRowCount - 1;
        const char* afterSign = last ? "" : kRows[r + 1].sign;
        const char* afterElement = last ? "" : kRows[r + 1].element;
        QTest::addRow("row %d day after end", r)
            << Shift(end, 1) << afterSign << afterElement << (last ? -1 : r + 1);
    }
}

void TestCalendar::rowBoundaries() {
    QFETCH(year_month_day, date);
    QFETCH(QString, sign);
    QFETCH(QString, element);
    QFETCH(int, row);
    zodiac::modchinesezodiac engine;  // fresh: no last result to fall back on
    QCOMPARE(QString::fromStdString(engine.GetChineseSign(date)), sign);
    QCOMPARE(QString::fromStdString(engine.GetChineseElement(date)), element);

    const auto year = zodiac::ChineseYearOf(date);
    QCOMPARE(year.has_value(), row >= 0);
    if (!year) return;
    QCOMPARE(Iso(year->Start), Iso(ToDate(kRows[row].start)));
    QCOMPARE(Iso(year->End), Iso(ToDate(kRows[row].end)));
    QCOMPARE(Text(year->Sign), QString::fromLatin1(kRows[row].sign));
    QCOMPARE(Text(year->Element), QString::fromLatin1(kRows[row].element));
}

void TestCalendar::publishedExamples_data() {
    QTest::addColumn<year_month_day>("date");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<QString>("element");
    const auto add = [](int y, unsigned m, unsigned d, const char* s, const char* e) {
        QTest::addRow("%04d-%02u-%02u", y, m, d) << ToDate({y, m, d}) << s << e;
    };
    // The Chinese New Year of 1936 fell on 24 January: the days before it
    // belong to the Wood Pig year, the first days the input window offers too.
    add(1936, 1, 1, "Pig", "Wood");
    add(1936, 1, 23, "Pig", "Wood");
    add(1936, 1, 24, "Rat", "Fire");
    add(1937, 2, 10, "Rat", "Fire");
    add(1937, 2, 11, "Ox", "Fire");
    add(1960, 1, 28, "Rat", "Metal");
    add(1961, 2, 15, "Ox", "Metal");
    add(1982, 1, 24, "Rooster", "Metal");
    add(1982, 1, 25, "Dog", "Water");
    add(2008, 2, 6, "Pig", "Fire");
    add(2008, 2, 7, "Rat", "Earth");
    add(2008, 12, 31, "Rat", "Earth");
    add(2019, 12, 31, "Pig", "Earth");
    add(2020, 1, 24, "Pig", "Earth");
    add(2000, 2, 29, "Dragon", "Metal");
    add(1975, 3, 12, "Rabbit", "Wood");
}

void TestCalendar::publishedExamples() {
    QFETCH(year_month_day, date);
    QFETCH(QString, sign);
    QFETCH(QString, element);
    zodiac::modchinesezodiac engine;
    QCOMPARE(QString::fromStdString(engine.GetChineseSign(date)), sign);
    QCOMPARE(QString::fromStdString(engine.GetChineseElement(date)), element);
}

void TestCalendar::outsideTheTableGivesLastResult() {
    zodiac::modchinesezodiac engine;
    const auto early = ToDate({1935, 2, 3});
    const auto late = ToDate({2020, 1, 25});
    QCOMPARE(engine.GetChineseSign(early), std::string());
    QCOMPARE(engine.GetChineseElement(late), std::string());

    // The user's date is found; the partner's lies outside and gets the user's answer.
    QCOMPARE(engine.GetChineseSign(ToDate({1975, 3, 12})), std::string("Rabbit"));
    QCOMPARE(engine.GetChineseSign(ToDate({2021, 5, 1})), std::string("Rabbit"));
    QCOMPARE(engine.GetChineseElement(ToDate({1975, 3, 12})), std::string("Wood"));
    QCOMPARE(engine.GetChineseElement(ToDate({2021, 5, 1})), std::string("Wood"));

    // A later run keeps the state: the last found answer, whichever person gave it.
    QCOMPARE(engine.GetChineseSign(ToDate({1982, 1, 25})), std::string("Dog"));
    QCOMPARE(engine.GetChineseSign(early), std::string("Dog"));
    QCOMPARE(engine.GetChineseSign(late), std::string("Dog"));
    QCOMPARE(engine.GetChineseElement(early), std::string("Wood"));
}

void TestCalendar::signAndElementKeepSeparateLastResults() {
    zodiac::modchinesezodiac engine;
    QCOMPARE(engine.GetChineseSign(ToDate({1990, 6, 1})), std::string("Horse"));
    // Only a sign has been found so far; the element's state is still empty.
    QCOMPARE(engine.GetChineseElement(ToDate({1900, 1, 1})), std::string());
    QCOMPARE(engine.GetChineseElement(ToDate({1944, 1, 25})), std::string("Wood"));
    QCOMPARE(engine.GetChineseSign(ToDate({2100, 1, 1})), std::string("Horse"));
    QCOMPARE(engine.GetChineseElement(ToDate({2100, 1, 1})), std::string("Wood"));

    // Two engines do not share state.
    zodiac::modchinesezodiac other;
    QCOMPARE(other.GetChineseSign(ToDate({2100, 1, 1})), std::string());
}

void TestCalendar::impossibleDatesMatchNoRow_data() {
    QTest::addColumn<year_month_day>("date");
    QTest::newRow("30 February 1980") << ToDate({1980, 2, 30});
    QTest::newRow("29 February 1981") << ToDate({1981, 2, 29});
    QTest::newRow("31 April 1975") << ToDate({1975, 4, 31});
    QTest::newRow("day 0") << ToDate({1975, 3, 0});
    QTest::newRow("day 32") << ToDate({1975, 1, 32});
    QTest::newRow("day 255") << ToDate({1975, 1, 255});
    QTest::newRow("month 0") << ToDate({1975, 0, 1});
    QTest::newRow("month 13") << ToDate({1975, 13, 1});
    QTest::newRow("month 255") << ToDate({1975, 255, 1});
    QTest::newRow("year -32768") << ToDate({-32768, 1, 1});
    QTest::newRow("year 32767") << ToDate({32767, 12, 31});
    QTest::newRow("default constructed") << year_month_day{};
}

void TestCalendar::impossibleDatesMatchNoRow() {
    QFETCH(year_month_day, date);
    QVERIFY(!zodiac::FindYearRow(date).has_value());
    QVERIFY(!zodiac::ChineseYearOf(date).has_value());
    zodiac::modchinesezodiac engine;
    QCOMPARE(engine.GetChineseSign(date), std::string());
    QCOMPARE(engine.GetChineseElement(date), std::string());
    // With a previous answer, the impossible date gives that answer back.
    QCOMPARE(engine.GetChineseSign(ToDate({1980, 2, 29})), std::string("Monkey"));
    QCOMPARE(engine.GetChineseElement(ToDate({1980, 2, 29})), std::string("Metal"));
    QCOMPARE(engine.GetChineseSign(date), std::string("Monkey"));
    QCOMPARE(engine.GetChineseElement(date), std::string("Metal"));
}

void TestCalendar::everyDayAgreesWithIndependentCalendar() {
    QFile file(QStringLiteral(LUNVEX_TEST_DATA "/calendar_fixture.tsv"));
    QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(file.fileName()));
    zodiac::modchinesezodiac engine;
    auto expectedDay = ToDate({1935, 2, 4});
    int days_ = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QList<QByteArray> f = line.split('\t');
        QCOMPARE(f.size(), 4);
        const QList<QByteArray> ymd = f[0].split('-');
        QCOMPARE(ymd.size(), 3);
        const auto date = ToDate({ymd[0].toInt(), ymd[1].toUInt(), ymd[2].toUInt()});
        QCOMPARE(Iso(date), Iso(expectedDay));  // the fixture has no gaps
        expectedDay = Shift(expectedDay, 1);
        ++days_;
        const QString sign = QString::fromLatin1(f[2]);
        const QString element = QString::fromLatin1(f[3]);
        const QString gotSign = QString::fromStdString(engine.GetChineseSign(date));
        const QString gotElement = QString::fromStdString(engine.GetChineseElement(date));
        if (gotSign != sign || gotElement != element)
            QFAIL(qPrintable(QStringLiteral("%1: engine says %2 %3, lunar calendar says %4 %5")
                                 .arg(Iso(date), gotSign, gotElement, sign, element)));
    }
    QCOMPARE(Iso(expectedDay), QStringLiteral("2020-01-25"));
    QCOMPARE(days_, 31036);
}

QTEST_APPLESS_MAIN(TestCalendar)
#include "tst_calendar.moc"
