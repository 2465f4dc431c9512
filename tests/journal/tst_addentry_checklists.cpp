// The scoring panel of the transaction editor driven through its buttons and boxes:
// answers, block switching, the completed captions, the wrap of a sixth checklist,
// the comment limit, and scrolling by page keys, the wheel and answer clicks.
#include "addentry_fixture.h"
#include "core/codepage.h"
#include "platform/window_helpers.h"

#include <QLabel>
#include <QScrollBar>
#include <QWheelEvent>

using namespace qb;
using namespace qb::test;

namespace {

QStringList items(const QString& stem, int n) {
    QStringList out;
    for (int i = 1; i <= n; ++i) out << QString("%1 %2").arg(stem).arg(i);
    return out;
}

// Long items: each wraps onto several lines, so only a few rows fit at once.
QStringList long_items(int n) {
    QStringList out;
    for (int i = 1; i <= n; ++i)
        out << QString("Item %1: ").arg(i) + QString("does the company earn its keep year after year? ").repeated(3);
    return out;
}

// The box shows its text from the first character: not scrolled down or sideways, and
// its last line inside the box (up to the pixel its frame may cover).
bool shows_whole_text(QPlainTextEdit* box) {
    if (box->verticalScrollBar()->value() != 0 || box->horizontalScrollBar()->value() != 0) return false;
    if (box->cursorForPosition(QPoint(1, 1)).position() != 0) return false;
    QTextCursor end(box->document());
    end.movePosition(QTextCursor::End);
    return box->viewport()->rect().contains(box->cursorRect(end).center());
}

int drawn_rows(AddEntry* e) {
    int n = 0;
    for (QPlainTextEdit* t : e->Text1) n += t->isVisible() ? 1 : 0;
    return n;
}

} // namespace

class TestAddEntryChecklists : public QObject {
    Q_OBJECT
private slots:
    void answer_cycles_through_four_states();
    void block_switching_keeps_answers_and_comments();
    void completed_caption_and_colours();
    void six_checklists_wrap_onto_block_zero();
    void comment_limit_data();
    void comment_limit();
    void page_keys_and_wheel_scroll_the_rows();
    void answering_last_drawn_row_brings_next_into_view();
    void growing_comment_keeps_its_text_data();
    void growing_comment_keeps_its_text();
    void stored_long_comment_opens_whole();
    void up_and_down_in_a_one_line_comment_move_rows();
};

void TestAddEntryChecklists::answer_cycles_through_four_states() {
    EditorFixture f({{"Alpha", items("a", 3)}});
    f.press(button_buy);
    AddEntry* e = f.editor();
    QList<int> seen;
    for (int click = 0; click < 4; ++click) {
        QTest::mouseClick(e->Check1[1], Qt::LeftButton);
        seen << e->row_answer(1);
        QCOMPARE(e->Check1[1]->property("qb_answer").toInt(), seen.last());
        QVERIFY(e->Text6[1]->hasFocus());
    }
    QCOMPARE(seen, QList<int>({answer_yes, answer_no, answer_unsure, answer_none}));
    QVERIFY(e->is_modified());
    // A resize redraws the rows; what they hold is kept through it.
    f.mdi->resize(f.mdi->width() + 60, f.mdi->height() + 30);
    QCOMPARE(e->row_answer(1), int16_t(answer_none));
    QCOMPARE(e->Text1[1]->palette().color(QPalette::Base), QColor(255, 255, 0));
}

