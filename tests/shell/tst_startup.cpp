// The start-up sequence: one instance per program folder, the state it leaves, and the
// choice between the tips window and the tour.
#include "shell_fixture.h"

#include "core/service_hosts.h"
#include "shell/tips.h"
#include "shell/tour.h"
#include "support/file_faults.h"

#include <QCheckBox>
#include <QFile>
#include <QLockFile>
#include <QToolBar>

using namespace qb;
using namespace qb::test;

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void first_start_state();
    void second_instance_is_refused_before_any_data_file();
    void lock_of_a_crashed_run_is_taken_over();
    void small_screen_data();
    void small_screen();
    void tips_or_tour_data();
    void tips_or_tour();
    void next_tip_index_data();
    void next_tip_index();
    void service_hosts_from_environment();
    void the_shell_alone_makes_only_its_own_windows();
    void leftovers_of_cut_saves_removed_at_start();
};

void TestStartup::first_start_state() {
    ShellFixture f;
    f.write_tour();
    QVERIFY(f.start());
    Core& c = f.c();
    QCOMPARE(c.program_version, QStringLiteral("4.03"));
    QCOMPARE(c.current_screen, 0);
    QCOMPARE(c.back_available, false);
    QCOMPARE(c.forward_available, false);
    // No data files: the example checklist is the only one, and the empty files exist now.
    QCOMPARE(c.Checklists.size(), 1);
    QCOMPARE(c.current_checklist.Name, c.Checklists[0].Name);
    QVERIFY(QFile::exists(f.path("entries.dat")));
    QVERIFY(QFile::exists(f.path("chklist.dat")));
    QVERIFY(f.startup_messages.join('|').contains("Checklist File NOT Found. Using Default Checklist"));

    QCOMPARE(f.mdi()->windowTitle(), QStringLiteral("Quorbelix"));
    // The faces the windows were designed in stand for a metric match.
    QCOMPARE(QFont::substitute("MS Sans Serif").toLower(), QString("liberation sans"));
    QCOMPARE(QFont::substitute("Arial").toLower(), QString("liberation sans"));
    // The frame carries the program's logo, not the window manager's generic icon.
    const QIcon icon = f.mdi()->windowIcon();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32),
             svg_picture("logo", QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32));
    QVERIFY(f.mdi()->isVisible());
    QVERIFY(f.mdi()->Toolbar1()->isVisible());
    QVERIFY(f.bar()->isVisible());
    QCOMPARE(f.visible_screen(), QStringLiteral("Title"));
    QCOMPARE(f.bar()->highlighted_button(), 0);
    auto* title = f.stand_in<StandInTitle>("Title");
    QCOMPARE(title->calls.filter("update_title_with_last_entries").size(), 1);
    QVERIFY(title->calls.indexOf("handle_resize") < title->calls.indexOf("update_title_with_last_entries"));
    QVERIFY(title->calls.indexOf("update_title_with_last_entries") < title->calls.indexOf("setfocus_to_last_entry"));
    // The defaults: tips on, tour on, so the tour shows and the tips window only exists.
    QVERIFY(f.s().is_form_loaded("Tips"));
    QVERIFY(!f.s().loaded_window("Tips")->isVisible());
    QVERIFY(f.s().loaded_window("Tour")->isVisible());
    QCOMPARE(c.tour_running, true);
}

void TestStartup::second_instance_is_refused_before_any_data_file() {
    ShellFixture first;
    first.write_prefs();
    QVERIFY(first.start());

    ShellFixture second;
    second.dir.remove();
    // The second start shares the first one's program folder.
    auto again = Main(second.platform(), first.dir.path());
    QVERIFY(!again);
    QCOMPARE(second.messages.box_texts(), QStringList{"Error: Quorbelix is already started."});
    QVERIFY(first.s().mdi()->isVisible());

    // On a folder nobody runs in, the refused start has opened no data file.
    ShellFixture third;
    QLockFile holder(third.path(instance_lock_name()));
    QVERIFY(holder.tryLock(0));
    QVERIFY(!third.start());
    QCOMPARE(third.startup_messages, QStringList{"Error: Quorbelix is already started."});
    for (const char* name : {"entries.dat", "chklist.dat", "VarData.dat", "pref.dat"})
        QVERIFY2(!QFile::exists(third.path(name)), name);
}

void TestStartup::lock_of_a_crashed_run_is_taken_over() {
    ShellFixture f;
    f.write_prefs();
    // What a run that died leaves: a lock naming a process that no longer exists.
    write_file(f.path(instance_lock_name()), "999999999\nquorbelix\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    QVERIFY(f.start());
    QVERIFY(f.startup_messages.filter("already started").isEmpty());
}

void TestStartup::small_screen_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("small");
    QTest::addColumn<int>("frame_height");
    QTest::addColumn<int>("child_height");
    QTest::newRow("800 is small") << 800 << true << 8205 << 6660;
    QTest::newRow("801 is large") << 801 << false << 8310 << 6760;
}

