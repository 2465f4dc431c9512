#include "journal/title.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/date_text.h"
#include "core/ole_date.h"
#include "core/text_helpers.h"
#include "platform/window_helpers.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalBlocker>

namespace qb {
namespace {

constexpr int32_t kScrollLimit = 32700;

// Cleared while the list redraws itself: focus that Qt moves off a row being hidden
// is not the user's choice of a row.
class RedrawGuard {
public:
    explicit RedrawGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~RedrawGuard() { flag_ = old_; }

private:
    bool& flag_;
    bool old_;
};

} // namespace

Title::~Title() = default;

QLineEdit* Title::box(int column, int16_t row) const {
    switch (column) {
    case 0: return Date_Entry_Display_text[size_t(row)];
    case 1: return Security_Entry_Display_text[size_t(row)];
    case 2: return Transaction_Entry_Display_text[size_t(row)];
    case 3: return Price_Entry_Display_text[size_t(row)];
    case 4: return quote_display[size_t(row)];
    default: return Checklist_Entry_Display_text[size_t(row)];
    }
}

void Title::set_screen_index_to_SummaryData(int32_t index, int16_t row) { screen_index[size_t(row)] = {index, true}; }

void Title::clear_screen_index(int16_t row) { screen_index[size_t(row)] = {0, false}; }

int32_t Title::get_SummaryData_from_screen_index(int16_t row) const { return screen_index[size_t(row)].summary_index; }

QString Title::shorten_date_string(const QString& text) {
    if (text.size() < 9) return text;
    const qsizetype p1 = text.indexOf(u'/');
    const qsizetype p2 = p1 < 0 ? -1 : text.indexOf(u'/', p1 + 1);
    if (p2 < 0) return text;
    const QString candidate = text.left(p2 + 1) + text.right(2);
    return parse_date_text(candidate).isValid() ? candidate : text;
}

namespace {

// True when the locale writes its short dates as day and month in digits, either way
// round, then a four-digit year, all separated by "/".
bool numeric_slash_form() {
    static QLocale known = QLocale::c();
    static bool known_set = false, numeric = false;
    const QLocale locale;
    if (!known_set || !(locale == known)) {
        static const QRegularExpression form(QStringLiteral("^(M{1,2}/d{1,2}|d{1,2}/M{1,2})/yyyy$"));
        numeric = form.match(short_date_format()).hasMatch() && locale.zeroDigit() == u"0";
        known = locale;
        known_set = true;
    }
    return numeric;
}

bool ascii_digits(const QString& text, qsizetype from, qsizetype to) {
    for (qsizetype i = from; i < to; ++i)
        if (text.at(i) < u'0' || text.at(i) > u'9') return false;
    return from < to;
}

} // namespace

QString Title::date_box_text(const QDate& date) {
    const QString text = short_date_text(date).trimmed();
    if (text.size() < 9) return text;
    const qsizetype p1 = text.indexOf(u'/');
    const qsizetype p2 = p1 < 0 ? -1 : text.indexOf(u'/', p1 + 1);
    if (p2 < 0) return text;
    const QString candidate = text.left(p2 + 1) + text.right(2);
    if (candidate == text) return text;
    // The text was written from a real date, so its day and month read back with a
    // two-digit year on every day but 29 February (which 1900 lacks): no parse needed.
    const bool digits_only = p2 + 5 == text.size() && ascii_digits(text, 0, p1) && ascii_digits(text, p1 + 1, p2) &&
                             ascii_digits(text, p2 + 1, text.size());
    if (digits_only && !(date.month() == 2 && date.day() == 29) && numeric_slash_form()) return candidate;
    return parse_date_text(candidate).isValid() ? candidate : text;
}

void Title::update_specific_title_entry(int32_t index, int16_t row) {
    const Core& c = core();
    const SummaryEntry& e = c.SummaryData[index];
    const auto r = size_t(row);
    Security_Entry_Display_text[r]->setText(trim_blanks(e.security));
    Transaction_Entry_Display_text[r]->setText(trim_blanks(e.transaction));
    Price_Entry_Display_text[r]->setText(format_price_text(e.price));
    quote_display[r]->setText(trim_blanks(e.quote));

    const double p = numeric_value(Price_Entry_Display_text[r]->text());
    const double q = numeric_value(quote_display[r]->text());
    const QColor quote_colour = color_from_ole(p <= q ? kQuoteGreen : kQuoteRed);
    if (quote_display[r]->palette().color(QPalette::Text) != quote_colour) {  // a new palette costs a restyle
        QPalette qp = quote_display[r]->palette();
        qp.setColor(QPalette::Text, quote_colour);
        quote_display[r]->setPalette(qp);
    }

    Date_Entry_Display_text[r]->setText(date_box_text(date_from_ole(e.entry_date)));

    int count = 0, last = -1;
    for (int k = 0; k < kChecklistBlocks; ++k)
        if (e.checklist[k].completed == kTrue) ++count, last = k;
    QString text;
    if (count > 0) {
        const int per = checklist_column_chars / count;
        QString joined;
        for (int k = 0; k < kChecklistBlocks; ++k) {
            if (e.checklist[k].completed != kTrue) continue;
            const QString& name = e.checklist[k].name;
            if (count == 1) {
                text = name;
            } else if (k == last) {
                joined += trim_blanks(name);
                text += name;
            } else {
                joined += trim_blanks(name) + QStringLiteral(", ");
                text += name.left(per) + QStringLiteral("..,");
            }
        }
        if (count > 1 && joined.size() <= checklist_column_chars) text = joined;
    }
    if (text.isEmpty()) {
        if (e.web.present == kTrue) {
            text = trim_blanks(e.web.reference_name);
        } else if (e.file.present == kTrue) {
            const QString file = trim_blanks(file_name_from_path(e.file.path));
            text = e.web.reference_name.isEmpty() ? file
                                                  : trim_blanks(e.web.reference_name) + QStringLiteral(" (") + file + u')';
        }
    }
    Checklist_Entry_Display_text[r]->setText(text);
    // A box shows the start of a text too long for it, not the end where setText leaves the cursor.
    for (int col = 0; col < kColumns; ++col) box(col, row)->setCursorPosition(0);
    set_screen_index_visible(row);
}

void Title::set_screen_index_invisible(int16_t row) {
    for (int col = 0; col < kColumns; ++col) box(col, row)->setVisible(false);
    clear_screen_index(row);
}

void Title::set_screen_index_visible(int16_t row) {
    for (int col = 0; col < kColumns; ++col) box(col, row)->setVisible(true);
    paint_row(row, kWhite);
}

void Title::paint_row(int16_t row, uint32_t colour) {
    if (row_colour_[size_t(row)] == colour) return;
    row_colour_[size_t(row)] = colour;
    const QColor bg = color_from_ole(colour);
    for (int col = 0; col < kColumns; ++col) {
        QLineEdit* b = box(col, row);
        QPalette p = b->palette();
        p.setColor(QPalette::Base, bg);
        b->setPalette(p);
    }
}

void Title::update_Title_with_entries() {
    RedrawGuard guard(redrawing_);
    Core& c = core();
    const int32_t max = c.maxSummarydata_index();
    if (max >= kScrollLimit) {
        VScroll1->setVisible(false);
    } else {
        const QSignalBlocker block(VScroll1);
        VScroll1->setRange(0, std::max(max, 0));
        VScroll1->setSingleStep(1);
        VScroll1->setPageStep(3 * std::max(max / 100, 1));
    }
    int32_t i = current_start_entry_index;
    bool shown_any = false;
    for (int16_t row = 0; row <= last_row_index; ++row) {
        bool found = false;
        while (i <= max) {
            const int32_t candidate = i++;
            if (candidate < 0 || !c.SummaryData[candidate].is_live() || !entry_passes_view_filter(candidate)) continue;
            update_specific_title_entry(candidate, row);
            set_screen_index_to_SummaryData(candidate, row);
            if (row == 0) current_start_entry_index = candidate;
            last_shown_entry_index = candidate;
            shown_any = found = true;
            break;
        }
        if (!found) set_screen_index_invisible(row);
    }
    if (!shown_any) {
        const int32_t j = find_previous_live_index(current_start_entry_index);
        if (j >= 0 && j <= max && c.SummaryData[j].is_live()) {
            update_specific_title_entry(j, 0);
            set_screen_index_to_SummaryData(j, 0);
            current_start_entry_index = j;
        }
    }
}

void Title::update_title_with_last_entries() {
    const Core& c = core();
    const int n = std::max(last_row_index - 3, 3);
    int32_t i = c.maxSummarydata_index();
    bool found = false;
    int counted = 0;
    while (!found && i >= 1) {
        if (c.SummaryData[i].is_live()) {
            ++counted;
            found = counted >= n;
        }
        --i;
    }
    current_start_entry_index = i;
    update_Title_with_entries();
}

void Title::highlight_screen_row(int16_t row, uint32_t& colour) {
    if (row < 0 || row >= kRows) return;
    if (!screen_index[size_t(row)].in_use) colour = kWhite;
    if (colour == kYellow) {
        Core& c = core();
        const int32_t index = get_SummaryData_from_screen_index(row);
        if (index <= c.maxSummarydata_index()) {
            c.current_entry.entry = c.SummaryData[index];
            c.current_entry.index = index;
            c.current_entry.mode = mode_edit;
            c.Currententry_checklist_index = 0;
            c.entry_highlighted = true;
            highlighted_row = row;
            last_known_focus_row = row;
            if (index < kScrollLimit) VScroll1->setValue(index);
        }
        // One row is yellow, the one whose entry Edit, Delete and the menu act on.
        for (int16_t r = 0; r < kRows; ++r)
            if (r != row) paint_row(r, kWhite);
    }
    paint_row(row, colour);
}

bool Title::row_is_highlighted(int16_t row) const {
    return row == highlighted_row && row_colour_[size_t(row)] == kYellow;
}

void Title::focus_box(QLineEdit* b) {
    if (!b->isVisible()) return;
    b->setFocus(Qt::OtherFocusReason);
    // While another window is active the focus change raises no focus event: the row is
    // highlighted here, not by the event.
    uint32_t yellow = kYellow;
    highlight_screen_row(int16_t(b->property("qb_row").toInt()), yellow);
}

int16_t Title::row_to_return_to() const {
    // The remembered row, or the last row of the page when the page now ends above it.
    for (int16_t row = std::min(last_known_focus_row, last_row_index); row >= 0; --row)
        if (Date_Entry_Display_text[size_t(row)]->isVisible()) return row;
    return -1;
}

void Title::setfocus_to_first_entry() { focus_box(Date_Entry_Display_text[0]); }

void Title::setfocus_to_last_entry() {
    for (int16_t row = last_row_index; row >= 0; --row) {
        if (!Date_Entry_Display_text[size_t(row)]->isVisible()) continue;
        focus_box(Date_Entry_Display_text[size_t(row)]);
        return;
    }
}

void Title::last_known_focus() {
    const int16_t row = row_to_return_to();
    if (row >= 0) focus_box(Date_Entry_Display_text[size_t(row)]);
}

void Title::show_addentry_or_savewebpage() {
    if (isVisible()) hide();
    open_entry_in_its_editor();
}

void Title::mouse_down_on_row(int column, int16_t row, Qt::MouseButton button, const QPoint& global) {
    QLineEdit* other = column == 0 ? Security_Entry_Display_text[size_t(row)] : Date_Entry_Display_text[size_t(row)];
    focus_box(other);
    if (button != Qt::RightButton) return;
    QLineEdit* clicked = box(column, row);
    clicked->setEnabled(false);
    if (MDIMain* mdi = shell().mdi(); mdi && mdi->mnuPopUp()) popup_menu(mdi->mnuPopUp(), global);
    clicked->setEnabled(true);
    for (const char* name : {"News", "Chart"})
        if (auto* w = dynamic_cast<AfterLoadedWindow*>(shell().loaded_window(QString::fromLatin1(name))))
            w->after_loaded_do();
}

bool Title::eventFilter(QObject* watched, QEvent* event) {
    auto* b = qobject_cast<QLineEdit*>(watched);
    if (!b) return QWidget::eventFilter(watched, event);
    const int column = b->property("qb_column").toInt();
    const auto row = int16_t(b->property("qb_row").toInt());
    if (row_box_event(b, column, row, event)) return true;
    return QWidget::eventFilter(watched, event);
}

bool Title::row_box_event(QLineEdit* b, int column, int16_t row, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn: {
        // A row being hidden under the focus by a redraw is no choice of a row.
        if (redrawing_ || !b->isVisible()) return false;
        // A menu, the menu bar, a message box or another window giving the focus back is no
        // move to another row, unless it lands on a row other than the highlighted one: a row
        // clicked or given the focus while the window was not active.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool given_back = reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason ||
                                reason == Qt::MenuBarFocusReason;
        if (given_back && (!b->hasFocus() || row_is_highlighted(row))) return false;
        uint32_t yellow = kYellow;
        highlight_screen_row(row, yellow);
        return false;
    }
    // A row keeps its highlight while the focus is elsewhere, until another row takes it:
    // its entry is still the one the toolbar and the menu act on.
    case QEvent::FocusOut: return false;
    case QEvent::KeyRelease: {
        const auto* k = static_cast<QKeyEvent*>(event);
        int code = 0;
        switch (k->key()) {
        case Qt::Key_PageUp: code = 33; break;
        case Qt::Key_PageDown: code = 34; break;
        case Qt::Key_End: code = 35; break;
        case Qt::Key_Home: code = 36; break;
        case Qt::Key_Up: code = 38; break;
        case Qt::Key_Down: code = 40; break;
        case Qt::Key_Return:
        case Qt::Key_Enter: code = 13; break;
        default: return false;
        }
        handle_grid_key(row, code, 0);
        return true;
    }
    case QEvent::KeyPress: {
        // The boxes are read-only; keep them from moving their own cursors on the list's keys.
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_Up || key == Qt::Key_Down ||
               key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    }
    case QEvent::MouseButtonDblClick: {
        uint32_t yellow = kYellow;
        highlight_screen_row(row, yellow);
        shell().command()->Edit_entry();
        return true;
    }
    case QEvent::MouseButtonPress: {
        if (column > 1) return false;
        const auto* m = static_cast<QMouseEvent*>(event);
        mouse_down_on_row(column, row, m->button(), m->globalPosition().toPoint());
        return true;
    }
    default: return false;
    }
}

} // namespace qb
