// The program as users get it, plus the dialog and window logs that let a
// test drive a real second process without a person.
#include <QApplication>
#include <QStandardPaths>

#include "shell/startup.h"
#include "tests/dialoglog.h"

int main(int argc, char* argv[]) {
#ifdef Q_OS_WIN
    // Started by the tests, which keep out of the user's own application data
    // on Windows through Qt's test mode: this program shares their folders.
    QStandardPaths::setTestModeEnabled(true);
#endif
    modHelp::PrepareProcess();
    QApplication app(argc, argv);
    modHelp::PrepareApplication();
    InstallDialogLogIfAsked();
    if (!modHelp::RunStartup()) return 0;  // another copy is running
    return QApplication::exec();
}
