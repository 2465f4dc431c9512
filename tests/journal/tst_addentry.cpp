// The transaction editor's fields driven through the command bar, its boxes and the
// toolbar: opening, validation and its question, saving, a failed save, the quote.
#include "addentry_fixture.h"
#include "core/codepage.h"
#include "core/ole_date.h"
#include "core/text_helpers.h"
#include "platform/window_helpers.h"
#include "shell/custom.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>

using namespace qb;
using namespace qb::test;

class TestAddEntry : public QObject {
    Q_OBJECT
private slots:
    void new_transaction_opens_with_type_and_today_data();
    void new_transaction_opens_with_type_and_today();
    void validation_boundaries_data();
    void validation_boundaries();
    void validation_texts_are_gathered_in_order();
    void yes_stays_and_no_drops();
    void one_field_yellow_after_no_data();
    void one_field_yellow_after_no();
    void untouched_entry_saves_nothing();
    void save_lands_in_files_and_reopens_in_edit_mode();
    void unreadable_details_survive_an_edit();
    void unreadable_checklist_texts_told_once_per_opening_data();
    void unreadable_checklist_texts_told_once_per_opening();
    void date_with_time_of_day_saves_its_date();
    void failed_save_stays_on_the_editor();
    void price_box_keeps_digits_and_point();
    void get_quote();
    void escape_from_a_menu_keeps_the_field();
    void resize_keeps_floors();
    void enter_moves_along_the_fields_data();
    void enter_moves_along_the_fields();
    void user_types_follow_the_built_in_ones();
    void saving_sets_last_custom_type_data();
    void saving_sets_last_custom_type();
    void colour_change_repaints_list_and_editor();
};

void TestAddEntry::new_transaction_opens_with_type_and_today_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("last_custom");
    QTest::addColumn<QString>("type");
    QTest::newRow("buy") << int(button_buy) << QString() << "Buy";
    QTest::newRow("sell") << int(button_sell) << QString() << "Sell";
    QTest::newRow("other, none used yet") << int(button_other_transaction) << QString() << "Thinking";
    QTest::newRow("other after a hold") << int(button_other_transaction) << "Hold" << "Hold";
}

void TestAddEntry::new_transaction_opens_with_type_and_today() {
    QFETCH(int, button);
    QFETCH(QString, last_custom);
    QFETCH(QString, type);
    EditorFixture f;
    f.core().last_custom_trans_type = last_custom;
    f.press(button);
    AddEntry* e = f.editor();
    QVERIFY(e->isVisible());
    QCOMPARE(f.core().current_screen, int(screen_new_transaction));
    QCOMPARE(e->Combo1->currentText(), type);
    QCOMPARE(e->Date_textbox->text(), QString("3/14/2026"));
    QCOMPARE(date_from_ole(f.core().current_entry.entry.entry_date), QDate(2026, 3, 14));
    QCOMPARE(e->Combo1->count(), 6);
    QVERIFY(e->security_name_textbox->hasFocus());
    QCOMPARE(e->security_name_textbox->palette().color(QPalette::Base), QColor(255, 255, 0));
    QVERIFY(!e->is_modified());
    // The example checklist scores new entries: it is block 0 and its rows are drawn.
    QVERIFY(e->Avail_checklist[0]->isVisible());
    QVERIFY(e->Avail_checklist[0]->font().bold());
    QCOMPARE(e->listname->text(), QString("Dunmarrow Keep Focus"));
    QVERIFY(e->Text1[0]->isVisible());
}

void TestAddEntry::validation_boundaries_data() {
    QTest::addColumn<int>("name_length");
    QTest::addColumn<int>("symbol_length");
    QTest::addColumn<int>("details_length");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("failure");  // "" when the entry is valid
    const QString too_long = "Security name + symbol is too long. Total number of letters must be less than 33";
    QTest::newRow("name 40 alone") << 40 << 0 << 0 << "1" << QString();
    QTest::newRow("name 41 alone") << 41 << 0 << 0 << "1" << too_long;
    QTest::newRow("name+symbol 33") << 27 << 6 << 0 << "1" << QString();
    QTest::newRow("name+symbol 34") << 28 << 6 << 0 << "1" << too_long;
    QTest::newRow("details 30000") << 5 << 0 << 30000 << "1" << QString();
    QTest::newRow("details 30001") << 5 << 0 << 30001 << "1" << "Additional Details field is too long. ";
    QTest::newRow("empty price") << 5 << 0 << 0 << "" << QString();
    QTest::newRow("largest price") << 5 << 0 << 0 << "922337203685477.5807" << QString();
    QTest::newRow("price over Currency") << 5 << 0 << 0 << "922337203685478" << "Price is too large. ";
    QTest::newRow("price of 30 digits") << 5 << 0 << 0 << QString(30, u'9') << "Price is too large. ";
}

