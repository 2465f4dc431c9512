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
        auto copy = [editor](CanvasControl* to, const char* name) {
            const QWidget* from = named_control(editor, QString::fromLatin1(name));
            to->text = control_text(from);
            to->ForeColor = control_fore_color(from);
        };
        start_canvas();
        listname->text = control_text(named_control(editor, QStringLiteral("name_text")));
        listname->alignment = Qt::AlignHCenter;
        listname->Top = 400;

        copy(trans_text, "Author_text");
        Label1->text = QStringLiteral("Author:");
        trans_text->Top = listname->Height + 500;
        Label1->Top = trans_text->Top;
        trans_text->Width = 3455;
        trans_text->Left = 1180;

        copy(security_name_textbox, "Copyright_text");
        Label2->text = QStringLiteral("Copyright:");
        security_name_textbox->Top = trans_text->Top;
        Label2->Top = trans_text->Top;
        Label2->Left = 4860;
        security_name_textbox->Left = 6220;
        security_name_textbox->Width = 2955;

        copy(security_price_textbox, "BookRef_text");
        Label6->text = QStringLiteral("Book Ref:");
        Label6->Width = Label1->Width;
        security_price_textbox->Top = trans_text->Top + 360;
        Label6->Top = security_price_textbox->Top;
        security_price_textbox->Width = trans_text->Width;
        security_price_textbox->Left = trans_text->Left;

        copy(Date_textbox, "Website_text");
        Date_label->text = QStringLiteral("Web Site:");
        Date_textbox->Top = security_price_textbox->Top;
        Date_label->Top = Label6->Top;
        Date_label->Left = Label2->Left;
        Date_textbox->Left = security_name_textbox->Left;
        Date_textbox->Width = security_name_textbox->Width;

        copy(Other_info_textbox, "Whyuse_text");
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
