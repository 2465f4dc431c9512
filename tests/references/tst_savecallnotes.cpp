// The call notes editor through the command bar, its boxes and the toolbar: opening,
// the checks and their question, storing and reopening, a failed save, Enter and resize.
#include "core/ole_date.h"
#include "references/savecallnotes.h"
#include "platform/window_helpers.h"
#include "references_fixture.h"
#include "support/webengine_test_main.h"

#include <QLabel>

#include <QDir>

using namespace qb;
using namespace qb::test;

class TestSaveCallNotes : public QObject {
    Q_OBJECT
private slots:
    void new_note_opens_empty_with_today();
    void checks_data();
    void checks();
    void yes_stays_and_no_drops();
    void stored_note_reads_back_after_a_restart();
    void blank_notes_are_no_notes();
    void failed_save_stays_on_the_editor();
    void enter_walks_the_fields();
    void resize_keeps_floors();

private:
    static SaveCallNotes* open_new(ReferencesFixture& f) {
        f.press(button_call_notes);
        return f.window<SaveCallNotes>("SaveCallNotes");
    }
};

void TestSaveCallNotes::new_note_opens_empty_with_today() {
    ReferencesFixture f;
    SaveCallNotes* e = open_new(f);
    QVERIFY(e->isVisible());
    QCOMPARE(f.core().current_screen, int(screen_new_call_notes));
    QCOMPARE(e->Date_textbox->text(), QString("3/14/2026"));
    QCOMPARE(e->Title_label->text(), QString("Notes from Company Conference Call with Investors"));
    QVERIFY(e->security_name->hasFocus());
    QVERIFY(!e->is_modified());
    // Leaving untouched asks nothing and stores nothing.
    f.press(button_summary);
    QCOMPARE(f.fx.messages.questions.size(), 0);
    QCOMPARE(f.core().current_screen, int(screen_summary));
    QCOMPARE(f.entries_records(), 0);
}

void TestSaveCallNotes::checks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("topic_length");
    QTest::addColumn<int>("notes_length");
    QTest::addColumn<QString>("message");  // "" when valid
    QTest::newRow("topic 100") << "Acme" << "3/1/2026" << 100 << 10 << "";
    QTest::newRow("topic 101") << "Acme" << "3/1/2026" << 101 << 10 << "Topic name is too long.";
    QTest::newRow("notes 30000") << "Acme" << "3/1/2026" << 5 << 30000 << "";
    QTest::newRow("notes 30001") << "Acme" << "3/1/2026" << 5 << 30001
                                 << "Call Notes field is too long..use a text editor and Attach the file";
    QTest::newRow("no name and a bad date") << "" << "13/45/2026" << 5 << 5
                                            << "Security Name must be filled in. Date is Invalid. ";
    QTest::newRow("date with a time") << "Acme" << "3/1/2026 10:30 AM" << 5 << 5 << "";
    QTest::newRow("ISO date") << "Acme" << "2026-03-01" << 5 << 5 << "";
}

void TestSaveCallNotes::checks() {
    QFETCH(QString, name);
    QFETCH(QString, date);
    QFETCH(int, topic_length);
    QFETCH(int, notes_length);
    QFETCH(QString, message);
    ReferencesFixture f;
    SaveCallNotes* e = open_new(f);
    e->security_name->setText(name);
    e->Date_textbox->setText(date);
    e->topic_textbox->setText(QString(topic_length, u't'));
    e->Other_textbox->setPlainText(QString(notes_length, u'n'));
    f.fx.messages.answers.enqueue(kAnswerYes);
    f.save();
    if (message.isEmpty()) {
        QCOMPARE(f.fx.messages.questions.size(), 0);
        QCOMPARE(f.core().current_screen, int(screen_edit_call_notes));
        QCOMPARE(date_from_ole(f.core().current_entry.entry.entry_date), QDate(2026, 3, 1));
        QCOMPARE(f.core().current_entry.entry.entry_date, double(int(f.core().current_entry.entry.entry_date)));
    } else {
        QCOMPARE(f.fx.messages.questions.size(), 1);
        QCOMPARE(f.fx.messages.questions[0].second,
                 "Entry not Valid. Data NOT Saved. " + message + "\r\nWould you like to Correct this data?");
        QCOMPARE(f.fx.messages.styles[0], kStyleStop);
        QCOMPARE(f.entries_records(), 0);
    }
}

void TestSaveCallNotes::yes_stays_and_no_drops() {
    ReferencesFixture f;
    SaveCallNotes* e = open_new(f);
    f.type(e->topic_textbox, "Q3 call");
    f.fx.messages.answers.enqueue(kAnswerYes);
    f.press(button_checklists);
    QCOMPARE(f.core().current_screen, int(screen_new_call_notes));
    QVERIFY(e->isVisible());
    QVERIFY(e->is_modified());
    f.fx.messages.answers.enqueue(kAnswerNo);
    f.press(button_checklists);
    QCOMPARE(f.core().current_screen, int(screen_checklists));
    QVERIFY(!e->is_modified());
    QCOMPARE(f.entries_records(), 0);
}

