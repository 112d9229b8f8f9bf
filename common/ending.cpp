#include "common/ending.h"

#include <QApplication>
#include <QCloseEvent>

namespace {

QList<QPointer<QWidget>>& Loaded() {
    static QList<QPointer<QWidget>> windows;
    return windows;
}

Ending*& Installed() {
    static Ending* installed = nullptr;
    return installed;
}

}  // namespace

void Ending::endProcess() { QCoreApplication::exit(0); }

Ending& Ending::current() {
    static Ending own;
    return Installed() ? *Installed() : own;
}

void Ending::install(Ending* ending) { Installed() = ending; }

namespace modHelp {

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
    if (IsEnding()) return;
    Ending& ending = Ending::current();
    ending.m_begun = true;
    // A window's own close handler runs as usual; one that refuses to close
    // does not stop the others or the ending.
    for (const QPointer<QWidget>& window : LoadedWindows())
        if (window) window->close();
    ending.endProcess();
}

bool IsEnding() { return Ending::current().begun(); }

bool BlockedByModal(const QWidget* window) {
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !window) return false;
    // The modal window itself, and anything inside it, may act.
    return modal != window->window() && !modal->isAncestorOf(window);
}

bool RefuseCloseUnderModal(const QWidget* window, QCloseEvent* event) {
    if (IsEnding() || !BlockedByModal(window)) return false;
    event->ignore();
    return true;
}

}  // namespace modHelp
