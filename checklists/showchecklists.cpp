#include "checklists/showchecklists.h"

#include "checklists/checklists_internal.h"
#include "core/codepage.h"
#include "core/core.h"
#include "core/text_helpers.h"
#include "shell/command.h"
#include "shell/mdimain.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <exception>

namespace qb {

using namespace checklists;

namespace {

// Design geometry in twips.
constexpr int kDesignWidth = 10050;
constexpr int kRowTop = 1380;
constexpr int kRowHeight = 195;
constexpr int kRowPitch = kRowHeight + 45;
constexpr int kCheckLeft = 240;
constexpr int kTitleLeft = 600;
constexpr int kTitleWidth = 4695;
constexpr int kAuthorLeft = 5400;
constexpr int kAuthorWidth = 3800;
constexpr int kScrollLeft = 9360;
constexpr int kScrollTop = 1320;
constexpr int kScrollWidth = 255;
constexpr int kScrollDesignHeight = 5295;
constexpr int kScrollMinHeight = 5295;

QLabel* make_label(QWidget* parent, const char* name, const QString& text, const QRect& place, int points, bool bold) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(points);
    f.setBold(bold);
    l->setFont(f);
    l->setGeometry(place);
    return l;
}

QFrame* make_line(QWidget* parent, const char* name, const QRect& place) {
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setGeometry(place);
    return line;
}

} // namespace

QString ShowChecklists::web_page_address() { return QStringLiteral("http://www.quorbelix.com/checklists.html?ref=qb"); }

ShowChecklists::ShowChecklists(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ShowChecklists"));
    setAutoFillBackground(true);
    setWindowTitle(QStringLiteral("Checklists"));
    build_controls();
}

void ShowChecklists::build_controls() {
    AvailChecklist_label =
        make_label(this, "AvailChecklist_label", QStringLiteral("Available Checklists"), twips_rect(120, 60, 3000, 375), 12, true);
    WebPage = make_label(this, "WebPage", QStringLiteral("(Click to Check Web Site for more Checklists)"),
                         twips_rect(3360, 150, 4500, 255), 8, false);
    WebPage->setToolTip(QStringLiteral("Click to visit our web site"));
    WebPage->setCursor(Qt::PointingHandCursor);
    QFont link = WebPage->font();
    link.setUnderline(true);
    WebPage->setFont(link);
    QPalette lp = WebPage->palette();
    lp.setColor(QPalette::WindowText, color_from_ole(0xFF0000));
    WebPage->setPalette(lp);
    WebPage->installEventFilter(this);
    ChecktoDisplay_label = make_label(
        this, "ChecktoDisplay_label",
        QStringLiteral("Check the Box next to each Checklist to display durning transaction entry."),
        twips_rect(120, 480, 8400, 255), 8, false);
    Double_click_label = make_label(
        this, "Double_click_label",
        QStringLiteral("Double Click on the Checklist title to View / Edit  the Details of that Checklist"),
        twips_rect(120, 720, 8400, 255), 8, false);
    Line2 = make_line(this, "Line2", twips_rect(120, 990, 9495, 15));
    Checklist_title_lable =
        make_label(this, "Checklist_title_lable", QStringLiteral("Checklist Title"), twips_rect(kTitleLeft, 1020, kTitleWidth, 255), 8, true);
    Author_label =
        make_label(this, "Author_label", QStringLiteral("Checklist Author"), twips_rect(kAuthorLeft, 1020, kAuthorWidth, 255), 8, true);
    Line1 = make_line(this, "Line1", twips_rect(120, 1290, 9090, 15));

    QFont row_font(QStringLiteral("MS Sans Serif"));
    row_font.setPointSize(8);
    for (int r = 0; r < kRows; ++r) {
        const auto i = size_t(r);
        const int top = kRowTop + kRowPitch * r;
        auto row_box = [&](const char* name, int left, int width) {
            auto* b = new QLineEdit(this);
            b->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(r));
            b->setReadOnly(true);
            b->setFrame(false);
            b->setFont(row_font);
            b->setTextMargins(1, 0, 1, 0);
            b->setContextMenuPolicy(Qt::NoContextMenu);
            b->setGeometry(twips_rect(left, top, width, kRowHeight));
            b->setProperty("qb_row", r);
            b->hide();
            b->installEventFilter(this);
            return b;
        };
        Title_textbox[i] = row_box("Title_textbox", kTitleLeft, kTitleWidth);
        Author_textbox[i] = row_box("Author_textbox", kAuthorLeft, kAuthorWidth);
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("Check_to_display_%1").arg(r));
        box->setToolTip(QStringLiteral("Check to make this checklist available during transaction entry"));
        box->setGeometry(twips_rect(kCheckLeft, top - 15, 300, 225));
        box->setProperty("qb_row", r);
        box->hide();
        box->installEventFilter(this);
        connect(box, &QCheckBox::toggled, this, [this, r] { Check_to_display_Click(int16_t(r)); });
        Check_to_display[i] = box;
        paint_row(int16_t(r), kWhite);
    }

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setGeometry(twips_rect(kScrollLeft, kScrollTop, kScrollWidth, kScrollDesignHeight));
    VScroll1->setFocusPolicy(Qt::NoFocus);
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
}

