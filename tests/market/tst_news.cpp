// The news reader against a loopback headline service: the symbol labels, headline rows
// with the bar, wheel and keys, opening an article, and keeping one as a web page entry.
#include "core/ole_date.h"
#include "market/news.h"
#include "market_loopback.h"
#include "support/painted_text.h"
#include "support/webengine_test_main.h"
#include "platform/window_helpers.h"
#include "shell/command.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringEncoder>
#include <QWheelEvent>

using namespace qb;
using namespace qb::test;

namespace {

QByteArray feed(int items, const QString& prefix = QStringLiteral("T"), const QString& link = QStringLiteral("http://news.example.com/")) {
    QString f = QStringLiteral("<?xml version=\"1.0\"?>\r\n<rss><channel><title>Feed</title>\r\n");
    for (int i = 1; i <= items; ++i)
        f += QStringLiteral("<item>\r\n<title>") + prefix + QString::number(i) + QStringLiteral("</title>\r\n<link>") + link +
             QString::number(i) + QStringLiteral("</link>\r\n<description>Story %1.</description>\r\n").arg(i) +
             QStringLiteral("<pubDate>Thu, 18 Aug 2005 16:30:00 GMT</pubDate>\r\n</item>\r\n");
    return (f + QStringLiteral("</channel></rss>\r\n")).toUtf8();
}

// The web page editor as far as the hand-off goes: it asks for a pending article while it
// starts a new entry, and can refuse to be left or be busy capturing a page.
class FakeWebPageEditor : public QWidget, public WebPageEditorScreen {
public:
    explicit FakeWebPageEditor(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("SaveWebPage")); }
    QWidget* widget() override { return this; }
    void handle_resize() override {}
    void fill_display(int16_t mode) override {
        if (mode != 0 || !shell().is_form_loaded(QStringLiteral("News"))) return;
        if (auto* news = dynamic_cast<NewsHandOff*>(shell().loaded_window(QStringLiteral("News"))))
            news->send_data_to_savewebpage();
    }
    void save_data_and_continue(bool& continue_flag) override { continue_flag = may_leave; }
    bool new_save_allowed() override { return !capturing; }
    void got_data_from_news(QString& name, QString& symbol, QString& price, QString& address, QString& title) override {
        handed << QStringList{name, symbol, price, address, title};
    }
    QList<QStringList> handed;
    bool may_leave = true;
    bool capturing = false;
};

struct NewsFixture : MarketFixture {
    NewsFixture() {
        shell->register_window(QStringLiteral("SaveWebPage"), [this]() -> QWidget* {
            editor = new FakeWebPageEditor(mdi->client_area());
            editor->hide();
            return editor;
        });
        server.answer = [this](const QByteArray& target) {
            const QString symbol = asked_symbols(target).value(0);
            if (target.startsWith("/d/quotes.csv"))
                return http_ok("\"" + symbol.toUpper().toLatin1() + "\",84.50,\"8/18/2005\",\"4:00pm\",-0.31,1,2,3,4\r\n");
            return http_ok(feeds.value(symbol, feed(3, symbol + u' ')), feed_types.value(symbol));
        };
    }
    int add_entry(const QString& symbol, const QString& security, bool deleted = false) {
        SummaryEntry e;
        e.Inuse = kTrue;
        e.deleted = deleted ? kTrue : 0;
        e.symbol = symbol;
        e.security = security;
        e.transaction = "Buy";
        e.entry_date = ole_from_date(QDate(2026, 1, 1));
        c().SummaryData.append(e);
        return c().maxSummarydata_index();
    }
    void current(const QString& symbol, const QString& security) {
        c().current_entry.entry.symbol = symbol;
        c().current_entry.entry.security = security;
    }
    News* open() {
        mdi->menu_item(QStringLiteral("mnuNews"))->trigger();
        news = dynamic_cast<News*>(shell->loaded_window(QStringLiteral("News")));
        return news;
    }
    QStringList labels() const {
        QStringList out;
        for (QLabel* l : news->symb_label)
            if (l->isVisible()) out << l->text();
        return out;
    }
    QStringList shown_titles() const {
        QStringList out;
        for (auto* t : news->title_box)
            if (t->isVisible()) out << t->text();
        return out;
    }
    QStringList news_requests() const {
        QStringList out;
        for (const QByteArray& t : server.targets)
            if (t.startsWith("/rss/headline")) out << asked_symbols(t).value(0);
        return out;
    }
    bool highlighted(int i) const {
        return news->symb_label[size_t(i)]->palette().color(QPalette::WindowText) == color_from_ole(News::kLabelBlack) &&
               !news->symb_label[size_t(i)]->font().underline();
    }
    void wheel(QWidget* over, int delta) {
        QWheelEvent ev(QPointF(5, 5), over->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &ev);
    }
    bool wait_window_shown() {
        QWidget* w = shell->loaded_window(QStringLiteral("UserUpdate"));
        return w && w->isVisible();
    }

