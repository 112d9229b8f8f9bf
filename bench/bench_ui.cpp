// Reports how fast the program answers its user, each figure beside a bare
// Qt window measured in the same run: start to the input window's first
// paint, Proceed to the results painted, Print to the report painted, Save,
// printing to PDF, and peak resident memory. Medians over repeated runs.
// Not part of the test run; it prints a table and never fails.
//
//   build/bench/bench_ui [runs]        (headless by default: QT_QPA_PLATFORM=offscreen)
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <optional>
#include <vector>

#include "common/ending.h"
#include "common/userdialogs.h"
#include "common/vendorpages.h"
#include "common/windowlook.h"
#include "input/frmmain.h"
#include "report/frmsave.h"
#include "results/frmchiness.h"
#include "shell/clock.h"
#include "shell/navigator.h"
#include "shell/startup.h"
#include "shell/updatereminder.h"
#include "ui_frmchiness.h"
#include "ui_frmmain.h"
#include "ui_frmsave.h"

namespace {

qint64 MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

long PeakResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Calls done() once, after the widget has painted for the first time.
class FirstPaint : public QObject {
  public:
    FirstPaint(QWidget* w, std::function<void()> done) : m_done(std::move(done)) {
        w->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_done) {
            auto done = std::move(m_done);
            m_done = nullptr;
            watched->removeEventFilter(this);
            // After the paint event has been handled, not before.
            QTimer::singleShot(0, done);
        }
        return false;
    }

  private:
    std::function<void()> m_done;
};

// Answers every dialog: save to a scratch file, print to PDF.
class BenchDialogs : public UserDialogs {
  public:
    QMessageBox::StandardButton message(QWidget*, QMessageBox::Icon, const QString&, const QString&,
                                        QMessageBox::StandardButtons) override {
        return QMessageBox::Ok;
    }
    std::optional<QString> saveFileName(QWidget*, const SaveRequest&) override { return saveTo; }
    bool choosePrinter(QWidget*, QPrinter& printer, bool) override {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printTo);
        return true;
    }
    QString saveTo, printTo;
};

QMainWindow* BareWindow() {
    auto* w = new QMainWindow;
    w->setCentralWidget(new QLabel(QStringLiteral("A bare window")));
    w->resize(329, 409);
    return w;
}

// The child process: start, paint once, report the time and memory, leave.
int Child(const QString& what, int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget* window = nullptr;
    if (what == QStringLiteral("program")) {
        modHelp::PrepareApplication();  // as the program's main() does
        static struct : RandomSource {
            double draw() override { return 0.5; }
        } fixedDraw;
        RandomSource::install(&fixedDraw);
        if (!modHelp::RunStartup()) return 2;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<frmmain*>(w)) window = w;
    } else {
        window = BareWindow();
        window->show();
    }
    if (!window) return 3;
    FirstPaint watch(window, [] {
        std::printf("%lld %ld\n", static_cast<long long>(MonotonicNs()), PeakResidentKb());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return QApplication::exec();
}

struct StartFigures {
    double ms;
    double peakKb;
};

std::optional<StartFigures> StartOnce(const QString& what, const QTemporaryDir& home) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    // A Wayland display named relative to the runtime folder stays reachable.
    const QString display = env.value(QStringLiteral("WAYLAND_DISPLAY"));
    if (!display.isEmpty() && !display.startsWith(QLatin1Char('/')))
        env.insert(QStringLiteral("WAYLAND_DISPLAY"),
                   env.value(QStringLiteral("XDG_RUNTIME_DIR")) + QLatin1Char('/') + display);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    p.setProcessEnvironment(env);
    const qint64 t0 = MonotonicNs();
    // This very program, started again as a child.
    p.start(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget(),
            {QStringLiteral("--child"), what});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return std::nullopt;
    const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
    if (f.size() != 2) return std::nullopt;
    return StartFigures{(f[0].toLongLong() - t0) / 1e6, f[1].toDouble()};
}

// Runs f until the event loop is done with it; answers milliseconds.
double TimeUntilPainted(const std::function<QWidget*()>& act,
                        const std::function<void(QWidget*)>& after = {}) {
    QEventLoop loop;
    qint64 t1 = 0;
    QElapsedTimer clock;
    clock.start();
    QWidget* shown = act();
    if (!shown) return -1;
    FirstPaint watch(shown, [&] {
        t1 = clock.nsecsElapsed();
        loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    if (after) after(shown);
    return t1 / 1e6;
}

// Lets the event loop run for a while, as it does while a person reads or types.
void Idle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void Row(const char* action, double ms, double bareMs, const char* goal, bool met) {
    std::printf("%-34s %10.2f %12.2f %8.2f   %-22s %s\n", action, ms, bareMs,
                bareMs > 0 ? ms / bareMs : 0.0, goal, met ? "met" : "MISSED");
}

}  // namespace

// Qt's note about a platform that cannot pass size hints on; it says nothing here.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (text.contains(QStringLiteral("propagateSizeHints")) ||
        text.contains(QStringLiteral("XDG_RUNTIME_DIR")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(text));
    if (type == QtFatalMsg) std::abort();
}

