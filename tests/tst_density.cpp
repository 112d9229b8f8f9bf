// High-density screens: at 150 % and 200 % scaling every text still fits its
// control, and the animal pictures and the icon come from sources big enough
// to be drawn sharp. Runs at 200 % and starts itself again at 100 % and 150 %.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "testsupport.h"
#include "ui_frmabout.h"

namespace {

QString WithoutAccessKeys(const QString& caption) {
    QString text = caption;
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

// Where a control's text does not fit the room the control gives it.
QStringList Clipped(QWidget* window) {
    QStringList clipped;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty()) continue;
        const QRect room = label->contentsRect();
        const bool fits = label->wordWrap()
                              ? label->heightForWidth(label->width()) <= label->height()
                              : label->sizeHint().width() <= label->width() &&
                                    label->fontMetrics().height() <= room.height();
        if (!fits) clipped.append(label->objectName());
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(window) || button->text().isEmpty()) continue;
        if (button->fontMetrics().horizontalAdvance(WithoutAccessKeys(button->text())) >=
            button->width() - 8)
            clipped.append(button->objectName());
    }
    for (QGroupBox* frame : window->findChildren<QGroupBox*>()) {
        if (!frame->isVisibleTo(window) || frame->title().isEmpty()) continue;
        if (frame->fontMetrics().horizontalAdvance(WithoutAccessKeys(frame->title())) >=
            frame->width() - 8)
            clipped.append(frame->objectName());
    }
    for (QTabBar* tabs : window->findChildren<QTabBar*>()) {
        if (tabs->sizeHint().width() > tabs->width()) clipped.append(tabs->objectName());
    }
    return clipped;
}

// How far two pictures of one size are apart, as the mean difference per
// channel (0 to 255).
double MeanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            sum += std::abs(qRed(p[col]) - qRed(q[col])) +
                   std::abs(qGreen(p[col]) - qGreen(q[col])) +
                   std::abs(qBlue(p[col]) - qBlue(q[col]));
    }
    return sum / (3.0 * x.width() * x.height());
}

QString ScaleName() { return QString::number(qRound(qApp->devicePixelRatio() * 100)); }

}  // namespace

class TestDensity : public QObject {
    Q_OBJECT

  private slots:
    void init() { DestroyAllWindows(); }
    void cleanup() { DestroyAllWindows(); }

    void scaled();
    void textFits_data();
    void textFits();
    void picturesAreSharp_data();
    void picturesAreSharp();
    void iconIsSharp();
    void atOtherScales_data();
    void atOtherScales();
};

void TestDensity::scaled() {
    // The scale comes from QT_SCALE_FACTOR; without it nothing here tests anything.
    QCOMPARE(qApp->devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
}

void TestDensity::textFits_data() { AddWindowRows(); }

void TestDensity::textFits() {
    QFETCH(Shown, which);
    QFETCH(QString, name);
    AnsweringDialogs dialogs;
    EndRecorder end;
    QWidget* window = OpenWindow(which);
    QVERIFY(window);
    // A person looks at these: text and pictures at this scale.
    QVERIFY(
        window->grab().save(ScreenshotPath(QStringLiteral("scale-%1-").arg(ScaleName()) + name)));
    const QStringList clipped = Clipped(window);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral(", "))));
}

void TestDensity::picturesAreSharp_data() {
    QTest::addColumn<QString>("key");
    for (const char* key : {"Aquarius", "Aries", "Cancer", "Capricorn", "Gemini", "Leo", "Libra",
                            "Pisces", "Sagittarius", "Scorpio", "Taurus", "Virgo"})
        QTest::newRow(key) << QString::fromLatin1(key);
}

void TestDensity::picturesAreSharp() {
    QFETCH(QString, key);
    AnsweringDialogs dialogs;
    EndRecorder end;
    frmchiness* results = ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob"));
    QVERIFY(results);
    results->controls().SSTab->setCurrentIndex(1);
    QLabel* box = results->controls().YourPicture;
    QVERIFY(results->ShowPicture(box, key));

    // The source holds at least two pixels for every point it is shown on...
    const QSize shown = box->contentsRect().size();
    const QSize source = box->pixmap().size();
    QVERIFY2(source.width() >= 2 * shown.width() && source.height() >= 2 * shown.height(),
             qPrintable(QStringLiteral("%1x%2 shown from %3x%4")
                            .arg(shown.width())
                            .arg(shown.height())
                            .arg(source.width())
                            .arg(source.height())));
    // ...and is drawn at the screen's own pixels: what the box paints is the
    // source brought straight to the device size, not a point-sized copy
    // enlarged.
    const QImage painted = box->grab().toImage();
    const QSize device = shown * qApp->devicePixelRatio();
    QCOMPARE(painted.size(), device);
    const QImage straight =
        box->pixmap().toImage().scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double apart = MeanDifference(painted, straight);
    QVERIFY2(apart < 1.0, qPrintable(QString::number(apart)));
}

void TestDensity::iconIsSharp() {
    frmAbout about;
    about.show();
    const QPixmap icon = about.controls().Picture1->pixmap();
    QCOMPARE(icon.deviceIndependentSize().toSize(), QSize(32, 32));
    QVERIFY(icon.width() >= qCeil(32 * qApp->devicePixelRatio()));
}

void TestDensity::atOtherScales_data() {
    QTest::addColumn<QString>("factor");
    QTest::newRow("100 %") << "1";
    QTest::newRow("150 %") << "1.5";
}

void TestDensity::atOtherScales() {
    QFETCH(QString, factor);
    if (qEnvironmentVariable("QT_SCALE_FACTOR") != QLatin1String("2"))
        QSKIP("run from the 200 % run only");
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), factor);
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("scaled"), QStringLiteral("textFits"),
               QStringLiteral("picturesAreSharp"), QStringLiteral("iconIsSharp")});
    QVERIFY(run.waitForFinished(120000));
    const QByteArray output = run.readAll();
    QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, output.constData());
}

int main(int argc, char** argv) {
    // The scale must be chosen before the application starts.
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")) qputenv("QT_SCALE_FACTOR", "2");
    KeepOutOfUserFolders();
    ChooseTestPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lunvex-tests"));
    ConfigureApplicationLook();
    TestDensity test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_density.moc"
