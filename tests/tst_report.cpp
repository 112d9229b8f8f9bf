// The report: its composition run by run, the report window and its links.
#include <QAbstractTextDocumentLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include "common/qtext.h"
#include "engine/reading.h"
#include "input/frmmain.h"
#include "report/frmsave.h"
#include "report/modrtb.h"
#include "report/reportcomposer.h"
#include "report/reportprint.h"
#include "results/frmchiness.h"
#include "testsupport.h"
#include "ui_frmchiness.h"
#include "ui_frmmain.h"
#include "ui_frmsave.h"

namespace {

// The document as tagged runs: "L{...}" for label style, "V{...}" for value
// style, adjacent runs of one style merged, a paragraph break written "\n"
// into the run before it.
QString Runs(const QTextDocument& doc, bool* allBaseFont = nullptr) {
    QString out;
    QChar current;
    if (allBaseFont) *allBaseFont = true;
    const auto add = [&](QChar style, const QString& text) {
        if (style != current) {
            if (!current.isNull()) out += QLatin1Char('}');
            out += style;
            out += QLatin1Char('{');
            current = style;
        }
        out += text;
    };
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const bool label =
                f.fontWeight() >= QFont::Bold && f.foreground().color() == QColor(128, 0, 0);
            const bool value =
                f.fontWeight() < QFont::Bold && f.foreground().color() == QColor(0, 0, 0);
            if (!label && !value) {
                add(QLatin1Char('?'),
                    it.fragment().text());  // neither style: shows in the comparison
                continue;
            }
            if (allBaseFont && (f.fontPointSize() != 9.75 || f.fontFamilies().toStringList().value(
                                                                 0) != QStringLiteral("Verdana")))
                *allBaseFont = false;
            add(label ? QLatin1Char('L') : QLatin1Char('V'), it.fragment().text());
        }
        if (block.next().isValid()) out += QLatin1Char('\n');
    }
    if (!current.isNull()) out += QLatin1Char('}');
    return out;
}

// A person's block as expected, written out entry by entry.
QString ExpectedPerson(const PersonReading& p, bool partner) {
    const auto e = [](const QString& label, const QString& value) {
        return QStringLiteral("L{%1}V{%2\n\n}").arg(label, value);
    };
    QString s =
        e("Name: ", Q(p.Name)) + e("Date of Birth: ", Q(p.BirthDateText)) + e("Sign: ", Q(p.Sign));
    s += QStringLiteral("L{Element: %1: }V{%2\n\n}").arg(Q(p.Element), Q(p.ElementDescription));
    const zodiac::SignProfile& f = *p.Profile;
    s += e("Ruling Planet: ", Q(f.RulingPlanet));
    if (partner)
        s += e("Wester Zodiac Sign: ", Q(f.WesternZodiacSign)) +
             e("Positive Traits: ", Q(f.PositiveTraits));
    else
        s += e("Positive Traits: ", Q(f.PositiveTraits)) +
             e("Western Zodiac Sign: ", Q(f.WesternZodiacSign));
    s += e("Negative Traits: ", Q(f.NegativeTraits)) + e("Lucky Color: ", Q(f.LuckyColour)) +
         e("Lucky Number: ", Q(f.LuckyNumber)) + e("GemStone: ", Q(f.GemStone)) +
         e("Energy: ", Q(f.Energy)) + e("Lucky Seasons: ", Q(f.LuckySeasons)) +
         e("Favourable Month: ", Q(f.LuckyMonth)) +
         e("Most Compatible Sign: ", Q(f.MostCompatibleSign)) +
         e("Least Compatible Sign: ", Q(f.LeastCompatibleSign)) +
         e("Famous Persons of this Star Sign are: ", Q(f.FamousPersons));
    return s;
}

CompatibilityRunRecord Reading(const char* userSign, const char* partnerSign) {
    zodiac::modchinesezodiac engine;
    CompatibilityRunRecord r;
    r.User.Name = "Ann";
    r.User.BirthDateText = "12 March 1975";
    r.User.Sign = userSign;
    r.User.Element = "Wood";
    r.User.Profile = engine.GetSignProfile(userSign);
    r.User.ElementDescription = engine.GetElementDescription("Wood");
    r.Partner.Name = "Bob";
    r.Partner.BirthDateText = "1 July 1938";
    r.Partner.Sign = partnerSign;
    r.Partner.Element = "Earth";
    r.Partner.Profile = engine.GetSignProfile(partnerSign);
    r.Partner.ElementDescription = engine.GetElementDescription("Earth");
    return r;
}

