// The quotes window against a loopback quote service: each symbol in its own slot, error
// pages and cut replies, colours of the change, the list kept in the preferences.
#include "core/text_helpers.h"
#include "market/quotes.h"
#include "market_loopback.h"
#include "platform/window_helpers.h"
#include "support/shown_boxes.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

using namespace qb;
using namespace qb::test;

namespace {

const QString kFailed = QStringLiteral("Error: Unable to Retreive Quote Data. Please Check Internet Connection.");

QString pref_list(const QStringList& symbols) {
    if (symbols.isEmpty()) return QString();
    QString t = make_tag("numquotes", QString::number(symbols.size()));
    for (int i = 0; i < symbols.size(); ++i) t += make_tag(QStringLiteral("quote%1").arg(i + 1), symbols[i]);
    return t;
}

// A quote service that knows every symbol but ZZZZ, answering in the order asked.
QByteArray service(const QByteArray& target) {
    QByteArray body;
    for (const QString& s : asked_symbols(target)) {
        const QByteArray sym = s.toLatin1();
        if (sym == "ZZZZ")
            body += "\"ZZZZ\",0.00,\"N/A\",\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n";
        else
            body += "\"" + sym + "\"," + QByteArray::number(10 + sym.size()) + ".25,\"8/18/2005\",\"4:00pm\",+0.10,1,2,3,4\r\n";
    }
    return http_ok(body);
}

struct QuotesFixture : MarketFixture {
    QuotesFixture(const QStringList& listed = {}) {
        c().quotes = pref_list(listed);
        if (!listed.isEmpty()) QVERIFY(c().save_preferences());
        server.answer = service;
    }
    Quotes* open() {
        quotes = shell->window_as<Quotes>(QStringLiteral("Quotes"));
        quotes->show();
        return quotes;
    }
    void close() { QTest::mouseClick(quotes->Close, Qt::LeftButton); QCoreApplication::processEvents(); }
    void add(const QString& symbol) {
        QTest::keyClicks(quotes->Symbol, symbol);
        QTest::keyClick(quotes->Symbol, Qt::Key_Return);
    }
    // The shown rows that hold a symbol: "symbol price change".
    QStringList rows() const {
        QStringList out;
        for (int i = 0; i < Quotes::kSlots; ++i)
            if (quotes->stock[size_t(i)]->isVisibleTo(quotes) && !quotes->stock[size_t(i)]->text().isEmpty())
                out << quotes->stock[size_t(i)]->text() + u' ' + quotes->Price[size_t(i)]->text() + u' ' +
                           quotes->Change[size_t(i)]->text();
        return out;
    }
    QStringList listed() const {
        QStringList out;
        for (const QuoteSlot& s : quotes->quote_list)
            if (!s.symbol.isEmpty()) out << s.symbol;
        return out;
    }
    QColor change_colour(int row) const { return quotes->Change[size_t(row)]->palette().color(QPalette::Text); }
    Quotes* quotes = nullptr;
};

} // namespace

class TestQuotes : public QObject {
    Q_OBJECT

private slots:
    void opens_from_the_menu();
    void each_symbol_keeps_its_slot();
    void replies_data();
    void replies();
    void change_colours();
    void adding_symbols();
    void unknown_symbol();
    void no_connection_after_adding();
    void later_failure_keeps_a_symbol_added_before();
    void messages_over_the_window_data();
    void messages_over_the_window();
    void values_stay_behind_a_message_data();
    void values_stay_behind_a_message();
    void list_kept_only_when_changed();
    void list_from_preferences_data();
    void list_from_preferences();
    void closing_gives_the_focus_back_to_the_list();
};

void TestQuotes::opens_from_the_menu() {
    QuotesFixture f;
    f.mdi->menu_item("mnuQuotes")->trigger();
    auto* q = dynamic_cast<Quotes*>(f.shell->loaded_window("Quotes"));
    QVERIFY(q);
    QVERIFY(q->isVisible());
    QCOMPARE(q->windowTitle(), "Stock Quotes");
    // An empty list fetches nothing, and an empty box neither.
    QTest::mouseClick(q->quote, Qt::LeftButton);
    QVERIFY(f.server.targets.isEmpty());
    QVERIFY(f.boxes().isEmpty());
}

