#include "market/quotes.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/market_fetch.h"
#include "core/text_helpers.h"
#include "platform/window_helpers.h"
#include "shell/mdimain.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace qb {
namespace {

const QString kFetchFailed = QStringLiteral("Unable to Retreive Quote Data. Please Check Internet Connection.");
// An error page can be long; the message shows its beginning.
constexpr int kReplyShownInMessage = 200;

// Design geometry in twips.
constexpr int kWidth = 4800;
constexpr int kHeight = 4740;
constexpr int kRowTop = 1500;
constexpr int kRowPitch = 300;
constexpr int kRowHeight = 285;
constexpr int kStockLeft = 120, kStockWidth = 1335;
constexpr int kPriceLeft = 1560, kPriceWidth = 1215;
constexpr int kChangeLeft = 2880, kChangeWidth = 1215;

QRect twips_rect(int left, int top, int width, int height) {
    return QRect(twips_to_px(left), twips_to_px(top), twips_to_px(width), twips_to_px(height));
}

void set_text_colour(QWidget* w, uint32_t ole) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, color_from_ole(ole));
    p.setColor(QPalette::WindowText, color_from_ole(ole));
    w->setPalette(p);
}

void set_back_colour(QWidget* w, uint32_t ole) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, color_from_ole(ole));
    w->setPalette(p);
}

QLabel* make_label(QWidget* parent, const QString& text, int left, int top, int width, bool bold = false) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(twips_rect(left, top, width, 285));
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

QLineEdit* make_row_box(QWidget* parent, const QString& name, int left, int width, int row) {
    auto* b = new QLineEdit(parent);
    b->setObjectName(name);
    b->setReadOnly(true);
    b->setFocusPolicy(Qt::ClickFocus);
    b->setGeometry(twips_rect(left, kRowTop + kRowPitch * row, width, kRowHeight));
    return b;
}

} // namespace

Quotes::Quotes(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Quotes"));
    setWindowTitle(QStringLiteral("Stock Quotes"));
    setFixedSize(twips_to_px(kWidth), twips_to_px(kHeight));
    // The twips layout is drawn for a small sans-serif face.
    QFont face(QStringLiteral("Arial"));
    face.setPixelSize(11);
    setFont(face);

    make_label(this, QStringLiteral("Get Stock Quotes from the Internet"), 120, 120, 4200, true);
    make_label(this, QStringLiteral("Stock Symbol:"), 120, 600, 1215);
    Symbol = new QLineEdit(this);
    Symbol->setObjectName(QStringLiteral("Symbol"));
    Symbol->setGeometry(twips_rect(1320, 570, 1095, 315));
    Symbol->installEventFilter(this);

    quote = new QPushButton(QStringLiteral("Get Quote"), this);
    quote->setObjectName(QStringLiteral("quote"));
    quote->setToolTip(QStringLiteral("Click to get quotes from the internet."));
    quote->setGeometry(twips_rect(2520, 540, 975, 375));
    quote->setFocusPolicy(Qt::TabFocus);
    connect(quote, &QPushButton::clicked, this, [this] { quote_Click(); });

    Close = new QPushButton(QStringLiteral("Close"), this);
    Close->setObjectName(QStringLiteral("Close"));
    Close->setToolTip(QStringLiteral("Click to Close Quotes Window."));
    Close->setGeometry(twips_rect(3600, 540, 855, 375));
    Close->setFocusPolicy(Qt::TabFocus);
    connect(Close, &QPushButton::clicked, this, [this] { Close_Click(); });

    make_label(this, QStringLiteral("Previous Stock Quotes:"), 120, 1140, 1935, true);
    make_label(this, QStringLiteral("(Quotes are delayed 20 minutes)"), 2100, 1140, 2640);

    for (int i = 0; i < kSlots; ++i) {
        stock[size_t(i)] = make_row_box(this, QStringLiteral("stock_%1").arg(i), kStockLeft, kStockWidth, i);
        Price[size_t(i)] = make_row_box(this, QStringLiteral("Price_%1").arg(i), kPriceLeft, kPriceWidth, i);
        Change[size_t(i)] = make_row_box(this, QStringLiteral("Change_%1").arg(i), kChangeLeft, kChangeWidth, i);
    }
}

void Quotes::Form_Load() {
    Core& c = core();
    // Every row looks like the first.
    for (auto* column : {&stock, &Price, &Change}) {
        QLineEdit* first = (*column)[0];
        for (QLineEdit* b : *column) {
            b->setFont(first->font());
            b->setPalette(first->palette());
        }
    }
    set_text_colour(Symbol, c.textcolor_value);
    quotes_changed = false;
    symbol_added = false;
    place_beside_frame(this);
    // Up before the list is read and fetched, so that a message about either stands over it.
    show();
    const MessageBoxOwner owner(this);
    load_quote_list_from_pref();
    if (!quote_list[0].symbol.isEmpty()) quote_Click();
    Symbol->setFocus();
}

