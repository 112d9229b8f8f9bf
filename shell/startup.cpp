// Start-up: the single-instance lock, the random draw, and the promotion in front.
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTimer>

#include <cmath>
#include <random>

#include "common/accessibility.h"
#include "common/ending.h"
#include "common/fileio.h"
#include "common/placement.h"
#include "common/programicon.h"
#include "common/userdialogs.h"
#include "common/warmup.h"
#include "common/windowlook.h"
#include "input/frmmain.h"
#include "shell/clock.h"
#include "shell/navigator.h"
#include "shell/startup.h"
#include "shell/updatereminder.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>

// Start-up and the single-instance lock; quiet unless QT_LOGGING_RULES asks.
namespace {
Q_LOGGING_CATEGORY(lcStartup, "lunvex.startup", QtCriticalMsg)
}  // namespace

namespace modHelp {

std::int16_t intCoBrandRandomNumber = 0;

#ifdef Q_OS_WIN
// The user's local application-data folder, made if missing. Windows gives
// it to the user alone, so no other user can plant a lock there.
QString PrivateRuntimeFolder() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (dir.isEmpty() || !QDir().mkpath(dir)) return {};
    return dir;
}
#else
// The user's own runtime folder, or nothing. A lock in a folder that others
// can write to (such as /tmp) could be made first by another user, who would
// then lock this one out.
QString PrivateRuntimeFolder() {
    // Qt checks owner and mode already, and without XDG_RUNTIME_DIR makes a
    // private folder of its own; check again, since a folder named in the
    // environment may be anyone's.
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) return {};
    struct stat info {};
    if (::stat(QFile::encodeName(dir).constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid() || (info.st_mode & 0077) != 0)
        return {};
    return dir;
}
#endif

// One lock per user and executable: its name comes from the executable's
// path. Empty when there is no private place for it.
QString SingleInstanceLockPath() {
    const QString dir = PrivateRuntimeFolder();
    if (dir.isEmpty()) return {};
    const QByteArray where =
        QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath().toUtf8();
    const QString tag = QString::fromLatin1(
        QCryptographicHash::hash(where, QCryptographicHash::Sha1).toHex().left(12));
    return dir + QLatin1Char('/') + ExecutableName() + QLatin1Char('-') + tag +
           QStringLiteral(".lock");
}

#ifdef Q_OS_WIN
namespace {

// Opened with no sharing: while this handle lives no other open succeeds,
// and Windows closes it when the process ends, however it ends.
HANDLE g_lockHandle = INVALID_HANDLE_VALUE;

}  // namespace

bool AcquireSingleInstanceLock() {
    const QString lockPath = SingleInstanceLockPath();
    if (lockPath.isEmpty()) {
        qCWarning(lcStartup,
                  "no application-data folder for the single-instance lock: "
                  "running without one");
        return true;
    }
    if (g_lockHandle != INVALID_HANDLE_VALUE) return true;
    const std::wstring path = QDir::toNativeSeparators(lockPath).toStdWString();
    // A reparse point is opened as itself, not followed, as O_NOFOLLOW does.
    const HANDLE handle =
        ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // Held open by a running copy.
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return false;
        // Any other failure: never lock the user out.
        qCWarning(lcStartup, "cannot open the lock %s: error %lu; running without one",
                  qPrintable(lockPath), static_cast<unsigned long>(error));
        return true;
    }
    if (const std::optional<fileio::Facts> facts = fileio::FactsOf(handle);
        !facts || !facts->plain) {
        qCWarning(lcStartup, "the lock %s is not a plain file; running without one",
                  qPrintable(lockPath));
        ::CloseHandle(handle);
        return true;
    }
    g_lockHandle = handle;
    return true;
}

void ReleaseSingleInstanceLockForTesting() {
    if (g_lockHandle != INVALID_HANDLE_VALUE) ::CloseHandle(g_lockHandle);
    g_lockHandle = INVALID_HANDLE_VALUE;
}
#else
namespace {

// flock is released by the kernel when the process dies, however it dies.
int g_lockFd = -1;

}  // namespace

