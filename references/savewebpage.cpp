#include "references/savewebpage.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/ole_date.h"
#include "references/editor_fields.h"
#include "references/entry_save.h"
#include "references/page_capture.h"
#include "references/security_fields.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/user_update.h"

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QWebEngineView>

namespace qb {
namespace {

constexpr int kPaneTop = 1920;
constexpr int kPaneHeight = 4560;
constexpr int kPaneWidth = 9720;
constexpr int kPaneFloor = 500;

const QString kNewNameTip = QStringLiteral("A unique name (per security name) used to reference the web page from your PC");
const QString kNewAddressTip =
    QStringLiteral("Type or Paste in the web address that contains the news article you wish to save.");
const QString kStoreWithoutPage = QStringLiteral(
    "Web Page could not be loaded, so it was NOT Saved to your PC.\r\nWould you like to save this entry without the Web Page?");

} // namespace

QString SaveWebPage::start_page = QStringLiteral("http://www.quorbelix.com/webpage/start.htm");

SaveWebPage::SaveWebPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SaveWebPage"));
    setAutoFillBackground(true);
    setWindowTitle(QStringLiteral("Save Web Page"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    build_controls();
}

SaveWebPage::~SaveWebPage() = default;

void SaveWebPage::build_controls() {
    auto label = [this](const char* name, const QString& text, QRect place) { return add_label(this, name, text, place); };
    auto box = [this](const char* name, QRect place) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(place);
        return e;
    };

    fields_ = new EditorFields(this);
    security_ = new SecurityFields(this, fields_, QStringLiteral("Price:"), [this] { add_or_edit_ongoing = true; });
    security_->expose(Label2, security_name, Label7, symbol_textbox, Label1, security_price, quote, quote_label);
    Label2->setGeometry(twips_rect(120, 120, 1400, 255));
    security_name->setGeometry(twips_rect(1560, 120, 2880, 285));
    Label7->setGeometry(twips_rect(4560, 120, 800, 255));
    symbol_textbox->setGeometry(twips_rect(5400, 120, 1095, 285));
    quote->setGeometry(twips_rect(6600, 120, 975, 285));
    quote_label->setGeometry(twips_rect(7680, 120, 2200, 255));
    Label1->setGeometry(twips_rect(120, 480, 1400, 255));
    security_price->setGeometry(twips_rect(1560, 480, 1095, 285));

    Label3 = label("Label3", QStringLiteral("Web Address:"), twips_rect(120, 840, 1400, 255));
    Web_address = box("Web_address", twips_rect(1560, 840, 8280, 285));
    Web_address->setToolTip(kNewAddressTip);
    Label4 = label("Label4", QStringLiteral("Your Reference name for this page:"), twips_rect(120, 1200, 2880, 255));
    Your_reference_name = box("Your_reference_name", twips_rect(3000, 1200, 6840, 285));
    Label5 = label("Label5", QStringLiteral("Mini-Web Browser Window: (Please ensure Internet Connection is active)"),
                   twips_rect(120, 1620, 7000, 255));
    Back = new QToolButton(this);
    Back->setObjectName(QStringLiteral("Back"));
    Back->setArrowType(Qt::LeftArrow);
    Back->setToolTip(QStringLiteral("Go Back to the Previously displayed web page"));
    Back->setGeometry(twips_rect(8400, 1530, 435, 345));
    forward = new QToolButton(this);
    forward->setObjectName(QStringLiteral("forward"));
    forward->setArrowType(Qt::RightArrow);
    forward->setToolTip(QStringLiteral("Go Forward to the next web page "));
    forward->setGeometry(twips_rect(8880, 1530, 435, 345));
    connect(Back, &QToolButton::clicked, this, [this] { Back_Click(); });
    connect(forward, &QToolButton::clicked, this, [this] { Forward_Click(); });

    create_pane();
    WebBrowser1->setGeometry(twips_rect(120, kPaneTop, kPaneWidth, kPaneHeight));
    Printeronly = label("Printeronly", QStringLiteral("Note - Web Page will be Printed on next Page"),
                        twips_rect(120, kPaneTop + kPaneHeight, 6000, 255));
    Printeronly->hide();

    fields_->set_next(security_name, security_price);
    fields_->set_next(symbol_textbox, security_price);
    fields_->set_next(security_price, Web_address);
    fields_->add(Web_address);
    fields_->on_lost_focus(Web_address, [this] { Web_address_LostFocus(); });
    fields_->add(Your_reference_name);
    Web_address->installEventFilter(this);
    connect(Your_reference_name, &QLineEdit::textChanged, this, [this] { add_or_edit_ongoing = true; });
    QWidget::setTabOrder(security_name, symbol_textbox);
    QWidget::setTabOrder(symbol_textbox, quote);
    QWidget::setTabOrder(quote, security_price);
    QWidget::setTabOrder(security_price, Web_address);
    QWidget::setTabOrder(Web_address, Your_reference_name);
}

void SaveWebPage::Form_Load() {
    Core& c = core();
    MDIMain* mdi = shell().mdi();
    update_foreground_color();
    web_save_ongoing = false;
    margins_.load(this, kDesignWidth);
    pane_height_margin = mdi->MDI_height_original - kPaneHeight;
    pane_width_margin = mdi->MDI_width_original - kPaneWidth;
    webdata_folder_path = c.program_folder() + u'/' + c.webdata_foldername + u'/';
    security_folder_path.clear();
}

void SaveWebPage::clear_add_or_edit_ongoing() {
    add_or_edit_ongoing = false;
    web_save_ongoing = false;  // stops a running capture at its next picture
}

void SaveWebPage::update_foreground_color() {
    const uint32_t colour = core().textcolor_value;
    security_->update_foreground_color(colour);
    paint_text(Web_address, colour);
    paint_text(Your_reference_name, colour);
}

void SaveWebPage::handle_resize() {
    MDIMain* mdi = shell().mdi();
    const int h = mdi->height_twips();
    const int w = mdi->width_twips();
    margins_.fit(this);
    QSize pane = WebBrowser1->size();
    if (h - pane_height_margin > kPaneFloor) pane.setHeight(twips_to_px(h - pane_height_margin));
    if (w - pane_width_margin > kPaneFloor) pane.setWidth(twips_to_px(w - pane_width_margin));
    WebBrowser1->resize(pane);
}

void SaveWebPage::set_address_font(bool placeholder) {
    QFont f = Web_address->font();
    f.setBold(true);
    f.setItalic(placeholder);
    Web_address->setFont(f);
}

void SaveWebPage::set_current_savewebpage(int16_t mode) {
    Core& c = core();
    SummaryEntry& e = c.current_entry.entry;
    WebBrowser1->setVisible(true);
    handle_resize();
    web_save_ongoing = false;
    captured_page_path_.clear();
    if (mode == 0) {
        navigate(start_page);
        security_folder_path.clear();
        e.entry_date = ole_from_date(editor_today());
        security_->show_new(e);
        Web_address->setText(link_placeholder);
        set_address_font(true);
        Your_reference_name->setText(trim_blanks(e.web.reference_name));
        Web_address->setReadOnly(false);
        address_locked_ = false;
        Your_reference_name->setReadOnly(false);
        Your_reference_name->setToolTip(kNewNameTip);
        Web_address->setToolTip(kNewAddressTip);
        add_or_edit_ongoing = false;
        Shell& s = shell();
        if (s.is_form_loaded(QStringLiteral("News")))
            if (auto* news = s.window_as<NewsHandOff>(QStringLiteral("News"))) news->send_data_to_savewebpage();
    } else {
        security_->show_existing(e);
        const QString address = trim_blanks(e.web.address);
        Web_address->setText(address);
        set_address_font(false);
        // The record keeps the address as it was stored; the page is found where it is now.
        navigate(kept_page_to_open(address, c.program_folder()));
        last_address = address;
        Your_reference_name->setText(trim_blanks(e.web.reference_name));
        Your_reference_name->setReadOnly(false);
        Your_reference_name->setToolTip(QStringLiteral("You may edit this field, but the Web Address will not be modified."));
        Web_address->setReadOnly(true);
        address_locked_ = true;
        Web_address->setToolTip(QStringLiteral("Field is not Changable during Edit"));
        add_or_edit_ongoing = false;
    }
}

bool SaveWebPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Web_address && (event->type() == QEvent::KeyPress)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        Web_address_key(key);
    }
    return QWidget::eventFilter(watched, event);
}

