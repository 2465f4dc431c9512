// The checklist scoring panel of the transaction editor: five selector buttons, thirty
// rows of answer button, item text and comment, and the scrolling that follows the focus.
#include "journal/addentry.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/sorting.h"
#include "journal/addentry_internal.h"
#include "journal/answer_mark.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QTextLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

namespace qb {

using namespace addentry;

namespace {

constexpr int kRowsTop = 900;
constexpr int kCheckLeft = 3230;
constexpr int kCheckWidth = 330;
constexpr int kCheckHeight = 300;
constexpr uint32_t kSilver = 0xC0C0C0;
constexpr uint32_t kLightBlue = 0xFFC0C0;  // RGB 192, 192, 255
constexpr uint32_t kBlueText = 0xFF0000;
constexpr uint32_t kBlackText = 0x0;
const QString kCommentTip = QStringLiteral("Type in your thoughts or answer to this item.");

enum RowKind { kind_check = 0, kind_item = 1, kind_comment = 2, kind_selector = 3 };

QString count_text(int n) { return QString::number(n); }

// An item text or comment box. One drawn with room for all its lines shows them from the
// first character: Qt would scroll it down a line whose last pixels the frame covers, or
// sideways by the cursor's width at the end of a full line. Longer texts scroll as usual.
class RowTextBox : public QPlainTextEdit {
public:
    RowTextBox(QWidget* parent, std::function<bool()> holds_all_lines)
        : QPlainTextEdit(parent), holds_all_lines_(std::move(holds_all_lines)) {}

protected:
    void keyPressEvent(QKeyEvent* e) override {
        QPlainTextEdit::keyPressEvent(e);
        show_start();
    }
    void inputMethodEvent(QInputMethodEvent* e) override {
        QPlainTextEdit::inputMethodEvent(e);
        show_start();
    }
    void mousePressEvent(QMouseEvent* e) override {
        QPlainTextEdit::mousePressEvent(e);
        show_start();
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        QPlainTextEdit::mouseMoveEvent(e);
        show_start();
    }
    void focusInEvent(QFocusEvent* e) override {
        QPlainTextEdit::focusInEvent(e);
        show_start();
    }
    void resizeEvent(QResizeEvent* e) override {
        QPlainTextEdit::resizeEvent(e);
        show_start();
    }

private:
    void show_start() {
        horizontalScrollBar()->setValue(0);
        if (holds_all_lines_()) verticalScrollBar()->setValue(0);
    }
    std::function<bool()> holds_all_lines_;
};

} // namespace

void AddEntry::build_panel() {
    QFont heading = font();
    heading.setBold(true);

    Label_Checklists_Available = new QLabel(QStringLiteral("Checklists Available:"), this);
    Label_Checklists_Available->setObjectName(QStringLiteral("Label_Checklists_Available"));
    Label_Checklists_Available->setGeometry(twips_rect(120, 3960, 2895, 255));
    for (int k = 0; k < kSelectors; ++k) {
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("Avail_checklist_%1").arg(k));
        b->setToolTip(QStringLiteral("Click to View this Checklist"));
        b->setGeometry(twips_rect(120, 4320 + 480 * k, 3015, 375));
        b->setProperty("qb_row", k);
        b->setProperty("qb_kind", int(kind_selector));
        b->installEventFilter(this);
        b->hide();
        connect(b, &QPushButton::clicked, this, [this, k] { Avail_checklist_Click(int16_t(k)); });
        Avail_checklist[size_t(k)] = b;
    }

    listname = new QLabel(this);
    listname->setObjectName(QStringLiteral("listname"));
    listname->setGeometry(twips_rect(3600, 0, 6135, 375));
    listname->setAlignment(Qt::AlignCenter);
    QFont big = heading;
    big.setPixelSize(14);
    listname->setFont(big);
    ThingstoCheck_label = new QLabel(QStringLiteral("Things To Check"), this);
    ThingstoCheck_label->setObjectName(QStringLiteral("ThingstoCheck_label"));
    ThingstoCheck_label->setGeometry(twips_rect(3240, 480, 3255, 375));
    ThingstoCheck_label->setFont(heading);
    MyComments = new QLabel(QStringLiteral("Comments"), this);
    MyComments->setObjectName(QStringLiteral("MyComments"));
    MyComments->setGeometry(twips_rect(7680, 480, 1815, 375));
    MyComments->setFont(heading);

