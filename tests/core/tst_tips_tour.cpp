// tips.txt and tour.txt: the readers, the shipped files, and files that cannot serve.
#include "support/fakes.h"

#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

const QString kSourceDir = QStringLiteral(QB_SOURCE_DIR);

QByteArray numbered_tips(int count) {
    QByteArray b = "<Context>Summary Screen\r\n";
    for (int i = 1; i <= count; ++i) b += "Tip " + QByteArray::number(i) + "\r\n";
    return b;
}

QString section_of(const Core& c, int context) { return c.tip_table[size_t(c.tip_context_start[size_t(context)])].section; }

} // namespace

class TestTipsTour : public QObject {
    Q_OBJECT

private slots:
    void shipped_tips_cover_every_context();
    void shipped_tour_has_eleven_slides();
    void tips_parsing_data();
    void tips_parsing();
    void tips_bad_files_data();
    void tips_bad_files();
    void tour_reading_data();
    void tour_reading();
};

void TestTipsTour::shipped_tips_cover_every_context() {
    CoreFixture fx;
    QVERIFY(QFile::copy(kSourceDir + "/data/tips.txt", fx.path("tips.txt")));
    Core& c = *fx.core;
    c.load_tips();
    QCOMPARE(fx.messages.boxes.size(), 0);

    const char* sections[kTipContexts] = {"summary screen", "detailed screen", "stock idea", "checklists",
                                          "add checklist", "transactions", "transactions", "transactions",
                                          "web page", "file reference", "call notes", "tool bar information"};
    for (int k = 0; k < kTipContexts; ++k) QCOMPARE(section_of(c, k).toLower(), QString(sections[k]));
    QCOMPARE(c.tip_context_start[tip_buy], c.tip_context_start[tip_sell]);
    QCOMPARE(c.tip_context_start[tip_buy], c.tip_context_start[tip_other_transaction]);
    // Back from the checklist editor the window shows the fourth checklists tip.
    QCOMPARE(c.tip_table[size_t(c.tip_context_start[tip_checklists] + 3)].section.toLower(), QString("checklists"));
    // The first tip of all is the overview that "First Tip" and the end of the tour show.
    QCOMPARE(c.tip_table[0].section, QString("Overview"));
    QVERIFY(c.last_tip_index > tip_tool_bar);
    QVERIFY(c.last_tip_index < kMaxTipIndex);  // room left: no tip was overwritten
    for (int i = 0; i <= c.last_tip_index; ++i) {
        QVERIFY(!c.tip_table[size_t(i)].tip.isEmpty());
        QVERIFY(!c.tip_table[size_t(i)].section.isEmpty());
    }
    QVERIFY(c.tip_table[size_t(c.last_tip_index + 1)].tip.isEmpty());
}

void TestTipsTour::shipped_tour_has_eleven_slides() {
    CoreFixture fx;
    QVERIFY(QFile::copy(kSourceDir + "/data/tour.txt", fx.path("tour.txt")));
    int16_t count = 11;
    QStringList titles(12, "untouched"), texts(12, "untouched");
    QVERIFY(fx.core->load_tour_text(count, titles, texts));
    QCOMPARE(fx.messages.boxes.size(), 0);
    QCOMPARE(titles[0], QString("untouched"));
    QCOMPARE(texts[0], QString("untouched"));
    for (int i = 1; i <= kTourSlides; ++i) {
        QVERIFY2(!titles[i].isEmpty() && titles[i] != "untouched", qPrintable(QString::number(i)));
        QVERIFY2(texts[i].size() > titles[i].size(), qPrintable(QString::number(i)));
        QVERIFY(!texts[i].contains(u'<'));
    }
}

