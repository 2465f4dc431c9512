// The checklist editor's item rows driven through their controls: layout and count,
// growth of a row to seven lines, boxes as tall as the lines they show, the tick, Insert
// and Delete at the edges, page and arrow keys, the wheel, and the resize margins and
// floors.
#include "checklists_fixture.h"

#include <QAbstractTextDocumentLayout>
#include <QPushButton>
#include <QTextBlock>
#include <QTextLayout>
#include <QWheelEvent>

using namespace qb;
using namespace qb::test;

namespace {

QStringList thirty(int filled) {
    QStringList items;
    for (int i = 0; i < filled; ++i) items << QStringLiteral("Item %1").arg(i + 1);
    return items;
}

// Opens the first checklist of the table in the editor, as a double-click on the list does.
AddChecklist* open_first(ChecklistsFixture& f) {
    ShowChecklists* l = f.open_list();
    QTest::mouseDClick(l->Title_textbox[0], Qt::LeftButton);
    return f.editor();
}

QStringList texts(AddChecklist* e) {
    QStringList out;
    for (QPlainTextEdit* t : e->Text1) out << t->toPlainText();
    return out;
}

int shown_rows(AddChecklist* e) {
    int n = 0;
    for (QPlainTextEdit* t : e->Text1) n += t->isVisible();
    return n;
}

void wheel(QWidget* w, int delta) {
    QWheelEvent ev(QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), QPoint(), QPoint(0, delta), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &ev);
}

// The lines an item box breaks its text into, by its own layout.
int box_lines(QPlainTextEdit* box) {
    int n = 0;
    for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next()) {
        box->document()->documentLayout()->blockBoundingRect(b);  // lays the block out when it is not yet
        n += b.layout()->lineCount();
    }
    return n;
}

// What keeps an item box from showing its text as it is, from the box's own layout: the
// first line scrolled away, lines below the box's bottom, or an empty line under the
// text. Empty when the box is as tall as the lines it breaks its text into.
QString misfit(QPlainTextEdit* box) {
    const QAbstractTextDocumentLayout* layout = box->document()->documentLayout();
    qreal text_height = 0;
    for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next())
        text_height += layout->blockBoundingRect(b).height();
    const int shown = box->viewport()->height();
    if (box->verticalScrollBar()->value() != 0)
        return QStringLiteral("first line scrolled out (to %1)").arg(box->verticalScrollBar()->value());
    if (text_height > shown) return QStringLiteral("text %1 px high in a box of %2 px").arg(text_height).arg(shown);
    if (shown - text_height >= QFontMetricsF(box->font()).lineSpacing())
        return QStringLiteral("empty line under text %1 px high in a box of %2 px").arg(text_height).arg(shown);
    return QString();
}

} // namespace

class TestAddChecklistRows : public QObject {
    Q_OBJECT
private slots:
    void empty_checklist_shows_17_rows();
    void row_grows_to_seven_lines();
    void grown_row_past_the_bottom_becomes_the_top_row();
    void box_is_as_tall_as_its_text_data();
    void box_is_as_tall_as_its_text();
    void tick_follows_the_text();
    void count_follows_what_the_boxes_hold();
    void insert_and_delete_warn_without_an_item();
    void insert_moves_items_down();
    void insert_refused_when_full_data();
    void insert_refused_when_full();
    void delete_at_the_edges();
    void page_arrow_keys_and_wheel();
    void resize_follows_the_width_within_floors();
};

void TestAddChecklistRows::empty_checklist_shows_17_rows() {
    ChecklistsFixture f;
    f.press(button_new_checklist);
    AddChecklist* e = f.editor();
    QCOMPARE(shown_rows(e), 17);
    QCOMPARE(e->last_shown_item, int16_t(16));
    QCOMPARE(e->Num_label[0]->text(), QStringLiteral("1."));
    QCOMPARE(e->Num_label[16]->text(), QStringLiteral("17."));
    QCOMPARE(e->Things_label->text(), QStringLiteral("0 Things to Check"));
    QCOMPARE(e->Text1[0]->height(), twips_to_px(195));
    QCOMPARE(e->Text1[1]->y() - e->Text1[0]->y(), twips_to_px(950) - twips_to_px(600));
    QVERIFY(e->VScroll1->isVisible());
    QCOMPARE(e->VScroll1->maximum(), 29);
}