    QHash<QString, QByteArray> feeds;
    QHash<QString, QByteArray> feed_types;  // Content-Type headers; none when not given
    FakeWebPageEditor* editor = nullptr;
    News* news = nullptr;
};

} // namespace

class TestNews : public QObject {
    Q_OBJECT

private slots:
    void opens_with_recent_symbols();
    void entry_without_symbol();
    void popup_route_waits_for_the_list();
    void label_clicks_and_typed_symbols();
    void rows_bar_wheel_and_keys();
    void table_limit_and_untitled_items();
    void long_headlines_wrap();
    void feed_encoding_as_served_data();
    void feed_encoding_as_served();
    void headline_cut_at_its_fifth_line_data();
    void headline_cut_at_its_fifth_line();
    void failed_fetches_data();
    void failed_fetches();
    void opening_articles();
    void article_links_as_the_feed_means_them();
    void saving_an_article();
    void refused_save_leaves_nothing_behind();
};

void TestNews::opens_with_recent_symbols() {
    NewsFixture f;
    f.add_entry("IBM", "Old IBM name");
    f.add_entry("msft", "Microsoft lower");
    f.add_entry("MSFT", "Microsoft");
    f.add_entry("IBM", "Intl Business Machines");
    f.add_entry("DEL", "Deleted one", true);
    f.add_entry("ABCDEF", "Six letters");
    f.current("QQQQ ", "Nasdaq 100");
    QVERIFY(f.open());
    QVERIFY(f.news->isVisible());
    // The current entry's symbol first, then the journal's newest; one label per exact spelling.
    QCOMPARE(f.labels(), (QStringList{"QQQQ", "ABCDEF", "IBM", "MSFT", "msft"}));
    QCOMPARE(f.news->symb_label_tag(2), "Intl Business Machines");
    QCOMPARE(f.news->symb_label[1]->width(), twips_to_px(615));
    QCOMPARE(f.news->symb_label[2]->width(), twips_to_px(425));
    QCOMPARE(f.news->symb_label[2]->x(), f.news->symb_label[1]->x() + f.news->symb_label[1]->width() + twips_to_px(105));
    QVERIFY(f.highlighted(0));
    QVERIFY(!f.highlighted(1));
    QCOMPARE(f.news_requests(), QStringList{"QQQQ"});
    QCOMPARE(f.news->windowTitle(), "News Reader: Yahoo! News for: Nasdaq 100 (QQQQ)");
    QCOMPARE(f.shown_titles(), (QStringList{"QQQQ 1", "QQQQ 2", "QQQQ 3"}));
    QCOMPARE(f.news->quote_label->text(), "84.50  -0.31");
    QCOMPARE(f.news->quote_label->palette().color(QPalette::WindowText), color_from_ole(News::kQuoteRed));
    QVERIFY(!f.wait_window_shown());
    // Only the first call builds the labels and fetches.
    f.news->after_loaded_do();
    f.mdi->menu_item(QStringLiteral("mnuNews"))->trigger();
    QCOMPARE(f.news_requests().size(), 1);
    QVERIFY(f.boxes().isEmpty());
}

void TestNews::entry_without_symbol() {
    NewsFixture f;
    f.add_entry("IBM", "Intl Business Machines");
    f.add_entry("", "No symbol");
    f.current("", "");
    QVERIFY(f.open());
    QCOMPARE(f.labels(), QStringList{"IBM"});
    QCOMPARE(f.news_requests(), QStringList{"IBM"});
    QCOMPARE(f.news->windowTitle(), "News Reader: Yahoo! News for: Intl Business Machines (IBM)");
}

