// What a screen reader or switch tool gets from the program's text boxes: the
// name boxes, the read-only profile fields and descriptions, and the report.
#pragma once

class QAccessibleInterface;
class QObject;

// The text interface of a line edit, plain-text edit or rich-text edit, or
// nullptr for any other object. It answers every offset and boundary without
// looping, keeps edits within the text, and refuses every edit of a box that
// is read-only on screen.
QAccessibleInterface* TextBoxInterface(QObject* object);
