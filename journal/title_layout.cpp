#include "journal/title.h"

#include "core/core.h"
#include "platform/window_helpers.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>

namespace qb {
namespace {

// Design geometry in twips.
constexpr int kDesignWidth = 10050;
constexpr int kRowTop = 1080;
constexpr int kRowPitch = 240;
constexpr int kRowHeight = 195;
constexpr int kScrollTop = 600;
constexpr int kScrollWidth = 255;
constexpr int kScrollDesignHeight = 5955;
constexpr int kScrollMinHeight = 5535;

struct Column {
    int left;
    int width;
};
constexpr Column kColumnGeometry[6] = {{120, 855}, {1080, 1575}, {2760, 1215}, {4080, 615}, {4800, 615}, {5520, 3975}};
const char* const kColumnNames[6] = {"Date_Entry_Display_text", "Security_Entry_Display_text",
                                     "Transaction_Entry_Display_text", "Price_Entry_Display_text", "quote_display",
                                     "Checklist_Entry_Display_text"};

QRect twips_rect(int left, int top, int width, int height) {
    return QRect(twips_to_px(left), twips_to_px(top), twips_to_px(width), twips_to_px(height));
}

QPushButton* make_button(QWidget* parent, const char* name, const QString& caption, int left, int width) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(twips_rect(left, 600, width, 375));
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoFillBackground(true);
    return b;
}

} // namespace

Title::Title(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Title"));
    setAutoFillBackground(true);
    popup_menu = [](QMenu* menu, const QPoint& at) { menu->exec(at); };

    Program_Title = new QLabel(QStringLiteral("Summary Data: SORTED by Date Added"), this);
    Program_Title->setObjectName(QStringLiteral("Program_Title"));
    Program_Title->setGeometry(twips_rect(1680, 120, 7575, 375));
    QFont caption_font(QStringLiteral("Arial"));
    caption_font.setPointSize(12);
    caption_font.setBold(true);
    Program_Title->setFont(caption_font);

    Date_comand = make_button(this, "Date_comand", QStringLiteral("Date"), 120, 975);
    Security_Command = make_button(this, "Security_Command", QStringLiteral("Security"), 1080, 1695);
    Transaction_Command = make_button(this, "Transaction_Command", QStringLiteral("Transaction"), 2760, 1335);
    Price_Command = make_button(this, "Price_Command", QStringLiteral("Price"), 4080, 735);
    quote_command = make_button(this, "quote_command", QStringLiteral("Quote"), 4800, 735);
    quote_command->setToolTip(QStringLiteral("Press to Get Quotes from the Internet"));
    Command1 = make_button(this, "Command1", QStringLiteral("Completed Checklists, Web, File, Call Topic"), 5520, 4335);

    connect(Date_comand, &QPushButton::clicked, this, [this] { column_button_click(0, Date_comand); });
    connect(Security_Command, &QPushButton::clicked, this, [this] { column_button_click(1, Security_Command); });
    connect(Transaction_Command, &QPushButton::clicked, this, [this] { column_button_click(2, Transaction_Command); });
    connect(Price_Command, &QPushButton::clicked, this, [this] { column_button_click(3, Price_Command); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(quote_command, &QPushButton::clicked, this, [this] { quote_command_Click(); });

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setGeometry(twips_rect(kColumnGeometry[5].left + kColumnGeometry[5].width + 225, kScrollTop, kScrollWidth,
                                     kScrollDesignHeight));
    VScroll1->setFocusPolicy(Qt::NoFocus);
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });

    build_rows();
}

void Title::build_rows() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    for (int16_t r = 0; r < kRows; ++r) {
        for (int col = 0; col < kColumns; ++col) {
            auto* b = new QLineEdit(this);
            b->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(kColumnNames[col])).arg(r));
            b->setProperty("qb_column", col);
            b->setProperty("qb_row", int(r));
            b->setReadOnly(true);
            b->setFrame(false);
            b->setFont(font);
            b->setTextMargins(1, 0, 1, 0);
            b->setCursor(Qt::ArrowCursor);
            b->setContextMenuPolicy(Qt::NoContextMenu);
            b->setFocusPolicy(col == 0 ? Qt::StrongFocus : Qt::ClickFocus);
            b->setVisible(false);
            b->installEventFilter(this);
            switch (col) {
            case 0: Date_Entry_Display_text[size_t(r)] = b; break;
            case 1: Security_Entry_Display_text[size_t(r)] = b; break;
            case 2: Transaction_Entry_Display_text[size_t(r)] = b; break;
            case 3: Price_Entry_Display_text[size_t(r)] = b; break;
            case 4: quote_display[size_t(r)] = b; break;
            default: Checklist_Entry_Display_text[size_t(r)] = b; break;
            }
        }
        place_row(r);
        row_colour_[size_t(r)] = 0;
        paint_row(r, kWhite);
    }
}

