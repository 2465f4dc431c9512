// The checklist editor's thirty item rows: the layout from the first shown item down,
// rows that grow a text line at a time, the tick, the item count, insert and delete of
// items, and the scroll bar, keys and wheel that move through them.
#include "checklists/addchecklist.h"

#include "checklists/checklists_internal.h"
#include "journal/answer_mark.h"
#include "core/codepage.h"
#include "core/core.h"

#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolButton>

namespace qb {

using namespace checklists;

namespace {

constexpr int kCheckLeft = 5160;
constexpr int kNumLeft = 5600;
constexpr int kNumLeftTwoDigits = 5550;
constexpr int kTextLeft = 5880;
constexpr int kLineGap = 35;
constexpr int kRowGap = 120;
const QString kItemTip = QStringLiteral("Type in a key point to remember, or question to answer.");

} // namespace

void AddChecklist::build_rows() {
    Things_label = new QLabel(QStringLiteral("Things to Check"), this);
    Things_label->setObjectName(QStringLiteral("Things_label"));
    QFont heading(QStringLiteral("Arial"));
    heading.setPointSize(10);
    heading.setBold(true);
    Things_label->setFont(heading);
    Things_label->setGeometry(twips_rect(kCheckLeft, 150, 4455, 375));

    const int icon = twips_to_px(255) - 2;
    greencheck_picture = new QLabel(this);
    greencheck_picture->setObjectName(QStringLiteral("greencheck_picture"));
    greencheck_picture->setPixmap(draw_answer_mark(answer_yes, icon));
    greencheck_picture->hide();

    QFont row_font(QStringLiteral("MS Sans Serif"));
    row_font.setPointSize(8);
    QFont number_font(QStringLiteral("Arial"));
    number_font.setPointSize(8);
    for (int i = 0; i < kRows; ++i) {
        const auto r = size_t(i);
        // A picture button that stays down while set, as a graphical check box does.
        auto* tick = new QToolButton(this);
        tick->setCheckable(true);
        tick->setObjectName(QStringLiteral("Check1_%1").arg(i));
        tick->setToolTip(i == 0 ? QStringLiteral("For display only, you do not need to check  (Will Check during "
                                                 "transaction entry).")
                                : QStringLiteral("For Display only, no need to check"));
        tick->setIconSize(QSize(icon, icon));
        tick->setFocusPolicy(Qt::NoFocus);
        connect(tick, &QToolButton::toggled, this, [this, i] { Check1_Click(int16_t(i)); });
        connect(tick, &QToolButton::clicked, this, [this, i] { Check1_user_click(int16_t(i)); });
        Check1[r] = tick;

        Num_label[r] = new QLabel(this);
        Num_label[r]->setObjectName(QStringLiteral("Num_label_%1").arg(i));
        Num_label[r]->setFont(number_font);
        Num_label[r]->setAlignment(Qt::AlignLeft | Qt::AlignTop);

        auto* t = new QPlainTextEdit(this);
        t->setObjectName(QStringLiteral("Text1_%1").arg(i));
        t->setFont(row_font);
        t->setFrameShape(QFrame::NoFrame);
        t->document()->setDocumentMargin(0);
        t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        t->setTabChangesFocus(true);
        // The box wraps at its width; keeping the caret in view must not shift the lines
        // sideways and hide their first letters.
        QScrollBar* sideways = t->horizontalScrollBar();
        connect(sideways, &QScrollBar::valueChanged, sideways, [sideways](int v) {
            if (v != 0) sideways->setValue(0);
        });
        t->setProperty("qb_row", i);
        t->setToolTip(kItemTip);
        t->installEventFilter(this);
        paint_background(t, kWhite);
        connect(t, &QPlainTextEdit::textChanged, this, [this, i] { Text1_Change(int16_t(i)); });
        Text1[r] = t;

        Line3[r] = new QFrame(this);
        Line3[r]->setObjectName(QStringLiteral("Line3_%1").arg(i));
        Line3[r]->setFrameShape(QFrame::HLine);
        Line3[r]->setFrameShadow(QFrame::Plain);
        place_row(i, kRowsTop, kLineTwips);
        for (QWidget* w : std::initializer_list<QWidget*>{tick, Num_label[r], t, Line3[r]}) w->hide();
    }

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setGeometry(twips_rect(scroll_left_, kRowsTop, 255, scroll_height_));
    VScroll1->setFocusPolicy(Qt::NoFocus);
    VScroll1->setRange(0, kRows - 1);
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
}

// Lines the text takes at the item width, broken as the item boxes themselves break it:
// each line of the text laid out on its own in the boxes' face and wrap mode, so that a
// row is exactly as tall as what its box shows. The boxes end lines with "\n" where the
// stored texts have CR LF; either counts as one line end.
int AddChecklist::measure_lines(const QString& text) const {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    const QTextOption option = Text1[0]->document()->defaultTextOption();
    const qreal width = std::max(1, twips_to_px(item_text_width));
    int lines = 0;
    for (const QString& paragraph : t.split(u'\n')) {
        QTextLayout layout(paragraph, Text1[0]->font());
        layout.setTextOption(option);
        layout.beginLayout();
        int n = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            ++n;
        }
        layout.endLayout();
        lines += std::max(n, 1);
    }
    return lines;
}

