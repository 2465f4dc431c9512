// Checklist export files: a header line, then the checklist as tagged text.
#include "core/checklist_export.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/date_text.h"
#include "core/ole_date.h"
#include "core/save_file.h"
#include "core/text_helpers.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace qb {
namespace {

const QString kHeader = QStringLiteral("Quorbelix Checklist Export: 1.0");
// A checklist file is a few dozen kilobytes; anything far larger is not one.
constexpr qint64 kMaxImportBytes = 1 << 20;

QString import_failure(const QString& why) {
    return QStringLiteral("Unable to read the imported checklist file. Error: ") + why;
}

// A number of the file as a 16-bit integer, rounded half to even; nullopt when it does not fit.
std::optional<int16_t> to_int16(const QString& text) {
    const double v = std::nearbyint(numeric_value(text));
    if (!std::isfinite(v) || v < -32768.0 || v > 32767.0) return std::nullopt;
    return int16_t(v);
}

} // namespace

// One pass: each '<' is looked at once, and the closing tags are indexed up front, so a
// file of unclosed tags takes linear time rather than a search of the rest per tag.
QHash<QString, QString> read_tagged_items(const QString& text) {
    const qsizetype n = text.size();
    // next_lt[k]/next_gt[k]: the first '<' / '>' at or after k (n when none).
    std::vector<qsizetype> next_lt(size_t(n) + 1, n), next_gt(size_t(n) + 1, n);
    for (qsizetype k = n - 1; k >= 0; --k) {
        next_lt[size_t(k)] = text[k] == u'<' ? k : next_lt[size_t(k) + 1];
        next_gt[size_t(k)] = text[k] == u'>' ? k : next_gt[size_t(k) + 1];
    }
    // Where each closing tag "<\key>" starts, in text order.
    QHash<QStringView, std::vector<qsizetype>> closes;
    for (qsizetype p = next_lt[0]; p < n; p = next_lt[size_t(p) + 1]) {
        if (p + 1 >= n || text[p + 1] != u'\\') continue;
        const qsizetype gt = next_gt[size_t(p) + 2];
        if (gt >= n || next_lt[size_t(p) + 1] < gt) continue;
        closes[QStringView(text).mid(p + 2, gt - p - 2)].push_back(p);
    }

    QHash<QString, QString> items;
    QSet<QStringView> taken;  // the first of equal items counts
    qsizetype i = next_lt[0];
    while (i < n) {
        const qsizetype gt = next_gt[size_t(i) + 1];
        if (gt >= n) break;
        const QStringView key = QStringView(text).mid(i + 1, gt - i - 1);
        // A stray closing tag, an empty key, or a lone '<' before the next tag.
        if (key.isEmpty() || key.startsWith(u'\\') || next_lt[size_t(i) + 1] < gt) {
            i = next_lt[size_t(i) + 1];
            continue;
        }
        const auto found = closes.constFind(key);
        qsizetype end = -1;
        if (found != closes.constEnd()) {
            const auto& at = found.value();
            const auto it = std::lower_bound(at.begin(), at.end(), gt + 1);
            if (it != at.end()) end = *it;
        }
        if (end < 0) {  // an opening tag that is never closed
            i = next_lt[size_t(i) + 1];
            continue;
        }
        if (!taken.contains(key)) {
            taken.insert(key);
            items.insert(key.toString(), text.mid(gt + 1, end - gt - 1));
        }
        const qsizetype after = end + key.size() + 3;
        if (after >= n) break;
        i = next_lt[size_t(after)];
    }
    return items;
}

double read_checklist_date(const QString& text, const QDate& today) {
    QDate d;
    QTime time;
    if (!parse_date_time_text(text, d, time)) {
        // A time we cannot read still leaves the date; a file written in the month/day/year
        // form on a system with another form still gives its date.
        const QString t = text.trimmed();
        const qsizetype blank = t.indexOf(u' ');
        const QString date_part = blank < 0 ? t : t.left(blank);
        d = parse_date_text(date_part);
        if (!d.isValid()) d = QDate::fromString(date_part, QStringLiteral("M/d/yyyy"));
        if (!d.isValid()) return ole_from_date(today);
        time = blank < 0 ? QTime() : parse_time_text(t.mid(blank + 1));
    }
    return time.isValid() ? ole_from_datetime(QDateTime(d, time)) : ole_from_date(d);
}