// A point on the middle of the character at a document position.
QPoint PointOn(QTextEdit* box, int position) {
    QTextCursor c(box->document());
    c.setPosition(position);
    box->setTextCursor(c);
    box->ensureCursorVisible();
    const QRect before = box->cursorRect(c);
    c.setPosition(position + 1);
    const QRect after = box->cursorRect(c);
    return QPoint((before.x() + after.x()) / 2 + 1, before.center().y());
}

}  // namespace

class TestReport : public QObject {
    Q_OBJECT

  private slots:
    void init() { DestroyAllWindows(); }
    void cleanup() { DestroyAllWindows(); }

    void wholeDocumentRunByRun();
    void rabbitWoodUserOpensTheReport();
    void scoreTwoKeepsBothBlanks();
    void personWithoutProfileRunsTogether();
    void windowComposesFromTheReading();
    void printAgainGivesTheSameReport();
    void findLinks_data();
    void findLinks();
    void linkAddresses_data();
    void linkAddresses();
    void leftPressOnALinkOpensIt();
    void otherMouseActionsOpenNothing();
    void veryLongAddressIsSafe();
    void linkHandlingStopsWithTheWindow();
    void labelsOpenPages();
    void blankLinesAtThePageEnd_data();
    void blankLinesAtThePageEnd();
};

void TestReport::wholeDocumentRunByRun() {
    CompatibilityRunRecord r = Reading("Rabbit", "Tiger");
    r.Result = {5, "50%", "A Difficult Match", "Line one.\n\nLine two."};
    QTextDocument doc;
    report::ComposeReport(doc, r);
    bool baseFont = false;
    const QString runs = Runs(doc, &baseFont);
    QVERIFY(baseFont);
    const QString expected = ExpectedPerson(r.User, false) + ExpectedPerson(r.Partner, true) +
                             QStringLiteral(
                                 "L{Chinese Compatibility Number: }V{5\n\n}"
                                 "L{Chinese Compatibility  Percentage: }V{50%\n\n}"
                                 "L{Rating: }V{A Difficult Match\n\n}"
                                 "L{Matching Description : }V{Line one.\n\nLine two.\n\n}");
    QCOMPARE(runs, expected);
    // 38 entries, each with its label once.
    QCOMPARE(runs.count(QStringLiteral("L{")), 38);
}

void TestReport::rabbitWoodUserOpensTheReport() {
    QTextDocument doc;
    report::ComposeReport(doc, Reading("Rabbit", "Tiger"));
    const QString text = doc.toPlainText();
    const QString wood = Q(zodiac::modchinesezodiac().GetElementDescription("Wood"));
    QVERIFY(text.startsWith(
        QStringLiteral("Name: Ann\n\nDate of Birth: 12 March 1975\n\nSign: Rabbit\n\n"
                       "Element: Wood: ") +
        wood + QStringLiteral("\n\nRuling Planet: Jupiter\n\n")));
    QVERIFY(Runs(doc).startsWith(
        QStringLiteral("L{Name: }V{Ann\n\n}L{Date of Birth: }V{12 March 1975\n\n}"
                       "L{Sign: }V{Rabbit\n\n}L{Element: Wood: }V{")));
}

void TestReport::scoreTwoKeepsBothBlanks() {
    QTextDocument doc;
    CompatibilityRunRecord r = Reading("Tiger", "Monkey");
    r.Result = {2, "20%", " A Poor Match", "x"};
    report::ComposeReport(doc, r);
    QVERIFY(doc.toPlainText().contains(QStringLiteral("\n\nRating:  A Poor Match\n\n")));
    QVERIFY(Runs(doc).contains(QStringLiteral("L{Rating: }V{ A Poor Match\n\n}")));
}

