// Tagged text and the preference file's rules.
#include "core/codepage.h"
#include "core/text_helpers.h"
#include "support/fakes.h"
#include "support/file_size_limit.h"

#include <QFile>
#include <QtTest>

using namespace qb;
using namespace qb::test;

class TestPreferences : public QObject {
    Q_OBJECT

private slots:
    void tags_data();
    void tags();
    void defaults_without_file();
    void stored_values_data();
    void stored_values();
    void old_style_link_keys();
    void save_layout_and_round_trip();
    void failed_save_keeps_old_file();
    void written_in_windows_1252();
    void oversized_file_is_refused_data();
    void oversized_file_is_refused();
};

void TestPreferences::tags_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value");
    QTest::newRow("simple") << "textcolor" << make_tag("textcolor", "Red") << "Red";
    QTest::newRow("link1 is not link10") << "link1" << make_tag("link10", "ten") << "";
    QTest::newRow("case matters") << "Name" << make_tag("name", "lower") << "";
    QTest::newRow("empty value") << "k" << make_tag("k", "") << "";
    QTest::newRow("missing key") << "k" << make_tag("other", "v") << "";
    QTest::newRow("first of two wins") << "k" << make_tag("k", "one") + make_tag("k", "two") << "one";
    QTest::newRow("no closing key") << "k" << "<k>dangling" << "";
    QTest::newRow("nested") << "outer" << make_tag("outer", make_tag("inner", "v")) << make_tag("inner", "v");
}

void TestPreferences::tags() {
    QFETCH(QString, key);
    QFETCH(QString, text);
    QTEST(get_tag(key, text), "value");
    QCOMPARE(make_tag("textcolor", "Red"), QString("<textcolor>Red<\\textcolor>\r\n"));
}

void TestPreferences::defaults_without_file() {
    CoreFixture fx;
    fx.start();
    Core& c = *fx.core;
    QCOMPARE(c.tiponstartup, QString("y"));
    QCOMPARE(c.nexttipindex, QString("0"));
    QCOMPARE(c.touronstartup, QString("y"));
    QCOMPARE(c.textcolor, QString("Blue"));
    QCOMPARE(c.textcolor_value, kColorBlue);
    QCOMPARE(get_tag("numlinks", c.custom_links), QString("15"));
    QCOMPARE(get_tag("button13", c.custom_links), QString("Mornignstar"));
    QVERIFY(!get_tag("link1", c.custom_links).contains("://"));
    QVERIFY(get_tag("link6", c.custom_links).startsWith("http://"));
    QCOMPARE(get_tag("desc2", c.custom_links),
             QString("Screening tools are strictly numerical based.  These tools can be used to give you some ideas, "
                     "but never buy just based on the output."));
    QCOMPARE(c.chartperiod, QString("1 Year"));
    QCOMPARE(c.charttrans1, QString("Buy"));
    QCOMPARE(c.charttrans2, QString("Sell"));
    QCOMPARE(c.charttrans3, QString("Call Notes"));
    QVERIFY(c.trans_type.isEmpty());
}

void TestPreferences::stored_values_data() {
    QTest::addColumn<QString>("pref");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("tour");
    QTest::addColumn<QString>("color");
    QTest::addColumn<uint>("color_value");
    QTest::addColumn<QStringList>("types");
    QTest::newRow("only tiponstartup N") << make_tag("tiponstartup", "N") << "n" << "" << "y" << "Blue" << uint(kColorBlue)
                                         << QStringList{};
    QTest::newRow("tip 88 is 0") << make_tag("nexttipindex", "88") << "y" << "0" << "y" << "Blue" << uint(kColorBlue)
                                 << QStringList{};
    QTest::newRow("tip -1 is 0") << make_tag("nexttipindex", "-1") << "y" << "0" << "y" << "Blue" << uint(kColorBlue)
                                 << QStringList{};
    QTest::newRow("tip 87 stays") << make_tag("nexttipindex", "87") << "y" << "87" << "y" << "Blue" << uint(kColorBlue)
                                  << QStringList{};
    QTest::newRow("tip 12abc stays") << make_tag("nexttipindex", "12abc") << "y" << "12abc" << "y" << "Blue"
                                     << uint(kColorBlue) << QStringList{};
    QTest::newRow("purple lower case") << make_tag("textcolor", "purple") << "y" << "" << "y" << "purple" << 0xC000C0u
                                       << QStringList{};
    QTest::newRow("pink stays pink in blue") << make_tag("textcolor", "Pink") << "y" << "" << "y" << "Pink"
                                             << uint(kColorBlue) << QStringList{};
    QTest::newRow("black is the button text") << make_tag("textcolor", "Black") << "y" << "" << "y" << "Black"
                                              << uint(kColorButtonText) << QStringList{};
    QTest::newRow("tour off, types") << make_tag("touronstartup", "n") + make_tag("trans_type", " , Hold ,Swap,,Hold")
                                     << "y" << "" << "n" << "Blue" << uint(kColorBlue)
                                     << QStringList{"Hold", "Swap", "Hold"};
}

void TestPreferences::stored_values() {
    QFETCH(QString, pref);
    CoreFixture fx;
    write_file(fx.path("pref.dat"), encode_cp1252(pref));
    fx.start();
    Core& c = *fx.core;
    QTEST(c.tiponstartup, "tip");
    QTEST(c.nexttipindex, "next");
    QTEST(c.touronstartup, "tour");
    QTEST(c.textcolor, "color");
    QTEST(uint(c.textcolor_value), "color_value");
    QTEST(c.trans_type, "types");
    QCOMPARE(get_tag("numlinks", c.custom_links), QString("15"));
    QCOMPARE(c.chartperiod, QString("1 Year"));
}

