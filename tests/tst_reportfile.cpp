// Saving and printing the report: the rich-text file as independent readers
// see it, names of any content, failures that keep existing files, and
// printing to PDF through the report window's own path.
#include <QFile>
#include <QLocale>
#include <QPageSize>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <windows.h>

#include <string>
#endif
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>

#include "engine/reading.h"
#include "input/frmmain.h"
#include "report/frmsave.h"
#include "report/reportcomposer.h"
#include "report/reportprint.h"
#include "report/rtfwriter.h"
#include "results/frmchiness.h"
#include "testsupport.h"
#include "ui_frmmain.h"
#include "ui_frmsave.h"

// unrtf, pdftotext and pdfinfo read the written files back. They are Linux
// tools: elsewhere a test stops, skipped, where it would need one.
#ifdef Q_OS_UNIX
#define NEEDS_LINUX_TOOL(tool) static_cast<void>(0)
#else
#define NEEDS_LINUX_TOOL(tool) QSKIP(tool " reads the file back and runs only on Linux")
#endif

namespace {

QString Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringLiteral("<failed: %1>").arg(program);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The file as unrtf reads it, parsed back into a document: text and styles.
QTextDocument* ReadWithUnrtf(const QString& path, QObject* owner) {
    QString html = Run(QStringLiteral("unrtf"), {QStringLiteral("--html"), path});
    auto* doc = new QTextDocument(owner);
    // unrtf writes a code past U+FFFF as two numeric references, one per
    // UTF-16 unit; join them before the HTML reader sees them.
    static const QRegularExpression pair(QStringLiteral("&#(5[5-6]\\d{3});&#(5[6-7]\\d{3});"));
    QString joined;
    qsizetype last = 0;
    for (auto it = pair.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        joined += html.mid(last, m.capturedStart() - last);
        joined += QChar(m.captured(1).toUShort());
        joined += QChar(m.captured(2).toUShort());
        last = m.capturedEnd();
    }
    joined += html.mid(last);
    // Keep every blank as written: the source's own line ends are only layout,
    // and the body's blanks are significant.
    joined.remove(QLatin1Char('\n'));
    joined.replace(QStringLiteral("<body>"),
                   QStringLiteral("<body style=\"white-space: pre-wrap\">"));
    doc->setHtml(joined);
    return doc;
}

// Text with each run's style: "[L:...]" bold dark red, "[V:...]" regular black.
QString StyledText(const QTextDocument& doc) {
    QString out;
    QChar current;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            QString text = it.fragment().text();
            text.replace(QChar::LineSeparator,
                         QLatin1Char('\n'));  // <br> reads as a line separator
            QChar style = QLatin1Char('?');
            if (f.fontWeight() >= QFont::Bold && f.foreground().color() == QColor(128, 0, 0))
                style = QLatin1Char('L');
            if (f.fontWeight() < QFont::Bold && f.foreground().color() == QColor(0, 0, 0))
                style = QLatin1Char('V');
            if (text.trimmed().isEmpty()) {  // blanks carry no visible style
                out += text;
                continue;
            }
            if (style != current) {
                out += QStringLiteral("[") + style + QLatin1Char(':');
                current = style;
            }
            out += text;
        }
        if (b.next().isValid()) out += QLatin1Char('\n');
    }
    return out;
}

QString StyledText(const QTextEdit* rtb) { return StyledText(*rtb->document()); }

// The reading the run makes for two persons born on 1 July of the given years.
CompatibilityRunRecord ReadingFor(const QString& user, int userYear, const QString& partner,
                                  int partnerYear) {
    zodiac::modchinesezodiac engine;
    CompatibilityRunRecord r;
    const auto fill = [&](PersonReading& p, const QString& name, int year) {
        const std::chrono::year_month_day born = std::chrono::year(year) / std::chrono::July / 1;
        p.Name = name.toStdString();
        p.BirthDateText = BirthDateTextOf(born);
        p.Sign = engine.GetChineseSign(born);
        p.Element = engine.GetChineseElement(born);
        p.Profile = engine.GetSignProfile(p.Sign);
        p.ElementDescription = engine.GetElementDescription(p.Element);
    };
    fill(r.User, user, userYear);
    fill(r.Partner, partner, partnerYear);
    r.Result.Score = engine.GetCompatibilityScore(r.User.Sign, r.Partner.Sign);
    if (const auto row = zodiac::RatingTable(r.Result.Score)) {
        r.Result.Percentage = row->Percentage;
        r.Result.Rating = row->Rating;
    }
    r.Result.MatchingDescription = engine.GetMatchingDescription(r.User.Sign, r.Partner.Sign);
    return r;
}

// What is wrong with the pages of a printed report: a page that holds
// nothing but its number, or one whose first line starts lower than the
// first page's (a blank line at its top).
QString PageFaults(const QString& pdf) {
    const QString boxes =
        Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"[\\d.]+\" yMin=\"([\\d.]+)\"[^>]*>([^<]*)</word>"));
    static const QRegularExpression number(QStringLiteral("^\\d+$"));
    QStringList faults;
    double firstTop = -1;
    const QStringList pages = boxes.split(QStringLiteral("<page "));
    for (qsizetype i = 1; i < pages.size(); ++i) {
        bool text = false;
        double top = -1;
        for (auto it = word.globalMatch(pages[i]); it.hasNext();) {
            const auto m = it.next();
            if (top < 0) top = m.captured(1).toDouble();
            if (!number.match(m.captured(2)).hasMatch()) text = true;
        }
        if (!text)
            faults.append(QStringLiteral("page %1 is empty").arg(i));
        else if (firstTop < 0)
            firstTop = top;
        else if (top > firstTop + 1)
            faults.append(QStringLiteral("page %1 starts a line down").arg(i));
    }
    if (pages.size() < 2) faults.append(QStringLiteral("no pages"));
    return faults.join(QStringLiteral(", "));
}

}  // namespace

class TestReportFile : public QObject {
    Q_OBJECT

  private slots:
    void init() { DestroyAllWindows(); }
    void cleanup() { DestroyAllWindows(); }