void TestReport::personWithoutProfileRunsTogether() {
    CompatibilityRunRecord r = Reading("Dog", "Pig");
    r.Partner.Sign.clear();
    r.Partner.Profile.reset();
    QTextDocument doc;
    r.Result = {};  // no score: the pair's block is a zero and three empty values
    report::ComposeReport(doc, r);
    const QString text = doc.toPlainText();
    QVERIFY(text.contains(QStringLiteral(
        "Ruling Planet: Wester Zodiac Sign: Positive Traits: Negative Traits: Lucky Color: Lucky "
        "Number: "
        "GemStone: Energy: Lucky Seasons: Favourable Month: Most Compatible Sign: Least Compatible "
        "Sign: "
        "Famous Persons of this Star Sign are: Chinese Compatibility Number: 0\n\n")));
    QVERIFY(Runs(doc).contains(QStringLiteral("L{Ruling Planet: Wester Zodiac Sign: ")));
    // Empty values still bring their blank line; the user's block is whole.
    QVERIFY(
        text.endsWith(QStringLiteral("Chinese Compatibility  Percentage: \n\nRating: \n\n"
                                     "Matching Description : \n\n")));
    QVERIFY(text.contains(QStringLiteral("Famous Persons of this Star Sign are: Bill Clinton")));
}

void TestReport::windowComposesFromTheReading() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    frmchiness* results = ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob"));
    QVERIFY(results);
    frmSave window = ReportOver(results);
    const Ui::frmSave& c = window.controls();
    QCOMPARE(window.windowTitle(), QStringLiteral("Lunvex Chinese Zodiac Compatibility v2.10"));
    QCOMPARE(window.focusWidget(), c.RTB);
    const QString text = c.RTB->toPlainText();
    const Ui::frmchiness& r = results->controls();
    QVERIFY(text.contains(QStringLiteral("Chinese Compatibility Number: ") +
                          r.lblChineseCompatibilityNumber->text() + "\n\n"));
    QVERIFY(text.contains(QStringLiteral("Rating: ") + r.lblChineseRating->text() + "\n\n"));
    QVERIFY(text.endsWith(QStringLiteral("Matching Description : ") +
                          r.txtMatchingDescription->toPlainText() + "\n\n"));
    QCOMPARE(Runs(*c.RTB->document()),
             ExpectedPerson(Navigator::instance().reading().User, false) +
                 ExpectedPerson(Navigator::instance().reading().Partner, true) +
                 QStringLiteral("L{Chinese Compatibility Number: }V{%1\n\n}L{Chinese Compatibility "
                                " Percentage: }V{%2\n\n}"
                                "L{Rating: }V{%3\n\n}L{Matching Description : }V{%4\n\n}")
                     .arg(r.lblChineseCompatibilityNumber->text(), r.lblChinesePercentage->text(),
                          r.lblChineseRating->text(), r.txtMatchingDescription->toPlainText()));
}

void TestReport::printAgainGivesTheSameReport() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    frmchiness* results = ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob"));
    QStringList reports;
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, [&] {
            auto* open = qobject_cast<frmSave*>(QApplication::activeModalWidget());
            if (!open) return;
            reports.append(open->controls().RTB->document()->toHtml());
            open->close();
        });
        results->controls().cmdPrint->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QCOMPARE(reports.size(), 2);
    QCOMPARE(reports[0], reports[1]);
    QVERIFY(results->isVisible());
    QCOMPARE(end.ends, 0);
    // File > Print opens it too.
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* open = qobject_cast<frmSave*>(QApplication::activeModalWidget())) {
            opened = true;
            open->close();
        }
    });
    results->controls().mnuPrint->trigger();
    QVERIFY(opened);
}

void TestReport::findLinks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("links");
    QTest::newRow("none") << "Ann Smith" << QStringList{};
    QTest::newRow("http") << "see http://example.com/a?b=1 now"
                          << QStringList{"http://example.com/a?b=1"};
    QTest::newRow("https") << "https://x.org" << QStringList{"https://x.org"};
    QTest::newRow("www") << "www.lunvex.com." << QStringList{"www.lunvex.com"};
    QTest::newRow("mailto") << "mailto:ann@example.com" << QStringList{"mailto:ann@example.com"};
    QTest::newRow("two") << "http://a.b and ftp://c.d," << QStringList{"http://a.b", "ftp://c.d"};
    QTest::newRow("scheme alone") << "http: is not one" << QStringList{};
    QTest::newRow("inside a word") << "xwww.a.b" << QStringList{};
    QTest::newRow("brackets") << "(http://a.b/c)" << QStringList{"http://a.b/c"};
}

