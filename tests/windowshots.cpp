// Pictures of every window of the program, as a person sees them with a long
// reading: the input window, the results window's three pages, the report and
// the about window. Not a test: its pictures are there to be looked at, or
// compared with an earlier run's pixel for pixel. They go to
// LUNVEX_SCREENSHOT_DIR (build/test-output without it).
#include <QApplication>
#include <QTabWidget>
#include <QTest>

#include "input/frmmain.h"
#include "results/frmchiness.h"
#include "shell/frmabout.h"
#include "testsupport.h"
#include "ui_frmchiness.h"
#include "ui_frmmain.h"

namespace {

bool Shoot(QWidget& window, const QString& name) {
    const QString path = ScreenshotPath(name);
    if (window.grab().save(path)) return true;
    qWarning("windowshots: could not write %s", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    KeepOutOfUserFolders();
    ChooseTestPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lunvex-tests"));
    ConfigureApplicationLook();
    InstallAccessibility();
    AnsweringDialogs dialogs;
    EndRecorder end;
    bool written = true;

    auto* input = Navigator::instance().newInput();
    input->show();
    EnterReading(*input, QStringLiteral("Alexandra Montgomery"), {28, 9, 1975},
                 QStringLiteral("Christopher Wellington"), {30, 11, 1982});
    written &= Shoot(*input, QStringLiteral("input-window"));
    input->controls().cmdProceed->click();
    frmchiness* results = Navigator::instance().loadedResults();
    if (!results) {
        qWarning("windowshots: Proceed gave no results window");
        return 1;
    }
    const char* pages[] = {"results-compatibility", "results-your-details",
                           "results-partner-details"};
    for (int page = 0; page < 3; ++page) {
        results->controls().SSTab->setCurrentIndex(page);
        written &= Shoot(*results, QString::fromLatin1(pages[page]));
    }
    DestroyAllWindows();

    results = ReadingThroughWindows(QStringLiteral("Alexandra Montgomery"),
                                    QStringLiteral("http://bob.example"));
    if (!results) return 1;
    frmSave report = ReportOver(results);
    report.show();
    written &= Shoot(report, QStringLiteral("report-window"));

    frmAbout about;
    about.show();
    written &= Shoot(about, QStringLiteral("about-window"));
    return written ? 0 : 1;
}
