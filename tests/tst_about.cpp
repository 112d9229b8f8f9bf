// The about window: its texts and look, its links, and how it opens and closes.
#include <QFrame>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "input/frmmain.h"
#include "results/frmchiness.h"
#include "shell/frmabout.h"
#include "testsupport.h"
#include "ui_frmabout.h"
#include "ui_frmchiness.h"
#include "ui_frmmain.h"

namespace {

// Runs the check while the modal about window is open, then closes it with the key.
struct WhileOpen {
    std::function<void(frmAbout*)> check;
    int closeKey = Qt::Key_Escape;
    bool sawIt = false;
    QPointer<frmAbout> about;
};

void OpenFrom(QAction* mnuAbout, WhileOpen& w) {
    QTimer::singleShot(0, [&w] {
        w.about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
        w.sawIt = w.about != nullptr;
        if (!w.about) return;
        if (w.check) w.check(w.about);
        if (w.about) QTest::keyClick(w.about, Qt::Key(w.closeKey));
    });
    mnuAbout->trigger();
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT

  private slots:
    void init() { DestroyAllWindows(); }
    void cleanup() { DestroyAllWindows(); }

    void textsAndLook();
    void openedFromBothWindowsModally_data();
    void openedFromBothWindowsModally();
    void opensCentredOnTheScreen_data();
    void opensCentredOnTheScreen();
    void linksOpenPagesAndKeepTheWindowOpen();
    void freshEachTime();
};

void TestAbout::textsAndLook() {
    frmAbout about;
    const Ui::frmAbout& c = about.controls();
    QCOMPARE(about.windowTitle(), QStringLiteral("Lunvex Chinese Zodiac Compatibility v2.10"));
    QCOMPARE(c.Label2->text(), QStringLiteral("Lunvex Chinese Zodiac Compatibility v2.10"));
    QVERIFY(c.Label1->text().startsWith(
        QStringLiteral("Lunvex Chinese Zodiac Compatibility Software")));
    QVERIFY(std::abs(c.Label1->text().size() - 440) <= 40);
    QCOMPARE(c.Label1->text().count(QStringLiteral(". ")) + 1, 3);  // three sentences
    QCOMPARE(c.lblHomePage->text(),
             QStringLiteral("Click here to visit http://") + modHelp::VendorHost());
    QCOMPARE(c.Label3->text(),
             QStringLiteral("Home Business Opportunity. Start your own Internet business "
                            "and make money online. Get this software fully branded "
                            "for your website. "));
    QCOMPARE(c.lblCoBrand->text(), QStringLiteral("Click here for more details."));
    QCOMPARE(c.cmdOK->text(), QStringLiteral("OK"));
    QVERIFY(c.cmdOK->isDefault());
    QCOMPARE(c.Picture1->pixmap().size(), QSize(32, 32));
    QVERIFY(c.Label2->font().bold());
    QCOMPARE(c.Label2->font().pointSizeF(), 9.75);
    QCOMPARE(c.Label1->font().pointSizeF(), 8.25);
    QVERIFY(c.lblHomePage->font().underline() && c.lblCoBrand->font().underline());
    QCOMPARE(c.lblHomePage->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(about.size(), QSize(454, 251));
    QCOMPARE(about.minimumSize(), about.maximumSize());  // fixed size
    QVERIFY(!(about.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(about.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(about.isModal());
}

void TestAbout::openedFromBothWindowsModally_data() {
    QTest::addColumn<bool>("fromResults");
    QTest::addColumn<int>("closeKey");
    QTest::newRow("input window, Escape") << false << int(Qt::Key_Escape);
    QTest::newRow("input window, Enter") << false << int(Qt::Key_Return);
    QTest::newRow("results window, Escape") << true << int(Qt::Key_Escape);
    QTest::newRow("results window, Enter") << true << int(Qt::Key_Enter);
}

void TestAbout::openedFromBothWindowsModally() {
    QFETCH(bool, fromResults);
    QFETCH(int, closeKey);
    EndRecorder end;
    QMainWindow* owner = nullptr;
    QAction* menu = nullptr;
    if (fromResults) {
        frmchiness* r = Navigator::instance().results();
        owner = r;
        menu = r->controls().mnuAbout;
    } else {
        auto* m = Navigator::instance().newInput();
        owner = m;
        menu = m->controls().mnuAbout;
    }
    owner->show();
    WhileOpen w;
    w.closeKey = closeKey;
    QString texts;
    w.check = [&](frmAbout* about) {
        QVERIFY(about->isVisible());
        QCOMPARE(about->parentWidget(), owner);
        QCOMPARE(QApplication::activeModalWidget(), about);
        QCOMPARE(about->focusWidget(), about->controls().cmdOK);
        texts = about->controls().Label1->text();
    };
    OpenFrom(menu, w);
    QVERIFY(w.sawIt);
    QVERIFY(!texts.isEmpty());
    QVERIFY(!w.about || !w.about->isVisible());
    QVERIFY(owner->isVisible());  // closing the about window never ends the program
    QTest::qWait(10);
    QCOMPARE(end.ends, 0);
}

void TestAbout::opensCentredOnTheScreen_data() {
    QTest::addColumn<bool>("fromResults");
    QTest::newRow("input window") << false;
    QTest::newRow("results window") << true;
}

void TestAbout::opensCentredOnTheScreen() {
    QFETCH(bool, fromResults);
    QMainWindow* owner = fromResults ? static_cast<QMainWindow*>(Navigator::instance().results())
                                     : static_cast<QMainWindow*>(Navigator::instance().newInput());
    owner->show();
    WhileOpen w;
    QRect frame, screen;
    bool framed = false;
    QWindow* transientParent = nullptr;
    w.check = [&](frmAbout* about) {
        // The frame as the user sees it: once the window manager has put it
        // round the window, a moment after the window shows.
        framed =
            QTest::qWaitForWindowExposed(about) &&
            QTest::qWaitFor(
                [about] { return about->windowHandle()->frameGeometry() != about->geometry(); },
                2000);
        frame = about->windowHandle()->frameGeometry();
        screen = about->screen()->availableGeometry();
        transientParent = about->windowHandle()->transientParent();
    };
    OpenFrom(owner->findChild<QAction*>(QStringLiteral("mnuAbout")), w);
    QVERIFY(w.sawIt);
    // A dialog of its owner: the window manager or compositor keeps it over it.
    QCOMPARE(transientParent, owner->windowHandle());
    if (OnWayland())
        QSKIP("Wayland lets no window place itself; the compositor places the about window");
    QVERIFY(framed);
    QVERIFY((frame.center() - screen.center()).manhattanLength() <= 4);
}

void TestAbout::linksOpenPagesAndKeepTheWindowOpen() {
    UrlCatcher urls;
    auto* input = Navigator::instance().newInput();
    input->show();
    WhileOpen w;
    bool stillOpen = false;
    w.check = [&](frmAbout* about) {
        QTest::mouseClick(about->controls().lblHomePage, Qt::LeftButton);
        QTest::mouseClick(about->controls().lblCoBrand, Qt::LeftButton);
        QTest::mouseClick(about->controls().Label3, Qt::LeftButton);  // not a link
        stillOpen = about->isVisible() && QApplication::activeModalWidget() == about;
    };
    OpenFrom(input->controls().mnuAbout, w);
    QVERIFY(w.sawIt);
    QVERIFY(stillOpen);
    QCOMPARE(urls.opened, (QStringList{Page("home-page"), Page("fully-branded")}));
}

void TestAbout::freshEachTime() {
    auto* input = Navigator::instance().newInput();
    input->show();
    QList<QPointer<frmAbout>> seen;
    for (int i = 0; i < 2; ++i) {
        WhileOpen w;
        w.check = [&](frmAbout* about) { seen.append(about); };
        w.closeKey = Qt::Key_Escape;
        OpenFrom(input->controls().mnuAbout, w);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QCOMPARE(seen.size(), 2);
    QVERIFY(!seen[0] && !seen[1]);  // each closed window is gone
}

LUNVEX_TEST_MAIN(TestAbout)
#include "tst_about.moc"
