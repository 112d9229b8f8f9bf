// What assistive technology gets: the names and values a screen reader reads
// (what Qt's AT-SPI bridge serves), and every action it or a switch can
// trigger, in every window state, without harm.
#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#ifdef LUNVEX_ATSPI
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QScopeGuard>
#endif

#include "common/linklabel.h"
#include "report/modrtb.h"
#include "testsupport.h"
#include "ui_frmabout.h"
#include "ui_frmsave.h"

namespace {

enum class State { Input, InputWithAbout, Results, ResultsWithReport, ResultsWithAbout };

QAccessibleInterface* Access(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

// Runs body while a modal window that open() brings up is open, then closes it.
void WhileModal(const std::function<void()>& open, const std::function<void()>& body) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
        ran = true;
        const QPointer<QDialog> modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        body();
        // Back in the modal window's own loop for a moment, as with a person,
        // so that whatever the body left to it happens there.
        if (modal) QTimer::singleShot(50, modal, &QDialog::reject);
    });
    open();
    QVERIFY(ran);
}

// A reading of Zoë (12 March 1975) and Bo (1 July 1938), in the given state;
// body gets the window in front.
void InState(State state, const std::function<void(QWidget*)>& body) {
    const auto front = [&body](QWidget* under) {
        return [&body, under] {
            QWidget* modal = QApplication::activeModalWidget();
            body(modal ? modal : under);
        };
    };
    auto* input = Navigator::instance().newInput();
    input->show();
    EnterReading(*input, QStringLiteral("Zoë"), {12, 3, 1975}, QStringLiteral("Bo"), {1, 7, 1938});
    if (state == State::Input) return body(input);
    if (state == State::InputWithAbout)
        return WhileModal([input] { input->controls().mnuAbout->trigger(); }, front(input));
    input->controls().cmdProceed->click();
    frmchiness* results = Navigator::instance().loadedResults();
    QVERIFY(results);
    if (state == State::Results) return body(results);
    if (state == State::ResultsWithReport)
        return WhileModal([results] { results->controls().cmdPrint->click(); }, front(results));
    WhileModal([results] { results->controls().mnuAbout->trigger(); }, front(results));
}

// Every action the tree offers from the program's root, as a path of child
// positions and the action's name. Moving focus is left out: it changes nothing.
using Target = QPair<QList<int>, QString>;
void CollectActions(QAccessibleInterface* node, QList<int> path, QList<Target>& out) {
    if (QAccessibleActionInterface* actions = node->actionInterface())
        for (const QString& name : actions->actionNames())
            if (name != QAccessibleActionInterface::setFocusAction()) out.append({path, name});
    // The items of a list all take one path through the program; the first two
    // and the last two stand for the rest (a year list has 84).
    const int count = node->childCount();
    const bool sampled = node->role() == QAccessible::List && count > 4;
    for (int i = 0; i < count; ++i) {
        if (sampled && i == 2) i = count - 2;
        if (QAccessibleInterface* child = node->child(i))
            CollectActions(child, path + QList<int>{i}, out);
    }
}

QAccessibleInterface* Resolve(const QList<int>& path) {
    QAccessibleInterface* node = Access(qApp);
    for (int i : path) node = node ? node->child(i) : nullptr;
    return node;
}

}  // namespace

#ifdef LUNVEX_ATSPI
// What a screen reader's libatspi keeps of what it hears: the last value of
// each state of each object.
class StateChanges : public QObject {
    Q_OBJECT

  public:
    QHash<QString, QHash<QString, int>> last;

  public slots:
    void heard(const QDBusMessage& signal) {
        const QList<QVariant> args = signal.arguments();
        if (signal.signature() == QLatin1String("siiv(so)"))
            last[signal.path()][args.at(0).toString()] = args.at(1).toInt();
    }
};

// Each shown object of the page, by its AT-SPI path.
static QStringList ShownPaths(QAccessibleInterface* node) {
    if (!node || node->state().invisible) return {};
    QStringList paths{QStringLiteral("/org/a11y/atspi/accessible/") +
                      QString::number(QAccessible::uniqueId(node))};
    for (int i = 0; i < node->childCount(); ++i) paths += ShownPaths(node->child(i));
    return paths;
}
#endif

