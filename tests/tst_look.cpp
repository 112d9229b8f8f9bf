// The windows keep their light look under any system theme: their fixed text
// colours (dark red, blue, green, olive) were chosen for light backgrounds and
// become unreadable on a dark one.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTest>

#include "shell/boldtitlegroupbox.h"
#include "testsupport.h"
#include "ui_frmabout.h"

namespace {

// A whole palette, every role in every group, built the way a platform theme
// hands one to the application.
QPalette ThemePalette(QColor window, QColor text, QColor base, QColor highlight) {
    const bool dark = window.lightness() < 128;
    QPalette p(text, window, window.lighter(dark ? 130 : 150), window.darker(150),
               window.darker(dark ? 110 : 130), text, Qt::white, base, window);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::AlternateBase, dark ? base.lighter(120) : base.darker(105));
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    QColor placeholder = text;
    placeholder.setAlpha(128);
    p.setColor(QPalette::PlaceholderText, placeholder);
    p.setColor(QPalette::Link, dark ? QColor(53, 132, 228) : QColor(27, 106, 203));
    const QColor disabled = dark ? QColor(145, 145, 145) : QColor(146, 149, 149);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    return p;
}

// Adwaita's light and dark colours, as the GTK platform theme gives them.
QPalette LightTheme() {
    return ThemePalette({246, 245, 244}, {46, 52, 54}, Qt::white, {53, 132, 228});
}
QPalette DarkTheme() {
    return ThemePalette({53, 53, 53}, {238, 238, 236}, {45, 45, 45}, {21, 83, 158});
}

// Switches the application's palette as a theme change does, with the events
// a theme change also delivers.
void ApplyTheme(const QPalette& palette) {
    QApplication::setPalette(palette);
    for (QWidget* w : QApplication::allWidgets()) {
        QEvent theme(QEvent::ThemeChange);
        QCoreApplication::sendEvent(w, &theme);
        QEvent change(QEvent::PaletteChange);
        QCoreApplication::sendEvent(w, &change);
    }
}

// Pixels that differ by more than anti-aliasing does (by default); a text
// cursor that blinks between two grabs accounts for a few.
int DifferingPixels(const QImage& a, const QImage& b, int tolerance = 32) {
    if (a.size() != b.size()) return a.width() * a.height() + 1;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int d = std::max({std::abs(qRed(p[col]) - qRed(q[col])),
                                    std::abs(qGreen(p[col]) - qGreen(q[col])),
                                    std::abs(qBlue(p[col]) - qBlue(q[col]))});
            if (d > tolerance) ++differing;
        }
    }
    return differing;
}

constexpr int kCursorPixels = 40;

}  // namespace

class TestLook : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        m_system = QApplication::palette();
        // A run that asks for GTK's dark theme must get it, or comparing with
        // the session's theme below would compare light with light.
        if (qEnvironmentVariable("QT_QPA_PLATFORMTHEME") == QLatin1String("gtk3") &&
            qEnvironmentVariable("GTK_THEME").endsWith(QLatin1String(":dark")))
            QVERIFY2(m_system.color(QPalette::Window).lightness() < 128,
                     "the GTK dark theme did not reach the application");
    }
    void init() { DestroyAllWindows(); }
    void cleanup() {
        DestroyAllWindows();
        QApplication::setPalette(m_system);
    }

    void darkThemeKeepsTheLightLook_data();
    void darkThemeKeepsTheLightLook();
    void ownBackgroundsUnderADarkTheme();
    void framesAsFusionDrawsThem_data();
    void framesAsFusionDrawsThem();

  private:
    QImage GrabUnder(const QPalette& palette, Shown which, const QPalette* switchTo = nullptr);
    QPalette m_system;
};

