#include "common/vendorpages.h"

#include <QAction>
#include <QDesktopServices>
#include <QLoggingCategory>
#include <QUrl>

#include "common/linklabel.h"

#ifndef LUNVEX_VENDOR_HOST
#define LUNVEX_VENDOR_HOST "www.lunvex.com"
#endif

Q_LOGGING_CATEGORY(lcLinks, "lunvex.links", QtCriticalMsg)

namespace modHelp {

QString VendorHost() { return QStringLiteral(LUNVEX_VENDOR_HOST); }

QString PageAddress(const QString& key) {
    return QStringLiteral("http://") + VendorHost() +
           QStringLiteral("/lunvex-free-chinese-zodiac-compatibility/ssd.php?page=") + key;
}

void OpenWebPage(const QString& key) {
    // The keys need no escaping; the address goes out exactly as built.
    const QUrl address(PageAddress(key), QUrl::StrictMode);
    if (!QDesktopServices::openUrl(address))
        qCWarning(lcLinks, "no browser opened %s", qUtf8Printable(address.toString()));
}

void OpenPageOn(QAction* action, const QString& key) {
    QObject::connect(action, &QAction::triggered, action, [key] { OpenWebPage(key); });
}

void OpenPageOn(LinkLabel* label, const QString& key) {
    QObject::connect(label, &LinkLabel::clicked, label, [key] { OpenWebPage(key); });
}

void OpenSharedMenuPages(const SharedMenuPages& m) {
    OpenPageOn(m.mnuOnline, PageKey::HelpWebPage);
    OpenPageOn(m.mnuVisit, PageKey::HomePage);
    OpenPageOn(m.mnuUpdate, PageKey::DownloadWebPage);
    OpenPageOn(m.mnuDonate, PageKey::Donate);
    OpenPageOn(m.mnumakemoney, PageKey::FullyBranded);
}

}  // namespace modHelp