void TestNews::popup_route_waits_for_the_list() {
    NewsFixture f;
    f.add_entry("IBM", "Intl Business Machines");
    f.title->update_title_with_last_entries();
    f.mdi->menu_item(QStringLiteral("mnuPopNews"))->trigger();
    f.news = dynamic_cast<News*>(f.shell->loaded_window(QStringLiteral("News")));
    QVERIFY(f.news);
    QVERIFY(f.labels().isEmpty());
    QVERIFY(f.server.targets.isEmpty());
    // A right click in the list, once its menu has closed, lets the reader start.
    QTest::mouseClick(f.title->Date_Entry_Display_text[0], Qt::RightButton);
    QCOMPARE(f.labels(), QStringList{"IBM"});
    QCOMPARE(f.news_requests(), QStringList{"IBM"});
}

void TestNews::label_clicks_and_typed_symbols() {
    NewsFixture f;
    f.add_entry("MSFT", "Microsoft");
    f.add_entry("IBM", "Intl Business Machines");
    f.add_entry("ge", "General Electric");
    f.current("IBM", "Intl Business Machines");
    QVERIFY(f.open());
    QCOMPARE(f.labels(), (QStringList{"IBM", "ge", "MSFT"}));
    // The highlighted label does nothing; another one fetches its news.
    QTest::mouseClick(f.news->symb_label[0], Qt::LeftButton);
    QCOMPARE(f.news_requests().size(), 1);
    QTest::mouseClick(f.news->symb_label[2], Qt::LeftButton);
    QCOMPARE(f.news_requests().last(), "MSFT");
    QVERIFY(f.highlighted(2));
    QVERIFY(!f.highlighted(0));
    QCOMPARE(f.news->Symbol->text(), "MSFT");
    QCOMPARE(f.news->windowTitle(), "News Reader: Yahoo! News for: Microsoft (MSFT)");

    // A typed symbol that is no label: the label turns blue, the name comes from the journal.
    f.news->Symbol->clear();
    QTest::keyClicks(f.news->Symbol, "GE");
    QTest::keyClick(f.news->Symbol, Qt::Key_Return);
    QCOMPARE(f.news_requests().last(), "GE");
    QVERIFY(!f.highlighted(2));
    QCOMPARE(f.news->windowTitle(), "News Reader: Yahoo! News for: General Electric (GE)");
    f.news->Symbol->setText("xyz");
    QTest::mouseClick(f.news->getnews, Qt::LeftButton);
    QCOMPARE(f.news->windowTitle(), "News Reader: Yahoo! News for: XYZ");
    // An empty box fetches nothing.
    f.news->Symbol->clear();
    QTest::mouseClick(f.news->getnews, Qt::LeftButton);
    QCOMPARE(f.news_requests().size(), 4);
}

void TestNews::rows_bar_wheel_and_keys() {
    NewsFixture f;
    f.current("IBM", "Intl Business Machines");
    f.feeds["IBM"] = feed(20);
    QVERIFY(f.open());
    QScrollBar* bar = f.news->VScroll1;
    QCOMPARE(bar->maximum(), 19);
    QCOMPARE(bar->pageStep(), 3);
    const QStringList first = f.shown_titles();
    QVERIFY(first.size() >= 5 && first.size() <= News::kRows);
    QCOMPARE(first.value(0), "T1");
    // Rows stay above the bottom limit.
    for (int r = 0; r < News::kRows; ++r)
        if (f.news->desc_textbox[size_t(r)]->isVisible())
            QVERIFY(px_to_twips(f.news->desc_textbox[size_t(r)]->geometry().bottom()) <= f.news->rows_bottom + 15);
    QCOMPARE(f.news->desc_textbox[0]->toPlainText(), "(Thu, Aug 18, 2005) Story 1.");
    QCOMPARE(f.news->desc_textbox[0]->height(), twips_to_px(News::kLineTwips));

    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(f.shown_titles().value(0), "T4");
    QCOMPARE(f.news->save_button[0]->property("qb_tag").toString(), "3");
    // Backward over a description moves one item on, forward one back.
    f.wheel(f.news->desc_textbox[1]->viewport(), -120);
    QCOMPARE(bar->value(), 4);
    QCOMPARE(f.shown_titles().value(0), "T5");
    f.wheel(f.news, 120);
    f.wheel(f.news, 120);
    QCOMPARE(bar->value(), 2);
    bar->setValue(19);
    QCOMPARE(f.shown_titles(), QStringList{"T20"});
    f.wheel(f.news, -120);
    QCOMPARE(bar->value(), 19);

    // A long description takes at most five lines.
    QString long_feed = QStringLiteral("<item><title>Long</title><description>");
    for (int i = 0; i < 120; ++i) long_feed += QStringLiteral("word%1 ").arg(i);
    f.feeds["LONG"] = (long_feed + QStringLiteral("</description></item>")).toUtf8();
    f.news->Symbol->setText("LONG");
    QTest::keyClick(f.news->Symbol, Qt::Key_Enter);
    QCOMPARE(f.shown_titles(), QStringList{"Long"});
    QCOMPARE(bar->value(), 0);
    QCOMPARE(f.news->desc_textbox[0]->height(), twips_to_px(975));
}

