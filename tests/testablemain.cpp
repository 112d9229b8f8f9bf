// The program as users get it, plus the dialog and window logs that let a
// test drive a real second process without a person.
#include <QApplication>

#include "shell/startup.h"
#include "tests/dialoglog.h"

int main(int argc, char* argv[]) {
    modHelp::PrepareProcess();
    QApplication app(argc, argv);
    modHelp::PrepareApplication();
    InstallDialogLogIfAsked();
    if (!modHelp::RunStartup()) return 0;  // another copy is running
    return QApplication::exec();
}
