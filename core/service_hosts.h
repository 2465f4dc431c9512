#pragma once
// The outside services the market-data fetches talk to. Kept in one place so a
// service that moves is one edit.

namespace qb::service_hosts {

// Quotes: the second host is asked once when the first gives nothing usable.
constexpr char kQuotePrimary[] = "quotes.quorbelix.com";
constexpr char kQuoteSecond[] = "quotes2.quorbelix.com";
constexpr char kHeadlines[] = "news.quorbelix.com";
constexpr char kPriceHistory[] = "history.quorbelix.com";

// No scheme is configured with the hosts: plain HTTP.
constexpr char kScheme[] = "http://";

} // namespace qb::service_hosts
