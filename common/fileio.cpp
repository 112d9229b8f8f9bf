#include "common/fileio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <string>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace fileio {

std::optional<QString> WriteAll(QFileDevice& file, const QByteArray& data) {
    qint64 done = 0;
    while (done < data.size()) {
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0) return file.errorString();
        done += n;
    }
    return std::nullopt;
}

namespace {

// Hands an open descriptor to the file, which closes it from then on; closes
// it here when the file will not take it.
bool Adopt(QFile& file, int fd, QIODevice::OpenMode mode) {
    if (file.open(fd, mode, QFileDevice::AutoCloseHandle)) return true;
#ifdef Q_OS_WIN
    ::_close(fd);
#else
    ::close(fd);
#endif
    return false;
}

// Opens a regular file to read, never following a link on Windows and never
// waiting on a pipe; false for anything else.
bool OpenPlainToRead(QFile& file, const QString& path);

}  // namespace

#ifdef Q_OS_WIN

Device OpenDeviceToWrite(QFile& file, const QString& path, QString* reason) {
    const QString native = QDir::toNativeSeparators(path);
    const std::wstring name = native.toStdWString();
    // Not created, not cut short: a file on disk is closed again untouched.
    const HANDLE handle =
        ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // Only names under \\.\ are pipes and devices by name alone; anything
        // else that cannot be opened is left to the usual save, which tells why.
        if (!native.startsWith(QLatin1String("\\\\.\\"))) return Device::None;
        const bool pipe = native.startsWith(QLatin1String("\\\\.\\pipe\\"), Qt::CaseInsensitive);
        *reason = pipe && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PIPE_BUSY)
                      ? QString::fromLatin1(NobodyReadsPipe)
                      : qt_error_string(int(error));
        return Device::Refused;
    }
    if (::GetFileType(handle) == FILE_TYPE_DISK) {
        ::CloseHandle(handle);
        return Device::None;
    }
    // From here the descriptor owns the handle, and closing it closes both.
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        *reason = qt_error_string(EMFILE);
        return Device::Refused;
    }
    if (!Adopt(file, fd, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = file.errorString();
        return Device::Refused;
    }
    return Device::Opened;
}

std::optional<Facts> FactsOf(NativeHandle handle) {
    Facts facts;
    facts.ours = true;
    // Asked first: a pipe or device has no file information to give.
    if (::GetFileType(handle) != FILE_TYPE_DISK) return facts;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return std::nullopt;
    constexpr DWORD kNotPlain =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    facts.plain = (info.dwFileAttributes & kNotPlain) == 0;
    facts.size = qint64((quint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    return facts;
}

namespace {

bool OpenPlainToRead(QFile& file, const QString& path) {
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    // A reparse point is opened as itself, not followed, and then refused.
    const HANDLE handle = ::CreateFileW(
        native.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const std::optional<Facts> facts = FactsOf(handle);
    if (!facts || !facts->plain) {
        ::CloseHandle(handle);
        return false;
    }
    // From here the descriptor owns the handle, and closing it closes both.
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        return false;
    }
    return Adopt(file, fd, QIODevice::ReadOnly);
}

}  // namespace

#else

Device OpenDeviceToWrite(QFile& file, const QString& path, QString* reason) {
    const QByteArray name = QFile::encodeName(path);
    // Followed through links, as the write would be.
    struct stat info {};
    if (::stat(name.constData(), &info) != 0 || S_ISREG(info.st_mode) || S_ISDIR(info.st_mode))
        return Device::None;
    // Without O_NONBLOCK, opening a pipe nobody reads would wait for a reader;
    // this way it fails at once.
    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        *reason = error == ENXIO && S_ISFIFO(info.st_mode) ? QString::fromLatin1(NobodyReadsPipe)
                                                           : qt_error_string(error);
        return Device::Refused;
    }
    // A reader is there: writes wait for it to take each part.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!Adopt(file, fd, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = file.errorString();
        return Device::Refused;
    }
    return Device::Opened;
}

std::optional<Facts> FactsOf(NativeHandle handle) {
    struct stat info {};
    if (::fstat(handle, &info) != 0) return std::nullopt;
    Facts facts;
    facts.plain = S_ISREG(info.st_mode);
    facts.ours = info.st_uid == ::geteuid();
    facts.size = qint64(info.st_size);
    return facts;
}

namespace {

bool OpenPlainToRead(QFile& file, const QString& path) {
    // O_NONBLOCK: opening a pipe to read would otherwise wait for a writer.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    const std::optional<Facts> facts = FactsOf(fd);
    if (!facts || !facts->plain) {
        ::close(fd);
        return false;
    }
    return Adopt(file, fd, QIODevice::ReadOnly);
}

}  // namespace

#endif

SmallFile ReadSmallFile(const QString& path, qint64 mostBytes) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return {Read::Missing, {}};
    QFile file;
    if (!OpenPlainToRead(file, path)) return {Read::Unreadable, {}};
    // One byte past the limit tells a file too big, read no further. The
    // limit is judged on what was read, not on the size the file had when
    // opened, so a file that grows meanwhile is held to it the same way.
    QByteArray bytes = file.read(mostBytes + 1);
    if (bytes.size() > mostBytes) return {Read::TooBig, {}};
    if (file.error() != QFileDevice::NoError) return {Read::Unreadable, {}};
    return {Read::Whole, bytes};
}

}  // namespace fileio
