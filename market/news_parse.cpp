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
    item.title = replace_news_entities(xml_find_text_from_tag(QStringLiteral("title"), item_text, 0));
    const QString description =
        replace_news_entities(xml_find_text_from_tag(QStringLiteral("description"), item_text, 0));
    item.link = xml_find_text_from_tag(QStringLiteral("link"), item_text, 0);
    item.pubDate = xml_find_text_from_tag(QStringLiteral("pubDate"), item_text, 0);
    item.guid.clear();
    item.saved = 0;
    item.description = u'(' + news_date_text(item.pubDate) + QStringLiteral(") ") + description;
    return true;
}

bool parse_news(NewsParseState& state, const QString& feed_text, const QString& symbol) {
    clear_old_news(state);
    NewsRecord& r = state.news_record;
    r.symbol = trim_blanks(symbol);
    const QString item_open = QStringLiteral("<item>");
    bool stored = false;
    qsizetype start = 0;
    while (start < feed_text.size()) {
        // A full table keeps the first items; the rest of the feed is not read.
        const NewsItem& last = r.items[kNewsSlots - 1];
        if (state.item_write_index == kNewsSlots - 1 && !last.title.isEmpty()) break;
        const qsizetype p = feed_text.indexOf(item_open, start, Qt::CaseInsensitive);
        if (p < 0) break;
        const QString item_text = xml_find_text_from_tag(QStringLiteral("item"), feed_text, start);
        if (parse_one_item(state, item_text)) {
            if (r.item_count < kNewsSlots) ++r.item_count;
            stored = true;
        }
        // An item that is never closed ends the feed (the reply was cut): no later item
        // can be closed either, and searching on for each would take time by the square.
        if (item_text.isEmpty() && feed_text.indexOf(QStringLiteral("</item>"), p, Qt::CaseInsensitive) < 0) break;
        start = p + item_text.size() + 5;
    }
    return stored;
}

} // namespace qb
