// What every window of the program shares: style, caption, base font and the
// light palette, which its popups follow.
#pragma once

#include <QFont>
#include <QPalette>

class QWidget;

// The application-wide look: one widget style everywhere, since the windows
// are laid out to the pixel, and the program icon for every window. With
// IconLater the icon waits for RunStartup to paint the first window: handing
// every size of it to the desktop would otherwise hold up that first paint.
enum class IconTiming { Now, Later };
void ConfigureApplicationLook(IconTiming icon = IconTiming::Now);
// Verdana at the given size; fontconfig stands in a close sans face where
// Verdana is missing.
QFont VerdanaFont(qreal pointSize, bool bold = false, bool underline = false);
// Where Verdana is missing, the TrueType faces in the folder stand in for it;
// false when the folder has none, or Verdana is there.
bool InstallOwnFonts(const QString& folder);
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
// Such a window is also kept on its screen each time it is shown.
void KeepLightLook(QWidget* window);
// Caption, Verdana 8.25 pt as the window's own font and the light palette;
// the icon is the program's.
void ApplyWindowLook(QWidget* window);
// Changes only the size of a widget's font, keeping its other attributes.
void SetPointSize(QWidget* widget, qreal pointSize);
