#include "journal/price_value.h"

#include "core/text_helpers.h"

#include <QLineEdit>

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

void keep_price_characters(QLineEdit* box) {
    const QString text = box->text();
    const QString kept = keep_digits_and_point(text);
    if (kept == text) return;
    const int caret = box->cursorPosition();
    const int removed_before = int(text.left(caret).size() - keep_digits_and_point(text.left(caret)).size());
    box->setText(kept);
    box->setCursorPosition(caret - removed_before);
}

} // namespace qb
