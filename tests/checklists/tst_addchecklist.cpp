// The checklist editor's header fields and its check and store: Enter order, the three
// questions with their answers, storing new and existing checklists into chklist.dat,
// a failed write, Cancel and Delete of a new checklist, and the file read back.
#include "checklists_fixture.h"
#include "support/file_faults.h"

#include <QDir>

using namespace qb;
using namespace qb::test;

namespace {

// Opens a new checklist and types a name and items in the given rows (0-based).
AddChecklist* new_checklist(ChecklistsFixture& f, const QString& name, const QMap<int, QString>& items) {
    f.press(button_new_checklist);
    AddChecklist* e = f.editor();
    if (!name.isEmpty()) f.type(e->name_text, name);
    for (auto it = items.constBegin(); it != items.constEnd(); ++it) {
        QPlainTextEdit* box = e->Text1[size_t(it.key())];
        f.focus(box);
        box->insertPlainText(it.value());
    }
    return e;
}

} // namespace

class TestAddChecklist : public QObject {
    Q_OBJECT
private slots:
    void new_checklist_shows_blank_fields();
    void enter_moves_through_the_header();
    void new_checklist_stored_in_its_rows();
    void questions_data();
    void questions();
    void two_long_items_any_yes_stays();
    void failed_write_keeps_the_edits();
    void full_disk_fails_each_change_data();
    void full_disk_fails_each_change();
    void existing_checklist_changed_in_author();
    void cancel_and_delete_drop_a_new_checklist();
    void written_file_reads_back_byte_exact();
    void damaged_file_loses_nothing();
};

void TestAddChecklist::new_checklist_shows_blank_fields() {
    ChecklistsFixture f(ChecklistsFixture::numbered(2));
    f.press(button_new_checklist);
    AddChecklist* e = f.editor();
    QCOMPARE(f.core().current_screen, int(screen_checklist_editor));
    QVERIFY(e->isVisible());
    QCOMPARE(QApplication::focusWidget(), e->name_text);
    QCOMPARE(e->name_text->text(), QString());
    QCOMPARE(e->Things_label->text(), QStringLiteral("0 Things to Check"));
    QCOMPARE(e->add_or_edit_ongoing, false);
    QCOMPARE(e->name_text->toolTip(), QStringLiteral("Type in the name of this checklist."));
    QCOMPARE(e->Website_text->toolTip(),
             QStringLiteral("Is there a web site that is related to this checklist? If so, type in the web address here."));
    QCOMPARE(e->Check1[0]->toolTip(),
             QStringLiteral("For display only, you do not need to check  (Will Check during transaction entry)."));
    QCOMPARE(e->Text1[3]->toolTip(), QStringLiteral("Type in a key point to remember, or question to answer."));
    QCOMPARE(e->name_text->palette().color(QPalette::Base), QColor(255, 255, 0));
    // Leaving a new checklist that was never touched asks nothing and stores nothing.
    const QByteArray before = f.file();
    f.press(button_checklists);
    QCOMPARE(f.fx.messages.questions.size(), 0);
    QCOMPARE(f.file(), before);
}

void TestAddChecklist::enter_moves_through_the_header() {
    ChecklistsFixture f;
    f.press(button_new_checklist);
    AddChecklist* e = f.editor();
    const QList<QWidget*> order{e->name_text, e->Author_text, e->Copyright_text, e->BookRef_text, e->Website_text,
                                e->Whyuse_text};
    f.focus(e->name_text);
    for (int i = 0; i + 1 < order.size(); ++i) {
        QTest::keyClicks(order[i], "ab");
        QTest::keyClick(order[i], Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), order[i + 1]);
        QCOMPARE(order[i]->palette().color(QPalette::Base), QColor(255, 255, 255));
    }
    QCOMPARE(e->Author_text->toPlainText(), QStringLiteral("ab"));  // no second line
    QTest::keyClicks(e->Whyuse_text, "one");
    QTest::keyClick(e->Whyuse_text, Qt::Key_Return);
    QTest::keyClicks(e->Whyuse_text, "two");
    QCOMPARE(QApplication::focusWidget(), e->Whyuse_text);
    QCOMPARE(AddChecklist::box_text(e->Whyuse_text), QStringLiteral("one\r\ntwo"));
    QCOMPARE(e->add_or_edit_ongoing, true);
}

