// The one message path: boxes, questions, the log's layout and its truncation, and a log
// that cannot be written.
#include "support/fakes.h"
#include "support/growth.h"
#include "support/process_memory.h"
#include "support/special_files.h"

#include <QFile>
#include <QtTest>
#include <unistd.h>

using namespace qb;
using namespace qb::test;

class TestMessages : public QObject {
    Q_OBJECT

private slots:
    void kinds_data();
    void kinds();
    void log_line_layout();
    void questions_are_not_logged();
    void tips_hidden_and_tour_ended();
    void truncation_data();
    void truncation();
    void oversized_log_data();
    void oversized_log();
    void trim_cost_does_not_grow_with_the_log();
    void unwritable_log();
    void line_is_logged_before_its_box_data();
    void line_is_logged_before_its_box();
    void special_file_in_place_of_the_log_data();
    void special_file_in_place_of_the_log();
};

void TestMessages::kinds_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("prefixed");
    QTest::addColumn<bool>("boxed");
    QTest::newRow("error") << 0 << "Error: x" << true;
    QTest::newRow("warning") << 1 << "Warning: x" << true;
    QTest::newRow("information") << 2 << "Information: x" << true;
    QTest::newRow("debug data is logged only") << 3 << "Debug Data: x" << false;
    QTest::newRow("unknown kind is a warning") << 7 << "Warning: x" << true;
    QTest::newRow("negative kind is a warning") << -1 << "Warning: x" << true;
}

void TestMessages::kinds() {
    QFETCH(int, kind);
    QFETCH(QString, prefixed);
    QFETCH(bool, boxed);
    CoreFixture fx;
    fx.core->show_message(kind, "x");
    QCOMPARE(fx.messages.boxes.size(), boxed ? 1 : 0);
    if (boxed) {
        QCOMPARE(fx.messages.boxes[0].first, QString("Quorbelix"));
        QCOMPARE(fx.messages.boxes[0].second, prefixed);
    }
    QVERIFY(read_file(fx.path("logs.txt")).contains(". Data: " + prefixed.toUtf8() + "\r\n\r\n"));
}

void TestMessages::log_line_layout() {
    CoreFixture fx;
    fx.start();
    fx.core->SummaryData.resize(6);  // the upper index, not the number of entries in use
    fx.core->show_message(msg_error, QString::fromUtf8("Kaput – ünïcode"));
    const QByteArray log = read_file(fx.path("logs.txt"));
    const QByteArray line = "03-14-2026 4.03: Num Trans: 5. Data: Error: " + QString::fromUtf8("Kaput – ünïcode").toUtf8() + "\r\n\r\n";
    QVERIFY2(log.endsWith(line), log.constData());
    fx.core->SummaryData.clear();
    fx.core->show_message(msg_debug_data, "empty");
    QVERIFY(read_file(fx.path("logs.txt")).endsWith("03-14-2026 4.03: Num Trans: -1. Data: Debug Data: empty\r\n\r\n"));
}

void TestMessages::questions_are_not_logged() {
    CoreFixture fx;
    fx.messages.answers.enqueue(kAnswerYes);
    QCOMPARE(fx.core->ask_user(kStyleStop, "Sure?"), kAnswerYes);
    QCOMPARE(fx.core->ask_user(kStyleQuestion, "Again?"), kAnswerNo);
    QCOMPARE(fx.messages.questions[0], qMakePair(QString("Quorbelix"), QString("Sure?")));
    QCOMPARE(fx.messages.styles, QList<int>({16, 32}));
    QVERIFY(!QFile::exists(fx.path("logs.txt")));
}

void TestMessages::tips_hidden_and_tour_ended() {
    for (bool tips_open : {true, false}) {
        CoreFixture fx;
        Core& c = *fx.core;
        bool visible = tips_open;
        QStringList events;
        c.hooks.tips_visible = [&] { return visible; };
        c.hooks.hide_tips = [&] { visible = false; events << "hide"; };
        c.hooks.show_tips = [&] { visible = true; events << "show"; };
        c.hooks.end_tour_early = [&] { c.tour_running = false; events << "end tour"; };
        c.tour_running = true;
        c.show_message(msg_debug_data, "still ends the tour");
        QCOMPARE(c.tour_running, false);
        QCOMPARE(visible, tips_open);
        c.ask_user(kStyleStop, "q");
        QCOMPARE(visible, tips_open);
        const QStringList expected = tips_open ? QStringList{"hide", "end tour", "show", "hide", "show"}
                                               : QStringList{"end tour"};
        QCOMPARE(events, expected);
    }
}