void TestSaveCallNotes::stored_note_reads_back_after_a_restart() {
    ReferencesFixture f;
    SaveCallNotes* e = open_new(f);
    f.type(e->security_name, "Acme Corp");
    f.type(e->symbol_textbox, "ACME");
    e->Date_textbox->setText("3/1/2026");
    f.type(e->security_price, "12.5");
    f.type(e->topic_textbox, "Q3 call  ");
    e->Other_textbox->setPlainText("Margins up.\nGuidance raised.");
    f.save();
    Core& c = f.core();
    QCOMPARE(c.current_screen, int(screen_edit_call_notes));
    QCOMPARE(c.current_entry.mode, int(mode_edit));
    QVERIFY(!e->is_modified());
    QCOMPARE(f.entries_records(), 2);
    QCOMPARE(c.autocomplete_names['A' - 33][0], QString("Acme Corp"));
    // A second save of the same entry overwrites it.
    f.type(e->topic_textbox, "x");
    f.save();
    QCOMPARE(f.entries_records(), 2);

    f.restart();
    Core& r = f.core();
    const int32_t index = f.last_live_entry();
    QVERIFY(index >= 0);
    QCOMPARE(r.SummaryData[index].transaction, QString("Call Notes"));
    QCOMPARE(r.SummaryData[index].web.present, kTrue);
    f.open_entry(index);
    QCOMPARE(r.current_screen, int(screen_edit_call_notes));
    SaveCallNotes* back = f.window<SaveCallNotes>("SaveCallNotes");
    QVERIFY(back->isVisible());
    QCOMPARE(back->security_name->text(), QString("Acme Corp"));
    QCOMPARE(back->symbol_textbox->text(), QString("ACME"));
    QCOMPARE(back->security_price->text(), QString("12.50"));
    QCOMPARE(back->Date_textbox->text(), QString("3/1/2026"));
    // The topic is kept as typed; the record's text field drops only its padding.
    QCOMPARE(back->topic_textbox->text(), QString("Q3 call  x"));
    QCOMPARE(back->notes_text(), QString("Margins up.\r\nGuidance raised."));
    QVERIFY(!back->is_modified());
}

void TestSaveCallNotes::blank_notes_are_no_notes() {
    ReferencesFixture f;
    SaveCallNotes* e = open_new(f);
    f.type(e->security_name, "Acme");
    e->Other_textbox->setPlainText("     ");
    f.save();
    const SummaryEntry& s = f.core().SummaryData[f.core().current_entry.index];
    QCOMPARE(f.core().current_screen, int(screen_edit_call_notes));
    QCOMPARE(s.other.present, kFalse);
    QCOMPARE(s.other.text, QString());
}

void TestSaveCallNotes::failed_save_stays_on_the_editor() {
    ReferencesFixture f;
    // VarData.dat cannot be opened while a folder holds its name.
    QFile::remove(f.fx.path("VarData.dat"));
    QVERIFY(QDir(f.fx.dir.path()).mkdir("VarData.dat"));
    SaveCallNotes* e = open_new(f);
    f.type(e->security_name, "Acme");
    e->Other_textbox->setPlainText("Notes that must not be lost");
    f.save();
    Core& c = f.core();
    QVERIFY(f.fx.messages.box_texts().value(0).startsWith("Error: "));
    QCOMPARE(c.current_screen, int(screen_new_call_notes));
    QCOMPARE(c.current_entry.mode, int(mode_new));
    QVERIFY(e->is_modified());
    f.press(button_summary);
    QVERIFY(e->isVisible());
    QCOMPARE(f.entries_records(), 0);

    QVERIFY(QDir(f.fx.dir.path()).rmdir("VarData.dat"));
    f.save();
    QCOMPARE(c.current_screen, int(screen_edit_call_notes));
    QCOMPARE(f.entries_records(), 2);
}

void TestSaveCallNotes::enter_walks_the_fields() {
    ReferencesFixture f;
    SaveCallNotes* e = open_new(f);
    const QList<QWidget*> order{e->security_name, e->symbol_textbox, e->Date_textbox,
                                e->security_price, e->topic_textbox, e->Other_textbox};
    for (int i = 0; i + 1 < order.size(); ++i) {
        order[i]->setFocus();
        QTest::keyClick(order[i], Qt::Key_Return);
        QVERIFY2(order[i + 1]->hasFocus(), qPrintable(order[i]->objectName()));
        QCOMPARE(order[i + 1]->palette().color(QPalette::Base), QColor(255, 255, 0));
        QCOMPARE(order[i]->palette().color(QPalette::Base), QColor(255, 255, 255));
    }
    QTest::keyClick(e->Other_textbox, Qt::Key_Return);
    QVERIFY(e->Other_textbox->hasFocus());
}

void TestSaveCallNotes::resize_keeps_floors() {
    ReferencesFixture f;
    SaveCallNotes* e = open_new(f);
    const int notes = e->Other_textbox->height();
    f.mdi->resize(f.mdi->width() + 150, f.mdi->height() + 90);
    e->handle_resize();
    QCOMPARE(e->Other_textbox->height(), notes + 90);
    f.mdi->resize(120, 90);
    e->handle_resize();
    QCOMPARE(e->Other_textbox->height(), twips_to_px(100));
    QCOMPARE(e->height(), twips_to_px(f.mdi->min_insideMDI_heigth));
}

QB_WEBENGINE_TEST_MAIN(TestSaveCallNotes)
#include "tst_savecallnotes.moc"
