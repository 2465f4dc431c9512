#pragma once
// The outside services the market-data fetches talk to. Kept in one place so a
// service that moves is one edit, and each can be pointed elsewhere at start.
#include <QString>

namespace qb {
class Core;
}

namespace qb::service_hosts {

// Built-in hosts. Quotes: the second host is asked once when the first gives nothing usable.
constexpr char kQuotePrimary[] = "quotes.quorbelix.com";
constexpr char kQuoteSecond[] = "quotes2.quorbelix.com";
constexpr char kHeadlines[] = "news.quorbelix.com";
constexpr char kPriceHistory[] = "history.quorbelix.com";
constexpr char kStockIdea[] = "www.quorbelix.com";

// No scheme is configured with the hosts: plain HTTP.
constexpr char kScheme[] = "http://";

// The hosts in use, each "host" or "host:port".
struct Hosts {
    QString quote_primary = QString::fromLatin1(kQuotePrimary);
    QString quote_second = QString::fromLatin1(kQuoteSecond);
    QString headlines = QString::fromLatin1(kHeadlines);
    QString price_history = QString::fromLatin1(kPriceHistory);
    QString stock_idea = QString::fromLatin1(kStockIdea);
};
const Hosts& current();

// True for "host" or "host:port": a DNS name, an IPv4 address or a bracketed IPv6
// address, and a port of 1 to 65535.
bool is_host_and_port(const QString& text);

// Takes each host from its environment variable when one is set (QUORBELIX_QUOTE_HOST,
// QUORBELIX_QUOTE_HOST2, QUORBELIX_NEWS_HOST, QUORBELIX_HISTORY_HOST,
// QUORBELIX_STOCKIDEA_HOST); a value that is no host is logged as a warning and the
// built-in host is used.
void read_from_environment(Core& c);

} // namespace qb::service_hosts
