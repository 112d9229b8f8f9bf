// Lunvex Chinese Zodiac Compatibility: the program's entry point.
#include <QApplication>

#include "shell/startup.h"

int main(int argc, char* argv[]) {
    modHelp::PrepareProcess();
    QApplication app(argc, argv);
#ifdef LUNVEX_APP_ID
    // Lets the desktop match the window to its entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(LUNVEX_APP_ID));
#endif
    modHelp::PrepareApplication();
    if (!modHelp::RunStartup()) return 0;  // another copy is running
    return QApplication::exec();
}
