// Where windows go: over the window they replace, over their owner, on the
// pointer's screen, and always with the frame on the screen's available area.
#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

// Fits a window about to show to its screen and keeps its frame on it.
void KeepOnScreen(QWidget* window);
// Places a window that takes over from another (the results window after
// Proceed, the input window after Back) where that one was, on its screen:
// its frame where that frame was when both are of one size, round the same
// centre otherwise, so the user's eyes stay where they were. Call before
// showing it.
void PlaceOver(QWidget* window, const QWidget* replaced);
// Places a window's frame at the point, on the screen of the window near it
// (or the one under the point), kept on that screen. Call before showing it.
void PlaceFrameAt(QWidget* window, QPoint frameTopLeft, const QWidget* near);
// Where a window's frame is, or will be once it is shown.
QRect FrameGeometryOf(const QWidget* window);
// Places a window centred on the available area of the screen the pointer is
// on, the one the user is looking at. Call before showing it.
void CentreOnPointerScreen(QWidget* window);
// Places a dialog on the screen of the window it belongs to, centred over
// that window or on that screen. Call before showing it.
enum class CentreOf { Owner, Screen };
void CentreOverOwner(QWidget* dialog, CentreOf centreOf);
