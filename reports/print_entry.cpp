#include "reports/print_entry.h"

#include "core/core.h"
#include "platform/window_helpers.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <stdexcept>

namespace qb {
namespace {

const QString kDefaultFace = QStringLiteral("MS Sans Serif");
constexpr double kDefaultSize = 8.25;

} // namespace

int32_t canvas_line_count(const QString& text, int width_twips, const QString& face, bool bold) {
    return count_text_lines(text, width_twips, face, bold);
}

PrintEntry::PrintEntry(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("PrintEntry"));
    setWindowTitle(QStringLiteral("Print Data From Quorbelix"));
    Picture1 = new CanvasArea(this, QStringLiteral("Picture1"));
    Picture1->setAutoFillBackground(true);
    QPalette pal = Picture1->palette();
    pal.setColor(QPalette::Window, Qt::white);
    Picture1->setPalette(pal);
    Picture2 = new CanvasArea(this, QStringLiteral("Picture2"));
    Picture1->Left = 120, Picture1->Top = 240, Picture1->Width = 10575, Picture1->Height = 15120;
    Picture2->Left = 120, Picture2->Top = 0, Picture2->Width = 495, Picture2->Height = 255;

    auto make = [this](const char* name, CanvasControl::Kind kind, const QString& text, int l, int t, int w, int h,
                       const QString& face, double size, bool bold) {
        auto* c = new CanvasControl(Picture1, QString::fromLatin1(name), kind);
        c->text = text;
        c->set_geometry(l, t, w, h);
        c->set_font(face, size, bold);
        return c;
    };
    const QString arial = QStringLiteral("Arial");
    using K = CanvasControl;
    Label1 = make("Label1", K::label, "Transaction:", 240, 360, 1335, 255, arial, 9.75, true);
    trans_text = make("trans_text", K::text_box, "", 1680, 360, 1455, 255, kDefaultFace, kDefaultSize, false);
    Label2 = make("Label2", K::label, "Security Name:", 3360, 360, 1575, 255, arial, 9.75, true);
    security_name_textbox =
        make("security_name_textbox", K::text_box, "", 4920, 360, 1455, 255, kDefaultFace, kDefaultSize, false);
    Label6 = make("Label6", K::label, "Security Price:", 240, 720, 1455, 255, arial, 9.75, true);
    security_price_textbox =
        make("security_price_textbox", K::text_box, "", 1680, 720, 855, 285, kDefaultFace, kDefaultSize, false);
    Date_label = make("Date_label", K::label, "Date:", 3360, 720, 1335, 255, arial, 9.75, true);
    Date_textbox = make("Date_textbox", K::text_box, "", 4920, 720, 1335, 285, kDefaultFace, kDefaultSize, false);
    Label3 = make("Label3", K::label, "Additional Details (My crystal ball):", 240, 1200, 4695, 255, arial, 9.75, true);
    Other_info_textbox = make("Other_info_textbox", K::multi_line, "", 240, 1560, 9495, 495, arial, 8.25, true);
    Other_info_textbox->line_height = kDetailsLine;
    listname = make("listname", K::label, "Title", 360, 2280, 7935, 375, arial, 14.25, true);
    listname->ForeColor = 0xC00000;
    ThingstoCheck_label = make("ThingstoCheck_label", K::label, "Things To Check", 240, 2640, 3375, 375, arial, 14.25, true);
    MyComments = make("MyComments", K::label, "Comments", 6240, 2760, 1815, 375, arial, 14.25, true);
    for (int i = 0; i < kRows; ++i) {
        const auto r = size_t(i);
        const QByteArray n = QByteArray::number(i);
        Num_label[r] = make(("Num_label_" + n).constData(), K::label, "", 240, 3120, 255, 255, arial, 9.75, true);
        Check1[r] = make(("Check1_" + n).constData(), K::answer_box, "", 480, 3000, 375, 330, arial, 8.25, false);
        Text1[r] = make(("Text1_" + n).constData(), K::multi_line, "", 1080, 3120, 4815, 195, kDefaultFace, 9.75, true);
        Text6[r] = make(("Text6_" + n).constData(), K::multi_line, "", 6120, 3120, 4215, 165, kDefaultFace, kDefaultSize, false);
        Line3[r] = make(("Line3_" + n).constData(), K::line, "", 0, 0, 0, 0, arial, 8.25, false);
        Line3[r]->X1 = 6120, Line3[r]->X2 = 6120 + 4215, Line3[r]->Y1 = 3400, Line3[r]->Y2 = 3400;
        // Only the first row is there by design; the others appear when a layout places them.
        if (i > 0)
            for (CanvasControl* c : {Num_label[r], Check1[r], Text1[r], Text6[r], Line3[r]}) c->set_shown(false);
    }
}

QList<CanvasControl*> PrintEntry::canvas_controls() const { return Picture1->findChildren<CanvasControl*>(); }

void PrintEntry::start_canvas() {
    Picture1->Height = window_height - 100;
    Picture2->Height = window_height - 100;
}

void PrintEntry::grow_canvas_to(int32_t height) {
    window_height = height;
    Picture1->Height = height;
    Picture2->Height = height;
}

