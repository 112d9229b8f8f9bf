// Where the windows open on the screens: a window that takes over from another
// opens where that one was, kept on its screen; the first opens centred on the
// screen the pointer is on; on a screen too small for it a window still shows
// every control. Runs on an offscreen platform whose windows have frames as
// under a window manager, with the screens of a file in tests/data.
#include <QAbstractButton>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include "common/ending.h"
#include "common/placement.h"
#include "common/vendorpages.h"
#include "shell/clock.h"
#include "shell/navigator.h"
#include "shell/startup.h"
#include "shell/updatereminder.h"
#include "testsupport.h"

namespace {

QScreen* ScreenNamed(const QString& name) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == name) return screen;
    return nullptr;
}

// The window's frame lies whole on the available area of a screen.
bool OnOneScreen(const QWidget* window) {
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(window->frameGeometry())) return true;
    return false;
}

QString Describe(const QWidget* window) {
    const QRect f = window->frameGeometry();
    return QStringLiteral("frame %1,%2 %3x%4").arg(f.x()).arg(f.y()).arg(f.width()).arg(f.height());
}

// The input window on show, or nothing.
frmmain* ShownInput() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<frmmain*>(w); m && m->isVisible()) return m;
    return nullptr;
}

// The window's frame as the window system has it now.
QRect FrameOf(const QWidget* window) { return window->windowHandle()->frameGeometry(); }

// Waits until the window is shown in its frame: a window manager adds the
// frame a moment after the window appears.
bool WaitForFrame(QWidget* window) {
    if (!QTest::qWaitForWindowExposed(window)) return false;
    return QTest::qWaitFor([window] { return FrameOf(window) != window->geometry(); });
}

}  // namespace

class TestScreens : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        DestroyAllWindows();
        const QByteArray test = QTest::currentTestFunction();
        const bool placement = test != "windowsFitEveryScreen" && test != "readingsThereAndBack";
        if (placement &&
            !(ScreenNamed(QStringLiteral("left")) && ScreenNamed(QStringLiteral("right"))))
            QSKIP("needs the two screens of tests/data/screens.json");
    }
    void cleanup() { DestroyAllWindows(); }

    void readingsThereAndBack_data();
    void readingsThereAndBack();
    void firstWindowOnThePointersScreen_data();
    void firstWindowOnThePointersScreen();
    void handOffsKeepTheCentre_data();
    void handOffsKeepTheCentre();
    void dialogsOnTheirOwnersScreen_data();
    void dialogsOnTheirOwnersScreen();
    void windowsFitEveryScreen_data();
    void windowsFitEveryScreen();
    void movedWindowsTakeTheNewScale_data();
    void movedWindowsTakeTheNewScale();
};

// Readings there and back, as a user makes them one after another: the
// input window comes back exactly where it was each time, not a title bar
// higher or a frame further left, nor where the results window had to move
// to stay on the screen.
void TestScreens::readingsThereAndBack_data() {
    QTest::addColumn<QPointF>("where");  // the input window's place, as a share of the free room
    QTest::newRow("middle of the screen") << QPointF(0.2, 0.25);
    QTest::newRow("top left corner") << QPointF(0, 0);
    QTest::newRow("bottom right corner") << QPointF(1, 1);
}

void TestScreens::readingsThereAndBack() {
    QFETCH(QPointF, where);
    if (OnWayland()) QSKIP("a Wayland window cannot know or choose where it is");
    AnsweringDialogs dialogs;
    EndRecorder end;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    auto* input = Navigator::instance().newInput();
    const QSize room = area.size() - input->size() - QSize(40, 60);  // a frame fits in that
    input->move(area.topLeft() +
                QPoint(qRound(room.width() * where.x()), qRound(room.height() * where.y())));
    input->show();
    QVERIFY(WaitForFrame(input));
    const QPoint start = FrameOf(input).topLeft();
    for (int reading = 1; reading <= 5; ++reading) {
        // As while a person types: the results window is built ahead.
        QTRY_VERIFY(Navigator::instance().spareResults());
        EnterReading(*input, QStringLiteral("Ann"), {12, 3, 1975}, QStringLiteral("Bo"),
                     {1, 7, 1938});
        input->controls().cmdProceed->click();
        frmchiness* results = Navigator::instance().loadedResults();
        QVERIFY(results);
        QVERIFY(WaitForFrame(results));
        results->controls().cmdBack->click();
        input = ShownInput();
        QVERIFY(input);
        QVERIFY(WaitForFrame(input));
        QTRY_COMPARE(FrameOf(input).topLeft(), start);
    }
}

