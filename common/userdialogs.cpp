#include "common/userdialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPixmapCache>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

#include "common/vendorpages.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

UserDialogs* g_installed = nullptr;
QString g_lastSaveFolder;  // for this run only: the dialog keeps no history on disk

QString FileNameFor(const QString& docName, const QString& suffix);

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                           const QString& title, const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton byDefault) {
    // A lone carriage return separates lines in the program's texts.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(icon, title, shown, buttons, parent);
    // Names and paths come from the user and the file system: a text that
    // happens to start with a tag must never turn into a link or a picture.
    box.setTextFormat(Qt::PlainText);
    if (byDefault != QMessageBox::NoButton) box.setDefaultButton(byDefault);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

// Qt's own save dialog with the checks it lacks: the folder must exist, and
// the default extension is added only to a name that is not an existing
// file, before the question about replacing one.
class SaveDialog : public QFileDialog {
  public:
    SaveDialog(QWidget* parent, const UserDialogs::SaveRequest& request)
        : QFileDialog(
              parent, request.title, QString(),
              (QStringList{request.filter} + request.otherFilters).join(QStringLiteral(";;"))),
          m_filter(request.filter),
          m_suffix(request.defaultSuffix) {
        // The checks below live in accept(), which a platform's native
        // dialog would bypass.
        setOption(QFileDialog::DontUseNativeDialog);
        setOption(QFileDialog::DontConfirmOverwrite);
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        // Not the folder the program was started from, which is the
        // program's own or anywhere at all.
        setDirectory(SaveDialogFolder());
    }

    const QString& chosen() const { return m_chosen; }

    void accept() override {
        const QStringList files = selectedFiles();
        if (files.isEmpty()) return;
        const QString typed = files.constFirst();
        if (QFileInfo(typed).isDir()) {
            QFileDialog::accept();  // opens the folder, as typing a folder's name does
            return;
        }
        const QString folder = QFileInfo(typed).absolutePath();
        if (!QFileInfo(folder).isDir()) {
            ShowMessageBox(this, QMessageBox::Warning, windowTitle(),
                           QStringLiteral("The folder \"%1\" does not exist.\n"
                                          "Please choose an existing folder.")
                               .arg(QDir::toNativeSeparators(folder)),
                           QMessageBox::Ok, QMessageBox::Ok);
            return;
        }
        const QString target = WithDefaultSuffix(typed, SuffixOfChosenType());
        const QFileInfo info(target);
        if (info.isDir()) {
            setDirectory(target);
            return;
        }
        if (info.exists() &&
            ShowMessageBox(this, QMessageBox::Warning, windowTitle(),
                           QStringLiteral("%1 already exists.\nDo you want to replace it?")
                               .arg(info.fileName()),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return;
        m_chosen = target;
        QDialog::accept();
    }

  private:
    // The first file type adds the request's extension; any other its own.
    QString SuffixOfChosenType() const {
        const QString chosen = selectedNameFilter();
        if (chosen == m_filter) return m_suffix;
        static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
        return pattern.match(chosen).captured(1);
    }

    QString m_filter;
    QString m_suffix;
    QString m_chosen;
};

// Each opening of the file dialog (and its message boxes) draws its icons
// from new pixmaps, and Qt caches what it renders from them under keys that
// no later opening will ask for again. Measured over 200 save dialogs after
// 220 more (tst_soak): with the cache bounded but kept, the program grew by
// 1.0 to 1.7 MB, with the heap handed back alone by 1.1 to 1.3 MB; emptying
// the cache and handing back the heap keeps it flat. The style draws its
// frames again once after that.
void ForgetWhatTheDialogLeft() {
    QPixmapCache::clear();
#ifdef __GLIBC__
    ::malloc_trim(0);
#endif
}

// Qt's file dialog, ours and the one behind the print dialog's file button,
// keeps every folder the user saved in, its sidebar and its view in the
// user's QtProject.conf, and writes it when it closes behind a lock that it
// waits for without end. The program keeps no such record: Qt's user
// settings are sent where nothing can be read or created (a path below a
// device file), so the dialog starts as new each run and writes nothing.
void KeepDialogSettingsAway() {
#ifdef Q_OS_UNIX
    static const bool once = [] {
        for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
        return true;
    }();
    Q_UNUSED(once);
#endif
}

// Hides "Pages from ... to" and "Pages" of Qt's print dialog. The names are
// looked up inside the range group only: the printer group has a "label_3"
// of its own ("Type:"), and hiding that one left the range's "to" standing.
void HidePageRangeControls(QPrintDialog& dialog) {
    auto* range = dialog.findChild<QWidget*>(QStringLiteral("gbPrintRange"));
    if (!range) return;
    for (const char* name :
         {"printRange", "from", "label_3", "to", "pagesRadioButton", "pagesLineEdit"})
        if (auto* part =
                range->findChild<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly))
            part->hide();
}

// Qt's print dialog leaves "Pages from ... to" and "Pages" open to choose
// even with the page-range option off; they would be ignored, since only the
// selection in the report decides what is printed, so they are not offered.
class PrintDialog : public QPrintDialog {
  public:
    using QPrintDialog::QPrintDialog;

  protected:
    void showEvent(QShowEvent* event) override {
        QPrintDialog::showEvent(event);
        if (!testOption(QAbstractPrintDialog::PrintPageRange)) HidePageRangeControls(*this);
    }
};

// A document's name as a file name: no folder separators, no characters
// other systems refuse, and short enough for any file system.
QString FileNameFor(const QString& docName, const QString& suffix) {
    QString name;
    for (QChar c : docName)
        name += c.category() == QChar::Other_Control || QStringLiteral("/\\:*?\"<>|").contains(c)
                    ? QLatin1Char('_')
                    : c;
    name = name.trimmed();
    if (name.startsWith(QLatin1Char('.'))) name.replace(0, 1, QLatin1Char('_'));
    while ((name + suffix).toUtf8().size() > 250) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate()) name.chop(1);
    }
    return name.isEmpty() ? QString() : name + suffix;
}