    const int icon = twips_to_px(kCheckHeight) - 4;
    for (int code = 0; code < 4; ++code) answer_pictures_[size_t(code)] = draw_answer_mark(code, icon);

    QFont row_font(QStringLiteral("MS Sans Serif"));
    row_font.setPointSize(8);
    row_font.setBold(false);
    auto row_box = [&](const char* name, int i, int kind) {
        auto* t = new RowTextBox(this, [this, i, kind] {
            const int16_t lines = kind == kind_item ? item_line_count[size_t(i)] : comment_line_count[size_t(i)];
            return lines <= kMaxDrawnLines;
        });
        t->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(i));
        t->setFont(row_font);
        t->setFrameShape(QFrame::NoFrame);
        t->document()->setDocumentMargin(0);
        t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        t->setFocusPolicy(Qt::ClickFocus);
        t->setProperty("qb_row", i);
        t->setProperty("qb_kind", kind);
        t->installEventFilter(this);
        return t;
    };
    for (int i = 0; i < kRows; ++i) {
        const auto r = size_t(i);
        Num_label[r] = new QLabel(this);
        Num_label[r]->setObjectName(QStringLiteral("Num_label_%1").arg(i));
        Num_label[r]->setAlignment(Qt::AlignRight | Qt::AlignTop);

        Check1[r] = new QPushButton(this);
        Check1[r]->setObjectName(QStringLiteral("Check1_%1").arg(i));
        Check1[r]->setToolTip(QStringLiteral("Click to change value"));
        Check1[r]->setIconSize(QSize(icon, icon));
        Check1[r]->setProperty("qb_row", i);
        Check1[r]->setProperty("qb_kind", int(kind_check));
        Check1[r]->installEventFilter(this);
        connect(Check1[r], &QPushButton::clicked, this, [this, i] { Check1_Click(int16_t(i)); });

        Text1[r] = row_box("Text1", i, kind_item);
        Text1[r]->setReadOnly(true);
        Text6[r] = row_box("Text6", i, kind_comment);
        Text6[r]->setToolTip(kCommentTip);
        // A thin border shows where a comment can be typed on the white form.
        Text6[r]->setFrameShape(QFrame::Box);
        Text6[r]->setFrameShadow(QFrame::Plain);
        Text6[r]->setLineWidth(1);
        QPalette border = Text6[r]->palette();
        border.setColor(QPalette::WindowText, QColor(0xA0, 0xA0, 0xA0));
        Text6[r]->setPalette(border);
        connect(Text6[r], &QPlainTextEdit::textChanged, this, [this, i] { Text6_Change(int16_t(i)); });

        Line3[r] = new QFrame(this);
        Line3[r]->setObjectName(QStringLiteral("Line3_%1").arg(i));
        Line3[r]->setFrameShape(QFrame::HLine);
        Line3[r]->setFrameShadow(QFrame::Plain);
        paint_row(i, kWhite);
    }

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setGeometry(twips_rect(9720, 720, 255, 5895));
    VScroll1->setFocusPolicy(Qt::NoFocus);
    VScroll1->setRange(0, 0);
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
}

// ---- filling the blocks and the selector buttons ----

void AddEntry::init_checklists() {
    Core& c = core();
    int counter = 0;
    for (int32_t i = 0; i <= c.maxChecklists_index(); ++i) {
        const Checklist& list = c.Checklists[i];
        if (list.ShowIt <= 0) continue;
        if (counter > kSelectors - 1) {
            c.show_message(msg_debug_data, QStringLiteral("Too many checklists have ShowIt>0 (AddEntry)"));
            counter = 0;
        }
        EntryChecklist& block = c.current_entry.entry.checklist[size_t(counter)];
        // A block taken over by a later checklist keeps nothing of the earlier one.
        block = c.blank_entry_checklist;
        block.Inuse = kTrue;
        block.name = trim_blanks(list.Name);
        int copied = 0;
        for (const QString& item : list.Item) {
            const QString text = trim_blanks(item);
            if (text.isEmpty()) continue;
            EntryChecklistItem& it = block.Item[copied++];
            it.text = text;
            it.answer = answer_none;
            it.text_index = 0;
        }
        if (copied > 0) block.last_item_index = int16_t(copied - 1);
        ++counter;
    }
}

