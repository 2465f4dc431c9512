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

// How a feed's characters are laid out in bytes, as its first characters show when they
// are ASCII ("<?xml", "<rss", blanks): one or more bytes a character, or 16 or 32 bits.
enum class Layout { Bytes, Utf16LE, Utf16BE, Utf32LE, Utf32BE };

Layout layout_of(const QByteArray& body) {
    if (body.size() < 4) return Layout::Bytes;
    const auto b = [&](int i) { return static_cast<unsigned char>(body[i]); };
    const auto ascii = [&](int i) { return b(i) != 0 && b(i) < 0x80; };
    if (!b(0) && !b(1) && !b(2) && ascii(3)) return Layout::Utf32BE;
    if (ascii(0) && !b(1) && !b(2) && !b(3)) return Layout::Utf32LE;
    if (!b(0) && ascii(1) && !b(2) && ascii(3)) return Layout::Utf16BE;
    if (ascii(0) && !b(1) && ascii(2) && !b(3)) return Layout::Utf16LE;
    return Layout::Bytes;
}

QStringConverter::Encoding converter_of(Layout layout) {
    switch (layout) {
    case Layout::Utf16LE: return QStringConverter::Utf16LE;
    case Layout::Utf16BE: return QStringConverter::Utf16BE;
    case Layout::Utf32LE: return QStringConverter::Utf32LE;
    case Layout::Utf32BE: return QStringConverter::Utf32BE;
    case Layout::Bytes: break;
    }
    return QStringConverter::Utf8;
}

// How a feed's bytes become text: UTF-8 (our own reading, below), the Windows code page,
// or a decoder of Qt's or of ICU's by its name.
struct FeedCodec {
    enum class Kind { Utf8, Windows, Named } kind = Kind::Utf8;
    QByteArray name;  // Kind::Named: a name QStringDecoder knows
};

FeedCodec utf8_codec() { return FeedCodec{}; }

FeedCodec named_codec(const char* name) { return FeedCodec{FeedCodec::Kind::Named, name}; }

// The codec a charset name stands for; none for a name no decoder knows. Latin-1 and
// ASCII are read as the Windows code page, whose letters they share and which servers
// that name them often send. UTF-16 and UTF-32 without an order are in the order the
// first bytes show, else big-endian.
std::optional<FeedCodec> codec_named(const QByteArray& name, Layout layout) {
    static const QByteArrayList windows{"iso-8859-1",   "iso8859-1", "iso_8859-1", "latin1",   "latin-1", "l1",
                                        "windows-1252", "cp1252",    "x-cp1252",   "us-ascii", "ascii"};
    const QByteArray n = name.trimmed().toLower();
    if (n.isEmpty()) return std::nullopt;
    if (windows.contains(n)) return FeedCodec{FeedCodec::Kind::Windows, {}};
    if (const std::optional<QStringConverter::Encoding> e = QStringConverter::encodingForName(n.constData())) {
        switch (*e) {
        case QStringConverter::Utf8: return utf8_codec();
        case QStringConverter::Latin1: return FeedCodec{FeedCodec::Kind::Windows, {}};
        case QStringConverter::Utf16:
            return named_codec(layout == Layout::Utf16LE ? "UTF-16LE" : "UTF-16BE");
        case QStringConverter::Utf32:
            return named_codec(layout == Layout::Utf32LE ? "UTF-32LE" : "UTF-32BE");
        case QStringConverter::System:  // the local machine's code page says nothing of a feed
            return std::nullopt;
        default:
            return named_codec(QStringConverter::nameForEncoding(*e));
        }
    }
    if (!QStringDecoder(n.constData()).isValid()) return std::nullopt;
    return FeedCodec{FeedCodec::Kind::Named, n};
}

// The codec a byte order mark names; none without one. UTF-32's
// little-endian mark begins as UTF-16's does, so it is looked for first.
std::optional<FeedCodec> byte_order_mark(const QByteArray& body) {
    if (body.startsWith("\xEF\xBB\xBF")) return utf8_codec();
    if (body.startsWith(QByteArrayView("\xFF\xFE\x00\x00", 4))) return named_codec("UTF-32LE");
    if (body.startsWith(QByteArrayView("\x00\x00\xFE\xFF", 4))) return named_codec("UTF-32BE");
    if (body.startsWith("\xFF\xFE")) return named_codec("UTF-16LE");
    if (body.startsWith("\xFE\xFF")) return named_codec("UTF-16BE");
    return std::nullopt;
}

// The charset parameter of a Content-Type ("text/xml; charset=ISO-8859-1"); "" when none.
QByteArray charset_of(const QByteArray& content_type) {
    const QByteArrayList parts = content_type.split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const qsizetype eq = parts[i].indexOf('=');
        if (eq < 0 || parts[i].left(eq).trimmed().toLower() != "charset") continue;
        QByteArray value = parts[i].mid(eq + 1).trimmed();
        // Some servers quote it in single quotes.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return QByteArray();
}

