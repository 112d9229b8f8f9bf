#include "report/reportprint.h"

#include <QFile>
#include <QFontMetricsF>
#include <QLocale>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>

#include "report/modrtb.h"

Q_GUI_EXPORT int qt_defaultDpiY();

namespace report {
namespace {

// A blank line between entries becomes space below the line before it: the
// same gap on paper, but one that a page break swallows, where a blank line
// would start the next page one line down. The blank line that closes the
// report goes the same way, so a page filled to its last line is not
// followed by one that holds only its number.
void BlankLinesAsSpacing(QTextDocument& document, QPaintDevice* device) {
    QTextBlock block = document.begin();
    while (block.isValid()) {
        const QTextBlock next = block.next();
        if (!next.isValid() || !next.text().isEmpty()) {
            block = next;
            continue;
        }
        const QFontMetricsF metrics(next.charFormat().font(), device);
        // Margins are laid out in pixels of the screen, then scaled to the printer.
        QTextBlockFormat format = block.blockFormat();
        format.setBottomMargin(format.bottomMargin() +
                               metrics.height() * qt_defaultDpiY() / device->logicalDpiY());
        QTextCursor cursor(block);
        cursor.setBlockFormat(format);
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.deleteChar();  // the blank line's paragraph break
    }
}

// The addresses that are links on screen and in the rich-text file are links
// in a PDF too: Qt's PDF writer makes a link of each anchor it draws. Their
// look is left as it is, so the page looks as before.
void AddressesAsAnchors(QTextDocument& document) {
    for (const modRTB::Link& link : modRTB::FindLinks(document.toPlainText())) {
        if (link.length > modRTB::MaxLinkLength) continue;
        const QUrl url = modRTB::LinkUrl(link.text);
        if (!url.isValid()) continue;
        QTextCursor cursor(&document);
        cursor.setPosition(link.start);
        cursor.setPosition(link.start + link.length, QTextCursor::KeepAnchor);
        QTextCharFormat anchor;
        anchor.setAnchor(true);
        anchor.setAnchorHref(url.toString(QUrl::FullyEncoded));
        cursor.mergeCharFormat(anchor);
    }
}

}  // namespace

QPageSize PaperSizeFor(const std::optional<QPageSize>& printerDefault, const QLocale& locale) {
    if (printerDefault && printerDefault->isValid()) return *printerDefault;
    const QLocale::Territory territory = locale.territory();
    if (territory == QLocale::UnitedStates || territory == QLocale::Canada)
        return QPageSize(QPageSize::Letter);
    return QPageSize(QPageSize::A4);
}

QPageSize ReportPaperSize() {
    // Asking the print system costs 4 to 12 ms with a local CUPS server, more
    // with a slow one: asked once, while the program is idle, and not while
    // the user waits for Save.
    static const QPageSize paper = [] {
        std::optional<QPageSize> fromPrinter;
        const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
        if (!printer.isNull()) fromPrinter = printer.defaultPageSize();
        return PaperSizeFor(fromPrinter, QLocale::system());
    }();
    return paper;
}

void PrintReport(const QTextDocument& document, QPrinter& printer) {
    const std::unique_ptr<QTextDocument> copy(document.clone());
    copy->setDefaultFont(document.defaultFont());
    BlankLinesAsSpacing(*copy, &printer);
    AddressesAsAnchors(*copy);
    const QString title = document.metaInformation(QTextDocument::DocumentTitle);
    if (printer.docName().isEmpty() && !title.isEmpty()) printer.setDocName(title);
    copy->print(&printer);
}

std::optional<QByteArray> ReportPdf(const QTextDocument& document, const QPageSize& paper) {
    // Qt's PDF printer writes only to a named file: a private scratch folder,
    // read back whole.
    const QTemporaryDir scratch;
    if (!scratch.isValid()) return std::nullopt;
    const QString path = scratch.filePath(QStringLiteral("report.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(paper);
        PrintReport(document, printer);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray pdf = file.readAll();
    // A PDF cut short (a full disk) lacks its closing mark.
    if (!pdf.startsWith("%PDF-") || !pdf.trimmed().endsWith("%%EOF")) return std::nullopt;
    return pdf;
}

}  // namespace report
