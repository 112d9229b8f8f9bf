// Every message box and file or printer dialog of the program goes through
// here, so tests can answer them without a person.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <optional>

class QPrinter;
class QWidget;

class UserDialogs {
  public:
    struct SaveRequest {
        QString title;
        QString filter;         // one entry, e.g. "Rich Text Format (*.rtf)"
        QString defaultSuffix;  // added to a name typed without one
        // Further file types offered after it, e.g. "PDF (*.pdf)"; with one
        // of them chosen, its own extension is the one added.
        QStringList otherFilters = {};
        QString* chosenFilter = nullptr;  // if given, receives the file type chosen
    };

    virtual ~UserDialogs() = default;

    // A message box with the given icon, title, text and buttons; answers the button pressed.
    virtual QMessageBox::StandardButton message(QWidget* parent, QMessageBox::Icon icon,
                                                const QString& title, const QString& text,
                                                QMessageBox::StandardButtons buttons);
    // The file-save dialog; no value when cancelled.
    virtual std::optional<QString> saveFileName(QWidget* parent, const SaveRequest& request);
    // The printer dialog; false when cancelled. The printer is set up on success.
    virtual bool choosePrinter(QWidget* parent, QPrinter& printer, bool selectionOnly);

    // The dialogs in use: the real ones unless a test installed its own.
    static UserDialogs& current();
    // Installs a stand-in (not owned); nullptr restores the real dialogs.
    static void install(UserDialogs* dialogs);
};

// The name with ".suffix" added, unless it has an extension already or names
// an existing file (a device or a file without extension keeps its name).
QString WithDefaultSuffix(const QString& path, const QString& suffix);

// The save dialog opens in the folder the last report was saved in during
// this run, or else in the user's documents folder: told of each file saved.
void RememberSavedIn(const QString& savedFile);
// The folder the save dialog opens in.
QString SaveDialogFolder();

// An information box with one OK button and the application title.
void Inform(QWidget* parent, const QString& text);
