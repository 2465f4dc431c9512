// Print Screen on the editors themselves: the call notes and the checklist laid out in
// full from the editors' boxes, and the web page editor printed as it shows and then its page.
#include "checklists/addchecklist.h"
#include "checklists/checklists_windows.h"
#include "references/references_fixture.h"
#include "references/savecallnotes.h"
#include "references/savewebpage.h"
#include "reports/reports_windows.h"
#include "support/webengine_test_main.h"

#include <QLabel>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

struct PrintFixture : ReferencesFixture {
    PrintFixture() {
        register_checklists_windows(*shell);
        register_reports_windows(*shell);
    }
    void print() { mdi->menu_item("mnuPrint")->trigger(); }
};

struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

} // namespace

class TestPrintReferences : public QObject {
    Q_OBJECT
private slots:
    void call_notes_editor_prints_in_full();
    void web_page_editor_prints_window_then_page();
    void checklist_editor_prints_in_full();
};

void TestPrintReferences::call_notes_editor_prints_in_full() {
    PrintFixture f;
    f.press(button_call_notes);
    auto* e = f.window<SaveCallNotes>("SaveCallNotes");
    f.type(e->security_name, "Acme Corp");
    f.type(e->topic_textbox, "Fourth quarter");
    QStringList notes;
    for (int i = 1; i <= 90; ++i) notes << QStringLiteral("Note line %1").arg(i);
    e->Other_textbox->setPlainText(notes.join("\n"));
    QCOMPARE(f.core().current_screen, int(screen_new_call_notes));
    f.print();
    QCOMPARE(f.fx.printer.documents.size(), 1);
    const QString pdf = f.fx.printer.documents[0];
    const QString text = pdf_text(pdf);
    QVERIFY(text.contains("Conference Call Notes"));
    QVERIFY(text.contains("Acme Corp"));
    QVERIFY(text.contains("Fourth quarter"));
    QVERIFY(text.contains(e->Date_textbox->text()));
    QStringList printed;
    for (int p = 1; p <= pdf_pages(pdf); ++p)
        for (const QString& l : pdf_text(pdf, p).split(u'\n'))
            if (l.contains("Note line")) printed << l.trimmed();
    QCOMPARE(printed, notes);
    QVERIFY(f.fx.messages.boxes.isEmpty());
    // Printing stores nothing.
    QVERIFY(e->is_modified());
    QCOMPARE(f.entries_records(), 0);
}

void TestPrintReferences::web_page_editor_prints_window_then_page() {
    PrintFixture f;
    f.press(button_web_page);
    auto* e = f.window<SaveWebPage>("SaveWebPage");
    PaintCounter painted;
    e->Printeronly->installEventFilter(&painted);
    f.print();
    QCOMPARE(f.fx.printer.dialogs.size(), 1);
    QCOMPARE(f.fx.printer.documents.size(), 2);
    QVERIFY(painted.paints > 0);
    QVERIFY(e->Printeronly->isHidden());
    QVERIFY(pdf_ink(f.fx.printer.documents[0]) > 10);
    QVERIFY(f.fx.messages.boxes.isEmpty());
}

void TestPrintReferences::checklist_editor_prints_in_full() {
    PrintFixture f;
    f.press(button_new_checklist);
    auto* e = f.window<AddChecklist>("AddChecklist");
    QCOMPARE(f.core().current_screen, int(screen_checklist_editor));
    f.type(e->name_text, "Moat Check");
    f.type(e->Author_text, "Me");
    for (int i : {0, 1, 3}) f.type(e->Text1[size_t(i)], QStringLiteral("Question %1 about the moat").arg(i + 1));
    f.print();
    QCOMPARE(f.fx.printer.documents.size(), 1);
    const QString text = pdf_text(f.fx.printer.documents[0]);
    QVERIFY(text.contains("Moat Check"));
    QVERIFY(text.contains("Author:"));
    QVERIFY(text.contains(e->Things_label->text()));
    QStringList rows;
    for (const QString& l : text.split(u'\n'))
        if (l.contains("about the moat")) rows << l.simplified();
    QCOMPARE(rows, (QStringList{"1. Question 1 about the moat", "2. Question 2 about the moat", "4. Question 4 about the moat"}));
    QVERIFY(f.fx.messages.boxes.isEmpty());
}

QB_WEBENGINE_TEST_MAIN(TestPrintReferences)
#include "tst_print_editors.moc"
