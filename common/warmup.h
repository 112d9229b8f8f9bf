// Work done ahead of a window's first paint, and work put off until after it.
#pragma once

#include <functional>

class QWidget;

// Gives a hidden window the image its first paint will draw into, with every
// page of it touched, and paints the window into it once: a fresh image costs
// that paint its allocation and a page fault per page, and a window never
// painted lays out its controls and loads its frames and glyphs there, all
// where the user waits. Only for a window nothing watches paint yet.
void PrepareBackingStore(QWidget* window);
// Draws the captions of a window's visible controls once, in their fonts, into
// a scrap image: called while the display server maps a newly shown window,
// it loads the faces, shaping tables and glyphs that its first paint would
// otherwise load while the user waits.
void WarmTextOf(QWidget* window);
// Runs the task once, when the event loop is next idle after the window's
// first paint: for work the window does not need in order to appear.
void AfterFirstPaint(QWidget* window, std::function<void()> task);
