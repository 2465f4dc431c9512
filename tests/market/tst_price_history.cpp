// The price table: history replies into points, and where a marker sits on a row.
#include "core/ole_date.h"
#include "market/price_history.h"
#include "support/fakes.h"
#include "support/history_replies.h"

#include <QFile>
#include <QtTest>

using namespace qb;
using namespace qb::test;

class TstPriceHistory : public QObject {
    Q_OBJECT
    std::unique_ptr<CoreFixture> fx;

private slots:
    void init() { fx = std::make_unique<CoreFixture>(); }
    void cleanup() { fx.reset(); }

    void parse_fixture_replies_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("newest");
        QTest::addColumn<QString>("newest_price");
        QTest::newRow("daily") << "daily.csv" << true << 10 << "2026-03-13" << "20.00";
        // Listed oldest first by the service: still kept newest first.
        QTest::newRow("oldest first") << "oldest_first.csv" << true << 10 << "2026-03-13" << "20.00";
        // The last line has no line feed after it and is read all the same.
        QTest::newRow("no final line feed") << "no_final_lf.csv" << true << 10 << "2026-03-13" << "20.00";
        QTest::newRow("weekly") << "weekly.csv" << true << 60 << "2026-03-13" << "50.00";
        QTest::newRow("monthly") << "monthly.csv" << true << 36 << "2026-03-01" << "30.00";
        // CR LF lines, volume 0 and a holiday with one price for all fields count as days.
        QTest::newRow("volume 0 and holiday") << "volume0_holiday.csv" << true << 10 << "2026-03-13" << "20.00\r";
        QTest::newRow("html error page") << "html_error.html" << true << 0 << "" << "";
        QTest::newRow("empty") << "empty.csv" << false << 0 << "" << "";
    }
    void parse_fixture_replies() {
        QFETCH(QString, file);
        QFETCH(bool, ok);
        QFETCH(int, count);
        QFETCH(QString, newest);
        QFETCH(QString, newest_price);
        PriceHistory h;
        bool parsed = !ok;
        h.parse_quote_data(fixture(file), QStringLiteral(" ACME "), parsed);
        QCOMPARE(parsed, ok);
        QCOMPARE(h.hist_count, count);
        QVERIFY(fx->messages.boxes.isEmpty());
        if (count == 0) return;
        QCOMPARE(date_from_ole(h.hist_data[0].quote_date).toString(Qt::ISODate), newest);
        QCOMPARE(h.hist_data[0].col7(), newest_price);
        QCOMPARE(h.hist_data[0].symbol, QStringLiteral("acme"));
        QCOMPARE(h.hist_data[0].valid, kTrue);
        for (int i = 1; i < h.hist_count; ++i) QVERIFY(h.hist_data[i].quote_date < h.hist_data[i - 1].quote_date);
    }

    // Services put the adjusted close last or before the volume; the heading says which.
    void price_column_from_heading_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("newest_price");
        QTest::addColumn<QString>("oldest_price");
        const QString lines = QStringLiteral("2026-03-13,20.10,20.50,19.50,20.00,19.80,1200300\n"
                                             "2026-03-12,19.10,19.50,18.50,19.00,18.80,000\n");
        QTest::newRow("adj close before volume")
            << "Date,Open,High,Low,Close,Adj Close,Volume\n" + lines << 6 << "19.80" << "18.80";
        QTest::newRow("adj close last") << "Date,Open,High,Low,Close,Volume,Adj Close\n"
                                           "2026-03-13,20.10,20.50,19.50,20.00,1200300,19.80\n"
                                        << 7 << "19.80" << "19.80";
        QTest::newRow("close when no adj close") << "Date,Open,High,Low,Close,Volume,Dividends\n" + lines << 5
                                                 << "20.00" << "19.00";
        QTest::newRow("heading in other spelling, CR LF")
            << QString("date,open,high,low,close,adj. close,volume\r\n" + lines).replace("\n2026", "\r\n2026") << 6
            << "19.80" << "18.80";
        QTest::newRow("no heading: field 7") << lines << 7 << "1200300" << "000";
        QTest::newRow("heading naming no price column") << "Date,A,B,C,D,E,F\n" + lines << 7 << "1200300" << "000";
        QTest::newRow("served file, oldest first") << fixture("adj_close_before_volume.csv") << 6 << "190.68" << "181.94";
    }
    void price_column_from_heading() {
        QFETCH(QString, reply);
        QFETCH(int, field);
        QFETCH(QString, newest_price);
        QFETCH(QString, oldest_price);
        PriceHistory h;
        bool ok = false;
        h.parse_quote_data(reply, "x", ok);
        QVERIFY(ok);
        QCOMPARE(h.price_field, field);
        QCOMPARE(h.price_text(h.hist_data[0]), newest_price);
        QCOMPARE(h.price_text(h.hist_data[h.hist_count - 1]), oldest_price);
        // A later reply without a heading is read by field 7 again.
        h.parse_quote_data(QStringLiteral("2026-03-13,1,2,0.5,1,100,9.5\n"), "x", ok);
        QCOMPARE(h.price_field, 7);
    }

    void parse_line_rules_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("count");
        QTest::newRow("heading only") << "Date,Open,High,Low,Close,Volume,Adj Close\n" << 0;
        QTest::newRow("blanks around commas") << " 2026-03-13 , 1 , 2 , 0.5 , 1 , 100 , 9.5 \n" << 1;
        QTest::newRow("empty field") << "2026-03-13,1,,0.5,1,100,9.5\n" << 0;
        QTest::newRow("eighth field") << "2026-03-13,1,2,0.5,1,100,9.5,7\n" << 0;
        QTest::newRow("short date of the locale") << "3/13/2026,1,2,0.5,1,100,9.5\n" << 1;
        QTest::newRow("first field not a date") << "Total,1,2,0.5,1,100,9.5\n" << 0;
        QTest::newRow("short tail") << "2026-03-13,1,2,0.5,1,100,9.5\nx" << 1;
        QTest::newRow("only a line without line feed") << "2026-03-13,1,2,0.5,1,100,9.5" << 1;
    }
    void parse_line_rules() {
        QFETCH(QString, reply);
        QFETCH(int, count);
        PriceHistory h;
        bool ok = false;
        h.parse_quote_data(reply, "x", ok);
        QVERIFY(ok);
        QCOMPARE(h.hist_count, count);
    }

    void table_grows_by_ten_and_never_shrinks() {
        PriceHistory h;
        bool ok = false;
        h.parse_quote_data(reply_of(12), "x", ok);
        QCOMPARE(h.hist_data.size() - 1, 11);
        h.parse_quote_data(reply_of(13), "x", ok);
        QCOMPARE(h.hist_data.size() - 1, 22);
        h.parse_quote_data(reply_of(2), "x", ok);
        QCOMPARE(h.hist_count, 2);
        QCOMPARE(h.hist_data.size() - 1, 22);
        QCOMPARE(h.hist_data[5].valid, kFalse);
        QVERIFY(h.hist_data[5].col7().isEmpty());
    }

    void long_daily_reply() {
        PriceHistory h;
        bool ok = false;
        h.parse_quote_data(reply_of(2500, QDate(2026, 3, 13), 3000), "x", ok);
        QVERIFY(ok);
        QCOMPARE(h.hist_count, 2500);
        QCOMPARE(h.hist_data[2499].col7(), QStringLiteral("501"));
    }

    void markers_share_a_row() {
        PriceHistory h;
        h.chart_data = QVector<ChartRow>(3);
        h.cell(2, 2) = 19;
        h.min_price = 10;
        h.price_step = 1;
        h.update_price_with_trans(3, 2);
        QCOMPARE(h.cell(2, 3), 19.0);
        h.update_price_with_trans(5, 2);
        QCOMPARE(h.cell(2, 3), 14.0);
        QCOMPARE(h.cell(2, 5), 19.0);
        h.update_price_with_trans(4, 2);
        QCOMPARE(qRound(h.cell(2, 3) * 100), 1267);
        QCOMPARE(qRound(h.cell(2, 4) * 100), 1533);
        QCOMPARE(h.cell(2, 5), 19.0);
        // The order of the calls does not matter.
        PriceHistory g = h;
        g.cell(2, 3) = g.cell(2, 4) = g.cell(2, 5) = 0;
        g.update_price_with_trans(5, 2);
        g.update_price_with_trans(4, 2);
        g.update_price_with_trans(3, 2);
        for (int col = 3; col <= 5; ++col) QCOMPARE(qRound(g.cell(2, col) * 100), qRound(h.cell(2, col) * 100));
        const auto before = h.chart_data;
        h.update_price_with_trans(2, 2);
        h.update_price_with_trans(6, 2);
        h.update_price_with_trans(3, 0);
        h.update_price_with_trans(3, 4);
        QCOMPARE(h.chart_data[1].value, before[1].value);
    }

};

QTEST_MAIN(TstPriceHistory)
#include "tst_price_history.moc"
