// The chart window driven through its controls: opening on the current entry, the input
// checks, fetch failures, unreadable replies, periods and the remembered choices, and
// the drawn chart with its axes, series and markers.
#include "core/date_text.h"
#include "core/ole_date.h"
#include "core/text_helpers.h"
#include "market/chart.h"
#include "market/market_windows.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "support/fakes.h"

#include <QAction>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QUrlQuery>
#include <QValueAxis>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

QByteArray fixture(const QString& name) {
    return read_file(QStringLiteral(QB_SOURCE_DIR "/tests/market/fixtures/") + name);
}

const QString kUnreadable = QStringLiteral(
    "Error: Unable to Read Stock Quote Data to draw the Chart. Please make sure you are connected to the Internet.");

struct ChartFixture {
    ChartFixture() {
        fx.start();
        open_shell();
    }
    ~ChartFixture() { shell.reset(); }
    void open_shell() {
        shell = std::make_unique<Shell>(*fx.core);
        register_market_windows(*shell);
        shell->end_program = [] {};
        mdi = shell->mdi();
        mdi->show();
        fx.messages.boxes.clear();
    }
    void restart() {
        shell.reset();
        fx.restart();
        open_shell();
    }
    Core& c() { return *fx.core; }
    void add_entry(const QString& symbol, const QString& type, const QDate& day) {
        SummaryEntry e;
        e.Inuse = kTrue;
        e.symbol = symbol;
        e.security = symbol + " Inc";
        e.transaction = type;
        e.entry_date = ole_from_date(day);
        c().SummaryData.append(e);
    }
    Chart* open(const QString& symbol = QString()) {
        c().current_entry.entry.symbol = symbol;
        mdi->menu_item(QStringLiteral("mnuChart"))->trigger();
        return shell->window_as<Chart>(QStringLiteral("Chart"));
    }
    void close(Chart* chart) {
        QTest::mouseClick(chart->Close, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Picks an item with the arrow keys, as a user would.
    static void choose(QComboBox* box, const QString& text) {
        box->setFocus();
        const int want = box->findText(text);
        QVERIFY(want >= 0);
        while (box->currentIndex() != want)
            QTest::keyClick(box, box->currentIndex() < want ? Qt::Key_Down : Qt::Key_Up);
    }
    static QString query(const QUrl& url, const char* key) { return QUrlQuery(url).queryItemValue(QString::fromLatin1(key)); }

    CoreFixture fx;
    std::unique_ptr<Shell> shell;
    MDIMain* mdi = nullptr;
};

QList<QAbstractSeries*> series_of(Chart* chart) { return chart->MSChart1->chart()->series(); }

} // namespace

class TstChart : public QObject {
    Q_OBJECT

private slots:
    void opens_on_the_current_entry_and_draws() {
        ChartFixture f;
        f.add_entry("ACME", "Buy", QDate(2026, 3, 6));
        f.add_entry("acme", "Sell", QDate(2026, 3, 7));  // Saturday: Friday's row
        f.add_entry("ACME", "Call Notes", QDate(2026, 3, 20));  // after the period
        f.add_entry("OTHER", "Buy", QDate(2026, 3, 6));
        f.fx.http.replies.enqueue(fixture("daily.csv"));
        Chart* chart = f.open("ACME");
        QVERIFY(chart && chart->isVisible());
        QCOMPARE(chart->windowTitle(), QStringLiteral("Quorbelix Chart Tool"));
        QCOMPARE(chart->start_date->text(), QStringLiteral("3/14/2025"));
        QCOMPARE(chart->end_date->text(), QStringLiteral("3/14/2026"));
        QCOMPARE(f.fx.http.requests.size(), 1);
        const QUrl url = f.fx.http.requests[0];
        QCOMPARE(url.path(), QStringLiteral("/table.csv"));
        QCOMPARE(ChartFixture::query(url, "s"), QStringLiteral("ACME"));
        QCOMPARE(ChartFixture::query(url, "a") + ChartFixture::query(url, "b") + ChartFixture::query(url, "c"),
                 QStringLiteral("2142025"));
        QCOMPARE(ChartFixture::query(url, "g"), QStringLiteral("d"));
        QVERIFY(f.fx.messages.boxes.isEmpty());

        QVERIFY(chart->MSChart1->isVisible());
        QChart* c = chart->MSChart1->chart();
        QCOMPARE(c->title(), QStringLiteral("ACME Stock Price and Transactions"));
        const auto series = series_of(chart);
        QCOMPARE(series.size(), 4);
        QStringList names;
        for (QAbstractSeries* s : series) names << s->name();
        QCOMPARE(names, QStringList({"Price", "Buy", "Sell", "Call Notes"}));
        QCOMPARE(static_cast<QLineSeries*>(series[0])->count(), 10);
        // Buy and Sell share Friday's row (row 5, price 15): Buy below, Sell on the line.
        auto* buy = static_cast<QScatterSeries*>(series[1]);
        auto* sell = static_cast<QScatterSeries*>(series[2]);
        QCOMPARE(buy->count(), 1);
        QCOMPARE(sell->count(), 1);
        QCOMPARE(sell->at(0), QPointF(5, 15));
        QCOMPARE(buy->at(0).x(), 5.0);
        QCOMPARE(qRound(buy->at(0).y() * 1000), qRound((11 + (15 - 11 - 0.9) / 2) * 1000));
        QCOMPARE(static_cast<QScatterSeries*>(series[3])->count(), 0);

        // Prices 11..20: a margin of 0.9 each side; the right axis in parts of 11.
        const auto left = c->axes(Qt::Vertical, series[0]);
        QCOMPARE(left.size(), 1);
        auto* prices = static_cast<QValueAxis*>(left[0]);
        QCOMPARE(qRound(prices->min() * 100), 1010);
        QCOMPARE(qRound(prices->max() * 100), 2090);
        QCOMPARE(prices->labelFormat(), QStringLiteral("$%.2f"));
        QValueAxis* percent = nullptr;
        for (QAbstractAxis* a : c->axes(Qt::Vertical))
            if (a != prices) percent = static_cast<QValueAxis*>(a);
        QVERIFY(percent);
        QCOMPARE(qRound(percent->min() * 100), qRound(-0.9 / 11 * 10000));
        QCOMPARE(qRound(percent->max() * 100), 9000);
        // Ten rows, a label on every row (9 / 8 is 1); a year is a long period: month and year.
        auto* dates = static_cast<QCategoryAxis*>(c->axes(Qt::Horizontal)[0]);
        QCOMPARE(dates->count(), 10);
        QCOMPARE(dates->categoriesLabels().first(), QStringLiteral("Mar 26"));

        const QImage image = chart->MSChart1->grab().toImage();
        QVERIFY(!image.isNull());
        QVERIFY(image.width() > 300);
    }

