#pragma once
// The price typed into an entry's price box, read as the record stores it.
#include "core/records.h"

#include <QString>
#include <optional>

class QLineEdit;

namespace qb {

// The leading decimal number of a price text as Currency: 0 without digits, nullopt when
// the number does not fit.
std::optional<Currency> price_value(const QString& text);

// Keeps only digits and the point in a price box, the caret staying after what it followed.
void keep_price_characters(QLineEdit* box);

} // namespace qb
