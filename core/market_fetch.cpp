#include "core/market_fetch.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/platform_api.h"
#include "core/service_hosts.h"
#include "core/text_helpers.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

namespace qb {
namespace {

// Each symbol percent-encoded on its own, so "&", "#", "^" or a blank cannot end the
// value or start another key; the commas between symbols stay as the service wants them.
QByteArray encode_symbols(const QString& symbols) {
    QByteArrayList parts;
    for (const QString& s : symbols.split(u','))
        parts << QUrl::toPercentEncoding(s);
    return parts.join(',');
}

QUrl service_url(const QString& host, const QByteArray& path_and_query) {
    return QUrl::fromEncoded(QByteArray(service_hosts::kScheme) + host.toLatin1() + path_and_query, QUrl::StrictMode);
}

// The services answer in UTF-8 or, older ones, in the Windows code page.
QString reply_text(const QByteArray& body) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(body);
    if (utf8.hasError()) return decode_cp1252(body);
    return text;
}

// The encodings a feed is read in. Latin-1 is read as the Windows code page, whose
// letters it shares and which servers that say Latin-1 often send.
enum class FeedEncoding { Unknown, Utf8, Utf16LE, Utf16BE, Windows };

FeedEncoding encoding_named(const QByteArray& name) {
    static const QByteArrayList windows{"iso-8859-1",   "iso8859-1", "iso_8859-1", "latin1",   "latin-1", "l1",
                                        "windows-1252", "cp1252",    "x-cp1252",   "us-ascii", "ascii"};
    const QByteArray n = name.trimmed().toLower();
    if (n == "utf-8" || n == "utf8") return FeedEncoding::Utf8;
    if (n == "utf-16le") return FeedEncoding::Utf16LE;
    // Without a byte order mark, UTF-16 is big-endian.
    if (n == "utf-16be" || n == "utf-16") return FeedEncoding::Utf16BE;
    if (windows.contains(n)) return FeedEncoding::Windows;
    return FeedEncoding::Unknown;
}

FeedEncoding byte_order_mark(const QByteArray& body) {
    if (body.startsWith("\xEF\xBB\xBF")) return FeedEncoding::Utf8;
    if (body.startsWith("\xFF\xFE")) return FeedEncoding::Utf16LE;
    if (body.startsWith("\xFE\xFF")) return FeedEncoding::Utf16BE;
    return FeedEncoding::Unknown;
}

// The charset parameter of a Content-Type ("text/xml; charset=ISO-8859-1"); "" when none.
QByteArray charset_of(const QByteArray& content_type) {
    const QByteArrayList parts = content_type.split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const qsizetype eq = parts[i].indexOf('=');
        if (eq < 0 || parts[i].left(eq).trimmed().toLower() != "charset") continue;
        QByteArray value = parts[i].mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"')) value = value.mid(1, value.size() - 2);
        return value;
    }
    return QByteArray();
}

// The name in encoding="..." of a leading XML declaration; "" when none.
QByteArray declared_encoding(const QByteArray& body) {
    // Read as Latin-1, every byte is one character.
    static const QRegularExpression declaration(
        QStringLiteral("^\\s*<\\?xml[^>]*?\\sencoding\\s*=\\s*([\"'])([^\"']*)\\1"));
    const QRegularExpressionMatch m = declaration.match(QString::fromLatin1(body.left(1024)));
    return m.hasMatch() ? m.captured(2).toLatin1() : QByteArray();
}

QString fetch(HttpTransport* http, const QUrl& url) {
    if (!http) return QString();
    const std::optional<QByteArray> body = http->get(url);
    return body ? reply_text(*body) : QString();
}

QString fetch_before(HttpTransport* http, const QUrl& url, QDeadlineTimer deadline) {
    if (!http) return QString();
    const std::optional<QByteArray> body = http->get_before(url, deadline);
    return body ? reply_text(*body) : QString();
}

// The whole quote fetch, both hosts together, waits no longer than this.
constexpr int kQuoteFetchLimitMs = 30000;

// A reply with none of the asked symbols (an error page served with status 200) is no answer.
bool holds_a_symbol(const QString& reply, const QString& symbols) {
    if (symbols.trimmed().isEmpty()) return true;  // nothing asked, nothing to look for
    for (const QString& s : symbols.split(u',')) {
        const QString t = s.trimmed();
        if (!t.isEmpty() && reply.contains(u'"' + t + u'"', Qt::CaseInsensitive)) return true;
    }
    return false;
}

// A quote line carries at least five commas and three periods (price, date, change ...);
// an error page or a "no such symbol" text does not. The last character is not looked at.
bool looks_like_quotes(const QString& reply) {
    int commas = 0, periods = 0;
    for (qsizetype i = 0; i + 1 < reply.size(); ++i) {
        if (reply[i] == u',') ++commas;
        else if (reply[i] == u'.') ++periods;
        if (commas >= 5 && periods >= 3) return true;
    }
    return false;
}

QString month_day_year(const QDate& d, char month_key, char day_key, char year_key) {
    // Months are counted from 0 by the service.
    return QStringLiteral("&%1=%2&%3=%4&%5=%6")
        .arg(QChar::fromLatin1(month_key)).arg(d.month() - 1)
        .arg(QChar::fromLatin1(day_key)).arg(d.day())
        .arg(QChar::fromLatin1(year_key)).arg(d.year());
}

