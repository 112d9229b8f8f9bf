// The update reminder and the obscuring of its one setting.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <optional>

#include "common/fileio.h"
#include "common/userdialogs.h"
#include "common/vendorpages.h"
#include "shell/clock.h"
#include "shell/startup.h"
#include "shell/updatereminder.h"

namespace {
// The reminder's setting; quiet unless QT_LOGGING_RULES asks.
Q_LOGGING_CATEGORY(lcSettings, "lunvex.settings", QtCriticalMsg)
}  // namespace

namespace modHelp {
namespace {

// The code of a character in Latin-1; anything outside it becomes "?", as a
// conversion to an 8-bit code page does.
int Latin1Code(QChar c) { return c.unicode() <= 0xFF ? c.unicode() : '?'; }

QString Shift(const QString& text, int by) {
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        const int code = Latin1Code(c) + by;
        if (code >= 0 && code <= 0xFF) result.append(QChar(code));
    }
    return result;
}

// Stored as ISO 8601: it reads back the same under any regional settings.
QString DateText(QDate day) { return day.toString(Qt::ISODate); }

// ISO first, then the regional short format with a four-digit year.
QDate ReadDate(const QString& text) {
    QDate day = QDate::fromString(text, Qt::ISODate);
    if (day.isValid()) return day;
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    day = QLocale().toDate(text, format);
    return day;
}

}  // namespace

QString EncodeSetting(const QString& text) { return Shift(text, SettingShift); }
QString DecodeSetting(const QString& text) { return Shift(text, -SettingShift); }

QString SettingsFilePath() {
#ifndef Q_OS_WIN
    // Without a home Qt would put the file in "/.config", shared by everyone
    // without one: no settings are kept then. Windows gives the folder from
    // the user's profile, whatever the environment says (HOME is seldom set).
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME") && qEnvironmentVariableIsEmpty("HOME"))
        return {};
#endif
    // ~/.config on Linux, the user's local application data on Windows.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) return {};
    return base + QStringLiteral("/Lunvex/") + ExecutableName() + QStringLiteral(".ini");
}

namespace {

// The whole of a small regular file; empty when there is none; no value when
// it cannot be read, is too big, or is no regular file (a pipe would wait for
// a writer before any window shows). A regular file too big to be read is
// told apart through tooBig.
std::optional<QByteArray> ReadSmallFile(const QString& path, bool* tooBig = nullptr) {
    const fileio::SmallFile file = fileio::ReadSmallFile(path, MostSettingsBytes);
    if (tooBig) *tooBig = file.outcome == fileio::Read::TooBig;
    switch (file.outcome) {
        case fileio::Read::Whole:
            return file.bytes;
        case fileio::Read::Missing:
            return QByteArray();
        case fileio::Read::TooBig:
        case fileio::Read::Unreadable:
            break;
    }
    return std::nullopt;
}

// Replaces the file whole, or leaves it as it was.
bool WriteWholeFile(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).path())) return false;
    QSaveFile file(path);
    // Unbuffered: a short write on a full disk shows as one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    if (fileio::WriteAll(file, bytes)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// Where the reminder keeps its day.
QString ReminderKey() {
    return QStringLiteral("Settings/") + EncodeSetting(QStringLiteral("Duration"));
}

// The settings file worked on as a private copy. Qt's own access takes a
// lock beside the file and waits for it without end: a lock left by a killed
// run in a read-only folder, or a folder or pipe of that name, would keep
// every window from showing. The copy lives in a folder of our own, where no
// one else's lock can be; the result goes back in one atomic replace.
class SettingsCopy {
  public:
    explicit SettingsCopy(const QString& path) : m_path(path) {
        if (path.isEmpty()) {
            qCWarning(lcSettings, "no settings location");
            return;
        }
        if (!m_folder.isValid()) {
            qCWarning(lcSettings, "no scratch folder for the settings: %s",
                      qUtf8Printable(m_folder.errorString()));
            return;
        }
        bool tooBig = false;
        const std::optional<QByteArray> bytes = ReadSmallFile(path, &tooBig);
        if (!bytes && !tooBig) {  // unreadable: as if there were no entry, and nothing is written
            qCWarning(lcSettings, "cannot read the settings file %s", qUtf8Printable(path));
            return;
        }
        const QString copyPath = m_folder.filePath(QStringLiteral("settings.ini"));
        if (!CopyTo(copyPath, bytes.value_or(QByteArray()))) return;
        m_settings = std::make_unique<QSettings>(copyPath, QSettings::IniFormat);
        if (tooBig || m_settings->status() == QSettings::FormatError) {
            // Kept as it is, such a file would be reported at every start and
            // never rewritten: each start would count as the first, and the
            // reminder would never ask. A fresh one keeps the day if it read.
            qCWarning(lcSettings, "the settings file %s is %s; replacing it", qUtf8Printable(path),
                      tooBig ? "too big" : "not in settings form");
            const QString day = m_settings->value(ReminderKey()).toString();
            m_settings.reset();
            if (!CopyTo(copyPath, {})) return;
            m_settings = std::make_unique<QSettings>(copyPath, QSettings::IniFormat);
            if (!day.isEmpty()) m_settings->setValue(ReminderKey(), day);
            if (!writeBack())
                qCWarning(lcSettings, "cannot replace the settings file %s", qUtf8Printable(path));
        } else if (m_settings->status() != QSettings::NoError) {
            qCWarning(lcSettings, "cannot read the settings file %s as settings",
                      qUtf8Printable(path));
            m_settings.reset();
        }
    }