void TestAddEntryChecklists::block_switching_keeps_answers_and_comments() {
    EditorFixture f({{"Alpha", items("a", 3)}, {"Beta", items("b", 2)}});
    f.press(button_buy);
    AddEntry* e = f.editor();
    QVERIFY(e->Avail_checklist[1]->isVisible());
    QVERIFY(!e->Avail_checklist[2]->isVisible());
    QCOMPARE(e->ThingstoCheck_label->text(), QString("3 Things to Check"));

    QTest::mouseClick(e->Check1[0], Qt::LeftButton);
    f.type(e->Text6[1], "watch debt");
    QTest::mouseClick(e->Avail_checklist[1], Qt::LeftButton);
    QCOMPARE(e->listname->text(), QString("Beta"));
    QCOMPARE(e->Text1[0]->toPlainText(), QString("b 1"));
    QCOMPARE(e->Text6[1]->toPlainText(), QString());
    QCOMPARE(e->row_answer(0), int16_t(answer_none));
    QVERIFY(e->Avail_checklist[1]->font().bold());
    QVERIFY(!e->Avail_checklist[0]->font().bold());
    QVERIFY(e->Text6[0]->hasFocus());
    QTest::mouseClick(e->Check1[1], Qt::LeftButton);
    QTest::mouseClick(e->Check1[1], Qt::LeftButton);

    QTest::mouseClick(e->Avail_checklist[0], Qt::LeftButton);
    QCOMPARE(e->listname->text(), QString("Alpha"));
    QCOMPARE(e->row_answer(0), int16_t(answer_yes));
    QCOMPARE(e->Text6[1]->toPlainText(), QString("watch debt"));
    QTest::mouseClick(e->Avail_checklist[1], Qt::LeftButton);
    QCOMPARE(e->row_answer(1), int16_t(answer_no));

    // Both blocks reach the saved entry.
    f.type(e->security_name_textbox, "Acme");
    f.save();
    QCOMPARE(f.core().current_screen, int(screen_edit_transaction));
    const SummaryEntry& s = f.core().SummaryData[f.core().current_entry.index];
    QCOMPARE(s.checklist[0].Item.at(0).answer, int16_t(answer_yes));
    QCOMPARE(s.checklist[0].Item.at(1).comment, QString("watch debt"));
    QCOMPARE(s.checklist[1].Item.at(1).answer, int16_t(answer_no));
}

void TestAddEntryChecklists::completed_caption_and_colours() {
    EditorFixture f({{"Quality Of Earnings Review", items("q", 2)}, {"Beta", items("b", 1)}});
    f.press(button_buy);
    AddEntry* e = f.editor();
    QCOMPARE(e->Avail_checklist[0]->text(), QString("Quality Of Earnings Review"));
    QTest::mouseClick(e->Check1[0], Qt::LeftButton);
    QTest::mouseClick(e->Check1[1], Qt::LeftButton);
    // The caption follows at the next switch, not at the last answer.
    QCOMPARE(e->Avail_checklist[0]->text(), QString("Quality Of Earnings Review"));
    QTest::mouseClick(e->Avail_checklist[1], Qt::LeftButton);
    QCOMPARE(e->Avail_checklist[0]->text(), QString("Quality Of Earnings (Completed)"));
    QVERIFY(e->Avail_checklist[0]->styleSheet().contains("#c0c0ff"));
    QVERIFY(e->Avail_checklist[1]->styleSheet().contains("#ffff00"));
    QCOMPARE(f.core().current_entry.entry.checklist[0].completed, kTrue);
    QTest::mouseClick(e->Avail_checklist[0], Qt::LeftButton);
    QVERIFY(e->Avail_checklist[0]->styleSheet().contains("#ffff00"));
}

void TestAddEntryChecklists::six_checklists_wrap_onto_block_zero() {
    QList<ChecklistDef> lists;
    lists << ChecklistDef{"First", items("one", 5)};
    for (const char* name : {"Second", "Third", "Fourth", "Fifth"}) lists << ChecklistDef{name, items(name, 2)};
    // Blank items between filled ones close up.
    lists << ChecklistDef{"Sixth", {"  six a ", "", "six b"}};
    EditorFixture f(lists);
    f.press(button_buy);
    const SummaryEntry& e = f.core().current_entry.entry;
    QCOMPARE(e.checklist[0].name, QString("Sixth"));
    QCOMPARE(e.checklist[0].last_item_index, int16_t(1));
    QCOMPARE(e.checklist[0].Item.at(0).text, QString("six a"));
    QCOMPARE(e.checklist[0].Item.at(1).text, QString("six b"));
    // Nothing of the first checklist stays under the sixth one's name.
    QCOMPARE(e.checklist[0].Item.at(2).text, QString());
    QCOMPARE(e.checklist[1].name, QString("Second"));
    QCOMPARE(e.checklist[4].name, QString("Fifth"));
    QCOMPARE(f.log_count("Too many checklists have ShowIt>0 (AddEntry)"), 1);
    QCOMPARE(f.fx.messages.boxes.size(), 0);
    AddEntry* ed = f.editor();
    QCOMPARE(ed->listname->text(), QString("Sixth"));
    QCOMPARE(drawn_rows(ed), 2);
}

