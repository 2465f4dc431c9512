// The chart grid: row labels and label steps, the price range, and where the user's
// entries are marked.
#include "core/ole_date.h"
#include "market/chart_grid.h"
#include "market/price_history.h"
#include "support/fakes.h"
#include "support/history_replies.h"

#include <QFile>
#include <QtTest>

Q_DECLARE_METATYPE(qb::SummaryEntry)

using namespace qb;
using namespace qb::test;

namespace {

SummaryEntry entry(const QString& symbol, const QString& type, const QDate& day, double fraction = 0) {
    SummaryEntry e;
    e.Inuse = kTrue;
    e.symbol = symbol;
    e.transaction = type;
    e.entry_date = ole_from_date(day) + fraction;
    return e;
}

ChartInputs inputs(const QDate& start = QDate(2026, 1, 1), const QDate& end = QDate(2026, 3, 14)) {
    return {QStringLiteral("acme "), start, end, {QStringLiteral("Buy"), QStringLiteral("Sell"), QStringLiteral("Call Notes")}};
}

} // namespace

class TstChartGrid : public QObject {
    Q_OBJECT
    std::unique_ptr<CoreFixture> fx;

private slots:
    void init() { fx = std::make_unique<CoreFixture>(); }
    void cleanup() { fx.reset(); }

    void labels_and_steps_data() {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QString>("label");
        QTest::newRow("7 days") << QDate(2005, 8, 1) << "Aug 5";
        QTest::newRow("3 months") << QDate(2005, 5, 8) << "Aug 5";
        QTest::newRow("6 months") << QDate(2005, 2, 8) << "Aug 05";
        QTest::newRow("1 year") << QDate(2004, 8, 8) << "Aug 05";
    }
    void labels_and_steps() {
        QFETCH(QDate, start);
        QFETCH(QString, label);
        QCOMPARE(row_label(QDate(2005, 8, 5), is_short_period(start, QDate(2005, 8, 8))), label);
        QCOMPARE(label_step(20), 2);
        QCOMPARE(label_step(8), 1);  // 7 / 8 is 0: one row per label instead
        QCOMPARE(label_step(2), 1);
        QCOMPARE(label_step(2500), 312);
    }

    void price_range_data() {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<double>("step");
        QTest::newRow("10 to 20") << 10.0 << 20.0 << 1.0;
        QTest::newRow("0.5 to 1.5") << 0.5 << 1.5 << 0.1;
        QTest::newRow("1 to 21") << 1.0 << 21.0 << 2.0;
    }
    void price_range() {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(double, step);
        const QString reply = data_line(QDate(2026, 3, 13), high) + data_line(QDate(2026, 3, 12), (low + high) / 2) +
                              data_line(QDate(2026, 3, 11), low);
        PriceHistory h;
        bool ok = false;
        h.parse_quote_data(reply, "acme", ok);
        QVERIFY(put_data_into_chart(h, inputs(), {}));
        QCOMPARE(h.max_price, high);
        QCOMPARE(h.min_price, low);
        QCOMPARE(qRound(h.price_step * 1000), qRound(step * 1000));
        QCOMPARE(h.chart_data.size(), 3);
        QCOMPARE(h.cell(1, 2), low);  // row 1 is the oldest day
        QCOMPARE(h.chart_data[0].label, QStringLiteral("Mar 11"));
    }

    void fewer_than_two_points_build_nothing() {
        PriceHistory h;
        bool ok = false;
        h.parse_quote_data(reply_of(1), "acme", ok);
        QVERIFY(!put_data_into_chart(h, inputs(), {}));
        QVERIFY(h.chart_data.isEmpty());
    }

    void entries_marked_data() {
        QTest::addColumn<SummaryEntry>("e");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        // Points are the weekdays 2026-03-02 .. 2026-03-13: row 1 is Monday the 2nd.
        const QDate fri(2026, 3, 6);
        QTest::newRow("same day") << entry("ACME", "Buy", fri) << 5 << 3;
        QTest::newRow("same day, time of day") << entry("ACME", "buy", fri, 0.5) << 5 << 3;
        QTest::newRow("Saturday marks Friday") << entry("ACME", "Sell", fri.addDays(1)) << 5 << 4;
        QTest::newRow("after the newest") << entry("acme", "Call Notes", QDate(2026, 3, 14)) << 10 << 5;
        QTest::newRow("before the oldest") << entry("ACME", "Buy", QDate(2026, 3, 1)) << 0 << 0;
        QTest::newRow("other symbol") << entry("ACMX", "Buy", fri) << 0 << 0;
        QTest::newRow("type not chosen") << entry("ACME", "Hold", fri) << 0 << 0;
        QTest::newRow("outside the period") << entry("ACME", "Buy", QDate(2026, 3, 15)) << 0 << 0;
        SummaryEntry gone = entry("ACME", "Buy", fri);
        gone.deleted = kTrue;
        QTest::newRow("deleted") << gone << 0 << 0;
    }
    void entries_marked() {
        QFETCH(SummaryEntry, e);
        QFETCH(int, row);
        QFETCH(int, column);
        PriceHistory h;
        bool ok = false;
        h.parse_quote_data(fixture("daily.csv"), "acme", ok);
        QVERIFY(put_data_into_chart(h, inputs(), {e}));
        for (int r = 1; r <= h.hist_count; ++r)
            for (int col = 3; col <= 5; ++col)
                QCOMPARE(h.cell(r, col), (r == row && col == column) ? h.cell(r, 2) : 0.0);
    }

    void same_type_in_two_boxes_marks_the_higher_series() {
        PriceHistory h;
        bool ok = false;
        h.parse_quote_data(fixture("daily.csv"), "acme", ok);
        ChartInputs in = inputs();
        in.trans = {"Buy", "Sell", "BUY"};
        QVERIFY(put_data_into_chart(h, in, {entry("ACME", "Buy", QDate(2026, 3, 2))}));
        QCOMPARE(h.cell(1, 3), 0.0);
        QCOMPARE(h.cell(1, 5), h.cell(1, 2));
    }
};

QTEST_MAIN(TstChartGrid)
#include "tst_chart_grid.moc"
