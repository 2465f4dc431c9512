// The news reader's window, its symbol labels and the fetch of one symbol's headlines.
#include "market/news.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/market_fetch.h"
#include "core/text_helpers.h"
#include "market/news_layout.h"
#include "platform/window_helpers.h"
#include "shell/mdimain.h"
#include "shell/user_update.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace qb {

using namespace news_layout;

namespace {
const QString kNewsUnavailable = QStringLiteral("Quorbelix News Reader: Unable to Retreive News");
const QString kNewsFor = QStringLiteral("News Reader: Yahoo! News for: ");
} // namespace

News::News(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("News"));
    setWindowTitle(QStringLiteral("Stock News"));
    setFixedSize(twips_to_px(kWidth), twips_to_px(kHeight));
    build_controls(*this);
    connect(getnews, &QPushButton::clicked, this, [this] { getnews_Click(); });
    for (int r = 0; r < kRows; ++r)
        connect(save_button[size_t(r)], &QPushButton::clicked, this, [this, r] { save_button_Click(r); });
    // Dragging the bar's thumb acts as a change.
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
}

News::~News() = default;

QString News::symb_label_tag(int i) const { return symb_label[size_t(i)]->property("qb_tag").toString(); }

void News::Form_Load() {
    Core& c = core();
    labels_built = false;
    fetch_busy = false;
    handoff_pending = false;
    Symbol->setText(trim_blanks(c.current_entry.entry.symbol));
    clear_rows();
    for (int r = 0; r < kRows; ++r) {
        title_box[size_t(r)]->setToolTip(QStringLiteral("Click to View Full Article"));
        save_button[size_t(r)]->setToolTip(QStringLiteral("Click to Save Full Article"));
        // Every row lines up with the first.
        for (QWidget* w : std::initializer_list<QWidget*>{title_box[size_t(r)], desc_textbox[size_t(r)], save_button[size_t(r)]}) {
            const QWidget* first = w == title_box[size_t(r)]      ? static_cast<QWidget*>(title_box[0])
                                   : w == desc_textbox[size_t(r)] ? static_cast<QWidget*>(desc_textbox[0])
                                                                  : static_cast<QWidget*>(save_button[0]);
            w->setGeometry(first->x(), w->y(), first->width(), w->height());
        }
    }
    for (QLabel* l : symb_label) {
        l->hide();
        l->setToolTip(QStringLiteral("Click to Get News for this Stock"));
    }
    desc_line_width = px_to_twips(desc_textbox[0]->width());
    rows_bottom = kScrollTop + kScrollHeight - 100;
    filling_ = true;
    VScroll1->setMinimum(0);
    VScroll1->setMaximum(kNewsSlots - 1);
    VScroll1->setSingleStep(1);
    VScroll1->setPageStep(3);
    VScroll1->setValue(0);
    filling_ = false;
    // A wheel turn over the window or a description moves the headlines by one.
    if (!wheel_) {
        wheel_ = new WheelFilter(this, [this](int step) { wheel_move_slider(VScroll1, step, VScroll1->maximum()); });
        installEventFilter(wheel_);
        for (QPlainTextEdit* d : desc_textbox) wheel_->install_on(d);
    }
    place_beside_frame(this);
    Symbol->setFocus();
}

void News::Form_Unload() {
    if (wheel_) {
        removeEventFilter(wheel_);
        delete wheel_;
        wheel_ = nullptr;
    }
    QWidget* title = shell().loaded_window(QStringLiteral("Title"));
    if (title && title->isVisible())
        if (EntryListScreen* list = shell().title()) list->last_known_focus();
}

void News::closeEvent(QCloseEvent* event) {
    event->accept();
    if (shell().loaded_window(QStringLiteral("News")) == this) shell().unload(QStringLiteral("News"));
}

void News::after_loaded_do() {
    if (labels_built) return;
    build_symbol_labels();
    symb_label_Click(0);
    labels_built = true;
}

void News::build_symbol_labels() {
    const Core& c = core();
    symb_label[0]->setText(Symbol->text());
    symb_label[0]->setProperty("qb_tag", trim_blanks(c.current_entry.entry.security));
    symb_label[0]->show();
    int next = symb_label[0]->text().isEmpty() ? 0 : 1;
    for (int32_t i = c.maxSummarydata_index(); i >= 0 && next < kLabels; --i) {
        const SummaryEntry& e = c.SummaryData[i];
        if (e.Inuse != kTrue || e.deleted != 0) continue;
        const QString symbol = trim_blanks(e.symbol);
        if (symbol.isEmpty()) continue;
        bool listed = false;
        for (int k = 0; k < next && !listed; ++k) listed = symb_label[size_t(k)]->text() == symbol;
        if (listed) continue;
        symb_label[size_t(next)]->setText(symbol);
        symb_label[size_t(next)]->setProperty("qb_tag", trim_blanks(e.security));
        symb_label[size_t(next)]->show();
        ++next;
    }
    const int right_limit = kSymbolBoxLeft + kSymbolBoxWidth - 50;
    int left = kLabelLeft;
    for (int i = 0; i < kLabels; ++i) {
        QLabel* l = symb_label[size_t(i)];
        const int width = label_width(int(l->text().size()));
        if (i > 0) {
            QLabel* prev = symb_label[size_t(i - 1)];
            left = px_to_twips(prev->x()) + px_to_twips(prev->width()) + 105;
        }
        l->setGeometry(twips_to_px(left), twips_to_px(kLabelTop), twips_to_px(width), twips_to_px(kLabelHeight));
        if (left + width > right_limit) l->hide();
    }
}