char history_interval(const QDate& a, const QDate& b) {
    const int months = std::abs((a.year() * 12 + a.month()) - (b.year() * 12 + b.month()));
    if (months <= 12) return 'd';
    if (months <= 24) return 'w';
    return 'm';
}

HttpTransport* current_transport() {
    Core* c = Core::current();
    return c ? c->platform().http : nullptr;
}

QByteArray quote_query(const QString& symbols) {
    return "/d/quotes.csv?s=" + encode_symbols(symbols) + "&f=sl1d1t1c1ohgv&e=.csv";
}

} // namespace

std::optional<QString> get_quotes_once(HttpTransport* http, const QString& symbols) {
    if (!http) return std::nullopt;
    const std::optional<QByteArray> body = http->get(service_url(service_hosts::current().quote_primary, quote_query(symbols)));
    if (!body) return std::nullopt;
    return reply_text(*body);
}

QString get_one_quote(HttpTransport* http, const QString& symbols) {
    const QByteArray query = quote_query(symbols);
    const QDeadlineTimer deadline(kQuoteFetchLimitMs);
    const QString reply = fetch_before(http, service_url(service_hosts::current().quote_primary, query), deadline);
    if (!reply.isEmpty() && looks_like_quotes(reply) && holds_a_symbol(reply, symbols)) return reply;
    const QString second = fetch_before(http, service_url(service_hosts::current().quote_second, query), deadline);
    return holds_a_symbol(second, symbols) ? second : QString();
}

QString decode_feed(const QByteArray& body, const QByteArray& content_type) {
    // The first that names an encoding read here wins; a name not known is passed over.
    FeedEncoding encoding = byte_order_mark(body);
    if (encoding == FeedEncoding::Unknown) encoding = encoding_named(charset_of(content_type));
    if (encoding == FeedEncoding::Unknown) encoding = encoding_named(declared_encoding(body));
    switch (encoding) {
    case FeedEncoding::Windows:
        return decode_cp1252(body);
    case FeedEncoding::Utf16LE:
    case FeedEncoding::Utf16BE: {
        // The decoders drop a leading byte order mark. A broken sequence becomes one
        // replacement character, as below.
        QStringDecoder utf16(encoding == FeedEncoding::Utf16LE ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return utf16(body);
    }
    case FeedEncoding::Utf8:
    case FeedEncoding::Unknown:
        break;
    }
    // A byte that is not UTF-8 becomes one replacement character; the rest reads as written.
    QStringDecoder utf8(QStringDecoder::Utf8);
    return utf8(body);
}

QString get_stock_news(HttpTransport* http, const QString& symbol) {
    if (!http) return QString();
    QByteArray type;
    const std::optional<QByteArray> body =
        http->get_with_type(service_url(service_hosts::current().headlines, "/rss/headline?s=" + encode_symbols(symbol)), type);
    return body ? decode_feed(*body, type) : QString();
}

QString get_hist_quote(HttpTransport* http, const QString& symbol, const QDate& first_date,
                       const QDate& second_date) {
    // An invalid date would put "-1" months and zero years into the query.
    if (!first_date.isValid() || !second_date.isValid()) return QString();
    const QByteArray query = "/table.csv?s=" + encode_symbols(symbol) +
                             month_day_year(second_date, 'd', 'e', 'f').toLatin1() + "&g=" +
                             history_interval(first_date, second_date) +
                             month_day_year(first_date, 'a', 'b', 'c').toLatin1() + "&ignore=.csv";
    return fetch(http, service_url(service_hosts::current().price_history, query));
}

QString get_one_quote(const QString& symbols) { return get_one_quote(current_transport(), symbols); }
QString get_stock_news(const QString& symbol) { return get_stock_news(current_transport(), symbol); }
QString get_hist_quote(const QString& symbol, const QDate& first_date, const QDate& second_date) {
    return get_hist_quote(current_transport(), symbol, first_date, second_date);
}

bool parse_quote_csv(const QString& symbol, const QString& reply, QString& price, QString& change) {
    const QString key = u'"' + symbol.toUpper() + u'"';
    const qsizetype at = reply.indexOf(key, 0, Qt::CaseInsensitive);
    if (at < 0) return false;

    // Only the symbol's own line: a short line must not borrow the next symbol's fields.
    qsizetype line_end = reply.size();
    for (qsizetype i = at + key.size(); i < reply.size(); ++i) {
        if (reply[i] == u'\r' || reply[i] == u'\n') {
            line_end = i;
            break;
        }
    }
    const QStringView line = QStringView(reply).first(line_end);
    auto next_comma = [&](qsizetype from) { return line.indexOf(u',', from); };

    const qsizetype c1 = next_comma(at);
    if (c1 < 0) return false;
    const qsizetype c2 = next_comma(c1 + 1);
    if (c2 < 0) return false;
    price = line.mid(c1 + 1, c2 - c1 - 1).toString();
    const qsizetype dot = price.indexOf(u'.');
    if (dot >= 0 && price.size() - dot - 1 > 2) price.truncate(dot + 3);

    qsizetype c = c2;
    for (int k = 0; k < 2; ++k) {
        c = next_comma(c + 1);
        if (c < 0) return false;
    }
    const qsizetype c5 = next_comma(c + 1);
    if (c5 < 0) return false;
    const QStringView field = line.mid(c + 1, c5 - c - 1);
    change = (field.startsWith(u'-') || field.startsWith(u'+')) ? field.toString() : QStringLiteral("0.0");

    return numeric_value(price) != 0;
}

} // namespace qb
