// A window's room on a screen: the frame the window manager adds, and a
// window too big for its screen made to fit.
#pragma once

#include <QMargins>

class QScreen;
class QWidget;

// Keeps a window usable on a screen too small for it: where its designed size
// (with the frame) does not fit the screen's available area, its content goes
// into a scroll area and the window takes the size that fits; where it fits,
// the window keeps its designed size and look exactly. Done again each time
// the window is shown, on the screen it is shown on.
void FitToScreen(QWidget* window, const QScreen* screen);
// Gives a window its designed size again on the screen it is on now, fitted
// to that screen: done by itself when a window fitted once moves to another
// screen, whose scale may differ.
void RefitToScreen(QWidget* window);
// The frame the window manager puts round a window, as last learnt from one
// on screen; before any, room for a common title bar and border.
QMargins KnownFrame();
// The frame the window system has put round the window; none while unshown.
QMargins FrameOf(const QWidget* window);
// Learns the frame from a window on screen; one not shown tells nothing.
void LearnFrame(const QWidget* shown);
