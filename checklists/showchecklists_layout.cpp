// The checklist list's controls, its set-up at load and its resize.
#include "checklists/showchecklists.h"

#include "checklists/checklists_internal.h"
#include "core/codepage.h"
#include "core/core.h"
#include "core/text_helpers.h"
#include "shell/command.h"
#include "shell/mdimain.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <exception>

namespace qb {

using namespace checklists;

namespace {

// Design geometry in twips.
constexpr int kDesignWidth = 10050;
constexpr int kRowTop = 1380;
constexpr int kRowHeight = 195;
constexpr int kRowPitch = kRowHeight + 45;
constexpr int kCheckLeft = 240;
constexpr int kTitleLeft = 600;
constexpr int kTitleWidth = 4695;
constexpr int kAuthorLeft = 5400;
constexpr int kAuthorWidth = 3800;
constexpr int kScrollLeft = 9360;
constexpr int kScrollTop = 1320;
constexpr int kScrollWidth = 255;
constexpr int kScrollDesignHeight = 5295;
constexpr int kScrollMinHeight = 5295;

QLabel* make_label(QWidget* parent, const char* name, const QString& text, const QRect& place, int points, bool bold) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(points);
    f.setBold(bold);
    l->setFont(f);
    l->setGeometry(place);
    return l;
}

QFrame* make_line(QWidget* parent, const char* name, const QRect& place) {
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setGeometry(place);
    return line;
}

} // namespace

ShowChecklists::ShowChecklists(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ShowChecklists"));
    setAutoFillBackground(true);
    setWindowTitle(QStringLiteral("Checklists"));
    build_controls();
}

void ShowChecklists::build_controls() {
    AvailChecklist_label =
        make_label(this, "AvailChecklist_label", QStringLiteral("Available Checklists"), twips_rect(120, 60, 3000, 375), 12, true);
    WebPage = make_label(this, "WebPage", QStringLiteral("(Click to Check Web Site for more Checklists)"),
                         twips_rect(3360, 150, 4500, 255), 8, false);
    WebPage->setToolTip(QStringLiteral("Click to visit our web site"));
    WebPage->setCursor(Qt::PointingHandCursor);
    QFont link = WebPage->font();
    link.setUnderline(true);
    WebPage->setFont(link);
    QPalette lp = WebPage->palette();
    lp.setColor(QPalette::WindowText, color_from_ole(0xFF0000));
    WebPage->setPalette(lp);
    WebPage->installEventFilter(this);
    ChecktoDisplay_label = make_label(
        this, "ChecktoDisplay_label",
        QStringLiteral("Check the Box next to each Checklist to display durning transaction entry."),
        twips_rect(120, 480, 8400, 255), 8, false);
    Double_click_label = make_label(
        this, "Double_click_label",
        QStringLiteral("Double Click on the Checklist title to View / Edit  the Details of that Checklist"),
        twips_rect(120, 720, 8400, 255), 8, false);
    Line2 = make_line(this, "Line2", twips_rect(120, 990, 9495, 15));
    Checklist_title_lable =
        make_label(this, "Checklist_title_lable", QStringLiteral("Checklist Title"), twips_rect(kTitleLeft, 1020, kTitleWidth, 255), 8, true);
    Author_label =
        make_label(this, "Author_label", QStringLiteral("Checklist Author"), twips_rect(kAuthorLeft, 1020, kAuthorWidth, 255), 8, true);
    Line1 = make_line(this, "Line1", twips_rect(120, 1290, 9090, 15));

    QFont row_font(QStringLiteral("MS Sans Serif"));
    row_font.setPointSize(8);
    for (int r = 0; r < kRows; ++r) {
        const auto i = size_t(r);
        const int top = kRowTop + kRowPitch * r;
        auto row_box = [&](const char* name, int left, int width) {
            auto* b = new QLineEdit(this);
            b->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(r));
            b->setReadOnly(true);
            b->setFrame(false);
            b->setFont(row_font);
            b->setTextMargins(1, 0, 1, 0);
            b->setContextMenuPolicy(Qt::NoContextMenu);
            b->setGeometry(twips_rect(left, top, width, kRowHeight));
            b->setProperty("qb_row", r);
            b->hide();
            b->installEventFilter(this);
            return b;
        };
        Title_textbox[i] = row_box("Title_textbox", kTitleLeft, kTitleWidth);
        Author_textbox[i] = row_box("Author_textbox", kAuthorLeft, kAuthorWidth);
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("Check_to_display_%1").arg(r));
        box->setToolTip(QStringLiteral("Check to make this checklist available during transaction entry"));
        box->setGeometry(twips_rect(kCheckLeft, top - 15, 300, 225));
        box->setProperty("qb_row", r);
        box->hide();
        box->installEventFilter(this);
        connect(box, &QCheckBox::toggled, this, [this, r] { Check_to_display_Click(int16_t(r)); });
        Check_to_display[i] = box;
        paint_row(int16_t(r), kWhite);
    }

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setGeometry(twips_rect(kScrollLeft, kScrollTop, kScrollWidth, kScrollDesignHeight));
    VScroll1->setFocusPolicy(Qt::NoFocus);
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
}

