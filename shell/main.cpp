// Lunvex Chinese Zodiac Compatibility: the program's entry point.
#include <QApplication>

#include "shell/dialoglog.h"
#include "shell/modhelp.h"
#include "shell/windowlook.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
#ifdef LUNVEX_APP_ID
    // Lets the desktop match the window to its entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(LUNVEX_APP_ID));
#endif
    ConfigureApplicationLook(IconTiming::Later);
    InstallDialogLogIfAsked();
    if (!modHelp::RunStartup()) return 0;  // another copy is running
    return QApplication::exec();
}