void TestAddChecklist::new_checklist_stored_in_its_rows() {
    ChecklistsFixture f(ChecklistsFixture::numbered(2));
    f.fx.clock.current = QDateTime(QDate(2026, 5, 6), QTime(10, 15));
    AddChecklist* e = new_checklist(f, "Value", {{0, "Low debt?"}, {2, "Cash flow?"}, {4, "Moat?"}});
    f.save();
    QCOMPARE(f.core().current_screen, int(screen_checklist_editor));  // Save stays on the editor
    QCOMPARE(e->add_or_edit_ongoing, false);
    QCOMPARE(f.records(), 3);
    const StoredChecklist s = f.stored(2);
    QCOMPARE(s.name, QStringLiteral("Value"));
    QCOMPARE(s.total_items, int16_t(3));
    QCOMPARE(s.items.mid(0, 6), (QStringList{"Low debt?", "", "Cash flow?", "", "Moat?", ""}));
    QCOMPARE(s.version, int16_t(1));
    QCOMPARE(s.show_it, int16_t(0));
    QCOMPARE(s.inuse, int16_t(-1));
    QCOMPARE(datetime_from_ole(s.date), f.fx.clock.current);
    QCOMPARE(f.core().current_checklist.file_idx, 3);
    QCOMPARE(e->name_text->text(), QStringLiteral("Value"));
    // A second Save without a change writes nothing; a change rewrites the same record.
    QByteArray marked = f.file();
    marked[2 * kChecklistRecordSize + 60] = '#';  // inside the name's padding: any rewrite clears it
    write_file(f.fx.path("chklist.dat"), marked);
    f.save();
    QCOMPARE(f.file(), marked);
    f.type(e->Text1[1], "Growth?");
    QCOMPARE(e->Check1[1]->isChecked(), true);
    f.press(button_checklists);
    QCOMPARE(f.records(), 3);
    QCOMPARE(f.stored(2).total_items, int16_t(4));
    QCOMPARE(f.shown_titles(), (QStringList{"List 000", "List 001", "Value"}));
}

void TestAddChecklist::questions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("stays");
    const QString name_q = "Checklist Name must be included..data NOT saved.\r\nWould you like to Correct this data?";
    const QString item_q = "At least one item in the checklist must be added...data NOT saved.\r\nWould you like to Correct this data?";
    const QString long_q = "Checklist Item: 1 is too big. Must be less than 1000 letters\r\nData NOT Saved\r\nWould you like to "
                           "Correct this data?";
    QTest::newRow("no name, yes") << "" << "Item" << kAnswerYes << name_q << true;
    QTest::newRow("no name, no") << "" << "Item" << kAnswerNo << name_q << false;
    QTest::newRow("name of blanks, no") << "   " << "Item" << kAnswerNo << name_q << false;
    QTest::newRow("no item, yes") << "Name" << "" << kAnswerYes << item_q << true;
    QTest::newRow("no item, no") << "Name" << "  " << kAnswerNo << item_q << false;
    QTest::newRow("1001 letters, yes") << "Name" << QString(1001, u'x') << kAnswerYes << long_q << true;
    QTest::newRow("1001 letters, no") << "Name" << QString(1001, u'x') << kAnswerNo << long_q << false;
    QTest::newRow("1000 letters stored") << "Name" << QString(1000, u'x') << 0 << "" << false;
}

