// Headline feeds and the quotes window: parse_news of a 50-item feed and of 5 MB feeds,
// and one refresh of ten quotes against a server on 127.0.0.1, less the reply time.
// Runs offscreen: QT_QPA_PLATFORM=offscreen bench_news
#include "bench/bench_support.h"
#include "core/core.h"
#include "core/text_helpers.h"
#include "market/market_windows.h"
#include "market/news_parse.h"
#include "market/quotes.h"
#include "platform/qt_platform.h"
#include "shell/shell.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <tuple>
#include <vector>

namespace {

double ms(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

QString feed(int items, int description_chars) {
    const QString words = QStringLiteral("Shares &amp; bonds rose &lt;sharply&gt; as the &quot;market&quot; cheered. ");
    QString description;
    while (description.size() < description_chars) description += words;
    QString f = QStringLiteral("<?xml version=\"1.0\"?>\r\n<rss><channel>\r\n");
    for (int i = 1; i <= items; ++i)
        f += QStringLiteral("<item>\r\n<title>Headline %1 &amp; more</title>\r\n<link>http://news.example.com/%1</link>\r\n"
                            "<description>").arg(i) +
             description +
             QStringLiteral("</description>\r\n<pubDate>Thu, 18 Aug 2005 16:30:00 GMT</pubDate>\r\n</item>\r\n");
    return f + QStringLiteral("</channel></rss>\r\n");
}

// Median and best of n runs.
std::pair<double, double> time_runs(int n, const std::function<void()>& run) {
    std::vector<double> t;
    for (int i = 0; i < n; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        t.push_back(ms(timer));
    }
    std::sort(t.begin(), t.end());
    return {t[t.size() / 2], t.front()};
}

// Answers every request at once with ten quote lines.
class QuoteServer : public QObject {
public:
    QuoteServer() {
        server.listen(QHostAddress::LocalHost);
        QByteArray body;
        for (int i = 0; i < 10; ++i)
            body += "\"S" + QByteArray::number(i) + "\",1" + QByteArray::number(i) + ".25,\"8/18/2005\",\"4:00pm\",+0.10,1,2,3,4\r\n";
        reply = "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    if (!s->readAll().contains("\r\n\r\n")) return;
                    s->write(reply);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QTcpServer server;
    QByteArray reply;
};

class LoopbackHttp : public qb::HttpTransport {
public:
    std::optional<QByteArray> get(const QUrl& url) override {
        QUrl local = url;
        local.setHost(QStringLiteral("127.0.0.1"));
        local.setPort(port);
        last = local;
        return real.get(local);
    }
    qb::QtHttpTransport real;
    quint16 port = 0;
    QUrl last;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);

    qb::NewsParseState state;
    const QString fifty = feed(50, 300);
    const QString many_small = feed(5 * 1024 * 1024 / 520, 300);
    const QString few_large = feed(35, 5 * 1024 * 1024 / 35);
    const auto [fifty_median, fifty_best] = time_runs(200, [&] { qb::parse_news(state, fifty, "IBM"); });
    const auto [small_median, small_best] = time_runs(20, [&] { qb::parse_news(state, many_small, "IBM"); });
    const auto [large_median, large_best] = time_runs(10, [&] { qb::parse_news(state, few_large, "IBM"); });

    QuoteServer server;
    LoopbackHttp http;
    http.port = server.server.serverPort();
    QTemporaryDir dir;
    qb::bench::FixedClock clock;
    qb::bench::QuietPresenter quiet;
    qb::Platform platform;
    platform.clock = &clock;
    platform.messages = &quiet;
    platform.http = &http;
    double refresh_median = 0, refresh_best = 0, reply_median = 0, reply_best = 0;
    {
        qb::Core core(dir.path(), platform);
        core.init_blank_entry();
        for (int i = 0; i < 10; ++i) core.quotes += qb::make_tag(QStringLiteral("quote%1").arg(i + 1), QStringLiteral("S%1").arg(i));
        core.quotes = qb::make_tag("numquotes", "10") + core.quotes;
        qb::Shell shell(core);
        qb::register_market_windows(shell);
        auto* quotes = shell.window_as<qb::Quotes>(QStringLiteral("Quotes"));
        quotes->show();
        const QUrl request = http.last;
        std::tie(reply_median, reply_best) = time_runs(50, [&] { http.real.get(request); });
        std::tie(refresh_median, refresh_best) = time_runs(50, [&] { quotes->quote->click(); });
        if (quotes->Price[9]->text() != "19.25") std::fprintf(stderr, "unexpected quote: %s\n", qPrintable(quotes->Price[9]->text()));
    }

    std::printf("parse_news, 50 items (%lld KB):           median %8.3f ms, best %8.3f ms\n",
                (long long)(fifty.size() / 1024), fifty_median, fifty_best);
    std::printf("parse_news, 5 MB in %d small items:     median %8.3f ms, best %8.3f ms\n",
                int(5 * 1024 * 1024 / 520), small_median, small_best);
    std::printf("parse_news, 5 MB in 35 large items:       median %8.3f ms, best %8.3f ms\n", large_median, large_best);
    std::printf("quote reply alone (one GET, 10 symbols):  median %8.3f ms, best %8.3f ms\n", reply_median, reply_best);
    std::printf("quotes refresh of 10 symbols:             median %8.3f ms, best %8.3f ms\n", refresh_median, refresh_best);
    std::printf("refresh beyond the reply time:            median %8.3f ms\n", refresh_median - reply_median);
    return 0;
}