    void saveDialogOpensInDocuments();
    void escapes_data();
    void escapes();
    void savedFileReadsBackExactly_data();
    void savedFileReadsBackExactly();
    void paperSize_data();
    void paperSize();
    void addressesAreHyperlinks();
    void saveDialogSettings();
    void saveAsPdf_data();
    void saveAsPdf();
    void cancelWritesNothing();
    void nameWithoutExtensionGetsRtf_data();
    void nameWithoutExtensionGetsRtf();
    void refusedFolderShowsTheReason();
    void fullDiskKeepsTheExistingFile_data();
    void fullDiskKeepsTheExistingFile();
    void fullDeviceShowsTheReason();
    void pipes_data();
    void pipes();
    void nullDeviceTakesTheReport();
    void linksInASharedFolder_data();
    void linksInASharedFolder();
    void realSaveDialog_data();
    void realSaveDialog();
    void messagesArePlainText();
    void fileDialogKeepsNoSettings_data();
    void fileDialogKeepsNoSettings();
    void printDialogOffersNoPageRange_data();
    void printDialogOffersNoPageRange();
    void printDialogLeavesNoStrayTo();
    void printToFileSuggestsTheReadingsName_data();
    void printToFileSuggestsTheReadingsName();
    void anyNameSurvivesTheWholeRoad_data();
    void anyNameSurvivesTheWholeRoad();
    void printWholeReport();
    void printToAFullDiskIsReported();
    void printOnlyTheSelection();
    void cancelPrintsNothingAfterASave();
    void printJobIsNamedAfterTheReading_data();
    void printJobIsNamedAfterTheReading();
    void noPrintedPageIsEmpty_data();
    void noPrintedPageIsEmpty();
};

void TestReportFile::escapes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("plain") << "Ann" << QByteArray("Ann");
    QTest::newRow("braces and backslash") << "{a}\\b" << QByteArray("\\{a\\}\\\\b");
    QTest::newRow("i with diaeresis") << QStringLiteral("na\u00efve") << QByteArray("na\\'efve");
    QTest::newRow("letters of code page 1252")
        << QStringLiteral("Zo\u00eb \u00c5ngstr\u00f6m \u0152uvre \u20ac5 \u2018q\u2019")
        << QByteArray("Zo\\'eb \\'c5ngstr\\'f6m \\'8cuvre \\'805 \\'91q\\'92");
    QTest::newRow("C1 control, not in code page 1252")
        << QStringLiteral("a\u0081b") << QByteArray("a\\u129\\'3fb");
    QTest::newRow("CJK as a negative number")
        << QStringLiteral("\u9f20") << QByteArray("\\u-24800\\'3f");
    QTest::newRow("emoji as a surrogate pair")
        << QStringLiteral("\U0001F600") << QByteArray("\\u-10179\\'3f\\u-8704\\'3f");
    QTest::newRow("tab") << "a\tb" << QByteArray("a\\tab b");
    QTest::newRow("blanks in a row") << "a  b   c" << QByteArray("a {} b {} {} c");
    QTest::newRow("control character") << QStringLiteral("a\x01z") << QByteArray("a\\'01z");
}

void TestReportFile::escapes() {
    QFETCH(QString, text);
    QFETCH(QByteArray, rtf);
    QCOMPARE(report::EscapeRtfText(text), rtf);
}

void TestReportFile::savedFileReadsBackExactly_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("partner");
    QTest::newRow("plain names") << "Ann"
                                 << "Bob";
    QTest::newRow("braces and backslashes") << "{Ann} \\par \\b0"
                                            << "}{\\";
    QTest::newRow("accents, CJK, emoji")
        << QStringLiteral("Zo\u00eb Na\u00efve") << QStringLiteral("\u9f20 \U0001F600 Bob");
    QTest::newRow("letters of code page 1252")
        << QStringLiteral("Zo\u00eb \u00c5ngstr\u00f6m")
        << QStringLiteral("\u20ac \u0152uvre \u2018Bo\u2019");
    QTest::newRow("beyond code page 1252")
        << QStringLiteral("\u738b\u5c0f\u660e") << QStringLiteral("\U0001F409 Li \U0001F600");
    QTest::newRow("addresses") << "http://example.com/ann?x=1"
                               << "www.bob.example and mailto:bo@example.com";
}

void TestReportFile::savedFileReadsBackExactly() {
    QFETCH(QString, user);
    QFETCH(QString, partner);
    AnsweringDialogs dialogs;
    EndRecorder end;
    QTemporaryDir dir;
    frmchiness* results = ReadingThroughWindows(user, partner);
    QVERIFY(results);
    frmSave window = ReportOver(results);
    dialogs.saveAnswer = dir.filePath(QStringLiteral("report.rtf"));
    window.controls().cmdSave->click();
    QVERIFY(dialogs.messages.isEmpty());
    QFile file(*dialogs.saveAnswer);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray raw = file.readAll();
    QVERIFY(raw.startsWith("{\\rtf1"));
    QVERIFY(raw.contains("Verdana"));
    QVERIFY(raw.contains("\\fs20"));  // 9.75 pt in half points
    int depth = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\')
            ++i;  // an escaped character
        else if (raw[i] == '{')
            ++depth;
        else if (raw[i] == '}')
            QVERIFY(--depth >= 0);
    }
    QCOMPARE(depth, 0);
    for (char c : raw) QVERIFY(uchar(c) < 0x80);  // pure 7-bit

    NEEDS_LINUX_TOOL("unrtf");
    QObject owner;
    const QTextDocument* back = ReadWithUnrtf(file.fileName(), &owner);
    // The same text, line breaks included, and the same styles run by run.
    const QString got = back->toPlainText().trimmed();
    const QString want = window.controls().RTB->toPlainText().trimmed();
    qsizetype at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
    QVERIFY2(got == want, qPrintable(QStringLiteral("differs at %1: [%2] vs [%3]")
                                         .arg(at)
                                         .arg(got.mid(at, 60), want.mid(at, 60))));
    QCOMPARE(StyledText(*back).trimmed(), StyledText(window.controls().RTB).trimmed());
    QVERIFY(StyledText(*back).startsWith(QStringLiteral("[L:Name: [V:")));
}

// The paper the file states: the default printer's, else the locale's.
void TestReportFile::paperSize_data() {
    QTest::addColumn<int>("printer");  // QPageSize::PageSizeId, or -1 for no printer
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("paper");
    const QByteArray a4("\\paperw11906\\paperh16838"), letter("\\paperw12240\\paperh15840");
    QTest::newRow("no printer, Germany") << -1 << "de_DE" << a4;
    QTest::newRow("no printer, Britain") << -1 << "en_GB" << a4;
    QTest::newRow("no printer, United States") << -1 << "en_US" << letter;
    QTest::newRow("no printer, Canada") << -1 << "fr_CA" << letter;
    QTest::newRow("Letter printer, Germany") << int(QPageSize::Letter) << "de_DE" << letter;
    QTest::newRow("A4 printer, United States") << int(QPageSize::A4) << "en_US" << a4;
    QTest::newRow("Legal printer")
        << int(QPageSize::Legal) << "en_US" << QByteArray("\\paperw12240\\paperh20160");
}

