// The windows keep their light look under any system theme: their fixed text
// colours (dark red, blue, green, olive) were chosen for light backgrounds and
// become unreadable on a dark one.
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolTip>

#include "common/boldtitlegroupbox.h"
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

// The colour most pixels of an image have: a popup's background.
QColor MostCommonColour(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> counts;
    for (int row = 0; row < rgb.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(rgb.constScanLine(row));
        for (int col = 0; col < rgb.width(); ++col) ++counts[p[col]];
    }
    QRgb most = 0;
    int best = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > best) std::tie(most, best) = std::pair(it.key(), it.value());
    return QColor::fromRgb(most);
}

// The popup window now shown: a menu or list, else the tooltip.
QWidget* ShownPopup() {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowType() == Qt::ToolTip && w->isVisible()) return w;
    return nullptr;
}

// Opens a context menu on a widget as a right click does.
void RightClick(QWidget* widget) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) widget = area->viewport();
    const QPoint at(8, 8);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QCoreApplication::sendEvent(widget, &event);
}

}  // namespace

class TestLook : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        m_system = QApplication::palette();
        m_systemTips = QToolTip::palette();
        // A run that asks for GTK's dark theme must get it, or comparing with
        // the session's theme below would compare light with light.
        if (qEnvironmentVariable("QT_QPA_PLATFORMTHEME") == QLatin1String("gtk3") &&
            qEnvironmentVariable("GTK_THEME").endsWith(QLatin1String(":dark")))
            QVERIFY2(m_system.color(QPalette::Window).lightness() < 128,
                     "the GTK dark theme did not reach the application");
    }
    void init() { DestroyAllWindows(); }
    void cleanup() {
        QToolTip::hideText();
        DestroyAllWindows();
        QApplication::setPalette(m_system);
        QToolTip::setPalette(m_systemTips);
    }

    void darkThemeKeepsTheLightLook_data();
    void darkThemeKeepsTheLightLook();
    void ownBackgroundsUnderADarkTheme();
    void framesAsFusionDrawsThem_data();
    void framesAsFusionDrawsThem();
    void framesFollowAPaletteChange_data();
    void framesFollowAPaletteChange();
    void popupsTakeTheirWindowsLook_data();
    void popupsTakeTheirWindowsLook();
    void scrollBarArrowsKeepTheTextColour();
    void noPictureForAFrameDrawsNothing();
    // Last: it changes the process's fonts.
    void ownFontsStandInForVerdana_data();
    void ownFontsStandInForVerdana();

  private:
    QImage GrabUnder(const QPalette& palette, Shown which, const QPalette* switchTo = nullptr);
    QPalette m_system;
    QPalette m_systemTips;
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

// A kept frame is drawn again when the window's colours change: the frames
// drawn for the old colours must not come back.
void TestLook::framesFollowAPaletteChange_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("tab widget") << "tabs";
    QTest::newRow("titled box") << "titled";
}