Q_DECLARE_METATYPE(State)
Q_DECLARE_METATYPE(QAccessible::TextBoundaryType)

class TestAccess : public QObject {
    Q_OBJECT

  private slots:
    void init() { DestroyAllWindows(); }
    void cleanup() { DestroyAllWindows(); }

    void readingIsHeard_data();
    void readingIsHeard();
    void everyActionIsSafe_data();
    void everyActionIsSafe();
    void windowsBuiltAheadStayOutOfTheTree();
    void pagesComeUpVisible_data();
    void pagesComeUpVisible();
    void switchingTabsKeepsFocusOffTheButtons();
    void reportAddressesAreLinks();
    void announcementsAreNotifications();
    void listsSayEveryChange_data();
    void listsSayEveryChange();
    void textRequestsAnswer_data();
    void textRequestsAnswer();
    void everyTextAnswersEveryOffset();
    void editsStayWithinTheText_data();
    void editsStayWithinTheText();
};

// What a screen reader reads for a control: its name, description, or
// whether it is shown; on the window the state opens last.
void TestAccess::readingIsHeard_data() {
    QTest::addColumn<State>("state");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("expected");
    const State in = State::Input;
    const State out = State::Results;
    QTest::newRow("score") << out << "lblChineseCompatibilityNumber"
                           << "name"
                           << "Chinese Compatibility Number: 5";
    QTest::newRow("percentage") << out << "lblChinesePercentage"
                                << "name"
                                << "Chinese Compatibility Percentage: 50%";
    QTest::newRow("rating") << out << "lblChineseRating"
                            << "name"
                            << "Rating: A Difficult Match";
    QTest::newRow("heading") << out << "lblMatchingDescription"
                             << "name"
                             << "Compatibility Of Rabbit With  Tiger :-";
    QTest::newRow("sign") << out << "lblMaleChinesesign"
                          << "name"
                          << "Your Chinese sign: Rabbit";
    QTest::newRow("element") << out << "lblFemaleChineseElements"
                             << "name"
                             << "Partner's Chinese element: Earth";
    QTest::newRow("picture") << out << "YourPicture"
                             << "name"
                             << "Rabbit";
    QTest::newRow("picture's owner") << out << "YourPartnerPicture"
                                     << "description"
                                     << "Partner's animal";
    QTest::newRow("partner's picture") << out << "YourPartnerPicture"
                                       << "name"
                                       << "Tiger";
    QTest::newRow("profile box: no repeated value") << out << "txtMaleRulingPlanet"
                                                    << "description"
                                                    << "";
    QTest::newRow("button bar") << out << "Frame1"
                                << "role"
                                << "grouping";
    QTest::newRow("link") << out << "Label1"
                          << "role"
                          << "link";
    QTest::newRow("link activates") << out << "Label1"
                                    << "actions"
                                    << "Press";
    QTest::newRow("promotion in front") << out << "lblCobrand"
                                        << "shown"
                                        << "yes";
    QTest::newRow("promotion behind") << out << "lblFullBrand"
                                      << "shown"
                                      << "no";
    QTest::newRow("input promotion behind") << in << "lblCobrand"
                                            << "shown"
                                            << "no";
    QTest::newRow("promotion in front: press") << out << "lblCobrand"
                                               << "press"
                                               << "opens";
    QTest::newRow("promotion behind: press") << out << "lblFullBrand"
                                             << "press"
                                             << "nothing";
    QTest::newRow("input promotion behind: press") << in << "lblCobrand"
                                                   << "press"
                                                   << "nothing";
    QTest::newRow("day list") << in << "CboMaleDate"
                              << "description"
                              << "Your birth day: 12";
    QTest::newRow("month list") << in << "cboFemaleMonth"
                                << "description"
                                << "Your partner's birth month: July";
    QTest::newRow("year list") << in << "cboFemaleYear"
                               << "description"
                               << "Your partner's birth year: 1938";
    QTest::newRow("compatibility page") << out << "tabCompatibility"
                                        << "description"
                                        << "Chinese Compatibility Number: 5. Chinese Compatibility "
                                           "Percentage: 50%. Rating: A Difficult Match.";
    QTest::newRow("partner's page") << out << "tabPartnerDetails"
                                    << "description"
                                    << "Partner's Chinese sign: Tiger. Partner's Chinese element: "
                                       "Earth. Partner's animal: Tiger.";
    QTest::newRow("traits: a caret to walk the lines") << out << "txtMaleNegativeTraits"
                                                       << "caret"
                                                       << "yes";
    QTest::newRow("report closes") << State::ResultsWithReport << ""
                                   << "actions"
                                   << "Close";
    QTest::newRow("about closes") << State::InputWithAbout << ""
                                  << "actions"
                                  << "Close";
    QTest::newRow("about picture") << State::InputWithAbout << "Picture1"
                                   << "name"
                                   << "Lunvex Chinese Zodiac Compatibility icon";
}