void TestStartup::small_screen() {
    QFETCH(int, width);
    ShellFixture f;
    f.write_prefs();
    f.screen.width = width;
    QVERIFY(f.start());
    QTEST(f.c().small_screen, "small");
    QTEST(f.mdi()->height_twips(), "frame_height");
    QCOMPARE(f.mdi()->width_twips(), 11895);  // 11900 twips in whole pixels
    QTEST(int(f.mdi()->child_form_height), "child_height");
    QCOMPARE(int(f.mdi()->MDI_height_original), f.mdi()->height_twips());
    // The sizes are the frame's, title bar and borders included.
    QFETCH(int, frame_height);
    QCOMPARE(f.mdi()->frameGeometry().height(), twips_to_px(frame_height));
    QCOMPARE(f.mdi()->frameGeometry().width(), twips_to_px(11900));
    // Sized otherwise by the user, the frame keeps the user's size.
    f.mdi()->resize(f.mdi()->width() + 40, f.mdi()->height() + 30);
    f.mdi()->move(f.mdi()->pos() + QPoint(5, 5));
    QCoreApplication::processEvents();
    QCOMPARE(f.mdi()->frameGeometry().height(), twips_to_px(frame_height) + 30);
}

void TestStartup::tips_or_tour_data() {
    QTest::addColumn<QString>("tips");
    QTest::addColumn<QString>("tour");
    QTest::addColumn<bool>("tips_shown");
    QTest::addColumn<bool>("tour_shown");
    QTest::addColumn<bool>("checked");
    QTest::newRow("tips and tour") << "y" << "y" << false << true << true;
    QTest::newRow("tips only") << "y" << "n" << true << false << true;
    QTest::newRow("neither") << "n" << "n" << false << false << false;
    QTest::newRow("tour only") << "n" << "y" << false << true << false;
}

void TestStartup::tips_or_tour() {
    QFETCH(QString, tips);
    QFETCH(QString, tour);
    ShellFixture f;
    f.write_prefs(tips, tour);
    QVERIFY(f.start());
    QVERIFY(f.s().is_form_loaded("Tips"));
    QTEST(f.s().loaded_window("Tips")->isVisible(), "tips_shown");
    QTEST(f.s().is_form_loaded("Tour") && f.s().loaded_window("Tour")->isVisible(), "tour_shown");
    QTEST(f.s().tips()->StartUpCheck->isChecked(), "checked");
    // Setting the box at start-up writes nothing.
    QCOMPARE(read_file(f.path("pref.dat")).contains("<tiponstartup>" + tips.toLatin1()), true);
}

void TestStartup::next_tip_index_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("tip");
    QTest::newRow("5") << "5" << 5;
    QTest::newRow("88 is past the table") << "88" << 0;
    QTest::newRow("-1") << "-1" << 0;
    QTest::newRow("87") << "87" << 87;
}

void TestStartup::next_tip_index() {
    QFETCH(QString, stored);
    ShellFixture f;
    f.write_prefs("n", "n", stored);
    QVERIFY(f.start());
    QTEST(f.c().current_tip_index, "tip");
}

void TestStartup::service_hosts_from_environment() {
    qputenv("QUORBELIX_NEWS_HOST", "127.0.0.1:8080");
    qputenv("QUORBELIX_HISTORY_HOST", "http://history.example:80");
    qputenv("QUORBELIX_STOCKIDEA_HOST", "[::1]:8081");
    ShellFixture f;
    f.write_prefs();
    const bool started = f.start();
    qunsetenv("QUORBELIX_NEWS_HOST");
    qunsetenv("QUORBELIX_HISTORY_HOST");
    qunsetenv("QUORBELIX_STOCKIDEA_HOST");
    const service_hosts::Hosts seen = service_hosts::current();
    service_hosts::read_from_environment(f.c());
    QVERIFY(started);
    QCOMPARE(seen.headlines, QString("127.0.0.1:8080"));
    QCOMPARE(seen.quote_primary, QString(service_hosts::kQuotePrimary));
    QCOMPARE(seen.stock_idea, QString("[::1]:8081"));
    // A value that is no host is refused in the log only; the built-in host serves.
    QCOMPARE(seen.price_history, QString(service_hosts::kPriceHistory));
    QCOMPARE(f.startup_messages.filter("HISTORY").size(), 0);
    const QString log = QString::fromUtf8(read_file(f.path("logs.txt")));
    QVERIFY2(log.contains("Data: Warning: QUORBELIX_HISTORY_HOST is not host[:port]: \"http://history.example:80\". "
                          "Using history.quorbelix.com\r\n"),
             qPrintable(log));
    QCOMPARE(service_hosts::current().headlines, QString(service_hosts::kHeadlines));
    QCOMPARE(service_hosts::current().stock_idea, QString(service_hosts::kStockIdea));
}

