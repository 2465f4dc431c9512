#pragma once
// The two editors the whole-data print layouts read: the real transaction editor, and a
// checklist editor made of the named boxes the checklist layout looks for.
#include "journal/addentry_fixture.h"
#include "report_fixture.h"
#include "reports/print_entry.h"

#include <QLabel>

namespace qb::test {

// A print window made afresh and laid out by one of its layouts.
inline PrintEntry* fresh_layout(Shell& shell, void (PrintEntry::*layout)(bool&), bool& ok) {
    shell.unload("PrintEntry");
    auto* p = shell.window_as<PrintEntry>("PrintEntry");
    (p->*layout)(ok);
    return p;
}

// The document the last print wrote.
inline QString last_document(const FakePrinter& printer) { return printer.documents.value(printer.documents.size() - 1); }

struct EntryPrint : EditorFixture {
    explicit EntryPrint(const QList<ChecklistDef>& lists) : EditorFixture(lists) {
        register_reports_windows(*shell);
        type_valid_buy();
    }
    PrintEntry* layout(bool& ok) { return fresh_layout(*shell, &PrintEntry::set_values_from_addentry, ok); }
    QString print() {
        mdi->menu_item("mnuPrint")->trigger();
        return last_document(fx.printer);
    }
    void answer(int row, int clicks) {
        for (int k = 0; k < clicks; ++k) QTest::mouseClick(editor()->Check1[size_t(row)], Qt::LeftButton);
    }
    void comment(int row, const QString& text) { AddEntry::set_box_text(editor()->Text6[size_t(row)], text); }
};

struct ChecklistPrint : ReportFixture {
    ChecklistPrint() {
        shell->register_window("AddChecklist", [this] {
            QStringList texts{"Whyuse_text"};
            for (int i = 0; i < 30; ++i) texts << QStringLiteral("Text1_%1").arg(i);
            QWidget* w = make_named_editor(
                mdi, "AddChecklist", {"name_text", "Author_text", "Copyright_text", "BookRef_text", "Website_text"}, texts);
            auto* things = new QLabel(w);
            things->setObjectName("Things_label");
            return w;
        });
        editor = shell->window("AddChecklist");
        set_control_text(editor, "name_text", "Quality Growth");
        set_control_text(editor, "Author_text", "A. Writer");
        set_control_text(editor, "Copyright_text", "2026 A. Writer");
        set_control_text(editor, "BookRef_text", "Growth Book p. 12");
        set_control_text(editor, "Website_text", "example.org/growth");
        set_control_text(editor, "Whyuse_text", "It keeps me honest.");
    }
    void set_items(const QStringList& items) {
        for (int i = 0; i < 30; ++i) set_control_text(editor, QStringLiteral("Text1_%1").arg(i), items.value(i));
        editor->findChild<QLabel*>("Things_label")->setText(QString::number(items.size()) + " Things to Check");
    }
    PrintEntry* layout(bool& ok) { return fresh_layout(*shell, &PrintEntry::set_values_from_addchecklist, ok); }
    QString print() {
        core().current_screen = screen_checklist_editor;
        mdi->menu_item("mnuPrint")->trigger();
        return last_document(fx.printer);
    }
    QWidget* editor = nullptr;
};

} // namespace qb::test
