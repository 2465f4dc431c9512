// A program folder that cannot be written: the journal still shows, the user is told
// once, and saves fail with a message. The folder is a read-only bind mount, which holds
// even for root; without the right to mount, the test is skipped.
#include "support/fakes.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

bool run(const QStringList& args) {
    QProcess p;
    p.start(args.first(), args.mid(1));
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

struct ReadOnlyView {
    explicit ReadOnlyView(const QString& source) {
        mounted = run({"mount", "--bind", source, view.path()}) &&
                  (run({"mount", "-o", "remount,bind,ro", view.path()}) || (run({"umount", view.path()}), false));
    }
    ~ReadOnlyView() {
        if (mounted) run({"umount", view.path()});
    }
    QTemporaryDir view;
    bool mounted = false;
};

} // namespace

class TestReadOnlyFolder : public QObject {
    Q_OBJECT

private slots:
    void journal_shows_and_saves_fail();
};

void TestReadOnlyFolder::journal_shows_and_saves_fail() {
    CoreFixture fx;
    fx.start();
    for (const char* name : {"Alpha", "Bravo"}) {
        SummaryEntry* e = start_new_entry(*fx.core);
        QVERIFY(e);
        e->security = name;
        e->other.present = kTrue;
        e->other.text = QString(name) + " details";
        e->checklist[0].Inuse = kTrue;
        e->checklist[0].Item[0].text = "Question?";
        QVERIFY(fx.core->save_entry());
    }
    fx.core->Checklists[0].Name = "My own list";
    fx.core->save_checklist();
    QVERIFY(fx.core->save_preferences());
    fx.core.reset();

    ReadOnlyView ro(fx.dir.path());
    if (!ro.mounted) QSKIP("a read-only bind mount needs the right to mount");
    FakePresenter messages;
    Platform platform = fx.platform();
    platform.messages = &messages;
    Core c(ro.view.path(), platform);
    c.init_blank_entry();
    c.init_blank_entry_checklist();
    c.init_blank_checklist();
    c.set_default_custom_links();
    c.load_summary_data();
    c.install_example_checklist();
    c.load_checklists();
    c.load_preferences();

    QStringList names;
    for (const SummaryEntry& e : c.SummaryData)
        if (e.is_live()) names << e.security;
    QCOMPARE(names, QStringList({"Alpha", "Bravo"}));
    QCOMPARE(c.Checklists[0].Name, QString("My own list"));
    QCOMPARE(c.next_vardata_index, 5);
    QVERIFY(c.load_entry(0));
    QCOMPARE(c.current_entry.entry.other.text, QString("Alpha details"));
    QCOMPARE(c.current_entry.entry.checklist[0].Item[0].text, QString("Question?"));
    // Told once that saves will fail, with the platform's reason; the log adds no boxes.
    QCOMPARE(messages.boxes.size(), 1);
    QVERIFY2(messages.boxes[0].second.startsWith("Warning: The program folder ") &&
                 messages.boxes[0].second.contains("cannot be written (") &&
                 messages.boxes[0].second.contains("saving will fail"),
             qPrintable(messages.boxes[0].second));
    c.show_message(msg_information, "one");
    c.show_message(msg_information, "two");
    QCOMPARE(messages.box_texts().mid(1), QStringList({"Information: one", "Information: two"}));

    c.current_entry.entry.other.text = "Changed";
    QVERIFY(!c.save_entry());
    QVERIFY(messages.boxes.size() > 3);
    QCOMPARE(c.SummaryData[0].security, QString("Alpha"));
}

QTEST_GUILESS_MAIN(TestReadOnlyFolder)
#include "tst_read_only_folder.moc"