void TestAddEntry::validation_boundaries() {
    QFETCH(int, name_length);
    QFETCH(int, symbol_length);
    QFETCH(int, details_length);
    QFETCH(QString, price);
    QFETCH(QString, failure);
    EditorFixture f;
    f.press(button_buy);
    AddEntry* e = f.editor();
    f.type(e->security_name_textbox, QString(name_length, u'N'));
    f.type(e->symbol_textbox, QString(symbol_length, u'S'));
    e->Other_info_textbox->setPlainText(QString(details_length, u'd'));
    f.type(e->security_price_textbox, price);
    f.fx.messages.answers.enqueue(kAnswerYes);
    f.save();
    if (failure.isEmpty()) {
        QCOMPARE(f.fx.messages.questions.size(), 0);
        QCOMPARE(f.core().current_screen, int(screen_edit_transaction));
        QCOMPARE(f.core().SummaryData[f.core().current_entry.index].security, QString(name_length, u'N'));
        if (!price.isEmpty()) QCOMPARE(format_price_text(f.core().current_entry.entry.price), format_price_text(*currency_from_text(price)));
    } else {
        QCOMPARE(f.fx.messages.questions.size(), 1);
        QCOMPARE(f.fx.messages.questions[0].second,
                 "Entry not Valid. Data NOT Saved. " + failure + "\r\nWould you like to Correct this data?");
        QCOMPARE(f.fx.messages.styles[0], kStyleStop);
        QCOMPARE(f.entries_records(), 0);
    }
}

void TestAddEntry::validation_texts_are_gathered_in_order() {
    EditorFixture f;
    f.press(button_buy);
    AddEntry* e = f.editor();
    e->Other_info_textbox->setPlainText(QString(30001, u'x'));
    f.type(e->security_name_textbox, "   ");
    e->Date_textbox->clear();
    f.type(e->Date_textbox, "13/45/2026");
    e->Text6[1]->setPlainText(QString(3001, u'c'));
    f.fx.messages.answers.enqueue(kAnswerYes);
    f.save();
    QCOMPARE(f.fx.messages.questions.size(), 1);
    QCOMPARE(f.fx.messages.questions[0].second,
             QString("Entry not Valid. Data NOT Saved. Additional Details field is too long. Your Checklist Comment:  2 "
                     "is too long. Security Name is Blank. Date is Invalid. \r\nWould you like to Correct this data?"));
}

void TestAddEntry::yes_stays_and_no_drops() {
    EditorFixture f;
    f.press(button_buy);
    AddEntry* e = f.editor();
    f.type(e->symbol_textbox, "ZZ");  // no name: invalid
    const CurrentEntry before = f.core().current_entry;

    f.fx.messages.answers.enqueue(kAnswerYes);
    f.press(button_summary);
    QCOMPARE(f.core().current_screen, int(screen_new_transaction));
    QVERIFY(e->isVisible());
    QCOMPARE(e->symbol_textbox->text(), QString("ZZ"));
    QVERIFY(e->is_modified());

    f.fx.messages.answers.enqueue(kAnswerNo);
    f.press(button_summary);
    QCOMPARE(f.fx.messages.questions.size(), 2);
    QCOMPARE(f.core().current_screen, int(screen_summary));
    QVERIFY(!e->isVisible());
    QVERIFY(!e->is_modified());
    QCOMPARE(f.core().current_entry.entry.symbol, before.entry.symbol);
    QCOMPARE(f.entries_records(), 0);
}

void TestAddEntry::one_field_yellow_after_no_data() {
    QTest::addColumn<QString>("left_from");
    QTest::addColumn<int>("back_by");
    QTest::newRow("symbol, back by Buy") << "symbol_textbox" << int(button_buy);
    QTest::newRow("date, back by Details") << "Date_textbox" << int(button_details);
}

