#include "market/news_layout.h"

#include "market/news.h"
#include "platform/window_helpers.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace qb::news_layout {
namespace {

QRect twips_rect(int left, int top, int width, int height) {
    return QRect(twips_to_px(left), twips_to_px(top), twips_to_px(width), twips_to_px(height));
}

QFont small_font(bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    f.setBold(bold);
    return f;
}

} // namespace

int label_width(int characters) {
    static const int widths[] = {615, 225, 325, 425, 525};
    return characters >= 0 && characters < 5 ? widths[characters] : 615;
}

void set_box_colour(QWidget* box, uint32_t ole) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, color_from_ole(ole));
    box->setPalette(p);
}

void build_controls(News& n) {
    n.Symbol = new QLineEdit(&n);
    n.Symbol->setObjectName(QStringLiteral("Symbol"));
    n.Symbol->setToolTip(QStringLiteral("Type in a Stock Symbol"));
    n.Symbol->setGeometry(twips_rect(120, 120, 1095, 315));
    n.Symbol->installEventFilter(&n);

    n.getnews = new QPushButton(QStringLiteral("Get News"), &n);
    n.getnews->setObjectName(QStringLiteral("getnews"));
    n.getnews->setGeometry(twips_rect(1320, 90, 1095, 375));
    n.getnews->setFocusPolicy(Qt::TabFocus);

    n.quote_label = new QLabel(&n);
    n.quote_label->setObjectName(QStringLiteral("quote_label"));
    n.quote_label->setGeometry(twips_rect(2520, 150, 2400, 285));
    QFont quote_font(QStringLiteral("Arial"));
    quote_font.setPixelSize(13);
    quote_font.setBold(true);
    n.quote_label->setFont(quote_font);

    auto* recent = new QLabel(QStringLiteral("Your Most Recent Stock Symbols"), &n);
    recent->setGeometry(twips_rect(120, 540, 4000, 255));
    recent->setFont(small_font(true));

    n.box_for_symb = new QFrame(&n);
    n.box_for_symb->setObjectName(QStringLiteral("box_for_symb"));
    n.box_for_symb->setFrameShape(QFrame::Box);
    n.box_for_symb->setGeometry(twips_rect(kSymbolBoxLeft, kSymbolBoxTop, kSymbolBoxWidth, kSymbolBoxHeight));

    for (int i = 0; i < News::kLabels; ++i) {
        auto* l = new QLabel(&n);
        l->setObjectName(QStringLiteral("symb_label_%1").arg(i));
        l->setProperty("qb_label", i);
        QFont f = small_font(true);
        f.setUnderline(true);
        l->setFont(f);
        l->setCursor(Qt::PointingHandCursor);
        l->setGeometry(twips_rect(kLabelLeft, kLabelTop, 615, kLabelHeight));
        l->installEventFilter(&n);
        l->hide();
        n.symb_label[size_t(i)] = l;
    }

    auto* hint = new QLabel(
        QStringLiteral("(Click the Symbol to Get News. Click the Headline for full news article)"), &n);
    hint->setGeometry(twips_rect(120, 1260, 8300, 255));
    hint->setFont(small_font());

    for (int r = 0; r < News::kRows; ++r) {
        auto* save = new QPushButton(QStringLiteral("Save"), &n);
        save->setObjectName(QStringLiteral("save_button_%1").arg(r));
        save->setProperty("qb_save_row", r);
        save->setFont(small_font());
        save->setAutoFillBackground(true);
        save->setGeometry(twips_rect(kSaveLeft, kRowTop, kSaveWidth, kTitleHeight));
        save->installEventFilter(&n);
        n.save_button[size_t(r)] = save;

        auto* title = new HeadlineBox(&n);
        title->setObjectName(QStringLiteral("title_box_%1").arg(r));
        title->setProperty("qb_title_row", r);
        // A feed's title is text, never markup to render.
        title->setTextFormat(Qt::PlainText);
        title->setWordWrap(true);
        title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        title->setAutoFillBackground(true);
        QPalette white = title->palette();
        white.setColor(QPalette::Window, Qt::white);
        title->setPalette(white);
        title->setCursor(Qt::PointingHandCursor);
        title->setContextMenuPolicy(Qt::NoContextMenu);
        title->setFont(small_font(true));
        title->setGeometry(twips_rect(kTitleLeft, kRowTop, kTitleWidth, kTitleHeight));
        title->installEventFilter(&n);
        n.title_box[size_t(r)] = title;

        auto* desc = new QPlainTextEdit(&n);
        desc->setObjectName(QStringLiteral("desc_textbox_%1").arg(r));
        desc->setReadOnly(true);
        desc->setFrameShape(QFrame::NoFrame);
        desc->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        desc->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        desc->setFont(small_font());
        desc->document()->setDocumentMargin(0);
        desc->setGeometry(twips_rect(kTitleLeft, kRowTop + kTitleHeight, kTitleWidth, News::kLineTwips));
        n.desc_textbox[size_t(r)] = desc;
    }

    n.VScroll1 = new QScrollBar(Qt::Vertical, &n);
    n.VScroll1->setObjectName(QStringLiteral("VScroll1"));
    n.VScroll1->setGeometry(twips_rect(kScrollLeft, kScrollTop, kScrollWidth, kScrollHeight));
}

} // namespace qb::news_layout
