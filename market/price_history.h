#pragma once
// The chart window's data: the price points parsed from a history reply, the grid the
// chart is drawn from, and the rule that puts a transaction marker on a grid row.
#include "core/records.h"

#include <QString>
#include <QVector>
#include <array>

namespace qb {

// One data line of the history reply.
struct HistData {
    Flag valid = kFalse;
    QString symbol;           // as asked for, lower case
    double quote_date = 0;    // OLE date of field 1
    std::array<QString, 6> col{};  // fields 2..7, trimmed
    const QString& col7() const { return col[5]; }
    const QString& field(int n) const { return col[size_t(n - 2)]; }  // n = 2..7
};

// One grid row: the label and columns 2..5 (price, then the three marker series).
struct ChartRow {
    QString label;
    std::array<double, 4> value{};
};

class PriceHistory {
public:
    // Element 0 is the newest point; only 0 .. hist_count - 1 are read.
    QVector<HistData> hist_data = QVector<HistData>(1);
    int32_t hist_count = 0;
    // Rows 1 .. hist_count, row 1 the oldest point.
    QVector<ChartRow> chart_data;
    double max_price = 0;
    double min_price = 0;  // 0: no lowest price known yet
    double price_step = 0;
    // The field (2..7) charted as the price: the heading's "Adj Close" or "Close" column,
    // field 7 when the reply has no heading naming them.
    int price_field = 7;
    const QString& price_text(const HistData& h) const { return h.field(price_field); }

    // Grid cell of row 1.., column 2..5.
    double& cell(int row, int column) { return chart_data[row - 1].value[size_t(column - 2)]; }
    double cell(int row, int column) const { return chart_data[row - 1].value[size_t(column - 2)]; }

    void clear_hist_data();
    // ok is false only for an empty reply.
    void parse_quote_data(const QString& data, const QString& symbol, bool& ok);
    // series 3, 4 or 5; row 1 .. hist_count. Anything else changes nothing.
    void update_price_with_trans(int series, int row);
};

} // namespace qb