int main(int argc, char** argv) {
    qInstallMessageHandler(QuietMessages);
    if (argc >= 3 && QByteArray(argv[1]) == "--child")
        return Child(QString::fromLatin1(argv[2]), argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int runs = argc >= 2 ? std::max(3, QByteArray(argv[1]).toInt()) : 15;

    std::vector<double> startProgram, startBare, peakProgram, peakBare;
    {
        QTemporaryDir home;
        for (int i = 0; i < runs; ++i) {
            // Alternate, so both see the same machine.
            if (auto p = StartOnce(QStringLiteral("program"), home)) {
                startProgram.push_back(p->ms);
                peakProgram.push_back(p->peakKb);
            }
            if (auto b = StartOnce(QStringLiteral("bare"), home)) {
                startBare.push_back(b->ms);
                peakBare.push_back(b->peakKb);
            }
        }
    }

    QApplication app(argc, argv);
    ConfigureApplicationLook();
    QTemporaryDir scratch;
    BenchDialogs dialogs;
    dialogs.saveTo = scratch.filePath(QStringLiteral("report.rtf"));
    dialogs.printTo = scratch.filePath(QStringLiteral("report.pdf"));
    UserDialogs::install(&dialogs);
    static struct : Ending {
        void endProcess() override {}
    } staysOpen;
    Ending::install(&staysOpen);

    std::vector<double> proceed, print, save, pdf, bare;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(TimeUntilPainted(
            [] {
                QWidget* w = BareWindow();
                w->show();
                return w;
            },
            [](QWidget* w) { delete w; }));

        auto* input = Navigator::instance().newInput();
        input->show();
        // A person takes a while to type the names; the program may use it.
        Idle(300);
        input->controls().txtMaleName->setText(QStringLiteral("Ann"));
        input->controls().txtFemaleName->setText(QStringLiteral("Bob"));
        input->controls().cboMaleYear->setCurrentIndex(i % 84);
        proceed.push_back(TimeUntilPainted([input] {
            input->controls().cmdProceed->click();
            return static_cast<QWidget*>(Navigator::instance().loadedResults());
        }));
        frmchiness* results = Navigator::instance().loadedResults();
        Idle(300);  // reading the results before pressing Print

        // Print: from the click to the report window painted, inside its modal loop.
        QElapsedTimer clock;
        double printMs = -1;
        QTimer::singleShot(0, [&] {
            QWidget* report = QApplication::activeModalWidget();
            if (!report) return;
            new FirstPaint(report, [&, report] {
                printMs = clock.nsecsElapsed() / 1e6;
                auto* window = qobject_cast<frmSave*>(report);
                QElapsedTimer t;
                t.start();
                window->controls().cmdSave->click();
                save.push_back(t.nsecsElapsed() / 1e6);
                t.start();
                window->controls().cmdPrint->click();
                pdf.push_back(t.nsecsElapsed() / 1e6);
                report->close();
            });
        });
        clock.start();
        results->controls().cmdPrint->click();
        print.push_back(printMs);

        delete results;
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    const double bareMs = Median(bare);
    std::printf("Lunvex Chinese Zodiac Compatibility: medians of %d runs (%s platform)\n\n", runs,
                qPrintable(QGuiApplication::platformName()));
    std::printf("%-34s %10s %12s %8s   %-22s %s\n", "action", "ms", "bare window", "ratio", "goal",
                "");
    const double start = Median(startProgram), startB = Median(startBare);
    if (startProgram.empty() || startBare.empty())
        std::printf("%-34s %10s   (the program or the bare window did not start)\n",
                    "start to input window painted", "MISSED");
    else
        Row("start to input window painted", start, startB, "<= 1.25 x bare",
            start <= 1.25 * startB);
    Row("Proceed to results painted", Median(proceed), bareMs, "<= 1.5 x bare",
        Median(proceed) <= 1.5 * bareMs);
    Row("Print to report painted", Median(print), bareMs, "<= 1.5 x bare",
        Median(print) <= 1.5 * bareMs);
    Row("Save the report", Median(save), bareMs, "<= 16 ms (one frame)", Median(save) <= 16);
    Row("Print the report to PDF", Median(pdf), bareMs, "(no goal)", true);
    const double peak = Median(peakProgram) / 1024, peakB = Median(peakBare) / 1024;
    std::printf("%-34s %10.1f %12.1f %8.2f   %-22s %s\n", "peak resident memory (MB)", peak, peakB,
                peakB > 0 ? peak / peakB : 0.0, "<= 1.25 x bare",
                peak <= 1.25 * peakB ? "met" : "MISSED");
    std::printf(
        "\n(bare window: a QMainWindow with one label, started, shown and painted the same way)\n");
    return 0;
}
