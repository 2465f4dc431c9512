// The print canvas and its page output, shown with the call-notes layout: page counts and
// slices, text read back from the printed PDF in order with no line cut at a page edge,
// the growing notes box, colours, printer failures and a fresh canvas for every print.
#include "report_fixture.h"
#include "reports/print_entry.h"
#include "reports/print_screen.h"

#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

QString numbered_lines(int n, const QString& word = "Line") {
    QStringList l;
    for (int i = 1; i <= n; ++i) l << QStringLiteral("%1 %2 of the call").arg(word).arg(i, 3, 10, QChar(u'0'));
    return l.join("\r\n");
}

struct CallNotesPrint : ReportFixture {
    CallNotesPrint() {
        shell->register_window("SaveCallNotes", [this] {
            return make_named_editor(mdi, "SaveCallNotes",
                                     {"security_name", "symbol_textbox", "security_price", "topic_textbox", "Date_textbox"},
                                     {"Other_textbox"});
        });
        editor = shell->window("SaveCallNotes");
        set_control_text(editor, "security_name", "Acme Corp");
        set_control_text(editor, "symbol_textbox", "ACME");
        set_control_text(editor, "security_price", "12.50");
        set_control_text(editor, "topic_textbox", "Fourth quarter");
        set_control_text(editor, "Date_textbox", "1/7/2026");
    }
    PrintEntry* fresh() {
        shell->unload("PrintEntry");
        return shell->window_as<PrintEntry>("PrintEntry");
    }
    // Lays the notes out and prints them; the PDF written, or "" when nothing was printed.
    QString print(const QString& notes, PrintEntry** layout = nullptr) {
        set_control_text(editor, "Other_textbox", notes);
        PrintEntry* p = fresh();
        if (layout) *layout = p;
        bool ok = false;
        p->set_values_from_SaveCallNotes(ok);
        if (!ok) return QString();
        const int before = int(fx.printer.documents.size());
        p->copy_data_and_print();
        return fx.printer.documents.size() > before ? fx.printer.documents.last() : QString();
    }
    QWidget* editor = nullptr;
};

} // namespace

class TestPrintCanvas : public QObject {
    Q_OBJECT
private slots:
    void page_count_data();
    void page_count();
    void call_notes_layout();
    void call_notes_text_in_order();
    void slices_end_at_whole_lines();
    void long_notes_print_in_full();
    void every_print_starts_fresh();
    void printer_failure();
    void canvas_shows_what_prints();
};

void TestPrintCanvas::page_count_data() {
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("pages");
    QTest::newRow("empty") << 0 << 1;
    QTest::newRow("one page exactly") << 15840 << 1;
    QTest::newRow("one twip more") << 15841 << 2;
    QTest::newRow("20000") << 20000 << 2;
    QTest::newRow("two pages exactly") << 31680 << 2;
    QTest::newRow("three") << 31681 << 3;
}

void TestPrintCanvas::page_count() {
    QFETCH(int, height);
    QFETCH(int, pages);
    CallNotesPrint t;
    PrintEntry* p = t.fresh();
    bool ok = false;
    set_control_text(t.editor, "Other_textbox", "Short");
    p->set_values_from_SaveCallNotes(ok);
    QVERIFY(ok);
    p->Picture1->Height = height;
    p->Picture2->Height = height;
    const auto slices = p->page_slices();
    QCOMPARE(int(slices.size()), pages);
    QCOMPARE(slices.last().bottom, height);
    if (height == 20000) {
        QCOMPARE(slices[0].bottom, 15840);
        QCOMPARE(slices[1].top, 15840);
    }
    QVERIFY(p->copy_data_and_print());
    QCOMPARE(pdf_pages(t.fx.printer.documents.last()), pages);
    QCOMPARE(p->Picture1->Width, 12240);
    QCOMPARE(p->Picture1->Left, 0);
    QVERIFY(t.fx.messages.boxes.isEmpty());
}

