#include "common/windowlook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBackingStore>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>

#include <QThreadPool>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <iterator>

#include "common/boldtitlegroupbox.h"
#include "common/programstyle.h"
#include "common/vendorpages.h"

void ConfigureApplicationLook(IconTiming icon) {
    InstallProgramStyle();
    // Reading any image by name first looks through every image format
    // plugin, a millisecond or two; the style reads its frame picture in the
    // first paint. The look-up is done on another core while the first window
    // is built.
    QThreadPool::globalInstance()->start([] { QImageReader::supportedImageFormats(); });
    if (icon == IconTiming::Now) InstallProgramIcon();
}

void InstallProgramIcon() {
    if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(ProgramIcon());
}

namespace {

// The program icon at every size drawn, each file read only when that size is
// first wanted. A plain QIcon::addFile would first look through the icon
// engine plugins, which costs more at start-up than the whole icon.
class ProgramIconEngine : public QIconEngine {
  public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        int best = kSizes[std::size(kSizes) - 1];
        for (int s : kSizes)
            if (s >= side) {
                best = s;
                break;
            }
        QPixmap picture(QStringLiteral(":/pictures/icon-%1.png").arg(best));
        if (picture.width() != side)
            picture = picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (mode == QIcon::Disabled) {
            QStyleOption option;
            picture = QApplication::style()->generatedIconPixmap(mode, picture, &option);
        }
        return picture;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min({size.width(), size.height(), kSizes[std::size(kSizes) - 1]});
        return {side, side};
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int s : kSizes) sizes.append(QSize(s, s));
        return sizes;
    }
    QIconEngine* clone() const override { return new ProgramIconEngine; }
    QString key() const override { return QStringLiteral("ProgramIconEngine"); }

  private:
    static constexpr int kSizes[] = {32, 48, 64, 128, 256};
};

}  // namespace

QIcon ProgramIcon() { return QIcon(new ProgramIconEngine); }

QFont VerdanaFont(qreal pointSize, bool bold, bool underline) {
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QPalette LightPalette() {
    // The Fusion style's light colours.
    const QColor window(239, 239, 239);
    QPalette palette(/*windowText*/ Qt::black, /*button*/ window, /*light*/ Qt::white,
                     /*dark*/ QColor(159, 159, 159), /*mid*/ QColor(184, 184, 184),
                     /*text*/ Qt::black, /*brightText*/ Qt::white, /*base*/ Qt::white, window);
    palette.setColor(QPalette::Midlight, QColor(202, 202, 202));
    palette.setColor(QPalette::Shadow, QColor(118, 118, 118));
    palette.setColor(QPalette::Highlight, QColor(48, 140, 198));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, Qt::blue);
    palette.setColor(QPalette::LinkVisited, Qt::magenta);
    palette.setColor(QPalette::AlternateBase, QColor(247, 247, 247));
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 220));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 128));
    palette.setColor(QPalette::NoRole, Qt::black);
    const QColor disabledText(190, 190, 190);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Base, window);
    palette.setColor(QPalette::Disabled, QPalette::Dark, QColor(190, 190, 190));
    palette.setColor(QPalette::Disabled, QPalette::Shadow, QColor(177, 177, 177));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(145, 145, 145));
    return palette;
}

namespace {

// Marks a window that keeps the light look, for its popups to follow it.
constexpr char kLightLook[] = "lunvexLightLook";

// The window a popup or tooltip belongs to: that of the widget it opened
// from, through the menus a submenu opened from. A dialog is a window of its
// own, so the popups of a message box or file dialog belong to it.
QWidget* OwnerOfPopup(QWidget* popup) {
    for (QWidget* from = popup->parentWidget(); from;) {
        QWidget* window = from->window();
        const Qt::WindowType type = window->windowType();
        if (type != Qt::Popup && type != Qt::ToolTip) return window;
        from = window->parentWidget();
    }
    return nullptr;
}

// Fits a window about to show to its screen and keeps its frame on it.
void KeepOnScreen(QWidget* window);

// Menus, drop-down lists, context menus and tooltips are windows of their
// own, which Qt gives the application's (the system's) palette, or for a
// tooltip the system's tooltip colours: each takes the look of the window it
// belongs to as it is shown, before its first paint.
class PopupLook : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
        auto* popup = static_cast<QWidget*>(watched);
        if (!popup->isWindow()) return false;
        const Qt::WindowType type = popup->windowType();
        if (popup->property(kLightLook).toBool()) {
            KeepOnScreen(popup);
            return false;
        }
        if (type != Qt::Popup && type != Qt::ToolTip) return false;
        const QWidget* owner = OwnerOfPopup(popup);
        if (!owner || !owner->property(kLightLook).toBool()) return false;
        QPalette palette = owner->palette();
        // Every role set, so none is taken from the application's palette.
        for (int g = 0; g < QPalette::NColorGroups; ++g)
            for (int r = 0; r < QPalette::NColorRoles; ++r)
                palette.setBrush(QPalette::ColorGroup(g), QPalette::ColorRole(r),
                                 palette.brush(QPalette::ColorGroup(g), QPalette::ColorRole(r)));
        popup->setPalette(palette);
        // A drop-down list draws its entries as menu items, in the colours it
        // was given merged over the application's menu colours: the roles
        // must be its own, not merely inherited.
        for (QWidget* child : popup->findChildren<QWidget*>()) child->setPalette(palette);
        return false;
    }
};

