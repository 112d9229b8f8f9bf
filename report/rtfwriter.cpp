#include "report/rtfwriter.h"

#include <QList>
#include <QPageSize>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <algorithm>
#include <cmath>

#include "report/modrtb.h"

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

// The byte code page 1252 holds a character as, or 0 when it has none.
unsigned char Cp1252Byte(char16_t c) {
    if (c >= 0xA0 && c <= 0xFF) return static_cast<unsigned char>(c);
    // 0x80 to 0x9F; the five unused bytes are 0.
    static constexpr char16_t high[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (int i = 0; i < 32; ++i)
        if (c != 0 && high[i] == c) return static_cast<unsigned char>(0x80 + i);
    return 0;
}

QByteArray Hex(unsigned char byte) {
    return "\\'" + QByteArray::number(byte, 16).rightJustified(2, '0');
}

// The addresses that open from the report window, as positions in the document.
QList<modRTB::Link> OpeningLinks(const QTextDocument& document) {
    QList<modRTB::Link> links;
    for (const modRTB::Link& link : modRTB::FindLinks(document.toRawText()))
        if (link.length <= modRTB::MaxLinkLength && modRTB::LinkUrl(link.text).isValid())
            links.append(link);
    return links;
}

// The paper's width and height in twips, from the unit it is defined in, so
// A4 and Letter come out as word processors write them.
QByteArray PaperSize(const QPageSize& paper) {
    const bool inches = paper.definitionUnits() == QPageSize::Inch;
    const QSizeF size = paper.size(inches ? QPageSize::Inch : QPageSize::Millimeter);
    const double twips = inches ? 1440 : 1440 / 25.4;
    return "\\paperw" + QByteArray::number(qRound(size.width() * twips)) + "\\paperh" +
           QByteArray::number(qRound(size.height() * twips));
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
            out += Hex(static_cast<unsigned char>(c));
        } else if (c == ' ' && i > 0 && text.at(i - 1) == QLatin1Char(' ')) {
            // Some readers fold a run of blanks into one; an empty group
            // between them keeps every blank and means nothing else.
            out += "{} ";
        } else if (c < 0x80) {
            out += char(c);
        } else if (const unsigned char byte = Cp1252Byte(c)) {
            // As word processors write it; readers that know no Unicode read it too.
            out += Hex(byte);
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

QByteArray ToRtf(const QTextDocument& document, const QPageSize& paper) {
    Tables tables;
    QByteArray body;
    bool first = true;
    const QList<modRTB::Link> links = OpeningLinks(document);
    qsizetype nextLink = 0;
    bool inLink = false;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!first) body += "\\par\n";
        first = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const QTextCharFormat format = fragment.charFormat();
            QByteArray style = "\\f" + QByteArray::number(tables.Font(FamilyOf(format, document)));
            style += "\\fs" + QByteArray::number(qRound(SizeOf(format, document) * 2));
            style += format.fontWeight() >= QFont::Bold ? "\\b" : "\\b0";
            style += format.fontItalic() ? "\\i" : "\\i0";
            style += format.fontUnderline() ? "\\ul" : "\\ulnone";
            style += "\\cf" + QByteArray::number(tables.Colour(ColourOf(format)));
            style += ' ';
            // The fragment in pieces that each lie wholly inside or outside an
            // address; an address is a field whose result keeps the styles.
            const QString text = fragment.text();
            const int start = fragment.position();
            for (int at = 0; at < text.size();) {
                int end = int(text.size());
                if (inLink) {
                    const modRTB::Link& link = links[nextLink];
                    end = std::min(end, link.start + link.length - start);
                } else {
                    // An address that began in a fragment left out is left out too.
                    while (nextLink < links.size() && links[nextLink].start < start + at)
                        ++nextLink;
                }
                if (!inLink && nextLink < links.size()) {
                    const modRTB::Link& link = links[nextLink];
                    if (link.start == start + at) {
                        body += "{\\field{\\*\\fldinst HYPERLINK \"";
                        body += EscapeRtfText(
                            QString::fromLatin1(modRTB::LinkUrl(link.text).toEncoded()));
                        body += "\"}{\\fldrslt ";
                        inLink = true;
                        end = std::min(end, link.start + link.length - start);
                    } else if (link.start > start + at) {
                        end = std::min(end, link.start - start);
                    }
                }
                body += style;
                // Line separators inside a paragraph become line breaks.
                const QStringList lines = text.mid(at, end - at).split(QChar::LineSeparator);
                for (qsizetype l = 0; l < lines.size(); ++l) {
                    if (l > 0) body += "\\line ";
                    body += EscapeRtfText(lines[l]);
                }
                at = end;
                if (inLink && start + at == links[nextLink].start + links[nextLink].length) {
                    // Closing the group restores the styles from before it;
                    // what follows, paragraph breaks included, keeps the link's.
                    body += "}}" + style;
                    inLink = false;
                    ++nextLink;
                }
            }
        }
    }
    if (inLink) body += "}}";

    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    if (tables.fonts.isEmpty()) tables.Font(document.defaultFont().family());
    for (qsizetype i = 0; i < tables.fonts.size(); ++i)
        rtf += "{\\f" + QByteArray::number(i) + "\\fswiss\\fcharset0 " + FontName(tables.fonts[i]) +
               ";}";
    rtf += "}\n{\\colortbl;";
    for (const QColor& c : tables.colours)
        rtf += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) +
               "\\blue" + QByteArray::number(c.blue()) + ';';
    rtf += "}\n" + PaperSize(paper) + "\n\\viewkind4\\pard\\plain ";
    rtf += body;
    rtf += "\n}\n";
    return rtf;
}

}  // namespace report
