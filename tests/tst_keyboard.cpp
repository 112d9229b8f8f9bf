// Keyboard and screen reader: every control that takes input or shows a
// value has a spoken name, and a whole session works without a mouse.
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "input/frmmain.h"
#include "report/frmsave.h"
#include "results/frmchiness.h"
#include "shell/frmabout.h"
#include "testsupport.h"
#include "ui_frmchiness.h"
#include "ui_frmmain.h"
#include "ui_frmsave.h"

namespace {

QString Spoken(QWidget* w) {
    // On Linux a list box speaks its current entry as its name and its label
    // through a relation; the name given to it is what other platforms speak.
    if (qobject_cast<QComboBox*>(w)) return w->accessibleName();
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
}

// Every input control and every value shown must have a name to speak.
QStringList Unnamed(QWidget* window) {
    QStringList missing;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool input = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                           qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w) ||
                           qobject_cast<QPushButton*>(w);
        if (input && Spoken(w).trimmed().isEmpty()) missing.append(w->objectName());
    }
    return missing;
}

// Calls f once, as soon as a modal window is up (mnemonics press buttons a moment later).
void WhenModal(std::function<void(QWidget*)> f, int tries = 300) {
    QTimer::singleShot(10, [f, tries] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            f(modal);
        } else if (tries > 0) {
            WhenModal(f, tries - 1);
        }
    });
}

QWidget* Focus() { return QApplication::focusWidget(); }

}  // namespace

class TestKeyboard : public QObject {
    Q_OBJECT

  private slots:
    void init() { DestroyAllWindows(); }
    void cleanup() { DestroyAllWindows(); }

    void everyControlHasASpokenName();
    void wholeSessionByKeyboard();
    void namesNeverTakeAccessKeys_data();
    void namesNeverTakeAccessKeys();
};

void TestKeyboard::everyControlHasASpokenName() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    auto* input = Navigator::instance().newInput();
    QCOMPARE(Unnamed(input), QStringList());
    QCOMPARE(Spoken(input->controls().cboMaleYear), QStringLiteral("Your birth year"));
    input->controls().txtMaleName->setText(QStringLiteral("Ann"));
    input->controls().txtFemaleName->setText(QStringLiteral("Bob"));
    input->show();
    input->controls().cmdProceed->click();
    frmchiness* results = Navigator::instance().loadedResults();
    QVERIFY(results);
    QCOMPARE(Unnamed(results), QStringList());
    QCOMPARE(Spoken(results->controls().txtMAleLeastCompatibleSign),
             QStringLiteral("Your least compatible sign"));
    QCOMPARE(Spoken(results->controls().txtFemaleLuckyNumber),
             QStringLiteral("Partner's lucky number"));
    // Value labels speak what they are with their value.
    QCOMPARE(Spoken(results->controls().lblChineseRating),
             QStringLiteral("Rating: ") + results->controls().lblChineseRating->text());
    QVERIFY(!Spoken(results->controls().lblFemaleChineseElements).isEmpty());
    frmSave report = ReportOver(results);
    QCOMPARE(Unnamed(&report), QStringList());
    frmAbout about;
    QCOMPARE(Unnamed(&about), QStringList());
}