// The first characters of a feed as the layout of its bytes reads them; a byte a
// character for every encoding whose ASCII letters are single bytes.
QString leading_text(const QByteArray& body, Layout layout) {
    const QByteArray start = body.left(4096);
    if (layout == Layout::Bytes) return QString::fromLatin1(start);
    QStringDecoder decoder(converter_of(layout));
    return decoder(start);
}

// The name in encoding="..." of a leading XML declaration, and the declaration itself;
// "" when none.
QByteArray declared_encoding(const QString& leading, QString& declaration_text) {
    static const QRegularExpression declaration(
        QStringLiteral("^\\s*<\\?xml[^>]*?\\sencoding\\s*=\\s*([\"'])([^\"']*)\\1"));
    const QRegularExpressionMatch m = declaration.match(leading.left(1024));
    if (!m.hasMatch()) return QByteArray();
    declaration_text = m.captured(0);
    return m.captured(2).toLatin1();
}

// UTF-8 where the bytes are UTF-8; each byte of a sequence that is not is read as the
// Windows code page. Feeds that say UTF-8 carry Windows punctuation pasted into UTF-8
// text: byte by byte, the letters around it stay as written.
QString read_utf8_or_windows(QByteArrayView body) {
    // Stateless: a sequence cut off at the end is an error, not bytes held for more.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);  // drops a byte order mark
    QString text = utf8(body);
    if (!utf8.hasError()) return text;
    if (body.startsWith("\xEF\xBB\xBF")) body = body.sliced(3);
    const auto* p = reinterpret_cast<const unsigned char*>(body.data());
    const qsizetype size = body.size();
    // The length of the well-formed sequence at i (no overlong form, surrogate or code
    // point past U+10FFFF), 0 when there is none.
    auto sequence_at = [&](qsizetype i) -> int {
        const unsigned char c = p[i];
        if (c < 0x80) return 1;
        const int n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        if (n == 0 || size - i < n) return 0;
        for (int k = 1; k < n; ++k)
            if ((p[i + k] & 0xC0) != 0x80) return 0;
        if ((c == 0xE0 && p[i + 1] < 0xA0) || (c == 0xED && p[i + 1] > 0x9F) || (c == 0xF0 && p[i + 1] < 0x90) ||
            (c == 0xF4 && p[i + 1] > 0x8F))
            return 0;
        return n;
    };
    text.clear();
    text.reserve(size);
    qsizetype run = 0, i = 0;
    while (i < size) {
        const int n = sequence_at(i);
        if (n > 0) {
            i += n;
            continue;
        }
        text += QString::fromUtf8(body.sliced(run, i - run));
        text += decode_cp1252(body.data() + i, 1);
        run = ++i;
    }
    text += QString::fromUtf8(body.sliced(run));
    return text;
}

QString decode_with(const FeedCodec& codec, const QByteArray& body) {
    switch (codec.kind) {
    case FeedCodec::Kind::Windows: return decode_cp1252(body);
    case FeedCodec::Kind::Utf8: return read_utf8_or_windows(body);
    case FeedCodec::Kind::Named: break;
    }
    // The decoders drop a leading byte order mark; a broken sequence, also one cut off at
    // the end, becomes one replacement character.
    QStringDecoder decoder(codec.name.constData(), QStringDecoder::Flag::Stateless);
    return decoder(body);
}

// The codec a feed's declaration names, when the declaration reads the same in it: a
// declaration in single bytes cannot name UTF-16, nor one in UTF-16 a code page. Without
// a usable name, UTF-16 and UTF-32 are known by their first bytes alone.
std::optional<FeedCodec> declared_codec(const QByteArray& body) {
    const Layout layout = layout_of(body);
    QString declaration;
    const QByteArray name = declared_encoding(leading_text(body, layout), declaration);
    if (const std::optional<FeedCodec> codec = codec_named(name, layout)) {
        const QByteArray start = body.left(4 * declaration.size() + 8);
        if (decode_with(*codec, start).trimmed().startsWith(declaration.trimmed())) return codec;
    }
    if (layout != Layout::Bytes) return named_codec(QStringConverter::nameForEncoding(converter_of(layout)));
    return std::nullopt;
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
    // The first that names an encoding a decoder knows wins; a name not known is passed over.
    std::optional<FeedCodec> codec = byte_order_mark(body);
    if (!codec) codec = codec_named(charset_of(content_type), layout_of(body));
    if (!codec) codec = declared_codec(body);
    return decode_with(codec.value_or(utf8_codec()), body);
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