void TestScreens::firstWindowOnThePointersScreen_data() {
    QTest::addColumn<QString>("screen");
    QTest::newRow("left screen") << "left";
    QTest::newRow("right screen") << "right";
}

void TestScreens::firstWindowOnThePointersScreen() {
    QFETCH(QString, screen);
    AnsweringDialogs dialogs;
    const QScreen* target = ScreenNamed(screen);
    QCursor::setPos(target->geometry().topLeft() + QPoint(50, 50));
    QVERIFY(modHelp::RunStartup());
    frmmain* input = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<frmmain*>(w); m && m->isVisible()) input = m;
    QVERIFY(input);
    QVERIFY(QTest::qWaitForWindowExposed(input));
    const QPoint centre = input->frameGeometry().center();
    const QPoint expected = target->availableGeometry().center();
    // Centred, to within what the frame was guessed at before it was shown.
    QVERIFY2((centre - expected).manhattanLength() <= 24,
             qPrintable(Describe(input) + QStringLiteral(" on ") + screen));
}

// Where the window that is replaced was, and the centre the next one keeps:
// in the middle of a screen and at its edges, on screens of one scale and of
// two (QT_SCREEN_SCALE_FACTORS).
void TestScreens::handOffsKeepTheCentre_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QPointF>("where");  // the input window's place, as a share of the free room
    QTest::addColumn<bool>("sameCentre");
    QTest::newRow("middle of the left screen") << "left" << QPointF(0.5, 0.5) << true;
    QTest::newRow("middle of the right screen") << "right" << QPointF(0.5, 0.5) << true;
    QTest::newRow("top left corner") << "left" << QPointF(0, 0) << false;
    QTest::newRow("bottom right corner of the right screen") << "right" << QPointF(1, 1) << false;
}

void TestScreens::handOffsKeepTheCentre() {
    QFETCH(QString, screen);
    QFETCH(QPointF, where);
    QFETCH(bool, sameCentre);
    AnsweringDialogs dialogs;
    EndRecorder end;
    const QScreen* target = ScreenNamed(screen);
    auto* input = Navigator::instance().newInput();
    const QRect area = target->availableGeometry();
    const QSize room = area.size() - input->size() - QSize(40, 60);  // a frame fits in that
    input->move(area.topLeft() +
                QPoint(qRound(room.width() * where.x()), qRound(room.height() * where.y())));
    input->show();
    QVERIFY(QTest::qWaitForWindowExposed(input));
    const QPoint inputCentre = input->frameGeometry().center();
    const QPoint inputAt = input->frameGeometry().topLeft();

    EnterReading(*input, QStringLiteral("Ann"), {12, 3, 1975}, QStringLiteral("Bob"), {1, 7, 1938});
    input->controls().cmdProceed->click();
    frmchiness* results = Navigator::instance().loadedResults();
    QVERIFY(results);
    QVERIFY(QTest::qWaitForWindowExposed(results));
    QVERIFY2(OnOneScreen(results), qPrintable(Describe(results)));
    QCOMPARE(results->screen(), target);
    if (sameCentre) QCOMPARE(results->frameGeometry().center(), inputCentre);

    // The results window moved by the user; Back brings the input window
    // back where the user left it, moved as far.
    const QPoint moved(sameCentre ? 40 : 0, sameCentre ? 30 : 0);
    results->move(results->pos() + moved);
    QTRY_COMPARE(results->frameGeometry().topLeft(), results->pos());
    results->controls().cmdBack->click();
    frmmain* back = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<frmmain*>(w); m && m->isVisible()) back = m;
    QVERIFY(back);
    QVERIFY(QTest::qWaitForWindowExposed(back));
    QVERIFY2(OnOneScreen(back), qPrintable(Describe(back)));
    QCOMPARE(back->screen(), target);
    QCOMPARE(back->frameGeometry().topLeft(), inputAt + moved);
}

// The report and about windows open on the screen of the results window
// they come from, at that screen's scale, whole on it.
void TestScreens::dialogsOnTheirOwnersScreen_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<bool>("about");
    for (const char* screen : {"left", "right"}) {
        QTest::addRow("report window, %s screen", screen) << screen << false;
        QTest::addRow("about window, %s screen", screen) << screen << true;
    }
}

