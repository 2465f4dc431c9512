#include "market/chart_grid.h"

#include "core/ole_date.h"
#include "core/text_helpers.h"

#include <QLocale>

namespace qb {

bool is_short_period(const QDate& start, const QDate& end) {
    const int months = (end.year() * 12 + end.month()) - (start.year() * 12 + start.month());
    return std::abs(months) <= 3;
}

QString row_label(const QDate& day, bool short_period) {
    const QLocale locale;
    return locale.toString(day, QStringLiteral("MMM")) + u' ' +
           (short_period ? QString::number(day.day()) : locale.toString(day, QStringLiteral("yy")));
}

int label_step(int32_t hist_count) {
    // A short reply would give 0, which no axis can step by.
    const int n = (hist_count - 1) / 8;
    return n < 1 ? 1 : n;
}

int entry_series(const SummaryEntry& e, const ChartInputs& in) {
    if (!e.is_live()) return 0;
    const QString type = e.transaction.toLower();
    int series = 0;
    for (int k = 0; k < 3; ++k)
        if (type == in.trans[size_t(k)].toLower()) series = 3 + k;
    return series;
}

int row_for_date(const PriceHistory& h, double entry_date) {
    for (int32_t i = h.hist_count - 1; i >= 0; --i) {
        const double day = h.hist_data[i].quote_date;
        if (day == entry_date) return h.hist_count - i;
        if (i > 0 && entry_date > day && entry_date < h.hist_data[i - 1].quote_date) return h.hist_count - i;
    }
    // After the newest point it belongs to the newest; before the oldest there is no
    // price of its day to show, so it is left out rather than put on the wrong end.
    if (h.hist_count > 0 && entry_date > h.hist_data[0].quote_date) return h.hist_count;
    return 0;
}

bool put_data_into_chart(PriceHistory& h, const ChartInputs& in, const QVector<SummaryEntry>& entries) {
    if (h.hist_data.size() - 1 <= 0 || h.hist_count <= 1) return false;
    h.chart_data = QVector<ChartRow>(h.hist_count);
    const bool short_period = is_short_period(in.start, in.end);
    int r = 1;
    for (int32_t i = h.hist_count - 1; i >= 0; --i, ++r) {
        const HistData& point = h.hist_data[i];
        ChartRow& row = h.chart_data[r - 1];
        row.label = row_label(date_from_ole(point.quote_date), short_period);
        const double p = numeric_value(h.price_text(point));
        row.value = {p, 0, 0, 0};
        if (p > h.max_price) h.max_price = p;
        if (h.min_price == 0) h.min_price = p;
        if (p < h.min_price) h.min_price = p;
    }
    h.price_step = (h.max_price - h.min_price) * 0.1;

    const QString symbol = in.symbol.trimmed().toLower();
    const double start = ole_from_date(in.start);
    const double end = ole_from_date(in.end);
    for (const SummaryEntry& e : entries) {
        if (symbol != e.symbol.trimmed().toLower()) continue;
        if (e.entry_date < start || e.entry_date > end) continue;
        const int series = entry_series(e, in);
        if (series == 0) continue;
        const int row = row_for_date(h, e.entry_date);
        if (row > 0) h.update_price_with_trans(series, row);
    }
    return true;
}

} // namespace qb