// The question stands in front of the main window, so the field the editor is left from
// loses its focus without an event; going back to the editor shows one yellow field only.
void TestAddEntry::one_field_yellow_after_no() {
    QFETCH(QString, left_from);
    QFETCH(int, back_by);
    EditorFixture f;
    f.type_valid_buy();
    f.save();
    f.press(button_summary);
    f.press(button_buy);
    AddEntry* e = f.editor();
    auto* field = e->findChild<QLineEdit*>(left_from);
    field->selectAll();
    f.type(field, "ZZ");  // no name, or no date: invalid
    QCOMPARE(field->palette().color(QPalette::Base), QColor(255, 255, 0));

    QWidget question;
    question.resize(100, 50);
    question.show();
    QApplication::setActiveWindow(&question);
    f.fx.messages.answers.enqueue(kAnswerNo);
    f.press(button_summary);
    QCOMPARE(f.core().current_screen, int(screen_summary));
    question.hide();
    QApplication::setActiveWindow(f.mdi);

    f.press(back_by);
    QVERIFY(e->isVisible());
    QList<QWidget*> yellow;
    for (QWidget* w : std::initializer_list<QWidget*>{e->Combo1, e->security_name_textbox, e->symbol_textbox,
                                                      e->security_price_textbox, e->Date_textbox, e->Other_info_textbox})
        if (w->palette().color(QPalette::Base) == QColor(255, 255, 0)) yellow << w;
    QCOMPARE(yellow, QList<QWidget*>{e->security_name_textbox});
    QVERIFY(e->security_name_textbox->hasFocus());
}

void TestAddEntry::untouched_entry_saves_nothing() {
    EditorFixture f;
    f.type_valid_buy();
    f.save();
    QCOMPARE(f.entries_records(), 2);  // the placeholder record and the entry
    // Stored data that would now fail validation: a name too long for a symbol.
    Core& c = f.core();
    c.SummaryData[c.current_entry.index].security = QString(40, u'L');
    c.current_entry.entry.security = QString(40, u'L');
    QVERIFY(c.save_entry());
    const QByteArray stored = read_file(f.fx.path("entries.dat"));

    f.press(button_summary);
    f.press(button_details);
    QCOMPARE(c.current_screen, int(screen_edit_transaction));
    QCOMPARE(f.editor()->security_name_textbox->text(), QString(40, u'L'));
    QVERIFY(!f.editor()->is_modified());
    f.press(button_summary);
    QCOMPARE(c.current_screen, int(screen_summary));
    QCOMPARE(f.fx.messages.questions.size(), 0);
    QCOMPARE(read_file(f.fx.path("entries.dat")), stored);
}

void TestAddEntry::save_lands_in_files_and_reopens_in_edit_mode() {
    EditorFixture f;
    f.type_valid_buy();
    AddEntry* e = f.editor();
    f.type(e->Other_info_textbox, "Cheap");
    QTest::keyClick(e->Other_info_textbox, Qt::Key_Return);
    QTest::keyClicks(e->Other_info_textbox, "and growing");
    QTest::mouseClick(e->Check1[0], Qt::LeftButton);
    f.type(e->Text6[0], "patient");
    QTest::mouseClick(e->Check1[1], Qt::LeftButton);
    QTest::mouseClick(e->Check1[1], Qt::LeftButton);
    f.save();
    Core& c = f.core();
    QCOMPARE(f.fx.messages.box_texts().join("|"), QString());
    QCOMPARE(c.current_screen, int(screen_edit_transaction));
    QCOMPARE(c.current_entry.mode, int(mode_edit));
    QVERIFY(e->isVisible());
    QVERIFY(!e->is_modified());
    QCOMPARE(f.entries_records(), 2);
    QString completion;
    QVERIFY(c.find_completion('A', completion, QString()));
    QCOMPARE(completion, QString("Acme Corp"));

    // A second save overwrites the same entry.
    e->security_price_textbox->clear();
    f.type(e->security_price_textbox, "13");
    f.save();
    QCOMPARE(f.entries_records(), 2);
    QVERIFY(QFileInfo(f.fx.path("VarData.dat")).size() > 0);

    f.restart();
    Core& c2 = f.core();
    int32_t found = -1;
    for (int32_t i = 0; i <= c2.maxSummarydata_index(); ++i)
        if (c2.SummaryData[i].is_live()) found = i;
    QVERIFY(found >= 0);
    const SummaryEntry& s = c2.SummaryData[found];
    QCOMPARE(s.security, QString("Acme Corp"));
    QCOMPARE(s.symbol, QString("ACME"));
    QCOMPARE(s.transaction, QString("Buy"));
    QCOMPARE(s.price, Currency(130000));
    QCOMPARE(date_from_ole(s.entry_date), QDate(2026, 3, 14));
    QCOMPARE(trim_blanks(s.checklist[0].name), QString("Dunmarrow Keep Focus"));

    // Back on the list, the entry opens in the editor with everything it had.
    f.press(button_summary);
    f.title()->setfocus_to_last_entry();
    f.press(button_details);
    AddEntry* e2 = f.editor();
    QCOMPARE(c2.current_screen, int(screen_edit_transaction));
    QCOMPARE(e2->security_name_textbox->text(), QString("Acme Corp"));
    QCOMPARE(e2->security_price_textbox->text(), QString("13.00"));
    QCOMPARE(e2->Date_textbox->text(), QString("3/14/2026"));
    QCOMPARE(e2->Other_info_textbox->toPlainText(), QString("Cheap\nand growing"));
    QCOMPARE(c2.current_entry.entry.other.text, QString("Cheap\r\nand growing"));
    QCOMPARE(e2->row_answer(0), int16_t(answer_yes));
    QCOMPARE(e2->row_answer(1), int16_t(answer_no));
    QCOMPARE(e2->row_answer(2), int16_t(answer_none));
    QCOMPARE(e2->Text6[0]->toPlainText(), QString("patient"));
    QVERIFY(!e2->is_modified());
}