void TestTipsTour::tips_parsing_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("slot");         // a slot to look at
    QTest::addColumn<QString>("section");  // and what it holds
    QTest::addColumn<QString>("tip");
    QTest::addColumn<int>("context");      // a context whose start is checked (-1: none)
    QTest::addColumn<int>("start");

    QTest::newRow("web address is a comment")
        << QByteArray("<Context>Web Page\r\nSee http://example.org for more\r\nKeep pages.\r\n") << 0 << 0 << "Web Page"
        << "Keep pages." << int(tip_web_page) << 0;
    QTest::newRow("transactions in any case")
        << QByteArray("<Context>Summary Screen\r\nOne\r\nTwo\r\n<context>  TRANSACTIONS  \r\nThree\r\n") << 2 << 2
        << "TRANSACTIONS" << "Three" << int(tip_other_transaction) << 2;
    QTest::newRow("tips before any section") << QByteArray("  First  \r\n\r\n   \r\n<Context>Call Notes\r\nSecond\r\n") << 1
                                             << 0 << "" << "First" << int(tip_call_notes) << 1;
    QTest::newRow("unknown section takes slots") << QByteArray("<Context>Elsewhere\r\nA\r\nB\r\n") << 1 << 1 << "Elsewhere"
                                                 << "B" << int(tip_summary) << -5;
    QTest::newRow("marker anywhere in the line") << QByteArray("x <Con marks it\r\nTip\r\n") << 0 << 0 << "rks it" << "Tip"
                                                 << -1 << 0;
    QTest::newRow("short section line") << QByteArray("<Con\nTip\n") << 0 << 0 << "" << "Tip" << -1 << 0;
    QTest::newRow("87 tips") << numbered_tips(87) << 86 << 86 << "Summary Screen" << "Tip 87" << -1 << 0;
    QTest::newRow("100 tips: slot 86") << numbered_tips(100) << 87 << 86 << "Summary Screen" << "Tip 87" << -1 << 0;
    QTest::newRow("100 tips: slot 87") << numbered_tips(100) << 87 << 87 << "Summary Screen" << "Tip 100" << -1 << 0;
    QTest::newRow("section after the table filled")
        << (numbered_tips(90) + "<Context>Tool Bar Information\r\nLate\r\n") << 87 << 87 << "Tool Bar Information"
        << "Late" << int(tip_tool_bar) << 87;
    QTest::newRow("code page 1252") << QByteArray("<Context>Stock Idea\r\nCaf\xE9 \x80 prices\r\n") << 0 << 0 << "Stock Idea"
                                    << QString::fromUtf8("Café € prices") << int(tip_stock_of_month) << 0;
    QTest::newRow("only blanks are trimmed") << QByteArray("<Context>\tChecklists \r\n  \tIndented\t  \r\n") << 0 << 0
                                             << "\tChecklists" << "\tIndented\t" << int(tip_checklists) << -5;
    QTest::newRow("lone CR line ends") << QByteArray("<Context>Checklists\rOne\rTwo\r") << 1 << 1 << "Checklists"
                                       << "Two" << int(tip_checklists) << 0;
    QTest::newRow("mixed line ends") << QByteArray("<Context>File Reference\r\nA\rB\nC\r\n") << 2 << 2
                                     << "File Reference" << "C" << int(tip_file_reference) << 0;
}

void TestTipsTour::tips_parsing() {
    QFETCH(QByteArray, content);
    QFETCH(int, last);
    QFETCH(int, slot);
    QFETCH(QString, section);
    QFETCH(QString, tip);
    QFETCH(int, context);
    QFETCH(int, start);
    CoreFixture fx;
    Core& c = *fx.core;
    c.tip_context_start.fill(-5);  // entries no section sets keep what they held
    write_file(fx.path("tips.txt"), content);
    c.load_tips();
    QCOMPARE(fx.messages.boxes.size(), 0);
    QCOMPARE(int(c.last_tip_index), last);
    QCOMPARE(c.tip_table[size_t(slot)].section, section);
    QCOMPARE(c.tip_table[size_t(slot)].tip, tip);
    if (context >= 0) QCOMPARE(int(c.tip_context_start[size_t(context)]), start);
}

void TestTipsTour::tips_bad_files_data() {
    QTest::addColumn<QByteArray>("content");  // "(none)": no file
    QTest::addColumn<QString>("message");
    const QString prefix = "Error: Unable to read Tips.txt file. Error: ";
    QTest::newRow("missing") << QByteArray("(none)") << prefix;
    QTest::newRow("empty") << QByteArray() << prefix + "the file holds no tips";
    QTest::newRow("only comments and sections") << QByteArray("// a comment\r\n<Context>Checklists\r\n\r\n")
                                                << prefix + "the file holds no tips";
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << prefix + "the file is not a text file";
    QTest::newRow("far too large") << QByteArray(2 << 20, 'x') << prefix + "the file is too large";
}

