#include "report/modrtb.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextEdit>
#include <QUrl>

#include "common/linklabel.h"
#include "common/vendorpages.h"

namespace modRTB {
namespace {

// One character per document position, paragraph breaks included.
QString Plain(const QTextEdit* box) { return box->document()->toRawText(); }

// Watches the box's viewport for presses on a link.
class LinkHandler : public QObject {
  public:
    LinkHandler(QTextEdit* box, QWidget* owner) : QObject(owner), m_box(box) {
        m_links = FindLinks(Plain(box));
        QList<QTextEdit::ExtraSelection> marks;
        for (const Link& link : std::as_const(m_links)) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(box->document());
            mark.cursor.setPosition(link.start);
            mark.cursor.setPosition(link.start + link.length, QTextCursor::KeepAnchor);
            mark.format.setForeground(QColor(0, 0, 255));
            mark.format.setFontUnderline(true);
            marks.append(mark);
        }
        // Shown over the text; the document's own formats stay as composed.
        box->setExtraSelections(marks);
        box->viewport()->installEventFilter(this);
        box->viewport()->setMouseTracking(true);
        ExposeLinks();
    }

    ~LinkHandler() override {
        qDeleteAll(m_spots);
        if (m_box) {
            m_box->viewport()->removeEventFilter(this);
            m_box->setExtraSelections({});
            m_box->viewport()->unsetCursor();
        }
    }

    const QList<Link>& links() const { return m_links; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_box || watched != m_box->viewport()) return false;
        if (event->type() == QEvent::MouseMove) {
            const auto* e = static_cast<QMouseEvent*>(event);
            if (LinkAt(e->position().toPoint()))
                m_box->viewport()->setCursor(Qt::PointingHandCursor);
            else
                m_box->viewport()->setCursor(Qt::IBeamCursor);
        } else if (event->type() == QEvent::MouseButtonPress) {
            const auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() == Qt::LeftButton) {
                if (const Link* link = LinkAt(e->position().toPoint());
                    link && link->length <= MaxLinkLength) {
                    const QUrl url = LinkUrl(link->text);
                    if (url.isValid() && !QDesktopServices::openUrl(url))
                        qCWarning(lcLinks, "no browser opened %s", qUtf8Printable(url.toString()));
                }
            }
        }
        return false;  // the box still gets every event
    }

  private:
    // Qt's accessibility bridge has no hypertext for a text box, so each
    // address also gets an invisible link label over its first line: a
    // screen reader finds it as a link it can activate. It takes no focus,
    // no mouse and paints nothing; it moves with the text as it scrolls.
    void ExposeLinks() {
        for (const Link& link : std::as_const(m_links)) {
            QTextCursor at(m_box->document());
            at.setPosition(link.start);
            const QRect first = m_box->cursorRect(at);
            at.setPosition(link.start + link.length);
            const QRect last = m_box->cursorRect(at);
            const int right = last.top() == first.top() ? last.left() : m_box->viewport()->width();
            auto* spot = new LinkLabel(m_box->viewport());
            spot->setAttribute(Qt::WA_TransparentForMouseEvents);
            spot->setAttribute(Qt::WA_NoSystemBackground);
            spot->setAccessibleName(link.text);
            spot->setGeometry(QRect(first.topLeft(), QPoint(right, first.bottom())));
            const bool opens = link.length <= MaxLinkLength;
            QObject::connect(spot, &LinkLabel::clicked, spot, [text = link.text, opens] {
                const QUrl url = LinkUrl(text);
                if (opens && url.isValid()) QDesktopServices::openUrl(url);
            });
            spot->show();
            m_spots.append(spot);
        }
    }

    // The link under a point of the viewport, if the point is on its characters.
    const Link* LinkAt(QPoint point) const {
        const QPointF inDocument(point.x() + m_box->horizontalScrollBar()->value(),
                                 point.y() + m_box->verticalScrollBar()->value());
        const int position = m_box->document()->documentLayout()->hitTest(inDocument, Qt::ExactHit);
        if (position < 0) return nullptr;
        for (const Link& link : m_links)
            if (position >= link.start && position < link.start + link.length) return &link;
        return nullptr;
    }

    QPointer<QTextEdit> m_box;
    QList<Link> m_links;
    QList<QPointer<LinkLabel>> m_spots;
};

QPointer<LinkHandler> g_handler;

}  // namespace

QUrl LinkUrl(const QString& text) {
    // "www." addresses mean the web, as a word processor reads them; nothing
    // else is completed or repaired, so what opens is what the report shows.
    const bool bare = text.startsWith(QStringLiteral("www."), Qt::CaseInsensitive);
    const QUrl url(bare ? QStringLiteral("http://") + text : text, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative()) return {};
    const QString scheme = url.scheme().toLower();
    const bool needsHost = scheme == QStringLiteral("http") || scheme == QStringLiteral("https") ||
                           scheme == QStringLiteral("ftp");
    if (needsHost && url.host().isEmpty()) return {};
    return url;
}

QList<Link> FindLinks(const QString& text) {
    static const QRegularExpression start(
        QStringLiteral("(?<![\\w.@/])(?:(?:https?|ftp|file|news):|mailto:|www\\.)"),
        QRegularExpression::CaseInsensitiveOption);
    QList<Link> links;
    qsizetype from = 0;
    while (true) {
        const QRegularExpressionMatch m = start.match(text, from);
        if (!m.hasMatch()) break;
        qsizetype end = m.capturedStart();
        while (end < text.size() && !text.at(end).isSpace() &&
               text.at(end) != QChar::ParagraphSeparator && text.at(end) != QLatin1Char('<') &&
               text.at(end) != QLatin1Char('>') && text.at(end) != QLatin1Char('"'))
            ++end;
        // Closing punctuation belongs to the sentence, not the address.
        while (end > m.capturedEnd() && QStringLiteral(".,;:!?)]}'").contains(text.at(end - 1)))
            --end;
        if (end > m.capturedEnd()) {
            Link link;
            link.start = int(m.capturedStart());
            link.length = int(end - m.capturedStart());
            link.text = text.mid(link.start, link.length);
            links.append(link);
        }
        from = std::max(end, m.capturedEnd());
    }
    return links;
}

void StartLinkDetection(QTextEdit* LinkTextWindow, QWidget* LinkOwnerWindow) {
    StopLinkDetection();
    if (!LinkTextWindow || !LinkOwnerWindow) return;
    g_handler = new LinkHandler(LinkTextWindow, LinkOwnerWindow);
}

void StopLinkDetection() {
    delete g_handler.data();
    g_handler = nullptr;
}

QList<Link> ActiveLinks() { return g_handler ? g_handler->links() : QList<Link>{}; }

}  // namespace modRTB
