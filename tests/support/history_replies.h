#pragma once
// Price history replies for the market tests: the stored samples and made-up daily series.
#include <QDate>
#include <QFile>
#include <QString>

namespace qb::test {

inline QString fixture(const QString& name) {
    QFile f(QStringLiteral(QB_SOURCE_DIR "/tests/market/fixtures/") + name);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

inline QString data_line(const QDate& d, double price) {
    return QStringLiteral("%1,1,2,0.5,1,100,%2\n").arg(d.toString(Qt::ISODate)).arg(price);
}

// n daily points newest first, ending on `newest`, prices from `newest_price` down by 1.
inline QString reply_of(int n, const QDate& newest = QDate(2026, 3, 13), double newest_price = 100) {
    QString s = QStringLiteral("Date,Open,High,Low,Close,Volume,Adj Close\n");
    for (int i = 0; i < n; ++i) s += data_line(newest.addDays(-i), newest_price - i);
    return s;
}

} // namespace qb::test