QImage TestLook::GrabUnder(const QPalette& palette, Shown which, const QPalette* switchTo) {
    AnsweringDialogs dialogs;
    EndRecorder end;
    ApplyTheme(palette);
    QWidget* window = OpenWindow(which);
    if (!window) return {};
    if (switchTo) ApplyTheme(*switchTo);
    const QImage image = window->grab().toImage();
    DestroyAllWindows();
    return image;
}

void TestLook::darkThemeKeepsTheLightLook_data() { AddWindowRows(); }

void TestLook::darkThemeKeepsTheLightLook() {
    QFETCH(Shown, which);
    QFETCH(QString, name);
    const QPalette light = LightTheme();
    const QPalette dark = DarkTheme();
    const QImage reference = GrabUnder(light, which);
    QVERIFY(!reference.isNull());
    // A window opened under the dark theme, one that sees the theme change
    // while open, and one under whatever theme this session started with
    // (the real dark theme where the platform run sets it).
    const struct {
        const char* how;
        QImage image;
    } grabs[] = {{"opened under a dark theme", GrabUnder(dark, which)},
                 {"switched to a dark theme", GrabUnder(light, which, &dark)},
                 {"under the session's theme", GrabUnder(m_system, which)}};
    for (const auto& [how, image] : grabs) {
        const int differing = DifferingPixels(reference, image);
        if (differing > kCursorPixels) {
            reference.save(ScreenshotPath(QStringLiteral("theme-light-") + name));
            image.save(ScreenshotPath(QStringLiteral("theme-other-") + name));
        }
        QVERIFY2(differing <= kCursorPixels,
                 qPrintable(QStringLiteral("%1: %2 pixels differ from the light look")
                                .arg(QLatin1String(how))
                                .arg(differing)));
    }
    grabs[0].image.save(ScreenshotPath(QStringLiteral("dark-theme-") + name));
}

// The colours the windows are drawn on, read back from what is painted.
void TestLook::ownBackgroundsUnderADarkTheme() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    ApplyTheme(DarkTheme());
    frmchiness* results = ReadingThroughWindows(QStringLiteral("Ann"), QStringLiteral("Bob"));
    QVERIFY(results);
    const QImage window = results->grab().toImage();
    const auto at = [&](QWidget* w, QPoint p) {
        return window.pixelColor(w->mapTo(results, p) * window.devicePixelRatio());
    };
    // The bar with the buttons keeps its own colour; text boxes are white.
    QCOMPARE(at(results->controls().Frame1, {2, 2}), QColor(128, 64, 64));
    QLineEdit* box = results->controls().txtMaleRulingPlanet;
    results->controls().SSTab->setCurrentIndex(1);
    QCOMPARE(results->grab(QRect(box->mapTo(results, QPoint(box->width() - 4, 4)), QSize(1, 1)))
                 .toImage()
                 .pixelColor(0, 0),
             QColor(Qt::white));
    // The about window is white, its icon on the light window colour.
    frmAbout about(results);
    about.show();
    const QImage a = about.grab().toImage();
    QCOMPARE(a.pixelColor(QPoint(about.width() - 3, 3) * a.devicePixelRatio()), QColor(Qt::white));
    const QColor iconBackground = about.controls().Picture1->grab().toImage().pixelColor(0, 0);
    QVERIFY2(iconBackground.lightness() > 200, qPrintable(iconBackground.name()));
}

// The program draws group box and tab frames once per size and keeps them,
// and draws a bold title on a box whose controls stay regular: each must
// look exactly as Fusion draws a bold box with regular controls, the first
// time and from what was kept.
void TestLook::framesAsFusionDrawsThem_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("scale");
    QTest::newRow("titled box") << "titled" << QSize(321, 73) << 1.0;
    QTest::newRow("box without title") << "untitled" << QSize(321, 57) << 1.0;
    QTest::newRow("large titled box") << "titled" << QSize(593, 393) << 1.0;
    QTest::newRow("tab widget") << "tabs" << QSize(300, 200) << 1.0;
    // A text box hides part of the frame, as on the compatibility tab.
    QTest::newRow("box around a text box") << "text" << QSize(640, 480) << 1.0;
    QTest::newRow("tall scroll bar") << "scroll" << QSize(17, 265) << 1.0;
    QTest::newRow("titled box at 150 %") << "titled" << QSize(321, 73) << 1.5;
    QTest::newRow("tab widget at 200 %") << "tabs" << QSize(300, 200) << 2.0;
}