void TestScreens::dialogsOnTheirOwnersScreen() {
    QFETCH(QString, screen);
    QFETCH(bool, about);
    AnsweringDialogs dialogs;
    EndRecorder end;
    QScreen* target = ScreenNamed(screen);
    QCursor::setPos(target->availableGeometry().center());
    auto* input = Navigator::instance().newInput();
    CentreOnPointerScreen(input);
    input->show();
    EnterReading(*input, QStringLiteral("Ann"), {12, 3, 1975}, QStringLiteral("Bo"), {1, 7, 1938});
    input->controls().cmdProceed->click();
    frmchiness* results = Navigator::instance().loadedResults();
    QVERIFY(results);
    QVERIFY(QTest::qWaitForWindowExposed(results));
    QCOMPARE(results->screen(), target);

    bool opened = false;
    QRect frame;
    const QScreen* on = nullptr;
    QTimer look;
    look.setInterval(10);
    connect(&look, &QTimer::timeout, this, [&] {
        QWidget* top = QApplication::activeModalWidget();
        if (!top || opened || !top->windowHandle() || !top->windowHandle()->isExposed()) return;
        opened = true;
        frame = top->frameGeometry();
        on = top->screen();
        top->close();
    });
    look.start();
    if (about)
        results->findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
    else
        results->controls().cmdPrint->click();
    QVERIFY(opened);
    QCOMPARE(on, target);
    QVERIFY2(target->availableGeometry().contains(frame),
             qPrintable(QStringLiteral("frame %1,%2 %3x%4")
                            .arg(frame.x())
                            .arg(frame.y())
                            .arg(frame.width())
                            .arg(frame.height())));
    const QPoint centre =
        about ? target->availableGeometry().center() : results->frameGeometry().center();
    QVERIFY((frame.center() - centre).manhattanLength() <= 4);
}

void TestScreens::windowsFitEveryScreen_data() {
    QTest::addColumn<int>("screen");
    QTest::addColumn<Shown>("which");
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (int i = 0; i < screens.size(); ++i) {
        const QString name = screens[i]->name();
        QTest::addRow("%s: input window", qPrintable(name)) << i << Shown::InputWindow;
        QTest::addRow("%s: results window", qPrintable(name)) << i << Shown::Compatibility;
        QTest::addRow("%s: report window", qPrintable(name)) << i << Shown::Report;
        QTest::addRow("%s: about window", qPrintable(name)) << i << Shown::About;
    }
}

// Every window lies whole on the screen's available area and every control
// can be brought into view; where the designed size fits, nothing changes.
void TestScreens::windowsFitEveryScreen() {
    QFETCH(int, screen);
    QFETCH(Shown, which);
    AnsweringDialogs dialogs;
    EndRecorder end;
    const QScreen* target = QGuiApplication::screens().at(screen);
    const QRect area = target->availableGeometry();
    QCursor::setPos(area.center());
    auto* input = Navigator::instance().newInput();
    CentreOnPointerScreen(input);
    input->show();
    QWidget* window = input;
    if (which != Shown::InputWindow) {
        EnterReading(*input, QStringLiteral("Alexandra Montgomery"), {28, 9, 1975},
                     QStringLiteral("Christopher Wellington"), {30, 11, 1982});
        input->controls().cmdProceed->click();
        window = Navigator::instance().loadedResults();
        QVERIFY(window);
        if (which == Shown::Report) window = NewReportOver(Navigator::instance().loadedResults());
        if (which == Shown::About) window = new frmAbout(window);
        window->show();
    }
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->screen(), target);
    // A Wayland window cannot know or choose where it is: there it must only fit.
    const QRect outer = window->frameGeometry();
    const bool onScreen =
        OnWayland() ? area.size().expandedTo(outer.size()) == area.size() : area.contains(outer);
    QVERIFY2(onScreen, qPrintable(Describe(window) + QStringLiteral(" on %1,%2 %3x%4")
                                                         .arg(area.x())
                                                         .arg(area.y())
                                                         .arg(area.width())
                                                         .arg(area.height())));

    auto* scroll = window->findChild<QScrollArea*>();
    const QSize frame = window->frameGeometry().size() - window->size();
    // Measured on a window of the same kind that is not shown.
    QSize designed;
    if (which == Shown::InputWindow) designed = frmmain().size();
    if (which == Shown::Report) designed = QSize(515, 505);
    if (which == Shown::About) designed = QSize(454, 251);
    if (which == Shown::Compatibility) designed = QSize(640, 534 + 20);
    designed += frame;
    const bool widthFits = designed.width() <= area.width();
    const bool heightFits = designed.height() <= area.height() - 30;
    if (widthFits && heightFits) QVERIFY2(!scroll, "a window that fits is drawn as designed");
    // Scrolled only the way it does not fit, and only once that way: no
    // scroll bar inside another of the same direction.
    for (QAbstractScrollArea* inner : window->findChildren<QAbstractScrollArea*>()) {
        for (Qt::Orientation way : {Qt::Horizontal, Qt::Vertical}) {
            const QScrollBar* bar =
                way == Qt::Horizontal ? inner->horizontalScrollBar() : inner->verticalScrollBar();
            if (!bar->isVisibleTo(window)) continue;
            if (inner == scroll)
                QVERIFY2(way == Qt::Horizontal ? !widthFits : !heightFits,
                         way == Qt::Horizontal ? "a horizontal scroll bar the width does not need"
                                               : "a vertical scroll bar the height does not need");
            // Two bars side by side: the inner one at the outer one's edge.
            if (scroll && inner != scroll && scroll->isAncestorOf(inner)) {
                const QScrollBar* outer = way == Qt::Horizontal ? scroll->horizontalScrollBar()
                                                                : scroll->verticalScrollBar();
                const QRect a(bar->mapTo(window, QPoint()), bar->size());
                const QRect b(outer->mapTo(window, QPoint()), outer->size());
                const int gap = way == Qt::Horizontal ? b.top() - a.bottom() : b.left() - a.right();
                QVERIFY2(!outer->isVisibleTo(window) || gap > 8,
                         qPrintable(inner->objectName() +
                                    QStringLiteral(" scrolls beside the window's own scroll bar")));
            }
        }
    }
    if (which == Shown::InputWindow && !scroll) QCOMPARE(window->size(), frmmain().size());

    QList<QWidget*> controls;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QLineEdit*>(w) || qobject_cast<QTabBar*>(w) ||
                             w->cursor().shape() == Qt::PointingHandCursor;
        if (control && w->isVisibleTo(window)) controls.append(w);
    }
    QVERIFY(!controls.isEmpty());
    for (QWidget* control : controls) {
        QRect seen = window->rect();
        if (scroll && scroll->isAncestorOf(control)) {
            scroll->ensureWidgetVisible(control, 0, 0);
            seen = QRect(scroll->viewport()->mapTo(window, QPoint()), scroll->viewport()->size());
        }
        // Whole in view, but for the odd pixel a designed label overhangs by.
        const QRect at(control->mapTo(window, QPoint()), control->size());
        const QRect shown = seen.intersected(at);
        QVERIFY2(shown.width() * shown.height() >= at.width() * at.height() * 9 / 10,
                 qPrintable(control->objectName()));
    }
    window->grab().save(ScreenshotPath(QStringLiteral("screen-%1-%2")
                                           .arg(screen)
                                           .arg(QString::fromLatin1(QTest::currentDataTag())
                                                    .section(QLatin1Char(' '), -2)
                                                    .replace(QLatin1Char(' '), QLatin1Char('-')))));
}

