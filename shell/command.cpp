#include "shell/command.h"

#include "core/codepage.h"
#include "core/core.h"
#include "platform/window_helpers.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "shell/tips.h"

#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QToolButton>

namespace qb {
namespace {

const char* const kTooltips[kCommandButtons] = {
    "View a Summary of your data.",
    "View the Details of the highlighted data.",
    "View the Current Stock Idea.",
    "View All available Checklists.",
    "Create a New Checklist.",
    "Add a Buy transaction. Do this BEFORE you actually buy!",
    "Add a Sell transaction. Do this BEFORE you actually sell!",
    "Add All Other types of transactions (Thinking, Short, Cover Short, Hold)",
    "Save Web Page content (press releases, news, etc.) related to your securities. ",
    "Associate a file (any file type) with a security.",
    "Your notes taken while listening to company earnings conference calls.",
};
const int kButtonTops[kCommandButtons] = {480, 960, 1440, 1920, 2400, 3600, 4080, 4560, 5040, 5520, 6000};

const QByteArray kNormalFace = "#F2FAF2";
const QByteArray kHighFace = "#FFFF80";

// The transaction editor's type index for buttons 5, 6 and 7.
int16_t transaction_kind(int16_t index) { return index == button_buy ? 1 : index == button_sell ? 2 : 0; }

} // namespace

void open_entry_in_its_editor() {
    Core& c = core();
    Shell& s = shell();
    s.command()->set_focused_button(button_details);
    c.current_entry.mode = mode_edit;
    const SummaryEntry& e = c.current_entry.entry;
    QString name;
    int32_t code = 0;
    // The entry is not loaded again: a second load would tell the user a second time of
    // texts it cannot read.
    if (e.web.present != kTrue && e.file.present != kTrue) {
        name = QStringLiteral("AddEntry");
        code = screen_edit_transaction;
    } else if (e.web.present != kTrue) {
        name = QStringLiteral("SaveFileReference");
        code = screen_edit_file_reference;
    } else if (trim_blanks(e.transaction) == u"Call Notes") {
        name = QStringLiteral("SaveCallNotes");
        code = screen_edit_call_notes;
    } else {
        name = QStringLiteral("SaveWebPage");
        code = screen_edit_web_page;
    }
    c.current_screen = code;
    Screen* editor = s.screen(name);
    if (!editor) return;
    editor->fill_display(1);
    QWidget* w = editor->widget();
    if (code == screen_edit_transaction) w->setWindowTitle(QStringLiteral("View / Edit Transaction"));
    editor->handle_resize();
    w->show();
    w->raise();
    if (code == screen_edit_transaction)
        if (auto* box = w->findChild<QWidget*>(QStringLiteral("security_name_textbox")); box && box->isVisible())
            box->setFocus(Qt::OtherFocusReason);
}

QPixmap svg_picture(const QString& name, QSize size, const QByteArray& face_colour) {
    QFile file(QStringLiteral(":/pictures/%1.svg").arg(name));
    QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (!face_colour.isEmpty()) data.replace("fill=\"" + kNormalFace + '"', "fill=\"" + face_colour + '"');
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(data);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    return pixmap;
}

Command::Command(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Command"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color_from_ole(0xC000));
    setPalette(pal);

    QFont heading(QStringLiteral("Arial"));
    // Bold would not fit "Add New Transaction" into the bar's width.
    heading.setPointSizeF(7.5);
    auto make_label = [&](const char* name, const char* text, int top) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setObjectName(QString::fromLatin1(name));
        label->setFont(heading);
        QPalette lp = label->palette();
        lp.setColor(QPalette::WindowText, color_from_ole(0x400000));
        label->setPalette(lp);
        label->move(twips_to_px(120), twips_to_px(top));
        label->adjustSize();
        return label;
    };
    Label1 = make_label("Label1", "View Data", 120);
    Label2 = make_label("Label2", "Add New Transaction", 3000);

    for (int i = 0; i < kCommandButtons; ++i) {
        const QSize size(twips_to_px(1500), twips_to_px(i == button_web_page ? 435 : 420));
        Image_button[size_t(i)] = svg_picture(QStringLiteral("button%1").arg(i), size, kNormalFace);
        Image_high_button[size_t(i)] = svg_picture(QStringLiteral("button%1").arg(i), size, kHighFace);
        auto* b = new QToolButton(this);
        b->setObjectName(QStringLiteral("Image_action_%1").arg(i));
        b->setToolTip(QString::fromLatin1(kTooltips[i]));
        b->setAutoRaise(true);
        b->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
        b->setIconSize(size);
        b->setGeometry(twips_to_px(50), twips_to_px(kButtonTops[i]), size.width(), size.height());
        connect(b, &QToolButton::clicked, this, [this, i] { Image_action_Click(int16_t(i)); });
        image_action_[size_t(i)] = b;
    }
    Form_Load();
}

void Command::Form_Load() {
    MDIMain* mdi = shell().mdi();
    setGeometry(0, 0, twips_to_px(kBarWidth), twips_to_px(mdi->child_form_height));
    bar_height_margin = int16_t(mdi->height_twips() - px_to_twips(height()));
    set_all_command_button_background();
}

