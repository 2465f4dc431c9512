// The print layout of a checklist: its name, author, copyright, book reference and web
// site, why to use it, and every item that is not empty with an empty answer box.
#include "reports/print_entry.h"

#include "core/codepage.h"
#include "core/core.h"
#include "reports/editor_controls.h"

namespace qb {
namespace {

// The editor's item box i, by the names a control array takes.
QWidget* item_box(QWidget* editor, int i) {
    for (const QString& name : {QStringLiteral("Text1_%1").arg(i), QStringLiteral("Text1(%1)").arg(i),
                                QStringLiteral("Text1%1").arg(i)})
        if (QWidget* w = editor->findChild<QWidget*>(name)) return w;
    return named_control(editor, QStringLiteral("Text1_%1").arg(i));
}

} // namespace

void PrintEntry::set_values_from_addchecklist(bool& ok) {
    ok = false;
    Core& c = core();
    int i = 0;
    try {
        QWidget* editor = open_editor(QStringLiteral("AddChecklist"));
        start_canvas();
        listname->text = control_text(named_control(editor, QStringLiteral("name_text")));
        listname->alignment = Qt::AlignHCenter;
        listname->Top = 400;

        lay_out_header_grid(editor, {"Author_text", "Copyright_text", "BookRef_text", "Website_text"},
                            {"Author:", "Copyright:", "Book Ref:", "Web Site:"});

        copy_field(Other_info_textbox, named_control(editor, QStringLiteral("Whyuse_text")));
        Label3->text = QStringLiteral("Why this Checklist should be used: ");
        Label3->Top = security_price_textbox->Top + security_price_textbox->Height + 360;
        Other_info_textbox->font_bold = false;
        Other_info_textbox->Top = Label3->Top + Label3->Height + 100;
        const int32_t why_lines = canvas_line_count(Other_info_textbox->text, 9495, Other_info_textbox->font_face, false);
        Other_info_textbox->Height = why_lines * kDetailsLine;

        ThingstoCheck_label->Top = Other_info_textbox->Top + Other_info_textbox->Height + 300;
        ThingstoCheck_label->text = control_text(named_control(editor, QStringLiteral("Things_label")));
        MyComments->Top = ThingstoCheck_label->Top;
        MyComments->set_shown(false);

        for (i = 0; i < kRows; ++i) {
            const auto r = size_t(i);
            for (CanvasControl* k : {Check1[r], Text1[r], Text6[r], Line3[r], Num_label[r]}) k->set_shown(false);
            Text1[r]->Width = 6815;
            Text1[r]->Left = Text1[0]->Left;
            Line3[r]->X1 = Text1[r]->Left;
            Line3[r]->X2 = Text1[r]->Left + 6815;
            Line3[r]->BorderWidth = 3;
            Text1[r]->font_size = 8;
            Text1[r]->font_bold = false;
            Text1[r]->ForeColor = 0;
            Check1[r]->picture = 0;
            Text1[r]->text = trim_blanks(control_text(item_box(editor, i)));
        }
        RowCursor cursor = start_rows(ThingstoCheck_label->Top + ThingstoCheck_label->Height + 100);
        for (i = 0; i < kRows; ++i) {
            const auto r = size_t(i);
            if (Text1[r]->text.isEmpty()) continue;
            place_row(i, canvas_line_count(Text1[r]->text, 6815, Text1[r]->font_face, Text1[r]->font_bold), -1, cursor);
        }
        ok = true;
    } catch (const std::exception& e) {
        c.show_message(msg_error, QStringLiteral("Unable to Print Full Checklist Data. Error: ") +
                                      QString::fromUtf8(e.what()) + QStringLiteral(" i: ") + u' ' + QString::number(i) +
                                      QStringLiteral(". Will now Print only visible Screen"));
    }
}

} // namespace qb