void TestAddEntryChecklists::comment_limit_data() {
    QTest::addColumn<QList<int>>("rows");  // 0-based rows given a comment
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("named");  // 1-based row named in the message, 0 when it passes
    QTest::newRow("3000 passes") << QList<int>{2} << 3000 << 0;
    QTest::newRow("3001 in row 3") << QList<int>{2} << 3001 << 3;
    QTest::newRow("rows 3 and 7: the last") << QList<int>{2, 6} << 3001 << 7;
}

void TestAddEntryChecklists::comment_limit() {
    QFETCH(QList<int>, rows);
    QFETCH(int, length);
    QFETCH(int, named);
    EditorFixture f({{"Alpha", items("a", 8)}, {"Beta", items("b", 1)}});
    f.press(button_buy);
    AddEntry* e = f.editor();
    for (int r : rows) e->Text6[size_t(r)]->setPlainText(QString(length, u'c'));
    QTest::mouseClick(e->Avail_checklist[1], Qt::LeftButton);
    if (named == 0) {
        QCOMPARE(f.fx.messages.boxes.size(), 0);
        QCOMPARE(e->listname->text(), QString("Beta"));
        QCOMPARE(f.core().current_entry.entry.checklist[0].Item.at(2).comment.size(), 3000);
        return;
    }
    QCOMPARE(f.fx.messages.box_texts(),
             QStringList({QString("Error: Your Checklist Comment:  %1 is too long. Please fix before moving to next "
                                  "Checklist.")
                              .arg(named)}));
    QCOMPARE(e->listname->text(), QString("Alpha"));
    QCOMPARE(e->Text6[size_t(rows.last())]->toPlainText().size(), length);
}

