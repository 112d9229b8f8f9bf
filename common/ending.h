// The loaded windows and the one way the program ends.
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QCloseEvent;

namespace modHelp {
void UnloadAllAndEnd();
}

// How the process ends once every loaded window has closed. The program's
// own ends the event loop; tests install one that only counts.
class Ending {
  public:
    virtual ~Ending() = default;
    virtual void endProcess();

    // True from the moment the ending begins.
    bool begun() const { return m_begun; }

    // The ending in use: the program's own unless a test installed another
    // (not owned; nullptr restores the program's own).
    static Ending& current();
    static void install(Ending* ending);

  private:
    friend void modHelp::UnloadAllAndEnd();
    bool m_begun = false;
};

namespace modHelp {

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

// For a window's close handler: refuses (ignores) the close while a modal
// window is open over this one, which would go with it in the middle of its
// own loop; an ending program closes everything. Answers true when refused.
bool RefuseCloseUnderModal(const QWidget* window, QCloseEvent* event);

}  // namespace modHelp
