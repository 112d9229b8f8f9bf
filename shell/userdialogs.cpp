#include "shell/userdialogs.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

#include "shell/modhelp.h"

namespace {
UserDialogs* g_installed = nullptr;
}  // namespace

QMessageBox::StandardButton UserDialogs::message(QWidget* parent, QMessageBox::Icon icon,
                                                 const QString& title, const QString& text,
                                                 QMessageBox::StandardButtons buttons) {
    // A lone carriage return separates lines in the program's texts.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(icon, title, shown, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::optional<QString> UserDialogs::saveFileName(QWidget* parent, const SaveRequest& request) {
    QFileDialog dialog(parent, request.title, QString(), request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    // The dialog itself asks before replacing a file and only accepts existing folders.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

bool UserDialogs::choosePrinter(QWidget* parent, QPrinter& printer, bool selectionOnly) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, selectionOnly);
    dialog.setPrintRange(selectionOnly ? QAbstractPrintDialog::Selection
                                       : QAbstractPrintDialog::AllPages);
    return dialog.exec() == QDialog::Accepted;
}

UserDialogs& UserDialogs::current() {
    static UserDialogs real;
    return g_installed ? *g_installed : real;
}

void UserDialogs::install(UserDialogs* dialogs) { g_installed = dialogs; }

void Inform(QWidget* parent, const QString& text) {
    UserDialogs::current().message(parent, QMessageBox::Information, modHelp::ApplicationTitle,
                                   text, QMessageBox::Ok);
}
