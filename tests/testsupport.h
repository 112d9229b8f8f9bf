// Stand-ins for the things a person would do: answering message boxes and
// dialogs, catching web addresses, and noticing that the program ends.
#pragma once

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QPrinter>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <optional>

#include "input/frmmain.h"
#include "report/frmsave.h"
#include "results/frmchiness.h"
#include "shell/frmabout.h"
#include "shell/modhelp.h"
#include "shell/userdialogs.h"
#include "shell/windowlook.h"
#include "ui_frmchiness.h"
#include "ui_frmmain.h"

struct ShownMessage {
    QMessageBox::Icon icon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};

// Answers every dialog at once and remembers what was shown.
class AnsweringDialogs : public UserDialogs {
  public:
    AnsweringDialogs() { UserDialogs::install(this); }
    ~AnsweringDialogs() override { UserDialogs::install(nullptr); }

    QMessageBox::StandardButton message(QWidget*, QMessageBox::Icon icon, const QString& title,
                                        const QString& text,
                                        QMessageBox::StandardButtons buttons) override {
        messages.append({icon, title, text, buttons});
        if (onMessage) onMessage();
        return answer;
    }
    std::optional<QString> saveFileName(QWidget*, const SaveRequest& request) override {
        saveRequests.append(request);
        return saveAnswer;
    }
    bool choosePrinter(QWidget*, QPrinter& printer, bool selectionOnly) override {
        printerSelectionOffered.append(selectionOnly);
        if (!printAnswer) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(*printAnswer);
        if (printRangeOverride) printer.setPrintRange(*printRangeOverride);
        return true;
    }

    QList<ShownMessage> messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::function<void()> onMessage;
    QList<SaveRequest> saveRequests;
    std::optional<QString> saveAnswer;
    QList<bool> printerSelectionOffered;
    std::optional<QString> printAnswer;  // a PDF file to print into
    std::optional<QPrinter::PrintRange> printRangeOverride;
};

// Catches every http and https address the program opens.
class UrlCatcher : public QObject {
    Q_OBJECT

  public:
    UrlCatcher() {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
    }
    ~UrlCatcher() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }
    QStringList opened;

  public slots:
    void open(const QUrl& url) { opened.append(url.toString()); }
};

// Counts the program's endings instead of ending the test process.
class EndRecorder {
  public:
    EndRecorder() {
        modHelp::ResetEndingForTesting();
        modHelp::SetEndProcess([this] { ++ends; });
    }
    ~EndRecorder() {
        modHelp::SetEndProcess([] { QCoreApplication::exit(0); });
        modHelp::ResetEndingForTesting();
    }
    int ends = 0;
};

// Closes nothing, ends nothing: simply destroys every window left over.
inline void DestroyAllWindows() {
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!w->parentWidget()) windows.append(w);
    for (const QPointer<QWidget>& w : windows) delete w.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Wayland lets no window place itself or take the keyboard: the compositor
// decides both.
inline bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// Waits until the window has the keyboard. On Wayland the compositor gives it
// to a seat's keyboard, and the headless test compositor has none: there the
// window is handed Qt's focus, as a desktop compositor focuses a window that
// has just been shown.
inline bool WaitForKeyboardFocus(QWidget* window) {
    if (!OnWayland()) return QTest::qWaitForWindowActive(window);
    if (!QTest::qWaitForWindowExposed(window)) return false;
    QApplication::setActiveWindow(window);
    return QApplication::activeWindow() == window;
}

// Where screenshots go: build/test-output, or the folder a run on a real
// display server keeps apart for its platform (LUNVEX_SCREENSHOT_DIR).
inline QString ScreenshotPath(const QString& name) {
    const QString dir =
        qEnvironmentVariable("LUNVEX_SCREENSHOT_DIR", QStringLiteral(LUNVEX_TEST_OUTPUT));
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + name + QStringLiteral(".png");
}

// The page address the program builds for a key.
inline QString Page(const char* key) {
    return QStringLiteral("http://") + modHelp::VendorHost() +
           QStringLiteral("/lunvex-free-chinese-zodiac-compatibility/ssd.php?page=") +
           QLatin1String(key);
}