    QString value(const QString& key) const {
        return m_settings ? m_settings->value(key).toString() : QString();
    }

    // False when the value could not be kept in the real file.
    bool store(const QString& key, const QString& value) {
        if (!m_settings) return false;
        m_settings->setValue(key, value);
        return writeBack();
    }

  private:
    static bool CopyTo(const QString& copyPath, const QByteArray& bytes) {
        QFile copy(copyPath);
        if (!copy.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            copy.write(bytes) != bytes.size()) {
            qCWarning(lcSettings, "cannot copy the settings to %s: %s", qUtf8Printable(copyPath),
                      qUtf8Printable(copy.errorString()));
            return false;
        }
        return true;
    }

    // The copy, as it now stands, replaces the real file.
    bool writeBack() {
        m_settings->sync();
        if (m_settings->status() != QSettings::NoError) return false;
        QFile copy(m_settings->fileName());
        if (!copy.open(QIODevice::ReadOnly)) return false;
        const QByteArray bytes = copy.readAll();
        return ReadsBackWhole(bytes) && WriteWholeFile(m_path, bytes);
    }

    // Qt takes a write cut short by a full disk for a whole one: the file
    // must hold every setting as written before it replaces the real one.
    bool ReadsBackWhole(const QByteArray& bytes) {
        const QString checkPath = m_folder.filePath(QStringLiteral("check.ini"));
        QFile check(checkPath);
        if (!check.open(QIODevice::WriteOnly) || check.write(bytes) != bytes.size() ||
            !check.flush())
            return false;
        check.close();
        const QSettings back(checkPath, QSettings::IniFormat);
        const QStringList keys = m_settings->allKeys();
        if (back.allKeys().size() != keys.size()) return false;
        return std::all_of(keys.cbegin(), keys.cend(), [&](const QString& key) {
            return back.value(key) == m_settings->value(key);
        });
    }

    QString m_path;
    QTemporaryDir m_folder;
    std::unique_ptr<QSettings> m_settings;
};

// A day that could not be stored is kept for the session instead: in memory,
// and in the user's runtime folder, which the system empties at logout. So a
// read-only or full settings folder brings the question at most once a
// session rather than at every start.
QString& SessionDay() {
    static QString day;
    return day;
}

QString SessionNotePath() {
    const QString folder = PrivateRuntimeFolder();
    return folder.isEmpty()
               ? QString()
               : folder + QLatin1Char('/') + ExecutableName() + QStringLiteral("-reminder");
}

QString SessionNote() {
    if (!SessionDay().isEmpty()) return SessionDay();
    const QString path = SessionNotePath();
    if (path.isEmpty()) return {};
    const std::optional<QByteArray> bytes = ReadSmallFile(path);
    return bytes ? DecodeSetting(QString::fromLatin1(bytes->trimmed())) : QString();
}

void KeepSessionNote(const QString& day) {
    SessionDay() = day;
    const QString path = SessionNotePath();
    if (!path.isEmpty()) WriteWholeFile(path, EncodeSetting(day).toLatin1());
}

void ForgetSessionNote() {
    SessionDay().clear();
    const QString path = SessionNotePath();
    if (!path.isEmpty() && QFileInfo(path).isFile()) QFile::remove(path);
}

}  // namespace

void ForgetSessionReminderForTesting(bool alsoTheNote) {
    if (alsoTheNote)
        ForgetSessionNote();
    else
        SessionDay().clear();
}

void UpdateReminder() {
    const QString path = SettingsFilePath();
    std::optional<SettingsCopy> settings(std::in_place, path);
    const QString key = ReminderKey();
    const QDate today = Clock::current().today();
    const auto writeToday = [&] {
        const QString day = DateText(today);
        if (!settings) settings.emplace(path);
        if (settings->store(key, EncodeSetting(day))) {
            ForgetSessionNote();
            return;
        }
        qCWarning(lcSettings, "cannot write the settings file %s; the day is kept for this session",
                  qUtf8Printable(path));
        KeepSessionNote(day);
    };

    // A day noted this session could not be stored, so it is newer than the store's.
    QString stored = SessionNote();
    if (stored.isEmpty()) stored = DecodeSetting(settings->value(key));
    if (stored.isEmpty()) {
        writeToday();  // first start
        return;
    }
    const QDate last = ReadDate(stored);
    if (!last.isValid()) {
        // An entry that no longer reads would silence the reminder for good.
        writeToday();
        return;
    }
    const qint64 days = today.daysTo(last);
    if (days >= -14 && days <= 14) return;

    // No copy of the settings stays in the temporary folder while the
    // question is open: the program may end there (a signal, a lost
    // display) without tidying up. The answer is stored through a new one.
    settings.reset();
    const QMessageBox::StandardButton answer = UserDialogs::current().message(
        nullptr, QMessageBox::Information, ApplicationTitle,
        QStringLiteral("There maybe an update to this software available\r"
                       "Do you want to check for an update?"),
        QMessageBox::Yes | QMessageBox::No);
    writeToday();
    if (answer == QMessageBox::Yes) OpenWebPage(PageKey::DownloadWebPage);
}

}  // namespace modHelp