// A window moved to a screen of another scale (QT_SCREEN_SCALE_FACTORS) takes
// its designed size there, not its old size in pixels.
void TestScreens::movedWindowsTakeTheNewScale_data() {
    QTest::addColumn<bool>("results");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("input window onto the larger scale") << false << "left"
                                                        << "right";
    QTest::newRow("input window onto the smaller scale") << false << "right"
                                                         << "left";
    QTest::newRow("results window onto the larger scale") << true << "left"
                                                          << "right";
    QTest::newRow("results window onto the smaller scale") << true << "right"
                                                           << "left";
}

void TestScreens::movedWindowsTakeTheNewScale() {
    QFETCH(bool, results);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QScreen* start = ScreenNamed(from);
    QScreen* target = ScreenNamed(to);
    if (qFuzzyCompare(start->devicePixelRatio(), target->devicePixelRatio()))
        QSKIP("needs screens of different scales (QT_SCREEN_SCALE_FACTORS)");
    AnsweringDialogs dialogs;
    EndRecorder end;
    QCursor::setPos(start->availableGeometry().center());
    auto* input = Navigator::instance().newInput();
    CentreOnPointerScreen(input);
    input->show();
    QWidget* window = input;
    if (results) {
        EnterReading(*input, QStringLiteral("Ann"), {12, 3, 1975}, QStringLiteral("Bob"),
                     {1, 7, 1938});
        input->controls().cmdProceed->click();
        window = Navigator::instance().loadedResults();
        QVERIFY(window);
    }
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->screen(), start);
    const QSize designed = window->size();

    // As when the window manager moves it: its size in pixels stays as it was
    // while the screen, and with it the scale, changes under it.
    window->windowHandle()->setScreen(target);
    QTRY_COMPARE(window->screen(), target);
    QTRY_COMPARE(window->windowHandle()->size(), designed);
    QCOMPARE(window->size(), designed);
    QVERIFY2(!window->findChild<QScrollArea*>(), "the window fits the new screen as designed");
}

LUNVEX_TEST_MAIN(TestScreens)
#include "tst_screens.moc"
