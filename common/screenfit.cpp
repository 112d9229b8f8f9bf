#include "common/screenfit.h"

#include <QMainWindow>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// The frame the window manager puts around a window, learnt from a window
// on screen: an unshown window has none yet. Before any is known, room for a
// common title bar and border.
QMargins& LearntFrame() {
    static QMargins frame(4, 30, 4, 4);
    return frame;
}

}  // namespace

QMargins KnownFrame() { return LearntFrame(); }

// Asked of the window system: the widget's own record of its frame can lag
// behind the window manager's.
QMargins FrameOf(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

void LearnFrame(const QWidget* shown) {
    if (!shown->isVisible()) return;
    const QMargins frame = FrameOf(shown);
    if (!frame.isNull()) LearntFrame() = frame;
}

namespace {

constexpr char kDesignedSize[] = "lunvexDesignedSize";
constexpr char kFitArea[] = "lunvexFitArea";

// The scroll area that holds a window's content, or nothing while it fits.
QScrollArea* FitAreaOf(QWidget* window) {
    auto* area =
        window->findChild<QScrollArea*>(QLatin1String(kFitArea), Qt::FindDirectChildrenOnly);
    if (!area)
        if (auto* main = qobject_cast<QMainWindow*>(window))
            area = qobject_cast<QScrollArea*>(main->centralWidget());
    return area && area->objectName() == QLatin1String(kFitArea) ? area : nullptr;
}

// Puts the window's content into a scroll area: a main window's central
// widget (its menu bar stays on top), or all of a dialog's controls in their
// places and focus order.
QScrollArea* WrapContent(QWidget* window, QSize designed) {
    auto* area = new QScrollArea;
    area->setObjectName(QLatin1String(kFitArea));
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);  // the focus order stays the window's own
    area->setWidgetResizable(false);
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        QWidget* content = main->takeCentralWidget();
        area->setWidget(content);
        main->setCentralWidget(area);
        return area;
    }
    QList<QWidget*> order;
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain())
        if (w->focusPolicy() != Qt::NoFocus) order.append(w);
    auto* content = new QWidget;
    content->setFixedSize(designed);
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow()) continue;
        const QRect place = child->geometry();
        const bool shown = !child->isHidden();
        child->setParent(content);
        child->setGeometry(place);
        child->setVisible(shown);
    }
    area->setParent(window);
    area->setWidget(content);
    area->show();
    for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
    return area;
}

void UnwrapContent(QWidget* window, QScrollArea* area) {
    QWidget* content = area->takeWidget();
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        main->setCentralWidget(content);  // deletes the area
        return;
    }
    content->setParent(window);
    content->move(0, 0);
    content->show();
    delete area;
}

void RefitOnScreenChange(QWidget* window);

}  // namespace

namespace {

constexpr char kGivenHeight[] = "lunvexGivenHeight";

// The dialog's tallest text box, which scrolls its text by itself.
QAbstractScrollArea* TallestTextBox(QWidget* window) {
    QAbstractScrollArea* tallest = nullptr;
    for (auto* box : window->findChildren<QAbstractScrollArea*>(Qt::FindDirectChildrenOnly))
        if (box->objectName() != QLatin1String(kFitArea) &&
            (!tallest || box->height() > tallest->height()))
            tallest = box;
    return tallest;
}

// Moves the controls below the box by dy and makes it taller by dy.
void StretchBox(QWidget* window, QAbstractScrollArea* box, int dy) {
    const int below = box->geometry().bottom();
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow() && child->y() > below) child->move(child->x(), child->y() + dy);
    box->resize(box->width(), box->height() + dy);
}

// Gives the dialog its text box's designed height again; true if it had given some.
bool TakeBackHeight(QWidget* window) {
    bool taken = false;
    for (auto* box : window->findChildren<QAbstractScrollArea*>(Qt::FindDirectChildrenOnly)) {
        const int given = box->property(kGivenHeight).toInt();
        if (given == 0) continue;
        StretchBox(window, box, given);
        box->setProperty(kGivenHeight, QVariant());
        taken = true;
    }
    return taken;
}

