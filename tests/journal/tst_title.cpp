// The entry list driven through its controls: rows, highlight, sorting and filters,
// paging keys and the scroll bar, resizing, delete and undo, and the quote column.
#include "core/date_text.h"
#include "core/ole_date.h"
#include "core/service_hosts.h"
#include "core/sorting.h"
#include "journal/addentry.h"
#include "journal/title.h"
#include "platform/qt_platform.h"
#include "shell/command.h"
#include "shell/custom.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "shell/tips.h"
#include "support/fakes.h"
#include "../shell/reference_editor_doubles.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QToolButton>
#include <QtEndian>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

struct Sample {
    Sample(const QString& sec = {}, const QString& tr = "Buy", qint64 p = 100000) : security(sec), transaction(tr), price(p) {}
    QString security;
    QString transaction;
    qint64 price;  // 100000 is 10.00
    QDate date = QDate(2026, 1, 1);
    QStringList completed;  // names of completed checklist blocks
    QString symbol;
    int web = 0;            // 1 web page, 2 call notes, 3 file
    QString topic;
    QString path;
};

// A program folder with entries saved through the core, the shell and the real list.
struct ListFixture {
    explicit ListFixture(const QList<Sample>& samples = {}) {
        fx.start();
        for (const Sample& s : samples) add(s);
        fx.messages.boxes.clear();
        shell = std::make_unique<Shell>(*fx.core);
        register_journal_windows(*shell);
        register_reference_editor_doubles(*shell);
        shell->end_program = [] {};
        mdi = shell->mdi();
        mdi->show();
        title = shell->window_as<Title>("Title");
        title->popup_menu = [this](QMenu*, const QPoint&) { ++popups; };
        title->handle_resize();
        title->show();
        QApplication::setActiveWindow(mdi);
        title->update_title_with_last_entries();
        title->setfocus_to_last_entry();
    }
    ~ListFixture() {
        shell.reset();
    }
    // A new Core on the same folder, as after a restart. The shell goes first: its
    // destructor unhooks itself from the Core it was built on.
    void restart_core() {
        shell.reset();
        mdi = nullptr;
        title = nullptr;
        fx.restart();
    }
    void add(const Sample& s) {
        Core& c = *fx.core;
        SummaryEntry* started = start_new_entry(c);
        QVERIFY(started);
        SummaryEntry& e = *started;
        e.security = s.security;
        e.symbol = s.symbol;
        e.transaction = s.transaction;
        e.price = s.price;
        e.entry_date = ole_from_date(s.date);
        for (int k = 0; k < s.completed.size(); ++k) {
            e.checklist[k].Inuse = kTrue;
            e.checklist[k].completed = kTrue;
            e.checklist[k].name = s.completed[k];
            e.checklist[k].Item[0].answer = answer_yes;
            e.checklist[k].Item[0].text = "q";
        }
        if (s.web == 1 || s.web == 2) {
            e.web.present = kTrue;
            e.web.reference_name = s.topic;
            e.transaction = s.web == 1 ? "Web Page" : "Call Notes";
        } else if (s.web == 3) {
            e.file.present = kTrue;
            e.file.path = s.path;
            e.web.reference_name = s.topic;
            e.transaction = "File";
        }
        QVERIFY(c.save_entry());
    }
    Core& core() { return *fx.core; }
    QStringList column(const std::array<QLineEdit*, Title::kRows>& boxes) const {
        QStringList out;
        for (QLineEdit* b : boxes)
            if (b->isVisible()) out << b->text();
        return out;
    }
    int yellow_rows() const {
        int n = 0;
        for (int r = 0; r < Title::kRows; ++r)
            if (title->Date_Entry_Display_text[size_t(r)]->isVisible() &&
                title->Date_Entry_Display_text[size_t(r)]->palette().color(QPalette::Base) == QColor(255, 255, 0))
                ++n;
        return n;
    }
    // The shown rows any of whose six boxes is yellow.
    QList<int> painted_rows() const {
        QList<int> rows;
        for (int16_t r = 0; r < Title::kRows; ++r) {
            if (!title->Date_Entry_Display_text[size_t(r)]->isVisible()) continue;
            for (const auto* column : {&title->Date_Entry_Display_text, &title->Security_Entry_Display_text,
                                       &title->Transaction_Entry_Display_text, &title->Price_Entry_Display_text,
                                       &title->quote_display, &title->Checklist_Entry_Display_text}) {
                if ((*column)[size_t(r)]->palette().color(QPalette::Base) == QColor(255, 255, 0)) {
                    rows << r;
                    break;
                }
            }
        }
        return rows;
    }
    // True when all six boxes of the row show yellow.
    bool whole_row_yellow(int16_t row) const {
        for (const auto* column : {&title->Date_Entry_Display_text, &title->Security_Entry_Display_text,
                                   &title->Transaction_Entry_Display_text, &title->Price_Entry_Display_text,
                                   &title->quote_display, &title->Checklist_Entry_Display_text})
            if ((*column)[size_t(row)]->palette().color(QPalette::Base) != QColor(255, 255, 0)) return false;
        return true;
    }
    // A key pressed where the focus is, as the keyboard sends it.
    void key_on_focus(int qt_key) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(qt_key)); }
    void press(int button) { QTest::mouseClick(shell->command()->Image_action(button), Qt::LeftButton); }
    void key(int row, int qt_key) { QTest::keyClick(title->Date_Entry_Display_text[size_t(row)], Qt::Key(qt_key)); }

    CoreFixture fx;
    std::unique_ptr<Shell> shell;
    MDIMain* mdi = nullptr;
    Title* title = nullptr;
    int popups = 0;
};