// Print to File suggests "print.pdf" (on X11; elsewhere no name at all). The
// document's own name is suggested instead, in the folder Qt chose. Only the
// dialog's field is filled: setting the printer's output file would switch
// its destination from the printer to a file.
void SuggestOutputFileName(QPrintDialog& dialog, const QPrinter& printer) {
    if (!printer.outputFileName().isEmpty()) return;
    const QString name = FileNameFor(printer.docName(), QStringLiteral(".pdf"));
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
    if (name.isEmpty() || !field) return;
    QString folder = field->text();
    folder.truncate(folder.lastIndexOf(QLatin1Char('/')) + 1);
    if (folder.isEmpty()) folder = QDir::homePath() + QLatin1Char('/');
    field->setText(folder + name);
}

}  // namespace

void RememberSavedIn(const QString& savedFile) {
    g_lastSaveFolder = QFileInfo(savedFile).absolutePath();
}

QString SaveDialogFolder() {
    if (!g_lastSaveFolder.isEmpty() && QFileInfo(g_lastSaveFolder).isDir()) return g_lastSaveFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

QString WithDefaultSuffix(const QString& path, const QString& suffix) {
    const QFileInfo info(path);
    // An existing file keeps the name it was chosen under.
    if (suffix.isEmpty() || !info.suffix().isEmpty() || info.exists()) return path;
    return path.endsWith(QLatin1Char('.')) ? path + suffix : path + QLatin1Char('.') + suffix;
}

QMessageBox::StandardButton UserDialogs::message(QWidget* parent, QMessageBox::Icon icon,
                                                 const QString& title, const QString& text,
                                                 QMessageBox::StandardButtons buttons) {
    return ShowMessageBox(parent, icon, title, text, buttons, QMessageBox::NoButton);
}

std::optional<QString> UserDialogs::saveFileName(QWidget* parent, const SaveRequest& request) {
    KeepDialogSettingsAway();
    std::optional<QString> chosen;
    {
        SaveDialog dialog(parent, request);
        if (dialog.exec() == QDialog::Accepted && !dialog.chosen().isEmpty()) {
            chosen = dialog.chosen();
            if (request.chosenFilter) *request.chosenFilter = dialog.selectedNameFilter();
        }
    }
    ForgetWhatTheDialogLeft();
    return chosen;
}

bool UserDialogs::choosePrinter(QWidget* parent, QPrinter& printer, bool selectionOnly) {
    KeepDialogSettingsAway();
    PrintDialog dialog(&printer, parent);
    SuggestOutputFileName(dialog, printer);
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
