// A reference entry whose details text cannot be read when it is opened: editing and
// saving the entry keeps the stored text with it, for each kind of reference entry.
#include "core/ole_date.h"
#include "references/savecallnotes.h"
#include "references/savefilereference.h"
#include "references/savewebpage.h"
#include "references_fixture.h"
#include "support/webengine_test_main.h"

#include <QSignalSpy>
#include <QWebEngineView>

using namespace qb;
using namespace qb::test;

namespace {

QLineEdit* price_box(ReferencesFixture& f, int screen) {
    switch (screen) {
    case screen_edit_web_page: return f.window<SaveWebPage>("SaveWebPage")->security_price;
    case screen_edit_file_reference: return f.window<SaveFileReference>("SaveFileReference")->security_price;
    default: return f.window<SaveCallNotes>("SaveCallNotes")->security_price;
    }
}

} // namespace

class TestReferenceDetails : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SaveWebPage::start_page = QStringLiteral("about:blank"); }
    void unreadable_details_survive_an_edit_data();
    void unreadable_details_survive_an_edit();
};

void TestReferenceDetails::unreadable_details_survive_an_edit_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("screen");
    QTest::newRow("web page") << "Web Page" << int(screen_edit_web_page);
    QTest::newRow("file") << "File" << int(screen_edit_file_reference);
    QTest::newRow("call notes") << "Call Notes" << int(screen_edit_call_notes);
}

void TestReferenceDetails::unreadable_details_survive_an_edit() {
    QFETCH(QString, kind);
    QFETCH(int, screen);
    ReferencesFixture f;
    write_file(f.fx.path("page.htm"), "<html><body>page</body></html>");
    {
        SummaryEntry* e = start_new_entry(f.core());
        QVERIFY(e);
        e->security = "Acme";
        e->transaction = kind;
        e->price = 10000;
        e->entry_date = ole_from_date(QDate(2026, 3, 1));
        e->web.present = to_flag(kind != u"File");
        e->web.address = f.fx.path("page.htm");
        e->web.reference_name = "ref";
        e->file.present = to_flag(kind == u"File");
        e->file.path = f.fx.path("notes.txt");
        e->other.present = kTrue;
        e->other.text = "Details that were stored.";
        QVERIFY(f.core().save_entry());
    }
    // The text store goes missing while the entry is opened, edited and saved.
    const QByteArray store = read_file(f.fx.path("VarData.dat"));
    QVERIFY(QFile::remove(f.fx.path("VarData.dat")));
    f.restart();
    const int32_t index = f.last_live_entry();
    QVERIFY(index >= 0);
    f.open_entry(index);
    QCOMPARE(f.core().current_screen, screen);
    QVERIFY(f.fx.messages.box_texts().contains("Error: Unable to Read OTHER Data File: Index: 1"));
    QLineEdit* price = price_box(f, screen);
    price->clear();
    f.type(price, "14");
    f.save();
    QCOMPARE(f.core().current_screen, screen);
    QCOMPARE(f.core().SummaryData[index].price, Currency(140000));

    write_file(f.fx.path("VarData.dat"), store);
    f.restart();
    Core& c = f.core();
    QCOMPARE(c.SummaryData[index].price, Currency(140000));
    QCOMPARE(c.SummaryData[index].other.present, kTrue);
    QVERIFY(c.load_entry(index));
    QCOMPARE(c.current_entry.entry.other.text, QString("Details that were stored."));
}

QB_WEBENGINE_TEST_MAIN(TestReferenceDetails)
#include "tst_reference_details.moc"