void FollowWithPopups(QWidget* window) {
    static QPointer<PopupLook> filter;
    if (!filter && qApp) {
        filter = new PopupLook(qApp);
        qApp->installEventFilter(filter);
    }
    window->setProperty(kLightLook, true);
}

}  // namespace

void KeepLightLook(QWidget* window) {
    QPalette palette = LightPalette();
    const QPalette own = window->palette();
    // Setting every brush marks every role as the window's own: a role left
    // unset would still be taken from the application's palette.
    for (int g = 0; g < QPalette::NColorGroups; ++g) {
        const auto group = QPalette::ColorGroup(g);
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto role = QPalette::ColorRole(r);
            palette.setBrush(
                group, role,
                own.isBrushSet(group, role) ? own.brush(group, role) : palette.brush(group, role));
        }
    }
    window->setPalette(palette);
    FollowWithPopups(window);
}

void ApplyWindowLook(QWidget* window) {
    window->setWindowTitle(modHelp::WindowCaption);
    window->setFont(VerdanaFont(8.25));
    KeepLightLook(window);
}

void PrepareBackingStore(QWidget* window) {
    QBackingStore* store = window->backingStore();
    if (!store) return;
    const QRect all(QPoint(), window->size());
    store->resize(all.size());
    store->beginPaint(all);
    if (QPaintDevice* device = store->paintDevice()) {
        // A rehearsal: lays every shown control out at its size, and loads the
        // frames and glyphs the window draws, as its real first paint would.
        QPainter painter(device);
        window->render(&painter, QPoint(), QRegion(),
                       QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    store->endPaint();
}

void WarmTextOf(QWidget* window) {
    QImage scrap(1, 1, QImage::Format_RGB32);
    QPainter painter(&scrap);
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        QFont font = w->font();
        QString text;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            text = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            text = button->text();
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            text = box->title();
            if (qobject_cast<BoldTitleGroupBox*>(w)) font.setBold(true);
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            text = combo->currentText();
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
            text = edit->toPlainText();
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) text += tabs->tabText(i);
        } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
            for (const QAction* action : bar->actions()) text += action->text();
        }
        if (text.isEmpty()) continue;
        painter.setFont(font);
        painter.drawText(QRect(QPoint(), w->size()), Qt::TextWordWrap, text);
    }
}