void TestAddChecklistRows::row_grows_to_seven_lines() {
    ChecklistsFixture f;
    f.press(button_new_checklist);
    AddChecklist* e = f.editor();
    QPlainTextEdit* row = e->Text1[0];
    f.focus(row);
    int lines = 1;
    for (int word = 0; word < 200 && e->line_count[0] < 9; ++word) {
        QTest::keyClicks(row, QStringLiteral("word%1 ").arg(word));
        const int n = e->line_count[0];
        QVERIFY(n >= lines);
        lines = n;
        QCOMPARE(row->height(), twips_to_px(std::min(n, 7) * 195));
        QCOMPARE(QApplication::focusWidget(), row);
    }
    QVERIFY(e->line_count[0] >= 8);
    QCOMPARE(row->height(), twips_to_px(1365));
    QCOMPARE(e->Check1[0]->isChecked(), true);
    QVERIFY(!e->Check1[0]->icon().isNull());
    QCOMPARE(e->add_or_edit_ongoing, true);
    // The rows below were pushed down: fewer of them fit.
    QCOMPARE(e->last_shown_item, int16_t(13));
    QCOMPARE(e->Text1[1]->y(), twips_to_px(600 + 1365 + 155));
    // Enter starts a new line of the item, not a new item.
    row->moveCursor(QTextCursor::End);
    QTest::keyClick(row, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), row);
    // Deleting the text shrinks the row again.
    row->selectAll();
    QTest::keyClick(row, Qt::Key_Delete);
    QTest::keyClicks(row, "short");
    QCOMPARE(e->line_count[0], int16_t(1));
    QCOMPARE(row->height(), twips_to_px(195));
    QCOMPARE(shown_rows(e), 17);
    // A line end typed in the box counts as one line.
    QTest::keyClick(row, Qt::Key_Return);
    QTest::keyClicks(row, "more");
    QCOMPARE(e->line_count[0], int16_t(2));
    QCOMPARE(AddChecklist::box_text(row), QStringLiteral("short\r\nmore"));
}

void TestAddChecklistRows::grown_row_past_the_bottom_becomes_the_top_row() {
    ChecklistsFixture f;
    f.press(button_new_checklist);
    AddChecklist* e = f.editor();
    QPlainTextEdit* row = e->Text1[16];  // the last row that fits
    f.focus(row);
    QTest::keyClicks(row, "one");
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(row, Qt::Key_Return);
        QTest::keyClicks(row, "more");
    }
    QCOMPARE(e->first_shown_item, int16_t(16));
    QCOMPARE(e->VScroll1->value(), 16);
    QVERIFY(row->isVisible());
    QCOMPARE(QApplication::focusWidget(), row);
    QCOMPARE(row->y(), twips_to_px(600));
    QVERIFY(!e->Text1[0]->isVisible());
}

void TestAddChecklistRows::box_is_as_tall_as_its_text_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("taken_back");  // Backspaces after the last line
    QTest::newRow("one line") << QStringList{"Is the debt low?"} << 0;
    QTest::newRow("several lines") << QStringList{"One", "Two", "Three", "Four"} << 0;
    QTest::newRow("a wrapped line")
        << QStringList{"First", "Does the company earn more than it spends on its plant, year after year?", "Third",
                       "Fourth"}
        << 0;
    QTest::newRow("a line wrapped nearly twice")
        << QStringList{"First", "Does the company earn more than it spends on its plant and machines, year after year?",
                       "Third", "Fourth"}
        << 0;
    QTest::newRow("a long unbroken word") << QStringList{"Ticker:", QString(60, u'W')} << 0;
    QTest::newRow("ending in a line end") << QStringList{"Ends with Enter", ""} << 0;
    QTest::newRow("eight lines, the last taken back") << QStringList{"1", "2", "3", "4", "5", "6", "7", "8"} << 2;
}