void TestAddEntry::unreadable_details_survive_an_edit() {
    EditorFixture f;
    f.type_valid_buy();
    f.type(f.editor()->Other_info_textbox, "Stored reasons");
    f.save();
    QCOMPARE(f.entries_records(), 2);
    // The text store goes missing: the entry opens without its details and says so.
    const QByteArray store = read_file(f.fx.path("VarData.dat"));
    QVERIFY(QFile::remove(f.fx.path("VarData.dat")));
    f.restart();
    f.press(button_summary);
    f.title()->setfocus_to_last_entry();
    f.press(button_details);
    AddEntry* e = f.editor();
    QVERIFY(f.fx.messages.box_texts().contains("Error: Unable to Read OTHER Data File: Index: 1"));
    QCOMPARE(e->Other_info_textbox->toPlainText(), QString());
    // The user changes the price and saves; the stored details must not be dropped.
    e->security_price_textbox->clear();
    f.type(e->security_price_textbox, "14");
    f.save();
    write_file(f.fx.path("VarData.dat"), store);
    f.restart();
    Core& c = f.core();
    int32_t found = -1;
    for (int32_t i = 0; i <= c.maxSummarydata_index(); ++i)
        if (c.SummaryData[i].is_live()) found = i;
    QVERIFY(found >= 0);
    QCOMPARE(c.SummaryData[found].price, Currency(140000));
    QVERIFY(c.load_entry(found));
    QCOMPARE(c.current_entry.entry.other.text, QString("Stored reasons"));
}

void TestAddEntry::unreadable_checklist_texts_told_once_per_opening_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("from");  // the entry open before Up or Down
    QTest::addColumn<QString>("lost");  // the entry whose text cannot be read
    for (const char* way : {"details button", "toolbar Edit", "F4", "double-click"})
        QTest::newRow(way) << way << QString() << "Beta";
    QTest::newRow("Down") << "Down" << "Alpha" << "Beta";
    QTest::newRow("Up") << "Up" << "Gamma" << "Beta";
    QTest::newRow("Down from the last") << "Down" << "Gamma" << "Gamma";
}

