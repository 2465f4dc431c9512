// The print layout of a transaction entry, read from the editor on screen: the header,
// the shown checklist's rows with their answer pictures and comments, row placement and
// page breaks, and the text of the printed pages in order.
#include "print_fixtures.h"

#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

QStringList items(int n, const QString& stem = "Item") {
    QStringList l;
    for (int i = 1; i <= n; ++i) l << QStringLiteral("%1 %2 to check").arg(stem).arg(i);
    return l;
}

// Every row ends above the next, no row starts in the top inch of a later page, and rows
// that fit on a page do not cross its bottom inch.
void check_rows(const PrintEntry* p, int last) {
    for (int i = 0; i <= last; ++i) {
        const auto r = size_t(i);
        const int top = p->Text1[r]->Top;
        const int bottom = std::max(top + p->Text1[r]->Height, p->Text6[r]->Top + p->Text6[r]->Height);
        QVERIFY2(top > p->MyComments->Top + p->MyComments->Height, qPrintable(QString::number(i)));
        if (i > 0) QVERIFY(top > p->Line3[r - 1]->Y2);
        const int page = top / PrintEntry::kPageHeight;
        if (page > 0 && i > 0 && p->Text1[r - 1]->Top / PrintEntry::kPageHeight < page)
            QVERIFY(top - page * PrintEntry::kPageHeight >= 1440);
        if (bottom - top + 2 * 1440 <= PrintEntry::kPageHeight)
            QVERIFY2(bottom <= (page + 1) * PrintEntry::kPageHeight - 1440, qPrintable(QString::number(i)));
        QVERIFY(p->Picture1->Height >= bottom + 1000);
    }
}

} // namespace

class TestPrintEntry : public QObject {
    Q_OBJECT
private slots:
    void layout_of_twelve_items();
    void printed_text_in_order();
    void row_placement();
    void one_item_prints();
    void no_items_prints_screen();
    void long_details_keep_rows_below();
    void big_entry_prints_in_full();
};

void TestPrintEntry::layout_of_twelve_items() {
    EntryPrint t({{"Growth", items(12)}});
    t.answer(0, 1);
    t.answer(1, 2);
    t.answer(2, 3);
    t.comment(0, "  Sales grew  ");
    bool ok = false;
    PrintEntry* p = t.layout(ok);
    QVERIFY(ok);
    QCOMPARE(p->ThingstoCheck_label->text, QString("12 Things to Check"));
    QCOMPARE(p->listname->text, QString("Growth"));
    QCOMPARE(p->listname->alignment, Qt::AlignHCenter);
    QCOMPARE(p->Other_info_textbox->Height, 250);
    QCOMPARE(p->listname->Top, 2010);
    QCOMPARE(p->ThingstoCheck_label->Top, 2010 + 375 + 300);
    QCOMPARE(p->MyComments->Top, p->ThingstoCheck_label->Top);
    QCOMPARE(p->Text1[0]->Top, p->MyComments->Top + 375 + 100);
    QCOMPARE(p->trans_text->text, QString("Buy"));
    QCOMPARE(p->security_name_textbox->text, QString("Acme Corp"));
    QCOMPARE(p->security_price_textbox->text, QString("12.5"));
    QCOMPARE(p->Date_textbox->text, t.editor()->Date_textbox->text());
    QCOMPARE(p->security_name_textbox->ForeColor, uint32_t(0xC00000));
    QCOMPARE(p->Text6[0]->text, QString("Sales grew"));
    const int pictures[] = {1, 2, 3, 0};
    for (int i = 0; i < 4; ++i) QCOMPARE(p->Check1[size_t(i)]->picture, pictures[i]);
    for (int i = 0; i < 30; ++i) {
        const auto r = size_t(i);
        QCOMPARE(p->Text1[r]->shown(), i < 12);
        QCOMPARE(p->Num_label[r]->shown(), i < 12);
        if (i >= 12) continue;
        QCOMPARE(p->Num_label[r]->text, QString::number(i + 1) + ".");
        QCOMPARE(p->Num_label[r]->Left, i + 1 >= 10 ? 240 : 310);
        QCOMPARE(p->Num_label[r]->Left + p->Num_label[r]->Width, 565);
        QCOMPARE(p->Check1[r]->Left, 550);
        QCOMPARE(p->Text1[r]->text, items(12)[i]);
        // One line each: 203 high, the next row 158 below its end.
        QCOMPARE(p->Text1[r]->Height, 203);
        QCOMPARE(p->Line3[r]->Y1, p->Text1[r]->Top + 203 + 35);
        QCOMPARE(p->Line3[r]->Y2, p->Text1[r]->Top + 203 + 38);
        QCOMPARE(p->Line3[r]->X1, 6120);
        QCOMPARE(p->Line3[r]->X2, 6120 + 4215);
        if (i > 0) QCOMPARE(p->Text1[r]->Top, p->Text1[r - 1]->Top + 203 + 158);
    }
    QVERIFY(t.fx.messages.boxes.isEmpty());
}