void TestAddChecklist::questions() {
    QFETCH(QString, name);
    QFETCH(QString, item);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(bool, stays);
    ChecklistsFixture f(ChecklistsFixture::numbered(2));
    AddChecklist* e = new_checklist(f, name, {});
    if (!item.isEmpty()) {
        f.focus(e->Text1[0]);
        e->Text1[0]->insertPlainText(item);
    }
    f.fx.messages.answers.enqueue(answer);
    const QByteArray before = f.file();
    f.press(button_summary);
    QCOMPARE(f.fx.messages.questions.size(), question.isEmpty() ? 0 : 1);
    if (!question.isEmpty()) {
        QCOMPARE(f.fx.messages.questions[0].second, question);
        QCOMPARE(f.fx.messages.styles[0], kStyleStop);
        QCOMPARE(f.file(), before);  // a checklist that fails a check is never stored
        QCOMPARE(f.core().maxChecklists_index(), 2);
        QCOMPARE(f.core().Checklists[2].Inuse, int16_t(0));
    } else {
        QCOMPARE(f.records(), 3);
        QCOMPARE(f.stored(2).items[0].size(), 1000);
    }
    QCOMPARE(f.core().current_screen, stays ? int(screen_checklist_editor) : int(screen_summary));
    QCOMPARE(e->add_or_edit_ongoing, stays);
    if (stays) QCOMPARE(e->name_text->text(), name);
}

void TestAddChecklist::two_long_items_any_yes_stays() {
    for (const auto& answers : {QList<int>{kAnswerYes, kAnswerNo}, QList<int>{kAnswerNo, kAnswerYes},
                                QList<int>{kAnswerNo, kAnswerNo}}) {
        ChecklistsFixture f(ChecklistsFixture::numbered(2));
        AddChecklist* e = new_checklist(f, "Long", {{3, QString(1100, u'a')}, {7, QString(1200, u'b')}});
        for (int a : answers) f.fx.messages.answers.enqueue(a);
        const bool yes = answers.contains(kAnswerYes);
        f.press(button_summary);
        QCOMPARE(f.fx.messages.questions.size(), 2);
        QVERIFY(f.fx.messages.questions[0].second.startsWith("Checklist Item: 4 is too big."));
        QVERIFY(f.fx.messages.questions[1].second.startsWith("Checklist Item: 8 is too big."));
        QCOMPARE(f.records(), 2);  // not stored, whatever the answers
        QCOMPARE(e->add_or_edit_ongoing, yes);
        QCOMPARE(f.core().current_screen, yes ? int(screen_checklist_editor) : int(screen_summary));
        if (yes) {
            // The edits are still pending: leaving again asks again.
            f.fx.messages.answers.enqueue(kAnswerNo);
            f.fx.messages.answers.enqueue(kAnswerNo);
            f.press(button_summary);
            QCOMPARE(f.fx.messages.questions.size(), 4);
        }
    }
}

void TestAddChecklist::failed_write_keeps_the_edits() {
    ChecklistsFixture f(ChecklistsFixture::numbered(2));
    AddChecklist* e = new_checklist(f, "Blocked", {{0, "Item"}});
    // A folder in the file's place: the checklist file cannot be opened.
    const QByteArray before = f.file();
    QVERIFY(QFile::remove(f.fx.path("chklist.dat")));
    QVERIFY(QDir(f.fx.dir.path()).mkdir("chklist.dat"));
    f.press(button_summary);
    QVERIFY(f.warnings().size() >= 1);
    QVERIFY(f.warnings()[0].startsWith("Error: Writing Checklist file: "));
    QCOMPARE(f.core().current_screen, int(screen_checklist_editor));
    QCOMPARE(e->add_or_edit_ongoing, true);
    // Once the file can be written again, the next Save stores the checklist.
    QVERIFY(QDir(f.fx.dir.path()).rmdir("chklist.dat"));
    write_file(f.fx.path("chklist.dat"), before);
    f.save();
    QCOMPARE(e->add_or_edit_ongoing, false);
    QCOMPARE(f.records(), 3);
    QCOMPARE(f.stored(2).name, QStringLiteral("Blocked"));
}

void TestAddChecklist::full_disk_fails_each_change_data() {
    QTest::addColumn<QString>("change");
    for (const char* change : {"edit", "new", "marks", "delete", "import"}) QTest::newRow(change) << QString(change);
}