void TestLook::framesFollowAPaletteChange() {
    QFETCH(QString, kind);
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    const auto build = [&](QStyle* style) {
        std::unique_ptr<QWidget> w;
        if (kind == QLatin1String("tabs")) {
            auto* tabs = new QTabWidget;
            tabs->addTab(new QWidget, QStringLiteral("Your Details"));
            w.reset(tabs);
        } else {
            w.reset(new QGroupBox(QStringLiteral("Your Details")));
        }
        if (style) {
            w->setStyle(style);
            for (QWidget* child : w->findChildren<QWidget*>()) child->setStyle(style);
        }
        w->setPalette(LightPalette());
        w->resize(300, 200);
        w->setAttribute(Qt::WA_DontShowOnScreen);
        w->show();
        return w;
    };
    const auto draw = [](QWidget* w) {
        QImage image(w->size(), QImage::Format_RGB32);
        w->render(&image);
        return image;
    };
    const std::unique_ptr<QWidget> program = build(nullptr);
    draw(program.get());  // its frame is kept for the light colours
    const std::unique_ptr<QWidget> expected = build(fusion.get());
    for (QWidget* w : {program.get(), expected.get()}) w->setPalette(DarkTheme());
    const QImage actual = draw(program.get());
    const int differing = DifferingPixels(draw(expected.get()), actual, 2);
    if (differing > 0) actual.save(ScreenshotPath(QStringLiteral("frame-after-palette-") + kind));
    QVERIFY2(differing == 0, qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
}

// Menus, drop-down lists, context menus and tooltips are windows of their
// own: under a dark theme each must still look like the window it opens
// over, while a dialog opened over a window (message box, file dialog) keeps
// the system's look, its popups with it.
void TestLook::popupsTakeTheirWindowsLook_data() {
    QTest::addColumn<Shown>("which");
    QTest::addColumn<QString>("popup");
    QTest::addColumn<bool>("light");
    QTest::newRow("input: menu") << Shown::InputWindow << "menu" << true;
    QTest::newRow("input: submenu") << Shown::InputWindow << "submenu" << true;
    QTest::newRow("input: month list") << Shown::InputWindow << "list" << true;
    QTest::newRow("input: name box context menu") << Shown::InputWindow << "context" << true;
    QTest::newRow("input: year box tooltip") << Shown::InputWindow << "tooltip" << true;
    QTest::newRow("results: menu") << Shown::Compatibility << "menu" << true;
    QTest::newRow("results: text box context menu") << Shown::Compatibility << "context" << true;
    QTest::newRow("results: sign tooltip") << Shown::YourDetails << "tooltip" << true;
    QTest::newRow("report: context menu") << Shown::Report << "context" << true;
    QTest::newRow("dialog over input: context menu")
        << Shown::InputWindow << "dialog context" << false;
    QTest::newRow("dialog over results: tooltip")
        << Shown::Compatibility << "dialog tooltip" << false;
}

void TestLook::popupsTakeTheirWindowsLook() {
    QFETCH(Shown, which);
    QFETCH(QString, popup);
    QFETCH(bool, light);
    AnsweringDialogs dialogs;
    EndRecorder end;
    const QPalette dark = DarkTheme();
    ApplyTheme(dark);
    QToolTip::setPalette(dark);  // as the platform theme gives tooltips theirs
    QWidget* window = OpenWindow(which);
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));

    std::unique_ptr<QInputDialog> dialog;
    QWidget* over = window;
    if (popup.startsWith(QLatin1String("dialog"))) {
        dialog = std::make_unique<QInputDialog>(window);
        dialog->show();
        over = dialog.get();
    }
    if (popup == QLatin1String("menu") || popup == QLatin1String("submenu")) {
        auto* bar = window->findChild<QMenuBar*>();
        QVERIFY(bar);
        QMenu* menu = bar->actions().constFirst()->menu();
        if (popup == QLatin1String("submenu")) {
            // A menu opened from a menu, as a submenu is.
            menu = new QMenu(menu);
            menu->addAction(QStringLiteral("Item"));
            menu->setAttribute(Qt::WA_DeleteOnClose);
        }
        menu->popup(bar->mapToGlobal(QPoint(0, bar->height())));
    } else if (popup == QLatin1String("list")) {
        window->findChild<QComboBox*>(QStringLiteral("cboMaleMonth"))->showPopup();
    } else if (popup.endsWith(QLatin1String("context"))) {
        QWidget* box = over->findChild<QLineEdit*>();
        if (which == Shown::Compatibility) box = over->findChild<QPlainTextEdit*>();
        if (which == Shown::Report) box = over->findChild<QTextEdit*>();
        QVERIFY(box);
        RightClick(box);
    } else {
        QWidget* from = over->findChild<QLineEdit*>();
        if (which == Shown::InputWindow && !dialog)
            from = window->findChild<QComboBox*>(QStringLiteral("cboMaleYear"));
        if (which == Shown::YourDetails)
            from = window->findChild<QLabel*>(QStringLiteral("lblMaleChinesesign"));
        QVERIFY(from);
        // As on hovering: the widget is asked for its tip, then one shows.
        QHelpEvent asked(QEvent::ToolTip, QPoint(4, 4), from->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(from, &asked);
        QToolTip::showText(from->mapToGlobal(QPoint(4, 4)), QStringLiteral("A tip"), from);
    }
    // Menus and lists are shown at once, as is a tooltip, which may go again
    // whenever the pointer moves: each is read before the events run.
    QPointer<QWidget> shown = ShownPopup();
    QVERIFY(shown);

    const QPalette expected = light ? LightPalette() : dark;
    const bool tip = shown->windowType() == Qt::ToolTip;
    const QList<QPalette::ColorRole> roles =
        tip ? QList{QPalette::ToolTipBase, QPalette::ToolTipText}
            : QList{QPalette::Window, QPalette::WindowText, QPalette::Base,
                    QPalette::Text,   QPalette::Button,     QPalette::ButtonText};
    for (QPalette::ColorRole role : roles)
        QCOMPARE(shown->palette().color(role), expected.color(role));
    const QImage image = shown->grab().toImage();
    QString tag = QString::fromUtf8(QTest::currentDataTag()).toLower();
    tag.replace(QRegularExpression(QStringLiteral("[^a-z]+")), QStringLiteral("-"));
    image.save(ScreenshotPath(QStringLiteral("dark-theme-popup-") + tag));
    const QColor background = MostCommonColour(image);
    QVERIFY2((background.lightness() > 128) == light, qPrintable(background.name()));
    if (auto* menu = qobject_cast<QMenu*>(shown)) menu->close();
    if (auto* combo = window->findChild<QComboBox*>(); combo && popup == QLatin1String("list"))
        combo->hidePopup();
}