void ShowChecklists::Form_Load() {
    Core& c = core();
    MDIMain* mdi = shell().mdi();
    setGeometry(twips_to_px(Command::kBarWidth), 0, twips_to_px(kDesignWidth), twips_to_px(mdi->child_form_height));
    last_row_for_height = kLoadRows;
    height_margin = mdi->MDI_height_original - mdi->child_form_height;
    width_margin = mdi->MDI_width_original - kDesignWidth;
    scroll_margin = mdi->MDI_height_original - kScrollDesignHeight;
    add_or_edit_ongoing = false;
    for (int r = 0; r < kRows; ++r) {
        for (QLineEdit* b : {Title_textbox[size_t(r)], Author_textbox[size_t(r)]}) {
            b->setCursor(Qt::ArrowCursor);
            QFont f = b->font();
            f.setBold(true);
            f.setPointSize(8);
            b->setFont(f);
        }
    }
    update_foreground_color();
    {
        const QSignalBlocker block(VScroll1);
        VScroll1->setRange(0, std::max(c.maxChecklists_index(), 0));
        VScroll1->setSingleStep(1);
        VScroll1->setPageStep(3);
        VScroll1->setValue(0);
    }
    // One notch of the wheel moves the highlight one checklist, as the arrow keys do.
    auto* wheel = new WheelFilter(this, [this](int step) { wheel_move_slider(VScroll1, step, VScroll1->maximum()); });
    wheel->install_on(this);
}

void ShowChecklists::update_foreground_color() {
    const uint32_t colour = core().textcolor_value;
    for (int r = 0; r < kRows; ++r) {
        paint_text(Title_textbox[size_t(r)], colour);
        paint_text(Author_textbox[size_t(r)], colour);
    }
}

void ShowChecklists::set_showchecklist_display() {
    first_shown_index = 0;
    handle_resize();
    fill_checklist_rows();
}

void ShowChecklists::handle_resize() {
    MDIMain* mdi = shell().mdi();
    if (!mdi) return;
    const int h = mdi->height_twips();
    const int w = mdi->width_twips();
    const int form_h = std::max(h - height_margin, int(mdi->min_insideMDI_heigth));
    const int form_w = std::max(w - width_margin, int(mdi->min_insideMDI_width));
    resize(twips_to_px(form_w), twips_to_px(form_h));
    const int bar_h = std::max(h - scroll_margin, kScrollMinHeight);
    VScroll1->setGeometry(twips_rect(kScrollLeft, kScrollTop, kScrollWidth, bar_h));

    last_row_for_height = kLoadRows;
    if (h > mdi->MDI_height_original) {
        const int pitch = px_to_twips(Title_textbox[0]->height()) + 45;
        last_row_for_height = int16_t(std::min(kLoadRows + (h - mdi->MDI_height_original) / pitch, kRows - 1));
    }
    if (isVisible()) {
        fill_checklist_rows();
        QLineEdit* box = Title_textbox[size_t(std::clamp<int>(focused_row, 0, kRows - 1))];
        focus_if_visible(box);
    }
}

// ---- rows ----

int32_t ShowChecklists::row_index(int16_t row) const {
    bool ok = false;
    const int32_t k = Title_textbox[size_t(row)]->property("Tag").toString().trimmed().toInt(&ok);
    return ok ? k : -1;
}

void ShowChecklists::paint_row(int16_t row, uint32_t ole) {
    paint_background(Title_textbox[size_t(row)], ole);
    paint_background(Author_textbox[size_t(row)], ole);
}

void ShowChecklists::set_row_bold(int16_t row, bool bold) {
    for (QLineEdit* b : {Title_textbox[size_t(row)], Author_textbox[size_t(row)]}) {
        QFont f = b->font();
        if (f.bold() == bold) continue;
        f.setBold(bold);
        b->setFont(f);
    }
}

