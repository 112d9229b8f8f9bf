// The input window: its lists, its focus and keyboard, and ValidateInput's
// six messages.
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "engine/reading.h"
#include "input/frmmain.h"
#include "results/frmchiness.h"
#include "testsupport.h"
#include "ui_frmchiness.h"
#include "ui_frmmain.h"

namespace {

const QString kYourName = QStringLiteral("Please enter Your Name");
const QString kPartnerName = QStringLiteral("Please Enter Your Partner's Name");
const QString kYourFebruary = QStringLiteral("Please Enter Your Correct Date Or Month!");
const QString kYourThirty = QStringLiteral("Please Enter Your Correct Date Or Month !");
const QString kPartnerFebruary =
    QStringLiteral("Please Enter Your Partner's Correct Date Or Month!");
const QString kPartnerThirty =
    QStringLiteral("Please Enter Your Partner's Correct Date Or Month !");

struct Entry {
    QString name;
    int day, month, year;
};

void Fill(frmmain& w, const Entry& user, const Entry& partner) {
    EnterReading(w, user.name, {user.day, user.month, user.year}, partner.name,
                 {partner.day, partner.month, partner.year});
}

}  // namespace

Q_DECLARE_METATYPE(Entry)

class TestInput : public QObject {
    Q_OBJECT

  private slots:
    void init() { DestroyAllWindows(); }
    void cleanup() { DestroyAllWindows(); }

    void freshWindow();
    void controlsCarryTheirNames();
    void validation_data();
    void validation();
    void nameMessagesMoveTheFocus();
    void invalidInputChangesNothing();
    void altCRunsLikeAClick();
    void yearBoxNamesTheChineseNewYear_data();
    void yearBoxNamesTheChineseNewYear();
    void keyboardAloneReachesTheResults();
    void pastedLineBreaksBecomeBlanks_data();
    void pastedLineBreaksBecomeBlanks();
};

void TestInput::freshWindow() {
    frmmain w;
    w.show();
    const Ui::frmmain& c = w.controls();
    QCOMPARE(w.windowTitle(), QStringLiteral("Lunvex Chinese Zodiac Compatibility v2.10"));
    QVERIFY(!w.windowIcon().isNull());
    for (QComboBox* day : {c.CboMaleDate, c.cboFemaleDate}) {
        QCOMPARE(day->count(), 31);
        QCOMPARE(day->itemText(0), QStringLiteral("1"));
        QCOMPARE(day->itemText(8), QStringLiteral("9"));
        QCOMPARE(day->itemText(30), QStringLiteral("31"));
    }
    for (QComboBox* month : {c.cboMaleMonth, c.cboFemaleMonth}) {
        QCOMPARE(month->count(), 12);
        QCOMPARE(month->itemText(0), QStringLiteral("January"));
        QCOMPARE(month->itemText(1), QStringLiteral("February"));
        QCOMPARE(month->itemText(11), QStringLiteral("December"));
    }
    for (QComboBox* year : {c.cboMaleYear, c.cboFemaleYear}) {
        QCOMPARE(year->count(), 84);
        QCOMPARE(year->itemText(0), QStringLiteral("1936"));
        QCOMPARE(year->itemText(83), QStringLiteral("2019"));
    }
    for (QComboBox* box : {c.CboMaleDate, c.cboMaleMonth, c.cboMaleYear, c.cboFemaleDate,
                           c.cboFemaleMonth, c.cboFemaleYear}) {
        QCOMPARE(box->currentIndex(), 0);
        QVERIFY(!box->isEditable());  // pick only
    }
    QVERIFY(c.txtMaleName->text().isEmpty());
    QVERIFY(c.txtFemaleName->text().isEmpty());
    QCOMPARE(w.focusWidget(), c.txtMaleName);

    // Focus order: names and lists of each person, then Proceed.
    const QList<QWidget*> order{c.txtMaleName,   c.cboMaleMonth,  c.CboMaleDate,
                                c.cboMaleYear,   c.txtFemaleName, c.cboFemaleMonth,
                                c.cboFemaleDate, c.cboFemaleYear, c.cmdProceed};
    QVERIFY(WaitForKeyboardFocus(&w));
    for (int i = 0; i + 1 < order.size(); ++i) {
        order[i]->setFocus();
        QTest::keyClick(order[i], Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), order[i + 1]);
    }
    // The make-money menu is switched off; its action still exists.
    QVERIFY(!c.mnumakemoney->isVisible());
    QCOMPARE(c.cmdProceed->text(), QStringLiteral("Get Our &Chinese Zodiac Compatibility"));
    QCOMPARE(c.lblFullBrand->geometry(), c.lblCobrand->geometry());
}