void AddChecklist::place_row(int row, int top, int height) {
    const auto r = size_t(row);
    const int num_left = row > 8 ? kNumLeftTwoDigits : kNumLeft;
    Num_label[r]->setGeometry(twips_rect(num_left, top, kTextLeft - num_left, kLineTwips));
    Check1[r]->setGeometry(twips_rect(kCheckLeft, top - 20, 330, 255));
    Text1[r]->setGeometry(twips_rect(kTextLeft, top, item_text_width, height));
    // A box that holds all its lines shows them from the first one, also after it held
    // more lines than it could show; a longer text keeps the caret in view.
    QPlainTextEdit* box = Text1[r];
    if (line_count[r] <= kMaxDrawnLines)
        box->verticalScrollBar()->setValue(0);
    else if (box->hasFocus())
        box->ensureCursorVisible();
    const int line_y = twips_to_px(top + height + kLineGap);
    Line3[r]->setGeometry(twips_to_px(kTextLeft), line_y, std::max(twips_to_px(line_right_ - kTextLeft), 1), 1);
}

void AddChecklist::update_checklist_display() {
    const FlagGuard guard(drawing_);
    first_shown_item = int16_t(std::clamp<int>(first_shown_item, 0, kRows - 1));
    std::array<bool, kRows> drawn{};
    int y = kRowsTop;
    for (int i = first_shown_item; i < kRows; ++i) {
        const auto r = size_t(i);
        if (line_count[r] == 0) line_count[r] = int16_t(measure_lines(Text1[r]->toPlainText()));
        const int n = std::min<int>(line_count[r], kMaxDrawnLines);
        const int h = n * kLineTwips;
        if (y + h > item_area_height) break;
        Num_label[r]->setText(QString::number(i + 1) + u'.');
        place_row(i, y, h);
        last_shown_item = int16_t(i);
        drawn[r] = true;
        y = y + h + kLineGap + kRowGap;
    }
    for (int i = 0; i < kRows; ++i) {
        const auto r = size_t(i);
        for (QWidget* w : std::initializer_list<QWidget*>{Check1[r], Num_label[r], Text1[r], Line3[r]})
            w->setVisible(drawn[r]);
    }
    VScroll1->setVisible(true);
}

// ---- typing, the tick and the count ----

void AddChecklist::Text1_Change(int16_t Index) {
    QPlainTextEdit* box = Text1[size_t(Index)];
    if (filling_ || !shown(box)) return;
    add_or_edit_ongoing = true;
    Check1[size_t(Index)]->setChecked(true);
    // The heading counts what the boxes hold: an item typed into an empty box, or emptied,
    // changes it at once, not only when the focus moves on.
    update_things_to_check_count();
    const int n = measure_lines(box->toPlainText());
    if (n == line_count[size_t(Index)]) return;
    line_count[size_t(Index)] = int16_t(n);
    update_checklist_display();
    if (shown(box)) {
        focus_if_visible(box);
        return;
    }
    // The grown row no longer fits: it becomes the top row.
    first_shown_item = Index;
    update_checklist_display();
    VScroll1->setValue(Index);
    focus_if_visible(box);
}

void AddChecklist::show_tick_picture(int row) {
    QToolButton* tick = Check1[size_t(row)];
    tick->setIcon(tick->isChecked() ? QIcon(greencheck_picture->pixmap()) : QIcon());
}

void AddChecklist::Check1_Click(int16_t Index) {
    QToolButton* tick = Check1[size_t(Index)];
    // A tick cannot be cleared while its item has text.
    if (!tick->isChecked() && !trim_blanks(Text1[size_t(Index)]->toPlainText()).isEmpty()) {
        tick->setChecked(true);
        return;
    }
    show_tick_picture(Index);
}

void AddChecklist::Check1_user_click(int16_t Index) {
    if (isVisible()) focus_if_visible(Text1[size_t(Index)]);
}

void AddChecklist::Text1_GotFocus(int16_t Index) {
    item_highlighted = true;
    highlighted_item = Index;
    paint_background(Text1[size_t(Index)], kYellow);
    if (Index <= VScroll1->maximum()) VScroll1->setValue(Index);
    update_things_to_check_count();
}

void AddChecklist::Text1_LostFocus(int16_t Index) {
    QPlainTextEdit* box = Text1[size_t(Index)];
    paint_background(box, kWhite);
    if (trim_blanks(box->toPlainText()).isEmpty()) {
        Check1[size_t(Index)]->setChecked(false);
        update_things_to_check_count();
    }
}

void AddChecklist::update_things_to_check_count() {
    int n = 0;
    for (int i = 0; i < kRows; ++i) {
        // Runs at every key stroke: the document's emptiness without copying its text.
        if (!Text1[size_t(i)]->document()->isEmpty())
            ++n;
        else
            line_count[size_t(i)] = 0;
    }
    Things_label->setText(QString::number(n) + QStringLiteral(" Things to Check"));
    things_to_check_count = int16_t(n);
}

