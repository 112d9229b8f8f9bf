// The low-level file work the report and the settings share: writing all of
// a buffer, opening a pipe or device without waiting on it, telling what an
// open file is, and reading a small regular file whole. The system calls of
// each platform stay in fileio.cpp.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;
class QFileDevice;

namespace fileio {

// Writes all of data, however many parts the device takes it in. The device
// should be unbuffered, so that a short write (a full disk) shows as one: a
// buffered write would be reported whole and the file cut short without a
// word. The reason when not all of it could be written.
std::optional<QString> WriteAll(QFileDevice& file, const QByteArray& data);

// A path that names an existing pipe or device is written to as it is:
// replacing it with a regular file would destroy it. This opens it so when it
// is one. A pipe nobody reads is refused at once instead of waited on, which
// would freeze the window; once open, each write waits for the reader to take
// it, as with any file. On Windows the one opening serves to look and to
// write, since each opening of a pipe takes one of its connections.
enum class Device {
    None,     // a regular file, a folder or nothing: left untouched
    Opened,   // file is open to write
    Refused,  // reason says why
};
Device OpenDeviceToWrite(QFile& file, const QString& path, QString* reason);

// What a refused pipe is told: nobody reads it (or, on Windows, there is none).
inline const char* const NobodyReadsPipe = "No program is reading from this pipe.";

// A file opened by the system's own call: a descriptor, or on Windows a HANDLE.
#ifdef Q_OS_WIN
using NativeHandle = void*;
#else
using NativeHandle = int;
#endif

// What an open file is.
struct Facts {
    // A regular file on a disk: no folder, pipe, device, or on Windows a
    // reparse point (a link) opened as itself.
    bool plain = false;
    // The user running the program owns it. Windows files here are always
    // taken as the user's: they are only looked for in the user's own folders.
    bool ours = false;
    qint64 size = 0;
};
// No value when the system cannot tell.
std::optional<Facts> FactsOf(NativeHandle handle);

// Reading a small regular file whole.
enum class Read {
    Whole,       // bytes holds all of it
    Missing,     // nothing of that name (a link to nothing is not missing)
    TooBig,      // a regular file of more than the bytes allowed; none are handed out
    Unreadable,  // cannot be opened or read, or is no regular file
};
struct SmallFile {
    Read outcome = Read::Unreadable;
    QByteArray bytes;
};
// Never waits: a pipe in the file's place is refused at once, not read.
SmallFile ReadSmallFile(const QString& path, qint64 mostBytes);

}  // namespace fileio
