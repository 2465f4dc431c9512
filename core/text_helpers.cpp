#include "core/text_helpers.h"

#include "core/codepage.h"

#include <cmath>
#include <limits>

namespace qb {

double numeric_value(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) ++i;
    bool digits = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) { ++i; digits = true; }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) { ++i; digits = true; }
    }
    if (!digits) return 0.0;
    bool ok = false;
    const double v = text.mid(start, i - start).toDouble(&ok);
    return ok ? v : 0.0;
}

QString currency_to_text(Currency value) {
    const bool negative = value < 0;
    // Work on the magnitude as unsigned so the most negative value is safe.
    const quint64 mag = negative ? quint64(0) - quint64(value) : quint64(value);
    QString s = QString::number(mag / 10000);
    quint64 frac = mag % 10000;
    if (frac) {
        QString f = QString::number(frac).rightJustified(4, u'0');
        while (f.endsWith(u'0')) f.chop(1);
        s += u'.' + f;
    }
    return negative ? u'-' + s : s;
}

std::optional<Currency> currency_from_text(const QString& input) {
    const QString text = input.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    quint64 whole = 0;
    bool digits = false;
    constexpr quint64 kMaxWhole = quint64(std::numeric_limits<Currency>::max()) / 10000;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        whole = whole * 10 + quint64(text[i].unicode() - u'0');
        if (whole > kMaxWhole) return std::nullopt;
        digits = true;
    }
    quint64 frac = 0;
    int places = 0;
    int round_digit = 0;
    if (i < text.size() && text[i] == u'.') {
        for (++i; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            digits = true;
            if (places < 4) { frac = frac * 10 + quint64(text[i].unicode() - u'0'); ++places; }
            else if (places == 4) { round_digit = text[i].unicode() - u'0'; ++places; }
        }
    }
    if (!digits || i != text.size()) return std::nullopt;
    while (places < 4) { frac *= 10; ++places; }
    quint64 mag = whole * 10000 + frac;
    if (round_digit >= 5) ++mag;   // banker's rounding is not worth it on the 5th decimal
    if (mag > quint64(std::numeric_limits<Currency>::max())) return std::nullopt;
    return negative ? -Currency(mag) : Currency(mag);
}

QString keep_digits_and_point(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if ((c >= u'0' && c <= u'9') || c == u'.') out += c;
    return out;
}

QString format_price_text(Currency price) {
    QString s = currency_to_text(price).trimmed();
    const qsizetype dot = s.indexOf(u'.');
    if (dot < 0) return s + ".00";
    if (s.size() - dot - 1 == 1) return s + "0";
    return s;
}

QString file_name_from_path(const QString& path) {
    const qsizetype p = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return p < 0 ? path : path.mid(p + 1);
}

int count_text_lines(const QString& text, int width, const CharWidth& char_width) {
    const qsizetype n = trim_blanks(text).size();
    int lines = 0, x = 0, w = 0, breaks = 0;
    for (qsizetype i = 0; i < n && i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            ++lines;
            x = 0;
            ++breaks;
            continue;
        }
        const int t = char_width(c);
        x += t;
        w += t;
        if (c == u' ') w = 0;
        if (x > width) {
            ++lines;
            x = w;
            w = 0;
        }
    }
    if (x > 0) ++lines;
    if (lines < 1) lines = 1;
    if (lines == breaks) ++lines;
    return lines;
}

QString make_tag(const QString& key, const QString& value) {
    return QStringLiteral("<") + key + u'>' + value + QStringLiteral("<\\") + key + QStringLiteral(">\r\n");
}

QString get_tag(const QString& key, const QString& text) {
    const QString open = u'<' + key + u'>';
    const QString close = QStringLiteral("<\\") + key + u'>';
    const qsizetype p = text.indexOf(open);
    if (p < 0) return QString();
    const qsizetype q = text.indexOf(close, p);
    if (q < 0) return QString();
    const qsizetype start = p + open.size();
    if (q <= start) return QString();
    return text.mid(start, q - start);
}

TagReader::TagReader(const QString& text) : text_(text) {
    const QStringView t(text_);
    const qsizetype n = t.size();
    for (qsizetype p = 0; p < n; ++p) {
        if (t[p] != u'<') continue;
        // "<name>" is the '<', the name and the first '>' after it.
        const qsizetype last = std::min(n, p + 3 + kMaxIndexedName);  // a closing tag's backslash too
        qsizetype gt = p + 1;
        while (gt < last && t[gt] != u'>') ++gt;
        if (gt >= last || gt == p + 1) continue;
        const QStringView name = t.sliced(p + 1, gt - p - 1);
        if (name.front() == u'\\') {
            if (name.size() > 1) closes_[name.sliced(1)].append(p);
        } else if (!first_open_.contains(name)) {
            first_open_.insert(name, p);
        }
    }
}

QString TagReader::get(const QString& key) const {
    // Names the index cannot hold: a '>' ends a name, a leading '\\' makes it a closing tag.
    if (key.isEmpty() || key.size() > kMaxIndexedName || key.contains(u'>') || key.front() == u'\\')
        return get_tag(key, text_);
    const auto open = first_open_.constFind(QStringView(key));
    if (open == first_open_.constEnd()) return QString();
    const auto close = closes_.constFind(QStringView(key));
    if (close == closes_.constEnd()) return QString();
    const qsizetype p = *open;
    const auto q = std::lower_bound(close->cbegin(), close->cend(), p);
    if (q == close->cend()) return QString();
    const qsizetype start = p + key.size() + 2;
    if (*q <= start) return QString();
    return text_.mid(start, *q - start);
}

QString text_before_s_tag(const QString& text) {
    const qsizetype p = text.indexOf(QStringLiteral("<s>"));
    return p >= 0 ? text.left(p) : trim_blanks(text);
}

} // namespace qb
