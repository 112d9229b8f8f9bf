#include "report/frmsave.h"

#include <algorithm>

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPrinter>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include "common/ending.h"
#include "common/fileio.h"
#include "common/placement.h"
#include "common/userdialogs.h"
#include "common/vendorpages.h"
#include "common/windowlook.h"
#include "engine/reading.h"
#include "report/modrtb.h"
#include "report/reportcomposer.h"
#include "report/reportprint.h"
#include "report/rtfwriter.h"
#include "ui_frmsave.h"

#include <variant>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#endif

namespace {
// Saving and printing the report; quiet unless QT_LOGGING_RULES asks.
Q_LOGGING_CATEGORY(lcReport, "lunvex.report", QtCriticalMsg)
}  // namespace

const QString frmSave::SaveFilter = QStringLiteral("Rich Text Format (*.rtf)");
const QString frmSave::SaveSuffix = QStringLiteral("rtf");
const QString frmSave::PdfFilter = QStringLiteral("PDF (*.pdf)");

frmSave::frmSave(const CompatibilityRunRecord& run, QWidget* parent, Links links)
    : QDialog(parent), ui(std::make_unique<Ui::frmSave>()) {
    ui->setupUi(this);
    modHelp::RegisterLoadedWindow(this);
    ApplyWindowLook(this);
    setFixedSize(515, 505);

    ui->Label1->setText(QStringLiteral("Click Here To Visit ") + modHelp::VendorHost() +
                        QStringLiteral(" Now"));
    // The two top links are sized to their text and stay centred over the report.
    for (LinkLabel* label : {ui->Label14, ui->Label1}) {
        label->setFont(VerdanaFont(8.25, false, true));
        const int width = label->sizeHint().width();
        label->setGeometry((this->width() - width) / 2, label->y(), width, label->height());
    }
    ui->Label16->setFont(VerdanaFont(8.25, true, true));
    QFont sansSerif(QStringLiteral("MS Sans Serif"));
    sansSerif.setStyleHint(QFont::SansSerif);
    sansSerif.setPointSizeF(8.25);
    ui->cmdSave->setFont(sansSerif);
    ui->cmdPrint->setFont(VerdanaFont(8.25));
    ui->RTB->setFont(VerdanaFont(report::BasePointSize));
    ui->RTB->setAccessibleName(QStringLiteral("Compatibility report"));

    connect(ui->cmdSave, &QPushButton::clicked, this, &frmSave::cmdSave_Click);
    connect(ui->cmdPrint, &QPushButton::clicked, this, &frmSave::cmdPrint_Click);
    modHelp::OpenPageOn(ui->Label14, modHelp::PageKey::HomePage);
    modHelp::OpenPageOn(ui->Label1, modHelp::PageKey::HomePage);
    modHelp::OpenPageOn(ui->Label16, modHelp::PageKey::FullyBranded);

    // Load: links first, then the report, composed once.
    report::ComposeReport(*ui->RTB->document(), run);
    if (links == Links::Now) {
        modRTB::StartLinkDetection(ui->RTB, this);
        m_linksStarted = true;
    }
    ui->RTB->moveCursor(QTextCursor::Start);
    ui->RTB->setFocus();
}

frmSave::~frmSave() {
    if (m_linksStarted) modRTB::StopLinkDetection();
}

void frmSave::showEvent(QShowEvent* event) {
    if (!m_linksStarted) {
        modRTB::StartLinkDetection(ui->RTB, this);
        m_linksStarted = true;
    }
    QDialog::showEvent(event);
}

void frmSave::ShowModal(frmSave* window) {
    // On the heap: should the program end meanwhile, exec() notices.
    window->setAttribute(Qt::WA_DeleteOnClose);
    CentreOverOwner(window, CentreOf::Owner);
    window->exec();
}

UserDialogs& frmSave::CD() const { return UserDialogs::current(); }

void frmSave::closeEvent(QCloseEvent* event) {
    // Its save or print dialog still runs over it.
    if (modHelp::RefuseCloseUnderModal(this, event)) return;
    if (m_linksStarted) modRTB::StopLinkDetection();
    QDialog::closeEvent(event);
}

QString WithReportExtension(const QString& path) {
    return WithDefaultSuffix(path, frmSave::SaveSuffix);
}

