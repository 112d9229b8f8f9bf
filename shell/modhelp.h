// The application shell: titles, the vendor's web pages, the list of loaded
// windows and the one way the program ends.
#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace modHelp {

// Message boxes and the save dialog carry the product name; windows add the version.
inline const QString ApplicationTitle = QStringLiteral("Lunvex Chinese Zodiac Compatibility");
inline const QString WindowCaption = QStringLiteral("Lunvex Chinese Zodiac Compatibility v2.10");

// The keys of the vendor's pages.
namespace PageKey {
inline const QString HomePage = QStringLiteral("home-page");
inline const QString HelpWebPage = QStringLiteral("help-web-page");
inline const QString DownloadWebPage = QStringLiteral("download-web-page");
inline const QString Donate = QStringLiteral("donate");
inline const QString CoBrand = QStringLiteral("co-brand");
inline const QString FullyBranded = QStringLiteral("fully-branded");
}  // namespace PageKey

// The vendor's web host, set when the program is built.
QString VendorHost();
// "http://<host>/lunvex-free-chinese-zodiac-compatibility/ssd.php?page=<key>"
QString PageAddress(const QString& key);
// Opens the page in the default browser; says nothing when it cannot.
void OpenWebPage(const QString& key);

// Windows register themselves when created, so that the program can close
// them in the order they were loaded.
void RegisterLoadedWindow(QWidget* window);
QList<QPointer<QWidget>> LoadedWindows();

// Closes every loaded window, then ends the process. Windows that close while
// this runs must not start another ending.
void UnloadAllAndEnd();
bool IsEnding();

// How the process ends; tests put a recorder here instead.
void SetEndProcess(std::function<void()> endProcess);
// For tests: forget that an ending has begun.
void ResetEndingForTesting();

}  // namespace modHelp
