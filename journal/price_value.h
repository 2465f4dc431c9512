#pragma once
// The price typed into an entry's price box, read as the record stores it.
#include "core/records.h"

#include <QString>
#include <optional>

namespace qb {

// The leading decimal number of a price text as Currency: 0 without digits, nullopt when
// the number does not fit.
std::optional<Currency> price_value(const QString& text);

} // namespace qb