void TestLook::framesAsFusionDrawsThem() {
    QFETCH(QString, kind);
    QFETCH(QSize, size);
    QFETCH(qreal, scale);
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    const QFont regular = VerdanaFont(8.25);
    QFont bold = regular;
    bold.setBold(true);
    // The program's widget under the program's style, and Fusion's own.
    const auto build = [&](bool program) -> std::unique_ptr<QWidget> {
        std::unique_ptr<QWidget> w;
        if (kind == QLatin1String("tabs")) {
            auto* tabs = new QTabWidget;
            tabs->addTab(new QWidget, QStringLiteral("Your Details"));
            w.reset(tabs);
        } else if (kind == QLatin1String("scroll")) {
            auto* bar = new QScrollBar(Qt::Vertical);
            bar->setRange(0, 400);
            bar->setPageStep(120);
            bar->setValue(150);
            w.reset(bar);
        } else if (kind == QLatin1String("text")) {
            // Placed on its page as on the compatibility tab.
            auto* page = new QWidget;
            auto* box = program ? new BoldTitleGroupBox(page) : new QGroupBox(page);
            box->setGeometry(18, 75, 593, 393);
            box->setTitle(QStringLiteral("Compatibility"));
            auto* text = new QPlainTextEdit(QString(40, QLatin1Char('x')).repeated(30), box);
            text->setGeometry(8, 120, 577, 265);
            text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            w.reset(page);
            w->setFont(program ? regular : bold);
            if (!program) text->setFont(regular);
        } else {
            auto* box =
                program && kind == QLatin1String("titled") ? new BoldTitleGroupBox : new QGroupBox;
            if (kind == QLatin1String("titled")) box->setTitle(QStringLiteral("Your Details"));
            auto* label = new QLabel(QStringLiteral("Name"), box);
            label->move(8, 17);
            w.reset(box);
            w->setFont(program ? regular : bold);
            if (!program) label->setFont(regular);
        }
        if (!program) {
            w->setStyle(fusion.get());
            for (QWidget* child : w->findChildren<QWidget*>()) child->setStyle(fusion.get());
        }
        w->setPalette(LightPalette());
        w->resize(size);
        // Laid out as when shown, without a window on screen.
        w->setAttribute(Qt::WA_DontShowOnScreen);
        w->show();
        return w;
    };
    // As a screen of that density shows it.
    const auto draw = [scale](QWidget* w) {
        QImage image((QSizeF(w->size()) * scale).toSize(), QImage::Format_RGB32);
        image.setDevicePixelRatio(scale);
        w->render(&image);
        return image;
    };
    const QImage expected = draw(build(false).get());
    const std::unique_ptr<QWidget> program = build(true);
    for (const char* when : {"drawn", "kept"}) {
        const QImage actual = draw(program.get());
        // Frame lines are faint: any step of shade counts.
        const int differing = DifferingPixels(expected, actual, 2);

        if (differing > 0) {
            expected.save(ScreenshotPath(QStringLiteral("frame-fusion-") + kind));
            actual.save(ScreenshotPath(QStringLiteral("frame-program-") + kind));
        }
        QVERIFY2(
            differing == 0,
            qPrintable(
                QStringLiteral("%1: %2 pixels differ").arg(QLatin1String(when)).arg(differing)));
    }
    for (QLabel* label : program->findChildren<QLabel*>())
        QVERIFY(!QFontInfo(label->font()).bold());
}

LUNVEX_TEST_MAIN(TestLook)
#include "tst_look.moc"
