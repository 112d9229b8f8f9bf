#include "report/reportcomposer.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "common/qtext.h"
#include "common/windowlook.h"
#include "engine/reading.h"

namespace report {
namespace {

class Writer {
  public:
    explicit Writer(QTextDocument& document) : m_cursor(&document) {
        const QFont base = VerdanaFont(BasePointSize);
        m_label.setFont(base);
        m_label.setFontWeight(QFont::Bold);
        m_label.setForeground(LabelColour);
        m_value.setFont(base);
        m_value.setFontWeight(QFont::Normal);
        m_value.setForeground(ValueColour);
    }

    void Label(const QString& text) { Insert(text, m_label); }

    // The value, then a line break and a blank line.
    void Value(const QString& text) {
        Insert(text, m_value);
        Insert(QStringLiteral("\n\n"), m_value);
    }

    void Entry(const QString& label, const QString& value) {
        Label(label);
        Value(value);
    }

  private:
    void Insert(QString text, const QTextCharFormat& format) {
        // Line breaks are inserted as the document's own paragraph breaks.
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'));
        m_cursor.insertText(text, format);
    }

    QTextCursor m_cursor;
    QTextCharFormat m_label;
    QTextCharFormat m_value;
};

// A person's block. A person without a profile has no values to read: the
// labels then follow one another on one line, with nothing between them.
void PersonBlock(Writer& w, const PersonReading& person, bool partner) {
    w.Entry(QStringLiteral("Name: "), Q(person.Name));
    w.Entry(QStringLiteral("Date of Birth: "), Q(person.BirthDateText));
    w.Entry(QStringLiteral("Sign: "), Q(person.Sign));
    w.Label(QStringLiteral("Element: "));
    w.Label(Q(person.Element) + QStringLiteral(": "));
    w.Value(Q(person.ElementDescription));

    const zodiac::SignProfile* p = person.Profile ? &*person.Profile : nullptr;
    const auto entry = [&](const char* label, std::string zodiac::SignProfile::*field) {
        w.Label(QString::fromLatin1(label));
        if (p) w.Value(Q(p->*field));
    };
    using P = zodiac::SignProfile;
    entry("Ruling Planet: ", &P::RulingPlanet);
    if (partner) {
        // The partner's block lists the western sign second, under its own label.
        entry("Wester Zodiac Sign: ", &P::WesternZodiacSign);
        entry("Positive Traits: ", &P::PositiveTraits);
    } else {
        entry("Positive Traits: ", &P::PositiveTraits);
        entry("Western Zodiac Sign: ", &P::WesternZodiacSign);
    }
    entry("Negative Traits: ", &P::NegativeTraits);
    entry("Lucky Color: ", &P::LuckyColour);
    entry("Lucky Number: ", &P::LuckyNumber);
    entry("GemStone: ", &P::GemStone);
    entry("Energy: ", &P::Energy);
    entry("Lucky Seasons: ", &P::LuckySeasons);
    entry("Favourable Month: ", &P::LuckyMonth);
    entry("Most Compatible Sign: ", &P::MostCompatibleSign);
    entry("Least Compatible Sign: ", &P::LeastCompatibleSign);
    entry("Famous Persons of this Star Sign are: ", &P::FamousPersons);
}

// The name as it may stand in a title: no control characters, and at most
// MaxBytes bytes of UTF-8, cut between characters with an ellipsis.
QString TitlePart(const QString& name) {
    constexpr qsizetype MaxBytes = 100;
    QString part;
    for (QChar c : name) part += c.category() == QChar::Other_Control ? QLatin1Char(' ') : c;
    if (part.toUtf8().size() <= MaxBytes) return part;
    const QString ellipsis(QChar(0x2026));
    while (!part.isEmpty() && (part + ellipsis).toUtf8().size() > MaxBytes) {
        part.chop(1);
        if (!part.isEmpty() && part.back().isHighSurrogate()) part.chop(1);
    }
    return part + ellipsis;
}

}  // namespace

QString ReportTitle(const QString& user, const QString& partner) {
    return QStringLiteral("Chinese Zodiac Compatibility - ") + TitlePart(user) +
           QStringLiteral(" and ") + TitlePart(partner);
}

void ComposeReport(QTextDocument& document, const CompatibilityRunRecord& run) {
    document.clear();
    document.setDefaultFont(VerdanaFont(BasePointSize));
    document.setMetaInformation(QTextDocument::DocumentTitle,
                                ReportTitle(Q(run.User.Name), Q(run.Partner.Name)));
    Writer w(document);
    PersonBlock(w, run.User, false);
    PersonBlock(w, run.Partner, true);
    const zodiac::CompatibilityResult& pair = run.Result;
    w.Entry(QStringLiteral("Chinese Compatibility Number: "), QString::number(pair.Score));
    w.Entry(QStringLiteral("Chinese Compatibility  Percentage: "), Q(pair.Percentage));
    w.Entry(QStringLiteral("Rating: "), Q(pair.Rating));
    w.Entry(QStringLiteral("Matching Description : "), Q(pair.MatchingDescription));
}

}  // namespace report
