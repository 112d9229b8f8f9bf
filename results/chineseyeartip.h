// The tooltip of a sign label in the results window: the Chinese year a birth
// date belongs to and, for a date near a Chinese New Year, which side of it
// the date lies on. People born in January or February otherwise cannot tell
// a sign that differs from their birth year's from a mistake.
#pragma once

#include <QString>

#include <chrono>
#include <optional>

class QLabel;

// "Year of the Tiger (Wood): 23 January 1974 to 10 February 1975"; for a date
// within 30 days of the Chinese New Year that begins or ends that year, a
// second sentence on which side of it the date falls. Empty for a date outside
// the calendar.
QString ChineseYearTip(std::chrono::year_month_day birthDate);

// Puts the tip on a sign label as its tooltip and as its accessible
// description, so a screen reader offers it too. Without a date, neither.
void ExplainChineseYear(QLabel* signLabel, std::optional<std::chrono::year_month_day> birthDate);
