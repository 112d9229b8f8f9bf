// The program's titles and the vendor's web pages: every "open this address"
// goes through OpenWebPage.
#pragma once

#include <QString>

#include <QLoggingCategory>

class LinkLabel;
class QAction;

// Opening web addresses, the vendor's and the report's; quiet unless
// QT_LOGGING_RULES asks.
Q_DECLARE_LOGGING_CATEGORY(lcLinks)

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

// The pages of the menus the input and results windows share: Help's three
// pages, Donate, and the switched-off Make Money Online. About opens a
// window, which is for the window's owner to do.
struct SharedMenuPages {
    QAction* mnuOnline;
    QAction* mnuVisit;
    QAction* mnuUpdate;
    QAction* mnuDonate;
    QAction* mnumakemoney;
};
void OpenSharedMenuPages(const SharedMenuPages& menus);

}  // namespace modHelp