// Each change of the checklist file on a disk with no room left: it is reported as
// failed, the file and the table stay as stored, and the user keeps what he did on screen.
void TestAddChecklist::full_disk_fails_each_change() {
    QFETCH(QString, change);
    ChecklistsFixture f(ChecklistsFixture::numbered(3, 2));
    Core& c = f.core();
    c.export_checklist(f.fx.path("export.txt"), 0);
    const QByteArray before = f.file();
    const QVector<Checklist> table = c.Checklists;
    ShowChecklists* l = f.open_list();
    AddChecklist* e = f.editor();
    FillingDisk disk(f.fx.dir.path(), 0);
    {
        FaultScope scope(&disk);
        if (change == u"edit") {
            QTest::mouseDClick(l->Title_textbox[1], Qt::LeftButton);
            f.focus(e->Author_text);
            e->Author_text->selectAll();
            QTest::keyClicks(e->Author_text, "Someone Else");
            f.press(button_summary);
        } else if (change == u"new") {
            e = new_checklist(f, "Fresh", {{0, "Item"}});
            f.save();
        } else if (change == u"marks") {
            f.click(l->Check_to_display[2]);
            f.press(button_summary);
        } else if (change == u"delete") {
            f.click(l->Check_to_display[2]);
            f.click(l->Title_textbox[1]);
            f.fx.messages.answers.enqueue(kAnswerYes);
            f.toolbar(3);
        } else {
            f.fx.dialogs.next_open = f.fx.path("export.txt");
            f.mdi->menu_item("mnuImportChecklist")->trigger();
        }
    }
    const QString told = f.warnings().join(u'\n');
    QVERIFY2(told.contains("Error: Writing Checklist file: ") && told.contains("No space left on device"), qPrintable(told));
    QCOMPARE(f.file(), before);
    if (change == u"marks" || change == u"delete") {
        QCOMPARE(c.current_screen, int(screen_checklists));
        QVERIFY(l->add_or_edit_ongoing);
    } else {
        auto in_use = [](const QVector<Checklist>& t) {
            QStringList out;
            for (const Checklist& cl : t)
                if (cl.Inuse == kTrue) out << cl.Name + u'|' + cl.Author + u'|' + QString::number(cl.deleted);
            return out;
        };
        QCOMPARE(in_use(c.Checklists), in_use(table));
    }
    if (change == u"edit" || change == u"new") {
        // The editor stays with the edits, still to be saved.
        QCOMPARE(c.current_screen, int(screen_checklist_editor));
        QVERIFY(e->add_or_edit_ongoing);
        QCOMPARE(e->name_text->text(), change == u"new" ? QStringLiteral("Fresh") : QStringLiteral("List 001"));
        QCOMPARE(e->Author_text->toPlainText(), change == u"new" ? QString() : QStringLiteral("Someone Else"));
    }
    if (change == u"new") {
        // Once there is room, the same Save stores it, once.
        f.save();
        QVERIFY(!e->add_or_edit_ongoing);
        QCOMPARE(f.records(), 4);
        QCOMPARE(f.stored(3).name, QStringLiteral("Fresh"));
    } else if (change == u"edit") {
        // Cancelled, the edit leaves nothing behind for the next save to store.
        f.toolbar(5);
        f.click(l->Check_to_display[2]);
        f.press(button_summary);
        QCOMPARE(f.stored(2).show_it, int16_t(1));
        QCOMPARE(f.stored(1).author, QStringLiteral("Author"));
    } else if (change == u"delete") {
        QCOMPARE(f.shown_titles(), (QStringList{"List 000", "List 001", "List 002"}));
        // A mark set before stays, still to be written.
        QCOMPARE(c.Checklists[2].ShowIt, int16_t(1));
    } else if (change == u"import") {
        QVERIFY(f.warnings().contains("Error: Checklist Not Imported"));
        QCOMPARE(f.shown_titles(), (QStringList{"List 000", "List 001", "List 002"}));
    }
}

