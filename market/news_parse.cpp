#include "market/news_parse.h"

#include "core/codepage.h"

#include <QDate>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QStringList>
#include <QTextDocumentFragment>

#include <algorithm>
#include <optional>

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

namespace {

// The characters of the numeric reference ("&#146;", "&#x2019;") starting at amp and the
// index just past its ';'; no value when it names no character.
std::optional<std::pair<QString, qsizetype>> numeric_reference_at(const QString& text, qsizetype amp) {
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
    if (!closed || too_big || code == 0 || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
    // Feeds written on Windows give its code page's punctuation by number (&#146;).
    if (code >= 0x80 && code <= 0x9F) {
        const char byte = char(code);
        return std::pair{decode_cp1252(&byte, 1), p + 1};
    }
    return std::pair{QString::fromUcs4(&code, 1), p + 1};
}

bool is_ascii_letter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool is_ascii_digit(QChar c) { return c >= u'0' && c <= u'9'; }

// The longest name of HTML's named references is 31 characters.
constexpr qsizetype kLongestName = 32;

// The name of the named reference ("&eacute;") starting at amp, without '&' and ';'; empty
// when none starts there.
QStringView reference_name_at(const QString& text, qsizetype amp) {
    const qsizetype from = amp + 1;
    qsizetype p = from;
    if (p >= text.size() || !is_ascii_letter(text[p])) return {};
    while (p < text.size() && p - from <= kLongestName && (is_ascii_letter(text[p]) || is_ascii_digit(text[p]))) ++p;
    if (p >= text.size() || text[p] != u';' || p - from > kLongestName) return {};
    return QStringView(text).mid(from, p - from);
}

// The five entities of XML, letter case ignored as replace_news_entities does. In text &quot;
// is shown as an apostrophe; an address keeps its double quote.
std::optional<QChar> xml_entity(QStringView name, bool in_address = false) {
    static const struct {
        const char* name;
        char16_t in_text, in_address;
    } five[] = {{"amp", u'&', u'&'}, {"apos", u'\'', u'\''}, {"quot", u'\'', u'"'}, {"lt", u'<', u'<'}, {"gt", u'>', u'>'}};
    for (const auto& e : five)
        if (name.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0) return QChar(in_address ? e.in_address : e.in_text);
    return std::nullopt;
}

// Qt's HTML reader knows HTML's named references; each name is asked of it once. A name it
// does not know is remembered too, up to a bound, so that a feed of made-up names cannot
// fill the memory.
class HtmlNames {
public:
    // name → characters, for every name in text that Qt knows.
    QHash<QString, QString> in(const QString& text) {
        QHash<QString, QString> found;
        QStringList to_ask;
        QSet<QString> asking;
        QMutexLocker lock(&mutex_);
        for (qsizetype amp = text.indexOf(u'&'); amp >= 0; amp = text.indexOf(u'&', amp + 1)) {
            const QStringView name = reference_name_at(text, amp);
            if (name.isEmpty() || xml_entity(name)) continue;
            const QString key = name.toString();
            if (found.contains(key) || unknown_.contains(key)) continue;
            if (const auto it = known_.constFind(key); it != known_.constEnd())
                found.insert(key, *it);
            else if (!asking.contains(key)) {
                asking.insert(key);
                to_ask << key;
            }
        }
        if (!to_ask.isEmpty()) ask(to_ask, found);
        return found;
    }

private:
    // One reading for all names: each stands between two marks that no name gives, so
    // that its characters stay apart (a blank one, as &ensp;, is read as one blank).
    void ask(const QStringList& names, QHash<QString, QString>& found) {
        const QChar mark(0xE000);
        QString html = mark;
        for (const QString& n : names) html += u'&' + n + u';' + mark;
        const QStringList values = QTextDocumentFragment::fromHtml(html).toRawText().split(mark);
        if (values.size() != names.size() + 2) return;
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QString& value = values[i + 1];
            if (value != u'&' + names[i] + u';') {
                known_.insert(names[i], value);
                found.insert(names[i], value);
            } else if (unknown_.size() < kUnknownBound) {
                unknown_.insert(names[i]);
            }
        }
    }

    static constexpr qsizetype kUnknownBound = 4096;
    QMutex mutex_;
    QHash<QString, QString> known_;
    QSet<QString> unknown_;
};

HtmlNames& html_names() {
    static HtmlNames names;
    return names;
}

enum class Names {
    All,         // the five of XML and HTML's
    AfterTable,  // HTML's only: replace_news_entities has read the five
    Address,     // all, in an address
};

// Every character reference as its characters, once: the five of XML, HTML's named ones
// as Qt's HTML reader knows them (&eacute;, &nbsp;, &rsquo;), numeric ones ("&#8217;",
// "&#x2019;"). A reference that names no character stays as written; what one gives is
// never read again.
QString decode_references(const QString& text, Names names) {
    if (!text.contains(u'&')) return text;
    const QHash<QString, QString> html = html_names().in(text);
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    for (qsizetype amp = text.indexOf(u'&'); amp >= 0; amp = text.indexOf(u'&', i)) {
        out += QStringView(text).mid(i, amp - i);
        i = amp + 1;
        if (amp + 1 < text.size() && text[amp + 1] == u'#') {
            if (const auto ref = numeric_reference_at(text, amp)) {
                out += ref->first;
                i = ref->second;
            } else {
                out += QStringView(text).mid(amp, 2);
                i = amp + 2;
            }
            continue;
        }
        const QStringView name = reference_name_at(text, amp);
        if (!name.isEmpty()) {
            const std::optional<QChar> five = xml_entity(name, names == Names::Address);
            if (five && names != Names::AfterTable) {
                out += *five;
                i = amp + name.size() + 2;
                continue;
            }
            if (const auto it = html.constFind(name.toString()); !five && it != html.constEnd()) {
                out += *it;
                i = amp + name.size() + 2;
                continue;
            }
        }
        out += u'&';
    }
    out += QStringView(text).mid(i);
    return out;
}

// A C1 control character (U+0080 to U+009F) as the Windows code page's character of that
// byte, as &#146; is read: feeds carry them where Windows text was taken for Latin-1.
QString c1_as_windows(const QString& text) {
    const auto is_c1 = [](QChar c) { return c.unicode() >= 0x80 && c.unicode() <= 0x9F; };
    if (std::none_of(text.begin(), text.end(), is_c1)) return text;
    QString out = text;
    for (QChar& c : out)
        if (is_c1(c)) {
            const char byte = char(c.unicode());
            c = decode_cp1252(&byte, 1).front();
        }
    return out;
}

// The text of an element and its <![CDATA[ ... ]]> sections, in order; a section cut
// off runs to the end of the element.
struct Piece {
    QStringView text;
    bool section;
};

QList<Piece> cdata_pieces(const QString& text) {
    static const QString open = QStringLiteral("<![CDATA[");
    static const QString close = QStringLiteral("]]>");
    QList<Piece> pieces;
    qsizetype i = 0;
    for (qsizetype at = text.indexOf(open); at >= 0; at = text.indexOf(open, i)) {
        pieces.append({QStringView(text).mid(i, at - i), false});
        const qsizetype from = at + open.size();
        const qsizetype end = text.indexOf(close, from);
        pieces.append({QStringView(text).mid(from, end < 0 ? text.size() - from : end - from), true});
        i = end < 0 ? text.size() : end + close.size();
    }
    pieces.append({QStringView(text).mid(i), false});
    return pieces;
}

} // namespace