    void date_boxes_show_a_whole_date() {
        ChartFixture f;
        f.fx.http.replies.enqueue(fixture("daily.csv"));
        Chart* chart = f.open("ACME");
        QVERIFY(chart);
        chart->end_date->setText(QStringLiteral("12/10/2026"));
        for (QLineEdit* box : {chart->start_date, chart->end_date}) {
            const int text = box->fontMetrics().horizontalAdvance(QStringLiteral("12/10/2026"));
            QVERIFY2(box->width() > text, qPrintable(box->objectName()));
        }
    }

    void empty_symbol_draws_nothing_until_enter() {
        ChartFixture f;
        f.fx.http.replies.enqueue(fixture("daily.csv"));
        Chart* chart = f.open();
        QVERIFY(f.fx.http.requests.isEmpty());
        QVERIFY(f.fx.messages.boxes.isEmpty());
        QVERIFY(!chart->MSChart1->isVisible());
        QCOMPARE(chart->MSChart1->chart()->title(), QStringLiteral("Getting Data for Stock Price Chart"));
        chart->Symbol->setFocus();
        QTest::keyClicks(chart->Symbol, "acme ");
        QTest::keyClick(chart->Symbol, Qt::Key_Return);
        QCOMPARE(f.fx.http.requests.size(), 1);
        QCOMPARE(ChartFixture::query(f.fx.http.requests[0], "s"), QStringLiteral("acme "));
        QCOMPARE(chart->MSChart1->chart()->title(), QStringLiteral("ACME Stock Price and Transactions"));
        // Nothing changed: a second press fetches nothing.
        QTest::mouseClick(chart->dave, Qt::LeftButton);
        QCOMPARE(f.fx.http.requests.size(), 1);
    }