void TestAccess::readingIsHeard() {
    QFETCH(State, state);
    QFETCH(QString, control);
    QFETCH(QString, what);
    QFETCH(QString, expected);
    AnsweringDialogs dialogs;
    UrlCatcher urls;
    EndRecorder end;
    InState(state, [&](QWidget* window) {
        QVERIFY(window);
        // No control: the window itself.
        auto* widget = control.isEmpty() ? window : window->findChild<QWidget*>(control);
        QVERIFY2(widget, qPrintable(control));
        // Reading the controls fills what waits for the first paint.
        if (auto* results = qobject_cast<frmchiness*>(window)) results->FinishFilling();
        QAccessibleInterface* a = Access(widget);
        QVERIFY(a);
        QString got;
        if (what == QLatin1String("name")) {
            got = a->text(QAccessible::Name);
        } else if (what == QLatin1String("description")) {
            got = a->text(QAccessible::Description);
        } else if (what == QLatin1String("role")) {
            got = a->role() == QAccessible::Link       ? QStringLiteral("link")
                  : a->role() == QAccessible::Grouping ? QStringLiteral("grouping")
                                                       : QString::number(a->role(), 16);
        } else if (what == QLatin1String("caret")) {
            const auto* text = qobject_cast<QPlainTextEdit*>(widget);
            got = text && text->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard)
                      ? QStringLiteral("yes")
                      : QStringLiteral("no");
        } else if (what == QLatin1String("press")) {
            // Only a link a person could click opens, whatever the tree offers.
            auto* link = qobject_cast<LinkLabel*>(widget);
            QVERIFY(link && a->actionInterface());
            int clicks = 0;
            QObject::connect(link, &LinkLabel::clicked, [&clicks] { ++clicks; });
            a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            got = clicks ? QStringLiteral("opens") : QStringLiteral("nothing");
        } else if (what == QLatin1String("actions")) {
            got = a->actionInterface() ? a->actionInterface()->actionNames().join(QLatin1Char(','))
                                       : QString();
        } else {
            got = a->state().invisible ? QStringLiteral("no") : QStringLiteral("yes");
        }
        QCOMPARE(got, expected);
    });
}

void TestAccess::everyActionIsSafe_data() {
    QTest::addColumn<State>("state");
    QTest::newRow("input window") << State::Input;
    QTest::newRow("about over the input window") << State::InputWithAbout;
    QTest::newRow("results window") << State::Results;
    QTest::newRow("report over the results window") << State::ResultsWithReport;
    QTest::newRow("about over the results window") << State::ResultsWithAbout;
}

