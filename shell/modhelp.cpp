#include "shell/modhelp.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QLoggingCategory>
#include <QUrl>

#include "shell/linklabel.h"

#ifndef LUNVEX_VENDOR_HOST
#define LUNVEX_VENDOR_HOST "www.lunvex.com"
#endif

namespace modHelp {
namespace {

// The vendor's pages; quiet unless QT_LOGGING_RULES asks.
Q_LOGGING_CATEGORY(lcLinks, "lunvex.links", QtCriticalMsg)

QList<QPointer<QWidget>>& Loaded() {
    static QList<QPointer<QWidget>> windows;
    return windows;
}

bool g_ending = false;

std::function<void()>& EndProcess() {
    static std::function<void()> end = [] { QCoreApplication::exit(0); };
    return end;
}

}  // namespace

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

void RegisterLoadedWindow(QWidget* window) {
    auto& windows = Loaded();
    windows.removeAll(nullptr);
    windows.append(window);
}

QList<QPointer<QWidget>> LoadedWindows() {
    auto& windows = Loaded();
    windows.removeAll(nullptr);
    return windows;
}

void UnloadAllAndEnd() {
    if (g_ending) return;
    g_ending = true;
    // A window's own close handler runs as usual; one that refuses to close
    // does not stop the others or the ending.
    for (const QPointer<QWidget>& window : LoadedWindows())
        if (window) window->close();
    EndProcess()();
}

bool IsEnding() { return g_ending; }

bool BlockedByModal(const QWidget* window) {
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !window) return false;
    // The modal window itself, and anything inside it, may act.
    return modal != window->window() && !modal->isAncestorOf(window);
}

void SetEndProcess(std::function<void()> endProcess) { EndProcess() = std::move(endProcess); }

void ResetEndingForTesting() { g_ending = false; }

}  // namespace modHelp
