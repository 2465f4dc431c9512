// The news reader's headline rows: drawing, scrolling, opening an article and handing
// one to a new web page entry.
#include "market/news.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/text_helpers.h"
#include "market/news_layout.h"
#include "platform/window_helpers.h"
#include "shell/command.h"
#include "shell/user_update.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QUrl>

namespace qb {

using namespace news_layout;

namespace {
const QString kNotOpened = QStringLiteral("The article's address is not a web address and was not used: ");
}

// ---- the parser, on this window's record ----

QString News::xml_find_text_from_tag(const QString& tag, const QString& text, qsizetype start) const {
    return qb::xml_find_text_from_tag(tag, text, start);
}
// The window holds one record; every fetch refills it.
void News::add_news_space() {}
void News::add_space_for_one_item() { qb::add_space_for_one_item(parse_state); }
bool News::parse_one_item(const QString& item_text) { return qb::parse_one_item(parse_state, item_text); }
void News::clear_old_news() { qb::clear_old_news(parse_state); }
bool News::parse_news(const QString& feed_text) { return qb::parse_news(parse_state, feed_text, Symbol->text()); }

// ---- rows ----

void News::paint_save_button(int row, bool saved) {
    QPushButton* b = save_button[size_t(row)];
    b->setText(saved ? QStringLiteral("Saved") : QStringLiteral("Save"));
    QPalette p = b->palette();
    p.setColor(QPalette::Button, color_from_ole(saved ? kSavedGreen : kSaveGrey));
    b->setPalette(p);
}

void News::update_screen() {
    for (int r = 0; r < kRows; ++r) {
        title_box[size_t(r)]->hide();
        desc_textbox[size_t(r)]->hide();
        save_button[size_t(r)]->hide();
    }
    first_item_shown = int16_t(std::clamp<int>(first_item_shown, 0, kNewsSlots - 1));
    // Items whose slot the next item took are counted but not shown.
    const int shown = std::min<int>(news_record.item_count, parse_state.filled_slots());
    filling_ = true;
    VScroll1->setMaximum(std::max(shown - 1, 0));
    filling_ = false;

    const QFont desc_font = desc_textbox[0]->font();
    const QFontMetrics title_metrics(title_box[0]->font());
    int top = kRowTop;
    for (int r = 0, i = first_item_shown; r < kRows && i < kNewsSlots && i < shown; ++r, ++i) {
        const NewsItem& item = news_record.items[size_t(i)];
        QLabel* title = title_box[size_t(r)];
        QPlainTextEdit* desc = desc_textbox[size_t(r)];
        QPushButton* save = save_button[size_t(r)];
        title->setText(item.title);
        title->setProperty("qb_tag", item.link);
        desc->setPlainText(item.description);
        save->setProperty("qb_tag", QString::number(i));
        paint_save_button(r, item.saved != 0);

        const int lines = std::min(count_text_lines(item.description, desc_line_width, desc_font.family(), desc_font.bold()),
                                   kMaxDescriptionLines);
        const int h = lines * kLineTwips;
        // A long headline wraps: its box grows by the lines it takes, as the box itself
        // breaks the text, five at most.
        const int one_line_px = title_metrics.height();
        const int text_px = std::min(
            title_metrics.boundingRect(QRect(0, 0, title->width(), 1 << 20), Qt::TextWordWrap, item.title).height(),
            HeadlineBox::kMaxLines * one_line_px);
        const int title_h = kTitleHeight + std::max(0, px_to_twips(text_px - one_line_px));
        if (top + title_h - kTitleHeight + h > rows_bottom) break;
        save->move(save->x(), twips_to_px(top));
        title->setGeometry(title->x(), twips_to_px(top), title->width(), twips_to_px(title_h));
        save->show();
        title->show();
        const int desc_top = top + px_to_twips(title->height());
        desc->setGeometry(desc->x(), twips_to_px(desc_top), desc->width(), twips_to_px(h));
        if (!desc->toPlainText().isEmpty()) {
            desc->show();
            top = desc_top + h + 120;
        } else {
            top = top + px_to_twips(title->height()) + 120;
        }
    }
}

void News::VScroll1_Change() {
    if (filling_ || !isVisible()) return;
    const int v = VScroll1->value();
    if (v >= 0 && v <= news_record.item_count - 1) {
        first_item_shown = int16_t(v);
    } else {
        first_item_shown = 0;
        filling_ = true;
        VScroll1->setValue(0);
        filling_ = false;
    }
    update_screen();
    Symbol->setFocus();
}

bool News::is_web_address(const QString& link) const {
    const QUrl url(link, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

void News::title_box_Click(int Index) {
    const QString link = trim_blanks(title_box[size_t(Index)]->property("qb_tag").toString());
    if (link.isEmpty()) return;
    // Feeds are written by others: only web addresses go to the desktop.
    if (!is_web_address(link)) {
        core().show_message(msg_warning, kNotOpened + link);
        return;
    }
    QString address = link;
    core().shell_open_url(address);
}

// ---- keeping an article as a web page entry ----

void News::save_button_Click(int Index) {
    Shell& s = shell();
    QPushButton* button = save_button[size_t(Index)];
    if (button->text() == QStringLiteral("Saved") || handoff_pending) return;
    if (s.is_form_loaded(QStringLiteral("SaveWebPage")))
        if (auto* editor = s.window_as<WebPageEditorScreen>(QStringLiteral("SaveWebPage")); editor && !editor->new_save_allowed())
            return;
    const QString link = trim_blanks(title_box[size_t(Index)]->property("qb_tag").toString());
    if (!link.isEmpty() && !is_web_address(link)) {
        core().show_message(msg_warning, kNotOpened + link);
        return;
    }
    save_row = int16_t(Index);
    const int item = int(numeric_value(trim_blanks(button->property("qb_tag").toString())));
    const bool item_ok = item >= 0 && item < kNewsSlots && item <= news_record.item_count;
    if (item_ok) news_record.items[size_t(item)].saved = kTrue;
    if (UserUpdate* wait = s.user_update()) wait->set_message(QStringLiteral("Please Wait. News Article being Loaded"), 2);
    handoff_pending = true;
    s.command()->Image_action_Click(button_web_page);
    // The editor took the article while it started its new entry; when the switch was
    // refused nothing was handed over, and nothing may stay marked or waiting.
    if (handoff_pending) {
        handoff_pending = false;
        if (item_ok) news_record.items[size_t(item)].saved = 0;
        paint_save_button(Index, false);
        if (QWidget* wait = s.loaded_window(QStringLiteral("UserUpdate"))) wait->hide();
    }
}

void News::send_data_to_savewebpage() {
    if (!handoff_pending) return;
    const int row = save_row;
    paint_save_button(row, true);
    QString name = security_name;
    QString symbol = trim_blanks(Symbol->text());
    QString price = last_price;
    QString address = trim_blanks(title_box[size_t(row)]->property("qb_tag").toString());
    QString title = trim_blanks(title_box[size_t(row)]->text());
    handoff_pending = false;
    if (auto* editor = shell().window_as<WebPageEditorScreen>(QStringLiteral("SaveWebPage")))
        editor->got_data_from_news(name, symbol, price, address, title);
}

} // namespace qb
