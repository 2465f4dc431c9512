#pragma once
// Turns the parsed price points into the chart grid and marks the user's entries on it.
#include "core/records.h"
#include "market/price_history.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <array>

namespace qb {

struct ChartInputs {
    QString symbol;
    QDate start;
    QDate end;
    std::array<QString, 3> trans;  // the three transaction choices, marker series 3..5
};

// Short periods (three month boundaries or fewer) label rows "Aug 5", longer ones "Aug 05".
bool is_short_period(const QDate& start, const QDate& end);
QString row_label(const QDate& day, bool short_period);
// Rows between two date labels: a ninth of the rows, at least 1.
int label_step(int32_t hist_count);

// The marker series (3..5) an entry belongs to, 0 for none.
int entry_series(const SummaryEntry& e, const ChartInputs& in);
// The grid row an entry date falls on, 0 when it lies before the oldest point.
int row_for_date(const PriceHistory& h, double entry_date);

// Fills chart_data, max_price, min_price and price_step and places the markers;
// false (nothing built) for fewer than two points.
bool put_data_into_chart(PriceHistory& h, const ChartInputs& in, const QVector<SummaryEntry>& entries);

} // namespace qb