void TestAddChecklistRows::box_is_as_tall_as_its_text() {
    QFETCH(QStringList, lines);
    QFETCH(int, taken_back);
    const QString typed = lines.join(u'\n').chopped(taken_back);
    QString stored;
    {
        ChecklistsFixture f(ChecklistsFixture::numbered(1));
        f.press(button_new_checklist);
        AddChecklist* e = f.editor();
        QPlainTextEdit* row = e->Text1[0];
        f.click(row);
        QCOMPARE(QApplication::focusWidget(), row);
        // Key by key, Enter between the lines: while the box can grow around its text
        // (seven lines), it shows all it holds from the first line on.
        auto check = [&] {
            if (box_lines(row) > 7) return QString();
            const QString m = misfit(row);
            return m.isEmpty() ? m : row->toPlainText() + QStringLiteral(": ") + m;
        };
        QString m;
        for (int l = 0; l < lines.size() && m.isEmpty(); ++l) {
            if (l > 0) {
                QTest::keyClick(row, Qt::Key_Return);
                m = check();
            }
            for (qsizetype c = 0; c < lines[l].size() && m.isEmpty(); ++c) {
                QTest::keyClicks(row, lines[l].mid(c, 1));
                m = check();
            }
        }
        for (int k = 0; k < taken_back && m.isEmpty(); ++k) {
            QTest::keyClick(row, Qt::Key_Backspace);
            m = check();
        }
        QVERIFY2(m.isEmpty(), qPrintable(m));
        QCOMPARE(row->toPlainText(), typed);
        f.type(e->name_text, "Heights");
        f.save();
        stored = f.stored(1).items[0];
        QCOMPARE(stored, QString(typed).replace(u'\n', QStringLiteral("\r\n")));

        // Opened again, the box is as tall as its text, and an empty item one line.
        ShowChecklists* l = f.open_list();
        const auto at = std::find_if(l->Title_textbox.begin(), l->Title_textbox.end(), [](QLineEdit* t) {
            return t->isVisible() && t->text() == QStringLiteral("Heights");
        });
        QVERIFY(at != l->Title_textbox.end());
        QTest::mouseDClick(*at, Qt::LeftButton);
        QCOMPARE(f.core().current_screen, int(screen_checklist_editor));
        QCOMPARE(row->toPlainText(), typed);
        QVERIFY(row->isVisible());
        QCOMPARE(misfit(row), QString());
        QCOMPARE(misfit(e->Text1[1]), QString());
        QCOMPARE(e->Text1[1]->height(), twips_to_px(195));
    }
    // So it is after a new start.
    ChecklistsFixture f({ListDef{"Heights", 0, {stored}}});
    AddChecklist* e = open_first(f);
    QCOMPARE(e->Text1[0]->toPlainText(), typed);
    QCOMPARE(misfit(e->Text1[0]), QString());
}

void TestAddChecklistRows::tick_follows_the_text() {
    ChecklistsFixture f({ListDef{"Ticks", 1, {"Has text"}}});
    AddChecklist* e = open_first(f);
    // Clearing the tick of an item with text sets it again.
    QVERIFY(e->Check1[0]->isChecked());
    f.click(e->Check1[0]);
    QVERIFY(e->Check1[0]->isChecked());
    // The tick of an empty item: set by the click, the focus goes into its box, and the
    // tick is cleared again when the focus leaves the box still empty.
    QVERIFY(!e->Check1[2]->isChecked());
    QVERIFY(e->Check1[2]->icon().isNull());
    f.click(e->Check1[2]);
    QVERIFY(e->Check1[2]->isChecked());
    QVERIFY(!e->Check1[2]->icon().isNull());
    QCOMPARE(QApplication::focusWidget(), e->Text1[2]);
    f.focus(e->Text1[3]);
    QVERIFY(!e->Check1[2]->isChecked());
    QVERIFY(e->Check1[2]->icon().isNull());
    // An emptied item loses its tick when the focus leaves it; the count follows.
    f.focus(e->Text1[0]);
    QCOMPARE(e->Things_label->text(), QStringLiteral("1 Things to Check"));
    e->Text1[0]->selectAll();
    QTest::keyClick(e->Text1[0], Qt::Key_Delete);
    QVERIFY(e->Check1[0]->isChecked());
    f.focus(e->name_text);
    QVERIFY(!e->Check1[0]->isChecked());
    QCOMPARE(e->Things_label->text(), QStringLiteral("0 Things to Check"));
    QCOMPARE(e->item_highlighted, false);
}

// The heading counts the items the boxes hold as they are typed and emptied, and reads
// the same after a Save and after the checklist is opened again.
void TestAddChecklistRows::count_follows_what_the_boxes_hold() {
    ChecklistsFixture f(ChecklistsFixture::numbered(1));
    f.press(button_new_checklist);
    AddChecklist* e = f.editor();
    f.type(e->name_text, "Counted");
    f.type(e->Text1[0], "Cheap?");
    QCOMPARE(e->Things_label->text(), QStringLiteral("1 Things to Check"));
    f.save();
    QCOMPARE(f.core().current_screen, int(screen_checklist_editor));
    QCOMPARE(e->Things_label->text(), QStringLiteral("1 Things to Check"));
    f.type(e->Text1[1], "Growing?");
    QCOMPARE(e->Things_label->text(), QStringLiteral("2 Things to Check"));
    // Emptied, the item is no longer counted, while its box still has the focus.
    e->Text1[1]->selectAll();
    QTest::keyClick(e->Text1[1], Qt::Key_Delete);
    QCOMPARE(QApplication::focusWidget(), e->Text1[1]);
    QCOMPARE(e->Things_label->text(), QStringLiteral("1 Things to Check"));
    f.save();
    QCOMPARE(e->Things_label->text(), QStringLiteral("1 Things to Check"));
    f.press(button_checklists);
    ShowChecklists* l = f.list();
    QTest::mouseDClick(l->Title_textbox[1], Qt::LeftButton);
    QCOMPARE(f.editor()->name_text->text(), QStringLiteral("Counted"));
    QCOMPARE(f.editor()->Things_label->text(), QStringLiteral("1 Things to Check"));
}

