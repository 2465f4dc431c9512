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
        start_canvas();
        listname->text = QStringLiteral("Conference Call Notes");
        listname->alignment = Qt::AlignHCenter;
        listname->Top = 400;

        lay_out_header_grid(editor, {"security_name", "security_price", "topic_textbox", "Date_textbox"},
                            {"Security:", "Price:", "Subject:", "Date:"});

        Label3->text = QStringLiteral("Notes from the Call: ");
        Label3->Top = security_price_textbox->Top + security_price_textbox->Height + 360;

        copy_field(Other_info_textbox, named_control(editor, QStringLiteral("Other_textbox")));
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
