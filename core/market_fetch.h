#pragma once
// Quotes, headlines and price history over HTTP. Each fetch is one blocking GET;
// every failure (no connection, time-out, error status) comes back as "".
#include <QDate>
#include <QString>
#include <optional>

namespace qb {

class HttpTransport;

// symbols: one ticker or several joined by commas.
QString get_one_quote(HttpTransport* http, const QString& symbols);
QString get_stock_news(HttpTransport* http, const QString& symbol);
// first_date fills the query's start keys, second_date its end keys; either order.
QString get_hist_quote(HttpTransport* http, const QString& symbol, const QDate& first_date,
                       const QDate& second_date);

// The first quote host only, asked once: the quotes window's own request. No value when
// the request failed (no connection, time-out, error status).
std::optional<QString> get_quotes_once(HttpTransport* http, const QString& symbols);

// The same, through the current Core's transport ("" when there is none).
QString get_one_quote(const QString& symbols);
QString get_stock_news(const QString& symbol);
QString get_hist_quote(const QString& symbol, const QDate& first_date, const QDate& second_date);

// A headline feed's bytes as text, in the encoding named first by: a byte order mark,
// the charset of the reply's Content-Type, the XML declaration (UTF-16 and UTF-32 also
// by their first bytes). Every encoding Qt and ICU can decode is read; ISO-8859-1 as the
// Windows code page. A feed that names none of them is read as UTF-8, and bytes that are
// not UTF-8 in a feed read as UTF-8 as the Windows code page, each on its own.
QString decode_feed(const QByteArray& body, const QByteArray& content_type = {});

// Reads one symbol's last price and change out of a quote reply. True when the symbol
// was found with a non-zero price. price and change are touched only once the symbol
// was found; price may hold the raw field even when the result is false.
bool parse_quote_csv(const QString& symbol, const QString& reply, QString& price, QString& change);

} // namespace qb
