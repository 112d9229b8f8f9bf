// Stand-ins for the things a person would do: answering message boxes and
// dialogs, catching web addresses, and noticing that the program ends.
#pragma once

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <optional>

#include "common/accessibility.h"
#include "common/ending.h"
#include "common/userdialogs.h"
#include "common/vendorpages.h"
#include "common/windowlook.h"
#include "input/frmmain.h"
#include "report/frmsave.h"
#include "results/frmchiness.h"
#include "shell/clock.h"
#include "shell/frmabout.h"
#include "shell/navigator.h"
#include "shell/startup.h"
#include "shell/updatereminder.h"
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
        if (request.chosenFilter) *request.chosenFilter = saveFilterAnswer.value_or(request.filter);
        return saveAnswer;
    }
    bool choosePrinter(QWidget*, QPrinter& printer, bool selectionOnly) override {
        printerSelectionOffered.append(selectionOnly);
        printJobNames.append(printer.docName());
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
    std::optional<QString> saveFilterAnswer;  // the file type chosen; the first one if unset
    QList<bool> printerSelectionOffered;
    QStringList printJobNames;           // the job's name as the printer dialog got it
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
class EndRecorder : public Ending {
  public:
    EndRecorder() { Ending::install(this); }
    ~EndRecorder() override { Ending::install(nullptr); }
    void endProcess() override { ++ends; }
    int ends = 0;
};

// A fixed today, or a fixed random draw, while it lives.
class FixedClock : public Clock {
  public:
    explicit FixedClock(QDate day) : day(day) { Clock::install(this); }
    ~FixedClock() override { Clock::install(nullptr); }
    QDate today() const override { return day; }
    QDate day;
};

class FixedDraw : public RandomSource {
  public:
    explicit FixedDraw(double value) : value(value) { RandomSource::install(this); }
    ~FixedDraw() override { RandomSource::install(nullptr); }
    double draw() override { return value; }
    double value;
};

// The report window of the latest reading over a results window, as Print makes it.
inline frmSave ReportOver(frmchiness* results, frmSave::Links links = frmSave::Links::Now) {
    return frmSave(Navigator::instance().reading(), results, links);
}
inline frmSave* NewReportOver(frmchiness* results, frmSave::Links links = frmSave::Links::Now) {
    return new frmSave(Navigator::instance().reading(), results, links);
}

// Drives the real dialogs as a person would: types a name into the real save
// dialog and presses Save, answers each message box with a button, and
// cancels a save dialog that stays open after its name was accepted.
class DialogDriver : public QObject {
  public:
    explicit DialogDriver(QString typed = {}, QMessageBox::StandardButton answer = QMessageBox::Ok)
        : m_typed(std::move(typed)), m_answer(answer) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { step(); });
        m_timer.start();
    }

    QStringList messages;           // the texts of the message boxes shown
    QList<Qt::TextFormat> formats;  // and how each was to be read
    bool stayedOpen = false;        // the save dialog did not close on Save
    int dialogsSeen = 0;
    QStringList printRanges;  // what the print dialog offered
    QString printFileName;    // the file Print to File would write
    QStringList printLabels;  // the labels it showed
    QString nameFilter;       // the file type to choose in the save dialog, if any
    QString openedIn;         // the folder the save dialog opened in
    QString suggested;        // and the name it suggested

  private:
    void step() {
        QWidget* top = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(top)) {
            messages.append(box->text());
            formats.append(box->textFormat());
            box->done(box->button(m_answer) ? m_answer : QMessageBox::Ok);
        } else if (auto* print = qobject_cast<QPrintDialog*>(top)) {
            // The print ranges a person can choose.
            for (QAbstractButton* range : print->findChildren<QRadioButton*>()) {
                // Those of the range group that are neither hidden nor switched off.
                if (!range->isHidden() && range->isEnabled() &&
                    range->parentWidget()->objectName() == QStringLiteral("gbPrintRange"))
                    printRanges.append(range->objectName());
            }
            if (auto* file = print->findChild<QLineEdit*>(QStringLiteral("filename")))
                printFileName = file->text();
            // The labels a person sees with the dialog's options open.
            for (QPushButton* button : print->findChildren<QPushButton*>())
                if (button->text().contains(QStringLiteral("Options"))) button->click();
            for (QLabel* label : print->findChildren<QLabel*>())
                if (label->isVisible()) printLabels.append(label->text());
            print->reject();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(top)) {
            if (dialog == m_dialog) {
                // Windows may run this timer before the queued accept: only
                // a dialog still open after its accept stayed open.
                if (!m_accepted) return;
                stayedOpen = true;
                dialog->reject();
                return;
            }
            m_dialog = dialog;
            m_accepted = false;
            ++dialogsSeen;
            openedIn = dialog->directory().absolutePath();
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                suggested = name->text();
            if (m_typed.isEmpty()) {
                dialog->reject();
                return;
            }
            if (!nameFilter.isEmpty()) dialog->selectNameFilter(nameFilter);
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(m_typed);
            QMetaObject::invokeMethod(
                dialog,
                [this, dialog] {
                    static_cast<QDialog*>(dialog)->accept();  // public there
                    m_accepted = true;
                },
                Qt::QueuedConnection);
        }
    }

    QString m_typed;
    QMessageBox::StandardButton m_answer;
    QPointer<QFileDialog> m_dialog;
    bool m_accepted = false;  // the save dialog's accept has run
    QTimer m_timer;
};

