// The links themselves: reading and writing "custom_links", opening a link, and new,
// rename and delete.
#include "core/codepage.h"
#include "core/core.h"
#include "core/text_helpers.h"
#include "market/research.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>

namespace qb {
namespace {

QString key(const char* name, int i) { return QString::fromLatin1(name) + QString::number(i); }

} // namespace

void Research::load_custom_links() {
    const QString& text = core().custom_links;
    int n = int(numeric_value(trim_blanks(get_tag(QStringLiteral("numlinks"), text))));
    // A damaged count must not size the table: no more links than the text has captions.
    const int held = int(text.count(QStringLiteral("<button")));
    n = std::clamp(n, 0, held);
    links = QVector<ResearchLink>(std::max(n, 1));
    const TagReader tags(text);
    for (int i = 1; i <= n && i - 1 < links.size(); ++i) {
        ResearchLink& l = links[i - 1];
        l.button = trim_blanks(tags.get(key("button", i)));
        l.link = trim_blanks(tags.get(key("link", i)));
        l.desc = trim_blanks(tags.get(key("desc", i)));
        l.empty = l.button.isEmpty() && l.link.isEmpty() && l.desc.isEmpty();
    }
}

void Research::store_custom_links() {
    int count = 0;
    for (const ResearchLink& l : std::as_const(links))
        if (!l.empty) ++count;
    Core& c = core();
    if (count == 0) {
        c.custom_links.clear();
        return;
    }
    QString text = make_tag(QStringLiteral("numlinks"), QString::number(count));
    int j = 0;
    for (const ResearchLink& l : std::as_const(links)) {
        if (l.empty) continue;
        ++j;
        text += make_tag(key("button", j), l.button) + make_tag(key("link", j), l.link) + make_tag(key("desc", j), l.desc);
    }
    c.custom_links = text;
}

void Research::Go_Button_Click(int row) {
    QLineEdit* box = Web_url[size_t(row)];
    if (box->isVisible()) box->setFocus();
    QString address = box->text();
    if (address.size() <= 3) {
        core().show_message(msg_error, QStringLiteral("Please type in a valid web address in the field next to the button."));
        return;
    }
    // A bare host name gets the web scheme; an address that names its own scheme is
    // passed as typed, and the opener lets only http and https through.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?!\\d)"));
    if (!scheme.match(address.trimmed()).hasMatch()) address = QStringLiteral("http://") + address;
    core().shell_open_url(address);
}

void Research::New_Button_Click() {
    valid_button_typed = false;
    ask_button_name(QString());
    if (!valid_button_typed) {
        focus_row_or_first(focused_link_row);
        return;
    }
    ResearchLink l;
    l.button = new_button_name;
    l.empty = false;
    links.append(l);
    links_changed = true;
    const int k = int(links.size() - 1);
    if (k - 4 < 0) {
        display_from(0);
    } else if (VScroll1->value() == k - 4) {
        display_from(int16_t(k - 4));
    } else {
        VScroll1->setMaximum(k);
        VScroll1->setValue(k - 4);
        // Not shown yet (the change handler waits for a visible window): fill it here.
        if (!isVisible()) display_from(int16_t(k - 4));
    }
    focus_last_shown_address();
}

void Research::Edit_Button_Click() {
    // An index the table does not hold has no caption to change.
    if (!in_array(focused_link_index) || links[focused_link_index].empty) return;
    valid_button_typed = false;
    ask_button_name(trim_blanks(links[focused_link_index].button));
    if (!valid_button_typed) {
        focus_row_or_first(focused_link_row);
        return;
    }
    ResearchLink& l = links[focused_link_index];
    l.button = new_button_name;
    l.empty = false;
    links_changed = true;
    if (focused_link_row >= 0 && focused_link_row < kRows) {
        Go_Button[size_t(focused_link_row)]->setText(new_button_name);
        if (Web_url[size_t(focused_link_row)]->isVisible()) Web_url[size_t(focused_link_row)]->setFocus();
    }
}

void Research::Delete_Button_Click() {
    Core& c = core();
    if (in_array(focused_link_index) && links[focused_link_index].empty) return;
    const int16_t row = std::clamp<int16_t>(focused_link_row, 0, kRows - 1);
    const QString caption = trim_blanks(Go_Button[size_t(row)]->text());
    if (c.ask_user(kStyleStop, QStringLiteral("Are you sure you want to DELETE the '") + caption +
                                   QStringLiteral("' Button?")) != kAnswerYes) {
        focus_row_or_first(focused_link_row);
        return;
    }
    if (!in_array(focused_link_index)) {
        const QString idx = focused_link_index >= 0 ? u' ' + QString::number(focused_link_index)
                                                    : QString::number(focused_link_index);
        c.show_message(msg_error, QStringLiteral("Focus idx incorrect, unable to delete. IDX: ") + idx);
        return;
    }
    links[focused_link_index] = ResearchLink{};
    links_changed = true;
    display_from(0);
    if (Web_url[0]->isVisible()) {
        Web_url[0]->setFocus();
        VScroll1->setValue(0);
    }
}

} // namespace qb
