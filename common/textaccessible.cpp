#include "common/textaccessible.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextEdit>
#include <QTextLayout>

#include <algorithm>
#include <functional>
#include <utility>

// Qt's own text interfaces are not used for the text boxes:
// - Qt 6.4 (seen on 6.4.2) never returns from a word or sentence request at the
//   very end of a text (QAccessibleTextInterface::textAtOffset walks its
//   boundary finder past the end), which hangs the program under Orca's
//   Ctrl+Right;
// - an insert far past the end pads the text with blanks up to the offset, and
//   no version refuses edits of a box that is read-only on screen.
// So every boundary, offset and edit is answered here, for every Qt version.

namespace {

struct Span {
    int start = -1;
    int end = -1;
};

// What the line breaks of a box are: a single-line box is one line; a
// multi-line box knows its laid-out lines.
using LineOf = std::function<Span(int offset)>;

// The boundaries at which a word or sentence item starts or ends, always
// with 0 and the text's length. Each step of the finder moves forward, so the
// walk ends; the count guard makes sure of it.
QList<int> ItemBoundaries(const QString& text, QTextBoundaryFinder::BoundaryType type) {
    QList<int> bounds{0};
    QTextBoundaryFinder finder(type, text);
    const int length = int(text.size());
    for (int steps = 0; steps <= length; ++steps) {
        const qsizetype next = finder.toNextBoundary();
        if (next <= bounds.last() || next >= length) break;
        if (finder.boundaryReasons() &
            (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem))
            bounds.append(int(next));
    }
    if (length > 0) bounds.append(length);
    return bounds;
}

Span GraphemeAt(const QString& text, int offset) {
    const int length = int(text.size());
    if (offset >= length) return {length, length};
    int start = offset;
    if (text.at(start).isLowSurrogate() && start > 0 && text.at(start - 1).isHighSurrogate())
        --start;
    int end = start + 1;
    if (text.at(start).isHighSurrogate() && end < length && text.at(end).isLowSurrogate()) ++end;
    return {start, end};
}

Span ParagraphAt(const QString& text, int offset) {
    const int length = int(text.size());
    const int start = offset > 0 ? int(text.lastIndexOf(QLatin1Char('\n'), offset - 1)) + 1 : 0;
    const qsizetype newline = offset < length ? text.indexOf(QLatin1Char('\n'), offset) : -1;
    return {start, newline < 0 ? length : int(newline) + 1};
}

// The item of the given kind that holds offset (0 to the length). At the very
// end a word or sentence request gets the last one, as a caret after it reads.
Span ItemAt(const QString& text, int offset, QAccessible::TextBoundaryType type,
            const LineOf& lineOf) {
    const int length = int(text.size());
    switch (type) {
        case QAccessible::CharBoundary:
            return GraphemeAt(text, offset);
        case QAccessible::LineBoundary:
            return lineOf(offset);
        case QAccessible::ParagraphBoundary:
            return ParagraphAt(text, offset);
        case QAccessible::NoBoundary:
            return {0, length};
        case QAccessible::WordBoundary:
        case QAccessible::SentenceBoundary:
            break;
    }
    if (length == 0) return {0, 0};
    const QList<int> bounds =
        ItemBoundaries(text, type == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                               : QTextBoundaryFinder::Sentence);
    const int at = std::min(offset, length - 1);
    const auto after = std::upper_bound(bounds.cbegin(), bounds.cend(), at);
    return {*(after - 1), *after};
}

enum class Where { Before, At, After };

QString Item(const QString& text, int offset, QAccessible::TextBoundaryType type, Where where,
             const LineOf& lineOf, int* startOffset, int* endOffset) {
    *startOffset = *endOffset = -1;
    const int length = int(text.size());
    if (offset == -1) offset = length;
    if (offset < 0 || offset > length) return {};
    Span span = ItemAt(text, offset, type, lineOf);
    if (where == Where::Before) {
        if (span.start <= 0) return {};
        span = ItemAt(text, span.start - 1, type, lineOf);
    } else if (where == Where::After) {
        if (span.end >= length || type == QAccessible::NoBoundary) return {};
        span = ItemAt(text, span.end, type, lineOf);
    }
    if (span.start < 0 || span.end < span.start || span.end > length) return {};
    if (span.start == span.end && !(where == Where::At && type == QAccessible::LineBoundary))
        return {};
    *startOffset = span.start;
    *endOffset = span.end;
    return text.mid(span.start, span.end - span.start);
}

// Offsets from outside, put within 0 to the length (-1 is the end).
int Clamped(int offset, int length) {
    if (offset < 0 || offset > length) return length;
    return offset;
}

// A text box as a screen reader sees it. Subclasses say how their widget
// holds text, caret and selection; the rules for offsets and edits are here.
class TextBoxAccessible : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface {
  public:
    explicit TextBoxAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = ReadOnly();
        s.editable = !ReadOnly();
        s.selectableText = true;
        s.multiLine = MultiLine();
        return s;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return Shown();
        return QAccessibleWidget::text(t);
    }