bool AcquireSingleInstanceLock() {
    // Without a private place for the lock, run unguarded rather than let a
    // shared one refuse every start.
    const QString lockPath = SingleInstanceLockPath();
    if (lockPath.isEmpty()) {
        qCWarning(lcStartup,
                  "no private runtime folder for the single-instance lock: "
                  "running without one");
        return true;
    }
    if (g_lockFd >= 0) return true;
    const QByteArray path = QFile::encodeName(lockPath);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {  // no lock to be had: never lock the user out
        qCWarning(lcStartup, "cannot open the lock %s: %s; running without one", path.constData(),
                  std::strerror(errno));
        return true;
    }
    if (const std::optional<fileio::Facts> facts = fileio::FactsOf(fd);
        !facts || !facts->plain || !facts->ours) {
        qCWarning(lcStartup, "the lock %s is not a file of this user's; running without one",
                  path.constData());
        ::close(fd);
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    g_lockFd = fd;
    return true;
}

void ReleaseSingleInstanceLockForTesting() {
    if (g_lockFd >= 0) ::close(g_lockFd);
    g_lockFd = -1;
}
#endif

void SurviveFileSizeLimit() {
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

std::int16_t CoBrandNumber(double r) {
    // Rounded half to even, as the default rounding mode does.
    return static_cast<std::int16_t>(std::rint(r * 6.0 + 1.0));
}

std::int16_t CoBrand_Randomize(frmmain* input) {
    intCoBrandRandomNumber = CoBrandNumber(RandomSource::current().draw());
    if (!input) return intCoBrandRandomNumber;
    switch (intCoBrandRandomNumber) {
        case 1:
        case 3:
        case 5:
            input->bringToFront(frmmain::Promotion::CoBrand);
            break;
        case 2:
        case 4:
        case 6:
            input->bringToFront(frmmain::Promotion::FullBrand);
            break;
        default:  // 7: as laid out
            break;
    }
    return intCoBrandRandomNumber;
}

QString ExecutableName() {
    const QString path = QCoreApplication::applicationFilePath();
    const QString name = QFileInfo(path).completeBaseName();
    return name.isEmpty() ? QCoreApplication::applicationName() : name;
}

namespace {

std::terminate_handler g_previousTerminate = nullptr;

// Qt lets no exception through its event loop: an allocation that fails in
// an event handler, or while the program starts, ends up here. Said in one
// line without allocating; anything else goes on as before.
[[noreturn]] void EndOnUncaughtException() {
    if (const std::exception_ptr uncaught = std::current_exception()) {
        try {
            std::rethrow_exception(uncaught);
        } catch (const std::bad_alloc&) {
            std::fputs(
                "Lunvex Chinese Zodiac Compatibility: not enough memory; the program ends.\n",
                stderr);
            std::_Exit(OutOfMemoryExitCode);
        } catch (...) {
        }
    }
    if (g_previousTerminate) g_previousTerminate();
    std::abort();
}

}  // namespace

void PrepareProcess() {
    if (std::get_terminate() != EndOnUncaughtException)
        g_previousTerminate = std::set_terminate(EndOnUncaughtException);
    // Qt takes any number: at 0 or "nan" the windows have no size, at 1e308
    // their sizes overflow, and an invisible program holds the lock. From 0.1
    // (a window a few dozen pixels across) to 10 (a window still fits a
    // common screen, its content scrolled) every window can be seen.
    if (!qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) return;
    bool number = false;
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&number);
    if (number && std::isfinite(factor) && factor >= 0.1 && factor <= 10) return;
    qCWarning(lcStartup, "ignoring QT_SCALE_FACTOR=%s: not a scale from 0.1 to 10",
              qgetenv("QT_SCALE_FACTOR").constData());
    qunsetenv("QT_SCALE_FACTOR");
}

void PrepareApplication() {
    SurviveFileSizeLimit();
    ConfigureApplicationLook(IconTiming::Later);
    InstallAccessibility();
}

bool RunStartup() {
    if (!AcquireSingleInstanceLock()) {
        // The message box is this copy's only window: it shows the program's icon.
        InstallProgramIcon();
        Inform(nullptr, QStringLiteral("Application is already running"));
        UnloadAllAndEnd();
        return false;
    }
    RandomSource::current().seedFromClock();
    UpdateReminder();  // never stops the start, whatever goes wrong inside
    frmmain* input = Navigator::instance().newInput();
    CentreOnPointerScreen(input);
    input->show();
    WarmTextOf(input);  // while the window is being mapped
    CoBrand_Randomize(input);
    // The icon once the window has been painted: it is not needed before.
    AfterFirstPaint(input, [] { InstallProgramIcon(); });
    return true;
}

}  // namespace modHelp
