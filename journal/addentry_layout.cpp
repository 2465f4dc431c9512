// The transaction editor's layout: the margins taken when it loads and the resize rules
// that keep its moving parts at their distance from the main window's edges.
#include "journal/addentry.h"

#include "core/core.h"
#include "journal/addentry_internal.h"
#include "shell/mdimain.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <exception>

namespace qb {

using namespace addentry;

namespace {
constexpr int kDetailsTop = 2520;
constexpr int kDetailsLeft = 120;
constexpr int kDetailsWidth = 3015;
constexpr int kLabelHeight = 255;
constexpr int kSelectorPitch = 480;
constexpr int kScrollTop = 720;
constexpr int kScrollWidth = 255;
constexpr int kScrollMinHeight = 5895;
constexpr int kDetailsMinHeight = 1000;
constexpr int kRowsAreaMin = 6515;
constexpr int kMinItemWidth = 2000;
} // namespace

void AddEntry::record_margins() {
    MDIMain* mdi = shell().mdi();
    const int h0 = mdi->MDI_height_original;
    const int w0 = mdi->MDI_width_original;
    form_height_margin = int16_t(h0 - px_to_twips(height()));
    form_width_margin = int16_t(w0 - px_to_twips(width()));
    rows_area_margin = int16_t(h0 - 6650);
    scroll_height_margin = int16_t(h0 - scroll_height_);
    details_height_margin = int16_t(h0 - details_height_);
    selector_top_margin = int16_t(h0 - selector_top_);
    selector_label_top_margin = int16_t(h0 - selector_label_top_);
    scroll_left_margin = int16_t(w0 - 9720);
    line_right_margin = int16_t(w0 - line_x2_);
    line_left_margin = int16_t(w0 - line_x1_);
    item_text_width_margin = int16_t(w0 - text1_width_);
    comment_width_margin = int16_t(w0 - text6_width_);
    comment_left_margin = int16_t(w0 - text6_left_);
    comments_label_left_margin = int16_t(w0 - comments_label_left_);
}

void AddEntry::handle_resize() {
    try {
        MDIMain* mdi = shell().mdi();
        const int h = mdi->height_twips();
        const int w = mdi->width_twips();

        const int form_h = std::max(h - form_height_margin, int(mdi->min_insideMDI_heigth));
        const int form_w = std::max(w - form_width_margin, int(mdi->min_insideMDI_width));
        resize(twips_to_px(form_w), twips_to_px(form_h));

        if (h - rows_area_margin >= kRowsAreaMin) rows_area_height = int16_t(h - rows_area_margin);
        scroll_height_ = std::max(h - scroll_height_margin, kScrollMinHeight);
        details_height_ = std::max(h - details_height_margin, kDetailsMinHeight);
        Other_info_textbox->setGeometry(twips_rect(kDetailsLeft, kDetailsTop, kDetailsWidth, details_height_));

        // The label never rises into the details box, nor the buttons into the label.
        const int details_bottom = kDetailsTop + details_height_;
        const int label_top = h - selector_label_top_margin;
        selector_label_top_ = label_top > details_bottom ? label_top : details_bottom;
        Label_Checklists_Available->move(twips_to_px(kDetailsLeft), twips_to_px(selector_label_top_));
        const int selector_top = h - selector_top_margin;
        if (selector_top > selector_label_top_ + kLabelHeight) selector_top_ = selector_top;
        for (int k = 0; k < kSelectors; ++k)
            Avail_checklist[size_t(k)]->move(twips_to_px(kDetailsLeft), twips_to_px(selector_top_ + kSelectorPitch * k));

        const int item_width = w - item_text_width_margin;
        if (item_width > kMinItemWidth && item_width != text1_width_) {
            text1_width_ = item_width;
            item_line_count.fill(0);  // measured again at the new width
            item_text_width = int16_t(text1_width_);
        }
        const int items_right = text1_left_ + text1_width_;
        const int comments_label_left = w - comments_label_left_margin;
        if (comments_label_left > items_right) comments_label_left_ = comments_label_left;
        MyComments->move(twips_to_px(comments_label_left_), MyComments->y());
        const int line_left = w - line_left_margin;
        if (line_left > items_right && line_left != line_x1_) {
            line_x2_ = w - line_right_margin;
            line_x1_ = line_left;
        }
        const int comment_left = w - comment_left_margin;
        if (comment_left > items_right && comment_left != text6_left_) text6_left_ = comment_left;
        VScroll1->setGeometry(twips_rect(line_x2_ + 45, kScrollTop, kScrollWidth, scroll_height_));
        for (int i = 0; i < kRows; ++i) place_row_boxes(i);

        if (isVisible()) {
            // What the user typed or answered in the drawn rows survives the new layout.
            store_displayed_checklist_items();
            update_checklist_display();
        }
    } catch (const std::exception& e) {
        core().show_message(msg_error, QStringLiteral("Unable to resize screen. Error : ") + QString::fromLocal8Bit(e.what()));
    }
}

} // namespace qb
