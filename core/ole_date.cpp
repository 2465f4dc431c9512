#include "core/ole_date.h"

#include <cmath>

namespace qb {
namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
}

double ole_from_date(const QDate& d) { return d.isValid() ? double(kEpoch.daysTo(d)) : 0.0; }

double ole_from_datetime(const QDateTime& dt) {
    if (!dt.isValid()) return 0.0;
    const double days = double(kEpoch.daysTo(dt.date()));
    const double frac = dt.time().msecsSinceStartOfDay() / kMsPerDay;
    // Before the epoch the fraction still counts forward from midnight.
    return days >= 0 ? days + frac : days - frac;
}

QDate date_from_ole(double ole) {
    if (!std::isfinite(ole) || std::fabs(ole) > 3e6) return QDate();
    return kEpoch.addDays(static_cast<qint64>(std::trunc(ole)));
}

QDateTime datetime_from_ole(double ole) {
    const QDate d = date_from_ole(ole);
    if (!d.isValid()) return QDateTime();
    const double frac = std::fabs(ole - std::trunc(ole));
    return QDateTime(d, QTime(0, 0).addMSecs(static_cast<int>(std::llround(frac * kMsPerDay)) % 86400000));
}

} // namespace qb
