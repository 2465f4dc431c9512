#include "journal/addentry.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/date_text.h"
#include "core/market_fetch.h"
#include "core/ole_date.h"
#include "core/text_helpers.h"
#include "journal/addentry_internal.h"
#include "journal/price_value.h"
#include "platform/autocomplete_lineedit.h"
#include "shell/command.h"
#include "shell/mdimain.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <optional>

namespace qb {

using namespace addentry;

namespace {

const char* const kBuiltInTypes[6] = {"Thinking", "Buy", "Sell", "Hold", "Short", "Cover Short"};
const QString kDetailsTip = QStringLiteral("Type in your thoughts on why you are making this transaction.");
constexpr uint32_t kQuoteRed = 0xFF;
constexpr uint32_t kQuoteGreen = 0xFF00;

} // namespace

AddEntry::AddEntry(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AddEntry"));
    setAutoFillBackground(true);
    setWindowTitle(QStringLiteral("New Transaction Information"));
    build_fields();
    build_panel();
}

AddEntry::~AddEntry() {
    if (Core* c = Core::current()) c->hooks.addentry_set_add_or_edit_ongoing = nullptr;
}

QString AddEntry::box_text(const QPlainTextEdit* box) {
    QString t = box->toPlainText();
    t.replace(u'\n', QStringLiteral("\r\n"));
    return t;
}

void AddEntry::set_box_text(QPlainTextEdit* box, const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    if (box->toPlainText() == t) return;  // an unchanged text raises no change
    const int caret = box->textCursor().position();
    box->setPlainText(t);
    if (box->hasFocus()) {
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(std::min(caret, int(t.size())));
        box->setTextCursor(cursor);
    }
}

void AddEntry::build_fields() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    auto label = [this](const char* name, const QString& text, int left, int top, int width, int height) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(twips_rect(left, top, width, height));
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    auto line_edit = [this](const char* name, const char* tip, int left, int top, int width, int height) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setToolTip(QString::fromLatin1(tip));
        e->setGeometry(twips_rect(left, top, width, height));
        e->setFrame(true);
        return e;
    };

    Label1 = label("Label1", QStringLiteral("Transaction:"), 120, 120, 1215, 255);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(false);
    Combo1->setToolTip(QStringLiteral("To Change the transaction, use the pull down menu."));
    Combo1->setGeometry(twips_rect(1320, 120, 1935, 315));
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { add_or_edit_ongoing = true; });

    Label2 = label("Label2", QStringLiteral("Security Name:"), 120, 480, 1575, 255);
    security_name_textbox = line_edit("security_name_textbox", "Type in the actual Security Name or Stock Symbol.", 1680,
                                      480, 1455, 255);
    completion_ = new AutocompleteLineEdit(security_name_textbox);
    connect(security_name_textbox, &QLineEdit::textChanged, this, [this] { add_or_edit_ongoing = true; });

    Label4 = label("Label4", QStringLiteral("Symbol:"), 120, 840, 855, 255);
    symbol_textbox =
        line_edit("symbol_textbox", "The Symbol is used to get quotes for this security", 960, 840, 1095, 255);
    connect(symbol_textbox, &QLineEdit::textChanged, this, [this] { add_or_edit_ongoing = true; });

    quote = new QPushButton(QStringLiteral("Get Quote"), this);
    quote->setObjectName(QStringLiteral("quote"));
    quote->setGeometry(twips_rect(2160, 840, 975, 255));
    connect(quote, &QPushButton::clicked, this, [this] { quote_Click(); });

    Label6 = label("Label6", QStringLiteral("Price:"), 120, 1200, 615, 255);
    security_price_textbox = line_edit("security_price_textbox",
                                       "Type in Price of the security. No $ sign needed. Use decimal notation, not "
                                       "fractional.",
                                       960, 1200, 855, 285);
    connect(security_price_textbox, &QLineEdit::textChanged, this, [this] { security_price_changed(); });
    quote_label = label("quote_label", QString(), 1920, 1200, 1335, 255);

    Date_label = label("Date_label", QStringLiteral("Date:"), 120, 1560, 615, 255);
    Date_textbox = line_edit("Date_textbox", "Type in the date of the transaction.", 960, 1560, 1335, 285);
    connect(Date_textbox, &QLineEdit::textChanged, this, [this] { add_or_edit_ongoing = true; });

    Label3 = label("Label3", QStringLiteral("Additional Details (My crystal ball):"), 120, 1920, 2055, 495);
    Label3->setToolTip(QStringLiteral("Enter the \"Why\" of this transaction. Your future forecast"));
    Other_info_textbox = new QPlainTextEdit(this);
    Other_info_textbox->setObjectName(QStringLiteral("Other_info_textbox"));
    Other_info_textbox->setGeometry(twips_rect(120, 2520, 3015, 1335));
    Other_info_textbox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Other_info_textbox->setTabChangesFocus(true);
    Other_info_textbox->setToolTip(kDetailsTip);
    connect(Other_info_textbox, &QPlainTextEdit::textChanged, this, [this] { other_info_changed(); });

    QWidget::setTabOrder(Combo1, security_name_textbox);
    QWidget::setTabOrder(security_name_textbox, symbol_textbox);
    QWidget::setTabOrder(symbol_textbox, quote);
    QWidget::setTabOrder(quote, security_price_textbox);
    QWidget::setTabOrder(security_price_textbox, Date_textbox);
    QWidget::setTabOrder(Date_textbox, Other_info_textbox);

    for (QWidget* w : std::initializer_list<QWidget*>{Combo1, security_name_textbox, symbol_textbox,
                                                      security_price_textbox, Date_textbox, Other_info_textbox}) {
        w->installEventFilter(this);
        paint_background(w, kWhite);
    }
}