// Closes nothing, ends nothing: simply destroys every window left over.
// On Wayland only once the compositor has answered the windows' last frames:
// Qt 6.4's Wayland client can abort ("wl_proxy_unref: Assertion
// proxy->refcount > 0") when a window goes while its frame callback is being
// handled on Qt's own event thread. That thread answers while this one
// sleeps; running this thread's events instead could open a message box
// still queued by the test.
inline void DestroyAllWindows() {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) &&
        !QApplication::topLevelWidgets().isEmpty())
        QThread::msleep(50);
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
    auto* input = Navigator::instance().newInput();
    input->show();
    EnterReading(*input, user, userBirth, partner, partnerBirth);
    input->controls().cmdProceed->click();
    return Navigator::instance().loadedResults();
}

// Every window a person sees; the results window once per tab.
enum class Shown { InputWindow, Compatibility, YourDetails, PartnerDetails, Report, About };
Q_DECLARE_METATYPE(Shown)

// Opens the window filled with one reading with long names, the report and
// about windows over the results window. Needs AnsweringDialogs and an
// EndRecorder in place.
inline QWidget* OpenWindow(Shown which) {
    auto* input = Navigator::instance().newInput();
    input->show();
    EnterReading(*input, QStringLiteral("Alexandra Montgomery"), {28, 9, 1975},
                 QStringLiteral("Christopher Wellington"), {30, 11, 1982});
    if (which == Shown::InputWindow) return input;
    input->controls().cmdProceed->click();
    frmchiness* results = Navigator::instance().loadedResults();
    if (!results) return nullptr;
    QWidget* window = results;
    switch (which) {
        case Shown::Report:
            window = NewReportOver(results);
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

// Headless unless told otherwise: a run on a real display server
// (scripts/platform-tests) names its platform in LUNVEX_TEST_PLATFORM. A
// headless run takes no platform theme from the desktop it is started from:
// one such as gtk3 loads GTK, which opens the session's display and, where no
// accessibility bus answers, leaks what its accessibility bridge set up, so
// the sanitizer build would fail runs whose every test passed.
inline void ChooseTestPlatform() {
    if (const QByteArray platform = qgetenv("LUNVEX_TEST_PLATFORM"); !platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qgetenv("QT_QPA_PLATFORM").startsWith("offscreen")) qunsetenv("QT_QPA_PLATFORMTHEME");
}

// Run by every test program. On Linux run-isolated.sh gives each test a home
// of its own through the environment; Windows moves no per-user folder that
// way, so there Qt's test mode keeps the tests' settings, locks and dialog
// state out of the user's own application data.
inline void KeepOutOfUserFolders() {
#ifdef Q_OS_WIN
    QStandardPaths::setTestModeEnabled(true);
#endif
}

// A test program's main: on the chosen platform, with the program's look.
#define LUNVEX_TEST_MAIN(TestClass)                                       \
    int main(int argc, char** argv) {                                     \
        KeepOutOfUserFolders();                                           \
        ChooseTestPlatform();                                             \
        QApplication app(argc, argv);                                     \
        QApplication::setApplicationName(QStringLiteral("lunvex-tests")); \
        ConfigureApplicationLook();                                       \
        InstallAccessibility();                                           \
        TestClass test;                                                   \
        QTEST_SET_MAIN_SOURCE_PATH                                        \
        return QTest::qExec(&test, argc, argv);                           \
    }