void TestAddEntry::unreadable_checklist_texts_told_once_per_opening() {
    QFETCH(QString, way);
    QFETCH(QString, from);
    QFETCH(QString, lost);
    EditorFixture f({{"Rules", {"Be patient", "Read the 10Q"}}});
    for (const char* name : {"Alpha", "Beta", "Gamma"}) {
        f.type_valid_buy(name);
        f.save();
    }
    Core& c = f.core();
    // The entry's first checklist text points past the end of the text store.
    for (int32_t i = 0; i <= c.maxSummarydata_index(); ++i)
        if (c.SummaryData[i].security == lost) c.SummaryData[i].checklist[0].Item[0].text_index = 9999;
    f.press(button_summary);
    Title* t = f.title();
    auto row = [t](const QString& name) {
        for (QLineEdit* box : t->Security_Entry_Display_text)
            if (box->text() == name) return box;
        return t->Security_Entry_Display_text[0];
    };
    const QString told = QStringLiteral("Some checklist texts of this entry could not be read");
    if (!from.isEmpty()) {
        QTest::mouseDClick(row(from), Qt::LeftButton);
        QCOMPARE(f.fx.messages.box_texts().filter(told).size(), from == lost ? 1 : 0);
    } else if (way != "double-click") {
        QTest::mouseClick(row(lost), Qt::LeftButton);
    }
    f.fx.messages.boxes.clear();
    if (way == "details button")
        f.press(button_details);
    else if (way == "toolbar Edit")
        f.mdi->toolbar_button(4)->trigger();
    else if (way == "F4")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4);
    else if (way == "double-click")
        QTest::mouseDClick(row(lost), Qt::LeftButton);
    else
        f.mdi->toolbar_button(way == "Down" ? 8 : 7)->trigger();
    QCOMPARE(c.current_screen, int(screen_edit_transaction));
    QCOMPARE(f.editor()->security_name_textbox->text(), lost);
    QCOMPARE(f.fx.messages.box_texts().filter(told).size(), 1);

    // A later opening tells it again, once.
    f.press(button_summary);
    f.fx.messages.boxes.clear();
    QTest::mouseDClick(row(lost), Qt::LeftButton);
    QCOMPARE(f.fx.messages.box_texts().filter(told).size(), 1);
}

void TestAddEntry::date_with_time_of_day_saves_its_date() {
    EditorFixture f;
    f.type_valid_buy();
    f.save();
    Core& c = f.core();
    // Entries written elsewhere may carry a time of day in their date.
    c.current_entry.entry.entry_date = ole_from_datetime(QDateTime(QDate(2024, 5, 6), QTime(12, 0)));
    QVERIFY(c.save_entry());
    f.press(button_summary);
    f.title()->setfocus_to_last_entry();
    f.press(button_details);
    AddEntry* e = f.editor();
    QCOMPARE(e->Date_textbox->text(), QString("5/6/2024 12:00:00 PM"));
    e->security_price_textbox->clear();
    f.type(e->security_price_textbox, "9");
    const int32_t index = c.current_entry.index;
    f.press(button_summary);
    QCOMPARE(f.fx.messages.questions.size(), 0);
    QCOMPARE(c.current_screen, int(screen_summary));
    QCOMPARE(c.SummaryData[index].entry_date, ole_from_date(QDate(2024, 5, 6)));
    QCOMPARE(c.SummaryData[index].price, Currency(90000));
}

void TestAddEntry::failed_save_stays_on_the_editor() {
    EditorFixture f;
    // VarData.dat cannot be opened while a folder holds its name.
    QFile::remove(f.fx.path("VarData.dat"));
    QVERIFY(QDir(f.fx.dir.path()).mkdir("VarData.dat"));
    f.type_valid_buy();
    AddEntry* e = f.editor();
    f.save();
    Core& c = f.core();
    QVERIFY(!f.fx.messages.boxes.isEmpty());
    QVERIFY(f.fx.messages.box_texts().last().startsWith("Error: "));
    QCOMPARE(c.current_screen, int(screen_new_transaction));
    QCOMPARE(c.current_entry.mode, int(mode_new));
    QVERIFY(e->is_modified());
    QCOMPARE(f.entries_records(), 0);

    // Leaving is refused as well, so the typed entry is not lost.
    f.press(button_summary);
    QCOMPARE(c.current_screen, int(screen_new_transaction));
    QVERIFY(e->isVisible());

    QVERIFY(QDir(f.fx.dir.path()).rmdir("VarData.dat"));
    f.save();
    QCOMPARE(c.current_screen, int(screen_edit_transaction));
    QCOMPARE(c.current_entry.entry.file_idx, 2);
    QCOMPARE(f.entries_records(), 2);
}

void TestAddEntry::price_box_keeps_digits_and_point() {
    EditorFixture f;
    f.press(button_buy);
    AddEntry* e = f.editor();
    f.type(e->security_price_textbox, "$1,234.5x-");
    QCOMPARE(e->security_price_textbox->text(), QString("1234.5"));
    QVERIFY(e->is_modified());
}

