#include "journal/price_value.h"

#include "core/text_helpers.h"

namespace qb {

std::optional<Currency> price_value(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    QString number;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch >= u'0' && ch <= u'9') {
            number += ch;
        } else if (ch == u'.' && !point) {
            point = true;
            number += ch;
        } else {
            break;
        }
    }
    if (number.isEmpty() || number == u".") return Currency(0);
    return currency_from_text(number);
}

} // namespace qb