    void input_checks_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("message");
        QTest::newRow("bad start and no symbol") << "13/45/2005" << "8/10/2005" << "" << "Please enter a valid starting date.";
        QTest::newRow("bad end") << "8/10/2005" << "tomorrow" << "ACME" << "Please enter a valid ending date.";
        QTest::newRow("no symbol") << "8/10/2005" << "8/12/2005" << "  " << "Please type in a valid stock symbol.";
        QTest::newRow("same day") << "08/10/2005" << "08/10/2005" << "ACME"
                                  << "The Start Date must be before (earlier than) the End Date.";
        QTest::newRow("start after end") << "8/11/2005" << "8/10/2005" << "ACME"
                                         << "The Start Date must be before (earlier than) the End Date.";
    }
    void input_checks() {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, symbol);
        QFETCH(QString, message);
        ChartFixture f;
        Chart* chart = f.open();
        chart->Symbol->setText(symbol);
        chart->start_date->setText(start);
        chart->end_date->setText(end);
        QTest::mouseClick(chart->dave, Qt::LeftButton);
        QCOMPARE(f.fx.messages.box_texts(), QStringList{"Error: " + message});
        QVERIFY(f.fx.http.requests.isEmpty());
    }

    void fetch_failure_then_retry() {
        ChartFixture f;
        Chart* chart = f.open("ACME");  // no reply queued: the fetch fails
        QCOMPARE(f.fx.messages.box_texts(),
                 QStringList{"Error: Unable to get Stock Quotes to draw the Chart. Please make sure you are connected "
                             "to the Internet."});
        QVERIFY(!chart->drawing);
        f.fx.http.replies.enqueue(fixture("daily.csv"));
        QTest::mouseClick(chart->dave, Qt::LeftButton);
        QCOMPARE(f.fx.http.requests.size(), 2);
        QVERIFY(chart->MSChart1->isVisible());
    }

    void a_request_during_the_fetch_does_nothing() {
        ChartFixture f;
        Chart* chart = f.open();
        chart->Symbol->setText("ACME");
        f.fx.http.replies.enqueue(fixture("daily.csv"));
        f.fx.http.during_get = [chart](const QUrl&) { QTest::mouseClick(chart->dave, Qt::LeftButton); };
        QTest::mouseClick(chart->dave, Qt::LeftButton);
        QCOMPARE(f.fx.http.requests.size(), 1);
        QVERIFY(chart->MSChart1->isVisible());
    }

    void unreadable_replies_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("html error page") << fixture("html_error.html");
        QTest::newRow("first price 0") << QByteArray("2026-03-13,1,1,1,1,0,12.5\n2026-03-12,1,1,1,1,0,0\n");
    }
    void unreadable_replies() {
        QFETCH(QByteArray, reply);
        ChartFixture f;
        f.fx.http.replies.enqueue(reply);
        Chart* chart = f.open("ACME");
        QCOMPARE(f.fx.messages.box_texts(), QStringList{kUnreadable});
        QVERIFY(!chart->MSChart1->isVisible());
        QVERIFY(series_of(chart).isEmpty());
        // Not taken as drawn: the next press asks again.
        f.fx.http.replies.enqueue(fixture("daily.csv"));
        QTest::mouseClick(chart->dave, Qt::LeftButton);
        QCOMPARE(f.fx.http.requests.size(), 2);
        QCOMPARE(series_of(chart).size(), 4);
    }

    // Both column orders as services send them: the price axis spans the charted column
    // plus a tenth of its range each side, never the volume.
    void column_orders_chart_the_price_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::newRow("adj close last") << fixture("daily.csv") << 11.0 << 20.0;
        // Oldest first, CR LF, and the oldest day's volume written 000.
        QTest::newRow("adj close before volume") << fixture("adj_close_before_volume.csv") << 181.94 << 190.68;
    }
    void column_orders_chart_the_price() {
        QFETCH(QByteArray, reply);
        QFETCH(double, low);
        QFETCH(double, high);
        ChartFixture f;
        f.fx.http.replies.enqueue(reply);
        Chart* chart = f.open("ACME");
        QVERIFY(f.fx.messages.boxes.isEmpty());
        QVERIFY(chart->MSChart1->isVisible());
        const auto series = series_of(chart);
        QCOMPARE(series.size(), 4);
        auto* prices = static_cast<QValueAxis*>(chart->MSChart1->chart()->axes(Qt::Vertical, series[0])[0]);
        const double step = (high - low) * 0.1;
        QCOMPARE(qRound(prices->min() * 100), qRound((low - step) * 100));
        QCOMPARE(qRound(prices->max() * 100), qRound((high + step) * 100));
        auto* line = static_cast<QLineSeries*>(series[0]);
        QCOMPARE(line->count(), 10);
        QCOMPARE(line->at(0).y(), low);
        QCOMPARE(line->at(9).y(), high);
    }

    void one_point_keeps_what_was_shown() {
        ChartFixture f;
        f.fx.http.replies.enqueue(fixture("daily.csv"));
        Chart* chart = f.open("ACME");
        f.fx.http.replies.enqueue("2026-03-13,1,1,1,1,0,12.5\n");
        chart->Symbol->setText("ACMX");
        QTest::mouseClick(chart->dave, Qt::LeftButton);
        QVERIFY(f.fx.messages.boxes.isEmpty());
        QCOMPARE(chart->MSChart1->chart()->title(), QStringLiteral("ACME Stock Price and Transactions"));
        QVERIFY(!chart->chart_changed);
    }

    void long_period_weekly_reply() {
        ChartFixture f;
        f.c().chartperiod = "2 Year";
        f.fx.http.replies.enqueue(fixture("weekly.csv"));
        Chart* chart = f.open("ACME");
        QCOMPARE(chart->start_date->text(), QStringLiteral("3/14/2024"));
        QCOMPARE(ChartFixture::query(f.fx.http.requests[0], "g"), QStringLiteral("w"));
        auto* dates = static_cast<QCategoryAxis*>(chart->MSChart1->chart()->axes(Qt::Horizontal)[0]);
        // 60 rows, a label every 7th: 1, 8, ..., 57.
        QCOMPARE(dates->count(), 9);
        QVERIFY(dates->categoriesLabels().first().startsWith(QStringLiteral("Jan 25")));
        QVERIFY(!chart->prefs_changed);
    }

    void periods_move_the_start_date_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("period");
        QTest::addColumn<QString>("start");
        QTest::newRow("6 months from 31 August") << QDate(2026, 8, 31) << "6 Month" << "2/28/2026";
        QTest::newRow("leap year") << QDate(2028, 8, 31) << "6 Month" << "2/29/2028";
        QTest::newRow("7 days") << QDate(2026, 3, 14) << "7 Day" << "3/7/2026";
        QTest::newRow("14 days") << QDate(2026, 3, 14) << "14 Day" << "2/28/2026";
        QTest::newRow("1 month") << QDate(2026, 3, 31) << "1 Month" << "2/28/2026";
        QTest::newRow("5 years") << QDate(2026, 3, 14) << "5 Year" << "3/14/2021";
    }
    void periods_move_the_start_date() {
        QFETCH(QDate, today);
        QFETCH(QString, period);
        QFETCH(QString, start);
        ChartFixture f;
        f.fx.clock.current = QDateTime(today, QTime(10, 0));
        Chart* chart = f.open();
        QVERIFY(!chart->prefs_changed);
        ChartFixture::choose(chart->period_combo, period);
        QCOMPARE(chart->start_date->text(), start);
        QCOMPARE(chart->end_date->text(), short_date_text(today));
        QVERIFY(chart->prefs_changed);
        QCOMPARE(f.c().chartperiod, period);
    }

    void choices_are_remembered_only_when_changed() {
        ChartFixture f;
        f.c().trans_type = QStringList{"Spin-off"};
        const QString pref = f.fx.path("pref.dat");
        Chart* chart = f.open();
        QCOMPARE(chart->trans_combo[1]->count(), 11);
        QCOMPARE(chart->trans_combo[1]->itemText(10), QStringLiteral("Spin-off"));
        QCOMPARE(chart->trans_combo[2]->currentText(), QStringLiteral("Call Notes"));
        ChartFixture::choose(chart->period_combo, "1 Year");  // the remembered one
        QVERIFY(!chart->prefs_changed);
        f.close(chart);
        QVERIFY(!QFile::exists(pref));

        chart = f.open();
        ChartFixture::choose(chart->trans_combo[1], "Hold");
        QVERIFY(chart->prefs_changed);
        f.close(chart);
        QVERIFY(!f.shell->is_form_loaded("Chart"));
        QVERIFY(QString::fromLatin1(read_file(pref)).contains("<charttrans2>Hold<\\charttrans2>"));

        f.restart();
        QCOMPARE(f.c().charttrans2, QStringLiteral("Hold"));
        chart = f.open();
        QCOMPARE(chart->trans_combo[0]->currentText(), QStringLiteral("Buy"));
        QCOMPARE(chart->trans_combo[1]->currentText(), QStringLiteral("Hold"));
        // The frame's close box unloads the window too, with its preferences.
        ChartFixture::choose(chart->period_combo, "2 Year");
        QVERIFY(chart->close());
        QVERIFY(!f.shell->is_form_loaded("Chart"));
        QVERIFY(QString::fromLatin1(read_file(pref)).contains("<chartperiod>2 Year<\\chartperiod>"));
    }
};

QTEST_MAIN(TstChart)
#include "tst_chart.moc"
