#pragma once
// The headline feed of one symbol read into a fixed table of items. A plain search for
// tags, not an XML parser: feeds in the wild are often not well-formed.
#include <QString>
#include <array>
#include <cstdint>

namespace qb {

struct NewsItem {
    QString title;
    QString link;
    QString description;  // "(" date ") " and the feed's description
    QString guid;         // never filled
    QString pubDate;
    int16_t saved = 0;    // the article was handed to a new web page entry
};

constexpr int kNewsSlots = 35;

struct NewsRecord {
    QString symbol;
    QString text1, text2, text3;  // kept with the record, unread
    int16_t item_count = 0;       // items read from the last feed, at most kNewsSlots
    std::array<NewsItem, kNewsSlots> items{};
};

// The record being filled and the slot its next item goes to.
struct NewsParseState {
    NewsRecord news_record;
    int16_t item_write_index = 0;
    // Slots holding an item after the last parse (item_count also counts items whose
    // slot was taken over by the next one).
    int filled_slots() const { return news_record.item_count > 0 ? item_write_index + 1 : 0; }
};

// The text between "<tag>" and the next "</tag>" at or after start (0-based), letter case
// ignored; "" when either is missing or nothing lies between them.
QString xml_find_text_from_tag(const QString& tag, const QString& text, qsizetype start);
// Replaces the few entities the feeds use, in the order that makes "&amp;lt;" a "<".
QString replace_news_entities(const QString& text);
// The text of every <![CDATA[ ... ]]> section in place of the section.
QString unwrap_cdata(const QString& text);
// Markup as the words it shows: tags and comments removed, then the character references
// decoded once (&quot; as an apostrophe, as the reader shows it; "&#146;" and the other
// numbers of the Windows code page's punctuation as its characters), C1 control
// characters read as that code page, runs of white space one blank.
QString html_to_text(const QString& html);
// A title as the reader shows it: sections unwrapped, the entities replaced, then the
// other references decoded, once; C1 control characters read as the Windows code page.
QString news_text(const QString& element_text);
// A description's markup: the text of its sections as written; the rest as written when
// it holds tags, else with its references decoded once (HTML escaped for the feed).
QString description_markup(const QString& element_text);
// A description as the reader shows it: its markup as text.
QString news_description(const QString& element_text);
// An article's address as the feed means it: sections unwrapped, references decoded once
// (&quot; as a double quote), blanks and line ends around it trimmed.
QString news_link(const QString& element_text);
// "Thu, 18 Aug 2005 16:30:00 GMT" becomes "Thu, Aug 18, 2005"; other texts stay trimmed.
QString news_date_text(const QString& pubDate);

void clear_old_news(NewsParseState& state);
void add_space_for_one_item(NewsParseState& state);
bool parse_one_item(NewsParseState& state, const QString& item_text);
// Clears the record, then reads every item of the feed into it. True when one was stored.
bool parse_news(NewsParseState& state, const QString& feed_text, const QString& symbol);

} // namespace qb