// A dialog too tall for the screen but wide enough takes the missing height
// from its tallest text box, which keeps scrolling its text: a scroll area
// round the whole would put a second vertical scroll bar beside the box's.
// Only while the box keeps most of its height.
bool GiveHeight(QWidget* window, int shortfall) {
    QAbstractScrollArea* box = TallestTextBox(window);
    if (!box || box->height() - shortfall < box->height() / 2) return false;
    StretchBox(window, box, -shortfall);
    box->setProperty(kGivenHeight, shortfall);
    return true;
}

}  // namespace

void FitToScreen(QWidget* window, const QScreen* screen) {
    if (!window || !screen) return;
    QVariant known = window->property(kDesignedSize);
    if (!known.isValid()) {
        known = window->size();
        window->setProperty(kDesignedSize, known);
        RefitOnScreenChange(window);
    }
    const QSize designed = known.toSize();
    // A pixel to spare each way: a scaled screen rounds the frame's edges.
    const QSize room =
        screen->availableGeometry().size().shrunkBy(KnownFrame() + QMargins(1, 1, 1, 1));
    const bool widthFits = designed.width() <= room.width();
    const bool heightFits = designed.height() <= room.height();
    QScrollArea* area = FitAreaOf(window);
    const bool dialog = !qobject_cast<QMainWindow*>(window);
    const bool taken = dialog && !area && TakeBackHeight(window);
    if ((widthFits && heightFits) ||
        (widthFits && dialog && !area && GiveHeight(window, designed.height() - room.height()))) {
        if (area) UnwrapContent(window, area);
        if (area || taken || !heightFits) window->setFixedSize(designed.boundedTo(room));
        return;
    }
    if (!area) {
        // A dialog's controls move into the area whole; a main window keeps its
        // menu bar above it.
        area = WrapContent(window, designed);
        if (dialog) area->setGeometry(window->rect());
    }
    // Scroll bars only for the direction that does not fit; the one for one
    // direction takes room from the other, as wide as the bar itself is.
    area->setHorizontalScrollBarPolicy(widthFits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    area->setVerticalScrollBarPolicy(heightFits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    QSize size = designed;
    if (!heightFits) size.rwidth() += area->verticalScrollBar()->sizeHint().width();
    if (!widthFits) size.rheight() += area->horizontalScrollBar()->sizeHint().height();
    size = size.boundedTo(room);
    window->setFixedSize(size);
    if (dialog) area->setGeometry(QRect(QPoint(), size));
}

namespace {

// A window moved to a screen of another scale keeps its size in pixels: the
// window system still holds its fixed size in the old screen's pixels, so its
// content, laid out in fixed sizes, is cut off or left in empty space. It
// takes its designed size again, fitted to the new screen, once the move is
// done.
class ScreenChangeWatch : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ScreenChangeInternal && watched == parent()) {
            QPointer<QWidget> window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, this, [window] {
                if (window) RefitToScreen(window);
            });
        }
        return false;
    }
};

void RefitOnScreenChange(QWidget* window) {
    window->installEventFilter(new ScreenChangeWatch(window));
}

}  // namespace

void RefitToScreen(QWidget* window) {
    const QScreen* screen = window ? window->screen() : nullptr;
    if (!screen || !window->isWindow() || !window->property(kDesignedSize).isValid()) return;
    FitToScreen(window, screen);
    // Qt hands a size limit to the window system only when it changes: clear
    // the limits once so the fixed size goes out again in the new screen's
    // pixels, and the window takes it.
    const QSize size = window->minimumSize();
    if (size != window->maximumSize()) return;  // not of a fixed size
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->setFixedSize(size);
    // A window moved by setting its screen keeps its old size in pixels while
    // its widget still has the designed size, so the resize above was none.
    if (QWindow* handle = window->windowHandle(); handle && handle->size() != size)
        handle->resize(size);
}
