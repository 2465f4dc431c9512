#include "references/savefilereference.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/ole_date.h"
#include "core/text_helpers.h"
#include "platform/window_helpers.h"
#include "references/editor_fields.h"
#include "references/entry_save.h"
#include "references/security_fields.h"
#include "shell/command.h"
#include "shell/mdimain.h"

#include <algorithm>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace qb {
namespace {

constexpr int kFrameTop = 3120;
constexpr int kFrameLeft = 120;

} // namespace

QString file_extension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot).toLower();
}

SaveFileReference::SaveFileReference(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SaveFileReference"));
    setAutoFillBackground(true);
    setWindowTitle(QStringLiteral("Save File Reference"));
    setAcceptDrops(true);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    setFont(font);
    build_controls();
    build_preview();
}

void SaveFileReference::build_controls() {
    auto label = [this](const char* name, const QString& text, QRect place) { return add_label(this, name, text, place); };
    QFont sans(QStringLiteral("MS Sans Serif"));
    sans.setPixelSize(11);
    auto box = [&](const char* name, const QString& tip, QRect place) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setToolTip(tip);
        e->setGeometry(place);
        e->setFont(sans);
        return e;
    };
    auto button = [this](const char* name, const QString& text, const QString& tip, QRect place) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setGeometry(place);
        return b;
    };

    Title_label = label("Title_label", QStringLiteral("Associate any File (Spreadsheets, Image, etc.) with a Security"),
                        twips_rect(120, 60, 9300, 375));
    Title_label->setFont(heading_font(font()));

    fields_ = new EditorFields(this);
    security_ = new SecurityFields(this, fields_, QStringLiteral("Price:"), [this] { add_or_edit_ongoing = true; });
    security_->expose(Label2, security_name, Label7, symbol_textbox, Label1, security_price, quote, quote_label);
    for (QLineEdit* e : {security_name, symbol_textbox, security_price}) e->setFont(sans);
    Label2->setGeometry(twips_rect(120, 540, 1500, 255));
    security_name->setGeometry(twips_rect(1680, 540, 2400, 285));
    Label7->setGeometry(twips_rect(4200, 540, 700, 255));
    symbol_textbox->setGeometry(twips_rect(4920, 540, 1095, 285));
    quote->setGeometry(twips_rect(6120, 540, 975, 285));
    quote_label->setGeometry(twips_rect(7200, 540, 2400, 255));
    Label1->setGeometry(twips_rect(120, 900, 1500, 255));
    security_price->setGeometry(twips_rect(1680, 900, 1095, 285));

    Label6 = label("Label6", QStringLiteral("Your Reference Name for File (optional):"), twips_rect(2880, 900, 3600, 255));
    refname = box("refname", QStringLiteral("This text will show up on the Summary Screen."), twips_rect(6480, 900, 3120, 285));
    Label4 = label("Label4", QStringLiteral("File Name"), twips_rect(120, 1260, 1500, 255));
    Short_file_name_textbox =
        box("Short_file_name_textbox",
            QStringLiteral("You can not directly change this field. Use the \"Select File to Attach\" to change the file name."),
            twips_rect(1680, 1260, 2400, 285));
    Label5 = label("Label5", QStringLiteral("Full Path to File"), twips_rect(4200, 1260, 1320, 255));
    filename_textbox =
        box("filename_textbox",
            QStringLiteral("You can only Change this field by Clicking the \"Select File to Attach\" button."),
            twips_rect(5520, 1260, 4080, 285));
    for (QLineEdit* e : {Short_file_name_textbox, filename_textbox}) e->setReadOnly(true);

    attach_file = button("attach_file", QStringLiteral("Select File to Attach"),
                         QStringLiteral("Press to select a file to associate with this security"),
                         twips_rect(120, 1620, 1800, 375));
    view_file = button("view_file", QStringLiteral("View File"),
                       QStringLiteral("Press to view a previously attached file. The program that created the file will "
                                      "be launched."),
                       twips_rect(2040, 1620, 1200, 375));
    CopyClipboard = button("CopyClipboard", QStringLiteral("Get Image from Clipboard and Save as a File"), QString(),
                           twips_rect(3360, 1620, 3600, 375));
    // The long caption is wider than its place in this font: let the button grow to the right.
    CopyClipboard->resize(std::max(CopyClipboard->width(), CopyClipboard->sizeHint().width()), CopyClipboard->height());
    connect(attach_file, &QPushButton::clicked, this, [this] { attach_file_Click(); });
    connect(view_file, &QPushButton::clicked, this, [this] { view_file_Click(); });
    connect(CopyClipboard, &QPushButton::clicked, this, [this] { CopyClipboard_Click(); });

    Label3 = label("Label3", QStringLiteral("Other Comments about this file:"), twips_rect(120, 2100, 2760, 255));
    Label3->setToolTip(QStringLiteral("Type in why you are including a reference to this file."));
    Other_textbox = new QPlainTextEdit(this);
    Other_textbox->setObjectName(QStringLiteral("Other_textbox"));
    Other_textbox->setToolTip(QStringLiteral("Type in why you are including a reference to this file."));
    Other_textbox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Other_textbox->setGeometry(twips_rect(2880, 2100, 6720, 900));

    fields_->set_next(security_name, symbol_textbox);
    fields_->set_next(symbol_textbox, security_price);
    fields_->set_next(security_price, refname);
    fields_->add(refname);
    fields_->add(Short_file_name_textbox, Other_textbox);
    fields_->add(Other_textbox);
    fields_->add(filename_textbox);
    for (QLineEdit* e : {refname, Short_file_name_textbox, filename_textbox})
        connect(e, &QLineEdit::textChanged, this, [this] { add_or_edit_ongoing = true; });
    connect(Other_textbox, &QPlainTextEdit::textChanged, this, [this] { add_or_edit_ongoing = true; });
    QWidget::setTabOrder(security_name, symbol_textbox);
    QWidget::setTabOrder(symbol_textbox, quote);
    QWidget::setTabOrder(quote, security_price);
    QWidget::setTabOrder(security_price, refname);
    QWidget::setTabOrder(refname, attach_file);
    QWidget::setTabOrder(attach_file, Other_textbox);
}

