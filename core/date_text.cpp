#include "core/date_text.h"

#include "core/ole_date.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace qb {
namespace {

// The date alone: the short form (four- or two-digit year), then ISO 8601.
QDate parse_date_only(const QString& text) {
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

// Locale formats may carry no-break spaces; the texts we write and read use plain blanks.
QString plain_blanks(QString s) {
    s.replace(QChar(0x202F), u' ');
    s.replace(QChar(0x00A0), u' ');
    return s;
}

} // namespace

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

QString time_format() {
    if (QLocale().language() == QLocale::C) return QStringLiteral("h:mm:ss AP");
    // The long form without its time zone.
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    QString f = plain_blanks(QLocale().timeFormat(QLocale::LongFormat));
    f.replace(zone, QStringLiteral(" "));
    return f.trimmed();
}

QString general_date_text(double ole) {
    const QDateTime dt = datetime_from_ole(ole);
    if (!dt.isValid()) return QString();
    QString s = short_date_text(dt.date());
    if (dt.time() != QTime(0, 0)) s += u' ' + plain_blanks(QLocale().toString(dt.time(), time_format()));
    return s;
}

QTime parse_time_text(const QString& input) {
    const QString text = plain_blanks(input).trimmed();
    if (text.isEmpty()) return QTime();
    const QLocale locale;
    QStringList formats{time_format(), plain_blanks(locale.timeFormat(QLocale::ShortFormat))};
    formats << QStringLiteral("h:mm:ss AP") << QStringLiteral("h:mm AP") << QStringLiteral("H:mm:ss")
            << QStringLiteral("H:mm");
    for (const QString& f : formats) {
        const QTime t = locale.toTime(text, f);
        if (t.isValid()) return t;
    }
    return QTime::fromString(text, Qt::ISODate);
}

bool parse_date_time_text(const QString& input, QDate& date, QTime& time) {
    const QString text = input.trimmed();
    time = QTime();
    // ISO 8601 joins the date and the time with a "T" (the date reader alone would drop the time).
    if (text.contains(u'T')) {
        const QDateTime iso = QDateTime::fromString(text, Qt::ISODate);
        if (iso.isValid()) {
            date = iso.date();
            time = iso.time();
            return true;
        }
    }
    date = parse_date_only(text);
    if (date.isValid()) return true;
    // A date, a blank and a time of day; the date or the time may hold blanks themselves.
    for (qsizetype at = text.indexOf(u' '); at > 0; at = text.indexOf(u' ', at + 1)) {
        const QDate d = parse_date_only(text.left(at).trimmed());
        if (!d.isValid()) continue;
        const QTime t = parse_time_text(text.mid(at + 1));
        if (!t.isValid()) continue;
        date = d;
        time = t;
        return true;
    }
    date = QDate();
    return false;
}

QDate parse_date_text(const QString& text) {
    QDate date;
    QTime time;
    parse_date_time_text(text, date, time);
    return date;
}

} // namespace qb
