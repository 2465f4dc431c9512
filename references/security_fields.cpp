#include "references/security_fields.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/market_fetch.h"
#include "core/text_helpers.h"
#include "platform/autocomplete_lineedit.h"
#include "references/editor_fields.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qb {

SecurityFields::SecurityFields(QWidget* editor, EditorFields* fields, const QString& price_caption,
                               std::function<void()> changed)
    : QObject(editor), changed_(std::move(changed)) {
    auto label = [editor](const char* name, const QString& text) {
        auto* l = new QLabel(text, editor);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    auto box = [editor](const char* name, const char* tip) {
        auto* e = new QLineEdit(editor);
        e->setObjectName(QString::fromLatin1(name));
        e->setToolTip(QString::fromLatin1(tip));
        return e;
    };
    name_label = label("Label2", QStringLiteral("Security Name:"));
    security_name = box("security_name", "Type in the actual Security Name or Stock Symbol");
    symbol_label = label("Label7", QStringLiteral("Symbol:"));
    symbol_textbox = box("symbol_textbox", "The Symbol is used to get quotes for this security");
    price_label = label("Label1", price_caption);
    security_price = box("security_price", "Type in the price of the security (use decimal notation).");
    quote = new QPushButton(QStringLiteral("Get Quote"), editor);
    quote->setObjectName(QStringLiteral("quote"));
    quote_label = label("quote_label", QString());

    completion_ = new AutocompleteLineEdit(security_name);
    fields->add(security_name);
    fields->add(symbol_textbox);
    fields->add(security_price);
    fields->on_lost_focus(security_name, [this] { security_name_LostFocus(); });

    QObject::connect(security_name, &QLineEdit::textChanged, this, [this] { changed_(); });
    QObject::connect(symbol_textbox, &QLineEdit::textChanged, this, [this] { changed_(); });
    QObject::connect(security_price, &QLineEdit::textChanged, this, [this] { security_price_Change(); });
    QObject::connect(quote, &QPushButton::clicked, this, [this] { quote_Click(); });
}

void SecurityFields::expose(QLabel*& name, QLineEdit*& name_box, QLabel*& symbol, QLineEdit*& symbol_box,
                            QLabel*& price, QLineEdit*& price_box, QPushButton*& quote_button,
                            QLabel*& quote_text) const {
    name = name_label;
    name_box = security_name;
    symbol = symbol_label;
    symbol_box = symbol_textbox;
    price = price_label;
    price_box = security_price;
    quote_button = quote;
    quote_text = quote_label;
}

bool SecurityFields::completion_started() const { return completion_->completion_started(); }
bool SecurityFields::completion_active() const { return completion_->completion_active(); }

void SecurityFields::show_new(const SummaryEntry& e) {
    completion_->reset_completion();
    quote_label->clear();
    security_name->setText(trim_blanks(e.security));
    symbol_textbox->clear();
    security_price->clear();
}

void SecurityFields::show_existing(const SummaryEntry& e) {
    completion_->reset_completion();
    quote_label->clear();
    security_name->setText(trim_blanks(e.security));
    symbol_textbox->setText(trim_blanks(e.symbol));
    security_price->setText(e.price > 0 ? format_price_text(e.price) : QString());
}

void SecurityFields::store(SummaryEntry& e) const {
    e.security = trim_blanks(security_name->text());
    e.symbol = trim_blanks(symbol_textbox->text());
    e.price = price_value(trim_blanks(security_price->text())).value_or(0);
}

void SecurityFields::check_name_and_symbol_length(QString& message, bool& valid) const {
    const QString symbol = symbol_textbox->text();
    const qsizetype extra = symbol.isEmpty() ? 0 : symbol.size() + 7;
    if (security_name->text().size() + extra > kNameFieldWidth) {
        message += QStringLiteral("Security name + Symbol is too long. Total number of letters must be less than 33");
        valid = false;
    }
}

void SecurityFields::check_price(QString& message, bool& valid) const {
    const QString price = trim_blanks(security_price->text());
    if (numeric_value(price) < 0) {
        message += QStringLiteral("Price must be 0 or greater. ");
        valid = false;
    }
    // The record keeps the price as a 64-bit count of ten-thousandths.
    if (!price_value(price)) {
        message += QStringLiteral("Price is too large. ");
        valid = false;
    }
}

void SecurityFields::check_name_present(QString& message, bool& valid) const {
    // A name of blanks is stored as no name at all.
    if (trim_blanks(security_name->text()).isEmpty()) {
        message += QStringLiteral("Security Name must be filled in. ");
        valid = false;
    }
}

void SecurityFields::update_foreground_color(uint32_t colour) {
    for (QWidget* w : {static_cast<QWidget*>(security_name), static_cast<QWidget*>(symbol_textbox),
                       static_cast<QWidget*>(security_price)})
        paint_text(w, colour);
}

void SecurityFields::security_name_LostFocus() {
    if (!symbol_textbox->text().isEmpty()) return;
    const QString symbol = core().lookup_symbol_by_name(trim_blanks(security_name->text()));
    if (!symbol.isEmpty()) symbol_textbox->setText(symbol);
}

void SecurityFields::security_price_Change() {
    changed_();
    keep_price_characters(security_price);
}

void SecurityFields::quote_Click() {
    if (!symbol_textbox->text().isEmpty()) {
        const QString symbol = trim_blanks(symbol_textbox->text());
        const QString reply = get_one_quote(symbol);
        QString price, change;
        QPalette p = quote_label->palette();
        if (parse_quote_csv(symbol, reply, price, change)) {
            quote_label->setText(price + QStringLiteral("   ") + change);
            p.setColor(QPalette::WindowText, color_from_ole(numeric_value(change) < 0 ? kQuoteRed : kQuoteGreen));
            if (numeric_value(security_price->text()) == 0) security_price->setText(price);
        } else {
            quote_label->setText(QStringLiteral("Quote N/A"));
            p.setColor(QPalette::WindowText, color_from_ole(kQuoteRed));
        }
        quote_label->setPalette(p);
    }
    focus_if_visible(symbol_textbox);
}

} // namespace qb