void TestReportFile::paperSize() {
    QFETCH(int, printer);
    QFETCH(QString, locale);
    QFETCH(QByteArray, paper);
    std::optional<QPageSize> fromPrinter;
    if (printer >= 0) fromPrinter = QPageSize(QPageSize::PageSizeId(printer));
    QTextDocument doc(QStringLiteral("Ann"));
    const QByteArray rtf = report::ToRtf(doc, report::PaperSizeFor(fromPrinter, QLocale(locale)));
    QVERIFY2(rtf.contains(paper + '\n'), rtf.constData());
}

// An address the report window opens is a hyperlink field in the file, its
// text shown as it stands in the report; one that opens nothing stays text.
void TestReportFile::addressesAreHyperlinks() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    QTemporaryDir dir;
    frmSave window =
        ReportOver(ReadingThroughWindows(QStringLiteral("http://example.com/ann www.bob.example"),
                                         QStringLiteral("http://$(touch x)")));
    dialogs.saveAnswer = dir.filePath(QStringLiteral("links.rtf"));
    window.controls().cmdSave->click();
    QFile file(*dialogs.saveAnswer);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray raw = file.readAll();
    QCOMPARE(raw.count("{\\field{\\*\\fldinst HYPERLINK "), 2);
    QVERIFY(
        raw.contains("{\\field{\\*\\fldinst HYPERLINK \"http://example.com/ann\"}{\\fldrslt "
                     "\\f0\\fs20\\b0\\i0\\ulnone\\cf2 http://example.com/ann}}"));
    QVERIFY(raw.contains("HYPERLINK \"http://www.bob.example\"}{\\fldrslt "));
    QVERIFY(raw.contains("www.bob.example}}"));
    QVERIFY(raw.contains("http://$(touch x)"));
    // The same addresses are links in the PDF, and nothing else is.
    dialogs.saveAnswer = dir.filePath(QStringLiteral("links.pdf"));
    window.controls().cmdSave->click();
    NEEDS_LINUX_TOOL("pdfinfo");
    const QStringList urls =
        Run(QStringLiteral("pdfinfo"), {QStringLiteral("-url"), *dialogs.saveAnswer})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
            .filter(QStringLiteral("http"));
    QCOMPARE(urls.size(), 2);
    QVERIFY2(urls.at(0).endsWith(QLatin1String(" http://example.com/ann")), qPrintable(urls.at(0)));
    QVERIFY2(urls.at(1).endsWith(QLatin1String(" http://www.bob.example")), qPrintable(urls.at(1)));
}

// The save dialog opens in the documents folder (the home folder when there
// is none), then where the last report was saved, with an empty name field.
// Runs first: nothing has been saved yet in this run.
void TestReportFile::saveDialogOpensInDocuments() {
    AnsweringDialogs answers;
    EndRecorder end;
    frmSave window = ReportOver(ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bo")));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QVERIFY(QDir::currentPath() != QDir::homePath());  // else the start folder could pass
    const auto openedIn = [&window] {
        UserDialogs::install(nullptr);  // the real dialog, as the window shows it
        DialogDriver driver;            // cancels it
        window.controls().cmdSave->click();
        return std::pair(driver.openedIn, driver.suggested);
    };
    const QString name;
    // Only an empty Documents folder is taken away: the test may run with the
    // user's own home (by hand, or under Wine, whose Documents folder is a link
    // to the home folder), and must never delete a file there.
    if (!QFileInfo::exists(documents) || QDir().rmdir(documents))
        QCOMPARE(openedIn(), std::pair(QDir::homePath(), name));
    QVERIFY(QDir().mkpath(documents));
    QCOMPARE(openedIn(), std::pair(QDir(documents).absolutePath(), name));

    // Saved elsewhere: the next dialog opens there, until that folder goes.
    QTemporaryDir elsewhere;
    UserDialogs::install(&answers);
    answers.saveAnswer = elsewhere.filePath(QStringLiteral("ours.rtf"));
    window.controls().cmdSave->click();
    QVERIFY(QFile::exists(*answers.saveAnswer));
    QCOMPARE(openedIn(), std::pair(QDir(elsewhere.path()).absolutePath(), name));
    QVERIFY(elsewhere.remove());
    QCOMPARE(openedIn(), std::pair(QDir(documents).absolutePath(), name));
}

void TestReportFile::saveDialogSettings() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    frmSave window =
        ReportOver(ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob")));
    window.controls().cmdSave->click();
    QCOMPARE(dialogs.saveRequests.size(), 1);
    const UserDialogs::SaveRequest& r = dialogs.saveRequests.constFirst();
    QCOMPARE(r.title, QStringLiteral("Lunvex Chinese Zodiac Compatibility"));
    QCOMPARE(r.filter, QStringLiteral("Rich Text Format (*.rtf)"));
    QCOMPARE(r.defaultSuffix, QStringLiteral("rtf"));
    QCOMPARE(r.otherFilters, QStringList{QStringLiteral("PDF (*.pdf)")});
}

// The PDF type, or a ".pdf" name, saves the report as it prints; anything
// else stays rich text.
void TestReportFile::saveAsPdf_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pdfType");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("pdf");
    QTest::newRow("pdf name") << "report.pdf" << false << "report.pdf" << true;
    QTest::newRow("upper-case pdf name") << "REPORT.PDF" << false << "REPORT.PDF" << true;
    QTest::newRow("pdf type, no extension") << "report" << true << "report.pdf" << true;
    QTest::newRow("pdf type, other extension") << "report.doc" << true << "report.doc" << true;
    QTest::newRow("rich text type") << "report" << false << "report.rtf" << false;
}

