#include "market/news_parse.h"

#include "core/codepage.h"

#include <QDate>
#include <QStringList>

namespace qb {
namespace {

bool all_digits(const QString& t) {
    if (t.isEmpty()) return false;
    for (QChar c : t)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// 1..12 for a month number or an English month name (three letters at least), else 0.
int month_of(const QString& t) {
    if (all_digits(t)) {
        const int n = t.toInt();
        return n >= 1 && n <= 12 ? n : 0;
    }
    static const char* const names[] = {"january", "february", "march",     "april",   "may",      "june",
                                        "july",    "august",   "september", "october", "november", "december"};
    const QString l = t.toLower();
    if (l.size() < 3) return 0;
    for (int i = 0; i < 12; ++i)
        if (QString::fromLatin1(names[i]).startsWith(l)) return i + 1;
    return 0;
}

// Whether "a/b/year" reads as a date: day and month in either order, the month as a
// number or a name, the year of two or four digits.
bool is_day_month_year(const QString& a, const QString& b, const QString& year) {
    if (!all_digits(year) || (year.size() != 2 && year.size() != 4)) return false;
    int y = year.toInt();
    if (year.size() == 2) y += y < 30 ? 2000 : 1900;
    auto fits = [y](const QString& day, const QString& month) {
        if (!all_digits(day) || day.size() > 2) return false;
        const int m = month_of(month);
        return m > 0 && QDate(y, m, day.toInt()).isValid();
    };
    return fits(a, b) || fits(b, a);
}

} // namespace

QString xml_find_text_from_tag(const QString& tag, const QString& text, qsizetype start) {
    const QString open = u'<' + tag + u'>';
    const QString close = QStringLiteral("</") + tag + u'>';
    if (start < 0) start = 0;
    const qsizetype p = text.indexOf(open, start, Qt::CaseInsensitive);
    if (p < 0) return QString();
    const qsizetype e = text.indexOf(close, p, Qt::CaseInsensitive);
    if (e <= p) return QString();
    const qsizetype from = p + open.size();
    if (e - from <= 0) return QString();
    return text.mid(from, e - from);
}

QString replace_news_entities(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("&apos;"), QStringLiteral("'"), Qt::CaseInsensitive);
    t.replace(QStringLiteral("&amp;"), QStringLiteral("&"), Qt::CaseInsensitive);
    t.replace(QStringLiteral("&quot;"), QStringLiteral("'"), Qt::CaseInsensitive);
    t.replace(QStringLiteral("&gt;"), QStringLiteral(">"), Qt::CaseInsensitive);
    t.replace(QStringLiteral("&lt;"), QStringLiteral("<"), Qt::CaseInsensitive);
    return t;
}

namespace {

// The value of a decimal digit, or with hex also of a-f and A-F; -1 for any other character.
int digit_value(QChar c, bool hex) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (hex && u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (hex && u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

} // namespace

QString decode_numeric_references(const QString& text) {
    if (!text.contains(QStringLiteral("&#"))) return text;
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype amp = text.indexOf(QStringLiteral("&#"), i);
        if (amp < 0) break;
        out += QStringView(text).mid(i, amp - i);
        qsizetype p = amp + 2;
        const bool hex = p < text.size() && (text[p] == u'x' || text[p] == u'X');
        if (hex) ++p;
        const qsizetype digits_from = p;
        char32_t code = 0;
        bool too_big = false;
        while (p < text.size() && p - digits_from < 8) {
            const int d = digit_value(text[p], hex);
            if (d < 0) break;
            code = code * (hex ? 16 : 10) + char32_t(d);
            if (code > 0x10FFFF) too_big = true;
            ++p;
        }
        const bool closed = p > digits_from && p < text.size() && text[p] == u';';
        const bool names_a_character = closed && !too_big && code != 0 && (code < 0xD800 || code > 0xDFFF);
        if (!names_a_character) {
            out += QStringView(text).mid(amp, 2);
            i = amp + 2;
            continue;
        }
        // Feeds written on Windows give its code page's punctuation by number (&#146;).
        if (code >= 0x80 && code <= 0x9F) {
            const char byte = char(code);
            out += decode_cp1252(&byte, 1);
        } else {
            out += QString::fromUcs4(&code, 1);
        }
        i = p + 1;
    }
    out += QStringView(text).mid(i);
    return out;
}

QString unwrap_cdata(const QString& text) {
    static const QString open = QStringLiteral("<![CDATA[");
    static const QString close = QStringLiteral("]]>");
    qsizetype at = text.indexOf(open);
    if (at < 0) return text;
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (at >= 0) {
        out += QStringView(text).mid(i, at - i);
        const qsizetype from = at + open.size();
        const qsizetype end = text.indexOf(close, from);
        // A section cut off runs to the end of the element.
        if (end < 0) {
            out += QStringView(text).mid(from);
            return out;
        }
        out += QStringView(text).mid(from, end - from);
        i = end + close.size();
        at = text.indexOf(open, i);
    }
    out += QStringView(text).mid(i);
    return out;
}

namespace {

// Tags inside a line of text; every other tag (a paragraph, a line break, a cell) parts words.
bool is_inline_tag(QStringView name) {
    static const char* const names[] = {"a",    "abbr", "b",      "big",  "cite", "code", "em", "font", "i",
                                        "kbd",  "mark", "q",      "s",    "samp", "small", "span", "strike",
                                        "strong", "sub", "sup",   "tt",   "u",    "var"};
    for (const char* n : names)
        if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool starts_tag(QChar c) { return c.isLetter() || c == u'/' || c == u'!' || c == u'?'; }

} // namespace

QString html_to_text(const QString& html) {
    QString out;
    out.reserve(html.size());
    qsizetype i = 0;
    while (i < html.size()) {
        const qsizetype lt = html.indexOf(u'<', i);
        if (lt < 0 || lt + 1 >= html.size()) break;
        out += QStringView(html).mid(i, lt - i);
        if (!starts_tag(html[lt + 1])) {
            out += u'<';
            i = lt + 1;
            continue;
        }
        qsizetype end;
        if (QStringView(html).mid(lt, 4) == u"<!--") {
            end = html.indexOf(QStringLiteral("-->"), lt + 4);
            end = end < 0 ? html.size() : end + 3;
        } else {
            end = html.indexOf(u'>', lt + 1);
            end = end < 0 ? html.size() : end + 1;
        }
        qsizetype name_from = lt + 1;
        if (name_from < html.size() && html[name_from] == u'/') ++name_from;
        qsizetype name_to = name_from;
        while (name_to < end && html[name_to].isLetterOrNumber()) ++name_to;
        if (!is_inline_tag(QStringView(html).mid(name_from, name_to - name_from))) out += u' ';
        i = end;
    }
    out += QStringView(html).mid(i);
    return out.simplified();
}

QString news_text(const QString& element_text) {
    return decode_numeric_references(replace_news_entities(unwrap_cdata(element_text)));
}

QString news_date_text(const QString& pubDate) {
    QString commas = pubDate;
    commas.replace(u' ', u',');
    QStringList parts;
    for (const QString& piece : commas.split(u',')) {
        const QString t = trim_blanks(piece);
        if (!t.isEmpty()) parts << t;
    }
    if (parts.size() >= 4 && is_day_month_year(parts[1], parts[2], parts[3]))
        return parts[0] + QStringLiteral(", ") + parts[2] + u' ' + parts[1] + QStringLiteral(", ") + parts[3];
    return trim_blanks(pubDate);
}

void clear_old_news(NewsParseState& state) {
    NewsRecord& r = state.news_record;
    r.symbol.clear();
    r.text1.clear();
    r.text2.clear();
    r.text3.clear();
    for (NewsItem& item : r.items) item = NewsItem();
    r.item_count = 0;
    state.item_write_index = 0;
}

void add_space_for_one_item(NewsParseState& state) {
    // An item without a title gives its slot to the next one.
    if (!state.news_record.items[size_t(state.item_write_index)].title.isEmpty() &&
        state.item_write_index < kNewsSlots - 1)
        ++state.item_write_index;
}

bool parse_one_item(NewsParseState& state, const QString& item_text) {
    add_space_for_one_item(state);
    NewsItem& item = state.news_record.items[size_t(state.item_write_index)];
    item.title = news_text(xml_find_text_from_tag(QStringLiteral("title"), item_text, 0));
    // Feeds put markup in descriptions, often escaped; the reader shows the words.
    const QString description = html_to_text(news_text(xml_find_text_from_tag(QStringLiteral("description"), item_text, 0)));
    item.link = xml_find_text_from_tag(QStringLiteral("link"), item_text, 0);
    item.pubDate = xml_find_text_from_tag(QStringLiteral("pubDate"), item_text, 0);
    item.guid.clear();
    item.saved = 0;
    item.description = u'(' + news_date_text(item.pubDate) + QStringLiteral(") ") + description;
    return true;
}

namespace {

bool is_blank(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// Where the first item at or after start opens, "<item>" or "<item" with attributes
// ("<items>" is another element), and where its content begins; -1 when none.
qsizetype find_item_open(const QString& feed, qsizetype start, qsizetype& content_from) {
    static const QString open = QStringLiteral("<item");
    for (qsizetype p = feed.indexOf(open, start, Qt::CaseInsensitive); p >= 0;
         p = feed.indexOf(open, p + 1, Qt::CaseInsensitive)) {
        const qsizetype after = p + open.size();
        if (after >= feed.size()) return -1;
        if (feed[after] == u'>') {
            content_from = after + 1;
            return p;
        }
        if (!is_blank(feed[after])) continue;
        const qsizetype gt = feed.indexOf(u'>', after);
        if (gt < 0) return -1;
        content_from = gt + 1;
        return p;
    }
    return -1;
}

} // namespace

bool parse_news(NewsParseState& state, const QString& feed_text, const QString& symbol) {
    clear_old_news(state);
    NewsRecord& r = state.news_record;
    r.symbol = trim_blanks(symbol);
    const QString item_close = QStringLiteral("</item>");
    bool stored = false;
    qsizetype start = 0;
    while (start < feed_text.size()) {
        // A full table keeps the first items; the rest of the feed is not read.
        const NewsItem& last = r.items[kNewsSlots - 1];
        if (state.item_write_index == kNewsSlots - 1 && !last.title.isEmpty()) break;
        qsizetype content_from = 0;
        const qsizetype p = find_item_open(feed_text, start, content_from);
        if (p < 0) break;
        const qsizetype e = feed_text.indexOf(item_close, content_from, Qt::CaseInsensitive);
        const QString item_text = e < 0 ? QString() : feed_text.mid(content_from, e - content_from);
        if (parse_one_item(state, item_text)) {
            if (r.item_count < kNewsSlots) ++r.item_count;
            stored = true;
        }
        // An item that is never closed ends the feed (the reply was cut): no later item
        // can be closed either, and searching on for each would take time by the square.
        if (e < 0) break;
        start = e + item_close.size();
    }
    return stored;
}

} // namespace qb