QString unwrap_cdata(const QString& text) {
    if (!text.contains(QStringLiteral("<![CDATA["))) return text;
    QString out;
    out.reserve(text.size());
    for (const Piece& p : cdata_pieces(text)) out += p.text;
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
    return c1_as_windows(decode_references(out, Names::All)).simplified();
}

QString news_text(const QString& element_text) {
    return c1_as_windows(decode_references(replace_news_entities(unwrap_cdata(element_text)), Names::AfterTable));
}

QString description_markup(const QString& element_text) {
    const QList<Piece> pieces = cdata_pieces(element_text);
    // Tags written as tags: the text around them is markup already.
    const bool tags = std::any_of(pieces.begin(), pieces.end(), [](const Piece& p) {
        if (p.section) return false;
        for (qsizetype lt = p.text.indexOf(u'<'); lt >= 0 && lt + 1 < p.text.size(); lt = p.text.indexOf(u'<', lt + 1))
            if (starts_tag(p.text[lt + 1])) return true;
        return false;
    });
    QString out;
    out.reserve(element_text.size());
    for (const Piece& p : pieces)
        out += p.section || tags ? p.text.toString() : decode_references(p.text.toString(), Names::All);
    return out;
}

QString news_description(const QString& element_text) { return html_to_text(description_markup(element_text)); }

QString news_link(const QString& element_text) {
    return decode_references(unwrap_cdata(element_text), Names::Address).trimmed();
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
    const QString description = news_description(xml_find_text_from_tag(QStringLiteral("description"), item_text, 0));
    item.link = news_link(xml_find_text_from_tag(QStringLiteral("link"), item_text, 0));
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