void SaveWebPage::Web_address_key(int key) {
    if (Web_address->isReadOnly()) return;
    if (Web_address->text() == link_placeholder) {
        Web_address->clear();
        set_address_font(false);
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return;
    const QString text = Web_address->text();
    if (text.size() >= 4) {
        navigate(text);
        last_address = trim_blanks(text);
        add_or_edit_ongoing = true;
        focus_if_visible(Your_reference_name);
    } else {
        core().show_message(msg_warning, QStringLiteral("Please enter a valid web address."));
    }
}

void SaveWebPage::Web_address_LostFocus() {
    const QString text = Web_address->text();
    if (text != link_placeholder && text.size() > 3 && trim_blanks(text) != last_address) {
        last_address = trim_blanks(text);
        add_or_edit_ongoing = true;
    }
}

void SaveWebPage::validate_current_data(QString& message, bool& valid) {
    auto fail = [&](const QString& text) {
        message += text;
        valid = false;
    };
    QString name = security_name->text();
    security_name->setText(trim_blanks(remove_invalid_filename_char(name)));
    security_->check_name_and_symbol_length(message, valid);
    const QString reference = trim_blanks(Your_reference_name->text());
    if (Your_reference_name->text().size() > kReferenceNameLimit) fail(QStringLiteral("Your Reference Name is too long"));
    // The path that is written must fit the record's address field.
    if (core().current_entry.mode == mode_new &&
        planned_page_folder().size() + reference.size() + 4 > kAddressLimit)
        fail(QStringLiteral("Web Address + Reference Name is too long. Decrease size of Refererence Name"));
    if (!reference.isEmpty()) {
        QString cleaned = Your_reference_name->text();
        remove_invalid_filename_char(cleaned);
        if (cleaned != Your_reference_name->text()) Your_reference_name->setText(cleaned);
    }
    security_->check_price(message, valid);
    security_->check_name_present(message, valid);
    if (!valid) return;
    if (!Your_reference_name->text().isEmpty()) {
        if (!reference_name_available())
            fail(QStringLiteral("Invalid Reference name. Must be unique (can't use same name twice)"));
    } else {
        fail(QStringLiteral("Reference Name must be filled in. "));
    }
}

void SaveWebPage::save_data_and_continue(bool& continue_flag) {
    continue_flag = true;
    if (web_save_ongoing) {
        continue_flag = false;
        return;
    }
    if (!add_or_edit_ongoing) return;
    const auto validate = [this](QString& message, bool& valid) { validate_current_data(message, valid); };
    if (!entry_valid_or_ask(validate, continue_flag, add_or_edit_ongoing)) return;
    bool stopped = false;
    // Not stored (refused, failed or stopped by Cancel): the screen stays as it is.
    if (!save_web_page_entry(stopped)) continue_flag = false;
}

bool SaveWebPage::save_web_page_entry(bool& stopped) {
    Core& c = core();
    QPointer<SaveWebPage> self(this);
    web_save_ongoing = true;
    const bool is_new = c.current_entry.mode == mode_new;
    if (is_new && !trim_blanks(Web_address->text()).toLower().startsWith(QStringLiteral("file")) &&
        Web_address->text() != captured_page_path_) {
        shell().user_update()->set_message(QStringLiteral("Please Wait. Web Page being Saved."), 0);
        const Capture result = save_web_page_to_disk();
        if (!self) return false;
        // A page that cannot be loaded is not kept; the entry may be kept without it.
        if (result == Capture::refused) {
            const bool without_page = core().ask_user(kStyleStop, kStoreWithoutPage) == kAnswerYes;
            if (!self) return false;
            if (!without_page) {
                web_save_ongoing = false;
                hide_wait_window();
                return false;
            }
        }
    }
    bool stored = false;
    if (add_or_edit_ongoing && web_save_ongoing) {
        SummaryEntry& e = c.current_entry.entry;
        e.transaction = QStringLiteral("Web Page");
        e.web.present = kTrue;
        if (is_new) e.web.address = trim_blanks(Web_address->text());
        e.web.reference_name = trim_blanks(Your_reference_name->text());
        security_->store(e);
        e.Inuse = kTrue;
        e.deleted = kFalse;
        stored = store_reference_entry(screen_edit_web_page);
        if (stored) {
            add_or_edit_ongoing = false;
            captured_page_path_.clear();
            Web_address->setReadOnly(true);
            address_locked_ = true;
        }
    } else {
        stopped = true;
    }
    web_save_ongoing = false;
    hide_wait_window();
    return stored;
}

void SaveWebPage::hide_wait_window() {
    if (QWidget* w = shell().loaded_window(QStringLiteral("UserUpdate"))) w->hide();
}

void SaveWebPage::got_data_from_news(QString& name, QString& symbol, QString& price, QString& address, QString& title) {
    QString n = name;
    security_name->setText(trim_blanks(remove_invalid_filename_char(n)));
    symbol_textbox->setText(trim_blanks(symbol));
    security_price->setText(trim_blanks(price));
    Web_address->setText(trim_blanks(address));
    set_address_font(false);

    QString cleaned = title.left(kTitleLimit);
    remove_invalid_filename_char(cleaned);
    cleaned = trim_blanks(cleaned);
    const QString folder = planned_page_folder();
    QString final_title = cleaned;
    for (int n = 1; QFile::exists(folder + final_title + QStringLiteral(".htm")); ++n)
        final_title = QString::number(n) + u'-' + cleaned;
    title = trim_blanks(final_title);
    Your_reference_name->setText(title);
    navigate(Web_address->text());
    last_address = trim_blanks(Web_address->text());
    add_or_edit_ongoing = true;
}

} // namespace qb
