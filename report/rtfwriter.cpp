#include "report/rtfwriter.h"

#include <QList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <cmath>

namespace report {
namespace {

// The fonts and colours the document uses, in order of first use.
struct Tables {
    QStringList fonts;
    QList<QColor> colours;

    int Font(const QString& family) {
        qsizetype i = fonts.indexOf(family);
        if (i < 0) {
            fonts.append(family);
            i = fonts.size() - 1;
        }
        return int(i);
    }
    int Colour(const QColor& colour) {
        const QColor rgb = colour.toRgb();
        for (qsizetype i = 0; i < colours.size(); ++i)
            if (colours[i].rgb() == rgb.rgb()) return int(i) + 1;  // index 0 is "auto"
        colours.append(rgb);
        return int(colours.size());
    }
};

QString FamilyOf(const QTextCharFormat& format, const QTextDocument& document) {
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.constFirst().isEmpty()) return families.constFirst();
    return document.defaultFont().family();
}

qreal SizeOf(const QTextCharFormat& format, const QTextDocument& document) {
    const qreal size = format.fontPointSize();
    return size > 0 ? size : document.defaultFont().pointSizeF();
}

QColor ColourOf(const QTextCharFormat& format) {
    return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                            : QColor(Qt::black);
}

QByteArray FontName(const QString& family) {
    // A font name ends at ';' in the table; keep it plain ASCII and escaped.
    QString name = family;
    name.remove(QLatin1Char(';'));
    return EscapeRtfText(name);
}

}  // namespace

QByteArray EscapeRtfText(const QString& text) {
    QByteArray out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += char(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c < 0x20) {
            // Other control characters go out as their code, never raw.
            out += "\\'";
            out += QByteArray::number(int(c), 16).rightJustified(2, '0');
        } else if (c == ' ' && i > 0 && text.at(i - 1) == QLatin1Char(' ')) {
            // Some readers fold a run of blanks into one; an empty group
            // between them keeps every blank and means nothing else.
            out += "{} ";
        } else if (c < 0x80) {
            out += char(c);
        } else {
            // UTF-16 units, each as a signed 16-bit number, with "?" for
            // readers that know no Unicode. A surrogate pair is two units.
            out += "\\u";
            out += QByteArray::number(int(static_cast<std::int16_t>(c)));
            out += "\\'3f";
        }
    }
    return out;
}

QByteArray ToRtf(const QTextDocument& document) {
    Tables tables;
    QByteArray body;
    bool first = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!first) body += "\\par\n";
        first = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const QTextCharFormat format = fragment.charFormat();
            QString text = fragment.text();
            // Line separators inside a paragraph become line breaks.
            const QStringList lines = text.split(QChar::LineSeparator);
            body += "\\f" + QByteArray::number(tables.Font(FamilyOf(format, document)));
            body += "\\fs" + QByteArray::number(qRound(SizeOf(format, document) * 2));
            body += format.fontWeight() >= QFont::Bold ? "\\b" : "\\b0";
            body += format.fontItalic() ? "\\i" : "\\i0";
            body += format.fontUnderline() ? "\\ul" : "\\ulnone";
            body += "\\cf" + QByteArray::number(tables.Colour(ColourOf(format)));
            body += ' ';
            for (qsizetype l = 0; l < lines.size(); ++l) {
                if (l > 0) body += "\\line ";
                body += EscapeRtfText(lines[l]);
            }
        }
    }

    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    if (tables.fonts.isEmpty()) tables.Font(document.defaultFont().family());
    for (qsizetype i = 0; i < tables.fonts.size(); ++i)
        rtf += "{\\f" + QByteArray::number(i) + "\\fswiss\\fcharset0 " + FontName(tables.fonts[i]) +
               ";}";
    rtf += "}\n{\\colortbl;";
    for (const QColor& c : tables.colours)
        rtf += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) +
               "\\blue" + QByteArray::number(c.blue()) + ';';
    rtf += "}\n\\viewkind4\\pard\\plain ";
    rtf += body;
    rtf += "\n}\n";
    return rtf;
}

}  // namespace report