void News::set_label_highlight(int i, bool highlighted) {
    QLabel* l = symb_label[size_t(i)];
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, color_from_ole(highlighted ? kLabelBlack : kLabelBlue));
    l->setPalette(p);
    QFont f = l->font();
    f.setUnderline(!highlighted);
    l->setFont(f);
    l->setProperty("qb_highlighted", highlighted);
}

void News::symb_label_Click(int Index) {
    if (fetch_busy || Index < 0 || Index >= kLabels) return;
    current_label = int16_t(Index);
    if (symb_label[size_t(Index)]->property("qb_highlighted").toBool()) return;
    for (int i = 0; i < kLabels; ++i) set_label_highlight(i, false);
    set_label_highlight(Index, true);
    Symbol->setText(symb_label[size_t(Index)]->text());
    security_name = symb_label_tag(Index);
    getnews_Click();
}

QString News::find_security_name(const QString& symbol) const {
    const Core& c = core();
    const QString wanted = trim_blanks(symbol);
    for (int32_t i = c.maxSummarydata_index(); i >= 0; --i) {
        const SummaryEntry& e = c.SummaryData[i];
        if (e.Inuse == kTrue && e.deleted == 0 && trim_blanks(e.symbol).compare(wanted, Qt::CaseInsensitive) == 0)
            return trim_blanks(e.security);
    }
    return QString();
}

void News::getnews_Click() {
    if (fetch_busy) return;
    fetch_busy = true;
    const QString symbol = trim_blanks(Symbol->text());
    if (!symbol.isEmpty()) {
        Shell& s = shell();
        setWindowTitle(QStringLiteral("Please Wait, we are Getting News for: ") + Symbol->text());
        if (UserUpdate* wait = s.user_update()) wait->set_message(QStringLiteral("Getting News From the Internet"), 2);
        const QString reply = get_stock_news(symbol);
        if (reply.isEmpty()) {
            setWindowTitle(kNewsUnavailable);
            clear_rows();
        } else {
            add_news_space();
            if (!parse_news(reply)) {
                setWindowTitle(kNewsUnavailable);
                clear_rows();
            } else {
                filling_ = true;
                VScroll1->setValue(0);
                filling_ = false;
                first_item_shown = 0;
                update_screen();
                if (symbol.compare(symb_label[size_t(current_label)]->text(), Qt::CaseInsensitive) != 0) {
                    set_label_highlight(current_label, false);
                    security_name = find_security_name(symbol);
                }
                if (security_name.isEmpty())
                    setWindowTitle(kNewsFor + Symbol->text().toUpper());
                else
                    setWindowTitle(kNewsFor + security_name + QStringLiteral(" (") + Symbol->text().toUpper() + u')');
                set_quote_text();
            }
        }
        if (QWidget* wait = s.loaded_window(QStringLiteral("UserUpdate"))) wait->hide();
    }
    fetch_busy = false;
}

// The symbol box names the symbol asked for: the headlines and the quote of the one
// before must not stay under it when its news could not be had.
void News::clear_rows() {
    clear_old_news();
    for (int r = 0; r < kRows; ++r) {
        title_box[size_t(r)]->clear();
        title_box[size_t(r)]->setProperty("qb_tag", QString());
        title_box[size_t(r)]->hide();
        desc_textbox[size_t(r)]->clear();
        desc_textbox[size_t(r)]->hide();
        save_button[size_t(r)]->hide();
    }
    first_item_shown = 0;
    filling_ = true;
    VScroll1->setValue(0);
    VScroll1->setMaximum(0);
    filling_ = false;
    quote_label->clear();
    last_price.clear();
}

void News::set_quote_text() {
    const QString symbol = trim_blanks(Symbol->text());
    if (symbol.isEmpty()) {
        quote_label->clear();
        return;
    }
    const QString reply = get_one_quote(symbol);
    QString price, change;
    if (parse_quote_csv(symbol, reply, price, change)) {
        QPalette p = quote_label->palette();
        p.setColor(QPalette::WindowText, color_from_ole(numeric_value(change) < 0 ? kQuoteRed : kQuoteGreen));
        quote_label->setPalette(p);
        quote_label->setText(price + QStringLiteral("  ") + change);
        last_price = price;
    } else {
        quote_label->clear();
        last_price.clear();
    }
}

bool News::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Symbol) {
        if (event->type() == QEvent::FocusIn) set_box_colour(Symbol, kYellow);
        else if (event->type() == QEvent::FocusOut) set_box_colour(Symbol, kWhite);
        else if (event->type() == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                getnews_Click();
                return true;
            }
        }
        return QWidget::eventFilter(watched, event);
    }
    const QVariant label = watched->property("qb_label");
    if (label.isValid() && event->type() == QEvent::MouseButtonPress) {
        symb_label_Click(label.toInt());
        return true;
    }
    const QVariant title_row = watched->property("qb_title_row");
    if (title_row.isValid()) {
        if (event->type() == QEvent::MouseButtonPress) {
            title_box_Click(title_row.toInt());
        } else if (event->type() == QEvent::FocusOut) {
            set_box_colour(title_box[size_t(title_row.toInt())], kWhite);
        }
    }
    const QVariant save_row_of = watched->property("qb_save_row");
    if (save_row_of.isValid() && event->type() == QEvent::FocusOut)
        set_box_colour(title_box[size_t(save_row_of.toInt())], kWhite);
    return QWidget::eventFilter(watched, event);
}

} // namespace qb
