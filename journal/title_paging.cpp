#include "journal/title.h"

#include "core/core.h"

#include <QLineEdit>
#include <QScrollBar>

namespace qb {

int32_t Title::find_previous_page_start(int32_t start) const {
    const Core& c = core();
    const int16_t h = half_page();
    int32_t i = std::max(start - 1, 0);
    int count = 0;
    for (;;) {
        if (count >= h || i < 1) return i;
        if (i <= c.maxSummarydata_index() && c.SummaryData[i].is_live()) ++count;
        if (count < h) --i;
    }
}

int32_t Title::find_next_page_start(int32_t start) const {
    const Core& c = core();
    const int16_t h = half_page();
    const int32_t max = c.maxSummarydata_index();
    int32_t i = std::min(start + 1, max);
    int count = 0;
    while (count < h && i < max) {
        if (i >= 0 && c.SummaryData[i].is_live()) ++count;
        if (count < h) ++i;
    }
    return count >= h ? i : start;
}

int32_t Title::find_next_start_index(int32_t start) const {
    return start + 1 + last_row_index <= core().maxSummarydata_index() ? start + 1 : start;
}

int32_t Title::find_previous_live_index(int32_t start) const {
    const Core& c = core();
    int32_t i = std::max(start - 1, 0);
    for (;;) {
        if (i < 1) return i;
        if (i <= c.maxSummarydata_index() && c.SummaryData[i].is_live()) return i;
        --i;
    }
}

void Title::do_page_up(int16_t row) {
    const int16_t h = half_page();
    auto focus_row = [this](int16_t r) {
        if (r < 0 || r >= kRows || !Date_Entry_Display_text[size_t(r)]->isVisible()) return false;
        focus_box(Date_Entry_Display_text[size_t(r)]);
        return true;
    };
    if (current_start_entry_index - h >= 0) {
        current_start_entry_index = find_previous_page_start(current_start_entry_index);
        update_Title_with_entries();
        if (!focus_row(row)) focus_row(0);
    } else if (current_start_entry_index > 0) {
        current_start_entry_index = 0;
        update_Title_with_entries();
        focus_row(0);
    }
}

void Title::do_page_down(int16_t row) {
    const Core& c = core();
    const int16_t h = half_page();
    if (c.maxSummarydata_index() < last_row_index) {
        setfocus_to_last_entry();
        return;
    }
    if (current_start_entry_index + h > c.maxSummarydata_index()) {
        setfocus_to_last_entry();
        return;
    }
    current_start_entry_index = find_next_page_start(current_start_entry_index);
    update_Title_with_entries();
    for (int16_t r : {row, int16_t(0)}) {
        if (r < 0 || r >= kRows || !Date_Entry_Display_text[size_t(r)]->isVisible()) continue;
        focus_box(Date_Entry_Display_text[size_t(r)]);
        return;
    }
}

void Title::handle_grid_key(int16_t row, int key_code, int /*shift*/) {
    if (row < 0 || row >= kRows) return;
    switch (key_code) {
    case 33: do_page_up(row); break;
    case 34: do_page_down(row); break;
    case 35:
        update_title_with_last_entries();
        setfocus_to_last_entry();
        break;
    case 36:
        current_start_entry_index = 0;
        update_Title_with_entries();
        setfocus_to_first_entry();
        break;
    case 38:
        if (row >= 1) {
            highlighted_row = int16_t(row - 1);
            focus_box(Date_Entry_Display_text[size_t(highlighted_row)]);
        } else if (current_start_entry_index > 0) {
            current_start_entry_index = find_previous_live_index(current_start_entry_index);
            update_Title_with_entries();
            focus_box(Date_Entry_Display_text[0]);
        }
        break;
    case 40:
    case 13:
        if (row >= last_row_index) {
            current_start_entry_index = find_next_start_index(current_start_entry_index);
            update_Title_with_entries();
            setfocus_to_last_entry();
        } else if (screen_index[size_t(row + 1)].in_use) {
            highlighted_row = int16_t(row + 1);
            focus_box(Date_Entry_Display_text[size_t(highlighted_row)]);
        }
        break;
    default: break;
    }
}

void Title::scroll_up_one() { handle_grid_key(highlighted_row, 38, 0); }

void Title::scroll_down_one() { handle_grid_key(highlighted_row, 40, 0); }

void Title::VScroll1_Change() {
    if (!isVisible() || !VScroll1->isVisible() || redrawing_) return;
    const int32_t v = VScroll1->value();
    const auto hr = size_t(std::clamp<int16_t>(highlighted_row, 0, kRows - 1));
    const int32_t shown = get_SummaryData_from_screen_index(int16_t(hr));
    if (v == shown) return;
    if (current_start_entry_index <= v && v <= last_shown_entry_index) {
        const int32_t d = v - shown;
        const int step = (d == -1 || d == 1) ? 1 : 3;
        if (d < 0) {
            if (highlighted_row - step >= 0) {
                highlighted_row = int16_t(highlighted_row - step);
                focus_box(Date_Entry_Display_text[size_t(highlighted_row)]);
            } else {
                focus_box(Date_Entry_Display_text[0]);
            }
        } else if (d > 0) {
            const int target = highlighted_row + step;
            if (target <= last_row_index && screen_index[size_t(target)].in_use) {
                highlighted_row = int16_t(target);
                if (Security_Entry_Display_text[size_t(target)]->isVisible())
                    focus_box(Security_Entry_Display_text[size_t(target)]);
                else
                    setfocus_to_last_entry();
            } else {
                setfocus_to_last_entry();
            }
        }
        return;
    }
    if (v > current_start_entry_index) {
        const int32_t d = v - shown;
        if (d > 0) {
            current_start_entry_index = std::min(current_start_entry_index + d, core().maxSummarydata_index());
            update_Title_with_entries();
            setfocus_to_last_entry();
        }
        return;
    }
    const int32_t p = find_previous_live_index(current_start_entry_index);
    current_start_entry_index = v <= p ? v : p;
    update_Title_with_entries();
    focus_box(Date_Entry_Display_text[0]);
    focus_box(Security_Entry_Display_text[0]);
}

} // namespace qb
