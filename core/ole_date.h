#pragma once
// OLE Automation dates: days since 1899-12-30 as a double, the fraction the time of day.
#include <QDate>
#include <QDateTime>

namespace qb {

double ole_from_date(const QDate& d);
double ole_from_datetime(const QDateTime& dt);
QDate date_from_ole(double ole);
QDateTime datetime_from_ole(double ole);

} // namespace qb