// Triggers each action once, each time in a fresh program state. A window
// that opens anew over the state is closed again, as a person would.
void TestAccess::everyActionIsSafe() {
    QFETCH(State, state);
    AnsweringDialogs dialogs;
    UrlCatcher urls;
    QList<Target> targets;
    {
        EndRecorder end;
        InState(state, [&](QWidget*) { CollectActions(Access(qApp), {}, targets); });
        DestroyAllWindows();
    }
    QVERIFY(targets.size() > 10);
    for (const Target& target : std::as_const(targets)) {
        EndRecorder end;
        InState(state, [&](QWidget*) {
            const QPointer<QWidget> modal = QApplication::activeModalWidget();
            const QPointer<QWidget> under = modal ? modal->parentWidget() : nullptr;
            const bool hadModal = modal;
            QAccessibleInterface* node = Resolve(target.first);
            QVERIFY(node && node->actionInterface());
            QTimer closer;
            closer.callOnTimeout([&] {
                if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
                auto* opened = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (opened && opened != modal) opened->reject();
            });
            closer.start(20);
            const QString what = node->text(QAccessible::Name) + QLatin1Char(' ') + target.second;
            const QPointer<QAbstractButton> button = qobject_cast<QAbstractButton*>(node->object());
            node->actionInterface()->doAction(target.second);
            // A pressed button clicks 100 ms later; other actions act at once,
            // and the closer gets one turn at whatever they opened.
            if (button) QVERIFY(QTest::qWaitFor([&] { return !button || !button->isDown(); }));
            QTest::qWait(25);
            // The window that was under a modal one is still there and open.
            if (hadModal) QVERIFY2(under && under->isVisible(), qPrintable(what));
        });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DestroyAllWindows();
    }
}

// The results window built ahead while the user types is not read out.
void TestAccess::windowsBuiltAheadStayOutOfTheTree() {
    EndRecorder end;
    auto* input = Navigator::instance().newInput();
    input->show();
    QVERIFY(QTest::qWaitForWindowExposed(input));
    QTRY_VERIFY(Navigator::instance().spareResults());
    QAccessibleInterface* root = Access(qApp);
    QCOMPARE(root->childCount(), 1);
    QCOMPARE(root->child(0)->object(), input);
}

// A page that comes up on its tab is told to a screen reader as "visible"
// as well as "showing", object by object, and the page it leaves as neither.
// Orca keeps the states it read while the page was hidden and changes only
// those an event names: told "showing" alone, it skipped the page's fields.
void TestAccess::pagesComeUpVisible_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("your details") << 0 << 1;
    QTest::newRow("partner's details") << 0 << 2;
    QTest::newRow("from profile to profile") << 1 << 2;
    QTest::newRow("back to the compatibility") << 2 << 0;
}

void TestAccess::pagesComeUpVisible() {
#ifndef LUNVEX_ATSPI
    QSKIP("AT-SPI is for Linux desktops");
#else
    QFETCH(int, from);
    QFETCH(int, to);
    // A bus of the test's own stands for the accessibility bus.
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"),
                  QStringLiteral("--print-address")});
    QVERIFY2(daemon.waitForReadyRead(10000), "dbus-daemon is needed (Debian package dbus-daemon)");
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    const auto stop = qScopeGuard([&daemon] {
        QDBusConnection::disconnectFromBus(QStringLiteral("a11y"));
        QDBusConnection::disconnectFromBus(QStringLiteral("listener"));
        daemon.kill();
        daemon.waitForFinished();
    });
    // The program speaks where Qt's bridge does: on its connection named "a11y".
    // On a desktop session Qt's bridge has made one already, to the real
    // accessibility bus; the name is taken over for the test's bus (the bridge
    // keeps its own handle on the real one).
    QDBusConnection::disconnectFromBus(QStringLiteral("a11y"));
    QVERIFY(QDBusConnection::connectToBus(address, QStringLiteral("a11y")).isConnected());
    StateChanges heard;
    QDBusConnection listener = QDBusConnection::connectToBus(address, QStringLiteral("listener"));
    QVERIFY(listener.connect(QString(), QString(), QStringLiteral("org.a11y.atspi.Event.Object"),
                             QStringLiteral("StateChanged"), &heard, SLOT(heard(QDBusMessage))));
    // The match rule goes to the bus without waiting for an answer; a call
    // answered after it makes sure the bus hears for us before the page changes.
    QVERIFY(listener.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus")));
    AnsweringDialogs dialogs;
    EndRecorder end;
    InState(State::Results, [&](QWidget* window) {
        auto* results = static_cast<frmchiness*>(window);
        results->FinishFilling();
        QTabWidget* tabs = results->controls().SSTab;
        tabs->setCurrentIndex(from);
        const QStringList left = ShownPaths(Access(tabs->widget(from)));
        tabs->setCurrentIndex(to);
        const QStringList shown = ShownPaths(Access(tabs->widget(to)));
        QVERIFY(shown.size() > 5);
        const auto visible = [&heard](const QString& path) {
            return heard.last.value(path).value(QStringLiteral("visible"), -1);
        };
        // Signals come in the order sent: the page left was told it shows before it hides.
        for (const QString& path : shown) QTRY_COMPARE_WITH_TIMEOUT(visible(path), 1, 5000);
        for (const QString& path : left) QTRY_COMPARE_WITH_TIMEOUT(visible(path), 0, 5000);
    });
#endif
}