void TestQuotes::each_symbol_keeps_its_slot() {
    QuotesFixture f({"IBM", "MSFT", "QQQQ"});
    f.server.answer = [](const QByteArray&) { return http_ok(market_fixture("quotes_missing_middle.csv")); };
    f.open();
    QCOMPARE(f.server.targets.size(), 1);
    QCOMPARE(asked_symbols(f.server.targets[0]), (QStringList{"IBM", "MSFT", "QQQQ"}));
    QVERIFY(f.server.targets[0].startsWith("/d/quotes.csv?s=IBM,MSFT,QQQQ&f=sl1d1t1c1ohgv&e=.csv"));
    // MSFT is not in the reply: it shows as not available, and QQQQ keeps its own row.
    QCOMPARE(f.rows(), (QStringList{"IBM 84.50 +0.31", "MSFT N/A N/A", "QQQQ 39.11 -0.05"}));
    QVERIFY(f.boxes().isEmpty());
}

void TestQuotes::replies_data() {
    QTest::addColumn<QString>("fixture");  // a fixture file, "refused", "hangs" or "empty"
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("messages");  // beginnings of the boxes shown
    const QStringList none;
    const QStringList na{"IBM N/A N/A", "MSFT N/A N/A", "QQQQ N/A N/A"};
    QTest::newRow("N/A fields") << "quotes_three.csv" << QStringList{"IBM 84.5025 +0.31", "MSFT 27.02 -0.13", "QQQQ N/A 0.0"}
                                << none;
    QTest::newRow("lower-case symbols") << "quotes_lower_case.csv"
                                        << QStringList{"ibm 84.50 +0.31", "msft 27.02 -0.13", "QQQQ N/A N/A"} << none;
    QTest::newRow("cut in a line") << "quotes_cut.csv" << na
                                   << QStringList{"Error: Quote Parse error: the reply ends inside the line of MSFT",
                                                  kFailed + "\"IBM\",84.50,"};
    // A short line between two whole ones: its symbol takes nothing from the next line.
    QTest::newRow("short middle line") << "quotes_short_middle.csv"
                                       << QStringList{"IBM 84.50 +0.31", "MSFT N/A N/A", "QQQQ 39.11 -0.05"} << none;
    QTest::newRow("middle line cut before the change")
        << "quotes_cut_middle.csv" << na
        << QStringList{"Error: Quote Parse error: the reply ends inside the line of MSFT", kFailed + "\"IBM\",84.50,"};
    QTest::newRow("error page") << "quotes_error_page.html" << na << QStringList{kFailed + "<!DOCTYPE html>"};
    QTest::newRow("empty reply") << "empty" << na << QStringList{kFailed};
    QTest::newRow("refused") << "refused" << na << QStringList{kFailed + "QB Error:No reply from the quote service."};
    QTest::newRow("hangs") << "hangs" << na << QStringList{kFailed + "QB Error:"};
}

void TestQuotes::replies() {
    QFETCH(QString, fixture);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, messages);
    QuotesFixture f({"IBM", "MSFT", "QQQQ"});
    if (fixture == "refused") {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        f.http.port = closed.serverPort();
    } else if (fixture == "hangs") {
        f.server.answer = nullptr;
    } else {
        const QByteArray body = fixture == "empty" ? QByteArray() : market_fixture(fixture);
        f.server.answer = [body](const QByteArray&) { return http_ok(body); };
    }
    QElapsedTimer t;
    t.start();
    f.open();
    // Nothing waits longer than the transport's own time-out of 2 s (ten times it is a
    // margin no busy machine reaches).
    QVERIFY2(t.elapsed() < 20000, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(f.rows(), rows);
    const QStringList shown = f.boxes();
    QCOMPARE(shown.size(), messages.size());
    for (int i = 0; i < messages.size(); ++i) QVERIFY2(shown[i].startsWith(messages[i]), qPrintable(shown[i]));
    // An error page is shown by its beginning only.
    for (const QString& s : shown) QVERIFY(s.size() < 400);
    QCOMPARE(f.listed(), (QStringList{rows[0].section(' ', 0, 0), rows[1].section(' ', 0, 0), "QQQQ"}));
}