void SaveFileReference::build_preview() {
    Frame1 = new QGroupBox(QStringLiteral("Image from Clipboard"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips_rect(kFrameLeft, kFrameTop, frame1_width_, frame1_height_));
    Invisible_Frame2 = new QFrame(Frame1);
    Invisible_Frame2->setObjectName(QStringLiteral("Invisible_Frame2"));
    Invisible_Frame2->setFrameShape(QFrame::NoFrame);
    Invisible_Frame2->setGeometry(twips_rect(120, 240, frame2_width_, frame2_height_));
    Picture2 = new QLabel(Invisible_Frame2);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setScaledContents(false);
    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    VScroll1->setGeometry(twips_rect(kFrameLeft + frame1_width_, kFrameTop, 255, frame1_height_));
    HScroll1->setGeometry(twips_rect(kFrameLeft, kFrameTop + frame1_height_, frame1_width_, 165));
    // Dragging the thumb moves the picture along, as every value change does.
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
}

void SaveFileReference::Form_Load() {
    Core& c = core();
    MDIMain* mdi = shell().mdi();
    update_foreground_color();
    margins_.load(this, kDesignWidth);
    VScroll1->hide();
    HScroll1->hide();
    for (QScrollBar* b : {VScroll1, HScroll1}) b->setRange(1, 10);
    picture_design_top = 120;
    picture_design_left = 240;
    const int h0 = mdi->MDI_height_original, w0 = mdi->MDI_width_original;
    vscroll_height_margin = h0 - frame1_height_;
    frame1_height_margin = h0 - frame1_height_;
    frame2_height_margin = h0 - frame2_height_;
    hscroll_width_margin = w0 - frame1_width_;
    frame1_width_margin = w0 - frame1_width_;
    frame2_width_margin = w0 - frame2_width_;
    webdata_folder_path = c.program_folder() + u'/' + c.webdata_foldername + u'/';
    if (!wheel_) {
        wheel_ = new WheelFilter(this, [this](int step) { wheel_move_slider_small_change(VScroll1, step); });
        installEventFilter(wheel_);
    }
}

void SaveFileReference::update_foreground_color() {
    const uint32_t colour = core().textcolor_value;
    security_->update_foreground_color(colour);
    paint_text(refname, colour);
    paint_text(Other_textbox, colour);
}

void SaveFileReference::handle_resize() {
    MDIMain* mdi = shell().mdi();
    const int h = mdi->height_twips();
    const int w = mdi->width_twips();
    margins_.fit(this);
    int vscroll_h = px_to_twips(VScroll1->height()), hscroll_w = px_to_twips(HScroll1->width());
    if (h - frame1_height_margin > 500) {
        frame1_height_ = h - frame1_height_margin;
        frame2_height_ = h - frame2_height_margin;
        vscroll_h = h - vscroll_height_margin;
    }
    if (w - frame1_width_margin > 4000) {
        frame1_width_ = w - frame1_width_margin;
        frame2_width_ = w - frame2_width_margin;
        hscroll_w = w - hscroll_width_margin;
    }
    Frame1->setGeometry(twips_rect(kFrameLeft, kFrameTop, frame1_width_, frame1_height_));
    Invisible_Frame2->setGeometry(twips_rect(120, 240, frame2_width_, frame2_height_));
    VScroll1->setGeometry(twips_rect(kFrameLeft + frame1_width_, kFrameTop, 255, vscroll_h));
    HScroll1->setGeometry(twips_rect(kFrameLeft, kFrameTop + frame1_height_, hscroll_w, 165));
    setup_image_scrollbars();
}

QString SaveFileReference::comments_text() const { return crlf_text(Other_textbox); }

void SaveFileReference::set_current_savefilereference(int16_t mode) {
    Core& c = core();
    SummaryEntry& e = c.current_entry.entry;
    quote_label->clear();
    picture_from_clipboard = false;
    clipboard_picture_ = QImage();
    load_image_preview(QString());
    Frame1->setTitle(QStringLiteral("Image from Clipboard"));
    if (mode == 0) {
        e.entry_date = ole_from_date(editor_today());
        security_->show_new(e);
        Other_textbox->clear();
        filename_textbox->clear();
        Short_file_name_textbox->clear();
        refname->clear();
        dialog_file_name.clear();
        last_short_name.clear();
    } else if (mode == 1) {
        dialog_file_name.clear();
        security_->show_existing(e);
        show_crlf_text(Other_textbox, trim_blanks(e.other.text));
        filename_textbox->setText(trim_blanks(e.file.path));
        Short_file_name_textbox->setText(trim_blanks(file_name_from_path(e.file.path)));
        refname->setText(trim_blanks(e.web.reference_name));
        const QString ext = file_extension(filename_textbox->text());
        if (ext == u".bmp" || ext == u".gif" || ext == u".jpg") {
            load_image_preview(filename_textbox->text());
            last_short_name = trim_blanks(Short_file_name_textbox->text());
        }
    }
    handle_resize();
    add_or_edit_ongoing = false;
}

void SaveFileReference::validate_current_data(QString& message, bool& valid) {
    auto fail = [&](const QString& text) {
        message += text;
        valid = false;
    };
    security_->check_name_and_symbol_length(message, valid);
    if (comments_text().size() > kCommentsLimit) fail(QStringLiteral("Other Comments field is too long"));
    if (filename_textbox->text().size() > kPathLimit)
        fail(QStringLiteral("Sorry, the File Path is too long, please move file into a folder with a shorter path."));
    security_->check_price(message, valid);
    security_->check_name_present(message, valid);
    if (filename_textbox->text().size() < 2 || Short_file_name_textbox->text().isEmpty())
        fail(QStringLiteral("File Name must be filled in"));
    if (refname->text().size() > kReferenceNameLimit) fail(QStringLiteral("Short Reference Name is too long"));
}

void SaveFileReference::save_data_and_continue(bool& continue_flag) {
    continue_flag = true;
    if (!add_or_edit_ongoing) return;
    const auto validate = [this](QString& message, bool& valid) { validate_current_data(message, valid); };
    if (!entry_valid_or_ask(validate, continue_flag, add_or_edit_ongoing)) return;
    // A save that failed was reported by the entries file; the user stays with the data.
    if (!save_file_reference_entry()) continue_flag = false;
}

bool SaveFileReference::save_file_reference_entry() {
    Core& c = core();
    SummaryEntry& e = c.current_entry.entry;
    e.transaction = QStringLiteral("File");
    e.file.present = kTrue;
    e.file.reserved = 0;
    e.file.path = trim_blanks(filename_textbox->text());
    security_->store(e);
    e.web.reference_name = trim_blanks(refname->text());
    store_other_text(e, comments_text());
    e.Inuse = kTrue;
    e.deleted = kFalse;
    write_clipboard_image();
    if (!store_reference_entry(screen_edit_file_reference)) return false;
    add_or_edit_ongoing = false;
    return true;
}

void SaveFileReference::view_file_Click() {
    if (filename_textbox->text().size() >= 2) core().launch_application(filename_textbox->text());
}

} // namespace qb
