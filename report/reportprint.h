// Printing the report, and the same printout as a PDF file.
#pragma once

#include <QByteArray>
#include <QPageSize>
#include <QString>

#include <optional>

class QLocale;
class QPrinter;
class QTextDocument;

namespace report {

// The paper the report is laid out for: the default printer's own paper,
// otherwise Letter where the locale uses it (United States, Canada) and A4
// everywhere else.
QPageSize PaperSizeFor(const std::optional<QPageSize>& printerDefault, const QLocale& locale);
// The paper the report is laid out for, asked of the print system once per run.
QPageSize ReportPaperSize();

// Prints the document as the report window prints it: the document's title
// names the job, and the blank lines that close the report print no page of
// their own.
void PrintReport(const QTextDocument& document, QPrinter& printer);

// The report printed into PDF bytes on the given paper, as it prints; no
// value when the PDF could not be made whole.
std::optional<QByteArray> ReportPdf(const QTextDocument& document, const QPageSize& paper);

}  // namespace report