void ShowChecklists::fill_checklist_rows() {
    const FlagGuard guard(filling_);
    Core& c = core();
    const int32_t upper = c.maxChecklists_index();
    auto listed = [&c](int32_t k) { return c.Checklists[k].deleted == 0 && c.Checklists[k].Inuse == kTrue; };
    // The highlight can only stand on a listed checklist: free elements at the end of the
    // table (a new checklist not kept) would otherwise scroll every row out of view.
    int32_t last_listed = 0;
    for (int32_t k = 0; k <= upper; ++k)
        if (listed(k)) last_listed = k;
    {
        const QSignalBlocker block(VScroll1);
        VScroll1->setRange(0, last_listed);
    }
    first_shown_index = std::clamp(first_shown_index, 0, std::max(upper, 0));

    std::array<bool, kRows> filled{};
    try {
        int32_t k = first_shown_index;
        for (int16_t r = 0; r <= last_row_for_height; ++r) {
            while (k <= upper && !listed(k)) ++k;
            if (k > upper) break;
            const Checklist& list = c.Checklists[k];
            const auto i = size_t(r);
            const QString tag = QString::number(k);
            Title_textbox[i]->setProperty("Tag", tag);
            Author_textbox[i]->setProperty("Tag", tag);
            Title_textbox[i]->setText(trim_blanks(list.Name));
            Author_textbox[i]->setText(trim_blanks(list.Author));
            Title_textbox[i]->setCursorPosition(0);
            Author_textbox[i]->setCursorPosition(0);
            Check_to_display[i]->setChecked(list.ShowIt != 0);
            set_row_bold(r, list.ShowIt != 0);
            filled[i] = true;
            last_shown_index = k;
            last_shown_row = r;
            ++k;
        }
    } catch (const std::exception& e) {
        c.show_message(msg_error, QStringLiteral("Error updating Show Checklist screen. Error: ") +
                                      QString::fromLocal8Bit(e.what()));
    }
    for (int r = 0; r < kRows; ++r) {
        const auto i = size_t(r);
        if (!filled[i] && shown(Title_textbox[i])) paint_row(int16_t(r), kWhite);
        Title_textbox[i]->setVisible(filled[i]);
        Author_textbox[i]->setVisible(filled[i]);
        Check_to_display[i]->setVisible(filled[i]);
    }
}

// ---- highlight, keys and the scroll bar ----

bool ShowChecklists::eventFilter(QObject* watched, QEvent* event) {
    if (watched == WebPage && event->type() == QEvent::MouseButtonRelease) {
        WebPage_Click();
        return false;
    }
    auto* w = qobject_cast<QWidget*>(watched);
    const QVariant row = w ? w->property("qb_row") : QVariant();
    if (row.isValid() && row_event(int16_t(row.toInt()), w, event)) return true;
    return QWidget::eventFilter(watched, event);
}

bool ShowChecklists::row_event(int16_t row, QWidget* control, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // A message box or menu taking the focus for a while is no move to another row.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (filling_ || reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return false;
        if (event->type() == QEvent::FocusIn)
            row_got_focus(row);
        else
            paint_row(row, kWhite);
        return false;
    }
    case QEvent::KeyPress:
        // The row keys move the highlight; the boxes themselves do nothing with them.
        return key_code_of(static_cast<QKeyEvent*>(event)->key()) != 0;
    case QEvent::KeyRelease: {
        const auto* k = static_cast<QKeyEvent*>(event);
        const int code = key_code_of(k->key());
        if (code == 0) return false;
        handle_navigation_key(row, code, int(k->modifiers()));
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (control == Title_textbox[size_t(row)] || control == Author_textbox[size_t(row)]) row_double_click(row);
        return false;
    default: return false;
    }
}

void ShowChecklists::row_got_focus(int16_t row) {
    Core& c = core();
    paint_row(row, kYellow);
    highlighted_index = row_index(row);
    if (highlighted_index >= 0 && highlighted_index <= c.maxChecklists_index()) {
        c.current_checklist = c.Checklists[highlighted_index];
        c.current_checklist_index = int16_t(highlighted_index);
    }
    c.checklist_highlighted = true;
    focused_row = row;
    if (highlighted_index >= 0 && highlighted_index <= VScroll1->maximum()) VScroll1->setValue(highlighted_index);
}

void ShowChecklists::row_double_click(int16_t row) {
    Core& c = core();
    const int32_t k = row_index(row);
    if (k >= 0 && k <= c.maxChecklists_index()) {
        c.current_checklist = c.Checklists[k];
        c.current_checklist_index = int16_t(k);
    }
    shell().command()->Edit_entry();
}

void ShowChecklists::handle_navigation_key(int16_t /*Index*/, int KeyCode, int /*Shift*/) {
    const int v = VScroll1->value();
    const int max = VScroll1->maximum();
    switch (KeyCode) {
    case 38:
        if (v >= 1) VScroll1->setValue(v - 1);
        break;
    case 40:
    case 13:
        if (v < max) VScroll1->setValue(v + 1);
        break;
    case 33: VScroll1->setValue(v - 3 < 0 ? 0 : v - 3); break;
    case 34: VScroll1->setValue(v + 3 > max ? max : v + 3); break;
    default: break;
    }
}