void TestAddChecklistRows::insert_and_delete_warn_without_an_item() {
    ChecklistsFixture f({ListDef{"Warn", 1, thirty(5)}});
    AddChecklist* e = open_first(f);
    QCOMPARE(e->item_highlighted, false);
    f.click(e->Insert_Thing);
    f.click(e->Delete_Thing);
    QCOMPARE(f.warnings(),
             (QStringList{"Warning: No 'Thing to Check' is Highlighted. Please Highlight (click on) a 'Thing to Check', then "
                          "press Insert",
                          "Warning: No 'Thing to Check' is Highlighted. Please Highlight (click on) the 'Thing to Check' you "
                          "wish to Delete, then press Delete"}));
    QCOMPARE(texts(e), thirty(5) + QStringList(25, QString()));
    QCOMPARE(e->add_or_edit_ongoing, false);
}

void TestAddChecklistRows::insert_moves_items_down() {
    ChecklistsFixture f({ListDef{"Insert", 1, thirty(8)}});
    AddChecklist* e = open_first(f);
    f.focus(e->Text1[4]);
    f.click(e->Insert_Thing);
    QStringList expected = thirty(8);
    expected.insert(4, QString());
    QCOMPARE(texts(e).mid(0, 9), expected);
    QCOMPARE(QApplication::focusWidget(), e->Text1[4]);
    QVERIFY(!e->Check1[4]->isChecked());
    QVERIFY(e->Check1[5]->isChecked());
    QCOMPARE(e->Things_label->text(), QStringLiteral("8 Things to Check"));
    QCOMPARE(e->add_or_edit_ongoing, true);
    f.press(button_checklists);
    QCOMPARE(f.stored(0).items.mid(0, 9), expected);
    QCOMPARE(f.stored(0).total_items, int16_t(8));
}

void TestAddChecklistRows::insert_refused_when_full_data() {
    QTest::addColumn<QStringList>("items");
    QStringList last_only(30, QString());
    last_only[0] = "First";
    last_only[29] = "Thirty";
    QTest::newRow("30 items") << thirty(30);
    QTest::newRow("item 30 filled") << last_only;
}

void TestAddChecklistRows::insert_refused_when_full() {
    QFETCH(QStringList, items);
    ChecklistsFixture f({ListDef{"Full", 1, items}});
    AddChecklist* e = open_first(f);
    f.focus(e->Text1[0]);
    f.click(e->Insert_Thing);
    QCOMPARE(f.warnings(), QStringList{"Error: No additional 'Things to Check' can be added. Please delete an existing "
                                       "one, or combine 2 existing 'Things to Check' into one"});
    QCOMPARE(texts(e), items);
    QCOMPARE(QApplication::focusWidget(), e->Text1[0]);
    QCOMPARE(e->add_or_edit_ongoing, false);
}

void TestAddChecklistRows::delete_at_the_edges() {
    QStringList items = thirty(30);
    items[10] = QString();
    ChecklistsFixture f({ListDef{"Delete", 1, items}});
    AddChecklist* e = open_first(f);
    // An empty row: the gap closes, the items below move up.
    f.focus(e->Text1[10]);
    f.click(e->Delete_Thing);
    QStringList expected = items;
    expected.removeAt(10);
    expected << QString();
    QCOMPARE(texts(e), expected);
    QCOMPARE(QApplication::focusWidget(), e->Text1[10]);
    QCOMPARE(e->Things_label->text(), QStringLiteral("29 Things to Check"));
    // Row 30 only becomes blank.
    f.focus(e->Text1[10]);
    for (int i = 0; i < 6; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    QCOMPARE(QApplication::focusWidget(), e->Text1[28]);
    QTest::keyClick(e->Text1[28], Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), e->Text1[29]);
    QTest::keyClicks(e->Text1[29], "Thirty");
    QVERIFY(e->Check1[29]->isChecked());
    f.click(e->Delete_Thing);
    QCOMPARE(texts(e), expected);
    QVERIFY(!e->Check1[29]->isChecked());
    QCOMPARE(QApplication::focusWidget(), e->Text1[29]);
    f.press(button_checklists);
    QCOMPARE(f.stored(0).total_items, int16_t(29));
    QCOMPARE(f.stored(0).items, expected);
}

