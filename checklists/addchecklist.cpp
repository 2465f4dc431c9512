#include "checklists/addchecklist.h"

#include "checklists/checklists_internal.h"
#include "core/codepage.h"
#include "core/core.h"
#include "core/ole_date.h"
#include "shell/command.h"
#include "shell/mdimain.h"

#include <QToolButton>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace qb {

using namespace checklists;

namespace {

constexpr int kLabelLeft = 120;
constexpr int kLabelWidth = 1500;
constexpr int kBoxLeft = 1680;
constexpr int kBoxWidth = 3255;
constexpr int kWhyTop = 3100;
constexpr int kWhyWidth = 4815;

const QString kCorrect = QStringLiteral("Would you like to Correct this data?");

} // namespace

AddChecklist::AddChecklist(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AddChecklist"));
    setAutoFillBackground(true);
    setWindowTitle(QStringLiteral("Checklist"));
    build_header();
    build_rows();
}

QString AddChecklist::box_text(const QPlainTextEdit* box) {
    QString t = box->toPlainText();
    t.replace(u'\n', QStringLiteral("\r\n"));
    return t;
}

void AddChecklist::set_box_text(QPlainTextEdit* box, const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    if (box->toPlainText() == t) return;  // an unchanged text raises no change
    box->setPlainText(t);
}

QString AddChecklist::header_text(const QWidget* box) {
    if (const auto* e = qobject_cast<const QLineEdit*>(box)) return e->text();
    if (const auto* p = qobject_cast<const QPlainTextEdit*>(box)) return box_text(p);
    return QString();
}

QList<QWidget*> AddChecklist::header_boxes() const {
    return {name_text, Author_text, Copyright_text, BookRef_text, Website_text, Whyuse_text};
}

void AddChecklist::build_header() {
    QFont box_font(QStringLiteral("MS Sans Serif"));
    box_font.setPointSize(8);
    QFont label_font(QStringLiteral("Arial"));
    label_font.setPointSize(8);
    auto label = [&](const char* name, const QString& text, const QRect& place) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(label_font);
        l->setGeometry(place);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    auto line = [&](const char* name, const char* tip, int top) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setToolTip(QString::fromLatin1(tip));
        e->setFont(box_font);
        e->setGeometry(twips_rect(kBoxLeft, top, kBoxWidth, 285));
        return e;
    };

    List_label = label("List_label", QStringLiteral("Checklist Name:"), twips_rect(kLabelLeft, 630, kLabelWidth, 255));
    name_text = line("name_text", "Type in the name of this checklist.", 600);
    Author_label = label("Author_label", QStringLiteral("Author:"), twips_rect(kLabelLeft, 1030, kLabelWidth, 255));
    Author_text = new QPlainTextEdit(this);
    Author_text->setObjectName(QStringLiteral("Author_text"));
    Author_text->setToolTip(QStringLiteral("Type in the author of this checklist."));
    Author_text->setFont(box_font);
    Author_text->setGeometry(twips_rect(kBoxLeft, 1000, kBoxWidth, 495));
    Author_text->setTabChangesFocus(true);
    Author_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Copyright_label = label("Copyright_label", QStringLiteral("Copyright:"), twips_rect(kLabelLeft, 1630, kLabelWidth, 255));
    Copyright_text = line("Copyright_text", "If this checklist is copyrighted, indicate the copyright here.", 1600);
    Book_Label = label("Book_Label", QStringLiteral("Book Reference:"), twips_rect(kLabelLeft, 2030, kLabelWidth, 255));
    BookRef_text = line("BookRef_text",
                        "Are the principles of this checklist reflected in a book? If so, type in the name of the book.",
                        2000);
    Web_Label = label("Web_Label", QStringLiteral("Web Site:"), twips_rect(kLabelLeft, 2430, kLabelWidth, 255));
    Website_text = line("Website_text",
                        "Is there a web site that is related to this checklist? If so, type in the web address here.",
                        2400);
    Why_label = label("Why_label", QStringLiteral("Why this Checklist Should be used:"),
                      twips_rect(kLabelLeft, 2820, kWhyWidth, 255));
    Whyuse_text = new QPlainTextEdit(this);
    Whyuse_text->setObjectName(QStringLiteral("Whyuse_text"));
    Whyuse_text->setFont(box_font);
    Whyuse_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Whyuse_text->setTabChangesFocus(true);
    Whyuse_text->setGeometry(twips_rect(kLabelLeft, kWhyTop, kWhyWidth, whyuse_height_));

    auto button = [&](const char* name, const QString& caption, const char* picture, int top) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(QIcon(svg_picture(QString::fromLatin1(picture), QSize(twips_to_px(300), twips_to_px(300)))));
        b->setIconSize(QSize(twips_to_px(300), twips_to_px(300)));
        b->setGeometry(twips_rect(kLabelLeft, top, 1095, 495));
        return b;
    };
    Delete_Thing = button("Delete_Thing", QStringLiteral("Delete"), "delete", delete_top_);
    Insert_Thing = button("Insert_Thing", QStringLiteral("Insert"), "edit", insert_top_);
    delete_label = label("delete_label", QStringLiteral("Delete the Highlighted 'Thing to Check'"),
                         twips_rect(1320, delete_label_top_, 3615, 255));
    insert_label = label("insert_label",
                         QStringLiteral("Insert a New 'Thing to Check' above the Highlighted 'Thing to Check'"),
                         twips_rect(1320, insert_label_top_, 3615, 495));
    connect(Delete_Thing, &QPushButton::clicked, this, [this] { Delete_Thing_Click(); });
    connect(Insert_Thing, &QPushButton::clicked, this, [this] { Insert_Thing_Click(); });

    QWidget::setTabOrder(name_text, Author_text);
    QWidget::setTabOrder(Author_text, Copyright_text);
    QWidget::setTabOrder(Copyright_text, BookRef_text);
    QWidget::setTabOrder(BookRef_text, Website_text);
    QWidget::setTabOrder(Website_text, Whyuse_text);
    for (QWidget* box : header_boxes()) {
        box->installEventFilter(this);
        paint_background(box, kWhite);
    }
    auto changed = [this] {
        if (!filling_) add_or_edit_ongoing = true;
    };
    for (QLineEdit* e : {name_text, Copyright_text, BookRef_text, Website_text})
        connect(e, &QLineEdit::textChanged, this, changed);
    for (QPlainTextEdit* p : {Author_text, Whyuse_text}) connect(p, &QPlainTextEdit::textChanged, this, changed);
}