namespace {

// The frame the window manager puts around a window, learnt from a window
// on screen: an unshown window has none yet. Before any is known, room for a
// common title bar and border.
QMargins& KnownFrame() {
    static QMargins frame(4, 30, 4, 4);
    return frame;
}

// Asked of the window system: the widget's own record of its frame can lag
// behind the window manager's.
QMargins FrameOf(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

void LearnFrame(const QWidget* shown) {
    if (!shown->isVisible()) return;
    const QMargins frame = FrameOf(shown);
    if (!frame.isNull()) KnownFrame() = frame;
}

constexpr char kPlacedAt[] = "lunvexPlacedAt";

// Where the frame of a window is, or will be once shown: a window placed here
// sits at its client position within the frame it is expected to get; one
// positioned otherwise (by Qt or a test) before it was made has its frame at
// its position.
QRect FrameRectOf(const QWidget* window) {
    if (window->isVisible() && !FrameOf(window).isNull())
        return window->windowHandle()->frameGeometry();
    if (window->property(kPlacedAt).toPoint() == window->geometry().topLeft())
        return window->geometry().marginsAdded(KnownFrame());
    return {window->pos(), window->size().grownBy(KnownFrame())};
}

// Puts a window's frame at the point, on the screen. The position goes to the
// window system as that of the client area, within the frame known from a
// window on screen: a window made ahead (to show quickly) was made for a
// client position, and the window system would put a frame position given
// to it there, the frame's top edge (title bar) a frame's height too high.
void PlaceFrame(QWidget* window, QPoint frameTopLeft, QScreen* screen) {
    if (screen && window->screen() != screen) {
        // A window made ahead on another screen is made again on show, on
        // this one: its window system window keeps the size and place it
        // had in the other screen's pixels, and shows there, at that scale.
        if (QWindow* handle = window->windowHandle(); handle && !window->isVisible())
            handle->destroy();
        window->setScreen(screen);
    }
    const QPoint client = frameTopLeft + QPoint(KnownFrame().left(), KnownFrame().top());
    window->setGeometry(QRect(client, window->size()));
    window->setProperty(kPlacedAt, client);
}

// Where a frame goes to lie whole on the available area, moved as little as
// can be; one larger than the area keeps its top left, and so its title
// bar, on it.
QPoint KeptOnArea(const QRect& frame, const QRect& area) {
    QRect kept = frame;
    kept.moveLeft(std::max(area.left(), std::min(kept.left(), area.right() + 1 - kept.width())));
    kept.moveTop(std::max(area.top(), std::min(kept.top(), area.bottom() + 1 - kept.height())));
    return kept.topLeft();
}

// Where a window's frame of the given size goes when it takes over from a
// frame at replaced: the same place for the same size, else the same centre.
QPoint HandOffPosition(QSize frameSize, const QRect& replaced, const QRect& area) {
    QRect frame(replaced.topLeft(), frameSize);
    if (frameSize != replaced.size()) frame.moveCenter(replaced.center());
    return KeptOnArea(frame, area);
}

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

namespace {

void KeepOnScreen(QWidget* window) {
    // A dialog shows on the screen of the window it belongs to.
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    QRect frame = FrameRectOf(window);
    // A window built ahead keeps the screen it was made on until it is shown:
    // the screen it was placed on is where its frame is.
    QScreen* screen = owner ? owner->screen() : QGuiApplication::screenAt(frame.center());
    if (!screen) screen = window->screen();
    if (!screen) return;
    FitToScreen(window, screen);
    frame.setSize(window->size().grownBy(KnownFrame()));
    if (owner && QGuiApplication::screenAt(frame.center()) != screen)
        frame.moveCenter(FrameRectOf(owner).center());
    const QPoint kept = KeptOnArea(frame, screen->availableGeometry());
    if (kept == frame.topLeft() && window->screen() == screen) return;
    if (window->property(kPlacedAt).isValid() || !window->testAttribute(Qt::WA_WState_Created)) {
        PlaceFrame(window, kept, screen);
    } else {
        // Made with its frame at its position (a dialog Qt placed): moved
        // the same way.
        window->setScreen(screen);
        window->move(kept);
    }
}

}  // namespace

void PlaceOver(QWidget* window, const QWidget* replaced) {
    if (!replaced) return CentreOnPointerScreen(window);
    LearnFrame(replaced);
    const QRect frame = FrameRectOf(replaced);
    // The screen Qt has the replaced window on, whose scale it is drawn at.
    QScreen* screen = replaced->screen();
    if (!screen) screen = QGuiApplication::screenAt(frame.center());
    if (!screen) return;
    FitToScreen(window, screen);
    PlaceFrame(
        window,
        HandOffPosition(window->size().grownBy(KnownFrame()), frame, screen->availableGeometry()),
        screen);
}

void PlaceFrameAt(QWidget* window, QPoint frameTopLeft, const QWidget* near) {
    QScreen* screen = near ? near->screen() : nullptr;
    if (!screen) screen = QGuiApplication::screenAt(frameTopLeft);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    FitToScreen(window, screen);
    const QSize size = window->size().grownBy(KnownFrame());
    PlaceFrame(window, KeptOnArea({frameTopLeft, size}, screen->availableGeometry()), screen);
}

QRect FrameGeometryOf(const QWidget* window) { return FrameRectOf(window); }

void CentreOnPointerScreen(QWidget* window) {
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    FitToScreen(window, screen);
    QRect frame(QPoint(), window->size().grownBy(KnownFrame()));
    frame.moveCenter(screen->availableGeometry().center());
    PlaceFrame(window, KeptOnArea(frame, screen->availableGeometry()), screen);
}

void CentreOverOwner(QWidget* dialog, CentreOf centreOf) {
    const QWidget* owner = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    QScreen* screen = owner ? owner->screen() : QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    if (owner) LearnFrame(owner);
    FitToScreen(dialog, screen);
    const QRect area = screen->availableGeometry();
    QRect frame(QPoint(), dialog->size().grownBy(KnownFrame()));
    frame.moveCenter(centreOf == CentreOf::Owner && owner ? FrameRectOf(owner).center()
                                                          : area.center());
    PlaceFrame(dialog, KeptOnArea(frame, area), screen);
}

void SetPointSize(QWidget* widget, qreal pointSize) {
    QFont font = widget->font();
    font.setPointSizeF(pointSize);
    widget->setFont(font);
}

namespace {

class FirstPaintThen : public QObject {
  public:
    FirstPaintThen(QWidget* window, std::function<void()> task)
        : QObject(window), m_task(std::move(task)) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // PrepareBackingStore paints a hidden window once: that is not the
        // first paint the user sees.
        if (event->type() == QEvent::Paint && static_cast<QWidget*>(watched)->isVisible()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                m_task();
                deleteLater();
            });
        }
        return false;
    }

  private:
    std::function<void()> m_task;
};

}  // namespace

void AfterFirstPaint(QWidget* window, std::function<void()> task) {
    new FirstPaintThen(window, std::move(task));
}
