// The scoring panel of the transaction editor driven through its buttons and boxes:
// answers, block switching, the completed captions, the wrap of a sixth checklist,
// the comment limit, and scrolling by page keys, the wheel and answer clicks.
#include "addentry_fixture.h"
#include "core/codepage.h"

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
    void growing_comment_keeps_its_text();
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

void TestAddEntryChecklists::growing_comment_keeps_its_text() {
    EditorFixture f({{"Alpha", items("a", 4)}});
    f.press(button_buy);
    AddEntry* e = f.editor();
    const int one_line = e->Text6[0]->height();
    QTest::mouseClick(e->Text6[0]->viewport(), Qt::LeftButton);
    const QString text = QString("a rather long thought about this company ").repeated(3).trimmed();
    QTest::keyClicks(e->Text6[0], text);
    QCOMPARE(e->Text6[0]->toPlainText(), text);
    QVERIFY(e->Text6[0]->hasFocus());
    QVERIFY(e->Text6[0]->height() > one_line);
    // The next row moved down below the taller comment.
    QVERIFY(e->Text1[1]->y() >= e->Text6[0]->y() + e->Text6[0]->height());
    QVERIFY(e->is_modified());
}

QTEST_MAIN(TestAddEntryChecklists)
#include "tst_addentry_checklists.moc"