void TestAddEntry::get_quote() {
    EditorFixture f;
    f.press(button_buy);
    AddEntry* e = f.editor();
    // An empty symbol fetches nothing.
    QTest::mouseClick(e->quote, Qt::LeftButton);
    QCOMPARE(f.fx.http.requests.size(), 0);
    QVERIFY(e->symbol_textbox->hasFocus());

    f.type(e->symbol_textbox, "ACME");
    f.fx.http.replies.enqueue(QByteArray("\"ACME\",5.25,\"3/14/2026\",\"4:00pm\",-0.50,4.00\r\n"));
    QTest::mouseClick(e->quote, Qt::LeftButton);
    QCOMPARE(e->quote_label->text(), QString("5.25  -0.50"));
    QCOMPARE(e->quote_label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(e->security_price_textbox->text(), QString("5.25"));

    // A typed price stays; a reply without the symbol shows N/A.
    f.fx.http.replies.enqueue(QByteArray("\"OTHER\",1.00,\"3/14/2026\",\"4:00pm\",+0.10,4.00\r\n"));
    QTest::mouseClick(e->quote, Qt::LeftButton);
    QCOMPARE(e->quote_label->text(), QString("Quote N/A"));
    QCOMPARE(e->security_price_textbox->text(), QString("5.25"));
}

void TestAddEntry::escape_from_a_menu_keeps_the_field() {
    EditorFixture f;
    f.type_valid_buy("Acme Corp");
    f.save();
    f.press(button_buy);
    AddEntry* e = f.editor();
    f.type(e->security_name_textbox, "Acme Corp");
    const QColor yellow(255, 255, 0);
    QMenuBar* bar = f.mdi->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(f.mdi->menu("mnuFile")->menuAction()).center());
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), bar);
    // The menu bar holding the focus is no move to another field: no look-up, still yellow.
    QCOMPARE(e->security_name_textbox->palette().color(QPalette::Base), yellow);
    QCOMPARE(e->symbol_textbox->text(), QString());
    QTest::keyClick(bar, Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), e->security_name_textbox);
    QCOMPARE(e->security_name_textbox->palette().color(QPalette::Base), yellow);
    QCOMPARE(e->symbol_textbox->text(), QString());
    // Leaving the field for the next one brings the symbol used before.
    QTest::keyClick(e->security_name_textbox, Qt::Key_Return);
    QVERIFY(e->symbol_textbox->hasFocus());
    QCOMPARE(e->symbol_textbox->text(), QString("ACME"));
    QCOMPARE(e->security_name_textbox->palette().color(QPalette::Base), QColor(255, 255, 255));
}

void TestAddEntry::resize_keeps_floors() {
    EditorFixture f;
    f.press(button_buy);
    AddEntry* e = f.editor();
    const QSize client = f.mdi->size();  // the frame's inner size at its design size
    f.mdi->resize(200, 150);
    e->handle_resize();
    QCOMPARE(e->VScroll1->height(), twips_to_px(5895));
    QCOMPARE(e->Other_info_textbox->height(), twips_to_px(1000));
    QCOMPARE(e->Label_Checklists_Available->y(), twips_to_px(2520 + 1000));
    QCOMPARE(e->Avail_checklist[0]->y(), twips_to_px(4320));

    // A taller, wider window moves the selector buttons down and widens the item texts.
    f.mdi->resize(client.width() + 150, client.height() + 90);
    e->handle_resize();
    QCOMPARE(e->Avail_checklist[0]->y(), twips_to_px(4320 + 1350));
    QCOMPARE(e->item_text_width, int16_t(3615 + 2250));
    QVERIFY(e->Text6[0]->x() > e->Text1[0]->x() + e->Text1[0]->width());
}

void TestAddEntry::enter_moves_along_the_fields_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("type to name") << "Combo1" << "security_name_textbox";
    QTest::newRow("name to symbol") << "security_name_textbox" << "symbol_textbox";
    QTest::newRow("symbol to price, past the button") << "symbol_textbox" << "security_price_textbox";
    QTest::newRow("price to date") << "security_price_textbox" << "Date_textbox";
    QTest::newRow("date to details") << "Date_textbox" << "Other_info_textbox";
    QTest::newRow("details keep it") << "Other_info_textbox" << "Other_info_textbox";
}