void Command::set_all_command_button_background() {
    for (int i = 0; i < kCommandButtons; ++i) image_action_[size_t(i)]->setIcon(QIcon(Image_button[size_t(i)]));
    highlighted_ = -1;
}

void Command::set_focused_button(int32_t index) {
    const int k = (index >= 0 && index < kCommandButtons) ? index : 0;
    focused_button = index;
    set_all_command_button_background();
    image_action_[size_t(k)]->setIcon(QIcon(Image_high_button[size_t(k)]));
    highlighted_ = k;
    shell().tips()->update_Tips(int16_t(k));
}

void Command::screen_change_allowed(bool& allowed) {
    allowed = true;
    const char* guard = nullptr;
    switch (core().current_screen) {
    case screen_new_transaction:
    case screen_edit_transaction: guard = "AddEntry"; break;
    case screen_new_web_page:
    case screen_edit_web_page: guard = "SaveWebPage"; break;
    case screen_checklists:
    case screen_checklist_editor: guard = "AddChecklist"; break;
    case screen_new_file_reference:
    case screen_edit_file_reference: guard = "SaveFileReference"; break;
    case screen_new_call_notes:
    case screen_edit_call_notes: guard = "SaveCallNotes"; break;
    default: return;
    }
    if (Screen* s = shell().screen(QString::fromLatin1(guard))) s->save_data_and_continue(allowed);
}

void Command::Image_action_Click(int16_t Index) {
    Core& c = core();
    if (Index == button_details && c.current_screen != screen_summary && c.current_screen != screen_checklists) return;
    bool allowed = true;
    screen_change_allowed(allowed);
    if (!allowed) return;

    // Whether the asked screen can open is settled before the visible one is hidden, so a
    // failure leaves the screen that was there.
    if (Index == button_details && c.current_screen == screen_summary && !c.current_entry.entry.is_live()) return;
    if (Index >= button_buy && Index <= button_call_notes && !prepare_new_entry(Index)) return;

    c.back_available = true;
    c.back_screen = c.current_screen;
    hide_all_screens();
    MDIMain* mdi = shell().mdi();
    switch (Index) {
    case button_summary:
        set_focused_button(0);
        mdi->make_up_down_visible();
        show_entries_screen();
        break;
    case button_details:
        set_focused_button(1);
        show_details_of_highlighted();
        break;
    case button_stock_of_month:
        set_focused_button(2);
        mdi->make_up_down_not_visible();
        show_stock_of_month_screen();
        break;
    case button_checklists:
        set_focused_button(3);
        mdi->make_up_down_not_visible();
        show_checklists_screen();
        break;
    case button_new_checklist:
        set_focused_button(4);
        mdi->make_up_down_not_visible();
        add_new_checklist();
        break;
    case button_buy:
    case button_sell:
    case button_other_transaction:
        set_focused_button(Index);
        mdi->make_up_down_not_visible();
        add_new_transaction(transaction_kind(Index));
        break;
    case button_web_page:
        set_focused_button(8);
        mdi->make_up_down_not_visible();
        add_new_reference(screen_new_web_page, QStringLiteral("SaveWebPage"));
        break;
    case button_file_reference:
        set_focused_button(9);
        mdi->make_up_down_not_visible();
        add_new_reference(screen_new_file_reference, QStringLiteral("SaveFileReference"));
        break;
    case button_call_notes:
        set_focused_button(10);
        mdi->make_up_down_not_visible();
        add_new_reference(screen_new_call_notes, QStringLiteral("SaveCallNotes"));
        break;
    default: break;
    }
}

void Command::hide_all_screens() {
    set_all_command_button_background();
    for (const QString& name : Shell::screen_names())
        if (QWidget* w = shell().window(name)) w->hide();
    shell().mdi()->make_up_down_not_visible();
}

// The part of a new-item routine before its editor is touched: a fresh current entry in a
// free slot. On failure the current entry is as it was and the message is shown.
bool Command::prepare_new_entry(int16_t index) {
    Core& c = core();
    const CurrentEntry saved_entry = c.current_entry;
    const int16_t saved_block = c.Currententry_checklist_index;
    c.current_entry = c.blank_entry;
    c.Currententry_checklist_index = 0;
    if (index <= button_other_transaction)
        if (TransactionEditorScreen* editor = shell().add_entry()) editor->init_checklists();
    int32_t slot = 0;
    if (!c.get_new_entry_slot(slot)) {
        c.current_entry = saved_entry;
        c.Currententry_checklist_index = saved_block;
        c.show_message(msg_error, QStringLiteral("Internal Error: Out of Memory. No more space available"));
        return false;
    }
    c.current_entry.index = slot;
    return true;
}

void Command::add_new_transaction(int16_t kind) {
    Core& c = core();
    c.current_entry.entry.file_idx = 0;
    c.current_entry.mode = mode_new;
    TransactionEditorScreen* editor = shell().add_entry();
    if (!editor) return;
    editor->fill_display(kind);
    editor->widget()->setWindowTitle(QStringLiteral("Add New Transaction"));
    c.current_screen = screen_new_transaction;
    show_screen_window(QStringLiteral("AddEntry"), QStringLiteral("security_name_textbox"));
}