void AddEntry::update_checkbox_link() {
    Core& c = core();
    first_item_shown = 0;
    {
        const FlagGuard guard(linking_);
        for (int i = 0; i < kRows; ++i) {
            set_box_text(Text6[size_t(i)], QString());
            answer_code[size_t(i)] = 0;
            item_line_count[size_t(i)] = 0;
            comment_line_count[size_t(i)] = 0;
        }
    }
    {
        const FlagGuard guard(resetting_scroll_);
        VScroll1->setValue(0);
    }
    for (int k = 0; k < kSelectors; ++k) {
        QPushButton* b = Avail_checklist[size_t(k)];
        EntryChecklist& block = c.current_entry.entry.checklist[size_t(k)];
        if (block.Inuse == kFalse) {
            b->hide();
            continue;
        }
        const QString caption = trim_blanks(block.name).left(26);
        const bool shown_block = k == c.Currententry_checklist_index;
        uint32_t background = shown_block ? kYellow : kSilver;
        const uint32_t text = shown_block ? kBlueText : kBlackText;
        QFont f = b->font();
        f.setBold(false);
        b->setFont(f);
        b->show();
        if (checklist_answer_status(block) == status_completed) {
            block.completed = kTrue;
            b->setText(caption.left(19) + QStringLiteral(" (Completed)"));
            if (background != kYellow) background = kLightBlue;
        } else {
            block.completed = kFalse;
            b->setText(caption);
        }
        b->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %2; border: 1px solid #808080; }")
                             .arg(color_from_ole(background).name(), color_from_ole(text).name()));
    }
}

void AddEntry::Avail_checklist_Click(int16_t Index) {
    Core& c = core();
    int16_t row = 0;
    bool ok = true;
    check_checklist_comment_length(row, ok);
    if (!ok) {
        c.show_message(msg_error, QStringLiteral("Your Checklist Comment:  ") + QString::number(row) +
                                      QStringLiteral(" is too long. Please fix before moving to next Checklist."));
        return;
    }
    save_current_checklist_answers();
    c.Currententry_checklist_index = Index;
    c.current_entry_checklist = c.blank_entry_checklist;
    c.current_entry_checklist = c.current_entry.entry.checklist[size_t(Index)];
    first_item_shown = 0;
    update_checkbox_link();
    update_checklist_display();
    focus_if_visible(Text6[0]);
    for (int k = 0; k < kSelectors; ++k) {
        QPushButton* b = Avail_checklist[size_t(k)];
        if (!shown(b)) continue;
        QFont f = b->font();
        f.setBold(k == Index);
        b->setFont(f);
    }
}

// ---- drawing the rows ----

int AddEntry::measure_lines(const QString& text, int width_twips, int frame_px) const {
    // Laid out as the row boxes themselves wrap, so a measured row shows all its lines.
    QString laid = text;
    laid.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    laid.replace(u'\r', QChar::LineSeparator);
    laid.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(laid, Text1[0]->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const qreal width = std::max(1, twips_to_px(width_twips) - 2 * frame_px);
    int lines = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        ++lines;
    }
    layout.endLayout();
    return std::max(lines, 1);
}

void AddEntry::show_answer_picture(int row) {
    const int code = answer_code[size_t(row)];
    if (code < 0 || code > 3) return;
    Check1[size_t(row)]->setIcon(QIcon(answer_pictures_[size_t(code)]));
    Check1[size_t(row)]->setProperty("qb_answer", code);
}