// The compatibility frame's captions are dark red; the scroll bar of the text
// box inside it draws its arrows in the window's text colour all the same.
void TestLook::scrollBarArrowsKeepTheTextColour() {
    AnsweringDialogs dialogs;
    EndRecorder end;
    QWidget* window = OpenWindow(Shown::Compatibility);
    QVERIFY(window);
    QScrollBar* bar = window->findChild<QPlainTextEdit*>(QStringLiteral("txtMatchingDescription"))
                          ->verticalScrollBar();
    QVERIFY(bar->isVisible());
    const QImage image = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
    image.save(ScreenshotPath(QStringLiteral("compatibility-scroll-bar")));
    int reddish = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() - std::max(c.green(), c.blue()) > 24) ++reddish;
        }
    QCOMPARE(reddish, 0);
}

// Short of memory the picture a group box's frame is kept in cannot be
// made; a frame too wide for any picture fails the same way, on any machine.
// The frame is left out then, never drawn through a painter that could not
// start (Fusion crashed there).
void TestLook::noPictureForAFrameDrawsNothing() {
    const QRect tooWide(0, 0, 1 << 27, 100);  // 4 bytes a pixel: past what a picture may hold
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QImage before = image;
    QGroupBox box;
    QStyleOptionFrame frame;
    frame.initFrom(&box);
    frame.rect = tooWide;
    QPainter painter(&image);
    box.style()->drawPrimitive(QStyle::PE_FrameGroupBox, &frame, &painter, &box);
    painter.end();
    QCOMPARE(image, before);
}

// Where Verdana is missing (Wine, some Windows editions) the faces the
// installer puts beside the program stand in for it, rather than the
// system's fallback, a wider serif face.
void TestLook::ownFontsStandInForVerdana_data() {
    QTest::addColumn<QString>("face");
    QTest::addColumn<bool>("standsIn");
    QTest::newRow("no fonts folder") << QString() << false;
    QTest::newRow("a folder without faces") << QStringLiteral("-") << false;
    QTest::newRow("DejaVu Sans") << QStringLiteral(
                                        "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")
                                 << true;
}

void TestLook::ownFontsStandInForVerdana() {
    QFETCH(QString, face);
    QFETCH(bool, standsIn);
    if (QFontDatabase::hasFamily(QStringLiteral("Verdana"))) QSKIP("Verdana is installed here");
    if (standsIn && !QFile::exists(face)) QSKIP("needs fonts-dejavu-core");
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("fonts"));
    if (!face.isNull()) QVERIFY(QDir().mkpath(folder));
    if (standsIn) QVERIFY(QFile::copy(face, folder + QStringLiteral("/DejaVuSans.ttf")));
    // The program's own stand-in, installed at start where the test program
    // has a fonts folder beside it (Windows), is put back afterwards.
    const QStringList before = QFont::substitutes(QStringLiteral("Verdana"));
    QFont::removeSubstitutions(QStringLiteral("Verdana"));
    const auto restore = qScopeGuard([before] {
        QFont::removeSubstitutions(QStringLiteral("Verdana"));
        if (!before.isEmpty()) QFont::insertSubstitutions(QStringLiteral("Verdana"), before);
    });
    QCOMPARE(InstallOwnFonts(folder), standsIn);
    QCOMPARE(QFont::substitutes(QStringLiteral("Verdana"))
                 .contains(QStringLiteral("DejaVu Sans"), Qt::CaseInsensitive),
             standsIn);
    if (standsIn) QCOMPARE(QFontInfo(VerdanaFont(8.25)).family(), QStringLiteral("DejaVu Sans"));
}

LUNVEX_TEST_MAIN(TestLook)
#include "tst_look.moc"