void TestAddChecklist::existing_checklist_changed_in_author() {
    QList<ListDef> lists = ChecklistsFixture::numbered(3, 2);
    ChecklistsFixture f(lists);
    f.fx.clock.current = QDateTime(QDate(2026, 7, 1), QTime(8, 0));
    ShowChecklists* l = f.open_list();
    QTest::mouseDClick(l->Title_textbox[1], Qt::LeftButton);
    AddChecklist* e = f.editor();
    QCOMPARE(e->Things_label->text(), QStringLiteral("1 Things to Check"));
    QVERIFY(e->Check1[0]->isChecked());
    QVERIFY(!e->Check1[1]->isChecked());
    f.focus(e->Author_text);
    e->Author_text->selectAll();
    QTest::keyClicks(e->Author_text, "Someone Else");
    f.press(button_checklists);
    QCOMPARE(f.records(), 3);
    const StoredChecklist s = f.stored(1);
    QCOMPARE(s.author, QStringLiteral("Someone Else"));
    QCOMPARE(s.version, int16_t(1));
    QCOMPARE(s.show_it, int16_t(1));
    QCOMPARE(datetime_from_ole(s.date), f.fx.clock.current);
    QCOMPARE(f.stored(0).author, QStringLiteral("Author"));
}

void TestAddChecklist::cancel_and_delete_drop_a_new_checklist() {
    for (int toolbar_button : {5, 3}) {
        ChecklistsFixture f(ChecklistsFixture::numbered(2));
        const QByteArray before = f.file();
        new_checklist(f, "Dropped", {{0, "Item"}});
        f.toolbar(toolbar_button);
        QCOMPARE(f.fx.messages.questions.size(), 0);
        QCOMPARE(f.core().current_screen, int(screen_checklists));
        QVERIFY(f.list()->isVisible());
        QCOMPARE(f.shown_titles(), (QStringList{"List 000", "List 001"}));
        QCOMPARE(f.core().current_checklist.Name, QString());
        QCOMPARE(f.file(), before);
        // The list is left without a question either.
        f.press(button_summary);
        QCOMPARE(f.fx.messages.questions.size(), 0);
    }
}

void TestAddChecklist::written_file_reads_back_byte_exact() {
    ChecklistsFixture f(ChecklistsFixture::numbered(2));
    AddChecklist* e = new_checklist(f, "Round trip", {{0, "First line"}, {1, QString(1000, u'z')}});
    QTest::keyClick(e->Text1[0], Qt::Key_Return);
    QTest::keyClicks(e->Text1[0], "second line");
    f.type(e->Whyuse_text, "Because.");
    f.save();
    const QByteArray written = f.file();
    f.restart();
    QCOMPARE(f.core().Checklists[2].Item[0], QStringLiteral("First line\r\nsecond line"));
    QVERIFY(f.core().save_checklist());
    QCOMPARE(f.file(), written);
    // Opened in the editor and left unchanged, it stays as it was.
    ShowChecklists* l = f.open_list();
    QTest::mouseDClick(l->Title_textbox[2], Qt::LeftButton);
    QCOMPARE(f.editor()->Text1[0]->toPlainText(), QStringLiteral("First line\nsecond line"));
    f.press(button_checklists);
    QCOMPARE(f.file(), written);
}

void TestAddChecklist::damaged_file_loses_nothing() {
    ChecklistsFixture f(ChecklistsFixture::numbered(2));
    QByteArray bytes = f.file();
    // A count far beyond 30 items in the second record.
    bytes[kChecklistRecordSize + 1620] = char(0xFF);
    bytes[kChecklistRecordSize + 1621] = char(0x7F);
    write_file(f.fx.path("chklist.dat"), bytes);
    f.restart();
    ShowChecklists* l = f.open_list();
    QTest::mouseDClick(l->Title_textbox[1], Qt::LeftButton);
    AddChecklist* e = f.editor();
    QCOMPARE(e->Things_label->text(), QStringLiteral("1 Things to Check"));
    f.type(e->Text1[1], "Added");
    f.press(button_checklists);
    QCOMPARE(f.stored(1).total_items, int16_t(2));
    QCOMPARE(f.stored(0).name, QStringLiteral("List 000"));
    QCOMPARE(f.records(), 2);
}

QTEST_MAIN(TestAddChecklist)
#include "tst_addchecklist.moc"