void TestMessages::truncation_data() {
    QTest::addColumn<int>("existing");
    QTest::addColumn<bool>("truncated");
    QTest::addColumn<int>("kept");  // characters kept before the closing CR LF, written out
    // One record of "x" here is 51 bytes, the truncation notice 49.
    QTest::newRow("59949 + 51 = 60000 is kept") << 59949 << false << 0;
    QTest::newRow("59950 + 51 is cut") << 59950 << true << 30025;
    QTest::newRow("59990 + 51 is cut") << 59990 << true << 30045;
    // Odd lengths: an exact half rounds to the even number.
    QTest::newRow("60051 keeps 30026, not 30025") << 59951 << true << 30026;
    QTest::newRow("60053 keeps 30026, not 30027") << 59953 << true << 30026;
}

void TestMessages::truncation() {
    QFETCH(int, existing);
    QFETCH(bool, truncated);
    QFETCH(int, kept);
    CoreFixture fx;
    fx.core->SummaryData.resize(1);
    QByteArray old;
    for (int i = 0; old.size() < existing; ++i) old += QByteArray::number(i % 10);
    old.truncate(existing);
    write_file(fx.path("logs.txt"), old);
    fx.core->show_message(msg_warning, "x");
    const QByteArray log = read_file(fx.path("logs.txt"));
    const QByteArray record = "03-14-2026 4.03: Num Trans: 0. Data: Warning: x\r\n\r\n";
    QCOMPARE(record.size(), 51);
    if (!truncated) {
        QCOMPARE(log, old + record);
        return;
    }
    const QByteArray full = old + record + "\r\nLogs.txt size limit reached. Truncating data.\r\n";
    QCOMPARE(log, full.right(kept) + "\r\n");
    QVERIFY(log.endsWith("Logs.txt size limit reached. Truncating data.\r\n\r\n"));
}

namespace {

const QByteArray kLimitLine = "\r\nLogs.txt size limit reached. Truncating data.\r\n";

// A log of a hole of `hole` zero bytes (sparse, nothing stored) followed by `text`.
bool write_log(const QString& path, qint64 hole, const QByteArray& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.resize(hole) && f.seek(hole) &&
           f.write(text) == text.size();
}

QByteArray repeated(const QByteArray& unit, int times) {
    QByteArray out;
    for (int i = 0; i < times; ++i) out += unit;
    return out;
}

} // namespace

void TestMessages::oversized_log_data() {
    QTest::addColumn<qint64>("hole");
    QTest::addColumn<QByteArray>("old");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("kept");  // what precedes the closing CR LF
    const QByteArray record = "03-14-2026 4.03: Num Trans: 0. Data: Warning: x\r\n\r\n";
    const QByteArray end = record + kLimitLine;  // 100 bytes
    QByteArray digits;
    for (int i = 0; digits.size() < 200000; ++i) digits += QByteArray::number(i % 10);
    const QByteArray euro = "\xE2\x82\xAC", replacement = "\xEF\xBF\xBD";
    // Only the last 30000 bytes are kept: 29900 before the record.
    QTest::newRow("sparse 1 GiB") << (qint64(1) << 30) << QByteArray() << "x" << QByteArray(29900, '\0') + end;
    QTest::newRow("filled 200 KB") << qint64(0) << digits << "x" << digits.right(29900) + end;
    // 29900 is no multiple of 3: the character that the cut would split is left out.
    QTest::newRow("cut inside a character") << qint64(0) << repeated(euro, 70000) << "x"
                                            << repeated(euro, 9966) + end;
    // Half of the 60099 characters takes in all 20000 of three bytes: over the limit.
    QTest::newRow("wide half of a log within twice the limit")
        << qint64(0) << digits.left(40000) << QString(20000, QChar(0x20AC))
        << repeated(euro, 9982) + "\r\n\r\n" + kLimitLine;
    // Bytes that are not UTF-8 read as U+FFFD, three bytes each.
    QTest::newRow("not UTF-8, near the limit") << qint64(0) << QByteArray(59951, '\xFF') << "x"
                                               << repeated(replacement, 9966) + end;
    QTest::newRow("not UTF-8, far over it") << qint64(0) << QByteArray(200000, '\xFF') << "x"
                                            << repeated(replacement, 9966) + end;
}