void TestPreferences::old_style_link_keys() {
    CoreFixture fx;
    write_file(fx.path("pref.dat"), encode_cp1252(make_tag("websec", "sec.example") + make_tag("webfav", "fav.example") +
                                                  make_tag("webfav_desc", "Mine")));
    fx.start();
    const QString& links = fx.core->custom_links;
    QStringList captions;
    for (int i = 1; i <= 15; ++i) captions << get_tag("button" + QString::number(i), links);
    QCOMPARE(captions.mid(0, 5),
             QStringList({"Company SEC Filings", "Stock Screener", "Yahoo Research", "Quicken Research", "My Favorite"}));
    QCOMPARE(captions[14], QString("Stock Garden"));
    QCOMPARE(get_tag("link1", links), QString("sec.example"));
    QCOMPARE(get_tag("desc5", links), QString("Mine"));
    QCOMPARE(get_tag("link2", links), QString());

    // A stored custom_links wins over the conversion.
    write_file(fx.path("pref.dat"), encode_cp1252(make_tag("websec", "x") + make_tag("custom_links", make_tag("numlinks", "0"))));
    fx.restart();
    QCOMPARE(fx.core->custom_links, make_tag("numlinks", "0"));
}

void TestPreferences::save_layout_and_round_trip() {
    CoreFixture fx;
    fx.start();
    Core& c = *fx.core;
    c.custom_links.clear();  // the research window removed every link
    c.textcolor = " Red ";
    c.quotes = " IBM ";
    QVERIFY(c.save_preferences());
    const QString saved = decode_cp1252(read_file(fx.path("pref.dat")));
    QCOMPARE(saved, make_tag("tiponstartup", "y") + make_tag("nexttipindex", "0") + make_tag("touronstartup", "y") +
                        make_tag("textcolor", "Red") + make_tag("custom_links", "") + make_tag("quotes", " IBM ") +
                        make_tag("chartperiod", "1 Year") + make_tag("charttrans1", "Buy") +
                        make_tag("charttrans2", "Sell") + make_tag("charttrans3", "Call Notes") + "\r\n");
    c.trans_type = QStringList{"Swap", "Option"};
    QVERIFY(c.save_preferences());
    QVERIFY(decode_cp1252(read_file(fx.path("pref.dat"))).contains(make_tag("trans_type", "Swap,Option")));
    fx.restart();
    QCOMPARE(fx.core->trans_type, QStringList({"Swap", "Option"}));
    QCOMPARE(fx.core->textcolor, QString("Red"));
    QCOMPARE(get_tag("numlinks", fx.core->custom_links), QString("15"));  // empty links give the defaults back
}

void TestPreferences::failed_save_keeps_old_file() {
    CoreFixture fx;
    fx.start();
    QVERIFY(fx.core->save_preferences());
    const QByteArray before = read_file(fx.path("pref.dat"));
    fx.core->textcolor = "Green";
    bool saved = true;
    {
        // The write fails part way, even for root.
        const FileSizeLimit limit(200);
        QVERIFY(limit.in_force());
        saved = fx.core->save_preferences();
    }
    QVERIFY(!saved);
    QCOMPARE(read_file(fx.path("pref.dat")), before);
    QVERIFY(!fx.messages.box_texts().filter("Error: Failure to save Preferences (Pref.dat file). Error: ").isEmpty());
}

void TestPreferences::written_in_windows_1252() {
    CoreFixture fx;
    fx.start();
    fx.core->quotes = QString::fromUtf8("\u20AC\u2019\u00FF");
    QVERIFY(fx.core->save_preferences());
    QVERIFY(read_file(fx.path("pref.dat")).contains("<quotes>\x80\x92\xFF<\\quotes>"));
    fx.restart();
    QCOMPARE(fx.core->quotes, QString::fromUtf8("\u20AC\u2019\u00FF"));
}

void TestPreferences::oversized_file_is_refused_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("read");
    QTest::newRow("1 MiB is read") << (1 << 20) << true;
    QTest::newRow("1 MiB + 1 is refused") << (1 << 20) + 1 << false;
}

// An oversized pref.dat is refused with a message; the defaults are used and the file
// stays as it is until the user saves preferences.
void TestPreferences::oversized_file_is_refused() {
    QFETCH(int, size);
    QFETCH(bool, read);
    CoreFixture fx;
    QByteArray bytes = "<textcolor>Red<\\textcolor>";
    bytes += QByteArray(size - bytes.size(), ' ');
    write_file(fx.path("pref.dat"), bytes);
    fx.start();
    Core& c = *fx.core;
    QCOMPARE(c.textcolor, read ? QString("Red") : QString("Blue"));
    const QStringList refusals =
        fx.messages.box_texts().filter("Error: Failure to read Preferences (Pref.dat file). Error: the file is too large");
    QCOMPARE(refusals.size(), read ? 0 : 1);
    if (read) return;
    c.nexttipindex = "5";
    QVERIFY(c.save_preferences(false));  // the tips window closing
    QCOMPARE(read_file(fx.path("pref.dat")), bytes);
    QVERIFY(c.save_preferences());
    QVERIFY(read_file(fx.path("pref.dat")).startsWith("<tiponstartup>"));
}

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