void Quotes::quote_Click() {
    const MessageBoxOwner owner(this);
    const QString typed = trim_blanks(Symbol->text());
    if (!typed.isEmpty()) {
        add_symbol_to_list(typed);
        quotes_changed = true;
        symbol_added = true;
    }
    added_by_this_fetch_ = !typed.isEmpty();
    QStringList list;
    for (int i = 0; i <= last_quote_index; ++i) {
        const QString s = trim_blanks(quote_list[size_t(i)].symbol);
        if (!s.isEmpty()) list << s.toUpper();
    }
    if (!list.isEmpty()) show_quote_rows(fetch_quote_csv(list.join(u',')));
    Symbol->clear();
}

void Quotes::Close_Click() { shell().unload(QStringLiteral("Quotes")); }

void Quotes::closeEvent(QCloseEvent* event) {
    event->accept();
    if (shell().loaded_window(QStringLiteral("Quotes")) == this) shell().unload(QStringLiteral("Quotes"));
}

void Quotes::Form_Unload() {
    Core& c = core();
    if (quotes_changed) {
        update_quote_pref_string();
        c.save_preferences();
    }
    QWidget* title = shell().loaded_window(QStringLiteral("Title"));
    if (title && title->isVisible())
        if (EntryListScreen* list = shell().title()) list->last_known_focus();
}

bool Quotes::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Symbol) {
        switch (event->type()) {
        case QEvent::FocusIn: set_back_colour(Symbol, kYellow); break;
        case QEvent::FocusOut: set_back_colour(Symbol, kWhite); break;
        case QEvent::KeyRelease: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                quote_Click();
                Symbol->clear();
                return true;
            }
            break;
        }
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString Quotes::fetch_quote_csv(const QString& symbols) {
    const std::optional<QString> reply = get_quotes_once(core().platform().http, symbols);
    if (!reply) return QStringLiteral("QB Error:") + QStringLiteral("No reply from the quote service.");
    return *reply;
}

bool Quotes::parse_quote_string(QString& reply) {
    if (reply.isEmpty() || reply.contains(QStringLiteral("QB Error:"), Qt::CaseSensitive)) return false;
    bool found_any = false;
    for (int i = 0; i <= last_quote_index; ++i) {
        QuoteSlot& slot = quote_list[size_t(i)];
        const QString symbol = trim_blanks(slot.symbol).toUpper();
        if (symbol.isEmpty()) continue;
        // Each symbol keeps its own slot: one missing from the reply is not available.
        slot.price = QStringLiteral("N/A");
        slot.change = QStringLiteral("N/A");
        const QString key = u'"' + symbol + u'"';
        const qsizetype at = reply.indexOf(key, 0, Qt::CaseInsensitive);
        if (at < 0) continue;
        // Only the symbol's own line: a short line must not take the next symbol's fields.
        qsizetype end = reply.indexOf(u'\n', at);
        if (end < 0) end = reply.size();
        const QStringView line = QStringView(reply).first(end);
        const qsizetype c1 = line.indexOf(u',', at);
        if (c1 < 0) continue;
        found_any = true;
        slot.symbol = reply.mid(at + 1, key.size() - 2);
        const qsizetype c2 = line.indexOf(u',', c1 + 1);
        if (c2 < 0) continue;
        slot.price = line.mid(c1 + 1, c2 - c1 - 1).toString();
        const qsizetype c3 = line.indexOf(u',', c2 + 1);
        const qsizetype c4 = c3 < 0 ? -1 : line.indexOf(u',', c3 + 1);
        const qsizetype c5 = c4 < 0 ? -1 : line.indexOf(u',', c4 + 1);
        if (c5 < 0) {
            core().show_message(msg_error, QStringLiteral("Quote Parse error: ") +
                                               QStringLiteral("the reply ends inside the line of ") + symbol);
            return false;
        }
        const QString change = line.mid(c4 + 1, c5 - c4 - 1).toString();
        slot.change = (change.startsWith(u'-') || change.startsWith(u'+')) ? change : QStringLiteral("0.0");
    }
    // A reply without any of the symbols (an error page) is no quote at all.
    return found_any;
}