void TestPrintCanvas::call_notes_layout() {
    CallNotesPrint t;
    set_control_color(t.editor, "security_name", QColor(0, 0x80, 0));
    PrintEntry* p = nullptr;
    const QString pdf = t.print("", &p);
    QCOMPARE(p->listname->text, QString("Conference Call Notes"));
    QCOMPARE(p->listname->Top, 400);
    QCOMPARE(p->trans_text->Top, 375 + 500);
    QCOMPARE(p->Label1->Top, p->trans_text->Top);
    QCOMPARE(p->trans_text->text, QString("Acme Corp"));
    QCOMPARE(p->trans_text->ForeColor, uint32_t(0x008000));
    QCOMPARE(p->security_name_textbox->text, QString("12.50"));
    QCOMPARE(p->security_name_textbox->Left, 6220);
    QCOMPARE(p->Label2->Left, 4860);
    QCOMPARE(p->security_price_textbox->Top, 875 + 360);
    QCOMPARE(p->Label6->Width, p->Label1->Width);
    QCOMPARE(p->Date_textbox->Top, p->security_price_textbox->Top);
    QCOMPARE(p->Date_textbox->Width, 2955);
    QCOMPARE(p->Label3->Top, 1235 + 285 + 360);
    QCOMPARE(p->Other_info_textbox->Top, p->Label3->Top + 255 + 100);
    // Empty notes still take one line.
    QCOMPARE(p->Other_info_textbox->Height, 250);
    QVERIFY(!p->Other_info_textbox->font_bold);
    QVERIFY(!p->MyComments->shown() && !p->ThingstoCheck_label->shown());
    for (int i = 0; i < PrintEntry::kRows; ++i) QVERIFY(!p->Text1[size_t(i)]->shown() && !p->Check1[size_t(i)]->shown());
    QCOMPARE(pdf_pages(pdf), 1);
    const QString text = pdf_text(pdf);
    QStringList order{"Conference Call Notes", "Security:", "Acme Corp", "Price:", "12.50", "Subject:",
                      "Fourth quarter", "Date:", "1/7/2026", "Notes from the Call:"};
    qsizetype at = 0;
    for (const QString& s : order) {
        const qsizetype next = text.indexOf(s, at);
        QVERIFY2(next >= 0, qPrintable(s));
        at = next;
    }
    // The symbol is not printed.
    QVERIFY(!text.contains("ACME"));
}

void TestPrintCanvas::call_notes_text_in_order() {
    CallNotesPrint t;
    PrintEntry* p = nullptr;
    const QString pdf = t.print(numbered_lines(100), &p);
    QCOMPARE(p->Other_info_textbox->Height, 25000);
    const int bottom = p->Other_info_textbox->Top + 25000;
    QCOMPARE(p->Picture1->Height, bottom + 1000);
    QCOMPARE(p->Picture2->Height, bottom + 1000);
    QCOMPARE(p->window_height, bottom + 1000);
    QCOMPARE(pdf_pages(pdf), 2);
    QStringList all;
    for (const QStringList& page : printed_lines(pdf, "of the call")) all += page;
    QCOMPARE(all, numbered_lines(100).split("\r\n"));
}

void TestPrintCanvas::slices_end_at_whole_lines() {
    CallNotesPrint t;
    PrintEntry* p = nullptr;
    const QString pdf = t.print(numbered_lines(100), &p);
    // Notes lines start at 2235 and are 250 apart: the one from 15735 to 15985 would be cut.
    QCOMPARE(p->Other_info_textbox->Top, 2235);
    const auto slices = p->page_slices();
    QCOMPARE(slices[0].bottom, 15735);
    QCOMPARE(slices[1].top, 15735);
    const auto pages = printed_lines(pdf, "of the call");
    QCOMPARE(pages[0].last(), QString("Line 054 of the call"));
    QCOMPARE(pages[1].first(), QString("Line 055 of the call"));
}