void ShowChecklists::VScroll1_Change() {
    if (!isVisible() || filling_) return;
    const int32_t v = VScroll1->value();
    if (v == highlighted_index) return;
    if (first_shown_index <= v && v <= last_shown_index) {
        const int next = focused_row + (v - highlighted_index);
        if (next >= 0 && next < kRows) {
            focused_row = int16_t(next);
        } else {
            focused_row = 0;
        }
        focus_if_visible(Title_textbox[size_t(focused_row)]);
        return;
    }
    if (v > last_shown_index) {
        const int32_t d = v - highlighted_index;
        if (d > 0) first_shown_index = std::min(first_shown_index + d, core().maxChecklists_index());
        fill_checklist_rows();
        focus_if_visible(Title_textbox[size_t(last_shown_row)]);
        focus_if_visible(Author_textbox[size_t(last_shown_row)]);
        return;
    }
    first_shown_index = v;
    fill_checklist_rows();
    focus_if_visible(Title_textbox[0]);
    focus_if_visible(Author_textbox[0]);
}

// ---- the Show-It marks ----

void ShowChecklists::set_show_it(int32_t k, int16_t value) {
    Core& c = core();
    c.Checklists[k].ShowIt = value;
    // The highlighted checklist's copy follows, so an edit opened from it stores the mark.
    if (k == c.current_checklist_index && c.current_checklist.Inuse == kTrue) c.current_checklist.ShowIt = value;
}

void ShowChecklists::Check_to_display_Click(int16_t Index) {
    QCheckBox* box = Check_to_display[size_t(Index)];
    if (!shown(box) || filling_) return;
    Core& c = core();
    const int32_t k = row_index(Index);
    if (k < 0 || k > c.maxChecklists_index()) return;
    const int16_t value = box->isChecked() ? 1 : 0;
    if (value != c.Checklists[k].ShowIt) add_or_edit_ongoing = true;
    int marked = 0;
    for (const Checklist& list : std::as_const(c.Checklists))
        if (list.ShowIt > 0) ++marked;
    if (value == 1) {
        if (marked + 1 > kMaxMarked && c.Checklists[k].ShowIt == 0) {
            c.show_message(msg_warning, QStringLiteral("Only 5 CheckLists can be selected..Please uncheck one box and "
                                                       "re-check this box to select."));
            box->setChecked(false);
            set_show_it(k, 0);
        } else {
            set_show_it(k, 1);
            set_row_bold(Index, true);
        }
    } else {
        if (marked <= 1 && c.Checklists[k].ShowIt == 1) {
            c.show_message(msg_warning, QStringLiteral("At least one Checklist must be selected"));
            set_show_it(k, 1);
            box->setChecked(true);
        } else {
            set_show_it(k, 0);
            set_row_bold(Index, false);
        }
    }
}

// ---- delete and the link ----

void ShowChecklists::checklist_delete_allowed(bool& allowed) const {
    const Core& c = core();
    int listed = 0;
    int marked = 0;
    int32_t marked_index = -1;
    for (int32_t k = 0; k <= c.maxChecklists_index(); ++k) {
        const Checklist& list = c.Checklists[k];
        if (list.deleted == 0 && list.Inuse == kTrue) ++listed;
        if (list.ShowIt > 0) {
            ++marked;
            marked_index = k;
        }
    }
    allowed = !(listed < 2 || (marked == 1 && marked_index == c.current_checklist_index));
}

void ShowChecklists::verify_delete_and_save() {
    Core& c = core();
    Shell& s = shell();
    if (c.current_screen == screen_checklist_editor && c.current_checklist.Inuse == 0) {
        s.mdi()->handle_cancel();
        return;
    }
    if (c.current_screen == screen_checklists && !c.checklist_highlighted) {
        c.show_message(msg_warning, QStringLiteral("No Checklist to Delete. Please highlight the Checklist to Delete, "
                                                   "then press Delete again."));
        return;
    }
    bool allowed = false;
    checklist_delete_allowed(allowed);
    if (!allowed) {
        c.show_message(msg_warning, QStringLiteral("You Must have at least one checklist to display. Delete not allowed."));
        return;
    }
    const int32_t i = c.current_checklist_index;
    if (i < 0 || i > c.maxChecklists_index()) return;
    if (c.ask_user(kStyleStop, QStringLiteral("Are you sure you want to DELETE the ENTIRE ") +
                                   trim_blanks(c.Checklists[i].Name) + QStringLiteral(" Checklist?")) != kAnswerYes)
        return;
    c.current_checklist.deleted = kTrue;
    c.Checklists[i].deleted = kTrue;
    c.save_checklist();
    c.load_checklists();
    c.current_checklist = c.blank_checklist;
    c.current_checklist_index = 0;
    c.checklist_highlighted = false;
    s.command()->reset_all_and_show_checklists();
}

void ShowChecklists::WebPage_Click() { core().shell_open_url(web_page_address()); }

} // namespace qb