// Ctrl+Tab from inside a page goes to the next page without a stop on the
// buttons below, which a screen reader would announce.
void TestAccess::switchingTabsKeepsFocusOffTheButtons() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    InState(State::Results, [](QWidget* window) {
        auto* results = static_cast<frmchiness*>(window);
        QVERIFY(WaitForKeyboardFocus(results));
        Ui::frmchiness& c = results->controls();
        c.txtMatchingDescription->setFocus();
        QStringList visited;
        const auto connection =
            QObject::connect(qApp, &QApplication::focusChanged, [&visited](QWidget*, QWidget* now) {
                visited.append(now ? now->objectName() : QString());
            });
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QObject::disconnect(connection);
        QCOMPARE(c.SSTab->currentIndex(), 0);
        QVERIFY2(!visited.contains(QStringLiteral("cmdBack")),
                 qPrintable(visited.join(QLatin1Char(','))));
    });
}

// Each address in the report is a link a screen reader can find and open,
// without a stop in the keyboard's path.
void TestAccess::reportAddressesAreLinks() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    UrlCatcher urls;
    // Names are all the report shows as typed: the addresses come from them.
    frmchiness* results = ReadingThroughWindows(QStringLiteral("http://example.com/ann"),
                                                QStringLiteral("www.bob.example"));
    QVERIFY(results);
    frmSave report = ReportOver(results);
    report.show();
    const QList<modRTB::Link> links = modRTB::ActiveLinks();
    QVERIFY(!links.isEmpty());
    QWidget* viewport = report.controls().RTB->viewport();
    QStringList heard;
    for (LinkLabel* spot : viewport->findChildren<LinkLabel*>()) {
        QAccessibleInterface* a = Access(spot);
        QCOMPARE(a->role(), QAccessible::Link);
        QCOMPARE(spot->focusPolicy(), Qt::NoFocus);
        heard.append(a->text(QAccessible::Name));
        a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }
    QStringList shown;
    for (const modRTB::Link& link : links) shown.append(link.text);
    QCOMPARE(heard, shown);
    QCOMPARE(urls.opened.size(), links.size());
}

// What is announced is a notification of the window that shows anew with
// each text: a screen reader speaks it as it shows. It takes no focus.
void TestAccess::announcementsAreNotifications() {
    EndRecorder end;
    InState(State::Input, [](QWidget* window) {
        auto* month = window->findChild<QComboBox*>(QStringLiteral("cboMaleMonth"));
        QVERIFY(WaitForKeyboardFocus(window));
        month->setFocus();
        QTRY_VERIFY(month->hasFocus());
        month->setCurrentIndex(4);
        const QList<QWidget*> notes =
            window->findChildren<QWidget*>(QStringLiteral("lunvexAnnouncer"));
        QCOMPARE(notes.size(), 1);
        QAccessibleInterface* a = Access(notes.constFirst());
        QCOMPARE(a->role(), QAccessible::Notification);
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("May"));
        QVERIFY(notes.constFirst()->isVisible());
        QCOMPARE(notes.constFirst()->focusPolicy(), Qt::NoFocus);
        QVERIFY(month->hasFocus());
    });
}

// A list's entry and each change of it reach a screen reader through the
// list's description, which Orca speaks anew while the list has focus.
void TestAccess::listsSayEveryChange_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("described");
    QTest::addColumn<QString>("expected");
    QTest::newRow("month") << "cboMaleMonth" << 1 << "cboMaleMonth"
                           << "Your birth month: February";
    QTest::newRow("day") << "cboFemaleDate" << 29 << "cboFemaleDate"
                         << "Your partner's birth day: 30";
    QTest::newRow("year") << "cboMaleYear" << 40 << "cboMaleYear"
                          << "Your birth year: 1976";
    QTest::newRow("January notes the year's New Year")
        << "cboMaleMonth" << 0 << "cboMaleYear"
        << "Your birth year: 1975. The Chinese New Year of 1975 falls on 11 February 1975.";
}

