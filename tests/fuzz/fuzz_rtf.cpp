// Any text through the rich-text writer: the file stays 7-bit, its braces
// balance, and reading it back gives the text exactly, addresses included.
#include <QGuiApplication>
#include <QPageSize>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdlib>

#include "report/rtfwriter.h"

namespace {

// What a byte of code page 1252 stands for.
QChar FromCp1252(int byte) {
    static constexpr char16_t high[32] = {
        0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    return byte >= 0x80 && byte < 0xA0 ? QChar(high[byte - 0x80]) : QChar(byte);
}

// Reads back the subset of RTF the writer produces: the body's text only.
QString ReadBack(const QByteArray& rtf) {
    QString text;
    const qsizetype body = rtf.indexOf("\\viewkind4");
    if (body < 0) return QStringLiteral("<no body>");
    int skip = 0;  // characters to skip after \uN (the writer uses \uc1)
    for (qsizetype i = body; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '{' && rtf.mid(i, 3) == "{\\*") {
            // A destination readers skip (a link's address): to its closing brace.
            int depth = 0;
            for (; i < rtf.size(); ++i) {
                if (rtf[i] == '\\')
                    ++i;
                else if (rtf[i] == '{')
                    ++depth;
                else if (rtf[i] == '}' && --depth == 0)
                    break;
            }
            continue;
        }
        if (c == '{' || c == '}' || c == '\n') continue;
        if (c != '\\') {
            if (skip > 0) {
                --skip;
                continue;
            }
            text += QLatin1Char(c);
            continue;
        }
        const char next = i + 1 < rtf.size() ? rtf[i + 1] : 0;
        if (next == '\\' || next == '{' || next == '}') {
            text += QLatin1Char(next);
            ++i;
            continue;
        }
        if (next == '\'') {
            const int code = rtf.mid(i + 2, 2).toInt(nullptr, 16);
            i += 3;
            if (skip > 0) {
                --skip;
                continue;
            }
            text += FromCp1252(code);
            continue;
        }
        // A control word, an optional number, an optional blank delimiter.
        qsizetype j = i + 1;
        while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
        const QByteArray word = rtf.mid(i + 1, j - i - 1);
        qsizetype k = j;
        if (k < rtf.size() && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k]))))
            ++k;
        while (k < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[k]))) ++k;
        const QByteArray number = rtf.mid(j, k - j);
        if (k < rtf.size() && rtf[k] == ' ') ++k;
        i = k - 1;
        if (word == "par")
            text += QLatin1Char('\n');
        else if (word == "tab")
            text += QLatin1Char('\t');
        else if (word == "line")
            text += QChar(QChar::LineSeparator);
        else if (word == "u") {
            text += QChar(char16_t(static_cast<std::int16_t>(number.toInt())));
            skip = 1;
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char arg0[] = "fuzz_rtf";
    static char* argv[] = {arg0, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;

    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat label;
    label.setFontWeight(QFont::Bold);
    label.setForeground(QColor(128, 0, 0));
    QTextCharFormat value;
    value.setForeground(QColor(0, 0, 0));
    cursor.insertText(QStringLiteral("Name: "), label);
    cursor.insertText(input, value);

    const QByteArray rtf = report::ToRtf(doc, QPageSize(QPageSize::A4));
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(rtf[i]);
        if (c >= 0x80) std::abort();  // never anything but 7-bit
        if (c == '\\')
            ++i;
        else if (c == '{')
            ++depth;
        else if (c == '}' && --depth < 0)
            std::abort();
    }
    if (depth != 0) std::abort();

    QString expected = doc.toRawText();
    expected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    if (ReadBack(rtf) != expected) std::abort();
    return 0;
}