void TestMessages::oversized_log() {
    QFETCH(qint64, hole);
    QFETCH(QByteArray, old);
    QFETCH(QString, message);
    QFETCH(QByteArray, kept);
    CoreFixture fx;
    fx.core->SummaryData.resize(1);
    QVERIFY(write_log(fx.path("logs.txt"), hole, old));
    qint64 grown = 0;
    {
        PeakGrowth memory;
        fx.core->show_message(msg_warning, message);
        grown = memory.kb();
    }
    QCOMPARE(fx.messages.box_texts().size(), 1);  // no failure box
    const QByteArray log = read_file(fx.path("logs.txt"));
    QVERIFY2(log.size() <= 60000, qPrintable(QString::number(log.size())));
    QVERIFY(log.endsWith("Logs.txt size limit reached. Truncating data.\r\n\r\n"));
    QCOMPARE(log, kept + "\r\n");
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer's quarantine and shadow memory would be counted too.
    QVERIFY2(grown < 4 * 1024, qPrintable(QString::number(grown)));
#else
    Q_UNUSED(grown);
#endif
}

void TestMessages::trim_cost_does_not_grow_with_the_log() {
    // The same text near the limit, alone and after a 1 GiB hole: reading the hole, even
    // in small pieces, would take thousands of times as long as the trim itself.
    CoreFixture fx;
    const QString log = fx.path("logs.txt");
    const QByteArray old(59950, 'o');
    bool prepared = true;
    const Growth g = measure_growth([&](bool large) {
        prepared = write_log(log, large ? qint64(1) << 30 : 0, old) && prepared;
        fx.core->show_message(msg_debug_data, "x");
    });
    QVERIFY(prepared);
    QVERIFY(read_file(log).size() <= 60000);
    QVERIFY2(g.ratio() < 10, qPrintable(g.text()));
}

void TestMessages::unwritable_log() {
    CoreFixture fx;
    QVERIFY(QDir(fx.dir.path()).mkdir("logs.txt"));  // cannot be opened as a file
    fx.core->show_message(msg_information, "hello");
    fx.core->show_message(msg_debug_data, "quiet");
    fx.core->show_message(msg_warning, "again");
    // The log's failure is told once, not once per message.
    QCOMPARE(fx.messages.box_texts(), QStringList({"Information: hello", "Error Writing to logs.txt file: Is a directory",
                                                   "Warning: again"}));
}

void TestMessages::line_is_logged_before_its_box_data() {
    QTest::addColumn<int>("existing");
    QTest::newRow("short log") << 0;
    QTest::newRow("log trimmed by the line") << 59990;
}

// A kill while the box is up must not lose the message's line.
void TestMessages::line_is_logged_before_its_box() {
    QFETCH(int, existing);
    CoreFixture fx;
    fx.core->SummaryData.resize(1);
    write_file(fx.path("logs.txt"), QByteArray(existing, 'o'));
    QByteArray during;
    fx.messages.during_box = [&](const QString&) { during = read_file(fx.path("logs.txt")); };
    fx.core->show_message(msg_error, "kept while the box is up");
    QCOMPARE(fx.messages.box_texts(), QStringList{"Error: kept while the box is up"});
    QCOMPARE(during, read_file(fx.path("logs.txt")));
    QVERIFY(during.contains("Data: Error: kept while the box is up\r\n\r\n"));
}

void TestMessages::special_file_in_place_of_the_log_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("why");
    const QString fifo = "Not a regular file but a named pipe (FIFO)";
    QTest::newRow("FIFO") << "fifo" << fifo;
    QTest::newRow("link to a FIFO") << "link to fifo" << fifo;
    QTest::newRow("socket") << "socket" << "Not a regular file but a socket";
    QTest::newRow("link to a device") << "link to a device" << "Not a regular file but a device";
}

// What is not a regular file is never the log, and is never waited on: each message still
// shows, and the log's failure is told once, after the first of them.
void TestMessages::special_file_in_place_of_the_log() {
    QFETCH(QString, kind);
    QFETCH(QString, why);
    CoreFixture fx;
    const QString log = fx.path("logs.txt");
    const QString other = fx.path("other");
    int socket_fd = -1;
    QVERIFY(make_special_file(log, kind, other, socket_fd));
    const mode_t before = kind_of(log);
    const QString named = QFileInfo(log).symLinkTarget();
    const mode_t named_before = kind_of(named);

    FifoWatchdog watchdog(log);
    fx.core->show_message(msg_information, "first");
    fx.core->show_message(msg_debug_data, "quiet");
    fx.core->show_message(msg_warning, "second");
    watchdog.release();
    if (socket_fd >= 0) ::close(socket_fd);
    QVERIFY2(!watchdog.rescued, "a message waited on the FIFO");
    QCOMPARE(fx.messages.box_texts(),
             QStringList({"Information: first", "Error Writing to logs.txt file: " + why, "Warning: second"}));
    QCOMPARE(kind_of(log), before);  // left as it was, not replaced by a file
    QCOMPARE(kind_of(named), named_before);
}

QTEST_GUILESS_MAIN(TestMessages)
#include "tst_messages.moc"