void TestReportFile::saveAsPdf() {
    QFETCH(QString, typed);
    QFETCH(bool, pdfType);
    QFETCH(QString, written);
    QFETCH(bool, pdf);
    AnsweringDialogs dialogs;
    EndRecorder end;
    QTemporaryDir dir;
    frmSave window =
        ReportOver(ReadingThroughWindows(QStringLiteral("Zo\u00eb"), QStringLiteral("Bo")));
    dialogs.saveAnswer = dir.filePath(typed);
    if (pdfType) dialogs.saveFilterAnswer = frmSave::PdfFilter;
    window.controls().cmdSave->click();
    QVERIFY(dialogs.messages.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
    QFile file(dir.filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(5), pdf ? QByteArray("%PDF-") : QByteArray("{\\rtf"));
    if (!pdf) return;
    NEEDS_LINUX_TOOL("pdftotext");
    const QString text = Run(QStringLiteral("pdftotext"), {file.fileName(), QStringLiteral("-")});
    QVERIFY2(text.startsWith(QStringLiteral("Name: Zo\u00eb")), qPrintable(text.left(100)));
    QVERIFY(text.contains(QStringLiteral("Matching Description :")));
    QCOMPARE(PageFaults(file.fileName()), QString());
    QVERIFY(Run(QStringLiteral("pdfinfo"), {file.fileName()})
                .contains(QStringLiteral("Chinese Zodiac Compatibility - Zo\u00eb and Bo")));
}

void TestReportFile::cancelWritesNothing() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    QTemporaryDir dir;
    frmSave window =
        ReportOver(ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob")));
    const QString before = window.controls().RTB->toHtml();
    dialogs.saveAnswer.reset();
    window.controls().cmdSave->click();
    QVERIFY(dialogs.messages.isEmpty());
    QVERIFY(QDir(dir.path()).isEmpty());
    QCOMPARE(window.controls().RTB->toHtml(), before);
}

void TestReportFile::nameWithoutExtensionGetsRtf_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "report"
                                  << "report.rtf";
    QTest::newRow("rtf") << "report.rtf"
                         << "report.rtf";
    QTest::newRow("other extension kept") << "report.doc"
                                          << "report.doc";
    QTest::newRow("trailing dot") << "report."
                                  << "report.rtf";
}

void TestReportFile::nameWithoutExtensionGetsRtf() {
    QFETCH(QString, typed);
    QFETCH(QString, written);
    AnsweringDialogs dialogs;
    EndRecorder end;
    QTemporaryDir dir;
    frmSave window =
        ReportOver(ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob")));
    dialogs.saveAnswer = dir.filePath(typed);
    window.controls().cmdSave->click();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
    QFile file(dir.filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("{\\rtf1"));  // rich text whatever the name
}

void TestReportFile::refusedFolderShowsTheReason() {
#ifdef Q_OS_UNIX
    AnsweringDialogs dialogs;
    EndRecorder end;
    QTemporaryDir dir;
    QString target;
    QString existing;
    if (::geteuid() == 0) {
        target = QStringLiteral("/proc/self/lunvex-report.rtf");  // no one may create files here
    } else {
        existing = dir.filePath(QStringLiteral("locked/report.rtf"));
        QDir().mkpath(dir.filePath(QStringLiteral("locked")));
        QFile f(existing);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep me");
        f.close();
        ::chmod(QFile::encodeName(dir.filePath(QStringLiteral("locked"))).constData(), 0555);
        target = existing;
    }
    frmSave window =
        ReportOver(ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob")));
    dialogs.saveAnswer = target;
    window.controls().cmdSave->click();
    QCOMPARE(dialogs.messages.size(), 1);
    const ShownMessage& m = dialogs.messages.constFirst();
    QCOMPARE(m.title, QStringLiteral("Lunvex Chinese Zodiac Compatibility"));
    QCOMPARE(m.icon, QMessageBox::Warning);
    QVERIFY2(m.text.contains(target), qPrintable(m.text));
    QVERIFY(m.text.count(QLatin1Char('\n')) == 1 &&
            !m.text.section(QLatin1Char('\n'), 1).isEmpty());
    if (!existing.isEmpty()) {
        QFile f(existing);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("keep me"));
        ::chmod(QFile::encodeName(dir.filePath(QStringLiteral("locked"))).constData(), 0755);
    } else {
        QVERIFY(!QFile::exists(target));
    }
#else
    QSKIP("needs a folder closed to writing by its mode bits (chmod), as on Linux");
#endif
}

// A disk that fills up while writing: the file that was there stays whole,
// as rich text and as PDF; with room again the same save replaces it whole.
void TestReportFile::fullDiskKeepsTheExistingFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QByteArray>("ending");
    QTest::newRow("rich text") << "report.rtf" << 1024 << QByteArray("}");
    QTest::newRow("PDF") << "report.pdf" << 4096 << QByteArray("%%EOF");
}

void TestReportFile::fullDiskKeepsTheExistingFile() {
#ifdef Q_OS_UNIX
    QFETCH(QString, name);
    QFETCH(int, limit);
    QFETCH(QByteArray, ending);
    AnsweringDialogs dialogs;
    EndRecorder end;
    QTemporaryDir dir;
    const QString existing = dir.filePath(name);
    {
        QFile f(existing);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("an earlier report");
    }
    frmSave window =
        ReportOver(ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob")));
    dialogs.saveAnswer = existing;
    // Files may not grow past the limit for a moment: writes beyond fail as on
    // a full disk, once the program has put aside the signal that would end it.
    std::signal(SIGXFSZ, SIG_DFL);
    modHelp::SurviveFileSizeLimit();
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = rlim_t(limit);
    ::setrlimit(RLIMIT_FSIZE, &small);
    window.controls().cmdSave->click();
    ::setrlimit(RLIMIT_FSIZE, &old);
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(dialogs.messages.constFirst().text.contains(existing));
    QFile f(existing);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("an earlier report"));
    f.close();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{name});  // no leftovers
    window.controls().cmdSave->click();
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().trimmed().endsWith(ending));
#else
    QSKIP("needs a file-size limit (setrlimit), which only Linux has");
#endif
}

