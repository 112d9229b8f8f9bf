// Where the windows open on the screens: a window that takes over from another
// opens where that one was, kept on its screen; the first opens centred on the
// screen the pointer is on. Runs on an offscreen platform with two screens
// (tests/data/screens.json), whose windows have frames as under a window
// manager.
#include <QCursor>
#include <QScreen>
#include <QTest>

#include "shell/modhelp.h"
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

}  // namespace

class TestScreens : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(ScreenNamed(QStringLiteral("left")) && ScreenNamed(QStringLiteral("right")),
                 "needs the two screens of tests/data/screens.json");
    }
    void init() { DestroyAllWindows(); }
    void cleanup() { DestroyAllWindows(); }

    void firstWindowOnThePointersScreen_data();
    void firstWindowOnThePointersScreen();
    void handOffsKeepTheCentre_data();
    void handOffsKeepTheCentre();
};

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
// in the middle of a screen, at its edges, and partly off it.
void TestScreens::handOffsKeepTheCentre_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QPoint>("offset");  // of the input window from the screen's top left
    QTest::addColumn<bool>("sameCentre");
    QTest::newRow("middle of the left screen") << "left" << QPoint(700, 300) << true;
    QTest::newRow("middle of the right screen") << "right" << QPoint(400, 250) << true;
    QTest::newRow("top left corner") << "left" << QPoint(0, 0) << false;
    QTest::newRow("bottom right corner of the right screen")
        << "right" << QPoint(1280 - 340, 1024 - 440) << false;
}

void TestScreens::handOffsKeepTheCentre() {
    QFETCH(QString, screen);
    QFETCH(QPoint, offset);
    QFETCH(bool, sameCentre);
    AnsweringDialogs dialogs;
    EndRecorder end;
    const QScreen* target = ScreenNamed(screen);
    auto* input = new frmmain;
    input->move(target->geometry().topLeft() + offset);
    input->show();
    QVERIFY(QTest::qWaitForWindowExposed(input));
    const QPoint inputCentre = input->frameGeometry().center();

    EnterReading(*input, QStringLiteral("Ann"), {12, 3, 1975}, QStringLiteral("Bob"), {1, 7, 1938});
    input->controls().cmdProceed->click();
    frmchiness* results = frmchiness::Loaded();
    QVERIFY(results);
    QVERIFY(QTest::qWaitForWindowExposed(results));
    QVERIFY2(OnOneScreen(results), qPrintable(Describe(results)));
    QCOMPARE(results->screen(), target);
    if (sameCentre) QCOMPARE(results->frameGeometry().center(), inputCentre);

    // The results window moved by the user; Back opens the input window there.
    results->move(results->pos() + QPoint(sameCentre ? 40 : 0, sameCentre ? 30 : 0));
    QTRY_COMPARE(results->frameGeometry().topLeft(), results->pos());
    const QPoint resultsCentre = results->frameGeometry().center();
    results->controls().cmdBack->click();
    frmmain* back = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<frmmain*>(w); m && m->isVisible()) back = m;
    QVERIFY(back);
    QVERIFY(QTest::qWaitForWindowExposed(back));
    QVERIFY2(OnOneScreen(back), qPrintable(Describe(back)));
    QCOMPARE(back->screen(), target);
    // A smaller window fits round the same centre wherever the larger one was.
    QCOMPARE(back->frameGeometry().center(), resultsCentre);
}

LUNVEX_TEST_MAIN(TestScreens)
#include "tst_screens.moc"
