// The application shell: titles, the vendor's web pages, the list of loaded
// windows and the one way the program ends.
#pragma once

#include <QDate>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

class LinkLabel;
class QAction;

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

// Opens the page with the key whenever the menu item is chosen or the link
// label clicked.
void OpenPageOn(QAction* action, const QString& key);
void OpenPageOn(LinkLabel* label, const QString& key);

// Windows register themselves when created, so that the program can close
// them in the order they were loaded.
void RegisterLoadedWindow(QWidget* window);
QList<QPointer<QWidget>> LoadedWindows();

// Closes every loaded window, then ends the process. Windows that close while
// this runs must not start another ending.
void UnloadAllAndEnd();
bool IsEnding();

// True while a modal window other than this one (or one of its own) is open.
// Mouse and keys cannot reach a window then, but assistive technology and
// queued clicks can: a hand-off (Back, Exit, Proceed, Print, About) that
// would close or cover the window under an open modal one is refused then.
bool BlockedByModal(const QWidget* window);

// Start-up, in order: refuse a second copy, seed the random generator, run
// the update reminder, show the input window, pick the promotion in front.
// Answers false when this copy must end at once (another copy runs).
bool RunStartup();

// Holds the per-user lock that marks a running copy; the system releases it
// when the process ends in any way. False when another copy holds it.
bool AcquireSingleInstanceLock();
// The user's own runtime folder (emptied when the session ends), or empty
// when there is none that belongs to the user alone.
QString PrivateRuntimeFolder();
// Where that lock lives: in the user's private runtime folder, or nowhere
// (empty) when there is none.
QString SingleInstanceLockPath();
void ReleaseSingleInstanceLockForTesting();

// Makes a write past the user's file-size limit fail with an error, as a full
// disk does, instead of the signal that would end the process.
void SurviveFileSizeLimit();

// The random draw in [0, 1); seeded from the clock at start-up. Tests may
// put a fixed draw here.
double RandomDraw();
void SeedRandomFromClock();
void SetRandomDraw(std::function<double()> draw);

// Brings one of the input window's two promotions to the front: draws R,
// rounds R x 6 + 1 half to even; 1, 3, 5 the co-brand offer, 2, 4, 6 the
// full-brand offer, 7 leaves the layout as it is. Answers the number drawn.
std::int16_t CoBrand_Randomize(QWidget* input);
extern std::int16_t intCoBrandRandomNumber;
// R x 6 + 1 rounded to the nearest whole number, halves to the even one.
std::int16_t CoBrandNumber(double r);

// The executable's file name without extension: the settings' application name.
QString ExecutableName();

// The per-user settings file that holds the reminder's entry; empty when
// the user has no home to keep settings in.
QString SettingsFilePath();
// For tests: forget a date kept for this session only, in memory (as a new
// run would) and, unless told otherwise, the note that outlives the run.
void ForgetSessionReminderForTesting(bool alsoTheNote = true);
// At most once in fifteen days, asks whether to look for a newer version.
void UpdateReminder();
// Today's date; tests put a fixed day here.
void SetToday(std::function<QDate()> today);
QDate Today();

// The obscuring of the reminder's key and value: every character's Latin-1
// code moves up (encode) or down (decode) by SettingShift; a character that
// would leave 0..255 is dropped.
inline constexpr int SettingShift = 128;
QString EncodeSetting(const QString& text);
QString DecodeSetting(const QString& text);

// How the process ends; tests put a recorder here instead.
void SetEndProcess(std::function<void()> endProcess);
// For tests: forget that an ending has begun.
void ResetEndingForTesting();

}  // namespace modHelp