// A device that is always full: written to directly, never replaced.
void TestReportFile::fullDeviceShowsTheReason() {
#ifdef Q_OS_UNIX
    AnsweringDialogs dialogs;
    EndRecorder end;
    struct stat before {};
    QVERIFY(::stat("/dev/full", &before) == 0);
    frmSave window =
        ReportOver(ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob")));
    dialogs.saveAnswer = QStringLiteral("/dev/full");
    window.controls().cmdSave->click();
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(dialogs.messages.constFirst().text.contains(QStringLiteral("/dev/full")));
    struct stat after {};
    QVERIFY(::stat("/dev/full", &after) == 0);
    QVERIFY(S_ISCHR(after.st_mode));
    QCOMPARE(after.st_rdev, before.st_rdev);
#else
    QSKIP("needs /dev/full, which only Linux has");
#endif
}

// A named pipe: written when something reads it, a failure at once when
// nothing does (never a wait that freezes the window), and never replaced.
void TestReportFile::pipes_data() {
    QTest::addColumn<bool>("reader");
    QTest::newRow("nobody reading") << false;
    QTest::newRow("a reader") << true;
}

void TestReportFile::pipes() {
#ifdef Q_OS_WIN
    // Windows names its pipes under \\.\pipe\: with none of that name the
    // save fails at once; with one, the report goes through it.
    QFETCH(bool, reader);
    const QString path =
        QStringLiteral("\\\\.\\pipe\\lunvex-report-%1").arg(QCoreApplication::applicationPid());
    HANDLE server = INVALID_HANDLE_VALUE;
    if (reader) {
        server = ::CreateNamedPipeW(path.toStdWString().c_str(), PIPE_ACCESS_INBOUND,
                                    PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 4096, 0, nullptr);
        QVERIFY(server != INVALID_HANDLE_VALUE);
    }
    const auto closeServer = qScopeGuard([server] {
        if (server != INVALID_HANDLE_VALUE) ::CloseHandle(server);
    });
    const QByteArray rtf("{\\rtf1 a report}");
    const std::optional<QString> failure = WriteReportFile(path, rtf);
    QVERIFY2(failure.has_value() != reader, qPrintable(failure.value_or(QString())));
    if (reader) {
        QByteArray got(rtf.size() + 16, '\0');
        DWORD read = 0;
        QVERIFY(::ReadFile(server, got.data(), DWORD(got.size()), &read, nullptr));
        got.resize(read);
        QCOMPARE(got, rtf);
    }
#elif defined(Q_OS_UNIX)
    QFETCH(bool, reader);
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("report.rtf")));
    QVERIFY(::mkfifo(path.constData(), 0600) == 0);
    const int in = reader ? ::open(path.constData(), O_RDONLY | O_NONBLOCK) : -1;
    const QByteArray rtf("{\\rtf1 a report}");
    const std::optional<QString> failure = WriteReportFile(QString::fromLocal8Bit(path), rtf);
    QCOMPARE(failure.has_value(), !reader);
    if (reader) {
        QByteArray got(rtf.size() + 16, '\0');
        got.resize(::read(in, got.data(), got.size()));
        ::close(in);
        QCOMPARE(got, rtf);
    }
    struct stat after {};
    QVERIFY(::stat(path.constData(), &after) == 0 && S_ISFIFO(after.st_mode));
#endif
}

// Windows' null device takes the report and keeps nothing: a success, and no
// file of that name appears ("NUL" is the device in every folder). Linux's
// devices are covered by fullDeviceShowsTheReason.
void TestReportFile::nullDeviceTakesTheReport() {
#ifdef Q_OS_WIN
    QTemporaryDir dir;
    const std::optional<QString> failure =
        WriteReportFile(dir.filePath(QStringLiteral("NUL")), "{\\rtf1 a report}");
    QVERIFY2(!failure, qPrintable(failure.value_or(QString())));
    QVERIFY(QDir(dir.path()).isEmpty());
#else
    QSKIP("Windows' NUL device");
#endif
}

// In a folder others may write to, a link that another user made is never
// written through, whoever owns the folder: neither to a file of the user's
// (which would be overwritten) nor to a missing one (which would be created),
// by Save, Save as PDF or Print to a file, nor through a link to a folder on
// the way. The user's own link, and a link in a folder only its owner may
// write to, are followed as before; the link itself always stays. The test makes the links itself
// and stands in another user as the program's, so that they count as another's, without root.
void TestReportFile::linksInASharedFolder_data() {
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<bool>("byAnother");  // the link (and folder) of someone not the user
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<QString>("how");    // "rtf", "pdf" (Save) or "print" (Print to a file)
    QTest::addColumn<bool>("toFolder");  // the link leads to the folder the name is in
    QTest::addColumn<bool>("refused");
    QTest::newRow("sticky folder, owner's link to a file")
        << 01777 << true << true << "rtf" << false << true;
    QTest::newRow("sticky folder, owner's dangling link")
        << 01777 << true << false << "rtf" << false << true;
    QTest::newRow("open folder, owner's link") << 0777 << true << true << "rtf" << false << true;
    QTest::newRow("group folder, owner's link") << 0770 << true << true << "rtf" << false << true;
    QTest::newRow("owner's link, saved as PDF") << 0777 << true << true << "pdf" << false << true;
    QTest::newRow("owner's link, printed to a file")
        << 01777 << true << true << "print" << false << true;
    QTest::newRow("owner's dangling link, printed")
        << 0777 << true << false << "print" << false << true;
    QTest::newRow("owner's link to a folder") << 0777 << true << true << "rtf" << true << true;
    QTest::newRow("owner's link to a folder, new file")
        << 0777 << true << false << "print" << true << true;
    QTest::newRow("own link to a file") << 01777 << false << true << "rtf" << false << false;
    QTest::newRow("own link, printed to a file")
        << 01777 << false << true << "print" << false << false;
    QTest::newRow("own link to a folder") << 0777 << false << false << "rtf" << true << false;
    QTest::newRow("unshared folder, owner's link")
        << 0755 << true << true << "rtf" << false << false;
}

void TestReportFile::linksInASharedFolder() {
#ifdef Q_OS_UNIX
    QFETCH(int, folderMode);
    QFETCH(bool, byAnother);
    QFETCH(bool, targetExists);
    QFETCH(QString, how);
    QFETCH(bool, toFolder);
    QFETCH(bool, refused);
    AnsweringDialogs dialogs;
    EndRecorder end;
    QTemporaryDir shared;
    QTemporaryDir victim;
    const QString fileName =
        how == QStringLiteral("rtf") ? QStringLiteral("report.rtf") : QStringLiteral("report.pdf");
    const QString target = victim.filePath(toFolder ? fileName : QStringLiteral(".profile"));
    if (targetExists) {
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("export PATH\n");
    }
    const QString link = shared.filePath(toFolder ? QStringLiteral("folder") : fileName);
    const QString chosen = toFolder ? link + QLatin1Char('/') + fileName : link;
    const QByteArray linkName = QFile::encodeName(link);
    QVERIFY(::symlink(QFile::encodeName(toFolder ? victim.path() : target).constData(),
                      linkName.constData()) == 0);
    QVERIFY(::chmod(QFile::encodeName(shared.path()).constData(), mode_t(folderMode)) == 0);
    // Folder and link are the test's own: with another user running the
    // program, both are that other user's, the folder's owner's link.
    if (byAnother) SetLinkUserForTesting(::geteuid() + 1);
    struct Restore {
        ~Restore() { SetLinkUserForTesting(std::nullopt); }
    } restore;

    frmSave window =
        ReportOver(ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob")));
    if (how == QStringLiteral("print")) {
        dialogs.printAnswer = chosen;
        window.controls().cmdPrint->click();
    } else {
        dialogs.saveAnswer = chosen;
        window.controls().cmdSave->click();
    }

    QFile f(target);
    if (refused) {
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages.constFirst().icon, QMessageBox::Warning);
        QVERIFY2(dialogs.messages.constFirst().text.contains(QStringLiteral("link")),
                 qPrintable(dialogs.messages.constFirst().text));
        QCOMPARE(QFile::exists(target), targetExists);
        if (targetExists) {
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("export PATH\n"));
        }
    } else {
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith(how == QStringLiteral("rtf") ? "{\\rtf1" : "%PDF-"));
    }
    QVERIFY(QFileInfo(link).isSymLink());  // the link itself stays as it was
    QCOMPARE(QDir(shared.path())
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden),
             QStringList{QFileInfo(link).fileName()});
