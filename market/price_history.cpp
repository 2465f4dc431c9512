#include "market/price_history.h"

#include "core/core.h"
#include "core/date_text.h"
#include "core/ole_date.h"

#include <QStringList>
#include <algorithm>

namespace qb {
namespace {

// A column name without case, blanks or points: "Adj Close", "Adj. Close" and "adjclose" alike.
QString column_key(const QString& name) {
    QString key;
    for (QChar ch : name)
        if (ch.isLetter()) key += ch.toLower();
    return key;
}

// The field number (2..7) of the price column a heading names, 0 when it names none.
// Services write the adjusted close either last or before the volume.
int price_field_of_heading(const QStringList& pieces) {
    int close = 0;
    for (int k = 1; k < pieces.size() && k < 7; ++k) {
        const QString key = column_key(pieces[k]);
        if (key == u"adjclose") return k + 1;
        if (key == u"close" && close == 0) close = k + 1;
    }
    return close;
}

} // namespace

void PriceHistory::clear_hist_data() {
    for (HistData& h : hist_data) h = HistData{};
    hist_count = 0;
    max_price = 0;
    min_price = 0;
}

void PriceHistory::parse_quote_data(const QString& data, const QString& symbol, bool& ok) {
    clear_hist_data();
    ok = false;
    if (data.isEmpty()) return;
    const QString lower_symbol = symbol.trimmed().toLower();
    Core* c = Core::current();
    QStringList pieces;
    price_field = 7;
    bool heading_seen = false;
    qsizetype pos = 0;
    // The last line counts even without a line feed after it: a reply cut short or
    // written by hand still gives its final day.
    while (pos < data.size()) {
        qsizetype end = data.indexOf(u'\n', pos);
        if (end < 0) end = data.size();
        const QString line = data.mid(pos, end - pos);
        pos = end + 1;

        pieces.clear();
        if (c)
            c->string_to_collection(line, pieces);
        if (pieces.isEmpty()) continue;
        // The service writes ISO dates; trying that form first spares the locale's
        // slower parse on every line.
        QDate day = QDate::fromString(pieces[0], Qt::ISODate);
        if (!day.isValid()) day = parse_date_text(pieces[0]);
        if (!day.isValid()) {
            // The heading comes before the first day.
            if (!heading_seen && hist_count == 0)
                if (const int field = price_field_of_heading(pieces)) {
                    price_field = field;
                    heading_seen = true;
                }
            continue;
        }
        if (pieces.size() != 7) continue;

        if (hist_count > hist_data.size() - 1) hist_data.resize(hist_count + 11);
        HistData& h = hist_data[hist_count];
        h.valid = kTrue;
        h.symbol = lower_symbol;
        h.quote_date = ole_from_date(day);
        for (int k = 0; k < 6; ++k) h.col[size_t(k)] = pieces[k + 1];
        ++hist_count;
    }
    // Everything downstream reads element 0 as the newest day; a service that lists
    // the oldest day first would otherwise draw the chart back to front.
    const auto first = hist_data.begin(), last = hist_data.begin() + hist_count;
    auto newer = [](const HistData& a, const HistData& b) { return a.quote_date > b.quote_date; };
    if (!std::is_sorted(first, last, newer)) std::stable_sort(first, last, newer);
    ok = true;
}

void PriceHistory::update_price_with_trans(int series, int row) {
    if (series < 3 || series > 5 || row < 1 || row > chart_data.size()) return;
    const int o1 = series == 3 ? 4 : 3;
    const int o2 = series == 5 ? 4 : 5;
    const double p = cell(row, 2);
    const bool m1 = cell(row, o1) != 0;
    const bool m2 = cell(row, o2) != 0;
    if (!m1 && !m2) {
        cell(row, series) = p;
    } else if (cell(row, o1) > 0 && cell(row, o2) > 0) {
        const double d = (p - min_price - price_step) / 3;
        cell(row, 3) = min_price + d;
        cell(row, 4) = min_price + 2 * d;
        cell(row, 5) = p;
    } else {
        const int other = cell(row, o1) > 0 ? o1 : o2;
        const double d = (p - min_price - price_step) / 2;
        cell(row, std::min(series, other)) = min_price + d;
        cell(row, std::max(series, other)) = p;
    }
}

} // namespace qb
