#include "shell/windowlook.h"

#include <QApplication>
#include <QStyleFactory>
#include <QWidget>

#include "shell/modhelp.h"

void ConfigureApplicationLook() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(ProgramIcon());
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/pictures/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

QFont VerdanaFont(qreal pointSize, bool bold, bool underline) {
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void ApplyWindowLook(QWidget* window) {
    window->setWindowTitle(modHelp::WindowCaption);
    window->setWindowIcon(ProgramIcon());
    window->setFont(VerdanaFont(8.25));
}

void SetPointSize(QWidget* widget, qreal pointSize) {
    QFont font = widget->font();
    font.setPointSizeF(pointSize);
    widget->setFont(font);
}