void TestAccess::listsSayEveryChange() {
    QFETCH(QString, list);
    QFETCH(int, entry);
    QFETCH(QString, described);
    QFETCH(QString, expected);
    EndRecorder end;
    InState(State::Input, [&](QWidget* window) {
        window->findChild<QComboBox*>(list)->setCurrentIndex(entry);
        QCOMPARE(Access(window->findChild<QComboBox*>(described))->text(QAccessible::Description),
                 expected);
    });
}

using Boundary = QAccessible::TextBoundaryType;

// What a screen reader asks when it moves by word, sentence, line or
// character: Qt 6.4's own answer to a word at the end of a text never came.
void TestAccess::textRequestsAnswer_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<Boundary>("boundary");
    QTest::addColumn<QString>("expected");  // before|at|after
    const QString name = QStringLiteral("Ann Lee");
    QTest::newRow("word at the end") << name << 7 << QAccessible::WordBoundary << " |Lee|";
    QTest::newRow("word at -1 (the end)") << name << -1 << QAccessible::WordBoundary << " |Lee|";
    QTest::newRow("word at the start") << name << 0 << QAccessible::WordBoundary << "|Ann| ";
    QTest::newRow("word at a blank") << name << 3 << QAccessible::WordBoundary << "Ann| |Lee";
    QTest::newRow("sentence at the end")
        << name << 7 << QAccessible::SentenceBoundary << "|Ann Lee|";
    QTest::newRow("line at the end") << name << 7 << QAccessible::LineBoundary << "|Ann Lee|";
    QTest::newRow("character at the end") << name << 7 << QAccessible::CharBoundary << "e||";
    QTest::newRow("past the end") << name << 8 << QAccessible::WordBoundary << "||";
    QTest::newRow("before the start") << name << -2 << QAccessible::WordBoundary << "||";
    QTest::newRow("empty box") << QString() << 0 << QAccessible::WordBoundary << "||";
    QTest::newRow("surrogate pair")
        << QStringLiteral("Zo\U0001F600") << 2 << QAccessible::CharBoundary << "o|\U0001F600|";
}

void TestAccess::textRequestsAnswer() {
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(Boundary, boundary);
    QFETCH(QString, expected);
    QLineEdit box(text);
    QAccessibleTextInterface* t = Access(&box)->textInterface();
    QVERIFY(t);
    int start = 0, end = 0;
    const QStringList got{t->textBeforeOffset(offset, boundary, &start, &end),
                          t->textAtOffset(offset, boundary, &start, &end),
                          t->textAfterOffset(offset, boundary, &start, &end)};
    QCOMPARE(got.join(QLatin1Char('|')), expected);
}

// Every request at every offset of every text of a reading, as an AT-SPI
// monkey would make them: each answers, and what it answers is the text
// between the offsets it gives.
void TestAccess::everyTextAnswersEveryOffset() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    frmchiness* results =
        ReadingThroughWindows(QStringLiteral("Ann Lee"), QStringLiteral("Bo. Nan!"));
    QVERIFY(results);
    results->FinishFilling();
    frmSave report = ReportOver(results);
    report.show();
    QList<QWidget*> boxes = results->findChildren<QWidget*>();
    boxes += report.findChildren<QWidget*>();
    int texts = 0;
    for (QWidget* box : std::as_const(boxes)) {
        QAccessibleTextInterface* t = Access(box) ? Access(box)->textInterface() : nullptr;
        if (!t) continue;
        ++texts;
        const int length = t->characterCount();
        const QString all = t->text(0, length);
        QCOMPARE(all.size(), length);
        for (int offset = -1; offset <= length + 1; ++offset) {
            for (int b = QAccessible::CharBoundary; b <= QAccessible::NoBoundary; ++b) {
                const auto boundary = Boundary(b);
                using Request =
                    QString (QAccessibleTextInterface::*)(int, Boundary, int*, int*) const;
                for (Request request : {&QAccessibleTextInterface::textBeforeOffset,
                                        &QAccessibleTextInterface::textAtOffset,
                                        &QAccessibleTextInterface::textAfterOffset}) {
                    int start = -1, stop = -1;
                    const QString got = (t->*request)(offset, boundary, &start, &stop);
                    const QString where = QStringLiteral("%1 at %2, boundary %3")
                                              .arg(box->objectName())
                                              .arg(offset)
                                              .arg(b);
                    if (start < 0) {
                        QVERIFY2(got.isEmpty(), qPrintable(where));
                        continue;
                    }
                    QVERIFY2(start <= stop && stop <= length, qPrintable(where));
                    QCOMPARE(got, all.mid(start, stop - start));
                }
            }
        }
    }
    // The name boxes are gone with the input window; the profile fields, the
    // descriptions and the report remain.
    QVERIFY2(texts >= 30, qPrintable(QString::number(texts)));
}

