// The news reader's Save with the real web page editor: the article fills a new web page
// entry and its page loads in the pane; a Save the editor refuses leaves nothing behind.
#include "core/ole_date.h"
#include "market/news.h"
#include "market_loopback.h"
#include "references/references_windows.h"
#include "references/savewebpage.h"
#include "shell/command.h"
#include "support/webengine_test_main.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QWebEngineView>

using namespace qb;
using namespace qb::test;

namespace {

QByteArray html_ok(const QByteArray& body) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

struct HandOffFixture : MarketFixture {
    HandOffFixture() {
        register_references_windows(*shell);
        const QByteArray base = "http://127.0.0.1:" + QByteArray::number(server.port());
        server.answer = [base](const QByteArray& target) {
            if (target.startsWith("/d/quotes.csv"))
                return http_ok("\"IBM\",84.50,\"8/18/2005\",\"4:00pm\",+0.31,1,2,3,4\r\n");
            if (target.startsWith("/rss/headline"))
                // The first link as feeds write them: escaped, on a line of its own.
                return http_ok("<rss><item><title>IBM: a title longer than forty characters, cut here</title><link>\r\n  " +
                               base + "/a1.htm?b=1&amp;c=2\r\n</link><description>One</description></item>" +
                               "<item><title>Second story</title><link>" + base +
                               "/a2.htm</link><description>Two</description></item></rss>");
            return html_ok("<html><head><title>Article</title></head><body><p>Story</p></body></html>");
        };
        SummaryEntry e;
        e.Inuse = kTrue;
        e.symbol = "IBM";
        e.security = "Intl Business Machines";
        e.transaction = "Buy";
        c().SummaryData.append(e);
        c().current_entry.entry = e;
    }
    bool wait_window_shown() {
        QWidget* w = shell->loaded_window(QStringLiteral("UserUpdate"));
        return w && w->isVisible();
    }
};

} // namespace

class TestNewsHandOff : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SaveWebPage::start_page = QStringLiteral("about:blank"); }
    void article_becomes_a_new_web_page_entry();
};

void TestNewsHandOff::article_becomes_a_new_web_page_entry() {
    HandOffFixture f;
    f.mdi->menu_item(QStringLiteral("mnuNews"))->trigger();
    auto* news = dynamic_cast<News*>(f.shell->loaded_window(QStringLiteral("News")));
    QVERIFY(news);
    QCOMPARE(news->title_box[1]->text(), "Second story");

    QTest::mouseClick(news->save_button[0], Qt::LeftButton);
    auto* editor = dynamic_cast<SaveWebPage*>(f.shell->loaded_window(QStringLiteral("SaveWebPage")));
    QVERIFY(editor);
    QCOMPARE(f.c().current_screen, int(screen_new_web_page));
    QCOMPARE(editor->security_name->text(), "Intl Business Machines");
    QCOMPARE(editor->symbol_textbox->text(), "IBM");
    QCOMPARE(editor->security_price->text(), "84.50");
    QCOMPARE(editor->Web_address->text(), "http://127.0.0.1:" + QString::number(f.server.port()) + "/a1.htm?b=1&c=2");
    // The reference name is the title's first forty characters, without ':'.
    QCOMPARE(editor->Your_reference_name->text(), "IBM  a title longer than forty character");
    QCOMPARE(news->save_button[0]->text(), "Saved");
    QVERIFY(!news->handoff_pending);
    // The pane loads the article and the wait note goes with it.
    QTRY_VERIFY_WITH_TIMEOUT(f.server.targets.contains("/a1.htm?b=1&c=2"), 30000);
    QTRY_VERIFY_WITH_TIMEOUT(!f.wait_window_shown(), 30000);

    // Leaving the editor with a name it refuses, the user stays to correct it: the second
    // article is not marked, nothing waits and nothing is pending.
    editor->Your_reference_name->setText("");
    f.fx.messages.answers.enqueue(kAnswerYes);
    QTest::mouseClick(news->save_button[1], Qt::LeftButton);
    QCOMPARE(f.fx.messages.questions.size(), 1);
    QCOMPARE(f.c().current_screen, int(screen_new_web_page));
    QCOMPARE(editor->Web_address->text(), "http://127.0.0.1:" + QString::number(f.server.port()) + "/a1.htm?b=1&c=2");
    QCOMPARE(news->save_button[1]->text(), "Save");
    QCOMPARE(news->news_record.items[1].saved, int16_t(0));
    QVERIFY(!news->handoff_pending);
    QVERIFY(!f.wait_window_shown());
}

QB_WEBENGINE_TEST_MAIN(TestNewsHandOff)
#include "tst_news_handoff.moc"