void TestReport::findLinks() {
    QFETCH(QString, text);
    QFETCH(QStringList, links);
    QStringList found;
    for (const modRTB::Link& l : modRTB::FindLinks(text)) {
        QCOMPARE(text.mid(l.start, l.length), l.text);
        found.append(l.text);
    }
    QCOMPARE(found, links);
}

// A link opens as written, or not at all: a broken address is never turned
// into a guess at another one.
void TestReport::linkAddresses_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("opened");  // empty: nothing opens
    QTest::newRow("web") << "http://example.com/a?b=c#d"
                         << "http://example.com/a?b=c#d";
    QTest::newRow("www") << "www.bob.example"
                         << "http://www.bob.example";
    QTest::newRow("mail") << "mailto:ann@example.com"
                          << "mailto:ann@example.com";
    QTest::newRow("shell in host") << "http://$(touch"
                                   << "";
    QTest::newRow("no host") << "http://"
                             << "";
    QTest::newRow("bad escape") << "http://example.com/%zz"
                                << "";
    QTest::newRow("space in www") << "www.a b.example"
                                  << "";
}

void TestReport::linkAddresses() {
    QFETCH(QString, link);
    QFETCH(QString, opened);
    const QUrl url = modRTB::LinkUrl(link);
    QCOMPARE(url.isValid() ? url.toString(QUrl::FullyEncoded) : QString(), opened);
}

void TestReport::leftPressOnALinkOpensIt() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    UrlCatcher urls;
    frmchiness* results = ReadingThroughWindows(QStringLiteral("http://example.com/ann"),
                                                QStringLiteral("www.bob.example"));
    frmSave window = ReportOver(results);
    window.show();
    QTextEdit* rtb = window.controls().RTB;
    const QList<modRTB::Link> links = modRTB::ActiveLinks();
    QCOMPARE(links.size(), 2);
    QCOMPARE(links[0].text, QStringLiteral("http://example.com/ann"));
    // The document keeps its composed styles; the link look is only shown.
    QCOMPARE(rtb->extraSelections().size(), 2);

    QTest::mousePress(rtb->viewport(), Qt::LeftButton, {}, PointOn(rtb, links[0].start + 3));
    QCOMPARE(urls.opened, QStringList{QStringLiteral("http://example.com/ann")});
    QTest::mouseRelease(rtb->viewport(), Qt::LeftButton, {}, PointOn(rtb, links[0].start + 3));
    QTest::mousePress(rtb->viewport(), Qt::LeftButton, {}, PointOn(rtb, links[1].start + 2));
    QCOMPARE(urls.opened.size(), 2);
    QCOMPARE(urls.opened.last(), QStringLiteral("http://www.bob.example"));
    QVERIFY(window.isVisible());  // the report stays open
    // A press on plain text opens nothing.
    QTest::mousePress(rtb->viewport(), Qt::LeftButton, {}, PointOn(rtb, 1));
    QCOMPARE(urls.opened.size(), 2);
}

void TestReport::otherMouseActionsOpenNothing() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    UrlCatcher urls;
    frmchiness* results =
        ReadingThroughWindows(QStringLiteral("http://example.com/ann"), QStringLiteral("Bob"));
    frmSave window = ReportOver(results);
    window.show();
    QTextEdit* rtb = window.controls().RTB;
    const QPoint on = PointOn(rtb, modRTB::ActiveLinks().value(0).start + 4);
    QTest::mouseMove(rtb->viewport(), on);
    QTest::mouseRelease(rtb->viewport(), Qt::LeftButton, {}, on);
    QTest::mousePress(rtb->viewport(), Qt::RightButton, {}, on);
    QTest::mouseRelease(rtb->viewport(), Qt::RightButton, {}, on);
    QTest::mousePress(rtb->viewport(), Qt::MiddleButton, {}, on);
    QCOMPARE(urls.opened.size(), 0);
    // The double-click event itself adds nothing to the press before it.
    QTest::mouseDClick(rtb->viewport(), Qt::LeftButton, {}, on);
    QCOMPARE(urls.opened.size(), 0);
}