#else
    QSKIP("needs symbolic links and folder mode bits (symlink, chmod), as on Linux");
#endif
}

// The real save dialog, driven as a person would: the folder must exist, a
// name gets ".rtf" unless it names an existing file, replacing a file is
// asked first, and every message shows its text as plain text.
void TestReportFile::realSaveDialog_data() {
    QTest::addColumn<QString>("typed");  // inside a scratch folder
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("chosen");  // empty when the dialog was cancelled
    QTest::addColumn<QString>("said");    // what the one message begins with, if any
    const int yes = QMessageBox::Yes, no = QMessageBox::No;
    QTest::newRow("new name") << "report" << QStringList{} << yes << "report.rtf"
                              << "";
    QTest::newRow("missing folder") << "no/such/folder/x.rtf" << QStringList{} << yes << ""
                                    << "The folder";
    QTest::newRow("missing folder named as markup")
        << "<a href=file:/etc/passwd>CLICK ME</a>/x.rtf" << QStringList{} << yes << ""
        << "The folder";
    QTest::newRow("existing file without extension")
        << "plain" << QStringList{"plain"} << yes << "plain"
        << "plain already exists";
    QTest::newRow("replacing refused") << "report" << QStringList{"report.rtf"} << no << ""
                                       << "report.rtf already exists";
    QTest::newRow("PDF type") << "report" << QStringList{"report.rtf"} << yes << "report.pdf"
                              << "";
}

void TestReportFile::realSaveDialog() {
    QFETCH(QString, typed);
    QFETCH(QStringList, existing);
    QFETCH(int, answer);
    QFETCH(QString, chosen);
    QFETCH(QString, said);
    QTemporaryDir dir;
    for (const QString& name : existing) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    DialogDriver driver(dir.filePath(typed), QMessageBox::StandardButton(answer));
    const bool pdfType = QByteArray(QTest::currentDataTag()) == "PDF type";
    if (pdfType) driver.nameFilter = frmSave::PdfFilter;
    UserDialogs real;
    QString type;
    const std::optional<QString> result = real.saveFileName(nullptr, {modHelp::ApplicationTitle,
                                                                      frmSave::SaveFilter,
                                                                      QStringLiteral("rtf"),
                                                                      {frmSave::PdfFilter},
                                                                      &type});
    if (result) QCOMPARE(type, pdfType ? frmSave::PdfFilter : frmSave::SaveFilter);
    QCOMPARE(driver.dialogsSeen, 1);
    QCOMPARE(result.value_or(QString()), chosen.isEmpty() ? QString() : dir.filePath(chosen));
    QCOMPARE(driver.stayedOpen, chosen.isEmpty());
    QCOMPARE(driver.messages.size(), said.isEmpty() ? 0 : 1);
    if (!said.isEmpty())
        QVERIFY2(driver.messages.constFirst().startsWith(said),
                 qPrintable(driver.messages.constFirst()));
    for (Qt::TextFormat format : std::as_const(driver.formats)) QCOMPARE(format, Qt::PlainText);
}

// A text that starts with a tag is still shown as it reads, never as a link.
void TestReportFile::messagesArePlainText() {
    DialogDriver driver;
    UserDialogs real;
    const QString text = QStringLiteral("<a href=file:/etc/passwd>CLICK ME</a>\n<img src=x>");
    real.message(nullptr, QMessageBox::Warning, modHelp::ApplicationTitle, text, QMessageBox::Ok);
    QCOMPARE(driver.messages, QStringList{text});
    QCOMPARE(driver.formats, QList<Qt::TextFormat>{Qt::PlainText});
}

// Qt's file dialog would record every folder saved in to the user's
// QtProject.conf as it closes, waiting without end for a lock it cannot
// take. It writes nothing; should it freeze, the test ends at once.
void TestReportFile::fileDialogKeepsNoSettings_data() {
    QTest::addColumn<bool>("lockFolder");
    QTest::newRow("nothing in the way") << false;
    QTest::newRow("a folder in place of the lock") << true;
}

void TestReportFile::fileDialogKeepsNoSettings() {
    QFETCH(bool, lockFolder);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString conf = config + QStringLiteral("/QtProject.conf");
    QFile::remove(conf);
    if (lockFolder) QVERIFY(QDir().mkpath(conf + QStringLiteral(".lock")));
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::thread deadline([&] {
        std::unique_lock lock(m);
        if (!cv.wait_for(lock, std::chrono::seconds(20), [&] { return done; }))
            qFatal("The file dialog froze on closing");
    });
    QTemporaryDir dir;
    DialogDriver driver(dir.filePath(QStringLiteral("report")));
    UserDialogs real;
    const std::optional<QString> chosen = real.saveFileName(
        nullptr, {modHelp::ApplicationTitle, frmSave::SaveFilter, QStringLiteral("rtf")});
    {
        std::lock_guard lock(m);
        done = true;
    }
    cv.notify_one();
    deadline.join();
    QCOMPARE(chosen.value_or(QString()), dir.filePath(QStringLiteral("report.rtf")));
    QVERIFY(!QFile::exists(conf));
    if (lockFolder) QVERIFY(QDir().rmdir(conf + QStringLiteral(".lock")));
}

// Only the selection decides what is printed, so the real print dialog
// offers "All" and, with text selected, "Selection"; never a page range.
void TestReportFile::printDialogOffersNoPageRange_data() {
    QTest::addColumn<bool>("selection");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("nothing selected") << false << QStringList{"printAll"};
    QTest::newRow("text selected") << true << QStringList{"printAll", "printSelection"};
}

void TestReportFile::printDialogOffersNoPageRange() {
#ifdef Q_OS_UNIX
    QFETCH(bool, selection);
    QFETCH(QStringList, offered);
    DialogDriver driver;
    UserDialogs real;
    QPrinter printer;
    QVERIFY(!real.choosePrinter(nullptr, printer, selection));
    QStringList ranges = driver.printRanges;
    ranges.sort();
    QCOMPARE(ranges, offered);
#else
    QSKIP("drives Qt's own print dialog; Windows shows its native one instead");
#endif
}

