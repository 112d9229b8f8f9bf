// Lunvex Chinese Zodiac Compatibility: the program's entry point.
#include <QApplication>

#include "shell/accessibility.h"
#include "shell/modhelp.h"
#include "shell/windowlook.h"

#ifdef LUNVEX_TEST_HOOKS
// Only in the tests' own build of the program, never in the one users run.
#include "tests/dialoglog.h"
#endif

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
#ifdef LUNVEX_APP_ID
    // Lets the desktop match the window to its entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(LUNVEX_APP_ID));
#endif
    modHelp::SurviveFileSizeLimit();
    ConfigureApplicationLook(IconTiming::Later);
    InstallAccessibility();
#ifdef LUNVEX_TEST_HOOKS
    InstallDialogLogIfAsked();
#endif
    if (!modHelp::RunStartup()) return 0;  // another copy is running
    return QApplication::exec();
}