void TestNews::table_limit_and_untitled_items() {
    NewsFixture f;
    f.current("IBM", "");
    f.feeds["IBM"] = market_fixture("feed_50.xml");
    QVERIFY(f.open());
    QCOMPARE(f.news->news_record.item_count, int16_t(35));
    QCOMPARE(f.news->VScroll1->maximum(), 34);
    f.news->VScroll1->setValue(34);
    QCOMPARE(f.shown_titles(), QStringList{"Headline 35"});

    // The untitled item's slot went to the next one: the bar ends at the last filled slot.
    f.feeds["FIX"] = market_fixture("feed_utf8.xml");
    f.news->Symbol->setText("FIX");
    QTest::mouseClick(f.news->getnews, Qt::LeftButton);
    QCOMPARE(f.news->news_record.item_count, int16_t(5));
    QCOMPARE(f.news->VScroll1->maximum(), 3);
    QCOMPARE(f.shown_titles().size(), 4);
    QCOMPARE(f.shown_titles().value(0), "AT&T 'up' on IBM deal");
}

void TestNews::feed_encoding_as_served_data() {
    QTest::addColumn<QByteArray>("feed");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("title");
    const QByteArray item = "<item><title>Caf\xe9 Soci\xe9t\xe9 \xe0 Z\xfcrich</title><link>http://x/1</link></item>";
    const QString cafe = QString::fromUtf8("Caf\xc3\xa9 Soci\xc3\xa9t\xc3\xa9 \xc3\xa0 Z\xc3\xbcrich");
    QTest::newRow("latin-1, named only by the header")
        << "<rss><channel>" + item + "</channel></rss>" << QByteArray("text/xml; charset=ISO-8859-1") << cafe;
    QTest::newRow("utf-8 by the header, latin-1 by the declaration")
        << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><rss>" + QString::fromLatin1(item).toUtf8() + "</rss>"
        << QByteArray("application/rss+xml; charset=UTF-8") << cafe;
    // Made with iconv.
    QTest::newRow("windows-1251 by the declaration")
        << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1251\"?><rss><item><title>\xca\xf3\xf0\xf1 "
                      "\xf0\xf3\xe1\xeb\xff</title></item></rss>")
        << QByteArray("text/xml") << QString::fromUtf8("Курс рубля");
    QTest::newRow("shift_jis by the header in single quotes")
        << QByteArray("<rss><item><title>\x83\x67\x83\x88\x83\x5e</title></item></rss>")
        << QByteArray("text/xml; charset='Shift_JIS'") << QString::fromUtf8("トヨタ");
    QTest::newRow("utf-16le by the declaration, no mark")
        << QByteArray(QStringEncoder(QStringEncoder::Utf16LE)
                          .encode(QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-16\"?><rss><item><title>") + cafe +
                                  QStringLiteral("</title></item></rss>")))
        << QByteArray("text/xml") << cafe;
}

// A feed's encoding, named by the reply's header or in the feed, read through the real transport.
void TestNews::feed_encoding_as_served() {
    QFETCH(QByteArray, feed);
    QFETCH(QByteArray, type);
    QFETCH(QString, title);
    NewsFixture f;
    f.current("IBM", "");
    f.feeds["IBM"] = feed;
    f.feed_types["IBM"] = type;
    QVERIFY(f.open());
    QCOMPARE(f.shown_titles(), QStringList{title});
}