struct BirthDay {
    int day = 1, month = 1, year = 1936;
};

// Types both names and picks both dates in an input window, as a user would.
inline void EnterReading(frmmain& input, const QString& user, BirthDay userBirth,
                         const QString& partner, BirthDay partnerBirth) {
    Ui::frmmain& c = input.controls();
    c.txtMaleName->setText(user);
    c.CboMaleDate->setCurrentIndex(userBirth.day - 1);
    c.cboMaleMonth->setCurrentIndex(userBirth.month - 1);
    c.cboMaleYear->setCurrentIndex(userBirth.year - 1936);
    c.txtFemaleName->setText(partner);
    c.cboFemaleDate->setCurrentIndex(partnerBirth.day - 1);
    c.cboFemaleMonth->setCurrentIndex(partnerBirth.month - 1);
    c.cboFemaleYear->setCurrentIndex(partnerBirth.year - 1936);
}

// A fresh input window, a reading entered and Proceed pressed: the results window.
inline frmchiness* ReadingThroughWindows(const QString& user, const QString& partner,
                                         BirthDay userBirth = {12, 3, 1975},
                                         BirthDay partnerBirth = {1, 7, 1938}) {
    auto* input = new frmmain;
    input->show();
    EnterReading(*input, user, userBirth, partner, partnerBirth);
    input->controls().cmdProceed->click();
    return frmchiness::Loaded();
}

// Every window a person sees; the results window once per tab.
enum class Shown { InputWindow, Compatibility, YourDetails, PartnerDetails, Report, About };
Q_DECLARE_METATYPE(Shown)

// Opens the window filled with one reading with long names, the report and
// about windows over the results window. Needs AnsweringDialogs and an
// EndRecorder in place.
inline QWidget* OpenWindow(Shown which) {
    auto* input = new frmmain;
    input->show();
    EnterReading(*input, QStringLiteral("Alexandra Montgomery"), {28, 9, 1975},
                 QStringLiteral("Christopher Wellington"), {30, 11, 1982});
    if (which == Shown::InputWindow) return input;
    input->controls().cmdProceed->click();
    frmchiness* results = frmchiness::Loaded();
    if (!results) return nullptr;
    QWidget* window = results;
    switch (which) {
        case Shown::Report:
            window = new frmSave(results);
            break;
        case Shown::About:
            window = new frmAbout(results);
            break;
        default:
            results->controls().SSTab->setCurrentIndex(int(which) - int(Shown::Compatibility));
    }
    window->show();
    return window;
}

// A data row for each window, with the name its screenshots carry.
inline void AddWindowRows() {
    QTest::addColumn<Shown>("which");
    QTest::addColumn<QString>("name");
    QTest::newRow("input window") << Shown::InputWindow << "input-window";
    QTest::newRow("results: compatibility") << Shown::Compatibility << "results-compatibility";
    QTest::newRow("results: your details") << Shown::YourDetails << "results-your-details";
    QTest::newRow("results: partner's details")
        << Shown::PartnerDetails << "results-partner-details";
    QTest::newRow("report window") << Shown::Report << "report-window";
    QTest::newRow("about window") << Shown::About << "about-window";
}

// Headless unless told otherwise. CTest gives each test the offscreen
// platform; a run on a real display server (scripts/platform-tests) names
// its platform in LUNVEX_TEST_PLATFORM instead.
inline void ChooseTestPlatform() {
    if (const QByteArray platform = qgetenv("LUNVEX_TEST_PLATFORM"); !platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// A test program's main: on the chosen platform, with the program's look.
#define LUNVEX_TEST_MAIN(TestClass)                                       \
    int main(int argc, char** argv) {                                     \
        ChooseTestPlatform();                                             \
        QApplication app(argc, argv);                                     \
        QApplication::setApplicationName(QStringLiteral("lunvex-tests")); \
        ConfigureApplicationLook();                                       \
        TestClass test;                                                   \
        QTEST_SET_MAIN_SOURCE_PATH                                        \
        return QTest::qExec(&test, argc, argv);                           \
    }