QList<Sample> numbered(int n) {
    QList<Sample> samples;
    for (int i = 0; i < n; ++i) {
        Sample s;
        s.security = QString("Sec %1").arg(i, 3, 10, QChar(u'0'));
        s.date = QDate(2026, 1, 1).addDays(i);
        samples << s;
    }
    return samples;
}

} // namespace

class TestTitle : public QObject {
    Q_OBJECT

private slots:
    void newest_page_has_one_yellow_row();
    void row_texts_data();
    void row_texts();
    void shorten_date_data();
    void shorten_date();
    void date_box_text_follows_the_rule_data();
    void date_box_text_follows_the_rule();
    void sorting_and_filters();
    void topic_filter_and_reset();
    void keys_data();
    void keys();
    void scroll_bar_moves_highlight();
    void wheel_moves_one_row();
    void double_click_opens_the_editor_of_its_kind();
    void grows_to_35_rows_and_hides_on_shrink();
    void focus_from_popup_keeps_current_entry();
    void delete_yes_and_no();
    void delete_after_resort_refuses();
    void undo_brings_entries_back();
    void undo_leaves_no_row_yellow();
    void quotes();
    void second_quote_press_while_fetching();
    void quote_host_from_environment();
    void long_texts_show_their_start();
    void escape_from_a_menu_keeps_the_row();
    void deletes_in_a_row_move_the_focus();
    void one_row_highlighted_after_each_path_data();
    void one_row_highlighted_after_each_path();
};

void TestTitle::newest_page_has_one_yellow_row() {
    ListFixture f(numbered(40));
    // 23 rows at the load height; the newest page counts 19 live entries from the end.
    QCOMPARE(f.title->last_row_index, int16_t(22));
    const QStringList shown = f.column(f.title->Security_Entry_Display_text);
    QCOMPARE(shown.size(), 20);
    QCOMPARE(shown.last(), QString("Sec 039"));
    QCOMPARE(shown.first(), QString("Sec 020"));
    QCOMPARE(f.yellow_rows(), 1);
    QCOMPARE(f.core().current_entry.entry.security, QString("Sec 039"));
    QCOMPARE(f.core().current_entry.mode, mode_edit);
    QVERIFY(f.core().entry_highlighted);
    QCOMPARE(f.title->VScroll1->value(), f.core().current_entry.index);
}

void TestTitle::row_texts_data() {
    QTest::addColumn<Sample>("sample");
    QTest::addColumn<QString>("checklist_column");
    Sample three{"A"};
    three.completed = {"Value", "Growth", "Income"};
    QTest::newRow("names joined when they fit") << three << "Value, Growth, Income";
    Sample longer{"B"};
    longer.completed = {"Balance sheet checks", "Earnings quality list", "Management review"};
    QTest::newRow("cut when they do not") << longer << "Balance sheet ..,Earnings quali..,Management review";
    Sample one{"C"};
    one.completed = {QString("A very long checklist name that goes on past the column")};
    QTest::newRow("one name in full") << one << "A very long checklist name that goes on past the column";
    Sample file{"D"};
    file.web = 3;
    file.path = "C:\\data\\report.pdf";
    QTest::newRow("file without a name") << file << "report.pdf";
    file.topic = "Annual report";
    QTest::newRow("file with a name") << file << "Annual report (report.pdf)";
    Sample call{"E"};
    call.web = 2;
    call.topic = "Q3 call";
    QTest::newRow("call topic") << call << "Q3 call";
}

void TestTitle::row_texts() {
    QFETCH(Sample, sample);
    ListFixture f({sample});
    QCOMPARE(f.title->checklist_column_chars, int16_t(44));
    QTEST(f.title->Checklist_Entry_Display_text[0]->text(), "checklist_column");
    QCOMPARE(f.title->Price_Entry_Display_text[0]->text(), QString("10.00"));
    QCOMPARE(f.title->Date_Entry_Display_text[0]->text(), QString("1/1/2026"));
}

void TestTitle::shorten_date_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shortened");
    QTest::newRow("long") << "12/25/2005" << "12/25/05";
    QTest::newRow("one-digit month") << "1/15/2006" << "1/15/06";
    QTest::newRow("eight characters") << "1/5/2006" << "1/5/2006";
    QTest::newRow("no slashes") << "2006-01-05" << "2006-01-05";
}

void TestTitle::shorten_date() {
    QFETCH(QString, text);
    QTEST(Title::shorten_date_string(text), "shortened");
    // Without a locale of its own the program reads month/day/year as well.
    QLocale::setDefault(QLocale::c());
    QTEST(Title::shorten_date_string(text), "shortened");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestTitle::date_box_text_follows_the_rule_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("C") << QLocale::c();
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom);
    QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France);
    QTest::newRow("es_ES") << QLocale(QLocale::Spanish, QLocale::Spain);
    QTest::newRow("ja_JP") << QLocale(QLocale::Japanese, QLocale::Japan);
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany);
    QTest::newRow("ar_EG") << QLocale(QLocale::Arabic, QLocale::Egypt);
}

