// Every menu item and link label that opens a vendor page opens the right
// address, and leaves its window as it was.
#include <QAction>
#include <QMenuBar>
#include <QTest>

#include "common/linklabel.h"
#include "input/frmmain.h"
#include "results/frmchiness.h"
#include "testsupport.h"
#include "ui_frmchiness.h"
#include "ui_frmmain.h"

Q_DECLARE_METATYPE(QWidget*)

class TestLinks : public QObject {
    Q_OBJECT

  private slots:
    void init() { DestroyAllWindows(); }
    void cleanup() { DestroyAllWindows(); }

    void pageAddresses_data();
    void pageAddresses();
    void inputWindow_data();
    void inputWindow();
    void resultsWindow_data();
    void resultsWindow();
    void linkLabelsLookLikeLinks();
    void onlyAClickOpensAPage();
    void frontPromotionTakesTheClick();
};

void TestLinks::pageAddresses_data() {
    QTest::addColumn<QString>("key");
    for (const char* key :
         {"home-page", "help-web-page", "download-web-page", "donate", "co-brand", "fully-branded"})
        QTest::newRow(key) << QString::fromLatin1(key);
}

void TestLinks::pageAddresses() {
    QFETCH(QString, key);
    const QString address = modHelp::PageAddress(key);
    QVERIFY(address.startsWith(QStringLiteral("http://")));
    QVERIFY(address.endsWith(
        QStringLiteral("/lunvex-free-chinese-zodiac-compatibility/ssd.php?page=") + key));
    QVERIFY(!modHelp::VendorHost().isEmpty());
    UrlCatcher urls;
    modHelp::OpenWebPage(key);
    QCOMPARE(urls.opened, QStringList{address});
}

void TestLinks::inputWindow_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("page");
    QTest::newRow("Help > Online Help") << "mnuOnline" << Page("help-web-page");
    QTest::newRow("Help > Visit Us Online") << "mnuVisit" << Page("home-page");
    QTest::newRow("Help > Check for Software Update") << "mnuUpdate" << Page("download-web-page");
    QTest::newRow("Donate") << "mnuDonate" << Page("donate");
    QTest::newRow("Make Money Online") << "mnumakemoney" << Page("fully-branded");
    QTest::newRow("forum label") << "Label1" << Page("home-page");
    QTest::newRow("visit label") << "Label2" << Page("home-page");
    QTest::newRow("co-brand label") << "lblCobrand" << Page("co-brand");
    QTest::newRow("full-brand label") << "lblFullBrand" << Page("fully-branded");
}

static void Activate(QWidget* window, const QString& control) {
    if (auto* action = window->findChild<QAction*>(control)) {
        action->trigger();
    } else {
        auto* label = window->findChild<LinkLabel*>(control);
        QVERIFY2(label, qPrintable(control));
        QTest::mouseClick(label, Qt::LeftButton);
    }
}

void TestLinks::inputWindow() {
    QFETCH(QString, control);
    QFETCH(QString, page);
    UrlCatcher urls;
    EndRecorder end;
    auto* w = Navigator::instance().newInput();
    w->show();
    w->controls().txtMaleName->setText(QStringLiteral("kept"));
    Activate(w, control);
    QCOMPARE(urls.opened, QStringList{page});
    QVERIFY(w->isVisible());
    QCOMPARE(w->controls().txtMaleName->text(), QStringLiteral("kept"));
    QCOMPARE(end.ends, 0);
}

void TestLinks::resultsWindow_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("page");
    QTest::newRow("Help > Online Help") << "mnuOnline" << Page("help-web-page");
    QTest::newRow("Help > Visit Us Online") << "mnuVisit" << Page("home-page");
    QTest::newRow("Help > Check For Software Update") << "mnuUpdate" << Page("download-web-page");
    QTest::newRow("Donate") << "mnuDonate" << Page("donate");
    QTest::newRow("Make Money Online") << "mnumakemoney" << Page("fully-branded");
    QTest::newRow("forum label") << "Label1" << Page("home-page");
    QTest::newRow("co-brand label") << "lblCobrand" << Page("co-brand");
    QTest::newRow("full-brand label") << "lblFullBrand" << Page("fully-branded");
}

void TestLinks::resultsWindow() {
    QFETCH(QString, control);
    QFETCH(QString, page);
    UrlCatcher urls;
    EndRecorder end;
    frmchiness* w = Navigator::instance().results();
    w->show();
    w->controls().SSTab->setCurrentIndex(1);
    Activate(w, control);
    QCOMPARE(urls.opened, QStringList{page});
    QVERIFY(w->isVisible());
    QCOMPARE(w->controls().SSTab->currentIndex(), 1);
    QCOMPARE(end.ends, 0);
}

void TestLinks::linkLabelsLookLikeLinks() {
    frmmain input;
    frmchiness* results = Navigator::instance().results();
    QList<LinkLabel*> labels = input.findChildren<LinkLabel*>();
    labels += results->findChildren<LinkLabel*>();
    QCOMPARE(labels.size(), 7);
    for (LinkLabel* label : labels) {
        QVERIFY2(label->font().underline(), qPrintable(label->objectName()));
        QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
    }
    QCOMPARE(results->controls().mnuUpdate->text(), QStringLiteral("Check For Software &Update"));
    QCOMPARE(input.controls().mnuUpdate->text(), QStringLiteral("Check for Software &Update"));
    QVERIFY(!results->controls().mnumakemoney->isVisible());
    QVERIFY(input.controls().lblCobrand->text().contains(QStringLiteral("name &  link here")));
}

void TestLinks::onlyAClickOpensAPage() {
    UrlCatcher urls;
    frmmain w;
    w.show();
    LinkLabel* label = w.controls().Label1;
    QTest::mousePress(label, Qt::RightButton);
    QTest::mouseRelease(label, Qt::RightButton);
    QTest::mouseMove(label);
    QTest::mousePress(label, Qt::LeftButton);
    QCOMPARE(urls.opened.size(), 0);
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(-5, -5));  // released outside
    QCOMPARE(urls.opened.size(), 0);
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(urls.opened.size(), 1);
}

// The two promotions share a rectangle; the one in front is seen and clicked.
void TestLinks::frontPromotionTakesTheClick() {
    frmmain input;
    input.show();
    const QPoint inputSpot = input.controls().lblCobrand->geometry().center();
    QCOMPARE(input.centralWidget()->childAt(inputSpot), input.controls().lblFullBrand);
    input.controls().lblCobrand->raise();
    QCOMPARE(input.centralWidget()->childAt(inputSpot), input.controls().lblCobrand);

    frmchiness* results = Navigator::instance().results();
    results->show();
    QWidget* bar = results->controls().Frame1;
    QCOMPARE(bar->childAt(results->controls().lblCobrand->geometry().center()),
             results->controls().lblCobrand);
    // It paints its own background, so nothing of the label behind shows through.
    const QImage front = results->controls().lblCobrand->grab().toImage();
    QCOMPARE(front.pixelColor(front.width() - 1, front.height() - 1), QColor(128, 64, 64));
}

LUNVEX_TEST_MAIN(TestLinks)
#include "tst_links.moc"