void TestAddEntry::enter_moves_along_the_fields() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    EditorFixture f;
    f.press(button_buy);
    AddEntry* e = f.editor();
    auto* field = e->findChild<QWidget*>(from);
    QVERIFY(field);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget()->objectName(), to);
    QCOMPARE(QApplication::focusWidget()->palette().color(QPalette::Base), QColor(255, 255, 0));
    if (from != to) QCOMPARE(field->palette().color(QPalette::Base), QColor(255, 255, 255));
}

void TestAddEntry::user_types_follow_the_built_in_ones() {
    EditorFixture f;
    f.core().trans_type = QStringList{"Watch", "Trim"};
    f.press(button_other_transaction);
    AddEntry* e = f.editor();
    QStringList shown;
    for (int i = 0; i < e->Combo1->count(); ++i) shown << e->Combo1->itemText(i);
    QCOMPARE(shown, QStringList({"Thinking", "Buy", "Sell", "Hold", "Short", "Cover Short", "Watch", "Trim"}));
    // Changed types replace the user's part of the list only.
    f.core().trans_type = QStringList{"Add more"};
    e->update_transaction_types();
    QCOMPARE(e->Combo1->count(), 7);
    QCOMPARE(e->Combo1->itemText(5), QString("Cover Short"));
    QCOMPARE(e->Combo1->itemText(6), QString("Add more"));
}

void TestAddEntry::saving_sets_last_custom_type_data() {
    QTest::addColumn<int>("steps");  // Down presses in the type list from "Buy"
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("last");
    QTest::newRow("hold sets it") << 2 << "Hold" << "Hold";
    QTest::newRow("buy keeps it") << 0 << "Buy" << "Short";
    QTest::newRow("sell keeps it") << 1 << "Sell" << "Short";
    QTest::newRow("cover short sets it") << 4 << "Cover Short" << "Cover Short";
    QTest::newRow("a user type sets it") << 5 << "Watch" << "Watch";
}

void TestAddEntry::saving_sets_last_custom_type() {
    QFETCH(int, steps);
    QFETCH(QString, saved);
    QFETCH(QString, last);
    EditorFixture f;
    Core& c = f.core();
    c.trans_type = QStringList{"Watch"};
    c.last_custom_trans_type = "Short";
    f.type_valid_buy();
    AddEntry* e = f.editor();
    e->Combo1->setFocus();
    for (int i = 0; i < steps; ++i) QTest::keyClick(e->Combo1, Qt::Key_Down);
    QCOMPARE(e->Combo1->currentText(), saved);
    f.save();
    QCOMPARE(trim_blanks(c.current_entry.entry.transaction), saved);
    QCOMPARE(c.last_custom_trans_type, last);
    // The next other transaction starts on it.
    f.press(button_other_transaction);
    QCOMPARE(e->Combo1->currentText(), last);
}

void TestAddEntry::colour_change_repaints_list_and_editor() {
    EditorFixture f;
    f.press(button_buy);
    AddEntry* e = f.editor();
    Title* t = f.title();
    f.mdi->menu_item("mnuCustom")->trigger();
    auto* custom = f.shell->window_as<Custom>("Custom");
    QVERIFY(custom && custom->isVisible());
    QTest::mouseClick(custom->Check1[2], Qt::LeftButton);  // red
    QTest::mouseClick(custom->activate_button, Qt::LeftButton);
    const QColor red(255, 0, 0);
    QCOMPARE(f.core().textcolor, QString("Red"));
    for (int r = 0; r < Title::kRows; ++r) {
        for (const auto* column : {&t->Date_Entry_Display_text, &t->Security_Entry_Display_text,
                                   &t->Transaction_Entry_Display_text, &t->Price_Entry_Display_text,
                                   &t->Checklist_Entry_Display_text})
            QCOMPARE((*column)[size_t(r)]->palette().color(QPalette::Text), red);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{e->Combo1, e->security_name_textbox, e->symbol_textbox,
                                                      e->security_price_textbox, e->Date_textbox, e->Other_info_textbox})
        QVERIFY2(w->palette().color(QPalette::Text) == red, qPrintable(w->objectName()));
    for (int i = 0; i < AddEntry::kRows; ++i) {
        QCOMPARE(e->Text1[size_t(i)]->palette().color(QPalette::Text), red);
        QCOMPARE(e->Text6[size_t(i)]->palette().color(QPalette::Text), red);
    }
}

QTEST_MAIN(TestAddEntry)
#include "tst_addentry.moc"
