// The update reminder and the obscuring of its one setting.
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>

#include "shell/modhelp.h"
#include "shell/userdialogs.h"

namespace modHelp {
namespace {

std::function<QDate()>& Clock() {
    static std::function<QDate()> today = [] { return QDate::currentDate(); };
    return today;
}

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

void SetToday(std::function<QDate()> today) {
    if (today)
        Clock() = std::move(today);
    else
        Clock() = [] { return QDate::currentDate(); };
}

QDate Today() { return Clock()(); }

QString SettingsFilePath() {
    // Where QSettings keeps a user-scope INI file of organisation "Lunvex".
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Lunvex/") + ExecutableName() + QStringLiteral(".ini");
}

void UpdateReminder() {
    const QString path = SettingsFilePath();
    const QFileInfo file(path);
    // Only a regular file is read or written: reading a pipe would wait for
    // a writer before any window shows, and saving would replace what is there.
    if (file.exists() && !file.isFile()) return;
    QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) return;
    settings.beginGroup(QStringLiteral("Settings"));
    const QString key = EncodeSetting(QStringLiteral("Duration"));
    const QDate today = Today();
    const auto writeToday = [&] {
        settings.setValue(key, EncodeSetting(DateText(today)));
        settings.sync();
    };

    const QString stored = DecodeSetting(settings.value(key).toString());
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

    const QMessageBox::StandardButton answer = UserDialogs::current().message(
        nullptr, QMessageBox::Information, ApplicationTitle,
        QStringLiteral("There maybe an update to this software available\r"
                       "Do you want to check for an update?"),
        QMessageBox::Yes | QMessageBox::No);
    writeToday();
    if (answer == QMessageBox::Yes) OpenWebPage(PageKey::DownloadWebPage);
}

}  // namespace modHelp