void Command::add_new_reference(int32_t code, const QString& window) {
    core().current_screen = code;
    if (Screen* s = shell().screen(window)) s->fill_display(0);
    show_screen_window(window, QStringLiteral("security_name"));
}

void Command::show_screen_window(const QString& name, const QString& focus_box) {
    QWidget* w = shell().window(name);
    if (!w) return;
    if (Screen* s = dynamic_cast<Screen*>(w)) s->handle_resize();
    w->show();
    w->raise();
    if (!focus_box.isEmpty())
        if (QWidget* box = w->findChild<QWidget*>(focus_box); box && box->isVisible()) box->setFocus();
}

void Command::show_details_of_highlighted() {
    Core& c = core();
    if (c.current_screen == screen_checklists || c.current_entry.entry.is_live()) Edit_entry();
}

void Command::Edit_entry() {
    Core& c = core();
    MDIMain* mdi = shell().mdi();
    if (c.current_screen == screen_summary) {
        c.back_available = true;
        c.back_screen = screen_summary;
        mdi->make_up_down_visible();
        c.load_entry(c.current_entry.index);
        c.current_entry_checklist = c.current_entry.entry.checklist[0];
        c.Currententry_checklist_index = 0;
        if (EntryListScreen* title = shell().title()) title->show_addentry_or_savewebpage();
    } else if (c.current_screen == screen_checklists) {
        // Show-It marks changed on the list are stored however the list is left; a write
        // that fails keeps the user on the list with the marks pending.
        bool allowed = true;
        screen_change_allowed(allowed);
        if (!allowed) return;
        c.back_available = true;
        c.back_screen = screen_checklists;
        mdi->make_up_down_not_visible();
        if (QWidget* list = shell().window(QStringLiteral("ShowChecklists"))) list->hide();
        set_focused_button(1);
        if (Screen* editor = shell().screen(QStringLiteral("AddChecklist"))) editor->fill_display(1);
        show_screen_window(QStringLiteral("AddChecklist"), QStringLiteral("name_text"));
        c.current_screen = screen_checklist_editor;
    }
}

void Command::add_new_checklist() {
    Core& c = core();
    bool room = false;
    for (int32_t i = 0; i <= c.maxChecklists_index(); ++i) {
        if (c.Checklists[i].Inuse == 0) {
            room = true;
            break;
        }
    }
    if (!room) room = c.add_checklist_slot();
    if (!room) {
        c.show_message(msg_warning, QStringLiteral("No more space availabe to Add a new Checklist. Please Delete an "
                                                   "existing one, and try again."));
        reset_all_and_show_checklists();
        return;
    }
    c.current_checklist = c.blank_checklist;
    if (Screen* editor = shell().screen(QStringLiteral("AddChecklist"))) editor->fill_display(0);
    c.current_screen = screen_checklist_editor;
    show_screen_window(QStringLiteral("AddChecklist"), QStringLiteral("name_text"));
    c.checklist_highlighted = false;
}

void Command::reset_all_and_show_entries() {
    for (const char* name : {"AddEntry", "SaveWebPage", "SaveFileReference", "AddChecklist", "SaveCallNotes"})
        if (Screen* s = shell().screen(QString::fromLatin1(name))) s->clear_add_or_edit_ongoing();
    hide_all_screens();
    set_focused_button(0);
    shell().mdi()->make_up_down_visible();
    show_entries_screen();
}

void Command::reset_all_and_show_checklists() {
    if (Screen* s = shell().screen(QStringLiteral("AddChecklist"))) s->clear_add_or_edit_ongoing();
    hide_all_screens();
    set_focused_button(3);
    show_checklists_screen();
}

void Command::show_entries_screen() {
    Core& c = core();
    EntryListScreen* title = shell().title();
    if (!title) return;
    const bool already_visible = c.current_screen == screen_summary;
    if (already_visible) title->reset_to_original();
    c.current_screen = screen_summary;
    title->handle_resize();
    if (already_visible)
        title->update_title_with_last_entries();
    else
        title->update_Title_with_entries();
    show_screen_window(QStringLiteral("Title"), QString());
    title->last_known_focus();
}

void Command::show_checklists_screen() {
    core().current_screen = screen_checklists;
    if (ChecklistListScreen* list = shell().show_checklists()) list->fill_display(0);
    show_screen_window(QStringLiteral("ShowChecklists"), QString());
}

void Command::show_stock_of_month_screen() {
    core().current_screen = screen_stock_of_month;
    if (StockIdeaScreen* viewer = shell().viewweb()) {
        viewer->show_stock_of_month();
        show_screen_window(QStringLiteral("viewweb"), QString());
    }
}

void Command::handle_resize() {
    MDIMain* mdi = shell().mdi();
    const int h = mdi->height_twips() - bar_height_margin;
    const int height = h > mdi->min_insideMDI_heigth ? h : mdi->min_insideMDI_heigth;
    resize(twips_to_px(kBarWidth), twips_to_px(height));
}

} // namespace qb