void TestPrintEntry::printed_text_in_order() {
    EntryPrint t({{"Growth", items(12)}});
    t.type(t.editor()->Other_info_textbox, "Strong brand");
    t.comment(3, "Watch the debt");
    const QString pdf = t.print();
    QCOMPARE(t.fx.printer.dialogs.size(), 1);
    QCOMPARE(pdf_pages(pdf), 1);
    const QString text = pdf_text(pdf);
    QStringList order{"Transaction:", "Buy", "Security Name:", "Acme Corp", "Security Price:", "12.5", "Date:",
                      "Additional Details (My crystal ball):", "Strong brand", "Growth", "12 Things to Check",
                      "Comments", "1.", "Item 1 to check", "4.", "Item 4 to check", "Watch the debt", "12.",
                      "Item 12 to check"};
    qsizetype at = 0;
    for (const QString& s : order) {
        const qsizetype next = text.indexOf(s, at);
        QVERIFY2(next >= 0, qPrintable(s));
        at = next + s.size();
    }
    QVERIFY(!text.contains("ACME"));
    QVERIFY(!text.contains("Item 13"));
}

void TestPrintEntry::row_placement() {
    EntryPrint t({{"Rows", {"a\r\nb\r\nc", "one", "x"}}});
    t.comment(0, "short");
    t.comment(1, "l1\r\nl2\r\nl3\r\nl4");
    bool ok = false;
    PrintEntry* p = t.layout(ok);
    QVERIFY(ok);
    const int top0 = p->Text1[0]->Top;
    QCOMPARE(p->Text1[0]->Height, 609);
    QCOMPARE(p->Text6[0]->Height, 203);
    QCOMPARE(p->Text6[0]->Top, top0 + 406);
    QCOMPARE(p->Text1[1]->Top, top0 + 609 + 158);
    // A comment longer than its item text makes the row as high as the comment.
    QCOMPARE(p->Text6[1]->Top, p->Text1[1]->Top);
    QCOMPARE(p->Line3[1]->Y1, p->Text1[1]->Top + 812 + 35);
    // An empty comment still takes a line.
    QCOMPARE(p->Text6[2]->Height, 203);
}

void TestPrintEntry::one_item_prints() {
    EntryPrint t({ChecklistDef{"Single", {"The only thing"}}});
    t.answer(0, 1);
    const QString pdf = t.print();
    QVERIFY(t.fx.messages.boxes.isEmpty());
    const QString text = pdf_text(pdf);
    QVERIFY(text.contains("1 Things to Check"));
    QVERIFY(text.contains("The only thing"));
}

void TestPrintEntry::no_items_prints_screen() {
    EntryPrint t({ChecklistDef{"Empty", {}}});
    const QString pdf = t.print();
    QCOMPARE(t.fx.messages.box_texts(), QStringList{"Error: Unable to Print Screen. Error: Checklist Format Problem"});
    // The editor as it shows is printed instead.
    QCOMPARE(pdf_pages(pdf), 1);
    QVERIFY(!t.shell->is_form_loaded("PrintEntry"));
}

void TestPrintEntry::long_details_keep_rows_below() {
    for (int lines : {58, 100, 131, 140}) {
        EntryPrint t({{"Growth", items(30)}});
        QStringList d;
        for (int i = 1; i <= lines; ++i) d << QStringLiteral("Detail line %1").arg(i);
        AddEntry::set_box_text(t.editor()->Other_info_textbox, d.join("\r\n"));
        bool ok = false;
        PrintEntry* p = t.layout(ok);
        QVERIFY(ok);
        QCOMPARE(p->Other_info_textbox->Height, lines * 250);
        check_rows(p, 29);
        QVERIFY(t.fx.messages.boxes.isEmpty());
        QVERIFY(p->copy_data_and_print());
        QStringList printed;
        for (const QStringList& page : printed_lines(t.fx.printer.documents.last(), "Detail line")) printed += page;
        QCOMPARE(printed, d);
        QStringList rows;
        for (const QStringList& page : printed_lines(t.fx.printer.documents.last(), "to check")) rows += page;
        QCOMPARE(int(rows.size()), 30);
        QVERIFY(rows.last().endsWith("Item 30 to check"));
    }
}

void TestPrintEntry::big_entry_prints_in_full() {
    QList<ChecklistDef> lists;
    for (int b = 0; b < 5; ++b) {
        QStringList l;
        for (int i = 1; i <= 30; ++i)
            l << QStringLiteral("B%1I%2 ").arg(b).arg(i, 2, 10, QChar(u'0')) + QString("item ").repeated(198);
        lists << ChecklistDef{QStringLiteral("List %1").arg(b), l};
    }
    EntryPrint t(lists);
    AddEntry::set_box_text(t.editor()->Other_info_textbox, QString("detail ").repeated(4285));
    for (int i = 0; i < 30; ++i) t.comment(i, QStringLiteral("C%1 ").arg(i, 2, 10, QChar(u'0')) + QString("note ").repeated(599));
    bool ok = false;
    PrintEntry* p = t.layout(ok);
    QVERIFY(ok);
    check_rows(p, 29);
    QVERIFY(p->copy_data_and_print());
    QVERIFY(t.fx.messages.boxes.isEmpty());
    const QString text = pdf_text(t.fx.printer.documents.last());
    for (int i = 1; i <= 30; ++i) QCOMPARE(int(text.count(QStringLiteral("B0I%1").arg(i, 2, 10, QChar(u'0')))), 1);
    for (int i = 0; i < 30; ++i) QCOMPARE(int(text.count(QStringLiteral("C%1 ").arg(i, 2, 10, QChar(u'0')))), 1);
    QCOMPARE(int(text.count("detail")), 4285);
}

QTEST_MAIN(TestPrintEntry)
#include "tst_print_entry.moc"