void TestQuotes::change_colours() {
    QuotesFixture f({"IBM", "MSFT", "QQQQ"});
    f.server.answer = [](const QByteArray&) { return http_ok(market_fixture("quotes_three.csv")); };
    f.open();
    QCOMPARE(f.change_colour(0), color_from_ole(Quotes::kChangeGreen));
    QCOMPARE(f.change_colour(1), color_from_ole(Quotes::kChangeRed));
    QCOMPARE(f.change_colour(2), color_from_ole(Quotes::kChangeBlue));
    QVERIFY(!f.quotes->stock[3]->isVisible());
}

void TestQuotes::adding_symbols() {
    QuotesFixture f;
    f.open();
    f.add("  ibm ");
    QCOMPARE(asked_symbols(f.server.targets.last()), QStringList{"IBM"});
    // The service's spelling replaces the typed one.
    QCOMPARE(f.rows(), QStringList{"IBM 13.25 +0.10"});
    QCOMPARE(f.quotes->Symbol->text(), "");
    for (int i = 0; i < 10; ++i) {
        QTest::keyClicks(f.quotes->Symbol, QStringLiteral("S%1").arg(i));
        QTest::mouseClick(f.quotes->quote, Qt::LeftButton);
    }
    // The eleventh symbol pushed the first one out; the newest stands on top.
    QCOMPARE(f.quotes->last_quote_index, int16_t(9));
    QCOMPARE(f.listed(), (QStringList{"S9", "S8", "S7", "S6", "S5", "S4", "S3", "S2", "S1", "S0"}));
    QCOMPARE(asked_symbols(f.server.targets.last()).size(), 10);
    QCOMPARE(f.rows().size(), 10);
    // A listed symbol added again gets a second copy on top.
    f.add("S5");
    QCOMPARE(f.listed().mid(0, 2), (QStringList{"S5", "S9"}));
    QVERIFY(f.boxes().isEmpty());
}

void TestQuotes::unknown_symbol() {
    {
        QuotesFixture f({"IBM"});
        f.open();
        f.add("zzzz");
        QCOMPARE(f.boxes(), QStringList{"Error: Invalid Stock Symbol: ZZZZ"});
        QCOMPARE(f.listed(), QStringList{"IBM"});
        QCOMPARE(f.rows(), QStringList{"IBM 13.25 +0.10"});
    }
    // On an empty list it leaves the list empty, and that is what is kept.
    QuotesFixture empty;
    empty.open();
    empty.add("ZZZZ");
    QCOMPARE(empty.boxes(), QStringList{"Error: Invalid Stock Symbol: ZZZZ"});
    QVERIFY(empty.listed().isEmpty());
    empty.close();
    QCOMPARE(empty.c().quotes, QString());
    QVERIFY(!read_file(empty.fx.path("pref.dat")).contains("numquotes"));
}

void TestQuotes::no_connection_after_adding() {
    QuotesFixture f({"IBM", "MSFT"});
    f.open();
    f.server.answer = nullptr;
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    f.http.port = closed.serverPort();
    f.add("AAPL");
    QCOMPARE(f.boxes(), QStringList{kFailed + "QB Error:No reply from the quote service."});
    QCOMPARE(f.listed(), (QStringList{"IBM", "MSFT"}));
    QCOMPARE(f.rows(), (QStringList{"IBM N/A N/A", "MSFT N/A N/A"}));
    QCOMPARE(f.change_colour(0), color_from_ole(Quotes::kChangeBlue));
}

void TestQuotes::later_failure_keeps_a_symbol_added_before() {
    QuotesFixture f({"IBM"});
    f.open();
    f.add("AAPL");
    QCOMPARE(f.rows(), (QStringList{"AAPL 14.25 +0.10", "IBM 13.25 +0.10"}));
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    f.http.port = closed.serverPort();
    QTest::mouseClick(f.quotes->quote, Qt::LeftButton);
    QCOMPARE(f.boxes(), QStringList{kFailed + "QB Error:No reply from the quote service."});
    QCOMPARE(f.listed(), (QStringList{"AAPL", "IBM"}));
    f.close();
    QVERIFY(f.c().quotes.contains(make_tag("quote1", "AAPL")));
}