void AddEntry::place_row_boxes(int row) {
    const auto r = size_t(row);
    const RowPlace& p = place_[r];
    const bool two_digits = row + 1 >= 10;
    Num_label[r]->setGeometry(twips_rect(two_digits ? 3635 : 3705, p.item_top, two_digits ? 325 : 255, kLineTwips));
    Check1[r]->setGeometry(twips_rect(kCheckLeft, p.item_top, kCheckWidth, kCheckHeight));
    Text1[r]->setGeometry(twips_rect(text1_left_, p.item_top, text1_width_, p.item_height));
    Text6[r]->setGeometry(twips_rect(text6_left_, p.comment_top, text6_width_, p.comment_height));
    // A box that grew around its text shows it from the first line again.
    Text6[r]->verticalScrollBar()->setValue(0);
    Text6[r]->horizontalScrollBar()->setValue(0);
    if (Text6[r]->hasFocus() && comment_line_count[r] > kMaxDrawnLines) Text6[r]->ensureCursorVisible();
    Line3[r]->setGeometry(twips_to_px(line_x1_), twips_to_px(p.line_y), twips_to_px(line_x2_ - line_x1_), 1);
}

void AddEntry::set_row_shown(int row, bool on) {
    const auto r = size_t(row);
    if (!on && shown(Text1[r])) paint_row(row, kWhite);
    for (QWidget* w : std::initializer_list<QWidget*>{Num_label[r], Check1[r], Text1[r], Text6[r], Line3[r]})
        w->setVisible(on);
}

void AddEntry::paint_row(int row, uint32_t ole) {
    paint_background(Text1[size_t(row)], ole);
    paint_background(Text6[size_t(row)], ole);
}

void AddEntry::update_checklist_display() {
    Core& c = core();
    const EntryChecklist& block = c.current_entry_checklist;
    const int last = std::clamp<int>(block.last_item_index, 0, kRows - 1);
    const FlagGuard guard(drawing_);
    QWidget* had_focus = QApplication::focusWidget();

    listname->setText(trim_blanks(block.name));
    ThingstoCheck_label->setText(count_text(last + 1) + QStringLiteral(" Things to Check"));
    for (int i = 0; i <= last; ++i) {
        const EntryChecklistItem& item = block.Item.at(i);
        answer_code[size_t(i)] = item.answer;
        set_box_text(Text1[size_t(i)], trim_blanks(item.text));
        set_box_text(Text6[size_t(i)], trim_blanks(item.comment));
        Text6[size_t(i)]->setToolTip(Text6[size_t(i)]->toPlainText().isEmpty() ? kCommentTip : QString());
    }
    {
        const QSignalBlocker block_scroll(VScroll1);
        VScroll1->setRange(0, last);
        VScroll1->setSingleStep(1);
        VScroll1->setPageStep(3);
    }
    first_item_shown = int16_t(std::clamp<int>(first_item_shown, 0, last));

    std::array<bool, kRows> drawn{};
    int top = kRowsTop;
    for (int i = first_item_shown; i < kRows; ++i) {
        const auto r = size_t(i);
        const EntryChecklistItem& item = block.Item.at(i);
        if (item_line_count[r] == 0) item_line_count[r] = int16_t(measure_lines(item.text, item_text_width, 0));
        if (comment_line_count[r] == 0) comment_line_count[r] = int16_t(measure_lines(item.comment, item_comment_width, Text6[r]->frameWidth()));
        const int item_lines = std::min<int>(item_line_count[r], kMaxDrawnLines);
        const int comment_lines = std::min<int>(comment_line_count[r], kMaxDrawnLines);
        const int item_height = item_lines * kLineTwips;
        const int comment_height = comment_lines * kLineTwips;
        const int row_height = std::max(item_height, comment_height);
        if (top + row_height > rows_area_height) break;

        RowPlace& p = place_[r];
        p.item_top = top;
        p.item_height = item_height;
        p.comment_height = comment_height;
        p.comment_top = comment_lines < item_lines ? top + (item_lines - comment_lines) * kLineTwips : top;
        p.line_y = top + row_height + 35;
        Num_label[r]->setText(count_text(i + 1) + u'.');
        place_row_boxes(i);
        last_item_shown = int16_t(i);
        show_answer_picture(i);
        drawn[r] = true;
        top = p.line_y + 120;
        if (i >= last) break;
    }
    for (int i = 0; i < kRows; ++i) set_row_shown(i, drawn[size_t(i)]);

    // The box the user was in keeps the focus when it is still drawn.
    if (had_focus && had_focus->parentWidget() == this && shown(had_focus) && !had_focus->hasFocus())
        had_focus->setFocus(Qt::OtherFocusReason);
}

