// Web addresses in the report: found in its text, shown as links, and opened
// by a press of the left mouse button while the report window is open.
#pragma once

#include <QList>
#include <QString>
#include <QUrl>

class QTextEdit;
class QWidget;

namespace modRTB {

struct Link {
    int start = 0;
    int length = 0;
    QString text;
};

// The addresses in a text: from a scheme ("http:", "https:", "ftp:", "file:",
// "mailto:", "news:") or "www." to the next blank, less closing punctuation.
QList<Link> FindLinks(const QString& text);

// The address a link opens: the link exactly as written ("www." addresses on
// the web), or an invalid address when it is not a well-formed one.
QUrl LinkUrl(const QString& text);

// Links longer than this are shown but not opened.
inline constexpr int MaxLinkLength = 1024;

// Starts showing and handling links in the rich-text box; one box at a time.
void StartLinkDetection(QTextEdit* LinkTextWindow, QWidget* LinkOwnerWindow);
// Stops it again; does nothing when nothing is being handled.
void StopLinkDetection();
// The links being handled now (empty when none).
QList<Link> ActiveLinks();

}  // namespace modRTB