void TestInput::controlsCarryTheirNames() {
    frmmain w;
    for (const char* name :
         {"Label1",        "Label2",      "Frame3_0",       "Label5_0",      "Frame3_1",
          "Label5_1",      "Frame1",      "Label3",         "txtMaleName",   "Label4",
          "cboMaleMonth",  "CboMaleDate", "cboMaleYear",    "Frame2",        "Label6",
          "txtFemaleName", "Label7",      "cboFemaleMonth", "cboFemaleDate", "cboFemaleYear",
          "cmdProceed",    "lblCobrand",  "lblFullBrand"})
        QVERIFY2(w.findChild<QWidget*>(QLatin1String(name)), name);
    for (const char* name : {"mnuFile", "mnuExit", "mnuHelp", "mnuOnline", "mnuVisit", "mnuUpdate",
                             "mnuAbout", "mnuDonate", "mnumakemoney"})
        QVERIFY2(w.findChild<QObject*>(QLatin1String(name)), name);
    const QStringList menus{QStringLiteral("&File"), QStringLiteral("&Help"),
                            QStringLiteral("&Donate"), QStringLiteral("Make Money &Online")};
    QStringList shown;
    for (QAction* a : w.menuBar()->actions()) shown.append(a->text());
    QCOMPARE(shown, menus);
}

void TestInput::validation_data() {
    QTest::addColumn<Entry>("user");
    QTest::addColumn<Entry>("partner");
    QTest::addColumn<QString>("message");  // empty: passes
    const Entry ok{QStringLiteral("Ann"), 5, 3, 1975};
    const Entry okPartner{QStringLiteral("Bob"), 1, 1, 1936};
    QTest::newRow("both fine") << ok << okPartner << QString();
    QTest::newRow("both names empty")
        << Entry{"", 1, 1, 1936} << Entry{"", 1, 1, 1936} << kYourName;
    QTest::newRow("partner name empty") << ok << Entry{"", 1, 1, 1936} << kPartnerName;
    QTest::newRow("name of blanks passes")
        << Entry{" ", 1, 1, 1936} << Entry{"  ", 1, 1, 1936} << QString();
    QTest::newRow("29 Feb in leap year") << Entry{"A", 29, 2, 1980} << okPartner << QString();
    QTest::newRow("29 Feb 2000") << Entry{"A", 29, 2, 2000} << okPartner << QString();
    QTest::newRow("29 Feb in common year") << Entry{"A", 29, 2, 1981} << okPartner << kYourFebruary;
    QTest::newRow("30 Feb in leap year") << Entry{"A", 30, 2, 1980} << okPartner << kYourFebruary;
    QTest::newRow("31 Feb") << Entry{"A", 31, 2, 1983} << okPartner << kYourFebruary;
    QTest::newRow("28 Feb") << Entry{"A", 28, 2, 1983} << okPartner << QString();
    for (int month : {4, 6, 9, 11}) {
        QTest::addRow("your 31 of month %d", month)
            << Entry{"A", 31, month, 1975} << okPartner << kYourThirty;
        QTest::addRow("your 30 of month %d", month)
            << Entry{"A", 30, month, 1975} << okPartner << QString();
        QTest::addRow("partner 31 of month %d", month)
            << ok << Entry{"B", 31, month, 1990} << kPartnerThirty;
    }
    for (int month : {1, 3, 5, 7, 8, 10, 12})
        QTest::addRow("31 of month %d", month)
            << Entry{"A", 31, month, 1975} << Entry{"B", 31, month, 2019} << QString();
    QTest::newRow("partner 29 Feb 1983") << ok << Entry{"B", 29, 2, 1983} << kPartnerFebruary;
    QTest::newRow("partner 29 Feb 1984") << ok << Entry{"B", 29, 2, 1984} << QString();
    QTest::newRow("partner 30 Feb") << ok << Entry{"B", 30, 2, 1984} << kPartnerFebruary;
    QTest::newRow("both dates wrong")
        << Entry{"A", 31, 4, 1975} << Entry{"B", 30, 2, 1984} << kYourThirty;
    QTest::newRow("both Februaries wrong")
        << Entry{"A", 29, 2, 1981} << Entry{"B", 29, 2, 1983} << kYourFebruary;
    QTest::newRow("name before date")
        << Entry{"A", 31, 4, 1975} << Entry{"", 1, 1, 1936} << kPartnerName;
}

