// Writes a text document as Rich Text Format: one font table, one colour
// table, the paper size, bold and colour runs, paragraph breaks, and each web
// address the report window opens as a hyperlink field. Readable by
// LibreOffice, AbiWord, unrtf and pandoc alike.
#pragma once

#include <QByteArray>

class QPageSize;
class QTextDocument;

namespace report {

QByteArray ToRtf(const QTextDocument& document, const QPageSize& paper);

// The text in RTF's own escapes: 7-bit ASCII as it is, backslash and braces
// escaped, a blank after a blank kept apart by an empty group, what code page
// 1252 holds as its byte (\'xx), everything else as \uN\'3f (past U+FFFF as
// its surrogate pair, N a signed 16-bit number).
QByteArray EscapeRtfText(const QString& text);

}  // namespace report
