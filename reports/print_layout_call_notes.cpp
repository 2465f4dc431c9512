// The print layout of call notes: title, security and price, subject and date, and the
// whole notes text in a box that grows with it.
#include "reports/print_entry.h"

#include "core/core.h"
#include "reports/editor_controls.h"

namespace qb {

void PrintEntry::set_values_from_SaveCallNotes(bool& ok) {
    ok = false;
    Core& c = core();
    try {
        QWidget* editor = open_editor(QStringLiteral("SaveCallNotes"));
        auto copy = [editor](CanvasControl* to, const char* name) {
            const QWidget* from = named_control(editor, QString::fromLatin1(name));
            to->text = control_text(from);
            to->ForeColor = control_fore_color(from);
        };
        start_canvas();
        listname->text = QStringLiteral("Conference Call Notes");
        listname->alignment = Qt::AlignHCenter;
        listname->Top = 400;

        copy(trans_text, "security_name");
        Label1->text = QStringLiteral("Security:");
        trans_text->Top = listname->Height + 500;
        Label1->Top = trans_text->Top;
        trans_text->Width = 3455;
        trans_text->Left = 1180;

        copy(security_name_textbox, "security_price");
        Label2->text = QStringLiteral("Price:");
        security_name_textbox->Top = trans_text->Top;
        Label2->Top = trans_text->Top;
        Label2->Left = 4860;
        security_name_textbox->Left = 6220;
        security_name_textbox->Width = 2955;

        copy(security_price_textbox, "topic_textbox");
        Label6->text = QStringLiteral("Subject:");
        Label6->Width = Label1->Width;
        security_price_textbox->Top = trans_text->Top + 360;
        Label6->Top = security_price_textbox->Top;
        security_price_textbox->Width = trans_text->Width;
        security_price_textbox->Left = trans_text->Left;

        copy(Date_textbox, "Date_textbox");
        Date_label->text = QStringLiteral("Date:");
        Date_textbox->Top = security_price_textbox->Top;
        Date_label->Top = Label6->Top;
        Date_label->Left = Label2->Left;
        Date_textbox->Left = security_name_textbox->Left;
        Date_textbox->Width = security_name_textbox->Width;

        Label3->text = QStringLiteral("Notes from the Call: ");
        Label3->Top = security_price_textbox->Top + security_price_textbox->Height + 360;

        copy(Other_info_textbox, "Other_textbox");
        Other_info_textbox->font_bold = false;
        Other_info_textbox->Top = Label3->Top + Label3->Height + 100;
        const int32_t lines = canvas_line_count(Other_info_textbox->text, 9495, Other_info_textbox->font_face, false);
        Other_info_textbox->Height = lines * kDetailsLine;
        const int32_t bottom = Other_info_textbox->Top + Other_info_textbox->Height;
        if (bottom > Picture1->Height) grow_canvas_to(bottom + 1000);

        MyComments->set_shown(false);
        ThingstoCheck_label->set_shown(false);
        hide_rows();
        ok = true;
    } catch (const std::exception& e) {
        c.show_message(msg_error, QStringLiteral("Unable to Print Full Call Notes Data. Error: ") +
                                      QString::fromUtf8(e.what()) + QStringLiteral(" Will now Print only visible Screen"));
    }
}

} // namespace qb