void TestInput::validation() {
    QFETCH(Entry, user);
    QFETCH(Entry, partner);
    QFETCH(QString, message);
    AnsweringDialogs dialogs;
    frmmain w;
    Fill(w, user, partner);
    QCOMPARE(w.ValidateInput(), message.isEmpty());
    if (message.isEmpty()) {
        QVERIFY(dialogs.messages.isEmpty());
        return;
    }
    QCOMPARE(dialogs.messages.size(), 1);  // only the first failing check speaks
    const ShownMessage& m = dialogs.messages.constFirst();
    QCOMPARE(m.text, message);
    QCOMPARE(m.title, QStringLiteral("Lunvex Chinese Zodiac Compatibility"));
    QCOMPARE(m.icon, QMessageBox::Information);
    QCOMPARE(m.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestInput::nameMessagesMoveTheFocus() {
    AnsweringDialogs dialogs;
    frmmain w;
    w.show();
    Ui::frmmain& c = w.controls();
    c.cmdProceed->setFocus();
    QVERIFY(!w.ValidateInput());
    QCOMPARE(w.focusWidget(), c.txtMaleName);

    c.txtMaleName->setText(QStringLiteral("Ann"));
    c.cmdProceed->setFocus();
    QVERIFY(!w.ValidateInput());
    QCOMPARE(w.focusWidget(), c.txtFemaleName);

    // Date messages leave the focus where it was.
    c.txtFemaleName->setText(QStringLiteral("Bob"));
    c.CboMaleDate->setCurrentIndex(30);
    c.cboMaleMonth->setCurrentIndex(3);
    c.cboMaleYear->setFocus();
    QVERIFY(!w.ValidateInput());
    QCOMPARE(w.focusWidget(), c.cboMaleYear);
}

void TestInput::invalidInputChangesNothing() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    auto* w = Navigator::instance().newInput();
    w->show();
    Fill(*w, {QStringLiteral("Ann"), 31, 11, 1975}, {QStringLiteral("Bob"), 1, 1, 1936});
    w->controls().cmdProceed->click();
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(w->isVisible());
    QVERIFY(!Navigator::instance().loadedResults());
    QCOMPARE(w->controls().txtMaleName->text(), QStringLiteral("Ann"));
    QCOMPARE(w->controls().CboMaleDate->currentIndex(), 30);
    QCOMPARE(end.ends, 0);
}

void TestInput::altCRunsLikeAClick() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    auto* w = Navigator::instance().newInput();
    w->show();
    QVERIFY(WaitForKeyboardFocus(w));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    // Empty names: the run started and stopped at the first check. (A mnemonic
    // presses the button visibly, so the click comes a moment later.)
    QTRY_COMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages.constFirst().text, kYourName);

    Fill(*w, {QStringLiteral("Ann"), 5, 3, 1975}, {QStringLiteral("Bob"), 1, 1, 1936});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(Navigator::instance().loadedResults() &&
                Navigator::instance().loadedResults()->isVisible());
    QCOMPARE(dialogs.messages.size(), 1);
}

void TestInput::yearBoxNamesTheChineseNewYear_data() {
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("tip");  // empty: the box's own tooltip
    QTest::newRow("January, February New Year")
        << 1 << 1975 << "The Chinese New Year of 1975 falls on 11 February 1975.";
    QTest::newRow("February, January New Year")
        << 2 << 1966 << "The Chinese New Year of 1966 falls on 21 January 1966.";
    QTest::newRow("January of the first year")
        << 1 << 1936 << "The Chinese New Year of 1936 falls on 24 January 1936.";
    QTest::newRow("March") << 3 << 1975 << QString();
}

// While January or February is chosen, a person's year box names that year's
// Chinese New Year; any other month gives the box its own tooltip back.
void TestInput::yearBoxNamesTheChineseNewYear() {
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(QString, tip);
    QMainWindow bare;  // the boxes as the form draws them
    Ui::frmmain form;
    form.setupUi(&bare);
    const QString firstYearTip =
        QStringLiteral("The Chinese New Year of 1936 falls on 24 January 1936.");
    for (bool partner : {false, true}) {
        frmmain w;
        Ui::frmmain& c = w.controls();
        QComboBox* monthBox = partner ? c.cboFemaleMonth : c.cboMaleMonth;
        QComboBox* yearBox = partner ? c.cboFemaleYear : c.cboMaleYear;
        QComboBox* otherYearBox = partner ? c.cboMaleYear : c.cboFemaleYear;
        const QString ownTip = (partner ? form.cboFemaleYear : form.cboMaleYear)->toolTip();
        QCOMPARE(yearBox->toolTip(), firstYearTip);  // a fresh window shows January 1936
        // The year first, then the month: the tip follows each change.
        yearBox->setCurrentIndex(year - 1936);
        monthBox->setCurrentIndex(month - 1);
        QCOMPARE(yearBox->toolTip(), tip.isEmpty() ? ownTip : tip);
        QCOMPARE(otherYearBox->toolTip(), firstYearTip);
    }
}

