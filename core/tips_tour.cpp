// The texts of the context tips and of the guided tour, read from the two files shipped
// beside the program.
#include "core/codepage.h"
#include "core/core.h"
#include "core/save_file.h"
#include "core/text_helpers.h"

#include <QFile>
#include <algorithm>
#include <optional>

namespace qb {
namespace {

// Both files are a few kilobytes; a far larger one is not ours.
constexpr qint64 kMaxTextFileBytes = 1 << 20;
constexpr int kSectionMarkerLength = 9;  // "<Context>"

QString tips_failure(const QString& why) { return QStringLiteral("Unable to read Tips.txt file. Error: ") + why; }
QString tour_failure(const QString& why) {
    return QStringLiteral("Can not access tour.txt, Tour cant be shown: ") + why;
}

// The whole of a small shipped text file; nullopt with the reason when it cannot serve.
std::optional<QString> read_text_file(const QString& path, QString& why) {
    // A FIFO or a device in its place would hold the start in open() or read().
    QFile f;
    if (!open_regular_file(f, path, QIODevice::ReadOnly, why)) return std::nullopt;
    if (f.size() > kMaxTextFileBytes) {
        why = QStringLiteral("the file is too large");
        return std::nullopt;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        why = f.errorString();
        return std::nullopt;
    }
    if (bytes.contains('\0')) {
        why = QStringLiteral("the file is not a text file");
        return std::nullopt;
    }
    return decode_cp1252(bytes);
}

} // namespace

void Core::tips_section_index(const QString& name, int16_t slot) {
    static const struct {
        const char* name;
        std::initializer_list<int> contexts;
    } kSections[] = {
        {"summary screen", {tip_summary}},
        {"detailed screen", {tip_details}},
        {"stock idea", {tip_stock_of_month}},
        {"checklists", {tip_checklists}},
        {"add checklist", {tip_new_checklist}},
        {"transactions", {tip_buy, tip_sell, tip_other_transaction}},
        {"web page", {tip_web_page}},
        {"file reference", {tip_file_reference}},
        {"call notes", {tip_call_notes}},
        {"tool bar information", {tip_tool_bar}},
    };
    const QString key = name.toLower();
    for (const auto& s : kSections) {
        if (key != QLatin1String(s.name)) continue;
        for (int context : s.contexts) tip_context_start[size_t(context)] = slot;
        return;
    }
}

void Core::load_tips() {
    QString why;
    const std::optional<QString> text = read_text_file(data_path(QStringLiteral("tips.txt")), why);
    if (!text) {
        show_message(msg_error, tips_failure(why));
        return;
    }
    // The table is filled in a copy: a file without a single tip leaves the loaded tips.
    auto table = tip_table;
    const auto starts_before = tip_context_start;
    int n = 0;
    int tips_read = 0;
    QString section;
    // Lines may end in CR LF, LF or a lone CR; only blanks are trimmed, as the file's own
    // editor leaves them.
    QString normalised = *text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(u'\r', u'\n');
    for (QStringView line : QStringView(normalised).split(u'\n')) {
        if (line.contains(u"<Con") || line.contains(u"<con")) {
            section = trim_blanks(line.mid(std::min<qsizetype>(kSectionMarkerLength, line.size())).toString());
            tips_section_index(section, int16_t(n));
            continue;
        }
        if (line.contains(u"//")) continue;
        const QString tip = trim_blanks(line.toString());
        if (tip.isEmpty()) continue;
        table[size_t(n)] = TipSlot{section, tip};
        ++tips_read;
        // Past the last slot every further tip replaces the one in it.
        if (++n >= kTipSlots) n = kMaxTipIndex;
    }
    if (tips_read == 0) {
        tip_context_start = starts_before;
        show_message(msg_error, tips_failure(QStringLiteral("the file holds no tips")));
        return;
    }
    tip_table = table;
    last_tip_index = int16_t(std::min(tips_read - 1, kMaxTipIndex));
}

bool Core::load_tour_text(int16_t& count, QStringList& titles, QStringList& descriptions) {
    QString why;
    const std::optional<QString> file = read_text_file(data_path(QStringLiteral("tour.txt")), why);
    if (!file) {
        show_message(msg_warning, tour_failure(why));
        return false;
    }
    const QString& text = *file;
    if (count > kTourSlides) count = kTourSlides;

    // A missing item is an empty text: a file without slides gives a tour of empty slides.
    while (titles.size() <= count) titles << QString();
    while (descriptions.size() <= count) descriptions << QString();
    for (int i = 1; i <= count; ++i) {
        const QString n = QString::number(i);
        titles[i] = get_tag(QStringLiteral("Title") + n, text);
        descriptions[i] = get_tag(QStringLiteral("Des") + n, text);
    }
    return true;
}

} // namespace qb