void AddChecklist::update_foreground_color() {
    const uint32_t colour = core().textcolor_value;
    for (QWidget* box : header_boxes()) paint_text(box, colour);
    for (QPlainTextEdit* t : Text1) paint_text(t, colour);
}

void AddChecklist::clear_add_or_edit_ongoing() {
    add_or_edit_ongoing = false;
    if (ChecklistListScreen* list = shell().show_checklists()) list->add_or_edit_ongoing = false;
}

// ---- header fields ----

bool AddChecklist::eventFilter(QObject* watched, QEvent* event) {
    if (auto* w = qobject_cast<QWidget*>(watched)) {
        const QVariant row = w->property("qb_row");
        if (row.isValid()) {
            if (item_event(int16_t(row.toInt()), event)) return true;
        } else if (header_boxes().contains(w)) {
            if (header_event(w, event)) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool AddChecklist::header_event(QWidget* box, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // A message box taking the focus for a while is no move to another field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (drawing_ || reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return false;
        const bool in = event->type() == QEvent::FocusIn;
        paint_background(box, in ? kYellow : kWhite);
        if (in) item_highlighted = false;
        return false;
    }
    case QEvent::KeyPress: {
        // Enter in the author box moves on; it never starts a second line there.
        const int key = static_cast<QKeyEvent*>(event)->key();
        return box == Author_text && (key == Qt::Key_Return || key == Qt::Key_Enter);
    }
    case QEvent::KeyRelease: {
        const int code = key_code_of(static_cast<QKeyEvent*>(event)->key());
        if (code == 0) return false;
        page_item_rows(0, code, 0);
        if (code == 13 && box != Whyuse_text) move_focus_after(box);
        return false;
    }
    default: return false;
    }
}

void AddChecklist::move_focus_after(QWidget* box) {
    const QList<QWidget*> order = header_boxes();
    const qsizetype i = order.indexOf(box);
    if (i >= 0 && i + 1 < order.size()) focus_if_visible(order[i + 1]);
}

// ---- showing a checklist ----

void AddChecklist::set_addchecklist_display() {
    Core& c = core();
    Checklist& list = c.current_checklist;
    {
        const FlagGuard guard(filling_);
        if (list.Inuse != kTrue) {
            const QDateTime now = c.platform().clock ? c.platform().clock->now() : QDateTime::currentDateTime();
            list.Date = ole_from_datetime(now);
            list.Version = 1;
            list.ShowIt = 0;
        }
        handle_resize();
        VScroll1->setValue(0);
        for (int i = 0; i < kRows; ++i) {
            const auto r = size_t(i);
            set_box_text(Text1[r], trim_blanks(list.Item[r]));
            const bool has_text = !Text1[r]->toPlainText().isEmpty();
            Text1[r]->setToolTip(has_text ? QString()
                                          : QStringLiteral("Type in a key point to remember, or question to answer."));
            Num_label[r]->setText(QString::number(i + 1));
            line_count[r] = 0;
            QFont f = Text1[r]->font();
            f.setBold(false);
            Text1[r]->setFont(f);
            Check1[r]->setChecked(has_text);
        }
        name_text->setText(trim_blanks(list.Name));
        set_box_text(Author_text, trim_blanks(list.Author));
        Copyright_text->setText(trim_blanks(list.Copyright));
        BookRef_text->setText(trim_blanks(list.BookRef));
        Website_text->setText(trim_blanks(list.WebSite));
        set_box_text(Whyuse_text, trim_blanks(list.WhyUse));
        for (QLineEdit* e : {name_text, Copyright_text, BookRef_text, Website_text}) e->setCursorPosition(0);
        first_shown_item = 0;
        update_checklist_display();
        update_things_to_check_count();
    }
    add_or_edit_ongoing = false;
}

// ---- leaving the screen ----

void AddChecklist::save_data_and_continue(bool& may_continue) {
    Core& c = core();
    may_continue = true;
    if (c.current_screen == screen_checklists) {
        ChecklistListScreen* list = shell().show_checklists();
        if (list && list->add_or_edit_ongoing) {
            // A failed write keeps the marks pending and the user on the list.
            if (c.save_checklist())
                list->add_or_edit_ongoing = false;
            else
                may_continue = false;
        }
    }
    if (c.current_screen != screen_checklist_editor || !add_or_edit_ongoing) return;

    auto ask = [&c](const QString& problem) {
        return c.ask_user(kStyleStop, problem + QStringLiteral("\r\n") + kCorrect) == kAnswerYes;
    };
    if (trim_blanks(name_text->text()).isEmpty()) {
        if (ask(QStringLiteral("Checklist Name must be included..data NOT saved.")))
            may_continue = false;
        else
            add_or_edit_ongoing = false;
        return;
    }
    bool any_item = false;
    for (const QPlainTextEdit* t : Text1) any_item = any_item || !trim_blanks(t->toPlainText()).isEmpty();
    if (!any_item) {
        if (ask(QStringLiteral("At least one item in the checklist must be added...data NOT saved.")))
            may_continue = false;
        else
            add_or_edit_ongoing = false;
        return;
    }
    bool too_long = false;
    bool stay = false;
    for (int i = 0; i < kRows; ++i) {
        if (trim_blanks(box_text(Text1[size_t(i)])).size() <= kItemLimit) continue;
        too_long = true;
        if (ask(QStringLiteral("Checklist Item: ") + QString::number(i + 1) + QStringLiteral(" is too big. Must be less than ") +
                QString::number(kItemLimit) + QStringLiteral(" letters") + QStringLiteral("\r\nData NOT Saved")))
            stay = true;
    }
    if (too_long) {
        // One Yes keeps the user here with the edits pending, whatever the other answers.
        if (stay)
            may_continue = false;
        else
            add_or_edit_ongoing = false;
        return;
    }
    bool stored = false;
    store_checklist_and_save(stored);
    if (!stored) may_continue = false;
}

void AddChecklist::store_checklist_and_save(bool& stored) {
    Core& c = core();
    Checklist& list = c.current_checklist;
    // A failed write takes the table back to what is stored; the boxes keep the edits.
    const Checklist list_before = list;
    const int16_t index_before = c.current_checklist_index;
    const QVector<Checklist> table_before = c.Checklists;
    list.Name = trim_blanks(name_text->text());
    list.Author = trim_blanks(header_text(Author_text));
    list.Copyright = trim_blanks(Copyright_text->text());
    list.BookRef = trim_blanks(BookRef_text->text());
    list.WebSite = trim_blanks(Website_text->text());
    list.WhyUse = trim_blanks(header_text(Whyuse_text));
    list.Date = ole_from_datetime(c.platform().clock ? c.platform().clock->now() : QDateTime::currentDateTime());
    list.TotalItems = 0;
    for (int i = 0; i < kRows; ++i) {
        const QString text = box_text(Text1[size_t(i)]);
        list.Item[size_t(i)] = trim_blanks(text);
        if (!text.isEmpty()) ++list.TotalItems;
    }
    if (list.Inuse == kTrue) {
        if (c.current_checklist_index >= 0 && c.current_checklist_index <= c.maxChecklists_index())
            c.Checklists[c.current_checklist_index] = list;
    } else if (c.find_free_checklist_slot()) {
        list.Inuse = kTrue;
        list.deleted = 0;
        list.file_idx = 0;
        c.Checklists[c.current_checklist_index] = list;
    } else {
        c.show_message(msg_error, QStringLiteral("Unable to Add another New Checklist..please delete some old ones."));
    }
    stored = c.save_checklist();
    if (!stored) {
        // Reported by the file; the edits stay pending so that a later Save stores them,
        // and a Cancel leaves nothing of them behind.
        c.Checklists = table_before;
        c.current_checklist = list_before;
        c.current_checklist_index = index_before;
        return;
    }
    const int16_t k = c.current_checklist_index;
    if (k >= 0 && k <= c.maxChecklists_index()) c.current_checklist = c.Checklists[k];
    add_or_edit_ongoing = false;
}

} // namespace qb
