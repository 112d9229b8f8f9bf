// Lunvex Chinese Zodiac Compatibility: the program's entry point.
#include <QApplication>

#include "input/frmmain.h"
#include "shell/windowlook.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lunvex-zodiac"));
    ConfigureApplicationLook();
    auto* input = new frmmain;
    input->show();
    return QApplication::exec();
}