// The box text built from a date must be what the shortening rule makes of the full
// text, on every day of years around 2000 (29 February of 1996, 2000 and 2004
// included) and at the ends of the stored range.
void TestTitle::date_box_text_follows_the_rule() {
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    QList<QDate> dates{QDate(100, 1, 1), QDate(1899, 12, 30), QDate(1900, 2, 28), QDate(2100, 2, 28), QDate(9999, 12, 31)};
    for (QDate d(1996, 1, 1); d <= QDate(2004, 12, 31); d = d.addDays(1)) dates << d;
    int shortened = 0;
    for (const QDate& d : dates) {
        const QString full = short_date_text(d).trimmed();
        const QString box = Title::date_box_text(d);
        if (box != Title::shorten_date_string(full)) QFAIL(qPrintable(d.toString(Qt::ISODate) + ": " + box));
        shortened += box != full;
    }
    if (locale.language() == QLocale::English) QVERIFY(shortened > 2000);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestTitle::sorting_and_filters() {
    ListFixture f({{"Beta", "Sell", 200000}, {"alpha", "Buy", 100000}, {"Gamma", "Buy", 300000}, {"Alpha", "Hold", 150000}});
    Title* t = f.title;
    // A press sorts by the column and, with no filter on, keeps only the highlighted
    // entry's value in view; case is ignored.
    QTest::mouseClick(t->Security_Command, Qt::LeftButton);
    QCOMPARE(f.core().current_entry.entry.security, QString("alpha"));  // the first row is highlighted
    QCOMPARE(t->Program_Title->text(), QString("View ONLY Security: 'Alpha'"));
    QCOMPARE(f.column(t->Security_Entry_Display_text), QStringList({"alpha", "Alpha"}));
    QCOMPARE(t->Security_Command->palette().color(QPalette::Button), QColor(0xC0, 0xC0, 0xFF));
    QCOMPARE(t->Date_comand->palette().color(QPalette::Button), QColor(0xE0, 0xE0, 0xE0));
    QCOMPARE(t->Security_Command->toolTip(), QString("Press to View ALL Data Sorted by Security Name"));
    // Pressed again, the filter goes off and the whole table shows in that order.
    QTest::mouseClick(t->Security_Command, Qt::LeftButton);
    QCOMPARE(t->Program_Title->text(), QString("All Summary Data: SORTED by Security"));
    QCOMPARE(f.column(t->Security_Entry_Display_text), QStringList({"alpha", "Alpha", "Beta", "Gamma"}));
    QCOMPARE(t->Security_Command->toolTip(), QString("Press to View Data Only containing Highlighted Security Name"));
    // Another column while no filter is on: sorted and filtered by that column.
    QTest::mouseClick(t->Transaction_Command, Qt::LeftButton);
    QCOMPARE(t->Program_Title->text(), QString("View ONLY Transaction: 'Buy'"));
    QCOMPARE(f.column(t->Transaction_Entry_Display_text), QStringList({"Buy", "Buy"}));
    // Any column while a filter is on turns it off.
    QTest::mouseClick(t->Price_Command, Qt::LeftButton);
    QCOMPARE(t->Program_Title->text(), QString("All Summary Data: SORTED by Price"));
    QCOMPARE(f.column(t->Price_Entry_Display_text), QStringList({"10.00", "15.00", "20.00", "30.00"}));
    // The date filter keeps the same stored date value only.
    QTest::mouseClick(t->Date_comand, Qt::LeftButton);
    QCOMPARE(t->Program_Title->text(), QString("View ONLY Date: '1/1/2026'"));
    QCOMPARE(f.column(t->Security_Entry_Display_text).size(), 4);  // all four share the date
    f.core().SummaryData[2].entry_date += 0.25;                   // same day, other time
    t->update_Title_with_entries();
    QCOMPARE(f.column(t->Security_Entry_Display_text).size(), 3);
    QTest::mouseClick(t->Date_comand, Qt::LeftButton);
    QCOMPARE(t->Program_Title->text(), QString("All Summary Data: SORTED by Date"));
    // Back to the order added.
    t->reset_to_original();
    QCOMPARE(t->Program_Title->text(), QString("All Summary Data: SORTED by Date Added"));
    QCOMPARE(t->view_filter_mode, int32_t(filter_all));
    QVERIFY(!t->summary_sorted);
    t->update_Title_with_entries();
    QCOMPARE(f.column(t->Security_Entry_Display_text), QStringList({"Beta", "alpha", "Gamma", "Alpha"}));
}

void TestTitle::topic_filter_and_reset() {
    Sample call{"Acme"};
    call.web = 2;
    call.topic = "Earnings";
    Sample page{"Bolt"};
    page.web = 1;
    page.topic = " Earnings ";
    Sample other{"Cog"};
    other.web = 1;
    other.topic = "Other";
    Sample trade{"Dyn"};
    trade.completed = {"Value"};
    ListFixture f({call, page, other, trade});
    Title* t = f.title;
    // Highlight the call-notes entry: Command1 sorts by topic, then filters by it.
    t->Date_Entry_Display_text[0]->setFocus();
    QCOMPARE(f.core().current_entry.entry.security, QString("Acme"));
    QTest::mouseClick(t->Command1, Qt::LeftButton);
    // Sorted by topic ("earnings" ties before "other"), the view keeps the same topic,
    // trimmed, of web pages and call notes alike; a transaction never passes.
    QCOMPARE(t->Program_Title->text(), QString("View ONLY Web, File, Call Topic: 'Earnings'"));
    QStringList shown = f.column(t->Security_Entry_Display_text);
    shown.sort();
    QCOMPARE(shown, QStringList({"Acme", "Bolt"}));
    QTest::mouseClick(t->Command1, Qt::LeftButton);
    QCOMPARE(t->Program_Title->text(), QString("All Summary Data: SORTED by Web, File, Call Topic"));
    QCOMPARE(f.column(t->Security_Entry_Display_text).size(), 4);
    // A transaction entry makes the same button sort by checklists.
    t->reset_to_original();
    t->update_Title_with_entries();
    t->Date_Entry_Display_text[3]->setFocus();
    QCOMPARE(f.core().current_entry.entry.security, QString("Dyn"));
    QTest::mouseClick(t->Command1, Qt::LeftButton);
    QCOMPARE(t->Program_Title->text(), QString("View ONLY Checklist: 'Value'"));
    QCOMPARE(f.column(t->Security_Entry_Display_text), QStringList({"Dyn"}));
}

void TestTitle::keys_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("first_shown");
    QTest::addColumn<QString>("current");
    // 40 entries at elements 1..40 (element 0 stays free); the page starts at Sec 020.
    QTest::newRow("Up in the page") << 5 << int(Qt::Key_Up) << "Sec 020" << "Sec 024";
    QTest::newRow("Up on the first row scrolls one") << 0 << int(Qt::Key_Up) << "Sec 019" << "Sec 019";
    QTest::newRow("Down in the page") << 5 << int(Qt::Key_Down) << "Sec 020" << "Sec 026";
    QTest::newRow("Enter is Down") << 5 << int(Qt::Key_Return) << "Sec 020" << "Sec 026";
    QTest::newRow("PageUp moves half a page") << 4 << int(Qt::Key_PageUp) << "Sec 009" << "Sec 013";
    QTest::newRow("Home") << 4 << int(Qt::Key_Home) << "Sec 000" << "Sec 000";
    QTest::newRow("End") << 4 << int(Qt::Key_End) << "Sec 020" << "Sec 039";
    QTest::newRow("PageDown moves half a page") << 2 << int(Qt::Key_PageDown) << "Sec 031" << "Sec 033";
}

