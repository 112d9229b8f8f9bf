#include "common/placement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "common/screenfit.h"

namespace {

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

}  // namespace

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