    void setText(QAccessible::Text t, const QString& text) override {
        if (t == QAccessible::Value)
            replaceText(0, characterCount(), text);
        else
            QAccessibleWidget::setText(t, text);
    }

    // Selection and caret.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        const Span s = Selected();
        if (selectionIndex != 0 || s.start == s.end) return;
        *startOffset = s.start;
        *endOffset = s.end;
    }
    int selectionCount() const override {
        const Span s = Selected();
        return s.start == s.end ? 0 : 1;
    }
    void addSelection(int startOffset, int endOffset) override {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override {
        if (selectionIndex == 0) Select(cursorPosition(), cursorPosition());
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override {
        if (selectionIndex != 0) return;
        const int length = characterCount();
        Select(Clamped(startOffset, length), Clamped(endOffset, length));
    }
    void setCursorPosition(int position) override {
        const int at = Clamped(position, characterCount());
        Select(at, at);
    }

    // Text.
    QString text(int startOffset, int endOffset) const override {
        const QString all = Shown();
        const int length = int(all.size());
        const int end = Clamped(endOffset, length);
        if (startOffset < 0 || startOffset > end) return {};
        return all.mid(startOffset, end - startOffset);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                             int* endOffset) const override {
        return Item(Shown(), offset, type, Where::Before, Lines(), startOffset, endOffset);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                         int* endOffset) const override {
        return Item(Shown(), offset, type, Where::At, Lines(), startOffset, endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                            int* endOffset) const override {
        return Item(Shown(), offset, type, Where::After, Lines(), startOffset, endOffset);
    }
    int characterCount() const override { return int(Shown().size()); }

    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        const int length = characterCount();
        *startOffset = *endOffset = -1;
        if (offset == -1) offset = length;
        if (offset < 0 || offset > length) return {};
        *startOffset = 0;
        *endOffset = length;
        return {};
    }

    // Edits: none in a read-only box; offsets outside the text mean its end,
    // so nothing is built to an offset's length.
    void deleteText(int startOffset, int endOffset) override {
        replaceText(startOffset, endOffset, QString());
    }
    void insertText(int offset, const QString& text) override {
        const int at = Clamped(offset, characterCount());
        replaceText(at, at, text);
    }
    void replaceText(int startOffset, int endOffset, const QString& text) override {
        if (ReadOnly() || !widget()->isEnabled()) return;
        const int length = characterCount();
        int start = Clamped(startOffset, length);
        int end = Clamped(endOffset, length);
        if (start > end) std::swap(start, end);
        Replace(start, end, text);
    }

  protected:
    virtual QString Shown() const = 0;
    virtual bool ReadOnly() const = 0;
    virtual bool MultiLine() const = 0;
    virtual Span Selected() const = 0;
    // Selects from anchor to position, the caret at position.
    virtual void Select(int anchor, int position) = 0;
    virtual void Replace(int start, int end, const QString& text) = 0;
    virtual LineOf Lines() const {
        return [length = characterCount()](int) { return Span{0, length}; };
    }
};

class LineEditAccessible : public TextBoxAccessible {
  public:
    explicit LineEditAccessible(QLineEdit* edit) : TextBoxAccessible(edit) {}

    int cursorPosition() const override { return Edit()->cursorPosition(); }

    QRect characterRect(int offset) const override {
        const QString shown = Shown();
        if (offset < 0 || offset >= shown.size()) return {};
        QLineEdit* edit = Edit();
        const QRect area = TextArea();
        const QFontMetrics metrics = edit->fontMetrics();
        // Where the box has scrolled to: the first character shown at its left.
        const int first = edit->cursorPositionAt(QPoint(area.left() + 1, area.center().y()));
        const int x = area.left() + metrics.horizontalAdvance(shown.left(offset)) -
                      metrics.horizontalAdvance(shown.left(first));
        const Span glyph = GraphemeAt(shown, offset);
        const int width =
            metrics.horizontalAdvance(shown.mid(glyph.start, glyph.end - glyph.start));
        const QRect local(x, area.center().y() - metrics.height() / 2, width, metrics.height());
        return QRect(edit->mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = Edit()->mapFromGlobal(point);
        if (!Edit()->rect().contains(local)) return -1;
        return Edit()->cursorPositionAt(local);
    }
    void scrollToSubstring(int startIndex, int endIndex) override {
        const int length = characterCount();
        Edit()->setCursorPosition(Clamped(endIndex, length));
        Edit()->setCursorPosition(Clamped(startIndex, length));
    }

  protected:
    QString Shown() const override {
        const QLineEdit* edit = Edit();
        switch (edit->echoMode()) {
            case QLineEdit::Normal:
                return edit->text();
            case QLineEdit::NoEcho:
                return {};
            default:
                return QString(edit->text().size(), QLatin1Char('*'));
        }
    }
    bool ReadOnly() const override { return Edit()->isReadOnly(); }
    bool MultiLine() const override { return false; }
    Span Selected() const override {
        const QLineEdit* edit = Edit();
        if (!edit->hasSelectedText()) return {edit->cursorPosition(), edit->cursorPosition()};
        return {edit->selectionStart(), edit->selectionEnd()};
    }
    void Select(int anchor, int position) override {
        if (anchor == position)
            Edit()->setCursorPosition(position);
        else
            Edit()->setSelection(anchor, position - anchor);
    }
    void Replace(int start, int end, const QString& text) override {
        QLineEdit* edit = Edit();
        // As a paste: through the box's own checks, undoable, and never more
        // than the box can hold.
        const int room = std::max(0, edit->maxLength() - (characterCount() - (end - start)));
        if (start == end)
            edit->setCursorPosition(start);
        else
            edit->setSelection(start, end - start);
        edit->insert(text.left(room));
    }

  private:
    QLineEdit* Edit() const { return static_cast<QLineEdit*>(widget()); }

    // The part of the box the text is drawn in, as QLineEdit lays it out.
    QRect TextArea() const {
        const QLineEdit* edit = Edit();
        QRect area = edit->contentsRect().marginsRemoved(edit->textMargins());
        if (edit->hasFrame()) {
            const int frame =
                edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
            area.adjust(frame, frame, -frame, -frame);
        }
        constexpr int kHorizontalMargin = 2;  // QLineEdit's own, not a style metric
        return area.adjusted(kHorizontalMargin, 0, -kHorizontalMargin, 0);
    }
};

// A plain-text or rich-text box: QTextEdit and QPlainTextEdit share what is
// needed here without a common base, hence the template.
template <class Edit>
class DocumentAccessible : public TextBoxAccessible {
  public:
    explicit DocumentAccessible(Edit* edit) : TextBoxAccessible(edit) {}

    int cursorPosition() const override { return Box()->textCursor().position(); }

    QRect characterRect(int offset) const override {
        const int length = characterCount();
        if (offset < 0 || offset >= length) return {};
        const Edit* edit = Box();
        QTextCursor at(edit->document());
        at.setPosition(offset);
        QRect rect = edit->cursorRect(at);
        QTextCursor next(edit->document());
        next.setPosition(GraphemeAt(Shown(), offset).end);
        const QRect nextRect = edit->cursorRect(next);
        rect.setWidth(nextRect.top() == rect.top() && nextRect.left() > rect.left()
                          ? nextRect.left() - rect.left()
                          : edit->fontMetrics().averageCharWidth());
        return QRect(edit->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = Box()->viewport()->mapFromGlobal(point);
        if (!Box()->viewport()->rect().contains(local)) return -1;
        return Box()->cursorForPosition(local).position();
    }
    void scrollToSubstring(int startIndex, int endIndex) override {
        const int length = characterCount();
        Edit* edit = Box();
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(Clamped(endIndex, length));
        edit->setTextCursor(cursor);
        edit->ensureCursorVisible();
        cursor.setPosition(Clamped(startIndex, length));
        edit->setTextCursor(cursor);
        edit->ensureCursorVisible();
    }

  protected:
    // The text as positions count it: one character for each block's end.
    QString Shown() const override {
        QString text = Box()->document()->toRawText();
        if (!text.isEmpty() && text.back() == QChar::ParagraphSeparator) text.chop(1);
        // A screen reader reads line and paragraph ends as line feeds.
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        text.replace(QChar::LineSeparator, QLatin1Char('\n'));
        // Frame marks of rich text: each takes one position, read as a line end.
        text.replace(QChar(0xFDD0), QLatin1Char('\n'));
        text.replace(QChar(0xFDD1), QLatin1Char('\n'));
        return text;
    }
    bool ReadOnly() const override { return Box()->isReadOnly(); }
    bool MultiLine() const override { return true; }
    Span Selected() const override {
        const QTextCursor cursor = Box()->textCursor();
        return {cursor.selectionStart(), cursor.selectionEnd()};
    }
    void Select(int anchor, int position) override {
        QTextCursor cursor = Box()->textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        Box()->setTextCursor(cursor);
    }
    void Replace(int start, int end, const QString& text) override {
        QTextCursor cursor(Box()->document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.insertText(text);
    }
    // Lines as the box lays them out; a block not laid out yet is one line.
    LineOf Lines() const override {
        return [doc = Box()->document(), length = characterCount()](int offset) {
            const QTextBlock block = doc->findBlock(std::min(offset, length));
            if (!block.isValid()) return Span{0, length};
            const int blockStart = block.position();
            const int blockEnd = std::min(blockStart + block.length(), length);
            const QTextLayout* layout = block.layout();
            const QTextLine line =
                layout && layout->lineCount() > 0
                    ? layout->lineForTextPosition(std::min(offset, length) - blockStart)
                    : QTextLine();
            if (!line.isValid()) return Span{blockStart, blockEnd};
            const int start = blockStart + line.textStart();
            const bool last = line.lineNumber() == layout->lineCount() - 1;
            // The last line of a block takes its line feed along.
            const int end = last ? blockEnd : start + line.textLength();
            return Span{start, std::min(end, length)};
        };
    }

  private:
    Edit* Box() const { return static_cast<Edit*>(widget()); }
};

}  // namespace

QAccessibleInterface* TextBoxInterface(QObject* object) {
    if (auto* line = qobject_cast<QLineEdit*>(object)) return new LineEditAccessible(line);
    if (auto* plain = qobject_cast<QPlainTextEdit*>(object))
        return new DocumentAccessible<QPlainTextEdit>(plain);
    if (auto* rich = qobject_cast<QTextEdit*>(object))
        return new DocumentAccessible<QTextEdit>(rich);
    return nullptr;
}