// With the page range hidden, nothing of it stays: no "to" standing alone,
// and the printer's own labels all still there.
void TestReportFile::printDialogLeavesNoStrayTo() {
#ifdef Q_OS_UNIX
    DialogDriver driver;
    UserDialogs real;
    QPrinter printer;
    QVERIFY(!real.choosePrinter(nullptr, printer, false));
    QVERIFY(driver.printLabels.contains(QStringLiteral("Copies:")));  // the options were open
    QVERIFY2(!driver.printLabels.contains(QStringLiteral("to")),
             qPrintable(driver.printLabels.join(QStringLiteral(" | "))));
    QVERIFY(driver.printLabels.contains(QStringLiteral("Type:")));
#else
    QSKIP("drives Qt's own print dialog; Windows shows its native one instead");
#endif
}

// Print to File offers the job's name as the file's, made safe for a file
// name, and leaves the printer's destination as it was.
void TestReportFile::printToFileSuggestsTheReadingsName_data() {
    QTest::addColumn<QString>("job");
    QTest::addColumn<QString>("file");
    QTest::newRow("plain") << QStringLiteral("Chinese Zodiac Compatibility - Zo\u00eb and Bo")
                           << QStringLiteral("Chinese Zodiac Compatibility - Zo\u00eb and Bo.pdf");
    QTest::newRow("folder separators and dots")
        << "Chinese Zodiac Compatibility - ../a/b and C:\\d.txt"
        << "Chinese Zodiac Compatibility - .._a_b and C__d.txt.pdf";
    QTest::newRow("no name") << ""
                             << "";
}

void TestReportFile::printToFileSuggestsTheReadingsName() {
#ifdef Q_OS_UNIX
    QFETCH(QString, job);
    QFETCH(QString, file);
    DialogDriver driver;
    UserDialogs real;
    QPrinter printer;
    printer.setDocName(job);
    QVERIFY(!real.choosePrinter(nullptr, printer, false));
    if (file.isEmpty())
        QVERIFY(!driver.printFileName.endsWith(QStringLiteral(" and Bo.pdf")));
    else
        QCOMPARE(driver.printFileName.section(QLatin1Char('/'), -1), file);
    QVERIFY(driver.printFileName.startsWith(QLatin1Char('/')));
    QCOMPARE(printer.outputFileName(), QString());
#else
    QSKIP("drives Qt's own print dialog; Windows shows its native one instead");
#endif
}

void TestReportFile::anyNameSurvivesTheWholeRoad_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exactText");  // whether readers give the text back letter for letter
    QTest::newRow("10,000 characters") << QString(10000, QLatin1Char('x')) << true;
    QTest::newRow("control characters") << QStringLiteral("a\x01b\x1b[31mc\x7f") << false;
    QTest::newRow("right to left")
        << QStringLiteral("\u05E9\u05E8\u05D4 \u200F\u0645\u0631\u064A\u0645") << true;
    QTest::newRow("emoji and joiners")
        << QStringLiteral("\U0001F469\u200D\u2764\uFE0F\u200D\U0001F468 \U0001F409") << true;
    QTest::newRow("combining marks") << QStringLiteral("Zo\u0065\u0308 \u1E9B\u0323") << true;
    QTest::newRow("markup and RTF words")
        << QStringLiteral("<b>x</b> {\\rtf1 \\par} &amp;") << true;
}

// A reading, the report, the saved file and the printout, whatever the name holds.
void TestReportFile::anyNameSurvivesTheWholeRoad() {
    QFETCH(QString, name);
    QFETCH(bool, exactText);
    AnsweringDialogs dialogs;
    EndRecorder end;
    QTemporaryDir dir;
    frmchiness* results = ReadingThroughWindows(name, name);
    QVERIFY(results);
    name.truncate(200);  // what the name box keeps of a longer paste
    frmSave window = ReportOver(results);
    const QString report = window.controls().RTB->toPlainText();
    QVERIFY(report.startsWith(QStringLiteral("Name: ") +
                              QString::fromStdString(TrimSpaces(name.toStdString())) +
                              QStringLiteral("\n\nDate of Birth: ")));

    dialogs.saveAnswer = dir.filePath(QStringLiteral("any.rtf"));
    window.controls().cmdSave->click();
    QVERIFY(dialogs.messages.isEmpty());
    QFile file(*dialogs.saveAnswer);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray raw = file.readAll();
    for (char c : raw) QVERIFY(uchar(c) < 0x80 && (uchar(c) >= 0x20 || c == '\n'));
    NEEDS_LINUX_TOOL("unrtf");
    QObject owner;
    const QString back = ReadWithUnrtf(file.fileName(), &owner)->toPlainText().trimmed();
    if (exactText) {
        QCOMPARE(back, report.trimmed());
    } else {
        QVERIFY(
            back.endsWith(report.trimmed().right(2000)));  // all that follows the names is whole
    }

    dialogs.printAnswer = dir.filePath(QStringLiteral("any.pdf"));
    window.controls().cmdPrint->click();
    const QString printed =
        Run(QStringLiteral("pdftotext"), {*dialogs.printAnswer, QStringLiteral("-")});
    QVERIFY(printed.contains(QStringLiteral("Matching Description :")));
}

void TestReportFile::printWholeReport() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    QTemporaryDir dir;
    frmSave window =
        ReportOver(ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob")));
    dialogs.printAnswer = dir.filePath(QStringLiteral("report.pdf"));
    window.controls().cmdPrint->click();
    QCOMPARE(dialogs.printerSelectionOffered, QList<bool>{false});
    NEEDS_LINUX_TOOL("pdftotext");
    const QString text =
        Run(QStringLiteral("pdftotext"), {*dialogs.printAnswer, QStringLiteral("-")});
    QVERIFY2(text.contains(QStringLiteral("Name: Ann")), qPrintable(text.left(200)));
    QVERIFY(text.contains(QStringLiteral("Matching Description :")));
    QVERIFY(text.contains(QStringLiteral("Famous Persons of this Star Sign are:")));
    QVERIFY(dialogs.messages.isEmpty());
}