// ---- answers and comments ----

void AddEntry::Check1_Click(int16_t Index) {
    add_or_edit_ongoing = true;
    int code = answer_code[size_t(Index)] + 1;
    if (code > answer_unsure) code = answer_none;
    answer_code[size_t(Index)] = int16_t(code);
    show_answer_picture(Index);
    const int next = Index + 1;
    if (next < kRows && !shown(Text1[size_t(next)]) && Index < core().current_entry_checklist.last_item_index)
        scroll_items_down_to_focus();
    focus_on_item_text = false;
    restore_item_focus(Index);
}

void AddEntry::Text6_Change(int16_t Index) {
    QPlainTextEdit* box = Text6[size_t(Index)];
    if (drawing_ || !shown(box)) return;
    add_or_edit_ongoing = true;
    box->setToolTip(box->toPlainText().isEmpty() ? kCommentTip : QString());
    if (linking_) return;

    const int n = measure_lines(box_text(box), item_comment_width, box->frameWidth());
    int16_t& stored = comment_line_count[size_t(Index)];
    if (stored == n) return;
    const bool grew = stored < n;
    stored = int16_t(n);
    if (item_line_count[size_t(Index)] < n) {
        redraw_after_comment_lines(Index);
        return;
    }
    // The comment stays the shorter text: it grows or shrinks upward inside its row.
    RowPlace& p = place_[size_t(Index)];
    const int height = grew ? p.comment_height + kLineTwips : p.comment_height - kLineTwips;
    const int top = grew ? p.comment_top - kLineTwips : p.comment_top + kLineTwips;
    if (height <= 0 || top <= 0) {
        core().show_message(msg_debug_data, QStringLiteral("Text6 Change, Height, Top out of Range: ") +
                                                QString::number(height) + QStringLiteral(", ") + QString::number(top));
        return;
    }
    if (top >= p.item_top) {
        p.comment_top = top;
        p.comment_height = height;
        place_row_boxes(Index);
    }
}

void AddEntry::redraw_after_comment_lines(int16_t Index) {
    store_displayed_checklist_items();
    update_checklist_display();
    QPlainTextEdit* box = Text6[size_t(Index)];
    if (shown(box)) {
        focus_if_visible(box);
        return;
    }
    first_item_shown = Index;
    update_checklist_display();
    VScroll1->setValue(first_item_shown);
    focus_if_visible(box);
}

void AddEntry::check_checklist_comment_length(int16_t& row, bool& ok) const {
    ok = true;
    const int last = std::clamp<int>(core().current_entry_checklist.last_item_index, 0, kRows - 1);
    for (int i = 0; i <= last; ++i) {
        if (box_text(Text6[size_t(i)]).size() > kCommentLimit) {
            ok = false;
            row = int16_t(i + 1);
        }
    }
}

void AddEntry::store_displayed_checklist_items() {
    EntryChecklist& block = core().current_entry_checklist;
    const int last = std::clamp<int>(block.last_item_index, 0, kRows - 1);
    for (int i = first_item_shown; i <= last && shown(Text1[size_t(i)]); ++i) {
        EntryChecklistItem& item = block.Item[i];
        item.answer = answer_code[size_t(i)];
        item.comment = trim_blanks(box_text(Text6[size_t(i)]));
    }
}

void AddEntry::save_current_checklist_answers() {
    Core& c = core();
    EntryChecklist& block = c.current_entry_checklist;
    const int last = std::clamp<int>(block.last_item_index, 0, kRows - 1);
    bool complete = true;
    for (int i = 0; i <= last; ++i) {
        EntryChecklistItem& item = block.Item[i];
        item.answer = answer_code[size_t(i)];
        item.comment = trim_blanks(box_text(Text6[size_t(i)]));
        if (item.answer == answer_none) complete = false;
    }
    block.Inuse = kTrue;
    const int k = std::clamp<int>(c.Currententry_checklist_index, 0, kSelectors - 1);
    EntryChecklist& target = c.current_entry.entry.checklist[size_t(k)];
    target = block;
    target.completed = to_flag(complete);
}

