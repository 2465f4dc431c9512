#pragma once
// Dates as the user reads and types them: the locale's short date form with a
// four-digit year (a two-digit year would read back as 19yy).
#include <QDate>
#include <QString>

namespace qb {

QString short_date_format();             // e.g. "M/d/yyyy"
QString short_date_text(const QDate& d);
// The short form, plus the time of day when there is one.
QString general_date_text(double ole);
// The short form (four- or two-digit year), then ISO 8601; invalid when neither fits.
QDate parse_date_text(const QString& text);

} // namespace qb
