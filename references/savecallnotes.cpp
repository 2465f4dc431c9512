#include "references/savecallnotes.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/date_text.h"
#include "core/ole_date.h"
#include "references/editor_fields.h"
#include "references/entry_save.h"
#include "references/security_fields.h"
#include "shell/command.h"
#include "shell/mdimain.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <exception>

namespace qb {
namespace {

constexpr int kNotesTop = 2700;
constexpr int kNotesHeight = 3720;
constexpr int kNotesWidth = 9720;
constexpr int kNotesMinHeight = 100;

// The date of a call as typed: the short form or ISO, alone or followed by a time of day.
QDate call_date(const QString& input) {
    const QString text = trim_blanks(input);
    QDate d = parse_date_text(text);
    if (d.isValid()) return d;
    static const QRegularExpression with_time(
        QStringLiteral("^(\\S+)\\s+\\d{1,2}:\\d{2}(:\\d{2})?(\\s*([AaPp][Mm]?))?$"));
    const auto m = with_time.match(text);
    return m.hasMatch() ? parse_date_text(m.captured(1)) : QDate();
}

} // namespace

SaveCallNotes::SaveCallNotes(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SaveCallNotes"));
    setAutoFillBackground(true);
    setWindowTitle(QStringLiteral("Conference Call Notes"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    setFont(font);

    auto label = [this](const char* name, const QString& text, QRect place) { return add_label(this, name, text, place); };
    auto box = [this](const char* name, const char* tip, QRect place) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        if (tip) e->setToolTip(QString::fromLatin1(tip));
        e->setGeometry(place);
        return e;
    };

    Title_label = label("Title_label", QStringLiteral("Notes from Company Conference Call with Investors"),
                        twips_rect(120, 120, 9000, 375));
    Title_label->setFont(heading_font(font));

    fields_ = new EditorFields(this);
    security_ = new SecurityFields(this, fields_, QStringLiteral("Security Price:"), [this] { add_or_edit_ongoing = true; });
    security_->expose(Label2, security_name, Label7, symbol_textbox, Label1, security_price, quote, quote_label);
    Label2->setGeometry(twips_rect(120, 600, 1500, 255));
    security_name->setGeometry(twips_rect(1680, 600, 3000, 285));
    Label7->setGeometry(twips_rect(120, 960, 1500, 255));
    symbol_textbox->setGeometry(twips_rect(1680, 960, 1095, 285));
    quote->setGeometry(twips_rect(2880, 960, 975, 285));
    quote_label->setGeometry(twips_rect(3960, 960, 2400, 255));

    Label3 = label("Label3", QStringLiteral("Date of Call:"), twips_rect(120, 1320, 1500, 255));
    Date_textbox = box("Date_textbox", "Type in the date the Conference Call took place", twips_rect(1680, 1320, 1335, 285));
    Label1->setGeometry(twips_rect(120, 1680, 1500, 255));
    security_price->setGeometry(twips_rect(1680, 1680, 1095, 285));
    Label4 = label("Label4", QStringLiteral("Subject or Topic of Call:"), twips_rect(120, 2040, 2040, 255));
    topic_textbox = box("topic_textbox",
                        "Type in an accurate description for this call. This field will be displayed in your Summary "
                        "Data.",
                        twips_rect(2160, 2040, 7680, 285));
    Label5 = label("Label5", QStringLiteral("Notes from the Call:"), twips_rect(120, 2400, 3000, 255));
    Other_textbox = new QPlainTextEdit(this);
    Other_textbox->setObjectName(QStringLiteral("Other_textbox"));
    Other_textbox->setGeometry(twips_rect(120, kNotesTop, kNotesWidth, kNotesHeight));
    Other_textbox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    fields_->set_next(security_name, symbol_textbox);
    fields_->set_next(symbol_textbox, Date_textbox);
    fields_->add(Date_textbox, security_price);
    fields_->set_next(security_price, topic_textbox);
    fields_->add(topic_textbox, Other_textbox);
    fields_->add(Other_textbox);
    QWidget::setTabOrder(security_name, symbol_textbox);
    QWidget::setTabOrder(symbol_textbox, quote);
    QWidget::setTabOrder(quote, Date_textbox);
    QWidget::setTabOrder(Date_textbox, security_price);
    QWidget::setTabOrder(security_price, topic_textbox);
    QWidget::setTabOrder(topic_textbox, Other_textbox);

    connect(Date_textbox, &QLineEdit::textChanged, this, [this] { add_or_edit_ongoing = true; });
    connect(topic_textbox, &QLineEdit::textChanged, this, [this] { add_or_edit_ongoing = true; });
    connect(Other_textbox, &QPlainTextEdit::textChanged, this, [this] { add_or_edit_ongoing = true; });
}

void SaveCallNotes::Form_Load() {
    MDIMain* mdi = shell().mdi();
    margins_.load(this, kDesignWidth);
    update_foreground_color();
    notes_height_margin = mdi->MDI_height_original - kNotesHeight;
}

void SaveCallNotes::update_foreground_color() {
    const uint32_t colour = core().textcolor_value;
    security_->update_foreground_color(colour);
    for (QWidget* w : {static_cast<QWidget*>(Date_textbox), static_cast<QWidget*>(topic_textbox),
                       static_cast<QWidget*>(Other_textbox)})
        paint_text(w, colour);
}

void SaveCallNotes::handle_resize() {
    MDIMain* mdi = shell().mdi();
    const int h = mdi->height_twips();
    margins_.fit(this);
    const int notes_h = std::max(h - notes_height_margin, kNotesMinHeight);
    Other_textbox->resize(Other_textbox->width(), twips_to_px(notes_h));
}

QString SaveCallNotes::notes_text() const { return crlf_text(Other_textbox); }

void SaveCallNotes::set_current_savecallnotes(int16_t mode) {
    Core& c = core();
    SummaryEntry& e = c.current_entry.entry;
    if (mode == 0) {
        e.entry_date = ole_from_date(editor_today());
        Date_textbox->setText(trim_blanks(short_date_text(editor_today())));
        security_->show_new(e);
        Other_textbox->clear();
        topic_textbox->clear();
    } else {
        Date_textbox->setText(trim_blanks(general_date_text(e.entry_date)));
        security_->show_existing(e);
        show_crlf_text(Other_textbox, e.other.text);
        topic_textbox->setText(e.web.reference_name);
    }
    handle_resize();
    add_or_edit_ongoing = false;
}

void SaveCallNotes::validate_current_data(QString& message, bool& valid) {
    security_->check_name_and_symbol_length(message, valid);
    if (topic_textbox->text().size() > kTopicLimit) {
        message += QStringLiteral("Topic name is too long.");
        valid = false;
    }
    if (notes_text().size() > kNotesLimit) {
        message += QStringLiteral("Call Notes field is too long..use a text editor and Attach the file");
        valid = false;
    }
    security_->check_price(message, valid);
    security_->check_name_present(message, valid);
    if (!call_date(Date_textbox->text()).isValid()) {
        message += QStringLiteral("Date is Invalid. ");
        valid = false;
    }
}

void SaveCallNotes::save_data_and_continue(bool& continue_flag) {
    continue_flag = true;
    if (!add_or_edit_ongoing) return;
    const auto validate = [this](QString& message, bool& valid) { validate_current_data(message, valid); };
    if (!entry_valid_or_ask(validate, continue_flag, add_or_edit_ongoing)) return;
    // A save that failed was reported by the entries file; the user stays with the data.
    if (!save_call_notes_entry()) continue_flag = false;
}

bool SaveCallNotes::save_call_notes_entry() {
    Core& c = core();
    SummaryEntry& e = c.current_entry.entry;
    e.transaction = QStringLiteral("Call Notes");
    const QDate date = call_date(Date_textbox->text());
    e.entry_date = ole_from_date(date.isValid() ? date : editor_today());
    security_->store(e);
    e.web.present = kTrue;
    e.web.reference_name = topic_textbox->text();
    store_other_text(e, notes_text());
    e.Inuse = kTrue;
    e.deleted = kFalse;
    if (!store_reference_entry(screen_edit_call_notes)) return false;
    add_or_edit_ongoing = false;
    return true;
}

} // namespace qb