void TestReport::veryLongAddressIsSafe() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    UrlCatcher urls;
    const QString longAddress =
        QStringLiteral("http://example.com/") + QString(5000, QLatin1Char('a'));
    frmchiness* results = ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob"));
    // A name box keeps 200 characters; the report's link handling must still
    // be safe on any text.
    CompatibilityRunRecord run = Navigator::instance().reading();
    run.User.Name = longAddress.toStdString();
    frmSave window(run, results);
    window.show();
    QTextEdit* rtb = window.controls().RTB;
    const QList<modRTB::Link> links = modRTB::ActiveLinks();
    QCOMPARE(links.size(), 1);
    QCOMPARE(links[0].length, longAddress.size());
    QTest::mousePress(rtb->viewport(), Qt::LeftButton, {}, PointOn(rtb, links[0].start + 2));
    QCOMPARE(urls.opened.size(), 0);  // longer than a link may be: shown, not opened
}

void TestReport::linkHandlingStopsWithTheWindow() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    frmchiness* results =
        ReadingThroughWindows(QStringLiteral("http://example.com/ann"), QStringLiteral("Bob"));
    {
        frmSave window = ReportOver(results);
        QCOMPARE(modRTB::ActiveLinks().size(), 1);
        window.close();
        QCOMPARE(modRTB::ActiveLinks().size(), 0);
    }
    QCOMPARE(modRTB::ActiveLinks().size(), 0);
    modRTB::StopLinkDetection();  // nothing to stop: does nothing
}

void TestReport::labelsOpenPages() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    UrlCatcher urls;
    frmchiness* results = ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob"));
    frmSave window = ReportOver(results);
    window.show();
    QTest::mouseClick(window.controls().Label14, Qt::LeftButton);
    QTest::mouseClick(window.controls().Label1, Qt::LeftButton);
    QTest::mouseClick(window.controls().Label16, Qt::LeftButton);
    QCOMPARE(urls.opened,
             (QStringList{Page("home-page"), Page("home-page"), Page("fully-branded")}));
    QCOMPARE(window.controls().Label1->text(),
             QStringLiteral("Click Here To Visit ") + modHelp::VendorHost() + " Now");
    QVERIFY(window.isVisible());
}

// The report's entries each end with a blank line. At the end of a page it
// must take no room: closing the report, it would print a page holding only
// a page number; between entries, it would start the next page a line down.
void TestReport::blankLinesAtThePageEnd_data() {
    QTest::addColumn<QPageSize::PageSizeId>("paper");
    QTest::newRow("A4") << QPageSize::A4;
    QTest::newRow("Letter") << QPageSize::Letter;
}

void TestReport::blankLinesAtThePageEnd() {
    QFETCH(QPageSize::PageSizeId, paper);
    // Pages printed for lines of text, where 0 stands for a blank line.
    const auto pages = [paper](const QList<int>& lines) {
        QStringList text;
        for (int n : lines)
            for (int i = 1; i <= std::max(n, 1); ++i)
                text.append(n ? QStringLiteral("Line %1").arg(i) : QString());
        QTextDocument document;
        document.setPlainText(text.join(QLatin1Char('\n')));
        const std::optional<QByteArray> pdf = report::ReportPdf(document, QPageSize(paper));
        return pdf ? int(pdf->count("/Type /Page\n")) : -1;
    };
    // The most lines that fit on one page.
    int fits = 1, over = 400;
    while (over - fits > 1) {
        const int middle = (fits + over) / 2;
        (pages({middle}) == 1 ? fits : over) = middle;
    }
    QCOMPARE(pages({fits + 1}), 2);
    QCOMPARE(pages({fits, 0}), 1);
    QCOMPARE(pages({fits, 0, fits}), 2);
}

LUNVEX_TEST_MAIN(TestReport)
#include "tst_report.moc"