void TestQuotes::messages_over_the_window_data() {
    QTest::addColumn<QString>("pref");  // the kept list
    QTest::addColumn<QString>("added");
    QTest::addColumn<bool>("refused");  // the service is gone after the opening
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown symbol at opening") << pref_list({"ZZZZ", "IBM"}) << "" << false << "Invalid Stock Symbol: ZZZZ";
    QTest::newRow("damaged list at opening") << make_tag("numquotes", "many") << "" << false << "Internal Problem";
    QTest::newRow("unknown symbol added") << pref_list({"IBM"}) << "ZZZZ" << false << "Invalid Stock Symbol: ZZZZ";
    QTest::newRow("no connection") << pref_list({"IBM"}) << "" << true << "Unable to Retreive Quote Data.";
}

// A message about the quotes comes up over the quotes window, which stands beside the
// frame, and the window is up behind it.
void TestQuotes::messages_over_the_window() {
    QFETCH(QString, pref);
    QFETCH(QString, added);
    QFETCH(bool, refused);
    QFETCH(QString, message);
    ShownBoxes boxes;
    QuotesFixture f;
    f.c().quotes = pref;
    QVERIFY(f.c().save_preferences());
    f.presenter = &boxes;
    f.restart();
    boxes.shown.clear();  // what the start said
    f.mdi->move(20, 10);
    f.mdi->menu_item(QStringLiteral("mnuQuotes"))->trigger();
    f.quotes = dynamic_cast<Quotes*>(f.shell->loaded_window(QStringLiteral("Quotes")));
    QVERIFY(f.quotes);
    if (!added.isEmpty()) f.add(added);
    QTcpServer closed;
    if (refused) {
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        f.http.port = closed.serverPort();
        QTest::mouseClick(f.quotes->quote, Qt::LeftButton);
    }
    QCOMPARE(boxes.shown.size(), 1);
    const ShownBox& box = boxes.shown[0];
    QVERIFY2(box.text.contains(message), qPrintable(box.text));
    // Centred over the window, give or take the frame Qt allows the box itself.
    const QPoint centre = f.quotes->frameGeometry().center();
    const QPoint off = box.frame.center() - centre;
    QVERIFY2(std::abs(off.x()) <= 45 && std::abs(off.y()) <= 45,
             qPrintable(QStringLiteral("box centred at %1,%2, the window at %3,%4")
                            .arg(box.frame.center().x()).arg(box.frame.center().y()).arg(centre.x()).arg(centre.y())));
    // It belongs to the window, which is up behind it.
    QCOMPARE(box.over, f.quotes);
    QVERIFY(box.over_visible);
}

void TestQuotes::values_stay_behind_a_message_data() {
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QString>("then");  // what the service does for the second request
    QTest::addColumn<QStringList>("behind");  // rows while the box is up
    QTest::addColumn<QStringList>("after");
    const QStringList both{"IBM 13.25 +0.10", "MSFT 14.25 +0.10"};
    QTest::newRow("unknown symbol added") << QStringList{"IBM", "MSFT"} << "ZZZZ" << "answers"
                                          << QStringList{"ZZZZ 0.00 0.0"} + both << both;
    QTest::newRow("no connection") << QStringList{"IBM", "MSFT"} << "" << "refused" << both
                                   << QStringList{"IBM N/A N/A", "MSFT N/A N/A"};
    QTest::newRow("line cut short") << QStringList{"IBM", "MSFT"} << "" << "cut" << both
                                    << QStringList{"IBM N/A N/A", "MSFT N/A N/A"};
    // Opening on a kept list whose newest symbol the service no longer knows.
    QTest::newRow("unknown symbol at opening") << QStringList{"ZZZZ", "IBM"} << "" << "" << QStringList{"ZZZZ 0.00 0.0", "IBM 13.25 +0.10"}
                                               << QStringList{"IBM 13.25 +0.10"};
}

