// The update reminder and the obscuring of its one setting.
#pragma once

#include <QString>

namespace modHelp {

// The most bytes a settings file may hold: far more than the reminder's few
// lines. A bigger one is not read, and is replaced.
inline constexpr qint64 MostSettingsBytes = 256 * 1024;
// The per-user settings file that holds the reminder's entry; empty when
// the user has no home to keep settings in.
QString SettingsFilePath();
// For tests: forget a date kept for this session only, in memory (as a new
// run would) and, unless told otherwise, the note that outlives the run.
void ForgetSessionReminderForTesting(bool alsoTheNote = true);
// At most once in fifteen days, asks whether to look for a newer version.
void UpdateReminder();

// The obscuring of the reminder's key and value: every character's Latin-1
// code moves up (encode) or down (decode) by SettingShift; a character that
// would leave 0..255 is dropped.
inline constexpr int SettingShift = 128;
QString EncodeSetting(const QString& text);
QString DecodeSetting(const QString& text);

}  // namespace modHelp
