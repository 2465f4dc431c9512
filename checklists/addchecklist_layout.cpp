// The checklist editor's set-up at load and its resize: every moving part keeps its
// distance from the main window's edges as taken at load, within floors of its own.
#include "checklists/addchecklist.h"

#include "checklists/checklists_internal.h"
#include "core/core.h"
#include "shell/command.h"
#include "shell/mdimain.h"

#include <QToolButton>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace qb {

using namespace checklists;

namespace {
constexpr int kDesignWidth = 10050;
constexpr int kScrollTop = 600;
constexpr int kScrollWidth = 255;
constexpr int kScrollMinHeight = 6015;
constexpr int kWhyTop = 3100;
constexpr int kWhyWidth = 4815;
constexpr int kWhyMinHeight = 1000;
constexpr int kInsertMinTop = 5560;
constexpr int kDeleteMinTop = 4840;
constexpr int kInsertLabelMinTop = 5440;
constexpr int kDeleteLabelMinTop = 4960;
constexpr int kMinWidth = 1500;
} // namespace

void AddChecklist::Form_Load() {
    MDIMain* mdi = shell().mdi();
    setGeometry(twips_to_px(Command::kBarWidth), 0, twips_to_px(kDesignWidth), twips_to_px(mdi->child_form_height));
    item_text_width = kTextWidth;
    line_right_ = 9600;
    for (int i = 0; i < kRows; ++i) {
        const auto r = size_t(i);
        for (QWidget* w : std::initializer_list<QWidget*>{Check1[r], Num_label[r], Text1[r], Line3[r]}) w->hide();
        QFont f = Text1[r]->font();
        f.setBold(false);
        Text1[r]->setFont(f);
    }
    update_foreground_color();
    {
        const FlagGuard guard(filling_);
        VScroll1->setRange(0, kRows - 1);
        VScroll1->setSingleStep(1);
        VScroll1->setPageStep(3);
        VScroll1->setValue(0);
    }
    item_area_height = kAreaHeight;
    record_margins();

    // The wheel over the window or any item box moves the items' scroll bar by one.
    if (!wheel_) {
        wheel_ = new WheelFilter(this, [this](int step) { wheel_move_slider(VScroll1, step, kRows - 1); });
        installEventFilter(wheel_);
        for (QPlainTextEdit* t : Text1) wheel_->install_on(t);
    }
}

void AddChecklist::record_margins() {
    MDIMain* mdi = shell().mdi();
    const int h0 = mdi->MDI_height_original;
    const int w0 = mdi->MDI_width_original;
    form_height_margin = h0 - px_to_twips(height());
    form_width_margin = w0 - px_to_twips(width());
    area_margin = h0 - kAreaHeight;
    scroll_height_margin = h0 - scroll_height_;
    whyuse_margin = h0 - whyuse_height_;
    insert_top_margin = h0 - insert_top_;
    delete_top_margin = h0 - delete_top_;
    insert_label_margin = h0 - insert_label_top_;
    delete_label_margin = h0 - delete_label_top_;
    scroll_left_margin = w0 - scroll_left_;
    line_right_margin = w0 - line_right_;
    text_width_margin = w0 - item_text_width;
}

void AddChecklist::handle_resize() {
    MDIMain* mdi = shell().mdi();
    const int h = mdi->height_twips();
    const int w = mdi->width_twips();
    resize(twips_to_px(std::max(w - form_width_margin, int(mdi->min_insideMDI_width))),
           twips_to_px(std::max(h - form_height_margin, int(mdi->min_insideMDI_heigth))));

    // A value that fails its floor leaves the element where it was.
    if (h - area_margin >= kAreaHeight) item_area_height = h - area_margin;
    scroll_height_ = std::max(h - scroll_height_margin, kScrollMinHeight);
    if (h - whyuse_margin > kWhyMinHeight) whyuse_height_ = h - whyuse_margin;
    if (h - insert_top_margin > kInsertMinTop) insert_top_ = h - insert_top_margin;
    if (h - delete_top_margin > kDeleteMinTop) delete_top_ = h - delete_top_margin;
    if (h - insert_label_margin > kInsertLabelMinTop) insert_label_top_ = h - insert_label_margin;
    if (h - delete_label_margin > kDeleteLabelMinTop) delete_label_top_ = h - delete_label_margin;
    if (w - scroll_left_margin > kMinWidth) scroll_left_ = w - scroll_left_margin;
    const int line_right = w - line_right_margin;
    if (line_right > kMinWidth && line_right != line_right_) line_right_ = line_right;
    const int text_width = w - text_width_margin;
    if (text_width > kMinWidth && text_width != item_text_width) {
        item_text_width = text_width;
        line_count.fill(0);  // measured again at the new width
    }

    Whyuse_text->setGeometry(twips_rect(120, kWhyTop, kWhyWidth, whyuse_height_));
    Insert_Thing->move(twips_to_px(120), twips_to_px(insert_top_));
    Delete_Thing->move(twips_to_px(120), twips_to_px(delete_top_));
    insert_label->move(insert_label->x(), twips_to_px(insert_label_top_));
    delete_label->move(delete_label->x(), twips_to_px(delete_label_top_));
    VScroll1->setGeometry(twips_rect(scroll_left_, kScrollTop, kScrollWidth, scroll_height_));
    for (int i = 0; i < kRows; ++i) {
        QFrame* line = Line3[size_t(i)];
        line->setGeometry(line->x(), line->y(), std::max(twips_to_px(line_right_) - line->x(), 1), line->height());
        QPlainTextEdit* t = Text1[size_t(i)];
        t->resize(twips_to_px(item_text_width), t->height());
    }
    if (isVisible()) update_checklist_display();
}

} // namespace qb
