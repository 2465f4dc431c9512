#pragma once
// Dates as the user reads and types them: the locale's short date form with a
// four-digit year (a two-digit year would read back as 19yy).
#include <QDate>
#include <QString>
#include <QTime>

namespace qb {

QString short_date_format();             // e.g. "M/d/yyyy"
QString short_date_text(const QDate& d);
// The locale's time of day with seconds, e.g. "h:mm:ss AP" or "HH:mm:ss".
QString time_format();
// The short form, plus the time of day when there is one.
QString general_date_text(double ole);
// A time of day in the locale's form, the 12-hour form with AM/PM or the 24-hour form.
QTime parse_time_text(const QString& text);
// A date alone or followed by a time of day (locale form or ISO 8601). False when the
// text is neither; time is invalid when the text holds no time of day.
bool parse_date_time_text(const QString& text, QDate& date, QTime& time);
// The date part of such a text; invalid when the text is none.
QDate parse_date_text(const QString& text);

} // namespace qb
