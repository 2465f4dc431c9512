#include "core/date_text.h"

#include "core/ole_date.h"

#include <QLocale>
#include <QRegularExpression>

namespace qb {

QString short_date_format() {
    // Asked for every date shown: kept until the locale changes.
    static QLocale known = QLocale::c();
    static QString format;
    const QLocale locale;
    if (!format.isEmpty() && locale == known) return format;
    known = locale;
    // Without a locale of its own (the C locale) the journal uses the month/day/year
    // form its files were written with.
    if (locale.language() == QLocale::C) return format = QStringLiteral("M/d/yyyy");
    format = locale.dateFormat(QLocale::ShortFormat);
    static const QRegularExpression years(QStringLiteral("y+"));
    format.replace(years, QStringLiteral("yyyy"));
    return format;
}

QString short_date_text(const QDate& d) { return QLocale().toString(d, short_date_format()); }

QString general_date_text(double ole) {
    const QDateTime dt = datetime_from_ole(ole);
    if (!dt.isValid()) return QString();
    QString s = short_date_text(dt.date());
    if (dt.time() != QTime(0, 0)) s += u' ' + QLocale().toString(dt.time(), QStringLiteral("h:mm:ss AP"));
    return s;
}

QDate parse_date_text(const QString& input) {
    const QString text = input.trimmed();
    const QLocale locale;
    QDate d = locale.toDate(text, short_date_format());
    if (!d.isValid()) {
        QString two_digit = short_date_format();
        two_digit.replace(QStringLiteral("yyyy"), QStringLiteral("yy"));
        d = locale.toDate(text, two_digit);
        // A two-digit year means this century's, as users type it now.
        if (d.isValid() && d.year() < 1950) d = d.addYears(100);
    }
    if (!d.isValid()) d = QDate::fromString(text, Qt::ISODate);
    return d;
}

} // namespace qb