void TestAddEntryChecklists::page_keys_and_wheel_scroll_the_rows() {
    EditorFixture f({{"Long", long_items(30)}});
    f.press(button_buy);
    AddEntry* e = f.editor();
    const int fitted = drawn_rows(e);
    QVERIFY(fitted > 3);
    QVERIFY(fitted < 30);
    QCOMPARE(e->VScroll1->maximum(), 29);

    QTest::mouseClick(e->Text6[0]->viewport(), Qt::LeftButton);
    QVERIFY(e->Text6[0]->hasFocus());
    QTest::keyClick(e->Text6[0], Qt::Key_PageDown);
    QCOMPARE(e->VScroll1->value(), 3);
    QVERIFY(e->Text6[3]->hasFocus());
    QCOMPARE(e->first_item_shown, int16_t(0));

    // Paging past the drawn rows moves the first drawn row down by the same distance.
    while (e->VScroll1->value() + 3 <= e->last_item_shown) QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    const int before = e->first_item_shown;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    QCOMPARE(e->first_item_shown, int16_t(before + 3));
    // The focus lands on the last drawn row, and the bar follows the focus.
    QVERIFY(e->Text6[size_t(e->last_item_shown)]->hasFocus());
    QCOMPARE(e->VScroll1->value(), int(e->last_item_shown));
    QVERIFY(!e->Text1[0]->isVisible());
    for (int i = 0; i < 20; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    QCOMPARE(e->VScroll1->value(), 29);
    QVERIFY(e->Text1[29]->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    QCOMPARE(e->VScroll1->value(), 26);

    // One wheel notch forward over a comment moves the bar one step up.
    QWidget* viewport = e->Text6[26]->viewport();
    QWheelEvent wheel(QPointF(5, 5), viewport->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    QCOMPARE(e->VScroll1->value(), 25);
}

void TestAddEntryChecklists::answering_last_drawn_row_brings_next_into_view() {
    EditorFixture f({{"Long", long_items(12)}});
    f.press(button_buy);
    AddEntry* e = f.editor();
    const int last = e->last_item_shown;
    QVERIFY(last < 11);
    QVERIFY(!e->Text1[size_t(last + 1)]->isVisible());
    QTest::mouseClick(e->Check1[size_t(last)], Qt::LeftButton);
    QVERIFY(e->Text1[size_t(last + 1)]->isVisible());
    QVERIFY(e->Text6[size_t(last)]->hasFocus());
    QCOMPARE(e->row_answer(last), int16_t(answer_yes));
}

void TestAddEntryChecklists::growing_comment_keeps_its_text_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::newRow("two lines") << "a rather long thought about" << 2;
    QTest::newRow("three lines") << "a rather long thought about this company and" << 3;
    QTest::newRow("six lines") << QString("a rather long thought about this company ").repeated(3).trimmed() << 6;
}

void TestAddEntryChecklists::growing_comment_keeps_its_text() {
    QFETCH(QString, text);
    QFETCH(int, lines);
    EditorFixture f({{"Alpha", items("a", 4)}});
    f.press(button_buy);
    AddEntry* e = f.editor();
    const int one_line = e->Text6[0]->height();
    QTest::mouseClick(e->Text6[0]->viewport(), Qt::LeftButton);
    QTest::keyClicks(e->Text6[0], text);
    QCOMPARE(e->Text6[0]->toPlainText(), text);
    QVERIFY(e->Text6[0]->hasFocus());
    QCOMPARE(e->Text6[0]->height(), twips_to_px(lines * AddEntry::kLineTwips));
    QVERIFY(e->Text6[0]->height() > one_line);
    QVERIFY(shows_whole_text(e->Text6[0]));
    // The next row moved down below the taller comment.
    QVERIFY(e->Text1[1]->y() >= e->Text6[0]->y() + e->Text6[0]->height());
    QVERIFY(e->is_modified());
}

void TestAddEntryChecklists::stored_long_comment_opens_whole() {
    EditorFixture f({{"Alpha", items("a", 4)}});
    f.type_valid_buy();
    AddEntry* e = f.editor();
    const QString text = "a rather long thought about this company and";
    f.type(e->Text6[1], text);
    f.save();
    f.press(button_summary);
    f.title()->setfocus_to_last_entry();
    f.press(button_details);
    QCOMPARE(e->Text6[1]->toPlainText(), text);
    QCOMPARE(e->Text6[1]->height(), twips_to_px(3 * AddEntry::kLineTwips));
    QVERIFY(shows_whole_text(e->Text6[1]));
    // Clicking into it to read on keeps the start in view.
    QTest::mouseClick(e->Text6[1]->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(e->Text6[1]->hasFocus());
    QVERIFY(shows_whole_text(e->Text6[1]));
    QTest::keyClick(e->Text6[1], Qt::Key_End, Qt::ControlModifier);
    QVERIFY(shows_whole_text(e->Text6[1]));
}

void TestAddEntryChecklists::up_and_down_in_a_one_line_comment_move_rows() {
    EditorFixture f({{"Alpha", items("a", 4)}});
    f.press(button_buy);
    AddEntry* e = f.editor();
    f.type(e->Text6[1], "short");
    QTest::keyClick(e->Text6[1], Qt::Key_Down);
    QVERIFY(e->Text6[2]->hasFocus());
    QCOMPARE(e->Text6[2]->palette().color(QPalette::Base), QColor(255, 255, 0));
    QCOMPARE(e->Text6[1]->palette().color(QPalette::Base), QColor(255, 255, 255));
    QTest::keyClick(e->Text6[2], Qt::Key_Up);
    QTest::keyClick(e->Text6[1], Qt::Key_Up);
    QVERIFY(e->Text6[0]->hasFocus());
    QTest::keyClick(e->Text6[0], Qt::Key_Up);  // nothing above the first row
    QVERIFY(e->Text6[0]->hasFocus());
    // A comment of several lines keeps Up and Down for its own lines.
    f.type(e->Text6[3], QString("a rather long thought about this company ").repeated(3));
    QTest::keyClick(e->Text6[3], Qt::Key_Up);
    QVERIFY(e->Text6[3]->hasFocus());
}

QTEST_MAIN(TestAddEntryChecklists)
#include "tst_addentry_checklists.moc"