// A feed on one line, 50 items with headlines too long for one line of the row.
void TestNews::long_headlines_wrap() {
    NewsFixture f;
    f.current("IBM", "");
    QString feed = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss><channel><title>IBM</title>");
    for (int i = 1; i <= 50; ++i)
        feed += QStringLiteral("<item><title>Headline %1: shareholders weigh the quarterly results, the new chief "
                               "executive's plans for the services unit and what the outlook means for dividends "
                               "over the coming years</title><link>http://news.example.com/%1</link>"
                               "<description>Story %1.</description></item>")
                    .arg(i);
    f.feeds["IBM"] = (feed + QStringLiteral("</channel></rss>")).toUtf8();
    QVERIFY(f.open());
    QCOMPARE(f.news->news_record.item_count, int16_t(35));
    int shown = 0;
    int previous_bottom = 0;
    for (int r = 0; r < News::kRows; ++r) {
        QWidget* title = f.news->title_box[size_t(r)];
        if (!title->isVisible()) continue;
        ++shown;
        const QString text = title->property("text").toString();
        QVERIFY(text.startsWith(QStringLiteral("Headline %1: ").arg(r + 1)));
        // Every word is inside the box: wrapped at its width, the text fits its height.
        const QFontMetrics fm(title->font());
        const QRect needed = fm.boundingRect(QRect(0, 0, title->width(), 10000), Qt::TextWordWrap, text);
        QVERIFY2(needed.width() <= title->width() && needed.height() <= title->height(),
                 qPrintable(QStringLiteral("row %1 needs %2x%3, has %4x%5")
                                .arg(r).arg(needed.width()).arg(needed.height()).arg(title->width()).arg(title->height())));
        QVERIFY(needed.height() > fm.lineSpacing());  // it did take more than one line
        // The description follows the whole headline, and rows do not overlap.
        QWidget* desc = f.news->desc_textbox[size_t(r)];
        QVERIFY(desc->isVisible());
        QVERIFY(desc->y() >= title->geometry().bottom());
        QVERIFY(title->y() >= previous_bottom);
        previous_bottom = desc->geometry().bottom();
        QVERIFY(px_to_twips(previous_bottom) <= f.news->rows_bottom + 15);
    }
    QVERIFY(shown >= 3);
}

void TestNews::headline_cut_at_its_fifth_line_data() {
    QTest::addColumn<int>("clauses");  // six fill the five lines a row has
    QTest::addColumn<bool>("cut");
    QTest::newRow("two lines") << 2 << false;
    QTest::newRow("five lines") << 6 << false;
    QTest::newRow("six lines") << 7 << true;
    QTest::newRow("eleven lines") << 14 << true;
}

// What the row shows of a headline, read from its drawing: five lines at most, and a cut
// one says so with an ellipsis at the end of the fifth.
void TestNews::headline_cut_at_its_fifth_line() {
    QFETCH(int, clauses);
    QFETCH(bool, cut);
    QStringList parts;
    for (int i = 1; i <= clauses; ++i)
        parts << QStringLiteral("part %1 of the headline tells of the results and the outlook for the quarter").arg(i);
    const QString headline = parts.join(QStringLiteral(", ")) + u'.';
    NewsFixture f;
    f.current("IBM", "");
    f.feeds["IBM"] = (QStringLiteral("<rss><channel><item><title>") + headline +
                      QStringLiteral("</title><link>http://news.example.com/1</link><description>Story.</description>"
                                     "</item></channel></rss>"))
                         .toUtf8();
    QVERIFY(f.open());
    QLabel* title = f.news->title_box[0];
    QVERIFY(title->isVisible());
    QCOMPARE(title->text(), headline);  // the whole headline goes with a saved article

    const QStringList lines = painted_lines(title);
    QVERIFY2(lines.size() <= 5, qPrintable(lines.join(u'|')));
    const QFontMetrics fm(title->font());
    QVERIFY(title->height() >= fm.lineSpacing() * int(lines.size()));
    QString shown;
    for (const QString& line : lines) shown += line.trimmed() + u' ';
    shown = shown.trimmed();
    if (!cut) {
        QCOMPARE(shown, headline);
        return;
    }
    QCOMPARE(lines.size(), 5);
    QVERIFY2(shown.endsWith(QChar(0x2026)), qPrintable(lines.last()));
    QVERIFY(fm.horizontalAdvance(lines.last().trimmed()) <= title->width());
    // What shows is the headline's beginning, word for word.
    shown.chop(1);
    QVERIFY2(headline.startsWith(shown.trimmed()), qPrintable(shown));
}