// The boxes keep what they show until the reply is read, and hold the new values before
// any message about it comes up: a box in front must not leave the rows blank behind it.
void Quotes::show_quote_rows(QString reply) {
    if (parse_quote_string(reply)) {
        show_rows();
        if (check_newest_symbol_valid()) show_rows();
        return;
    }
    QString shown = reply;
    if (shown.size() > kReplyShownInMessage) shown = shown.left(kReplyShownInMessage) + QStringLiteral("...");
    core().show_message(msg_error, kFetchFailed + shown);
    // Only a symbol added with this request goes: one added earlier, and shown with its
    // quote then, stays when a later request fails.
    if (symbol_added && added_by_this_fetch_) remove_newest_symbol();
    for (int i = 0; i < kSlots; ++i) {
        const QuoteSlot& slot = quote_list[size_t(i)];
        QLineEdit* boxes[3] = {stock[size_t(i)], Price[size_t(i)], Change[size_t(i)]};
        if (slot.symbol.isEmpty()) {
            for (QLineEdit* b : boxes) b->clear();
            continue;
        }
        stock[size_t(i)]->setText(slot.symbol);
        Price[size_t(i)]->setText(QStringLiteral("N/A"));
        Change[size_t(i)]->setText(QStringLiteral("N/A"));
        set_text_colour(Change[size_t(i)], kChangeBlue);
        for (QLineEdit* b : boxes) b->setVisible(true);
    }
}

void Quotes::show_rows() {
    for (int i = 0; i < kSlots; ++i) {
        const QuoteSlot& slot = quote_list[size_t(i)];
        QLineEdit* boxes[3] = {stock[size_t(i)], Price[size_t(i)], Change[size_t(i)]};
        if (slot.symbol.isEmpty()) {
            for (QLineEdit* b : boxes) {
                b->clear();
                b->setVisible(false);
            }
            continue;
        }
        stock[size_t(i)]->setText(slot.symbol);
        Price[size_t(i)]->setText(slot.price);
        Change[size_t(i)]->setText(slot.change);
        for (QLineEdit* b : boxes) b->setVisible(true);
        uint32_t colour = kChangeBlue;
        if (slot.change.startsWith(u'+')) colour = kChangeGreen;
        else if (slot.change.startsWith(u'-')) colour = kChangeRed;
        set_text_colour(Change[size_t(i)], colour);
    }
}

bool Quotes::check_newest_symbol_valid() {
    QuoteSlot& newest = quote_list[0];
    if (numeric_value(trim_blanks(newest.price)) > 0) return false;
    core().show_message(msg_error, QStringLiteral("Invalid Stock Symbol: ") + trim_blanks(newest.symbol));
    remove_newest_symbol();
    return true;
}

void Quotes::add_symbol_to_list(const QString& symbol) {
    if (quote_list[0].symbol.isEmpty()) {
        quote_list[0].symbol = symbol;
        last_quote_index = 0;
        return;
    }
    for (int j = last_quote_index; j >= 0; --j)
        if (j + 1 < kSlots) quote_list[size_t(j + 1)] = quote_list[size_t(j)];
    quote_list[0].symbol = symbol;
    last_quote_index = int16_t(std::min(last_quote_index + 1, kSlots - 1));
}

void Quotes::remove_newest_symbol() {
    if (last_quote_index == 0) {
        quote_list[0] = QuoteSlot();
        return;
    }
    for (int j = 1; j <= last_quote_index; ++j) quote_list[size_t(j - 1)] = quote_list[size_t(j)];
    quote_list[size_t(last_quote_index)] = QuoteSlot();
    last_quote_index = int16_t(std::max(last_quote_index - 1, 0));
}

void Quotes::load_quote_list_from_pref() {
    Core& c = core();
    for (QuoteSlot& slot : quote_list) slot = QuoteSlot();
    last_quote_index = 0;
    const QString count_text = trim_blanks(get_tag(QStringLiteral("numquotes"), c.quotes));
    int n = 0;
    if (!count_text.isEmpty()) {
        bool ok = false;
        const double v = count_text.toDouble(&ok);
        if (!ok) {
            c.show_message(msg_error, QStringLiteral("Internal Problem, please contact Quorbelix. Error: ") +
                                          QStringLiteral("the number of quotes is not a number: ") + count_text);
            return;
        }
        n = int(std::min(std::lround(v), long(kSlots)));
    }
    for (int i = 1; i <= n; ++i)
        quote_list[size_t(i - 1)].symbol =
            trim_blanks(get_tag(QStringLiteral("quote%1").arg(i), c.quotes)).toUpper();
    last_quote_index = int16_t(std::max(n - 1, 0));
}

void Quotes::update_quote_pref_string() {
    const int n = last_quote_index + 1;
    if (quote_list[0].symbol.isEmpty() && n == 1) {
        core().quotes.clear();
        return;
    }
    QString text = make_tag(QStringLiteral("numquotes"), QString::number(n));
    for (int i = 1; i <= n; ++i)
        text += make_tag(QStringLiteral("quote%1").arg(i), trim_blanks(quote_list[size_t(i - 1)].symbol));
    core().quotes = text;
}

} // namespace qb