void TestKeyboard::wholeSessionByKeyboard() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    UrlCatcher urls;
    QTemporaryDir dir;
    dialogs.saveAnswer = dir.filePath(QStringLiteral("by-keyboard"));

    auto* input = Navigator::instance().newInput();
    input->show();
    QVERIFY(WaitForKeyboardFocus(input));
    QTest::keyClicks(Focus(), QStringLiteral("Ann"));
    QTest::keyClick(Focus(), Qt::Key_Tab);
    QTest::keyClick(Focus(), Qt::Key_Down);  // February
    QTest::keyClick(Focus(), Qt::Key_Tab);
    QTest::keyClick(Focus(), Qt::Key_End);  // 31: not in February
    QTest::keyClick(Focus(), Qt::Key_Tab);
    QTest::keyClick(Focus(), Qt::Key_Tab);
    QTest::keyClicks(Focus(), QStringLiteral("Bob"));
    QTest::keyClick(Focus(), Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages.constFirst().text,
             QStringLiteral("Please Enter Your Correct Date Or Month!"));
    input->controls().CboMaleDate->setFocus();
    QTest::keyClick(Focus(), Qt::Key_Home);  // day 1
    QTest::keyClick(Focus(), Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(Navigator::instance().loadedResults() &&
                Navigator::instance().loadedResults()->isVisible());

    frmchiness* results = Navigator::instance().loadedResults();
    QVERIFY(WaitForKeyboardFocus(results));
    QVERIFY(qobject_cast<QTabBar*>(Focus()));  // the window opens with the tabs focused
    QTest::keyClick(Focus(), Qt::Key_Right);   // the tabs take the arrow keys
    QCOMPARE(results->controls().SSTab->currentIndex(), 1);

    // Print opens the report; Alt+S saves it, Escape closes it.
    bool saved = false;
    bool reportFocusOnText = false;
    WhenModal([&](QWidget* modal) {
        auto* report = qobject_cast<frmSave*>(modal);
        QApplication::setActiveWindow(report);  // as a window manager would
        if (!report || !WaitForKeyboardFocus(report)) {
            modal->close();
            return;
        }
        reportFocusOnText = Focus() == report->controls().RTB;
        QTest::keyClick(Focus(), Qt::Key_S, Qt::AltModifier);
        QTimer::singleShot(400, [&, report = QPointer<frmSave>(report)] {
            saved = QFile::exists(dir.filePath(QStringLiteral("by-keyboard.rtf")));
            if (report) QTest::keyClick(report, Qt::Key_Escape);
            if (report && report->isVisible()) report->close();  // never leave a test waiting
        });
    });
    QTest::keyClick(Focus(), Qt::Key_P, Qt::AltModifier);
    QTRY_VERIFY(saved);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(reportFocusOnText);  // the report opens with the text focused

    // Help > About Software from the keyboard; Enter closes it.
    bool aboutSeen = false;
    WhenModal([&](QWidget* modal) {
        aboutSeen = qobject_cast<frmAbout*>(modal) != nullptr;
        QApplication::setActiveWindow(modal);
        (void)WaitForKeyboardFocus(modal);
        QPointer<QWidget> open = modal;
        QTest::keyClick(modal, Qt::Key_Return);
        if (open && open->isVisible()) open->close();
    });
    QApplication::setActiveWindow(results);
    QVERIFY(WaitForKeyboardFocus(results));
    QTest::keyClick(Focus(), Qt::Key_H, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_A);
    QTRY_VERIFY(aboutSeen);
    QTRY_VERIFY(!QApplication::activeModalWidget());

    // Back, by its access key, to a fresh input window.
    QApplication::setActiveWindow(results);
    QTest::keyClick(Focus(), Qt::Key_B, Qt::AltModifier);
    QTRY_VERIFY(!Navigator::instance().loadedResults() ||
                !Navigator::instance().loadedResults()->isVisible());
    QCOMPARE(end.ends, 0);
    QVERIFY(urls.opened.isEmpty());
}

// A name is shown as typed, "&" included, and never becomes an access key
// that would take Alt+B, Alt+P or Alt+X from the results window.
void TestKeyboard::namesNeverTakeAccessKeys_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("partner");
    QTest::addColumn<int>("tab");
    QTest::newRow("Ro&bert, your details") << "Ro&bert"
                                           << "Ann" << 1;
    QTest::newRow("Tom & Jerry, partner's details") << "Ann"
                                                    << "Tom & Jerry" << 2;
    QTest::newRow("&P and &X") << "&P"
                               << "&X&&" << 1;
}

void TestKeyboard::namesNeverTakeAccessKeys() {
    QFETCH(QString, user);
    QFETCH(QString, partner);
    QFETCH(int, tab);
    AnsweringDialogs dialogs;
    EndRecorder end;
    frmchiness* results = ReadingThroughWindows(user, partner);
    QVERIFY(results);
    Ui::frmchiness& c = results->controls();
    for (auto [box, name] : {std::pair{c.Framale, user}, std::pair{c.Frafemale, partner}}) {
        QVERIFY(QKeySequence::mnemonic(box->title()).isEmpty());
        QCOMPARE(box->title().replace(QStringLiteral("&&"), QStringLiteral("&")), name);
    }
    c.SSTab->setCurrentIndex(tab);
    QApplication::setActiveWindow(results);
    QVERIFY(QTest::qWaitForWindowActive(results));
    QTest::keyClick(Focus(), Qt::Key_B, Qt::AltModifier);
    QTRY_VERIFY(!Navigator::instance().loadedResults() ||
                !Navigator::instance().loadedResults()->isVisible());  // Back pressed
    QCOMPARE(end.ends, 0);
}

LUNVEX_TEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
