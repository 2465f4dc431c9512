// The print layout of a checklist, read from the editor's controls by their names: header
// fields and places, the items that are not empty with empty answer boxes, and the text
// of the printed page in order.
#include "print_fixtures.h"

#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

QList<int> shown_rows(const PrintEntry* p) {
    QList<int> rows;
    for (int i = 0; i < 30; ++i)
        if (p->Text1[size_t(i)]->shown()) rows << i;
    return rows;
}

} // namespace

class TestPrintChecklist : public QObject {
    Q_OBJECT
private slots:
    void header_and_places();
    void empty_items_are_skipped();
    void one_item_and_no_items();
    void printed_text_in_order();
    void long_why_text_prints_in_full();
};

void TestPrintChecklist::header_and_places() {
    ChecklistPrint t;
    set_control_color(t.editor, "Author_text", QColor(0x80, 0, 0x80));
    t.set_items({"First\r\nsecond line\r\nthird line", "Second"});
    bool ok = false;
    PrintEntry* p = t.layout(ok);
    QVERIFY(ok);
    QCOMPARE(p->listname->text, QString("Quality Growth"));
    QCOMPARE(p->listname->Top, 400);
    QCOMPARE(p->listname->ForeColor, uint32_t(0xC00000));
    QCOMPARE(p->Label1->text, QString("Author:"));
    QCOMPARE(p->trans_text->text, QString("A. Writer"));
    QCOMPARE(p->trans_text->ForeColor, uint32_t(0x800080));
    QCOMPARE(p->trans_text->Top, 875);
    QCOMPARE(p->security_name_textbox->Top, 875);
    QCOMPARE(p->Label2->text, QString("Copyright:"));
    QCOMPARE(p->security_price_textbox->Top, 1235);
    QCOMPARE(p->Label6->text, QString("Book Ref:"));
    QCOMPARE(p->Date_label->text, QString("Web Site:"));
    QCOMPARE(p->Date_textbox->text, QString("example.org/growth"));
    QCOMPARE(p->Label3->text, QString("Why this Checklist should be used: "));
    QCOMPARE(p->ThingstoCheck_label->text, QString("2 Things to Check"));
    QVERIFY(!p->MyComments->shown());
    const int first = p->ThingstoCheck_label->Top + 375 + 100;
    QCOMPARE(p->Text1[0]->Top, first);
    QCOMPARE(p->Text1[0]->Height, 609);
    QCOMPARE(p->Text1[0]->Width, 6815);
    QCOMPARE(p->Text1[1]->Top, first + 767);
    QCOMPARE(p->Line3[0]->X2 - p->Line3[0]->X1, 6815);
    for (int i : {0, 1}) {
        QCOMPARE(p->Check1[size_t(i)]->picture, 0);
        QVERIFY(p->Check1[size_t(i)]->shown());
        QVERIFY(!p->Text6[size_t(i)]->shown());
    }
}

void TestPrintChecklist::empty_items_are_skipped() {
    ChecklistPrint t;
    t.set_items({"One", "Two", "", "Four", "    "});
    bool ok = false;
    PrintEntry* p = t.layout(ok);
    QVERIFY(ok);
    QCOMPARE(shown_rows(p), (QList<int>{0, 1, 3}));
    QCOMPARE(p->Num_label[3]->text, QString("4."));
    QCOMPARE(p->Text1[3]->Top, p->Text1[1]->Top + 203 + 158);
    // The heading is the editor's, which counts the item of blanks.
    QCOMPARE(p->ThingstoCheck_label->text, QString("5 Things to Check"));
}

void TestPrintChecklist::one_item_and_no_items() {
    ChecklistPrint t;
    t.set_items({"Only this"});
    bool ok = false;
    PrintEntry* p = t.layout(ok);
    QVERIFY(ok);
    QCOMPARE(shown_rows(p), QList<int>{0});
    t.set_items({});
    p = t.layout(ok);
    QVERIFY(ok);
    QVERIFY(shown_rows(p).isEmpty());
    QVERIFY(t.fx.messages.boxes.isEmpty());
}

void TestPrintChecklist::printed_text_in_order() {
    ChecklistPrint t;
    QStringList items;
    for (int i = 1; i <= 30; ++i) items << QStringLiteral("Check number %1 ").arg(i) + QString("word ").repeated(40);
    t.set_items(items);
    t.core().current_screen = screen_checklist_editor;
    t.mdi->menu_item("mnuPrint")->trigger();
    QCOMPARE(t.fx.printer.documents.size(), 1);
    const QString pdf = t.fx.printer.documents[0];
    QVERIFY(pdf_pages(pdf) >= 2);
    const QString text = pdf_text(pdf);
    QStringList order{"Quality Growth", "Author:", "A. Writer", "Copyright:", "2026 A. Writer", "Book Ref:",
                      "Growth Book p. 12", "Web Site:", "example.org/growth", "Why this Checklist should be used:",
                      "It keeps me honest.", "30 Things to Check"};
    qsizetype at = 0;
    for (const QString& s : order) {
        const qsizetype next = text.indexOf(s, at);
        QVERIFY2(next >= 0, qPrintable(s));
        at = next + s.size();
    }
    QStringList numbers;
    for (const QStringList& page : printed_lines(pdf, "Check number")) numbers += page;
    QCOMPARE(int(numbers.size()), 30);
    for (int i = 0; i < 30; ++i) QVERIFY(numbers[i].contains(QStringLiteral("Check number %1 ").arg(i + 1)));
    QVERIFY(!text.contains("Comments"));
    QVERIFY(t.fx.messages.boxes.isEmpty());
}

void TestPrintChecklist::long_why_text_prints_in_full() {
    ChecklistPrint t;
    QStringList why;
    for (int i = 1; i <= 140; ++i) why << QStringLiteral("Reason %1").arg(i);
    set_control_text(t.editor, "Whyuse_text", why.join("\n"));
    t.set_items({"One"});
    bool ok = false;
    PrintEntry* p = t.layout(ok);
    QVERIFY(ok);
    QCOMPARE(p->Other_info_textbox->Height, 140 * 250);
    QVERIFY(p->Text1[0]->Top > p->Other_info_textbox->Top + p->Other_info_textbox->Height);
    QVERIFY(p->copy_data_and_print());
    QStringList printed;
    for (const QStringList& page : printed_lines(t.fx.printer.documents.last(), "Reason")) printed += page;
    QCOMPARE(printed, why);
}

QTEST_MAIN(TestPrintChecklist)
#include "tst_print_checklist.moc"