void TestNews::failed_fetches_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("refused") << "refused";
    QTest::newRow("hangs") << "hangs";
    QTest::newRow("error status") << "500";
    QTest::newRow("no items") << "page";
    QTest::newRow("empty") << "empty";
}

void TestNews::failed_fetches() {
    QFETCH(QString, how);
    NewsFixture f;
    f.current("IBM", "Intl Business Machines");
    QVERIFY(f.open());
    const QStringList before = f.shown_titles();
    QCOMPARE(before.size(), 3);
    auto answer = f.server.answer;
    if (how == "refused") {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        f.http.port = closed.serverPort();
    } else if (how == "hangs") {
        f.server.answer = nullptr;
    } else {
        const QByteArray reply =
            how == "500" ? QByteArray("HTTP/1.1 500 Oops\r\nContent-Length: 4\r\nConnection: close\r\n\r\noops")
            : how == "page" ? http_ok(market_fixture("quotes_error_page.html"))
                            : http_ok(QByteArray());
        f.server.answer = [reply](const QByteArray&) { return reply; };
    }
    QVERIFY(!f.news->quote_label->text().isEmpty());
    f.news->Symbol->setText("MSFT");
    QTest::keyClick(f.news->Symbol, Qt::Key_Return);
    QCOMPARE(f.news->windowTitle(), "Quorbelix News Reader: Unable to Retreive News");
    QVERIFY(f.boxes().isEmpty());
    QVERIFY(!f.wait_window_shown());
    QVERIFY(!f.news->fetch_busy);
    // IBM's headlines and quote do not stay under MSFT: the rows are cleared.
    QCOMPARE(f.news->Symbol->text(), "MSFT");
    QVERIFY(f.shown_titles().isEmpty());
    for (int r = 0; r < News::kRows; ++r) {
        QVERIFY(!f.news->desc_textbox[size_t(r)]->isVisible());
        QVERIFY(!f.news->save_button[size_t(r)]->isVisible());
    }
    QCOMPARE(f.news->news_record.item_count, int16_t(0));
    QCOMPARE(f.news->quote_label->text(), "");
    QCOMPARE(f.news->VScroll1->maximum(), 0);
    // Once the service answers again, the next fetch fills them.
    f.server.answer = answer;
    f.http.port = f.server.port();
    f.news->Symbol->setText("IBM");
    QTest::keyClick(f.news->Symbol, Qt::Key_Return);
    QCOMPARE(f.shown_titles(), before);
}

void TestNews::opening_articles() {
    NewsFixture f;
    f.current("FIX", "");
    f.feeds["FIX"] = market_fixture("feed_utf8.xml");
    QVERIFY(f.open());
    QTest::mouseClick(f.news->title_box[0], Qt::LeftButton);
    QCOMPARE(f.fx.shell.urls, QList<QUrl>{QUrl("http://news.example.com/a1")});
    // No link: nothing happens.
    QTest::mouseClick(f.news->title_box[2], Qt::LeftButton);
    QCOMPARE(f.fx.shell.urls.size(), 1);
    QVERIFY(f.boxes().isEmpty());
    // A link that is no web address is not opened, and the reader says so.
    QTest::mouseClick(f.news->title_box[3], Qt::LeftButton);
    QCOMPARE(f.fx.shell.urls.size(), 1);
    QCOMPARE(f.boxes(), QStringList{"Warning: The article's address is not a web address and was not used: file:///etc/passwd"});
    // Nor is it handed to a new entry.
    QTest::mouseClick(f.news->save_button[3], Qt::LeftButton);
    QCOMPARE(f.boxes().size(), 1);
    QVERIFY(!f.editor || f.editor->handed.isEmpty());
    QCOMPARE(f.news->save_button[3]->text(), "Save");
}

