// What every window of the program shares: caption, icon and base font.
#pragma once

#include <QFont>
#include <QIcon>
#include <QPalette>

#include <functional>

class QScreen;
class QWidget;

// The application-wide look: one widget style everywhere, since the windows
// are laid out to the pixel, and the program icon for every window. With
// IconLater the icon waits for RunStartup to paint the first window: handing
// every size of it to the desktop would otherwise hold up that first paint.
enum class IconTiming { Now, Later };
void ConfigureApplicationLook(IconTiming icon = IconTiming::Now);
// Gives every window the program icon, unless they have it already.
void InstallProgramIcon();
// The program icon, at every size drawn.
QIcon ProgramIcon();
// Verdana at the given size; fontconfig stands in a close sans face where
// Verdana is missing.
QFont VerdanaFont(qreal pointSize, bool bold = false, bool underline = false);
// The light palette every window is drawn for: the windows' fixed text colours
// (dark red, blue, green, olive) were chosen for light backgrounds, so a dark
// system theme must not reach them. Message boxes and the file and print
// dialogs are the system's and keep its colours.
QPalette LightPalette();
// Gives a window the light palette in full, every role set, so that neither
// a dark theme at start nor a theme change later can darken it; roles the
// window sets itself (the about window's white) stay its own. Its menus,
// drop-down lists, context menus and tooltips take its palette when shown;
// dialogs opened over it are windows of their own and follow the system.
void KeepLightLook(QWidget* window);
// Caption, Verdana 8.25 pt as the window's own font and the light palette;
// the icon is the program's.
void ApplyWindowLook(QWidget* window);
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
// Changes only the size of a widget's font, keeping its other attributes.
void SetPointSize(QWidget* widget, qreal pointSize);
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
