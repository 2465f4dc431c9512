#pragma once
// Small text helpers shared by every part of the program.
#include "core/records.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

namespace qb {

// The leading decimal number of a text (blanks before it skipped), 0 when there is none.
double numeric_value(const QString& text);

// Money to and from text, exact to the fourth decimal, never through double.
QString currency_to_text(Currency value);          // "12.5", "0", "-3.0001"
std::optional<Currency> currency_from_text(const QString& text);  // nullopt: not a number or too large

QString keep_digits_and_point(const QString& text);
QString format_price_text(Currency price);
QString file_name_from_path(const QString& path);

// Width of one character in twips, as the measuring font draws it.
using CharWidth = std::function<int(QChar)>;
int count_text_lines(const QString& text, int width, const CharWidth& char_width);

// Tagged text: "<key>value<\key>" CR LF.
QString make_tag(const QString& key, const QString& value);
QString get_tag(const QString& key, const QString& text);
QString text_before_s_tag(const QString& text);

// Many keys read from one tagged text: its tags are found in one pass, so reading all
// of them takes time in proportion to the text, where get_tag per key searches it from
// the start each time. get(key) is always what get_tag(key, text) gives.
class TagReader {
public:
    explicit TagReader(const QString& text);
    QString get(const QString& key) const;

private:
    // Names longer than this are not indexed; such keys are searched for as get_tag does.
    static constexpr qsizetype kMaxIndexedName = 64;
    const QString text_;
    QHash<QStringView, qsizetype> first_open_;     // name -> where "<name>" first stands
    QHash<QStringView, QList<qsizetype>> closes_;  // name -> where each "<\name>" stands, in order
};

} // namespace qb