// ---- insert and delete ----

void AddChecklist::copy_row(int from, int to) {
    const auto f = size_t(from);
    const auto t = size_t(to);
    set_box_text(Text1[t], trim_blanks(Text1[f]->toPlainText()));
    Text1[t]->setToolTip(Text1[t]->toPlainText().isEmpty() ? kItemTip : QString());
    line_count[t] = line_count[f];
    Check1[t]->setChecked(Check1[f]->isChecked());
    show_tick_picture(to);
}

void AddChecklist::blank_row(int row) {
    const auto r = size_t(row);
    set_box_text(Text1[r], QString());
    Text1[r]->setToolTip(kItemTip);
    line_count[r] = 0;
    Check1[r]->setChecked(false);
    show_tick_picture(row);
}

void AddChecklist::Insert_Thing_Click() {
    Core& c = core();
    if (!item_highlighted) {
        c.show_message(msg_warning, QStringLiteral("No 'Thing to Check' is Highlighted. Please Highlight (click on) a "
                                                   "'Thing to Check', then press Insert"));
        return;
    }
    if (things_to_check_count >= kRows || !Text1[kRows - 1]->toPlainText().isEmpty()) {
        c.show_message(msg_error, QStringLiteral("No additional 'Things to Check' can be added. Please delete an "
                                                 "existing one, or combine 2 existing 'Things to Check' into one"));
        focus_if_visible(Text1[size_t(highlighted_item)]);
        return;
    }
    {
        const FlagGuard guard(filling_);
        for (int i = kRows - 1; i > highlighted_item; --i) copy_row(i - 1, i);
        blank_row(highlighted_item);
    }
    add_or_edit_ongoing = true;
    update_checklist_display();
    update_things_to_check_count();
    focus_if_visible(Text1[size_t(highlighted_item)]);
}

void AddChecklist::Delete_Thing_Click() {
    Core& c = core();
    if (!item_highlighted) {
        c.show_message(msg_warning, QStringLiteral("No 'Thing to Check' is Highlighted. Please Highlight (click on) the "
                                                   "'Thing to Check' you wish to Delete, then press Delete"));
        return;
    }
    {
        const FlagGuard guard(filling_);
        for (int i = highlighted_item; i < kRows - 1; ++i) copy_row(i + 1, i);
        blank_row(kRows - 1);
    }
    add_or_edit_ongoing = true;
    update_checklist_display();
    update_things_to_check_count();
    focus_if_visible(Text1[size_t(highlighted_item)]);
}

// ---- scroll bar, keys and focus ----

bool AddChecklist::item_event(int16_t row, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (drawing_ || reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return false;
        if (event->type() == QEvent::FocusIn)
            Text1_GotFocus(row);
        else
            Text1_LostFocus(row);
        return false;
    }
    case QEvent::KeyPress: {
        // The page keys page the rows, not the text inside one box.
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    }
    case QEvent::KeyRelease: {
        const int code = key_code_of(static_cast<QKeyEvent*>(event)->key());
        if (code == 0) return false;
        page_item_rows(row, code, 0);
        const int v = VScroll1->value();
        if (line_count[size_t(row)] <= 1) {
            if (code == 38 && v >= 1) VScroll1->setValue(v - 1);
            if (code == 40 && v < VScroll1->maximum()) VScroll1->setValue(v + 1);
        }
        return code == 33 || code == 34;
    }
    default: return false;
    }
}

void AddChecklist::page_item_rows(int /*Index*/, int KeyCode, int /*Shift*/) {
    const int v = VScroll1->value();
    if (KeyCode == 33) VScroll1->setValue(v - 3 < 0 ? 0 : v - 3);
    if (KeyCode == 34) VScroll1->setValue(v + 3 > VScroll1->maximum() ? VScroll1->maximum() : v + 3);
}

void AddChecklist::VScroll1_Change() {
    if (!isVisible() || filling_) return;
    const int v = VScroll1->value();
    if (v == highlighted_item) return;
    if (first_shown_item <= v && v <= last_shown_item) {
        focus_if_visible(Text1[size_t(v)]);
        return;
    }
    if (v > last_shown_item) {
        const int d = v - highlighted_item;
        if (d > 0) first_shown_item = int16_t(std::min(first_shown_item + d, kRows - 1));
        update_checklist_display();
        const int next = highlighted_item + 1;
        if (last_shown_item == highlighted_item) {
            scroll_until_next_row_shows();
            if (next < kRows) focus_if_visible(Text1[size_t(next)]);
        } else if (d == 1) {
            if (next < kRows) focus_if_visible(Text1[size_t(next)]);
        } else {
            focus_if_visible(Text1[size_t(last_shown_item)]);
        }
        return;
    }
    first_shown_item = int16_t(v);
    update_checklist_display();
    focus_if_visible(Text1[size_t(first_shown_item)]);
}

void AddChecklist::scroll_until_next_row_shows() {
    const int16_t remembered = last_shown_item;
    do {
        ++first_shown_item;
        update_checklist_display();
    } while (first_shown_item < kRows - 1 && last_shown_item < kRows - 1 && last_shown_item == remembered);
}

} // namespace qb