void TestQuotes::values_stay_behind_a_message() {
    QFETCH(QStringList, listed);
    QFETCH(QString, added);
    QFETCH(QString, then);
    QFETCH(QStringList, behind);
    QFETCH(QStringList, after);
    QuotesFixture f(listed);
    QList<QStringList> seen;
    f.fx.messages.during_box = [&](const QString&) {
        f.quotes = dynamic_cast<Quotes*>(f.shell->loaded_window("Quotes"));
        seen << f.rows();
    };
    f.open();
    if (!then.isEmpty()) {
        QTcpServer closed;
        if (then == "refused") {
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            f.http.port = closed.serverPort();
        } else if (then == "cut") {
            f.server.answer = [](const QByteArray&) {
                return http_ok("\"IBM\",13.25,\"8/18/2005\",\"4:00pm\",+0.10,1,2\r\n\"MSFT\",14.25,\"8/18/2005\"");
            };
        }
        if (added.isEmpty()) QTest::mouseClick(f.quotes->quote, Qt::LeftButton);
        else f.add(added);
    }
    QVERIFY(!seen.isEmpty());
    for (const QStringList& rows : seen) QCOMPARE(rows, behind);
    QCOMPARE(f.rows(), after);
}

void TestQuotes::list_kept_only_when_changed() {
    QuotesFixture f({"IBM", "MSFT"});
    // A line save_preferences would not write: its survival shows pref.dat was left alone.
    const QByteArray marked = read_file(f.fx.path("pref.dat")) + "<untouched>yes<\\untouched>\r\n";
    write_file(f.fx.path("pref.dat"), marked);
    f.open();
    QCOMPARE(f.rows(), (QStringList{"IBM 13.25 +0.10", "MSFT 14.25 +0.10"}));
    f.close();
    QVERIFY(!f.shell->is_form_loaded("Quotes"));
    QCOMPARE(read_file(f.fx.path("pref.dat")), marked);

    // Adding a symbol writes the list back when the window closes, and a new run reads it.
    f.open();
    f.add("aapl");
    QCOMPARE(read_file(f.fx.path("pref.dat")), marked);
    f.close();
    QVERIFY(read_file(f.fx.path("pref.dat")).contains(
        (make_tag("numquotes", "3") + make_tag("quote1", "AAPL") + make_tag("quote2", "IBM") + make_tag("quote3", "MSFT"))
            .toLatin1()));
    f.restart();
    f.server.targets.clear();
    f.open();
    QCOMPARE(asked_symbols(f.server.targets.value(0)), (QStringList{"AAPL", "IBM", "MSFT"}));
    QCOMPARE(f.rows().size(), 3);
}

void TestQuotes::list_from_preferences_data() {
    QTest::addColumn<QString>("pref");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("messages");
    QString twelve = make_tag("numquotes", "12");
    QStringList ten;
    for (int i = 1; i <= 12; ++i) twelve += make_tag(QStringLiteral("quote%1").arg(i), QStringLiteral("s%1").arg(i));
    for (int i = 1; i <= 10; ++i) ten << QStringLiteral("S%1").arg(i);
    QTest::newRow("twelve") << twelve << ten << QStringList();
    QTest::newRow("zero") << make_tag("numquotes", "0") + make_tag("quote1", "IBM") << QStringList() << QStringList();
    QTest::newRow("empty") << QString() << QStringList() << QStringList();
    QTest::newRow("damaged") << make_tag("numquotes", "two") + make_tag("quote1", "IBM") << QStringList()
                             << QStringList{"Error: Internal Problem, please contact Quorbelix. Error: "};
}

void TestQuotes::list_from_preferences() {
    QFETCH(QString, pref);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, messages);
    QuotesFixture f;
    f.c().quotes = pref;
    f.open();
    QCOMPARE(f.listed(), listed);
    QCOMPARE(f.server.targets.size(), listed.isEmpty() ? 0 : 1);
    const QStringList shown = f.boxes();
    QCOMPARE(shown.size(), messages.size());
    for (int i = 0; i < messages.size(); ++i) QVERIFY(shown[i].startsWith(messages[i]));
}

void TestQuotes::closing_gives_the_focus_back_to_the_list() {
    QuotesFixture f;
    SummaryEntry e;
    e.Inuse = kTrue;
    e.security = "Intl Business Machines";
    e.transaction = "Buy";
    f.c().SummaryData.append(e);
    f.title->update_title_with_last_entries();
    f.title->last_known_focus_row = 0;
    f.open();
    f.title->Security_Entry_Display_text[0]->setFocus();
    f.close();
    QCOMPARE(f.mdi->focusWidget(), f.title->Date_Entry_Display_text[0]);
}

QTEST_MAIN(TestQuotes)
#include "tst_quotes.moc"