namespace {

std::optional<uint> g_linkUserStandIn;

// A link in a folder that others may write to (such as /tmp) may point
// anywhere, into the user's own files too: the report is written through it
// only when the user made it. Whoever owns the folder: in a shared folder of
// another user's, that user's links are as foreign as anyone's. Every link
// on the way counts, a folder's too, followed as the system follows them.
std::optional<QString> PlantedLink(const QString& path) {
#ifdef Q_OS_UNIX
    const uid_t user = g_linkUserStandIn ? uid_t(*g_linkUserStandIn) : ::geteuid();
    QStringList pending = QFileInfo(path).absoluteFilePath().split(QLatin1Char('/'));
    QString resolved;  // the way so far, with no link left in it
    int links = 0;
    while (!pending.isEmpty()) {
        const QString part = pending.takeFirst();
        if (part.isEmpty() || part == QLatin1String(".")) continue;
        if (part == QLatin1String("..")) {
            resolved.truncate(std::max<qsizetype>(0, resolved.lastIndexOf(QLatin1Char('/'))));
            continue;
        }
        const QString next = resolved + QLatin1Char('/') + part;
        const QByteArray name = QFile::encodeName(next);
        struct stat link {};
        // Past a missing part nothing exists to be a link; the write fails
        // there, or a loop of links fails it.
        if (::lstat(name.constData(), &link) != 0 || !S_ISLNK(link.st_mode) || ++links > 40) {
            resolved = next;
            continue;
        }
        struct stat folder {};
        const QByteArray folderName =
            QFile::encodeName(resolved.isEmpty() ? QStringLiteral("/") : resolved);
        const bool shared = ::stat(folderName.constData(), &folder) == 0 &&
                            (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0;
        if (shared && link.st_uid != user)
            return QStringLiteral(
                "This name is, or passes through, a link that another user made in a shared "
                "folder; the report was not written through it.");
        QByteArray target(PATH_MAX, '\0');
        const ssize_t size = ::readlink(name.constData(), target.data(), target.size());
        if (size <= 0) return std::nullopt;
        target.truncate(size);
        if (target.startsWith('/')) resolved.clear();
        pending = QFile::decodeName(target).split(QLatin1Char('/')) + pending;
    }
#else
    Q_UNUSED(path);
#endif
    return std::nullopt;
}

}  // namespace

void SetLinkUserForTesting(std::optional<uint> user) { g_linkUserStandIn = user; }

std::optional<QString> WriteReportFile(const QString& path, const QByteArray& rtf) {
    if (auto refused = PlantedLink(path)) return refused;
    // A device or pipe is written to as it is; replacing it with a regular
    // file would destroy it.
    QFile device;
    QString reason;
    switch (fileio::OpenDeviceToWrite(device, path, &reason)) {
        case fileio::Device::Opened:
            return fileio::WriteAll(device, rtf);
        case fileio::Device::Refused:
            return reason;
        case fileio::Device::None:
            break;
    }
    // Through a temporary file, so an existing file is replaced whole or not
    // at all; unbuffered, so that a short write shows as one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
    if (const auto failure = fileio::WriteAll(file, rtf)) {
        file.cancelWriting();
        return failure;
    }
    if (!file.commit()) return file.errorString();
    return std::nullopt;
}

namespace {

// The report file's contents: rich text, or with the PDF type chosen or a
// ".pdf" name the report as it prints. Answers the reason when it fails.
std::variant<QByteArray, QString> ReportFileContents(const QTextDocument& report, bool pdf) {
    if (!pdf) return report::ToRtf(report, report::ReportPaperSize());
    if (auto bytes = report::ReportPdf(report, report::ReportPaperSize())) return *bytes;
    return QStringLiteral("The PDF could not be written.");
}

}  // namespace

void frmSave::cmdSave_Click() {
    if (modHelp::BlockedByModal(this)) return;  // a dialog of its own is still open
    QString type;
    // The name field opens empty, as the program has always had it.
    const std::optional<QString> chosen = CD().saveFileName(
        this, {modHelp::ApplicationTitle, SaveFilter, SaveSuffix, {PdfFilter}, &type});
    if (!chosen || chosen->isEmpty()) return;  // cancelled: nothing written, nothing said
    const bool pdf = type == PdfFilter || QFileInfo(*chosen).suffix().compare(
                                              QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
    const QString path =
        pdf ? WithDefaultSuffix(*chosen, QStringLiteral("pdf")) : WithReportExtension(*chosen);
    auto contents = ReportFileContents(*ui->RTB->document(), pdf);
    std::optional<QString> failure;
    if (const auto* bytes = std::get_if<QByteArray>(&contents))
        failure = WriteReportFile(path, *bytes);
    else
        failure = std::get<QString>(contents);
    if (!failure) RememberSavedIn(path);
    if (failure) {
        qCWarning(lcReport, "cannot save the report as %s: %s", qUtf8Printable(path),
                  qUtf8Printable(*failure));
        // Unlike a cancel, a failed write must not look like a saved report.
        CD().message(this, QMessageBox::Warning, modHelp::ApplicationTitle,
                     QStringLiteral("The report could not be saved as \"%1\".\n%2")
                         .arg(QDir::toNativeSeparators(path), *failure),
                     QMessageBox::Ok);
    }
}

namespace {

// Qt reports a PDF that the disk could not hold as printed: the file is cut
// short (no end-of-file mark) and no reader opens it.
bool PrintFailed(const QPrinter& printer) {
    if (printer.printerState() == QPrinter::Error) return true;
    const QString path = printer.outputFileName();
    if (printer.outputFormat() != QPrinter::PdfFormat || !QFileInfo(path).isFile()) return false;
    QFile pdf(path);
    if (!pdf.open(QIODevice::ReadOnly) || pdf.size() < 64) return true;
    pdf.seek(std::max<qint64>(0, pdf.size() - 1024));
    return !pdf.readAll().contains("%%EOF");
}

// Tells the user and takes away a broken file, so it cannot pass for a report.
void ReportPrintFailure(QWidget* parent, UserDialogs& dialogs, const QPrinter& printer) {
    const QString path = printer.outputFileName();
    qCWarning(lcReport, "cannot print the report%s%s", path.isEmpty() ? "" : " to ",
              qUtf8Printable(path));
    QString text = QStringLiteral("The report could not be printed.");
    if (!path.isEmpty()) {
        text = QStringLiteral(
                   "The report could not be printed to \"%1\".\n"
                   "The file could not be written whole (the disk may be full).")
                   .arg(QDir::toNativeSeparators(path));
        if (QFileInfo(path).isFile()) QFile::remove(path);
    }
    dialogs.message(parent, QMessageBox::Warning, modHelp::ApplicationTitle, text, QMessageBox::Ok);
}

}  // namespace

void frmSave::cmdPrint_Click() {
    if (modHelp::BlockedByModal(this)) return;
    const QTextCursor selection = ui->RTB->textCursor();
    const bool hasSelection = selection.hasSelection();
    QPrinter printer(QPrinter::HighResolution);
    // Named before the dialog, which suggests a file name from it.
    printer.setDocName(ui->RTB->document()->metaInformation(QTextDocument::DocumentTitle));
    if (!CD().choosePrinter(this, printer, hasSelection)) return;
    // Printing to a file opens it as it is named: the same guard as Save.
    if (const QString file = printer.outputFileName(); !file.isEmpty()) {
        if (const auto refused = PlantedLink(file)) {
            qCWarning(lcReport, "cannot print the report to %s: %s", qUtf8Printable(file),
                      qUtf8Printable(*refused));
            CD().message(this, QMessageBox::Warning, modHelp::ApplicationTitle,
                         QStringLiteral("The report could not be printed to \"%1\".\n%2")
                             .arg(QDir::toNativeSeparators(file), *refused),
                         QMessageBox::Ok);
            return;
        }
    }
    // Only the selection in the report decides what is printed, whatever
    // range the dialog was set to.
    printer.setPrintRange(QPrinter::AllPages);
    if (hasSelection) {
        QTextDocument part;
        part.setDefaultFont(ui->RTB->document()->defaultFont());
        QTextCursor(&part).insertFragment(selection.selection());
        report::PrintReport(part, printer);
    } else {
        report::PrintReport(*ui->RTB->document(), printer);
    }
    if (PrintFailed(printer)) ReportPrintFailure(this, CD(), printer);
}