// A whole reading by keyboard: type, pick with arrow keys, Tab, Enter.
void TestInput::keyboardAloneReachesTheResults() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    auto* w = Navigator::instance().newInput();
    w->show();
    QVERIFY(WaitForKeyboardFocus(w));
    Ui::frmmain& c = w->controls();
    QCOMPARE(QApplication::focusWidget(), c.txtMaleName);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Ann"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), c.cboMaleMonth);
    for (int i = 0; i < 2; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // March
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    for (int i = 0; i < 4; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // 5
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);  // 2019
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), c.txtFemaleName);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Bob"));
    for (int i = 0; i < 4; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), c.cmdProceed);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    QVERIFY(dialogs.messages.isEmpty());
    frmchiness* results = Navigator::instance().loadedResults();
    QVERIFY(results);
    QCOMPARE(results->controls().Framale->title(), QStringLiteral("Ann"));
    QCOMPARE(results->controls().lblMaleChinesesign->text(),
             QStringLiteral("Pig"));  // 5 March 2019
    QCOMPARE(results->controls().lblFemaleChineseSign->text(),
             QStringLiteral("Pig"));  // 1 January 1936, before that year's New Year
}

// A name is one line: the caption and the report show the same name.
void TestInput::pastedLineBreaksBecomeBlanks_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("name");
    QTest::newRow("LF") << "Tom\nJerry"
                        << "Tom Jerry";
    QTest::newRow("CR LF") << "Ann\r\nLee"
                           << "Ann Lee";
    QTest::newRow("two breaks") << "A\n\nB"
                                << "A  B";
    QTest::newRow("Unicode separators") << QStringLiteral("Zoë\u2028Ø\u2029Li") << "Zoë Ø Li";
    // Qt's own frame marks would break the report's paragraphs.
    QTest::newRow("frame marks") << QStringLiteral("Ann\uFDD0Lee\uFDD1Li") << "Ann Lee Li";
    // A paste far beyond any name is cut, and the user told so.
    QTest::newRow("32767 characters")
        << QString(32767, QLatin1Char('x')) << QString(200, QLatin1Char('x'));
    // The limit itself: the longest name is kept whole and without a word.
    QTest::newRow("200 characters")
        << QString(200, QLatin1Char('x')) << QString(200, QLatin1Char('x'));
    QTest::newRow("201 characters")
        << QString(201, QLatin1Char('x')) << QString(200, QLatin1Char('x'));
    QTest::newRow("a pair cut in two")
        << QString(199, QLatin1Char('x')) + QStringLiteral("\U0001F600")
        << QString(199, QLatin1Char('x'));
}

void TestInput::pastedLineBreaksBecomeBlanks() {
    QFETCH(QString, pasted);
    QFETCH(QString, name);
    AnsweringDialogs dialogs;
    EndRecorder end;
    auto* input = Navigator::instance().newInput();
    input->show();
    EnterReading(*input, QString(), {}, QStringLiteral("Bob"), {});
    QLineEdit* box = input->controls().txtMaleName;
    box->setFocus();
    QApplication::clipboard()->setText(pasted);
    if (QApplication::clipboard()->text() == pasted)
        box->paste();
    else
        box->insert(pasted);  // no clipboard without a seat (headless Weston): insert as paste does
    QCOMPARE(box->text(), name);
    QCOMPARE(box->cursorPosition(), name.size());
    QCoreApplication::processEvents();
    const bool cut = pasted.size() > 200;
    QCOMPARE(dialogs.messages.size(), cut ? 1 : 0);
    if (cut)
        QCOMPARE(
            dialogs.messages.constFirst().text,
            QStringLiteral("A name can be at most 200 characters long; the rest was left out."));
    input->controls().cmdProceed->click();
    QCOMPARE(QString::fromStdString(Navigator::instance().reading().User.Name), name);
    QCOMPARE(Navigator::instance().loadedResults()->controls().Framale->title(), name);
}

LUNVEX_TEST_MAIN(TestInput)
#include "tst_input.moc"