void AddEntry::Form_Load() {
    Core& c = core();
    MDIMain* mdi = shell().mdi();
    setGeometry(twips_to_px(Command::kBarWidth), 0, twips_to_px(kDesignWidth), twips_to_px(mdi->child_form_height));

    {
        const QSignalBlocker block(Combo1);
        Combo1->clear();
        for (const char* t : kBuiltInTypes) Combo1->addItem(QString::fromLatin1(t));
    }
    update_transaction_types();

    for (int i = 0; i < kRows; ++i) set_row_shown(i, false);
    text1_left_ = 3960;
    text1_width_ = 3615;
    text6_left_ = 7680;
    text6_width_ = 1925;
    line_x1_ = 7680;
    line_x2_ = 9590;
    for (int i = 0; i < kRows; ++i) place_row_boxes(i);
    update_foreground_color();
    quote_label->clear();

    VScroll1->setVisible(true);
    VScroll1->setEnabled(true);

    item_text_width = 3615;
    item_comment_width = 1925;
    rows_area_height = 6650;
    record_margins();

    // The wheel over the window or any item text or comment moves the rows' scroll bar.
    if (!wheel_) {
        wheel_ = new WheelFilter(this, [this](int step) { wheel_move_slider(VScroll1, step, VScroll1->maximum()); });
        installEventFilter(wheel_);
        for (int i = 0; i < kRows; ++i) {
            wheel_->install_on(Text1[size_t(i)]);
            wheel_->install_on(Text6[size_t(i)]);
        }
    }

    c.hooks.addentry_set_add_or_edit_ongoing = [this] { set_add_or_edit_ongoing(); };
}

void AddEntry::paint_background(QWidget* w, uint32_t ole) {
    QPalette p = w->palette();
    const QColor colour = color_from_ole(ole);
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Button, colour);
    w->setPalette(p);
}

void AddEntry::paint_text(QWidget* w, uint32_t ole) {
    QPalette p = w->palette();
    const QColor colour = color_from_ole(ole);
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::ButtonText, colour);
    w->setPalette(p);
}

void AddEntry::update_foreground_color() {
    const uint32_t colour = core().textcolor_value;
    for (int i = 0; i < kRows; ++i) {
        paint_text(Text1[size_t(i)], colour);
        paint_text(Text6[size_t(i)], colour);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{Combo1, security_name_textbox, symbol_textbox,
                                                      security_price_textbox, Date_textbox, Other_info_textbox})
        paint_text(w, colour);
}

void AddEntry::update_transaction_types() {
    const QSignalBlocker block(Combo1);
    while (Combo1->count() > 6) Combo1->removeItem(6);
    for (const QString& t : core().trans_type) Combo1->addItem(t);
}

// ---- fields ----