// Edits from assistive technology: none where the screen shows text that
// cannot be changed, and none that builds a text to an offset's length.
void TestAccess::editsStayWithinTheText_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("expected");  // empty: unchanged
    QTest::newRow("name box: insert far past the end") << "txtMaleName"
                                                       << "insert"
                                                       << "Ann Leex";
    QTest::newRow("name box: delete beyond the end") << "txtMaleName"
                                                     << "delete"
                                                     << "Ann";
    QTest::newRow("name box: a huge insert is cut") << "txtMaleName"
                                                    << "flood"
                                                    << "200";
    QTest::newRow("name box: set its value") << "txtMaleName"
                                             << "value"
                                             << "FORGED";
    QTest::newRow("profile field: set its value") << "txtMaleGemStone"
                                                  << "value"
                                                  << "";
    QTest::newRow("profile field: insert") << "txtMaleGemStone"
                                           << "insert"
                                           << "";
    QTest::newRow("trait field: replace") << "txtMalePositiveTraits"
                                          << "replace"
                                          << "";
    QTest::newRow("report: insert") << "RTB"
                                    << "insert"
                                    << "";
    QTest::newRow("report: flood") << "RTB"
                                   << "flood"
                                   << "";
}

void TestAccess::editsStayWithinTheText() {
    QFETCH(QString, box);
    QFETCH(QString, edit);
    QFETCH(QString, expected);
    AnsweringDialogs dialogs;
    EndRecorder end;
    const auto apply = [&](QWidget* window) {
        auto* widget = window->findChild<QWidget*>(box);
        QVERIFY2(widget, qPrintable(box));
        QAccessibleInterface* a = Access(widget);
        QAccessibleTextInterface* t = a->textInterface();
        QAccessibleEditableTextInterface* e = a->editableTextInterface();
        QVERIFY(t && e);
        const QString before = t->text(0, t->characterCount());
        if (edit == QLatin1String("insert"))
            e->insertText(std::numeric_limits<int>::max(), QStringLiteral("x"));
        else if (edit == QLatin1String("delete"))
            e->deleteText(3, std::numeric_limits<int>::max());
        else if (edit == QLatin1String("flood"))
            e->insertText(0, QString(500000, QLatin1Char('y')));
        else if (edit == QLatin1String("replace"))
            e->replaceText(0, 4, QStringLiteral("FORGED"));
        else
            a->setText(QAccessible::Value, QStringLiteral("FORGED"));
        const QString after = t->text(0, t->characterCount());
        if (expected.isEmpty())
            QCOMPARE(after, before);
        else if (edit == QLatin1String("flood"))
            QCOMPARE(QString::number(after.size()), expected);
        else
            QCOMPARE(after, expected);
    };
    if (box.startsWith(QLatin1String("txtMaleName"))) {
        InState(State::Input, [&](QWidget* window) {
            window->findChild<QLineEdit*>(box)->setText(QStringLiteral("Ann Lee"));
            apply(window);
        });
        return;
    }
    frmchiness* results = ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bo"));
    QVERIFY(results);
    results->FinishFilling();
    if (box == QLatin1String("RTB")) {
        frmSave report = ReportOver(results);
        report.show();
        apply(&report);
        return;
    }
    apply(results);
}

LUNVEX_TEST_MAIN(TestAccess)
#include "tst_access.moc"
