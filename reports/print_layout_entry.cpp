// The print layout of a transaction entry: the header fields and details, then the one
// checklist the editor shows, every item with its answer picture and comment.
#include "reports/print_entry.h"

#include "core/codepage.h"
#include "core/core.h"
#include "journal/addentry.h"
#include "reports/editor_controls.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace qb {
void copy_field(CanvasControl* to, const QWidget* from) {
    to->text = control_text(from);
    to->ForeColor = control_fore_color(from);
}

void PrintEntry::lay_out_header_grid(QWidget* editor, const std::array<const char*, 4>& sources,
                                     const std::array<const char*, 4>& captions) {
    auto copy = [editor](CanvasControl* to, const char* name) {
        copy_field(to, named_control(editor, QString::fromLatin1(name)));
    };
    copy(trans_text, sources[0]);
    Label1->text = QString::fromLatin1(captions[0]);
    trans_text->Top = listname->Height + 500;
    Label1->Top = trans_text->Top;
    trans_text->Width = 3455;
    trans_text->Left = 1180;

    copy(security_name_textbox, sources[1]);
    Label2->text = QString::fromLatin1(captions[1]);
    security_name_textbox->Top = trans_text->Top;
    Label2->Top = trans_text->Top;
    Label2->Left = 4860;
    security_name_textbox->Left = 6220;
    security_name_textbox->Width = 2955;

    copy(security_price_textbox, sources[2]);
    Label6->text = QString::fromLatin1(captions[2]);
    Label6->Width = Label1->Width;
    security_price_textbox->Top = trans_text->Top + 360;
    Label6->Top = security_price_textbox->Top;
    security_price_textbox->Width = trans_text->Width;
    security_price_textbox->Left = trans_text->Left;

    copy(Date_textbox, sources[3]);
    Date_label->text = QString::fromLatin1(captions[3]);
    Date_textbox->Top = security_price_textbox->Top;
    Date_label->Top = Label6->Top;
    Date_label->Left = Label2->Left;
    Date_textbox->Left = security_name_textbox->Left;
    Date_textbox->Width = security_name_textbox->Width;
}

void PrintEntry::set_values_from_addentry(bool& ok) {
    ok = false;
    Core& c = core();
    int i = 0;
    try {
        auto* editor = dynamic_cast<AddEntry*>(open_editor(QStringLiteral("AddEntry")));
        if (!editor) throw std::runtime_error("The transaction editor is not open");
        start_canvas();
        copy_field(trans_text, editor->Combo1);
        copy_field(security_name_textbox, editor->security_name_textbox);
        copy_field(security_price_textbox, editor->security_price_textbox);
        copy_field(Date_textbox, editor->Date_textbox);
        copy_field(Other_info_textbox, editor->Other_info_textbox);

        Other_info_textbox->font_bold = false;
        const int32_t details_lines = canvas_line_count(Other_info_textbox->text, 9495, Other_info_textbox->font_face, false);
        Other_info_textbox->Height = details_lines * kDetailsLine;

        listname->text = control_text(editor->listname);
        listname->alignment = Qt::AlignHCenter;
        listname->Top = Other_info_textbox->Top + Other_info_textbox->Height + 200;
        const int last = std::clamp<int>(c.current_entry_checklist.last_item_index, 0, kRows - 1);
        ThingstoCheck_label->Top = listname->Top + listname->Height + 300;
        ThingstoCheck_label->text = QString::number(last + 1) + QStringLiteral(" Things to Check");
        MyComments->Top = ThingstoCheck_label->Top;

        for (i = 0; i < kRows; ++i) {
            const auto r = size_t(i);
            for (CanvasControl* k : {Check1[r], Text1[r], Text6[r], Line3[r], Num_label[r]}) k->set_shown(false);
            Text1[r]->Width = 4815;
            Text1[r]->Left = Text1[0]->Left;
            Text6[r]->Width = 4215;
            Text6[r]->Left = Text6[0]->Left;
            Line3[r]->X1 = Text6[r]->Left;
            Line3[r]->X2 = Text6[r]->Left + 4215;
            Line3[r]->BorderWidth = 3;
            if (i > last) continue;
            for (CanvasControl* k : {Text1[r], Text6[r]}) {
                k->font_size = 8;
                k->font_bold = false;
                k->ForeColor = 0;
            }
            const int16_t answer = editor->row_answer(i);
            Check1[r]->picture = (answer >= answer_yes && answer <= answer_unsure) ? answer : 0;
            Text1[r]->text = trim_blanks(AddEntry::box_text(editor->Text1[r]));
            Text6[r]->text = trim_blanks(AddEntry::box_text(editor->Text6[r]));
        }
        i = kRows;
        const RowCursor first = start_rows(MyComments->Top + MyComments->Height + 100);
        // A block of one item prints it; only a block without any item has nothing to print.
        if (last == 0 && Text1[0]->text.isEmpty() && Text6[0]->text.isEmpty()) {
            c.show_message(msg_error, QStringLiteral("Unable to Print Screen. Error: Checklist Format Problem"));
            return;
        }
        RowCursor cursor = first;
        for (i = 0; i <= last; ++i) {
            const auto r = size_t(i);
            const int32_t text_lines = canvas_line_count(Text1[r]->text, 4815, Text1[r]->font_face, Text1[r]->font_bold);
            const int32_t comment_lines =
                canvas_line_count(Text6[r]->text, 4215, Text6[r]->font_face, Text6[r]->font_bold);
            place_row(i, text_lines, comment_lines, cursor);
        }
        ok = true;
    } catch (const std::exception& e) {
        c.show_message(msg_error, QStringLiteral("Unable to Print Full Data. Error: ") + QString::fromUtf8(e.what()) +
                                      QStringLiteral(" i: ") + u' ' + QString::number(i) +
                                      QStringLiteral(". Will now Print only visible Screen"));
    }
}

} // namespace qb