void Title::place_row(int16_t row) {
    const int top = kRowTop + kRowPitch * row;
    for (int col = 0; col < kColumns; ++col) {
        // Every row takes the left and width of row 0 in its column.
        const QLineEdit* first = box(col, 0);
        const int width = row == 0 ? twips_to_px(kColumnGeometry[col].width) : first->width();
        box(col, row)->setGeometry(twips_to_px(kColumnGeometry[col].left), twips_to_px(top), width, twips_to_px(kRowHeight));
    }
}

void Title::Form_Load() {
    Core& c = core();
    Shell& s = shell();
    MDIMain* mdi = s.mdi();
    const int bar_width = twips_to_px(Command::kBarWidth);
    const int form_height = mdi ? mdi->child_form_height : 6660;
    setGeometry(bar_width, 0, twips_to_px(kDesignWidth), twips_to_px(form_height));

    view_filter_mode = filter_all;
    summary_sorted = false;
    last_row_index = 22;
    previous_last_row_index = 0;
    quote_fetch_running = false;
    for (int16_t r = 0; r < kRows; ++r) clear_screen_index(r);

    const int mdi_h = mdi ? mdi->MDI_height_original : 0;
    const int mdi_w = mdi ? mdi->MDI_width_original : 0;
    form_height_margin = int16_t(mdi_h - form_height);
    form_width_margin = int16_t(mdi_w - kDesignWidth);
    checklist_width_margin = int16_t(mdi_w - kColumnGeometry[5].width);
    column_button_width_margin = int16_t(mdi_w - 4335);
    scrollbar_height_margin = int16_t(mdi_h - kScrollDesignHeight);

    update_foreground_color();
    checklist_column_chars = int16_t(kColumnGeometry[5].width / 90);
    if (c.maxSummarydata_index() >= 32700) VScroll1->setVisible(false);
    set_sort_tooltips_view_only();
    reset_sort_button_colors();

    // The wheel moves the highlight one row per notch, as the arrow keys do.
    auto* wheel = new WheelFilter(this, [this](int step) { step > 0 ? scroll_up_one() : scroll_down_one(); });
    wheel->install_on(this);
}

void Title::update_foreground_color() {
    const QColor text = color_from_ole(core().textcolor_value);
    for (int16_t r = 0; r < kRows; ++r) {
        for (int col : {0, 1, 2, 3, 5}) {
            QLineEdit* b = box(col, r);
            QPalette p = b->palette();
            p.setColor(QPalette::Text, text);
            b->setPalette(p);
        }
    }
}

void Title::handle_resize() {
    MDIMain* mdi = shell().mdi();
    if (!mdi) return;
    const int main_h = mdi->height_twips();
    const int main_w = mdi->width_twips();

    int h = main_h - form_height_margin;
    if (h <= mdi->min_insideMDI_heigth) h = mdi->min_insideMDI_heigth;
    int w = main_w - form_width_margin;
    if (w <= mdi->min_insideMDI_width) w = mdi->min_insideMDI_width;
    resize(twips_to_px(w), twips_to_px(h));

    if (main_w - column_button_width_margin > 1500)
        Command1->resize(twips_to_px(main_w - column_button_width_margin), Command1->height());

    const int bar_h = std::max(main_h - scrollbar_height_margin, kScrollMinHeight);
    int checklist_w = px_to_twips(Checklist_Entry_Display_text[0]->width());
    if (main_w - checklist_width_margin > 1500) {
        checklist_w = main_w - checklist_width_margin;
        for (QLineEdit* b : Checklist_Entry_Display_text) b->resize(twips_to_px(checklist_w), b->height());
        checklist_column_chars = int16_t(checklist_w / 90);
    }
    VScroll1->setGeometry(twips_to_px(kColumnGeometry[5].left + checklist_w + 225), twips_to_px(kScrollTop),
                          twips_to_px(kScrollWidth), twips_to_px(bar_h));

    last_row_index = 22;
    if (main_h > mdi->MDI_height_original)
        last_row_index = int16_t(std::min(22 + (main_h - mdi->MDI_height_original) / (kRowHeight + 45), 34));
    if (previous_last_row_index > last_row_index)
        for (int16_t r = int16_t(last_row_index + 1); r <= previous_last_row_index; ++r) set_screen_index_invisible(r);
    previous_last_row_index = last_row_index;

    if (isVisible()) {
        update_Title_with_entries();
        if (const int16_t r = row_to_return_to(); r >= 0) {
            focus_box(Date_Entry_Display_text[size_t(r)]);
            focus_box(Security_Entry_Display_text[size_t(r)]);
        }
    }
}

} // namespace qb