bool AddEntry::eventFilter(QObject* watched, QEvent* event) {
    if (auto* w = qobject_cast<QWidget*>(watched)) {
        const QVariant row = w->property("qb_row");
        if (row.isValid()) {
            if (row_event(w, row.toInt(), w->property("qb_kind").toInt(), event)) return true;
        } else if (w == Combo1 || w == security_name_textbox || w == symbol_textbox || w == security_price_textbox ||
                   w == Date_textbox || w == Other_info_textbox) {
            if (field_event(w, event)) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool AddEntry::field_event(QWidget* field, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        if (!drawing_) paint_focus_field(field);
        return false;
    case QEvent::FocusOut: {
        // A message box, menu or the menu bar taking the focus for a while is no move to
        // another field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (drawing_ || reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason ||
            reason == Qt::MenuBarFocusReason)
            return false;
        paint_background(field, kWhite);
        if (field == security_name_textbox) security_name_lost_focus();
        return false;
    }
    case QEvent::KeyRelease: {
        const int code = key_code_of(static_cast<QKeyEvent*>(event)->key());
        if (code == 0) return false;
        if (field != Combo1) handle_page_keys(code);
        if (code == 13) move_focus_after(field);
        return false;
    }
    default: return false;
    }
}

void AddEntry::paint_focus_field(QWidget* focused) {
    // Only the field with the focus is yellow. A field the editor was left from while a
    // message box stood in front kept its yellow, as its focus left without an event.
    for (QWidget* w : std::initializer_list<QWidget*>{Combo1, security_name_textbox, symbol_textbox,
                                                      security_price_textbox, Date_textbox, Other_info_textbox})
        paint_background(w, w == focused ? kYellow : kWhite);
}

void AddEntry::move_focus_after(QWidget* field) {
    QWidget* next = nullptr;
    if (field == Combo1)
        next = security_name_textbox;
    else if (field == security_name_textbox)
        next = symbol_textbox;
    else if (field == symbol_textbox)
        next = security_price_textbox;
    else if (field == security_price_textbox)
        next = Date_textbox;
    else if (field == Date_textbox)
        next = Other_info_textbox;
    focus_if_visible(next);
}

void AddEntry::security_name_lost_focus() {
    if (!symbol_textbox->text().isEmpty()) return;
    const QString symbol = core().lookup_symbol_by_name(trim_blanks(security_name_textbox->text()));
    if (!symbol.isEmpty()) symbol_textbox->setText(symbol);
}

void AddEntry::security_price_changed() {
    add_or_edit_ongoing = true;
    keep_price_characters(security_price_textbox);
}

void AddEntry::other_info_changed() {
    add_or_edit_ongoing = true;
    Other_info_textbox->setToolTip(Other_info_textbox->toPlainText().isEmpty() ? kDetailsTip : QString());
}

void AddEntry::quote_Click() {
    if (symbol_textbox->text().isEmpty()) {
        focus_if_visible(symbol_textbox);
        return;
    }
    const QString symbol = trim_blanks(symbol_textbox->text());
    const QString reply = get_one_quote(symbol);
    QString price, change;
    QPalette p = quote_label->palette();
    if (parse_quote_csv(symbol, reply, price, change)) {
        quote_label->setText(price + QStringLiteral("  ") + change);
        p.setColor(QPalette::WindowText, color_from_ole(numeric_value(change) < 0 ? kQuoteRed : kQuoteGreen));
        quote_label->setPalette(p);
        if (numeric_value(security_price_textbox->text()) == 0) security_price_textbox->setText(price);
        focus_if_visible(security_price_textbox);
    } else {
        quote_label->setText(QStringLiteral("Quote N/A"));
        p.setColor(QPalette::WindowText, color_from_ole(kQuoteRed));
        quote_label->setPalette(p);
        focus_if_visible(symbol_textbox);
    }
}

// ---- filling, validating and saving ----

void AddEntry::set_current_AddEntry_display(int16_t kind) {
    Core& c = core();
    SummaryEntry& e = c.current_entry.entry;
    completion_->reset_completion();
    paint_focus_field(QApplication::focusWidget());  // nothing yellow is left from the last opening
    update_checkbox_link();
    QFont bold = Avail_checklist[0]->font();
    bold.setBold(true);
    Avail_checklist[0]->setFont(bold);

    if (c.current_entry.mode == mode_edit) {
        Date_textbox->setText(trim_blanks(general_date_text(e.entry_date)));
        const QString type = trim_blanks(e.transaction);
        int found = -1;
        for (int i = 0; i < Combo1->count(); ++i)
            if (trim_blanks(Combo1->itemText(i)) == type) found = i;
        if (found >= 0) {
            Combo1->setCurrentIndex(found);
        } else if (!type.isEmpty()) {
            Combo1->addItem(type);
            Combo1->setCurrentIndex(Combo1->count() - 1);
        }
    } else {
        Combo1->setCurrentIndex(kind >= 0 && kind < Combo1->count() ? kind : -1);
        if (kind == 0) {
            const QString last = trim_blanks(c.last_custom_trans_type);
            for (int i = 0; i < Combo1->count(); ++i)
                if (trim_blanks(Combo1->itemText(i)) == last) Combo1->setCurrentIndex(i);
        }
        const QDate today = c.platform().clock ? c.platform().clock->today() : QDate::currentDate();
        Date_textbox->setText(trim_blanks(short_date_text(today)));
        e.entry_date = ole_from_date(today);
    }

    handle_resize();

    c.Currententry_checklist_index = 0;
    c.current_entry_checklist = c.blank_entry_checklist;
    c.current_entry_checklist = e.checklist[0];

    set_box_text(Other_info_textbox, e.other.text);
    security_price_textbox->setText(e.price > 0 ? format_price_text(e.price) : QString());
    security_name_textbox->setText(trim_blanks(e.security));
    symbol_textbox->setText(trim_blanks(e.symbol));
    quote_label->clear();

    update_checklist_display();
    add_or_edit_ongoing = false;
}

void AddEntry::validate_current_entry(QString& message, bool& valid) {
    valid = true;
    auto fail = [&](const QString& text) {
        message += text;
        valid = false;
    };
    const QString name = security_name_textbox->text();
    const QString symbol = symbol_textbox->text();
    const qsizetype extra = symbol.isEmpty() ? 0 : symbol.size() + 7;
    if (name.size() + extra > kNameFieldWidth)
        fail(QStringLiteral("Security name + symbol is too long. Total number of letters must be less than 33"));
    if (box_text(Other_info_textbox).size() > kDetailsLimit) fail(QStringLiteral("Additional Details field is too long. "));
    const QString price = security_price_textbox->text();
    if (numeric_value(price) < 0) fail(QStringLiteral("Price must be 0 or greater. "));
    // The record keeps the price as a 64-bit count of ten-thousandths.
    if (!price_value(price)) fail(QStringLiteral("Price is too large. "));
    int16_t row = 0;
    bool ok = true;
    check_checklist_comment_length(row, ok);
    if (!ok) fail(QStringLiteral("Your Checklist Comment:  ") + QString::number(row) + QStringLiteral(" is too long. "));
    if (trim_blanks(name).isEmpty()) fail(QStringLiteral("Security Name is Blank. "));
    if (Combo1->currentText().isEmpty()) fail(QStringLiteral("Transaction is Blank. "));
    if (!parse_date_text(Date_textbox->text()).isValid()) fail(QStringLiteral("Date is Invalid. "));
}

void AddEntry::save_data_and_continue(bool& continue_flag) {
    continue_flag = true;
    if (!add_or_edit_ongoing) return;
    QString message;
    bool valid = true;
    validate_current_entry(message, valid);
    if (!valid) {
        const int answer = core().ask_user(kStyleStop, QStringLiteral("Entry not Valid. Data NOT Saved. ") + message +
                                                           QStringLiteral("\r\nWould you like to Correct this data?"));
        if (answer == kAnswerYes) {
            continue_flag = false;
            return;
        }
        add_or_edit_ongoing = false;
        return;
    }
    bool saved = false;
    store_entry_fields_and_save(saved);
    // A save that failed was reported by the entries file; the user stays with the data.
    if (!saved) continue_flag = false;
}

void AddEntry::store_entry_fields_and_save(bool& saved) {
    Core& c = core();
    const CurrentEntry before = c.current_entry;
    const QString last_type_before = c.last_custom_trans_type;
    SummaryEntry& e = c.current_entry.entry;

    const QString type = trim_blanks(Combo1->currentText());
    e.transaction = type;
    static const QStringList kNotCustom{"buy", "sell", "call notes", "file", "web page"};
    if (!kNotCustom.contains(Combo1->currentText().toLower())) c.last_custom_trans_type = type;
    e.entry_date = ole_from_date(parse_date_text(trim_blanks(Date_textbox->text())));
    e.Inuse = kTrue;
    e.deleted = kFalse;
    const QString details = box_text(Other_info_textbox);
    // Details that could not be read stay stored until the user writes new ones.
    if (!(details.isEmpty() && e.other.text_unreadable)) {
        e.other.present = to_flag(!details.isEmpty());
        e.other.text = trim_blanks(details);
    }
    e.price = price_value(security_price_textbox->text()).value_or(0);
    e.security = trim_blanks(security_name_textbox->text());
    e.symbol = trim_blanks(symbol_textbox->text());
    save_current_checklist_answers();

    if (!c.save_entry()) {
        // A save refused before writing anything may have dropped the working copy.
        if (c.current_entry.mode != before.mode || c.current_entry.index != before.index) c.current_entry = before;
        c.last_custom_trans_type = last_type_before;
        saved = false;
        return;
    }
    add_or_edit_ongoing = false;
    c.current_screen = screen_edit_transaction;
    c.current_entry.mode = mode_edit;
    c.add_autocomplete_entry(c.current_entry.entry.security);
    saved = true;
}

} // namespace qb