// A PDF that the disk cannot hold is reported, and the cut file taken away.
void TestReportFile::printToAFullDiskIsReported() {
#ifdef Q_OS_UNIX
    AnsweringDialogs dialogs;
    EndRecorder end;
    QTemporaryDir dir;
    frmSave window =
        ReportOver(ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob")));
    dialogs.printAnswer = dir.filePath(QStringLiteral("report.pdf"));
    // Files may not grow past 8 KB: the rest of the PDF fails as on a full disk.
    std::signal(SIGXFSZ, SIG_DFL);
    modHelp::SurviveFileSizeLimit();
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 8192;
    ::setrlimit(RLIMIT_FSIZE, &small);
    window.controls().cmdPrint->click();
    ::setrlimit(RLIMIT_FSIZE, &old);
    QCOMPARE(dialogs.messages.size(), 1);
    const ShownMessage& m = dialogs.messages.constFirst();
    QCOMPARE(m.title, QStringLiteral("Lunvex Chinese Zodiac Compatibility"));
    QCOMPARE(m.icon, QMessageBox::Warning);
    QVERIFY2(m.text.contains(*dialogs.printAnswer), qPrintable(m.text));
    QVERIFY(QDir(dir.path()).isEmpty());  // no broken file left
#else
    QSKIP("needs a file-size limit (setrlimit), which only Linux has");
#endif
}

void TestReportFile::printOnlyTheSelection() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    QTemporaryDir dir;
    frmSave window =
        ReportOver(ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob")));
    QTextEdit* rtb = window.controls().RTB;
    // Select the pair's block only.
    const qsizetype from =
        rtb->toPlainText().indexOf(QStringLiteral("Chinese Compatibility Number: "));
    QTextCursor c(rtb->document());
    c.setPosition(int(from));
    c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    rtb->setTextCursor(c);
    dialogs.printAnswer = dir.filePath(QStringLiteral("part.pdf"));
    dialogs.printRangeOverride = QPrinter::AllPages;  // the user switches the dialog to all pages
    window.controls().cmdPrint->click();
    QCOMPARE(dialogs.printerSelectionOffered, QList<bool>{true});
    NEEDS_LINUX_TOOL("pdftotext");
    const QString text =
        Run(QStringLiteral("pdftotext"), {*dialogs.printAnswer, QStringLiteral("-")});
    QVERIFY2(text.contains(QStringLiteral("Chinese Compatibility Number:")),
             qPrintable(text.left(200)));
    QVERIFY(text.contains(QStringLiteral("Matching Description :")));
    QVERIFY(!text.contains(QStringLiteral("Name: Ann")));
    QVERIFY(!text.contains(QStringLiteral("Ruling Planet")));
    QCOMPARE(rtb->textCursor().selectedText().size(), c.selectedText().size());  // selection kept
}

void TestReportFile::cancelPrintsNothingAfterASave() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    QTemporaryDir dir;
    frmSave window =
        ReportOver(ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob")));
    dialogs.saveAnswer = dir.filePath(QStringLiteral("saved.rtf"));
    window.controls().cmdSave->click();
    dialogs.printAnswer.reset();  // cancel the printer dialog
    window.controls().cmdPrint->click();
    QVERIFY(dialogs.messages.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("saved.rtf")});
    QCOMPARE(dialogs.printerSelectionOffered.size(), 1);
}

// The print queue, the PDF's title and the file Print to File suggests all
// carry the reading's name, never an empty or endless one.
void TestReportFile::printJobIsNamedAfterTheReading_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("partner");
    QTest::addColumn<QString>("title");
    QTest::newRow("accented") << QStringLiteral("Zo\u00eb") << "Bo"
                              << QStringLiteral("Chinese Zodiac Compatibility - Zo\u00eb and Bo");
    QTest::newRow("CJK and emoji")
        << QStringLiteral("\u738b\u5c0f\u660e") << QStringLiteral("\U0001F409 Li")
        << QStringLiteral("Chinese Zodiac Compatibility - \u738b\u5c0f\u660e and \U0001F409 Li");
    QTest::newRow("control characters") << QStringLiteral("a\u0001b\tc") << "d"
                                        << "Chinese Zodiac Compatibility - a b c and d";
    QTest::newRow("10,000 characters")
        << QString(10000, QLatin1Char('x')) << "Bo"
        << QStringLiteral("Chinese Zodiac Compatibility - ") + QString(97, QLatin1Char('x')) +
               QChar(0x2026) + QStringLiteral(" and Bo");
}

void TestReportFile::printJobIsNamedAfterTheReading() {
    QFETCH(QString, user);
    QFETCH(QString, partner);
    QFETCH(QString, title);
    AnsweringDialogs dialogs;
    EndRecorder end;
    QTemporaryDir dir;
    frmSave window = ReportOver(ReadingThroughWindows(user, partner));
    dialogs.printAnswer = dir.filePath(QStringLiteral("report.pdf"));
    window.controls().cmdPrint->click();
    QCOMPARE(dialogs.printJobNames, QStringList{title});
    QVERIFY(title.toUtf8().size() <= 255);
    NEEDS_LINUX_TOOL("pdfinfo");
    const QString info = Run(QStringLiteral("pdfinfo"), {*dialogs.printAnswer});
    static const QRegularExpression titleLine(QStringLiteral("^Title: +(.*)$"),
                                              QRegularExpression::MultilineOption);
    QCOMPARE(titleLine.match(info).captured(1), title);
}

// Each sign with two others, each born in a year of its own element: however
// the real report falls onto pages, none holds only its page number or starts
// a line down. (tst_report puts blank lines exactly at a page's end.)
void TestReportFile::noPrintedPageIsEmpty_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("partner");
    QTest::newRow("short names") << QStringLiteral("Zo\u00eb \u00c5ngstr\u00f6m")
                                 << QStringLiteral("\u738b\u5c0f\u660e");
    // Names that take more than a line of their own.
    QTest::newRow("long names")
        << QStringLiteral("Alexandra Victoria Montgomery-Fitzwilliam ").repeated(4).trimmed()
        << QStringLiteral("Christopher Wellington-Smythe ").repeated(5).trimmed();
}

void TestReportFile::noPrintedPageIsEmpty() {
    QFETCH(QString, user);
    QFETCH(QString, partner);
    NEEDS_LINUX_TOOL("pdftotext");
    QTemporaryDir dir;
    QStringList faults;
    for (int u = 0; u < 12; ++u) {
        for (const int p : {u * 5 % 12, (u * 7 + 3) % 12}) {
            const CompatibilityRunRecord run = ReadingFor(user, 1936 + u, partner, 1948 + p);
            QTextDocument document;
            report::ComposeReport(document, run);
            const QString pdf = dir.filePath(QStringLiteral("%1-%2.pdf").arg(u).arg(p));
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            report::PrintReport(document, printer);
            const QString fault = PageFaults(pdf);
            if (!fault.isEmpty())
                faults.append(QStringLiteral("%1 with %2: %3")
                                  .arg(QString::fromStdString(run.User.Sign),
                                       QString::fromStdString(run.Partner.Sign), fault));
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
}

LUNVEX_TEST_MAIN(TestReportFile)
#include "tst_reportfile.moc"