QString checklist_export_text(const Checklist& c) {
    QString text = kHeader + QStringLiteral("\r\n");
    text += make_tag(QStringLiteral("Name"), trim_blanks(c.Name));
    text += make_tag(QStringLiteral("Author"), trim_blanks(c.Author));
    text += make_tag(QStringLiteral("BookRef"), trim_blanks(c.BookRef));
    text += make_tag(QStringLiteral("Copyright"), trim_blanks(c.Copyright));
    text += make_tag(QStringLiteral("Date"), trim_blanks(general_date_text(c.Date)));
    const int total = std::clamp<int>(c.TotalItems, 0, kItemsPerChecklist);
    text += make_tag(QStringLiteral("TotalItems"), QString::number(total));
    text += make_tag(QStringLiteral("Version"), QString::number(c.Version));
    text += make_tag(QStringLiteral("WebSite"), trim_blanks(c.WebSite));
    text += make_tag(QStringLiteral("WhyUse"), trim_blanks(c.WhyUse));
    for (int n = 1; n <= total; ++n)
        text += make_tag(QStringLiteral("Item") + QString::number(n), trim_blanks(c.Item[size_t(n - 1)]));
    return text + QStringLiteral("\r\n");
}

void Core::export_checklist(const QString& path, int16_t index) {
    if (index < 0 || index > maxChecklists_index()) {
        show_message(msg_error, QStringLiteral("Failure to export Checklist. Error: no checklist at index ") +
                                    QString::number(index));
        return;
    }
    QString why;
    if (!save_whole_file(path, encode_cp1252(checklist_export_text(Checklists[index])), &why))
        show_message(msg_error, QStringLiteral("Failure to export Checklist. Error: ") + why);
}

bool Core::import_checklist(Checklist& record, const QString& path) {
    QByteArray bytes;
    {
        QFile f;
        QString why;
        if (!open_regular_file(f, path, QIODevice::ReadOnly, why)) {
            show_message(msg_error, import_failure(why));
            return false;
        }
        if (f.size() > kMaxImportBytes) {
            show_message(msg_error, import_failure(QStringLiteral("the file is too large for a checklist")));
            return false;
        }
        bytes = f.readAll();
        if (f.error() != QFileDevice::NoError) {
            show_message(msg_error, import_failure(f.errorString()));
            return false;
        }
    }
    const QString text = decode_cp1252(bytes);
    if (!text.startsWith(QStringLiteral("Quorbelix"))) {
        show_message(msg_error, QStringLiteral("File not formated correctly (first line is incorrect)"));
        return false;
    }

    // Items are read only at the top level, so a value that quotes another tag cannot
    // stand in for it.
    const QHash<QString, QString> items = read_tagged_items(text);
    auto tag = [&](const QString& key) { return items.value(key); };

    // Filled into a copy: a refused file leaves the caller's record as it was.
    Checklist c = record;
    c.Name = tag(QStringLiteral("Name"));
    c.Author = tag(QStringLiteral("Author"));
    c.BookRef = tag(QStringLiteral("BookRef"));
    c.Copyright = tag(QStringLiteral("Copyright"));
    c.WebSite = tag(QStringLiteral("WebSite"));
    c.WhyUse = tag(QStringLiteral("WhyUse"));
    // Files written under another regional setting still import; their date is not worth a refusal.
    c.Date = read_checklist_date(tag(QStringLiteral("Date")),
                                 platform_.clock ? platform_.clock->today() : QDate::currentDate());

    const QString total_text = tag(QStringLiteral("TotalItems"));
    const std::optional<int16_t> total = to_int16(total_text);
    if (!total) {
        show_message(msg_error, import_failure(QStringLiteral("the item count ") + total_text + QStringLiteral(" is out of range")));
        return false;
    }
    if (*total < 0 || *total > kItemsPerChecklist) {
        show_message(msg_error, import_failure(QStringLiteral("the item count ") + QString::number(*total) +
                                               QStringLiteral(" is not within 0 to 30")));
        return false;
    }
    const QString version_text = tag(QStringLiteral("Version"));
    const std::optional<int16_t> version = to_int16(version_text);
    if (!version) {
        show_message(msg_error, import_failure(QStringLiteral("the version ") + version_text + QStringLiteral(" is out of range")));
        return false;
    }
    if (trim_blanks(c.Name).isEmpty() && *total == 0) {
        show_message(msg_error, import_failure(QStringLiteral("the file holds no checklist name and no items")));
        return false;
    }
    c.TotalItems = *total;
    c.Version = *version;
    for (int n = 1; n <= c.TotalItems; ++n) c.Item[size_t(n - 1)] = tag(QStringLiteral("Item") + QString::number(n));

    c.file_idx = 0;
    c.ShowIt = 0;
    c.Inuse = kTrue;
    c.deleted = kFalse;
    record = c;
    return true;
}

} // namespace qb
