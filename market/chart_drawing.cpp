// Drawing the grid: the price line over the date labels, the three marker series, the
// price axis with a tenth of the range as margin and the percentage axis beside it.
#include "market/chart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

namespace qb {
namespace {

void dotted_grid(QValueAxis* axis) {
    QPen pen = axis->gridLinePen();
    pen.setStyle(Qt::DotLine);
    axis->setGridLinePen(pen);
}

QValueAxis* value_axis(const QString& title, double low, double high, const QString& format) {
    auto* axis = new QValueAxis();
    axis->setTitleText(title);
    axis->setTitleVisible(false);
    axis->setRange(low, high);
    axis->setTickCount(11);  // ten divisions
    axis->setLabelFormat(format);
    dotted_grid(axis);
    return axis;
}

} // namespace

void Chart::generate_chart() {
    bool ok = false;
    put_data_into_chart(ok);
    if (!ok) return;
    const PriceHistory& h = history;
    const int rows = h.hist_count;
    const double p1 = h.cell(1, 2);
    if (p1 == 0) return;  // no base for the percentage axis; the draw request says so

    QChart* chart = MSChart1->chart();
    chart->setTitle(Symbol->text().trimmed().toUpper() + QStringLiteral(" Stock Price and Transactions"));
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }

    // Dates: a label on every n-th row. The axis refuses a label it already holds, so a
    // repeated one ("Aug 05" twice in one month) is told apart by invisible spaces.
    auto* dates = new QCategoryAxis();
    dates->setTitleText(QStringLiteral("Date"));
    dates->setTitleVisible(false);
    dates->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    dates->setGridLineVisible(false);
    dates->setRange(1, rows);
    const int step = label_step(rows);
    for (int r = 1; r <= rows; r += step) {
        QString label = h.chart_data[r - 1].label;
        while (dates->categoriesLabels().contains(label)) label += QChar(0x200B);
        dates->append(label, r);
    }

    double top = h.max_price + h.price_step;
    double bottom = h.min_price - h.price_step > 0 ? h.min_price - h.price_step : 0;
    // One price all through gives no range to scale; open one around it.
    if (top <= bottom) {
        top = bottom + 1;
        bottom = bottom - 1 > 0 ? bottom - 1 : 0;
    }
    QValueAxis* prices = value_axis(QStringLiteral("Price"), bottom, top, QStringLiteral("$%.2f"));
    // The same heights in parts of the first day's price, shown as percent.
    QValueAxis* percent = value_axis(QStringLiteral("Percentage"), -((p1 - bottom) / p1) * 100, (top - p1) / p1 * 100,
                                     QStringLiteral("%.1f%%"));
    chart->addAxis(dates, Qt::AlignBottom);
    chart->addAxis(prices, Qt::AlignLeft);
    chart->addAxis(percent, Qt::AlignRight);

    auto* price = new QLineSeries();
    price->setName(QStringLiteral("Price"));
    QList<QPointF> points;
    points.reserve(rows);
    for (int r = 1; r <= rows; ++r) points.append(QPointF(r, h.cell(r, 2)));
    price->replace(points);
    chart->addSeries(price);
    price->attachAxis(dates);
    price->attachAxis(prices);

    static const QScatterSeries::MarkerShape shapes[3] = {QScatterSeries::MarkerShapeCircle,
                                                          QScatterSeries::MarkerShapeRectangle,
                                                          QScatterSeries::MarkerShapeTriangle};
    static const QColor colors[3] = {QColor(0, 160, 0), QColor(220, 0, 0), QColor(120, 0, 200)};
    for (int k = 0; k < 3; ++k) {
        auto* marks = new QScatterSeries();
        marks->setName(trans_combo[size_t(k)]->currentText());
        marks->setMarkerShape(shapes[k]);
        marks->setMarkerSize(11);
        marks->setColor(colors[k]);
        marks->setBorderColor(Qt::black);
        QList<QPointF> at;
        for (int r = 1; r <= rows; ++r)
            if (h.cell(r, 3 + k) != 0) at.append(QPointF(r, h.cell(r, 3 + k)));
        marks->replace(at);
        chart->addSeries(marks);
        marks->attachAxis(dates);
        marks->attachAxis(prices);
    }

    QLegend* legend = chart->legend();
    legend->setVisible(true);
    legend->setAlignment(Qt::AlignBottom);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    legend->setFont(font);
    MSChart1->update();
}

} // namespace qb
