#include "references/page_text.h"

namespace qb {
namespace {

// Where a character stands decides which escape writes it.
enum class Place { markup, style, script };

inline char16_t fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

// Whether word (lower-case ASCII) stands at i, in any letter case.
bool word_at(QStringView text, qsizetype i, QLatin1StringView word) {
    if (i + word.size() > text.size()) return false;
    for (qsizetype k = 0; k < word.size(); ++k)
        if (fold(text[i + k].unicode()) != char16_t(word[k].unicode())) return false;
    return true;
}

bool ends_tag_name(QChar c) { return c.isSpace() || c == u'/' || c == u'>'; }

// Writes the character at i (a surrogate pair as one) and moves i past it.
void put(QByteArray& out, QStringView text, qsizetype& i, Place place) {
    const char16_t c = text[i++].unicode();
    if (c < 0x80) {
        out += char(c);
        return;
    }
    if (place == Place::script) {
        // Script text is UTF-16 to the script engine: each half of a pair as it is.
        out += "\\u" + QByteArray::number(uint(c), 16).rightJustified(4, '0');
        return;
    }
    char32_t code = c;
    if (QChar::isHighSurrogate(c) && i < text.size() && text[i].isLowSurrogate())
        code = QChar::surrogateToUcs4(c, text[i++].unicode());
    else if (QChar::isSurrogate(c))
        code = 0xFFFD;  // half a pair is no character; the parser reads it as this too
    if (place == Place::style) {
        // The blank ends the escape and is taken with it.
        out += '\\' + QByteArray::number(uint(code), 16) + ' ';
        return;
    }
    out += "&#" + QByteArray::number(uint(code)) + ';';
}

} // namespace

QByteArray encode_page_text(const QString& html) {
    QByteArray out;
    out.reserve(html.size() + html.size() / 8 + 2);
    const QStringView text(html);
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c != u'<') {
            put(out, text, i, Place::markup);
            continue;
        }
        if (word_at(text, i, QLatin1StringView("<!--"))) {
            // A comment runs to its end whatever tags it mentions.
            const qsizetype end = text.indexOf(u"-->", i + 4);
            const qsizetype stop = end < 0 ? n : end + 3;
            while (i < stop) put(out, text, i, Place::markup);
            continue;
        }
        Place inside = Place::markup;
        if (word_at(text, i, QLatin1StringView("<style")) && i + 6 < n && ends_tag_name(text[i + 6]))
            inside = Place::style;
        else if (word_at(text, i, QLatin1StringView("<script")) && i + 7 < n && ends_tag_name(text[i + 7]))
            inside = Place::script;
        // The tag itself, up to its '>'; a '>' inside a quoted attribute value (which the
        // serializer leaves as it is) does not end it.
        QChar quote;
        put(out, text, i, Place::markup);
        while (i < n) {
            const QChar t = text[i];
            put(out, text, i, Place::markup);
            if (!quote.isNull()) {
                if (t == quote) quote = QChar();
            } else if (t == u'"' || t == u'\'') {
                quote = t;
            } else if (t == u'>') {
                break;
            }
        }
        if (inside == Place::markup) continue;
        // Raw text: no tag begins before the element's own end tag.
        const QLatin1StringView end_tag(inside == Place::style ? "</style" : "</script");
        while (i < n && !word_at(text, i, end_tag)) put(out, text, i, inside);
    }
    return out;
}

} // namespace qb