void TestTitle::keys() {
    QFETCH(int, row);
    QFETCH(int, key);
    ListFixture f(numbered(40));
    f.title->Date_Entry_Display_text[size_t(row)]->setFocus();
    f.key(row, key);
    QTEST(f.column(f.title->Security_Entry_Display_text).value(0), "first_shown");
    QTEST(f.core().current_entry.entry.security, "current");
    QCOMPARE(f.yellow_rows(), 1);
}

void TestTitle::scroll_bar_moves_highlight() {
    ListFixture f(numbered(40));
    Title* t = f.title;
    t->Date_Entry_Display_text[5]->setFocus();
    const int at = t->VScroll1->value();
    t->VScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // an arrow: one row
    QCOMPARE(t->VScroll1->value(), at + 1);
    QCOMPARE(t->highlighted_row, int16_t(6));
    t->VScroll1->triggerAction(QAbstractSlider::SliderPageStepSub);  // the track: three rows
    QCOMPARE(t->highlighted_row, int16_t(3));
    QCOMPARE(f.yellow_rows(), 1);
    // Far above the page: the page moves there.
    t->VScroll1->setValue(2);
    QCOMPARE(f.column(t->Security_Entry_Display_text).value(0), QString("Sec 001"));
}

void TestTitle::wheel_moves_one_row() {
    ListFixture f(numbered(40));
    Title* t = f.title;
    t->Date_Entry_Display_text[5]->setFocus();
    auto wheel = [&](int delta) {
        QWidget* over = t->Price_Entry_Display_text[2];
        QWheelEvent e(QPointF(2, 2), over->mapToGlobal(QPointF(2, 2)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &e);
    };
    wheel(-120);  // towards the user: down one row
    QCOMPARE(t->highlighted_row, int16_t(6));
    wheel(240);   // two notches away: up two rows
    QCOMPARE(t->highlighted_row, int16_t(4));
    QCOMPARE(f.core().current_entry.entry.security, QString("Sec 024"));
    // At the top of the page the wheel scrolls the list, as Up does.
    t->Date_Entry_Display_text[0]->setFocus();
    wheel(120);
    QCOMPARE(f.column(t->Security_Entry_Display_text).value(0), QString("Sec 019"));
}

void TestTitle::double_click_opens_the_editor_of_its_kind() {
    Sample page{"Bolt"};
    page.web = 1;
    page.topic = "Annual report";
    Sample call{"Cog"};
    call.web = 2;
    call.topic = "Q3";
    ListFixture f({{"Acme"}, page, call});
    QTest::mouseDClick(f.title->Transaction_Entry_Display_text[0], Qt::LeftButton);
    QCOMPARE(f.core().current_screen, 2);
    QVERIFY(!f.title->isVisible());
    QVERIFY(f.shell->window("AddEntry")->isVisible());
    QCOMPARE(f.shell->window("AddEntry")->windowTitle(), QString("View / Edit Transaction"));
    QCOMPARE(f.core().current_entry.entry.security, QString("Acme"));
    for (auto [row, code, name] : {std::tuple{1, 4, "SaveWebPage"}, std::tuple{2, 12, "SaveCallNotes"}}) {
        f.shell->command()->Image_action_Click(button_summary);
        QVERIFY(f.title->isVisible());
        QTest::mouseDClick(f.title->Checklist_Entry_Display_text[size_t(row)], Qt::LeftButton);
        QCOMPARE(f.core().current_screen, code);
        QVERIFY(f.shell->window(name)->isVisible());
    }
}

void TestTitle::grows_to_35_rows_and_hides_on_shrink() {
    ListFixture f(numbered(60));
    Title* t = f.title;
    const QSize original = f.mdi->size();
    f.mdi->resize(original.width(), original.height() + 400);
    QApplication::processEvents();
    t->handle_resize();
    QCOMPARE(t->last_row_index, int16_t(34));
    t->update_title_with_last_entries();
    QCOMPARE(f.column(t->Security_Entry_Display_text).size(), 32);  // 31 counted + the one below
    f.mdi->resize(original);
    QApplication::processEvents();
    t->handle_resize();
    QCOMPARE(t->last_row_index, int16_t(22));
    for (int r = 23; r < Title::kRows; ++r) QVERIFY(!t->Date_Entry_Display_text[size_t(r)]->isVisible());
}

void TestTitle::focus_from_popup_keeps_current_entry() {
    ListFixture f(numbered(5));
    Title* t = f.title;
    t->Date_Entry_Display_text[1]->setFocus();
    QCOMPARE(f.core().current_entry.entry.security, QString("Sec 001"));
    // Focus lost to a menu and won back does not repaint or re-pick.
    QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(t->Date_Entry_Display_text[1], &out);
    QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(t->Date_Entry_Display_text[3], &in);
    QCOMPARE(f.core().current_entry.entry.security, QString("Sec 001"));
    QCOMPARE(f.yellow_rows(), 1);
    // A right-click picks its row before the pop-up opens.
    QTest::mouseClick(t->Security_Entry_Display_text[4], Qt::RightButton);
    QCOMPARE(f.popups, 1);
    QCOMPARE(f.core().current_entry.entry.security, QString("Sec 004"));
    QVERIFY(t->Security_Entry_Display_text[4]->isEnabled());
}

void TestTitle::delete_yes_and_no() {
    ListFixture f(numbered(3));
    Title* t = f.title;
    t->Date_Entry_Display_text[1]->setFocus();
    const int32_t record = f.core().current_entry.entry.file_idx;
    f.fx.messages.answers.enqueue(kAnswerNo);
    t->verify_entry_delete_and_save();
    QCOMPARE(f.column(t->Security_Entry_Display_text).size(), 3);
    f.fx.messages.answers.enqueue(kAnswerYes);
    t->verify_entry_delete_and_save();
    QCOMPARE(f.fx.messages.questions.last().second, QString("Are you sure you want to DELETE this item?"));
    QCOMPARE(f.column(t->Security_Entry_Display_text), QStringList({"Sec 000", "Sec 002"}));
    const QByteArray file = read_file(f.fx.path("entries.dat"));
    QCOMPARE(qFromLittleEndian<int16_t>(file.constData() + qsizetype(record - 1) * 3044 + 7), int16_t(-1));
    QCOMPARE(f.core().current_screen, 0);
    QVERIFY(f.core().entry_highlighted);  // the first row took the focus again
    QCOMPARE(f.core().current_entry.entry.security, QString("Sec 000"));
}

void TestTitle::delete_after_resort_refuses() {
    ListFixture f(numbered(3));
    Core& c = f.core();
    f.title->Date_Entry_Display_text[0]->setFocus();
    const int32_t index = c.current_entry.index;
    QCOMPARE(c.current_entry.entry.security, QString("Sec 000"));
    // A re-sort puts another stored entry where the highlighted one was.
    std::swap(c.SummaryData[index], c.SummaryData[index + 1]);
    f.fx.messages.answers.enqueue(kAnswerYes);
    f.title->verify_entry_delete_and_save();
    for (const SummaryEntry& e : c.SummaryData) QCOMPARE(e.deleted, Flag(0));
    QVERIFY(f.fx.messages.box_texts().last().startsWith("Warning: The highlighted entry is no longer where it was shown."));
    f.restart_core();
    int live = 0;
    for (const SummaryEntry& e : f.fx.core->SummaryData) live += e.is_live();
    QCOMPARE(live, 3);
}

void TestTitle::undo_brings_entries_back() {
    ListFixture f(numbered(4));
    for (int n = 0; n < 3; ++n) {
        f.title->Date_Entry_Display_text[0]->setFocus();
        f.fx.messages.answers.enqueue(kAnswerYes);
        f.title->verify_entry_delete_and_save();
    }
    QCOMPARE(f.column(f.title->Security_Entry_Display_text), QStringList({"Sec 003"}));
    f.title->undo_all_entry_delete();
    f.key(0, Qt::Key_Home);
    QCOMPARE(f.column(f.title->Security_Entry_Display_text).size(), 4);
    f.restart_core();
    int live = 0;
    for (const SummaryEntry& e : f.fx.core->SummaryData) live += e.is_live();
    QCOMPARE(live, 4);
}

// The entries brought back push the others down the page: the row that was yellow now
// shows another entry, which nobody highlighted.
void TestTitle::undo_leaves_no_row_yellow() {
    ListFixture f(numbered(6));
    Title* t = f.title;
    for (int n = 0; n < 2; ++n) {
        QTest::mouseClick(t->Security_Entry_Display_text[1], Qt::LeftButton);
        f.fx.messages.answers.enqueue(kAnswerYes);
        f.mdi->toolbar_button(3)->trigger();
    }
    QCOMPARE(f.column(t->Security_Entry_Display_text), QStringList({"Sec 000", "Sec 003", "Sec 004", "Sec 005"}));
    QTest::mouseClick(t->Security_Entry_Display_text[2], Qt::LeftButton);
    QCOMPARE(f.painted_rows(), QList<int>{2});
    QCOMPARE(f.core().current_entry.entry.security, QString("Sec 004"));
    t->undo_all_entry_delete();
    QCOMPARE(t->Security_Entry_Display_text[2]->text(), QString("Sec 002"));
    QCOMPARE(f.painted_rows(), QList<int>{});
    QVERIFY(!f.core().entry_highlighted);
    // With nothing highlighted the toolbar's Delete has nothing to act on.
    const int questions = f.fx.messages.questions.size();
    f.mdi->toolbar_button(3)->trigger();
    QCOMPARE(f.fx.messages.questions.size(), questions);
    // A click picks the row again, with the entry it now shows.
    QTest::mouseClick(t->Security_Entry_Display_text[2], Qt::LeftButton);
    QCOMPARE(f.painted_rows(), QList<int>{2});
    QVERIFY(f.whole_row_yellow(2));
    QCOMPARE(f.core().current_entry.entry.security, QString("Sec 002"));
}

void TestTitle::quotes() {
    QList<Sample> samples = numbered(4);
    samples[0].symbol = "acme";
    samples[1].symbol = "ACME";   // the same symbol in other letters: asked once
    samples[2].symbol = "BOLT";
    samples[3].symbol = "NONE";
    samples[0].price = 100000;    // 10.00 against a quote of 10.00: green
    samples[2].price = 100100;    // 10.01 against 10.00: red
    ListFixture f(samples);
    f.fx.http.replies.enqueue(QByteArray("\"ACME\",10.00,\"3/14/2026\",\"4:00pm\",+0.25,9.75\r\n"
                                         "\"BOLT\",10.00,\"3/14/2026\",\"4:00pm\",-0.10,10.1\r\n"
                                         "\"NONE\",N/A,\"N/A\",\"N/A\",N/A,N/A\r\n"));
    QTest::mouseClick(f.title->quote_command, Qt::LeftButton);
    QCOMPARE(f.fx.http.requests.size(), 1);
    QVERIFY2(f.fx.http.requests[0].toString().contains("acme,BOLT,NONE"), qPrintable(f.fx.http.requests[0].toString()));
    QCOMPARE(f.column(f.title->quote_display), QStringList({"10.00", "10.00", "10.00", ""}));
    QCOMPARE(f.title->quote_display[0]->palette().color(QPalette::Text), QColor(0, 192, 0));
    QCOMPARE(f.title->quote_display[2]->palette().color(QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(f.core().SummaryData[1].quote, QString("10.00"));
    // No reply: the message, and the quotes stay.
    QTest::mouseClick(f.title->quote_command, Qt::LeftButton);
    QCOMPARE(f.fx.messages.box_texts().last(),
             QString("Information: Unable to Get Quotes. Please make sure you are connected to the Internet."));
    QCOMPARE(f.column(f.title->quote_display).value(0), QString("10.00"));
    // A page served with status 200 that holds none of the symbols is a failed fetch too,
    // and the wait cursor shows while the hosts are asked.
    const int boxes = f.fx.messages.boxes.size();
    QList<int> cursors;
    f.fx.http.during_get = [&](const QUrl&) {
        cursors << (QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : -1);
    };
    f.fx.http.replies << QByteArray("<html>Service busy, try 1.2.3 later,,,,,</html>")
                      << QByteArray("<html>Service busy</html>");
    QTest::mouseClick(f.title->quote_command, Qt::LeftButton);
    QCOMPARE(cursors, QList<int>({Qt::WaitCursor, Qt::WaitCursor}));
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(f.fx.messages.boxes.size(), boxes + 1);
    QCOMPARE(f.fx.messages.box_texts().last(),
             QString("Information: Unable to Get Quotes. Please make sure you are connected to the Internet."));
    QCOMPARE(f.column(f.title->quote_display).value(0), QString("10.00"));
}

void TestTitle::second_quote_press_while_fetching() {
    QList<Sample> samples = numbered(1);
    samples[0].symbol = "ACME";
    ListFixture f(samples);
    f.fx.http.replies.enqueue(QByteArray("\"ACME\",5.00,\"3/14/2026\",\"4:00pm\",+1.00,4.00\r\n"));
    // The user presses again while the request waits in its event loop.
    f.fx.http.during_get = [&](const QUrl&) { f.title->quote_command->click(); };
    QTest::mouseClick(f.title->quote_command, Qt::LeftButton);
    QCOMPARE(f.fx.http.requests.size(), 1);
    QCOMPARE(f.core().SummaryData[1].quote, QString("5.00"));
}

void TestTitle::quote_host_from_environment() {
    // A quote service on the loopback address, answering every GET with one quote line.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QList<QByteArray> request_lines;
    connect(&server, &QTcpServer::newConnection, &server, [&] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, socket, [&request_lines, socket] {
                const QByteArray head = socket->readAll();
                request_lines << head.left(head.indexOf("\r\n"));
                const QByteArray body = "\"ACME\",5.00,\"3/14/2026\",\"4:00pm\",+1.00,4.00,5,4,100\r\n";
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
                              "\r\nConnection: close\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    QList<Sample> samples = numbered(1);
    samples[0].symbol = "ACME";
    ListFixture f(samples);
    qputenv("QUORBELIX_QUOTE_HOST", "127.0.0.1:" + QByteArray::number(server.serverPort()));
    service_hosts::read_from_environment(f.core());  // as the start-up does
    qunsetenv("QUORBELIX_QUOTE_HOST");
    QtHttpTransport transport(5000);
    f.fx.http.forward_to = &transport;

    QTest::mouseClick(f.title->quote_command, Qt::LeftButton);
    service_hosts::read_from_environment(f.core());
    QCOMPARE(request_lines.size(), 1);
    QVERIFY2(request_lines[0].startsWith("GET /d/quotes.csv?s=ACME&"), request_lines[0].constData());
    QCOMPARE(f.column(f.title->quote_display), QStringList({"5.00"}));
    QCOMPARE(f.core().SummaryData[1].quote, QString("5.00"));
    QCOMPARE(service_hosts::current().quote_primary, QString(service_hosts::kQuotePrimary));
}

void TestTitle::long_texts_show_their_start() {
    Sample s("Initech Holdings International Group", "Cover Short", 999999999999990000);
    s.completed = QStringList{"A checklist with a rather long name", "Another long checklist name"};
    ListFixture f({s, Sample("Short")});
    QCOMPARE(f.title->Security_Entry_Display_text[0]->text(), QString("Initech Holdings International Group"));
    QCOMPARE(f.title->Price_Entry_Display_text[0]->text(), QString("99999999999999.00"));
    for (const std::array<QLineEdit*, Title::kRows>* column :
         {&f.title->Date_Entry_Display_text, &f.title->Security_Entry_Display_text,
          &f.title->Transaction_Entry_Display_text, &f.title->Price_Entry_Display_text, &f.title->quote_display,
          &f.title->Checklist_Entry_Display_text}) {
        QLineEdit* b = (*column)[0];
        // The cursor decides which part of a long text a box shows.
        QVERIFY2(b->cursorPosition() == 0, qPrintable(b->objectName()));
    }
    // A redraw after the list changes shows the start again.
    f.key(0, Qt::Key_Down);
    f.key(1, Qt::Key_Up);
    QCOMPARE(f.title->Security_Entry_Display_text[0]->cursorPosition(), 0);
    QCOMPARE(f.title->Price_Entry_Display_text[0]->cursorPosition(), 0);
}

void TestTitle::escape_from_a_menu_keeps_the_row() {
    ListFixture f(numbered(3));
    const int16_t row = f.title->highlighted_row;
    QLineEdit* box = f.title->Date_Entry_Display_text[size_t(row)];
    QVERIFY(box->hasFocus());
    QCOMPARE(f.yellow_rows(), 1);
    QMenuBar* bar = f.mdi->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(f.mdi->menu("mnuFile")->menuAction()).center());
    QTRY_VERIFY(QApplication::activePopupWidget());
    // Escape closes the menu and leaves the menu bar holding the focus; a second Escape gives it back.
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QVERIFY(!QApplication::activePopupWidget());
    QCOMPARE(QApplication::focusWidget(), bar);
    QCOMPARE(f.yellow_rows(), 1);
    QTest::keyClick(bar, Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(f.yellow_rows(), 1);
    QCOMPARE(f.title->highlighted_row, row);
}

void TestTitle::deletes_in_a_row_move_the_focus() {
    ListFixture f(numbered(4));
    Title* t = f.title;
    QAction* del = f.mdi->toolbar_button(3);
    QStringList focus;
    for (int n = 0; n < 3; ++n) {
        t->Date_Entry_Display_text[1]->setFocus();
        f.fx.messages.answers.enqueue(kAnswerYes);
        del->trigger();
        focus << QApplication::focusWidget()->objectName();
        QCOMPARE(f.yellow_rows(), 1);
        QCOMPARE(t->highlighted_row, int16_t(0));
    }
    QCOMPARE(focus, QStringList({"Date_Entry_Display_text_0", "Security_Entry_Display_text_0",
                                 "Date_Entry_Display_text_0"}));
    QCOMPARE(f.column(t->Security_Entry_Display_text), QStringList({"Sec 000"}));
}

void TestTitle::one_row_highlighted_after_each_path_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("row");  // the row that must be the one highlighted afterwards
    QTest::newRow("a delete, then a click on another row") << "delete" << 2;
    QTest::newRow("a start with the tips window up") << "tips" << 4;
    QTest::newRow("Cancel of a new transaction after the page shrank") << "cancel" << 22;
    QTest::newRow("Summary pressed on the list") << "summary" << 19;
    QTest::newRow("the wheel while another window is active") << "wheel" << 3;
    QTest::newRow("End, then Up, from the last row and from another") << "end up" << 18;
    QTest::newRow("a row clicked while a box is up, given the focus back") << "given back" << 2;
    QTest::newRow("quotes arriving while another window is active") << "quotes" << 2;
    QTest::newRow("the text colour set in the preferences window") << "colour" << 2;
}

// Whatever led to the list, one row is yellow and it is the entry that the toolbar's Edit
// and Delete and the right-button menu act on. A message box or the tips window holds the
// activation meanwhile, and a window that is not active gets no focus events.
void TestTitle::one_row_highlighted_after_each_path() {
    QFETCH(QString, path);
    QFETCH(int, row);
    const bool few = path == "delete" || path == "tips" || path == "wheel" || path == "given back" || path == "quotes" ||
                     path == "colour";
    QList<Sample> samples = numbered(few ? 5 : path == "summary" || path == "end up" ? 40 : 60);
    if (path == "quotes")
        for (Sample& s : samples) s.symbol = "ACME";
    ListFixture f(samples);
    Title* t = f.title;
    f.shell->command()->show();
    QWidget other;  // a message box, standing in front of the main window
    other.resize(100, 50);
    if (path == "delete") {
        QTest::mouseClick(t->Security_Entry_Display_text[2], Qt::LeftButton);
        other.show();
        QApplication::setActiveWindow(&other);
        f.fx.messages.answers.enqueue(kAnswerYes);
        f.mdi->toolbar_button(3)->trigger();
        QCOMPARE(f.column(t->Security_Entry_Display_text), QStringList({"Sec 000", "Sec 001", "Sec 003", "Sec 004"}));
        // The box has gone; the window is given back only after the click on another row.
        QTest::mouseClick(t->Security_Entry_Display_text[2], Qt::LeftButton);
        other.hide();
        QApplication::setActiveWindow(f.mdi);
        QCOMPARE(f.painted_rows(), QList<int>{row});
        QTest::mouseClick(t->Date_Entry_Display_text[2], Qt::LeftButton);
    } else if (path == "tips") {
        // The start-up has highlighted the newest entry; the window manager then fits the
        // frame while the tips window is the active one.
        f.shell->tips()->show();
        QApplication::setActiveWindow(f.shell->tips());
        f.mdi->resize(f.mdi->width() + 16, f.mdi->height());
        QApplication::processEvents();
    } else if (path == "cancel") {
        const QSize original = f.mdi->size();
        f.mdi->resize(original.width(), original.height() + 400);
        QApplication::processEvents();
        f.key(t->highlighted_row, Qt::Key_End);
        QTest::mouseClick(t->Security_Entry_Display_text[30], Qt::LeftButton);
        f.press(button_buy);
        f.mdi->resize(original);
        QApplication::processEvents();
        f.mdi->toolbar_button(5)->trigger();
    } else if (path == "summary") {
        f.key(t->highlighted_row, Qt::Key_Home);
        QTest::mouseClick(t->Security_Entry_Display_text[22], Qt::LeftButton);
        f.press(button_summary);  // the newest page, fewer rows than before
    } else if (path == "wheel") {
        other.show();
        QApplication::setActiveWindow(&other);
        QWidget* over = t->Price_Entry_Display_text[2];
        QWheelEvent e(QPointF(2, 2), over->mapToGlobal(QPointF(2, 2)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &e);
    } else if (path == "end up") {
        // End on the newest page keeps the focus where it is; from another row it moves it.
        for (int from : {19, 3}) {
            QTest::mouseClick(t->Security_Entry_Display_text[size_t(from)], Qt::LeftButton);
            f.key_on_focus(Qt::Key_End);
            QCOMPARE(f.painted_rows(), QList<int>{19});
            f.key_on_focus(Qt::Key_Up);
            QCOMPARE(f.painted_rows(), QList<int>{18});
        }
    } else if (path == "given back") {
        // A click on a box the list leaves to Qt moves the focus of a window that is not
        // active; the row is picked when the box closes and the window gets the focus back.
        other.show();
        QApplication::setActiveWindow(&other);
        QTest::mouseClick(t->Checklist_Entry_Display_text[2], Qt::LeftButton);
        QCOMPARE(f.mdi->focusWidget(), t->Checklist_Entry_Display_text[2]);
        other.hide();
        QApplication::setActiveWindow(f.mdi);
        QCOMPARE(QApplication::focusWidget(), t->Checklist_Entry_Display_text[2]);
    } else if (path == "quotes") {
        // The user turns to another window while the quotes are fetched; the list redraws
        // its rows behind it.
        QTest::mouseClick(t->Security_Entry_Display_text[2], Qt::LeftButton);
        f.fx.http.replies.enqueue(QByteArray("\"ACME\",12.00,\"3/14/2026\",\"4:00pm\",+0.25,11.75\r\n"));
        f.fx.http.during_get = [&](const QUrl&) {
            other.show();
            QApplication::setActiveWindow(&other);
        };
        QTest::mouseClick(t->quote_command, Qt::LeftButton);
        QCOMPARE(f.column(t->quote_display).value(2), QString("12.00"));
        QCOMPARE(QApplication::activeWindow(), &other);
        QCOMPARE(f.painted_rows(), QList<int>{row});
    } else if (path == "colour") {
        // The preferences window is active while the list repaints its texts.
        QTest::mouseClick(t->Security_Entry_Display_text[2], Qt::LeftButton);
        f.mdi->menu_item("mnuCustom")->trigger();
        auto* custom = dynamic_cast<Custom*>(f.shell->loaded_window("Custom"));
        QVERIFY(custom && custom->isVisible());
        QApplication::setActiveWindow(custom);
        QTest::mouseClick(custom->Check1[3], Qt::LeftButton);  // green
        QTest::mouseClick(custom->activate_button, Qt::LeftButton);
        QVERIFY(!f.shell->is_form_loaded("Custom"));
        QCOMPARE(t->Security_Entry_Display_text[2]->palette().color(QPalette::Text), QColor(0, 192, 0));
        QCOMPARE(f.painted_rows(), QList<int>{row});
        QApplication::setActiveWindow(f.mdi);
    }
    QCOMPARE(f.core().current_screen, int(screen_summary));
    QCOMPARE(f.painted_rows(), QList<int>{row});
    QVERIFY(f.whole_row_yellow(int16_t(row)));
    const QString shown = t->Security_Entry_Display_text[size_t(row)]->text();
    QCOMPARE(t->highlighted_row, int16_t(row));
    QCOMPARE(f.core().current_entry.index, t->get_SummaryData_from_screen_index(int16_t(row)));
    QCOMPARE(f.core().current_entry.entry.security, shown);
    QVERIFY(f.core().entry_highlighted);
    // The toolbar's Edit opens that entry.
    f.mdi->toolbar_button(4)->trigger();
    QCOMPARE(f.core().current_screen, int(screen_edit_transaction));
    QCOMPARE(f.shell->window_as<AddEntry>("AddEntry")->security_name_textbox->text(), shown);
}

QTEST_MAIN(TestTitle)
#include "tst_title.moc"