void PrintEntry::hide_rows() {
    for (int i = 0; i < kRows; ++i) {
        const auto r = size_t(i);
        for (CanvasControl* c : {Check1[r], Text1[r], Text6[r], Line3[r], Num_label[r]}) c->set_shown(false);
    }
}

PrintEntry::RowCursor PrintEntry::start_rows(int32_t first_row_top) const {
    // The position on the page counts from the top of the page the rows start on, so rows
    // below a header longer than a page still break at the pages' own edges.
    RowCursor c;
    c.row_top = first_row_top;
    c.page_count = first_row_top / kPageHeight + 1;
    c.page_position = first_row_top - (c.page_count - 1) * kPageHeight;
    return c;
}

void PrintEntry::place_row(int i, int32_t text_lines, int32_t comment_lines, RowCursor& c) {
    const auto r = size_t(i);
    const int32_t row_height = kRowLine * std::max(text_lines, comment_lines);
    if (c.page_position + row_height + 1440 > kPageHeight) {
        c.row_top = kPageHeight * c.page_count + 1440;
        ++c.page_count;
        c.page_position = 1440;
    }
    while (c.row_top + row_height + 1000 > Picture1->Height) {
        window_height += 1000 + row_height;
        Picture1->Height += 1000 + row_height;
        Picture2->Height += 1000 + row_height;
    }
    CanvasControl* num = Num_label[r];
    num->text = QString::number(i + 1) + u'.';
    num->Left = i + 1 >= 10 ? 240 : 310;
    num->Width = i + 1 >= 10 ? 325 : 255;
    num->Top = c.row_top;
    Check1[r]->Top = c.row_top;
    Check1[r]->Left = 550;
    Text1[r]->Top = c.row_top;
    Text1[r]->Height = kRowLine * text_lines;
    if (comment_lines >= 0) {
        Text6[r]->Height = kRowLine * comment_lines;
        Text6[r]->Top = comment_lines < text_lines ? c.row_top + kRowLine * (text_lines - comment_lines) : c.row_top;
    }
    Line3[r]->Y1 = c.row_top + row_height + 35;
    Line3[r]->Y2 = c.row_top + row_height + 38;
    c.row_top = Line3[r]->Y2 + 120;
    c.page_position += row_height + 158;
    // A row taller than a page carries the count on to the page it ends on.
    if (c.page_position >= kPageHeight) {
        c.page_count = c.row_top / kPageHeight + 1;
        c.page_position = c.row_top - (c.page_count - 1) * kPageHeight;
    }
    for (CanvasControl* k : {Check1[r], Text1[r], Line3[r], Num_label[r]}) k->set_shown(true);
    if (comment_lines >= 0) Text6[r]->set_shown(true);
}

QVector<CanvasSpan> PrintEntry::page_slices() const {
    QVector<CanvasSpan> spans;
    for (CanvasControl* c : canvas_controls())
        if (c->shown()) c->add_spans(spans);
    const int32_t height = std::max<int32_t>(0, Picture1->Height);
    QVector<CanvasSpan> slices;
    int32_t top = 0;
    do {
        int32_t bottom = std::min(top + kPageHeight, height);
        if (bottom < height) {
            // Pull the edge up to the top of any line it would cut.
            bool moved = true;
            while (moved) {
                moved = false;
                for (const CanvasSpan& s : std::as_const(spans))
                    if (s.top > top && s.top < bottom && s.bottom > bottom) {
                        bottom = s.top;
                        moved = true;
                    }
            }
        }
        slices.append({top, bottom});
        top = bottom;
    } while (top < height);
    return slices;
}

bool PrintEntry::copy_data_and_print() {
    Core& c = core();
    window_width = kPageWidth;
    for (CanvasArea* a : {Picture1, Picture2}) {
        a->Left = 0;
        a->Top = 0;
        a->Width = kPageWidth;
    }
    try {
        Printer* printer_source = c.platform().printer;
        if (!printer_source) throw std::runtime_error("No printer is available");
        QPrinter* printer = printer_source->printer();
        QPainter painter;
        if (!printer || !painter.begin(printer)) throw std::runtime_error("The printer could not start the document");
        const double scale = printer->resolution() / 1440.0;
        const QVector<CanvasSpan> slices = page_slices();
        QList<CanvasControl*> shown;
        for (CanvasControl* k : canvas_controls())
            if (k->shown()) shown << k;
        for (qsizetype p = 0; p < slices.size(); ++p) {
            if (p > 0 && !printer->newPage()) throw std::runtime_error("The printer could not start a new page");
            const CanvasSpan& s = slices[p];
            if (s.bottom <= s.top) continue;
            painter.save();
            painter.scale(scale, scale);
            painter.setClipRect(QRect(0, 0, kPageWidth, s.bottom - s.top));
            painter.translate(0, -s.top);
            for (CanvasControl* k : std::as_const(shown)) {
                const CanvasSpan e = k->extent();
                if (e.bottom > s.top && e.top < s.bottom) k->paint_twips(painter, s.top, s.bottom);
            }
            painter.restore();
        }
        if (!painter.end()) throw std::runtime_error("The printer could not finish the document");
    } catch (const std::exception& e) {
        c.show_message(msg_error, QStringLiteral("Error in Printing. Error: ") + QString::fromUtf8(e.what()));
        return false;
    }
    hide();
    return true;
}

} // namespace qb