void TestStartup::the_shell_alone_makes_only_its_own_windows() {
    CoreFixture fx;
    fx.start();
    Shell s(*fx.core);
    // The screens and the market and report windows come from their own folders only.
    QStringList others = Shell::screen_names();
    others << "Quotes" << "News" << "Chart" << "Research" << "Report" << "PrintEntry";
    for (const QString& name : std::as_const(others)) QVERIFY2(!s.window(name), qPrintable(name));
    for (const char* name : {"MDIMain", "Command", "Aboutbox", "UserUpdate", "Tips", "Tour", "Custom", "TestVarData"})
        QVERIFY2(s.window(QString::fromLatin1(name)), name);
}

namespace {

// A process killed just before a whole-file save renames its temporary file into place:
// nothing after that reaches the disk, the removal of the temporary either.
class KilledBeforeRename : public FileFault {
public:
    qint64 allow_write(const QString&, qint64, qint64 len) override { return dead ? 0 : len; }
    bool allow_change(const QString&) override { return !dead; }
    bool allow_op(FileOp op, const QString&) override {
        if (op == FileOp::rename) dead = true;
        return !dead;
    }
    int error_number() const override { return EIO; }
    bool dead = false;
};

QStringList names_in(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace

// The temporary files that kills left beside pref.dat, a report and logs.txt go at the next
// start, by the instance that holds the folder; a user's files of any name stay, and so do
// the files of names that an earlier version of the program gave its temporaries.
void TestStartup::leftovers_of_cut_saves_removed_at_start() {
    ShellFixture f;
    f.write_prefs();
    QVERIFY(f.start());
    QVERIFY(QDir(f.dir.path()).mkdir("elsewhere"));
    const QMap<QString, QByteArray> users{
        {"pref.dat.bak", "a copy"},
        {"logs.txt.old", "an old log"},
        {"pref.dat.k3x9q2a", "named as the earlier temporaries were"},
        {"my report.txt.tmp", "a report of the user"},
        {".pref.dat.qbsave-notmine", "not of the program's form"},
        {"elsewhere/.pref.dat.qbsave-0123abcd", "below the program folder"},
    };
    for (auto it = users.cbegin(); it != users.cend(); ++it) write_file(f.path(it.key()), it.value());
    // A folder and a link of the program's form are no temporaries either.
    QVERIFY(QDir(f.dir.path()).mkdir(".folder.qbsave-0123abcd"));
    QVERIFY(QFile::link("pref.dat.bak", f.path(".link.qbsave-0123abcd")));
    const QByteArray prefs = read_file(f.path("pref.dat"));
    QVERIFY(QFile::exists(f.path("logs.txt")));
    const QStringList before = names_in(f.dir.path());

    KilledBeforeRename kill_pref, kill_report, kill_log;
    {
        FaultScope scope(&kill_pref);
        f.c().save_preferences();
    }
    {
        FaultScope scope(&kill_report);
        f.c().write_text_file(f.path("my report.txt"), "the report", false);
    }
    const QByteArray log(59990, 'o');  // the next line trims it
    write_file(f.path("logs.txt"), log);
    {
        FaultScope scope(&kill_log);
        f.c().show_message(msg_debug_data, "trims the log");
    }
    QVERIFY(kill_pref.dead && kill_report.dead && kill_log.dead);
    QStringList left = names_in(f.dir.path());
    for (const QString& n : before) left.removeOne(n);
    QVERIFY2(left.size() == 3, qPrintable(left.join(", ")));  // one temporary of each save

    // A second start while the program runs takes nothing: those may be saves under way.
    ShellFixture second;
    second.dir.remove();
    QVERIFY(!Main(second.platform(), f.dir.path()));
    QCOMPARE(names_in(f.dir.path()).size(), before.size() + 3);

    f.program.reset();
    f.messages.boxes.clear();
    QVERIFY(f.start());
    QCOMPARE(names_in(f.dir.path()), before);
    for (auto it = users.cbegin(); it != users.cend(); ++it) QCOMPARE(read_file(f.path(it.key())), it.value());
    QCOMPARE(QFileInfo(f.path(".link.qbsave-0123abcd")).symLinkTarget(), f.path("pref.dat.bak"));
    QCOMPARE(read_file(f.path("pref.dat")), prefs);
    QVERIFY(read_file(f.path("logs.txt")).contains("Data: Debug Data: trims the log\r\n"));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
