// What every window of the program shares: caption, icon and base font.
#pragma once

#include <QFont>
#include <QIcon>

class QWidget;

// The application-wide look: one widget style everywhere, since the windows
// are laid out to the pixel.
void ConfigureApplicationLook();
// The program icon, at every size drawn.
QIcon ProgramIcon();
// Verdana at the given size; fontconfig stands in a close sans face where
// Verdana is missing.
QFont VerdanaFont(qreal pointSize, bool bold = false, bool underline = false);
// Caption, icon and Verdana 8.25 pt as the window's own font.
void ApplyWindowLook(QWidget* window);
// Changes only the size of a widget's font, keeping its other attributes.
void SetPointSize(QWidget* widget, qreal pointSize);
