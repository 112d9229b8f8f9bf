// Writes a text document as Rich Text Format: one font table, one colour
// table, bold and colour runs and paragraph breaks. Readable by LibreOffice,
// unrtf and pandoc alike.
#pragma once

#include <QByteArray>

class QTextDocument;

namespace report {

QByteArray ToRtf(const QTextDocument& document);

// The text in RTF's own escapes: 7-bit ASCII as it is, backslash and braces
// escaped, a blank after a blank kept apart by an empty group, everything else as \uN\'3f (past
// U+FFFF as its surrogate pair).
QByteArray EscapeRtfText(const QString& text);

}  // namespace report