// A link escaped for the feed, in a CDATA section or among line ends is opened and kept
// as the address it stands for.
void TestNews::article_links_as_the_feed_means_them() {
    NewsFixture f;
    f.current("IBM", "Intl Business Machines");
    f.feeds["IBM"] = "<rss><item><title>One</title><link>\r\n   http://news.example.com/a?b=1&amp;c=2\r\n</link></item>"
                     "<item><title>Two</title><link><![CDATA[http://news.example.com/b?x=1&y=2]]></link></item></rss>";
    QVERIFY(f.open());
    QTest::mouseClick(f.news->title_box[0], Qt::LeftButton);
    QTest::mouseClick(f.news->title_box[1], Qt::LeftButton);
    QCOMPARE(f.fx.shell.urls, (QList<QUrl>{QUrl("http://news.example.com/a?b=1&c=2"), QUrl("http://news.example.com/b?x=1&y=2")}));
    QCOMPARE(f.fx.shell.urls[0].query(QUrl::FullyDecoded), "b=1&c=2");
    QTest::mouseClick(f.news->save_button[0], Qt::LeftButton);
    QVERIFY(f.editor);
    QCOMPARE(f.editor->handed.value(0).value(3), "http://news.example.com/a?b=1&c=2");
    QVERIFY(f.boxes().isEmpty());
}

void TestNews::saving_an_article() {
    NewsFixture f;
    f.add_entry("IBM", "Intl Business Machines");
    f.current("IBM", "Intl Business Machines");
    QVERIFY(f.open());
    QPushButton* save = f.news->save_button[1];
    QTest::mouseClick(save, Qt::LeftButton);
    QVERIFY(f.editor);
    QCOMPARE(f.editor->handed, (QList<QStringList>{
                                   {"Intl Business Machines", "IBM", "84.50", "http://news.example.com/2", "IBM 2"}}));
    QCOMPARE(f.c().current_screen, int(screen_new_web_page));
    QVERIFY(f.editor->isVisible());
    QCOMPARE(save->text(), "Saved");
    QCOMPARE(save->palette().color(QPalette::Button), color_from_ole(News::kSavedGreen));
    QCOMPARE(f.news->news_record.items[1].saved, int16_t(kTrue));
    QVERIFY(!f.news->handoff_pending);
    // The wait note stays until the editor's page has loaded.
    QVERIFY(f.wait_window_shown());
    // Pressing it again does nothing; a new web page entry alone takes no article.
    QTest::mouseClick(save, Qt::LeftButton);
    f.shell->command()->Image_action_Click(button_web_page);
    QCOMPARE(f.editor->handed.size(), 1);
    // The next fetch shows "Save" again.
    QTest::mouseClick(f.news->getnews, Qt::LeftButton);
    QCOMPARE(save->text(), "Save");
    QCOMPARE(f.news->news_record.items[1].saved, int16_t(0));
}

void TestNews::refused_save_leaves_nothing_behind() {
    NewsFixture f;
    f.current("IBM", "Intl Business Machines");
    QVERIFY(f.open());
    // The user is on an unsaved web page entry and chooses to stay there.
    f.shell->command()->Image_action_Click(button_web_page);
    QVERIFY(f.editor);
    f.editor->may_leave = false;
    QPushButton* save = f.news->save_button[0];
    QTest::mouseClick(save, Qt::LeftButton);
    QVERIFY(f.editor->handed.isEmpty());
    QCOMPARE(save->text(), "Save");
    QCOMPARE(f.news->news_record.items[0].saved, int16_t(0));
    QVERIFY(!f.news->handoff_pending);
    QVERIFY(!f.wait_window_shown());
    // So the next new web page entry does not receive that article unasked...
    f.editor->may_leave = true;
    f.shell->command()->Image_action_Click(button_web_page);
    QVERIFY(f.editor->handed.isEmpty());
    // ...and the article can be saved once the editor lets go.
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(f.editor->handed.size(), 1);

    // While the editor captures a page, Save does nothing at all.
    f.shell->loaded_window("UserUpdate")->hide();  // the article's page has loaded
    f.editor->capturing = true;
    f.c().current_screen = screen_summary;
    QTest::mouseClick(f.news->save_button[1], Qt::LeftButton);
    QCOMPARE(f.c().current_screen, int(screen_summary));
    QCOMPARE(f.news->save_button[1]->text(), "Save");
    QVERIFY(!f.wait_window_shown());
    QCOMPARE(f.editor->handed.size(), 1);
}

QB_WEBENGINE_TEST_MAIN(TestNews)
#include "tst_news.moc"