void TestTipsTour::tips_bad_files() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    CoreFixture fx;
    Core& c = *fx.core;
    write_file(fx.path("tips.txt"), "<Context>Checklists\r\nGood one\r\nGood two\r\n");
    c.load_tips();
    QCOMPARE(c.last_tip_index, int16_t(1));

    QFile::remove(fx.path("tips.txt"));
    if (content != "(none)") write_file(fx.path("tips.txt"), content);
    c.load_tips();
    QCOMPARE(fx.messages.boxes.size(), 1);
    QVERIFY2(fx.messages.boxes[0].second.startsWith(message), qPrintable(fx.messages.boxes[0].second));
    // The tips loaded before stay in use.
    QCOMPARE(c.last_tip_index, int16_t(1));
    QCOMPARE(c.tip_table[1].tip, QString("Good two"));
    QCOMPARE(int(c.tip_context_start[tip_checklists]), 0);
}

void TestTipsTour::tour_reading_data() {
    QTest::addColumn<QByteArray>("content");  // "(none)": no file
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("count_after");
    QTest::addColumn<QString>("message");     // "" when the tour can be given
    QTest::addColumn<QString>("title5");
    QTest::addColumn<QString>("title11");

    QByteArray slides;
    for (int i = 1; i <= 12; ++i)
        if (i != 5) slides += "<Title" + QByteArray::number(i) + ">T" + QByteArray::number(i) + "<\\Title" +
                              QByteArray::number(i) + ">\r\n<Des" + QByteArray::number(i) + ">D<\\Des" +
                              QByteArray::number(i) + ">\r\n";
    const QString prefix = "Warning: Can not access tour.txt, Tour cant be shown: ";
    QTest::newRow("no title for slide 5") << slides << 11 << 11 << "" << "" << "T11";
    QTest::newRow("count of 15 is cut") << slides << 15 << 11 << "" << "" << "T11";
    // A readable file without slides gives empty slides; only a file that cannot be read is refused.
    QTest::newRow("empty") << QByteArray() << 11 << 11 << "" << "" << "";
    QTest::newRow("foreign text") << QByteArray("Title1 Des1 <Other>x<\\Other>") << 11 << 11 << "" << "" << "";
    QTest::newRow("missing") << QByteArray("(none)") << 11 << 11 << prefix << "before" << "before";
    QTest::newRow("binary") << QByteArray("<Title1>a\0b<\\Title1>", 20) << 11 << 11 << prefix + "the file is not a text file"
                            << "before" << "before";
}

void TestTipsTour::tour_reading() {
    QFETCH(QByteArray, content);
    QFETCH(int, count);
    QFETCH(int, count_after);
    QFETCH(QString, message);
    QFETCH(QString, title5);
    QFETCH(QString, title11);
    CoreFixture fx;
    if (content != "(none)") write_file(fx.path("tour.txt"), content);
    int16_t n = int16_t(count);
    QStringList titles(12, "before"), texts(12, "before");

    QCOMPARE(fx.core->load_tour_text(n, titles, texts), message.isEmpty());
    QCOMPARE(int(n), count_after);
    QCOMPARE(titles[0], QString("before"));
    QCOMPARE(titles[5], title5);
    if (message.isEmpty()) {
        QCOMPARE(fx.messages.boxes.size(), 0);
        QCOMPARE(titles[11], title11);
        QCOMPARE(texts[4], title11.isEmpty() ? QString() : QString("D"));
        QCOMPARE(titles.size(), 12);  // slide 12 is never read
    } else {
        QCOMPARE(fx.messages.boxes.size(), 1);
        QVERIFY2(fx.messages.boxes[0].second.startsWith(message), qPrintable(fx.messages.boxes[0].second));
        QCOMPARE(titles, QStringList(12, "before"));
        QCOMPARE(texts, QStringList(12, "before"));
    }
}

QTEST_MAIN(TestTipsTour)
#include "tst_tips_tour.moc"