void TestPrintCanvas::long_notes_print_in_full() {
    // 132 lines and more: the height no longer fits 16 bits, and everything still prints.
    CallNotesPrint t;
    PrintEntry* p = nullptr;
    const QString pdf = t.print(numbered_lines(140), &p);
    QVERIFY(!pdf.isEmpty());
    QCOMPARE(p->Other_info_textbox->Height, 140 * 250);
    QVERIFY(t.fx.messages.boxes.isEmpty());
    QStringList all;
    for (const QStringList& page : printed_lines(pdf, "of the call")) all += page;
    QCOMPARE(all, numbered_lines(140).split("\r\n"));

    // 30,000 characters of notes, as one paragraph.
    QString words;
    for (int i = 0; words.size() < 30000; ++i) words += QStringLiteral("w%1 ").arg(i, 5, 10, QChar(u'0'));
    const QString big = t.print(words.trimmed(), &p);
    QVERIFY(t.fx.messages.boxes.isEmpty());
    QVERIFY(pdf_pages(big) >= 3);
    const QString text = pdf_text(big);
    const int count = int(words.split(u' ', Qt::SkipEmptyParts).size());
    for (int i : {0, count / 2, count - 1}) QVERIFY(text.contains(QStringLiteral("w%1").arg(i, 5, 10, QChar(u'0'))));
    QCOMPARE(int(text.count(QRegularExpression("w\\d{5}"))), count);
}

void TestPrintCanvas::every_print_starts_fresh() {
    CallNotesPrint t;
    t.core().current_screen = screen_edit_call_notes;
    set_control_text(t.editor, "Other_textbox", numbered_lines(100));
    t.mdi->menu_item("mnuPrint")->trigger();
    set_control_text(t.editor, "Other_textbox", "Short now");
    t.mdi->menu_item("mnuPrint")->trigger();
    QCOMPARE(t.fx.printer.documents.size(), 2);
    QCOMPARE(pdf_pages(t.fx.printer.documents[0]), 2);
    QCOMPARE(pdf_pages(t.fx.printer.documents[1]), 1);
    QVERIFY(!t.shell->is_form_loaded("PrintEntry"));
    QCOMPARE(t.fx.printer.dialogs,
             QStringList(2, "Quorbelix Print|" + t.core().data_path("QB_Report.prn")));
}

void TestPrintCanvas::printer_failure() {
    CallNotesPrint t;
    t.fx.printer.fail = true;
    PrintEntry* p = t.fresh();
    bool ok = false;
    p->set_values_from_SaveCallNotes(ok);
    QVERIFY(ok);
    QVERIFY(!p->copy_data_and_print());
    QCOMPARE(t.fx.messages.box_texts(),
             QStringList{"Error: Error in Printing. Error: The printer could not start the document"});
    // A layout that cannot read its editor says so and prints nothing from the canvas.
    t.fx.messages.boxes.clear();
    t.shell->unload("SaveCallNotes");
    p = t.fresh();
    p->set_values_from_SaveCallNotes(ok);
    QVERIFY(!ok);
    QCOMPARE(t.fx.messages.box_texts(),
             QStringList{"Error: Unable to Print Full Call Notes Data. Error: The window SaveCallNotes is not open "
                         "Will now Print only visible Screen"});
}

void TestPrintCanvas::canvas_shows_what_prints() {
    CallNotesPrint t;
    PrintEntry* p = nullptr;
    t.print("Visible notes", &p);
    // The on-screen canvas draws with the same code: the notes box's text is on its widget.
    p->Other_info_textbox->place();
    const QImage img = p->Other_info_textbox->grab().toImage();
    bool inked = false;
    for (int y = 0; y < img.height() && !inked; ++y)
        for (int x = 0; x < img.width() && !inked; ++x) inked = img.pixelColor(x, y).lightness() < 128;
    QVERIFY(inked);
}

QTEST_MAIN(TestPrintCanvas)
#include "tst_print_canvas.moc"
