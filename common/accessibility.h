// What a screen reader or switch-access tool gets from the program's windows,
// beyond what Qt's own accessibility gives each kind of control.
#pragma once

#include <QString>

class QLabel;
class QWidget;

// Installs the program's accessibility: link labels as links that can be
// activated, value labels read with what they are, windows built ahead kept
// out of the tree until shown. Call once, after the application object exists.
void InstallAccessibility();

// A label that shows a value (a score, a sign) is read as "what: value", so
// that the value is heard with its meaning; the caption is spoken as given.
void ExposeValue(QLabel* value, const QString& what);
// Reads the value label's text anew after it changed.
void SpeakValue(QLabel* value);

// A widget read with the given role instead of its class's (for example a
// bar of buttons that is a frame only in its looks).
void ExposeAsPanel(QWidget* widget);

// Tool tips a screen reader would also read as the control's description,
// repeating its own text: the control shows its full text on hovering
// without keeping it as its tool tip.
void ShowFullTextOnHover(QWidget* control);

// Says text to a screen reader at once, as a notification of the window:
// for news that no focus change brings, such as a list's new entry (Qt 6.4
// tells a screen reader nothing of it) or a reading that has just opened.
void Announce(QWidget* window, const QString& text);