void ShowChecklists::Form_Load() {
    Core& c = core();
    MDIMain* mdi = shell().mdi();
    setGeometry(twips_to_px(Command::kBarWidth), 0, twips_to_px(kDesignWidth), twips_to_px(mdi->child_form_height));
    last_row_for_height = kLoadRows;
    height_margin = mdi->MDI_height_original - mdi->child_form_height;
    width_margin = mdi->MDI_width_original - kDesignWidth;
    scroll_margin = mdi->MDI_height_original - kScrollDesignHeight;
    add_or_edit_ongoing = false;
    for (int r = 0; r < kRows; ++r) {
        for (QLineEdit* b : {Title_textbox[size_t(r)], Author_textbox[size_t(r)]}) {
            b->setCursor(Qt::ArrowCursor);
            QFont f = b->font();
            f.setBold(true);
            f.setPointSize(8);
            b->setFont(f);
        }
    }
    update_foreground_color();
    {
        const QSignalBlocker block(VScroll1);
        VScroll1->setRange(0, std::max(c.maxChecklists_index(), 0));
        VScroll1->setSingleStep(1);
        VScroll1->setPageStep(3);
        VScroll1->setValue(0);
    }
    // One notch of the wheel moves the highlight one checklist, as the arrow keys do.
    auto* wheel = new WheelFilter(this, [this](int step) { wheel_move_slider(VScroll1, step, VScroll1->maximum()); });
    wheel->install_on(this);
}

void ShowChecklists::update_foreground_color() {
    const uint32_t colour = core().textcolor_value;
    for (int r = 0; r < kRows; ++r) {
        paint_text(Title_textbox[size_t(r)], colour);
        paint_text(Author_textbox[size_t(r)], colour);
    }
}

void ShowChecklists::set_showchecklist_display() {
    first_shown_index = 0;
    handle_resize();
    fill_checklist_rows();
}

void ShowChecklists::handle_resize() {
    MDIMain* mdi = shell().mdi();
    if (!mdi) return;
    const int h = mdi->height_twips();
    const int w = mdi->width_twips();
    const int form_h = std::max(h - height_margin, int(mdi->min_insideMDI_heigth));
    const int form_w = std::max(w - width_margin, int(mdi->min_insideMDI_width));
    resize(twips_to_px(form_w), twips_to_px(form_h));
    const int bar_h = std::max(h - scroll_margin, kScrollMinHeight);
    VScroll1->setGeometry(twips_rect(kScrollLeft, kScrollTop, kScrollWidth, bar_h));

    last_row_for_height = kLoadRows;
    if (h > mdi->MDI_height_original) {
        const int pitch = px_to_twips(Title_textbox[0]->height()) + 45;
        last_row_for_height = int16_t(std::min(kLoadRows + (h - mdi->MDI_height_original) / pitch, kRows - 1));
    }
    if (isVisible()) {
        fill_checklist_rows();
        QLineEdit* box = Title_textbox[size_t(std::clamp<int>(focused_row, 0, kRows - 1))];
        focus_if_visible(box);
    }
}

} // namespace qb