void TestAddChecklistRows::page_arrow_keys_and_wheel() {
    QStringList items = thirty(30);
    items[1] = "Two\r\nlines";
    ChecklistsFixture f({ListDef{"Keys", 1, items}});
    AddChecklist* e = open_first(f);
    // PageDown in a header box pages the rows too.
    f.focus(e->name_text);
    QTest::keyClick(e->name_text, Qt::Key_PageDown);
    QCOMPARE(QApplication::focusWidget(), e->Text1[3]);
    QTest::keyClick(e->Text1[3], Qt::Key_PageUp);
    QCOMPARE(QApplication::focusWidget(), e->Text1[0]);
    // Down from a one-line item moves to the next; in a two-line item it moves the caret.
    QTest::keyClick(e->Text1[0], Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), e->Text1[1]);
    e->Text1[1]->moveCursor(QTextCursor::Start);
    QTest::keyClick(e->Text1[1], Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), e->Text1[1]);
    QCOMPARE(e->Text1[1]->textCursor().blockNumber(), 1);
    // PageUp from item 2 goes to item 1.
    QTest::keyClick(e->Text1[1], Qt::Key_PageUp);
    QCOMPARE(QApplication::focusWidget(), e->Text1[0]);
    // A wheel notch forward on item 1 does nothing; back moves one down.
    wheel(e->Text1[0], 120);
    QCOMPARE(QApplication::focusWidget(), e->Text1[0]);
    wheel(e->Text1[0], -120);
    QCOMPARE(QApplication::focusWidget(), e->Text1[1]);
    // PageDown from item 28 goes to item 30; a wheel notch back there does nothing.
    f.focus(e->Text1[5]);
    for (int i = 0; i < 30 && e->highlighted_item < 27; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), e->Text1[27]);
    QTest::keyClick(e->Text1[27], Qt::Key_PageDown);
    QCOMPARE(QApplication::focusWidget(), e->Text1[29]);
    QVERIFY(e->Text1[29]->isVisible());
    wheel(e->Text1[29], -120);
    QCOMPARE(QApplication::focusWidget(), e->Text1[29]);
    QCOMPARE(e->VScroll1->value(), 29);
    wheel(e->Text1[29], 120);
    QCOMPARE(QApplication::focusWidget(), e->Text1[28]);
}

void TestAddChecklistRows::resize_follows_the_width_within_floors() {
    ChecklistsFixture f({ListDef{"Resize", 1, {QString(300, u'w')}}});
    AddChecklist* e = open_first(f);
    const int h0 = f.mdi->MDI_height_original;
    const int w0 = f.mdi->MDI_width_original;
    const int lines = e->line_count[0];
    const int rows_before = shown_rows(e);
    f.mdi->resize(twips_to_px(w0 + 1500), twips_to_px(h0 + 1200));
    const int grown = f.mdi->width_twips() - w0;
    QCOMPARE(e->item_text_width, 3735 + grown);
    for (int i = 0; i < 30; ++i) QCOMPARE(e->Text1[size_t(i)]->width(), twips_to_px(e->item_text_width));
    QCOMPARE(e->Line3[0]->x() + e->Line3[0]->width(), twips_to_px(9600 + grown));
    QVERIFY(e->line_count[0] < lines);  // measured again at the wider width
    QCOMPARE(e->item_area_height, 6515 + (f.mdi->height_twips() - h0));
    QVERIFY(shown_rows(e) > rows_before);
    const int larger_area = e->item_area_height;
    // Straight to smaller than at load: the floors hold, the area keeps its last value.
    f.mdi->resize(twips_to_px(w0 - 9000), twips_to_px(h0 - 3000));
    QCOMPARE(e->item_area_height, larger_area);
    QCOMPARE(e->VScroll1->height(), twips_to_px(6015));
    QVERIFY(px_to_twips(e->Text1[0]->width()) > 1500);
    QCOMPARE(e->item_text_width, 3735 + grown);
}

QTEST_MAIN(TestAddChecklistRows)
#include "tst_addchecklist_rows.moc"