// ---- scrolling, focus and keys ----

void AddEntry::row_got_focus(int16_t row, bool item_text) {
    focused_item = row;
    focus_on_item_text = item_text;
    if (row <= VScroll1->maximum()) VScroll1->setValue(row);
}

void AddEntry::restore_item_focus(int16_t row) {
    if (row < 0 || row >= kRows) return;
    focus_if_visible(focus_on_item_text ? Text1[size_t(row)] : Text6[size_t(row)]);
}

void AddEntry::VScroll1_Change() {
    if (!isVisible()) return;
    const int v = VScroll1->value();
    if (!resetting_scroll_) store_displayed_checklist_items();
    if (v == focused_item) return;
    if (first_item_shown <= v && v <= last_item_shown) {
        restore_item_focus(int16_t(v));
    } else if (v <= first_item_shown) {
        first_item_shown = int16_t(v);
        update_checklist_display();
        restore_item_focus(first_item_shown);
    } else {
        const int d = v - focused_item;
        if (d > 0) first_item_shown = int16_t(first_item_shown + d);
        if (first_item_shown > kRows - 1) first_item_shown = kRows - 1;
        update_checklist_display();
        const int16_t focused = focused_item;
        if (last_item_shown == focused) {
            scroll_items_down_to_focus();
            if (focused + 1 < kRows) restore_item_focus(int16_t(focused + 1));
        } else if (d != 1) {
            restore_item_focus(last_item_shown);
        } else if (focused + 1 < kRows) {
            restore_item_focus(int16_t(focused + 1));
        }
    }
}

void AddEntry::scroll_items_down_to_focus() {
    store_displayed_checklist_items();
    const int last = core().current_entry_checklist.last_item_index;
    const int16_t remembered = last_item_shown;
    do {
        ++first_item_shown;
        update_checklist_display();
    } while (last_item_shown == remembered && last_item_shown < last && first_item_shown < kRows - 1);
}

void AddEntry::handle_page_keys(int key_code) {
    if (!VScroll1->isEnabled() || (key_code != 33 && key_code != 34)) return;
    store_displayed_checklist_items();
    const int v = VScroll1->value();
    if (key_code == 33)
        VScroll1->setValue(std::max(v - 3, 0));
    else
        VScroll1->setValue(std::min(v + 3, VScroll1->maximum()));
}

bool AddEntry::row_event(QWidget* box, int row, int kind, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (drawing_ || kind == kind_selector || reason == Qt::PopupFocusReason ||
            reason == Qt::ActiveWindowFocusReason || reason == Qt::MenuBarFocusReason)
            return false;
        if (event->type() == QEvent::FocusOut) {
            paint_row(row, kWhite);
            return false;
        }
        if (!box->isVisible()) return false;
        paint_row(row, kYellow);
        if (kind == kind_item || kind == kind_comment) row_got_focus(int16_t(row), kind == kind_item);
        return false;
    }
    case QEvent::KeyPress: {
        // The page keys page the rows, not the text inside one box.
        const int key = static_cast<QKeyEvent*>(event)->key();
        return (kind == kind_item || kind == kind_comment) && (key == Qt::Key_PageUp || key == Qt::Key_PageDown);
    }
    case QEvent::KeyRelease: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            handle_page_keys(key == Qt::Key_PageUp ? 33 : 34);
            return true;
        }
        if (kind == kind_comment && (key == Qt::Key_Up || key == Qt::Key_Down) &&
            comment_line_count[size_t(row)] <= 1) {
            const int v = VScroll1->value();
            if (key == Qt::Key_Up && v >= 1)
                VScroll1->setValue(v - 1);
            else if (key == Qt::Key_Down && v < VScroll1->maximum())
                VScroll1->setValue(v + 1);
        }
        return false;
    }
    default: return false;
    }
}

} // namespace qb
