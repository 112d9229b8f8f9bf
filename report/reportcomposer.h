// Composes the report: every entry a bold dark-red label and its value in
// black, each followed by a line break and a blank line.
#pragma once

#include <QColor>
#include <QString>

class QTextDocument;
struct CompatibilityRunRecord;

namespace report {

// The report's base font and its two run styles.
inline constexpr qreal BasePointSize = 9.75;
inline const QColor LabelColour(128, 0, 0);
inline const QColor ValueColour(0, 0, 0);

// What the report is called: its document title, the print job's name and
// the name its PDF is suggested under, e.g. "Chinese Zodiac Compatibility -
// Ann and Bob". Control characters become blanks, and a long name is cut
// short, so the title stays within the 255 bytes a print job's name may hold.
QString ReportTitle(const QString& user, const QString& partner);

// Clears the document and writes the whole report of the reading into it,
// titled after the two persons. The pair's block reads as the results window
// shows it.
void ComposeReport(QTextDocument& document, const CompatibilityRunRecord& run);

}  // namespace report
